#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "batch/BatchTestSupport.h"
#include "batch/RunDatabaseTestSupport.h"
#include "output/RecordLayout.h"
#include "output/rundb/Completeness.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/Export.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "platform/Format.h"
#include "platform/Sha256.h"
#include "support/SmallDataSet.h"
#include "support/Tolerance.h"

namespace dravia {
namespace {

namespace fs = std::filesystem;
using test::queryExact;
using test::runCommand;

TEST(Sha256, PublishedDigestsIncludingBothPaddingCases) {
    const struct {
        std::string message;
        const char* digest;
    } rows[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits the block, padding takes a second one.
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& row : rows) EXPECT_EQ(sha256Hex(row.message), row.digest) << row.message.size();
}

// Rows of a query, every column as text (REALs with all their digits).
double number(const std::string& text) {
    return std::stod(text);
}

// Every file a run leaves in its directory, but the lock and the database.
std::map<std::string, std::string> runFiles(const fs::path& directory) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        const std::string name = fs::relative(entry.path(), directory).string();
        if (!entry.is_regular_file() || name == ".dravia4.lock" || name.find(".sqlite") != std::string::npos)
            continue;
        files[name] = test::readTextFile(entry.path());
    }
    return files;
}

// Two plots, three iterations, a year-to-year climate, logging every 7 years from year 10 and
// windthrow: every table gets rows.
struct DatabaseRun : ::testing::Test {
    test::TempDirectory temp;
    fs::path withDatabase = temp.path() / "with";
    fs::path without = temp.path() / "without";
    fs::path database = temp.path() / "run.sqlite";

    static test::SmallDataSetOptions options() {
        test::SmallDataSetOptions o;
        o.numIters = 3;
        o.numPlots = 2;
        o.climateChange = 1;
        o.testDisturb = 1;
        o.blowDown = 1;
        o.blowFreq = 7;
        o.blowProb = 0.05;
        o.minDiamLogging = 12.0;
        return o;
    }
    void SetUp() override {
        test::writeSmallDataSet(withDatabase, options());
        test::writeSmallDataSet(without, options());
        const auto run = runCommand(test::batchTool() + " run --dir " + test::quoted(withDatabase) +
                                    " --db " + test::quoted(database) + " --db-trees 2>&1");
        ASSERT_EQ(run.status, 0) << run.output;
        ASSERT_EQ(runCommand(test::batchTool() + " run --dir " + test::quoted(without) + " 2>&1").status, 0);
    }
};

TEST_F(DatabaseRun, RecordingChangesNoFileAndTheDatabaseIsComplete) {
    EXPECT_EQ(runFiles(withDatabase), runFiles(without));
    EXPECT_TRUE(isCompleteRunDatabase(database.string()));
    const auto run =
        queryExact(database, "SELECT iterations, years, plots, completed, random_state_at_start FROM run");
    ASSERT_EQ(run.size(), 1u);
    EXPECT_EQ(run[0], (std::vector<std::string>{"3", "30", "2", "1", "4711"}));
    // The recorded hash is the hash of the file's bytes.
    const auto plot = queryExact(database, "SELECT bytes, sha256 FROM input_file WHERE role = 'plot'");
    const std::string bytes = test::readTextFile(withDatabase / "Data" / "plot.txt");
    EXPECT_EQ(plot[0], (std::vector<std::string>{std::to_string(bytes.size()), sha256Hex(bytes)}));
    EXPECT_EQ(queryExact(database, "SELECT value FROM setting WHERE name = 'NUM_PLOTS'")[0][0], "2");
    // No temporary file is left beside the database.
    int beside = 0;
    for (const auto& entry : fs::directory_iterator(temp.path())) beside += entry.is_regular_file();
    EXPECT_EQ(beside, 1);
}

