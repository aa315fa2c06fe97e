#include <filesystem>
#include <iterator>
#include <string>

#include "output/DisturbanceData.h"
#include "output/OutputFixture.h"
#include "output/Tally.h"
#include "support/Tolerance.h"

namespace dravia::test {
namespace {

const std::string HEADER =
    "LOGGING DATA WITH A FREQUENCY OF 10 YEARS\n"
    "NUM_ITERS  NUM_YEARS   RESULTS_INTERV\n"
    "      2         10           5\n"
    "ELEV= 381.0 ELEV_BASE= 304.8 TEXTURE= 160.0 SOIL_DEPTH= 1.2\n"
    " WATER_DEPTH= 3.0 AVAIL_N= 95.0  HABITAT= Northern Hardwoods\n"
    " WTHR_FILE= Data\\weather.txt WTHR_TYPE= Global Warming WTHR_CAL_YEARS= 1961-1990\n"
    " CO2_FERTILIZATION_SWITCH= OFF\n"
    "  ITER  YEAR    PLOT    SN      POP     BA       STEM_BM   BARK_BM  BRANCH_BM  ROOT_BM  LEAF_BM  "
    "TOT_BIOM   "
    "TOT_VOL  \n";

const std::string ZEROS = "      0.0       0.0       0.0       0.0       0.0       0.0       0.0 \n";

class DisturbanceDataTest : public OutputTest {
  protected:
    void SetUp() override {
        OutputTest::SetUp();
        addTree(1, 30.0, 2000.0);
        addTree(1, 10.0, 800.0);
        addTree(2, 10.0, 900.0);
        summarizePlot(*model, plot());
    }
    // Logging of the largest tree, the disturbance data written around it.
    void logLargestTree() {
        writeDisturbanceData(*model, plot(), true);
        plot().trees.pop_front();
        plot().NTREES -= 1;
        writeDisturbanceData(*model, plot(), false);
    }
    // The file once the year's records have been written.
    std::string data() {
        writePendingDisturbanceData(*model);
        return readTextFile("Data/disturb.out");
    }
};

TEST_F(DisturbanceDataTest, RemovedAmountsAreMeasuredByDifference) {
    logLargestTree();
    const Species& maple = model->species[1];
    EXPECT_EQ(maple.REM_POP, 1);
    EXPECT_TO_DECIMALS(maple.REM.BA, 7.068582, 6);
    EXPECT_SAME_VALUE(maple.REM.STEM_BM, 0.018);
    EXPECT_SAME_VALUE(maple.REM.TOT_BIOM, 0.099);
    EXPECT_TO_DECIMALS(maple.REM.TOT_VOL, 554.29, 2);
    EXPECT_EQ(model->species[2].REM_POP, 0);
    EXPECT_EQ(model->species[2].REM.BA, 0.0);
}

TEST_F(DisturbanceDataTest, WritesTheHeaderAndARecordPerListedSpecies) {
    logLargestTree();
    EXPECT_EQ(data(),
              HEADER +
                  "    1     1       1      1       1      7.1       0.0       0.0       0.0       0.0"
                  "       0.0       0.1     554.3 \n"
                  "    1     1       1      2       0      0.0 " +
                  ZEROS);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(DisturbanceDataTest, SpeciesListedFollowTheLastTallyNotThePlot) {
    model->species[2].POP = 0;  // as a tally of another plot left it
    logLargestTree();
    const std::string text = data();
    ASSERT_EQ(text.rfind(HEADER, 0), 0u);
    EXPECT_EQ(text.substr(HEADER.size()).rfind("    1     1       1      1       1 ", 0), 0u);
    EXPECT_EQ(text.substr(HEADER.size()).find("      2 "), std::string::npos);
}

TEST_F(DisturbanceDataTest, NegativeResiduesAreClampedButTheTreeCountIsNot) {
    writeDisturbanceData(*model, plot(), true);
    addTree(2, 20.0, 1500.0);  // a tree that was not there before
    writeDisturbanceData(*model, plot(), false);
    const Species& beech = model->species[2];
    EXPECT_EQ(beech.REM_POP, -1);
    EXPECT_EQ(beech.REM.BA, 0.0);
    EXPECT_EQ(beech.REM.STEM_BM, 0.0);
    EXPECT_EQ(beech.REM.LEAF_BM, 0.0);
    EXPECT_EQ(beech.REM.TOT_BIOM, 0.0);
    EXPECT_EQ(beech.REM.TOT_VOL, 0.0);
}

TEST_F(DisturbanceDataTest, TheHeaderIsWrittenOncePerRunAcrossPlots) {
    writeTextFile("Data/disturb.out", "an earlier run\n");
    logLargestTree();
    // A second plot struck in the same year of the first iteration appends to the same file.
    Plot& second = model->plots.emplace_back();
    second.PLOT_NO = 2;
    model->run.CURRENT_PLOT = &second;
    writeDisturbanceData(*model, plot(), true);
    writeDisturbanceData(*model, plot(), false);
    const std::string text = data();
    EXPECT_EQ(text.rfind(HEADER, 0), 0u);
    EXPECT_EQ(text.find("LOGGING DATA", 1), std::string::npos);
    EXPECT_NE(text.find("    1     1       1      1       1 "), std::string::npos);
    EXPECT_NE(text.find("    1     1       2      1       0 "), std::string::npos);
    EXPECT_EQ(text.find("an earlier run"), std::string::npos);
}

TEST_F(DisturbanceDataTest, TheCo2LineIsLeftOutForValuesOtherThanZeroAndOne) {
    model->params.CO2_FERT_OK = 1;
    EXPECT_NE(disturbanceHeaderText(*model).find(" CO2_FERTILIZATION_SWITCH= ON\n"), std::string::npos);
    model->params.CO2_FERT_OK = 2;
    EXPECT_EQ(disturbanceHeaderText(*model).find("CO2_FERTILIZATION_SWITCH"), std::string::npos);
}

TEST_F(DisturbanceDataTest, AFileThatCannotBeOpenedIsReportedAndTheRunGoesOn) {
    model->params.DISTURBANCE_RESULTS_FILE = "Missing\\disturb.out";
    EXPECT_NO_THROW(logLargestTree());
    ASSERT_FALSE(host.messages.empty());
    for (const auto& message : host.messages) {
        EXPECT_EQ(message.text, "Error: Logging file Missing\\disturb.out could not be opened.");
    }
    EXPECT_FALSE(model->output.DISTURBANCE_HEADER_WRITTEN);
    EXPECT_EQ(model->species[1].REM_POP, 1);
}

}  // namespace
}  // namespace dravia::test
