#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "model/ModelState.h"
#include "model/Random.h"
#include "support/ModelWithPlot.h"

namespace dravia::test {

// A model with a scripted host and one empty plot that is the current plot.
struct ForestFixture : ModelWithPlot {
    ForestFixture() {
        model->params.BA_MAX = 7000.0;
        model->params.EVAP_FACTOR = 1.0;
        model->run.RANDOM_STATE = 4711.0;
    }

    Species& species(int sn) { return model->species[static_cast<size_t>(sn)]; }

    // A hardwood with HMAX 3000 cm and DMAX 100 cm: B2 57.26, B3 0.2863.
    Species& addSpecies(int sn, int shadeType) {
        Species& s = species(sn);
        s.DMAX = 100.0;
        s.HMAX = 3000.0;
        s.AGEMAX = 400.0;
        s.B2 = 57.26;
        s.B3 = 0.2863;
        s.G = 160.0;
        s.C = 1.5;
        s.MIN_DIAM_INC = 0.02;
        s.SITE_QUALITY = 0.8;
        s.SHADE_TYPE = shadeType;
        s.N_TYPE = 2;
        s.ABLE_TO_ENTER = 1;
        s.MAX_SAPLINGS = 5;
        if (model->NSPP < sn) model->NSPP = sn;
        return s;
    }

    Tree& addTree(int sn, double dbh) {
        const Species& s = species(sn);
        return plantTree(makeTree(sn, dbh, 130.0 + dbh * (s.B2 - s.B3 * dbh)));
    }
};

// How many numbers the generator produced between two states (-1 if more than limit).
inline int drawsBetween(double start, double end, int limit = 100000) {
    double state = start;
    for (int n = 0; n <= limit; ++n) {
        if (state == end) return n;
        randomUniform(state);
    }
    return -1;
}

// The next k numbers of a stream, without touching the model.
inline double peekDraw(double state, int k = 1) {
    double value = 0.0;
    for (int i = 0; i < k; ++i) value = randomUniform(state);
    return value;
}

// A species of middling needs for the site-quality factors: 1000 to 3000 degree-days,
// drought-tolerant to 0.4, half a metre of dry rooting depth, nitrogen-tolerant.
inline Species& plainSpecies(ForestFixture& f, int sn) {
    Species& s = f.addSpecies(sn, 3);
    s.DDMIN = 1000.0;
    s.DDMAX = 3000.0;
    s.WILT_FACTOR = 0.4;
    s.MIN_WATER_TABLE = 0.5;
    s.N_TYPE = 3;
    return s;
}

// A cool temperate site (44° N, 1 m of loam over a deep water table) at the station's
// elevation, with its long-term monthly weather.
inline void temperateSite(ForestFixture& f, double elevation) {
    Site& site = f.model->site;
    site.ELEVATION = elevation;
    site.LATITUDE = 44.0;
    site.SOIL_DEPTH = 1.1;
    site.ROOT_DEPTH = 0.9;
    site.WATER_DEPTH = 2.5;
    site.TEXTURE = 150.0;
    site.PERCENT_ROCK = 5.0;
    site.AVAIL_N = 90.0;
    f.model->weather.stationElevation = elevation;
    const double temperature[] = {-6.5, -5, 0.5, 7, 14, 18, 21, 20, 15.5, 9.5, 3, -4};
    const double precipitation[] = {70, 65, 80, 85, 90, 95, 90, 85, 80, 75, 80, 75};
    for (int m = 1; m <= MONTHS; ++m) {
        f.model->weather.meanTemperature[m] = temperature[m - 1];
        f.model->weather.meanPrecipitation[m] = precipitation[m - 1];
    }
}

}  // namespace dravia::test
