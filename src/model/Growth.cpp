#include "model/Growth.h"

#include <array>
#include <cmath>

#include "model/Allometry.h"
#include "model/ErrorLog.h"
#include "model/TreeList.h"
#include "platform/Format.h"

namespace dravia {

namespace {

// CO2 response type of each species number 1..40 (index 0 unused).
constexpr std::array<int, MAX_SPECIES + 1> CO2_TYPE = {
    0,                             //
    6, 6, 1, 6, 6, 6, 1, 1, 5, 5,  //  1..10
    6, 1, 6, 6, 6, 1, 1, 6, 6, 6,  // 11..20
    5, 5, 2, 2, 2, 1, 6, 6, 6, 6,  // 21..30
    6, 5, 2, 6, 6, 6, 1, 1, 1, 6,  // 31..40
};

// Atmospheric CO2 (ppm) in simulation year y.
double co2Concentration(int year) {
    const double y = year;
    return 0.0205 * (y * y) + 1.2372 * y + 340.0 - 4.678e-05 * (y * y * y);
}

// The growth multiplier of a species' CO2 response type; types without a response keep
// the last factor computed.
double co2ResponseFactor(double co2, int type, double previous) {
    switch (type) {
        case 1:
            return 0.0042 * co2 - 0.053 - 2e-06 * (co2 * co2);
        case 2:
            return 0.0018 * co2 + 0.457 - 8e-07 * (co2 * co2);
        case 3:
            return 0.0014 * co2 + 0.582 - 6e-07 * (co2 * co2);
        case 4:
            return 0.0025 * co2 + 0.218 - 8e-07 * (co2 * co2);
        case 5:
            return 0.0012 * co2 + 0.625 - 5e-07 * (co2 * co2);
        case 6:
            return 0.0005 * co2 + 0.84 - 2e-07 * (co2 * co2);
        default:
            return previous;
    }
}

double co2Factor(ModelState& model, int sn) {
    const RunParameters& p = model.params;
    if (p.CO2_FACTOR_DEF != 1.0) return p.CO2_FACTOR_DEF;
    const int type = sn >= 1 && sn <= MAX_SPECIES ? CO2_TYPE[static_cast<size_t>(sn)] : 0;
    model.climate.co2Factor =
        co2ResponseFactor(co2Concentration(model.run.CURRENT_YEAR), type, model.climate.co2Factor);
    return model.climate.co2Factor;
}

// Diameter growth response to the light reaching the crown.
double lightResponse(int shadeType, double availableLight) {
    switch (shadeType) {
        case 1:
        case 2:
            return 2.24 * (1.0 - std::exp(-1.136 * (availableLight - 0.08)));
        case 3:
            return 1.0 - std::exp(-4.64 * (availableLight - 0.05));
        // A species of unknown shade tolerance is given no light response: it does not grow.
        default:
            return 0.0;
    }
}

}  // namespace

namespace {

// Where crowding is past the maximum basal area and the light below what a species can use, the
// two negative factors of the growth curve multiply to a positive increment that has no limit.
// A diameter beyond the largest the species dialog accepts would only grow on to infinity.
constexpr double LARGEST_FOLLOWED_DBH = 100000.0;

// Trees at least this thick at the start of the year are established: under climate memory they
// grow by the remembered climate, not the year's own.
constexpr double ESTABLISHED_DBH = 10.0;  // cm

[[noreturn]] void reportRunawayGrowth(ModelState& model, const Plot& plot, const Species& s) {
    endRunBeyondModel(model,
                      formatText("Error: a tree of %s on plot %d grew beyond %.0f cm in diameter in year %d "
                                 "of iteration %d.\nThe species values drive growth outside what the model "
                                 "can follow; check its growth constant and maximum number of saplings.",
                                 s.NAME.c_str(), plot.PLOT_NO, LARGEST_FOLLOWED_DBH, model.run.CURRENT_YEAR,
                                 model.run.CURRENT_ITERATION));
}

}  // namespace

void growTrees(ModelState& model, Plot& plot) {
    if (!plot.trees.empty()) sortTreesByHeight(plot);

    plot.PLOT_BA = 0.0;
    for (const Tree& tree : plot.trees) plot.PLOT_BA += 0.7853975 * (tree.DBH * tree.DBH);

    const double rock = model.site.PERCENT_ROCK;
    // The basal area the plot can carry once its rock is taken off.
    const double capacity = (100.0 - rock) * model.params.BA_MAX * 0.01;

    double leafArea = 0.0;        // of the trees walked so far
    double shadingArea = 0.0;     // leaf area above the current tree
    double previousHeight = 0.0;  // the tree before's height at the start of the year
    bool first = true;
    const bool memory = model.options.CLIMATE_MEMORY_YEARS > 1;
    for (Tree& tree : plot.trees) {
        const Species& s = model.species[static_cast<size_t>(tree.SN)];
        tree.SLOW_GROWTH = 0;

        // Trees of equal height stand side by side and do not shade each other.
        if (first) {
            shadingArea = 0.0;
        } else if (tree.HEIGHT < previousHeight) {
            shadingArea = leafArea;
        }
        first = false;
        previousHeight = tree.HEIGHT;
        const double availableLight = std::exp(-shadingArea / LEAF_AREA_EXTINCTION);

        // The plot and site readers keep the rock cover in range; should it slip through, the
        // site-data error is raised and a plot without room (capacity not positive) grows nothing.
        if (!(rock >= 0.0 && rock < 100.0)) reportError(model, ErrorMessage::SiteData);
        double f = 0.0;
        const double siteQuality =
            memory && tree.DBH >= ESTABLISHED_DBH ? s.ESTABLISHED_SITE_QUALITY : s.SITE_QUALITY;
        if (capacity > 0.0) f = (1.0 - plot.PLOT_BA / capacity) * siteQuality * s.G;
        if (model.params.CO2_FERT_OK == 1) f = f * co2Factor(model, tree.SN);

        leafArea = leafArea + s.C * (tree.DBH * tree.DBH);

        double a = 0.0;
        if (tree.DBH <= s.DMAX) {
            a = 260.0 + 3.0 * s.B2 * tree.DBH - 4.0 * s.B3 * (tree.DBH * tree.DBH);
        } else {
            a = 2.0 * s.HMAX / tree.DBH;
        }
        // A growth curve without a denominator or without a size limit gives no increment.
        const double sizeLimit = s.DMAX * s.HMAX;
        double potential = 0.0;
        if (a != 0.0 && sizeLimit != 0.0) {
            potential = f * tree.DBH * (1.0 - tree.DBH * tree.HEIGHT / sizeLimit) / a;
        }

        double increment = potential * lightResponse(s.SHADE_TYPE, availableLight);
        if (!(increment >= 0.001)) increment = 0.0;  // trees never shrink
        if (increment <= s.MIN_DIAM_INC) {
            tree.SLOW_GROWTH = 1;
            tree.SLOW_YEARS += 1;
        } else {
            tree.SLOW_YEARS = 0;
        }

        tree.LAST_DIAM_INC = increment;
        tree.AVAILABLE_LIGHT = availableLight;
        tree.DBH = tree.DBH + increment;
        tree.HEIGHT = heightOnCurve(s, tree.DBH);
        if (!(tree.DBH <= LARGEST_FOLLOWED_DBH)) reportRunawayGrowth(model, plot, s);
    }
}

}  // namespace dravia
