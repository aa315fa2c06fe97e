#include <filesystem>
#include <string>

#include "output/OutputFixture.h"
#include "output/Tally.h"
#include "platform/Format.h"
#include "platform/ProgramExit.h"
#include "run/PlotYearOutput.h"

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

class ResultsOutputTest : public OutputTest {
  protected:
    // Tallies with easy figures; POP decides which species are listed.
    void setSpecies(int sn, int pop, double ba) {
        Species& s = model->species[sn];
        s.POP = pop;
        s.tally = {ba, 1.5, 0.25, 0.75, 1.0, 0.0125, 3.5125, 1234.5678};
    }
    void setTreeTallies(Tree& t) { t.amounts = {0.0123, 0.5, 0.05, 0.25, 0.125, 0.0004, 0.9254, 0.0}; }
    std::string results() { return readTextFile("Data/results.out"); }
    // The driver's record-block write and results-interval work for the plot's year in force, and
    // the year's end that writes them.
    void write(bool afterDisturbance) {
        writeResultsOfPlotYear(*model, plot(), planPlotYear(*model, plot()), afterDisturbance);
        writeYearsResults(*model);
    }
    void intervalOutput() {
        writeIntervalOutput(*model, plot(), planPlotYear(*model, plot()));
        writeYearsResults(*model);
    }
    void summarizeAndWrite() {
        summarizePlot(*model, plot());
        write(false);
    }
};

const std::string SPECIES_TAIL = "     1.500     0.250     0.750     1.000     0.013     3.513  1234.568 \n";
const std::string TREE_TAIL =
    "    0.012     0.500     0.050     0.250     0.125     0.000     0.925     0.000\n";

TEST_F(ResultsOutputTest, FirstWriteOfARunCreatesTheHeaderThenTheSpeciesRecords) {
    setSpecies(1, 2, 12.3456);
    setSpecies(2, 0, 0.0);
    write(false);
    EXPECT_EQ(results(), expectedHeader(BEFORE_LINE, 5) + "      1     1    1   1   2 " + blanks(21) +
                             "12.346" + SPECIES_TAIL);
    EXPECT_FALSE(std::filesystem::exists("Data/afterdist.out"));
}

TEST_F(ResultsOutputTest, TreeRecordsFollowTheirSpeciesInTreeListOrderMarkingThisYearsSaplings) {
    model->params.OUTPUT_EVERY_TREE = true;
    model->run.CURRENT_YEAR = 3;
    model->run.CURRENT_ITERATION = 2;
    model->output.resultsFileCreated = true;
    setTreeTallies(addTree(1, 25.5, 1500.0));
    setTreeTallies(addTree(2, 10.0, 900.0));
    setTreeTallies(addTree(1, 1.25, 180.04, 3, 2));
    setSpecies(1, 2, 9.0);
    setSpecies(2, 1, 0.5);
    write(false);
    EXPECT_EQ(results(), "      2     3    1   1   2 " + blanks(22) + "9.000" + SPECIES_TAIL +
                             "    002 00000 0000 001 000    4 25.500 1500.0" + TREE_TAIL +
                             " -> 002 00003 0001 001 002    1  1.250  180.0" + TREE_TAIL +
                             "      2     3    1   2   1 " + blanks(22) + "0.500" + SPECIES_TAIL +
                             "    002 00000 0000 002 000    4 10.000  900.0" + TREE_TAIL);
}

TEST_F(ResultsOutputTest, WithoutOutputEveryTreeOnlySpeciesRecordsAreWritten) {
    model->output.resultsFileCreated = true;
    addTree(1, 25.5, 1500.0);
    setSpecies(1, 1, 9.0);
    write(false);
    EXPECT_EQ(results(), "      1     1    1   1   1 " + blanks(22) + "9.000" + SPECIES_TAIL);
}

TEST_F(ResultsOutputTest, TwoPlotsShareOneHeader) {
    setSpecies(1, 1, 9.0);
    write(false);
    Plot& second = model->plots.emplace_back();
    second.PLOT_NO = 2;
    model->run.CURRENT_PLOT = &second;
    write(false);
    EXPECT_EQ(results(), expectedHeader(BEFORE_LINE, 5) + "      1     1    1   1   1 " + blanks(22) +
                             "9.000" + SPECIES_TAIL + "      1     1    2   1   1 " + blanks(22) + "9.000" +
                             SPECIES_TAIL);
}

TEST_F(ResultsOutputTest, ANewRunReplacesTheResultsFile) {
    writeTextFile("Data/results.out", "old run\n");
    setSpecies(1, 1, 9.0);
    write(false);
    EXPECT_EQ(results().rfind("\n DRAVIA 4 TREE BIODATA\n", 0), 0u);
}

TEST_F(ResultsOutputTest, AfterDisturbanceFileIsReplacedOnlyWhenItsHeaderConditionHolds) {
    writeTextFile("Data/afterdist.out", "earlier\n");
    setSpecies(1, 1, 9.0);
    model->run.CURRENT_YEAR = 3;  // neither year 1 nor the first disturbance year
    write(true);
    const std::string record3 = "      1     3    1   1   1 " + blanks(22) + "9.000" + SPECIES_TAIL;
    EXPECT_EQ(readTextFile("Data/afterdist.out"), "earlier\n" + record3);

    model->run.CURRENT_YEAR = 5;  // FIRST_DISTURB_YEAR
    write(true);
    const std::string record5 = "      1     5    1   1   1 " + blanks(22) + "9.000" + SPECIES_TAIL;
    EXPECT_EQ(readTextFile("Data/afterdist.out"), expectedHeader(AFTER_LINE, 5) + record5);
    EXPECT_FALSE(std::filesystem::exists("Data/results.out"));
}

