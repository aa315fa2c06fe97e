#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

#include "model/ForestFixture.h"
#include "model/Growth.h"
#include "platform/ProgramExit.h"
#include "support/Tolerance.h"

namespace dravia {
namespace {

using test::ForestFixture;

double expectedHeight(const Species& s, double dbh) {
    return 130.0 + dbh * (s.B2 - s.B3 * dbh);
}

TEST(GrowTrees, LoneTreeGrowsInFullLightByTheGrowthCurve) {
    ForestFixture f;
    f.addSpecies(1, 3);
    f.model->site.PERCENT_ROCK = 5.0;
    Tree& tree = f.addTree(1, 20.0);
    EXPECT_DOUBLE_EQ(tree.HEIGHT, 1160.68);

    growTrees(*f.model, f.plot());

    // Worked by hand: crowding 1 − 314.159/6650, the diameter-height curve at 20 cm and
    // the tolerant response to full light.
    EXPECT_SAME_VALUE(tree.DBH, 20.686612414201658);
    EXPECT_SAME_VALUE(tree.HEIGHT, 1191.9973691690693);
    EXPECT_EQ(tree.SLOW_GROWTH, 0);
    EXPECT_SAME_VALUE(f.plot().PLOT_BA, 0.7853975 * 400.0);  // from the diameter before growth
}

TEST(GrowTrees, SortsTallestFirstAndKeepsHeightOnTheCurve) {
    ForestFixture f;
    f.addSpecies(1, 3);
    f.addSpecies(2, 1).B2 = 40.0;
    f.addTree(1, 5.0);
    f.addTree(2, 30.0);
    f.addTree(1, 12.0);
    f.addTree(2, 2.5);

    growTrees(*f.model, f.plot());

    for (const Tree& t : f.plot().trees) EXPECT_DOUBLE_EQ(t.HEIGHT, expectedHeight(f.species(t.SN), t.DBH));
    EXPECT_EQ(f.plot().trees.front().SN, 2);
    EXPECT_GT(f.plot().trees.front().DBH, 30.0);
}

TEST(GrowTrees, TreesOfEqualHeightDoNotShadeEachOther) {
    ForestFixture f;
    f.addSpecies(1, 3);
    f.addTree(1, 30.0);  // the canopy tree
    f.addTree(1, 10.0);
    f.addTree(1, 10.0);
    f.addTree(1, 10.0);
    f.addTree(1, 9.0);  // shaded by all four above it

    // A lone 10 cm tree under the canopy tree alone, for comparison.
    ForestFixture g;
    g.addSpecies(1, 3);
    g.addTree(1, 30.0);
    g.addTree(1, 10.0);
    g.plot().PLOT_BA = 0.0;
    g.model->params.BA_MAX = 1e12;  // crowding out of the picture in both
    f.model->params.BA_MAX = 1e12;

    growTrees(*f.model, f.plot());
    growTrees(*g.model, g.plot());

    auto tree = f.plot().trees.begin();
    const double canopy = tree->DBH;
    const double first = (++tree)->DBH;
    const double second = (++tree)->DBH;
    const double third = (++tree)->DBH;
    const double shaded = (++tree)->DBH;
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, third);
    EXPECT_TO_DECIMALS(first, std::next(g.plot().trees.begin())->DBH, 6);
    EXPECT_TO_DECIMALS(canopy, g.plot().trees.front().DBH, 6);

