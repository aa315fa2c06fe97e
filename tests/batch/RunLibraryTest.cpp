#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/BatchTestSupport.h"
#include "batch/RunDatabaseTestSupport.h"
#include "output/rundb/RunLibrary.h"
#include "support/SmallDataSet.h"

namespace dravia {
namespace {

namespace fs = std::filesystem;
using test::query;
using Rows = std::vector<std::vector<std::string>>;

std::tm startAt(int hour, int minute, int second) {
    std::tm start{};
    start.tm_year = 2026 - 1900;
    start.tm_mon = 2;  // March
    start.tm_mday = 5;
    start.tm_hour = hour;
    start.tm_min = minute;
    start.tm_sec = second;
    return start;
}

struct stat statusOf(const fs::path& file) {
    struct stat info {};
    EXPECT_EQ(stat(file.c_str(), &info), 0) << file;
    return info;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RunLibrary, EntriesAreNamedByStartAndScenarioAndNumberedWhenTaken) {
    test::TempDirectory temp;
    const std::string folder = (temp.path() / "runs").string();
    fs::create_directories(folder);
    const std::string warming = "Hubbard Brook \xC2\xB7 warming";
    const std::string stem = folder + "/20260305-070809-Hubbard_Brook_warming";
    struct Case {
        std::string taken;  // made before asking, "" for nothing
        bool asFolder;
        std::string expected;
    } cases[] = {
        {"", false, stem + ".sqlite"},
        {stem + ".sqlite", false, stem + "-2.sqlite"},
        {stem + "-2.sqlite", false, stem + "-3.sqlite"},
        {stem + "-3.sqlite", true, stem + "-4.sqlite"},  // a folder takes the name as well
    };
    for (const Case& c : cases) {
        if (c.asFolder) fs::create_directory(c.taken);
        if (!c.taken.empty() && !c.asFolder) test::writeTextFile(c.taken, "");
        EXPECT_EQ(newLibraryEntryPath(folder, startAt(7, 8, 9), warming), c.expected) << c.taken;
    }
    // The next second starts afresh.
    EXPECT_EQ(newLibraryEntryPath(folder, startAt(7, 8, 10), warming),
              folder + "/20260305-070810-Hubbard_Brook_warming.sqlite");
}

TEST(RunLibrary, TheOldestRunsGoDownToTheLimitAndNeverTheNewest) {
    struct Case {
        std::vector<unsigned long long> bytes;  // oldest first
        unsigned long long limit;
        size_t expected;  // how many of the oldest
    } cases[] = {
        {{5, 5, 5}, 15, 0},                                        // at the limit: nothing
        {{5, 5, 5}, 14, 1}, {{5, 5, 5}, 5, 2}, {{5, 5, 5}, 0, 2},  // the newest stays however large
        {{1, 20}, 10, 1},   {{}, 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<LibraryEntry> entries;
        for (const unsigned long long bytes : c.bytes) {
            entries.push_back({});
            entries.back().bytes = bytes;
            entries.back().fileName = std::to_string(entries.size());
        }
        const std::vector<LibraryEntry> oldest = oldestRunsBeyond(entries, c.limit);
        ASSERT_EQ(oldest.size(), c.expected) << c.limit;
        for (size_t i = 0; i < oldest.size(); ++i) EXPECT_EQ(oldest[i].fileName, entries[i].fileName);
    }
}

// Runs of the small data set with logging (so that every table has rows), their databases in
// one library folder.
struct LibraryRuns : ::testing::Test {
    test::TempDirectory temp;
    fs::path library = temp.path() / "runs";

    fs::path run(const std::string& file, const std::string& options = "") {
        const fs::path directory = temp.path() / ("work-" + file);
        test::SmallDataSetOptions o;
        o.numIters = 2;
        o.numPlots = 2;
        o.testDisturb = 1;
        o.blowDown = 1;
        test::writeSmallDataSet(directory, o);
        fs::create_directories(library);
        const fs::path database = library / file;
        const auto ran =
            test::runCommand(test::batchTool() + " run --dir " + test::quoted(directory) + " --db " +
                             test::quoted(database) + " --db-trees " + options + " 2>&1");
        EXPECT_EQ(ran.status, 0) << ran.output;
        return database;
    }
};

TEST_F(LibraryRuns, ARenameReachesEveryTableAndRefusesWhatItCannotName) {
    const fs::path database = run("20260305-070809-a.sqlite", "--scenario Before");
    const std::string name = "Warm 'n' dry\"; DROP TABLE run; --";  // names are data
    EXPECT_EQ(renameLibraryRun(database.string(), name), "");
    for (const std::string& table : runTablesOfFormat(RUN_DATABASE_FORMAT))
        EXPECT_EQ(query(database, std::string("SELECT DISTINCT scenario FROM ") + table), Rows{{name}})
            << table;
    EXPECT_EQ(namesIn(library), std::vector<std::string>{"20260305-070809-a.sqlite"});

    // Names a list cannot show are refused, and the run keeps its name.
    for (const std::string& bad : {std::string(), std::string("two\nlines")}) {
        EXPECT_NE(renameLibraryRun(database.string(), bad), "") << bad;
        EXPECT_EQ(query(database, "SELECT DISTINCT scenario FROM stand"), Rows{{name}});
    }
    // A database of the first format has no name to change.
    test::makeFirstFormat(database);
    EXPECT_NE(renameLibraryRun(database.string(), "New").find("earlier version of Dravia4"),
              std::string::npos);
}

TEST_F(LibraryRuns, TheListReadsBothFormatsAndSaysWhyOthersCannotBeRead) {
    const fs::path named = run("20260101-080000-Normal.sqlite", "--scenario Normal");
    const fs::path older = run("20260102-080000-older.sqlite");
    const std::string defaultName = query(older, "SELECT scenario FROM run")[0][0];
    test::makeFirstFormat(older);
    // Taken in the same second as the first: listed after it.
    fs::copy_file(named, library / "20260101-080000-Normal-2.sqlite");
    const fs::path quit = library / "20260103-080000-quit.sqlite";
    fs::copy_file(named, quit);
    {
        DatabaseConnection db(quit.string(), false);
        db.execute("UPDATE run SET completed = 0, iterations = 1");
    }
    const fs::path later = library / "20260104-080000-later.sqlite";
    fs::copy_file(named, later);
    {
        DatabaseConnection db(later.string(), false);
        db.execute("PRAGMA user_version=99");
    }
    test::writeTextFile(library / "20260105-080000-text.sqlite", "not a database");
    // Neither a run still being written nor a folder is a run of the library.
    test::writeTextFile(library / "20260106-080000-busy.sqlite.Ab12Cd", "");
    fs::create_directory(library / "20260107-080000-folder.sqlite");

    const std::vector<LibraryEntry> entries = readRunLibrary(library.string());
    ASSERT_EQ(entries.size(), 6u);
    struct Expected {
        std::string file, scenario;
        bool completed;
        int iterations;
        std::string problem;  // a part of it
    } expected[] = {
        {"20260101-080000-Normal.sqlite", "Normal", true, 2, ""},
        {"20260101-080000-Normal-2.sqlite", "Normal", true, 2, ""},
        {"20260102-080000-older.sqlite", defaultName, true, 2, ""},
        {"20260103-080000-quit.sqlite", "Normal", false, 1, ""},
        {"20260104-080000-later.sqlite", "", false, 0, "written by a later version of Dravia4"},
        {"20260105-080000-text.sqlite", "", false, 0, "not a database"},
    };
    for (size_t i = 0; i < entries.size(); ++i) {
        const LibraryEntry& entry = entries[i];
        const Expected& e = expected[i];
        EXPECT_EQ(entry.fileName, e.file);
        EXPECT_EQ(entry.scenario, e.scenario) << e.file;
        EXPECT_EQ(entry.completed, e.completed) << e.file;
        EXPECT_EQ(entry.iterations, e.iterations) << e.file;
        EXPECT_NE(entry.problem.find(e.problem), std::string::npos) << e.file << ": " << entry.problem;
        EXPECT_EQ(entry.problem.empty(), e.problem.empty()) << e.file;
        EXPECT_EQ(entry.bytes, fs::file_size(library / e.file)) << e.file;
    }
    EXPECT_FALSE(defaultName.empty());
    EXPECT_EQ(entries[3].plannedIterations, 2);
    EXPECT_EQ(entries[0].plots, 2);
    unsigned long long bytes = 0;
    for (const Expected& e : expected) bytes += fs::file_size(library / e.file);
    EXPECT_EQ(libraryBytes(entries), bytes);
}

TEST_F(LibraryRuns, TheLastRunIsTheNewestEntryLinkedOrCopiedWholeAndDeletingLeavesNoJournal) {
    const fs::path first = run("20260101-080000-a.sqlite", "--scenario First");
    const fs::path second = run("20260101-090000-b.sqlite", "--scenario Second");
    const fs::path work = temp.path() / "work";
    fs::create_directories(work);
    const fs::path last = work / "dravia4-run.sqlite";
    test::writeTextFile(last, "the run before");

    EXPECT_EQ(publishLastRun(first.string(), last.string()), "");
    EXPECT_EQ(statusOf(last).st_ino, statusOf(first).st_ino);
    EXPECT_EQ(publishLastRun(second.string(), last.string()), "");
    EXPECT_EQ(statusOf(last).st_ino, statusOf(second).st_ino);
    EXPECT_EQ(query(first, "SELECT scenario FROM run"), Rows{{"First"}});  // the earlier run untouched
    EXPECT_EQ(publishLastRun(second.string(), last.string()), "");         // already it
    EXPECT_EQ(namesIn(work), std::vector<std::string>{"dravia4-run.sqlite"});

    // Where links fail, a whole copy with the permissions of any new file.
    const mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(publishLastRun(first.string(), last.string(), LastRunLink::CopyOnly), "");
    EXPECT_NE(statusOf(last).st_ino, statusOf(first).st_ino);
    EXPECT_EQ(test::readTextFile(last), test::readTextFile(first));
    EXPECT_EQ(statusOf(last).st_mode & 0777, 0666 & ~mask);
    EXPECT_EQ(namesIn(work), std::vector<std::string>{"dravia4-run.sqlite"});

    // A journal left beside a deleted run would be replayed into the next file of its name.
    test::writeTextFile(second.string() + "-journal", "journal");
    EXPECT_EQ(deleteLibraryRun(second.string()), "");
    EXPECT_EQ(namesIn(library), std::vector<std::string>{"20260101-080000-a.sqlite"});
    EXPECT_NE(deleteLibraryRun(second.string()), "");
}

}  // namespace
}  // namespace dravia
