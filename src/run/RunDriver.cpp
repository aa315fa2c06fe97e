#include "run/RunDriver.h"

#include <unistd.h>

#include "input/Parameters.h"
#include "input/PlotFile.h"
#include "input/ReaderError.h"
#include "input/WeatherFile.h"
#include "model/Birth.h"
#include "model/Death.h"
#include "model/Disturbance.h"
#include "model/Growth.h"
#include "model/SiteQuality.h"
#include "model/TreeList.h"
#include "model/Weather.h"
#include "output/DisturbanceData.h"
#include "output/MonitorFile.h"
#include "output/ParameterCopies.h"
#include "output/Tally.h"
#include "output/rundb/RunDatabase.h"
#include "platform/Host.h"
#include "run/FileCollisions.h"
#include "run/PlotYearOutput.h"

namespace dravia {

namespace {

RunDatabase* databaseOf(const ModelState& model) {
    return model.output.database.get();
}

// A database that failed is given up: the user hears why, the run goes on without it, and its
// temporary file goes.
void checkDatabase(ModelState& model) {
    RunDatabase* database = databaseOf(model);
    if (database == nullptr || database->failure().empty()) return;
    model.output.databaseFailure = database->failure();
    const std::string path = database->path();
    model.output.database.reset();
    // An earlier run's database under the name is replaced only by a complete one.
    const std::string earlier = access(path.c_str(), F_OK) == 0
                                    ? " The earlier run database \"" + path + "\" is kept as it was."
                                    : "";
    hostOf(model).showMessage(model.output.databaseFailure + " The run goes on without it." + earlier,
                              MessageIcon::Error);
}

// The input files whose names and contents the run database records.
std::vector<RunDatabase::InputFile> runInputFiles(const ModelState& model) {
    const RunParameters& p = model.params;
    return {{"run-time control", RUN_TIME_CONTROL_FILE},
            {"initial values", p.initialValuesPath},
            {"species", p.SPP_PARAM_FILE},
            {"plot", p.PLOT_FILE},
            {"weather", p.WTHR_FILE}};
}

// Opens the run database the run is asked for; false (with the message) when it cannot be.
bool openRunDatabase(ModelState& model) {
    model.output.database.reset();
    if (model.databaseRequest.path.empty()) return true;
    try {
        model.output.database =
            std::make_shared<RunDatabase>(model.databaseRequest, model, runInputFiles(model));
    } catch (const DatabaseError& error) {
        if (model.databaseRequest.required) {
            hostOf(model).showMessage(error.reason, MessageIcon::Error);
            return false;
        }
        hostOf(model).showMessage(error.reason + " The run goes on without it.", MessageIcon::Error);
        return true;
    }
    model.output.database->beginIteration(model);
    return true;
}

void finishRunDatabase(ModelState& model, bool completed) {
    RunDatabase* database = databaseOf(model);
    if (database == nullptr) return;
    database->finish(model, completed);
    checkDatabase(model);
    model.output.database.reset();
}

// Rebuilds the plots from their initial state at the start of an iteration.
void startIteration(ModelState& model) {
    hostOf(model).layOutDisplay(model);
    model.run.CURRENT_YEAR = 1;
    readPlotFile(model, PlotFileMode::Plots);
    if (RunDatabase* database = databaseOf(model)) database->beginIteration(model);
}

void noteRemoval(const ModelState& model, const Plot& plot, const Tree& tree, RemovalCause cause) {
    databaseOf(model)->noteRemoval(model, plot, tree, cause);
}

const DisturbanceObserver& disturbanceObserver(const ModelState& model) {
    static const DisturbanceObserver dataFileOnly{
        [](ModelState& m, const Plot& plot, RemovalCause) { writeDisturbanceData(m, plot, true); },
        [](ModelState& m, const Plot& plot, RemovalCause) { writeDisturbanceData(m, plot, false); },
        {},
    };
    static const DisturbanceObserver withDatabase{
        [](ModelState& m, const Plot& plot, RemovalCause) {
            writeDisturbanceData(m, plot, true);
            databaseOf(m)->beginDisturbance();
        },
        [](ModelState& m, const Plot& plot, RemovalCause cause) {
            writeDisturbanceData(m, plot, false);
            databaseOf(m)->endDisturbance(m, plot, cause);
        },
        noteRemoval,
    };
    return databaseOf(model) ? withDatabase : dataFileOnly;
}

// The stand is recorded in the years the results file holds records of, or would hold were
// results written to file: year 1 and every multiple of the results interval in force.
bool standRecordDue(const RunParameters& p, const PlotYearOutput& plan) {
    return plan.year == 1 ||
           (plan.intervalsOn && p.RESULTS_INTERV > 0 && divisible(plan.year, p.RESULTS_INTERV));
}

// Output, disturbance and redraw of one plot's year, after its forest processes.
void finishPlotYear(ModelState& model, Plot& plot) {
    const RunParameters& p = model.params;
    RunState& run = model.run;
    const PlotYearOutput plan = planPlotYear(model, plot);

    if (plan.yearOneResults) {
        summarizePlot(model, plot);
        writeResultsOfPlotYear(model, plot, plan, false);
    }
    // The results interval in force here may just have been widened by the year-1 write.
    if (intervalOutputDue(p, plan)) writeIntervalOutput(model, plot, plan);
    if (RunDatabase* database = databaseOf(model))
        database->recordPlotYear(model, plot, standRecordDue(p, plan));
    if (p.TEST_DISTURB == 1) {
        run.flags.disturbed_this_year = decideDisturbance(model, plot, disturbanceObserver(model));
        if (run.flags.disturbed_this_year) {
            summarizePlot(model, plot);
            if (RunDatabase* database = databaseOf(model)) database->recordAfterDisturbance(model, plot);
        }
    }
    if (run.flags.disturbed_this_year && afterDisturbanceReportDue(p, plan)) {
        run.DISTURBANCE_REPORTED = 1;
        if (p.FILE_OUTPUT_FLAG != 0) writeResultsOfPlotYear(model, plot, plan, true);
    }
    if (redrawDue(p, plan)) hostOf(model).repaintNow(model);
}

// The site quality of the year, followed by its monitor report when one is asked for.
void computeSiteQualityWithMonitor(ModelState& model) {
    computeSiteQuality(model);
    if (model.params.MONITOR_FLAG != 0) writeMonitorFile(model);
}

void endRun(ModelState& model) {
    closeRunOutputFiles(model);
    setAsideIncompleteDisturbanceData(model);
    writeStatisticsCopies(model);
    finishRunDatabase(model, true);
    model.run.flags.running = false;
    hostOf(model).showMessage(RUN_COMPLETED_MESSAGE, MessageIcon::Information);
}

}  // namespace

RunOutcome runSimulation(ModelState& model) {
    Host& host = hostOf(model);
    RunState& run = model.run;
    // Nothing is written by a run that would overwrite one of its inputs or write two files as one.
    const std::string collision = runFileCollision(model);
    if (!collision.empty()) {
        host.showMessage(collision, MessageIcon::Error);
        return RunOutcome::NotStarted;
    }
    run.START_RANDOM_STATE = run.RANDOM_STATE;
    freePlots(model);
    host.layOutDisplay(model);
    run.CURRENT_ITERATION = 1;
    run.CURRENT_YEAR = 1;
    model.output = OutputState{};  // a run starts its results files and disturbance header anew
    try {
        readPlotFile(model, PlotFileMode::Plots);
        readWeatherFile(model, model.params.CLIMATE_CHANGE);
        // A constant climate (also the one a one-year weather record falls back to) does not
        // change during the run, so its site quality is computed once.
        if (model.params.CLIMATE_CHANGE == 0) computeSiteQualityWithMonitor(model);
    } catch (const ReaderError& error) {
        // No year is simulated with another run's plots or weather.
        showReaderError(host, error);
        freePlots(model);
        return RunOutcome::NotStarted;
    }
    // A results or disturbance file that another run is writing refuses this run before it
    // changes anything.
    if (!holdExistingOutputFiles(model)) {
        freePlots(model);
        return RunOutcome::NotStarted;
    }
    if (!openRunDatabase(model)) {
        closeRunOutputFiles(model);
        freePlots(model);
        return RunOutcome::NotStarted;
    }
    // The results files are about to be written anew: the copies of an earlier run no longer
    // describe them, and the next ones are written when this run completes.
    removeStatisticsCopies();
    removeIncompleteDisturbanceData(model.params);
    run.flags.running = true;
    run.flags.run_started = true;
    run.flags.paused = false;
    // Pause, Continue and Quit Run only change the flags; the loop reads them between years,
    // so a run quit while paused simulates one more year after Continue, then ends.
    do {
        host.processPendingEvents();
        if (run.flags.paused) {
            host.sleepWhilePaused();
            continue;
        }
        try {
            stepYear(model);
        } catch (...) {
            // A run ended by an error in the middle of a year keeps the records its plots made.
            keepPendingResults(model);
            throw;
        }
    } while (run.flags.running || run.flags.paused);
    closeRunOutputFiles(model);
    // A run quit before its end keeps what it recorded, marked as not completed.
    finishRunDatabase(model, false);
    return RunOutcome::Finished;
}

void stepYear(ModelState& model) {
    Host& host = hostOf(model);
    const RunParameters& p = model.params;
    RunState& run = model.run;
    run.DISTURBANCE_REPORTED = 0;
    run.flags.disturbed_this_year = false;

    for (Plot& plot : model.plots) {
        run.CURRENT_PLOT = &plot;
        run.BIRTHS_THIS_YEAR.fill(0);
        RunDatabase* database = databaseOf(model);
        if (p.CLIMATE_CHANGE == 1) {
            takeWeatherYear(model, run.CURRENT_YEAR);
            computeSiteQualityWithMonitor(model);
        }
        if (model.options.CLIMATE_MEMORY_YEARS > 1) rememberClimateOfYear(model, plot);
        // A constant climate's factors hold for the whole run, unless climate memory moves the
        // established ones: recorded as year 1.
        if (database &&
            (p.CLIMATE_CHANGE == 1 || run.CURRENT_YEAR == 1 || model.options.CLIMATE_MEMORY_YEARS > 1))
            database->recordSiteYear(model, plot);
        addSaplings(model, plot);
        if (database) database->noteRecruits(model, plot);
        growTrees(model, plot);
        if (database) {
            killTrees(model, plot, noteRemoval);
        } else {
            killTrees(model, plot);
        }
        finishPlotYear(model, plot);
    }
    run.CURRENT_PLOT = nullptr;
    writeYearsResults(model);
    if (RunDatabase* database = databaseOf(model)) {
        if (run.CURRENT_YEAR == p.NUM_YEARS) database->endIteration();
        checkDatabase(model);
    }
    host.yearCompleted(model);

    if (run.CURRENT_YEAR != p.NUM_YEARS) {
        if (p.PAUSE_AT_INTERVALS != 0 && divisible(run.CURRENT_YEAR, p.PRINT_INTERV) &&
            (p.SCREEN_OUTPUT_MODE == 1 || p.SCREEN_OUTPUT_MODE == 2)) {
            if (!host.showPauseDialog()) {
                run.flags.running = false;
                return;
            }
        }
        run.CURRENT_YEAR += 1;
        return;
    }

    host.repaintNow(model);
    const bool lastIteration = run.CURRENT_ITERATION >= p.NUM_ITERS;
    if (lastIteration) {
        endRun(model);
        return;
    }
    if (p.SCREEN_OUTPUT_MODE != 3 && p.PAUSE_EVERY_ITERATION != 0 &&
        !host.askOkCancel("Continue with next iteration?")) {
        endRun(model);
        return;
    }
    run.CURRENT_ITERATION += 1;
    startIteration(model);
}

}  // namespace dravia