    // The 9 cm tree is shaded by all four: the same as under the canopy tree and one tree
    // carrying the leaf area of the three (DBH² = 300).
    ForestFixture h;
    h.addSpecies(1, 3);
    h.model->params.BA_MAX = 1e12;
    h.addTree(1, 30.0);
    h.addTree(1, std::sqrt(300.0));
    h.addTree(1, 9.0);
    growTrees(*h.model, h.plot());
    EXPECT_SAME_VALUE(shaded, h.plot().trees.back().DBH);
}

TEST(GrowTrees, IncrementBelowAThousandthIsCutAndMarksSlowGrowth) {
    ForestFixture f;
    Species& s = f.addSpecies(1, 3);
    s.MIN_DIAM_INC = 0.0;
    f.model->site.PERCENT_ROCK = 5.0;
    // With site quality 0.8 the 20 cm tree grows 0.68661241 cm; scaled to 0.0009 cm it is cut.
    s.SITE_QUALITY = 0.8 * 0.0009 / 0.6866124142016578;
    Tree& tree = f.addTree(1, 20.0);
    growTrees(*f.model, f.plot());
    EXPECT_EQ(tree.DBH, 20.0);
    EXPECT_EQ(tree.SLOW_GROWTH, 1);

    // 0.0011 cm is kept, and is slow growth only when at or below MIN_DIAM_INC.
    s.SITE_QUALITY = 0.8 * 0.0011 / 0.6866124142016578;
    tree.DBH = 20.0;
    tree.HEIGHT = expectedHeight(s, 20.0);
    growTrees(*f.model, f.plot());
    EXPECT_SAME_VALUE(tree.DBH, 20.0011);
    EXPECT_EQ(tree.SLOW_GROWTH, 0);
}

TEST(GrowTrees, TreeAboveMaximumDiameterDoesNotShrink) {
    ForestFixture f;
    f.addSpecies(1, 3);
    f.model->params.BA_MAX = 1e6;  // uncrowded: an overfull plot would turn both signs
    Tree& tree = f.addTree(1, 110.0);
    growTrees(*f.model, f.plot());
    EXPECT_EQ(tree.DBH, 110.0);
    EXPECT_EQ(tree.SLOW_GROWTH, 1);
    EXPECT_DOUBLE_EQ(tree.HEIGHT, expectedHeight(f.species(1), 110.0));
}

TEST(GrowTrees, OvercrowdedPlotGrowsNothing) {
    ForestFixture f;
    f.addSpecies(1, 3);
    f.model->site.PERCENT_ROCK = 50.0;
    f.model->params.BA_MAX = 1000.0;  // room for 500 cm² once the rock is taken off
    f.addTree(1, 20.0);
    f.addTree(1, 18.0);  // 566 cm² together
    growTrees(*f.model, f.plot());
    for (const Tree& t : f.plot().trees) EXPECT_EQ(t.SLOW_GROWTH, 1);
    EXPECT_EQ(f.plot().trees.front().DBH, 20.0);
}

double incrementWith(int co2FertOk, double co2FactorDef, int sn, int year = 1) {
    ForestFixture f;
    f.addSpecies(sn, 3);
    f.model->run.CURRENT_YEAR = year;
    f.model->params.CO2_FERT_OK = co2FertOk;
    f.model->params.CO2_FACTOR_DEF = co2FactorDef;
    f.addTree(sn, 20.0);
    growTrees(*f.model, f.plot());
    return f.plot().trees.front().DBH - 20.0;
}

TEST(GrowTrees, CarbonDioxideFactorOfTheFirstYear) {
    // Species 1 responds by type 6: the year-1 CO2 of 341.25765322 ppm gives 0.98733747.
    ForestFixture f;
    f.addSpecies(1, 3);
    f.model->params.CO2_FERT_OK = 1;
    f.model->params.CO2_FACTOR_DEF = 1.0;
    f.addTree(1, 20.0);
    growTrees(*f.model, f.plot());
    EXPECT_TO_DECIMALS(f.model->climate.co2Factor, 0.98733747, 8);
    EXPECT_TO_DECIMALS(incrementWith(1, 1.0, 1) / incrementWith(0, 1.0, 1), 0.98733747, 8);

    // Species 3 responds by type 1 to the same 341.25765322 ppm.
    const double co2 = 341.25765322;
    EXPECT_SAME_VALUE(incrementWith(1, 1.0, 3) / incrementWith(0, 1.0, 3),
                      0.0042 * co2 - 0.053 - 2e-06 * co2 * co2);
}

TEST(GrowTrees, FixedCarbonDioxideFactorAppliesToEverySpecies) {
    EXPECT_SAME_VALUE(incrementWith(1, 1.2, 1) / incrementWith(0, 1.2, 1), 1.2);
    EXPECT_SAME_VALUE(incrementWith(1, 1.2, 3) / incrementWith(0, 1.2, 3), 1.2);
    // CO2_FERT_OK other than 1 leaves growth alone.
    EXPECT_EQ(incrementWith(2, 1.2, 1), incrementWith(0, 1.2, 1));
}

TEST(GrowTrees, ZeroSiteQualityMeansNoGrowth) {
    ForestFixture f;
    f.addSpecies(1, 1).SITE_QUALITY = 0.0;
    Tree& tree = f.addTree(1, 15.0);
    growTrees(*f.model, f.plot());
    EXPECT_EQ(tree.DBH, 15.0);
}

TEST(GrowTrees, EmptyPlotHasNoBasalArea) {
    ForestFixture f;
    f.plot().PLOT_BA = 123.0;
    growTrees(*f.model, f.plot());
    EXPECT_EQ(f.plot().PLOT_BA, 0.0);
    EXPECT_TRUE(f.plot().trees.empty());
}

TEST(GrowTrees, UnknownShadeTypeAndRockOutOfRangeStayFinite) {
    ForestFixture f;
    f.addSpecies(1, 7);
    f.addTree(1, 15.0);
    f.model->site.PERCENT_ROCK = 100.0;
    growTrees(*f.model, f.plot());
    EXPECT_EQ(f.plot().trees.front().DBH, 15.0);
    EXPECT_TRUE(std::isfinite(f.plot().trees.front().HEIGHT));
    EXPECT_TRUE(f.host.messages.empty());  // the site-data error shows nothing
}

// Diameters beyond the largest any species may have are where the growth curve runs away to
// infinity; the run ends there instead of writing inf into the results.
TEST(GrowTrees, ADiameterBeyondWhatTheModelFollowsEndsTheRun) {
    ForestFixture f;
    f.addSpecies(1, 3).NAME = "Sugar_maple";
    f.addTree(1, 100000.5);
    try {
        growTrees(*f.model, f.plot());
        FAIL() << "the run went on";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_FATAL_ERROR);
    }
    EXPECT_EQ(
        f.host.lastMessage(),
        "Error: a tree of Sugar_maple on plot 1 grew beyond 100000 cm in diameter in year 1 of iteration 1.\n"
        "The species values drive growth outside what the model can follow; check its growth constant and "
        "maximum number of saplings.");
}

