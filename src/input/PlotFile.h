#pragma once

#include "model/ModelState.h"

namespace dravia {

enum class PlotFileMode { Site = 1, Plots = 2 };

// Rows of the initial-tree table; one more row ends the program with errorLog 7.
inline constexpr int MAX_INITIAL_TREE_ROWS = MAX_INITIAL_TREES - 1;

// Feet to metres for the site elevation.
inline constexpr double FEET_TO_METRES = 0.30480370641307;

// Reads PLOT_FILE: the site items (site mode) or the plots with their initial trees (plots mode).
// Throws ReaderError.
void readPlotFile(ModelState& model, PlotFileMode mode);

}  // namespace dravia
