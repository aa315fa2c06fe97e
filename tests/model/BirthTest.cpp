#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/Birth.h"
#include "model/ForestFixture.h"
#include "platform/ProgramExit.h"
#include "support/Tolerance.h"

namespace dravia {
namespace {

using test::drawsBetween;
using test::ForestFixture;
using test::peekDraw;

// State two draws before state 1 (16807² × 1475608308 ≡ 1 mod 2147483647): the first draw
// returns 1407677000/2147483647 = 0.6555, the second 1/2147483647.
constexpr double STATE_TWO_BEFORE_ONE = 1475608308.0;

int drawsOf(ForestFixture& f) {
    const double start = f.model->run.RANDOM_STATE;
    addSaplings(*f.model, f.plot());
    return drawsBetween(start, f.model->run.RANDOM_STATE);
}

TEST(AddSaplings, SaplingOfTwoCentimetresIs243Point3748Tall) {
    ForestFixture f;
    Species& s = f.addSpecies(1, 1);
    s.MAX_SAPLINGS = 1;
    s.SITE_QUALITY = 1.0;
    // The count draw is 0.6555, giving one sapling; its diameter draw is 1/2147483647,
    // so its DBH is 2 cm to within 1e-27.
    f.model->run.RANDOM_STATE = STATE_TWO_BEFORE_ONE;
    addSaplings(*f.model, f.plot());
    ASSERT_EQ(f.plot().NTREES, 1);
    const Tree& sapling = f.plot().trees.front();
    EXPECT_EQ(sapling.DBH, 2.0);
    EXPECT_SAME_VALUE(sapling.HEIGHT, 243.3748);
    EXPECT_EQ(f.model->run.RANDOM_STATE, 1.0);  // exactly two draws
}

TEST(AddSaplings, SaplingRecordCarriesBirthYearPlotAndNumber) {
    ForestFixture f;
    f.plot().PLOT_NO = 3;
    f.model->run.CURRENT_YEAR = 17;
    Species& s = f.addSpecies(1, 3);
    s.SITE_QUALITY = 1.0;
    s.MAX_SAPLINGS = 40;
    f.model->run.BIRTHS_THIS_YEAR[1] = 2;  // two born earlier this year on another plot
    addSaplings(*f.model, f.plot());
    ASSERT_GT(f.plot().NTREES, 0);
    EXPECT_EQ(f.plot().NTREES, static_cast<int>(f.plot().trees.size()));
    std::vector<int> ids;
    for (const Tree& t : f.plot().trees) {
        EXPECT_EQ(t.BIRTH_YEAR, 17);
        EXPECT_EQ(t.PLOT_NO, 3);
        EXPECT_EQ(t.SN, 1);
        EXPECT_EQ(t.AGE, 0);
        EXPECT_GE(t.DBH, 2.0);
        EXPECT_LE(t.DBH, 9.9);
        EXPECT_DOUBLE_EQ(t.HEIGHT, 130.0 + t.DBH * (57.26 - 0.2863 * t.DBH));
        ids.push_back(t.TREE_ID);
    }
    EXPECT_EQ(f.model->run.BIRTHS_THIS_YEAR[1], 2 + f.plot().NTREES);
    std::sort(ids.begin(), ids.end());
    for (size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(ids[i], static_cast<int>(i) + 3);
    // Tallest first.
    for (auto t = f.plot().trees.begin(); std::next(t) != f.plot().trees.end(); ++t) {
        EXPECT_GE(t->HEIGHT, std::next(t)->HEIGHT);
    }
}

TEST(AddSaplings, DrawCountsFollowTheToleranceRules) {
    // Open ground: intolerant species draw once plus once per sapling.
    {
        ForestFixture f;
        Species& s = f.addSpecies(1, 1);
        s.MAX_SAPLINGS = 10;
        const int draws = drawsOf(f);
        EXPECT_EQ(draws, 1 + f.plot().NTREES);
    }
    // Intermediate species on open ground beside an intolerant one with site quality: nothing,
    // even when the intolerant species may not enter.
    {
        ForestFixture f;
        f.addSpecies(1, 1).ABLE_TO_ENTER = 0;
        f.addSpecies(2, 2);
        EXPECT_EQ(drawsOf(f), 0);
        EXPECT_EQ(f.plot().NTREES, 0);
    }
    // Ineligible species draw nothing: not able to enter, or no site quality.
    {
        ForestFixture f;
        f.addSpecies(1, 3).ABLE_TO_ENTER = 0;
        f.addSpecies(2, 3).SITE_QUALITY = 0.0;
        f.addSpecies(3, 9);  // unknown tolerance: eligible but no rule
        EXPECT_EQ(drawsOf(f), 0);
    }
    // A tolerant species whose first draw fails draws once.
    {
        ForestFixture f;
        f.addSpecies(1, 3).SITE_QUALITY = 1e-9;
        EXPECT_EQ(drawsOf(f), 1);
        EXPECT_EQ(f.plot().NTREES, 0);
    }
}

TEST(AddSaplings, IntolerantSpeciesNeedOpenGround) {
    ForestFixture f;
    f.addSpecies(1, 1);
    Species& canopy = f.addSpecies(2, 3);
    canopy.ABLE_TO_ENTER = 0;
    // Leaf area 1.5 × 3.6² × ... chosen so that light is just below 0.99.
    const double leafArea = -6000.0 * std::log(0.9899);
    f.addTree(2, std::sqrt(leafArea / canopy.C));
    EXPECT_EQ(drawsOf(f), 0);
    EXPECT_EQ(f.plot().NTREES, 1);
}

TEST(AddSaplings, IntermediateSpeciesNeedMoreThanTheirMinimumLight) {
    ForestFixture f;
    Species& s = f.addSpecies(1, 2);
    s.SITE_QUALITY = 1.0;
    Species& canopy = f.addSpecies(2, 3);
    canopy.ABLE_TO_ENTER = 0;
    f.addTree(2, 40.0);  // leaf area 2400: light exp(-0.4) = 0.670
    s.MIN_LIGHT = std::exp(-0.4);
    EXPECT_EQ(drawsOf(f), 0);
    s.MIN_LIGHT = 0.6;
    EXPECT_GE(drawsOf(f), 1);
}

TEST(AddSaplings, OpenGroundResponsesSlightlyAboveAndBelowOne) {
    // Intolerant response on open ground is 1.0000156: a product of 0.5 / 1.00001 before the
    // response reaches 0.5 and rounds up to one sapling, 0.5 / 1.00002 stays below and gives none.
    for (const auto& [scale, expected] : {std::pair{1.00001, 1}, std::pair{1.00002, 0}}) {
        ForestFixture f;
        Species& s = f.addSpecies(1, 1);
        s.MAX_SAPLINGS = 1;
        const double u = peekDraw(f.model->run.RANDOM_STATE);
        s.SITE_QUALITY = 0.5 / (u * scale);
        addSaplings(*f.model, f.plot());
        EXPECT_EQ(f.plot().NTREES, expected) << scale;
    }
    // Tolerant response on open ground is 0.9999707.
    for (const auto& [scale, draws] : {std::pair{0.99996, 2}, std::pair{0.99998, 1}}) {
        ForestFixture f;
        Species& s = f.addSpecies(1, 3);
        s.MAX_SAPLINGS = 0;
        const double u1 = peekDraw(f.model->run.RANDOM_STATE);
        s.SITE_QUALITY = u1 / scale;
        EXPECT_EQ(drawsOf(f), draws) << scale;
    }
}

TEST(AddSaplings, UnderstoreySpeciesWaitsForACanopy) {
    ForestFixture f;
    for (int sn = 1; sn <= 35; ++sn) f.addSpecies(sn, 3).ABLE_TO_ENTER = 0;
    Species& s = f.addSpecies(36, 3);
    s.SITE_QUALITY = 1.0;
    f.addTree(1, std::sqrt(399.0 / 1.5));  // leaf area just below 400
    EXPECT_EQ(drawsOf(f), 0);
    f.plot().trees.front().DBH = std::sqrt(400.0 / 1.5) + 1e-9;
    EXPECT_GE(drawsOf(f), 1);
}

TEST(AddSaplings, SaplingGoesBehindTreesOfEqualOrGreaterHeight) {
    ForestFixture f;
    Species& s = f.addSpecies(1, 3);
    s.B2 = 0.0;
    s.B3 = 0.0;  // every tree of this species is 130 cm tall
    s.SITE_QUALITY = 1.0;
    s.MAX_SAPLINGS = 40;
    Species& other = f.addSpecies(2, 3);
    other.ABLE_TO_ENTER = 0;
    other.C = 0.0;  // casts no shade
    Tree& tall = f.addTree(2, 30.0);
    tall.TREE_ID = -1;
    Tree& equal = f.addTree(1, 3.0);
    equal.TREE_ID = -2;
    Tree& shorter = f.addTree(2, 0.0);
    shorter.HEIGHT = 129.0;
    shorter.TREE_ID = -3;
    const int before = f.plot().NTREES;
    addSaplings(*f.model, f.plot());
    const int added = f.plot().NTREES - before;
    ASSERT_GE(added, 2);
    std::vector<int> ids;
    for (const Tree& t : f.plot().trees) ids.push_back(t.TREE_ID);
    // Tall, the old 130 cm tree, then the saplings in their order of birth, then the shorter tree.
    std::vector<int> expected = {-1, -2};
    for (int i = 1; i <= added; ++i) expected.push_back(i);
    expected.push_back(-3);
    EXPECT_EQ(ids, expected);
}

TEST(AddSaplings, LightIsThatOfTheCanopyBeforeAnySapling) {
    // A second tolerant species sees the same light however many saplings the first added:
    // its draws are the same as on its own.
    ForestFixture alone;
    alone.addSpecies(1, 3).ABLE_TO_ENTER = 0;
    alone.addSpecies(2, 3).SITE_QUALITY = 0.5;
    ForestFixture both;
    Species& first = both.addSpecies(1, 3);
    first.MAX_SAPLINGS = 40;
    first.C = 1000.0;
    first.SITE_QUALITY = 1.0;
    both.addSpecies(2, 3).SITE_QUALITY = 0.5;
    // Start species 2 in both at the same stream position.
    const double start = both.model->run.RANDOM_STATE;
    addSaplings(*both.model, both.plot());
    const int firstCount = both.model->run.BIRTHS_THIS_YEAR[1];
    ASSERT_GT(firstCount, 0);
    double state = start;
    for (int i = 0; i < 2 + firstCount; ++i) randomUniform(state);
    alone.model->run.RANDOM_STATE = state;
    addSaplings(*alone.model, alone.plot());
    EXPECT_EQ(alone.model->run.BIRTHS_THIS_YEAR[2], both.model->run.BIRTHS_THIS_YEAR[2]);
    EXPECT_EQ(alone.model->run.RANDOM_STATE, both.model->run.RANDOM_STATE);
}

// A species whose saplings would crowd a plot past what the model can follow ends the run
// before a single sapling is linked in.
TEST(AddSaplings, SaplingsBeyondTheTreesAPlotHoldsEndTheRun) {
    ForestFixture f;
    Species& s = f.addSpecies(1, 1);
    s.NAME = "Pin_cherry";
    s.MAX_SAPLINGS = 100000;
    s.SITE_QUALITY = 1.0;
    f.plot().NTREES = MAX_TREES_PER_PLOT - 1;  // as if the plot held that many already
    // int(0.6555007 × 100000 × site quality 1 × E 1.0000156 + 0.5) = 65551 saplings
    f.model->run.RANDOM_STATE = STATE_TWO_BEFORE_ONE;
    try {
        addSaplings(*f.model, f.plot());
        FAIL() << "the run went on";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_FATAL_ERROR);
    }
    EXPECT_EQ(
        f.host.lastMessage(),
        "Error: 65551 saplings of Pin_cherry would bring plot 1 above 10000 trees in year 1 of iteration 1.\n"
        "A plot of 100 square metres cannot hold so many trees; lower the species' maximum number of "
        "saplings (MAX_SAPLINGS).");
    EXPECT_TRUE(f.plot().trees.empty());
}

}  // namespace
}  // namespace dravia
