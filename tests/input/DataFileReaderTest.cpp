#include <gtest/gtest.h>

#include <string>

#include "InputTestSupport.h"
#include "input/DataFileReader.h"
#include "input/ReaderError.h"

namespace dravia::test {
namespace {

class DataFileReaderTest : public InputFileTest {
  protected:
    // The message a reading of the file fails with, or "" when it succeeds.
    template <typename Read>
    std::string failureOf(const std::string& text, Read read) {
        writeFile("Data\\items.txt", text);
        try {
            DataFileReader reader("Data\\items.txt");
            read(reader);
        } catch (const ReaderError& error) {
            return error.what();
        }
        return "";
    }
};

TEST_F(DataFileReaderTest, MissingFileGivesTheOpenMessageWithTheStoredName) {
    try {
        DataFileReader reader("Data\\absent.txt");
        FAIL() << "no error";
    } catch (const ReaderError& error) {
        EXPECT_STREQ(error.what(), "Error.  Could not open data file \"Data\\absent.txt\".");
    }
}

TEST_F(DataFileReaderTest, SkipsBlankAndCommentLinesAndIgnoresCase) {
    writeFile(
        "Data\\items.txt",
        "\n// heading\n   \t\nnum_years 25 // years\r\n\n  // between\nSeed_Init\t3.5e2 trailing words\n"
        "NAME   some name with  blanks  \nEMPTY\nCUT a//b\n\n// after\n");
    DataFileReader reader("Data\\items.txt");
    int years = 0;
    double seed = 0;
    std::string name, empty = "old", cut;
    reader.readInt("NUM_YEARS", years);
    reader.readDouble("SEED_INIT", seed);
    reader.readString("NAME", name, 255);
    reader.readString("EMPTY", empty, 255);
    reader.readString("CUT", cut, 255);
    EXPECT_EQ(years, 25);
    EXPECT_EQ(seed, 350.0);
    EXPECT_EQ(name, "some name with  blanks  ");
    EXPECT_EQ(empty, "");
    EXPECT_EQ(cut, "a");
}

TEST_F(DataFileReaderTest, IntegerConversionFollowsStreamExtraction) {
    int value = 0;
    EXPECT_EQ(failureOf("N 12.7\n", [&](DataFileReader& r) { r.readInt("N", value); }), "");
    EXPECT_EQ(value, 12);
    EXPECT_EQ(failureOf("N -100 trees\n", [&](DataFileReader& r) { r.readInt("N", value); }), "");
    EXPECT_EQ(value, -100);
    EXPECT_EQ(failureOf("N 2147483647\n", [&](DataFileReader& r) { r.readInt("N", value); }), "");
    EXPECT_EQ(value, 2147483647);
}

TEST_F(DataFileReaderTest, WrongTypeMessageNamesItemAndFile) {
    const std::string expected =
        "Error.  Wrong data type when reading item \"NUM_YEARS\" from\ndata file \"Data\\items.txt\".";
    int value = 7;
    for (const char* text : {"NUM_YEARS abc\n", "NUM_YEARS\n", "NUM_YEARS\n25\n", "NUM_YEARS 2147483648\n",
                             "NUM_YEARS // 25\n"}) {
        EXPECT_EQ(failureOf(text, [&](DataFileReader& r) { r.readInt("NUM_YEARS", value); }), expected)
            << text;
    }
    EXPECT_EQ(value, 7);
    double number = 0;
    EXPECT_EQ(failureOf("NUM_YEARS .\n", [&](DataFileReader& r) { r.readDouble("NUM_YEARS", number); }),
              expected);
}

TEST_F(DataFileReaderTest, MismatchMessageSpansFourLines) {
    int value = 0;
    EXPECT_EQ(
        failureOf("NUM_ITERS 3\nNUM_YEARS 4\n", [&](DataFileReader& r) { r.readInt("NUM_YEARS", value); }),
        "Error.  Tried to read item \"NUM_YEARS\" from\ndata file \"Data\\items.txt\" but instead got "
        "item\n\"NUM_ITERS\".  The item is missing or\nthe items are out of order.");
}

TEST_F(DataFileReaderTest, EndOfFileIsAMismatchWithAnEmptyName) {
    int value = 0;
    EXPECT_EQ(failureOf("A 1\n\n// only a comment\n",
                        [&](DataFileReader& r) {
                            r.readInt("A", value);
                            r.expectItem("B");
                        }),
              "Error.  Tried to read item \"B\" from\ndata file \"Data\\items.txt\" but instead got "
              "item\n\"\".  The item is missing or\nthe items are out of order.");
}

TEST_F(DataFileReaderTest, LastLineWithoutLineBreakIsRead) {
    int value = 0;
    EXPECT_EQ(failureOf("A 1\nB 42",
                        [&](DataFileReader& r) {
                            r.expectItem("A");
                            r.readInt("B", value);
                        }),
              "");
    EXPECT_EQ(value, 42);
}

TEST_F(DataFileReaderTest, LineOf999CharactersIsReadAndALongerOneRefused) {
    std::string value(999 - 2, 'x');
    std::string read;
    EXPECT_EQ(failureOf("S " + value + "\n", [&](DataFileReader& r) { r.readString("S", read, 1000); }), "");
    EXPECT_EQ(read, value);
    read = "old";
    EXPECT_EQ(failureOf("S " + value + "y\n", [&](DataFileReader& r) { r.readString("S", read, 1000); }),
              "Error.  A line longer than 999 characters was found when reading item \"S\" from\n"
              "data file \"Data\\items.txt\".");
    EXPECT_EQ(read, "old");
}

TEST_F(DataFileReaderTest, StringLongerThanItsFieldIsRefusedNotCut) {
    std::string read = "old";
    EXPECT_EQ(failureOf("HABITAT[1] " + std::string(29, 'h') + "\n",
                        [&](DataFileReader& r) { r.readString("HABITAT[1]", read, 29); }),
              "");
    EXPECT_EQ(read.size(), 29u);
    read = "old";
    EXPECT_EQ(failureOf("HABITAT[1] " + std::string(30, 'h') + "\n",
                        [&](DataFileReader& r) { r.readString("HABITAT[1]", read, 29); }),
              "Error.  The value of item \"HABITAT[1]\" in\ndata file \"Data\\items.txt\" is longer than 29 "
              "characters.");
    EXPECT_EQ(read, "old");
}

TEST_F(DataFileReaderTest, TokenExtractionStopsWhereANumberEnds) {
    writeFile("Data\\items.txt", "12.5x  7\n");
    DataFileReader reader("Data\\items.txt");
    int whole = 0;
    double number = 0;
    std::string word;
    EXPECT_EQ(reader.extractInt(whole), DataFileReader::Extraction::Ok);
    EXPECT_EQ(whole, 12);
    EXPECT_EQ(reader.extractDouble(number), DataFileReader::Extraction::Ok);
    EXPECT_EQ(number, 0.5);
    EXPECT_EQ(reader.extractInt(whole), DataFileReader::Extraction::WrongType);
    EXPECT_EQ(reader.extractWord(word), DataFileReader::Extraction::Ok);
    EXPECT_EQ(word, "x");
    EXPECT_EQ(reader.extractInt(whole), DataFileReader::Extraction::Ok);
    EXPECT_EQ(whole, 7);
    EXPECT_EQ(reader.extractDouble(number), DataFileReader::Extraction::EndOfFile);
}

}  // namespace
}  // namespace dravia::test
