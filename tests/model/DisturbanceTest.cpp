#include <gtest/gtest.h>

#include <vector>

#include "model/Disturbance.h"
#include "model/ForestFixture.h"

namespace dravia {
namespace {

using test::drawsBetween;
using test::ForestFixture;

struct Recorder {
    std::vector<int> treesBefore, treesAfter;
    std::vector<std::pair<double, RemovalCause>> removed;  // DBH and cause of each tree taken
    DisturbanceObserver observer() {
        return {[this](ModelState&, const Plot& plot, RemovalCause) { treesBefore.push_back(plot.NTREES); },
                [this](ModelState&, const Plot& plot, RemovalCause) { treesAfter.push_back(plot.NTREES); },
                [this](const ModelState&, const Plot&, const Tree& tree, RemovalCause cause) {
                    removed.emplace_back(tree.DBH, cause);
                }};
    }
};

void plantStand(ForestFixture& f) {
    f.addSpecies(1, 3);
    for (double dbh : {45.0, 30.0, 20.0, 19.999, 8.0}) f.addTree(1, dbh);
    f.plot().PLOT_BA = 5000.0;
}

TEST(Disturbance, BlowDownOffMeansNoLoggingAndNoWindthrow) {
    ForestFixture f;
    plantStand(f);
    RunParameters& p = f.model->params;
    p.BLOW_DOWN = 0;
    p.BLOW_PROB = 1.0;
    p.BLOW_FREQ = 1;
    p.FIRST_DISTURB_YEAR = 1;
    Recorder r;
    const double start = f.model->run.RANDOM_STATE;
    EXPECT_FALSE(decideDisturbance(*f.model, f.plot(), r.observer()));
    EXPECT_EQ(f.model->run.RANDOM_STATE, start);
    EXPECT_EQ(f.plot().NTREES, 5);
    EXPECT_TRUE(r.treesBefore.empty());
}

TEST(Disturbance, LoggingYearsFollowTheFirstYearAndFrequency) {
    ForestFixture f;
    f.addSpecies(1, 3);
    RunParameters& p = f.model->params;
    p.BLOW_DOWN = 1;
    p.FIRST_DISTURB_YEAR = 20;
    p.BLOW_FREQ = 30;
    p.MIN_DIAM_TO_KILL_FOR_LOGGING = 1.0;
    std::vector<int> logged;
    for (int year = 1; year <= 110; ++year) {
        f.model->run.CURRENT_YEAR = year;
        if (decideDisturbance(*f.model, f.plot(), {})) logged.push_back(year);
    }
    EXPECT_EQ(logged, (std::vector<int>{20, 50, 80, 110}));

    p.BLOW_FREQ = 0;  // below 1: no logging
    f.model->run.CURRENT_YEAR = 20;
    EXPECT_FALSE(decideDisturbance(*f.model, f.plot(), {}));
}

TEST(Disturbance, LoggingRemovesTreesAtOrAboveTheDiameter) {
    ForestFixture f;
    plantStand(f);
    RunParameters& p = f.model->params;
    p.BLOW_DOWN = 1;
    p.BLOW_FREQ = 10;
    p.FIRST_DISTURB_YEAR = 1;
    p.MIN_DIAM_TO_KILL_FOR_LOGGING = 20.0;
    Recorder r;
    const double start = f.model->run.RANDOM_STATE;
    EXPECT_TRUE(decideDisturbance(*f.model, f.plot(), r.observer()));
    EXPECT_EQ(f.model->run.RANDOM_STATE, start);  // no windthrow possible: no draw
    ASSERT_EQ(f.plot().NTREES, 2);
    EXPECT_EQ(f.plot().trees.front().DBH, 19.999);
    EXPECT_EQ(f.plot().trees.back().DBH, 8.0);
    EXPECT_EQ(r.treesBefore, std::vector<int>{5});
    EXPECT_EQ(r.treesAfter, std::vector<int>{2});
    EXPECT_EQ(f.plot().PLOT_BA, 5000.0);  // the growth step recomputes it
}

TEST(Disturbance, WindthrowDrawsOncePerPlotAndYearAndIsRaisedToATenThousandth) {
    ForestFixture f;
    plantStand(f);
    RunParameters& p = f.model->params;
    p.BLOW_DOWN = 1;
    p.BLOW_PROB = 0.0001;
    p.MIN_DIAM_TO_KILL_FOR_WINDTHROW = 0.0;
    // State 1 draws 7.8e-6, raised to 0.0001, which is not below 0.0001.
    f.model->run.RANDOM_STATE = 1.0;
    EXPECT_FALSE(decideDisturbance(*f.model, f.plot(), {}));
    EXPECT_EQ(f.model->run.RANDOM_STATE, 16807.0);
    EXPECT_EQ(f.plot().NTREES, 5);

    p.BLOW_PROB = 0.00011;
    f.model->run.RANDOM_STATE = 1.0;
    EXPECT_TRUE(decideDisturbance(*f.model, f.plot(), {}));
    EXPECT_EQ(f.plot().NTREES, 0);
    EXPECT_EQ(f.plot().PLOT_BA, 0.0);
}

TEST(Disturbance, WindthrowEveryYearWithProbabilityOne) {
    ForestFixture f;
    f.addSpecies(1, 3);
    RunParameters& p = f.model->params;
    p.BLOW_DOWN = 1;
    p.BLOW_PROB = 1.0;
    p.MIN_DIAM_TO_KILL_FOR_WINDTHROW = 10.0;
    const double start = f.model->run.RANDOM_STATE;
    for (int year = 1; year <= 25; ++year) {
        f.model->run.CURRENT_YEAR = year;
        EXPECT_TRUE(decideDisturbance(*f.model, f.plot(), {}));
    }
    EXPECT_EQ(drawsBetween(start, f.model->run.RANDOM_STATE), 25);
}

TEST(Disturbance, LoggingAndWindthrowInOneYearLoggingFirst) {
    ForestFixture f;
    plantStand(f);
    RunParameters& p = f.model->params;
    p.BLOW_DOWN = 1;
    p.BLOW_FREQ = 1;
    p.FIRST_DISTURB_YEAR = 1;
    p.MIN_DIAM_TO_KILL_FOR_LOGGING = 40.0;
    p.BLOW_PROB = 1.0;
    p.MIN_DIAM_TO_KILL_FOR_WINDTHROW = 20.0;
    Recorder r;
    EXPECT_TRUE(decideDisturbance(*f.model, f.plot(), r.observer()));
    EXPECT_EQ(r.treesBefore, (std::vector<int>{5, 4}));
    EXPECT_EQ(r.treesAfter, (std::vector<int>{4, 2}));
    const std::vector<std::pair<double, RemovalCause>> removed = {
        {45.0, RemovalCause::Logging}, {30.0, RemovalCause::Windthrow}, {20.0, RemovalCause::Windthrow}};
    EXPECT_EQ(r.removed, removed);
}

TEST(Disturbance, ClearCutInTabularModeWritesItsLine) {
    ForestFixture f;
    plantStand(f);
    f.model->params.SCREEN_OUTPUT_MODE = 2;
    f.model->params.BASE_YEAR = 1990;
    f.model->run.CURRENT_YEAR = 12;
    Tree& tree = f.plot().trees.front();
    tree.DISPLAY_SLOT = 3;
    f.model->displaySlots[3].tree = &tree;
    applyDisturbance(*f.model, f.plot(), 0.0, RemovalCause::Logging, {});
    EXPECT_EQ(f.host.standardOutput, "\n\n\n ---  ALL TREES KILLED AFTER YEAR 2001  --- \n\n");
    EXPECT_EQ(f.plot().NTREES, 0);
    EXPECT_EQ(f.plot().PLOT_BA, 0.0);
    EXPECT_EQ(f.model->displaySlots[3].tree, nullptr);

    // Other display modes keep quiet.
    ForestFixture g;
    plantStand(g);
    g.model->params.SCREEN_OUTPUT_MODE = 3;
    applyDisturbance(*g.model, g.plot(), 0.0, RemovalCause::Logging, {});
    EXPECT_EQ(g.host.standardOutput, "");
    EXPECT_EQ(g.plot().NTREES, 0);
}

TEST(Disturbance, ThresholdRemovalThatEmptiesThePlotClearsBasalArea) {
    ForestFixture f;
    plantStand(f);
    applyDisturbance(*f.model, f.plot(), 8.0, RemovalCause::Windthrow, {});
    EXPECT_EQ(f.plot().NTREES, 0);
    EXPECT_EQ(f.plot().PLOT_BA, 0.0);
}

TEST(Disturbance, DecisionLeavesTheDisturbanceHeaderFlagAlone) {
    ForestFixture f;
    f.addSpecies(1, 3);
    f.model->output.DISTURBANCE_HEADER_WRITTEN = true;
    f.model->params.BLOW_DOWN = 1;
    f.model->params.BLOW_PROB = 1.0;
    f.model->params.MIN_DIAM_TO_KILL_FOR_WINDTHROW = 5.0;
    decideDisturbance(*f.model, f.plot(), {});
    EXPECT_TRUE(f.model->output.DISTURBANCE_HEADER_WRITTEN);
}

}  // namespace
}  // namespace dravia
