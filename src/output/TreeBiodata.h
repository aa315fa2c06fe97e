#pragma once

#include "model/ModelState.h"

namespace dravia {

inline constexpr const char* TREE_BIODATA_FILE = "newplot";

// The tree biodata file "newplot": the site values and the trees (species, diameter, height) of
// CURRENT_PLOT, laid out as a plot file so that a later run can start from this final state.
// Sorts the plot's trees tallest first.
void writeTreeBiodata(ModelState& model);

// The same for a given plot (none: the site lines and the heading only).
void writeTreeBiodata(ModelState& model, Plot* plot);

}  // namespace dravia
