#include "app/RunChartData.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "model/ModelOptions.h"
#include "output/StatsReport.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/Scenario.h"

namespace dravia {

namespace {

constexpr std::size_t MAX_CHART_YEARS = 20000;

// Bounds no run can pass, whatever the file says: a database from someone else must not make the
// charts exhaust the machine. They are the limits of the program's own readers.
constexpr long long MAX_PARTS = 100000;
constexpr long long MAX_ITERATIONS = 1000000;  // dravia4-batch run --iterations
constexpr long long MAX_PLOTS = 10000;         // NUM_PLOTS
constexpr long long MAX_CLASS_CM = 100000;     // DMAX of the species file
constexpr std::size_t MAX_NAME_BYTES = 254;    // a species name of the species file

[[noreturn]] void refuse(const std::string& file, const std::string& reason) {
    throw RunDatabaseError("The run database \"" + file + "\" cannot be charted: " + reason + ".");
}

int integerAt(const DatabaseStatement& row, int column) {
    return static_cast<int>(row.integerColumn(column));
}

// One part of a (possibly merged) run: its iterations and the plots each of them grew.
struct RunPart {
    int firstIteration = 1;
    int iterations = 0;
    int plots = 0;
    bool completed = false;
};

// The options in the settings of the run's first part; a database written before the options
// existed has none of their rows, and its run was classic.
std::string readModelOptions(DatabaseConnection& database, const std::string& scenario) {
    DatabaseStatement first = database.prepare("SELECT min(part) FROM run");
    const int part = first.nextRow() ? integerAt(first, 0) : 1;
    const RunSettings settings = settingsOfPart(database, runDatabaseFormat(database), scenario, part);
    ModelOptions options;
    for (const ModelOptionKind& kind : MODEL_OPTION_KINDS) {
        const auto setting = settings.find(kind.key);
        if (setting != settings.end() && !setModelOption(options, kind.key, setting->second).empty()) {
            throw DatabaseError{"its setting " + std::string(kind.key) + " is \"" + setting->second +
                                "\", not a value of that option"};
        }
    }
    return anyModelOptionOn(options) ? modelOptionSummary(options) : std::string();
}

std::vector<RunPart> readRunParts(DatabaseConnection& database, const std::string& file) {
    DatabaseStatement row =
        database.prepare("SELECT first_iteration, iterations, plots, completed FROM run ORDER BY part");
    std::vector<RunPart> parts;
    long long iterations = 0;
    while (row.nextRow()) {
        const long long first = row.integerColumn(0);
        const long long count = row.integerColumn(1);
        const long long plots = row.integerColumn(2);
        iterations += count < 0 ? 0 : count;
        if (parts.size() >= MAX_PARTS || first < 1 || first - 1 + count > INT_MAX || count < 0 ||
            count > MAX_ITERATIONS || plots < 1 || plots > MAX_PLOTS || iterations > INT_MAX) {
            refuse(file, "its run table holds a part of " + std::to_string(count) + " iterations of " +
                             std::to_string(plots) + " plots from iteration " + std::to_string(first) +
                             ", which no run writes");
        }
        parts.push_back({static_cast<int>(first), static_cast<int>(count), static_cast<int>(plots),
                         integerAt(row, 3) == 1});
    }
    return parts;
}

// The plots of the part an iteration belongs to; 0 for an iteration outside the run.
int plotsOfIteration(const std::vector<RunPart>& parts, int iteration) {
    for (const RunPart& part : parts) {
        if (iteration >= part.firstIteration &&
            static_cast<long long>(iteration) - part.firstIteration < part.iterations) {
            return part.plots;
        }
    }
    return 0;
}

// The sample variance of n values from their sum and sum of squares, as the reports' interval
// takes it.
double iterationVariance(double sum, double squares, int iterations) {
    const double n = static_cast<double>(iterations);
    return std::fabs((squares - (sum * sum) / n) / (n - 1.0));
}

// The place of an iteration among all iterations of the run, parts in order; -1 outside the run.
int iterationOrdinal(const std::vector<RunPart>& parts, int iteration) {
    long long before = 0;
    for (const RunPart& part : parts) {
        if (iteration >= part.firstIteration &&
            static_cast<long long>(iteration) - part.firstIteration < part.iterations) {
            return static_cast<int>(before + iteration - part.firstIteration);
        }
        before += part.iterations;
    }
    return -1;
}

// Iterations drawn as lines keep every iteration's value (0 where it has no record), as long as
// that stays small beside the rest of the charts.
constexpr std::size_t MAX_ITERATION_VALUES = 4000000;

void prepareIterationLines(QuantityCurves& curves, const RunChartData& data) {
    const std::size_t values =
        (data.species.size() + 1) * data.years.size() * static_cast<std::size_t>(data.iterations);
    if (data.iterations > MAX_ITERATION_LINES || values > MAX_ITERATION_VALUES) return;
    const std::vector<double> zeros(static_cast<std::size_t>(data.iterations), 0.0);
    curves.iterationTotals.assign(data.years.size(), zeros);
    curves.iterationsBySpecies.assign(data.species.size(), curves.iterationTotals);
}

// `species` -1 stands for the stand total.
void keepIterationValue(QuantityCurves& curves, const std::vector<RunPart>& parts, int iteration, int species,
                        int year, double value) {
    if (curves.iterationTotals.empty()) return;
    const int ordinal = iterationOrdinal(parts, iteration);
    if (ordinal < 0) return;
    auto& years =
        species < 0 ? curves.iterationTotals : curves.iterationsBySpecies[static_cast<size_t>(species)];
    years[static_cast<size_t>(year)][static_cast<size_t>(ordinal)] = value;
}

// The sum and sum of squares over iterations, from which the reports take mean and interval.
struct IterationSums {
    double sum = 0.0;
    double squares = 0.0;
    void add(double value) {
        sum += value;
        squares += value * value;
    }
    MeanWithInterval summary(int iterations) const {
        const double n = static_cast<double>(iterations);
        if (iterations < 2) return {sum / n, 0.0, 0.0};
        return {sum / n, confidenceHalfWidth(studentT(iterations - 2), sum, squares, n),
                iterationVariance(sum, squares, iterations)};
    }
};

using SumsByYear = std::vector<IterationSums>;

std::vector<int> readYears(DatabaseConnection& database) {
    DatabaseStatement row = database.prepare("SELECT DISTINCT year FROM plot_year ORDER BY year");
    std::vector<int> years;
    while (row.nextRow()) years.push_back(integerAt(row, 0));
    return years;
}

std::vector<ChartSpecies> readPresentSpecies(DatabaseConnection& database, const std::string& file) {
    std::map<int, ChartSpecies> known;
    DatabaseStatement names = database.prepare(
        "SELECT species, name, colour_index, length(CAST(name AS BLOB)) FROM species WHERE species BETWEEN 1 "
        "AND 40");
    while (names.nextRow()) {
        const int sn = integerAt(names, 0);
        if (names.integerColumn(3) > static_cast<long long>(MAX_NAME_BYTES)) {
            refuse(file, "the name of species " + std::to_string(sn) + " is " +
                             std::to_string(names.integerColumn(3)) + " bytes long, more than the " +
                             std::to_string(MAX_NAME_BYTES) + " a species file holds");
        }
        known[sn] = {sn, names.textColumn(1), integerAt(names, 2)};
    }
    // Species numbers run from 1 to 40; a file holding others was not written by a run.
    DatabaseStatement present = database.prepare(
        "SELECT DISTINCT species FROM stand WHERE species BETWEEN 1 AND 40 ORDER BY species");
    std::vector<ChartSpecies> species;
    while (present.nextRow()) {
        const int sn = integerAt(present, 0);
        const auto it = known.find(sn);
        species.push_back(it != known.end() ? it->second
                                            : ChartSpecies{sn, "Species " + std::to_string(sn), 0});
    }
    return species;
}

int yearPosition(const std::vector<int>& years, int year) {
    const auto it = std::lower_bound(years.begin(), years.end(), year);
    return it != years.end() && *it == year ? static_cast<int>(it - years.begin()) : -1;
}

// The community, climate and plots the charts' subtitles name.
void readRunDescription(DatabaseConnection& database, const std::vector<RunPart>& parts, RunChartData& data) {
    DatabaseStatement first = database.prepare("SELECT min(part) FROM run");
    const int part = first.nextRow() ? integerAt(first, 0) : 1;
    const RunSettings settings = settingsOfPart(database, runDatabaseFormat(database), data.scenario, part);
    const auto value = [&settings](const std::string& key) {
        const auto found = settings.find(key);
        return found == settings.end() ? std::string() : found->second;
    };
    data.community = value("HABITAT[" + value("COMMUNITY") + "]");
    data.climate = value("WTHR_TYPES[" + value("WTHR_TYPE") + "]");
    data.plots = parts.front().plots;
}

void readStandCurves(DatabaseConnection& database, const std::vector<RunPart>& parts, RunChartData& data) {
    const size_t yearCount = data.years.size();
    constexpr size_t QUANTITIES = STAND_QUANTITIES.size();
    std::array<std::vector<SumsByYear>, QUANTITIES> speciesSums;
    std::array<SumsByYear, QUANTITIES> totalSums;
    for (size_t q = 0; q < QUANTITIES; ++q) {
        speciesSums[q].assign(data.species.size(), SumsByYear(yearCount));
        totalSums[q].assign(yearCount, IterationSums{});
    }

    // The columns in the order of StandQuantity.
    DatabaseStatement row = database.prepare(
        "SELECT iteration, year, species, SUM(basal_area_m2_per_ha), SUM(above_ground_mg_per_ha), "
        "SUM(stems_per_ha) FROM stand GROUP BY iteration, year, species ORDER BY iteration, year");
    // An iteration's totals of a year gather over its species rows, which come together.
    int currentIteration = 0;
    int currentYear = -1;
    std::array<double, QUANTITIES> total{};
    for (QuantityCurves& curves : data.quantities) prepareIterationLines(curves, data);
    auto flushTotal = [&] {
        if (currentYear >= 0) {
            for (size_t q = 0; q < QUANTITIES; ++q) {
                totalSums[q][static_cast<size_t>(currentYear)].add(total[q]);
                keepIterationValue(data.quantities[q], parts, currentIteration, -1, currentYear, total[q]);
            }
        }
        total.fill(0.0);
    };
    while (row.nextRow()) {
        const int iteration = integerAt(row, 0);
        const int year = yearPosition(data.years, integerAt(row, 1));
        const int species = data.speciesPosition(integerAt(row, 2));
        const int plots = plotsOfIteration(parts, iteration);
        if (year < 0 || species < 0 || plots <= 0) continue;
        if (iteration != currentIteration || year != currentYear) {
            flushTotal();
            currentIteration = iteration;
            currentYear = year;
        }
        for (size_t q = 0; q < QUANTITIES; ++q) {
            const double meanPlot = row.realColumn(3 + static_cast<int>(q)) / plots;
            speciesSums[q][static_cast<size_t>(species)][static_cast<size_t>(year)].add(meanPlot);
            total[q] += meanPlot;
            keepIterationValue(data.quantities[q], parts, iteration, species, year, meanPlot);
        }
    }
    flushTotal();

    for (size_t q = 0; q < QUANTITIES; ++q) {
        QuantityCurves& curves = data.quantities[q];
        curves.bySpecies.assign(data.species.size(), {});
        for (size_t s = 0; s < data.species.size(); ++s) {
            for (const IterationSums& sums : speciesSums[q][s]) {
                curves.bySpecies[s].push_back(sums.summary(data.iterations));
            }
        }
        for (const IterationSums& sums : totalSums[q]) curves.total.push_back(sums.summary(data.iterations));
    }
}

void readDiameters(DatabaseConnection& database, const std::vector<RunPart>& parts, RunChartData& data,
                   const std::string& file) {
    // A run writes classes of 5 cm from 0 cm up to below the largest diameter a species can have.
    DatabaseStatement bounds = database.prepare(
        "SELECT class_lower_cm FROM diameter_classes WHERE class_lower_cm < 0 OR class_lower_cm >= ?1 "
        "OR class_lower_cm % 5 != 0 OR typeof(class_lower_cm) != 'integer' LIMIT 1");
    bounds.bind(1, MAX_CLASS_CM);
    if (bounds.nextRow()) {
        refuse(file, "it holds a diameter class from " + bounds.textColumn(0) + " cm, which no run writes");
    }
    DatabaseStatement row = database.prepare(
        "SELECT year, species, class_lower_cm, SUM(stems_per_ha) FROM diameter_classes "
        "WHERE iteration BETWEEN ?1 AND ?2 GROUP BY year, species, class_lower_cm");
    for (const RunPart& part : parts) {
        if (part.plots <= 0 || part.iterations <= 0) continue;
        row.bind(1, part.firstIteration).bind(2, part.firstIteration + part.iterations - 1);
        // Mean plot of each iteration, then mean over every iteration of the run.
        const double divisor = static_cast<double>(part.plots) * static_cast<double>(data.iterations);
        while (row.nextRow()) {
            const int year = integerAt(row, 0);
            if (yearPosition(data.years, year) < 0) continue;
            data.diameters[year][integerAt(row, 2)][integerAt(row, 1)] += row.realColumn(3) / divisor;
        }
    }
}

}  // namespace

int RunChartData::speciesPosition(int sn) const {
    for (size_t i = 0; i < species.size(); ++i) {
        if (species[i].species == sn) return static_cast<int>(i);
    }
    return -1;
}

RunChartData readRunChartData(const std::string& file) {
    try {
        DatabaseConnection database(file, true);
        const std::vector<std::string> scenarios = scenariosOf(database);
        if (scenarios.empty()) refuse(file, "it holds no run");
        if (scenarios.size() > 1) {
            refuse(file, "it holds " + std::to_string(scenarios.size()) +
                             " scenarios (a study database); open the run database of one of them");
        }
        const std::vector<RunPart> parts = readRunParts(database, file);
        if (parts.empty()) refuse(file, "it holds no run");
        if (!std::all_of(parts.begin(), parts.end(), [](const RunPart& part) { return part.completed; })) {
            refuse(file, "its run did not complete");
        }

        RunChartData data;
        data.file = file;
        data.scenario = scenarios.front();
        data.modelOptions = readModelOptions(database, data.scenario);
        for (const RunPart& part : parts) data.iterations += part.iterations;
        if (data.iterations <= 0) refuse(file, "its run has no iteration");
        data.years = readYears(database);
        if (data.years.empty()) refuse(file, "it records no year");
        // A chart is some hundreds of pixels wide; a file of more years would only exhaust memory.
        if (data.years.size() > MAX_CHART_YEARS) {
            refuse(file, "it records " + std::to_string(data.years.size()) + " years, more than the " +
                             std::to_string(MAX_CHART_YEARS) + " a chart can show");
        }
        readRunDescription(database, parts, data);
        data.species = readPresentSpecies(database, file);
        readStandCurves(database, parts, data);
        readDiameters(database, parts, data, file);
        return data;
    } catch (const DatabaseError& error) {
        refuse(file, error.reason);
    }
}

std::vector<std::vector<double>> basalAreaShares(const RunChartData& data) {
    const QuantityCurves& basalArea = data.curves(StandQuantity::BasalArea);
    std::vector<std::vector<double>> shares(data.species.size(), std::vector<double>(data.years.size(), 0.0));
    for (size_t y = 0; y < data.years.size(); ++y) {
        double total = 0.0;
        for (const auto& curve : basalArea.bySpecies) total += curve[y].mean;
        if (total <= 0.0) continue;
        for (size_t s = 0; s < data.species.size(); ++s) {
            shares[s][y] = 100.0 * basalArea.bySpecies[s][y].mean / total;
        }
    }
    return shares;
}

}  // namespace dravia
