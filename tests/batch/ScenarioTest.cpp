#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "batch/BatchTestSupport.h"
#include "batch/RunDatabaseTestSupport.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/Scenario.h"
#include "platform/Format.h"
#include "support/SmallDataSet.h"

namespace dravia {
namespace {

namespace fs = std::filesystem;
using test::makeFirstFormat;
using test::query;
using test::runCommand;

TEST(ScenarioName, MadeOfWhatTheRunSimulatesNeverOfItsCounts) {
    const RunSettings hubbardBrook = {
        {"COMMUNITY", "3"},
        {"HABITAT[3]", "Northern hardwoods NH"},
        {"WTHR_TYPE", "1"},
        {"WTHR_TYPES[0]", "Normal climate"},
        {"WTHR_TYPES[1]", "Warming +3.6 C over 100 yr"},
        {"TEST_DISTURB", "1"},
        {"BLOW_DOWN", "1"},
        {"BLOW_FREQ", "10"},
        {"FIRST_DISTURB_YEAR", "100"},
        {"BLOW_PROB", "0.000100"},  // raised draws never fall below it: no windthrow
        {"NUM_ITERS", "10"},
        {"NUM_PLOTS", "4"},
        {"SLOW_GROWTH_YEARS", "1"},
    };
    auto with = [&hubbardBrook](std::initializer_list<std::pair<const std::string, std::string>> changes) {
        RunSettings settings = hubbardBrook;
        for (const auto& [name, value] : changes) settings[name] = value;
        return defaultScenarioName(settings);
    };
    const std::string base = "Northern hardwoods NH \xC2\xB7 Warming +3.6 C over 100 yr";
    EXPECT_EQ(with({}), base + " \xC2\xB7 logging every 10 yr from year 100");
    // Disturbances count only when both switches are on.
    EXPECT_EQ(with({{"BLOW_DOWN", "0"}, {"BLOW_PROB", "0.5"}}), base);
    EXPECT_EQ(with({{"BLOW_FREQ", "0"}, {"BLOW_PROB", "0.005"}}), base + " \xC2\xB7 windthrow 0.5 %/yr");
    EXPECT_EQ(with({{"TEST_DISTURB", "0"}, {"CO2_FERT_OK", "1"}, {"SLOW_GROWTH_YEARS", "3"}}),
              base + " \xC2\xB7 CO2 fertilisation \xC2\xB7 slow-growth years 3");
    EXPECT_EQ(with({{"TEST_DISTURB", "0"}, {"WTHR_TYPE", "0"}, {"COMMUNITY", "5"}}),
              "own site \xC2\xB7 Normal climate");
    // Iteration and plot counts are no part of it: replicate runs share their name.
    EXPECT_EQ(with({{"NUM_ITERS", "100"}, {"NUM_PLOTS", "1"}}), with({}));
}

TEST(ScenarioName, FileStemsAndRefusedNames) {
    EXPECT_EQ(scenarioFileStem("../../etc/passwd"), "etc_passwd");
    EXPECT_EQ(scenarioFileStem("\xC2\xB7"), "run");
    EXPECT_EQ(scenarioFileStem(std::string(80, 'a')).size(), 60u);
    for (const std::string& bad :
         {std::string(), std::string("two\nlines"), std::string("tab\there"), std::string(201, 'x')}) {
        EXPECT_FALSE(scenarioNameProblem(bad).empty()) << bad;
    }
    EXPECT_EQ(scenarioNameProblem("Warming \xC2\xB7 'quoted'; DROP TABLE run"), "");
}

// Runs of the small data set, each in its own directory with its database.
struct ScenarioRuns : ::testing::Test {
    test::TempDirectory temp;