// The count of consecutive slow years grows with each slow year and starts again after a year of
// normal growth (a lone tree grows about 0.69 cm a year here; MIN_DIAM_INC decides which is slow).
TEST(GrowTrees, ConsecutiveSlowYearsCountUpAndANormalYearResetsThem) {
    ForestFixture f;
    Species& s = f.addSpecies(1, 3);
    Tree& tree = f.addTree(1, 20.0);
    struct Year {
        double minimumIncrement;
        int slowYears;
    };
    for (const Year year : {Year{5.0, 1}, Year{5.0, 2}, Year{0.01, 0}, Year{5.0, 1}}) {
        s.MIN_DIAM_INC = year.minimumIncrement;
        growTrees(*f.model, f.plot());
        EXPECT_EQ(tree.SLOW_YEARS, year.slowYears) << year.minimumIncrement;
        EXPECT_EQ(tree.SLOW_GROWTH, year.slowYears > 0 ? 1 : 0);
    }
}

// Under climate memory a tree of at least 10 cm at the start of the year grows by the remembered
// site quality, a smaller one by the year's own; without it every tree grows by the year's own.
TEST(GrowTrees, EstablishedTreesGrowByTheRememberedSiteQuality) {
    struct Row {
        int memoryYears;
        double dbh;
        bool grows;
    };
    for (const Row row : {Row{5, 10.0, true}, Row{5, 9.99, false}, Row{1, 10.0, false}, Row{2, 30.0, true}}) {
        ForestFixture f;
        Species& s = f.addSpecies(1, 3);
        s.SITE_QUALITY = 0.0;  // the year's own: no growth
        s.ESTABLISHED_SITE_QUALITY = 0.8;
        f.model->options.CLIMATE_MEMORY_YEARS = row.memoryYears;
        Tree& tree = f.addTree(1, row.dbh);
        growTrees(*f.model, f.plot());
        EXPECT_EQ(tree.DBH > row.dbh, row.grows) << row.memoryYears << " " << row.dbh;
    }
}

}  // namespace
}  // namespace dravia
