#pragma once

#include "model/ModelState.h"

namespace dravia {

// Appends the record block of CURRENT_PLOT for CURRENT_YEAR to the results file, or to the
// after-disturbance results file. Call right after summarizePlot.
void writeResults(ModelState& model, bool afterDisturbance);

// The results-interval work of the yearly step for CURRENT_PLOT.
void writeIntervalOutput(ModelState& model);

}  // namespace dravia
