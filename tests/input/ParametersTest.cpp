#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "InputTestSupport.h"
#include "input/Parameters.h"
#include "input/ReaderError.h"
#include "platform/ProgramExit.h"

namespace dravia::test {
namespace {

class ParametersTest : public InputFileTest {};

TEST_F(ParametersTest, ReadsEveryRunTimeControlItem) {
    writeFile("Data\\run.txt", runTimeControlText(2, 1));
    readRunTimeControlFile(*model, "Data\\run.txt");
    const RunParameters& p = model->params;
    EXPECT_EQ(p.SCREEN_OUTPUT_MODE, 2);
    EXPECT_EQ(p.NUM_YEARS, 50);
    EXPECT_EQ(p.NUM_ITERS, 3);
    EXPECT_EQ(p.PRINT_INTERV, 10);
    EXPECT_EQ(p.RESULTS_INTERV, 5);
    EXPECT_EQ(p.RESULTS_FILE, "Results\\out.txt");
    EXPECT_EQ(p.AFTER_DISTURB_STATS_RESULTS_FILE, "Results\\astats.txt");
    EXPECT_EQ(p.PAUSE_AT_INTERVALS, 1);
}

TEST_F(ParametersTest, ItemsOutOfOrderFailAtTheFirstMisplacedItem) {
    std::string text = runTimeControlText();
    const auto years = text.find("NUM_YEARS");
    const auto iters = text.find("NUM_ITERS");
    text = text.substr(0, years) + "NUM_ITERS 3\nNUM_YEARS 50\n" + text.substr(text.find("PRINT_INTERV"));
    ASSERT_LT(years, iters);
    writeFile("Data\\run.txt", text);
    try {
        readRunTimeControlFile(*model, "Data\\run.txt");
        FAIL();
    } catch (const ReaderError& error) {
        EXPECT_STREQ(
            error.what(),
            "Error.  Tried to read item \"NUM_YEARS\" from\ndata file \"Data\\run.txt\" but instead got "
            "item\n\"NUM_ITERS\".  The item is missing or\nthe items are out of order.");
    }
    EXPECT_EQ(model->params.FILE_OUTPUT_FLAG, 1);  // read before the failure
    EXPECT_EQ(model->params.NUM_YEARS, 0);         // untouched
}

TEST_F(ParametersTest, ReadsEveryInitialValuesItem) {
    writeFile("Data\\init.txt", initialValuesText(5));
    readInitialValuesFile(*model, "Data\\init.txt");
    const RunParameters& p = model->params;
    EXPECT_EQ(p.SPP_PARAM_FILE, "Data\\species.txt");
    EXPECT_EQ(p.BA_MAX, 7500.5);
    EXPECT_EQ(p.COMMUNITY, 5);
    EXPECT_EQ(p.HABITAT[1], "Northern hardwoods");
    EXPECT_EQ(p.HABITAT[8], "Habitat eight");
    EXPECT_EQ(p.WTHR_TYPES[1], "Global Warming");
    EXPECT_EQ(p.WTHR_CAL_YEARS, "1951-1980");
    EXPECT_EQ(p.BLOW_PROB, 0.0001);
    EXPECT_EQ(p.SPECIES_2_SN, 7);
    EXPECT_EQ(p.BASE_YEAR, 1950);
    EXPECT_EQ(p.MONITOR_FILE, "Data\\monitor.txt");
    EXPECT_EQ(p.EVAP_FACTOR, 1.2);
}

TEST_F(ParametersTest, DisplayOffWithoutFileOutputTurnsFileOutputOn) {
    writeFile("Data\\run.txt", runTimeControlText(3, 0));
    writeFile("Data\\init.txt", initialValuesText());
    readRunTimeControlFile(*model, "Data\\run.txt");
    EXPECT_EQ(model->params.FILE_OUTPUT_FLAG, 0);
    readInitialValuesFile(*model, "Data\\init.txt");
    EXPECT_EQ(model->params.FILE_OUTPUT_FLAG, 1);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ParametersTest, MonitorFileNameOver23CharactersIsRefused) {
    std::string text = initialValuesText();
    const auto at = text.find("MONITOR_FILE ");
    text = text.substr(0, at) + "MONITOR_FILE " + std::string(24, 'm') + "\nEVAP_FACTOR 1.2\n";
    writeFile("Data\\init.txt", text);
    model->params.MONITOR_FILE = "before";
    try {
        readInitialValuesFile(*model, "Data\\init.txt");
        FAIL();
    } catch (const ReaderError& error) {
        EXPECT_STREQ(
            error.what(),
            "Error.  The value of item \"MONITOR_FILE\" in\ndata file \"Data\\init.txt\" is longer than 23 "
            "characters.");
    }
    EXPECT_EQ(model->params.MONITOR_FILE, "before");
}

}  // namespace
}  // namespace dravia::test
