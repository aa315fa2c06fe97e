#include "run/RunStatistics.h"

#include <unistd.h>

#include <memory>
#include <string>
#include <utility>

#include "input/ModelOptionsFile.h"
#include "input/Parameters.h"
#include "input/ReaderError.h"
#include "input/SpeciesFile.h"
#include "model/ErrorLog.h"
#include "output/DisturbanceData.h"
#include "output/ParameterCopies.h"
#include "output/StatsReader.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"
#include "run/FileCollisions.h"

namespace dravia {

namespace {

bool copiesReadable() {
    return openFile(STATS_RUN_TIME_CONTROL_FILE, "r") && openFile(STATS_INITIAL_VALUES_FILE, "r");
}

// The parameters in force become those of the last completed run.
void loadFinishedRun(ModelState& model, const std::string& missingCopiesHint) {
    try {
        readRunTimeControlFile(model, STATS_RUN_TIME_CONTROL_FILE);
        model.params.initialValuesPath = STATS_INITIAL_VALUES_FILE;
        readInitialValuesFile(model, model.params.initialValuesPath);
        // The options copy beside the initial-values copy, left only by a run with an option on.
        readModelOptionsFile(model);
        readSpeciesFile(model);
    } catch (const ReaderError& error) {
        std::string message = error.what();
        if (!message.empty()) {
            if (!missingCopiesHint.empty() && !copiesReadable()) message += "\n" + missingCopiesHint;
            hostOf(model).showMessage(message, MessageIcon::None);
        }
        throw ProgramExit{EXIT_STARTUP_READER};
    }
}

FileHandle openInput(ModelState& model, const std::string& name, const char* failureFormat) {
    FileHandle file = openFile(name, "r");
    if (!file) hostOf(model).showMessage(formatText(failureFormat, name.c_str()), MessageIcon::Error);
    return file;
}

bool analyseFinishedRun(ModelState& model, StatsLayout layout, const std::string& missingCopiesHint) {
    loadFinishedRun(model, missingCopiesHint);
    const RunParameters& params = model.params;
    StatisticsState& statistics = model.statistics;
    const std::string collision = statisticsFileCollision(model);
    if (!collision.empty()) {
        hostOf(model).showMessage(collision, MessageIcon::Error);
        return false;
    }

    FileHandle results =
        openInput(model, params.RESULTS_FILE,
                  "Error: Could not open data output file %s.\nMust first successfully run a "
                  "simulation with\n\"Output results to file\" in the \"Input, Output\nRun-Time "
                  "Control Parameters\" dialog box set to true.");
    if (!results) return false;
    if (params.RESULTS_INTERV == 0) {
        reportError(model, ErrorMessage::NoResultsInterval);
        throw ProgramExit{EXIT_ABNORMAL};
    }
    statistics.STATS_SLOT_COUNT = generalSlotCount(params);
    readStatsInput(model, StatsKind::General, std::move(results), params.RESULTS_FILE);
    writeStatsReport(model, StatsKind::General, layout);

    if (params.BLOW_DOWN == 0) return true;

    const std::string incomplete = incompleteDisturbanceFileName(params.DISTURBANCE_RESULTS_FILE);
    if (access(toLocalPath(incomplete).c_str(), F_OK) == 0) {
        hostOf(model).showMessage(
            formatText("Error: Disturbance results file %s lost records when its run wrote it "
                       "(kept as %s).\nRun the simulation again to analyse its disturbances.",
                       params.DISTURBANCE_RESULTS_FILE.c_str(), incomplete.c_str()),
            MessageIcon::Error);
        return false;
    }
    FileHandle disturbance = openInput(model, params.DISTURBANCE_RESULTS_FILE,
                                       "Error: Disturbance results file %s could not be opened.");
    if (!disturbance) return false;
    // Without a logging interval no disturbance record has a slot.
    statistics.STATS_SLOT_COUNT = params.BLOW_FREQ >= 1 ? params.NUM_YEARS / params.BLOW_FREQ : 0;
    readStatsInput(model, StatsKind::Disturbance, std::move(disturbance), params.DISTURBANCE_RESULTS_FILE);
    writeStatsReport(model, StatsKind::Disturbance, layout);

    FileHandle afterDisturbance = openInput(model, params.AFTER_DISTURBANCE_RESULTS_FILE,
                                            "Error: After disturbance results file %s could not be opened.");
    if (!afterDisturbance) return false;
    readStatsInput(model, StatsKind::AfterDisturbance, std::move(afterDisturbance),
                   params.AFTER_DISTURBANCE_RESULTS_FILE);
    writeStatsReport(model, StatsKind::AfterDisturbance, layout);
    return true;
}

}  // namespace

bool runStatistics(ModelState& model, StatsLayout layout, const std::string& missingCopiesHint) {
    // The finished run is read into a state of its own, so the parameters, species, plots and
    // random state the user has set up stay exactly as they were.
    auto finishedRun = std::make_unique<ModelState>();
    finishedRun->host = &hostOf(model);
    return analyseFinishedRun(*finishedRun, layout, missingCopiesHint);
}

}  // namespace dravia
