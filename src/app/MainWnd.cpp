#include "app/MainWnd.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <ctime>
#include <exception>
#include <new>

#include "app/AboutDialog.h"
#include "app/AppIcon.h"
#include "app/ChartsWindow.h"
#include "app/CommunitiesDialog.h"
#include "app/DisturbanceDialog.h"
#include "app/EarlierRun.h"
#include "app/GraphicsDialog.h"
#include "app/HelpPages.h"
#include "app/ModelOptionsDialog.h"
#include "app/RunControlDialog.h"
#include "app/RunIcons.h"
#include "app/RunSpeedSetting.h"
#include "app/RunsDialog.h"
#include "app/SiteDialog.h"
#include "app/SpeciesDialog.h"
#include "app/VersionInfoDialog.h"
#include "app/YearPacer.h"
#include "display/DisplayNames.h"
#include "display/PlotView.h"
#include "display/RunStatus.h"
#include "input/StartupLoad.h"
#include "model/VolumeTable.h"
#include "output/rundb/Completeness.h"
#include "output/rundb/RunDatabase.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/RunLibrary.h"
#include "platform/ProgramExit.h"
#include "run/RunDriver.h"
#include "run/RunStatistics.h"

namespace dravia {

namespace {

// The status line is read, not watched frame by frame.
constexpr qint64 STATUS_INTERVAL_MILLISECONDS = 40;

QString speedText(int yearsPerSecond) {
    if (yearsPerSecond == 0) return QStringLiteral("&Unlimited");
    if (yearsPerSecond == 1) return QStringLiteral("1 year per second");
    return QStringLiteral("%1 years per second").arg(yearsPerSecond);
}

// A tooltip with the keys that do the same.
QString withShortcut(const QString& tip, const QAction* action) {
    const QKeySequence keys = action->shortcut();
    return keys.isEmpty() ? tip : QStringLiteral("%1 (%2)").arg(tip, keys.toString(QKeySequence::NativeText));
}

}  // namespace

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
    buildRunToolBar();
    buildStatusBar();
    setCentralWidget(view_);
    view_->show();
    host_->setRunListener([this] {
        // Years may race by: the title and the status line follow a few times a second, and
        // always at the start and end of an iteration.
        const RunState& run = model_->run;
        const bool edge = run.CURRENT_YEAR <= 1 || run.CURRENT_YEAR >= model_->params.NUM_YEARS;
        if (edge || !sinceStatus_.isValid() || sinceStatus_.elapsed() >= STATUS_INTERVAL_MILLISECONDS)
            runStateChanged();
    });
    // The completion message offers the charts once the run's database is complete, the moment
    // it becomes the last run.
    host_->setChartsOffer({[this] {
                               settleLastRun();
                               return chartsUnavailableReason();
                           },
                           [this] { openCharts(); }});
    runStateChanged();
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
    addCommand(run, QStringLiteral("&Run"), CMD_RUN)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    addCommand(run, QStringLiteral("&Quit Run"), CMD_QUIT_RUN);
    run->addSeparator();
    // One key pauses and continues from anywhere in the program; only one of the two items is
    // ever enabled, so the key is never ambiguous.
    for (const auto& [text, command] : {std::pair{QStringLiteral("&Pause"), CMD_PAUSE},
                                        std::pair{QStringLiteral("&Continue"), CMD_CONTINUE}}) {
        QAction* action = addCommand(run, text, command);
        action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
    // Space does both while the plot has the keyboard, as in a video player.
    QAction* onPlot =
        addCommand(run, QStringLiteral("Pause or Continue on the P&lot"), CMD_PAUSE_OR_CONTINUE);
    onPlot->setShortcut(QKeySequence(Qt::Key_Space));
    onPlot->setShortcutContext(Qt::WidgetShortcut);
    view_->addAction(onPlot);
    run->addSeparator();
    addSpeedMenu(run);

    QMenu* parameters = bar->addMenu(QStringLiteral("&Parameters"));
    addCommand(parameters, QStringLiteral("&Communities and Climate Selection"), CMD_COMMUNITIES);
    addCommand(parameters, QStringLiteral("&Input, Output, Run-Time Control"), CMD_RUN_CONTROL);
    addCommand(parameters, QStringLiteral("&Site Information"), CMD_SITE);
    addCommand(parameters, QStringLiteral("Species &Variables"), CMD_SPECIES);
    addCommand(parameters, QStringLiteral("&Logging  / Windthrow"), CMD_DISTURBANCE);
    addCommand(parameters, QStringLiteral("&Graphics Shape and Form"), CMD_GRAPHICS);
    addCommand(parameters, QStringLiteral("&Model Options"), CMD_MODEL_OPTIONS);

    QMenu* statistics = bar->addMenu(QStringLiteral("&Statistics"));
    addCommand(statistics, QStringLiteral("&Run Statistics Using Standard Output"), CMD_STATS_PLAIN);
    addCommand(statistics, QStringLiteral("Run Statistics Using &Excel Format Output"),
               CMD_STATS_TAB_SEPARATED);
    statistics->addSeparator();
    addCommand(statistics, QStringLiteral("R&uns..."), CMD_RUNS);
    addCommand(statistics, QStringLiteral("&Charts..."), CMD_CHARTS)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    // The charts item says why it is unavailable.
    statistics->setToolTipsVisible(true);

    // Help is the last menu, at the right-hand end of the bar.
    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    addHelpPage(help, QStringLiteral("&Overview"), CMD_HELP_OVERVIEW,
                QStringLiteral("Manual\\dravia3_overview.htm"));
    addHelpPage(help, QStringLiteral("&How a Forest Works"), CMD_HELP_FOREST_WORKS,
                QStringLiteral("Manual\\howForestWorks.htm"));
    addHelpPage(help, QStringLiteral("&Glossary"), CMD_HELP_GLOSSARY,
                QStringLiteral("Manual\\glossary.html"));
    addHelpPage(help, QStringLiteral("Chapter &1"), CMD_HELP_CHAPTER_1,
                QStringLiteral("Manual\\Forest.html"));
    for (int chapter = 2; chapter <= 9; ++chapter) {
        addHelpPage(help, QStringLiteral("Chapter &%1").arg(chapter), CMD_HELP_CHAPTER_2 + chapter - 2,
                    QStringLiteral("Manual\\Forest_chap%1.html").arg(chapter));
    }
    help->addSeparator();
    addCommand(help, QStringLiteral("&Latest Documentation From Web"), CMD_HELP_WEB);
    connect(actions_.at(CMD_HELP_WEB), &QAction::triggered, this,
            [this] { openWebPage(QString::fromLatin1(WEB_DOCUMENTATION_PAGE), this); });
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
    connectCommand(CMD_PAUSE_OR_CONTINUE, &MainWnd::pauseOrContinue);
    connectCommand(CMD_COMMUNITIES, &MainWnd::openCommunitiesDialog);
    connectCommand(CMD_RUN_CONTROL, &MainWnd::openRunControlDialog);
    connectCommand(CMD_SITE, &MainWnd::openSiteDialog);
    connectCommand(CMD_SPECIES, &MainWnd::openSpeciesDialog);
    connectCommand(CMD_DISTURBANCE, &MainWnd::openDisturbanceDialog);
    connectCommand(CMD_GRAPHICS, &MainWnd::openGraphicsDialog);
    connectCommand(CMD_MODEL_OPTIONS, &MainWnd::openModelOptionsDialog);
    connectCommand(CMD_STATS_PLAIN, &MainWnd::runStatisticsPlain);
    connectCommand(CMD_STATS_TAB_SEPARATED, &MainWnd::runStatisticsTabSeparated);
    connectCommand(CMD_CHARTS, &MainWnd::openCharts);
    connectCommand(CMD_RUNS, &MainWnd::openRunsDialog);
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
        QAction* action = speed->addAction(speedText(yearsPerSecond));
        action->setCheckable(true);
        action->setData(yearsPerSecond);
        choices->addAction(action);
        speedActions_[yearsPerSecond] = action;
        connect(action, &QAction::triggered, this,
                [this, yearsPerSecond] { setYearsPerSecond(yearsPerSecond); });
    }
    speed->addSeparator();
    watchFirstAction_ =
        speed->addAction(QStringLiteral("&Watch the First Iteration Only, the Others at Full Speed"));
    watchFirstAction_->setCheckable(true);
    connect(watchFirstAction_, &QAction::triggered, this, &MainWnd::setWatchFirstIterationOnly);

