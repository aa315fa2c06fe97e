#include "run/FileCollisions.h"

#include <vector>

#include "input/ColourFile.h"
#include "input/Communities.h"
#include "input/ModelOptionsFile.h"
#include "input/Parameters.h"
#include "output/MonitorFile.h"
#include "output/ParameterCopies.h"
#include "output/TreeBiodata.h"
#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

// A file by the item that names it.
struct NamedFile {
    std::string item;
    std::string name;
};

bool named(const std::string& name) {
    return !name.empty() && name != "NONE";
}

// The first output that reaches an input or an earlier output, as a message.
std::string firstCollision(const std::vector<NamedFile>& inputs, const std::vector<NamedFile>& outputs,
                           const char* what) {
    for (std::size_t k = 0; k < outputs.size(); ++k) {
        const NamedFile& output = outputs[k];
        for (const NamedFile& input : inputs) {
            if (sameFile(output.name, input.name)) {
                return formatText(
                    "Error: %s \"%s\" is the same file as %s \"%s\".\n%s would overwrite it; give "
                    "the file it writes a name of its own.",
                    output.item.c_str(), output.name.c_str(), input.item.c_str(), input.name.c_str(), what);
            }
        }
        for (std::size_t j = 0; j < k; ++j) {
            if (sameFile(output.name, outputs[j].name)) {
                return formatText(
                    "Error: %s \"%s\" is the same file as %s \"%s\".\n%s would write both into one "
                    "file; give each a name of its own.",
                    output.item.c_str(), output.name.c_str(), outputs[j].item.c_str(),
                    outputs[j].name.c_str(), what);
            }
        }
    }
    return {};
}

}  // namespace

std::string runFileCollision(const ModelState& model) {
    const RunParameters& p = model.params;
    std::vector<NamedFile> inputs = {
        {"the run-time control file", RUN_TIME_CONTROL_FILE},
        {"the initial-values file", p.initialValuesPath},
        {"SPP_PARAM_FILE", p.SPP_PARAM_FILE},
        {"PLOT_FILE", p.PLOT_FILE},
        {"WTHR_FILE", p.WTHR_FILE},
        {"the colour file", COLOUR_FILE},
    };
    const std::string optionsFile = modelOptionsFileOf(p.initialValuesPath);
    if (canOpenForReading(optionsFile)) inputs.push_back({"the model-options file", optionsFile});
    for (int option = 1; option <= 8; ++option)
        inputs.push_back({formatText("the initial-values file of community %d", option),
                          communityInitialValuesFile(option)});
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        const Species& s = model.species[static_cast<size_t>(sn)];
        if (named(s.SMALL_BITMAP)) inputs.push_back({"the small picture of " + s.NAME, s.SMALL_BITMAP});
        if (named(s.LARGE_BITMAP)) inputs.push_back({"the large picture of " + s.NAME, s.LARGE_BITMAP});
    }

    std::vector<NamedFile> outputs;
    if (p.FILE_OUTPUT_FLAG != 0) outputs.push_back({"RESULTS_FILE", p.RESULTS_FILE});
    const bool disturbances = p.TEST_DISTURB == 1 && p.BLOW_DOWN == 1;
    if (disturbances) outputs.push_back({"DISTURBANCE_RESULTS_FILE", p.DISTURBANCE_RESULTS_FILE});
    if (disturbances && p.FILE_OUTPUT_FLAG != 0)
        outputs.push_back({"AFTER_DISTURBANCE_RESULTS_FILE", p.AFTER_DISTURBANCE_RESULTS_FILE});
    if (p.MONITOR_FLAG != 0) outputs.push_back({"MONITOR_FILE", monitorFileName(p, model.site)});
    outputs.push_back({"the statistics copy", STATS_RUN_TIME_CONTROL_FILE});
    outputs.push_back({"the statistics copy", STATS_INITIAL_VALUES_FILE});
    if (anyModelOptionOn(model.options)) outputs.push_back({"the statistics copy", STATS_MODEL_OPTIONS_FILE});
    if (!model.databaseRequest.path.empty())
        outputs.push_back({"the run database", model.databaseRequest.path});
    std::string collision = firstCollision(inputs, outputs, "The run");
    if (!collision.empty()) return collision;
    // The run database is also kept apart from what the run writes at its end and what the
    // statistics write later, which would replace it.
    if (!model.databaseRequest.path.empty()) {
        const std::vector<NamedFile> later = {
            {"the tree list \"newplot\"", TREE_BIODATA_FILE},
            {"STATS_RESULTS_FILE", p.STATS_RESULTS_FILE},
            {"DISTURBANCE_STATS_RESULTS_FILE", p.DISTURBANCE_STATS_RESULTS_FILE},
            {"AFTER_DISTURB_STATS_RESULTS_FILE", p.AFTER_DISTURB_STATS_RESULTS_FILE},
        };
        collision = firstCollision(later, {{"the run database", model.databaseRequest.path}}, "The run");
        if (!collision.empty()) return collision;
    }

    // The tree list of the last stand is written as "newplot", which is meant to become a plot
    // file: continuing from it overwrites the plot file the run has already read, on purpose.
    std::vector<NamedFile> exceptPlotFile;
    for (const NamedFile& input : inputs) {
        if (input.item != "PLOT_FILE") exceptPlotFile.push_back(input);
    }
    return firstCollision(exceptPlotFile, {{"the tree list \"newplot\"", TREE_BIODATA_FILE}}, "The run");
}

std::string statisticsFileCollision(const ModelState& model) {
    const RunParameters& p = model.params;
    std::vector<NamedFile> inputs = {
        {"the statistics copy", STATS_RUN_TIME_CONTROL_FILE},
        {"the statistics copy", STATS_INITIAL_VALUES_FILE},
        {"SPP_PARAM_FILE", p.SPP_PARAM_FILE},
        {"RESULTS_FILE", p.RESULTS_FILE},
    };
    std::vector<NamedFile> outputs = {{"STATS_RESULTS_FILE", p.STATS_RESULTS_FILE}};
    if (p.BLOW_DOWN != 0) {
        inputs.push_back({"DISTURBANCE_RESULTS_FILE", p.DISTURBANCE_RESULTS_FILE});
        inputs.push_back({"AFTER_DISTURBANCE_RESULTS_FILE", p.AFTER_DISTURBANCE_RESULTS_FILE});
        outputs.push_back({"DISTURBANCE_STATS_RESULTS_FILE", p.DISTURBANCE_STATS_RESULTS_FILE});
        outputs.push_back({"AFTER_DISTURB_STATS_RESULTS_FILE", p.AFTER_DISTURB_STATS_RESULTS_FILE});
    }
    return firstCollision(inputs, outputs, "The statistics");
}

}  // namespace dravia
