#include "run/PlotYearOutput.h"

#include "model/ErrorLog.h"
#include "output/IterationAverages.h"
#include "output/ResultsFile.h"
#include "output/Tally.h"
#include "output/TreeBiodata.h"

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
    FileHandle file = openResultsFile(model, afterDisturbance);
    widenResultIntervals(model);
    appendResults(model, plot, file.get(), afterDisturbance);
    file.reset();
    if (plan.lastYearOfRun) writeTreeBiodata(model, &plot);
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
