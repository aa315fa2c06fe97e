#include "output/rundb/RunLibrary.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/Scenario.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

constexpr const char* ENTRY_EXTENSION = ".sqlite";

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Anything at all under the name (a file, a folder, a dangling link) takes it.
bool nameTaken(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

LibraryEntry readEntry(const std::string& folder, const std::string& fileName) {
    LibraryEntry entry;
    entry.fileName = fileName;
    entry.path = folder + "/" + fileName;
    struct stat info {};
    if (stat(entry.path.c_str(), &info) == 0) entry.bytes = static_cast<unsigned long long>(info.st_size);
    try {
        DatabaseConnection db(entry.path, true);
        entry.format = runDatabaseFormat(db);
        const std::vector<std::string> scenarios = scenariosOf(db);
        if (scenarios.size() != 1) {
            entry.problem = formatText("it holds %zu scenarios, not the one of a run", scenarios.size());
            return entry;
        }
        entry.scenario = scenarios.front();
        DatabaseStatement run = db.prepare(
            "SELECT sum(iterations), max(plots), max(years), min(started_utc), min(completed) FROM run");
        if (run.nextRow()) {
            entry.iterations = static_cast<int>(run.integerColumn(0));
            entry.plots = static_cast<int>(run.integerColumn(1));
            entry.years = static_cast<int>(run.integerColumn(2));
            entry.startedUtc = run.textColumn(3);
            entry.completed = run.integerColumn(4) == 1;
        }
        DatabaseStatement planned =
            db.prepare("SELECT value FROM setting WHERE name = 'NUM_ITERS' ORDER BY part LIMIT 1");
        entry.plannedIterations =
            planned.nextRow() ? std::atoi(planned.textColumn(0).c_str()) : entry.iterations;
    } catch (const DatabaseError& error) {
        entry.problem = error.reason;
        entry.scenario.clear();
    }
    return entry;
}

// Copies the whole file at `from` to the open descriptor and flushes it to the disk; 0, or the
// system's error number.
int copyInto(const std::string& from, int descriptor) {
    const int source = ::open(from.c_str(), O_RDONLY);
    if (source < 0) return errno;
    char buffer[1 << 16];
    int failure = 0;
    while (failure == 0) {
        const ssize_t count = ::read(source, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) failure = errno;
        if (count <= 0) break;
        for (ssize_t done = 0; failure == 0 && done < count;) {
            const ssize_t written = ::write(descriptor, buffer + done, static_cast<size_t>(count - done));
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) failure = written < 0 ? errno : ENOSPC;
            if (written > 0) done += written;
        }
    }
    ::close(source);
    if (failure == 0 && fsync(descriptor) != 0) failure = errno;
    return failure;
}

}  // namespace

std::string newLibraryEntryPath(const std::string& folder, const std::tm& start,
                                const std::string& scenario) {
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &start);
    const std::string stem = folder + "/" + stamp + "-" + scenarioFileStem(scenario);
    std::string path = stem + ENTRY_EXTENSION;
    for (int number = 2; nameTaken(path); ++number)
        path = formatText("%s-%d%s", stem.c_str(), number, ENTRY_EXTENSION);
    return path;
}

std::vector<LibraryEntry> readRunLibrary(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* directory = opendir(folder.c_str())) {
        while (const dirent* item = readdir(directory)) {
            const std::string name = item->d_name;
            struct stat info {};
            // A run still being written has a temporary name and is not yet in the library.
            if (endsWith(name, ENTRY_EXTENSION) && stat((folder + "/" + name).c_str(), &info) == 0 &&
                S_ISREG(info.st_mode))
                names.push_back(name);
        }
        closedir(directory);
    }
    // By start time, and within a second in the order the names were taken: "X" before "X-2".
    const auto stem = [](const std::string& name) {
        return name.substr(0, name.size() - std::strlen(ENTRY_EXTENSION));
    };
    std::sort(names.begin(), names.end(),
              [&stem](const std::string& a, const std::string& b) { return stem(a) < stem(b); });
    std::vector<LibraryEntry> entries;
    for (const std::string& name : names) entries.push_back(readEntry(folder, name));
    return entries;
}

unsigned long long libraryBytes(const std::vector<LibraryEntry>& entries) {
    unsigned long long total = 0;
    for (const LibraryEntry& entry : entries) total += entry.bytes;
    return total;
}

std::vector<LibraryEntry> oldestRunsBeyond(const std::vector<LibraryEntry>& entries,
                                           unsigned long long limit) {
    std::vector<LibraryEntry> oldest;
    unsigned long long total = libraryBytes(entries);
    for (size_t i = 0; i + 1 < entries.size() && total > limit; ++i) {
        oldest.push_back(entries[i]);
        total -= entries[i].bytes;
    }
    return oldest;
}

std::string renameLibraryRun(const std::string& path, const std::string& name) {
    const std::string problem = scenarioNameProblem(name);
    if (!problem.empty()) return formatText("The run cannot take that name: %s.", problem.c_str());
    try {
        DatabaseConnection db(path, false);
        const int format = runDatabaseFormat(db);
        if (format == FIRST_RUN_DATABASE_FORMAT) {
            return formatText(
                "\"%s\" was written by an earlier version of Dravia4, whose run databases "
                "keep no name: it is named by its settings and cannot be renamed.",
                path.c_str());
        }
        if (scenariosOf(db).size() != 1)
            return formatText("\"%s\" is not the database of one run.", path.c_str());
        // One transaction: the tables never disagree about the run's name.
        db.execute("BEGIN IMMEDIATE");
        for (const std::string& table : runTablesOfFormat(format))
            db.prepare(formatText("UPDATE %s SET scenario = ?1", table.c_str()).c_str())
                .bind(1, name)
                .execute();
        db.execute("COMMIT");
        db.close();
    } catch (const DatabaseError& error) {
        return formatText("The run \"%s\" could not be renamed: %s.", path.c_str(), error.reason.c_str());
    }
    return {};
}

std::string deleteLibraryRun(const std::string& path) {
    if (std::remove(path.c_str()) != 0) {
        return formatText("The run \"%s\" could not be deleted: %s.", path.c_str(), std::strerror(errno));
    }
    // A journal left without its database would be taken for that of the next file of the name.
    for (const char* companion : {"-journal", "-wal", "-shm"}) std::remove((path + companion).c_str());
    return {};
}

std::string publishLastRun(const std::string& entry, const std::string& target, LastRunLink how) {
    if (sameFile(entry, target)) return {};
    auto failed = [&](const char* reason) {
        return formatText("\"%s\" could not be made the last run (\"%s\"): %s.", target.c_str(),
                          entry.c_str(), reason);
    };
    std::string temporary;
    const int descriptor = createFileBeside(target, temporary);
    if (descriptor < 0) return failed(std::strerror(errno));
    if (how == LastRunLink::HardLinkOrCopy) {
        // The free name the empty file held takes the link; should the link fail (a file system
        // without links, or one that refuses them), a copy is made instead.
        ::close(descriptor);
        ::unlink(temporary.c_str());
        if (::link(entry.c_str(), temporary.c_str()) != 0)
            return publishLastRun(entry, target, LastRunLink::CopyOnly);
    } else {
        int failure = copyInto(entry, descriptor);
        if (::close(descriptor) != 0 && failure == 0) failure = errno;
        if (failure != 0) {
            ::unlink(temporary.c_str());
            return failed(std::strerror(failure));
        }
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int failure = errno;
        ::unlink(temporary.c_str());
        return failed(std::strerror(failure));
    }
    return {};
}

}  // namespace dravia
