#include <algorithm>
#include <string>

#include "output/DisturbanceData.h"
#include "output/OutputFixture.h"
#include "output/ResultsFile.h"
#include "output/StatsReader.h"
#include "platform/Format.h"
#include "platform/ProgramExit.h"

namespace dravia::test {
namespace {

using StatsSlotTest = OutputTest;

TEST_F(StatsSlotTest, GeneralSlotsFollowTheResultsInterval) {
    model->params.RESULTS_INTERV = 10;
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::General, 1), 1);
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::General, 10), 2);
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::General, 20), 3);
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::General, 100), 11);
}

TEST_F(StatsSlotTest, WithIntervalOneEveryYearIsItsOwnSlot) {
    model->params.RESULTS_INTERV = 1;
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::General, 1), 1);
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::General, 2), 2);
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::General, 7), 7);
}

TEST_F(StatsSlotTest, DisturbanceSlotsFollowTheLoggingInterval) {
    model->params.FIRST_DISTURB_YEAR = 20;
    model->params.BLOW_FREQ = 30;
    for (auto kind : {StatsKind::Disturbance, StatsKind::AfterDisturbance}) {
        EXPECT_EQ(statsSlotOfYear(*model, kind, 20), 1);
        EXPECT_EQ(statsSlotOfYear(*model, kind, 49), 1);
        EXPECT_EQ(statsSlotOfYear(*model, kind, 50), 2);
        EXPECT_EQ(statsSlotOfYear(*model, kind, 80), 3);
        EXPECT_EQ(statsSlotOfYear(*model, kind, -11), std::nullopt);  // more than an interval early
    }
    model->params.BLOW_FREQ = 0;
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::Disturbance, 20), std::nullopt);
}

TEST_F(StatsSlotTest, SlotsBeyondTheTableHaveNone) {
    model->params.RESULTS_INTERV = 2;
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::General, 998), 500);
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::General, 1000), std::nullopt);
    model->params.BLOW_FREQ = 1;
    model->params.FIRST_DISTURB_YEAR = 1;
    EXPECT_EQ(statsSlotOfYear(*model, StatsKind::Disturbance, 501), std::nullopt);
}

class StatsReaderTest : public OutputTest {
  protected:
    void SetUp() override {
        OutputTest::SetUp();
        model->params.HABITAT[2] = "Boundary Waters Warm";
        model->params.CO2_FERT_OK = 1;
        model->params.OUTPUT_EVERY_TREE = true;
    }
    // Writes year 1 of two iterations of one plot with trees of species 1 (one of them new).
    void writeTwoIterations() {
        Tree& old = addTree(1, 20.0, 1500.0);
        addTree(1, 1.0, 150.0, 1, 1);
        for (int iteration = 1; iteration <= 2; ++iteration) {
            model->run.CURRENT_ITERATION = iteration;
            Species& maple = model->species[1];
            maple.POP = iteration == 1 ? 2 : 4;
            maple.tally.BA = iteration == 1 ? 3.0 : 5.0;
            maple.tally.TOT_VOL = 100.0 * iteration;
            old.amounts.BA = 77.0;
            writeResults(*model, false);
        }
    }
    void read(StatsKind kind, const std::string& name) {
        readStatsInput(*model, kind, openFile(name, "r"), name);
    }
    int endStatus(StatsKind kind, const std::string& name) {
        try {
            read(kind, name);
        } catch (const ProgramExit& exit) {
            return exit.status;
        }
        return -100;
    }
};

TEST_F(StatsReaderTest, OnlySpeciesRecordsAddIntoTheTable) {
    writeTwoIterations();
    read(StatsKind::General, "Data\\results.out");
    const StatsCell& cell = model->statistics.cell(1, 1);
    EXPECT_EQ(cell.sum[0], 6.0);
    EXPECT_EQ(cell.sumOfSquares[0], 20.0);
    EXPECT_EQ(cell.sum[1], 8.0);
    EXPECT_EQ(cell.sumOfSquares[1], 34.0);
    EXPECT_EQ(cell.sum[8], 300.0);
    EXPECT_EQ(model->statistics.cell(1, 2).sum[0], 0.0);
    EXPECT_EQ(host.standardOutput, "Reading general statistics input file data ... please wait!");
}

