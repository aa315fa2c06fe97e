#pragma once

#include <string>
#include <vector>

namespace dravia {

// The run database of one of the runs merged, and how far its iterations are numbered on.
struct MergeSource {
    std::string path;
    int iterationOffset = 0;
};

// Joins the run databases of several runs of one scenario into one at target, as merge joins
// their results files: each source's iterations raised by its offset, its `run`, `setting` and
// `input_file` rows kept as parts of their own, the species of the first. Written under a
// temporary name and renamed into place. Returns an empty string, or what went wrong naming
// the file.
std::string mergeRunDatabases(const std::vector<MergeSource>& sources, const std::string& target);

}  // namespace dravia
