#include "input/StartupLoad.h"

#include "input/ColourFile.h"
#include "input/Communities.h"
#include "input/ModelOptionsFile.h"
#include "input/Parameters.h"
#include "input/PlotFile.h"
#include "input/ReaderError.h"
#include "input/SpeciesFile.h"
#include "platform/Host.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

int fixedCrownShape(int sn) {
    // The conifers are drawn as triangles.
    switch (sn) {
        case 9:
        case 10:
        case 21:
        case 22:
        case 23:
        case 24:
        case 25:
        case 29:
        case 30:
        case 32:
        case 33:
        case 40:
            return 0;
        default:
            return 1;
    }
}

void loadAtStartup(ModelState& model) {
    try {
        readRunTimeControlFile(model, RUN_TIME_CONTROL_FILE);
        model.params.initialValuesPath = canOpenForReading(STARTUP_INITIAL_VALUES_FILE)
                                             ? STARTUP_INITIAL_VALUES_FILE
                                             : FALLBACK_INITIAL_VALUES_FILE;
        readInitialValuesFile(model, model.params.initialValuesPath);
        readModelOptionsFile(model);
        readSpeciesFile(model);
        readPlotFile(model, PlotFileMode::Site);
        readColourFile(model);
        for (int sn = 1; sn <= MAX_SPECIES; ++sn)
            model.species[static_cast<size_t>(sn)].crownShape = fixedCrownShape(sn);
        setSpeciesColours(model);
        if (model.params.COMMUNITY != 0) applyCommunity(model, model.params.COMMUNITY, false);
    } catch (const ReaderError& error) {
        showReaderError(hostOf(model), error);
        throw ProgramExit{EXIT_STARTUP_READER};
    }
    model.run.RANDOM_STATE = model.params.SEED_INIT;
}

}  // namespace dravia
