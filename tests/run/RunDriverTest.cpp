#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "input/StartupLoad.h"
#include "model/VolumeTable.h"
#include "run/RunDriver.h"
#include "support/ScriptedHost.h"
#include "support/SmallDataSet.h"

namespace dravia {
namespace {

// Loads a small data set in a scratch directory, as the program does at start-up.
struct RunDriverTest : ::testing::Test {
    test::TempDirectory directory;
    test::ScriptedHost host;
    std::unique_ptr<ModelState> model = std::make_unique<ModelState>();

    void load(const test::SmallDataSetOptions& options) {
        test::writeSmallDataSet(directory.path(), options);
        model->host = &host;
        host.model = model.get();
        loadAtStartup(*model);
        fillVolumeCoefficients(*model);
    }
    int completions() const {
        int count = 0;
        for (const auto& m : host.messages) count += m.text == "Simulation Completed.";
        return count;
    }
};

TEST_F(RunDriverTest, PausesAtEveryPrintIntervalButNotAfterTheLastYear) {
    test::SmallDataSetOptions options;
    options.screenOutputMode = 2;
    options.pauseAtIntervals = 1;
    options.printInterv = 10;
    options.numYears = 30;
    options.numIters = 1;
    load(options);
    EXPECT_EQ(runSimulation(*model), RunOutcome::Finished);
    EXPECT_EQ(host.pauseYears, (std::vector<int>{10, 20}));
    EXPECT_EQ(completions(), 1);
    EXPECT_FALSE(model->run.flags.running);
    EXPECT_TRUE(model->run.flags.run_started);
}

TEST_F(RunDriverTest, CancelInThePauseDialogEndsTheRunAtThatYear) {
    test::SmallDataSetOptions options;
    options.screenOutputMode = 1;
    options.pauseAtIntervals = 1;
    options.numYears = 100;
    load(options);
    host.pauseAnswers = {false};
    runSimulation(*model);
    EXPECT_EQ(model->run.CURRENT_YEAR, 10);
    EXPECT_EQ(model->run.CURRENT_ITERATION, 1);
    EXPECT_EQ(completions(), 0);
    EXPECT_FALSE(std::filesystem::exists("Data/statsInitParams.txt"));
}

TEST_F(RunDriverTest, DisplayOffNeverAsksToContinueNorPauses) {
    test::SmallDataSetOptions options;
    options.screenOutputMode = 3;
    options.pauseEveryIteration = 1;
    options.pauseAtIntervals = 1;
    options.numYears = 20;
    options.numIters = 3;
    load(options);
    runSimulation(*model);
    EXPECT_TRUE(host.questions.empty());
    EXPECT_EQ(host.pauseDialogs, 0);
    EXPECT_EQ(model->run.CURRENT_ITERATION, 3);
    EXPECT_EQ(completions(), 1);
    // Display off repaints every year of every iteration.
    EXPECT_EQ(host.repaints, 3 * 20 + 3);
}

TEST_F(RunDriverTest, DecliningTheNextIterationEndsLikeANormalEnd) {
    test::SmallDataSetOptions options;
    options.screenOutputMode = 2;
    options.pauseEveryIteration = 1;
    options.numYears = 5;
    options.numIters = 4;
    load(options);
    host.questionAnswers = {true, false};
    runSimulation(*model);
    EXPECT_EQ(host.questions,
              (std::vector<std::string>{"Continue with next iteration?", "Continue with next iteration?"}));
    EXPECT_EQ(model->run.CURRENT_ITERATION, 2);
    EXPECT_EQ(completions(), 1);
    EXPECT_EQ(host.messages.back().icon, MessageIcon::Information);
    EXPECT_TRUE(std::filesystem::exists("Data/statsInitParams.txt"));
}

TEST_F(RunDriverTest, OneYearOneIterationIsOneStepThenCompletion) {
    test::SmallDataSetOptions options;
    options.screenOutputMode = 1;
    options.graphIntvl = 1;
    options.numYears = 1;
    options.numIters = 1;
    load(options);
    runSimulation(*model);
    EXPECT_EQ(model->run.CURRENT_YEAR, 1);
    // The plot's own repaint, then the end-of-iteration repaint.
    EXPECT_EQ(host.repaints, 2);
    EXPECT_EQ(host.layouts, 1);
    EXPECT_EQ(completions(), 1);
    EXPECT_EQ(host.messages.back().text, "Simulation Completed.");
    EXPECT_TRUE(std::filesystem::exists("Data/statsInputOutputRunTimeParams.txt"));
}

TEST_F(RunDriverTest, ZeroIntervalsNeverDivide) {
    test::SmallDataSetOptions options;
    options.screenOutputMode = 1;
    options.graphIntvl = 0;
    options.printInterv = 0;
    options.resultsInterv = 0;
    options.pauseAtIntervals = 1;
    options.numYears = 12;
    options.numIters = 1;
    load(options);
    runSimulation(*model);
    EXPECT_EQ(host.pauseDialogs, 0);
    EXPECT_EQ(host.repaints, 1);  // only the end-of-iteration repaint
    EXPECT_EQ(completions(), 1);
}

TEST_F(RunDriverTest, TheSameSeedGivesTheSameForestAndRunsContinueTheStream) {
    test::SmallDataSetOptions options;
    options.numYears = 40;
    options.numIters = 1;
    options.fileOutputFlag = 0;
    options.screenOutputMode = 3;
    load(options);
    const double seed = model->run.RANDOM_STATE;
    runSimulation(*model);
    auto snapshot = [&] {
        std::vector<double> values;
        for (const Plot& plot : model->plots)
            for (const Tree& tree : plot.trees)
                values.insert(values.end(), {double(tree.SN), tree.DBH, tree.HEIGHT});
        return values;
    };
    const auto first = snapshot();
    const double afterFirst = model->run.RANDOM_STATE;
    EXPECT_NE(afterFirst, seed);
    // A second run continues the stream rather than repeating it.
    runSimulation(*model);
    EXPECT_NE(model->run.RANDOM_STATE, afterFirst);
    // Restarting from the seed repeats the first forest exactly.
    model->run.RANDOM_STATE = seed;
    runSimulation(*model);
    EXPECT_EQ(snapshot(), first);
}

// What a disturbance reported belongs to its year: the next year starts without it.
TEST_F(RunDriverTest, EachYearStartsWithoutLastYearsDisturbanceReport) {
    test::SmallDataSetOptions options;
    options.numYears = 3;
    options.numIters = 1;
    load(options);
    runSimulation(*model);
    model->run.CURRENT_YEAR = 1;
    model->run.flags.running = true;
    model->run.DISTURBANCE_REPORTED = 1;
    model->run.flags.disturbed_this_year = true;
    stepYear(*model);  // disturbances are off: nothing sets them again
    EXPECT_EQ(model->run.DISTURBANCE_REPORTED, 0);
    EXPECT_FALSE(model->run.flags.disturbed_this_year);
}

// A second run in the same program starts its results files and the disturbance data file anew,
// headers included, whatever the first run left behind.
TEST_F(RunDriverTest, ASecondRunStartsItsOutputFilesAnew) {
    test::SmallDataSetOptions options;
    options.numYears = 12;
    options.numIters = 1;
    options.testDisturb = 1;
    options.blowDown = 1;  // logging
    options.firstDisturbYear = 5;
    options.blowFreq = 5;
    options.minDiamLogging = 0.0;
    options.printInterv = 5;
    options.resultsInterv = 5;
    load(options);
    ASSERT_EQ(runSimulation(*model), RunOutcome::Finished);
    ASSERT_TRUE(std::filesystem::exists("Data/afterdist.out"));
    ASSERT_TRUE(std::filesystem::exists("Data/disturb.out"));
    const std::string firstResults = test::readTextFile("Data/results.out");
    ASSERT_EQ(firstResults.rfind("\n DRAVIA 4 TREE BIODATA\n", 0), 0u);
    for (const char* name : {"Data/results.out", "Data/afterdist.out", "Data/disturb.out"}) {
        test::writeTextFile(name, "left by the first run\n");
    }
    ASSERT_EQ(runSimulation(*model), RunOutcome::Finished);
    EXPECT_EQ(test::readTextFile("Data/results.out").rfind("\n DRAVIA 4 TREE BIODATA\n", 0), 0u);
    EXPECT_EQ(test::readTextFile("Data/afterdist.out").rfind("\n DRAVIA 4 TREE BIODATA\n", 0), 0u);
    EXPECT_EQ(test::readTextFile("Data/disturb.out").rfind("LOGGING DATA WITH A FREQUENCY OF 5 YEARS\n", 0),
              0u);
}

TEST_F(RunDriverTest, AMissingPlotFileStopsTheRunBeforeAnyYear) {
    test::SmallDataSetOptions options;
    load(options);
    std::filesystem::remove("Data/plot.txt");
    EXPECT_EQ(runSimulation(*model), RunOutcome::NotStarted);
    EXPECT_FALSE(model->run.flags.running);
    EXPECT_EQ(completions(), 0);
    EXPECT_FALSE(host.messages.empty());
    EXPECT_TRUE(model->plots.empty());
}

TEST_F(RunDriverTest, AMissingWeatherFileShowsItsMessageAndStopsTheRun) {
    test::SmallDataSetOptions options;
    load(options);
    std::filesystem::remove("Data/weather.txt");
    EXPECT_EQ(runSimulation(*model), RunOutcome::NotStarted);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back().text, "errorLog 2: Could not open file Data\\weather.txt.");
    EXPECT_EQ(completions(), 0);
    EXPECT_FALSE(std::filesystem::exists("Data/results.out"));
}

// Climate memory belongs to one iteration: the second starts with none of the first's years, so
// after two iterations of three years a ten-year memory holds three years, one per plot-year.
TEST_F(RunDriverTest, ClimateMemoryStartsAnewWithEachIteration) {
    test::SmallDataSetOptions options;
    options.numYears = 3;
    options.numIters = 2;
    options.numPlots = 2;
    options.climateChange = 1;
    load(options);
    model->options.CLIMATE_MEMORY_YEARS = 10;
    runSimulation(*model);
    ASSERT_EQ(model->plots.size(), 2u);
    for (const Plot& plot : model->plots) EXPECT_EQ(plot.climateHistory.size(), 3u) << plot.PLOT_NO;
}

}  // namespace
}  // namespace dravia
