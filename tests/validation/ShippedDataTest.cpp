// Ecological sanity of the shipped data set: every community preset is run with the batch tool
// on a scratch copy of Data/ for a century, and its results file is checked for what must
// hold whatever the details of the model: the stand stays a forest of the community's own
// species, every number is finite, and no plot's basal area reaches the crowding limit.
// The longer experiment behind these numbers is described in docs/validation.md.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/RunCommand.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

constexpr int kYears = 100;
constexpr int kIterations = 4;

struct Community {
    int option;
    const char* initFile;
    std::set<int> switchedOff;  // species the preset keeps from regenerating
    bool thirteenOnly;          // the preset keeps species 1 to 13 only
};

const std::vector<Community>& communities() {
    static const std::vector<Community> list = {
        {1, "ndfInitNormalParams.txt", {}, false},
        {2, "ndfInitTraParams.txt", {}, false},
        {3, "hbkInitNormalParams.txt", {}, true},
        {4, "hbkInitTraParams.txt", {}, true},
        {5, "virginiaInitNormalParams.txt", {2, 10, 18, 30, 33, 34, 35, 40}, false},
        {6, "virginiaInitTraParams.txt", {2, 10, 18, 30, 33, 34, 35, 40}, false},
        {7, "graylingInitNormalParams.txt", {10, 18, 33, 34, 35, 40}, false},
        {8, "graylingInitTraParams.txt", {10, 18, 33, 34, 35, 40}, false},
    };
    return list;
}

bool allowed(const Community& community, int sn) {
    if (sn < 1 || sn > 40) return false;
    if (community.thirteenOnly && sn > 13) return false;
    return community.switchedOff.count(sn) == 0;
}

struct Record {
    int iteration, year, plot, sn, pop;
    std::vector<double> values;  // BA, stem, bark, branch, root, leaf, total biomass, volume
};

// Reads a number the way the results file prints it; "nan" and "inf" come back non-finite.
bool parseNumber(const std::string& word, double& value) {
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end != word.c_str() && *end == '\0';
}

// Species records of a results file: the lines after the column headings with 13 fields.
std::vector<Record> readSpeciesRecords(const std::filesystem::path& path) {
    std::istringstream in(test::readTextFile(path));
    std::vector<Record> records;
    std::string line;
    bool body = false;
    while (std::getline(in, line)) {
        if (!body) {
            body = line.rfind(" NUMBER  YEAR", 0) == 0;
            continue;
        }
        std::istringstream words(line);
        std::vector<std::string> fields;
        for (std::string w; words >> w;) fields.push_back(w);
        if (fields.size() != 13) continue;
        Record r{};
        double numbers[13];
        bool ok = true;
        for (int i = 0; i < 13; ++i) ok = ok && parseNumber(fields[i], numbers[i]);
        EXPECT_TRUE(ok) << "unreadable record: " << line;
        if (!ok) continue;
        r.iteration = static_cast<int>(numbers[0]);
        r.year = static_cast<int>(numbers[1]);
        r.plot = static_cast<int>(numbers[2]);
        r.sn = static_cast<int>(numbers[3]);
        r.pop = static_cast<int>(numbers[4]);
        r.values.assign(numbers + 5, numbers + 13);
        records.push_back(r);
    }
    return records;
}

// The value of one item of a parameter or plot file ("KEY value // comment").
std::string itemValue(const std::filesystem::path& path, const std::string& key) {
    std::istringstream in(test::readTextFile(path));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first, value;
        if (words >> first >> value && first == key) return value;
    }
    ADD_FAILURE() << key << " not found in " << path;
    return "0";
}

// Species numbers of the initial trees of a plot file (rows after the "SN DBH ..." heading).
std::set<int> plotFileSpecies(const std::filesystem::path& path) {
    std::istringstream in(test::readTextFile(path));
    std::set<int> species;
    std::string line;
    bool rows = false;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string first;
        if (!(words >> first)) continue;
        if (!rows) {
            rows = first == "SN";
            continue;
        }
        species.insert(std::stoi(first));
    }
    return species;
}

