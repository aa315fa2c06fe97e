#include "app/RunChartData.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>

#include "output/StatsReport.h"

namespace dravia {

namespace {

struct DatabaseCloser {
    void operator()(sqlite3* database) const { sqlite3_close(database); }
};
struct StatementFinaliser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinaliser>;

[[noreturn]] void refuse(const std::string& file, const std::string& reason) {
    throw RunDatabaseError("The run database \"" + file + "\" cannot be charted: " + reason + ".");
}

Database openReadOnly(const std::string& file) {
    sqlite3* raw = nullptr;
    const int status = sqlite3_open_v2(file.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    Database database(raw);
    if (status != SQLITE_OK) {
        refuse(file, database ? sqlite3_errmsg(database.get()) : "it cannot be opened");
    }
    return database;
}

Statement prepare(sqlite3* database, const std::string& file, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(database, sql, -1, &raw, nullptr) != SQLITE_OK) {
        sqlite3_finalize(raw);
        refuse(file, sqlite3_errmsg(database));
    }
    return Statement(raw);
}

// Steps to the next row; false at the end. A reading error ends the reading.
bool nextRow(sqlite3* database, const std::string& file, sqlite3_stmt* statement) {
    const int status = sqlite3_step(statement);
    if (status == SQLITE_ROW) return true;
    if (status == SQLITE_DONE) return false;
    refuse(file, sqlite3_errmsg(database));
}

// One part of a (possibly merged) run: its iterations and the plots each of them grew.
struct RunPart {
    int firstIteration = 1;
    int iterations = 0;
    int plots = 0;
    bool completed = false;
};

std::vector<RunPart> readRunParts(sqlite3* database, const std::string& file) {
    Statement statement = prepare(
        database, file, "SELECT first_iteration, iterations, plots, completed FROM run ORDER BY part");
    std::vector<RunPart> parts;
    while (nextRow(database, file, statement.get())) {
        parts.push_back({sqlite3_column_int(statement.get(), 0), sqlite3_column_int(statement.get(), 1),
                         sqlite3_column_int(statement.get(), 2),
                         sqlite3_column_int(statement.get(), 3) == 1});
    }
    return parts;
}

// The plots of the part an iteration belongs to; 0 for an iteration outside the run.
int plotsOfIteration(const std::vector<RunPart>& parts, int iteration) {
    for (const RunPart& part : parts) {
        if (iteration >= part.firstIteration && iteration - part.firstIteration < part.iterations) {
            return part.plots;
        }
    }
    return 0;
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
        if (iterations < 2) return {sum / n, 0.0};
        return {sum / n, confidenceHalfWidth(studentT(iterations - 2), sum, squares, n)};
    }
};

using SumsByYear = std::vector<IterationSums>;

std::vector<int> readYears(sqlite3* database, const std::string& file) {
    Statement statement = prepare(database, file, "SELECT DISTINCT year FROM plot_year ORDER BY year");
    std::vector<int> years;
    while (nextRow(database, file, statement.get())) years.push_back(sqlite3_column_int(statement.get(), 0));
    return years;
}

std::vector<ChartSpecies> readPresentSpecies(sqlite3* database, const std::string& file) {
    std::map<int, ChartSpecies> known;
    Statement names = prepare(database, file, "SELECT species, name, colour_index FROM species");
    while (nextRow(database, file, names.get())) {
        const int sn = sqlite3_column_int(names.get(), 0);
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(names.get(), 1));
        known[sn] = {sn, name ? name : "", sqlite3_column_int(names.get(), 2)};
    }
    Statement present = prepare(database, file, "SELECT DISTINCT species FROM stand ORDER BY species");
    std::vector<ChartSpecies> species;
    while (nextRow(database, file, present.get())) {
        const int sn = sqlite3_column_int(present.get(), 0);
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

void readStandCurves(sqlite3* database, const std::string& file, const std::vector<RunPart>& parts,
                     RunChartData& data) {
    const size_t yearCount = data.years.size();
    constexpr size_t QUANTITIES = STAND_QUANTITIES.size();
    std::array<std::vector<SumsByYear>, QUANTITIES> speciesSums;
    std::array<SumsByYear, QUANTITIES> totalSums;
    for (size_t q = 0; q < QUANTITIES; ++q) {
        speciesSums[q].assign(data.species.size(), SumsByYear(yearCount));
        totalSums[q].assign(yearCount, IterationSums{});
    }

    // The columns in the order of StandQuantity.
    Statement statement =
        prepare(database, file,
                "SELECT iteration, year, species, SUM(basal_area_m2_per_ha), SUM(above_ground_mg_per_ha), "
                "SUM(stems_per_ha) FROM stand GROUP BY iteration, year, species ORDER BY iteration, year");
    // An iteration's totals of a year gather over its species rows, which come together.
    int currentIteration = 0;
    int currentYear = -1;
    std::array<double, QUANTITIES> total{};
    auto flushTotal = [&] {
        if (currentYear >= 0) {
            for (size_t q = 0; q < QUANTITIES; ++q)
                totalSums[q][static_cast<size_t>(currentYear)].add(total[q]);
        }
        total.fill(0.0);
    };
    while (nextRow(database, file, statement.get())) {
        sqlite3_stmt* row = statement.get();
        const int iteration = sqlite3_column_int(row, 0);
        const int year = yearPosition(data.years, sqlite3_column_int(row, 1));
        const int species = data.speciesPosition(sqlite3_column_int(row, 2));
        const int plots = plotsOfIteration(parts, iteration);
        if (year < 0 || species < 0 || plots <= 0) continue;
        if (iteration != currentIteration || year != currentYear) {
            flushTotal();
            currentIteration = iteration;
            currentYear = year;
        }
        for (size_t q = 0; q < QUANTITIES; ++q) {
            const double meanPlot = sqlite3_column_double(row, 3 + static_cast<int>(q)) / plots;
            speciesSums[q][static_cast<size_t>(species)][static_cast<size_t>(year)].add(meanPlot);
            total[q] += meanPlot;
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

void readDiameters(sqlite3* database, const std::string& file, const std::vector<RunPart>& parts,
                   RunChartData& data) {
    Statement statement =
        prepare(database, file,
                "SELECT year, species, class_lower_cm, SUM(stems_per_ha) FROM diameter_classes "
                "WHERE iteration BETWEEN ?1 AND ?2 GROUP BY year, species, class_lower_cm");
    for (const RunPart& part : parts) {
        if (part.plots <= 0 || part.iterations <= 0) continue;
        sqlite3_reset(statement.get());
        sqlite3_bind_int(statement.get(), 1, part.firstIteration);
        sqlite3_bind_int(statement.get(), 2, part.firstIteration + part.iterations - 1);
        // Mean plot of each iteration, then mean over every iteration of the run.
        const double divisor = static_cast<double>(part.plots) * data.iterations;
        while (nextRow(database, file, statement.get())) {
            sqlite3_stmt* row = statement.get();
            const int year = sqlite3_column_int(row, 0);
            if (yearPosition(data.years, year) < 0) continue;
            data.diameters[year][sqlite3_column_int(row, 2)][sqlite3_column_int(row, 1)] +=
                sqlite3_column_double(row, 3) / divisor;
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
    const Database database = openReadOnly(file);
    sqlite3* db = database.get();
    const std::vector<RunPart> parts = readRunParts(db, file);
    if (parts.empty()) refuse(file, "it holds no run");
    if (!std::all_of(parts.begin(), parts.end(), [](const RunPart& part) { return part.completed; })) {
        refuse(file, "its run did not complete");
    }

    RunChartData data;
    data.file = file;
    for (const RunPart& part : parts) data.iterations += part.iterations;
    if (data.iterations <= 0) refuse(file, "its run has no iteration");
    data.years = readYears(db, file);
    if (data.years.empty()) refuse(file, "it records no year");
    data.species = readPresentSpecies(db, file);
    readStandCurves(db, file, parts, data);
    readDiameters(db, file, parts, data);
    return data;
}

bool runDatabaseComplete(const std::string& file) {
    try {
        const Database database = openReadOnly(file);
        Statement tables = prepare(database.get(), file,
                                   "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                                   "('run', 'species', 'plot_year', 'stand', 'diameter_classes')");
        if (!nextRow(database.get(), file, tables.get()) || sqlite3_column_int(tables.get(), 0) != 5)
            return false;
        const std::vector<RunPart> parts = readRunParts(database.get(), file);
        return !parts.empty() &&
               std::all_of(parts.begin(), parts.end(), [](const RunPart& part) { return part.completed; });
    } catch (const RunDatabaseError&) {
        return false;
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
