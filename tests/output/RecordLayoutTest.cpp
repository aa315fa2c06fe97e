#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "output/RecordLayout.h"
#include "platform/Format.h"
#include "support/Tolerance.h"

namespace dravia::test {
namespace {

const std::string SPECIES_RECORD =
    "      1     5    1   2   3                      12.346     1.500     0.250     0.750     1.000     "
    "0.013     "
    "3.513  1234.568 \n";

TEST(SummaryRecordParsing, ASpeciesRecordYieldsItsTwelveValues) {
    const auto record = parseSummaryRecord(SPECIES_RECORD);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->iteration, 1);
    EXPECT_EQ(record->year, 5);
    EXPECT_EQ(record->plot, 1);
    EXPECT_EQ(record->species, 2);
    EXPECT_EQ(record->POP, 3.0);
    EXPECT_EQ(record->amounts.BA, 12.346);
    EXPECT_EQ(record->amounts.STEM_BM, 1.5);
    EXPECT_EQ(record->amounts.BARK_BM, 0.25);
    EXPECT_EQ(record->amounts.BRANCH_BM, 0.75);
    EXPECT_EQ(record->amounts.ROOT_BM, 1.0);
    EXPECT_EQ(record->amounts.LEAF_BM, 0.013);
    EXPECT_EQ(record->amounts.TOT_BIOM, 3.513);
    EXPECT_EQ(record->amounts.TOT_VOL, 1234.568);
}

TEST(SummaryRecordParsing, ADisturbanceRecordIsARecord) {
    const auto record = parseSummaryRecord(
        "    2    11       1      3       4     26.9      12.2       1.3       6.6       3.8       0.1      "
        "23.9    "
        "3487.0 \r");
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->iteration, 2);
    EXPECT_EQ(record->year, 11);
    EXPECT_EQ(record->species, 3);
    EXPECT_EQ(record->POP, 4.0);
    EXPECT_EQ(record->amounts.TOT_VOL, 3487.0);
}

TEST(SummaryRecordParsing, TreeRecordsHeadingsAndOtherLinesAreNotRecords) {
    const std::string tail =
        "    0.012     0.500     0.050     0.250     0.125     0.000     0.925     0.000";
    EXPECT_FALSE(parseSummaryRecord("    001 00000 0000 001 000    4 25.500 1500.0" + tail));
    EXPECT_FALSE(parseSummaryRecord(" -> 001 00003 0001 001 002    1  1.250  180.0" + tail));
    EXPECT_FALSE(parseSummaryRecord(""));
    EXPECT_FALSE(parseSummaryRecord(" Iterations:         2 "));
    EXPECT_FALSE(parseSummaryRecord("      2         50          10"));
    EXPECT_FALSE(parseSummaryRecord("1 5 1 2 3 1 1 1 1 1 1 1"));      // twelve numbers
    EXPECT_FALSE(parseSummaryRecord("1 5 1 2 3 1 1 1 1 1 1 1 1 1"));  // fourteen
    EXPECT_FALSE(parseSummaryRecord("1 5 1 2.5 3 1 1 1 1 1 1 1 1"));  // species number not whole
    EXPECT_FALSE(parseSummaryRecord("1 5 1 2 3 1 1 1 1 1 1 1 x"));
    EXPECT_TRUE(parseSummaryRecord("1 5 1 2 3 1 1 1 1 1 1 1 1"));
}

Amounts sampleAmounts(double scale) {
    return {1.25 * scale, 2.5 * scale,    0.125 * scale, 0.75 * scale,
            1.5 * scale,  0.0625 * scale, 6.25 * scale,  1234.5 * scale};
}

void expectAmounts(const Amounts& back, const Amounts& written, int decimals) {
    EXPECT_TO_DECIMALS(back.BA, written.BA, decimals);
    EXPECT_TO_DECIMALS(back.STEM_BM, written.STEM_BM, decimals);
    EXPECT_TO_DECIMALS(back.BARK_BM, written.BARK_BM, decimals);
    EXPECT_TO_DECIMALS(back.BRANCH_BM, written.BRANCH_BM, decimals);
    EXPECT_TO_DECIMALS(back.ROOT_BM, written.ROOT_BM, decimals);
    EXPECT_TO_DECIMALS(back.LEAF_BM, written.LEAF_BM, decimals);
    EXPECT_TO_DECIMALS(back.TOT_BIOM, written.TOT_BIOM, decimals);
    EXPECT_TO_DECIMALS(back.TOT_VOL, written.TOT_VOL, decimals);
}

