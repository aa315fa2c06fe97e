#pragma once

#include "model/ModelState.h"
#include "output/StatsReport.h"

namespace dravia {

// The statistics command: reads the statistics copies, the species file and the run's results
// files back, writes the report files and shows the report through the host. False when an
// input file of the run could not be opened (its message has been shown).
bool runStatistics(ModelState& model, StatsLayout layout);

}  // namespace dravia
