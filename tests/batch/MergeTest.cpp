#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "batch/BatchTestSupport.h"
#include "platform/Format.h"
#include "run/Merge.h"

namespace dravia {
namespace {

namespace fs = std::filesystem;
using test::linesOf;
using test::runCommand;

// Record lines as the writers print them, built here from their formats.
std::string speciesRecord(int iteration, int year, int plot, int sn, int pop) {
    return formatText("%7d %5d %4d %3d %3d ", iteration, year, plot, sn, pop) +
           formatText("%27.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f \n", 1.5, 2.0, 0.25, 0.5, 0.75, 0.01,
                      3.51, 40.0);
}
std::string treeRecord(const char* marker, int iteration, int birthYear, int id) {
    return std::string(marker) + formatText(" %03d %05d %04d %03d %03d", iteration, birthYear, 1, 4, id) +
           formatText("%5d %6.3lf %6.1lf %8.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f\n", 3, 2.5, 180.0,
                      0.049, 0.1, 0.02, 0.03, 0.04, 0.001, 0.191, 0.0);
}
std::string disturbanceRecord(int iteration, int year) {
    return formatText("%5d %5d %7d %6d %7d ", iteration, year, 1, 4, 3) +
           formatText("%8.1f %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f \n", 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0,
                      8.0);
}

TEST(Renumbering, RecordsKeepTheirLayoutWithIterationsRaised) {
    const std::string header =
        "\n DRAVIA 4 TREE BIODATA\n RESULTS WITHOUT OR BEFORE LOGGING\n\n"
        " Iterations:         2 \n Years:             50 \n Print Interval:    10 \n\n";
    const std::string text = header + speciesRecord(1, 1, 1, 4, 7) + treeRecord(" ->", 1, 1, 2) +
                             treeRecord("   ", 2, 0, 0) + speciesRecord(2, 10, 1, 4, 9);
    const std::string expected =
        "\n DRAVIA 4 TREE BIODATA\n RESULTS WITHOUT OR BEFORE LOGGING\n\n"
        " Iterations:       125 \n Years:             50 \n Print Interval:    10 \n\n" +
        speciesRecord(101, 1, 1, 4, 7) + treeRecord(" ->", 101, 1, 2) + treeRecord("   ", 102, 0, 0) +
        speciesRecord(102, 10, 1, 4, 9);
    EXPECT_EQ(renumberIterations(text, 100, 125), expected);
}

TEST(Renumbering, TheDisturbanceFileKeepsItsNarrowIterationColumn) {
    const std::string header =
        "LOGGING DATA WITH A FREQUENCY OF 40 YEARS\nNUM_ITERS  NUM_YEARS   RESULTS_INTERV\n" +
        formatText("%7d %10d %11d\n", 2, 300, 25) +
        "  ITER  YEAR    PLOT    SN      POP     BA       STEM_BM   BARK_BM  BRANCH_BM  "
        "ROOT_BM  LEAF_BM  TOT_BIOM   TOT_VOL  \n";
    const std::string text = header + disturbanceRecord(1, 60) + disturbanceRecord(2, 100);
    std::string expected = header + disturbanceRecord(4, 60) + disturbanceRecord(5, 100);
    const std::string counts = formatText("%7d %10d %11d\n", 2, 300, 25);
    expected.replace(expected.find(counts), counts.size(), formatText("%7d %10d %11d\n", 9, 300, 25));
    EXPECT_EQ(renumberIterations(text, 3, 9), expected);
}

// Species and tree records begin with a number or with the new-sapling marker.
bool isRecord(const std::string& line) {
    const size_t first = line.find_first_not_of(' ');
    return line.compare(0, 3, " ->") == 0 ||
           (first != std::string::npos && std::isdigit(static_cast<unsigned char>(line[first])));
}

// Three finished runs of the shipped scenario, each in its own working directory.
class MergeRuns : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int k = 1; k <= 3; ++k) {
            const fs::path run = directory_.path() / ("run" + std::to_string(k));
            test::shippedScenario(run);
            runs_.push_back(run);
        }
    }
    void runAll(const std::string& options) {
        int k = 0;
        for (const fs::path& run : runs_) {
            ++k;
            const auto result =
                runCommand(test::batchTool() + " run --dir " + test::quoted(run) + " --seed " +
                           std::to_string(1000 + 77 * k) + " " + options + " 2>&1");
            ASSERT_EQ(result.status, 0) << result.output;
        }
    }
    test::CommandResult merge(const fs::path& out) { return merge(out, runs_); }
    test::CommandResult merge(const fs::path& out, const std::vector<fs::path>& runs) {
        std::string command = test::batchTool();
        command += " merge ";
        command += test::quoted(out);
        for (const fs::path& run : runs) {
            command += " ";
            command += test::quoted(run);
        }
        return runCommand(command + " 2>&1");
    }

    test::TempDirectory directory_;
    std::vector<fs::path> runs_;
};

