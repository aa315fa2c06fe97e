// Growth keeps on each tree what it gave it last year, for a person inspecting the tree.
#include <gtest/gtest.h>

#include <cmath>

#include "model/ForestFixture.h"
#include "model/Growth.h"

namespace dravia {
namespace {

using test::ForestFixture;

TEST(GrowthRecord, LastIncrementAndLightOfEveryTree) {
    ForestFixture f;
    f.addSpecies(1, 3).C = 5.0;  // tolerant, with a dense crown
    f.addSpecies(2, 1);          // intolerant
    Tree& canopy = f.addTree(1, 50.0);
    Tree& under = f.addTree(1, 30.0);
    Tree& suppressed = f.addTree(2, 4.0);
    suppressed.LAST_DIAM_INC = 9.0;  // what an earlier year left

    const double canopyBefore = canopy.DBH, underBefore = under.DBH;
    growTrees(*f.model, f.plot());

    // The tallest tree stands in full light; below it, light falls off with the leaf area above
    // (C × DBH² before growth) over 6000.
    EXPECT_EQ(canopy.AVAILABLE_LIGHT, 1.0);
    EXPECT_DOUBLE_EQ(under.AVAILABLE_LIGHT, std::exp(-(5.0 * 2500.0) / 6000.0));
    EXPECT_DOUBLE_EQ(suppressed.AVAILABLE_LIGHT, std::exp(-(5.0 * 2500.0 + 5.0 * 900.0) / 6000.0));
    // The increment is the one added to the diameter.
    EXPECT_GT(canopy.LAST_DIAM_INC, 0.0);
    EXPECT_EQ(canopy.DBH, canopyBefore + canopy.LAST_DIAM_INC);
    EXPECT_GT(under.LAST_DIAM_INC, 0.0);
    EXPECT_EQ(under.DBH, underBefore + under.LAST_DIAM_INC);
    // Below 8 % of full light an intolerant tree does not grow, and records 0.
    EXPECT_LT(suppressed.AVAILABLE_LIGHT, 0.08);
    EXPECT_EQ(suppressed.LAST_DIAM_INC, 0.0);
    EXPECT_EQ(suppressed.DBH, 4.0);
}

}  // namespace
}  // namespace dravia
