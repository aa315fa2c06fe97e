#include "app/MainWnd.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <exception>
#include <new>

#include "app/AboutDialog.h"
#include "app/AppIcon.h"
#include "app/ChartsWindow.h"
#include "app/CommunitiesDialog.h"
#include "app/DisturbanceDialog.h"
#include "app/GraphicsDialog.h"
#include "app/HelpPages.h"
#include "app/RunControlDialog.h"
#include "app/RunSpeedSetting.h"
#include "app/SiteDialog.h"
#include "app/SpeciesDialog.h"
#include "app/VersionInfoDialog.h"
#include "app/YearPacer.h"
#include "display/PlotView.h"
#include "input/StartupLoad.h"
#include "model/VolumeTable.h"
#include "output/rundb/Completeness.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "platform/ProgramExit.h"
#include "run/RunDriver.h"
#include "run/RunStatistics.h"

namespace dravia {

MainWnd::MainWnd(StartupLoader loader) : model_(std::make_unique<ModelState>()) {
    view_ = new PlotView(*model_, this);
    host_ = std::make_unique<QtHost>(this, view_);
    model_->host = host_.get();
    try {
        if (loader) {
            loader(*model_);
        } else {
            loadAtStartup(*model_);
        }
    } catch (const ProgramExit&) {
        throw;
    } catch (const std::exception&) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Dravia4"),
                        QStringLiteral("Cannot handle error.  Program exiting"), QMessageBox::Ok);
        box.exec();
        // A failure must not look like success to whoever started the program.
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
    setWindowTitle(QStringLiteral("Dravia4"));
    setWindowIcon(applicationIcon());
    setGeometry(0, 0, 10, 10);
    buildMenus();
    setCentralWidget(view_);
    view_->show();
}

MainWnd::~MainWnd() = default;

QAction* MainWnd::addCommand(QMenu* menu, const QString& text, int command) {
    QAction* action = menu->addAction(text);
    action->setData(command);
    actions_[command] = action;
    return action;
}

void MainWnd::connectCommand(int command, void (MainWnd::*slot)()) {
    connect(actions_.at(command), &QAction::triggered, this, slot);
}

void MainWnd::addHelpPage(QMenu* menu, const QString& text, int command, const QString& page) {
    QAction* action = addCommand(menu, text, command);
    connect(action, &QAction::triggered, this, [this, page] { openHelpPage(page, this); });
}

void MainWnd::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    addCommand(file, QStringLiteral("E&xit"), CMD_EXIT);

    QMenu* run = bar->addMenu(QStringLiteral("&Run"));
    addCommand(run, QStringLiteral("&Run"), CMD_RUN);
    addCommand(run, QStringLiteral("&Quit Run"), CMD_QUIT_RUN);
    run->addSeparator();
    addCommand(run, QStringLiteral("&Pause"), CMD_PAUSE);
    addCommand(run, QStringLiteral("&Continue"), CMD_CONTINUE);
    run->addSeparator();
    addSpeedMenu(run);

    QMenu* parameters = bar->addMenu(QStringLiteral("&Parameters"));
    addCommand(parameters, QStringLiteral("&Communities and Climate Selection"), CMD_COMMUNITIES);
    addCommand(parameters, QStringLiteral("&Input, Output, Run-Time Control"), CMD_RUN_CONTROL);
    addCommand(parameters, QStringLiteral("&Site Information"), CMD_SITE);
    addCommand(parameters, QStringLiteral("Species &Variables"), CMD_SPECIES);
    addCommand(parameters, QStringLiteral("&Logging  / Windthrow"), CMD_DISTURBANCE);
    addCommand(parameters, QStringLiteral("&Graphics Shape and Form"), CMD_GRAPHICS);

    QMenu* statistics = bar->addMenu(QStringLiteral("&Statistics"));
    addCommand(statistics, QStringLiteral("&Run Statistics Using Standard Output"), CMD_STATS_PLAIN);
    addCommand(statistics, QStringLiteral("Run Statistics Using &Excel Format Output"),
               CMD_STATS_TAB_SEPARATED);
    statistics->addSeparator();
    addCommand(statistics, QStringLiteral("&Charts..."), CMD_CHARTS);
    // The charts item says why it is unavailable.
    statistics->setToolTipsVisible(true);

    // Help is the last menu, at the right-hand end of the bar.
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    addHelpPage(help, QStringLiteral("&Overview"), CMD_HELP_OVERVIEW,
                QStringLiteral("Manual\\dravia3_overview.htm"));
    addHelpPage(help, QStringLiteral("&How a Forest Works"), CMD_HELP_FOREST_WORKS,
                QStringLiteral("Manual\\howForestWorks.htm"));
    addHelpPage(help, QStringLiteral("Chapter &1"), CMD_HELP_CHAPTER_1,
                QStringLiteral("Manual\\Forest.html"));
    for (int chapter = 2; chapter <= 9; ++chapter) {
        addHelpPage(help, QStringLiteral("Chapter &%1").arg(chapter), CMD_HELP_CHAPTER_2 + chapter - 2,
                    QStringLiteral("Manual\\Forest_chap%1.html").arg(chapter));
    }
    help->addSeparator();
    addHelpPage(help, QStringLiteral("&Latest Documentation From Web"), CMD_HELP_WEB,
                QString::fromLatin1(WEB_DOCUMENTATION_PAGE));
    actions_.at(CMD_HELP_WEB)->setToolTip(QString::fromLatin1(WEB_DOCUMENTATION_TIP));
    help->setToolTipsVisible(true);
    help->addSeparator();
    addCommand(help, QStringLiteral("&Version Info"), CMD_VERSION_INFO);
    addCommand(help, QStringLiteral("&About Dravia4..."), CMD_ABOUT);

    connectCommand(CMD_EXIT, &MainWnd::exitProgram);
    connectCommand(CMD_RUN, &MainWnd::startRun);
    connectCommand(CMD_QUIT_RUN, &MainWnd::quitRun);
    connectCommand(CMD_PAUSE, &MainWnd::pauseRun);
    connectCommand(CMD_CONTINUE, &MainWnd::continueRun);
    connectCommand(CMD_COMMUNITIES, &MainWnd::openCommunitiesDialog);
    connectCommand(CMD_RUN_CONTROL, &MainWnd::openRunControlDialog);
    connectCommand(CMD_SITE, &MainWnd::openSiteDialog);
    connectCommand(CMD_SPECIES, &MainWnd::openSpeciesDialog);
    connectCommand(CMD_DISTURBANCE, &MainWnd::openDisturbanceDialog);
    connectCommand(CMD_GRAPHICS, &MainWnd::openGraphicsDialog);
    connectCommand(CMD_STATS_PLAIN, &MainWnd::runStatisticsPlain);
    connectCommand(CMD_STATS_TAB_SEPARATED, &MainWnd::runStatisticsTabSeparated);
    connectCommand(CMD_CHARTS, &MainWnd::openCharts);
    connectCommand(CMD_VERSION_INFO, &MainWnd::showVersionInfo);
    connectCommand(CMD_ABOUT, &MainWnd::showAbout);

    for (QMenu* menu : {file, run, parameters, statistics, help}) {
        connect(menu, &QMenu::aboutToShow, this, &MainWnd::updateCommandStates);
    }
}

