#pragma once

#include "model/ModelState.h"

namespace dravia {

// Adds this year's saplings to the plot.
void addSaplings(ModelState& model, Plot& plot);

}  // namespace dravia