TEST_F(MergeRuns, OneHeaderTheRunsInOrderAndIterationsNumberedOn) {
    // Two plots: the reports average over the plots of each iteration as well.
    for (const fs::path& run : runs_) test::setParameter(run / "Data" / "initParams.txt", "NUM_PLOTS", "2");
    runAll("--years 60 --iterations 2 --every-tree");
    const fs::path out = directory_.path() / "merged";
    const auto result = merge(out);
    ASSERT_EQ(result.status, 0) << result.output;

    const std::string merged = test::readTextFile(out / "Data" / "results.out");
    size_t headers = 0;
    for (size_t at = merged.find("DRAVIA 4 TREE BIODATA"); at != std::string::npos;
         at = merged.find("DRAVIA 4 TREE BIODATA", at + 1))
        ++headers;
    EXPECT_EQ(headers, 1u);
    EXPECT_NE(merged.find(" Iterations:         6 \n"), std::string::npos);

    // Run k's records, with their iterations moved on by 2 (k - 1), in the order of the runs.
    std::string expected;
    std::vector<std::string> renumberedRuns;
    for (size_t k = 0; k < runs_.size(); ++k) {
        renumberedRuns.emplace_back();
        const std::string own = test::readTextFile(runs_[k] / "Data" / "results.out");
        EXPECT_NE(own.find(" Iterations:         2 \n"), std::string::npos);
        for (const std::string& line : linesOf(own)) {
            if (!isRecord(line)) continue;
            std::string renumbered = line;
            if (line.compare(0, 3, " ->") == 0 || line.compare(0, 4, "    ") != 0 || line[4] == '0') {
                // A tree record: " %03d" behind the three-character marker.
                const int iteration = std::stoi(line.substr(4, 3));
                renumbered = line.substr(0, 3) + formatText(" %03d", iteration + static_cast<int>(2 * k)) +
                             line.substr(7);
            } else {
                const int iteration = std::stoi(line.substr(0, 7));
                renumbered = formatText("%7d", iteration + static_cast<int>(2 * k)) + line.substr(7);
            }
            expected += renumbered + "\n";
            renumberedRuns.back() += renumbered + "\n";
        }
    }
    std::string body;
    for (const std::string& line : linesOf(merged)) {
        if (isRecord(line)) body += line + "\n";
    }
    EXPECT_EQ(body, expected);
    // The header of the merged file is the first run's, but for its iteration count.
    const std::string firstRun = test::readTextFile(runs_[0] / "Data" / "results.out");
    const size_t headerEnd = firstRun.find("(cm)");
    std::string firstHeader = firstRun.substr(0, headerEnd);
    firstHeader.replace(firstHeader.find(" Iterations:         2 "), 23, " Iterations:         6 ");
    EXPECT_EQ(merged.substr(0, headerEnd), firstHeader);

    const std::string copy = test::readTextFile(out / "Data" / "statsInputOutputRunTimeParams.txt");
    EXPECT_NE(copy.find("NUM_ITERS                6\n"), std::string::npos);
    EXPECT_EQ(test::readTextFile(out / "Data" / "statsInitParams.txt"),
              test::readTextFile(runs_[0] / "Data" / "statsInitParams.txt"));

    const auto stats = runCommand(test::batchTool() + " stats --dir " + test::quoted(out) + " 2>&1");
    ASSERT_EQ(stats.status, 0) << stats.output;
    const std::string report = test::readTextFile(out / "Data" / "statsResults.out");
    EXPECT_NE(report.find("REPLICATES:     6"), std::string::npos);

    // The merged run reports exactly what one results file holding the six iterations reports:
    // the first run's file with the other runs' records, renumbered, behind it.
    const fs::path single = directory_.path() / "single";
    fs::copy(out, single, fs::copy_options::recursive);
    std::string oneFile = firstRun;
    oneFile.replace(oneFile.find(" Iterations:         2 "), 23, " Iterations:         6 ");
    test::writeTextFile(single / "Data" / "results.out", oneFile + renumberedRuns[1] + renumberedRuns[2]);
    fs::remove(single / "Data" / "statsResults.out");
    const auto singleStats = runCommand(test::batchTool() + " stats --dir " + test::quoted(single) + " 2>&1");
    ASSERT_EQ(singleStats.status, 0) << singleStats.output;
    EXPECT_EQ(test::readTextFile(single / "Data" / "statsResults.out"), report);
}

