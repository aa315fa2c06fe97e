#include <gtest/gtest.h>

#include <memory>

#include "model/ErrorLog.h"
#include "model/VolumeTable.h"
#include "support/ScriptedHost.h"

namespace dravia {
namespace {

struct ErrorLogTest : ::testing::Test {
    std::unique_ptr<ModelState> model = std::make_unique<ModelState>();
    test::ScriptedHost host;
    void SetUp() override { model->host = &host; }
};

TEST_F(ErrorLogTest, ResultIntervalMessageTakesLimitYearsAndLimit) {
    model->params.NUM_YEARS = 1200;
    reportError(*model, ErrorMessage{10});
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(
        host.messages[0].text,
        "errorLog 10: More than 500 result intervals.\n\nFor this run, this variable \nwill be evaluated "
        "as 1200/500, and \ntruncated to the next lowest integer. \n\n");
    EXPECT_EQ(host.messages[0].icon, MessageIcon::None);
}

TEST_F(ErrorLogTest, SpeciesCountMessage) {
    model->NSPP = 41;
    EXPECT_EQ(errorLogText(*model, ErrorMessage{11}).substr(0, 43),
              "errorLog 11: You have selected 41 species.\n");
}

TEST_F(ErrorLogTest, FileNamesAreQuotedOrPlainAsTheMessageSays) {
    EXPECT_EQ(errorLogText(*model, ErrorMessage{15}, "Data\\results.out"),
              "errorLog 15: The system is unable to create the file \"Data\\results.out\".");
    EXPECT_EQ(errorLogText(*model, ErrorMessage{2}, "Data\\weather.txt"),
              "errorLog 2: Could not open file Data\\weather.txt.");
    EXPECT_EQ(errorLogText(*model, ErrorMessage{12}, "x.txt"),
              "errorLog 12: The file x.txt cannot be opened.");
}

TEST_F(ErrorLogTest, FixedTextsKeepTheirLineBreaksAndDoubleBlanks) {
    EXPECT_EQ(errorLogText(*model, ErrorMessage{1}),
              "errorLog 1: Could not open file Data\\colors.txt. \n\nA default set of colors will be used "
              "instead.  ");
    EXPECT_EQ(
        errorLogText(*model, ErrorMessage{14}),
        "errorLog 14: There are more than 500 intervals in the output file.\n\nThe present version of "
        "DRAVIA-II only permits\nup to 500 intervals.  Rerun DRAVIA-II to \nregenerate the output file, "
        "then run STATS.");
    EXPECT_EQ(errorLogText(*model, ErrorMessage{13}),
              "errorLog 13: There is only 1 iteration in your file.\n\nYou must have at least 2 "
              "iterations\nin order to run the STATS program!");
}

TEST_F(ErrorLogTest, CodesOutsideTheTableShowNothing) {
    reportError(*model, ErrorMessage{0});
    reportError(*model, ErrorMessage{17});
    reportError(*model, ErrorMessage{19});
    reportError(*model, ErrorMessage{-3});
    EXPECT_TRUE(host.messages.empty());
    for (int code = 1; code <= 16; ++code)
        EXPECT_FALSE(errorLogText(*model, ErrorMessage{code}).empty()) << code;
}

TEST(VolumeTable, RowsAsPrinted) {
    auto model = std::make_unique<ModelState>();
    fillVolumeCoefficients(*model);
    EXPECT_EQ(model->VOLUME_COEF[1][0], 1.3746);
    EXPECT_EQ(model->VOLUME_COEF[1][1], 0.002206);
    EXPECT_EQ(model->VOLUME_COEF[1][2], 0.063);
    EXPECT_EQ(model->VOLUME_COEF[31][0], 1.7383);
    EXPECT_EQ(model->VOLUME_COEF[38][1], 0.001887);
    EXPECT_EQ(model->VOLUME_COEF[40][2], 0.034);
    EXPECT_EQ(model->VOLUME_COEF[0][0], 0.0);
}

}  // namespace
}  // namespace dravia
