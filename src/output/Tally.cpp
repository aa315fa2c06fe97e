#include "output/Tally.h"

#include <cmath>

namespace dravia {

namespace {

constexpr double BASAL_AREA_FACTOR = 0.00785398;  // π/4, per 100 m sq.
constexpr double BIOMASS_FACTOR = 0.00001;
constexpr double CM_TO_INCHES = 0.39370078740157477;
constexpr double CM_TO_FEET = 0.03280839895013123;
constexpr double VOLUME_CONSTANT = 40.1687;

void clearSpeciesTallies(Species& species) {
    species.POP = 0;
    species.tally = {};
}

}  // namespace

double treeBasalArea(double dbh) {
    return BASAL_AREA_FACTOR * (dbh * dbh);
}

double treeVolume(const std::array<double, 3>& volumeCoefficients, double dbh, double height) {
    const double q1 = volumeCoefficients[0];
    const double q2 = volumeCoefficients[1];
    const double q3 = volumeCoefficients[2];
    const double di = dbh * CM_TO_INCHES;
    const double hf = height * CM_TO_FEET;
    // The form polynomial is negative for small stems (about 6.2 cm and less): they hold no
    // merchantable volume, whatever the species' intercept.
    double form = 0.000193 * (di * di * di) + (0.173 * di - 0.377) - 0.0088 * (di * di) -
                  0.0000015 * (di * di * di * di);
    if (form < 0.0) form = 0.0;
    form = form * hf;
    if (form == 0.0) return 0.0;
    return q1 + VOLUME_CONSTANT * (1.0 - q3) * q2 * (di * di) * form;
}

Amounts computeTreeValues(const Species& species, const std::array<double, 3>& volumeCoefficients, double dbh,
                          double height) {
    Amounts values;
    values.BA = treeBasalArea(dbh);
    values.STEM_BM = species.STEM_A * std::pow(dbh, species.STEM_B) * BIOMASS_FACTOR;
    values.BARK_BM = species.BARK_A * std::pow(dbh, species.BARK_B) * BIOMASS_FACTOR;
    values.BRANCH_BM = species.BRANCH_A * std::pow(dbh, species.BRANCH_B) * BIOMASS_FACTOR;
    values.ROOT_BM = species.ROOT_A * std::pow(dbh, species.ROOT_B) * BIOMASS_FACTOR;
    values.LEAF_BM = species.C * (dbh * dbh) * BIOMASS_FACTOR;
    values.TOT_BIOM = values.LEAF_BM + values.ROOT_BM + values.BRANCH_BM + values.BARK_BM + values.STEM_BM;
    values.TOT_VOL = treeVolume(volumeCoefficients, dbh, height);
    return values;
}

void summarizePlot(ModelState& model, Plot& plot) {
    for (int sn = 1; sn <= model.NSPP && sn <= MAX_SPECIES; ++sn) clearSpeciesTallies(model.species[sn]);
    plot.PLOT_BA = 0.0;
    plot.PLOT_BIOM = 0.0;
    plot.PLOT_VOL = 0.0;
    if (plot.NTREES < 1) return;
    for (Tree& tree : plot.trees) {
        if (tree.SN < 1 || tree.SN > MAX_SPECIES) continue;
        Species& species = model.species[tree.SN];
        const Amounts values = computeTreeValues(species, model.VOLUME_COEF[tree.SN], tree.DBH, tree.HEIGHT);
        plot.PLOT_BA += values.BA;
        species.POP += 1;
        species.tally += values;
        plot.PLOT_BIOM += values.TOT_BIOM;
        plot.PLOT_VOL += values.TOT_VOL;
        tree.amounts = values;
    }
}

}  // namespace dravia