TEST_F(StatsReaderTest, HeaderValuesAreReadByTheirLabelsWithBlanksKept) {
    writeTwoIterations();
    RunParameters& p = model->params;
    p.NUM_ITERS = 9, p.NUM_YEARS = 99, p.RESULTS_INTERV = 7;
    p.HABITAT[2] = "x", p.WTHR_TYPES[1] = "x", p.WTHR_FILE = "x", p.WTHR_CAL_YEARS = "x";
    model->site = Site{};
    model->weather.stationElevation = 0.0;
    read(StatsKind::General, "Data\\results.out");
    EXPECT_EQ(p.NUM_ITERS, 2);
    EXPECT_EQ(p.NUM_YEARS, 10);
    EXPECT_EQ(p.RESULTS_INTERV, 5);
    EXPECT_EQ(model->site.ELEVATION, 381.0);
    EXPECT_EQ(p.HABITAT[2], "Boundary Waters Warm");
    EXPECT_EQ(model->weather.stationElevation, 304.8);
    EXPECT_EQ(p.WTHR_FILE, "Data\\weather.txt");
    EXPECT_EQ(model->site.TEXTURE, 160.0);
    EXPECT_EQ(p.WTHR_TYPES[1], "Global Warming");
    EXPECT_EQ(model->site.SOIL_DEPTH, 1.2);
    EXPECT_EQ(p.WTHR_CAL_YEARS, "1961-1990");
    EXPECT_EQ(model->site.WATER_DEPTH, 3.0);
    EXPECT_EQ(model->statistics.CO2_SWITCH_TEXT, "ON");
    EXPECT_EQ(model->site.AVAIL_N, 95.0);
}

TEST_F(StatsReaderTest, TheDisturbanceFileHeaderIsPassedOverAndEveryRecordRead) {
    writeTextFile("Data/disturb.out",
                  disturbanceHeaderText(*model) +
                      "    1     5       1      1       2     10.0       1.0       1.0       1.0       1.0"
                      "       1.0       5.0     100.0 \n"
                      "    2     5       1      1       4     20.0       1.0       1.0       1.0       1.0"
                      "       1.0       5.0     100.0 \n"
                      "    2    15       1      2       1      2.0       1.0       1.0       1.0       1.0"
                      "       1.0       5.0     100.0 \n");
    model->params.NUM_ITERS = 2;
    read(StatsKind::Disturbance, "Data\\disturb.out");
    // FIRST_DISTURB_YEAR 5 and BLOW_FREQ 10: years 5 and 15 are slots 1 and 2.
    EXPECT_EQ(model->statistics.cell(1, 1).sum[0], 6.0);
    EXPECT_EQ(model->statistics.cell(1, 1).sum[1], 30.0);
    EXPECT_EQ(model->statistics.cell(2, 2).sum[0], 1.0);
    EXPECT_EQ(model->statistics.MAX_DISTURBANCE_SLOT, 2);
    EXPECT_EQ(host.standardOutput, "Reading logging statistics input file data ... please wait!");
}

TEST_F(StatsReaderTest, RecordsOutsideTheTableAreIgnored) {
    model->params.RESULTS_INTERV = 1;
    model->params.NUM_YEARS = 500;
    writeTextFile("Data/results.out",
                  "1 1 1 41 5 1 1 1 1 1 1 1 1\n"
                  "1 1 1 0 5 1 1 1 1 1 1 1 1\n"
                  "1 501 1 1 5 1 1 1 1 1 1 1 1\n"
                  "1 0 1 1 5 1 1 1 1 1 1 1 1\n"
                  "2 500 1 40 5 1 1 1 1 1 1 1 1\n");
    read(StatsKind::General, "Data\\results.out");
    double total = 0.0;
    for (const StatsCell& cell : model->statistics.table) total += cell.sum[0];
    EXPECT_EQ(total, 5.0);
    EXPECT_EQ(model->statistics.cell(40, 500).sum[0], 5.0);
}

TEST_F(StatsReaderTest, EachReadingStartsFromAnEmptyTable) {
    model->statistics.cell(3, 400).sum[2] = 8.0;
    model->statistics.cell(3, 400).recordPopulation = 8.0;
    model->statistics.slotTotals[400].grandTotal = 8.0;
    writeTextFile("Data/results.out", "1 1 1 1 5 1 1 1 1 1 1 1 1\n2 1 1 1 5 1 1 1 1 1 1 1 1\n");
    read(StatsKind::General, "Data\\results.out");
    EXPECT_EQ(model->statistics.cell(3, 400).sum[2], 0.0);
    EXPECT_EQ(model->statistics.cell(3, 400).recordPopulation, 0.0);
    EXPECT_EQ(model->statistics.slotTotals[400].grandTotal, 0.0);
}

