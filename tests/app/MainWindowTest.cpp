#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <stdexcept>

#include "app/MainWnd.h"
#include "display/ForestPictures.h"
#include "display/PlotView.h"
#include "display/TestForest.h"
#include "platform/ProgramExit.h"

namespace dravia {
namespace {

std::unique_ptr<MainWnd> makeWindow() {
    return std::make_unique<MainWnd>([](ModelState& model) { test::fillDisplayModel(model); });
}

// The items of a menu, "-" for a separator.
std::vector<std::string> itemTexts(QMenu* menu) {
    std::vector<std::string> texts;
    for (QAction* action : menu->actions()) {
        texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    }
    return texts;
}

QMenu* menuNamed(MainWnd& window, const QString& title) {
    for (QAction* action : window.menuBar()->actions()) {
        if (action->text() == title) return action->menu();
    }
    return nullptr;
}

TEST(MainWindow, MenuBarHasTheMenusInOrderWithHelpLast) {
    auto window = makeWindow();
    std::vector<std::string> titles;
    for (QAction* action : window->menuBar()->actions()) titles.push_back(action->text().toStdString());
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Run", "&Parameters", "&Statistics", "&Help"}));
    // The title names the scenario the window holds.
    EXPECT_EQ(window->windowTitle().toStdString(), "Dravia4 - Eastern Deciduous Forest, NORMAL");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->centralWidget(), &window->plotView());
}

TEST(MainWindow, MenuItemsWithMnemonicsAndSeparators) {
    auto window = makeWindow();
    EXPECT_EQ(itemTexts(menuNamed(*window, "&File")), (std::vector<std::string>{"E&xit"}));
    EXPECT_EQ(itemTexts(menuNamed(*window, "&Run")),
              (std::vector<std::string>{"&Run", "&Quit Run", "-", "&Pause", "&Continue",
                                        "Pause or Continue on the P&lot", "-", "&Speed"}));
    EXPECT_EQ(
        itemTexts(menuNamed(*window, "&Parameters")),
        (std::vector<std::string>{"&Communities and Climate Selection", "&Input, Output, Run-Time Control",
                                  "&Site Information", "Species &Variables", "&Logging  / Windthrow",
                                  "&Graphics Shape and Form", "&Model Options"}));
    EXPECT_EQ(itemTexts(menuNamed(*window, "&Statistics")),
              (std::vector<std::string>{"&Run Statistics Using Standard Output",
                                        "Run Statistics Using &Excel Format Output", "-", "R&uns...",
                                        "&Charts..."}));
    EXPECT_EQ(itemTexts(menuNamed(*window, "&Help")),
              (std::vector<std::string>{
                  "&Overview", "&How a Forest Works", "&Glossary", "Chapter &1", "Chapter &2", "Chapter &3",
                  "Chapter &4", "Chapter &5", "Chapter &6", "Chapter &7", "Chapter &8", "Chapter &9", "-",
                  "&Latest Documentation From Web", "-", "&Version Info", "&About Dravia4..."}));
}

TEST(MainWindow, CommandNumbersNameTheirItems) {
    auto window = makeWindow();
    EXPECT_EQ(window->commandAction(32771)->text(), "E&xit");
    EXPECT_EQ(window->commandAction(32783)->text(), "&Quit Run");
    EXPECT_EQ(window->commandAction(32777)->text(), "&Logging  / Windthrow");
    EXPECT_EQ(window->commandAction(32785)->text(), "Run Statistics Using &Excel Format Output");
    EXPECT_EQ(window->commandAction(32796)->text(), "Chapter &1");
    EXPECT_EQ(window->commandAction(32787)->text(), "Chapter &2");
    EXPECT_EQ(window->commandAction(32794)->text(), "Chapter &9");
    EXPECT_EQ(window->commandAction(32798)->text(), "&How a Forest Works");
    EXPECT_EQ(window->commandAction(32799)->text(), "&Latest Documentation From Web");
    EXPECT_EQ(window->commandAction(32795)->text(), "&Version Info");
}

struct RunStateCase {
    const char* name;
    bool running, paused;
    bool idleItems;  // Run, the Parameters items and the Statistics items
    bool quitRun, pause, resume;
};

class CommandEnabling : public ::testing::TestWithParam<RunStateCase> {};

TEST_P(CommandEnabling, ItemsFollowTheRunStateWhenAMenuIsAboutToShow) {
    const RunStateCase c = GetParam();
    auto window = makeWindow();
    window->model().run.flags.running = c.running;
    window->model().run.flags.paused = c.paused;
    // The states are evaluated when any menu opens.
    emit menuNamed(*window, "&Help")->aboutToShow();
    for (const int command :
         {CMD_RUN, CMD_COMMUNITIES, CMD_RUN_CONTROL, CMD_SITE, CMD_SPECIES, CMD_DISTURBANCE, CMD_GRAPHICS,
          CMD_MODEL_OPTIONS, CMD_STATS_PLAIN, CMD_STATS_TAB_SEPARATED}) {
        EXPECT_EQ(window->commandAction(command)->isEnabled(), c.idleItems) << c.name << " " << command;
    }
    EXPECT_EQ(window->commandAction(CMD_QUIT_RUN)->isEnabled(), c.quitRun) << c.name;
    EXPECT_EQ(window->commandAction(CMD_PAUSE)->isEnabled(), c.pause) << c.name;
    EXPECT_EQ(window->commandAction(CMD_CONTINUE)->isEnabled(), c.resume) << c.name;
    // Exit and every Help item are always available.
    EXPECT_TRUE(window->commandAction(CMD_EXIT)->isEnabled());
    for (QAction* help : menuNamed(*window, "&Help")->actions()) EXPECT_TRUE(help->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(RunStates, CommandEnabling,
                         ::testing::Values(RunStateCase{"Idle", false, false, true, false, false, false},
                                           RunStateCase{"Running", true, false, false, true, true, false},
                                           RunStateCase{"Paused", true, true, false, true, false, true},
                                           RunStateCase{"Quitting", false, true, true, false, false, true}));

TEST(MainWindow, RunMenuCommandsOnlyChangeTheFlags) {
    auto window = makeWindow();
    RunFlags& flags = window->model().run.flags;
    flags.running = true;
    window->updateCommandStates();
    window->commandAction(CMD_PAUSE)->trigger();
    EXPECT_TRUE(flags.paused);
    window->commandAction(CMD_QUIT_RUN)->trigger();
    EXPECT_FALSE(flags.running);
    EXPECT_TRUE(flags.paused);  // quitting a paused run waits for Continue
    window->commandAction(CMD_CONTINUE)->trigger();
    EXPECT_FALSE(flags.paused);
    EXPECT_FALSE(flags.run_started);
}

TEST(MainWindow, ClosingDuringARunEndsTheProcessWithStatusZeroAtTheNextLookAtTheEvents) {
    auto window = makeWindow();
    window->show();
    window->model().run.flags.running = true;
    window->host().processPendingEvents();  // nothing to quit yet
    window->close();
    try {
        window->host().processPendingEvents();
        FAIL() << "the run loop went on after the window was closed";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_NORMAL);
    }
}

TEST(MainWindow, ClosingWhenIdleDoesNotStopAnything) {
    auto window = makeWindow();
    window->show();
    window->close();
    EXPECT_NO_THROW(window->host().processPendingEvents());
}

TEST(MainWindow, AnUnexpectedStartupErrorSaysItCannotBeHandledAndEndsAsAFailure) {
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    try {
        MainWnd window([](ModelState&) { throw std::runtime_error("unexpected"); });
        FAIL() << "the window was built after a failed start-up load";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_FATAL_ERROR);
    }
    EXPECT_EQ(shown.toStdString(), "Cannot handle error.  Program exiting");
}

TEST(MainWindow, AStartupReaderErrorKeepsItsStatus) {
    EXPECT_THROW(
        {
            try {
                MainWnd window([](ModelState&) { throw ProgramExit{EXIT_STARTUP_READER}; });
            } catch (const ProgramExit& exit) {
                EXPECT_EQ(exit.status, EXIT_STARTUP_READER);
                throw;
            }
        },
        ProgramExit);
}

// One picture of the whole window per display, for a person to look at.
TEST(MainWindow, ScreenshotsOfEveryDisplayMode) {
    auto window = makeWindow();
    window->resize(760, 560);
    window->show();
    QApplication::processEvents();
    EXPECT_TRUE(window->grab().save(test::artefactPath(QStringLiteral("main-window-opening.png"))));

    ModelState& model = window->model();
    model.species[3].largeBitmap = test::bitmapFromImage(versionTreePicture());
    window->plotView().layOutDisplay();
    test::addPlot(model, 45);
    model.run.flags.run_started = true;
    for (const int mode : {1, 2, 3}) {
        model.params.SCREEN_OUTPUT_MODE = mode;
        window->plotView().repaint();
        QApplication::processEvents();
        const QImage shot = window->grab().toImage();
        EXPECT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(test::artefactPath(QStringLiteral("main-window-mode-%1.png").arg(mode))));
    }
}

}  // namespace
}  // namespace dravia
