#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "model/Birth.h"
#include "model/Death.h"
#include "model/Disturbance.h"
#include "model/ForestFixture.h"
#include "model/Growth.h"
#include "model/SiteQuality.h"
#include "model/Weather.h"

namespace dravia {
namespace {

using test::ForestFixture;

// Three invented species of a cool temperate hardwood stand, on three plots, stepped year
// by year through the forest processes in their yearly order.
struct ForestRun {
    ForestFixture f;
    ModelState& model = *f.model;
    int growthSteps = 0;
    int maxTrees = 0;
    std::vector<std::string> violations;

    explicit ForestRun(int climateChange, double seed) {
        model.run.RANDOM_STATE = seed;
        model.params.CLIMATE_CHANGE = climateChange;
        model.params.BA_MAX = 7000.0;
        model.params.CO2_FERT_OK = 1;
        model.params.CO2_FACTOR_DEF = 1.0;
        model.params.BLOW_DOWN = 1;
        model.params.BLOW_FREQ = 60;
        model.params.FIRST_DISTURB_YEAR = 90;
        model.params.MIN_DIAM_TO_KILL_FOR_LOGGING = 25.0;
        model.params.BLOW_PROB = 0.01;
        model.params.MIN_DIAM_TO_KILL_FOR_WINDTHROW = 0.0;
        model.params.SCREEN_OUTPUT_MODE = 3;
        Site& site = model.site;
        site.ELEVATION = 335.3;
        site.LATITUDE = 44.2;
        site.SOIL_DEPTH = 1.1;
        site.ROOT_DEPTH = 0.9;
        site.WATER_DEPTH = 2.5;
        site.TEXTURE = 150.0;
        site.PERCENT_ROCK = 5.0;
        site.AVAIL_N = 90.0;

        species(1, 3, 100.0, 3200.0, 380.0, 160.0, 1.5, 1222.2, 3611.1, 0.4, 4);
        species(2, 2, 80.0, 2800.0, 250.0, 180.0, 1.7, 1000.0, 3111.1, 0.35, 8).MIN_LIGHT = 0.3;
        species(3, 1, 45.0, 2100.0, 70.0, 220.0, 2.2, 666.7, 2888.9, 0.3, 15);

        model.weather.stationElevation = 274.3;
        const double temperature[] = {-6.7, -5.0, 0.6, 7.2, 13.9, 18.3, 21.1, 20.0, 15.6, 9.4, 2.8, -3.9};
        const double precipitation[] = {71, 66, 81, 86, 91, 97, 91, 86, 81, 76, 81, 76};
        model.weather.recordYears = 7;
        model.weather.years.resize(8);
        for (int m = 1; m <= MONTHS; ++m) {
            model.weather.meanTemperature[m] = temperature[m - 1];
            model.weather.meanPrecipitation[m] = precipitation[m - 1];
            for (int y = 1; y <= 7; ++y) {
                model.weather.years[static_cast<size_t>(y)].temperature[m] =
                    temperature[m - 1] + (y % 3) - 1.0;
                model.weather.years[static_cast<size_t>(y)].precipitation[m] =
                    precipitation[m - 1] * (0.6 + 0.1 * y);
            }
        }
        model.plots.clear();
        for (int p = 1; p <= 3; ++p) {
            Plot& plot = model.plots.emplace_back();
            plot.PLOT_NO = p;
            model.run.CURRENT_PLOT = &plot;
            for (double dbh : {22.0, 15.5, 6.1, 30.2, 12.8}) f.addTree(p == 3 ? 3 : 1, dbh);
        }
        if (climateChange != 1) computeSiteQuality(model);
    }

    Species& species(int sn, int shade, double dmax, double hmax, double agemax, double g, double c,
                     double ddmin, double ddmax, double wilt, int maxSaplings) {
        Species& s = f.addSpecies(sn, shade);
        s.DMAX = dmax;
        s.HMAX = hmax;
        s.AGEMAX = agemax;
        s.B2 = 2.0 * (hmax - 137.0) / dmax;
        s.B3 = (hmax - 137.0) / (dmax * dmax);
        s.G = g;
        s.C = c;
        s.DDMIN = ddmin;
        s.DDMAX = ddmax;
        s.WILT_FACTOR = wilt;
        s.MAX_SAPLINGS = maxSaplings;
        s.N_TYPE = shade;
        return s;
    }

