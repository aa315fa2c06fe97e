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

}  // namespace dravia
