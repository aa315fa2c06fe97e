#pragma once

#include "model/ModelState.h"

namespace dravia {

// Tallies CURRENT_PLOT: every tree's values, the per-species sums and the plot totals.
void summarizePlot(ModelState& model);

}  // namespace dravia
