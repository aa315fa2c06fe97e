#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "InputTestSupport.h"
#include "input/ReaderError.h"
#include "input/SpeciesFile.h"

namespace dravia::test {
namespace {

class SpeciesFileTest : public InputFileTest {
  protected:
    void SetUp() override {
        InputFileTest::SetUp();
        model->params.SPP_PARAM_FILE = "Data\\species.txt";
    }
    std::string failureOf(const std::string& text) {
        writeFile("Data\\species.txt", text);
        try {
            readSpeciesFile(*model);
        } catch (const ReaderError& error) {
            return error.what();
        }
        return "";
    }
};

// A 2 × 1 picture, 24 bits per pixel.
std::string tinyBmp() {
    std::vector<std::uint8_t> bytes = {'B', 'M', 62, 0, 0, 0, 0,   0,   0,   0, 54, 0,   0,  0, 40, 0,
                                       0,   0,   2,  0, 0, 0, 1,   0,   0,   0, 1,  0,   24, 0, 0,  0,
                                       0,   0,   8,  0, 0, 0, 0,   0,   0,   0, 0,  0,   0,  0, 0,  0,
                                       0,   0,   0,  0, 0, 0, 255, 255, 255, 0, 0,  255, 0,  0};
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(SpeciesFileTest, ThirteenRecordsGiveThirteenSpeciesWithDerivedValues) {
    EXPECT_EQ(failureOf(speciesFileText(13)), "");
    EXPECT_EQ(model->NSPP, 13);
    const Species& s = model->species[13];
    EXPECT_EQ(s.NAME, "Species13");
    EXPECT_EQ(s.ALT_NAME, "alt_Species13");
    EXPECT_EQ(s.SHADE_TYPE, 2);
    EXPECT_EQ(s.N_TYPE, 3);
    EXPECT_EQ(s.MAX_SAPLINGS, 10);
    EXPECT_EQ(s.ABLE_TO_ENTER, 1);
    EXPECT_EQ(s.ROOT_B, 2.4);
    EXPECT_EQ(s.LARGE_BITMAP_MIN_HT, 40);
    EXPECT_DOUBLE_EQ(s.DDMIN, 1000.008);
    EXPECT_DOUBLE_EQ(s.DDMAX, 3000.024);
    EXPECT_EQ(s.DDMIN, 1800.0 * 0.55556);
    EXPECT_DOUBLE_EQ(s.B2, 57.26);
    EXPECT_DOUBLE_EQ(s.B3, 0.2863);
    EXPECT_EQ(s.GROWTH_RATIO, 170.0 * 100.0 / 3000.0);
    EXPECT_EQ(s.smallBitmap, nullptr);
}

TEST_F(SpeciesFileTest, LastRecordWithoutLineBreakCounts) {
    std::string text = speciesFileText(3);
    text.pop_back();
    EXPECT_EQ(failureOf(text), "");
    EXPECT_EQ(model->NSPP, 3);
}

TEST_F(SpeciesFileTest, FortyRecordsAreReadAndAFortyFirstIgnored) {
    EXPECT_EQ(failureOf(speciesFileText(41)), "");
    EXPECT_EQ(model->NSPP, 40);
    EXPECT_EQ(model->species[40].NAME, "Species40");
}

TEST_F(SpeciesFileTest, IncompleteLastRecordIsIgnoredAndLeavesThatSpeciesAlone) {
    model->species[3].NAME = "kept";
    model->species[3].DMAX = 77;
    const std::string half = "Species3 alt 2 3 10 1 170.0 1.57 55 2000\n";
    EXPECT_EQ(failureOf(speciesFileText(2) + half), "");
    EXPECT_EQ(model->NSPP, 2);
    EXPECT_EQ(model->species[3].NAME, "kept");
    EXPECT_EQ(model->species[3].DMAX, 77);
}

TEST_F(SpeciesFileTest, SpeciesAboveTheNewCountKeepWhatTheyHeld) {
    ASSERT_EQ(failureOf(speciesFileText(5)), "");
    ASSERT_EQ(failureOf(speciesFileText(2)), "");
    EXPECT_EQ(model->NSPP, 2);
    EXPECT_EQ(model->species[5].NAME, "Species5");
    EXPECT_DOUBLE_EQ(model->species[5].DDMIN, 1000.008);  // converted once only
}

TEST_F(SpeciesFileTest, WrongTypeNamesTheSpeciesNumberAndKeepsTheCount) {
    model->NSPP = 9;
    std::string text =
        speciesFileText(4) + speciesRecord("Species5", "NONE", "NONE", "abc") + speciesRecord("S6");
    EXPECT_EQ(
        failureOf(text),
        "Error.  Wrong data type when reading species #5 from\nspecies data file \"Data\\species.txt\".");
    EXPECT_EQ(model->NSPP, 9);
    EXPECT_EQ(model->species[4].NAME, "Species4");
}

TEST_F(SpeciesFileTest, MissingFileGivesTheOpenMessage) {
    model->NSPP = 4;
    model->params.SPP_PARAM_FILE = "Data\\nothere.txt";
    try {
        readSpeciesFile(*model);
        FAIL();
    } catch (const ReaderError& error) {
        EXPECT_STREQ(error.what(), "Error.  Could not open data file \"Data\\nothere.txt\".");
    }
    EXPECT_EQ(model->NSPP, 4);
}

TEST_F(SpeciesFileTest, ValuesTheModelCannotComputeWithAreRefused) {
    const std::string head = speciesFileText(1);
    EXPECT_EQ(failureOf(head + speciesRecord("Oak", "NONE", "NONE", "0")),
              "Error.  Species #2 (Oak) in\nspecies data file \"Data\\species.txt\"\nhas DMAX outside 0.001 "
              "to 100000.");
    EXPECT_EQ(failureOf(head + speciesRecord("Oak", "NONE", "NONE", "100", "0.0")),
              "Error.  Species #2 (Oak) in\nspecies data file \"Data\\species.txt\"\nhas HMAX outside 0.001 "
              "to 100000.");
    EXPECT_EQ(failureOf(head + speciesRecord("Oak", "NONE", "NONE", "100", "3000", "0")),
              "Error.  Species #2 (Oak) in\nspecies data file \"Data\\species.txt\"\nhas AGEMAX outside 1 to "
              "100000.");
    EXPECT_EQ(
        failureOf(head + speciesRecord("Oak", "NONE", "NONE", "100", "3000", "300", "2000", "2000")),
        "Error.  Species #2 (Oak) in\nspecies data file \"Data\\species.txt\"\nhas DDMAX equal to DDMIN.");
    EXPECT_EQ(
        failureOf(head + speciesRecord("Oak", "NONE", "NONE", "1e999")),
        "Error.  Wrong data type when reading species #2 from\nspecies data file \"Data\\species.txt\".");
}

TEST_F(SpeciesFileTest, OverlongNameIsRefused) {
    // The second name is "alt_" and the name: 254 characters.
    EXPECT_EQ(failureOf(speciesFileText(1) + speciesRecord(std::string(250, 'n'))), "");
    EXPECT_EQ(model->NSPP, 2);
    EXPECT_EQ(
        failureOf(speciesFileText(1) + speciesRecord(std::string(255, 'n'))),
        "Error.  A text value of species #2 in\nspecies data file \"Data\\species.txt\"\nis longer than 254 "
        "characters.");
}

TEST_F(SpeciesFileTest, BitmapsAreLoadedAndUnreadableOnesBecomeNone) {
    writeFile("Data\\small.bmp", tinyBmp());
    writeFile("Data\\notbmp.bmp", "GIF89a.....................................................");
    EXPECT_EQ(failureOf("header\n" + speciesRecord("Birch", "Data\\small.bmp", "none") +
                        speciesRecord("Ash", "Data\\notbmp.bmp", "NONE")),
              "");
    const Species& birch = model->species[1];
    ASSERT_NE(birch.smallBitmap, nullptr);
    EXPECT_EQ(birch.smallBitmap->width(), 2);
    EXPECT_EQ(birch.SMALL_BITMAP, "Data\\small.bmp");
    EXPECT_EQ(birch.largeBitmap, nullptr);
    EXPECT_EQ(birch.LARGE_BITMAP, "NONE");
    EXPECT_EQ(model->species[2].SMALL_BITMAP, "NONE");
    EXPECT_EQ(model->species[2].smallBitmap, nullptr);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text, "Could not read in large tree bitmap file \"none\" for species Birch.");
    EXPECT_EQ(host.messages[1].text,
              "Could not read in small tree bitmap file \"Data\\notbmp.bmp\" for species Ash.");
}

}  // namespace
}  // namespace dravia::test
