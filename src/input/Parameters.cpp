#include "input/Parameters.h"

#include <climits>

#include "input/DataFileReader.h"
#include "input/ReaderError.h"
#include "model/Random.h"

namespace dravia {

namespace {

constexpr const char* HABITAT_ITEMS[9] = {nullptr,      "HABITAT[1]", "HABITAT[2]",
                                          "HABITAT[3]", "HABITAT[4]", "HABITAT[5]",
                                          "HABITAT[6]", "HABITAT[7]", "HABITAT[8]"};

// Whole years and iterations: at least one, and no more than a machine can run.
constexpr int MAX_RUN_COUNT = 1000000;
// Plots side by side: the plot file's tree table holds 10,000 rows.
constexpr int MAX_PLOTS = 10000;

// The generator's stream stops at a state of 0 and leaves its range outside 1..2147483646, and its
// states are whole numbers.
void readSeed(DataFileReader& reader, double& destination) {
    double seed = destination;
    reader.readDouble("SEED_INIT", seed);
    if (!isUsableSeed(seed))
        throw ReaderError(outOfRangeMessage("SEED_INIT", reader.fileName(),
                                            static_cast<long long>(SMALLEST_SEED),
                                            static_cast<long long>(LARGEST_SEED)));
    destination = seed;
}

// A run without display must still leave results behind.
void correctOutputWithoutDisplay(RunParameters& p) {
    if (p.SCREEN_OUTPUT_MODE == 3 && p.FILE_OUTPUT_FLAG == 0) p.FILE_OUTPUT_FLAG = 1;
}

}  // namespace

void readRunTimeControlFile(ModelState& model, const std::string& path) {
    RunParameters& p = model.params;
    DataFileReader reader(path);
    reader.readInt("SCREEN_OUTPUT_MODE", p.SCREEN_OUTPUT_MODE);
    reader.readInt("FILE_OUTPUT_FLAG", p.FILE_OUTPUT_FLAG);
    reader.readInt("NUM_YEARS", p.NUM_YEARS, 1, MAX_RUN_COUNT);
    reader.readInt("NUM_ITERS", p.NUM_ITERS, 1, MAX_RUN_COUNT);
    reader.readInt("PRINT_INTERV", p.PRINT_INTERV, 0, INT_MAX);
    reader.readInt("RESULTS_INTERV", p.RESULTS_INTERV, 0, INT_MAX);
    reader.readString("RESULTS_FILE", p.RESULTS_FILE, FILE_NAME_LENGTH);
    reader.readString("AFTER_DISTURBANCE_RESULTS_FILE", p.AFTER_DISTURBANCE_RESULTS_FILE, FILE_NAME_LENGTH);
    reader.readString("DISTURBANCE_RESULTS_FILE", p.DISTURBANCE_RESULTS_FILE, FILE_NAME_LENGTH);
    reader.readString("STATS_RESULTS_FILE", p.STATS_RESULTS_FILE, FILE_NAME_LENGTH);
    reader.readString("DISTURBANCE_STATS_RESULTS_FILE", p.DISTURBANCE_STATS_RESULTS_FILE, FILE_NAME_LENGTH);
    reader.readString("AFTER_DISTURB_STATS_RESULTS_FILE", p.AFTER_DISTURB_STATS_RESULTS_FILE,
                      FILE_NAME_LENGTH);
    reader.readInt("PAUSE_EVERY_ITERATION", p.PAUSE_EVERY_ITERATION);
    reader.readInt("PAUSE_AT_INTERVALS", p.PAUSE_AT_INTERVALS);
}

void readInitialValuesFile(ModelState& model, const std::string& path) {
    RunParameters& p = model.params;
    DataFileReader reader(path);
    reader.readString("SPP_PARAM_FILE", p.SPP_PARAM_FILE, FILE_NAME_LENGTH);
    reader.readString("PLOT_FILE", p.PLOT_FILE, FILE_NAME_LENGTH);
    reader.readInt("CO2_FERT_OK", p.CO2_FERT_OK);
    reader.readDouble("CO2_FACTOR_DEF", p.CO2_FACTOR_DEF);
    reader.readInt("CALC_ITER_AVG", p.CALC_ITER_AVG);
    reader.readDouble("BA_MAX", p.BA_MAX);
    readSeed(reader, p.SEED_INIT);
    reader.readInt("CLEAR_PLOT", p.CLEAR_PLOT);
    reader.readInt("CLIMATE_CHANGE", p.CLIMATE_CHANGE);
    reader.readInt("COMMUNITY", p.COMMUNITY);
    for (int option = 1; option <= 8; ++option) {
        reader.readString(HABITAT_ITEMS[option], p.HABITAT[static_cast<size_t>(option)], NAME_LABEL_LENGTH);
    }
    reader.readInt("WTHR_TYPE", p.WTHR_TYPE);
    reader.readString("WTHR_TYPES[0]", p.WTHR_TYPES[0], NAME_LABEL_LENGTH);
    reader.readString("WTHR_TYPES[1]", p.WTHR_TYPES[1], NAME_LABEL_LENGTH);
    reader.readString("WTHR_CAL_YEARS", p.WTHR_CAL_YEARS, CALENDAR_YEARS_LENGTH);
    reader.readString("WTHR_FILE", p.WTHR_FILE, FILE_NAME_LENGTH);
    reader.readInt("TEST_DISTURB", p.TEST_DISTURB);
    reader.readInt("FIRST_DISTURB_YEAR", p.FIRST_DISTURB_YEAR);
    reader.readInt("BLOW_DOWN", p.BLOW_DOWN);
    reader.readInt("BLOW_FREQ", p.BLOW_FREQ);
    reader.readDouble("BLOW_PROB", p.BLOW_PROB);
    reader.readDouble("MIN_DIAM_TO_KILL_FOR_LOGGING", p.MIN_DIAM_TO_KILL_FOR_LOGGING);
    reader.readDouble("MIN_DIAM_TO_KILL_FOR_WINDTHROW", p.MIN_DIAM_TO_KILL_FOR_WINDTHROW);
    reader.readInt("NUM_PLOTS", p.NUM_PLOTS, 1, MAX_PLOTS);
    reader.readInt("PLOT_1_OK", p.PLOT_1_OK);
    reader.readInt("PLOT_2_OK", p.PLOT_2_OK);
    reader.readInt("SPECIES_1_SN", p.SPECIES_1_SN);
    reader.readInt("SPECIES_2_SN", p.SPECIES_2_SN);
    reader.readInt("GRAPH_INTVL", p.GRAPH_INTVL, 0, INT_MAX);
    reader.readInt("WIDTH", p.WIDTH);
    reader.readInt("DEPTH", p.DEPTH);
    reader.readDouble("SLANT", p.SLANT);
    reader.readDouble("HT_MAX", p.HT_MAX);
    reader.readInt("BASE_YEAR", p.BASE_YEAR);
    reader.readInt("MONITOR_FLAG", p.MONITOR_FLAG);
    reader.readString("MONITOR_FILE", p.MONITOR_FILE, MONITOR_FILE_LENGTH);
    reader.readDouble("EVAP_FACTOR", p.EVAP_FACTOR);
    correctOutputWithoutDisplay(p);
}

}  // namespace dravia
