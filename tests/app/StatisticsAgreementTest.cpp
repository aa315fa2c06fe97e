#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <utility>

#include "app/RunChartData.h"
#include "batch/BatchTestSupport.h"
#include "output/StatsReport.h"

namespace dravia {
namespace {

namespace fs = std::filesystem;

constexpr int PLOTS = 3;
constexpr int ITERATIONS = 4;

// The four pairs of a species line of the statistics report, in the report's per-plot units.
enum ReportColumn { POPULATION_COLUMN, BASAL_AREA_COLUMN, BIOMASS_COLUMN, VOLUME_COLUMN };
using ReportLine = std::array<MeanWithInterval, 4>;
using YearSpecies = std::pair<int, int>;

// The species lines of the plain report by year and species number; the stand totals under 0.
std::map<YearSpecies, ReportLine> readReport(const std::string& text) {
    std::map<YearSpecies, ReportLine> lines;
    int year = -1;
    for (const std::string& line : test::linesOf(text)) {
        int sn = 0;
        char name[64];
        std::array<double, 8> v{};
        if (std::sscanf(line.c_str(), "YEAR: %d", &year) == 1) continue;
        const bool species = std::sscanf(line.c_str(), "%d %63s %lf %lf %lf %lf %lf %lf %lf %lf", &sn, name,
                                         &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]) == 10;
        const bool total = std::sscanf(line.c_str(), " TOTAL %lf %lf %lf %lf %lf %lf %lf %lf", &v[0], &v[1],
                                       &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]) == 8;
        if (!species && !total) continue;
        ReportLine& out = lines[{year, total ? 0 : sn}];
        for (size_t c = 0; c < 4; ++c) out[c] = {v[2 * c], v[2 * c + 1]};
    }
    return lines;
}