    const int stored = loadStoredYearsPerSecond();
    host_->setYearsPerSecond(stored);
    speedActions_.at(stored)->setChecked(true);
    const bool firstOnly = loadStoredWatchFirstIterationOnly();
    host_->setWatchFirstIterationOnly(firstOnly);
    watchFirstAction_->setChecked(firstOnly);
}

void MainWnd::buildRunToolBar() {
    runBar_ = addToolBar(QStringLiteral("Run"));
    runBar_->setObjectName(QStringLiteral("runToolBar"));
    runBar_->setMovable(false);
    runBar_->setFloatable(false);
    runBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    // The window's own menu would let the bar be hidden, and a class would lose its buttons.
    runBar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    QAction* run = actions_.at(CMD_RUN);
    run->setIcon(runIcon(RunIcon::Run));
    run->setToolTip(withShortcut(QStringLiteral("Run the simulation with the settings in force"), run));
    runBar_->addAction(run);

    pauseOrContinue_ = new QAction(runIcon(RunIcon::Continue), QStringLiteral("Continue"), this);
    pauseOrContinue_->setObjectName(QStringLiteral("pauseOrContinue"));
    connect(pauseOrContinue_, &QAction::triggered, this, &MainWnd::pauseOrContinue);
    runBar_->addAction(pauseOrContinue_);
    // Wide enough for the longer of its two words, so the bar does not shift when it turns.
    if (QWidget* button = runBar_->widgetForAction(pauseOrContinue_))
        button->setMinimumWidth(button->sizeHint().width());

    QAction* quit = actions_.at(CMD_QUIT_RUN);
    quit->setIcon(runIcon(RunIcon::QuitRun));
    quit->setToolTip(QStringLiteral("Stop the run after the year in progress; what it wrote so far is kept"));
    runBar_->addAction(quit);
    runBar_->addSeparator();

    // The speed and the watching choice sit beside the buttons, as in the Speed menu; short
    // words keep the whole bar on a 700-pixel window.
    speedChoice_ = new QComboBox(runBar_);
    speedChoice_->setObjectName(QStringLiteral("speedChoice"));
    for (const int yearsPerSecond : YEARS_PER_SECOND_CHOICES) {
        speedChoice_->addItem(yearsPerSecond == 0 ? QStringLiteral("Unlimited")
                                                  : QStringLiteral("%1 years/s").arg(yearsPerSecond),
                              yearsPerSecond);
    }
    speedChoice_->setCurrentIndex(speedChoice_->findData(host_->yearsPerSecond()));
    speedChoice_->setToolTip(
        QStringLiteral("Speed: how many simulated years a graphics or tabular run shows per second"));
    speedChoice_->setAccessibleName(QStringLiteral("Speed"));
    connect(speedChoice_, &QComboBox::activated, this,
            [this](int index) { setYearsPerSecond(speedChoice_->itemData(index).toInt()); });
    runBar_->addWidget(speedChoice_);
    watchFirstBox_ = new QCheckBox(QStringLiteral("&Watch first iteration only"), runBar_);
    watchFirstBox_->setObjectName(QStringLiteral("watchFirstIterationOnly"));
    watchFirstBox_->setChecked(host_->watchFirstIterationOnly());
    watchFirstBox_->setToolTip(
        QStringLiteral("Show the first iteration at the chosen speed, then finish the others at full "
                       "speed; their averages come with the statistics and the charts"));
    connect(watchFirstBox_, &QCheckBox::clicked, this, &MainWnd::setWatchFirstIterationOnly);
    runBar_->addWidget(watchFirstBox_);
    runBar_->addSeparator();

    QAction* charts = actions_.at(CMD_CHARTS);
    charts->setIcon(runIcon(RunIcon::Charts));
    runBar_->addAction(charts);
}

