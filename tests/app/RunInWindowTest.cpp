#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "WindowDriving.h"
#include "app/MainWnd.h"
#include "app/PauseDialog.h"
#include "app/StatResultsDialog.h"
#include "app/WorkingDirectory.h"
#include "display/PlotView.h"
#include "display/TestForest.h"
#include "output/rundb/Completeness.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

using test::ShippedData;

// Answers every box and dialog the run opens with OK, remembering what they said.
class BoxAnswerer {
  public:
    BoxAnswerer() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                texts.push_back(box->text().toStdString());
                icons.push_back(box->icon());
                box->button(QMessageBox::Ok)->click();
            } else if (auto* stats = qobject_cast<StatResultsDialog*>(modal)) {
                statTitles.push_back(stats->titleLine()->text().toStdString());
                statTexts.push_back(stats->reportText()->toPlainText().toStdString());
                stats->accept();
            } else if (auto* pause = qobject_cast<PauseDialog*>(modal)) {
                ++pauses;
                pause->accept();
            }
        });
        timer_.start();
    }
    std::vector<std::string> texts;
    std::vector<QMessageBox::Icon> icons;
    int pauses = 0;
    std::vector<std::string> statTitles, statTexts;

  private:
    QTimer timer_;
};

TEST_F(ShippedData, DefaultScenarioRunsToCompletionInTheWindowInEveryDisplayMode) {
    BoxAnswerer answers;
    MainWnd window;  // the real start-up load
    window.resize(800, 600);
    window.show();
    ModelState& model = window.model();
    model.params.NUM_YEARS = 12;
    model.params.NUM_ITERS = 2;
    model.params.PAUSE_AT_INTERVALS = 1;
    model.params.PRINT_INTERV = 5;
    model.params.PAUSE_EVERY_ITERATION = 1;
    model.params.GRAPH_INTVL = 1;
    model.params.FILE_OUTPUT_FLAG = 1;
    for (const int mode : {1, 2, 3}) {
        model.params.SCREEN_OUTPUT_MODE = mode;
        answers.texts.clear();
        answers.pauses = 0;
        window.commandAction(CMD_RUN)->trigger();
        EXPECT_TRUE(model.run.flags.run_started);
        EXPECT_FALSE(model.run.flags.running);
        EXPECT_EQ(model.run.CURRENT_ITERATION, 2);
        EXPECT_EQ(model.run.CURRENT_YEAR, 12);
        ASSERT_FALSE(answers.texts.empty());
        EXPECT_EQ(answers.texts.back(), "Simulation Completed.") << mode;
        EXPECT_EQ(answers.icons.back(), QMessageBox::Information);
        // Pauses after years 5 and 10 of both iterations, except with the display off.
        EXPECT_EQ(answers.pauses, mode == 3 ? 0 : 4) << mode;
        const bool askedToContinue = std::find(answers.texts.begin(), answers.texts.end(),
                                               "Continue with next iteration?") != answers.texts.end();
        EXPECT_EQ(askedToContinue, mode != 3) << mode;
        EXPECT_TRUE(window.grab().save(test::artefactPath(QStringLiteral("run-mode-%1.png").arg(mode))));
        // Each run leaves its database in the working directory, complete.
        EXPECT_TRUE(isCompleteRunDatabase(STANDARD_RUN_DATABASE_NAME)) << mode;
        if (mode == 1) {
            // The graphics image has put the first plot's trees into display slots.
            ASSERT_FALSE(model.plots.empty());
            int withSlot = 0;
            for (const Tree& tree : model.plots.front().trees) withSlot += tree.DISPLAY_SLOT != 0 ? 1 : 0;
            EXPECT_EQ(withSlot, std::min<int>(50, static_cast<int>(model.plots.front().trees.size())));
        }
    }

    // The statistics of the finished run, in both layouts, shown in the "Stat Results" box.
    for (const int command : {CMD_STATS_PLAIN, CMD_STATS_TAB_SEPARATED}) {
        answers.statTitles.clear();
        answers.statTexts.clear();
        window.commandAction(command)->trigger();
        ASSERT_FALSE(answers.statTexts.empty()) << command;
        EXPECT_NE(answers.statTexts.front().find("REPLICATES:"), std::string::npos)
            << answers.statTexts.front();
    }
}