// Each record kind, written and read back: the same numbers, to the decimals it prints; and the
// exact columns of its leading fields, which merge rewrites in place.
TEST(RecordRoundTrip, ASpeciesRecordReadsBackAsWritten) {
    for (const int iteration : {1, 99, 1234567}) {
        SpeciesRecord written{iteration, 300, 2, 40, 17, sampleAmounts(3.0)};
        std::string line;
        appendSpeciesRecord(line, written);
        EXPECT_EQ(line.substr(0, 27), formatText("%7d %5d %4d %3d %3d ", iteration, 300, 2, 40, 17));
        EXPECT_EQ(recordLineKind(line), RecordLine::Summary);
        const auto back = parseSummaryRecord(line);
        ASSERT_TRUE(back.has_value()) << line;
        EXPECT_EQ(back->iteration, iteration);
        EXPECT_EQ(back->year, 300);
        EXPECT_EQ(back->plot, 2);
        EXPECT_EQ(back->species, 40);
        EXPECT_EQ(back->POP, 17.0);
        expectAmounts(back->amounts, written.amounts, 3);
    }
}

TEST(RecordRoundTrip, ATreeRecordReadsBackAsWrittenWithItsMarker) {
    for (const bool newSapling : {true, false}) {
        TreeRecord written{newSapling, 7, 12, 1, 4, 3, 9, 2.5, 180.25, sampleAmounts(0.01)};
        std::string line;
        appendTreeRecord(line, written);
        EXPECT_EQ(line.substr(0, 31),
                  std::string(newSapling ? " ->" : "   ") + " 007 00012 0001 004 003    9");
        EXPECT_EQ(recordLineKind(line), RecordLine::Tree);
        EXPECT_FALSE(parseSummaryRecord(line).has_value());  // statistics take species records only
        const auto back = parseTreeRecord(line);
        ASSERT_TRUE(back.has_value()) << line;
        EXPECT_EQ(back->newSapling, newSapling);
        EXPECT_EQ(back->iteration, 7);
        EXPECT_EQ(back->birthYear, 12);
        EXPECT_EQ(back->plot, 1);
        EXPECT_EQ(back->species, 4);
        EXPECT_EQ(back->treeId, 3);
        EXPECT_EQ(back->age, 9);
        EXPECT_TO_DECIMALS(back->dbh, 2.5, 3);
        EXPECT_TO_DECIMALS(back->height, 180.25, 1);
        expectAmounts(back->amounts, written.amounts, 3);
    }
}

TEST(RecordRoundTrip, ADisturbanceRecordReadsBackAsWritten) {
    DisturbanceRecord written{3, 100, 1, 12, 5, sampleAmounts(2.0)};
    std::string line;
    appendDisturbanceRecord(line, written);
    EXPECT_EQ(line.substr(0, 35), formatText("%5d %5d %7d %6d %7d ", 3, 100, 1, 12, 5));
    const auto back = parseSummaryRecord(line);
    ASSERT_TRUE(back.has_value()) << line;
    EXPECT_EQ(back->iteration, 3);
    EXPECT_EQ(back->year, 100);
    EXPECT_EQ(back->plot, 1);
    EXPECT_EQ(back->species, 12);
    EXPECT_EQ(back->POP, 5.0);
    expectAmounts(back->amounts, written.amounts, 1);
}

RunHeader sampleHeader() {
    RunHeader h;
    h.iterations = 12;
    h.years = 300;
    h.resultsInterval = 25;
    h.disturbanceFrequency = 80;
    h.siteElevation = 457.2;
    h.baseElevation = 253.0;
    h.soilTexture = 160.0;
    h.soilDepth = 1.5;
    h.waterDepth = 3.0;
    h.availableNitrogen = 95.0;
    h.habitat = "Northern hardwoods NH";
    h.weatherFile = "Data\\hbk Normal.txt";
    h.weatherType = "Normal climate";
    h.weatherCalendarYears = "1991-2020";
    h.co2Fertilization = 1;
    return h;
}

TEST(RecordRoundTrip, AResultsHeaderReadsBackAsWritten) {
    const RunHeader written = sampleHeader();
    const std::string text = resultsHeaderText(written, false);
    RunHeader back;
    size_t start = 0;
    bool ended = false;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const std::string_view line(text.data() + start, end - start);
        if (endsResultsHeader(line)) {
            ended = true;
            break;
        }
        readResultsHeaderLine(line, back);
        start = end + 1;
    }
    EXPECT_TRUE(ended) << "the column heading ends the header";
    EXPECT_EQ(back.iterations, 12);
    EXPECT_EQ(back.years, 300);
    EXPECT_EQ(back.resultsInterval, 25);
    EXPECT_DOUBLE_EQ(back.siteElevation, 457.2);
    EXPECT_DOUBLE_EQ(back.baseElevation, 253.0);
    EXPECT_DOUBLE_EQ(back.soilTexture, 160.0);
    EXPECT_DOUBLE_EQ(back.soilDepth, 1.5);
    EXPECT_DOUBLE_EQ(back.waterDepth, 3.0);
    EXPECT_DOUBLE_EQ(back.availableNitrogen, 95.0);
    EXPECT_EQ(back.habitat, written.habitat);
    EXPECT_EQ(back.weatherFile, written.weatherFile);  // names keep their blanks
    EXPECT_EQ(back.weatherType, written.weatherType);
    EXPECT_EQ(back.weatherCalendarYears, written.weatherCalendarYears);
    EXPECT_EQ(back.co2Switch, "ON");
    EXPECT_EQ(text.substr(text.find(" Iterations:"), 24), " Iterations:        12 \n");
    EXPECT_TRUE(isResultsIterationsLine(resultsIterationsLine(4)));
    EXPECT_EQ(resultsIterationsLine(4), " Iterations:         4 \n");
}