    void check(const Plot& plot, bool afterGrowth) {
        if (plot.NTREES > maxTrees) maxTrees = plot.NTREES;
        if (plot.NTREES != static_cast<int>(plot.trees.size())) violations.push_back("NTREES");
        if (!std::isfinite(plot.PLOT_BA)) violations.push_back("PLOT_BA");
        for (const Tree& t : plot.trees) {
            const Species& s = model.species[static_cast<size_t>(t.SN)];
            if (!std::isfinite(t.DBH) || !std::isfinite(t.HEIGHT)) violations.push_back("tree not finite");
            if (afterGrowth && t.HEIGHT != 130.0 + t.DBH * (s.B2 - s.B3 * t.DBH))
                violations.push_back("HEIGHT");
        }
    }

    void run(int years) {
        for (int year = 1; year <= years; ++year) {
            model.run.CURRENT_YEAR = year;
            for (Plot& plot : model.plots) {
                model.run.CURRENT_PLOT = &plot;
                model.run.BIRTHS_THIS_YEAR.fill(0);
                if (model.params.CLIMATE_CHANGE == 1) {
                    takeWeatherYear(model, (year - 1) % 7 + 1);
                    computeSiteQuality(model);
                    checkClimate();
                }
                addSaplings(model, plot);
                check(plot, false);
                growTrees(model, plot);
                ++growthSteps;
                check(plot, true);
                killTrees(model, plot);
                check(plot, false);
                decideDisturbance(model, plot, {});
                check(plot, false);
            }
        }
        model.run.CURRENT_PLOT = nullptr;
    }

    void checkClimate() {
        const Climate& c = model.climate;
        for (int m = 1; m <= MONTHS; ++m) {
            for (double v : {c.E0[m], c.EVAP[m], c.WATER_S[m], c.RUNOFF[m], c.I[m], c.A[m]}) {
                if (!std::isfinite(v)) violations.push_back("climate not finite");
            }
        }
        for (int sn = 1; sn <= model.NSPP; ++sn) {
            if (!std::isfinite(model.species[static_cast<size_t>(sn)].SITE_QUALITY))
                violations.push_back("SQ");
        }
    }
};

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectSameForest(const ModelState& a, const ModelState& b) {
    ASSERT_EQ(a.plots.size(), b.plots.size());
    EXPECT_TRUE(sameBits(a.run.RANDOM_STATE, b.run.RANDOM_STATE));
    for (auto pa = a.plots.begin(), pb = b.plots.begin(); pa != a.plots.end(); ++pa, ++pb) {
        ASSERT_EQ(pa->trees.size(), pb->trees.size());
        EXPECT_TRUE(sameBits(pa->PLOT_BA, pb->PLOT_BA));
        for (auto ta = pa->trees.begin(), tb = pb->trees.begin(); ta != pa->trees.end(); ++ta, ++tb) {
            EXPECT_EQ(ta->SN, tb->SN);
            EXPECT_EQ(ta->AGE, tb->AGE);
            EXPECT_EQ(ta->TREE_ID, tb->TREE_ID);
            EXPECT_EQ(ta->BIRTH_YEAR, tb->BIRTH_YEAR);
            EXPECT_TRUE(sameBits(ta->DBH, tb->DBH));
            EXPECT_TRUE(sameBits(ta->HEIGHT, tb->HEIGHT));
        }
    }
}

TEST(ForestRun, ConstantClimateLongRunKeepsItsInvariants) {
    ForestRun run(0, 4711.0);
    for (int sn = 1; sn <= 3; ++sn)
        ASSERT_GT(run.model.species[static_cast<size_t>(sn)].SITE_QUALITY, 0.0) << sn;
    run.run(400);
    EXPECT_EQ(run.growthSteps, 1200);
    EXPECT_TRUE(run.violations.empty()) << run.violations.front();
    int trees = 0;
    for (const Plot& plot : run.model.plots) trees += plot.NTREES;
    EXPECT_GT(trees, 0);  // a forest, not a desert
    EXPECT_GT(run.maxTrees, 20);
}

TEST(ForestRun, YearToYearClimateLongRunKeepsItsInvariants) {
    ForestRun run(1, 12345.0);
    run.run(250);
    EXPECT_TRUE(run.violations.empty()) << run.violations.front();
}

TEST(ForestRun, SameSeedGivesTheSameForestTwice) {
    ForestRun first(1, 987.0);
    ForestRun second(1, 987.0);
    first.run(150);
    second.run(150);
    expectSameForest(first.model, second.model);

    ForestRun other(1, 988.0);
    other.run(150);
    EXPECT_FALSE(sameBits(other.model.run.RANDOM_STATE, first.model.run.RANDOM_STATE));
}

}  // namespace
}  // namespace dravia
