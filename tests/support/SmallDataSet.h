#pragma once

#include <filesystem>
#include <string>

#include "support/TempDirectory.h"

namespace dravia::test {

// The knobs of a small, complete data set for tests that load and run the whole program.
struct SmallDataSetOptions {
    int screenOutputMode = 3;
    int fileOutputFlag = 1;
    int numYears = 30;
    int numIters = 2;
    int printInterv = 10;
    int resultsInterv = 10;
    int pauseEveryIteration = 0;
    int pauseAtIntervals = 0;
    int numPlots = 1;
    int climateChange = 0;
    int testDisturb = 0;
    int blowDown = 0;
    int blowFreq = 20;
    double blowProb = 0.0;
    int firstDisturbYear = 10;
    double minDiamLogging = 20.0;
    double minDiamWindthrow = 0.0;
    int calcIterAvg = 1;
    double seed = 4711.0;
    int graphIntvl = 5;
};

// Three invented species of a cool temperate hardwood stand.
inline std::string smallSpeciesFile() {
    return "NAME ALT SHADE NTYPE MAXSAP ABLE G C DMAX HMAX AGEMAX B2 B3 MINDINC DDMIN DDMAX MINWT WILTF "
           "MINLIGHT STEMA STEMB BARKA BARKB BRANCHA BRANCHB ROOTA ROOTB SMALLBMP LARGEBMP LARGEMINHT\n"
           "Test_maple Acer_test 3 2 4 1 160.0 1.50 100.0 3200.0 380.0 0 0 0.02 2200.0 6500.0 0.50 0.40 "
           "0.00 70.0 2.40 12.0 2.25 19.0 2.55 28.0 2.30 NONE NONE 40\n"
           "Test_birch Betula_test 2 1 8 1 180.0 1.70 80.0 2800.0 250.0 0 0 0.02 1800.0 5600.0 0.40 0.35 "
           "0.30 78.0 2.40 14.0 2.28 21.0 2.60 30.0 2.35 NONE NONE 40\n"
           "Test_cherry Prunus_test 1 1 15 1 220.0 2.20 45.0 2100.0 70.0 0 0 0.03 1200.0 5200.0 0.40 0.30 "
           "0.00 85.0 2.43 15.0 2.25 24.0 2.62 33.0 2.33 NONE NONE 40\n";
}

inline std::string smallPlotFile() {
    return "ELEV_FT        1100.0\nLATITUDE       44.2\nSOIL_DEPTH     1.1\nROOT_DEPTH     0.9\n"
           "WATER_DEPTH    2.5\nTEXTURE        150.0\nPERCENT_ROCK   5.0\nAVAIL_N        90.0\n\n"
           "SN  DBH  HT\n  1   22.0  0.0\n  2   15.5  0.0\n  1    6.1  0.0\n  3    4.0  0.0\n"
           "  2   30.2  0.0\n  1   12.8  0.0\n";
}

// A weather record of `years` years with a mild, slightly varying climate (°F and inches).
inline std::string smallWeatherFile(int years) {
    std::string temperatures, precipitation;
    for (int y = 1; y <= years; ++y) {
        const int offset = (y * 7) % 5 - 2;
        temperatures += std::to_string(1970 + y);
        precipitation += std::to_string(1970 + y);
        const double monthly[12] = {20, 23, 33, 45, 57, 65, 70, 68, 60, 49, 37, 25};
        for (double t : monthly) temperatures += " " + std::to_string(t + offset).substr(0, 5);
        for (int m = 0; m < 12; ++m)
            precipitation += " " + std::to_string(2.8 + 0.1 * ((y + m) % 7)).substr(0, 4);
        temperatures += "\n";
        precipitation += "\n";
    }
    return "10001 12 TESTVILLE " + std::to_string(years) + " 900.0\n1\n" + temperatures + "2\n" +
           precipitation;
}

inline std::string smallColourFile() {
    std::string text;
    for (int i = 0; i < 22; ++i) text += "colour table heading line\n";
    for (int option = 1; option <= 8; ++option) {
        for (int i = 0; i < (option == 1 ? 6 : 5); ++i) text += "option heading\n";
        for (int i = 1; i <= 10; ++i) {
            for (int block = 0; block < 4; ++block) {
                const int sn = i + 10 * block;
                text +=
                    std::to_string(sn) + " " + std::to_string((sn + option) % 16) + (block < 3 ? " " : "\n");
            }
        }
    }
    return text;
}

inline std::string smallRunTimeControlFile(const SmallDataSetOptions& o) {
    auto item = [](const char* key, const std::string& value) {
        return std::string(key) + "    " + value + "\n";
    };
    return "// run-time control\n\n" + item("SCREEN_OUTPUT_MODE", std::to_string(o.screenOutputMode)) +
           item("FILE_OUTPUT_FLAG", std::to_string(o.fileOutputFlag)) +
           item("NUM_YEARS", std::to_string(o.numYears)) + item("NUM_ITERS", std::to_string(o.numIters)) +
           item("PRINT_INTERV", std::to_string(o.printInterv)) +
           item("RESULTS_INTERV", std::to_string(o.resultsInterv)) +
           item("RESULTS_FILE", "Data\\results.out") +
           item("AFTER_DISTURBANCE_RESULTS_FILE", "Data\\afterdist.out") +
           item("DISTURBANCE_RESULTS_FILE", "Data\\disturb.out") +
           item("STATS_RESULTS_FILE", "Data\\stats.out") +
           item("DISTURBANCE_STATS_RESULTS_FILE", "Data\\diststats.out") +
           item("AFTER_DISTURB_STATS_RESULTS_FILE", "Data\\afterstats.out") +
           item("PAUSE_EVERY_ITERATION", std::to_string(o.pauseEveryIteration)) +
           item("PAUSE_AT_INTERVALS", std::to_string(o.pauseAtIntervals));
}

inline std::string smallInitialValuesFile(const SmallDataSetOptions& o) {
    auto item = [](const char* key, const std::string& value) {
        return std::string(key) + "    " + value + "\n";
    };
    auto real = [](double v) { return std::to_string(v); };
    std::string text = "// initial values\n" + item("SPP_PARAM_FILE", "Data\\species.txt") +
                       item("PLOT_FILE", "Data\\plot.txt") + item("CO2_FERT_OK", "0") +
                       item("CO2_FACTOR_DEF", "1.0") + item("CALC_ITER_AVG", std::to_string(o.calcIterAvg)) +
                       item("BA_MAX", "7000.0") + item("SEED_INIT", real(o.seed)) + item("CLEAR_PLOT", "0") +
                       item("CLIMATE_CHANGE", std::to_string(o.climateChange)) + item("COMMUNITY", "0");
    for (int h = 1; h <= 8; ++h)
        text += "HABITAT[" + std::to_string(h) + "]    Test_habitat_" + std::to_string(h) + "\n";
    text += item("WTHR_TYPE", "0") + item("WTHR_TYPES[0]", "NORMAL") + item("WTHR_TYPES[1]", "WARM") +
            item("WTHR_CAL_YEARS", "1971-2000") + item("WTHR_FILE", "Data\\weather.txt") +
            item("TEST_DISTURB", std::to_string(o.testDisturb)) +
            item("FIRST_DISTURB_YEAR", std::to_string(o.firstDisturbYear)) +
            item("BLOW_DOWN", std::to_string(o.blowDown)) + item("BLOW_FREQ", std::to_string(o.blowFreq)) +
            item("BLOW_PROB", real(o.blowProb)) +
            item("MIN_DIAM_TO_KILL_FOR_LOGGING", real(o.minDiamLogging)) +
            item("MIN_DIAM_TO_KILL_FOR_WINDTHROW", real(o.minDiamWindthrow)) +
            item("NUM_PLOTS", std::to_string(o.numPlots)) + item("PLOT_1_OK", "1") + item("PLOT_2_OK", "0") +
            item("SPECIES_1_SN", "1") + item("SPECIES_2_SN", "2") +
            item("GRAPH_INTVL", std::to_string(o.graphIntvl)) + item("WIDTH", "60") + item("DEPTH", "30") +
            item("SLANT", "30.0") + item("HT_MAX", "3000.0") + item("BASE_YEAR", "2000") +
            item("MONITOR_FLAG", "0") + item("MONITOR_FILE", "monitor.txt") + item("EVAP_FACTOR", "1.0");
    return text;
}

// Writes Data/ with every input file into the directory.
inline void writeSmallDataSet(const std::filesystem::path& directory,
                              const SmallDataSetOptions& options = {}) {
    const std::filesystem::path data = directory / "Data";
    writeTextFile(data / "inputOutputRunTimeParams.txt", smallRunTimeControlFile(options));
    writeTextFile(data / "initParams.txt", smallInitialValuesFile(options));
    writeTextFile(data / "species.txt", smallSpeciesFile());
    writeTextFile(data / "plot.txt", smallPlotFile());
    writeTextFile(data / "weather.txt", smallWeatherFile(30));
    writeTextFile(data / "colors.txt", smallColourFile());
}

}  // namespace dravia::test
