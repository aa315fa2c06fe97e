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

// Opens the results file of the kind for appending if this run has not opened it yet (a file
// that then gets no header); one that cannot be opened ends the program.
void openResultsFile(ModelState& model, bool afterDisturbance);

// Adds the record block of the plot for CURRENT_YEAR to the year's pending block of the open file
// of the kind. Call right after summarizePlot.
void appendResults(ModelState& model, const Plot& plot, bool afterDisturbance);

// Writes the pending block of the file of the kind in one write; one that cannot take it whole
// (a full disk, a file-size limit) is cut back to the year before and ends the program.
void writePendingResults(ModelState& model, bool afterDisturbance);

// Opens and locks an output file the run holds; a file another run holds ends the program with
// the message that says so. False when the file cannot be opened.
bool openHeldFile(ModelState& model, HeldOutputFile& file, const std::string& storedName, bool create);

// The header block of a results file of either kind.
std::string resultsHeaderText(const ModelState& model, bool afterDisturbance);

// The record block of the plot: a record per species present, each followed, when
// Output Every Tree is on, by a record per tree of that species in tree-list order.
std::string resultsBlockText(const ModelState& model, const Plot& plot);
void appendResultsBlock(std::string& text, const ModelState& model, const Plot& plot);

}  // namespace dravia
