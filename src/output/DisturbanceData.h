#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// Measures what a disturbance removes from the plot: called once before the removal and
// once after it; the second call writes the disturbance data records.
void writeDisturbanceData(ModelState& model, const Plot& plot, bool beforeRemoval);

// The header of the disturbance data file.
std::string disturbanceHeaderText(const ModelState& model);

// One record per species whose POP (as the last tally left it) is at least 1, with the removed amounts.
std::string disturbanceRecordsText(const ModelState& model, const Plot& plot);

// A disturbance data file that lost records while its run went on is set aside under this name
// when the run ends, so that no statistics are made from it as if it were whole.
std::string incompleteDisturbanceFileName(const std::string& name);

// At the end of a run: sets aside the disturbance data file if it lost records, saying so.
void setAsideIncompleteDisturbanceData(ModelState& model);

// At the start of a run: an earlier run's file set aside no longer stands beside this run's.
void removeIncompleteDisturbanceData(const RunParameters& params);

}  // namespace dravia
