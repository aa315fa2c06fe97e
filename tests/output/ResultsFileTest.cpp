#include <filesystem>
#include <string>

#include "output/OutputFixture.h"
#include "output/ResultsFile.h"
#include "output/Tally.h"
#include "platform/ProgramExit.h"

namespace dravia::test {
namespace {

std::string blanks(size_t count) {
    return std::string(count, ' ');
}

const std::string COLUMN_HEADINGS =
    "  ITER-  SIM/ PLOT TR. POP                       BASAL     STEM "
    "      BARK     BRANCH     ROOT      LEAF     TOTAL     TOTAL\n"
    "  ATION BIRTH NUM- SP. /ID  AGE   DBH  HEIGHT     AREA   BIOMASS"
    "    BIOMASS   BIOMASS   BIOMASS   BIOMASS   BIOMASS   VOLUME\n"
    " NUMBER  YEAR BER  NO. NO. (yrs)  (cm)  (cm)                    "
    "                                                           \n\n";

std::string expectedHeader(const std::string& kindLine, int interval) {
    return "\n DRAVIA 4 TREE BIODATA\n" + kindLine +
           " Iterations:         2 \n"
           " Years:             10 \n"
           " Print Interval:     " +
           std::to_string(interval) +
           " \n\n"
           " Site Elevation:   381.0 meters   Habitat:             Northern Hardwoods \n"
           " Base Elevation:   304.8 meters   Weather File:        Data\\weather.txt \n"
           " Soil Texture:     160.0          Weather Type:        Global Warming \n"
           " Soil Depth:         1.2 meters   Weather Cal. Years:  1961-1990 \n"
           " Water Depth:        3.0 meters   CO2 Fertilization:   OFF \n"
           " Avail. Nitrogen:   95.0 \n\n" +
           COLUMN_HEADINGS;
}

const std::string BEFORE_LINE = " RESULTS WITHOUT OR BEFORE LOGGING\n\n";
const std::string AFTER_LINE = " RESULTS AFTER LOGGING IS COMPLETED\n\n";

class ResultsFileTest : public OutputTest {
  protected:
    // Tallies with easy figures; POP decides which species are listed.
    void setSpecies(int sn, int pop, double ba) {
        Species& s = model->species[sn];
        s.POP = pop;
        s.BA = ba;
        s.STEM_BM = 1.5;
        s.BARK_BM = 0.25;
        s.BRANCH_BM = 0.75;
        s.ROOT_BM = 1.0;
        s.LEAF_BM = 0.0125;
        s.TOT_BIOM = 3.5125;
        s.TOT_VOL = 1234.5678;
    }
    void setTreeTallies(Tree& t) {
        t.TREE_BA = 0.0123;
        t.STEM_BM = 0.5, t.BARK_BM = 0.05, t.BRANCH_BM = 0.25, t.ROOT_BM = 0.125, t.LEAF_BM = 0.0004;
        t.TOT_BIOM = 0.9254;
        t.TOT_VOL = 0.0;
    }
    std::string results() { return readTextFile("Data/results.out"); }
    void summarizeAndWrite() {
        summarizePlot(*model);
        writeResults(*model, false);
    }
};

const std::string SPECIES_TAIL = "     1.500     0.250     0.750     1.000     0.013     3.513  1234.568 \n";
const std::string TREE_TAIL =
    "    0.012     0.500     0.050     0.250     0.125     0.000     0.925     0.000\n";

TEST_F(ResultsFileTest, FirstWriteOfARunCreatesTheHeaderThenTheSpeciesRecords) {
    setSpecies(1, 2, 12.3456);
    setSpecies(2, 0, 0.0);
    writeResults(*model, false);
    EXPECT_EQ(results(), expectedHeader(BEFORE_LINE, 5) + "      1     1    1   1   2 " + blanks(21) +
                             "12.346" + SPECIES_TAIL);
    EXPECT_FALSE(std::filesystem::exists("Data/afterdist.out"));
}

TEST_F(ResultsFileTest, TreeRecordsFollowTheirSpeciesInTreeListOrderMarkingThisYearsSaplings) {
    model->params.OUTPUT_EVERY_TREE = true;
    model->run.CURRENT_YEAR = 3;
    model->run.CURRENT_ITERATION = 2;
    model->output.resultsFileCreated = true;
    setTreeTallies(addTree(1, 25.5, 1500.0));
    setTreeTallies(addTree(2, 10.0, 900.0));
    setTreeTallies(addTree(1, 1.25, 180.04, 3, 2));
    setSpecies(1, 2, 9.0);
    setSpecies(2, 1, 0.5);
    writeResults(*model, false);
    EXPECT_EQ(results(), "      2     3    1   1   2 " + blanks(22) + "9.000" + SPECIES_TAIL +
                             "    002 00000 0000 001 000    4 25.500 1500.0" + TREE_TAIL +
                             " -> 002 00003 0001 001 002    1  1.250  180.0" + TREE_TAIL +
                             "      2     3    1   2   1 " + blanks(22) + "0.500" + SPECIES_TAIL +
                             "    002 00000 0000 002 000    4 10.000  900.0" + TREE_TAIL);
}

TEST_F(ResultsFileTest, WithoutOutputEveryTreeOnlySpeciesRecordsAreWritten) {
    model->output.resultsFileCreated = true;
    addTree(1, 25.5, 1500.0);
    setSpecies(1, 1, 9.0);
    writeResults(*model, false);
    EXPECT_EQ(results(), "      1     1    1   1   1 " + blanks(22) + "9.000" + SPECIES_TAIL);
}

TEST_F(ResultsFileTest, TwoPlotsShareOneHeader) {
    setSpecies(1, 1, 9.0);
    writeResults(*model, false);
    Plot& second = model->plots.emplace_back();
    second.PLOT_NO = 2;
    model->run.CURRENT_PLOT = &second;
    writeResults(*model, false);
    EXPECT_EQ(results(), expectedHeader(BEFORE_LINE, 5) + "      1     1    1   1   1 " + blanks(22) +
                             "9.000" + SPECIES_TAIL + "      1     1    2   1   1 " + blanks(22) + "9.000" +
                             SPECIES_TAIL);
}

TEST_F(ResultsFileTest, ANewRunReplacesTheResultsFile) {
    writeTextFile("Data/results.out", "old run\n");
    setSpecies(1, 1, 9.0);
    writeResults(*model, false);
    EXPECT_EQ(results().rfind("\n DRAVIA 4 TREE BIODATA\n", 0), 0u);
}

TEST_F(ResultsFileTest, AfterDisturbanceFileIsReplacedOnlyWhenItsHeaderConditionHolds) {
    writeTextFile("Data/afterdist.out", "earlier\n");
    setSpecies(1, 1, 9.0);
    model->run.CURRENT_YEAR = 3;  // neither year 1 nor the first disturbance year
    writeResults(*model, true);
    const std::string record3 = "      1     3    1   1   1 " + blanks(22) + "9.000" + SPECIES_TAIL;
    EXPECT_EQ(readTextFile("Data/afterdist.out"), "earlier\n" + record3);

    model->run.CURRENT_YEAR = 5;  // FIRST_DISTURB_YEAR
    writeResults(*model, true);
    const std::string record5 = "      1     5    1   1   1 " + blanks(22) + "9.000" + SPECIES_TAIL;
    EXPECT_EQ(readTextFile("Data/afterdist.out"), expectedHeader(AFTER_LINE, 5) + record5);
    EXPECT_FALSE(std::filesystem::exists("Data/results.out"));
}

TEST_F(ResultsFileTest, TheHeaderConditionNeedsTheFirstIteration) {
    writeTextFile("Data/results.out", "earlier\n");
    model->run.CURRENT_ITERATION = 2;
    setSpecies(1, 1, 9.0);
    writeResults(*model, false);
    EXPECT_EQ(results().rfind("earlier\n      2     1", 0), 0u);
}

TEST_F(ResultsFileTest, MoreThanFiveHundredIntervalsWidenTheIntervalOnce) {
    model->params.NUM_YEARS = 1000;
    model->params.RESULTS_INTERV = 1;
    setSpecies(1, 1, 9.0);
    writeResults(*model, false);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text.rfind("errorLog 10: More than 500 result intervals.", 0), 0u);
    EXPECT_NE(host.messages[0].text.find("1000/500"), std::string::npos);
    EXPECT_EQ(model->params.RESULTS_INTERV, 2);
    EXPECT_NE(results().find(" Print Interval:     1 \n"), std::string::npos);  // the value before the check
    model->run.CURRENT_YEAR = 2;
    writeResults(*model, false);
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(ResultsFileTest, ExactlyFiveHundredIntervalsAreAccepted) {
    model->params.NUM_YEARS = 500;
    model->params.RESULTS_INTERV = 1;
    writeResults(*model, false);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(model->params.RESULTS_INTERV, 1);
}

TEST_F(ResultsFileTest, AFileThatCannotBeCreatedEndsTheProgram) {
    model->params.RESULTS_FILE = "Missing\\results.out";
    try {
        writeResults(*model, false);
        FAIL() << "no exit";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_FATAL_ERROR);
    }
    EXPECT_EQ(host.lastMessage(),
              "errorLog 15: The system is unable to create the file \"Missing\\results.out\".");
}

TEST_F(ResultsFileTest, AFileThatCannotBeAppendedToEndsTheProgram) {
    model->params.AFTER_DISTURBANCE_RESULTS_FILE = "Missing\\after.out";
    model->run.CURRENT_YEAR = 4;
    try {
        writeResults(*model, true);
        FAIL() << "no exit";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_FATAL_ERROR);
    }
    EXPECT_EQ(host.lastMessage(),
              "Error: after disturbance results file Missing\\after.out could not be opened.");
}