TEST(RecordRoundTrip, TheDisturbanceHeaderCountsReadBackAsWritten) {
    const std::string text = disturbanceHeaderText(sampleHeader());
    EXPECT_TRUE(beginsDisturbanceHeader(text));
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "LOGGING DATA WITH A FREQUENCY OF 80 YEARS\n");
    const size_t heading = text.find('\n') + 1;
    const size_t counts = text.find('\n', heading) + 1;
    EXPECT_TRUE(isDisturbanceCountsHeading(text.substr(heading, counts - heading)));
    const std::string countsLine = text.substr(counts, text.find('\n', counts) + 1 - counts);
    EXPECT_EQ(countsLine, "     12        300          25\n");
    const auto back = parseDisturbanceCounts(countsLine);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->iterations, 12);
    EXPECT_EQ(back->years, 300);
    EXPECT_EQ(back->resultsInterval, 25);
    EXPECT_EQ(disturbanceCountsLine(12, 300, 25), countsLine);
    EXPECT_NE(text.find(" CO2_FERTILIZATION_SWITCH= ON\n"), std::string::npos);
}

// Merge raises the iteration number in the column each record kind prints it in.
TEST(RecordRoundTrip, RaisingTheIterationKeepsEachRecordsColumns) {
    struct Case {
        std::string written, raised;
        bool disturbanceFile;
    };
    std::string species, speciesRaised, tree, treeRaised, disturbance, disturbanceRaised;
    appendSpeciesRecord(species, {2, 10, 1, 4, 9, sampleAmounts(1.0)});
    appendSpeciesRecord(speciesRaised, {102, 10, 1, 4, 9, sampleAmounts(1.0)});
    appendTreeRecord(tree, {true, 2, 10, 1, 4, 1, 1, 0.5, 140.0, sampleAmounts(0.001)});
    appendTreeRecord(treeRaised, {true, 102, 10, 1, 4, 1, 1, 0.5, 140.0, sampleAmounts(0.001)});
    appendDisturbanceRecord(disturbance, {2, 100, 1, 4, 3, sampleAmounts(1.0)});
    appendDisturbanceRecord(disturbanceRaised, {102, 100, 1, 4, 3, sampleAmounts(1.0)});
    const std::vector<Case> cases = {
        {species, speciesRaised, false},
        {tree, treeRaised, false},
        {disturbance, disturbanceRaised, true},
        {" ITER-  SIM/ PLOT\n", " ITER-  SIM/ PLOT\n", false},  // not a record: unchanged
    };
    for (const Case& c : cases) EXPECT_EQ(withIterationRaised(c.written, 100, c.disturbanceFile), c.raised);
}

// The records' numbers are written without printf; each must be the characters printf writes
// with the record's width and precision, where a shortcut would slip: exact ties (to even),
// negatives rounding to zero, values wider than their field, zero-filled negatives,
// non-finite values.
TEST(RecordNumbers, AreTheCharactersOfTheirPrintfFormat) {
    const double values[] = {0.0625,      0.1875, 2.5,      -0.0004, -0.05,    0.0,        -0.0,
                             1234567.891, 1e300,  4.9e-324, 0.0005,  999.9995, -1234.5678, 12.3456,
                             1e-7,        0.15,   -1e-300,  0.25,    0.35,     1e22};
    for (const double value : values) {
        for (const int precision : {1, 3}) {
            for (const int width : {6, 9, 27}) {
                std::string text;
                appendFixed(text, value, width, precision);
                EXPECT_EQ(text, formatText("%*.*f", width, precision, value)) << value;
            }
        }
    }
    for (const double value : {std::numeric_limits<double>::infinity(), std::nan("")}) {
        std::string text;
        appendFixed(text, value, 9, 3);
        EXPECT_EQ(text, formatText("%9.3f", value));
    }
    for (const int value : {0, 7, -7, 12345, -12345, 2147483647, -2147483647 - 1}) {
        for (const int width : {3, 5, 7}) {
            std::string spaced, zeroFilled;
            appendInteger(spaced, value, width);
            appendInteger(zeroFilled, value, width, true);
            EXPECT_EQ(spaced, formatText("%*d", width, value));
            EXPECT_EQ(zeroFilled, formatText("%0*d", width, value));
        }
    }
}

}  // namespace
}  // namespace dravia::test
