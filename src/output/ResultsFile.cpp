#include "output/ResultsFile.h"

#include <cstdio>

#include "model/ErrorLog.h"
#include "output/IterationAverages.h"
#include "output/RecordLayout.h"
#include "output/Tally.h"
#include "output/TreeBiodata.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

constexpr int RESULT_INTERVAL_LIMIT = 500;

bool isMultiple(int value, int interval) {
    return interval != 0 && value % interval == 0;
}

const std::string& fileNameOf(const ModelState& model, bool afterDisturbance) {
    return afterDisturbance ? model.params.AFTER_DISTURBANCE_RESULTS_FILE : model.params.RESULTS_FILE;
}

bool headerConditionHolds(const ModelState& model, bool afterDisturbance) {
    const RunState& run = model.run;
    if (run.CURRENT_ITERATION != 1) return false;
    if (run.CURRENT_YEAR == 1) return true;
    // The after-disturbance file also starts at the first disturbance year.
    return afterDisturbance && run.CURRENT_YEAR == model.params.FIRST_DISTURB_YEAR;
}

// The header and each year's block reach the file whole or not at all, so an interrupted run
// leaves a file that ends with a complete record; one that cannot take them (a full disk) ends
// the run there.
void writeAll(ModelState& model, std::FILE* file, const std::string& text, bool afterDisturbance) {
    if (appendWhole(file, text)) return;
    const char* format = afterDisturbance
                             ? "Error: after disturbance results file %s could not be written (the disk may be full)."
                             : "Error: results file %s could not be written (the disk may be full).";
    hostOf(model).showMessage(formatText(format, fileNameOf(model, afterDisturbance).c_str()),
                              MessageIcon::Error);
    throw ProgramExit{EXIT_FATAL_ERROR};
}

void createWithHeader(ModelState& model, bool afterDisturbance) {
    const std::string& name = fileNameOf(model, afterDisturbance);
    FileHandle file = openFile(name, "w");
    if (!file) {
        reportError(model, 15, name.c_str());
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
    writeAll(model, file.get(), resultsHeaderText(model, afterDisturbance), afterDisturbance);
    bool& created =
        afterDisturbance ? model.output.afterDisturbanceFileCreated : model.output.resultsFileCreated;
    created = true;
}

// More than 500 result intervals cannot be analysed: the interval is widened for the rest of the
// run, and the widened value is the one in force from now on.
void limitResultIntervals(ModelState& model) {
    RunParameters& params = model.params;
    if (params.RESULTS_INTERV == 0 ||
        static_cast<long long>(params.NUM_YEARS) / params.RESULTS_INTERV <= RESULT_INTERVAL_LIMIT)
        return;
    reportError(model, 10);
    params.RESULTS_INTERV = params.NUM_YEARS / RESULT_INTERVAL_LIMIT;
}

void appendTreeRecords(std::string& text, const ModelState& model, const Plot& plot, int sn) {
    const RunState& run = model.run;
    for (const Tree& tree : plot.trees) {
        if (tree.SN != sn) continue;
        TreeRecord record;
        record.newSapling = tree.BIRTH_YEAR == run.CURRENT_YEAR;
        record.iteration = run.CURRENT_ITERATION;
        record.birthYear = tree.BIRTH_YEAR;
        record.plot = tree.PLOT_NO;
        record.species = tree.SN;
        record.treeId = tree.TREE_ID;
        record.age = run.CURRENT_YEAR - tree.BIRTH_YEAR + 1;
        record.dbh = tree.DBH;
        record.height = tree.HEIGHT;
        record.amounts = {tree.TREE_BA,  tree.STEM_BM, tree.BARK_BM,  tree.BRANCH_BM,
                          tree.ROOT_BM,  tree.LEAF_BM, tree.TOT_BIOM, tree.TOT_VOL};
        appendTreeRecord(text, record);
    }
}

}  // namespace

std::string resultsHeaderText(const ModelState& model, bool afterDisturbance) {
    return resultsHeaderText(runHeaderOf(model), afterDisturbance);
}

std::string resultsBlockText(const ModelState& model) {
    const RunState& run = model.run;
    const Plot* plot = run.CURRENT_PLOT;
    std::string text;
    if (plot == nullptr) return text;
    const bool everyTree = model.params.OUTPUT_EVERY_TREE && plot->NTREES >= 1;
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        const Species& species = model.species[sn];
        if (species.POP < 1) continue;
        SpeciesRecord record;
        record.iteration = run.CURRENT_ITERATION;
        record.year = run.CURRENT_YEAR;
        record.plot = plot->PLOT_NO;
        record.species = sn;
        record.population = species.POP;
        record.amounts = {species.BA,      species.STEM_BM, species.BARK_BM,  species.BRANCH_BM,
                          species.ROOT_BM, species.LEAF_BM, species.TOT_BIOM, species.TOT_VOL};
        appendSpeciesRecord(text, record);
        if (everyTree) appendTreeRecords(text, model, *plot, sn);
    }
    return text;
}

void writeResults(ModelState& model, bool afterDisturbance) {
    const bool created =
        afterDisturbance ? model.output.afterDisturbanceFileCreated : model.output.resultsFileCreated;
    if (!created && headerConditionHolds(model, afterDisturbance)) createWithHeader(model, afterDisturbance);

    const std::string& name = fileNameOf(model, afterDisturbance);
    FileHandle file = openFile(name, "a");
    if (!file) {
        const char* format = afterDisturbance
                                 ? "Error: after disturbance results file %s could not be opened."
                                 : "Error: results file %s could not be opened.";
        hostOf(model).showMessage(formatText(format, name.c_str()), MessageIcon::Error);
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
    limitResultIntervals(model);
    writeAll(model, file.get(), resultsBlockText(model), afterDisturbance);
    file.reset();

    const RunState& run = model.run;
    if (run.CURRENT_YEAR == model.params.NUM_YEARS && run.CURRENT_ITERATION == model.params.NUM_ITERS) {
        writeTreeBiodata(model);
    }
}

void writeIntervalOutput(ModelState& model) {
    const RunParameters& params = model.params;
    const RunState& run = model.run;
    summarizePlot(model);
    // Year 1 has already been written by the yearly step's year-1 output; writing it again here
    // (results interval 1) would count that year twice.
    const bool yearOneWritten = run.CURRENT_YEAR == 1;
    if (params.FILE_OUTPUT_FLAG != 0 && params.RESULTS_INTERV > 0 &&
        isMultiple(run.CURRENT_YEAR, params.RESULTS_INTERV) && !yearOneWritten) {
        writeResults(model, false);
    }
    const bool lastPlotOfRun = run.CURRENT_YEAR == params.NUM_YEARS && run.CURRENT_PLOT != nullptr &&
                               run.CURRENT_PLOT->PLOT_NO == params.NUM_PLOTS;
    if (params.CALC_ITER_AVG == 1 && lastPlotOfRun) writeIterationAverages(model);
}

}  // namespace dravia