TEST_F(ResultsFileTest, TheLastYearOfTheLastIterationWritesTheTreeBiodata) {
    addTree(1, 25.5, 1500.0);
    model->run.CURRENT_YEAR = 10;
    writeResults(*model, false);
    EXPECT_FALSE(std::filesystem::exists("newplot"));
    model->run.CURRENT_ITERATION = 2;
    writeResults(*model, false);
    EXPECT_TRUE(std::filesystem::exists("newplot"));
}

TEST_F(ResultsFileTest, IntervalOutputTalliesAndWritesOnMultiplesOfTheInterval) {
    addTree(1, 30.0, 2000.0);
    model->output.resultsFileCreated = true;
    model->run.CURRENT_YEAR = 5;
    writeIntervalOutput(*model);
    EXPECT_EQ(model->species[1].POP, 1);
    EXPECT_EQ(results().rfind("      1     5    1   1   1 ", 0), 0u);
    EXPECT_NE(results().find("   554.293 \n"), std::string::npos);
}

TEST_F(ResultsFileTest, IntervalOutputWithoutFileOutputTouchesNoFile) {
    model->params.FILE_OUTPUT_FLAG = 0;
    addTree(1, 30.0, 2000.0);
    model->run.CURRENT_YEAR = 5;
    writeIntervalOutput(*model);
    EXPECT_EQ(model->species[1].POP, 1);
    EXPECT_FALSE(std::filesystem::exists("Data/results.out"));
}

TEST_F(ResultsFileTest, WithIntervalOneTheYearOneBlockIsWrittenOnce) {
    model->params.RESULTS_INTERV = 1;
    addTree(1, 30.0, 2000.0);
    // The yearly step's year-1 output, then its interval output of the same year.
    summarizeAndWrite();
    writeIntervalOutput(*model);
    model->run.CURRENT_YEAR = 2;
    writeIntervalOutput(*model);
    const std::string text = results();
    const std::string header = expectedHeader(BEFORE_LINE, 1);
    ASSERT_EQ(text.rfind(header, 0), 0u);
    const std::string records = text.substr(header.size());
    EXPECT_EQ(records.find("      1     1    1   1   1 "), 0u);
    EXPECT_EQ(records.find("      1     1    1", 1), std::string::npos);
    EXPECT_NE(records.find("      1     2    1   1   1 "), std::string::npos);
}

}  // namespace
}  // namespace dravia::test
