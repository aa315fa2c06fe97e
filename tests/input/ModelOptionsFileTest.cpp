#include <gtest/gtest.h>

#include <string>

#include "input/InputTestSupport.h"
#include "input/ModelOptionsFile.h"
#include "input/ReaderError.h"
#include "model/ModelOptions.h"

namespace dravia {
namespace {

using ModelOptionsFile = test::InputFileTest;

TEST(ModelOptionsFileName, BesideTheInitialValuesFile) {
    struct Row {
        const char* initialValues;
        const char* options;
    };
    for (const Row row : {
             Row{"Data\\hbkInitNormalParams.txt", "Data\\hbkInitNormalModelOptions.txt"},
             Row{"Data\\statsInitParams.txt", "Data\\statsInitModelOptions.txt"},
             Row{"Data\\mine.txt", "Data\\mineModelOptions.txt"},
             Row{"Data\\v1.2\\mine",
                 "Data\\v1.2\\mineModelOptions.txt"},  // a dot in a folder is no extension
             Row{"Params.txt", "ModelOptions.txt"},
         })
        EXPECT_EQ(modelOptionsFileOf(row.initialValues), row.options) << row.initialValues;
}

TEST(ModelOptionsText, ReadsEachOptionAndRefusesWhatIsNoOption) {
    struct Row {
        const char* text;
        int slowGrowthYears, climateMemoryYears;  // when read
        const char* problem;                      // a part of the message, or "" when sound
    };
    for (const Row row : {
             Row{"", 1, 1, ""},
             Row{"// nothing on\n\n", 1, 1, ""},
             Row{"CLIMATE_MEMORY_YEARS 15   // adults\r\nSLOW_GROWTH_YEARS 3\n", 3, 15, ""},
             Row{"SLOW_GROWTH_YEARS 1000", 1000, 1, ""},
             Row{"SLOW_GROWTH_YEARS 0\n", 0, 0, "line 1: SLOW_GROWTH_YEARS is a whole number from 1 to 1000"},
             Row{"\nSLOW_GROWTH_YEARS 1001\n", 0, 0, "line 2: SLOW_GROWTH_YEARS"},
             Row{"CLIMATE_MEMORY_YEARS 2.5\n", 0, 0, "not \"2.5\""},
             Row{"CLIMATE_MEMORY_YEARS\n", 0, 0, "has no value"},
             Row{"CLIMATE_MEMORY_YEARS 3 4\n", 0, 0, "only one value"},
             Row{"climate_memory_years 3\n", 0, 0, "there is no model option \"climate_memory_years\""},
         }) {
        ModelOptions options;
        options.SLOW_GROWTH_YEARS = 7;  // untouched unless the whole text is sound
        const std::string problem = parseModelOptions(row.text, options);
        if (std::string(row.problem).empty()) {
            EXPECT_EQ(problem, "") << row.text;
            EXPECT_EQ(options.SLOW_GROWTH_YEARS, row.slowGrowthYears) << row.text;
            EXPECT_EQ(options.CLIMATE_MEMORY_YEARS, row.climateMemoryYears) << row.text;
        } else {
            EXPECT_NE(problem.find(row.problem), std::string::npos) << row.text << " -> " << problem;
            EXPECT_EQ(options.SLOW_GROWTH_YEARS, 7) << row.text;
        }
    }
}

// The person's choice (dialog or command line) overrides the preset's file; a classic run sets the
// file's options off but keeps what the person chose.
TEST(ModelOptionSourcesTest, ChoicesOverTheFileAndClassicOverTheFile) {
    ModelOptionSources sources;
    sources.preset.SLOW_GROWTH_YEARS = 3;
    sources.preset.CLIMATE_MEMORY_YEARS = 10;
    EXPECT_EQ(optionsInForce(sources).CLIMATE_MEMORY_YEARS, 10);
    sources.chosen[1] = 20;
    EXPECT_EQ(optionsInForce(sources).CLIMATE_MEMORY_YEARS, 20);
    EXPECT_EQ(optionsInForce(sources).SLOW_GROWTH_YEARS, 3);
    sources.classic = true;
    EXPECT_EQ(optionsInForce(sources).SLOW_GROWTH_YEARS, 1);
    EXPECT_EQ(optionsInForce(sources).CLIMATE_MEMORY_YEARS, 20);
    sources.chosen[1].reset();
    EXPECT_FALSE(anyModelOptionOn(optionsInForce(sources)));
}

TEST_F(ModelOptionsFile, AbsentFileLeavesEveryOptionOffAndAPresentOneIsRead) {
    model->params.initialValuesPath = "Data\\siteParams.txt";
    model->optionSources.preset.SLOW_GROWTH_YEARS = 4;  // from a preset chosen before
    readModelOptionsFile(*model);
    EXPECT_FALSE(anyModelOptionOn(model->options));

    writeFile("Data\\siteModelOptions.txt", "SLOW_GROWTH_YEARS 4\n");
    readModelOptionsFile(*model);
    EXPECT_EQ(model->options.SLOW_GROWTH_YEARS, 4);
    EXPECT_EQ(modelOptionSummary(model->options), "SLOW_GROWTH_YEARS=4");

    writeFile("Data\\siteModelOptions.txt", "SLOW_GROWTH_YEARS four\n");
    try {
        readModelOptionsFile(*model);
        FAIL() << "a wrong line is refused";
    } catch (const ReaderError& error) {
        EXPECT_NE(std::string(error.what()).find("Data\\siteModelOptions.txt"), std::string::npos)
            << error.what();
    }
}

}  // namespace
}  // namespace dravia
