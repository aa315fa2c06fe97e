#pragma once

#include <array>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace dravia {

// A run database that cannot be charted: not a database, tables missing, or a run that did not
// complete. The message names the file.
class RunDatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The stand quantities the charts show, in the database's per-hectare units.
enum class StandQuantity { BasalArea, AboveGroundBiomass, Stems };
inline constexpr std::array<StandQuantity, 3> STAND_QUANTITIES = {
    StandQuantity::BasalArea, StandQuantity::AboveGroundBiomass, StandQuantity::Stems};

// The mean over iterations of a value and the half-width of its 95 % confidence interval
// (0 when the run has a single iteration: there is no interval then).
struct MeanWithInterval {
    double mean = 0.0;
    double halfWidth = 0.0;
    double variance = 0.0;  // the sample variance of the iterations' values (0 for one iteration)
};

struct ChartSpecies {
    int species = 0;
    std::string name;
    int colourIndex = 0;
};

// One quantity through the recorded years: one curve per charted species (in the order of
// RunChartData::species) and the stand total, each with a point per recorded year.
struct QuantityCurves {
    std::vector<std::vector<MeanWithInterval>> bySpecies;
    std::vector<MeanWithInterval> total;
    // Each iteration's mean plot, [species][year][iteration] and [year][iteration]; empty when the
    // run has more iterations than MAX_ITERATION_LINES or too many values to keep.
    std::vector<std::vector<std::vector<double>>> iterationsBySpecies;
    std::vector<std::vector<double>> iterationTotals;
};

// A chart drawing each iteration as a line stays readable up to this many iterations.
inline constexpr int MAX_ITERATION_LINES = 100;

// Mean stems per hectare of a recorded year by 5-cm diameter class (lower bound in cm) and
// species number.
using DiameterDistribution = std::map<int, std::map<int, double>>;

// Everything the charts of a run show, read from its run database.
struct RunChartData {
    std::string file;
    std::string scenario;  // the name of what the run simulated
    // The model options the run was made with ("SLOW_GROWTH_YEARS=3, ..."), from its settings;
    // empty for the classic model.
    std::string modelOptions;
    int iterations = 0;     // over every part of a merged run
    int plots = 0;          // of each iteration (of the first part of a merged run)
    std::string community;  // the habitat of the run's community; empty when not recorded
    std::string climate;    // the name of its climate; empty when not recorded
    std::vector<int> years;
    std::vector<ChartSpecies> species;  // those present on some plot in some recorded year
    std::array<QuantityCurves, STAND_QUANTITIES.size()> quantities;
    std::map<int, DiameterDistribution> diameters;  // by year

    bool hasIntervals() const { return iterations > 1; }
    bool hasIterationLines() const { return !quantities.front().iterationTotals.empty(); }
    const QuantityCurves& curves(StandQuantity quantity) const {
        return quantities[static_cast<size_t>(quantity)];
    }
    // The position of a species in `species`, or -1.
    int speciesPosition(int species) const;
};

// Reads the charts of the run in the database at `file`; throws RunDatabaseError.
//
// At each recorded year an iteration's value is its stand value summed over the plots and
// divided by the run's number of plots: the mean plot, a species absent from a plot counting 0.
// Across iterations the mean and interval are those of the statistics reports, every iteration
// counted, one without a record as 0. A total sums the species inside each iteration first.
RunChartData readRunChartData(const std::string& file);

// The basal-area share in % of each charted species at each year, from the mean basal areas.
std::vector<std::vector<double>> basalAreaShares(const RunChartData& data);

}  // namespace dravia
