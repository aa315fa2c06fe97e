#pragma once

#include "model/ModelState.h"

namespace dravia {

// Applies this year's mortality to the plot.
void killTrees(ModelState& model, Plot& plot);

}  // namespace dravia