// Pause holds the run between years; Quit Run while paused ends it one year after Continue,
// without the completion message.
TEST_F(ShippedData, PauseHoldsTheRunAndQuitWhilePausedEndsItAfterOneMoreYear) {
    BoxAnswerer answers;
    MainWnd window;
    window.resize(640, 480);
    window.show();
    ModelState& model = window.model();
    model.params.NUM_YEARS = 500;
    model.params.NUM_ITERS = 1;
    model.params.SCREEN_OUTPUT_MODE = 3;
    model.params.PAUSE_AT_INTERVALS = 0;

    int pausedYear = 0;
    int ticksWhilePaused = 0;
    bool yearChangedWhilePaused = false;
    QTimer driver;
    driver.setInterval(1);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        const RunFlags& flags = model.run.flags;
        if (!flags.running && !flags.paused) return;
        if (!flags.paused && pausedYear == 0 && model.run.CURRENT_YEAR >= 3) {
            window.commandAction(CMD_PAUSE)->trigger();
            pausedYear = model.run.CURRENT_YEAR;
        } else if (flags.paused) {
            yearChangedWhilePaused = yearChangedWhilePaused || model.run.CURRENT_YEAR != pausedYear;
            if (++ticksWhilePaused == 5) window.commandAction(CMD_QUIT_RUN)->trigger();
            if (ticksWhilePaused == 10) window.commandAction(CMD_CONTINUE)->trigger();
        }
    });
    driver.start();
    window.commandAction(CMD_RUN)->trigger();
    driver.stop();

    ASSERT_GT(pausedYear, 0);
    EXPECT_FALSE(yearChangedWhilePaused);
    EXPECT_EQ(model.run.CURRENT_YEAR, pausedYear + 1);
    EXPECT_FALSE(model.run.flags.running);
    EXPECT_EQ(std::count(answers.texts.begin(), answers.texts.end(), "Simulation Completed."), 0);
    // The quit run's database keeps the years it ran, marked as not completed.
    EXPECT_FALSE(isCompleteRunDatabase(STANDARD_RUN_DATABASE_NAME));
    DatabaseConnection database(STANDARD_RUN_DATABASE_NAME, true);
    DatabaseStatement run =
        database.prepare("SELECT completed, (SELECT max(year) FROM limiting_factors) FROM run");
    ASSERT_TRUE(run.nextRow());
    EXPECT_EQ(run.integerColumn(0), 0);
    EXPECT_EQ(run.integerColumn(1), pausedYear);  // the one year simulated after Continue
}

// A short run of the shipped scenario: two iterations of 15 years, results every 5 years to
// file, the display off and no pauses.
void shortenRun(ModelState& model) {
    RunParameters& p = model.params;
    p.NUM_YEARS = 15;
    p.NUM_ITERS = 2;
    p.RESULTS_INTERV = 5;
    p.FILE_OUTPUT_FLAG = 1;
    p.SCREEN_OUTPUT_MODE = 3;
    p.PAUSE_AT_INTERVALS = 0;
    p.PAUSE_EVERY_ITERATION = 0;
}

std::string runAndReadResults(MainWnd& window) {
    window.commandAction(CMD_RUN)->trigger();
    return test::readTextFile("Data/results.out");
}

