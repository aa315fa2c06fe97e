#pragma once

#include "model/ModelState.h"

namespace dravia {

// Adds this year's saplings to CURRENT_PLOT.
void addSaplings(ModelState& model);

}  // namespace dravia
