#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// Before anything is written: the message naming the first file a run would write that is also
// one of its input files or another file it writes (a results file named like the species file
// would overwrite it); empty when every file it writes is a file of its own. Files the run will
// not write with the values in force are not looked at.
std::string runFileCollision(const ModelState& model);

// The same for the statistics of a finished run, whose values are in force: its report files
// against the copies, the species file, the results files it reads and each other.
std::string statisticsFileCollision(const ModelState& model);

}  // namespace dravia
