#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// Measures what a disturbance removes from the plot: called once before the removal and
// once after it; the second call adds the disturbance data records to the year's pending block
// of the file (its header is written at the run's first disturbance).
void writeDisturbanceData(ModelState& model, const Plot& plot, bool beforeRemoval);

// Writes the year's pending disturbance data records in one write; a file that cannot take them
// whole is cut back to the year before, and the loss is reported once while the run goes on.
void writePendingDisturbanceData(ModelState& model);

// The header of the disturbance data file.
std::string disturbanceHeaderText(const ModelState& model);

// One record per species whose POP (as the last tally left it) is at least 1, with the removed amounts.
std::string disturbanceRecordsText(const ModelState& model, const Plot& plot);
void appendDisturbanceRecords(std::string& text, const ModelState& model, const Plot& plot);

// A disturbance data file that lost records while its run went on is set aside under this name
// when the run ends, so that no statistics are made from it as if it were whole.
std::string incompleteDisturbanceFileName(const std::string& name);

// At the end of a run: sets aside the disturbance data file if it lost records, saying so.
void setAsideIncompleteDisturbanceData(ModelState& model);

// At the start of a run: an earlier run's file set aside no longer stands beside this run's.
void removeIncompleteDisturbanceData(const RunParameters& params);

}  // namespace dravia