// Statistics read the finished run into a state of their own: the community's switch-offs,
// dialog edits, parameters and the random stream are exactly as before, so a run after the
// statistics grows the same forest as a run after no statistics.
TEST_F(ShippedData, StatisticsLeaveTheSetUpAsItWas) {
    BoxAnswerer answers;
    std::vector<std::string> results[2];
    for (const bool withStatistics : {false, true}) {
        MainWnd window;
        ModelState& model = window.model();
        shortenRun(model);
        model.species[2].DMAX = 150.0;  // as the Species dialog stores it
        auto& own = results[withStatistics ? 1 : 0];
        own.push_back(runAndReadResults(window));
        if (withStatistics) {
            const int speciesInForce = model.NSPP;  // the community keeps 13 of the file's species
            const double randomState = model.run.RANDOM_STATE;
            answers.statTexts.clear();
            window.commandAction(CMD_STATS_PLAIN)->trigger();
            ASSERT_EQ(answers.statTexts.size(), 1u);
            EXPECT_EQ(model.NSPP, speciesInForce);
            EXPECT_EQ(model.species[2].DMAX, 150.0);
            EXPECT_EQ(model.params.NUM_YEARS, 15);
            EXPECT_EQ(model.params.RESULTS_INTERV, 5);
            EXPECT_EQ(model.run.RANDOM_STATE, randomState);
        }
        const double streamAtSecondRun = model.run.RANDOM_STATE;
        own.push_back(runAndReadResults(window));
        // The copies of the second run name the stream it continued, not the file's seed.
        char seedLine[64];
        std::snprintf(seedLine, sizeof seedLine, "SEED_INIT              %lf\n",
                      std::fabs(streamAtSecondRun));
        EXPECT_NE(test::readTextFile("Data/statsInitParams.txt").find(seedLine), std::string::npos)
            << seedLine;
    }
    ASSERT_EQ(results[0].size(), 2u);
    EXPECT_EQ(results[1], results[0]);
    EXPECT_NE(results[0][0], results[0][1]);  // the stream goes on from one run to the next
}

// Whatever stops the statistics shows its message and leaves the window idle and whole.
TEST_F(ShippedData, AStatisticsFailureReturnsToTheIdleWindow) {
    const std::string noCopies =
        "Error.  Could not open data file \"Data\\statsInputOutputRunTimeParams.txt\".\n"
        "A simulation with \"Output results to file\" set to true must run to completion first: "
        "its parameters are kept for the statistics when it completes.";
    const std::string noResults =
        "Error: Could not open data output file Data\\results.out.\nMust first successfully run a simulation "
        "with\n\"Output results to file\" in the \"Input, Output\nRun-Time Control Parameters\" dialog box "
        "set "
        "to true.";
    struct Case {
        const char* name;
        bool runFirst;
        std::function<void(ModelState&)> setUp;  // before the run
        std::function<void()> damage;            // after it
        std::string messageStart;
    };
    const auto none = [](ModelState&) {};
    const auto nothing = [] {};
    const Case cases[] = {
        {"no run yet", false, none, nothing, noCopies},
        {"results removed", true, none, [] { std::filesystem::remove("Data/results.out"); }, noResults},
        {"results interval 0", true, [](ModelState& m) { m.params.RESULTS_INTERV = 0; }, nothing,
         "errorLog 16:"},
        {"one iteration", true, [](ModelState& m) { m.params.NUM_ITERS = 1; }, nothing, "errorLog 13:"},
        {"over 500 intervals", true, none,
         [] {
             std::string text = test::readTextFile("Data/results.out");
             const size_t at = text.find(" Years:");
             text.replace(at, text.find('\n', at) - at, " Years:           5000 ");
             test::writeTextFile("Data/results.out", text);
         },
         "errorLog 14:"},
        {"report cannot be written", true, none,
         [] { std::filesystem::create_directory("Data/statsResults.out"); }, "errorLog 15:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : {"Data/statsInputOutputRunTimeParams.txt", "Data/statsInitParams.txt"})
            std::filesystem::remove(name);
        std::filesystem::remove_all("Data/statsResults.out");
        BoxAnswerer answers;
        MainWnd window;
        window.show();
        ModelState& model = window.model();
        shortenRun(model);
        c.setUp(model);
        if (c.runFirst) {
            window.commandAction(CMD_RUN)->trigger();
            ASSERT_EQ(answers.texts.back(), "Simulation Completed.");
        }
        c.damage();
        const double randomState = model.run.RANDOM_STATE;
        answers.texts.clear();
        window.commandAction(CMD_STATS_TAB_SEPARATED)->trigger();
        ASSERT_FALSE(answers.texts.empty());
        EXPECT_EQ(answers.texts.back().rfind(c.messageStart, 0), 0u) << answers.texts.back();
        EXPECT_TRUE(answers.statTexts.empty());
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(model.run.RANDOM_STATE, randomState);
        window.updateCommandStates();
        EXPECT_TRUE(window.commandAction(CMD_RUN)->isEnabled());
        EXPECT_TRUE(window.commandAction(CMD_STATS_PLAIN)->isEnabled());
    }
}

}  // namespace
}  // namespace dravia
