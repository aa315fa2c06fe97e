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

#include "app/MainWnd.h"
#include "app/PauseDialog.h"
#include "app/StatResultsDialog.h"
#include "app/WorkingDirectory.h"
#include "display/PlotView.h"
#include "display/TestForest.h"

namespace dravia {
namespace {

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

// The shipped data set in a scratch working directory.
class ShippedData : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString data = QStringLiteral(DRAVIA_SOURCE_DIR "/Data");
        if (!QFileInfo::exists(data + QStringLiteral("/inputOutputRunTimeParams.txt"))) {
            GTEST_SKIP() << "the shipped data set is not there";
        }
        ASSERT_TRUE(scratch_.isValid());
        ASSERT_TRUE(copyDirectoryTree(data, scratch_.filePath(QStringLiteral("Data"))));
        previous_ = QDir::currentPath();
        QDir::setCurrent(scratch_.path());
    }
    void TearDown() override {
        if (!previous_.isEmpty()) QDir::setCurrent(previous_);
    }

  private:
    QTemporaryDir scratch_;
    QString previous_;
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
}

}  // namespace
}  // namespace dravia
