#pragma once

#include <cstdio>
#include <string>

#include "model/ModelState.h"
#include "platform/Paths.h"

namespace dravia {

// The results file and the after-disturbance results file. The run driver decides when each is
// written; these only format and append.

// Creates the results file of the kind, replacing an earlier run's, with its header block, and
// marks it created for this run. One that cannot be created shows errorLog 15 and ends the program.
void createResultsFile(ModelState& model, bool afterDisturbance);

// Opens the results file of the kind for appending; one that cannot be opened ends the program.
FileHandle openResultsFile(ModelState& model, bool afterDisturbance);

// Appends the record block of the plot for CURRENT_YEAR. Call right after summarizePlot.
void appendResults(ModelState& model, const Plot& plot, std::FILE* file, bool afterDisturbance);

// The header block of a results file of either kind.
std::string resultsHeaderText(const ModelState& model, bool afterDisturbance);

// The record block of the plot: a record per species present, each followed, when
// Output Every Tree is on, by a record per tree of that species in tree-list order.
std::string resultsBlockText(const ModelState& model, const Plot& plot);

}  // namespace dravia