void MainWnd::addSpeedMenu(QMenu* run) {
    // Always available: a class slows a run down or lets it race while it goes.
    QMenu* speed = run->addMenu(QStringLiteral("&Speed"));
    auto* choices = new QActionGroup(speed);
    choices->setExclusive(true);
    for (const int yearsPerSecond : YEARS_PER_SECOND_CHOICES) {
        const QString text = yearsPerSecond == 0 ? QStringLiteral("&Unlimited")
                             : yearsPerSecond == 1
                                 ? QStringLiteral("1 year per second")
                                 : QStringLiteral("%1 years per second").arg(yearsPerSecond);
        QAction* action = speed->addAction(text);
        action->setCheckable(true);
        action->setData(yearsPerSecond);
        choices->addAction(action);
        speedActions_[yearsPerSecond] = action;
        connect(action, &QAction::triggered, this,
                [this, yearsPerSecond] { setYearsPerSecond(yearsPerSecond); });
    }
    const int stored = validYearsPerSecond(loadStoredYearsPerSecond());
    host_->setYearsPerSecond(stored);
    speedActions_.at(stored)->setChecked(true);
}

QAction* MainWnd::speedAction(int yearsPerSecond) const {
    const auto it = speedActions_.find(yearsPerSecond);
    return it == speedActions_.end() ? nullptr : it->second;
}

void MainWnd::setYearsPerSecond(int yearsPerSecond) {
    const int speed = validYearsPerSecond(yearsPerSecond);
    host_->setYearsPerSecond(speed);
    speedActions_.at(speed)->setChecked(true);
    storeYearsPerSecond(speed);
}