// Per year and species (0: the stand), each iteration's mean plot in the report's units, from
// the run database's stand rows with the documented unit factors; the report has no initial stand.
std::map<YearSpecies, std::array<std::array<double, ITERATIONS>, 4>> readDatabase(const fs::path& file) {
    std::map<YearSpecies, std::array<std::array<double, ITERATIONS>, 4>> values;
    sqlite3* database = nullptr;
    EXPECT_EQ(sqlite3_open_v2(file.c_str(), &database, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* row = nullptr;
    EXPECT_EQ(
        sqlite3_prepare_v2(database,
                           "SELECT iteration, year, species, stems_per_ha / 100.0, basal_area_m2_per_ha, "
                           "total_mg_per_ha / 10.0, volume_m3_per_ha / 0.0699725 FROM stand WHERE year > 0",
                           -1, &row, nullptr),
        SQLITE_OK);
    while (sqlite3_step(row) == SQLITE_ROW) {
        const int iteration = sqlite3_column_int(row, 0);
        for (const int sn : {sqlite3_column_int(row, 2), 0}) {
            auto& cell = values[{sqlite3_column_int(row, 1), sn}];
            for (int c = 0; c < 4; ++c) cell[c][iteration - 1] += sqlite3_column_double(row, 3 + c) / PLOTS;
        }
    }
    sqlite3_finalize(row);
    sqlite3_close(database);
    return values;
}

MeanWithInterval summary(const std::array<double, ITERATIONS>& values) {
    double sum = 0.0, squares = 0.0;
    for (const double value : values) sum += value, squares += value * value;
    return {sum / ITERATIONS, confidenceHalfWidth(studentT(ITERATIONS - 2), sum, squares, ITERATIONS)};
}

// The report rounds to one decimal what the results file has already rounded: one unit of the
// last printed decimal apart at most.
constexpr double ONE_UNIT = 0.1 + 1e-9;

// Several plots, year-to-year climate, logging and windthrow: the statistics report, the run
// database and the charts give every species and the stand the same mean plot and interval.
TEST(StatisticsAgreement, ReportDatabaseAndChartsGiveTheSameNumbers) {
    test::TempDirectory directory;
    const fs::path run = test::shippedScenario(directory.path() / "run");
    const fs::path init = run / "Data" / "initParams.txt";
    const std::pair<const char*, const char*> settings[] = {
        {"NUM_PLOTS", "3"},           {"CLIMATE_CHANGE", "1"}, {"TEST_DISTURB", "1"}, {"BLOW_DOWN", "1"},
        {"FIRST_DISTURB_YEAR", "40"}, {"BLOW_FREQ", "40"},     {"BLOW_PROB", "0.02"},
    };
    for (const auto& [key, value] : settings) test::setParameter(init, key, value);
    test::setParameter(run / "Data" / "inputOutputRunTimeParams.txt", "RESULTS_INTERV", "10");
    const fs::path file = run / "run.sqlite";
    const auto ran =
        test::runCommand(test::batchTool() + " run --dir " + test::quoted(run) +
                         " --years 100 --iterations 4 --seed 4242 --db " + test::quoted(file) + " 2>&1");
    ASSERT_EQ(ran.status, 0) << ran.output;
    const auto stats = test::runCommand(test::batchTool() + " stats --dir " + test::quoted(run) + " 2>&1");
    ASSERT_EQ(stats.status, 0) << stats.output;
    ASSERT_NE(test::readTextFile(run / "Data" / "disturbStatsResults.out").find("YEAR:    40"),
              std::string::npos);

    const std::map<YearSpecies, ReportLine> report =
        readReport(test::readTextFile(run / "Data" / "statsResults.out"));
    const auto database = readDatabase(file);
    const RunChartData charts = readRunChartData(file.string());
    ASSERT_EQ(charts.years.size(), 12u);  // years 0 (the initial stand), 1, 10, ..., 100

    int compared = 0;
    for (const auto& [key, line] : report) {
        const auto& [year, sn] = key;
        const auto iterations = database.find(key);
        ASSERT_NE(iterations, database.end()) << "year " << year << " species " << sn;
        for (int c = 0; c < 4; ++c) {
            const MeanWithInterval expected = summary(iterations->second[c]);
            EXPECT_NEAR(line[c].mean, expected.mean, ONE_UNIT) << year << " " << sn << " column " << c;
            EXPECT_NEAR(line[c].halfWidth, expected.halfWidth, ONE_UNIT)
                << year << " " << sn << " column " << c;
        }
        // The charts show basal area and stems per hectare.
        const size_t y = static_cast<size_t>(std::find(charts.years.begin(), charts.years.end(), year) -
                                             charts.years.begin());
        ASSERT_LT(y, charts.years.size()) << year;
        auto curve = [&](StandQuantity quantity) {
            const QuantityCurves& curves = charts.curves(quantity);
            return sn == 0 ? curves.total.at(y)
                           : curves.bySpecies.at(static_cast<size_t>(charts.speciesPosition(sn))).at(y);
        };
        const MeanWithInterval basalArea = curve(StandQuantity::BasalArea);
        const MeanWithInterval stems = curve(StandQuantity::Stems);
        EXPECT_NEAR(line[BASAL_AREA_COLUMN].mean, basalArea.mean, ONE_UNIT) << year << " " << sn;
        EXPECT_NEAR(line[BASAL_AREA_COLUMN].halfWidth, basalArea.halfWidth, ONE_UNIT) << year << " " << sn;
        EXPECT_NEAR(line[POPULATION_COLUMN].mean, stems.mean / 100.0, ONE_UNIT) << year << " " << sn;
        EXPECT_NEAR(line[POPULATION_COLUMN].halfWidth, stems.halfWidth / 100.0, ONE_UNIT)
            << year << " " << sn;
        ++compared;
    }
    // Every species the database holds a tenth of a square metre per hectare of is in the report.
    for (const auto& [key, iterations] : database) {
        if (key.second != 0 && summary(iterations[BASAL_AREA_COLUMN]).mean >= 0.1) {
            EXPECT_EQ(report.count(key), 1u) << "year " << key.first << " species " << key.second;
        }
    }
    EXPECT_GT(compared, 40);
}

}  // namespace
}  // namespace dravia
