#include "input/Communities.h"

#include <initializer_list>

#include "input/ModelOptionsFile.h"
#include "input/Parameters.h"
#include "input/PlotFile.h"
#include "input/ReaderError.h"
#include "input/SpeciesFile.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

constexpr const char* COMMUNITY_FILES[9] = {
    nullptr,
    "Data\\ndfInitNormalParams.txt",
    "Data\\ndfInitTraParams.txt",
    "Data\\hbkInitNormalParams.txt",
    "Data\\hbkInitTraParams.txt",
    "Data\\virginiaInitNormalParams.txt",
    "Data\\virginiaInitTraParams.txt",
    "Data\\graylingInitNormalParams.txt",
    "Data\\graylingInitTraParams.txt",
};

// The Hubbard Brook community holds the first 13 species only.
constexpr int HUBBARD_BROOK_SPECIES = 13;

// A species switched off never regenerates and dies of slow growth.
void switchOff(ModelState& model, int sn) {
    if (sn < 1 || sn > model.NSPP || sn > MAX_SPECIES) return;
    Species& species = model.species[static_cast<size_t>(sn)];
    species.ABLE_TO_ENTER = 0;
    species.MAX_SAPLINGS = 0;
    species.MIN_DIAM_INC = 1000.0;
}

void switchOffCommunitySpecies(ModelState& model, int option) {
    switch (option) {
        case 3:
        case 4:
            for (int sn = HUBBARD_BROOK_SPECIES + 1; sn <= model.NSPP; ++sn) switchOff(model, sn);
            model.NSPP = HUBBARD_BROOK_SPECIES;
            break;
        case 5:
        case 6:
            for (int sn : {2, 10, 18, 30, 33, 34, 35, 40}) switchOff(model, sn);
            break;
        case 7:
        case 8:
            for (int sn : {10, 18, 33, 34, 35, 40}) switchOff(model, sn);
            break;
        default:
            break;
    }
}

void loadCommunityFiles(ModelState& model, int option) {
    try {
        model.params.initialValuesPath = COMMUNITY_FILES[option];
        readInitialValuesFile(model, model.params.initialValuesPath);
        readModelOptionsFile(model);
        readSpeciesFile(model);
        readPlotFile(model, PlotFileMode::Site);
        readPlotFile(model, PlotFileMode::Plots);
    } catch (const ReaderError& error) {
        showReaderError(hostOf(model), error);
        throw ProgramExit{EXIT_STARTUP_READER};
    }
    setSpeciesColours(model);
    hostOf(model).writeStandardOutput(formatText("Community option %d initialized\n", option));
}

}  // namespace

const char* communityInitialValuesFile(int option) {
    if (option < 1 || option > 8) return nullptr;
    return COMMUNITY_FILES[option];
}

void applyCommunity(ModelState& model, int option, bool loadFiles) {
    if (option < 1 || option > 8) return;
    if (loadFiles) loadCommunityFiles(model, option);
    switchOffCommunitySpecies(model, option);
}

void setSpeciesColours(ModelState& model) {
    const int community = model.params.COMMUNITY;
    // A community number no preset knows draws every species in colour 0, as no community does.
    const int row = community >= 0 && community <= 8 ? community : 0;
    for (int sn = 1; sn <= MAX_SPECIES; ++sn) {
        model.species[static_cast<size_t>(sn)].colourIndex =
            model.colourTable[static_cast<size_t>(row)][static_cast<size_t>(sn)];
    }
}

void reloadAfterNameChange(ModelState& model, const std::string& oldSpeciesFile,
                           const std::string& newSpeciesFile, const std::string& oldPlotFile,
                           const std::string& newPlotFile) {
    if (newSpeciesFile != oldSpeciesFile) {
        model.params.SPP_PARAM_FILE = newSpeciesFile;
        try {
            readSpeciesFile(model);
        } catch (const ReaderError& error) {
            hostOf(model).showMessage(error.what(), MessageIcon::None);
            model.params.SPP_PARAM_FILE = oldSpeciesFile;
        }
    }
    if (newPlotFile != oldPlotFile) {
        model.params.PLOT_FILE = newPlotFile;
        try {
            readPlotFile(model, PlotFileMode::Site);
        } catch (const ReaderError& error) {
            hostOf(model).showMessage(error.what(), MessageIcon::None);
            model.params.PLOT_FILE = oldPlotFile;
        }
    }
}

}  // namespace dravia
