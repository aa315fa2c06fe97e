// Watchable speed: the years-per-second choice paces graphics and tabular runs by a clock the
// tests move themselves; the window answers during the waits and the results do not change.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

#include "WindowDriving.h"
#include "app/MainWnd.h"
#include "app/RunSpeedSetting.h"
#include "app/WindowPlacement.h"
#include "app/YearPacer.h"
#include "display/PlotView.h"
#include "support/SmallDataSet.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

using std::chrono::milliseconds;
using test::Clock;
using test::FakeTime;

// ---- The beat ----

struct BeatCase {
    const char* name;
    int yearsPerSecond;
    std::vector<int> startsAt;     // milliseconds at which years start
    std::optional<int> nextStart;  // milliseconds, after the last of them
};

TEST(YearPacer, KeepsTheBeatAndStartsAgainAfterAHoldUp) {
    const BeatCase cases[] = {
        {"Unlimited", 0, {0, 1, 2}, std::nullopt},
        {"TenAYear", 10, {0}, 100},
        {"OnTheBeat", 10, {0, 100, 200}, 300},
        {"SlightlyLateKeepsTheBeat", 10, {0, 130}, 200},
        {"HeldUpStartsANewBeat", 10, {0, 100, 350}, 450},
        {"OneAYear", 1, {0, 1000}, 2000},
        {"FiftyAYear", 50, {0, 20, 40}, 60},
    };
    const Clock::time_point origin{};
    for (const BeatCase& c : cases) {
        YearPacer pacer;
        pacer.setYearsPerSecond(c.yearsPerSecond);
        EXPECT_FALSE(pacer.nextStart()) << c.name;  // the first year starts at once
        for (const int at : c.startsAt) pacer.yearStarting(origin + milliseconds(at));
        if (c.nextStart) {
            ASSERT_TRUE(pacer.nextStart()) << c.name;
            EXPECT_EQ(*pacer.nextStart(), origin + milliseconds(*c.nextStart)) << c.name;
        } else {
            EXPECT_FALSE(pacer.nextStart()) << c.name;
        }
    }
}

TEST(YearPacer, ANewSpeedOrAPauseStartsAtOnceAndUnknownSpeedsAreUnlimited) {
    YearPacer pacer;
    pacer.setYearsPerSecond(2);
    pacer.yearStarting(Clock::time_point{});
    ASSERT_TRUE(pacer.nextStart());
    pacer.setYearsPerSecond(5);
    EXPECT_FALSE(pacer.nextStart());
    pacer.yearStarting(Clock::time_point{});
    pacer.restart();
    EXPECT_FALSE(pacer.nextStart());
    for (const int unknown : {3, -1, 100, 1000000}) {
        pacer.setYearsPerSecond(unknown);
        EXPECT_EQ(pacer.yearsPerSecond(), 0) << unknown;
    }
    for (const int known : YEARS_PER_SECOND_CHOICES) EXPECT_EQ(validYearsPerSecond(known), known);
}

// ---- In the window ----

