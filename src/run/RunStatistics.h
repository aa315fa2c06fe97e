#pragma once

#include "model/ModelState.h"

namespace dravia {

enum class StatsLayout { Plain, TabSeparated };

// The statistics command: reads the statistics copies, the species file and the run's results
// files back, writes the report files and shows the report through the host.
void runStatistics(ModelState& model, StatsLayout layout);

}  // namespace dravia
