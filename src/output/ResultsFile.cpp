#include "output/ResultsFile.h"

#include <cstdio>

#include "model/ErrorLog.h"
#include "output/RecordLayout.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

const std::string& fileNameOf(const ModelState& model, bool afterDisturbance) {
    return afterDisturbance ? model.params.AFTER_DISTURBANCE_RESULTS_FILE : model.params.RESULTS_FILE;
}

HeldOutputFile& heldFileOf(ModelState& model, bool afterDisturbance) {
    return afterDisturbance ? model.output.afterDisturbanceFile : model.output.resultsFile;
}

// The header and each year's block reach the file whole or not at all, so an interrupted run
// leaves a file that ends with a complete record; one that cannot take them (a full disk) ends
// the run there.
void reportWriteFailure(ModelState& model, bool afterDisturbance) {
    const std::string reason = writeFailureReason();
    const char* format = afterDisturbance
                             ? "Error: after disturbance results file %s could not be written (%s)."
                             : "Error: results file %s could not be written (%s).";
    hostOf(model).showMessage(formatText(format, fileNameOf(model, afterDisturbance).c_str(), reason.c_str()),
                              MessageIcon::Error);
    throw ProgramExit{EXIT_FATAL_ERROR};
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
        record.amounts = tree.amounts;
        appendTreeRecord(text, record);
    }
}

}  // namespace

std::string resultsHeaderText(const ModelState& model, bool afterDisturbance) {
    return resultsHeaderText(runHeaderOf(model), afterDisturbance);
}

std::string resultsBlockText(const ModelState& model, const Plot& plot) {
    std::string text;
    appendResultsBlock(text, model, plot);
    return text;
}

void appendResultsBlock(std::string& text, const ModelState& model, const Plot& plot) {
    const RunState& run = model.run;
    const bool everyTree = model.params.OUTPUT_EVERY_TREE && plot.NTREES >= 1;
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        const Species& species = model.species[sn];
        if (species.POP < 1) continue;
        SpeciesRecord record;
        record.iteration = run.CURRENT_ITERATION;
        record.year = run.CURRENT_YEAR;
        record.plot = plot.PLOT_NO;
        record.species = sn;
        record.population = species.POP;
        record.amounts = species.tally;
        appendSpeciesRecord(text, record);
        if (everyTree) appendTreeRecords(text, model, plot, sn);
    }
}

bool openHeldFile(ModelState& model, HeldOutputFile& file, const std::string& storedName, bool create) {
    switch (file.open(storedName, create)) {
        case HeldOutputFile::Opening::Opened:
            return true;
        case HeldOutputFile::Opening::CannotOpen:
            return false;
        case HeldOutputFile::Opening::HeldByAnotherRun:
            break;
    }
    hostOf(model).showMessage(heldByAnotherRunMessage(storedName), MessageIcon::Error);
    throw ProgramExit{EXIT_FATAL_ERROR};
}

void createResultsFile(ModelState& model, bool afterDisturbance) {
    const std::string& name = fileNameOf(model, afterDisturbance);
    HeldOutputFile& file = heldFileOf(model, afterDisturbance);
    if (!openHeldFile(model, file, name, true) || !file.empty()) {
        reportError(model, ErrorMessage::CannotCreateFile, name.c_str());
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
    file.pending().clear();
    if (!file.appendWhole(resultsHeaderText(model, afterDisturbance)))
        reportWriteFailure(model, afterDisturbance);
    bool& created =
        afterDisturbance ? model.output.afterDisturbanceFileCreated : model.output.resultsFileCreated;
    created = true;
}

void openResultsFile(ModelState& model, bool afterDisturbance) {
    const std::string& name = fileNameOf(model, afterDisturbance);
    if (!openHeldFile(model, heldFileOf(model, afterDisturbance), name, true)) {
        const char* format = afterDisturbance
                                 ? "Error: after disturbance results file %s could not be opened."
                                 : "Error: results file %s could not be opened.";
        hostOf(model).showMessage(formatText(format, name.c_str()), MessageIcon::Error);
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
}

void appendResults(ModelState& model, const Plot& plot, bool afterDisturbance) {
    appendResultsBlock(heldFileOf(model, afterDisturbance).pending(), model, plot);
}

void writePendingResults(ModelState& model, bool afterDisturbance) {
    HeldOutputFile& file = heldFileOf(model, afterDisturbance);
    if (!file.isOpen() || file.pending().empty()) return;
    if (!file.writePending()) reportWriteFailure(model, afterDisturbance);
}

}  // namespace dravia