void MainWnd::buildStatusBar() {
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusBar()->addWidget(statusLine_, 1);
    fullSpeedProgress_ = new QProgressBar(this);
    fullSpeedProgress_->setObjectName(QStringLiteral("fullSpeedProgress"));
    fullSpeedProgress_->setFixedWidth(
        fontMetrics().horizontalAdvance(QStringLiteral("Iterations 2 to 10000 at full speed: 100%")) + 24);
    fullSpeedProgress_->hide();
    statusBar()->addPermanentWidget(fullSpeedProgress_);
}

QString MainWnd::statusText() const {
    return statusLine_->text();
}

void MainWnd::refreshRunStatus() {
    const QString status = lastRunShown_ ? runStatusText(*model_) : scenarioName(*model_);
    statusLine_->setText(status);
    setWindowTitle(QStringLiteral("Dravia4 - ") + status);

    // After the watched iteration the others race by: how far they have got.
    const RunParameters& p = model_->params;
    const RunState& run = model_->run;
    const bool watchable = p.SCREEN_OUTPUT_MODE == 1 || p.SCREEN_OUTPUT_MODE == 2;
    const bool racing = run.flags.running && watchable && host_->yearsPerSecond() != 0 &&
                        host_->finishingAtFullSpeed() && p.NUM_ITERS > 1 && p.NUM_YEARS > 0;
    if (racing) {
        fullSpeedProgress_->setRange(0, (p.NUM_ITERS - 1) * p.NUM_YEARS);
        fullSpeedProgress_->setValue(std::clamp((run.CURRENT_ITERATION - 2) * p.NUM_YEARS + run.CURRENT_YEAR,
                                                0, fullSpeedProgress_->maximum()));
        fullSpeedProgress_->setFormat(
            QStringLiteral("Iterations 2 to %1 at full speed: %p%").arg(p.NUM_ITERS));
    }
    fullSpeedProgress_->setVisible(racing);
    sinceStatus_.start();
}

