#include "app/ChartTable.h"

#include <cmath>
#include <cstdio>

namespace dravia {

namespace {

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n\r") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

bool isCut(const ChartTable& table, const CurvePoint& point) {
    return table.cutAtZero && point.lower < 0.0;
}

}  // namespace

std::string displayedValue(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string shown = text;
    // A small negative value rounds to "-0.00", which a reader takes for a sign that is not there.
    if (shown.front() == '-' && shown.find_first_not_of("-0.") == std::string::npos) shown.erase(0, 1);
    return shown;
}

std::string chartTablesCsv(const std::vector<ChartTable>& tables) {
    if (tables.empty()) return {};
    const ChartTable& first = tables.front();
    bool difference = false;
    for (const TableCurve& curve : first.curves) difference = difference || curve.referenceIterations > 0;
    std::string csv = "scenario,species,year";
    for (const ChartTable& table : tables) {
        for (const char* column : {"mean", "lower", "upper"})
            csv += "," + table.quantity + "_" + column + "_" + table.unit;
        csv += "," + table.quantity + "_cut_at_zero";
    }
    csv += ",n_iterations,n_plots";
    if (difference) csv += ",n_iterations_reference,n_plots_reference";
    csv += "\n";
    for (std::size_t c = 0; c < first.curves.size(); ++c) {
        const TableCurve& curve = first.curves[c];
        for (std::size_t p = 0; p < curve.points.size(); ++p) {
            csv += csvField(curve.scenario) + "," + csvField(curve.species) + "," +
                   std::to_string(curve.points[p].year);
            for (const ChartTable& table : tables) {
                const CurvePoint& point = table.curves[c].points[p];
                csv += "," + displayedValue(point.mean, table.decimals) + "," +
                       displayedValue(point.lower, table.decimals) + "," +
                       displayedValue(point.upper, table.decimals) + "," + (isCut(table, point) ? "1" : "0");
            }
            csv += "," + std::to_string(curve.iterations) + "," + std::to_string(curve.plots);
            if (difference) {
                csv += "," + std::to_string(curve.referenceIterations) + "," +
                       std::to_string(curve.referencePlots);
            }
            csv += "\n";
        }
    }
    return csv;
}

}  // namespace dravia
