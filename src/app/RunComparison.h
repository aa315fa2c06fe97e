#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ChartTable.h"
#include "app/RunChartData.h"

namespace dravia {

// The 95 % interval of the difference of two independent means (Welch): the standard error from
// both variances, t at the Welch–Satterthwaite degrees of freedom rounded down, taken from the
// statistics reports' t table. With one iteration on either side there is no interval.
struct DifferenceInterval {
    double difference = 0.0;
    double halfWidth = 0.0;
    int degreesOfFreedom = 0;  // 0 when there is no interval
    double t = 0.0;
};
DifferenceInterval welchDifference(double mean, double variance, int iterations, double referenceMean,
                                   double referenceVariance, int referenceIterations);

// The runs compared, the first the reference the others are measured against.
using ComparedRuns = std::vector<std::shared_ptr<const RunChartData>>;
inline constexpr std::size_t MOST_COMPARED_RUNS = 4;

// The years every run recorded, in order.
std::vector<int> sharedYears(const ComparedRuns& runs);
// Why some years are left out (each run's years when they differ), or empty when all runs share
// all their years.
std::string sharedYearsNote(const ComparedRuns& runs);

// The names the runs go by in legends: their scenario names, made distinct by " (2)", " (3)".
std::vector<std::string> comparedNames(const ComparedRuns& runs);

// The species of any run, by their shown names, in the order the runs list them.
std::vector<std::string> comparedSpecies(const ComparedRuns& runs);
// The species with the largest average basal area in the reference run's last shared year.
std::string leadingSpecies(const ComparedRuns& runs);

// What a comparison draws: a quantity, of the stand total or of one species (its shown name).
struct ComparisonChoice {
    StandQuantity quantity = StandQuantity::BasalArea;
    std::optional<std::string> species;  // none: the stand total
};

// Each run's mean and interval at the shared years, one curve per run.
ChartTable comparisonTable(const ComparedRuns& runs, const ComparisonChoice& choice);
// Each run minus the reference, with its Welch interval, at the shared years.
ChartTable differenceTable(const ComparedRuns& runs, const ComparisonChoice& choice);

}  // namespace dravia
