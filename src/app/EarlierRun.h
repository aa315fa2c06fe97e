#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "output/rundb/RunLibrary.h"

namespace dravia {

// The run a run database holds, as lists name it: its scenario and start (UTC, ISO 8601).
struct RunIdentity {
    std::string scenario;
    std::string startedUtc;
};

// The run of the database at `file`; none when it cannot be read.
std::optional<RunIdentity> runIdentityOf(const std::string& file);

// The position in `entries` (oldest first) of the library run the working directory's last-run
// database `file` holds (the same start); none when it holds none of them.
std::optional<std::size_t> libraryPositionOf(const std::vector<LibraryEntry>& entries,
                                             const std::string& file);

// Whether the last-run database is an earlier run than the library's newest: a later run did not
// complete its database, so the earlier one was kept.
bool isEarlierRun(const std::vector<LibraryEntry>& entries, const std::string& file);

// "“Normal climate” of 2026-12-08 14:05" (local time).
QString runNameAndStart(const RunIdentity& run);

}  // namespace dravia
