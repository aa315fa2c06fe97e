#pragma once

#include "model/ModelState.h"

namespace dravia {

// Grows every tree of the plot by one year.
void growTrees(ModelState& model, Plot& plot);

}  // namespace dravia