TEST_F(MergeRuns, DisturbanceFilesAreMergedWithTheirOwnHeaderOnce) {
    for (const fs::path& run : runs_) {
        const fs::path init = run / "Data" / "initParams.txt";
        test::setParameter(init, "TEST_DISTURB", "1");
        test::setParameter(init, "BLOW_DOWN", "1");
        test::setParameter(init, "FIRST_DISTURB_YEAR", "20");
        test::setParameter(init, "BLOW_FREQ", "20");
    }
    runAll("--years 60 --iterations 2");
    const fs::path out = directory_.path() / "merged";
    const auto result = merge(out);
    ASSERT_EQ(result.status, 0) << result.output;
    const std::string merged = test::readTextFile(out / "Data" / "disturbResults.out");
    EXPECT_EQ(merged.find("LOGGING DATA"), 0u);
    EXPECT_EQ(merged.find("LOGGING DATA", 1), std::string::npos);
    EXPECT_NE(merged.find(formatText("%7d %10d %11d\n", 6, 60, 25)), std::string::npos);
    // Logging in years 20, 40 and 60 of every iteration: each of the six iterations appears, in order.
    std::vector<int> iterations;
    for (const std::string& line : linesOf(merged)) {
        if (line.size() > 40 && line.find("ITER") == std::string::npos &&
            line.find('=') == std::string::npos && line.find("DATA") == std::string::npos &&
            line.find("NUM_") == std::string::npos && line.find_first_not_of(' ') < 5 &&
            line.find_first_of("0123456789") < 5)
            iterations.push_back(std::stoi(line.substr(0, 5)));
    }
    ASSERT_FALSE(iterations.empty());
    EXPECT_TRUE(std::is_sorted(iterations.begin(), iterations.end()));
    EXPECT_EQ(iterations.front(), 1);
    EXPECT_EQ(iterations.back(), 6);
    const std::string after = test::readTextFile(out / "Data" / "afterDisturbResults.out");
    EXPECT_NE(after.find(" RESULTS AFTER LOGGING IS COMPLETED"), std::string::npos);
    EXPECT_NE(after.find(" Iterations:         6 \n"), std::string::npos);

    const auto stats = runCommand(test::batchTool() + " stats --dir " + test::quoted(out) + " 2>&1");
    ASSERT_EQ(stats.status, 0) << stats.output;
    EXPECT_TRUE(fs::exists(out / "Data" / "disturbStatsResults.out"));
}

