#include <cmath>

#include "output/OutputFixture.h"
#include "output/Tally.h"
#include "support/Tolerance.h"

namespace dravia::test {
namespace {

using TallyTest = OutputTest;

TEST(TreeValuesTest, BasalAreaOfATenCentimetreTree) {
    EXPECT_SAME_VALUE(treeBasalArea(10.0), 0.785398);
}

TEST(TreeValuesTest, VolumeOfAThirtyCentimetreTwentyMetreTree) {
    const double volume = treeVolume({1.3746, 0.002206, 0.063}, 30.0, 2000.0);
    EXPECT_TO_DECIMALS(volume, 554.29, 2);
}

TEST(TreeValuesTest, SmallStemsHaveNoVolumeWhateverTheIntercept) {
    EXPECT_EQ(treeVolume({5.0, 0.002, 0.05}, 6.2, 500.0), 0.0);
    EXPECT_EQ(treeVolume({5.0, 0.002, 0.05}, 1.0, 200.0), 0.0);
    // From about 6.3 cm on the form polynomial is positive and the intercept counts.
    EXPECT_GT(treeVolume({5.0, 0.002, 0.05}, 6.4, 500.0), 5.0);
}

TEST(TreeValuesTest, ZeroHeightGivesNoVolume) {
    EXPECT_EQ(treeVolume({5.0, 0.002, 0.05}, 30.0, 0.0), 0.0);
}

TEST(TreeValuesTest, WithoutInterceptVolumeIsProportionalToSlopeTimesOneMinusQ3) {
    const double a = treeVolume({0.0, 0.002, 0.05}, 20.0, 1500.0);
    const double b = treeVolume({0.0, 0.004, 0.05}, 20.0, 1500.0);
    const double c = treeVolume({0.0, 0.002, 0.525}, 20.0, 1500.0);
    EXPECT_SAME_VALUE(b / a, 2.0);
    EXPECT_SAME_VALUE(c / a, 0.5);
}

TEST_F(TallyTest, BiomassPartsFollowTheSpeciesCoefficients) {
    const Amounts v = computeTreeValues(model->species[1], model->VOLUME_COEF[1], 10.0, 900.0);
    EXPECT_SAME_VALUE(v.STEM_BM, 0.002);
    EXPECT_SAME_VALUE(v.BARK_BM, 0.001);
    EXPECT_SAME_VALUE(v.BRANCH_BM, 0.003);
    EXPECT_SAME_VALUE(v.ROOT_BM, 0.004);
    EXPECT_SAME_VALUE(v.LEAF_BM, 0.001);
    EXPECT_SAME_VALUE(v.TOT_BIOM, 0.011);
}

TEST_F(TallyTest, RealExponentsUseThePowerFunction) {
    model->species[1].STEM_B = 2.5;
    const Amounts v = computeTreeValues(model->species[1], model->VOLUME_COEF[1], 10.0, 900.0);
    EXPECT_SAME_VALUE(v.STEM_BM, 2.0 * std::pow(10.0, 2.5) * 0.00001);
}

TEST_F(TallyTest, SumsTreesPerSpeciesAndPlot) {
    addTree(1, 30.0, 2000.0);
    addTree(2, 10.0, 900.0);
    addTree(1, 10.0, 800.0);
    model->species[2].POP = 7;  // left over from another plot
    summarizePlot(*model, plot());

    const Species& maple = model->species[1];
    const Species& beech = model->species[2];
    EXPECT_EQ(maple.POP, 2);
    EXPECT_EQ(beech.POP, 1);
    EXPECT_SAME_VALUE(maple.tally.BA, 0.00785398 * 900 + 0.785398);
    EXPECT_SAME_VALUE(beech.tally.BA, 0.785398);
    EXPECT_SAME_VALUE(maple.tally.STEM_BM, 2 * 900 * 1e-5 + 2 * 100 * 1e-5);
    EXPECT_SAME_VALUE(beech.tally.LEAF_BM, 2 * 100 * 1e-5);
    EXPECT_SAME_VALUE(maple.tally.TOT_VOL, treeVolume(model->VOLUME_COEF[1], 30.0, 2000.0) +
                                               treeVolume(model->VOLUME_COEF[1], 10.0, 800.0));
    EXPECT_SAME_VALUE(plot().PLOT_BA, maple.tally.BA + beech.tally.BA);
    EXPECT_SAME_VALUE(plot().PLOT_BIOM, maple.tally.TOT_BIOM + beech.tally.TOT_BIOM);
    EXPECT_SAME_VALUE(plot().PLOT_VOL, maple.tally.TOT_VOL + beech.tally.TOT_VOL);

    const Tree& big = plot().trees.front();
    EXPECT_TO_DECIMALS(big.amounts.BA, 7.068582, 6);
    EXPECT_TO_DECIMALS(big.amounts.TOT_VOL, 554.29, 2);
    EXPECT_SAME_VALUE(big.amounts.TOT_BIOM, (1 + 4 + 3 + 1 + 2) * 900 * 1e-5);
}

TEST_F(TallyTest, AnEmptyPlotTalliesToZero) {
    model->species[1].POP = 3;
    model->species[1].tally.TOT_VOL = 12.0;
    plot().PLOT_BA = 55.0;  // the growth step's own sum
    plot().PLOT_VOL = 4.0;
    summarizePlot(*model, plot());
    EXPECT_EQ(model->species[1].POP, 0);
    EXPECT_EQ(model->species[1].tally.TOT_VOL, 0.0);
    EXPECT_EQ(plot().PLOT_BA, 0.0);
    EXPECT_EQ(plot().PLOT_VOL, 0.0);
}

}  // namespace
}  // namespace dravia::test
