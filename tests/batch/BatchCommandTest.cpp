#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "batch/BatchTestSupport.h"
#include "support/RunCommand.h"
#include "support/SmallDataSet.h"

namespace dravia {
namespace {

using Result = test::CommandResult;
using test::runBatch;

TEST(BatchCommandLine, HelpDocumentsBothSubcommands) {
    Result help = runBatch("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("run"), std::string::npos);
    EXPECT_NE(help.output.find("stats"), std::string::npos);
    Result runHelp = runBatch("run --help");
    EXPECT_EQ(runHelp.status, 0);
    for (const char* option : {"--dir", "--years", "--iterations", "--seed", "--community", "--every-tree",
                               "--water-stress-mode"}) {
        EXPECT_NE(runHelp.output.find(option), std::string::npos) << option;
    }
    EXPECT_NE(runBatch("stats --help").output.find("--tsv"), std::string::npos);
    Result version = runBatch("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.output.find("4.00"), std::string::npos);
}

TEST(BatchCommandLine, UsageErrorsExitTwoWithOneLine) {
    for (const char* arguments :
         {"", "fly", "run --years", "run --years abc", "run --community 9", "run --water-stress-mode 2",
          "stats --bogus", "run --seed 0", "run --seed nan", "run --seed 1.5", "run --seed 1e300",
          "run --seed -3", "run --seed 2147483647", "run --seed 12x", "run --model-option FOO=2",
          "run --model-option SLOW_GROWTH_YEARS", "run --model-option SLOW_GROWTH_YEARS=0",
          "run --model-option CLIMATE_MEMORY_YEARS=1001"}) {
        Result result = runBatch(arguments);
        EXPECT_EQ(result.status, 2) << arguments;
        EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1)
            << arguments << result.output;
    }
}

TEST(BatchCommandLine, MissingInputAtStartUpExits255) {
    test::TempDirectory directory;
    Result result = runBatch("run");
    EXPECT_EQ(result.status, 255) << result.output;
    EXPECT_FALSE(result.output.empty());
}

TEST(BatchCommandLine, AMissingWorkingDirectoryIsRefused) {
    Result result = runBatch("run --dir /nonexistent/dravia");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("/nonexistent/dravia"), std::string::npos);
}

TEST(BatchRun, RunThenBothStatisticsLayoutsWriteTheirFiles) {
    test::TempDirectory directory;
    test::SmallDataSetOptions options;
    options.numYears = 30;
    options.numIters = 3;
    test::writeSmallDataSet(directory.path(), options);
    Result run = runBatch("run --years 20 --seed 99 --every-tree");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Simulation Completed."), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists("Data/results.out"));
    EXPECT_NE(test::readTextFile("Data/statsInputOutputRunTimeParams.txt").find("20"), std::string::npos);

    Result plain = runBatch("stats");
    EXPECT_EQ(plain.status, 0) << plain.output;
    const std::string plainReport = test::readTextFile("Data/stats.out");
    EXPECT_NE(plainReport.find('\f'), std::string::npos);
    Result tsv = runBatch("stats --tsv");
    EXPECT_EQ(tsv.status, 0) << tsv.output;
    const std::string tsvReport = test::readTextFile("Data/stats.out");
    EXPECT_NE(tsvReport.find('\t'), std::string::npos);
    EXPECT_NE(tsvReport, plainReport);
}

TEST(BatchRun, TheSameSeedWritesTheSameResultsAndOptionsTakeEffect) {
    test::TempDirectory directory;
    test::writeSmallDataSet(directory.path());
    ASSERT_EQ(runBatch("run --seed 2024 --iterations 2 --years 30").status, 0);
    const std::string first = test::readTextFile("Data/results.out");
    ASSERT_EQ(runBatch("run --seed 2024 --iterations 2 --years 30").status, 0);
    EXPECT_EQ(test::readTextFile("Data/results.out"), first);
    EXPECT_NE(first.find(" Years:             30 \n"), std::string::npos);
    EXPECT_NE(first.find(" Iterations:         2 \n"), std::string::npos);
    ASSERT_EQ(runBatch("run --seed 2025 --iterations 2 --years 30").status, 0);
    EXPECT_NE(test::readTextFile("Data/results.out"), first);
    // The copies say which stream made the results: the seed given on the command line.
    EXPECT_NE(test::readTextFile("Data/statsInitParams.txt").find("SEED_INIT              2025.000000\n"),
              std::string::npos);
}

// The preset's model-options file is read beside its initial-values file; --classic sets its options
// off, and --model-option sets an option whatever the file says.
TEST(BatchRun, ModelOptionsFromTheFileTheClassicFlagAndTheCommandLine) {
    test::TempDirectory directory;
    test::SmallDataSetOptions small;
    small.climateChange = 1;  // years of their own weather, for the climate memory to average
    test::writeSmallDataSet(directory.path(), small);
    const std::string run = "run --seed 2024 --iterations 2 --years 80";
    ASSERT_EQ(runBatch(run).status, 0);
    const std::string classic = test::readTextFile("Data/results.out");
    EXPECT_FALSE(std::filesystem::exists("Data/statsInitModelOptions.txt"))
        << "a classic run leaves two copies";

    test::writeTextFile("Data/initModelOptions.txt", "SLOW_GROWTH_YEARS 5\nCLIMATE_MEMORY_YEARS 10\n");
    ASSERT_EQ(runBatch(run).status, 0);
    const std::string withOptions = test::readTextFile("Data/results.out");
    EXPECT_NE(withOptions, classic);
    EXPECT_EQ(test::readTextFile("Data/statsInitModelOptions.txt"),
              "// Model options the run was made with; options not named were off.\n"
              "SLOW_GROWTH_YEARS 5\nCLIMATE_MEMORY_YEARS 10\n");
    // The statistics read the options from the run's copy, whatever the preset's file says now.
    test::writeTextFile("Data/initModelOptions.txt", "SLOW_GROWTH_YEARS 7\n");
    const std::string optionsLine = "MODEL OPTIONS: SLOW_GROWTH_YEARS=5, CLIMATE_MEMORY_YEARS=10\n";
    for (const char* stats : {"stats", "stats --tsv"}) {
        ASSERT_EQ(runBatch(stats).status, 0) << stats;
        EXPECT_EQ(test::linesOf(test::readTextFile("Data/stats.out")).at(1) + "\n", optionsLine) << stats;
    }
    test::writeTextFile("Data/initModelOptions.txt", "SLOW_GROWTH_YEARS 5\nCLIMATE_MEMORY_YEARS 10\n");

    ASSERT_EQ(runBatch(run + " --classic").status, 0);
    EXPECT_EQ(test::readTextFile("Data/results.out"), classic);
    EXPECT_FALSE(std::filesystem::exists("Data/statsInitModelOptions.txt"))
        << "the last run's copy is removed";
    ASSERT_EQ(runBatch("stats").status, 0);
    EXPECT_EQ(test::readTextFile("Data/stats.out").find("MODEL OPTIONS"), std::string::npos);

    ASSERT_EQ(
        runBatch(run + " --classic --model-option SLOW_GROWTH_YEARS=5 --model-option CLIMATE_MEMORY_YEARS=10")
            .status,
        0);
    EXPECT_EQ(test::readTextFile("Data/results.out"), withOptions);

    test::writeTextFile("Data/initModelOptions.txt", "SLOW_GROWTH_YEARS many\n");
    const Result refused = runBatch(run);
    EXPECT_EQ(refused.status, 255);
    EXPECT_NE(refused.output.find("initModelOptions.txt"), std::string::npos) << refused.output;
}

TEST(BatchRun, StatisticsWithoutAResultsFileFail) {
    test::TempDirectory directory;
    test::writeSmallDataSet(directory.path());
    ASSERT_EQ(runBatch("run --years 10 --iterations 2").status, 0);
    std::filesystem::remove("Data/results.out");
    EXPECT_NE(runBatch("stats").status, 0);
}

// This test process holds the working directory's lock, as a run or statistics command of
// another program would: the batch tool's run and statistics are refused until it lets go. A
// directory where a lock file might be expected changes nothing.
TEST(BatchRun, AnotherProgramInTheWorkingDirectoryIsWaitedFor) {
    test::TempDirectory directory;
    test::writeSmallDataSet(directory.path());
    ASSERT_EQ(runBatch("run --years 10 --iterations 2").status, 0);
    const std::string results = test::readTextFile("Data/results.out");
    std::filesystem::create_directory(".dravia4.lock");
    const int held = open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    const std::string busy =
        "Another Dravia4 program is running, analysing or merging in the working directory\n\"" +
        std::filesystem::canonical(directory.path()).string() + "\".\nTry again when it has finished.";
    for (const char* command : {"run --years 10 --iterations 2", "stats", "stats --tsv"}) {
        const Result refused = runBatch(command);
        EXPECT_EQ(refused.status, 1) << command;
        EXPECT_NE(refused.output.find(busy), std::string::npos) << refused.output;
    }
    EXPECT_EQ(test::readTextFile("Data/results.out"), results);
    EXPECT_FALSE(std::filesystem::exists("Data/stats.out"));
    close(held);
    EXPECT_EQ(runBatch("stats").status, 0);
}

// Out of memory, the batch tool says so and ends with status 1, never with an uncaught exception
// (status 134). A results file of 100 MB under an address-space limit of 80 MB: reading it fails.
TEST(BatchRun, RunningOutOfMemoryIsReportedWithStatusOne) {
#ifdef DRAVIA_SANITIZED
    GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
#endif
    test::TempDirectory directory;
    test::writeSmallDataSet(directory.path());
    ASSERT_EQ(runBatch("run --years 10 --iterations 2").status, 0);
    std::filesystem::resize_file("Data/results.out", 100u << 20);
    const Result result = test::runCommand("ulimit -v 81920 && exec " + test::batchTool() + " stats 2>&1");
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_NE(result.output.find("Error: the program ran out of memory."), std::string::npos)
        << result.output;
}

}  // namespace
}  // namespace dravia