TEST_F(DatabaseRun, StandIsTheResultsFilePerHectare) {
    std::map<std::tuple<int, int, int, int>, SummaryRecord> records;
    for (const std::string& line : test::linesOf(test::readTextFile(withDatabase / "Data" / "results.out"))) {
        if (recordLineKind(line) != RecordLine::Summary) continue;
        const auto record = parseSummaryRecord(line);
        records[{record->iteration, record->year, record->plot, record->species}] = *record;
    }
    const auto stand =
        queryExact(database,
                   "SELECT iteration, year, plot, species, stems_per_ha, basal_area_m2_per_ha, "
                   "stem_mg_per_ha, leaf_mg_per_ha, above_ground_mg_per_ha, total_mg_per_ha, "
                   "carbon_mg_per_ha, volume_m3_per_ha FROM stand WHERE year > 0");
    ASSERT_EQ(stand.size(), records.size());
    ASSERT_GT(stand.size(), 20u);
    for (const auto& row : stand) {
        const auto key =
            std::make_tuple(std::stoi(row[0]), std::stoi(row[1]), std::stoi(row[2]), std::stoi(row[3]));
        ASSERT_EQ(records.count(key), 1u) << row[0] << " " << row[1];
        const SummaryRecord& r = records[key];
        const Amounts& a = r.amounts;
        EXPECT_EQ(number(row[4]), r.POP * 100.0);
        EXPECT_TO_DECIMALS(number(row[5]), a.BA, 3);
        EXPECT_TO_DECIMALS(number(row[6]) / 10.0, a.STEM_BM, 3);
        EXPECT_TO_DECIMALS(number(row[7]) / 10.0, a.LEAF_BM, 3);
        EXPECT_NEAR(number(row[8]) / 10.0, a.STEM_BM + a.BARK_BM + a.BRANCH_BM + a.LEAF_BM,
                    4 * test::halfUnitOf(3));
        EXPECT_TO_DECIMALS(number(row[9]) / 10.0, a.TOT_BIOM, 3);
        EXPECT_SAME_VALUE(number(row[10]), 0.5 * number(row[9]));
        // cubic feet per acre: 0.0283168 m³ on 0.4046856 ha
        EXPECT_TO_DECIMALS(number(row[11]) / (0.028316846592 / 0.40468564224), a.TOT_VOL, 3);
    }
    // Diameter classes add up to the stand, and a plot-year's trees are its tree rows.
    EXPECT_TRUE(
        queryExact(
            database,
            "SELECT 1 FROM stand s JOIN (SELECT iteration, year, plot, species, sum(stems_per_ha) n, "
            "sum(basal_area_m2_per_ha) b FROM diameter_classes GROUP BY 1, 2, 3, 4) c USING (iteration, "
            "year, plot, species) WHERE c.n <> s.stems_per_ha OR abs(c.b - s.basal_area_m2_per_ha) > 1e-9")
            .empty());
    EXPECT_TRUE(
        queryExact(database,
                   "SELECT 1 FROM plot_year p LEFT JOIN (SELECT iteration, year, plot, count(*) n FROM trees "
                   "GROUP BY 1, 2, 3) t USING (iteration, year, plot) WHERE coalesce(t.n, 0) <> p.trees")
            .empty());
    EXPECT_EQ(
        queryExact(database, "SELECT count(*) FROM diameter_classes WHERE class_lower_cm % 5 <> 0")[0][0],
        "0");
    // A tree's class begins at the 5 cm below its diameter (12.3 cm: the 10 cm class), never the nearest.
    EXPECT_TRUE(
        queryExact(database,
                   "SELECT 1 FROM (SELECT iteration, year, plot, species, 5 * CAST(dbh_cm / 5 AS INTEGER) AS "
                   "class_lower_cm, 100.0 * count(*) AS n FROM trees GROUP BY 1, 2, 3, 4, 5) t "
                   "FULL JOIN diameter_classes d USING (iteration, year, plot, species, class_lower_cm) "
                   "WHERE t.n IS NULL OR d.stems_per_ha IS NULL OR t.n <> d.stems_per_ha")
            .empty());
}

