#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "input/InputTestSupport.h"
#include "input/Parameters.h"
#include "output/ParameterCopies.h"
#include "platform/ProgramExit.h"

namespace dravia::test {
namespace {

class ParameterCopiesTest : public InputFileTest {};

RunParameters sampleParameters() {
    RunParameters p;
    p.SCREEN_OUTPUT_MODE = 2;
    p.FILE_OUTPUT_FLAG = 1;
    p.NUM_YEARS = 200;
    p.NUM_ITERS = 5;
    p.PRINT_INTERV = 10;
    p.RESULTS_INTERV = -3;
    p.RESULTS_FILE = "Results\\r.txt";
    p.AFTER_DISTURBANCE_RESULTS_FILE = "";
    p.DISTURBANCE_RESULTS_FILE = "d  x ";
    p.STATS_RESULTS_FILE = "s";
    p.DISTURBANCE_STATS_RESULTS_FILE = "ds";
    p.AFTER_DISTURB_STATS_RESULTS_FILE = "as";
    p.PAUSE_EVERY_ITERATION = 1;
    p.PAUSE_AT_INTERVALS = 0;
    p.SPP_PARAM_FILE = "Data\\sp.txt";
    p.PLOT_FILE = "Data\\pl.txt";
    p.CO2_FERT_OK = 1;
    p.CO2_FACTOR_DEF = 1.0;
    p.CALC_ITER_AVG = 0;
    p.BA_MAX = 7500.1234567;
    p.SEED_INIT = 42;
    p.CLEAR_PLOT = 1;
    p.CLIMATE_CHANGE = 1;
    p.COMMUNITY = 3;
    for (int i = 1; i <= 8; ++i) p.HABITAT[static_cast<size_t>(i)] = "H" + std::to_string(i);
    p.HABITAT[4] = "";
    p.WTHR_TYPE = 1;
    p.WTHR_TYPES = {"Normal", "Warm"};
    p.WTHR_CAL_YEARS = "1951-1980";
    p.WTHR_FILE = "Data\\w.txt";
    p.TEST_DISTURB = 1;
    p.FIRST_DISTURB_YEAR = 15;
    p.BLOW_DOWN = 1;
    p.BLOW_FREQ = 25;
    p.BLOW_PROB = 0.0001;
    p.MIN_DIAM_TO_KILL_FOR_LOGGING = 25.4;
    p.MIN_DIAM_TO_KILL_FOR_WINDTHROW = -1.5;
    p.NUM_PLOTS = 4;
    p.PLOT_1_OK = 1;
    p.PLOT_2_OK = 0;
    p.SPECIES_1_SN = 12;
    p.SPECIES_2_SN = 40;
    p.GRAPH_INTVL = 2;
    p.WIDTH = 60;
    p.DEPTH = 35;
    p.SLANT = 22.5;
    p.HT_MAX = 2500;
    p.BASE_YEAR = 1950;
    p.MONITOR_FLAG = 1;
    p.MONITOR_FILE = "Data\\mon.txt";
    p.EVAP_FACTOR = 0.95;
    return p;
}

TEST_F(ParameterCopiesTest, StatisticsCopiesHoldTheExactLayout) {
    model->params = sampleParameters();
    writeStatisticsCopies(*model);
    EXPECT_EQ(readFile("Data/statsInputOutputRunTimeParams.txt"),
              "SCREEN_OUTPUT_MODE       2\n"
              "FILE_OUTPUT_FLAG         1\n"
              "NUM_YEARS                200\n"
              "NUM_ITERS                5\n"
              "PRINT_INTERV             10\n"
              "RESULTS_INTERV           -3\n"
              "RESULTS_FILE                     Results\\r.txt\n"
              "AFTER_DISTURBANCE_RESULTS_FILE   \n"
              "DISTURBANCE_RESULTS_FILE         d  x \n"
              "STATS_RESULTS_FILE               s\n"
              "DISTURBANCE_STATS_RESULTS_FILE   ds\n"
              "AFTER_DISTURB_STATS_RESULTS_FILE as\n"
              "PAUSE_EVERY_ITERATION            1\n"
              "PAUSE_AT_INTERVALS               0\n");
    EXPECT_EQ(readFile("Data/statsInitParams.txt"),
              "SPP_PARAM_FILE         Data\\sp.txt\n"
              "PLOT_FILE              Data\\pl.txt\n"
              "CO2_FERT_OK            1\n"
              "CO2_FACTOR_DEF         1.000000\n"
              "CALC_ITER_AVG          0\n"
              "BA_MAX                 7500.123457\n"
              "SEED_INIT              42.000000\n"
              "CLEAR_PLOT             1\n"
              "CLIMATE_CHANGE         1\n\n"
              "COMMUNITY              3\n\n"
              "HABITAT[1]             H1\n"
              "HABITAT[2]             H2\n"
              "HABITAT[3]             H3\n"
              "HABITAT[4]             \n"
              "HABITAT[5]             H5\n"
              "HABITAT[6]             H6\n"
              "HABITAT[7]             H7\n"
              "HABITAT[8]             H8\n\n"
              "WTHR_TYPE              1\n\n"
              "WTHR_TYPES[0]          Normal\n"
              "WTHR_TYPES[1]          Warm\n\n"
              "WTHR_CAL_YEARS         1951-1980\n"
              "WTHR_FILE              Data\\w.txt\n\n"
              "TEST_DISTURB           1\n"
              "FIRST_DISTURB_YEAR     15\n"
              "BLOW_DOWN              1\n"
              "BLOW_FREQ              25\n"
              "BLOW_PROB              0.000100\n"
              "MIN_DIAM_TO_KILL_FOR_LOGGING       25.400000\n\n"
              "MIN_DIAM_TO_KILL_FOR_WINDTHROW     -1.500000\n\n"
              "NUM_PLOTS              4\n\n"
              "PLOT_1_OK                1\n"
              "PLOT_2_OK                0\n"
              "SPECIES_1_SN           12\n"
              "SPECIES_2_SN           40\n\n"
              "GRAPH_INTVL            2\n"
              "WIDTH                  60\n"
              "DEPTH                  35\n"
              "SLANT                  22.500000\n"
              "HT_MAX                 2500.000000\n"
              "BASE_YEAR              1950\n\n"
              "MONITOR_FLAG           1\n"
              "MONITOR_FILE           Data\\mon.txt\n\n"
              "EVAP_FACTOR            0.950000\n");
}

TEST_F(ParameterCopiesTest, StatisticsCopiesReadBackToTheSameValues) {
    RunParameters written = sampleParameters();
    written.RESULTS_INTERV = 7;  // a copy holds what a run accepted
    model->params = written;
    writeStatisticsCopies(*model);
    auto back = std::make_unique<ModelState>();
    back->host = &host;
    readRunTimeControlFile(*back, STATS_RUN_TIME_CONTROL_FILE);
    readInitialValuesFile(*back, STATS_INITIAL_VALUES_FILE);
    const RunParameters& p = back->params;
    EXPECT_EQ(p.SCREEN_OUTPUT_MODE, written.SCREEN_OUTPUT_MODE);
    EXPECT_EQ(p.RESULTS_INTERV, 7);
    EXPECT_EQ(p.AFTER_DISTURBANCE_RESULTS_FILE, "");
    EXPECT_EQ(p.DISTURBANCE_RESULTS_FILE, "d  x ");
    EXPECT_EQ(p.AFTER_DISTURB_STATS_RESULTS_FILE, "as");
    EXPECT_EQ(p.PAUSE_EVERY_ITERATION, 1);
    EXPECT_EQ(p.SPP_PARAM_FILE, written.SPP_PARAM_FILE);
    EXPECT_EQ(p.HABITAT, written.HABITAT);
    EXPECT_EQ(p.WTHR_TYPES, written.WTHR_TYPES);
    EXPECT_EQ(p.WTHR_CAL_YEARS, written.WTHR_CAL_YEARS);
    EXPECT_EQ(p.WTHR_FILE, written.WTHR_FILE);
    EXPECT_EQ(p.MONITOR_FILE, written.MONITOR_FILE);
    EXPECT_EQ(p.COMMUNITY, 3);
    EXPECT_EQ(p.NUM_PLOTS, 4);
    EXPECT_EQ(p.PLOT_1_OK, 1);
    EXPECT_EQ(p.SPECIES_2_SN, 40);
    EXPECT_EQ(p.BASE_YEAR, 1950);
    EXPECT_EQ(p.MONITOR_FLAG, 1);
    EXPECT_EQ(p.BA_MAX, 7500.123457);  // six decimals
    EXPECT_EQ(p.BLOW_PROB, 0.0001);
    EXPECT_EQ(p.MIN_DIAM_TO_KILL_FOR_WINDTHROW, -1.5);
}

// The initial-values copy names the stream that made the run: the random state it began with.
TEST_F(ParameterCopiesTest, TheSeedOfTheCopyIsTheStateTheRunBeganWith) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "SEED_INIT              42.000000\n"},      // no run yet: the file's seed
        {777.0, "SEED_INIT              777.000000\n"},   // the command line's seed or a later run's
        {-777.0, "SEED_INIT              777.000000\n"},  // a negative state draws the same numbers
        {0.5, "SEED_INIT              42.000000\n"},      // no seed the reader takes back
        {2147483646.0, "SEED_INIT              2147483646.000000\n"},
    };
    for (const auto& [start, line] : cases) {
        model->params = sampleParameters();
        model->run.START_RANDOM_STATE = start;
        writeStatisticsCopies(*model);
        EXPECT_NE(readFile("Data/statsInitParams.txt").find(line), std::string::npos) << start;
    }
}

TEST_F(ParameterCopiesTest, CopyThatCannotBeCreatedShowsErrorLog15AndEnds) {
    std::filesystem::remove_all("Data");  // nowhere to write
    try {
        writeStatisticsCopies(*model);
        FAIL();
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_FATAL_ERROR);
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(
        host.lastMessage(),
        "errorLog 15: The system is unable to create the file \"Data\\statsInputOutputRunTimeParams.txt\".");
}
}  // namespace
}  // namespace dravia::test
