#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/ModelState.h"
#include "model/TreeList.h"

namespace dravia {
namespace {

Tree treeOfHeight(double height, int id) {
    Tree tree;
    tree.HEIGHT = height;
    tree.TREE_ID = id;
    return tree;
}

std::vector<int> idsOf(const Plot& plot) {
    std::vector<int> ids;
    for (const Tree& tree : plot.trees) ids.push_back(tree.TREE_ID);
    return ids;
}

TEST(SortTreesByHeight, OrdersTallestFirstAndKeepsEqualHeightsInOrder) {
    Plot plot;
    const double heights[] = {300, 500, 300, 800, 500, 100, 300};
    int id = 1;
    for (double h : heights) insertTree(plot, plot.trees.end(), treeOfHeight(h, id++));
    std::vector<const Tree*> addresses;
    for (const Tree& t : plot.trees) addresses.push_back(&t);

    sortTreesByHeight(plot);

    EXPECT_EQ(idsOf(plot), (std::vector<int>{4, 2, 5, 1, 3, 7, 6}));
    EXPECT_EQ(plot.NTREES, 7);
    // Nodes are relinked, never copied: every record keeps its address.
    for (const Tree& t : plot.trees) EXPECT_EQ(&t, addresses[static_cast<size_t>(t.TREE_ID - 1)]);
}

TEST(SortTreesByHeight, EmptyAndSingleTreePlotsAreLeftAlone) {
    Plot empty;
    sortTreesByHeight(empty);
    EXPECT_TRUE(empty.trees.empty());
    Plot single;
    insertTree(single, single.trees.end(), treeOfHeight(200, 1));
    sortTreesByHeight(single);
    EXPECT_EQ(idsOf(single), (std::vector<int>{1}));
}

TEST(SortTreesByHeight, ReversedListBecomesSorted) {
    Plot plot;
    for (int i = 1; i <= 50; ++i) insertTree(plot, plot.trees.end(), treeOfHeight(i * 10.0, i));
    sortTreesByHeight(plot);
    double previous = 1e9;
    for (const Tree& t : plot.trees) {
        EXPECT_LE(t.HEIGHT, previous);
        previous = t.HEIGHT;
    }
}

TEST(TreeRemoval, LastRemovalEmptiesThePlotAndZeroesBasalArea) {
    auto model = std::make_unique<ModelState>();
    Plot& plot = model->plots.emplace_back();
    insertTree(plot, plot.trees.end(), treeOfHeight(400, 1));
    insertTree(plot, plot.trees.end(), treeOfHeight(300, 2));
    plot.PLOT_BA = 123.0;
    auto next = removeTree(*model, plot, plot.trees.begin());
    EXPECT_EQ(next->TREE_ID, 2);
    EXPECT_EQ(plot.NTREES, 1);
    EXPECT_EQ(plot.PLOT_BA, 123.0);
    removeTree(*model, plot, plot.trees.begin());
    EXPECT_EQ(plot.NTREES, 0);
    EXPECT_EQ(plot.PLOT_BA, 0.0);
    EXPECT_TRUE(plot.trees.empty());
    // The next sapling becomes the only tree.
    insertTree(plot, plot.trees.end(), treeOfHeight(250, 3));
    EXPECT_EQ(idsOf(plot), (std::vector<int>{3}));
}

TEST(TreeRemoval, ReleasesTheDisplaySlot) {
    auto model = std::make_unique<ModelState>();
    Plot& plot = model->plots.emplace_back();
    auto tree = insertTree(plot, plot.trees.end(), treeOfHeight(400, 1));
    tree->DISPLAY_SLOT = 7;
    model->displaySlots[7].tree = &*tree;
    removeTree(*model, plot, tree);
    EXPECT_EQ(model->displaySlots[7].tree, nullptr);
}

TEST(FreePlots, EmptiesThePlotListAndClearsSlots) {
    auto model = std::make_unique<ModelState>();
    for (int p = 1; p <= 3; ++p) {
        Plot& plot = model->plots.emplace_back();
        plot.PLOT_NO = p;
        auto tree = insertTree(plot, plot.trees.end(), treeOfHeight(100.0 * p, p));
        tree->DISPLAY_SLOT = p;
        model->displaySlots[static_cast<size_t>(p)].tree = &*tree;
    }
    model->run.CURRENT_PLOT = &model->plots.front();
    freePlots(*model);
    EXPECT_TRUE(model->plots.empty());
    EXPECT_EQ(model->run.CURRENT_PLOT, nullptr);
    for (int p = 1; p <= 3; ++p) EXPECT_EQ(model->displaySlots[static_cast<size_t>(p)].tree, nullptr);
}

}  // namespace
}  // namespace dravia
