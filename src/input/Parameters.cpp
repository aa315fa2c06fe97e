#include "input/Parameters.h"

#include "input/DataFileReader.h"

namespace dravia {

namespace {

constexpr const char* HABITAT_ITEMS[9] = {nullptr,      "HABITAT[1]", "HABITAT[2]",
                                          "HABITAT[3]", "HABITAT[4]", "HABITAT[5]",
                                          "HABITAT[6]", "HABITAT[7]", "HABITAT[8]"};

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
    reader.readInt("NUM_YEARS", p.NUM_YEARS);
    reader.readInt("NUM_ITERS", p.NUM_ITERS);
    reader.readInt("PRINT_INTERV", p.PRINT_INTERV);
    reader.readInt("RESULTS_INTERV", p.RESULTS_INTERV);
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
    reader.readDouble("SEED_INIT", p.SEED_INIT);
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
    reader.readInt("NUM_PLOTS", p.NUM_PLOTS);
    reader.readInt("PLOT_1_OK", p.PLOT_1_OK);
    reader.readInt("PLOT_2_OK", p.PLOT_2_OK);
    reader.readInt("SPECIES_1_SN", p.SPECIES_1_SN);
    reader.readInt("SPECIES_2_SN", p.SPECIES_2_SN);
    reader.readInt("GRAPH_INTVL", p.GRAPH_INTVL);
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