double secondsOf(Clock::time_point at) {
    return std::chrono::duration<double>(at - Clock::time_point{}).count();
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class PacedRun : public ::testing::Test {
  protected:
    void SetUp() override {
        test::SmallDataSetOptions options;
        options.screenOutputMode = 1;
        options.numYears = 30;
        options.numIters = 1;
        options.graphIntvl = 1;
        test::writeSmallDataSet(directory.path(), options);
        // Fresh settings: as a new install starts.
        QSettings().remove(QStringLiteral("Settings/YearsPerSecond"));
        QSettings().remove(QStringLiteral("Settings/WatchFirstIterationOnly"));
    }
    void TearDown() override {
        // The other tests' runs go at full speed.
        QSettings().setValue(QStringLiteral("Settings/YearsPerSecond"), 0);
        QSettings().remove(QStringLiteral("Settings/WatchFirstIterationOnly"));
    }
    test::TempDirectory directory;
};

struct SpeedCase {
    const char* name;
    int screenMode;
    int yearsPerSecond;
    double lowest, below;  // seconds of the clock the 30-year run takes
};

TEST_F(PacedRun, YearsPerSecondByTheClockInEveryMode) {
    const SpeedCase cases[] = {
        {"Graphics10", 1, 10, 2.9, 2.92},  // 29 beats after the first year
        {"Tabular5", 2, 5, 5.8, 5.82},
        {"Graphics50", 1, 50, 0.58, 0.6},
        // One move of the clock per year, as the window takes its events.
        {"GraphicsUnlimited", 1, 0, 0.14, 0.2},
        {"DisplayOffIsNeverSlowed", 3, 1, 0.14, 0.2},
    };
    for (const SpeedCase& c : cases) {
        MainWnd window;
        window.resize(500, 400);
        window.show();
        FakeTime time(window);
        window.model().params.SCREEN_OUTPUT_MODE = c.screenMode;
        window.speedAction(c.yearsPerSecond)->trigger();
        EXPECT_EQ(window.host().yearsPerSecond(), c.yearsPerSecond) << c.name;
        window.commandAction(CMD_RUN)->trigger();
        EXPECT_EQ(window.model().run.CURRENT_YEAR, 30) << c.name;
        EXPECT_EQ(time.messages, std::vector<std::string>{"Simulation Completed."}) << c.name;
        EXPECT_GE(secondsOf(time.now), c.lowest) << c.name;
        EXPECT_LT(secondsOf(time.now), c.below) << c.name;
        if (c.yearsPerSecond == 10) {
            // Ten years in every second of the clock.
            EXPECT_EQ(time.yearsBetween(1000, 2000), 10);
            EXPECT_EQ(time.yearsBetween(0, 1000), 10);
        }
    }
}

TEST_F(PacedRun, PauseContinueAndQuitRunWorkWhileWaiting) {
    MainWnd window;
    window.show();
    FakeTime time(window);
    window.speedAction(20)->trigger();
    int pausedAtYear = 0;
    Clock::time_point pausedAt{};
    Clock::time_point quitAt{};
    time.onTick = [&] {
        ModelState& model = window.model();
        // In the wait before year 3 the menu commands are taken: the window answers.
        if (model.run.CURRENT_YEAR == 3 && pausedAtYear == 0) {
            window.commandAction(CMD_PAUSE)->trigger();
            pausedAtYear = model.run.CURRENT_YEAR;
            pausedAt = time.now;
        }
        // Held for four beats of the clock: no year goes by.
        if (pausedAtYear != 0 && model.run.flags.paused && time.now - pausedAt >= milliseconds(200)) {
            EXPECT_EQ(model.run.CURRENT_YEAR, pausedAtYear);
            window.commandAction(CMD_CONTINUE)->trigger();
        }
        if (model.run.CURRENT_YEAR == 6 && model.run.flags.running) {
            window.commandAction(CMD_QUIT_RUN)->trigger();
            quitAt = time.now;
        }
    };
    window.commandAction(CMD_RUN)->trigger();
    EXPECT_EQ(pausedAtYear, 3);
    // Quit Run in the wait before year 6: that one more year is the last one.
    EXPECT_EQ(window.model().run.CURRENT_YEAR, 7);
    EXPECT_FALSE(window.model().run.flags.running);
    EXPECT_TRUE(time.messages.empty());  // a quit run ends without the completion message
    // After Continue the year held back starts at once, then one every 50 ms again; after Quit
    // Run the last year does not wait.
    const auto startOf = [&](int year) {
        for (const auto& [at, started] : time.yearAt)
            if (started == year) return at;
        ADD_FAILURE() << "year " << year << " never began";
        return Clock::time_point{};
    };
    EXPECT_GE(startOf(3) - pausedAt, milliseconds(200));
    EXPECT_LT(startOf(3) - pausedAt, milliseconds(220));
    EXPECT_EQ(startOf(4) - startOf(3), milliseconds(50));
    EXPECT_EQ(time.now, quitAt);
}

TEST_F(PacedRun, ResultsFilesAreTheSameAtEverySpeed) {
    std::vector<std::string> results;
    for (const int yearsPerSecond : {0, 50}) {
        MainWnd window;
        window.show();
        FakeTime time(window);
        window.speedAction(yearsPerSecond)->trigger();
        window.commandAction(CMD_RUN)->trigger();
        results.push_back(fileText(directory.path() / "Data" / "results.out"));
    }
    ASSERT_FALSE(results[0].empty());
    EXPECT_EQ(results[0], results[1]);
}

TEST_F(PacedRun, TheSpeedIsKeptInTheSettingsAndOfferedInTheRunMenu) {
    {
        MainWnd window;
        QMenu* speed = nullptr;
        for (QAction* menu : window.menuBar()->actions()) {
            if (menu->text() != QStringLiteral("&Run")) continue;
            for (QAction* item : menu->menu()->actions()) {
                if (item->menu() && item->text() == QStringLiteral("&Speed")) speed = item->menu();
            }
        }
        ASSERT_NE(speed, nullptr);
        std::vector<std::string> items;
        for (QAction* action : speed->actions()) items.push_back(action->text().toStdString());
        EXPECT_EQ(items,
                  (std::vector<std::string>{"&Unlimited", "50 years per second", "20 years per second",
                                            "10 years per second", "5 years per second", "2 years per second",
                                            "1 year per second", "",
                                            "&Watch the First Iteration Only, the Others at Full Speed"}));
        // A fresh install: a pace a class can follow, the first iteration watched.
        EXPECT_TRUE(window.speedAction(20)->isChecked());
        EXPECT_EQ(window.host().yearsPerSecond(), 20);
        EXPECT_TRUE(window.watchFirstIterationAction()->isChecked());
        EXPECT_TRUE(window.host().watchFirstIterationOnly());
        window.speedAction(5)->trigger();
        EXPECT_TRUE(window.speedAction(5)->isChecked());
        EXPECT_FALSE(window.speedAction(20)->isChecked());
        // The toolbar's choices follow the menu's, and the other way round.
        EXPECT_EQ(window.speedChoice()->currentData().toInt(), 5);
        window.watchFirstIterationBox()->click();
        EXPECT_FALSE(window.watchFirstIterationAction()->isChecked());
    }
    EXPECT_EQ(QSettings().value(QStringLiteral("Settings/YearsPerSecond")).toInt(), 5);
    {
        MainWnd window;
        EXPECT_TRUE(window.speedAction(5)->isChecked());
        EXPECT_EQ(window.host().yearsPerSecond(), 5);
        EXPECT_FALSE(window.host().watchFirstIterationOnly());
        EXPECT_FALSE(window.watchFirstIterationBox()->isChecked());
    }
    // A speed the menu does not offer (an edited settings file) is the fresh install's; unlimited
    // stays unlimited.
    QSettings().setValue(QStringLiteral("Settings/YearsPerSecond"), 7);
    EXPECT_EQ(loadStoredYearsPerSecond(), 20);
    QSettings().setValue(QStringLiteral("Settings/YearsPerSecond"), 0);
    EXPECT_EQ(loadStoredYearsPerSecond(), 0);
}

struct WatchCase {
    const char* name;
    bool firstOnly;
    double lowest, below;  // seconds of the clock the run takes
};

TEST_F(PacedRun, AfterTheWatchedIterationTheOthersGoAtFullSpeedWithTheirProgressShown) {
    const WatchCase cases[] = {
        // 29 beats of 0.1 s in the first iteration, then one tick a year for the other 60.
        {"FirstOnly", true, 2.9, 3.4},
        {"Every", false, 8.9, 9.0},  // 29 beats in each iteration, and one to start each after the first
    };
    for (const WatchCase& c : cases) {
        MainWnd window;
        window.show();
        FakeTime time(window);
        window.model().params.NUM_ITERS = 3;
        window.speedAction(10)->trigger();
        if (window.watchFirstIterationAction()->isChecked() != c.firstOnly)
            window.watchFirstIterationAction()->trigger();
        std::vector<int> progress;  // the bar's value whenever it shows, in simulated years
        int shownInTheFirstIteration = 0;
        time.onTick = [&] {
            const QProgressBar* bar = window.fullSpeedProgress();
            if (bar->isHidden()) return;
            if (window.model().run.CURRENT_ITERATION == 1) ++shownInTheFirstIteration;
            if (progress.empty() || progress.back() != bar->value()) progress.push_back(bar->value());
            EXPECT_EQ(bar->maximum(), 60) << c.name;  // iterations 2 and 3 of 30 years
        };
        window.commandAction(CMD_RUN)->trigger();
        EXPECT_EQ(window.model().run.CURRENT_ITERATION, 3) << c.name;
        EXPECT_GE(secondsOf(time.now), c.lowest) << c.name;
        EXPECT_LT(secondsOf(time.now), c.below) << c.name;
        EXPECT_EQ(shownInTheFirstIteration, 0) << c.name;
        EXPECT_TRUE(window.fullSpeedProgress()->isHidden()) << c.name;  // gone with the run
        if (c.firstOnly) {
            ASSERT_GE(progress.size(), 2u) << c.name;
            EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end())) << c.name;
            EXPECT_LE(progress.front(), 2) << c.name;  // from the first year of iteration 2
            EXPECT_GT(progress.back(), 30) << c.name;  // on into iteration 3
        } else {
            EXPECT_TRUE(progress.empty()) << c.name;
        }
    }
}

}  // namespace
}  // namespace dravia