TEST_F(StatsReaderTest, OneIterationEndsTheStatistics) {
    model->params.NUM_ITERS = 1;
    writeResults(*model, false);
    model->params.NUM_ITERS = 5;
    EXPECT_EQ(endStatus(StatsKind::General, "Data\\results.out"), EXIT_ABNORMAL);
    EXPECT_EQ(host.lastMessage().rfind("errorLog 13: There is only 1 iteration", 0), 0u);
    EXPECT_TRUE(host.standardOutput.empty());
}

TEST_F(StatsReaderTest, AResultsIntervalOfZeroEndsTheStatistics) {
    model->params.RESULTS_INTERV = 0;
    writeResults(*model, false);
    model->params.RESULTS_INTERV = 5;
    EXPECT_EQ(endStatus(StatsKind::General, "Data\\results.out"), EXIT_ABNORMAL);
    EXPECT_EQ(host.lastMessage().rfind("errorLog 16:", 0), 0u);
}

TEST_F(StatsReaderTest, MoreThanFiveHundredIntervalsEndTheStatistics) {
    writeTextFile("Data/results.out",
                  " Iterations:     3 \n Years:           1000 \n Print Interval:     1 \n");
    EXPECT_EQ(endStatus(StatsKind::General, "Data\\results.out"), EXIT_ABNORMAL);
    EXPECT_EQ(host.lastMessage().rfind("errorLog 14: There are more than 500 intervals", 0), 0u);
}

TEST_F(StatsReaderTest, AFinalLineWithoutLineBreakIsReadUnlessItBeginsARecord) {
    model->params.NUM_ITERS = 2;
    writeTextFile("Data/results.out", "1 1 1 1 5 1 1 1 1 1 1 1 1\n2 1 1 1 4 1 1 1 1 1 1 1 1\nend of file");
    read(StatsKind::General, "Data\\results.out");
    EXPECT_EQ(model->statistics.cell(1, 1).sum[0], 9.0);
    // Cut short inside its last record, even where what is left still looks like one.
    for (const char* last : {"2 1 1 1 4 1 1", "2 1 1 1 4 1 1 1 1 1 1 1 1", "  -"}) {
        writeTextFile("Data/results.out", std::string("junk\n1 1 1 1 5 1 1 1 1 1 1 1 1\n") + last);
        EXPECT_EQ(endStatus(StatsKind::General, "Data\\results.out"), EXIT_ABNORMAL) << last;
        EXPECT_EQ(host.lastMessage(),
                  "Error: statistics input file Data\\results.out ends inside a record on "
                  "line 3; the file was cut short.");
    }
}

TEST_F(StatsReaderTest, DisturbanceFilesOfAnotherRunAreRefused) {
    // The results file read before told of 2 iterations of 10 years.
    const std::string otherRun =
        "Error: statistics input file Data\\disturb.out describes a run of %d iterations of %d years, but "
        "the "
        "results file one of 2 iterations of 10 years; they are not files of the same run.";
    struct Case {
        StatsKind kind;
        int iterations, years;
    };
    for (const Case c :
         {Case{StatsKind::Disturbance, 3, 10}, Case{StatsKind::Disturbance, 2, 20},
          Case{StatsKind::AfterDisturbance, 3, 10}, Case{StatsKind::AfterDisturbance, 2, 20}}) {
        model->params.NUM_ITERS = c.iterations;
        model->params.NUM_YEARS = c.years;
        writeTextFile("Data/disturb.out", c.kind == StatsKind::Disturbance ? disturbanceHeaderText(*model)
                                                                           : resultsHeaderText(*model, true));
        model->params.NUM_ITERS = 2;
        model->params.NUM_YEARS = 10;
        EXPECT_EQ(endStatus(c.kind, "Data\\disturb.out"), EXIT_ABNORMAL);
        EXPECT_EQ(host.lastMessage(), formatText(otherRun.c_str(), c.iterations, c.years));
    }
}

