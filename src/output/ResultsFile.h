#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// Appends the record block of CURRENT_PLOT for CURRENT_YEAR to the results file, or to the
// after-disturbance results file. Call right after summarizePlot.
void writeResults(ModelState& model, bool afterDisturbance);

// The results-interval work of the yearly step for CURRENT_PLOT.
void writeIntervalOutput(ModelState& model);

// The header block of a results file of either kind.
std::string resultsHeaderText(const ModelState& model, bool afterDisturbance);

// The record block of CURRENT_PLOT: a record per species present, each followed, when
// Output Every Tree is on, by a record per tree of that species in tree-list order.
std::string resultsBlockText(const ModelState& model);

}  // namespace dravia
