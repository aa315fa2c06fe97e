#pragma once

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
class QMenu;

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

    // Shows the window where it was last closed.
    void restorePlacement();
    void savePlacement();

  public slots:
    void exitProgram();
    void startRun();
    void quitRun();
    void pauseRun();
    void continueRun();
    void openCommunitiesDialog();
    void openRunControlDialog();
    void openSiteDialog();
    void openSpeciesDialog();
    void openDisturbanceDialog();
    void openGraphicsDialog();
    void runStatisticsPlain();
    void runStatisticsTabSeparated();
    void runStatisticsCommand(StatsLayout layout);
    // Shows the charts of the last run in the working directory (one window, reused).
    void openCharts();
    bool workingDirectoryFree(const DirectoryLock& lock);
    void showVersionInfo();
    void showAbout();
    // Paces graphics and tabular runs to this many years per second (0: unlimited) and keeps
    // the choice in the settings for the next session.
    void setYearsPerSecond(int yearsPerSecond);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    QAction* addCommand(QMenu* menu, const QString& text, int command);
    void connectCommand(int command, void (MainWnd::*slot)());
    void addHelpPage(QMenu* menu, const QString& text, int command, const QString& page);
    void addSpeedMenu(QMenu* run);
    // Shows a parameter dialog; a load inside it that ends the program ends the application.
    void runParameterDialog(ParameterDialog& dialog);
    // A ProgramExit from the engine ends the application's event loop with its status.
    void endProcess(int status);

    std::unique_ptr<ModelState> model_;
    PlotView* view_ = nullptr;
    std::unique_ptr<QtHost> host_;
    std::map<int, QAction*> actions_;
    std::map<int, QAction*> speedActions_;  // by years per second
    QPointer<ChartsWindow> charts_;
    WindowPlacement placement_;  // as restored; keeps the minimized and maximized positions
};

}  // namespace dravia
