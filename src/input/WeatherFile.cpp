#include "input/WeatherFile.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "input/DataFileReader.h"
#include "input/ReaderError.h"
#include "model/ErrorLog.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

// The monthly rows of one section: row y holds months 1..12 in file units.
using MonthlyRows = std::vector<MonthlyValues>;

struct WeatherRecord {
    int years = 0;  // NY
    double elevationFeet = 0.0;
    MonthlyRows temperature;    // rows 0..NY-1, °F
    MonthlyRows precipitation;  // rows 0..NY-1, inches
};

// What a number of the file is, for the message when it cannot be read: a fixed phrase, or a
// month (0: the row's label) of a row of one section. The words are put together only then.
struct NumberItem {
    const char* phrase = nullptr;
    const char* rowName = nullptr;
    int row = 0;
    int month = 0;

    std::string text() const {
        if (phrase != nullptr) return phrase;
        if (month == 0) return formatText("the label of %s row %d", rowName, row);
        return formatText("month %d of %s row %d", month, rowName, row);
    }
};

bool isSpaceCharacter(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The file's numbers, read the way the C formatted input reads them ("%i", "%lf", "%*s").
class NumberScanner {
  public:
    NumberScanner(std::string text, const std::string& fileName)
        : text_(std::move(text)), fileName_(fileName) {}

    void skipWord(NumberItem what) {
        skipSpace();
        if (position_ >= text_.size()) fail(what);
        while (position_ < text_.size() && !isSpaceCharacter(text_[position_])) ++position_;
    }

    // "%i": decimal, octal with a leading 0, hexadecimal with a leading 0x.
    int integer(NumberItem what) {
        skipSpace();
        const char* start = text_.c_str() + position_;
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(start, &end, 0);
        if (end == start || errno == ERANGE || value > INT_MAX || value < INT_MIN) fail(what);
        position_ += static_cast<std::size_t>(end - start);
        return static_cast<int>(value);
    }

    // "%lf". A plain decimal number ending at a space or the end of the text, the file's every
    // number in practice, is converted in place (correctly rounded, as strtod does); anything
    // else (a sign, hexadecimal, an infinity, a number out of range, one followed by more
    // characters) takes strtod's own way.
    double number(NumberItem what) {
        skipSpace();
        const char* start = text_.c_str() + position_;
        const char* plainEnd = plainDecimalEnd(start, text_.c_str() + text_.size());
        if (plainEnd != nullptr) {
            double value = 0.0;
            const std::from_chars_result result = std::from_chars(start, plainEnd, value);
            if (result.ec == std::errc{} && result.ptr == plainEnd && std::isfinite(value) && value != 0.0) {
                position_ += static_cast<std::size_t>(plainEnd - start);
                return value;
            }
        }
        char* end = nullptr;
        const double value = std::strtod(start, &end);
        if (end == start || !std::isfinite(value)) fail(what);
        position_ += static_cast<std::size_t>(end - start);
        return value;
    }

  private:
    // The end of "[-]digits[.digits]" when a space or the end of the text follows it; else null.
    static const char* plainDecimalEnd(const char* text, const char* end) {
        const char* p = text;
        if (p < end && *p == '-') ++p;
        const char* digits = p;
        while (p < end && *p >= '0' && *p <= '9') ++p;
        if (p == digits) return nullptr;
        if (p < end && *p == '.') {
            ++p;
            while (p < end && *p >= '0' && *p <= '9') ++p;
        }
        return p == end || isSpaceCharacter(*p) ? p : nullptr;
    }
    void skipSpace() {
        while (position_ < text_.size() && isSpaceCharacter(text_[position_])) ++position_;
    }
    [[noreturn]] void fail(const NumberItem& what) const {
        throw ReaderError(formatText("Error.  Could not read %s from\nweather file \"%s\".",
                                     what.text().c_str(), fileName_.c_str()));
    }

    std::string text_;
    const std::string& fileName_;
    std::size_t position_ = 0;
};

MonthlyRows readSection(NumberScanner& in, int years, const char* rowName) {
    MonthlyRows rows;
    for (int y = 1; y <= years; ++y) {
        in.number({nullptr, rowName, y, 0});
        MonthlyValues row{};
        for (int month = 1; month <= MONTHS; ++month)
            row[static_cast<size_t>(month)] = in.number({nullptr, rowName, y, month});
        rows.push_back(row);
    }
    return rows;
}

// Opens and reads the whole record; errorLog 2 when the file cannot be opened.
WeatherRecord readRecord(ModelState& model) {
    const std::string& fileName = model.params.WTHR_FILE;
    FileHandle file = openFile(fileName, "r");
    if (!file) {
        reportError(model, ErrorMessage::CannotOpenWeatherFile, fileName.c_str());
        throw ReaderError("");
    }
    // Centuries of monthly rows take a few hundred kilobytes.
    constexpr unsigned long long WEATHER_FILE_LIMIT = 64ull << 20;
    if (largerThan(file.get(), WEATHER_FILE_LIMIT))
        throw ReaderError(tooLargeMessage(fileName, WEATHER_FILE_LIMIT));
    NumberScanner in(readWholeFile(file.get()), fileName);
    file.reset();

    WeatherRecord record;
    in.integer({"the first header value"});
    in.integer({"the second header value"});
    in.skipWord({"the station name"});
    record.years = in.integer({"the number of years"});
    if (record.years < 1) {
        throw ReaderError(formatText(
            "Error.  Weather file \"%s\"\nholds %d years of weather; it must hold at least one year.",
            fileName.c_str(), record.years));
    }
    record.elevationFeet = in.number({"the station elevation"});
    in.integer({"the separator before the temperatures"});
    record.temperature = readSection(in, record.years, "temperature");
    in.integer({"the separator before the precipitation"});
    record.precipitation = readSection(in, record.years, "precipitation");
    return record;
}

double celsius(double fahrenheit) {
    return (fahrenheit - 32.0) * FAHRENHEIT_TO_CELSIUS;
}
double millimetres(double inches) {
    return inches * INCHES_TO_MM;
}

void useConstantClimate(ModelState& model, const WeatherRecord& record) {
    WeatherData& weather = model.weather;
    weather.meanTemperature.fill(0.0);
    weather.meanPrecipitation.fill(0.0);
    for (const MonthlyValues& row : record.temperature) {
        for (int month = 1; month <= MONTHS; ++month) {
            weather.meanTemperature[static_cast<size_t>(month)] += celsius(row[static_cast<size_t>(month)]);
        }
    }
    for (const MonthlyValues& row : record.precipitation) {
        for (int month = 1; month <= MONTHS; ++month) {
            weather.meanPrecipitation[static_cast<size_t>(month)] +=
                millimetres(row[static_cast<size_t>(month)]);
        }
    }
    const double share = 1.0 / record.years;
    for (int month = 1; month <= MONTHS; ++month) {
        weather.meanTemperature[static_cast<size_t>(month)] *= share;
        weather.meanPrecipitation[static_cast<size_t>(month)] *= share;
    }
    weather.recordYears = record.years;
    weather.stationElevation = record.elevationFeet * STATION_FEET_TO_METRES;
}

void useYearToYearClimate(ModelState& model, const WeatherRecord& record) {
    WeatherData& weather = model.weather;
    const int years = record.years;
    const int records = model.params.NUM_YEARS > years ? model.params.NUM_YEARS : years;
    weather.years.clear();
    weather.years.shrink_to_fit();
    try {
        weather.years.resize(static_cast<size_t>(records) + 1);
    } catch (const std::bad_alloc&) {
        reportError(model, ErrorMessage::TooManyWeatherYears);
        throw ProgramExit{EXIT_FATAL_ERROR};
    } catch (const std::length_error&) {
        reportError(model, ErrorMessage::TooManyWeatherYears);
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
    for (int y = 1; y <= years; ++y) {
        WeatherYear& year = weather.years[static_cast<size_t>(y)];
        for (int month = 1; month <= MONTHS; ++month) {
            year.temperature[static_cast<size_t>(month)] =
                celsius(record.temperature[static_cast<size_t>(y - 1)][static_cast<size_t>(month)]);
            year.precipitation[static_cast<size_t>(month)] =
                millimetres(record.precipitation[static_cast<size_t>(y - 1)][static_cast<size_t>(month)]);
        }
    }
    // A short record is repeated from its first year.
    for (int m = years + 1; m <= model.params.NUM_YEARS; ++m) {
        weather.years[static_cast<size_t>(m)] = weather.years[static_cast<size_t>(((m - 1) % years) + 1)];
    }
    weather.recordYears = years;
    weather.stationElevation = record.elevationFeet * STATION_FEET_TO_METRES;
}

}  // namespace

void readWeatherFile(ModelState& model, int climateChange) {
    if (climateChange != 0 && climateChange != 1) return;
    const WeatherRecord record = readRecord(model);
    if (climateChange == 1 && record.years == 1) {
        reportError(model, ErrorMessage::OneWeatherYear);
        model.params.CLIMATE_CHANGE = 0;
        useConstantClimate(model, record);
        return;
    }
    if (climateChange == 0) {
        useConstantClimate(model, record);
    } else {
        useYearToYearClimate(model, record);
    }
}

}  // namespace dravia
