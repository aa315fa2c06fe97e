#include <gtest/gtest.h>

#include <string>

#include "InputTestSupport.h"
#include "input/ColourFile.h"
#include "input/Communities.h"
#include "input/ReaderError.h"
#include "input/StartupLoad.h"
#include "platform/ProgramExit.h"

namespace dravia::test {
namespace {

class StartupTest : public InputFileTest {
  protected:
    // A complete small data set under the fixed names.
    void writeDataSet(int community = 0, int speciesCount = 5) {
        writeFile("Data\\inputOutputRunTimeParams.txt", runTimeControlText());
        writeFile("Data\\initParams.txt", initialValuesText(community));
        writeFile("Data\\species.txt", speciesFileText(speciesCount));
        writeFile("Data\\plot.txt", plotSiteText() + "SN DBH X\n1 10 0\n2 20 0\n");
    }
    int exitStatusOfStartup() {
        try {
            loadAtStartup(*model);
        } catch (const ProgramExit& exit) {
            return exit.status;
        }
        return -1000;
    }
    // The colour of species sn in option k: (k + sn) mod 16.
    static std::string colourFileText(const std::string& badLine = "") {
        std::string text;
        for (int line = 1; line <= 22; ++line) text += "header line " + std::to_string(line) + "\n";
        for (int k = 1; k <= 8; ++k) {
            for (int line = k == 1 ? 1 : 2; line <= 6; ++line) text += "Option " + std::to_string(k) + "\n";
            for (int i = 1; i <= 10; ++i) {
                if (k == 2 && i == 3 && !badLine.empty()) {
                    text += badLine + "\n";
                    continue;
                }
                for (int group = 0; group < 4; ++group) {
                    const int sn = i + 10 * group;
                    text +=
                        std::to_string(sn) + " " + std::to_string((k + sn) % 16) + (group < 3 ? "   " : "");
                }
                text += "\n";
            }
        }
        return text;
    }
};

TEST_F(StartupTest, CompleteDataSetLoadsInOrder) {
    writeDataSet();
    writeFile("Data\\colors.txt", colourFileText());
    loadAtStartup(*model);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(model->params.initialValuesPath, "Data\\initParams.txt");
    EXPECT_EQ(model->params.NUM_YEARS, 50);
    EXPECT_EQ(model->NSPP, 5);
    EXPECT_EQ(model->site.ELEV_FT, 1000);
    EXPECT_TRUE(model->plots.empty());
    EXPECT_EQ(model->run.RANDOM_STATE, 12345.0);
    EXPECT_EQ(model->species[9].crownShape, 0);
    EXPECT_EQ(model->species[40].crownShape, 0);
    EXPECT_EQ(model->species[11].crownShape, 1);
    EXPECT_EQ(model->species[3].colourIndex, 0);  // COMMUNITY 0
    EXPECT_EQ(model->colourTable[7][33], (7 + 33) % 16);
}

TEST_F(StartupTest, FallsBackToTheVirginiaFileWithoutInitParams) {
    writeDataSet();
    std::filesystem::remove("Data/initParams.txt");
    writeFile("Data\\virginiaInitNormalParams.txt", initialValuesText(5));
    loadAtStartup(*model);
    EXPECT_EQ(model->params.initialValuesPath, "Data\\virginiaInitNormalParams.txt");
    EXPECT_EQ(model->params.COMMUNITY, 5);
    // errorLog 1 (no colour file), then the community's switch-offs among the 5 species.
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.lastMessage(),
              "errorLog 1: Could not open file Data\\colors.txt. \n\nA default set of colors will be used "
              "instead.  ");
    EXPECT_EQ(model->species[2].ABLE_TO_ENTER, 0);
    EXPECT_EQ(model->species[2].MIN_DIAM_INC, 1000.0);
    EXPECT_EQ(model->species[1].ABLE_TO_ENTER, 1);
    EXPECT_EQ(model->species[1].colourIndex, 11);  // default row 5
}

TEST_F(StartupTest, MissingRunTimeControlFileEndsWithStatus255) {
    EXPECT_EQ(exitStatusOfStartup(), EXIT_STARTUP_READER);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.lastMessage(), "Error.  Could not open data file \"Data\\inputOutputRunTimeParams.txt\".");
}

TEST_F(StartupTest, ReaderErrorsOfLaterFilesEndWithStatus255) {
    writeDataSet();
    writeFile("Data\\plot.txt", plotSiteText("100"));
    EXPECT_EQ(exitStatusOfStartup(), EXIT_STARTUP_READER);
    EXPECT_EQ(
        host.lastMessage(),
        "Error.  PERCENT_ROCK in data file \"Data\\plot.txt\"\nis 100; it must lie between 0 and below 100.");
    EXPECT_EQ(model->run.RANDOM_STATE, 0.0);
    host.messages.clear();
    writeDataSet();
    writeFile("Data\\species.txt", "header\n" + speciesRecord("Oak", "NONE", "NONE", "x"));
    EXPECT_EQ(exitStatusOfStartup(), EXIT_STARTUP_READER);
    EXPECT_EQ(
        host.lastMessage(),
        "Error.  Wrong data type when reading species #1 from\nspecies data file \"Data\\species.txt\".");
}

TEST_F(StartupTest, ColourFileLinesAreTakenByPosition) {
    writeFile("Data\\colors.txt", colourFileText("3 x 13 1"));
    readColourFile(*model);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(model->colourTable[1][1], 2);
    EXPECT_EQ(model->colourTable[1][40], 41 % 16);
    EXPECT_EQ(model->colourTable[8][25], (8 + 25) % 16);
    EXPECT_EQ(model->colourTable[0][5], 0);
    EXPECT_EQ(model->colourTable[3][0], 0);
    // The unreadable line keeps the default values of species 3, 13, 23 and 33 of option 2.
    EXPECT_EQ(model->colourTable[2][3], 14);
    EXPECT_EQ(model->colourTable[2][13], 12);
    EXPECT_EQ(model->colourTable[2][23], 9);
    EXPECT_EQ(model->colourTable[2][4], (2 + 4) % 16);
}