TEST_F(ResultsOutputTest, TheHeaderConditionNeedsTheFirstIteration) {
    writeTextFile("Data/results.out", "earlier\n");
    model->run.CURRENT_ITERATION = 2;
    setSpecies(1, 1, 9.0);
    write(false);
    EXPECT_EQ(results().rfind("earlier\n      2     1", 0), 0u);
}

// The widening check runs at every record-block write, after the header: the header keeps the
// interval found before the check, and the message comes again at each write while the run's
// years still make more than 500 intervals of the widened interval.
TEST_F(ResultsOutputTest, TheResultsIntervalIsWidenedAtEachWriteWhileOverTheLimit) {
    struct Case {
        int years, interval;
        int messagesAfterTwoWrites, widened;
    };
    const Case cases[] = {
        {500, 1, 0, 1},   // exactly 500 intervals are accepted
        {1000, 1, 1, 2},  // widened once: 1000 / 2 = 500
        {1003, 1, 2, 2},  // 1003 / 2 = 501: still over, the message again, the same interval
        {1003, -1, 0, -1}, {1003, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.years) + " years, interval " + std::to_string(c.interval));
        std::filesystem::remove("Data/results.out");
        host.messages.clear();
        model->output = OutputState{};  // a new run: the file is made and held anew
        model->params.NUM_YEARS = c.years;
        model->params.RESULTS_INTERV = c.interval;
        model->run.CURRENT_YEAR = 1;
        setSpecies(1, 1, 9.0);
        write(false);
        EXPECT_NE(results().find(" Print Interval: " + formatText("%5d", c.interval) + " \n"),
                  std::string::npos)
            << "the header keeps the interval found before the check";
        model->run.CURRENT_YEAR = 2;
        write(false);
        EXPECT_EQ(static_cast<int>(host.messages.size()), c.messagesAfterTwoWrites);
        for (const auto& message : host.messages) {
            EXPECT_EQ(message.text.rfind("errorLog 10: More than 500 result intervals.", 0), 0u);
            EXPECT_NE(message.text.find(std::to_string(c.years) + "/500"), std::string::npos);
        }
        EXPECT_EQ(model->params.RESULTS_INTERV, c.widened);
    }
}

TEST_F(ResultsOutputTest, AFileThatCannotBeCreatedEndsTheProgram) {
    model->params.RESULTS_FILE = "Missing\\results.out";
    try {
        write(false);
        FAIL() << "no exit";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_FATAL_ERROR);
    }
    EXPECT_EQ(host.lastMessage(),
              "errorLog 15: The system is unable to create the file \"Missing\\results.out\".");
}

TEST_F(ResultsOutputTest, AFileThatCannotBeAppendedToEndsTheProgram) {
    model->params.AFTER_DISTURBANCE_RESULTS_FILE = "Missing\\after.out";
    model->run.CURRENT_YEAR = 4;
    try {
        write(true);
        FAIL() << "no exit";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_FATAL_ERROR);
    }
    EXPECT_EQ(host.lastMessage(),
              "Error: after disturbance results file Missing\\after.out could not be opened.");
}

TEST_F(ResultsOutputTest, TheLastYearOfTheLastIterationWritesTheTreeBiodata) {
    addTree(1, 25.5, 1500.0);
    model->run.CURRENT_YEAR = 10;
    write(false);
    EXPECT_FALSE(std::filesystem::exists("newplot"));
    model->run.CURRENT_ITERATION = 2;
    write(false);
    EXPECT_TRUE(std::filesystem::exists("newplot"));
}

TEST_F(ResultsOutputTest, IntervalOutputTalliesAndWritesOnMultiplesOfTheInterval) {
    addTree(1, 30.0, 2000.0);
    model->output.resultsFileCreated = true;
    model->run.CURRENT_YEAR = 5;
    intervalOutput();
    EXPECT_EQ(model->species[1].POP, 1);
    EXPECT_EQ(results().rfind("      1     5    1   1   1 ", 0), 0u);
    EXPECT_NE(results().find("   554.293 \n"), std::string::npos);
}

TEST_F(ResultsOutputTest, IntervalOutputWithoutFileOutputTouchesNoFile) {
    model->params.FILE_OUTPUT_FLAG = 0;
    addTree(1, 30.0, 2000.0);
    model->run.CURRENT_YEAR = 5;
    intervalOutput();
    EXPECT_EQ(model->species[1].POP, 1);
    EXPECT_FALSE(std::filesystem::exists("Data/results.out"));
}

TEST_F(ResultsOutputTest, WithIntervalOneTheYearOneBlockIsWrittenOnce) {
    model->params.RESULTS_INTERV = 1;
    addTree(1, 30.0, 2000.0);
    // The yearly step's year-1 output, then its interval output of the same year.
    summarizeAndWrite();
    intervalOutput();
    model->run.CURRENT_YEAR = 2;
    intervalOutput();
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
