#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// The species table of CURRENT_PLOT shown in the tabular screen mode, from the tallies the last
// summarizePlot left; showRemoved appends what the last disturbance event removed. In the last
// year of the last iteration it also writes the tree biodata file "newplot".
std::string buildTabularText(ModelState& model, bool showRemoved);

// The removed-trees section: the per-species amounts of the last disturbance event.
std::string removedTreesText(const ModelState& model);

}  // namespace dravia
