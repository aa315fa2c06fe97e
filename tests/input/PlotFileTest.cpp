#include <gtest/gtest.h>

#include <string>

#include "InputTestSupport.h"
#include "input/PlotFile.h"
#include "input/ReaderError.h"
#include "input/SpeciesFile.h"
#include "model/TreeList.h"
#include "platform/ProgramExit.h"
#include "support/Tolerance.h"

namespace dravia::test {
namespace {

class PlotFileTest : public InputFileTest {
  protected:
    void SetUp() override {
        InputFileTest::SetUp();
        writeFile("Data\\species.txt", speciesFileText(3));
        model->params.SPP_PARAM_FILE = "Data\\species.txt";
        readSpeciesFile(*model);
        model->params.PLOT_FILE = "Data\\plot.txt";
        model->params.NUM_PLOTS = 3;
        model->run.CURRENT_ITERATION = 1;
    }
    std::string failureOf(const std::string& text, PlotFileMode mode) {
        writeFile("Data\\plot.txt", text);
        try {
            readPlotFile(*model, mode);
        } catch (const ReaderError& error) {
            return error.what();
        }
        return "";
    }
    static std::string rows(int count, int sn = 1) {
        std::string text = "SN DBH X\n";
        for (int n = 1; n <= count; ++n) text += std::to_string(sn) + " " + std::to_string(n) + ".5 0\n";
        return text;
    }
};

TEST_F(PlotFileTest, SiteModeReadsTheSiteAndDerivesTheElevation) {
    EXPECT_EQ(failureOf(plotSiteText() + rows(2), PlotFileMode::Site), "");
    EXPECT_EQ(model->site.ELEV_FT, 1000);
    EXPECT_EQ(model->site.ELEVATION, 1000 * 0.30480370641307);
    EXPECT_EQ(model->site.PERCENT_ROCK, 5);
    EXPECT_EQ(model->site.AVAIL_N, 80);
    EXPECT_TRUE(model->plots.empty());
}

TEST_F(PlotFileTest, RockCoverOutsideZeroToBelowHundredIsRefused) {
    EXPECT_EQ(failureOf(plotSiteText("0"), PlotFileMode::Site), "");
    EXPECT_EQ(failureOf(plotSiteText("99.9"), PlotFileMode::Site), "");
    model->site.ELEVATION = -1;
    EXPECT_EQ(
        failureOf(plotSiteText("100"), PlotFileMode::Site),
        "Error.  PERCENT_ROCK in data file \"Data\\plot.txt\"\nis 100; it must lie between 0 and below 100.");
    EXPECT_EQ(
        failureOf(plotSiteText("-1"), PlotFileMode::Site),
        "Error.  PERCENT_ROCK in data file \"Data\\plot.txt\"\nis -1; it must lie between 0 and below 100.");
    EXPECT_EQ(model->site.PERCENT_ROCK, 99.9);
    EXPECT_EQ(model->site.ELEVATION, -1);  // derived only when every item was read
}

TEST_F(PlotFileTest, PlotsModeGivesEveryPlotTheSameTreesInRowOrder) {
    model->site.LATITUDE = 12.0;  // as the site dialog left it
    EXPECT_EQ(failureOf(plotSiteText() + rows(25), PlotFileMode::Plots), "");
    EXPECT_EQ(model->site.LATITUDE, 12.0);
    ASSERT_EQ(model->plots.size(), 3u);
    int number = 0;
    for (const Plot& plot : model->plots) {
        EXPECT_EQ(plot.PLOT_NO, ++number);
        EXPECT_EQ(plot.NTREES, 25);
        ASSERT_EQ(plot.trees.size(), 25u);
        EXPECT_EQ(plot.trees.front().DBH, 1.5);
        EXPECT_EQ(plot.trees.back().DBH, 25.5);
        EXPECT_EQ(plot.trees.front().BIRTH_YEAR, 0);
    }
}

TEST_F(PlotFileTest, InitialHeightFollowsTheHeightCurve) {
    EXPECT_EQ(failureOf(plotSiteText() + "a b c\n2 10 0", PlotFileMode::Plots), "");
    const Tree& tree = model->plots.front().trees.front();
    EXPECT_EQ(tree.SN, 2);
    EXPECT_SAME_VALUE(tree.HEIGHT, 673.97);
    EXPECT_EQ(model->plots.front().NTREES, 1);
}

TEST_F(PlotFileTest, NoRowsOrAClearPlotGiveEmptyPlots) {
    model->params.NUM_PLOTS = 0;
    EXPECT_EQ(failureOf(plotSiteText() + "SN DBH X\n", PlotFileMode::Plots), "");
    ASSERT_EQ(model->plots.size(), 1u);  // at least one plot
    EXPECT_EQ(model->plots.front().NTREES, 0);
    model->params.CLEAR_PLOT = 1;
    EXPECT_EQ(failureOf(plotSiteText() + rows(4), PlotFileMode::Plots), "");
    EXPECT_TRUE(model->plots.front().trees.empty());
    EXPECT_EQ(failureOf(plotSiteText() + rows(2) + "3 x 0\n", PlotFileMode::Plots),
              "Error.  Wrong data type when reading species \"3\" from\nplot data file \"Data\\plot.txt\".");
}

TEST_F(PlotFileTest, LaterIterationsReuseTheTableAndReleaseTheOldTrees) {
    ASSERT_EQ(failureOf(plotSiteText() + rows(4), PlotFileMode::Plots), "");
    Plot& first = model->plots.front();
    Tree* shown = &first.trees.front();
    shown->DISPLAY_SLOT = 7;
    model->displaySlots[7].tree = shown;
    first.trees.front().DBH = 99;
    first.PLOT_BA = 123;
    model->run.CURRENT_ITERATION = 2;
    // The file is opened but its rows are not read again.
    EXPECT_EQ(failureOf(plotSiteText() + "SN DBH X\n", PlotFileMode::Plots), "");
    EXPECT_EQ(model->displaySlots[7].tree, nullptr);
    EXPECT_EQ(model->plots.front().NTREES, 4);
    EXPECT_EQ(model->plots.front().trees.front().DBH, 1.5);
    EXPECT_EQ(model->plots.front().PLOT_BA, 0.0);
    std::filesystem::remove("Data/plot.txt");
    EXPECT_EQ(failureOf("", PlotFileMode::Plots), "");  // an empty file still opens
    model->params.PLOT_FILE = "Data\\gone.txt";
    try {
        readPlotFile(*model, PlotFileMode::Plots);
        FAIL();
    } catch (const ReaderError& error) {
        EXPECT_STREQ(error.what(), "Error.  Could not open data file \"Data\\gone.txt\".");
    }
}

TEST_F(PlotFileTest, SiteItemsMustBePresentInPlotsMode) {
    EXPECT_EQ(failureOf("ELEV_FT 1\nLATITUDE 2\nROOT_DEPTH 3\n", PlotFileMode::Plots),
              "Error.  Tried to read item \"SOIL_DEPTH\" from\ndata file \"Data\\plot.txt\" but instead got "
              "item\n\"ROOT_DEPTH\".  The item is missing or\nthe items are out of order.");
}

TEST_F(PlotFileTest, SpeciesNumbersOutsideTheTableAreRefused) {
    EXPECT_EQ(
        failureOf(plotSiteText() + "SN DBH X\n1 2 0\n4 2 0\n", PlotFileMode::Plots),
        "Error.  Tree row 2 of plot data file \"Data\\plot.txt\"\nholds species number 4; the species file "
        "holds species 1 to 3.");
    EXPECT_EQ(
        failureOf(plotSiteText() + "SN DBH X\n0 2 0\n", PlotFileMode::Plots),
        "Error.  Tree row 1 of plot data file \"Data\\plot.txt\"\nholds species number 0; the species file "
        "holds species 1 to 3.");
}

TEST_F(PlotFileTest, NineThousandNineHundredNinetyNineRowsFitAndOneMoreEndsTheProgram) {
    model->params.NUM_PLOTS = 1;
    EXPECT_EQ(failureOf(plotSiteText() + rows(9999), PlotFileMode::Plots), "");
    EXPECT_EQ(model->plots.front().NTREES, 9999);
    EXPECT_TRUE(host.messages.empty());
    writeFile("Data\\plot.txt", plotSiteText() + rows(10000));
    try {
        readPlotFile(*model, PlotFileMode::Plots);
        FAIL();
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_FATAL_ERROR);
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.lastMessage().rfind("errorLog 7: There are more than 200 trees on the plot.", 0), 0u);
}

}  // namespace
}  // namespace dravia::test
