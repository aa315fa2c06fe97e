#include <gtest/gtest.h>

#include <vector>

#include "model/Death.h"
#include "model/ForestFixture.h"

namespace dravia {
namespace {

using test::drawsBetween;
using test::ForestFixture;

TEST(KillTrees, OneDrawPerTreeAndASecondOnlyForSlowGrowingSurvivors) {
    ForestFixture f;
    f.addSpecies(1, 3).AGEMAX = 1e12;  // no tree dies of age
    for (int i = 0; i < 6; ++i) f.addTree(1, 10.0 + i).SLOW_GROWTH = i % 2;
    const double start = f.model->run.RANDOM_STATE;
    std::vector<RemovalCause> causes;
    killTrees(*f.model, f.plot(), [&](const ModelState&, const Plot&, const Tree&, RemovalCause cause) {
        causes.push_back(cause);
    });
    // Six first draws, three second draws.
    EXPECT_EQ(drawsBetween(start, f.model->run.RANDOM_STATE), 9);
    EXPECT_EQ(f.plot().NTREES, static_cast<int>(f.plot().trees.size()));
    // No tree dies of age: each death reported is one of slow growth.
    EXPECT_EQ(causes, std::vector<RemovalCause>(6 - f.plot().trees.size(), RemovalCause::SlowGrowth));
    for (const Tree& t : f.plot().trees) EXPECT_EQ(t.AGE, 1);
}

TEST(KillTrees, SpeciesWithAgeMaxFourLosesEveryTreeWithOneDrawEach) {
    ForestFixture f;
    f.addSpecies(1, 3).AGEMAX = 4.0;
    for (int i = 0; i < 5; ++i) f.addTree(1, 5.0 + i).SLOW_GROWTH = 1;
    f.plot().PLOT_BA = 300.0;
    const double start = f.model->run.RANDOM_STATE;
    killTrees(*f.model, f.plot());
    EXPECT_EQ(drawsBetween(start, f.model->run.RANDOM_STATE), 5);
    EXPECT_EQ(f.plot().NTREES, 0);
    EXPECT_TRUE(f.plot().trees.empty());
    EXPECT_EQ(f.plot().PLOT_BA, 0.0);
}

TEST(KillTrees, DeathFollowsTheDrawsInListOrder) {
    ForestFixture f;
    f.addSpecies(1, 3).AGEMAX = 400.0;  // dies when the draw is below 0.01
    f.model->run.RANDOM_STATE = 1.0;    // first draw 7.8e-6, then 0.1315, 0.7556
    Tree& a = f.addTree(1, 30.0);
    a.TREE_ID = 1;
    Tree& b = f.addTree(1, 20.0);
    b.TREE_ID = 2;
    b.SLOW_GROWTH = 1;  // survives 0.1315, then 0.7556 ≥ 0.368: survives
    Tree& c = f.addTree(1, 10.0);
    c.TREE_ID = 3;
    c.AGE = 7;
    std::vector<int> died;
    killTrees(*f.model, f.plot(), [&](const ModelState&, const Plot&, const Tree& tree, RemovalCause cause) {
        EXPECT_EQ(cause, RemovalCause::BackgroundMortality);
        died.push_back(tree.TREE_ID);
    });
    EXPECT_EQ(died, std::vector<int>{1});
    ASSERT_EQ(f.plot().NTREES, 2);
    EXPECT_EQ(f.plot().trees.front().TREE_ID, 2);
    EXPECT_EQ(f.plot().trees.back().TREE_ID, 3);
    EXPECT_EQ(f.plot().trees.back().AGE, 8);
    EXPECT_EQ(drawsBetween(1.0, f.model->run.RANDOM_STATE), 4);
}

TEST(KillTrees, DeadTreeFreesItsDisplaySlot) {
    ForestFixture f;
    f.addSpecies(1, 3).AGEMAX = 1.0;
    Tree& tree = f.addTree(1, 12.0);
    tree.DISPLAY_SLOT = 7;
    f.model->displaySlots[7].tree = &tree;
    killTrees(*f.model, f.plot());
    EXPECT_EQ(f.model->displaySlots[7].tree, nullptr);
}

TEST(KillTrees, EmptyPlotDrawsNothing) {
    ForestFixture f;
    const double start = f.model->run.RANDOM_STATE;
    killTrees(*f.model, f.plot());
    EXPECT_EQ(f.model->run.RANDOM_STATE, start);
    EXPECT_EQ(f.plot().PLOT_BA, 0.0);
}

// Slow-growth years: the slow-growth draw is made as in the classic model, but it kills only from
// the N-th consecutive slow year on. The state 1.0 gives a first draw that spares every tree
// (7.8e-6 against 4 / 1e12 is no background death) and a second of 0.1315, below 0.368.
TEST(KillTrees, SlowGrowthKillsOnlyFromTheNthConsecutiveSlowYear) {
    struct Row {
        int yearsNeeded;
        int slowYears;
        bool dies;
    };
    for (const Row row : {Row{1, 1, true}, Row{1, 0, true}, Row{3, 2, false}, Row{3, 3, true},
                          Row{3, 4, true}, Row{2, 1, false}}) {
        ForestFixture f;
        f.addSpecies(1, 3).AGEMAX = 1e12;
        f.model->options.SLOW_GROWTH_YEARS = row.yearsNeeded;
        f.model->run.RANDOM_STATE = 1.0;
        Tree& tree = f.addTree(1, 20.0);
        tree.SLOW_GROWTH = 1;
        tree.SLOW_YEARS = row.slowYears;
        killTrees(*f.model, f.plot());
        EXPECT_EQ(f.plot().NTREES, row.dies ? 0 : 1) << row.yearsNeeded << " " << row.slowYears;
        // Both draws are made whether or not the second can kill: the stream stays the classic one.
        EXPECT_EQ(drawsBetween(1.0, f.model->run.RANDOM_STATE), 2) << row.yearsNeeded << " " << row.slowYears;
    }
}

}  // namespace
}  // namespace dravia
