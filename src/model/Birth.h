#pragma once

#include "model/ModelState.h"

namespace dravia {

// A plot of 100 m² holding more trees than this (a million stems a hectare) is beyond what the
// model describes; the run ends rather than crawl through ever longer tree lists.
inline constexpr int MAX_TREES_PER_PLOT = 10000;

// Adds this year's saplings to the plot.
void addSaplings(ModelState& model, Plot& plot);

}  // namespace dravia
