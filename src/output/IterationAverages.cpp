#include "output/IterationAverages.h"

#include <string>

#include "platform/Format.h"
#include "platform/Host.h"

namespace dravia {

namespace {

constexpr const char* AVERAGES_RULE = "--------------------------------------------------------------\n";

void clearSums(ModelState& model, Plot* plot) {
    for (int sn = 1; sn <= MAX_SPECIES; ++sn) {
        Species& species = model.species[sn];
        species.POP_SUM = 0.0;
        species.BA_SUM = 0.0;
        species.BIOM_SUM = 0.0;
        species.VOL_SUM = 0.0;
    }
    if (plot != nullptr) {
        plot->AVG_POP_TOTAL = 0.0;
        plot->AVG_BA_TOTAL = 0.0;
        plot->AVG_BIOM_TOTAL = 0.0;
        plot->AVG_VOL_TOTAL = 0.0;
    }
}

void addLastYear(ModelState& model) {
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        Species& species = model.species[sn];
        species.POP_SUM += static_cast<double>(species.POP);
        species.BA_SUM += species.tally.BA;
        species.BIOM_SUM += species.tally.TOT_BIOM;
        species.VOL_SUM += species.tally.TOT_VOL;
    }
}

std::string averagesText(ModelState& model, Plot& plot) {
    const int iterations = model.params.NUM_ITERS;
    std::string text = "Type Q to quit, or P to pause when program is running.\n";
    appendFormat(text, "\nAverages from %d iteration(s):\n ", iterations);
    text += "\nSpecies          Pop    Basal Area    Biomass    Volume\n";
    text += AVERAGES_RULE;
    // A species missing from some iterations still counts them: the divisor is NUM_ITERS.
    const double share = 1.0 / static_cast<double>(iterations);
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) {
        Species& species = model.species[sn];
        species.POP_AVG = species.POP_SUM * share;
        species.BA_AVG = species.BA_SUM * share;
        species.BIOM_AVG = species.BIOM_SUM * share;
        species.VOL_AVG = species.VOL_SUM * share;
        if (species.POP_AVG > 0.0) {
            appendFormat(text, "%-18s %6.1f %13.1f %10.1f %9.1f\n", species.NAME.c_str(), species.POP_AVG,
                         species.BA_AVG, species.BIOM_AVG, species.VOL_AVG);
            plot.AVG_POP_TOTAL += species.POP_AVG;
            plot.AVG_BA_TOTAL += species.BA_AVG;
            plot.AVG_BIOM_TOTAL += species.BIOM_AVG;
            plot.AVG_VOL_TOTAL += species.VOL_AVG;
        }
    }
    text += AVERAGES_RULE;
    appendFormat(text, "                   %6.1f %13.1f %10.1f %9.1f\n", plot.AVG_POP_TOTAL,
                 plot.AVG_BA_TOTAL, plot.AVG_BIOM_TOTAL, plot.AVG_VOL_TOTAL);
    return text;
}

}  // namespace

void writeIterationAverages(ModelState& model, Plot& plot) {
    if (model.params.NUM_PLOTS != 1) return;
    const RunState& run = model.run;
    if (run.CURRENT_ITERATION == 1) clearSums(model, &plot);
    if (run.CURRENT_YEAR == model.params.NUM_YEARS) addLastYear(model);
    if (run.CURRENT_ITERATION == model.params.NUM_ITERS && model.params.NUM_ITERS > 0) {
        hostOf(model).writeStandardOutput(averagesText(model, plot));
    }
}

}  // namespace dravia
