#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "model/ModelState.h"
#include "support/ScriptedHost.h"

namespace dravia::test {

// Each test runs in a fresh temporary working directory with a Data folder, because the
// program's fixed file names are relative to the working directory.
class InputFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        char pattern[] = "/tmp/dravia_input_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory_ = pattern;
        std::filesystem::current_path(directory_);
        std::filesystem::create_directory("Data");
        model = std::make_unique<ModelState>();
        model->host = &host;
        host.model = model.get();
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(directory_);
    }

    // Writes a file under its stored name ("Data\\x.txt" lands in Data/x.txt).
    static void writeFile(std::string storedName, const std::string& text) {
        for (char& c : storedName) {
            if (c == '\\') c = '/';
        }
        std::ofstream out(storedName, std::ios::binary);
        out << text;
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    ScriptedHost host;
    std::unique_ptr<ModelState> model;

  private:
    std::filesystem::path previous_;
    std::filesystem::path directory_;
};

// A run-time control file with every item in order.
inline std::string runTimeControlText(int screenMode = 1, int fileOutput = 1) {
    return "SCREEN_OUTPUT_MODE " + std::to_string(screenMode) + "\n" + "FILE_OUTPUT_FLAG " +
           std::to_string(fileOutput) +
           "\n"
           "NUM_YEARS 50\n"
           "NUM_ITERS 3\n"
           "PRINT_INTERV 10\n"
           "RESULTS_INTERV 5\n"
           "RESULTS_FILE Results\\out.txt\n"
           "AFTER_DISTURBANCE_RESULTS_FILE Results\\after.txt\n"
           "DISTURBANCE_RESULTS_FILE Results\\dist.txt\n"
           "STATS_RESULTS_FILE Results\\stats.txt\n"
           "DISTURBANCE_STATS_RESULTS_FILE Results\\dstats.txt\n"
           "AFTER_DISTURB_STATS_RESULTS_FILE Results\\astats.txt\n"
           "PAUSE_EVERY_ITERATION 0\n"
           "PAUSE_AT_INTERVALS 1\n";
}

// An initial-values file with every item in order.
inline std::string initialValuesText(int community = 0, const std::string& speciesFile = "Data\\species.txt",
                                     const std::string& plotFile = "Data\\plot.txt") {
    return "SPP_PARAM_FILE " + speciesFile + "\nPLOT_FILE " + plotFile +
           "\n"
           "CO2_FERT_OK 1\n"
           "CO2_FACTOR_DEF 1.0\n"
           "CALC_ITER_AVG 1\n"
           "BA_MAX 7500.5\n"
           "SEED_INIT 12345\n"
           "CLEAR_PLOT 0\n"
           "CLIMATE_CHANGE 0\n"
           "COMMUNITY " +
           std::to_string(community) +
           "\n"
           "HABITAT[1] Northern hardwoods\n"
           "HABITAT[2] Habitat two\n"
           "HABITAT[3] Habitat three\n"
           "HABITAT[4] Habitat four\n"
           "HABITAT[5] Habitat five\n"
           "HABITAT[6] Habitat six\n"
           "HABITAT[7] Habitat seven\n"
           "HABITAT[8] Habitat eight\n"
           "WTHR_TYPE 0\n"
           "WTHR_TYPES[0] Normal\n"
           "WTHR_TYPES[1] Global Warming\n"
           "WTHR_CAL_YEARS 1951-1980\n"
           "WTHR_FILE Data\\weather.txt\n"
           "TEST_DISTURB 1\n"
           "FIRST_DISTURB_YEAR 20\n"
           "BLOW_DOWN 1\n"
           "BLOW_FREQ 30\n"
           "BLOW_PROB 0.0001\n"
           "MIN_DIAM_TO_KILL_FOR_LOGGING 25.4\n"
           "MIN_DIAM_TO_KILL_FOR_WINDTHROW 30\n"
           "NUM_PLOTS 2\n"
           "PLOT_1_OK 1\n"
           "PLOT_2_OK 0\n"
           "SPECIES_1_SN 3\n"
           "SPECIES_2_SN 7\n"
           "GRAPH_INTVL 1\n"
           "WIDTH 60\n"
           "DEPTH 40\n"
           "SLANT 30\n"
           "HT_MAX 2000\n"
           "BASE_YEAR 1950\n"
           "MONITOR_FLAG 0\n"
           "MONITOR_FILE Data\\monitor.txt\n"
           "EVAP_FACTOR 1.2\n";
}

// One species record of 30 values: DMAX 100, HMAX 3000, degree-days 1800..5400.
inline std::string speciesRecord(const std::string& name, const std::string& smallBitmap = "NONE",
                                 const std::string& largeBitmap = "NONE", const std::string& dmax = "100",
                                 const std::string& hmax = "3000", const std::string& agemax = "300",
                                 const std::string& ddmin = "1800", const std::string& ddmax = "5400") {
    return name + " alt_" + name + " 2 3 10 1 170.0 1.57 " + dmax + " " + hmax + " " + agemax +
           " 1.0 2.0 0.01 " + ddmin + " " + ddmax + " 0.5 0.3 0.2 1.1 2.1 1.2 2.2 1.3 2.3 1.4 2.4 " +
           smallBitmap + " " + largeBitmap + " 40\n";
}

inline std::string speciesFileText(int count) {
    std::string text = "Name Alt Shade N Saplings ...\n";
    for (int sn = 1; sn <= count; ++sn) text += speciesRecord("Species" + std::to_string(sn));
    return text;
}

inline std::string plotSiteText(const std::string& rock = "5") {
    return "ELEV_FT 1000\nLATITUDE 44.5\nSOIL_DEPTH 1.5\nROOT_DEPTH 1.0\nWATER_DEPTH 3.0\nTEXTURE 2\n"
           "PERCENT_ROCK " +
           rock + "\nAVAIL_N 80\n";
}

}  // namespace dravia::test
