#pragma once

#include <string>

#include "model/ModelState.h"
#include "output/StatsReader.h"

namespace dravia {

enum class StatsLayout { Plain, TabSeparated };

// Student's two-sided 95 % t value for index i (degrees of freedom i + 1 up to 30, then 40, 60,
// 120 and infinity).
double studentT(int index);

// Half-width of the 95 % confidence interval of a mean from the sum and sum of squares of n values.
double confidenceHalfWidth(double t, double sum, double sumOfSquares, double n);

// The number of slots the general report covers.
int generalSlotCount(const RunParameters& params);

// The simulation year a report slot stands for.
int reportYearOfSlot(const RunParameters& params, StatsKind kind, int slot);

// The line a report of a run with a model option on gives right after its first line, naming the
// options in force ("MODEL OPTIONS: SLOW_GROWTH_YEARS=3"); nothing for the classic model, whose
// reports keep their bytes.
std::string modelOptionsReportLine(const ModelOptions& options);

// Appends the header block of a report page for the given year.
void writeStatsHeader(const ModelState& model, std::string& out, int year);

// The report text of one kind from the statistics table as the last reading left it.
std::string statsReportText(ModelState& model, StatsKind kind, StatsLayout layout);

// The report as the "Stat Results" box shows it: line breaks as carriage return and line break,
// each form feed as a line of hyphens.
std::string statsDisplayText(const std::string& report);

// Writes the report of the kind to its file and shows it in the "Stat Results" box.
// Ends the program (status 3) when the file cannot be created.
void writeStatsReport(ModelState& model, StatsKind kind, StatsLayout layout);

}  // namespace dravia
