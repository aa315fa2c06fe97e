#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "batch/BatchTestSupport.h"
#include "output/rundb/DatabaseConnection.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "platform/Format.h"

namespace dravia {
namespace {

namespace fs = std::filesystem;

constexpr int RUNS = 4;
constexpr int ITERATIONS_PER_RUN = 2;
constexpr int YEARS = 60;

// Two-sided 95 % Student t for 1..30 degrees of freedom, then 40, 60, 120 and infinitely many.
constexpr std::array<double, 34> T_TABLE = {12.706, 4.304, 3.182, 2.776, 2.571, 2.447, 2.365, 2.306, 2.262,
                                            2.228,  2.201, 2.179, 2.16,  2.145, 2.131, 2.12,  2.11,  2.101,
                                            2.093,  2.086, 2.08,  2.074, 2.069, 2.064, 2.06,  2.056, 2.052,
                                            2.048,  2.045, 2.042, 2.021, 2.0,   1.98,  1.96};

std::vector<std::string> tokens(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

bool whole(const std::string& text, long& value) {
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0';
}

// Sums and sums of squares of population, basal area, total biomass and volume, by species and slot.
struct Cell {
    std::array<double, 4> sum{};
    std::array<double, 4> squares{};
};

int headerValue(const std::string& text, const std::string& label) {
    const size_t at = text.find(label);
    return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + label.size());
}

// The replicate runs' own results files, read here without the program's statistics reader.
std::map<std::pair<int, int>, Cell> tallyJobs(const fs::path& jobs, int& iterations, int& interval) {
    std::map<std::pair<int, int>, Cell> cells;
    iterations = 0;
    for (int k = 1; k <= RUNS; ++k) {
        const std::string text =
            test::readTextFile(jobs / formatText("job-%04d", k) / "Data" / "results.out");
        iterations += headerValue(text, " Iterations:");
        interval = headerValue(text, " Print Interval:");
        for (const std::string& line : test::linesOf(text)) {
            const std::vector<std::string> words = tokens(line);
            long iteration = 0, year = 0, plot = 0, species = 0;
            if (words.size() != 13 || !whole(words[0], iteration) || !whole(words[1], year) ||
                !whole(words[2], plot) || !whole(words[3], species))
                continue;
            const int slot = year == 1 ? 1 : static_cast<int>(year) / interval + 1;
            Cell& cell = cells[{static_cast<int>(species), slot}];
            // POP, BA, then five parts, TOT_BIOM, TOT_VOL.
            const std::array<double, 4> values = {
                std::strtod(words[4].c_str(), nullptr), std::strtod(words[5].c_str(), nullptr),
                std::strtod(words[11].c_str(), nullptr), std::strtod(words[12].c_str(), nullptr)};
            for (size_t q = 0; q < 4; ++q) {
                cell.sum[q] += values[q];
                cell.squares[q] += values[q] * values[q];
            }
        }
    }
    return cells;
}

// seed_k = S * 16807^(k * floor((2^31 - 2) / R)) mod (2^31 - 1), k = 0 .. R-1: the runs start
// evenly spaced along the generator's one cycle. Computed by square-and-multiply in whole numbers.
std::vector<std::string> jumpAheadSeeds(unsigned long long first, int runs) {
    constexpr unsigned long long MODULUS = 2147483647ULL;
    unsigned long long jump = 1;
    unsigned long long base = 16807;
    for (unsigned long long exponent = (MODULUS - 1) / static_cast<unsigned long long>(runs); exponent > 0;
         exponent >>= 1, base = base * base % MODULUS) {
        if (exponent & 1ULL) jump = jump * base % MODULUS;
    }
    std::vector<std::string> seeds;
    for (unsigned long long seed = first; static_cast<int>(seeds.size()) < runs; seed = seed * jump % MODULUS)
        seeds.push_back(std::to_string(seed));
    return seeds;
}

std::string sweepTool() {
    return test::quoted(fs::path(DRAVIA_SOURCE_DIR) / "tools" / "sweep");
}

// A dravia4-batch that fails with status 7 every run whose seed is one of `seeds` (every seeded
// run when `seeds` is empty) and does everything else as the real one.
fs::path failingBatch(const fs::path& directory, const std::vector<std::string>& seeds) {
    std::string script = "#!/bin/sh\ncase \" $* \" in\n";
    if (seeds.empty()) script += "  *\" --seed \"*) echo 'no run today' >&2; exit 7 ;;\n";
    for (const std::string& seed : seeds)
        script += "  *\" --seed " + seed + " \"*) echo 'no run today' >&2; exit 7 ;;\n";
    script += "esac\nexec " + test::batchTool() + " \"$@\"\n";
    const fs::path wrapper = directory / "failing-batch";
    test::writeTextFile(wrapper, script);
    fs::permissions(wrapper, fs::perms::owner_all);
    return wrapper;
}

TEST(Sweep, MergedStatisticsEqualThoseOfTheReplicatesOwnResults) {
    test::TempDirectory directory;
    const fs::path scenario = test::shippedScenario(directory.path() / "scenario");
    const fs::path out = directory.path() / "sweep";
    const std::string command =
        test::quoted(fs::path(DRAVIA_SOURCE_DIR) / "tools" / "sweep") + " --batch " + test::batchTool() +
        formatText(" -n %d --seed 4242 --iterations %d --years %d -j 2 --db --scenario 'Sweep test' ", RUNS,
                   ITERATIONS_PER_RUN, YEARS) +
        test::quoted(scenario) + " " + test::quoted(out) + " 2>&1";
    const auto result = test::runCommand(command);
    ASSERT_EQ(result.status, 0) << result.output;

    // Every job ran in its own directory with its own seed, under GNU parallel.
    const std::vector<std::string> seeds = test::linesOf(test::readTextFile(out / "seeds.txt"));
    ASSERT_EQ(seeds.size(), static_cast<size_t>(RUNS));
    EXPECT_EQ(std::set<std::string>(seeds.begin(), seeds.end()).size(), static_cast<size_t>(RUNS));
    EXPECT_EQ(seeds, jumpAheadSeeds(4242, RUNS));
    EXPECT_EQ(result.output.find("warning"), std::string::npos) << result.output;
    EXPECT_EQ(test::linesOf(test::readTextFile(out / "joblog.txt")).size(), static_cast<size_t>(RUNS + 1));
    std::set<std::string> results;
    for (int k = 1; k <= RUNS; ++k) {
        const fs::path job = out / "jobs" / formatText("job-%04d", k);
        ASSERT_TRUE(fs::exists(job / "Data" / "results.out")) << job;
        results.insert(test::readTextFile(job / "Data" / "results.out"));
    }
    EXPECT_EQ(results.size(), static_cast<size_t>(RUNS)) << "replicates with different seeds came out alike";
    // --db: every replicate's run database, merged as a part each with its iterations numbered on.
    {
        DatabaseConnection merged((out / "merged" / STANDARD_RUN_DATABASE_NAME).string(), true);
        DatabaseStatement parts = merged.prepare(
            "SELECT count(*), sum(iterations), max(first_iteration), max(scenario), "
            "min(scenario) FROM run");
        ASSERT_TRUE(parts.nextRow());
        EXPECT_EQ(parts.integerColumn(0), RUNS);
        EXPECT_EQ(parts.textColumn(3), "Sweep test");  // every part keeps the name it was given
        EXPECT_EQ(parts.textColumn(4), "Sweep test");
        EXPECT_EQ(parts.integerColumn(1), RUNS * ITERATIONS_PER_RUN);
        EXPECT_EQ(parts.integerColumn(2), (RUNS - 1) * ITERATIONS_PER_RUN + 1);
    }

    int iterations = 0;
    int interval = 0;
    const auto cells = tallyJobs(out / "jobs", iterations, interval);
    ASSERT_EQ(iterations, RUNS * ITERATIONS_PER_RUN);
    ASSERT_EQ(interval, 25);
    const double n = iterations;
    const double t = T_TABLE[static_cast<size_t>(iterations - 2)];

    const std::string report = test::readTextFile(out / "merged" / "Data" / "statsResults.out");
    ASSERT_FALSE(report.empty());
    const int slots = YEARS / interval + 1;
    std::vector<std::string> pages;
    for (size_t start = 0, end; start < report.size(); start = end + 1) {
        end = report.find('\f', start);
        if (end == std::string::npos) end = report.size();
        pages.push_back(report.substr(start, end - start));
    }
    ASSERT_GE(pages.size(), static_cast<size_t>(slots));
    int checkedLines = 0;
    for (int slot = 1; slot <= slots; ++slot) {
        const std::string& page = pages[static_cast<size_t>(slot - 1)];
        EXPECT_EQ(headerValue(page, "YEAR:"), slot == 1 ? 1 : (slot - 1) * interval);
        EXPECT_EQ(headerValue(page, "REPLICATES:"), iterations);
        std::set<int> expectedSpecies;
        for (const auto& [key, cell] : cells) {
            if (key.second == slot && cell.sum[0] >= 1.0 && cell.sum[1] > 0.0)
                expectedSpecies.insert(key.first);
        }
        std::set<int> reportedSpecies;
        for (const std::string& line : test::linesOf(page)) {
            const std::vector<std::string> words = tokens(line);
            long species = 0;
            if (words.size() != 10 || !whole(words[0], species)) continue;
            reportedSpecies.insert(static_cast<int>(species));
            const auto found = cells.find({static_cast<int>(species), slot});
            ASSERT_NE(found, cells.end()) << "species " << species << " slot " << slot;
            const Cell& cell = found->second;
            std::vector<std::string> expected;
            for (size_t q = 0; q < 4; ++q) {
                const double average = cell.sum[q] * (1.0 / n);
                const double interval95 =
                    t *
                    std::sqrt(std::fabs((cell.squares[q] - (cell.sum[q] * cell.sum[q]) / n) / (n - 1.0)) / n);
                expected.push_back(formatText("%.1f", average));
                expected.push_back(formatText("%.1f", interval95));
            }
            EXPECT_EQ(std::vector<std::string>(words.begin() + 2, words.end()), expected)
                << "species " << species << " in the year of slot " << slot << ": " << line;
            ++checkedLines;
        }
        EXPECT_EQ(reportedSpecies, expectedSpecies) << "slot " << slot;
    }
    EXPECT_GT(checkedLines, 10);
}

// Seeds the generator cannot start from are refused before anything runs.
struct SeedRefusal {
    const char* option;
    const char* seed;
};
class SweepSeedRefusal : public testing::TestWithParam<SeedRefusal> {};

TEST_P(SweepSeedRefusal, RefusedWithUsageStatusBeforeAnyRun) {
    test::TempDirectory directory;
    const fs::path scenario = test::shippedScenario(directory.path() / "scenario");
    std::string seedOption = GetParam().option;
    if (seedOption == "--seeds") {
        test::writeTextFile(directory.path() / "seeds.txt", std::string("17\n") + GetParam().seed + "\n");
        seedOption += " " + test::quoted(directory.path() / "seeds.txt");
    } else {
        seedOption += std::string(" '") + GetParam().seed + "'";
    }
    const auto result =
        test::runCommand(sweepTool() + " --batch " + test::batchTool() + " -n 2 " + seedOption + " " +
                         test::quoted(scenario) + " " + test::quoted(directory.path() / "out") + " 2>&1");
    EXPECT_EQ(result.status, 2) << result.output;
    EXPECT_NE(result.output.find(std::string("a seed is a whole number from 1 to 2147483646, not \"") +
                                 GetParam().seed + "\""),
              std::string::npos)
        << result.output;
    EXPECT_FALSE(fs::exists(directory.path() / "out" / "jobs" / "job-0001"));
}

INSTANTIATE_TEST_SUITE_P(Seeds, SweepSeedRefusal,
                         testing::Values(SeedRefusal{"--seed", "0"}, SeedRefusal{"--seed", "2147483647"},
                                         SeedRefusal{"--seed", "-5"}, SeedRefusal{"--seed", "1.5"},
                                         SeedRefusal{"--seed", "12abc"}, SeedRefusal{"--seed", "99999999999"},
                                         SeedRefusal{"--seeds", "0"}, SeedRefusal{"--seeds", "3e4"}));

// OUT is emptied only when a sweep made it: a user's folder, the scenario itself or a folder
// inside it, and an OUT another sweep is writing into are refused before anything is touched.
TEST(Sweep, RefusesAnOutItDidNotMake) {
    test::TempDirectory directory;
    const fs::path scenario = test::shippedScenario(directory.path() / "scenario");
    const fs::path users = directory.path() / "users";
    test::writeTextFile(users / "reports" / "chapter1.txt", "my chapter\n");
    const fs::path busy = directory.path() / "busy";
    fs::create_directories(busy);
    test::writeTextFile(busy / ".dravia4-sweep", "");
    const int held = open(busy.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    struct Row {
        fs::path out;
        int status;
        const char* message;
    };
    for (const Row& row : {Row{users, 2, "exists and was not made by a sweep"},
                           Row{scenario, 2, "is the scenario or lies inside it"},
                           Row{scenario / "Data" / "out", 2, "is the scenario or lies inside it"},
                           Row{busy, 1, "another sweep is writing into"}}) {
        const auto result = test::runCommand(sweepTool() + " --batch " + test::batchTool() +
                                             " -n 2 --iterations 1 --years 10 " + test::quoted(scenario) +
                                             " " + test::quoted(row.out) + " 2>&1");
        EXPECT_EQ(result.status, row.status) << row.out;
        EXPECT_NE(result.output.find(row.message), std::string::npos) << result.output;
    }
    close(held);
    EXPECT_EQ(test::readTextFile(users / "reports" / "chapter1.txt"), "my chapter\n");
    EXPECT_FALSE(fs::exists(scenario / "jobs"));
}

TEST(Sweep, FailedJobIsNamedAndNothingIsMerged) {
    test::TempDirectory directory;
    const fs::path scenario = test::shippedScenario(directory.path() / "scenario");
    const std::vector<std::string> seeds = jumpAheadSeeds(4242, 3);
    const fs::path out = directory.path() / "sweep";
    // One job at a time: the second fails, GNU parallel starts no more, so the third never runs.
    const auto result = test::runCommand(sweepTool() + " --batch " +
                                         test::quoted(failingBatch(directory.path(), {seeds[1]})) +
                                         " -n 3 --seed 4242 --iterations 1 --years 20 -j 1 " +
                                         test::quoted(scenario) + " " + test::quoted(out) + " 2>&1");
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_NE(result.output.find("2 of 3 jobs did not succeed; nothing was merged"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("job-0002 (seed " + seeds[1] + ") failed with exit status 7"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("job-0003 (seed " + seeds[2] + ") left no exit status"), std::string::npos)
        << result.output;
    EXPECT_EQ(result.output.find("job-0001 ("), std::string::npos) << result.output;
    EXPECT_EQ(test::readTextFile(out / "jobs" / "job-0002" / "run.log"), "no run today\n");
    EXPECT_FALSE(fs::exists(out / "merged"));
    EXPECT_FALSE(fs::exists(out / "reports"));
}

// 1,000 runs of 20 iterations of 2,000 years: their seeds lie 2,147,483 draws apart, while a run
// draws several million (about sixty a plot-year in the shipped stand). The sweep warns and goes
// on; here every replicate then fails at once, so only the trial run is simulated.
TEST(Sweep, WarnsWhenRunsDrawMoreThanTheSpacingOfTheirSeeds) {
    test::TempDirectory directory;
    const fs::path scenario = test::shippedScenario(directory.path() / "scenario");
    const auto result =
        test::runCommand(sweepTool() + " --batch " + test::quoted(failingBatch(directory.path(), {})) +
                         " -n 1000 --iterations 20 --years 2000 -j 1 " + test::quoted(scenario) + " " +
                         test::quoted(directory.path() / "sweep") + " 2>&1");
    EXPECT_EQ(result.status, 1) << result.output.substr(0, 2000);
    EXPECT_NE(result.output.find("more than the 2147483 between the seeds of 1000 runs"), std::string::npos)
        << result.output.substr(0, 2000);
}

}  // namespace
}  // namespace dravia
