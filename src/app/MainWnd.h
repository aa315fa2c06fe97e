#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>

#include "app/QtHost.h"
#include "app/WindowPlacement.h"
#include "model/ModelState.h"
#include "output/StatsReport.h"
#include "platform/DirectoryLock.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QToolBar;

namespace dravia {

class ChartsWindow;
class ParameterDialog;
class PlotView;

// The program's command numbers, one per menu item.
enum Command : int {
    CMD_EXIT = 32771,
    CMD_RUN = 32772,
    CMD_COMMUNITIES = 32773,
    CMD_RUN_CONTROL = 32774,
    CMD_SITE = 32775,
    CMD_SPECIES = 32776,
    CMD_DISTURBANCE = 32777,
    CMD_GRAPHICS = 32778,
    CMD_PAUSE = 32781,
    CMD_CONTINUE = 32782,
    CMD_QUIT_RUN = 32783,
    CMD_STATS_PLAIN = 32784,
    CMD_STATS_TAB_SEPARATED = 32785,
    CMD_HELP_OVERVIEW = 32786,
    CMD_HELP_CHAPTER_2 = 32787,  // chapters 2 to 9 are 32787 to 32794
    CMD_HELP_CHAPTER_9 = 32794,
    CMD_VERSION_INFO = 32795,
    CMD_HELP_CHAPTER_1 = 32796,
    CMD_HELP_FOREST_WORKS = 32798,
    CMD_HELP_WEB = 32799,
    CMD_ABOUT = 32800,  // "About Dravia4..." of the Help menu, beside the version box's own
    CMD_CHARTS = 32801,
    CMD_PAUSE_OR_CONTINUE = 32802,  // Space on the plot view
    CMD_HELP_GLOSSARY = 32803,
    CMD_MODEL_OPTIONS = 32804,
    CMD_RUNS = 32805,
};

// The one top-level window: the menu bar, the plot view filling the client area, the run
// commands, and the window placement kept between sessions.
class MainWnd : public QMainWindow {
    Q_OBJECT
  public:
    using StartupLoader = std::function<void(ModelState&)>;

    // Constructs the plot view, then loads the parameter and data files with `loader`
    // (the start-up load by default). A load error ends the program with its status.
    explicit MainWnd(StartupLoader loader = {});
    ~MainWnd() override;

    ModelState& model() { return *model_; }
    PlotView& plotView() { return *view_; }
    QtHost& host() { return *host_; }

    // The menu item of a command number.
    QAction* commandAction(int command) const;
    // Enables the items for the run state now (done whenever a menu is about to show).
    void updateCommandStates();

    // The item of the Speed menu for a number of years per second (0: unlimited).
    QAction* speedAction(int yearsPerSecond) const;
    // The Speed menu's "watch the first iteration only" item, and its box on the toolbar.
    QAction* watchFirstIterationAction() const { return watchFirstAction_; }
    QCheckBox* watchFirstIterationBox() const { return watchFirstBox_; }

    // The toolbar of the run commands; its Pause button turns into Continue while paused.
    QToolBar* runToolBar() const { return runBar_; }
    QAction* pauseOrContinueButton() const { return pauseOrContinue_; }
    QComboBox* speedChoice() const { return speedChoice_; }

    // The status line (also the window title after "Dravia4 - "), and the progress of the
    // iterations that go at full speed after the watched one.
    QString statusText() const;
    QProgressBar* fullSpeedProgress() const { return fullSpeedProgress_; }

    // Why the charts cannot be shown now; empty when they can.
    QString chartsUnavailableReason() const;
    // What the charts item opens: the last run, or the earlier run a failed run left in place.
    QString chartsDescription() const;

    // Shows the window where it was last closed.
    void restorePlacement();
    void savePlacement();

  public slots:
    void exitProgram();
    void startRun();
    void quitRun();
    void pauseRun();
    void continueRun();
    // Space on the plot view, and the toolbar's Pause / Continue button.
    void pauseOrContinue();
    void openCommunitiesDialog();
    void openRunControlDialog();
    void openSiteDialog();
    void openSpeciesDialog();
    void openDisturbanceDialog();
    void openGraphicsDialog();
    void openModelOptionsDialog();
    void runStatisticsPlain();
    void runStatisticsTabSeparated();
    void runStatisticsCommand(StatsLayout layout);
    // Shows the charts of the last run in the working directory (one window, reused).
    void openCharts();
    // Shows the charts of the run database `file` in the same window.
    void openChartsOf(const QString& file);
    // Statistics > Runs...: the runs kept in the working directory's library.
    void openRunsDialog();
    bool workingDirectoryFree(const DirectoryLock& lock);
    void showVersionInfo();
    void showAbout();
    // Paces graphics and tabular runs to this many years per second (0: unlimited) and keeps
    // the choice in the settings for the next session.
    void setYearsPerSecond(int yearsPerSecond);
    // Lets every iteration after the first go at full speed (or all at the chosen pace), kept in
    // the settings.
    void setWatchFirstIterationOnly(bool firstOnly);
    // The title, the status line and the toolbar follow the run (at most a few times a second
    // while years race by).
    void refreshRunStatus();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    QAction* addCommand(QMenu* menu, const QString& text, int command);
    void connectCommand(int command, void (MainWnd::*slot)());
    void addHelpPage(QMenu* menu, const QString& text, int command, const QString& page);
    void addSpeedMenu(QMenu* run);
    void buildRunToolBar();
    void buildStatusBar();
    // The states the commands depend on changed: menus, toolbar and status follow at once.
    void runStateChanged();
    // Shows a parameter dialog; a load inside it that ends the program ends the application.
    void runParameterDialog(ParameterDialog& dialog);
    // A ProgramExit from the engine ends the application's event loop with its status.
    void endProcess(int status);
    // The run's database, once complete in the library, becomes the working directory's last run.
    void settleLastRun();

    std::unique_ptr<ModelState> model_;
    PlotView* view_ = nullptr;
    std::unique_ptr<QtHost> host_;
    std::map<int, QAction*> actions_;
    std::map<int, QAction*> speedActions_;  // by years per second
    QAction* watchFirstAction_ = nullptr;
    QCheckBox* watchFirstBox_ = nullptr;
    QToolBar* runBar_ = nullptr;
    QAction* pauseOrContinue_ = nullptr;
    QComboBox* speedChoice_ = nullptr;
    QLabel* statusLine_ = nullptr;
    QProgressBar* fullSpeedProgress_ = nullptr;
    QElapsedTimer sinceStatus_;
    bool lastRunShown_ = true;  // the status says where the last run stands, or names the scenario only
    QPointer<ChartsWindow> charts_;
    std::string runEntry_;        // the library file of the run in progress, until it is the last run
    std::string lastRunFailure_;  // why the last run's database could not become the last run
    // The last run left no complete database: the working directory's is an earlier run's, kept.
    bool earlierRunKept_ = false;
    WindowPlacement placement_;  // as restored; keeps the minimized and maximized positions
};

}  // namespace dravia
