#include <filesystem>
#include <string>

#include "output/OutputFixture.h"
#include "output/TabularText.h"
#include "output/Tally.h"

namespace dravia::test {
namespace {

const std::string RULE = "\n" + std::string(70, '-') + "\n";
const std::string HEADINGS =
    "\nSpecies          Pop       Basal Area      Biomass      Volume"
    "\n             /100 m sq.    cm sq./m sq.    kg/m sq.    cu ft/acre" +
    RULE;

class TabularTextTest : public OutputTest {
  protected:
    void SetUp() override {
        OutputTest::SetUp();
        model->climate.DEGREE_DAYS = 1000.0;
    }
};

TEST_F(TabularTextTest, AnEmptyPlotShowsHeadingsAndZeroTotals) {
    summarizePlot(*model, plot());
    EXPECT_EQ(buildTabularText(*model, false),
              "ITERATION    1   PLOT   1    YEAR    1:     DEGREE DAYS = 1800.0 F\n" + HEADINGS + RULE +
                  "TOTALS            0          0.0             0.0          0.0 \n");
}

TEST_F(TabularTextTest, ListsTheSpeciesPresentAndThePlotTotals) {
    addTree(1, 30.0, 2000.0);
    addTree(1, 6.0, 500.0);  // too small to hold volume
    summarizePlot(*model, plot());
    // Plot totals as the tally left them.
    plot().PLOT_BIOM = 2.25;
    EXPECT_EQ(buildTabularText(*model, false),
              "ITERATION    1   PLOT   1    YEAR    1:     DEGREE DAYS = 1800.0 F\n" + HEADINGS +
                  "Sugar_maple       2          7.4             0.1        554.3 \n" + RULE +
                  "TOTALS            2          7.4             2.2        554.3 \n");
}

TEST_F(TabularTextTest, AReportedDisturbanceIsNamedByTheWindthrowProbabilityAlone) {
    model->run.DISTURBANCE_REPORTED = 1;
    model->params.MIN_DIAM_TO_KILL_FOR_LOGGING = 45.0;
    EXPECT_EQ(buildTabularText(*model, false)
                  .rfind("Plot was logged to a minimum diameter of 45.0 cm\n"
                         "*** The following is for AFTER the disturbance ***\nITERATION ",
                         0),
              0u);
    model->params.BLOW_PROB = 0.1;
    EXPECT_EQ(buildTabularText(*model, false)
                  .rfind("Windthrow killed trees to a minimum diamter of  0.0 cm\n"
                         "*** The following is for AFTER the disturbance ***\n",
                         0),
              0u);
}

TEST_F(TabularTextTest, TheRemovedTreesSectionListsTheLastEvent) {
    Species& maple = model->species[1];
    maple.REM_POP = 1;
    maple.REM.BA = 7.068582;
    maple.REM.TOT_BIOM = 0.099;
    maple.REM.TOT_VOL = 554.29;
    model->species[2].REM_POP = 0;
    model->species[2].REM.BA = 3.0;  // nothing removed: not listed, not summed
    const std::string text = buildTabularText(*model, true);
    const std::string section =
        "\n\nTrees logged from the Plot:\n"
        "Species          Pop       Basal Area      Biomass      Volume\n"
        "             /100 m sq.    cm sq./m sq.    kg/m sq.    cu ft/acre\n" +
        std::string(70, '-') + "\n" + "Sugar_maple       1          7.1             0.1        554.3 \n" +
        RULE + "TOTALS          1.0          7.1             0.1        554.3 \n";
    ASSERT_GE(text.size(), section.size());
    EXPECT_EQ(text.substr(text.size() - section.size()), section);
    EXPECT_EQ(buildTabularText(*model, false).find("Trees logged"), std::string::npos);
}

TEST_F(TabularTextTest, TheLastYearOfTheLastIterationWritesNewplotWithTheTreesSorted) {
    addTree(1, 10.0, 800.0);
    addTree(2, 30.0, 2000.0);
    summarizePlot(*model, plot());
    model->run.CURRENT_YEAR = 10;
    buildTabularText(*model, false);
    EXPECT_FALSE(std::filesystem::exists("newplot"));

    model->run.CURRENT_ITERATION = 2;
    buildTabularText(*model, false);
    ASSERT_TRUE(std::filesystem::exists("newplot"));
    EXPECT_EQ(plot().trees.front().SN, 2);
    EXPECT_NE(readTextFile("newplot").find("    2    30.0  2000.0 \n    1    10.0   800.0 \n"),
              std::string::npos);
}

TEST_F(TabularTextTest, BetweenYearsTheTextDescribesThePlotSteppedLast) {
    Plot& second = model->plots.emplace_back();
    second.PLOT_NO = 2;
    model->run.CURRENT_PLOT = nullptr;
    EXPECT_EQ(buildTabularText(*model, false).rfind("ITERATION    1   PLOT   2    YEAR    1:", 0), 0u);
}

}  // namespace
}  // namespace dravia::test
