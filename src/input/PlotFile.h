#pragma once

#include "model/ModelState.h"

namespace dravia {

enum class PlotFileMode { Site = 1, Plots = 2 };

// Reads PLOT_FILE: the site items (site mode) or the plots with their initial trees (plots mode).
// Throws ReaderError.
void readPlotFile(ModelState& model, PlotFileMode mode);

}  // namespace dravia