void MainWnd::runStateChanged() {
    updateCommandStates();
    refreshRunStatus();
}

QAction* MainWnd::speedAction(int yearsPerSecond) const {
    const auto it = speedActions_.find(yearsPerSecond);
    return it == speedActions_.end() ? nullptr : it->second;
}

void MainWnd::setYearsPerSecond(int yearsPerSecond) {
    const int speed = validYearsPerSecond(yearsPerSecond);
    host_->setYearsPerSecond(speed);
    speedActions_.at(speed)->setChecked(true);
    if (speedChoice_) speedChoice_->setCurrentIndex(speedChoice_->findData(speed));
    storeYearsPerSecond(speed);
    refreshRunStatus();
}

void MainWnd::setWatchFirstIterationOnly(bool firstOnly) {
    host_->setWatchFirstIterationOnly(firstOnly);
    watchFirstAction_->setChecked(firstOnly);
    if (watchFirstBox_) watchFirstBox_->setChecked(firstOnly);
    storeWatchFirstIterationOnly(firstOnly);
    refreshRunStatus();
}

QAction* MainWnd::commandAction(int command) const {
    const auto it = actions_.find(command);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWnd::updateCommandStates() {
    const RunFlags& flags = model_->run.flags;
    // No dialog may change parameters and no statistics may be computed while a run is in
    // progress, paused or not.
    for (const int command :
         {CMD_RUN, CMD_COMMUNITIES, CMD_RUN_CONTROL, CMD_SITE, CMD_SPECIES, CMD_DISTURBANCE, CMD_GRAPHICS,
          CMD_MODEL_OPTIONS, CMD_STATS_PLAIN, CMD_STATS_TAB_SEPARATED, CMD_RUNS}) {
        actions_.at(command)->setEnabled(!flags.running);
    }
    actions_.at(CMD_QUIT_RUN)->setEnabled(flags.running);
    actions_.at(CMD_PAUSE)->setEnabled(flags.running && !flags.paused);
    actions_.at(CMD_CONTINUE)->setEnabled(flags.paused);
    actions_.at(CMD_PAUSE_OR_CONTINUE)->setEnabled(flags.running || flags.paused);

    // The toolbar's one button says what it will do.
    if (pauseOrContinue_) {
        const int command = flags.paused ? CMD_CONTINUE : CMD_PAUSE;
        const QAction* menuItem = actions_.at(command);
        pauseOrContinue_->setText(flags.paused ? QStringLiteral("Continue") : QStringLiteral("Pause"));
        pauseOrContinue_->setIcon(runIcon(flags.paused ? RunIcon::Continue : RunIcon::Pause));
        pauseOrContinue_->setToolTip(
            withShortcut(flags.paused ? QStringLiteral("Continue the paused run")
                                      : QStringLiteral("Hold the run after the year in progress"),
                         menuItem) +
            QStringLiteral("; Space on the plot does the same"));
        pauseOrContinue_->setEnabled(menuItem->isEnabled());
    }

    // The charts read the run database the last run left in the working directory.
    QAction* charts = actions_.at(CMD_CHARTS);
    const QString unavailable = chartsUnavailableReason();
    charts->setEnabled(unavailable.isEmpty());
    charts->setToolTip(withShortcut(unavailable.isEmpty() ? chartsDescription() : unavailable, charts));
}

QString MainWnd::chartsDescription() const {
    if (!earlierRunKept_) {
        return QStringLiteral("Charts of the last run, from %1 in the working directory.")
            .arg(QString::fromLatin1(STANDARD_RUN_DATABASE_NAME));
    }
    const std::optional<RunIdentity> earlier = runIdentityOf(STANDARD_RUN_DATABASE_NAME);
    const QString reason =
        model_->output.databaseFailure.empty()
            ? QString()
            : QStringLiteral(" (%1)").arg(QString::fromStdString(model_->output.databaseFailure));
    return QStringLiteral(
               "Charts of the earlier run %1: the last run left no complete run database%2, "
               "so %3 still holds the earlier one.")
        .arg(earlier ? runNameAndStart(*earlier) : QString(), reason,
             QString::fromLatin1(STANDARD_RUN_DATABASE_NAME));
}

QString MainWnd::chartsUnavailableReason() const {
    if (model_->run.flags.running) return QStringLiteral("Charts are available when the run has ended.");
    if (!lastRunFailure_.empty()) {
        return QStringLiteral("%1 Its charts open from Statistics > Runs...")
            .arg(QString::fromStdString(lastRunFailure_));
    }
    if (isCompleteRunDatabase(STANDARD_RUN_DATABASE_NAME)) return {};
    if (!model_->output.databaseFailure.empty()) {
        return QStringLiteral("The run database could not be written, so the run has no charts: %1")
            .arg(QString::fromStdString(model_->output.databaseFailure));
    }
    return QStringLiteral("No complete run database in the working directory: run a simulation first.");
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
    // Each run keeps its database in the library, under its start time and scenario name; once
    // complete it is also the working directory's last run, for the charts (docs/outputs.md).
    const std::time_t now = std::time(nullptr);
    std::tm start{};
    localtime_r(&now, &start);
    const std::string scenario = defaultScenarioNameOf(*model_);
    QDir().mkpath(QString::fromLatin1(RUN_LIBRARY_FOLDER));
    runEntry_ = newLibraryEntryPath(RUN_LIBRARY_FOLDER, start, scenario);
    model_->databaseRequest.path = runEntry_;
    model_->databaseRequest.scenario = scenario;
    model_->databaseRequest.required = false;
    model_->databaseRequest.commandLine = QCoreApplication::arguments().join(QLatin1Char(' ')).toStdString();
    // Space on the plot pauses the run from its first year on.
    view_->setFocus();
    lastRunShown_ = true;
    try {
        runSimulation(*model_);
    } catch (const ProgramExit& exit) {
        endProcess(exit.status);
    } catch (const std::bad_alloc&) {
        model_->run.flags = RunFlags{};
        host_->showMessage(OUT_OF_MEMORY_MESSAGE, MessageIcon::Error);
        endProcess(EXIT_FATAL_ERROR);
    }
    settleLastRun();
    runStateChanged();
}

void MainWnd::settleLastRun() {
    if (runEntry_.empty() || model_->run.flags.running) return;
    const std::string entry = runEntry_;
    runEntry_.clear();
    // A run stopped by an error, or whose database failed, left nothing whole under the library
    // name: the earlier run's database stays the last one the charts show.
    const bool written = QFileInfo::exists(QString::fromStdString(entry)) &&
                         (isCompleteRunDatabase(entry) || model_->output.databaseFailure.empty());
    if (written) lastRunFailure_ = publishLastRun(entry, STANDARD_RUN_DATABASE_NAME);
    earlierRunKept_ = !written && isCompleteRunDatabase(STANDARD_RUN_DATABASE_NAME);
    // A charts window left open shows the run that has just finished, or names the earlier one.
    if (lastRunFailure_.empty() && charts_ && charts_->isVisible() &&
        isCompleteRunDatabase(STANDARD_RUN_DATABASE_NAME))
        openChartsOf(QDir::current().absoluteFilePath(QString::fromLatin1(STANDARD_RUN_DATABASE_NAME)));
}

void MainWnd::quitRun() {
    model_->run.flags.running = false;
    runStateChanged();
}

void MainWnd::pauseRun() {
    if (!model_->run.flags.running) return;
    model_->run.flags.paused = true;
    runStateChanged();
    // The plot's header says so too.
    view_->update();
}

void MainWnd::continueRun() {
    model_->run.flags.paused = false;
    runStateChanged();
    view_->update();
}

void MainWnd::pauseOrContinue() {
    if (model_->run.flags.paused) {
        continueRun();
    } else {
        pauseRun();
    }
}

void MainWnd::runParameterDialog(ParameterDialog& dialog) {
    try {
        dialog.exec();
    } catch (const ProgramExit& exit) {
        endProcess(exit.status);
        return;
    }
    // New settings are a new scenario (a community, a climate, a length) that the last run no
    // longer describes: the title names it alone until it runs.
    if (dialog.result() == QDialog::Accepted) lastRunShown_ = false;
    runStateChanged();
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

void MainWnd::openModelOptionsDialog() {
    ModelOptionsDialog dialog(*model_, this);
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
    // Read again each time: a run since the window last opened has replaced the database.
    openChartsOf(QDir::current().absoluteFilePath(QString::fromLatin1(STANDARD_RUN_DATABASE_NAME)));
}

void MainWnd::openChartsOf(const QString& file) {
    if (!charts_) charts_ = new ChartsWindow(this);
    // The working directory's database, kept from before a run that failed, is named so.
    const bool earlier =
        earlierRunKept_ && QFileInfo(file) == QFileInfo(QString::fromLatin1(STANDARD_RUN_DATABASE_NAME));
    const bool read = charts_->openDatabase(file, earlier ? QStringLiteral("Earlier run") : QString());
    if (!read && !charts_->data()) return;
    charts_->show();
    charts_->raise();
    charts_->activateWindow();
}

void MainWnd::openRunsDialog() {
    if (model_->run.flags.running) return;
    RunsDialog dialog(this);
    dialog.setLastRunFailed(earlierRunKept_);
    dialog.exec();
    if (!dialog.chartsFile().isEmpty()) openChartsOf(dialog.chartsFile());
    runStateChanged();
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
