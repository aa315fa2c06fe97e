#include <string>

#include "output/OutputFixture.h"
#include "output/StatsReport.h"
#include "platform/ProgramExit.h"

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
    EXPECT_NEAR(confidenceHalfWidth(studentT(2), 20.0, 200.0, 4.0), 9.19, 0.005);
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
    // Fills a cell from the values of the iterations, in the order of the table's pairs.
    void fill(int sn, int slot, std::initializer_list<std::array<double, STATS_QUANTITIES>> iterations) {
        StatsCell& cell = model->statistics.cell(sn, slot);
        for (const auto& values : iterations) {
            for (size_t q = 0; q < STATS_QUANTITIES; ++q) {
                cell.sum[q] += values[q];
                cell.sumOfSquares[q] += values[q] * values[q];
            }
        }
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

TEST_F(StatsReportTest, PlainLayoutHasAPagePerSlot) {
    // pop, BA, total biomass, stem, bark, root, leaf, branch, volume
    fill(1, 1, {{4, 2, 2, 1, 0, 1, 0, 0, 0}, {4, 4, 2, 1, 0, 1, 0, 0, 0}});
    const char* first[7][2] = {{"     1.0", "     0.9"}, {"     0.0", "     0.0"}, {"     0.0", "     0.0"},
                               {"     0.0", "     0.0"}, {"     1.0", "     0.9"}, {"     1.0", "     0.9"},
                               {"     2.0", "     1.9"}};
    const char* empty[7][2] = {{"     0.0", "     0.0"}, {"     0.0", "     0.0"}, {"     0.0", "     0.0"},
                               {"     0.0", "     0.0"}, {"     0.0", "     0.0"}, {"     0.0", "     0.0"},
                               {"     0.0", "     0.0"}};
    EXPECT_EQ(statsReportText(*model, StatsKind::General, StatsLayout::Plain),
              "GENERAL STATISTICS OUTPUT FILE\n" + header(1) + PLAIN_HEADINGS +
                  " 1 Sugar_maple        4.0    0.0     3.0    12.7    2.0     0.0     0.0    0.0\n"
                  "\n    TOTAL             4.0    3.7     3.0     2.8    2.0     1.9     0.0    0.0\n" +
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
        "\tTOTAL\t  4.0\t   3.7\t    3.0\t    2.8\t   2.0\t    1.9\t    0.0\t   0.0\t"
        "     1.0\t     0.9\t     0.0\t     0.0\t     0.0\t     0.0\t     0.0\t     0.0\t     1.0\t     0.9\t"
        "     1.0\t     0.9\t     2.0\t     1.9\n";
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

}  // namespace
}  // namespace dravia::test