    fs::path run(const std::string& name, const std::string& options) {
        const fs::path directory = temp.path() / name;
        test::SmallDataSetOptions o;
        o.numIters = 3;
        o.numPlots = 2;
        o.testDisturb = 1;  // logging, so that every table has rows
        o.blowDown = 1;
        test::writeSmallDataSet(directory, o);
        const fs::path database = directory / STANDARD_RUN_DATABASE_NAME;
        const auto ran = runCommand(test::batchTool() + " run --dir " + test::quoted(directory) + " --db " +
                                    test::quoted(database) + " " + options + " 2>&1");
        EXPECT_EQ(ran.status, 0) << ran.output;
        return database;
    }
    test::CommandResult batch(const std::string& arguments) {
        return runCommand(test::batchTool() + " " + arguments + " 2>&1");
    }
};

TEST_F(ScenarioRuns, ANamedRunKeysEveryTableByItsName) {
    const std::string name = "Warm 'n' dry \xC2\xB7 test";  // quotes and all: names are data
    const fs::path database = run("named", "--scenario \"" + name + "\" --db-trees");
    for (const std::string& table : runTablesOfFormat(RUN_DATABASE_FORMAT)) {
        EXPECT_EQ(query(database, std::string("SELECT DISTINCT scenario FROM ") + table),
                  (std::vector<std::vector<std::string>>{{name}}))
            << table;
    }
    EXPECT_EQ(query(database, "PRAGMA user_version")[0][0], std::to_string(RUN_DATABASE_FORMAT));
    EXPECT_NE(batch("run --dir " + test::quoted(temp.path() / "named") + " --scenario ''").status, 0);
}

TEST_F(ScenarioRuns, MergeKeepsTheCommonNameAndRefusesOthers) {
    const fs::path a = run("a", "--scenario Same");
    const fs::path b = run("b", "--scenario Same --seed 77");
    const fs::path c = run("c", "--scenario Other --seed 78");
    const auto merged = batch("merge " + test::quoted(temp.path() / "ab") + " " +
                              test::quoted(a.parent_path()) + " " + test::quoted(b.parent_path()));
    ASSERT_EQ(merged.status, 0) << merged.output;
    EXPECT_EQ(query(temp.path() / "ab" / STANDARD_RUN_DATABASE_NAME, "SELECT scenario, part FROM run"),
              (std::vector<std::vector<std::string>>{{"Same", "1"}, {"Same", "2"}}));
    const auto refused = batch("merge " + test::quoted(temp.path() / "ac") + " " +
                               test::quoted(a.parent_path()) + " " + test::quoted(c.parent_path()));
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.output.find("its run is of the scenario \"Other\", the runs before it of \"Same\""),
              std::string::npos)
        << refused.output;
}

TEST_F(ScenarioRuns, CombineComparesScenariosInOneQuery) {
    const fs::path normal = run("normal", "--scenario Normal");
    const fs::path warming = run("warming", "--scenario Warming --seed 99");
    const fs::path older = run("older", "--seed 7");
    makeFirstFormat(older);
    const fs::path study = temp.path() / "study.sqlite";
    const auto combined = batch("combine " + test::quoted(study) + " " + test::quoted(normal) + " " +
                                test::quoted(warming) + " " + test::quoted(older));
    ASSERT_EQ(combined.status, 0) << combined.output;

    // The mean plot's basal area in the last year, per scenario, as each run's own rows give it.
    const std::string meanBasalArea =
        "SELECT %s round(avg(ba), 9) FROM (SELECT %s iteration, sum(basal_area_m2_per_ha) / 2.0 AS ba FROM "
        "stand "
        "WHERE year = 30 GROUP BY %s iteration)%s";
    auto sql = [&meanBasalArea](bool byScenario) {
        const char* key = byScenario ? "scenario," : "";
        return formatText(meanBasalArea.c_str(), key, key, key,
                          byScenario ? " GROUP BY scenario ORDER BY 1" : "");
    };
    // The database of the first format is named as its settings name it.
    RunSettings olderSettings;
    for (const auto& row : query(older, "SELECT name, value FROM setting")) olderSettings[row[0]] = row[1];
    const std::string olderName = defaultScenarioName(olderSettings);
    EXPECT_EQ(query(study, "SELECT count(*) FROM setting WHERE scenario = '" + olderName + "'"),
              query(older, "SELECT count(*) FROM setting"));
    const auto rows = query(study, sql(true));
    ASSERT_EQ(rows.size(), 3u);
    const std::map<std::string, fs::path> own = {
        {"Normal", normal}, {"Warming", warming}, {olderName, older}};
    for (const auto& row : rows) EXPECT_EQ(row[1], query(own.at(row[0]), sql(false))[0][0]) << row[0];

    // Refusals: a scenario name twice, an incomplete database, a file of a later format.
    const fs::path twice = run("twice", "--scenario Normal --seed 5");
    auto refusal = [&](const std::vector<fs::path>& inputs) {
        std::string arguments = "combine " + test::quoted(temp.path() / "refused.sqlite");
        for (const fs::path& input : inputs) arguments += " " + test::quoted(input);
        const auto result = batch(arguments);
        EXPECT_NE(result.status, 0);
        EXPECT_FALSE(fs::exists(temp.path() / "refused.sqlite"));
        return result.output;
    };
    EXPECT_NE(refusal({normal, twice}).find("its scenario \"Normal\" is also that of"), std::string::npos);
    EXPECT_NE(refusal({normal, normal.parent_path() / "Data" / "results.out"})
                  .find("it is not the run database of a completed run"),
              std::string::npos);
    {
        DatabaseConnection db(warming.string(), false);
        db.execute("PRAGMA user_version=99");
    }
    EXPECT_NE(refusal({normal, warming}).find("written by a later version of Dravia4 (format 99"),
              std::string::npos);
}

}  // namespace
}  // namespace dravia
