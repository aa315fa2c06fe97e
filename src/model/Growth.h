#pragma once

#include "model/ModelState.h"

namespace dravia {

// Grows every tree of CURRENT_PLOT by one year.
void growTrees(ModelState& model);

}  // namespace dravia