TEST_F(StartupTest, ColourValuesOutsideThePaletteKeepTheDefault) {
    writeFile("Data\\colors.txt", colourFileText("3 16 13 -1 23 7 33 15"));
    readColourFile(*model);
    EXPECT_EQ(model->colourTable[2][3], 14);
    EXPECT_EQ(model->colourTable[2][13], 12);
    EXPECT_EQ(model->colourTable[2][23], 7);
    EXPECT_EQ(model->colourTable[2][33], 15);
}

TEST_F(StartupTest, LongHeaderLineCountsAsMoreThanOneLine) {
    // A 100-character first line is read as two pieces, so one header line fewer follows.
    std::string text = colourFileText();
    const auto secondLineEnd = text.find('\n', text.find('\n') + 1);
    text = std::string(100, '*') + "\n" + text.substr(secondLineEnd + 1);
    writeFile("Data\\colors.txt", text);
    readColourFile(*model);
    EXPECT_EQ(model->colourTable[1][1], 2);
    EXPECT_EQ(model->colourTable[8][40], (8 + 40) % 16);
}

TEST_F(StartupTest, HubbardBrookKeepsThirteenSpecies) {
    model->NSPP = 40;
    applyCommunity(*model, 3, false);
    EXPECT_EQ(model->NSPP, 13);
    EXPECT_EQ(model->species[14].ABLE_TO_ENTER, 0);
    EXPECT_EQ(model->species[40].MAX_SAPLINGS, 0);
    EXPECT_EQ(model->species[40].MIN_DIAM_INC, 1000.0);
    EXPECT_EQ(model->species[13].MIN_DIAM_INC, 0.0);
}

TEST_F(StartupTest, SwitchOffsTouchOnlyLoadedSpecies) {
    model->NSPP = 39;
    for (int sn = 1; sn <= 40; ++sn) model->species[static_cast<size_t>(sn)].ABLE_TO_ENTER = 1;
    applyCommunity(*model, 5, false);
    for (int sn : {2, 10, 18, 30, 33, 34, 35})
        EXPECT_EQ(model->species[static_cast<size_t>(sn)].ABLE_TO_ENTER, 0);
    EXPECT_EQ(model->species[40].ABLE_TO_ENTER, 1);
    EXPECT_EQ(model->species[1].ABLE_TO_ENTER, 1);
    applyCommunity(*model, 9, false);
    EXPECT_EQ(model->NSPP, 39);
}

TEST_F(StartupTest, CommunityWithLoadingReadsItsFilesAndBuildsThePlots) {
    writeDataSet();
    loadAtStartup(*model);
    host.messages.clear();
    writeFile("Data\\hbkInitNormalParams.txt", initialValuesText(3, "Data\\hbk.txt"));
    writeFile("Data\\hbk.txt", speciesFileText(20));
    model->params.COMMUNITY = 3;
    model->run.CURRENT_ITERATION = 1;
    applyCommunity(*model, 3, true);
    EXPECT_EQ(model->params.initialValuesPath, "Data\\hbkInitNormalParams.txt");
    EXPECT_EQ(model->NSPP, 13);
    EXPECT_EQ(model->species[20].ABLE_TO_ENTER, 0);
    EXPECT_EQ(model->plots.size(), 2u);
    EXPECT_EQ(model->plots.front().NTREES, 2);
    EXPECT_EQ(host.standardOutput, "Community option 3 initialized\n");
    EXPECT_EQ(model->run.RANDOM_STATE, 12345.0);
}

TEST_F(StartupTest, CommunityFileThatCannotBeReadEndsTheProgram) {
    try {
        applyCommunity(*model, 8, true);
        FAIL();
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_STARTUP_READER);
    }
    EXPECT_EQ(host.lastMessage(), "Error.  Could not open data file \"Data\\graylingInitTraParams.txt\".");
}

TEST_F(StartupTest, SpeciesColoursFollowTheCommunity) {
    useDefaultColours(*model);
    model->params.COMMUNITY = 1;
    setSpeciesColours(*model);
    EXPECT_EQ(model->species[1].colourIndex, 10);
    EXPECT_EQ(model->species[2].colourIndex, 5);
    model->params.COMMUNITY = 12;  // no such community
    setSpeciesColours(*model);
    EXPECT_EQ(model->species[1].colourIndex, 0);
}

TEST_F(StartupTest, ChangedNamesReloadAndRestoreTheOldNameOnError) {
    writeDataSet();
    loadAtStartup(*model);
    writeFile("Data\\other.txt", speciesFileText(7));
    host.messages.clear();
    reloadAfterNameChange(*model, "Data\\species.txt", "Data\\other.txt", "Data\\plot.txt", "Data\\plot.txt");
    EXPECT_EQ(model->NSPP, 7);
    EXPECT_EQ(model->params.SPP_PARAM_FILE, "Data\\other.txt");
    reloadAfterNameChange(*model, "Data\\other.txt", "Data\\missing.txt", "Data\\plot.txt",
                          "Data\\noplot.txt");
    EXPECT_EQ(model->params.SPP_PARAM_FILE, "Data\\other.txt");
    EXPECT_EQ(model->params.PLOT_FILE, "Data\\plot.txt");
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].text, "Error.  Could not open data file \"Data\\missing.txt\".");
    EXPECT_EQ(host.messages[1].text, "Error.  Could not open data file \"Data\\noplot.txt\".");
}

}  // namespace
}  // namespace dravia::test
