// Watchable speed: the years-per-second choice paces graphics and tabular runs by a clock the
// tests move themselves; the window answers during the waits and the results do not change.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <sstream>

#include "app/MainWnd.h"
#include "app/RunSpeedSetting.h"
#include "app/WindowPlacement.h"
#include "app/YearPacer.h"
#include "display/PlotView.h"
#include "support/SmallDataSet.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

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

// A clock that moves 5 ms each time the window takes its events, recording the years as they
// go; and OK for every message box the run shows.
class FakeTime {
  public:
    explicit FakeTime(MainWnd& window) : window_(window) {
        window.host().setClock([this] { return now; });
        ticker_.setInterval(0);
        QObject::connect(&ticker_, &QTimer::timeout, [this] { tick(); });
        ticker_.start();
    }
    void tick() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages.push_back(box->text().toStdString());
            box->button(QMessageBox::Ok)->click();
            return;
        }
        now += milliseconds(5);
        // CURRENT_YEAR moves on as a year ends; no time passes within a year, so the year
        // before it began at about this tick.
        const ModelState& model = window_.model();
        if (model.run.flags.running && model.run.CURRENT_YEAR != lastYear_) {
            if (lastYear_ != 0 && model.run.CURRENT_YEAR > lastYear_)
                yearAt.emplace_back(now, model.run.CURRENT_YEAR - 1);
            lastYear_ = model.run.CURRENT_YEAR;
        }
        if (onTick) onTick();
    }
    // The years that began within [from, to) milliseconds of the clock's start.
    int yearsBetween(int from, int to) const {
        int count = 0;
        for (const auto& [at, year] : yearAt) {
            const auto ms = std::chrono::duration_cast<milliseconds>(at - Clock::time_point{}).count();
            count += ms >= from && ms < to ? 1 : 0;
        }
        return count;
    }

    Clock::time_point now{};
    std::vector<std::pair<Clock::time_point, int>> yearAt;  // when each year began
    std::vector<std::string> messages;
    std::function<void()> onTick;

  private:
    MainWnd& window_;
    QTimer ticker_;
    int lastYear_ = 0;
};

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
        QSettings().remove(QStringLiteral("Settings/YearsPerSecond"));
    }
    void TearDown() override { QSettings().remove(QStringLiteral("Settings/YearsPerSecond")); }
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
        EXPECT_EQ(items, (std::vector<std::string>{"&Unlimited", "50 years per second", "20 years per second",
                                                   "10 years per second", "5 years per second",
                                                   "2 years per second", "1 year per second"}));
        EXPECT_TRUE(window.speedAction(0)->isChecked());  // nothing stored yet
        window.speedAction(5)->trigger();
        EXPECT_TRUE(window.speedAction(5)->isChecked());
        EXPECT_FALSE(window.speedAction(0)->isChecked());
    }
    EXPECT_EQ(QSettings().value(QStringLiteral("Settings/YearsPerSecond")).toInt(), 5);
    {
        MainWnd window;
        EXPECT_TRUE(window.speedAction(5)->isChecked());
        EXPECT_EQ(window.host().yearsPerSecond(), 5);
    }
    // A speed the menu does not offer (an edited settings file) is unlimited.
    QSettings().setValue(QStringLiteral("Settings/YearsPerSecond"), 7);
    EXPECT_EQ(loadStoredYearsPerSecond(), 0);
    MainWnd window;
    EXPECT_TRUE(window.speedAction(0)->isChecked());
}

}  // namespace
}  // namespace dravia
