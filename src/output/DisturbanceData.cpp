#include "output/DisturbanceData.h"

#include <sys/stat.h>

#include <cstdio>

#include "output/RecordLayout.h"
#include "output/ResultsFile.h"
#include "output/Tally.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

void clearRemoved(Species& species) {
    species.REM_POP = 0;
    species.REM = {};
}

// Before the removal every tree of the plot is added; after it every survivor is taken off again,
// which leaves the removed trees.
void tallyRemoved(ModelState& model, const Plot& plot, bool beforeRemoval) {
    if (beforeRemoval) {
        for (Species& species : model.species) clearRemoved(species);
    }
    for (const Tree& tree : plot.trees) {
        if (tree.SN < 1 || tree.SN > MAX_SPECIES) continue;
        Species& species = model.species[tree.SN];
        const Amounts values = computeTreeValues(species, model.VOLUME_COEF[tree.SN], tree.DBH, tree.HEIGHT);
        species.REM += (beforeRemoval ? 1.0 : -1.0) * values;
        species.REM_POP += beforeRemoval ? 1 : -1;
    }
    if (!beforeRemoval) {
        // Subtracting the survivors from the whole may leave a tiny negative rounding residue.
        for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) clampResidues(model.species[sn].REM);
    }
}

// The run goes on without the lost records; the user hears of it once, not at every removal.
void reportLostData(ModelState& model, const std::string& reason) {
    std::string& lost = model.output.fileThatLostData;
    if (!lost.empty()) return;
    lost = model.params.DISTURBANCE_RESULTS_FILE;
    hostOf(model).showMessage(
        formatText("Error: Logging file %s could not be %s.", lost.c_str(), reason.c_str()),
        MessageIcon::Error);
}

void showOpenFailure(ModelState& model) {
    reportLostData(model, "opened");
}

void showWriteFailure(ModelState& model) {
    reportLostData(model, "written (" + writeFailureReason() + ")");
}

// The file is held from the run's first disturbance; one that could not be opened then is tried
// again at each later one, as records come.
bool openDisturbanceFile(ModelState& model) {
    if (openHeldFile(model, model.output.disturbanceFile, model.params.DISTURBANCE_RESULTS_FILE, true))
        return true;
    showOpenFailure(model);
    return false;
}

}  // namespace

std::string disturbanceHeaderText(const ModelState& model) {
    return disturbanceHeaderText(runHeaderOf(model));
}

std::string disturbanceRecordsText(const ModelState& model, const Plot& plot) {
    std::string text;
    appendDisturbanceRecords(text, model, plot);
    return text;
}

void appendDisturbanceRecords(std::string& text, const ModelState& model, const Plot& plot) {
    const RunState& run = model.run;
    // The species listed are those of the last tally, which the disturbance does not renew.
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        const Species& species = model.species[sn];
        if (species.POP < 1) continue;
        DisturbanceRecord record;
        record.iteration = run.CURRENT_ITERATION;
        record.year = run.CURRENT_YEAR;
        record.plot = plot.PLOT_NO;
        record.species = sn;
        record.removed = species.REM_POP;
        record.amounts = species.REM;
        appendDisturbanceRecord(text, record);
    }
}

void writeDisturbanceData(ModelState& model, const Plot& plot, bool beforeRemoval) {
    tallyRemoved(model, plot, beforeRemoval);
    HeldOutputFile& file = model.output.disturbanceFile;
    if (!model.output.DISTURBANCE_HEADER_WRITTEN && openDisturbanceFile(model)) {
        if (!file.empty() || !file.appendWhole(disturbanceHeaderText(model))) showWriteFailure(model);
        model.output.DISTURBANCE_HEADER_WRITTEN = true;
    }
    if (beforeRemoval) return;
    if (!openDisturbanceFile(model)) return;
    appendDisturbanceRecords(file.pending(), model, plot);
}

void writePendingDisturbanceData(ModelState& model) {
    HeldOutputFile& file = model.output.disturbanceFile;
    if (!file.isOpen() || file.pending().empty()) return;
    if (!file.writePending()) showWriteFailure(model);
}

std::string incompleteDisturbanceFileName(const std::string& name) {
    return name + ".incomplete";
}

namespace {

bool isRegularFile(const std::string& storedName) {
    struct stat info {};
    return lstat(toLocalPath(storedName).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void setAsideIncompleteDisturbanceData(ModelState& model) {
    const std::string& name = model.params.DISTURBANCE_RESULTS_FILE;
    if (model.output.fileThatLostData != name) return;
    // A rename needs no room on the disk that may just have filled; a device or pipe in place of
    // the file is left alone.
    const std::string aside = incompleteDisturbanceFileName(name);
    if (!isRegularFile(name) || std::rename(toLocalPath(name).c_str(), toLocalPath(aside).c_str()) != 0)
        return;
    hostOf(model).showMessage(formatText("The logging file %s lost records during the run and is kept as %s; "
                                         "no statistics are made from it.",
                                         name.c_str(), aside.c_str()),
                              MessageIcon::Error);
}

void removeIncompleteDisturbanceData(const RunParameters& params) {
    const std::string aside = incompleteDisturbanceFileName(params.DISTURBANCE_RESULTS_FILE);
    if (isRegularFile(aside)) std::remove(toLocalPath(aside).c_str());
}

}  // namespace dravia
