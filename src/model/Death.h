#pragma once

#include "model/ModelState.h"

namespace dravia {

// Applies this year's mortality to CURRENT_PLOT.
void killTrees(ModelState& model);

}  // namespace dravia
