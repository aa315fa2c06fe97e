#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "display/DisplaySlots.h"
#include "display/PlotGeometry.h"
#include "display/TestForest.h"
#include "model/Random.h"
#include "model/TreeList.h"

namespace dravia {
namespace {

RunParameters plotShape(int width, int depth, double slant) {
    RunParameters p;
    p.WIDTH = width;
    p.DEPTH = depth;
    p.SLANT = slant;
    return p;
}

TEST(PlotGeometry, UprightPlotHasItsBackEdgeStraightAboveTheFront) {
    const PlotGeometry g = computeGeometry(plotShape(50, 30, 0.0), 700, 500);
    EXPECT_DOUBLE_EQ(g.plotWidth, 350.0);
    EXPECT_DOUBLE_EQ(g.plotDepth, 150.0);
    EXPECT_EQ(g.left, 315);    // right edge at 95% of 700
    EXPECT_EQ(g.frontY, 471);  // 94.3% of 500
    EXPECT_EQ(g.frontRightX, 665);
    EXPECT_EQ(g.backLeftX, 315);
    EXPECT_EQ(g.backRightX, 665);
    EXPECT_EQ(g.backY, 321);
}

TEST(PlotGeometry, NinetyDegreesLaysTheBackEdgeOnTheFrontLineShiftedByTheDepth) {
    // With pi as 3.14159 the slant falls just short of a right angle: the truncations give
    // 314 rather than 315 and a back edge one pixel above the front.
    const PlotGeometry g = computeGeometry(plotShape(50, 30, 90.0), 700, 500);
    EXPECT_EQ(g.left, 165);
    EXPECT_EQ(g.frontY, 471);
    EXPECT_EQ(g.frontRightX, 515);
    EXPECT_EQ(g.backLeftX, 314);
    EXPECT_EQ(g.backRightX, 664);
    EXPECT_EQ(g.backY, 470);
}

TEST(PlotGeometry, SlantedPlotsOfOtherSizes) {
    const PlotGeometry a = computeGeometry(plotShape(60, 40, 30.0), 640, 480);
    EXPECT_EQ(a.left, 128);
    EXPECT_EQ(a.frontY, 452);
    EXPECT_EQ(a.frontRightX, 512);
    EXPECT_EQ(a.backLeftX, 223);
    EXPECT_EQ(a.backRightX, 607);
    EXPECT_EQ(a.backY, 285);

    const PlotGeometry b = computeGeometry(plotShape(37, 23, 45.0), 801, 577);
    EXPECT_EQ(b.left, 370);
    EXPECT_EQ(b.frontY, 544);
    EXPECT_EQ(b.frontRightX, 666);
    EXPECT_EQ(b.backLeftX, 463);
    EXPECT_EQ(b.backRightX, 759);
    EXPECT_EQ(b.backY, 450);
}

TEST(DisplaySlots, LayoutLeavesTheRandomStreamUntouched) {
    auto model = test::makeDisplayModel();
    model->run.RANDOM_STATE = 98765.0;
    double expected = 98765.0;
    const double nextWithoutLayout = randomUniform(expected);

    layOutSlots(*model);
    EXPECT_EQ(model->run.RANDOM_STATE, 98765.0);
    EXPECT_EQ(randomUniform(*model), nextWithoutLayout);
}

TEST(DisplaySlots, LayoutDrawsAcrossSecondAndKeepsSlotsApart) {
    auto model = test::makeDisplayModel();
    model->run.RANDOM_STATE = 4711.0;
    double stream = 4711.0;
    const double u1 = randomUniform(stream);
    const double u2 = randomUniform(stream);
    Tree stale;
    model->displaySlots[3].tree = &stale;

    layOutSlots(*model);
    EXPECT_EQ(model->displaySlots[1].fx, u2);
    EXPECT_EQ(model->displaySlots[1].fy, u1);
    for (int k = 1; k <= DISPLAY_SLOT_COUNT; ++k) {
        const DisplaySlot& a = model->displaySlots[static_cast<size_t>(k)];
        EXPECT_EQ(a.tree, nullptr);
        EXPECT_GE(a.fx, 0.0);
        EXPECT_LE(a.fx, 1.0);
        for (int j = 1; j < k; ++j) {
            const DisplaySlot& b = model->displaySlots[static_cast<size_t>(j)];
            EXPECT_GE(std::hypot(a.fx - b.fx, a.fy - b.fy), 0.05) << "slots " << j << " and " << k;
        }
    }
}

TEST(DisplaySlots, ScreenPositionsFollowTheGeometry) {
    auto model = test::makeDisplayModel();
    model->displaySlots[1].fx = 0.0;
    model->displaySlots[1].fy = 1.0;  // back left corner
    model->displaySlots[2].fx = 1.0;
    model->displaySlots[2].fy = 0.0;  // front right corner
    model->displaySlots[3].fx = 0.5;
    model->displaySlots[3].fy = 0.5;
    const PlotGeometry g = computeGeometry(plotShape(50, 30, 0.0), 700, 500);
    placeSlotsOnScreen(*model, g);
    EXPECT_EQ(model->displaySlots[1].x, 315);
    EXPECT_EQ(model->displaySlots[1].y, 471);  // m = 0: on the front edge's height
    EXPECT_EQ(model->displaySlots[2].x, 665);
    EXPECT_EQ(model->displaySlots[2].y, 321);  // m = D: the back edge
    EXPECT_EQ(model->displaySlots[3].x, 490);
    EXPECT_EQ(model->displaySlots[3].y, 396);

    // At 90 degrees every tree stands on one line, shifted right by its distance from the front.
    const PlotGeometry flat = computeGeometry(plotShape(50, 30, 90.0), 700, 500);
    placeSlotsOnScreen(*model, flat);
    EXPECT_EQ(model->displaySlots[2].x, 165 + 350 + 149);
    for (int k = 2; k <= 3; ++k) EXPECT_EQ(model->displaySlots[static_cast<size_t>(k)].y, 470);
    EXPECT_EQ(model->displaySlots[1].y, 471);
}

TEST(DisplaySlots, DrawOrderGoesBackToFrontAndKeepsSlotOrderOnEqualHeight) {
    auto model = test::makeDisplayModel();
    for (int k = 1; k <= DISPLAY_SLOT_COUNT; ++k) model->displaySlots[static_cast<size_t>(k)].y = 400;
    model->displaySlots[10].y = 100;
    model->displaySlots[4].y = 300;
    model->displaySlots[7].y = 300;
    model->displaySlots[2].y = 450;
    const DrawOrder order = sortDrawOrder(*model);
    EXPECT_EQ(order[0], 10);
    EXPECT_EQ(order[1], 4);
    EXPECT_EQ(order[2], 7);
    EXPECT_EQ(order[3], 1);
    EXPECT_EQ(order[4], 3);
    EXPECT_EQ(order[5], 5);
    EXPECT_EQ(order[49], 2);
    std::set<int> all(order.begin(), order.end());
    EXPECT_EQ(all.size(), 50u);
}

TEST(DisplaySlots, FiftyTreesGetSlotsInListOrderAndADeadTreesSlotGoesToTheNext) {
    auto model = test::makeDisplayModel();
    Plot& plot = test::addPlot(*model, 60);
    assignSlots(*model, plot);
    auto tree = plot.trees.begin();
    for (int k = 1; k <= 50; ++k, ++tree) {
        EXPECT_EQ(tree->DISPLAY_SLOT, k);
        EXPECT_EQ(model->displaySlots[static_cast<size_t>(k)].tree, &*tree);
    }
    for (; tree != plot.trees.end(); ++tree) EXPECT_EQ(tree->DISPLAY_SLOT, 0);

    // The tree in slot 7 dies: its slot goes to the first tree in list order without one (the 51st).
    auto dying = std::next(plot.trees.begin(), 6);
    ASSERT_EQ(dying->DISPLAY_SLOT, 7);
    removeTree(*model, plot, dying);
    EXPECT_EQ(model->displaySlots[7].tree, nullptr);
    assignSlots(*model, plot);
    auto fiftyFirst = std::next(plot.trees.begin(), 49);  // the 51st tree before the death
    EXPECT_EQ(fiftyFirst->DISPLAY_SLOT, 7);
    EXPECT_EQ(model->displaySlots[7].tree, &*fiftyFirst);
    // Everyone else kept their slot.
    EXPECT_EQ(plot.trees.front().DISPLAY_SLOT, 1);
    EXPECT_EQ(std::next(plot.trees.begin(), 6)->DISPLAY_SLOT, 8);
}

TEST(DisplaySlots, ATreeKeepsItsSlotWhenTallerTreesArrive) {
    auto model = test::makeDisplayModel();
    Plot& plot = test::addPlot(*model, 3);
    assignSlots(*model, plot);
    const Tree* second = &*std::next(plot.trees.begin());
    plot.trees.push_front(test::makeTree(2, 80.0, 2900.0));
    plot.NTREES += 1;
    assignSlots(*model, plot);
    EXPECT_EQ(second->DISPLAY_SLOT, 2);
    EXPECT_EQ(plot.trees.front().DISPLAY_SLOT, 4);
}

}  // namespace
}  // namespace dravia