std::filesystem::path dataFile(const std::string& windowsName) {
    std::string name = windowsName;
    for (char& c : name)
        if (c == '\\') c = '/';
    return name;
}

std::string runBatch(const std::string& arguments, int& status) {
    const test::CommandResult result = test::runBatch(arguments);
    status = result.status;
    return result.output;
}

class ShippedCommunity : public ::testing::TestWithParam<int> {};

TEST_P(ShippedCommunity, GrowsAFiniteForestOfItsOwnSpeciesBelowTheCrowdingLimit) {
    const Community& community = communities().at(GetParam() - 1);
    test::TempDirectory directory;
    std::filesystem::create_directory("Data");
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(DRAVIA_SOURCE_DIR) / "Data")) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".out" || name.rfind("stats", 0) == 0)
            continue;  // left by earlier runs
        std::filesystem::copy(entry.path(), std::filesystem::path("Data") / name);
    }

    // The community's own files: its plot file holds only species the preset lets grow.
    const std::filesystem::path init = std::filesystem::path("Data") / community.initFile;
    const std::filesystem::path plotFile = dataFile(itemValue(init, "PLOT_FILE"));
    for (int sn : plotFileSpecies(plotFile))
        EXPECT_TRUE(allowed(community, sn)) << plotFile << ": species " << sn;
    const double baMax = std::stod(itemValue(init, "BA_MAX"));
    const double rock = std::stod(itemValue(plotFile, "PERCENT_ROCK"));
    const double crowdingLimit = (100.0 - rock) * baMax * 0.01;  // cm2 per 100 m2 plot
    const int plots = std::stoi(itemValue(init, "NUM_PLOTS"));

    int status = 0;
    const std::string output =
        runBatch("run --dir . --community " + std::to_string(community.option) + " --years " +
                     std::to_string(kYears) + " --iterations " + std::to_string(kIterations),
                 status);
    ASSERT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Simulation Completed."), std::string::npos) << output;
    for (const char* bad : {"nan", "NaN", "inf"}) EXPECT_EQ(output.find(bad), std::string::npos) << output;

    const std::vector<Record> records = readSpeciesRecords("Data/results.out");
    ASSERT_FALSE(records.empty());

    std::map<std::tuple<int, int, int>, double> plotBasalArea;  // (iteration, year, plot) -> cm2/m2
    std::map<int, double> basalAreaByYear;                      // summed over iterations and plots
    std::map<int, std::set<int>> speciesByYear;
    for (const Record& r : records) {
        EXPECT_TRUE(allowed(community, r.sn)) << "species " << r.sn << " in year " << r.year;
        EXPECT_GE(r.pop, 1);
        for (double v : r.values) {
            EXPECT_TRUE(std::isfinite(v)) << "species " << r.sn << " in year " << r.year;
            EXPECT_GE(v, 0.0) << "species " << r.sn << " in year " << r.year;
        }
        plotBasalArea[{r.iteration, r.year, r.plot}] += r.values[0];
        basalAreaByYear[r.year] += r.values[0];
        speciesByYear[r.year].insert(r.sn);
    }

    // Results print basal area in cm2 per m2; a 100 m2 plot holds 100 times as much.
    for (const auto& [key, ba] : plotBasalArea) {
        EXPECT_LT(ba * 100.0, crowdingLimit)
            << "iteration " << std::get<0>(key) << " year " << std::get<1>(key);
        EXPECT_LT(ba * 100.0, baMax);
    }

    // A stand every results year of every iteration, and a forest of several species at the end.
    const int resultYears = static_cast<int>(basalAreaByYear.size());
    EXPECT_EQ(plotBasalArea.size(), static_cast<size_t>(resultYears * kIterations * plots));
    ASSERT_TRUE(basalAreaByYear.count(kYears));
    const double finalMean = basalAreaByYear[kYears] / (kIterations * plots);
    EXPECT_GE(finalMean, 1.5) << "mean basal area in year " << kYears << ", cm2/m2";
    EXPECT_GE(speciesByYear[kYears].size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(AllPresets, ShippedCommunity, ::testing::Range(1, 9),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Community" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace dravia
