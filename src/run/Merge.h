#pragma once

#include <string>
#include <vector>

#include "output/rundb/RunDatabaseSchema.h"
#include "platform/Host.h"

namespace dravia {

struct MergeOptions {
    std::string output;             // working directory to create or fill
    std::vector<std::string> runs;  // working directories of finished runs of one scenario
    std::string database = STANDARD_RUN_DATABASE_NAME;  // the run database's name in each run directory
};

// The merge command (`merge OUT DIR...`): the results, after-disturbance results and disturbance data
// files of several finished runs of the same scenario, joined into one as if a single run had
// done all their iterations: one header (with the total number of iterations), the runs'
// records in the order given, iterations renumbered on from the runs before. OUT receives the
// first run's input files, the merged files and statistics copies holding the total, so that
// the statistics step in OUT computes statistics over every replicate. Runs whose
// parameters, inputs or file headers differ are refused with a message naming the difference.
// Returns the exit status.
int mergeRuns(const MergeOptions& options, Host& host);

// The text of a results or disturbance data file with its iteration numbers raised by offset
// and the header's iteration count replaced by totalIterations (when totalIterations > 0).
std::string renumberIterations(const std::string& text, int offset, int totalIterations);

}  // namespace dravia