TEST_F(MergeRuns, RunsOfAnotherScenarioAreRefusedByTheParameterThatDiffers) {
    test::setParameter(runs_[1] / "Data" / "initParams.txt", "BLOW_FREQ", "40");
    runAll("--years 30 --iterations 2");
    const fs::path out = directory_.path() / "merged";
    const auto result = merge(out);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("BLOW_FREQ"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("80"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("40"), std::string::npos) << result.output;
    EXPECT_FALSE(fs::exists(out / "Data" / "results.out"));
}

// Replicates need their own seeds: runs that differ only in the seed are of one scenario.
TEST_F(MergeRuns, RunsThatDifferOnlyInTheirSeedAreMerged) {
    test::setParameter(runs_[1] / "Data" / "initParams.txt", "SEED_INIT", "2024.0");
    test::setParameter(runs_[2] / "Data" / "initParams.txt", "SEED_INIT", "77.0");
    runAll("--years 30 --iterations 2");
    const fs::path out = directory_.path() / "merged";
    const auto result = merge(out);
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(test::readTextFile(out / "Data" / "statsInputOutputRunTimeParams.txt")
                  .find("NUM_ITERS                6\n"),
              std::string::npos);
    EXPECT_EQ(test::readTextFile(out / "Data" / "statsInitParams.txt"),
              test::readTextFile(runs_[0] / "Data" / "statsInitParams.txt"));
}

TEST_F(MergeRuns, RunsOfDifferentLengthAreRefused) {
    runAll("--years 30 --iterations 2");
    const auto rerun = runCommand(test::batchTool() + " run --dir " + test::quoted(runs_[2]) +
                                  " --years 40 --iterations 2 2>&1");
    ASSERT_EQ(rerun.status, 0) << rerun.output;
    const auto result = merge(directory_.path() / "merged");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("NUM_YEARS"), std::string::npos) << result.output;
}

TEST_F(MergeRuns, ADifferentPlotFileIsRefusedByName) {
    runAll("--years 30 --iterations 2");
    const fs::path plot = runs_[1] / "Data" / "hbkPlot.txt";
    test::writeTextFile(plot, test::readTextFile(plot) + " 1 5.0 0.0\n");
    const auto result = merge(directory_.path() / "merged");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("PLOT_FILE"), std::string::npos) << result.output;
}

TEST_F(MergeRuns, ADirectoryWithoutAFinishedRunIsRefused) {
    runAll("--years 30 --iterations 2");
    fs::remove(runs_[2] / "Data" / "statsInputOutputRunTimeParams.txt");
    const auto result = merge(directory_.path() / "merged");
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.output.find("run3"), std::string::npos) << result.output;
}

