#include "model/Birth.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

#include "model/Allometry.h"
#include "model/ErrorLog.h"
#include "model/Random.h"
#include "model/TreeList.h"
#include "platform/Format.h"

namespace dravia {

namespace {

constexpr double OPEN_CANOPY_LIGHT = 0.99;  // light at which the canopy counts as open
// This species only regenerates beneath an established canopy of at least this leaf area.
constexpr int UNDERSTOREY_SPECIES = 36;
constexpr double UNDERSTOREY_MIN_LEAF_AREA = 400.0;

struct FloorLight {
    double availableLight = 1.0;
    double intolerantResponse = 0.0;  // E: intolerant and intermediate species
    double tolerantResponse = 0.0;    // T: tolerant species
};

FloorLight lightAtForestFloor(double leafArea) {
    FloorLight light;
    light.availableLight = std::exp(-leafArea / LEAF_AREA_EXTINCTION);
    const double al = light.availableLight;
    light.intolerantResponse = std::max(0.0, 1.5424 * (1.0 - std::exp(-1.136 * (al - 0.08))));
    light.tolerantResponse = std::max(0.0, 1.0123 * (1.0 - std::exp(-4.64 * (al - 0.05))));
    return light;
}

// Saplings of a species entering this year; draws random numbers only as its tolerance
// rule requires.
int saplingCount(ModelState& model, const Species& s, const FloorLight& light, bool intolerantPresent) {
    const double al = light.availableLight;
    switch (s.SHADE_TYPE) {
        case 1: {
            if (al < OPEN_CANOPY_LIGHT) return 0;
            const double u = randomUniform(model);
            return static_cast<int>(u * s.MAX_SAPLINGS * s.SITE_QUALITY * light.intolerantResponse + 0.5);
        }
        case 2: {
            if (intolerantPresent && al >= OPEN_CANOPY_LIGHT) return 0;
            if (al <= s.MIN_LIGHT) return 0;
            const double u1 = randomUniform(model);
            if (!(light.intolerantResponse * s.SITE_QUALITY > u1)) return 0;
            const double u2 = randomUniform(model);
            return static_cast<int>(u2 * s.MAX_SAPLINGS + 0.5);
        }
        case 3: {
            const double u1 = randomUniform(model);
            if (!(light.tolerantResponse * s.SITE_QUALITY > u1)) return 0;
            const double u2 = randomUniform(model);
            return static_cast<int>(u2 * s.MAX_SAPLINGS + 0.5);
        }
        default:
            return 0;
    }
}

// Links the sapling in behind every tree at least as tall as it.
void insertSapling(Plot& plot, const Tree& sapling) {
    auto position = plot.trees.end();
    while (position != plot.trees.begin() && sapling.HEIGHT > std::prev(position)->HEIGHT) --position;
    insertTree(plot, position, sapling);
}

}  // namespace

void addSaplings(ModelState& model, Plot& plot) {
    double leafArea = 0.0;
    for (const Tree& tree : plot.trees) {
        const Species& s = model.species[static_cast<size_t>(tree.SN)];
        leafArea += s.C * (tree.DBH * tree.DBH);
    }

    bool intolerantPresent = false;
    for (int sn = 1; sn <= model.NSPP; ++sn) {
        const Species& s = model.species[static_cast<size_t>(sn)];
        if (s.SHADE_TYPE == 1 && s.SITE_QUALITY > 0.0) intolerantPresent = true;
    }

    // The light at the floor is worked out when the first species that may enter asks for it; a
    // plot where none may enter does not pay for it.
    std::optional<FloorLight> light;

    for (int sn = 1; sn <= model.NSPP; ++sn) {
        const Species& s = model.species[static_cast<size_t>(sn)];
        if (s.ABLE_TO_ENTER == 0 || !(s.SITE_QUALITY > 0.0)) continue;
        if (sn == UNDERSTOREY_SPECIES && leafArea < UNDERSTOREY_MIN_LEAF_AREA) continue;

        if (!light) light = lightAtForestFloor(leafArea);
        const int count = saplingCount(model, s, *light, intolerantPresent);
        if (static_cast<long long>(plot.NTREES) + count > MAX_TREES_PER_PLOT) {
            endRunBeyondModel(
                model,
                formatText("Error: %d saplings of %s would bring plot %d above %d trees in year %d of "
                           "iteration %d.\nA plot of 100 square metres cannot hold so many trees; lower the "
                           "species' maximum number of saplings (MAX_SAPLINGS).",
                           count, s.NAME.c_str(), plot.PLOT_NO, MAX_TREES_PER_PLOT, model.run.CURRENT_YEAR,
                           model.run.CURRENT_ITERATION));
        }
        for (int k = 0; k < count; ++k) {
            Tree sapling;
            sapling.BIRTH_YEAR = model.run.CURRENT_YEAR;
            sapling.PLOT_NO = plot.PLOT_NO;
            model.run.BIRTHS_THIS_YEAR[static_cast<size_t>(sn)] += 1;
            sapling.TREE_ID = model.run.BIRTHS_THIS_YEAR[static_cast<size_t>(sn)];
            sapling.SN = sn;
            sapling.SLOW_GROWTH = 0;
            const double u = randomUniform(model);
            sapling.DBH = 2.0 + 7.9 * (u * u * u);  // mostly near 2 cm, at most 9.9 cm
            sapling.HEIGHT = heightOnCurve(s, sapling.DBH);
            insertSapling(plot, sapling);  // counts the tree into NTREES
        }
    }
}

}  // namespace dravia