TEST_F(DatabaseRun, DemographyBalancesAndChainsFromStandToStand) {
    // start + recruits − deaths = end, for every species, plot and period.
    EXPECT_EQ(queryExact(database,
                         "SELECT count(*) FROM demography WHERE stems_start_per_ha + recruits_per_ha - "
                         "deaths_background_per_ha - deaths_slow_growth_per_ha - deaths_logging_per_ha - "
                         "deaths_windthrow_per_ha <> stems_end_per_ha")[0][0],
              "0");
    // Periods run between consecutive results years from the initial stand, and their ends are
    // the stand's stems.
    EXPECT_EQ(queryExact(database, "SELECT DISTINCT year_start, year_end FROM demography ORDER BY 1"),
              (std::vector<std::vector<std::string>>{{"0", "1"}, {"1", "10"}, {"10", "20"}, {"20", "30"}}));
    EXPECT_TRUE(
        queryExact(
            database,
            "SELECT 1 FROM demography d LEFT JOIN stand s ON s.iteration = d.iteration AND s.year = "
            "d.year_end AND s.plot = d.plot AND s.species = d.species WHERE coalesce(s.stems_per_ha, 0) "
            "<> d.stems_end_per_ha")
            .empty());
    // Every tree a disturbance took before the last results year is a death by its cause.
    const auto removed = queryExact(database,
                                    "SELECT event, sum(stems_per_ha) FROM disturbance WHERE year < 30 "
                                    "GROUP BY event ORDER BY event");
    const auto deaths = queryExact(
        database, "SELECT sum(deaths_logging_per_ha), sum(deaths_windthrow_per_ha) FROM demography");
    ASSERT_GE(removed.size(), 1u);
    EXPECT_EQ(removed[0][0], "logging");
    EXPECT_EQ(number(removed[0][1]), number(deaths[0][0]));
    EXPECT_EQ(removed.size() == 2 ? number(removed[1][1]) : 0.0, number(deaths[0][1]));
    // Logging in years 10, 17 and 24 on both plots of all three iterations: one event each at least.
    EXPECT_EQ(queryExact(database,
                         "SELECT count(DISTINCT iteration || '/' || plot || '/' || year) FROM disturbance "
                         "WHERE event = 'logging'")[0][0],
              "18");
    // Year-to-year climate: the factors of every species on every plot in every year.
    EXPECT_EQ(queryExact(database, "SELECT count(*) FROM limiting_factors")[0][0],
              std::to_string(3 * 2 * 30 * 3));
}

// A CSV line taken apart: commas, and double quotes around a field that holds one.
std::vector<std::string> csvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

TEST_F(DatabaseRun, TheCsvExportReadsBackEqualToTheDatabase) {
    const fs::path csv = temp.path() / "csv";
    const auto exported = runCommand(test::batchTool() + " export --db " + test::quoted(database) +
                                     " --csv " + test::quoted(csv) + " 2>&1");
    ASSERT_EQ(exported.status, 0) << exported.output;
    std::vector<std::string> tables = runTablesOfFormat(RUN_DATABASE_FORMAT);
    tables.emplace_back("limiting_factors");  // the view standing for format 2's table
    for (const std::string& table : tables) {
        const auto lines = test::linesOf(test::readTextFile(csv / (table + ".csv")));
        const auto rows = queryExact(database, "SELECT * FROM " + table);
        ASSERT_EQ(lines.size(), rows.size() + 1) << table;
        for (size_t i = 0; i < rows.size(); ++i) {
            const auto fields = csvFields(lines[i + 1]);
            ASSERT_EQ(fields.size(), rows[i].size()) << table << " " << lines[i + 1];
            for (size_t c = 0; c < fields.size(); ++c) {
                const bool real = rows[i][c].find_first_of(".e") != std::string::npos &&
                                  rows[i][c].find_first_not_of("0123456789.e+-") == std::string::npos;
                if (real) {
                    EXPECT_EQ(std::stod(fields[c]), std::stod(rows[i][c])) << table;
                } else {
                    EXPECT_EQ(fields[c], rows[i][c]) << table;
                }
            }
        }
    }
    EXPECT_EQ(csvFields(test::linesOf(test::readTextFile(csv / "stand.csv"))[0]).at(4), "stems_per_ha");
}

// The permission bits of a file, as ls shows them in octal.
unsigned permissionsOf(const fs::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? status.st_mode & 07777u : 0u;
}

TEST(RunDatabaseExport, RealsTakeTheFewestDigitsThatReadBackAndIntegersStayIntegers) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0.1, "0.1"},
        {230.2, "230.2"},  // seventeen digits would say 230.19999999999999
        {0.1 + 0.2, "0.30000000000000004"},
        {1e-300, "1e-300"},
        {5e-324, "5e-324"},  // the smallest subnormal
        {-2.5, "-2.5"},
        {100.0, "100"},
        {1e16, "1e+16"},
        {-0.0, "0"},  // SQLite keeps no sign on a zero
    };
    test::TempDirectory temp;
    const fs::path database = temp.path() / "run.sqlite";
    {
        DatabaseConnection db(database.string(), false);
        db.execute(runDatabaseSchemaSql().c_str());
        DatabaseStatement insert =
            db.prepare("INSERT INTO deaths VALUES (?,1000000,1,2,3,?,0.5,1,'background','s')");
        int iteration = 0;
        for (const auto& row : rows) insert.bind(1, ++iteration).bind(2, row.value).execute();
        insert = {};  // a statement goes before its connection closes
        db.close();
    }
    fs::create_directories(temp.path() / "csv");
    ASSERT_EQ(exportRunDatabase(database.string(), (temp.path() / "csv").string()), "");
    const auto lines = test::linesOf(test::readTextFile(temp.path() / "csv" / "deaths.csv"));
    ASSERT_EQ(lines.size(), std::size(rows) + 1);
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(std::strtod(rows[i].text, nullptr), rows[i].value) << rows[i].text;
        // The integer year is written as an integer, never as a real's 1e+06.
        EXPECT_EQ(lines[i + 1], formatText("%zu,1000000,1,2,3,%s,0.5,1,background,s", i + 1, rows[i].text));
    }
}