TEST_F(StatsReaderTest, SlotTotalsAreTheMeanPlotOfEveryCountedRecord) {
    model->params.NUM_ITERS = 2;
    model->params.NUM_PLOTS = 2;
    model->params.RESULTS_INTERV = 10;
    writeTextFile("Data/results.out",
                  "1 1 1 1 4 2 0 0 0 0 0 0 0\n"
                  "1 1 2 1 2 2 0 0 0 0 0 0 0\n"     // the second plot adds into the same iteration
                  "1 1 1 41 7 1 1 1 1 1 1 1 1\n"    // no such species: not counted
                  "1 5000 1 1 7 1 1 1 1 1 1 1 1\n"  // beyond the table: not counted
                  "2 10 1 1 5 1 1 1 1 1 1 1 1\n"
                  "2 10 2 3 1 1 1 1 1 1 1 1 1\n"
                  "2 10 1 2 0 0 0 0 0 0 0 0 0\n"    // no data for its species, counted all the same
                  "2 11 1 2 2 1 1 1 1 1 1 1 1\n");  // year 11 falls in the slot of year 10
    read(StatsKind::General, "Data\\results.out");
    const StatisticsState& statistics = model->statistics;
    // Slot 1: iteration 1 holds 6 trees on 2 plots, iteration 2 none.
    EXPECT_EQ(statistics.slotTotals[1].sum, (StatsQuantities{3, 2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(statistics.slotTotals[1].sumOfSquares, (StatsQuantities{9, 4, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(statistics.cell(1, 1).sum[POPULATION], 3.0);
    EXPECT_EQ(statistics.cell(1, 1).recordPopulation, 6.0);
    // Slot 2: iteration 2 holds 8 trees and 3 of every other quantity on 2 plots.
    const StatsSlotTotals& later = statistics.slotTotals[2];
    EXPECT_EQ(later.sum, (StatsQuantities{4, 1.5, 1.5, 1.5, 1.5, 1.5, 1.5, 1.5, 1.5}));
    EXPECT_EQ(later.sumOfSquares[POPULATION], 16.0);
    EXPECT_EQ(later.aboveGround, 6.0);
    EXPECT_EQ(later.aboveGroundSquares, 36.0);
    EXPECT_EQ(later.grandTotal, 7.5);
    EXPECT_EQ(later.grandTotalSquares, 56.25);
}

TEST_F(StatsReaderTest, RecordsOfTheWrongIterationOrPlotAreRefusedByLine) {
    model->params.NUM_ITERS = 3;
    model->params.NUM_PLOTS = 2;
    const std::string header = disturbanceHeaderText(*model);
    const long long headerLines = std::count(header.begin(), header.end(), '\n');
    struct Case {
        StatsKind kind;
        std::string content;
        std::string message;
    };
    const Case cases[] = {
        {StatsKind::General,
         "1 1 1 1 5 1 1 1 1 1 1 1 1\n2 1 1 1 5 1 1 1 1 1 1 1 1\n1 5 2 1 5 1 1 1 1 1 1 1 1\n",
         "Data\\results.out, line 3: a record of iteration 1 follows records of iteration 2; a run writes "
         "its iterations in increasing order."},
        {StatsKind::Disturbance, header + "3 5 1 1 5 1 1 1 1 1 1 1 1\n2 15 1 1 5 1 1 1 1 1 1 1 1\n",
         "Data\\results.out, line " + std::to_string(headerLines + 2) +
             ": a record of iteration 2 follows records of iteration 3; a run writes its iterations in "
             "increasing order."},
        {StatsKind::General, "1 1 1 1 5 1 1 1 1 1 1 1 1\n1 1 3 1 5 1 1 1 1 1 1 1 1\n",
         "Data\\results.out, line 2: a record of plot 3, but the run had plots 1 to 2."},
        {StatsKind::AfterDisturbance, "1 5 0 1 5 1 1 1 1 1 1 1 1\n",
         "Data\\results.out, line 1: a record of plot 0, but the run had plots 1 to 2."},
    };
    for (const Case& c : cases) {
        writeTextFile("Data/results.out", c.content);
        EXPECT_EQ(endStatus(c.kind, "Data\\results.out"), EXIT_ABNORMAL);
        EXPECT_EQ(host.lastMessage(), "Error: statistics input file " + c.message);
    }
}

}  // namespace
}  // namespace dravia::test