// Inputs merge must not take: every row is refused with status 1, a message saying why, and
// nothing written outside the output directory.
TEST_F(MergeRuns, IncompleteDuplicateOrEscapingInputsAreRefused) {
    runAll("--years 30 --iterations 2");
    const fs::path out = directory_.path() / "merged";
    const fs::path victim = directory_.path() / "victim.txt";
    test::writeTextFile(victim, "not merge's to remove\n");
    // As a sweep's runs would all name it: the same in every run's copy.
    auto setCopyItem = [this](const std::string& item, const std::string& value) {
        for (const fs::path& run : runs_)
            test::setParameter(run / "Data" / "statsInputOutputRunTimeParams.txt", item, value);
    };
    struct Case {
        const char* name;
        std::function<std::vector<fs::path>(const std::vector<fs::path>&)> prepare;  // the runs to merge
        fs::path output;
        const char* expected;
    };
    const Case cases[] = {
        {"the same run twice",
         [](const auto& runs) {
             return std::vector<fs::path>{runs[0], runs[1], runs[0]};
         },
         out, "are the same run"},
        {"a copy of a run",
         [this](const auto& runs) {
             fs::copy(runs[1], directory_.path() / "copy", fs::copy_options::recursive);
             return std::vector<fs::path>{runs[0], runs[1], directory_.path() / "copy"};
         },
         out, "are the same run (same scenario, random state 1154.000000 at the start)"},
        {"results missing",
         [](const auto& runs) {
             fs::rename(runs[1] / "Data" / "results.out", runs[1] / "Data" / "kept.out");
             return runs;
         },
         out, "has no readable results file \"Data\\results.out\""},
        {"results cut short",
         [](const auto& runs) {
             fs::rename(runs[1] / "Data" / "kept.out", runs[1] / "Data" / "results.out");
             const std::string text = test::readTextFile(runs[1] / "Data" / "results.out");
             test::writeTextFile(runs[1] / "Data" / "results.out", text.substr(0, text.size() / 2));
             return runs;
         },
         out, "the run did not finish, or the file was cut"},
        {"results cut a few bytes before their end, every iteration still there",
         [&](const auto& runs) {
             runAll("--years 30 --iterations 2");
             const std::string text = test::readTextFile(runs[1] / "Data" / "results.out");
             test::writeTextFile(runs[1] / "Data" / "results.out", text.substr(0, text.size() - 3));
             return runs;
         },
         out, "holds a cut record and 2 of its 2 iterations"},
        {"a report name climbing out",
         [&](const auto& runs) {
             runAll("--years 30 --iterations 2");
             setCopyItem("STATS_RESULTS_FILE", "..\\..\\victim.txt");
             return runs;
         },
         out, "names its STATS_RESULTS_FILE \"..\\..\\victim.txt\", outside its working directory"},
        {"an absolute results name",
         [&](const auto& runs) {
             setCopyItem("STATS_RESULTS_FILE", "Data\\stats.out");
             setCopyItem("RESULTS_FILE", victim.string());
             return runs;
         },
         out, "outside its working directory"},
        {"the output inside a run",
         [&](const auto& runs) {
             setCopyItem("RESULTS_FILE", "Data\\results.out");
             return runs;
         },
         runs_[0] / "Data" / "merged", "lies inside the run"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = merge(c.output, c.prepare(runs_));
        EXPECT_EQ(result.status, 1) << result.output;
        EXPECT_NE(result.output.find(c.expected), std::string::npos) << result.output;
        EXPECT_EQ(test::readTextFile(victim), "not merge's to remove\n");
        EXPECT_FALSE(fs::exists(out / "Data" / "results.out"));
    }
    EXPECT_FALSE(fs::exists(runs_[0] / "Data" / "merged" / "Data"));
}

// A run's model options are those of its options copy; a run without one is classic. Runs whose
// options differ are refused by the option that differs; merged runs carry their copy into OUT, and
// its statistics name the options.
TEST_F(MergeRuns, RunsWhoseModelOptionsDifferAreRefusedAndTheOptionsCopyIsCarried) {
    const std::string length = "--years 30 --iterations 2 --classic";
    runAll(length + " --model-option SLOW_GROWTH_YEARS=3");
    const fs::path out = directory_.path() / "merged";
    ASSERT_EQ(merge(out).status, 0);
    const std::string copy =
        "// Model options the run was made with; options not named were off.\n"
        "SLOW_GROWTH_YEARS 3\n";
    EXPECT_EQ(test::readTextFile(out / "Data" / "statsInitModelOptions.txt"), copy);
    const auto stats = runCommand(test::batchTool() + " stats --dir " + test::quoted(out) + " 2>&1");
    ASSERT_EQ(stats.status, 0) << stats.output;
    EXPECT_EQ(linesOf(test::readTextFile(out / "Data" / "statsResults.out")).at(1),
              "MODEL OPTIONS: SLOW_GROWTH_YEARS=3");

    struct Case {
        const char* lastRun;   // the options the third run is made with again
        const char* expected;  // in the refusal; empty: merged
    };
    const Case cases[] = {
        {" --model-option SLOW_GROWTH_YEARS=4", "differ in the model option SLOW_GROWTH_YEARS: 3 in"},
        {"", "differ in the model option SLOW_GROWTH_YEARS: 3 in"},
        {" --model-option SLOW_GROWTH_YEARS=3 --model-option CLIMATE_MEMORY_YEARS=2",
         "differ in the model option CLIMATE_MEMORY_YEARS: 1 in"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastRun);
        const auto rerun = runCommand(test::batchTool() + " run --dir " + test::quoted(runs_[2]) +
                                      " --seed 4242 " + length + c.lastRun + " 2>&1");
        ASSERT_EQ(rerun.status, 0) << rerun.output;
        const auto result = merge(directory_.path() / "refused");
        EXPECT_EQ(result.status, 1) << result.output;
        EXPECT_NE(result.output.find(c.expected), std::string::npos) << result.output;
        EXPECT_FALSE(fs::exists(directory_.path() / "refused" / "Data" / "results.out"));
    }

    // Classic runs merged into the same OUT leave no options copy there.
    runAll(length);
    ASSERT_EQ(merge(out).status, 0);
    EXPECT_FALSE(fs::exists(out / "Data" / "statsInitModelOptions.txt"));
}

}  // namespace
}  // namespace dravia
