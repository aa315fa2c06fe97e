#pragma once

#include "model/ModelState.h"

namespace dravia {

inline constexpr const char* TREE_BIODATA_FILE = "newplot";

// The tree biodata file "newplot": the site values and the trees (species, diameter, height) of
// the plot (none: the site lines and the heading only), laid out as a plot file so that a later
// run can start from this final state. Sorts the plot's trees tallest first.
void writeTreeBiodata(ModelState& model, Plot* plot);

}  // namespace dravia
