#include <string>

#include "output/IterationAverages.h"
#include "output/OutputFixture.h"

namespace dravia::test {
namespace {

class IterationAveragesTest : public OutputTest {
  protected:
    void SetUp() override {
        OutputTest::SetUp();
        model->params.NUM_ITERS = 3;
        model->run.CURRENT_YEAR = 10;
    }
    // The last year of an iteration with the given tallies of the two species.
    void lastYear(int iteration, int maplePop, double mapleBa, int beechPop, double beechBa) {
        model->run.CURRENT_ITERATION = iteration;
        Species& maple = model->species[1];
        maple.POP = maplePop;
        maple.tally.BA = mapleBa;
        maple.tally.TOT_BIOM = mapleBa / 2;
        maple.tally.TOT_VOL = mapleBa * 10;
        Species& beech = model->species[2];
        beech.POP = beechPop;
        beech.tally.BA = beechBa;
        beech.tally.TOT_BIOM = beechBa / 2;
        beech.tally.TOT_VOL = beechBa * 10;
        writeIterationAverages(*model, plot());
    }
    const std::string RULE = std::string(62, '-') + "\n";
};

TEST_F(IterationAveragesTest, AveragesDivideByAllIterationsEvenForAbsentSpecies) {
    lastYear(1, 3, 6.0, 0, 0.0);
    lastYear(2, 6, 12.0, 3, 9.0);
    EXPECT_TRUE(host.standardOutput.empty());
    lastYear(3, 6, 12.0, 0, 0.0);
    EXPECT_EQ(host.standardOutput,
              "Type Q to quit, or P to pause when program is running.\n"
              "\nAverages from 3 iteration(s):\n "
              "\nSpecies          Pop    Basal Area    Biomass    Volume\n" +
                  RULE +
                  "Sugar_maple           5.0          10.0        5.0     100.0\n"
                  "American_beech        1.0           3.0        1.5      30.0\n" +
                  RULE + std::string(19, ' ') + "   6.0          13.0        6.5     130.0\n");
}

TEST_F(IterationAveragesTest, ASpeciesNeverPresentIsNotListed) {
    model->params.NUM_ITERS = 1;
    lastYear(1, 4, 2.0, 0, 0.0);
    EXPECT_EQ(host.standardOutput.find("American_beech"), std::string::npos);
    EXPECT_NE(host.standardOutput.find("Sugar_maple           4.0           2.0        1.0      20.0\n"),
              std::string::npos);
}

TEST_F(IterationAveragesTest, SeveralPlotsProduceNoAverages) {
    model->params.NUM_PLOTS = 2;
    lastYear(1, 3, 6.0, 0, 0.0);
    lastYear(2, 3, 6.0, 0, 0.0);
    lastYear(3, 3, 6.0, 0, 0.0);
    EXPECT_TRUE(host.standardOutput.empty());
}

}  // namespace
}  // namespace dravia::test
