#include <array>
#include <string>
#include <vector>

#include "output/DisturbanceData.h"
#include "output/OutputFixture.h"
#include "output/StatsReport.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"
#include "support/Tolerance.h"

namespace dravia::test {
namespace {

TEST(StudentTTest, ValuesByNumberOfIterations) {
    EXPECT_EQ(studentT(5 - 2), 2.776);
    EXPECT_EQ(studentT(31 - 2), 2.042);
    EXPECT_EQ(studentT(32 - 2), 2.021);
    EXPECT_EQ(studentT(36 - 2), 1.96);
    EXPECT_EQ(studentT(33 - 2), 2.0);
    EXPECT_EQ(studentT(200), 1.96);
    EXPECT_EQ(studentT(0), 12.706);
}

TEST(ConfidenceTest, HalfPresentSpeciesExample) {
    // Present in 2 of 4 iterations with 10 trees each: 5.0 ± 9.19.
    EXPECT_TO_DECIMALS(confidenceHalfWidth(studentT(2), 20.0, 200.0, 4.0), 9.19, 2);
}

TEST(ConfidenceTest, AConstantValueHasNoInterval) {
    EXPECT_EQ(confidenceHalfWidth(2.776, 15.0, 45.0, 5.0), 0.0);
}

TEST(StatsDisplayTest, LineBreaksAndFormFeedsAreConverted) {
    EXPECT_EQ(statsDisplayText("A\nB\fC"), "A\r\nB\r\n---------------------------------\r\n\r\nC");
}

class StatsReportTest : public OutputTest {
  protected:
    void SetUp() override {
        OutputTest::SetUp();
        model->params.NUM_YEARS = 10;
        model->params.RESULTS_INTERV = 10;
        model->statistics.CO2_SWITCH_TEXT = "OFF";
    }
    // Fills a cell and its slot's stand totals from the values of iterations 1, 2, ..., in the order
    // of the table's pairs, as a reading of one plot with one species in the slot would.
    void fill(int sn, int slot, std::initializer_list<StatsQuantities> iterations) {
        StatsCell& cell = model->statistics.cell(sn, slot);
        StatsSlotTotals& totals = model->statistics.slotTotals[static_cast<size_t>(slot)];
        for (const auto& values : iterations) {
            for (size_t q = 0; q < STATS_QUANTITIES; ++q) {
                cell.sum[q] += values[q];
                cell.sumOfSquares[q] += values[q] * values[q];
            }
            cell.recordPopulation += values[POPULATION];
            cell.recordBasalArea += values[BASAL_AREA];
            const double above = values[LEAF] + values[BARK] + values[BRANCH] + values[STEM];
            totals.aboveGround += above;
            totals.aboveGroundSquares += above * above;
            totals.grandTotal += above + values[ROOT];
            totals.grandTotalSquares += (above + values[ROOT]) * (above + values[ROOT]);
        }
        totals.sum = cell.sum;
        totals.sumOfSquares = cell.sumOfSquares;
    }
    // Reads a file of the kind and returns the report's totals line and biomass lines.
    std::string totalsOf(StatsKind kind, const std::string& fileText) {
        const std::string name = kind == StatsKind::Disturbance ? "Data\\disturb.out" : "Data\\results.out";
        writeTextFile(kind == StatsKind::Disturbance ? "Data/disturb.out" : "Data/results.out", fileText);
        if (kind != StatsKind::General) model->statistics.MAX_DISTURBANCE_SLOT = 0;
        readStatsInput(*model, kind, openFile(name, "r"), name);
        const std::string text = statsReportText(*model, kind, StatsLayout::Plain);
        const size_t start = text.find("\n    TOTAL");
        return start == std::string::npos ? text : text.substr(start, text.find('\f') + 1 - start);
    }
    std::string header(int year) {
        return "Global Warming USING THE 1961-1990 WEATHER RECORD \n"
               "FOR Northern Hardwoods \n"
               "CO2 FERTILIZATION SWITCH = OFF \n\n\n"
               "YEAR: " +
               std::string(year < 10 ? "    " : "   ") + std::to_string(year) +
               "     INTERVAL: 10         REPLICATES:     2\n"
               "SITE ELEVATION: 381.0 m              WEATHER STATION ELEVATION: 304.8 m \n"
               "SOIL MOISTURE CAPACITY: 160.0 mm/m   SOIL DEPTH:   1.2 m \n"
               "WATER TABLE DEPTH:   3.0 m           SOIL NITROGEN:  95.0\n\n";
    }
};

const std::string PLAIN_HEADINGS =
    "SN TREE SPECIES      Pop    95CI    BA      95CI   BIOM    95CI    VOL    95CI \n"
    "   (Common name)     N/100 m sq.    cm sq./m sq.   kg/m sq.        cu.ft./acre \n\n";

std::string biomassLines(const char* values[7][2]) {
    const char* labels[7] = {"  STEM WOOD                ", "  STEM BARK                ",
                             "  STEM BRANCH              ", "  LEAVES                   ",
                             "  ABOVE GROUND TOTAL       ", "  ROOT                     ",
                             "  BIOMASS GRAND TOTAL      "};
    std::string text = "\n\n                             AVERAGE         95 PCT CI\n\n";
    for (int i = 0; i < 7; ++i)
        text += std::string(labels[i]) + values[i][0] + "        " + values[i][1] + "\n";
    return text + "\f";
}

// The biomass lines with the given average and interval texts; one pair stands for all seven.
std::string biomassLinesOf(const std::vector<std::array<std::string, 2>>& rows) {
    const char* values[7][2];
    for (size_t i = 0; i < 7; ++i) {
        const auto& row = rows.size() == 1 ? rows[0] : rows[i];
        values[i][0] = row[0].c_str();
        values[i][1] = row[1].c_str();
    }
    return biomassLines(values);
}

TEST_F(StatsReportTest, PlainLayoutHasAPagePerSlot) {
    // pop, BA, total biomass, stem, bark, root, leaf, branch, volume
    fill(1, 1, {{4, 2, 2, 1, 0, 1, 0, 0, 0}, {4, 4, 2, 1, 0, 1, 0, 0, 0}});
    // One species: the stand's totals are the species' own, and so are their intervals.
    const char* first[7][2] = {{"     1.0", "     0.0"}, {"     0.0", "     0.0"}, {"     0.0", "     0.0"},
                               {"     0.0", "     0.0"}, {"     1.0", "     0.0"}, {"     1.0", "     0.0"},
                               {"     2.0", "     0.0"}};
    const char* empty[7][2] = {{"     0.0", "     0.0"}, {"     0.0", "     0.0"}, {"     0.0", "     0.0"},
                               {"     0.0", "     0.0"}, {"     0.0", "     0.0"}, {"     0.0", "     0.0"},
                               {"     0.0", "     0.0"}};
    EXPECT_EQ(statsReportText(*model, StatsKind::General, StatsLayout::Plain),
              "GENERAL STATISTICS OUTPUT FILE\n" + header(1) + PLAIN_HEADINGS +
                  " 1 Sugar_maple        4.0    0.0     3.0    12.7    2.0     0.0     0.0    0.0\n"
                  "\n    TOTAL             4.0    0.0     3.0    12.7    2.0     0.0     0.0    0.0\n" +
                  biomassLines(first) + header(10) + PLAIN_HEADINGS +
                  "\n    TOTAL             0.0    0.0     0.0     0.0    0.0     0.0     0.0    0.0\n" +
                  biomassLines(empty));
    EXPECT_EQ(model->statistics.STATS_SLOT_COUNT, 2);
}

TEST_F(StatsReportTest, TabSeparatedLayoutKeepsEveryListedSpeciesInEveryRow) {
    // Species 2 shows data first, so it leads the list.
    fill(2, 1, {{4, 2, 2, 1, 0, 1, 0, 0, 0}, {4, 4, 2, 1, 0, 1, 0, 0, 0}});
    fill(1, 2, {{4, 2, 2, 1, 0, 1, 0, 0, 0}, {4, 4, 2, 1, 0, 1, 0, 0, 0}});
    const std::string block = "SN\tTREE SPECIES\tPop\t95CI\tBA\t95CI\tBIOM\t95CI\tVOL\t95CI\t";
    const std::string units = "\t(Common name)\tN/100 m sq.\t\tcm sq./m sq.\t\tkg/m sq.\t\tcu.ft./acre\t";
    const std::string totals =
        "\tTOTAL\t  4.0\t   0.0\t    3.0\t   12.7\t   2.0\t    0.0\t    0.0\t   0.0\t"
        "     1.0\t     0.0\t     0.0\t     0.0\t     0.0\t     0.0\t     0.0\t     0.0\t     1.0\t     0.0\t"
        "     1.0\t     0.0\t     2.0\t     0.0\n";
    const std::string beech =
        " 2\tAmerican_beech  \t  4.0\t   0.0\t    3.0\t   12.7\t   2.0\t    0.0\t    0.0\t   0.0\t";
    const std::string maple =
        " 1\tSugar_maple     \t  4.0\t   0.0\t    3.0\t   12.7\t   2.0\t    0.0\t    0.0\t   0.0\t";
    const std::string noBeech =
        " 2\tAmerican_beech  \t  0.0\t   0.0\t    0.0\t    0.0\t   0.0\t    0.0\t    0.0\t   0.0\t";
    const std::string noMaple =
        " 1\tSugar_maple     \t  0.0\t   0.0\t    0.0\t    0.0\t   0.0\t    0.0\t    0.0\t   0.0\t";
    EXPECT_EQ(
        statsReportText(*model, StatsKind::General, StatsLayout::TabSeparated),
        "GENERAL STATISTICS OUTPUT FILE\nThis output file is in tab separated Excel format.\n" + header(0) +
            "YEAR\t" + block + block + block +
            "STEM WOOD AVERAGE\t95CI\tSTEM BARK AVERAGE\t95CI\tSTEM BRANCH AVERAGE\t95CI\tLEAVES\t95CI\t"
            "ABOVE GROUND TOTAL\t95CI\tROOT\t95CI\tBIOMASS GRAND TOTAL\t95CI\n"
            "\t" +
            units + units + "\n" + "   1\t" + beech + noMaple + totals + "  10\t" + noBeech + maple + totals);
}

TEST_F(StatsReportTest, TheHalfPresentSpeciesShowsFivePlusMinusNineTwo) {
    model->params.NUM_ITERS = 4;
    fill(1, 1, {{10, 1, 0, 0, 0, 0, 0, 0, 0}, {10, 1, 0, 0, 0, 0, 0, 0, 0}, {}, {}});
    EXPECT_NE(statsReportText(*model, StatsKind::General, StatsLayout::Plain)
                  .find(" 1 Sugar_maple        5.0    9.2 "),
              std::string::npos);
}

TEST_F(StatsReportTest, CellsWithoutEnoughDataAreLeftOut) {
    fill(1, 1, {{0.5, 1, 0, 0, 0, 0, 0, 0, 0}});  // less than one tree over the iterations
    fill(2, 1, {{3, 0, 0, 0, 0, 0, 0, 0, 0}});    // no basal area
    const std::string text = statsReportText(*model, StatsKind::General, StatsLayout::TabSeparated);
    EXPECT_EQ(text.find("Sugar_maple"), std::string::npos);
    EXPECT_EQ(text.find("American_beech"), std::string::npos);
}

TEST_F(StatsReportTest, IntervalOneReportsEveryYearOnce) {
    model->params.RESULTS_INTERV = 1;
    model->params.NUM_YEARS = 3;
    const std::string text = statsReportText(*model, StatsKind::General, StatsLayout::Plain);
    EXPECT_EQ(model->statistics.STATS_SLOT_COUNT, 3);
    EXPECT_NE(text.find("YEAR:     1     INTERVAL: 1 "), std::string::npos);
    EXPECT_NE(text.find("YEAR:     2     INTERVAL: 1 "), std::string::npos);
    EXPECT_NE(text.find("YEAR:     3     INTERVAL: 1 "), std::string::npos);
    EXPECT_EQ(text.find("YEAR:     1", text.find("YEAR:     1") + 1), std::string::npos);
    EXPECT_EQ(text.find("YEAR:     4"), std::string::npos);
}

TEST_F(StatsReportTest, SlotYears) {
    RunParameters& p = model->params;
    p.RESULTS_INTERV = 10;
    p.NUM_YEARS = 100;
    EXPECT_EQ(generalSlotCount(p), 11);
    EXPECT_EQ(reportYearOfSlot(p, StatsKind::General, 1), 1);
    EXPECT_EQ(reportYearOfSlot(p, StatsKind::General, 2), 10);
    EXPECT_EQ(reportYearOfSlot(p, StatsKind::General, 11), 100);
    p.RESULTS_INTERV = 1;
    EXPECT_EQ(generalSlotCount(p), 100);
    EXPECT_EQ(reportYearOfSlot(p, StatsKind::General, 2), 2);
    p.FIRST_DISTURB_YEAR = 20;
    p.BLOW_FREQ = 30;
    EXPECT_EQ(reportYearOfSlot(p, StatsKind::Disturbance, 1), 20);
    EXPECT_EQ(reportYearOfSlot(p, StatsKind::AfterDisturbance, 3), 80);
}

TEST_F(StatsReportTest, DisturbanceReportsCoverTheSlotsReadSoFar) {
    model->statistics.MAX_DISTURBANCE_SLOT = 3;
    const std::string text = statsReportText(*model, StatsKind::Disturbance, StatsLayout::Plain);
    EXPECT_EQ(text.rfind("LOGGING STATISTICS OUTPUT FILE \n", 0), 0u);
    EXPECT_NE(text.find("YEAR:    25 "), std::string::npos);  // 5 + 2 × 10
    EXPECT_EQ(text.find("YEAR:    35 "), std::string::npos);
    EXPECT_EQ(statsReportText(*model, StatsKind::AfterDisturbance, StatsLayout::Plain)
                  .rfind("AFTER LOGGING STATISTICS OUTPUT FILE\n", 0),
              0u);
}

TEST_F(StatsReportTest, TheReportIsWrittenAndShown) {
    fill(1, 1, {{4, 2, 2, 1, 0, 1, 0, 0, 0}, {4, 4, 2, 1, 0, 1, 0, 0, 0}});
    writeStatsReport(*model, StatsKind::General, StatsLayout::Plain);
    const std::string file = readTextFile("Data/stats.out");
    EXPECT_EQ(file, statsReportText(*model, StatsKind::General, StatsLayout::Plain));
    EXPECT_EQ(host.statTitle, "General statistics output file \"Data\\stats.out\".");
    EXPECT_EQ(host.statText, statsDisplayText(file));
}

TEST_F(StatsReportTest, AReportFileThatCannotBeCreatedEndsAbnormally) {
    model->params.DISTURBANCE_STATS_RESULTS_FILE = "Missing\\diststats.out";
    try {
        writeStatsReport(*model, StatsKind::Disturbance, StatsLayout::Plain);
        FAIL() << "no exit";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_ABNORMAL);
    }
    EXPECT_EQ(host.lastMessage(),
              "errorLog 15: The system is unable to create the file \"Missing\\diststats.out\".");
    EXPECT_TRUE(host.statTitle.empty());
}

// A results-file header of 4 iterations of 10 years, results every 10 years, for the readings.
const std::string FOUR_ITERATIONS = " Iterations:     4 \n Years:           10 \n Print Interval:    10 \n";

// Record lines: iteration, year, plot, species, population, basal area, stem, bark, branch, root,
// leaf, total biomass and volume.
std::string record(int iteration, int year, int sn, double population, double basalArea,
                   std::array<double, 5> parts = {}) {
    return formatText("%d %d 1 %d %g %g %g %g %g %g %g 0 0\n", iteration, year, sn, population, basalArea,
                      parts[0], parts[1], parts[2], parts[3], parts[4]);
}

TEST_F(StatsReportTest, TotalIntervalsComeFromTheTotalsOfEachIteration) {
    model->params.NUM_ITERS = 4;
    // Population totals 16, 2, 4, 0 (iteration 4 has no record): 5.5 ± 3.182 × √(51.67 / 4) = 11.4;
    // basal-area totals 6, 1, 3, 0: 2.5 ± 3.182 × √(7 / 4) = 4.2.
    EXPECT_EQ(
        totalsOf(StatsKind::General, FOUR_ITERATIONS + record(1, 1, 1, 10, 4.0) + record(1, 1, 2, 6, 2.0) +
                                         record(2, 1, 1, 2, 1.0) + record(3, 1, 2, 4, 3.0) +
                                         record(4, 10, 1, 1, 1.0)),  // iteration 4 is in a later slot only
        "\n    TOTAL             5.5   11.4     2.5     4.2    0.0     0.0     0.0    0.0\n" +
            biomassLinesOf({{{"     0.0", "     0.0"}}}));

    // The species trade places, the stand total stays 8 trees and 2 cm²/m²: no spread at all.
    model->params.NUM_ITERS = 2;
    const std::string swapped = " Iterations:     2 \n Years:           10 \n Print Interval:    10 \n" +
                                record(1, 1, 1, 3, 1.0) + record(1, 1, 2, 5, 1.0) + record(2, 1, 1, 5, 1.0) +
                                record(2, 1, 2, 3, 1.0);
    EXPECT_EQ(
        totalsOf(StatsKind::General, swapped)
            .rfind("\n    TOTAL             8.0    0.0     2.0     0.0    0.0     0.0     0.0    0.0\n", 0),
        0u);

    // Stem, bark, branch, root and leaf of 1 in every record; iteration 1 holds two species, 2 one
    // and 3 none. Stem totals 2, 1, 0: 1.0 ± 4.304 × √(1 / 3) = 2.5; above ground 8, 4, 0:
    // 4.0 ± 4.304 × √(16 / 3) = 9.9; grand total 10, 5, 0: 5.0 ± 4.304 × √(25 / 3) = 12.4.
    model->params.NUM_ITERS = 3;
    const std::array<double, 5> ones = {1, 1, 1, 1, 1};
    const std::string parts = " Iterations:     3 \n Years:           10 \n Print Interval:    10 \n" +
                              record(1, 1, 1, 1, 1.0, ones) + record(1, 1, 2, 1, 1.0, ones) +
                              record(2, 1, 1, 1, 1.0, ones) + record(3, 10, 1, 1, 1.0);
    const std::string one = "     1.0", twoFive = "     2.5";
    EXPECT_EQ(totalsOf(StatsKind::General, parts),
              "\n    TOTAL             1.0    2.5     1.0     2.5    0.0     0.0     0.0    0.0\n" +
                  biomassLinesOf({{{one, twoFive}},
                                  {{one, twoFive}},
                                  {{one, twoFive}},
                                  {{one, twoFive}},
                                  {{"     4.0", "     9.9"}},
                                  {{one, twoFive}},
                                  {{"     5.0", "    12.4"}}}));
}

TEST_F(StatsReportTest, SeveralPlotsAreReportedAsTheirMeanPlot) {
    // Two plots, three iterations; iteration 2 has a record of plot 1 only. Per iteration the
    // mean plot holds 3, 3, 2 trees (2.7 ± 1.4), basal area 2, 1, 2 (1.7 ± 1.4) and stem wood
    // 1, 0.5, 1 (0.8 ± 0.7).
    model->params.NUM_ITERS = 3;
    model->params.NUM_PLOTS = 2;
    const std::string records =
        " Iterations:     3 \n Years:           10 \n Print Interval:    10 \n"
        "1 1 1 1 4 2 1 0 0 0 0 0 0\n"
        "1 1 2 1 2 2 1 0 0 0 0 0 0\n"
        "2 1 1 1 6 2 1 0 0 0 0 0 0\n"
        "3 1 1 1 2 2 1 0 0 0 0 0 0\n"
        "3 1 2 1 2 2 1 0 0 0 0 0 0\n";
    const std::string stem = "     0.8", stemInterval = "     0.7", zero = "     0.0";
    EXPECT_EQ(totalsOf(StatsKind::General, records),
              "\n    TOTAL             2.7    1.4     1.7     1.4    0.0     0.0     0.0    0.0\n" +
                  biomassLinesOf({{{stem, stemInterval}},
                                  {{zero, zero}},
                                  {{zero, zero}},
                                  {{zero, zero}},
                                  {{stem, stemInterval}},
                                  {{zero, zero}},
                                  {{stem, stemInterval}}}));
    EXPECT_NE(statsReportText(*model, StatsKind::General, StatsLayout::Plain)
                  .find(" 1 Sugar_maple        2.7    1.4     1.7     1.4    0.0     0.0     0.0    0.0\n"),
              std::string::npos);
}

TEST_F(StatsReportTest, DisturbanceReportsTakeTheIterationsWithoutEventsAsZero) {
    // Removed basal area 0, 10, 0, 6 in the four iterations: 4.0 ± 3.182 × √(24 / 4) = 7.8;
    // removed trees 0, 2, 0, 4: 1.5 ± 3.182 × √(3.667 / 4) = 3.0.
    model->params.NUM_ITERS = 4;
    const std::string records = record(2, 5, 1, 2, 10.0) + record(4, 15, 2, 9, 9.0) + record(4, 5, 2, 4, 6.0);
    const std::string expected =
        "\n    TOTAL             1.5    3.0     4.0     7.8    0.0     0.0     0.0    0.0\n";
    EXPECT_EQ(totalsOf(StatsKind::Disturbance, disturbanceHeaderText(*model) + records).rfind(expected, 0),
              0u);
    EXPECT_EQ(totalsOf(StatsKind::AfterDisturbance, FOUR_ITERATIONS + records).rfind(expected, 0), 0u);
}

// A run with an option on names its options on a line of their own right after the report's first
// line, in every kind and layout; everything else is the classic report's bytes.
TEST_F(StatsReportTest, ModelOptionsOnAddOneLineAfterTheFirstLine) {
    struct Case {
        StatsKind kind;
        StatsLayout layout;
        const char* firstLine;
    };
    const Case cases[] = {
        {StatsKind::General, StatsLayout::Plain, "GENERAL STATISTICS OUTPUT FILE\n"},
        {StatsKind::General, StatsLayout::TabSeparated, "GENERAL STATISTICS OUTPUT FILE\n"},
        {StatsKind::Disturbance, StatsLayout::Plain, "LOGGING STATISTICS OUTPUT FILE \n"},
        {StatsKind::Disturbance, StatsLayout::TabSeparated, "LOGGING STATISTICS OUTPUT FILE \n"},
        {StatsKind::AfterDisturbance, StatsLayout::Plain, "AFTER LOGGING STATISTICS OUTPUT FILE\n"},
        {StatsKind::AfterDisturbance, StatsLayout::TabSeparated, "AFTER LOGGING STATISTICS OUTPUT FILE\n"},
    };
    fill(1, 1, {{4, 2, 2, 1, 0, 1, 0, 0, 0}, {4, 4, 2, 1, 0, 1, 0, 0, 0}});
    model->statistics.MAX_DISTURBANCE_SLOT = 1;
    for (const Case& c : cases) {
        model->options = ModelOptions{};
        const std::string classic = statsReportText(*model, c.kind, c.layout);
        ASSERT_EQ(classic.rfind(c.firstLine, 0), 0u) << c.firstLine;
        EXPECT_EQ(classic.find("MODEL OPTIONS"), std::string::npos) << c.firstLine;
        const std::string rest = classic.substr(std::string(c.firstLine).size());

        model->options.SLOW_GROWTH_YEARS = 3;
        model->options.CLIMATE_MEMORY_YEARS = 15;
        EXPECT_EQ(
            statsReportText(*model, c.kind, c.layout),
            c.firstLine + std::string("MODEL OPTIONS: SLOW_GROWTH_YEARS=3, CLIMATE_MEMORY_YEARS=15\n") + rest)
            << c.firstLine;
        model->options = ModelOptions{};
        model->options.CLIMATE_MEMORY_YEARS = 2;
        EXPECT_EQ(statsReportText(*model, c.kind, c.layout),
                  c.firstLine + std::string("MODEL OPTIONS: CLIMATE_MEMORY_YEARS=2\n") + rest)
            << c.firstLine;
    }
}

}  // namespace
}  // namespace dravia::test
