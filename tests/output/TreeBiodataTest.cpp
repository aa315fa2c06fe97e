#include <string>

#include "input/PlotFile.h"
#include "output/OutputFixture.h"
#include "output/TreeBiodata.h"

namespace dravia::test {
namespace {

using TreeBiodataTest = OutputTest;

TEST_F(TreeBiodataTest, WritesTheSiteAndTheTreesTallestFirst) {
    addTree(1, 10.04, 800.06);
    addTree(2, 30.0, 2000.0);
    writeTreeBiodata(*model, &plot());
    EXPECT_EQ(readTextFile("newplot"),
              "Elev_ft          1250.0\n"
              "Latitude         43.9\n"
              "Soil_Depth       1.20\n"
              "Root_Depth       1.00\n"
              "Water_Depth      3.0\n"
              "Texture          160\n"
              "Percent_Rock     10.0\n"
              "Avail_N           95\n"
              "\n"
              "   Sp.    DBH     HT\n"
              "    2    30.0  2000.0 \n"
              "    1    10.0   800.1 \n");
    EXPECT_EQ(plot().trees.front().SN, 2);
}

TEST_F(TreeBiodataTest, AnEmptyPlotHasTheHeadingOnly) {
    writeTreeBiodata(*model, &plot());
    const std::string text = readTextFile("newplot");
    EXPECT_EQ(text.substr(text.size() - 22), "\n   Sp.    DBH     HT\n");
}

TEST_F(TreeBiodataTest, ReadsBackAsAPlotFile) {
    addTree(2, 30.0, 2000.0);
    addTree(1, 12.5, 900.0);
    writeTreeBiodata(*model, &plot());

    auto other = std::make_unique<ModelState>();
    ScriptedHost otherHost;
    other->host = &otherHost;
    other->NSPP = 2;
    other->params.PLOT_FILE = "newplot";
    other->params.NUM_PLOTS = 1;
    other->run.CURRENT_ITERATION = 1;
    readPlotFile(*other, PlotFileMode::Site);
    EXPECT_EQ(other->site.ELEV_FT, 1250.0);
    EXPECT_EQ(other->site.SOIL_DEPTH, 1.2);
    EXPECT_EQ(other->site.PERCENT_ROCK, 10.0);
    EXPECT_EQ(other->site.AVAIL_N, 95.0);
    readPlotFile(*other, PlotFileMode::Plots);
    ASSERT_EQ(other->initialTrees.size(), 2u);
    EXPECT_EQ(other->initialTrees[0].SN, 2);
    EXPECT_EQ(other->initialTrees[0].DBH, 30.0);
    EXPECT_EQ(other->initialTrees[1].SN, 1);
    EXPECT_EQ(other->initialTrees[1].DBH, 12.5);
    EXPECT_TRUE(otherHost.messages.empty());
}

}  // namespace
}  // namespace dravia::test
