#include "output/TabularText.h"

#include "output/TreeBiodata.h"
#include "platform/Format.h"

namespace dravia {

namespace {

constexpr const char* TABLE_RULE =
    "\n----------------------------------------------------------------------\n";
constexpr double CELSIUS_TO_FAHRENHEIT_DAYS = 1.8;

// Between yearly steps no plot is current; the text then describes the plot stepped last,
// whose tallies are the ones the species records hold.
Plot* describedPlot(ModelState& model) {
    if (model.run.CURRENT_PLOT != nullptr) return model.run.CURRENT_PLOT;
    if (model.plots.empty()) return nullptr;
    return &model.plots.back();
}

void appendDisturbanceNote(std::string& text, const RunParameters& params) {
    // Only the windthrow probability decides which event the note names.
    if (params.BLOW_PROB != 0.0) {
        appendFormat(text, "Windthrow killed trees to a minimum diamter of %4.1f cm\n",
                     params.MIN_DIAM_TO_KILL_FOR_WINDTHROW);
    } else {
        appendFormat(text, "Plot was logged to a minimum diameter of %4.1f cm\n",
                     params.MIN_DIAM_TO_KILL_FOR_LOGGING);
    }
    text += "*** The following is for AFTER the disturbance ***\n";
}

}  // namespace

std::string removedTreesText(const ModelState& model) {
    std::string text = "\n\nTrees logged from the Plot:\n";
    text += "Species          Pop       Basal Area      Biomass      Volume\n";
    text += "             /100 m sq.    cm sq./m sq.    kg/m sq.    cu ft/acre\n";
    text += "----------------------------------------------------------------------\n";
    double treeSum = 0.0, basalAreaSum = 0.0, biomassSum = 0.0, volumeSum = 0.0;
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        const Species& species = model.species[sn];
        if (species.REM_POP <= 0) continue;
        appendFormat(text, "%-15s %3d %12.1f %15.1f %12.1f \n", species.NAME.c_str(), species.REM_POP,
                     species.REM.BA, species.REM.TOT_BIOM, species.REM.TOT_VOL);
        treeSum += static_cast<double>(species.REM_POP);
        basalAreaSum += species.REM.BA;
        biomassSum += species.REM.TOT_BIOM;
        volumeSum += species.REM.TOT_VOL;
    }
    text += TABLE_RULE;
    appendFormat(text, "TOTALS          %3.1f %12.1f %15.1f %12.1f \n", treeSum, basalAreaSum, biomassSum,
                 volumeSum);
    return text;
}

std::string buildTabularText(ModelState& model, bool showRemoved) {
    const RunParameters& params = model.params;
    const RunState& run = model.run;
    Plot* plot = describedPlot(model);
    std::string text;
    if (run.DISTURBANCE_REPORTED != 0) appendDisturbanceNote(text, params);
    appendFormat(text, "ITERATION %4d   PLOT %3d    YEAR %4d:     DEGREE DAYS = %5.1f F\n",
                 run.CURRENT_ITERATION, plot ? plot->PLOT_NO : 0, run.CURRENT_YEAR,
                 model.climate.DEGREE_DAYS * CELSIUS_TO_FAHRENHEIT_DAYS);
    text += "\nSpecies          Pop       Basal Area      Biomass      Volume";
    text += "\n             /100 m sq.    cm sq./m sq.    kg/m sq.    cu ft/acre";
    text += TABLE_RULE;
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        const Species& species = model.species[sn];
        if (species.POP <= 0) continue;
        appendFormat(text, "%-15s %3d %12.1f %15.1f %12.1f \n", species.NAME.c_str(), species.POP,
                     species.tally.BA, species.tally.TOT_BIOM, species.tally.TOT_VOL);
    }
    text += TABLE_RULE;
    appendFormat(text, "TOTALS          %3d %12.1f %15.1f %12.1f \n", plot ? plot->NTREES : 0,
                 plot ? plot->PLOT_BA : 0.0, plot ? plot->PLOT_BIOM : 0.0, plot ? plot->PLOT_VOL : 0.0);
    if (run.CURRENT_YEAR == params.NUM_YEARS && run.CURRENT_ITERATION == params.NUM_ITERS &&
        plot != nullptr) {
        writeTreeBiodata(model, plot);
    }
    if (showRemoved) text += removedTreesText(model);
    return text;
}

}  // namespace dravia
