#pragma once

#include <string>
#include <vector>

namespace dravia {

// A point of a drawn curve: the mean and the true bounds of its 95 % interval (the lower one may
// be below zero, where the shading is cut); both equal the mean when there is no interval.
struct CurvePoint {
    int year = 0;
    double mean = 0.0;
    double lower = 0.0;
    double upper = 0.0;
};

// One drawn curve: a scenario's species (or "Stand total"), and the iterations and plots behind it;
// a difference also names those of the scenario it is taken from.
struct TableCurve {
    std::string scenario;
    std::string species;
    std::vector<CurvePoint> points;
    bool band = false;  // its interval is shaded
    int iterations = 0;
    int plots = 0;
    int referenceIterations = 0;  // a difference: of the first scenario; 0 otherwise
    int referencePlots = 0;
};

// The curves of one quantity as a chart draws them: its name and unit as column words, and the
// decimals its values are shown with.
struct ChartTable {
    std::string quantity;  // "basal_area"
    std::string unit;      // "m2_per_ha"
    int decimals = 2;
    bool cutAtZero = true;  // a quantity that cannot be negative: shading stops at zero
    std::vector<TableCurve> curves;
};

// A value as the chart shows it: `decimals` after the point, never "-0".
std::string displayedValue(double value, int decimals);

// The tables (one quantity each, the same curves and years in each) as CSV: one row per scenario,
// species and year; for each quantity its mean, lower and upper bounds (units in the header) and
// whether the shading is cut at zero there; then the iterations and plots.
std::string chartTablesCsv(const std::vector<ChartTable>& tables);

}  // namespace dravia
