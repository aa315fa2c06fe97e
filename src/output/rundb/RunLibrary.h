#pragma once

#include <ctime>
#include <string>
#include <vector>

namespace dravia {

// The desktop program keeps the database of every run in this folder of the working directory,
// one file per run, so that a run never replaces an earlier one.
inline constexpr const char* RUN_LIBRARY_FOLDER = "runs";

// A library above this size is pointed out to the user, who may delete its oldest runs.
inline constexpr unsigned long long RUN_LIBRARY_WARNING_BYTES = 1000ULL * 1000ULL * 1000ULL;

// A path for the database of a run started at `start` (local time) in the library folder:
// "YYYYMMDD-HHMMSS-" and the scenario name as a file name, then "-2", "-3"... while the name is
// taken, and ".sqlite". The scenario's own name lives in the database; the file name never changes.
std::string newLibraryEntryPath(const std::string& folder, const std::tm& start, const std::string& scenario);

// One run of the library as its database describes it.
struct LibraryEntry {
    std::string path;
    std::string fileName;
    unsigned long long bytes = 0;
    // Why the file cannot be read as the database of one run (not a database, a study database
    // of several scenarios, a format of another version); the rest is empty then.
    std::string problem;
    int format = 0;
    std::string scenario;
    std::string startedUtc;  // ISO 8601
    int iterations = 0;      // simulated, the last one perhaps in part
    int plannedIterations = 0;
    int plots = 0;
    int years = 0;
    bool completed = false;
};

// The runs in the library folder, the oldest first (by their file names, which begin with the
// start time); none when there is no folder.
std::vector<LibraryEntry> readRunLibrary(const std::string& folder);

// The bytes the library's databases take.
unsigned long long libraryBytes(const std::vector<LibraryEntry>& entries);

// The oldest runs whose deletion brings the library (oldest first) down to at most `limit`
// bytes; the newest run is never among them.
std::vector<LibraryEntry> oldestRunsBeyond(const std::vector<LibraryEntry>& entries,
                                           unsigned long long limit);

// Gives the run of a library database a new scenario name: every table's scenario column, in
// one transaction; the file keeps its name. Returns an empty string, or why not.
std::string renameLibraryRun(const std::string& path, const std::string& name);

// Deletes a run's database (with any journal SQLite left beside it). Returns an empty string, or
// why not.
std::string deleteLibraryRun(const std::string& path);

// How the standard database of the working directory becomes the last run's.
enum class LastRunLink { HardLinkOrCopy, CopyOnly };

// Makes `target` the same file as the library entry at `entry`: a hard link made under a
// temporary name and renamed over target, or where the file system takes no link a copy written
// the same way, so that target is always a whole database. Returns an empty string, or why not.
std::string publishLastRun(const std::string& entry, const std::string& target,
                           LastRunLink how = LastRunLink::HardLinkOrCopy);

}  // namespace dravia
