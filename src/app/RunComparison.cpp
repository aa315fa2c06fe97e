#include "app/RunComparison.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "app/RunCharts.h"
#include "display/DisplayNames.h"
#include "output/StatsReport.h"

namespace dravia {

namespace {

std::string shownName(const ChartSpecies& species) {
    return speciesDisplayName(species.name).toStdString();
}

std::string yearsText(const std::vector<int>& years) {
    if (years.empty()) return "no years";
    std::string text = std::to_string(years.size()) + " years from " + std::to_string(years.front()) +
                       " to " + std::to_string(years.back());
    if (years.size() > 2) text += " every " + std::to_string(years[1] - years[0]);
    return text;
}

// A run's value of the choice at a year, with the variance over its iterations; a species the
// run does not have counts 0 in every iteration.
MeanWithInterval valueAt(const RunChartData& run, const ComparisonChoice& choice, int year) {
    const auto at = std::lower_bound(run.years.begin(), run.years.end(), year);
    if (at == run.years.end() || *at != year) return {};
    const size_t y = static_cast<size_t>(at - run.years.begin());
    const QuantityCurves& curves = run.curves(choice.quantity);
    if (!choice.species) return curves.total[y];
    for (size_t s = 0; s < run.species.size(); ++s) {
        if (shownName(run.species[s]) == *choice.species) return curves.bySpecies[s][y];
    }
    return {};
}

TableCurve emptyCurve(const RunChartData& run, const std::string& name, const ComparisonChoice& choice) {
    TableCurve curve;
    curve.scenario = name;
    curve.species = choice.species.value_or("Stand total");
    curve.iterations = run.iterations;
    curve.plots = run.plots;
    curve.band = run.hasIntervals();
    return curve;
}

}  // namespace

DifferenceInterval welchDifference(double mean, double variance, int iterations, double referenceMean,
                                   double referenceVariance, int referenceIterations) {
    DifferenceInterval interval;
    interval.difference = mean - referenceMean;
    if (iterations < 2 || referenceIterations < 2) return interval;
    const double a = variance / iterations;
    const double b = referenceVariance / referenceIterations;
    const double squaredError = a + b;
    if (squaredError <= 0.0) {
        // No spread on either side: the difference is known exactly, there is nothing to widen.
        interval.degreesOfFreedom = iterations + referenceIterations - 2;
    } else {
        const double freedom = (squaredError * squaredError) /
                               ((a * a) / (iterations - 1) + (b * b) / (referenceIterations - 1));
        interval.degreesOfFreedom = std::max(1, static_cast<int>(std::floor(freedom + 1e-9)));
    }
    // The table's first entry stands for one degree of freedom.
    interval.t = studentT(interval.degreesOfFreedom - 1);
    interval.halfWidth = interval.t * std::sqrt(squaredError);
    return interval;
}

std::vector<int> sharedYears(const ComparedRuns& runs) {
    if (runs.empty()) return {};
    std::vector<int> shared = runs.front()->years;
    for (const auto& run : runs) {
        std::vector<int> both;
        std::set_intersection(shared.begin(), shared.end(), run->years.begin(), run->years.end(),
                              std::back_inserter(both));
        shared = std::move(both);
    }
    return shared;
}

std::string sharedYearsNote(const ComparedRuns& runs) {
    const std::vector<int> shared = sharedYears(runs);
    bool allShared = true;
    for (const auto& run : runs) allShared = allShared && run->years == shared;
    if (allShared) return {};
    const std::vector<std::string> names = comparedNames(runs);
    std::string note = "The runs recorded different years (";
    for (size_t i = 0; i < runs.size(); ++i)
        note += (i ? "; " : "") + names[i] + ": " + yearsText(runs[i]->years);
    note += "), so the charts show only the " + yearsText(shared) + " all of them recorded.";
    return note;
}

std::vector<std::string> comparedNames(const ComparedRuns& runs) {
    std::vector<std::string> names;
    std::map<std::string, int> uses;
    for (const auto& run : runs) {
        const int use = ++uses[run->scenario];
        names.push_back(use == 1 ? run->scenario : run->scenario + " (" + std::to_string(use) + ")");
    }
    return names;
}

std::vector<std::string> comparedSpecies(const ComparedRuns& runs) {
    std::vector<std::string> species;
    for (const auto& run : runs) {
        for (const ChartSpecies& one : run->species) {
            const std::string name = shownName(one);
            if (std::find(species.begin(), species.end(), name) == species.end()) species.push_back(name);
        }
    }
    return species;
}

std::string leadingSpecies(const ComparedRuns& runs) {
    const std::vector<int> years = sharedYears(runs);
    if (runs.empty() || years.empty()) return {};
    std::string leader;
    double largest = -1.0;
    for (const std::string& name : comparedSpecies(runs)) {
        const double value = valueAt(*runs.front(), {StandQuantity::BasalArea, name}, years.back()).mean;
        if (value > largest) {
            largest = value;
            leader = name;
        }
    }
    return leader;
}

ChartTable comparisonTable(const ComparedRuns& runs, const ComparisonChoice& choice) {
    ChartTable table = quantityTable(choice.quantity);
    const std::vector<int> years = sharedYears(runs);
    const std::vector<std::string> names = comparedNames(runs);
    for (size_t r = 0; r < runs.size(); ++r) {
        TableCurve curve = emptyCurve(*runs[r], names[r], choice);
        for (const int year : years) {
            const MeanWithInterval value = valueAt(*runs[r], choice, year);
            curve.points.push_back(
                {year, value.mean, value.mean - value.halfWidth, value.mean + value.halfWidth});
        }
        table.curves.push_back(std::move(curve));
    }
    return table;
}

ChartTable differenceTable(const ComparedRuns& runs, const ComparisonChoice& choice) {
    ChartTable table = quantityTable(choice.quantity);
    table.quantity += "_difference";
    table.cutAtZero = false;
    const std::vector<int> years = sharedYears(runs);
    const std::vector<std::string> names = comparedNames(runs);
    for (size_t r = 1; r < runs.size(); ++r) {
        TableCurve curve = emptyCurve(*runs[r], names[r] + " \u2212 " + names[0], choice);
        curve.referenceIterations = runs[0]->iterations;
        curve.referencePlots = runs[0]->plots;
        curve.band = runs[r]->hasIntervals() && runs[0]->hasIntervals();
        for (const int year : years) {
            const MeanWithInterval value = valueAt(*runs[r], choice, year);
            const MeanWithInterval reference = valueAt(*runs[0], choice, year);
            const DifferenceInterval difference =
                welchDifference(value.mean, value.variance, runs[r]->iterations, reference.mean,
                                reference.variance, runs[0]->iterations);
            curve.points.push_back({year, difference.difference, difference.difference - difference.halfWidth,
                                    difference.difference + difference.halfWidth});
        }
        table.curves.push_back(std::move(curve));
    }
    return table;
}

}  // namespace dravia
