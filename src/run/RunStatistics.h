#pragma once

#include <string>

#include "model/ModelState.h"
#include "output/StatsReport.h"

namespace dravia {

// The statistics command: reads the statistics copies, the species file and the run's results
// files back into a state of its own, writes the report files and shows the report through the
// model's host; the model itself is left as it was. False when an input file of the run could not
// be opened (its message has been shown). When the statistics copies themselves cannot be read,
// missingCopiesHint (if any) follows the reader's message on a line of its own.
bool runStatistics(ModelState& model, StatsLayout layout, const std::string& missingCopiesHint = {});

}  // namespace dravia
