// Run databases against a careless or hostile user: names that reach outside OUT or onto other
// files, databases that belong to another run, runs that fail or are interrupted while an earlier
// database stands under the same name.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "batch/BatchTestSupport.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "support/SmallDataSet.h"

namespace dravia {
namespace {

namespace fs = std::filesystem;
using test::runCommand;

struct Runs : ::testing::Test {
    test::TempDirectory temp;

    // A run in its own directory; "DB/" in the options stands for that directory.
    fs::path run(const std::string& name, std::string options, int iterations = 2) {
        const fs::path directory = temp.path() / name;
        test::SmallDataSetOptions o;
        o.numIters = iterations;
        if (!fs::exists(directory)) test::writeSmallDataSet(directory, o);
        for (size_t at = options.find("DB/"); at != std::string::npos; at = options.find("DB/"))
            options.replace(at, 2, directory.string());
        const auto ran =
            runCommand(test::batchTool() + " run --dir " + test::quoted(directory) + " " + options + " 2>&1");
        EXPECT_EQ(ran.status, 0) << ran.output;
        return directory;
    }
    test::CommandResult batch(const std::string& arguments) {
        return runCommand(test::batchTool() + " " + arguments + " 2>&1");
    }
};

TEST_F(Runs, MergeTakesOnlyAPlainDatabaseNameInsideOut) {
    const fs::path a = run("a", "--db DB/dravia4-run.sqlite");
    const fs::path b = run("b", "--db DB/dravia4-run.sqlite --seed 5");
    test::writeTextFile(temp.path() / "x", "a file beside OUT\n");
    for (const std::string& name :
         {std::string("../x"), (temp.path() / "x").string(), std::string("sub/x"), std::string("..")}) {
        const auto refused = batch("merge --db '" + name + "' " + test::quoted(temp.path() / "out") + " " +
                                   test::quoted(a) + " " + test::quoted(b));
        EXPECT_EQ(refused.status, 1) << name;
        EXPECT_NE(refused.output.find("The run database's name \"" + name + "\" is not a plain file name"),
                  std::string::npos)
            << refused.output;
        EXPECT_TRUE(fs::exists(temp.path() / "x")) << name;
    }
    EXPECT_TRUE(fs::exists(a / STANDARD_RUN_DATABASE_NAME));
}

TEST_F(Runs, ADatabaseNamedLikeAFileTheProgramWritesIsRefused) {
    const fs::path directory = run("a", "");
    const std::string report = test::readTextFile(directory / "Data" / "results.out");
    struct Row {
        std::string database;
        std::string other;  // the item named in the message
    };
    for (const Row& row : {Row{"newplot", "the tree list \"newplot\""},
                           Row{"Data/stats.out", "STATS_RESULTS_FILE \"Data\\stats.out\""},
                           Row{"Data/results.out", "RESULTS_FILE \"Data\\results.out\""},
                           Row{"Data/species.txt", "SPP_PARAM_FILE \"Data\\species.txt\""}}) {
        const auto refused =
            batch("run --dir " + test::quoted(directory) + " --db " + test::quoted(directory / row.database));
        EXPECT_EQ(refused.status, 1) << row.database;
        EXPECT_NE(refused.output.find("is the same file as " + row.other), std::string::npos)
            << refused.output;
    }
    EXPECT_EQ(test::readTextFile(directory / "Data" / "results.out"), report);
    EXPECT_NE(batch("run --dir " + test::quoted(directory) + " --db ''").status, 0);

    // Export never writes over the database it reads.
    const fs::path csv = temp.path() / "csv";
    fs::create_directories(csv);
    run("b", "--db " + test::quoted(csv / "stand.csv"));
    const std::string database = test::readTextFile(csv / "stand.csv");
    const auto refused =
        batch("export --db " + test::quoted(csv / "stand.csv") + " --csv " + test::quoted(csv));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.output.find("is the file stand.csv that export would write"), std::string::npos)
        << refused.output;
    EXPECT_EQ(test::readTextFile(csv / "stand.csv"), database);
    // A directory where a table's file belongs is named for what it is.
    fs::create_directories(temp.path() / "csv2" / "run.csv");
    const auto directoryThere = batch("export --db " + test::quoted(csv / "stand.csv") + " --csv " +
                                      test::quoted(temp.path() / "csv2"));
    EXPECT_NE(directoryThere.output.find("run.csv\" could not be created: a directory stands in its place."),
              std::string::npos)
        << directoryThere.output;
}

// Site years for every iteration that differ from the first part's become rows of the part's own
// iterations: only those its run holds, however many a crafted plot_year claims.
TEST_F(Runs, MergedSiteYearsStayWithinTheIterationsOfTheirRun) {
    const fs::path a = run("a", "--db DB/dravia4-run.sqlite");
    const fs::path b = run("b", "--db DB/dravia4-run.sqlite --seed 5");
    {
        DatabaseConnection db((b / STANDARD_RUN_DATABASE_NAME).string(), false);
        db.execute(
            "UPDATE site_year SET temperature = 0.5 WHERE iteration = 0; WITH RECURSIVE k(i) AS (SELECT 3 "
            "UNION "
            "ALL SELECT i + 1 FROM k WHERE i < 200000) INSERT INTO plot_year SELECT i, 1, 1, 0, scenario "
            "FROM k, "
            "(SELECT scenario FROM run)");
    }
    const auto merged =
        batch("merge " + test::quoted(temp.path() / "out") + " " + test::quoted(a) + " " + test::quoted(b));
    ASSERT_EQ(merged.status, 0) << merged.output;
    DatabaseConnection db((temp.path() / "out" / STANDARD_RUN_DATABASE_NAME).string(), true);
    DatabaseStatement iterations = db.prepare(
        "SELECT min(iteration), max(iteration) FROM site_year WHERE iteration > 0 "
        "AND temperature = 0.5");
    ASSERT_TRUE(iterations.nextRow());
    EXPECT_EQ(iterations.integerColumn(0), 3);
    EXPECT_EQ(iterations.integerColumn(1), 4);
}

// Export reads the one view it writes as a file only as the program makes it: a crafted endless
// one is refused, not written until the disk is full.
TEST_F(Runs, ExportRefusesAViewItDidNotWrite) {
    const fs::path a = run("a", "--db DB/dravia4-run.sqlite");
    {
        DatabaseConnection db((a / STANDARD_RUN_DATABASE_NAME).string(), false);
        db.execute(
            "DROP VIEW limiting_factors; CREATE VIEW limiting_factors AS WITH RECURSIVE k(i) AS (SELECT 1 "
            "UNION "
            "ALL SELECT i + 1 FROM k) SELECT i FROM k");
    }
    const auto exported = batch("export --db " + test::quoted(a / STANDARD_RUN_DATABASE_NAME) + " --csv " +
                                test::quoted(temp.path() / "csv"));
    EXPECT_EQ(exported.status, 1);
    EXPECT_NE(exported.output.find("its view limiting_factors is not the one Dravia4 writes"),
              std::string::npos)
        << exported.output;
}

TEST_F(Runs, MergeRefusesADatabaseThatDescribesAnotherRun) {
    const fs::path a = run("a", "--db DB/dravia4-run.sqlite");
    const fs::path b = run("b", "--db DB/dravia4-run.sqlite --seed 5");
    const fs::path other = run("other", "--db DB/dravia4-run.sqlite --seed 9", 3);
    const fs::path database = b / STANDARD_RUN_DATABASE_NAME;
    const std::string own = test::readTextFile(database);
    struct Row {
        const char* what;
        std::string source;  // a database put in b's place, or empty for b's own
        const char* sql;     // then run on b's database
        const char* reason;
    };
    const Row rows[] = {
        {"a copy of a's database", (a / STANDARD_RUN_DATABASE_NAME).string(), "",
         "its run began with the random state 4711, the run's statistics copies with 5"},
        {"a 3-iteration run's database", (other / STANDARD_RUN_DATABASE_NAME).string(), "",
         "its run began with the random state 9"},
        {"another length", "", "UPDATE run SET years = 40",
         "its run has 40 years, the run's statistics copies 30"},
        {"a part renumbered", "", "UPDATE run SET part = 2", "its part 2 begins with iteration 1"},
        {"more iterations", "", "UPDATE run SET iterations = 5", "its run has 5 iterations"},
    };
    for (const Row& row : rows) {
        test::writeTextFile(database, row.source.empty() ? own : test::readTextFile(row.source));
        if (*row.sql) {
            DatabaseConnection db(database.string(), false);
            db.execute(row.sql);
        }
        const auto refused = batch("merge " + test::quoted(temp.path() / "out") + " " + test::quoted(a) +
                                   " " + test::quoted(b));
        EXPECT_EQ(refused.status, 1) << row.what;
        EXPECT_NE(refused.output.find("does not describe the run in \"" + fs::canonical(b).string() +
                                      "\": " + row.reason),
                  std::string::npos)
            << row.what << ": " << refused.output;
    }
}

TEST_F(Runs, AnEarlierDatabaseStaysUntilTheNewOneIsComplete) {
    const fs::path directory = run("a", "--db DB/run.sqlite");
    const std::string earlier = test::readTextFile(directory / "run.sqlite");
    // A run stopped by a file-size limit: its results file fails first, the database never completes.
    const auto failed =
        runCommand("bash -c 'ulimit -f 4 && exec \"$0\" \"$@\"' " + std::string(DRAVIA_BATCH_PATH) +
                   " run --dir " + test::quoted(directory) + " --db " +
                   test::quoted(directory / "run.sqlite") + " --iterations 40 2>&1");
    EXPECT_NE(failed.status, 0) << failed.output;
    EXPECT_EQ(test::readTextFile(directory / "run.sqlite"), earlier);

    // The temporaries of a killed run go with the next run; a finished run's copy named alike stays.
    const fs::path abandoned = directory / "run.sqlite.Kill3d";
    const fs::path backup = directory / "run.sqlite.backup";
    fs::copy_file(directory / "run.sqlite", abandoned);
    fs::copy_file(directory / "run.sqlite", backup);
    {
        DatabaseConnection db(abandoned.string(), false);
        db.execute("UPDATE run SET finished_utc = NULL, completed = 0");
    }
    run("a", "--db DB/run.sqlite");
    EXPECT_FALSE(fs::exists(abandoned));
    EXPECT_TRUE(fs::exists(backup));
}

TEST_F(Runs, AnInterruptedRunLeavesNoTemporaryDatabase) {
    const fs::path directory = run("a", "");
    for (const int signal : {SIGTERM, SIGINT}) {
        const pid_t child = fork();
        if (child == 0) {
            const std::string dir = directory.string();
            const std::string database = (directory / "run.sqlite").string();
            execl(DRAVIA_BATCH_PATH, DRAVIA_BATCH_PATH, "run", "--dir", dir.c_str(), "--db", database.c_str(),
                  "--iterations", "100000", "--years", "1000", static_cast<char*>(nullptr));
            _exit(127);
        }
        // Waits (at most 20 s) for the temporary file, then interrupts the run.
        bool writing = false;
        for (int wait = 0; wait < 400 && !writing; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (const auto& entry : fs::directory_iterator(directory))
                writing = writing || entry.path().filename().string().rfind("run.sqlite.", 0) == 0;
        }
        EXPECT_TRUE(writing);
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        for (const auto& entry : fs::directory_iterator(directory))
            EXPECT_EQ(entry.path().filename().string().rfind("run.sqlite", 0), std::string::npos)
                << entry.path();
    }
}

}  // namespace
}  // namespace dravia
