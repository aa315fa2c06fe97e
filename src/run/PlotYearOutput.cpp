#include "run/PlotYearOutput.h"

#include <sys/stat.h>

#include "model/ErrorLog.h"
#include "output/DisturbanceData.h"
#include "output/IterationAverages.h"
#include "output/ResultsFile.h"
#include "output/Tally.h"
#include "output/TreeBiodata.h"
#include "platform/Host.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

// A results file gets its header at the run's first write to it: in year 1 of the first
// iteration, and the after-disturbance file also in the first disturbance year.
bool resultsHeaderDue(const ModelState& model, int year, bool afterDisturbance) {
    const bool created =
        afterDisturbance ? model.output.afterDisturbanceFileCreated : model.output.resultsFileCreated;
    if (created || model.run.CURRENT_ITERATION != 1) return false;
    if (year == 1) return true;
    return afterDisturbance && year == model.params.FIRST_DISTURB_YEAR;
}

}  // namespace

bool divisible(int value, int interval) {
    return interval != 0 && value % interval == 0;
}

PlotYearOutput planPlotYear(const ModelState& model, const Plot& plot) {
    const RunParameters& p = model.params;
    PlotYearOutput plan;
    plan.year = model.run.CURRENT_YEAR;
    plan.lastPlotOfRun = plan.year == p.NUM_YEARS && plot.PLOT_NO == p.NUM_PLOTS;
    plan.lastYearOfRun = plan.year == p.NUM_YEARS && model.run.CURRENT_ITERATION == p.NUM_ITERS;
    plan.yearOneResults = p.FILE_OUTPUT_FLAG != 0 && plan.year == 1;
    plan.intervalsOn = p.PRINT_INTERV != 0 && p.RESULTS_INTERV != 0;
    return plan;
}

bool intervalOutputDue(const RunParameters& params, const PlotYearOutput& plan) {
    return plan.intervalsOn && (divisible(plan.year, params.RESULTS_INTERV) || plan.lastPlotOfRun);
}

bool afterDisturbanceReportDue(const RunParameters& params, const PlotYearOutput& plan) {
    return plan.intervalsOn && (divisible(plan.year, params.PRINT_INTERV) ||
                                divisible(plan.year, params.RESULTS_INTERV) || plan.lastPlotOfRun);
}

bool redrawDue(const RunParameters& params, const PlotYearOutput& plan) {
    return (params.SCREEN_OUTPUT_MODE == 1 && divisible(plan.year, params.GRAPH_INTVL)) ||
           (params.SCREEN_OUTPUT_MODE == 2 && divisible(plan.year, params.PRINT_INTERV)) ||
           params.SCREEN_OUTPUT_MODE == 3;
}

void widenResultIntervals(ModelState& model) {
    RunParameters& params = model.params;
    if (params.RESULTS_INTERV == 0 ||
        static_cast<long long>(params.NUM_YEARS) / params.RESULTS_INTERV <= RESULT_INTERVAL_LIMIT)
        return;
    reportError(model, ErrorMessage::TooManyResultIntervals);
    params.RESULTS_INTERV = params.NUM_YEARS / RESULT_INTERVAL_LIMIT;
}

void writeResultsOfPlotYear(ModelState& model, Plot& plot, const PlotYearOutput& plan,
                            bool afterDisturbance) {
    if (resultsHeaderDue(model, plan.year, afterDisturbance)) createResultsFile(model, afterDisturbance);
    openResultsFile(model, afterDisturbance);
    widenResultIntervals(model);
    appendResults(model, plot, afterDisturbance);
    // A file that cannot take the last year's records ends the run before the tree biodata.
    if (plan.lastYearOfRun) {
        writePendingResults(model, afterDisturbance);
        writeTreeBiodata(model, &plot);
    }
}

void writeYearsResults(ModelState& model) {
    writePendingResults(model, false);
    writePendingResults(model, true);
    writePendingDisturbanceData(model);
}

void keepPendingResults(ModelState& model) {
    for (HeldOutputFile* file :
         {&model.output.resultsFile, &model.output.afterDisturbanceFile, &model.output.disturbanceFile}) {
        if (file->isOpen()) file->writePending();
    }
    closeRunOutputFiles(model);
}

void closeRunOutputFiles(ModelState& model) {
    model.output.resultsFile.close();
    model.output.afterDisturbanceFile.close();
    model.output.disturbanceFile.close();
}

bool holdExistingOutputFiles(ModelState& model) {
    const RunParameters& p = model.params;
    struct Candidate {
        bool written;
        const std::string& name;
        HeldOutputFile& file;
    };
    const Candidate candidates[] = {
        {p.FILE_OUTPUT_FLAG != 0, p.RESULTS_FILE, model.output.resultsFile},
        {p.FILE_OUTPUT_FLAG != 0 && p.TEST_DISTURB == 1, p.AFTER_DISTURBANCE_RESULTS_FILE,
         model.output.afterDisturbanceFile},
        {p.TEST_DISTURB == 1, p.DISTURBANCE_RESULTS_FILE, model.output.disturbanceFile},
    };
    for (const Candidate& candidate : candidates) {
        if (!candidate.written) continue;
        // A file missing now is made, and locked, at its first write; a device or a pipe in place
        // of one is opened only when it is written, as before.
        struct stat info {};
        if (stat(toLocalPath(candidate.name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        if (candidate.file.open(candidate.name, false) == HeldOutputFile::Opening::HeldByAnotherRun) {
            closeRunOutputFiles(model);
            hostOf(model).showMessage(heldByAnotherRunMessage(candidate.name), MessageIcon::Error);
            return false;
        }
    }
    return true;
}

void writeIntervalOutput(ModelState& model, Plot& plot, const PlotYearOutput& plan) {
    const RunParameters& params = model.params;
    summarizePlot(model, plot);
    // Year 1 has already been written by the yearly step's year-1 output; writing it again here
    // (results interval 1) would count that year twice.
    if (params.FILE_OUTPUT_FLAG != 0 && params.RESULTS_INTERV > 0 &&
        divisible(plan.year, params.RESULTS_INTERV) && plan.year != 1) {
        writeResultsOfPlotYear(model, plot, plan, false);
    }
    if (params.CALC_ITER_AVG == 1 && plan.lastPlotOfRun) writeIterationAverages(model, plot);
}

}  // namespace dravia
