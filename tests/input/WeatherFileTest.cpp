#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "InputTestSupport.h"
#include "input/ReaderError.h"
#include "input/WeatherFile.h"
#include "platform/ProgramExit.h"
#include "support/Tolerance.h"

namespace dravia::test {
namespace {

class WeatherFileTest : public InputFileTest {
  protected:
    void SetUp() override {
        InputFileTest::SetUp();
        model->params.WTHR_FILE = "Data\\weather.txt";
        model->params.NUM_YEARS = 25;
    }
    // Year y's temperature of month m is temperature(y, m) °F; precipitation y inches.
    static std::string weatherText(const std::string& years, int rows, double elevationFeet = 1000) {
        std::string text = "1 2 STATION " + years + " " + std::to_string(elevationFeet) + "\n99\n";
        for (int y = 1; y <= rows; ++y) {
            text += std::to_string(1950 + y);
            for (int m = 1; m <= 12; ++m) text += " " + std::to_string(32 + y + m);
            text += "\n";
        }
        text += "98\n";
        for (int y = 1; y <= rows; ++y) {
            text += std::to_string(1950 + y);
            for (int m = 1; m <= 12; ++m) text += " " + std::to_string(y) + ".0";
            text += "\n";
        }
        return text;
    }
    std::string failureOf(const std::string& text, int climateChange) {
        writeFile("Data\\weather.txt", text);
        try {
            readWeatherFile(*model, climateChange);
        } catch (const ReaderError& error) {
            return error.what();
        }
        return "none";
    }
};

TEST_F(WeatherFileTest, ConstantClimateTakesTheMeansInModelUnits) {
    EXPECT_EQ(failureOf(weatherText("30", 30), 0), "none");
    // Month m: the mean of 32 + y + m over y = 1..30 is 32 + 15.5 + m °F.
    EXPECT_SAME_VALUE(model->weather.meanTemperature[1], (15.5 + 1) * 0.5555555555555556);
    EXPECT_SAME_VALUE(model->weather.meanTemperature[12], (15.5 + 12) * 0.5555555555555556);
    EXPECT_SAME_VALUE(model->weather.meanPrecipitation[3], 15.5 * 25.4);
    EXPECT_DOUBLE_EQ(model->weather.stationElevation, 304.8);
    EXPECT_EQ(model->weather.recordYears, 30);
}

TEST_F(WeatherFileTest, YearToYearRecordIsRepeatedCyclically) {
    EXPECT_EQ(failureOf(weatherText("10", 10), 1), "none");
    const auto& years = model->weather.years;
    ASSERT_EQ(years.size(), 26u);
    EXPECT_DOUBLE_EQ(years[1].precipitation[1], 25.4);
    EXPECT_DOUBLE_EQ(years[10].precipitation[5], 254.0);
    EXPECT_DOUBLE_EQ(years[10].temperature[2], (10 + 2) * 0.5555555555555556);
    for (int y = 11; y <= 25; ++y) {
        const WeatherYear& source = years[static_cast<size_t>((y - 1) % 10 + 1)];
        EXPECT_EQ(years[static_cast<size_t>(y)].temperature, source.temperature) << y;
        EXPECT_EQ(years[static_cast<size_t>(y)].precipitation, source.precipitation) << y;
    }
}

TEST_F(WeatherFileTest, LongerRecordKeepsEveryYearOfTheFile) {
    EXPECT_EQ(failureOf(weatherText("40", 40), 1), "none");
    ASSERT_EQ(model->weather.years.size(), 41u);
    EXPECT_DOUBLE_EQ(model->weather.years[25].precipitation[1], 25 * 25.4);
}

TEST_F(WeatherFileTest, YearCountIsReadInCNotation) {
    EXPECT_EQ(failureOf(weatherText("012", 10), 1), "none");  // octal: 10 years
    EXPECT_EQ(model->weather.recordYears, 10);
    EXPECT_EQ(failureOf(weatherText("0x1E", 30), 0), "none");
    EXPECT_EQ(model->weather.recordYears, 30);
}

TEST_F(WeatherFileTest, OneYearWithYearToYearClimateFallsBackToConstantClimate) {
    model->params.CLIMATE_CHANGE = 1;
    EXPECT_EQ(failureOf(weatherText("1", 1), 1), "none");
    EXPECT_EQ(model->params.CLIMATE_CHANGE, 0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.lastMessage().rfind(
                  "errorLog 3: Only 1 year of weather data.\n\nCLIMATE_CHANGE will be set to 0", 0),
              0u);
    EXPECT_DOUBLE_EQ(model->weather.meanTemperature[1], 2 * 0.5555555555555556);
}

TEST_F(WeatherFileTest, MissingFileShowsErrorLog2AndThrowsAnEmptyText) {
    EXPECT_EQ(failureOf("", 0),  // not a missing file: an empty one
              "Error.  Could not read the first header value from\nweather file \"Data\\weather.txt\".");
    EXPECT_TRUE(host.messages.empty());
    model->params.WTHR_FILE = "Data\\absent.txt";
    try {
        readWeatherFile(*model, 1);
        FAIL();
    } catch (const ReaderError& error) {
        EXPECT_STREQ(error.what(), "");
    }
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.lastMessage(), "errorLog 2: Could not open file Data\\absent.txt.");
}

TEST_F(WeatherFileTest, RecordsWithoutYearsOrWithMissingNumbersAreRefused) {
    EXPECT_EQ(failureOf(weatherText("0", 0), 0),
              "Error.  Weather file \"Data\\weather.txt\"\nholds 0 years of weather; it must hold at least "
              "one year.");
    EXPECT_EQ(failureOf(weatherText("-3", 0), 1),
              "Error.  Weather file \"Data\\weather.txt\"\nholds -3 years of weather; it must hold at least "
              "one year.");
    EXPECT_EQ(
        failureOf(weatherText("2147483647", 2), 1),
        "Error.  Could not read month 1 of temperature row 5 from\nweather file \"Data\\weather.txt\".");
    EXPECT_EQ(
        failureOf("1 2 S 2 100\n0\n1 1 2 3\n", 0),
        "Error.  Could not read month 4 of temperature row 1 from\nweather file \"Data\\weather.txt\".");
}

TEST_F(WeatherFileTest, OtherClimateValuesReadNothing) {
    model->params.WTHR_FILE = "Data\\absent.txt";
    readWeatherFile(*model, 2);
    EXPECT_TRUE(host.messages.empty());
}

// Each spelling a C reader takes for a number, in place of the precipitation of month 1 of row 1:
// plain decimals are converted without the general reader, everything else with it, and both
// give the reader's value or its refusal naming the month.
TEST_F(WeatherFileTest, EveryNumberSpellingReadsAsTheCReaderReadsIt) {
    struct Case {
        const char* token;
        double inches;  // NaN: refused
    };
    const double refused = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"2.5", 2.5},
        {"-0.1", -0.1},
        {"+5", 5.0},
        {".5", 0.5},
        {"5.", 5.0},
        {"0x1p3", 8.0},
        {"1e2", 100.0},
        {"1E-2", 0.01},
        {"0", 0.0},
        {"-0", -0.0},
        {"1e-400", 0.0},
        {"4.9e-324", 4.9e-324},
        {"0.1000000000000000055511151231257827", 0.1},
        {"1e400", refused},
        {"inf", refused},
        {"nan", refused},
        {"-", refused},
        {"x1", refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.token);
        std::string text = weatherText("2", 2);
        const std::size_t first = text.find("\n98\n1951 ") + 9;
        text.replace(first, text.find(' ', first) - first, c.token);
        const std::string failure = failureOf(text, 1);
        if (std::isnan(c.inches)) {
            EXPECT_EQ(failure,
                      "Error.  Could not read month 1 of precipitation row 1 from\nweather file "
                      "\"Data\\weather.txt\".");
            continue;
        }
        ASSERT_EQ(failure, "none");
        EXPECT_SAME_VALUE(model->weather.years[1].precipitation[1], c.inches * 25.4);
        EXPECT_EQ(std::signbit(model->weather.years[1].precipitation[1]), std::signbit(c.inches));
    }
}

}  // namespace
}  // namespace dravia::test