TEST_F(DatabaseRun, MergeJoinsTheDatabasesWithIterationsNumberedOn) {
    // The second run's seed comes from the command line, not from its parameter file.
    const fs::path second = temp.path() / "second";
    test::SmallDataSetOptions o = options();
    o.seed = 815.0;
    test::writeSmallDataSet(second, o);
    fs::copy_file(database, withDatabase / STANDARD_RUN_DATABASE_NAME);
    ASSERT_EQ(runCommand(test::batchTool() + " run --dir " + test::quoted(second) + " --seed 77 --db " +
                         test::quoted(second / STANDARD_RUN_DATABASE_NAME) + " 2>&1")
                  .status,
              0);
    const fs::path out = temp.path() / "merged";
    const auto merged = runCommand(test::batchTool() + " merge " + test::quoted(out) + " " +
                                   test::quoted(withDatabase) + " " + test::quoted(second) + " 2>&1");
    ASSERT_EQ(merged.status, 0) << merged.output;
    const fs::path joined = out / STANDARD_RUN_DATABASE_NAME;
    EXPECT_EQ(queryExact(joined, "SELECT part, first_iteration, iterations FROM run ORDER BY part"),
              (std::vector<std::vector<std::string>>{{"1", "1", "3"}, {"2", "4", "3"}}));
    // Each part names the seed it began with, as its statistics copy does.
    EXPECT_EQ(queryExact(joined, "SELECT part, value FROM setting WHERE name = 'SEED_INIT' ORDER BY part"),
              (std::vector<std::vector<std::string>>{{"1", formatText("%lf", 4711.0)},
                                                     {"2", formatText("%lf", 77.0)}}));
    EXPECT_EQ(
        queryExact(joined, "SELECT * FROM stand WHERE iteration > 3"),
        queryExact(
            second / STANDARD_RUN_DATABASE_NAME,
            "SELECT iteration + 3, year, plot, species, stems_per_ha, basal_area_m2_per_ha, stem_mg_per_ha, "
            "bark_mg_per_ha, branch_mg_per_ha, leaf_mg_per_ha, root_mg_per_ha, above_ground_mg_per_ha, "
            "total_mg_per_ha, carbon_mg_per_ha, volume_m3_per_ha, mean_light, scenario FROM stand"));
    EXPECT_EQ(queryExact(joined, "SELECT count(*) FROM species")[0][0], "3");
    // The merged files are created as any new file is, whatever the umask.
    for (const auto& [mask, mode] : {std::pair{"022", 0644u}, std::pair{"077", 0600u}}) {
        const fs::path again = temp.path() / (std::string("merged") + mask);
        const auto run = runCommand(std::string("umask ") + mask + "; " + test::batchTool() + " merge " +
                                    test::quoted(again) + " " + test::quoted(withDatabase) + " " +
                                    test::quoted(second) + " 2>&1");
        ASSERT_EQ(run.status, 0) << run.output;
        EXPECT_EQ(permissionsOf(again / STANDARD_RUN_DATABASE_NAME), mode) << mask;
        EXPECT_EQ(permissionsOf(again / "Data" / "results.out"), mode) << mask;
    }
    // One run without a database: the results are merged, no database is.
    fs::remove(second / STANDARD_RUN_DATABASE_NAME);
    const auto partly = runCommand(test::batchTool() + " merge " + test::quoted(out) + " " +
                                   test::quoted(withDatabase) + " " + test::quoted(second) + " 2>&1");
    EXPECT_EQ(partly.status, 0) << partly.output;
    EXPECT_NE(partly.output.find("Not every run has a run database \"dravia4-run.sqlite\": none merged."),
              std::string::npos);
    EXPECT_FALSE(fs::exists(joined));
}

