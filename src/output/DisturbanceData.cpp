#include "output/DisturbanceData.h"

#include <cstdio>

#include "output/SiteNames.h"
#include "output/Tally.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Paths.h"

namespace dravia {

namespace {

void clearRemoved(Species& species) {
    species.REM_POP = 0;
    species.REM_BA = 0.0;
    species.REM_STEM_BM = 0.0;
    species.REM_BARK_BM = 0.0;
    species.REM_BRANCH_BM = 0.0;
    species.REM_ROOT_BM = 0.0;
    species.REM_LEAF_BM = 0.0;
    species.REM_TOT_BIOM = 0.0;
    species.REM_TOT_VOL = 0.0;
}

void addTree(Species& species, const TreeValues& values, double sign) {
    species.REM_BA += sign * values.TREE_BA;
    species.REM_STEM_BM += sign * values.STEM_BM;
    species.REM_BARK_BM += sign * values.BARK_BM;
    species.REM_BRANCH_BM += sign * values.BRANCH_BM;
    species.REM_ROOT_BM += sign * values.ROOT_BM;
    species.REM_LEAF_BM += sign * values.LEAF_BM;
    species.REM_TOT_BIOM += sign * values.TOT_BIOM;
    species.REM_TOT_VOL += sign * values.TOT_VOL;
}

// Subtracting the survivors from the whole may leave a tiny negative rounding residue.
void clampResidues(Species& species) {
    for (double* amount :
         {&species.REM_BA, &species.REM_STEM_BM, &species.REM_BARK_BM, &species.REM_BRANCH_BM,
          &species.REM_ROOT_BM, &species.REM_LEAF_BM, &species.REM_TOT_BIOM, &species.REM_TOT_VOL}) {
        if (*amount < 0.0) *amount = 0.0;
    }
}

// Before the removal every tree of the plot is added; after it every survivor is taken off again,
// which leaves the removed trees.
void tallyRemoved(ModelState& model, bool beforeRemoval) {
    if (beforeRemoval) {
        for (Species& species : model.species) clearRemoved(species);
    }
    const Plot* plot = model.run.CURRENT_PLOT;
    if (plot != nullptr) {
        for (const Tree& tree : plot->trees) {
            if (tree.SN < 1 || tree.SN > MAX_SPECIES) continue;
            Species& species = model.species[tree.SN];
            const TreeValues values =
                computeTreeValues(species, model.VOLUME_COEF[tree.SN], tree.DBH, tree.HEIGHT);
            addTree(species, values, beforeRemoval ? 1.0 : -1.0);
            species.REM_POP += beforeRemoval ? 1 : -1;
        }
    }
    if (!beforeRemoval) {
        for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) clampResidues(model.species[sn]);
    }
}

// The run goes on without the lost records; the user hears of it once, not at every removal.
void reportLostData(ModelState& model, const char* format) {
    std::string& lost = model.output.fileThatLostData;
    if (!lost.empty()) return;
    lost = model.params.DISTURBANCE_RESULTS_FILE;
    hostOf(model).showMessage(formatText(format, lost.c_str()), MessageIcon::Error);
}

void showOpenFailure(ModelState& model) {
    reportLostData(model, "Error: Logging file %s could not be opened.");
}

// The header and each removal's records reach the file whole or not at all.
void writeAll(ModelState& model, std::FILE* file, const std::string& text) {
    if (appendWhole(file, text)) return;
    reportLostData(model, "Error: Logging file %s could not be written (the disk may be full).");
}

}  // namespace

std::string disturbanceHeaderText(const ModelState& model) {
    const RunParameters& params = model.params;
    const Site& site = model.site;
    std::string text;
    appendFormat(text, "LOGGING DATA WITH A FREQUENCY OF %d YEARS\n", params.BLOW_FREQ);
    text += "NUM_ITERS  NUM_YEARS   RESULTS_INTERV\n";
    appendFormat(text, "%7d %10d %11d\n", params.NUM_ITERS, params.NUM_YEARS, params.RESULTS_INTERV);
    appendFormat(text, "ELEV= %-4.1f", site.ELEVATION);
    appendFormat(text, " ELEV_BASE= %-4.1f", model.weather.stationElevation);
    appendFormat(text, " TEXTURE= %-5.1f", site.TEXTURE);
    appendFormat(text, " SOIL_DEPTH= %-2.1f\n", site.SOIL_DEPTH);
    appendFormat(text, " WATER_DEPTH= %-2.1f", site.WATER_DEPTH);
    appendFormat(text, " AVAIL_N= %-5.1f", site.AVAIL_N);
    appendFormat(text, " HABITAT= %s\n", selectedHabitat(params).c_str());
    appendFormat(text, " WTHR_FILE= %s", params.WTHR_FILE.c_str());
    appendFormat(text, " WTHR_TYPE= %s", selectedWeatherType(params).c_str());
    appendFormat(text, " WTHR_CAL_YEARS= %s\n", params.WTHR_CAL_YEARS.c_str());
    if (params.CO2_FERT_OK == 0) text += " CO2_FERTILIZATION_SWITCH= OFF\n";
    if (params.CO2_FERT_OK == 1) text += " CO2_FERTILIZATION_SWITCH= ON\n";
    text +=
        "  ITER  YEAR    PLOT    SN      POP     BA       STEM_BM   BARK_BM  BRANCH_BM  ROOT_BM  LEAF_BM  "
        "TOT_BIOM   TOT_VOL  \n";
    return text;
}

std::string disturbanceRecordsText(const ModelState& model) {
    const RunState& run = model.run;
    const int plotNumber = run.CURRENT_PLOT != nullptr ? run.CURRENT_PLOT->PLOT_NO : 0;
    std::string text;
    // The species listed are those of the last tally, which the disturbance does not renew.
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        const Species& species = model.species[sn];
        if (species.POP < 1) continue;
        appendFormat(text, "%5d %5d %7d %6d %7d ", run.CURRENT_ITERATION, run.CURRENT_YEAR, plotNumber, sn,
                     species.REM_POP);
        appendFormat(text, "%8.1f %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f %9.1f \n", species.REM_BA,
                     species.REM_STEM_BM, species.REM_BARK_BM, species.REM_BRANCH_BM, species.REM_ROOT_BM,
                     species.REM_LEAF_BM, species.REM_TOT_BIOM, species.REM_TOT_VOL);
    }
    return text;
}

void writeDisturbanceData(ModelState& model, bool beforeRemoval) {
    tallyRemoved(model, beforeRemoval);
    const std::string& name = model.params.DISTURBANCE_RESULTS_FILE;
    if (!model.output.DISTURBANCE_HEADER_WRITTEN) {
        FileHandle file = openFile(name, "w");
        if (file) {
            writeAll(model, file.get(), disturbanceHeaderText(model));
            model.output.DISTURBANCE_HEADER_WRITTEN = true;
        } else {
            showOpenFailure(model);
        }
    }
    if (beforeRemoval) return;
    FileHandle file = openFile(name, "a");
    if (!file) {
        showOpenFailure(model);
        return;
    }
    writeAll(model, file.get(), disturbanceRecordsText(model));
}

}  // namespace dravia
