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

// One record block of the plot for the results file of the kind: its header first when this
// is the run's first write to it, then the widening check, then the block, added to the year's
// pending block; in the last year of the last iteration the block is written and the tree
// biodata file follows.
void writeResultsOfPlotYear(ModelState& model, Plot& plot, const PlotYearOutput& plan, bool afterDisturbance);

// At the end of a year (and of a run cut short): the year's records of every plot, gathered in
// each results file's and the disturbance data file's pending block, reach each file in one write.
void writeYearsResults(ModelState& model);

// A run ended by an error in the middle of a year: what its plots gathered is written, whole or
// not at all, with nothing more said, and the files are closed.
void keepPendingResults(ModelState& model);

// Closes the run's held output files, which releases their locks.
void closeRunOutputFiles(ModelState& model);

// At the start of a run: the results and disturbance files the run may write that exist already
// are opened and locked, so that a file another run is writing refuses this run (false, with the
// message) before anything is changed.
bool holdExistingOutputFiles(ModelState& model);

// The results-interval work of the plot: its tally, its record block on a multiple of the
// results interval (year 1 has had its own), and the iteration averages after the last plot.
void writeIntervalOutput(ModelState& model, Plot& plot, const PlotYearOutput& plan);

}  // namespace dravia
