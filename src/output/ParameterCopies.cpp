#include "output/ParameterCopies.h"

#include <unistd.h>

#include <cmath>

#include "model/ErrorLog.h"
#include "model/Random.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

void writeCopy(ModelState& model, const char* fileName, const std::string& text) {
    if (!writeFileAtomically(fileName, text)) {
        reportError(model, ErrorMessage::CannotCreateFile, fileName);
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
}

}  // namespace

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

RunParameters parametersOfRun(const ModelState& model) {
    // SEED_INIT holds the random state the run began with (the seed of the file or the command
    // line, or where an earlier run of the same program left the stream). A state the generator
    // turned negative draws the same numbers as its absolute value. A state the site dialog set
    // between whole numbers is no seed the parameter reader takes back; the file's seed is then
    // kept, so the statistics still run.
    RunParameters made = model.params;
    const double start = std::fabs(model.run.START_RANDOM_STATE);
    if (isUsableSeed(start)) made.SEED_INIT = start;
    return made;
}

void writeStatisticsCopies(ModelState& model) {
    const RunParameters made = parametersOfRun(model);
    writeCopy(model, STATS_RUN_TIME_CONTROL_FILE, runTimeControlCopyText(made));
    writeCopy(model, STATS_INITIAL_VALUES_FILE, initialValuesCopyText(made));
    // A run of the classic model leaves the two copies it always left; one with a model option on
    // also leaves the options it ran with, beside the initial-values copy.
    if (anyModelOptionOn(model.options))
        writeCopy(model, STATS_MODEL_OPTIONS_FILE, modelOptionsCopyText(model.options));
}

std::string modelOptionsCopyText(const ModelOptions& options) {
    return "// Model options the run was made with; options not named were off.\n" +
           modelOptionLines(options);
}

void removeStatisticsCopies() {
    // Files only: a directory standing where a copy belongs is reported when the copy is written.
    for (const char* copy :
         {STATS_RUN_TIME_CONTROL_FILE, STATS_INITIAL_VALUES_FILE, STATS_MODEL_OPTIONS_FILE})
        unlink(toLocalPath(copy).c_str());
}

}  // namespace dravia