// A constant climate computes the site quality once, before the first year: its factors are
// still recorded for year 1 of every iteration and plot.
TEST(RunDatabaseRecording, AConstantClimateRecordsTheLimitingFactorsOfYearOne) {
    test::TempDirectory temp;
    test::SmallDataSetOptions o;
    o.climateChange = 0;
    o.numPlots = 2;
    test::writeSmallDataSet(temp.path(), o);
    const fs::path database = temp.path() / "run.sqlite";
    ASSERT_EQ(runCommand(test::batchTool() + " run --dir " + test::quoted(temp.path()) + " --db " +
                         test::quoted(database) + " 2>&1")
                  .status,
              0);
    EXPECT_EQ(
        queryExact(database,
                   "SELECT count(DISTINCT iteration || '/' || plot) FROM limiting_factors WHERE year = 1"),
        (std::vector<std::vector<std::string>>{{"4"}}));
}

TEST(RunDatabaseRefusal, ADatabaseThatCannotBeCreatedStopsTheRunBeforeItStarts) {
    test::TempDirectory temp;
    const fs::path scenario = temp.path() / "scenario";
    test::writeSmallDataSet(scenario);
    test::writeTextFile(temp.path() / "plain", "a file");
    fs::create_directories(temp.path() / "taken.sqlite");
    fs::create_directories(temp.path() / "locked");
    // The run as nobody reads the scenario and writes its files, but not the locked folder.
    for (const fs::path& open : {temp.path(), scenario, scenario / "Data"}) chmod(open.c_str(), 0777);
    for (const auto& entry : fs::directory_iterator(scenario / "Data")) chmod(entry.path().c_str(), 0666);
    chmod((temp.path() / "locked").c_str(), 0755);

    const struct {
        fs::path database;
        const char* reason;
        const char* asUser;
    } rows[] = {
        {temp.path() / "plain" / "run.sqlite", "Not a directory", ""},
        {temp.path() / "taken.sqlite", "a directory has that name", ""},
        {"/dev/full", "it is not a regular file", ""},
        {temp.path() / "locked" / "run.sqlite", "Permission denied",
         "setpriv --reuid=nobody --regid=nogroup --clear-groups "},
    };
    for (const auto& row : rows) {
        const auto run = runCommand(std::string(row.asUser) + test::batchTool() + " run --dir " +
                                    test::quoted(scenario) + " --db " + test::quoted(row.database) + " 2>&1");
        EXPECT_EQ(run.status, 1) << run.output;
        EXPECT_NE(run.output.find("Error: run database \"" + row.database.string() +
                                  "\" could not be created: " + row.reason + "."),
                  std::string::npos)
            << run.output;
        EXPECT_FALSE(fs::exists(scenario / "Data" / "results.out")) << row.database;
    }
    EXPECT_TRUE(fs::is_empty(temp.path() / "locked"));
    EXPECT_TRUE(fs::is_directory(temp.path() / "taken.sqlite"));

    // Export refuses what is not the database of a completed run, naming it.
    const auto exported =
        runCommand(test::batchTool() + " export --db " + test::quoted(temp.path() / "plain") + " --csv " +
                   test::quoted(temp.path() / "csv") + " 2>&1");
    EXPECT_EQ(exported.status, 1);
    EXPECT_NE(exported.output.find("is not the run database of a completed run"), std::string::npos);
}

TEST(RunDatabaseRefusal, AWriteFailureMidRunGivesTheDatabaseUpAndKeepsTheFiles) {
    test::TempDirectory temp;
    test::SmallDataSetOptions o;
    o.numPlots = 5;
    o.climateChange = 1;
    test::writeSmallDataSet(temp.path() / "full", o);
    test::writeSmallDataSet(temp.path() / "free", o);
    // Files may not grow past 100 KB: the database of every tree in every year does.
    const auto run =
        runCommand("bash -c 'ulimit -f 400; trap \"\" XFSZ; exec " + test::batchTool() + " run --dir " +
                   test::quoted(temp.path() / "full") + " --db run.sqlite --db-trees --db-yearly' 2>&1");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("Error: run database \"" + (temp.path() / "run.sqlite").string() +
                              "\" could not be written: "),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("The run goes on without it."), std::string::npos);
    EXPECT_FALSE(fs::is_empty(temp.path() / "full" / "Data" / "results.out"));
    ASSERT_EQ(
        runCommand(test::batchTool() + " run --dir " + test::quoted(temp.path() / "free") + " 2>&1").status,
        0);
    EXPECT_EQ(runFiles(temp.path() / "full"), runFiles(temp.path() / "free"));
    // Neither the database nor its temporary file is left.
    for (const auto& entry : fs::directory_iterator(temp.path()))
        EXPECT_TRUE(entry.is_directory()) << entry.path();
}

}  // namespace
}  // namespace dravia
