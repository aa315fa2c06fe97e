#include "input/Parameters.h"

#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdio>

#include "input/DataFileReader.h"
#include "input/ReaderError.h"
#include "model/Random.h"
#include "model/ErrorLog.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

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
    if (!isUsableSeed(seed)) throw ReaderError(outOfRangeMessage("SEED_INIT", reader.fileName(), static_cast<long long>(SMALLEST_SEED),
                                           static_cast<long long>(LARGEST_SEED)));
    destination = seed;
}

// A run without display must still leave results behind.
void correctOutputWithoutDisplay(RunParameters& p) {
    if (p.SCREEN_OUTPUT_MODE == 3 && p.FILE_OUTPUT_FLAG == 0) p.FILE_OUTPUT_FLAG = 1;
}

void writeCopy(ModelState& model, const char* fileName, const std::string& text) {
    if (!writeFileAtomically(fileName, text)) {
        reportError(model, 15, fileName);
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
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

std::string runTimeControlCopyText(const RunParameters& p) {
    std::string text;
    appendFormat(text, "SCREEN_OUTPUT_MODE       %d\n", p.SCREEN_OUTPUT_MODE);
    appendFormat(text, "FILE_OUTPUT_FLAG         %d\n", p.FILE_OUTPUT_FLAG);
    appendFormat(text, "NUM_YEARS                %d\n", p.NUM_YEARS);
    appendFormat(text, "NUM_ITERS                %d\n", p.NUM_ITERS);
    appendFormat(text, "PRINT_INTERV             %d\n", p.PRINT_INTERV);
    appendFormat(text, "RESULTS_INTERV           %d\n", p.RESULTS_INTERV);
    appendFormat(text, "RESULTS_FILE                     %s\n", p.RESULTS_FILE.c_str());
    appendFormat(text, "AFTER_DISTURBANCE_RESULTS_FILE   %s\n", p.AFTER_DISTURBANCE_RESULTS_FILE.c_str());
    appendFormat(text, "DISTURBANCE_RESULTS_FILE         %s\n", p.DISTURBANCE_RESULTS_FILE.c_str());
    appendFormat(text, "STATS_RESULTS_FILE               %s\n", p.STATS_RESULTS_FILE.c_str());
    appendFormat(text, "DISTURBANCE_STATS_RESULTS_FILE   %s\n", p.DISTURBANCE_STATS_RESULTS_FILE.c_str());
    appendFormat(text, "AFTER_DISTURB_STATS_RESULTS_FILE %s\n", p.AFTER_DISTURB_STATS_RESULTS_FILE.c_str());
    appendFormat(text, "PAUSE_EVERY_ITERATION            %d\n", p.PAUSE_EVERY_ITERATION);
    appendFormat(text, "PAUSE_AT_INTERVALS               %d\n", p.PAUSE_AT_INTERVALS);
    return text;
}

std::string initialValuesCopyText(const RunParameters& p) {
    std::string text;
    appendFormat(text, "SPP_PARAM_FILE         %s\n", p.SPP_PARAM_FILE.c_str());
    appendFormat(text, "PLOT_FILE              %s\n", p.PLOT_FILE.c_str());
    appendFormat(text, "CO2_FERT_OK            %d\n", p.CO2_FERT_OK);
    appendFormat(text, "CO2_FACTOR_DEF         %lf\n", p.CO2_FACTOR_DEF);
    appendFormat(text, "CALC_ITER_AVG          %d\n", p.CALC_ITER_AVG);
    appendFormat(text, "BA_MAX                 %lf\n", p.BA_MAX);
    appendFormat(text, "SEED_INIT              %lf\n", p.SEED_INIT);
    appendFormat(text, "CLEAR_PLOT             %d\n", p.CLEAR_PLOT);
    appendFormat(text, "CLIMATE_CHANGE         %d\n\n", p.CLIMATE_CHANGE);
    appendFormat(text, "COMMUNITY              %d\n\n", p.COMMUNITY);
    appendFormat(text, "HABITAT[1]             %s\n", p.HABITAT[1].c_str());
    appendFormat(text, "HABITAT[2]             %s\n", p.HABITAT[2].c_str());
    appendFormat(text, "HABITAT[3]             %s\n", p.HABITAT[3].c_str());
    appendFormat(text, "HABITAT[4]             %s\n", p.HABITAT[4].c_str());
    appendFormat(text, "HABITAT[5]             %s\n", p.HABITAT[5].c_str());
    appendFormat(text, "HABITAT[6]             %s\n", p.HABITAT[6].c_str());
    appendFormat(text, "HABITAT[7]             %s\n", p.HABITAT[7].c_str());
    appendFormat(text, "HABITAT[8]             %s\n\n", p.HABITAT[8].c_str());
    appendFormat(text, "WTHR_TYPE              %d\n\n", p.WTHR_TYPE);
    appendFormat(text, "WTHR_TYPES[0]          %s\n", p.WTHR_TYPES[0].c_str());
    appendFormat(text, "WTHR_TYPES[1]          %s\n\n", p.WTHR_TYPES[1].c_str());
    appendFormat(text, "WTHR_CAL_YEARS         %s\n", p.WTHR_CAL_YEARS.c_str());
    appendFormat(text, "WTHR_FILE              %s\n\n", p.WTHR_FILE.c_str());
    appendFormat(text, "TEST_DISTURB           %d\n", p.TEST_DISTURB);
    appendFormat(text, "FIRST_DISTURB_YEAR     %d\n", p.FIRST_DISTURB_YEAR);
    appendFormat(text, "BLOW_DOWN              %d\n", p.BLOW_DOWN);
    appendFormat(text, "BLOW_FREQ              %d\n", p.BLOW_FREQ);
    appendFormat(text, "BLOW_PROB              %lf\n", p.BLOW_PROB);
    appendFormat(text, "MIN_DIAM_TO_KILL_FOR_LOGGING       %lf\n\n", p.MIN_DIAM_TO_KILL_FOR_LOGGING);
    appendFormat(text, "MIN_DIAM_TO_KILL_FOR_WINDTHROW     %lf\n\n", p.MIN_DIAM_TO_KILL_FOR_WINDTHROW);
    appendFormat(text, "NUM_PLOTS              %d\n\n", p.NUM_PLOTS);
    appendFormat(text, "PLOT_1_OK                %d\n", p.PLOT_1_OK);
    appendFormat(text, "PLOT_2_OK                %d\n", p.PLOT_2_OK);
    appendFormat(text, "SPECIES_1_SN           %d\n", p.SPECIES_1_SN);
    appendFormat(text, "SPECIES_2_SN           %d\n\n", p.SPECIES_2_SN);
    appendFormat(text, "GRAPH_INTVL            %d\n", p.GRAPH_INTVL);
    appendFormat(text, "WIDTH                  %d\n", p.WIDTH);
    appendFormat(text, "DEPTH                  %d\n", p.DEPTH);
    appendFormat(text, "SLANT                  %lf\n", p.SLANT);
    appendFormat(text, "HT_MAX                 %lf\n", p.HT_MAX);
    appendFormat(text, "BASE_YEAR              %d\n\n", p.BASE_YEAR);
    appendFormat(text, "MONITOR_FLAG           %d\n", p.MONITOR_FLAG);
    appendFormat(text, "MONITOR_FILE           %s\n\n", p.MONITOR_FILE.c_str());
    appendFormat(text, "EVAP_FACTOR            %lf\n", p.EVAP_FACTOR);
    return text;
}

void writeStatisticsCopies(ModelState& model) {
    // The copies say which stream made the run: SEED_INIT holds the random state the run began
    // with (the seed of the file or the command line, or where an earlier run of the same
    // program left the stream). A state the generator turned negative draws the same numbers as
    // its absolute value.
    RunParameters made = model.params;
    if (model.run.START_RANDOM_STATE != 0.0) made.SEED_INIT = std::fabs(model.run.START_RANDOM_STATE);
    writeCopy(model, STATS_RUN_TIME_CONTROL_FILE, runTimeControlCopyText(made));
    writeCopy(model, STATS_INITIAL_VALUES_FILE, initialValuesCopyText(made));
}

void removeStatisticsCopies() {
    // Files only: a directory standing where a copy belongs is reported when the copy is written.
    for (const char* copy : {STATS_RUN_TIME_CONTROL_FILE, STATS_INITIAL_VALUES_FILE})
        unlink(toLocalPath(copy).c_str());
}

}  // namespace dravia
