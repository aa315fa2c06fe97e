// The plot file in both modes. The first byte picks the mode (even: site items, odd: plots
// with their initial trees, read for the first iteration and set up again for the second);
// the rest is the file. The species table holds three species, as a small data set does.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "input/PlotFile.h"
#include "input/ReaderError.h"
#include "platform/ProgramExit.h"

using namespace dravia;

namespace {

void setUpSpecies(ModelState& model) {
    model.NSPP = 3;
    const double dmax[] = {100.0, 80.0, 45.0};
    const double hmax[] = {3200.0, 2800.0, 2100.0};
    for (int sn = 1; sn <= 3; ++sn) {
        Species& s = model.species[static_cast<size_t>(sn)];
        s.NAME = "Species_" + std::to_string(sn);
        s.DMAX = dmax[sn - 1];
        s.HMAX = hmax[sn - 1];
        s.B2 = 2.0 * (s.HMAX - 137.0) / s.DMAX;
        s.B3 = (s.HMAX - 137.0) / (s.DMAX * s.DMAX);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzz::enterScratchDirectory();
    static fuzz::SilentHost host;
    ModelState& model = fuzz::freshModel(host);
    setUpSpecies(model);
    model.params.PLOT_FILE = "Data\\plot.txt";
    model.params.NUM_PLOTS = 2;
    fuzz::writeInputFile(model.params.PLOT_FILE, data + 1, size - 1);
    const bool siteMode = data[0] % 2 == 0;
    try {
        if (siteMode) {
            readPlotFile(model, PlotFileMode::Site);
        } else {
            model.run.CURRENT_ITERATION = 1;
            readPlotFile(model, PlotFileMode::Plots);
            model.run.CURRENT_ITERATION = 2;
            readPlotFile(model, PlotFileMode::Plots);
            if (model.plots.size() != 2) fuzz::finding("plot count differs from NUM_PLOTS");
            for (const InitialTree& row : model.initialTrees) {
                if (row.SN < 1 || row.SN > model.NSPP) fuzz::finding("an initial tree of an unknown species");
            }
        }
    } catch (const ReaderError& error) {
        fuzz::checkRefusal(error.what(), model.params.PLOT_FILE, host);
    } catch (const ProgramExit& exit) {
        // Only the tree-row limit ends the program, after its numbered message.
        if (siteMode || exit.status != EXIT_FATAL_ERROR || host.messages.empty() ||
            host.messages.back().rfind("errorLog 7:", 0) != 0)
            fuzz::finding("the plot file ended the program without errorLog 7");
    }
    return 0;
}
