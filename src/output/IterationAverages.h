#pragma once

#include "model/ModelState.h"

namespace dravia {

// Sums the last year's species tallies over the iterations of a single-plot run and, in the
// last iteration, prints the averages on the standard output. Does nothing with several plots.
void writeIterationAverages(ModelState& model, Plot& plot);

}  // namespace dravia
