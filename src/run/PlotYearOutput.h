#pragma once

#include "model/ModelState.h"

namespace dravia {

// When one plot's year writes what. The run driver alone decides; the writers of output/ only
// format and append.

// The fixed facts of one plot's year that the output decisions rest on.
struct PlotYearOutput {
    int year = 0;
    bool lastPlotOfRun = false;   // the last plot in the last year of an iteration
    bool lastYearOfRun = false;   // the last year of the last iteration
    bool yearOneResults = false;  // year 1 of a run writing results files is always written
    // Both intervals set: widening the results interval keeps a set interval set, so this holds
    // for the whole of the plot's year.
    bool intervalsOn = false;
};

PlotYearOutput planPlotYear(const ModelState& model, const Plot& plot);

// Whether a year falls on an interval; an interval of 0 (switched off) takes no year.
bool divisible(int value, int interval);

// The results-interval work (the plot's tally, the interval's records, the iteration averages)
// falls on a multiple of the results interval in force and on the last plot of an iteration.
bool intervalOutputDue(const RunParameters& params, const PlotYearOutput& plan);

// A disturbed plot is reported after its disturbance on the print and results intervals in
// force and on the last plot of an iteration.
bool afterDisturbanceReportDue(const RunParameters& params, const PlotYearOutput& plan);

// Whether the display is redrawn after the plot's year.
bool redrawDue(const RunParameters& params, const PlotYearOutput& plan);

// More result intervals than the statistics can hold: the results interval is widened for the
// rest of the run. Checked at every write of a record block, after its file's header is
// written, so the header keeps the interval found before the check, and the message comes
// again at each check while the count is still over the limit.
void widenResultIntervals(ModelState& model);

// One record block of the plot to the results file of the kind: its header first when this
// is the run's first write to it, then the widening check, then the block; in the last year of
// the last iteration the tree biodata file follows.
void writeResultsOfPlotYear(ModelState& model, Plot& plot, const PlotYearOutput& plan, bool afterDisturbance);

// The results-interval work of the plot: its tally, its record block on a multiple of the
// results interval (year 1 has had its own), and the iteration averages after the last plot.
void writeIntervalOutput(ModelState& model, Plot& plot, const PlotYearOutput& plan);

}  // namespace dravia
