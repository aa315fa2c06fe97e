// The run database's format 3: tree identities and deaths, the initial and after-disturbance
// stand, site years, the file's own dictionary and views, and files of format 2.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "batch/BatchTestSupport.h"
#include "batch/RunDatabaseTestSupport.h"
#include "output/RecordLayout.h"
#include "output/rundb/Combine.h"
#include "output/rundb/Completeness.h"
#include "output/rundb/Export.h"
#include "output/rundb/Merge.h"
#include "output/rundb/RunLibrary.h"
#include "platform/Format.h"
#include "support/SmallDataSet.h"
#include "support/Tolerance.h"

namespace dravia {
namespace {

namespace fs = std::filesystem;
using test::queryExact;
using Rows = std::vector<std::vector<std::string>>;

double number(const std::string& text) {
    return std::stod(text);
}

// Two plots, three iterations, a year-to-year climate, logging every 7 years from year 10 and
// windthrow, every tree recorded: run once for the whole suite.
struct StagedRun : ::testing::Test {
    static inline test::TempDirectory* temp = nullptr;
    static fs::path directory() { return temp->path() / "run"; }
    static fs::path database() { return temp->path() / "run.sqlite"; }

    static void SetUpTestSuite() {
        temp = new test::TempDirectory;
        test::SmallDataSetOptions o;
        o.numIters = 3;
        o.numPlots = 2;
        o.climateChange = 1;
        o.testDisturb = 1;
        o.blowDown = 1;
        o.blowFreq = 7;
        o.blowProb = 0.05;
        o.minDiamLogging = 12.0;
        test::writeSmallDataSet(directory(), o);
        const auto run = test::runCommand(test::batchTool() + " run --dir " + test::quoted(directory()) +
                                          " --db " + test::quoted(database()) + " --db-trees 2>&1");
        ASSERT_EQ(run.status, 0) << run.output;
    }
    static void TearDownTestSuite() {
        delete temp;
        temp = nullptr;
    }
};

// Every death is a row with its cause: per iteration, plot, species and cause they are the
// demography's deaths (a disturbance after the last record belongs to no period), and per event
// the stems the disturbance removed. A tree's uid names one tree within its iteration and plot.
TEST_F(StagedRun, DeathsAreTheDemographysDeathsAndTheDisturbancesRemovals) {
    const Rows counted =
        queryExact(database(),
                   "SELECT iteration, plot, species, cause, 100.0 * count(*) FROM deaths WHERE "
                   "cause IN ('background', 'slow_growth') OR year < 30 GROUP BY 1, 2, 3, 4");
    std::map<std::tuple<std::string, std::string, std::string, std::string>, double> demography;
    const char* causes[] = {"background", "slow_growth", "logging", "windthrow"};
    for (const auto& row : queryExact(database(),
                                      "SELECT iteration, plot, species, sum(deaths_background_per_ha), "
                                      "sum(deaths_slow_growth_per_ha), sum(deaths_logging_per_ha), "
                                      "sum(deaths_windthrow_per_ha) FROM demography GROUP BY 1, 2, 3")) {
        for (int c = 0; c < 4; ++c) {
            if (number(row[3 + c]) != 0.0)
                demography[{row[0], row[1], row[2], causes[c]}] = number(row[3 + c]);
        }
    }
    std::set<std::string> seen;
    for (const auto& row : counted) {
        seen.insert(row[3]);
        EXPECT_EQ(number(row[4]), (demography[{row[0], row[1], row[2], row[3]}]))
            << row[0] << " " << row[1] << " " << row[2] << " " << row[3];
    }
    EXPECT_EQ(counted.size(), demography.size());
    EXPECT_EQ(seen, (std::set<std::string>{"background", "slow_growth", "logging", "windthrow"}));

    EXPECT_EQ(queryExact(
                  database(),
                  "SELECT iteration, year, plot, event, species, stems_per_ha FROM disturbance WHERE species "
                  "IS NOT NULL ORDER BY 1, 2, 3, 4, 5"),
              queryExact(
                  database(),
                  "SELECT iteration, year, plot, cause, species, 100.0 * count(*) FROM deaths WHERE cause IN "
                  "('logging', 'windthrow') GROUP BY 1, 2, 3, 4, 5 ORDER BY 1, 2, 3, 4, 5"));
    // A tree dies once, its last tree row is the year before (or of its removal after the
    // record), and it keeps its species.
    EXPECT_EQ(queryExact(database(),
                         "SELECT count(*) FROM (SELECT 1 FROM deaths GROUP BY iteration, plot, uid "
                         "HAVING count(*) > 1)")[0][0],
              "0");
    EXPECT_EQ(queryExact(database(),
                         "SELECT count(*) FROM deaths AS d JOIN trees AS t USING (iteration, plot, uid) "
                         "WHERE t.year > d.year OR (t.year = d.year AND d.cause NOT IN ('logging', "
                         "'windthrow')) OR t.species <> d.species")[0][0],
              "0");
    EXPECT_EQ(queryExact(database(),
                         "SELECT count(*) FROM (SELECT 1 FROM trees GROUP BY iteration, year, plot, uid "
                         "HAVING count(*) > 1)")[0][0],
              "0");
    // Each disturbance's after-stand is what was left: the stand of that plot-year less what it removed.
    EXPECT_EQ(queryExact(database(),
                         "SELECT count(*) FROM stand_after_disturbance AS a JOIN stand AS s USING "
                         "(iteration, year, plot, species) WHERE a.stems_per_ha > s.stems_per_ha")[0][0],
              "0");
}

// Year 0 is the plot file's six trees on each plot of each iteration, before any growth: numbered
// 1.. in the file's order, in their 5 cm classes, counted into the stand, no light yet.
TEST_F(StagedRun, YearZeroIsThePlotFile) {
    const struct {
        int species;
        double dbh;
    } plotFile[] = {{1, 22.0}, {2, 15.5}, {1, 6.1}, {3, 4.0}, {2, 30.2}, {1, 12.8}};
    for (int iteration = 1; iteration <= 3; ++iteration) {
        for (int plot = 1; plot <= 2; ++plot) {
            const std::string where =
                formatText(" WHERE iteration = %d AND plot = %d AND year = 0", iteration, plot);
            Rows trees;
            std::map<int, std::pair<int, double>> bySpecies;  // stems, basal area m²/ha
            std::map<std::pair<int, int>, int> classes;
            int uid = 0;
            for (const auto& tree : plotFile) {
                trees.push_back({std::to_string(++uid), std::to_string(tree.species),
                                 formatText("%.17g", tree.dbh), "0", "0", "0"});
                bySpecies[tree.species].first += 100;
                // A tree's basal area in cm² on the 100 m² plot is cm²/m², that is m²/ha.
                bySpecies[tree.species].second += M_PI * (tree.dbh / 2) * (tree.dbh / 2) / 100.0;
                classes[{tree.species, 5 * static_cast<int>(tree.dbh / 5)}] += 100;
            }
            EXPECT_EQ(
                queryExact(database(), "SELECT uid, species, dbh_cm, birth_year, tree_id, age_yr FROM trees" +
                                           where + " ORDER BY uid"),
                trees);
            EXPECT_EQ(queryExact(database(), "SELECT trees FROM plot_year" + where), (Rows{{"6"}}));
            const Rows stand = queryExact(database(),
                                          "SELECT species, stems_per_ha, basal_area_m2_per_ha, mean_light "
                                          "FROM stand" +
                                              where + " ORDER BY species");
            ASSERT_EQ(stand.size(), 3u);
            for (const auto& row : stand) {
                const auto& expected = bySpecies[std::stoi(row[0])];
                EXPECT_EQ(number(row[1]), expected.first);
                EXPECT_NEAR(number(row[2]), expected.second, 1e-6 * expected.second);
                EXPECT_EQ(row[3], "");
            }
            const Rows classRows = queryExact(database(),
                                              "SELECT species, class_lower_cm, stems_per_ha FROM "
                                              "diameter_classes" +
                                                  where);
            ASSERT_EQ(classRows.size(), classes.size());
            for (const auto& row : classRows)
                EXPECT_EQ(number(row[2]), (classes[{std::stoi(row[0]), std::stoi(row[1])}]))
                    << row[0] << row[1];
        }
    }
}

// The after-disturbance results file's records, in per-hectare units, are rows of
// stand_after_disturbance, which has one for every disturbance of every year.
TEST_F(StagedRun, StandAfterDisturbanceIsTheAfterDisturbanceFilePerHectare) {
    std::map<std::tuple<int, int, int, int>, SummaryRecord> records;
    for (const std::string& line :
         test::linesOf(test::readTextFile(directory() / "Data" / "afterdist.out"))) {
        if (recordLineKind(line) != RecordLine::Summary) continue;
        const auto record = parseSummaryRecord(line);
        records[{record->iteration, record->year, record->plot, record->species}] = *record;
    }
    ASSERT_GT(records.size(), 5u);
    const Rows rows = queryExact(database(),
                                 "SELECT iteration, year, plot, species, stems_per_ha, basal_area_m2_per_ha, "
                                 "total_mg_per_ha, volume_m3_per_ha, root_mg_per_ha FROM "
                                 "stand_after_disturbance");
    std::set<std::tuple<int, int, int>> recordedPlotYears;
    for (const auto& [key, record] : records)
        recordedPlotYears.insert({std::get<0>(key), std::get<1>(key), std::get<2>(key)});
    size_t matched = 0;
    for (const auto& row : rows) {
        const auto key =
            std::make_tuple(std::stoi(row[0]), std::stoi(row[1]), std::stoi(row[2]), std::stoi(row[3]));
        if (!recordedPlotYears.count({std::get<0>(key), std::get<1>(key), std::get<2>(key)})) continue;
        ASSERT_EQ(records.count(key), 1u) << row[0] << " " << row[1] << " " << row[2] << " " << row[3];
        const SummaryRecord& r = records[key];
        EXPECT_EQ(number(row[4]), r.POP * 100.0);
        EXPECT_TO_DECIMALS(number(row[5]), r.amounts.BA, 3);
        EXPECT_TO_DECIMALS(number(row[6]) / 10.0, r.amounts.TOT_BIOM, 3);
        EXPECT_TO_DECIMALS(number(row[7]) / (0.028316846592 / 0.40468564224), r.amounts.TOT_VOL, 3);
        EXPECT_TO_DECIMALS(number(row[8]) / 10.0, r.amounts.ROOT_BM, 3);
        ++matched;
    }
    EXPECT_EQ(matched, records.size());
    // An after-stand follows a disturbance of its plot-year, never another year.
    EXPECT_EQ(queryExact(database(),
                         "SELECT count(*) FROM stand_after_disturbance AS a WHERE NOT EXISTS (SELECT 1 "
                         "FROM disturbance AS d WHERE d.iteration = a.iteration AND d.year = a.year AND "
                         "d.plot = a.plot)")[0][0],
              "0");
    // Removals carry their roots: total = above ground + root, and the above-ground carbon.
    EXPECT_EQ(queryExact(database(),
                         "SELECT count(*) FROM disturbance WHERE abs(above_ground_mg_per_ha + "
                         "root_mg_per_ha - total_mg_per_ha) > 1e-9 OR above_ground_carbon_mg_per_ha <> 0.5 "
                         "* above_ground_mg_per_ha")[0][0],
              "0");
}

// The dictionary describes every column of every table and view, and nothing else.
TEST_F(StagedRun, ColumnInfoDescribesEveryColumn) {
    size_t columns = 0;
    for (const auto& object :
         queryExact(database(), "SELECT name FROM sqlite_master WHERE type IN ('table', 'view')")) {
        for (const auto& column : queryExact(database(), "PRAGMA table_info(" + object[0] + ")")) {
            ++columns;
            EXPECT_EQ(queryExact(database(), "SELECT count(*) FROM column_info WHERE table_name = '" +
                                                 object[0] + "' AND column_name = '" + column[1] +
                                                 "' AND description <> ''")[0][0],
                      "1")
                << object[0] << "." << column[1];
        }
    }
    EXPECT_EQ(queryExact(database(), "SELECT count(*) FROM column_info")[0][0], std::to_string(columns));
    EXPECT_EQ(queryExact(database(),
                         "SELECT unit FROM column_info WHERE table_name = 'stand' AND column_name = "
                         "'basal_area_m2_per_ha'"),
              (Rows{{"m2/ha"}}));
}

// stand_mean and stand_totals: per year (and species), the mean over the iterations of the mean
// plot, a species absent from an iteration counted 0, and the half-width the statistics reports
// give: t of their table for 3 iterations (4.304) x s / sqrt(3).
TEST_F(StagedRun, TheViewsAreTheMeanPlotsMeanAndIntervalOverIterations) {
    constexpr double T_OF_THREE_ITERATIONS = 4.304;
    std::map<std::pair<int, int>, std::array<double, 3>> basalArea;  // (year, species; 0 all) → per iteration
    for (const auto& row :
         queryExact(database(), "SELECT iteration, year, species, basal_area_m2_per_ha FROM stand")) {
        for (const int species : {std::stoi(row[2]), 0})
            basalArea[{std::stoi(row[1]), species}][static_cast<size_t>(std::stoi(row[0]) - 1)] +=
                number(row[3]) / 2;
    }
    const int baseYear =
        std::stoi(queryExact(database(), "SELECT value FROM setting WHERE name = 'BASE_YEAR'")[0][0]);
    const Rows bySpecies = queryExact(database(),
                                      "SELECT year, species, n, basal_area_m2_per_ha, "
                                      "basal_area_m2_per_ha_ci95, calendar_year FROM stand_mean");
    const Rows totals = queryExact(database(),
                                   "SELECT year, 0, n, basal_area_m2_per_ha, basal_area_m2_per_ha_ci95, "
                                   "calendar_year FROM stand_totals");
    bool zeroFilled = false;
    bool spread = false;  // some interval wide enough to tell one t from another
    for (const Rows* view : {&bySpecies, &totals}) {
        for (const auto& row : *view) {
            const auto& values = basalArea[{std::stoi(row[0]), std::stoi(row[1])}];
            const double mean = (values[0] + values[1] + values[2]) / 3;
            double squares = 0.0;
            for (const double v : values) squares += (v - mean) * (v - mean);
            zeroFilled = zeroFilled || values[0] == 0.0 || values[1] == 0.0 || values[2] == 0.0;
            spread = spread || number(row[4]) > 0.1;
            EXPECT_EQ(row[2], "3");
            EXPECT_NEAR(number(row[3]), mean, 1e-9) << row[0] << " " << row[1];
            // The reports' one-pass variance (sum of squares − sum² / n) leaves a rounding residue
            // where all iterations agree (year 0): a few 1e-7 m²/ha.
            EXPECT_NEAR(number(row[4]), T_OF_THREE_ITERATIONS * std::sqrt(squares / 2 / 3), 1e-6)
                << row[0] << " " << row[1];
            EXPECT_EQ(std::stoi(row[5]), baseYear + std::stoi(row[0]));
        }
    }
    EXPECT_TRUE(zeroFilled);
    EXPECT_TRUE(spread);
    // Years 0, 1, 10, 20, 30, and every species the stand ever held.
    EXPECT_EQ(totals.size(), 5u);
    EXPECT_EQ(bySpecies.size(), 5u * 3u);
}

// A file of format 2 is still complete, exported (its limiting factors a table), combined (its
// limiting factors become site years without climate) and renamed; merge refuses it, saying an
// earlier version wrote it.
TEST_F(StagedRun, ADatabaseOfThePreviousFormatIsReadCombinedOrRefusedByMerge) {
    const fs::path previous = temp->path() / "previous.sqlite";
    fs::copy_file(database(), previous, fs::copy_options::overwrite_existing);
    test::makePreviousFormat(previous);
    const Rows limiting = queryExact(previous, "SELECT * FROM limiting_factors ORDER BY 1, 2, 3, 4");
    ASSERT_EQ(limiting.size(), 3u * 2 * 30 * 3);
    EXPECT_TRUE(isCompleteRunDatabase(previous.string()));
    const fs::path csv = temp->path() / "csv";
    fs::create_directories(csv);
    EXPECT_EQ(exportRunDatabase(previous.string(), csv.string()), "");
    EXPECT_EQ(test::linesOf(test::readTextFile(csv / "limiting_factors.csv")).size(), limiting.size() + 1);
    EXPECT_FALSE(fs::exists(csv / "deaths.csv"));

    EXPECT_EQ(renameLibraryRun(previous.string(), "Earlier"), "");
    const fs::path study = temp->path() / "study.sqlite";
    ASSERT_EQ(combineRunDatabases({previous.string(), database().string()}, study.string()), "");
    Rows expected = limiting;
    for (auto& row : expected) row.back() = "Earlier";
    EXPECT_EQ(
        queryExact(study, "SELECT * FROM limiting_factors WHERE scenario = 'Earlier' ORDER BY 1, 2, 3, 4"),
        expected);
    EXPECT_EQ(
        queryExact(
            study,
            "SELECT count(*) FROM site_year WHERE scenario = 'Earlier' AND degree_days IS NOT NULL")[0][0],
        "0");
    EXPECT_EQ(queryExact(study, "SELECT count(*) FROM stand WHERE scenario = 'Earlier' AND year = 0")[0][0],
              "0");

    const std::string refused = mergeRunDatabases({{database().string(), 0}, {previous.string(), 3}},
                                                  (temp->path() / "merged.sqlite").string());
    EXPECT_NE(refused.find("written by an earlier version of Dravia4 (format 2)"), std::string::npos)
        << refused;
}

// Merged parts share the site years every iteration has only where they agree: a part whose
// weather differed keeps its own rows, for its own iterations only.
TEST_F(StagedRun, MergedSiteYearsHoldForTheIterationsOfTheirOwnPart) {
    const fs::path other = temp->path() / "other.sqlite";
    fs::copy_file(database(), other, fs::copy_options::overwrite_existing);
    const fs::path merged = temp->path() / "merged-same.sqlite";
    ASSERT_EQ(mergeRunDatabases({{database().string(), 0}, {other.string(), 3}}, merged.string()), "");
    const std::string view =
        "SELECT iteration, plot, species, year, temperature, site_quality FROM limiting_factors";
    Rows expected = queryExact(database(), view + " ORDER BY 1, 2, 3, 4");
    for (const auto& row : queryExact(database(), view + " ORDER BY 1, 2, 3, 4")) {
        expected.push_back(row);
        expected.back()[0] = std::to_string(std::stoi(row[0]) + 3);
    }
    EXPECT_EQ(queryExact(merged, view + " ORDER BY 1, 2, 3, 4"), expected);
    EXPECT_EQ(queryExact(merged, "SELECT count(*) FROM site_year WHERE iteration = 0"),
              queryExact(database(), "SELECT count(*) FROM site_year WHERE iteration = 0"));

    {
        DatabaseConnection db(other.string(), false);
        db.execute("UPDATE site_year SET temperature = temperature / 2 WHERE iteration = 0 AND year = 5");
    }
    const fs::path differing = temp->path() / "merged-differing.sqlite";
    ASSERT_EQ(mergeRunDatabases({{database().string(), 0}, {other.string(), 3}}, differing.string()), "");
    const Rows halved = queryExact(differing,
                                   "SELECT DISTINCT iteration FROM limiting_factors AS f WHERE year = 5 AND "
                                   "temperature <> (SELECT temperature FROM limiting_factors AS g WHERE "
                                   "g.iteration = f.iteration - 3 AND g.plot = f.plot AND g.species = "
                                   "f.species AND g.year = 5) ORDER BY 1");
    EXPECT_EQ(halved, (Rows{{"4"}, {"5"}, {"6"}}));
    EXPECT_EQ(queryExact(differing, "SELECT count(*) FROM limiting_factors")[0][0],
              std::to_string(2 * 3 * 2 * 30 * 3));
}

}  // namespace
}  // namespace dravia