QAction* MainWnd::commandAction(int command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWnd::updateCommandStates() {
    const RunFlags& flags = model_->run.flags;
    // No dialog may change parameters and no statistics may be computed while a run is in
    // progress, paused or not.
    for (const int command : {CMD_RUN, CMD_COMMUNITIES, CMD_RUN_CONTROL, CMD_SITE, CMD_SPECIES,
                              CMD_DISTURBANCE, CMD_GRAPHICS, CMD_STATS_PLAIN, CMD_STATS_TAB_SEPARATED}) {
        actions_.at(command)->setEnabled(!flags.running);
    }
    actions_.at(CMD_QUIT_RUN)->setEnabled(flags.running);
    actions_.at(CMD_PAUSE)->setEnabled(flags.running && !flags.paused);
    actions_.at(CMD_CONTINUE)->setEnabled(flags.paused);

    // The charts read the run database the last run left in the working directory.
    QAction* charts = actions_.at(CMD_CHARTS);
    if (flags.running) {
        charts->setEnabled(false);
        charts->setToolTip(QStringLiteral("Charts are available when the run has ended."));
    } else if (!isCompleteRunDatabase(STANDARD_RUN_DATABASE_NAME)) {
        charts->setEnabled(false);
        charts->setToolTip(
            QStringLiteral("No complete run database in the working directory: run a simulation first."));
    } else {
        charts->setEnabled(true);
        charts->setToolTip(QStringLiteral("Charts of the last run, from %1 in the working directory.")
                               .arg(QString::fromLatin1(STANDARD_RUN_DATABASE_NAME)));
    }
}

void MainWnd::restorePlacement() {
    placement_ = loadStoredPlacement();
    applyPlacement(*this, placement_);
}

void MainWnd::savePlacement() {
    placement_ = currentPlacement(*this, placement_);
    storePlacement(placement_);
}

void MainWnd::closeEvent(QCloseEvent* event) {
    savePlacement();
    // Closed in the middle of a run: the run loop ends the process when it next takes the events.
    if (model_->run.flags.running || model_->run.flags.paused) host_->requestQuit();
    event->accept();
}

void MainWnd::endProcess(int status) {
    hide();
    QCoreApplication::exit(status);
}

void MainWnd::exitProgram() {
    close();
}

bool MainWnd::workingDirectoryFree(const DirectoryLock& lock) {
    if (!lock.refused()) return true;
    host_->showMessage(lock.refusal(), MessageIcon::Error);
    return false;
}

void MainWnd::startRun() {
    if (model_->run.flags.running) return;
    // Held for the run: another program's run or statistics in this folder would mix their files with ours.
    const DirectoryLock lock(".");
    if (!workingDirectoryFree(lock)) return;
    fillVolumeCoefficients(*model_);
    // Each run leaves its database in the working directory for the charts (docs/outputs.md).
    model_->databaseRequest.path = STANDARD_RUN_DATABASE_NAME;
    model_->databaseRequest.required = false;
    model_->databaseRequest.commandLine = QCoreApplication::arguments().join(QLatin1Char(' ')).toStdString();
    try {
        runSimulation(*model_);
    } catch (const ProgramExit& exit) {
        endProcess(exit.status);
    } catch (const std::bad_alloc&) {
        model_->run.flags = RunFlags{};
        host_->showMessage(OUT_OF_MEMORY_MESSAGE, MessageIcon::Error);
        endProcess(EXIT_FATAL_ERROR);
    }
}

void MainWnd::quitRun() {
    model_->run.flags.running = false;
}

void MainWnd::pauseRun() {
    model_->run.flags.paused = true;
}

void MainWnd::continueRun() {
    model_->run.flags.paused = false;
}

void MainWnd::runParameterDialog(ParameterDialog& dialog) {
    try {
        dialog.exec();
    } catch (const ProgramExit& exit) {
        endProcess(exit.status);
    }
}

void MainWnd::openCommunitiesDialog() {
    CommunitiesDialog dialog(*model_, this);
    runParameterDialog(dialog);
}

void MainWnd::openRunControlDialog() {
    RunControlDialog dialog(*model_, this);
    runParameterDialog(dialog);
}

void MainWnd::openSiteDialog() {
    SiteDialog dialog(*model_, this);
    runParameterDialog(dialog);
}

void MainWnd::openSpeciesDialog() {
    SpeciesDialog dialog(*model_, view_, this);
    runParameterDialog(dialog);
}

void MainWnd::openDisturbanceDialog() {
    DisturbanceDialog dialog(*model_, this);
    runParameterDialog(dialog);
}

void MainWnd::openGraphicsDialog() {
    GraphicsDialog dialog(*model_, view_, this);
    runParameterDialog(dialog);
}

void MainWnd::runStatisticsPlain() {
    runStatisticsCommand(StatsLayout::Plain);
}

void MainWnd::runStatisticsTabSeparated() {
    runStatisticsCommand(StatsLayout::TabSeparated);
}

void MainWnd::runStatisticsCommand(StatsLayout layout) {
    // Statistics read a finished run into a state of their own; whatever stops them has shown its
    // message, and the window goes back to idle with every setting as it was.
    const DirectoryLock lock(".");
    if (!workingDirectoryFree(lock)) return;
    try {
        runStatistics(
            *model_, layout,
            "A simulation with \"Output results to file\" set to true must run to completion first: "
            "its parameters are kept for the statistics when it completes.");
    } catch (const ProgramExit&) {
    } catch (const std::bad_alloc&) {
        host_->showMessage(OUT_OF_MEMORY_MESSAGE, MessageIcon::Error);
    }
}

void MainWnd::openCharts() {
    if (!charts_) charts_ = new ChartsWindow(this);
    // Read again each time: a run since the window last opened has replaced the database.
    const bool read = charts_->openDatabase(
        QDir::current().absoluteFilePath(QString::fromLatin1(STANDARD_RUN_DATABASE_NAME)));
    if (!read && !charts_->data()) return;
    charts_->show();
    charts_->raise();
    charts_->activateWindow();
}

void MainWnd::showVersionInfo() {
    VersionInfoDialog dialog(this);
    dialog.exec();
}

void MainWnd::showAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}

}  // namespace dravia
