// The catalogue of bad inputs: for every file the program reads, one table of damaged
// versions of a small, complete data set, each with the exact messages the user is shown and
// the program's exit status. Expected texts are built from the message formats.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CatalogueSupport.h"
#include "output/StatsReader.h"
#include "platform/Paths.h"

namespace dravia::test {
namespace {

namespace fs = std::filesystem;

// ----- Stored names of the small data set and the messages built from their formats -----

const std::string RUN_TIME = "Data\\inputOutputRunTimeParams.txt";
const std::string INITIAL = "Data\\initParams.txt";
const std::string FALLBACK_INITIAL = "Data\\virginiaInitNormalParams.txt";
const std::string SPECIES = "Data\\species.txt";
const std::string PLOT = "Data\\plot.txt";
const std::string WEATHER = "Data\\weather.txt";
const std::string STATS_RUN_TIME = "Data\\statsInputOutputRunTimeParams.txt";
const std::string STATS_INITIAL = "Data\\statsInitParams.txt";
const std::string RESULTS = "Data\\results.out";

const std::string COMPLETED = "Simulation Completed.";
const std::string COLOURS_MISSING =
    "errorLog 1: Could not open file Data\\colors.txt. \n\nA default set of colors will be used instead.  ";
const std::string ONE_WEATHER_YEAR =
    "errorLog 3: Only 1 year of weather data.\n\nCLIMATE_CHANGE will be set to 0\nand the program will be "
    "run "
    "with constant climate\nTo avoid this error again, change the CLIMATE_CHANGE \nvariable to 0, OR add "
    "records for more years to the\nweather file you are using.";
const std::string TOO_MANY_TREES =
    "errorLog 7: There are more than 200 trees on the plot.\n\nTo the correct the error, either:\n(1) reduce "
    "the "
    "number of trees on the plot, OR\n(2) modify the LOADPLOT program if it is available.";
const std::string ONE_ITERATION =
    "errorLog 13: There is only 1 iteration in your file.\n\nYou must have at least 2 iterations\nin order "
    "to "
    "run the STATS program!";
const std::string TOO_MANY_INTERVALS =
    "errorLog 14: There are more than 500 intervals in the output file.\n\nThe present version of DRAVIA-II "
    "only permits\nup to 500 intervals.  Rerun DRAVIA-II to \nregenerate the output file, then run STATS.";
const std::string NO_RESULTS_INTERVAL =
    "errorLog 16: The RESULTS_INTERV variable is set to 0.\n\nThis means that there is not data to "
    "analyze.\n\nTo correct the condition, rerun DRAVIA-II with\nwith a RESULTS_INTERV set to a non-zero "
    "value.";

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}
std::string cannotOpen(const std::string& file) {
    return "Error.  Could not open data file " + quoted(file) + ".";
}
std::string itemMismatch(const std::string& expected, const std::string& file, const std::string& found) {
    return "Error.  Tried to read item " + quoted(expected) + " from\ndata file " + quoted(file) +
           " but instead got item\n" + quoted(found) +
           ".  The item is missing or\nthe items are out of order.";
}
std::string wrongType(const std::string& item, const std::string& file) {
    return "Error.  Wrong data type when reading item " + quoted(item) + " from\ndata file " + quoted(file) +
           ".";
}
std::string lineTooLong(const std::string& item, const std::string& file) {
    return "Error.  A line longer than 999 characters was found when reading item " + quoted(item) +
           " from\ndata file " + quoted(file) + ".";
}
std::string valueTooLong(const std::string& item, const std::string& file, int limit) {
    return "Error.  The value of item " + quoted(item) + " in\ndata file " + quoted(file) +
           " is longer than " + std::to_string(limit) + " characters.";
}
std::string speciesWrongType(int sn) {
    return "Error.  Wrong data type when reading species #" + std::to_string(sn) +
           " from\nspecies data file " + quoted(SPECIES) + ".";
}
std::string plotRowSpecies(int row, int sn, int speciesCount) {
    return "Error.  Tree row " + std::to_string(row) + " of plot data file " + quoted(PLOT) +
           "\nholds species number " + std::to_string(sn) + "; the species file holds " +
           (speciesCount == 0 ? std::string("no species.")
                              : "species 1 to " + std::to_string(speciesCount) + ".");
}
std::string plotRowWrongType(int row) {
    return "Error.  Wrong data type when reading species \"" + std::to_string(row) +
           "\" from\nplot data file " + quoted(PLOT) + ".";
}
std::string weatherUnreadable(const std::string& what) {
    return "Error.  Could not read " + what + " from\nweather file " + quoted(WEATHER) + ".";
}
std::string errorLog2(const std::string& file) {
    return "errorLog 2: Could not open file " + file + ".";
}
std::string errorLog15(const std::string& file) {
    return "errorLog 15: The system is unable to create the file " + quoted(file) + ".";
}

// Binary garbage: the first bytes of a PNG picture.
const std::string GARBAGE("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x06\0\0\0\x1f\xf3\xff\x61",
                          33);
// What a line-oriented reader finds first in it: the word on its first line.
const std::string GARBAGE_FIRST_WORD = "\x89PNG";

// ----- Rows -----

struct Row {
    std::string name;
    Command command = Command::Run;
    std::function<void(const fs::path&)> damage;
    Outcome expected;
    bool asOrdinaryUser = false;
    SmallDataSetOptions options{};
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

std::string localPath(std::string storedName) {
    for (char& c : storedName) {
        if (c == '\\') c = '/';
    }
    return storedName;
}

using Transform = std::function<std::string(const std::string&)>;

std::function<void(const fs::path&)> rewrite(const std::string& storedName, Transform transform) {
    return [storedName, transform](const fs::path& directory) {
        const fs::path path = directory / localPath(storedName);
        const std::string text = fs::exists(path) ? readTextFile(path) : std::string();
        fs::remove(path);
        writeTextFile(path, transform(text));
    };
}
std::function<void(const fs::path&)> replaceWith(const std::string& storedName, const std::string& text) {
    return rewrite(storedName, [text](const std::string&) { return text; });
}
std::function<void(const fs::path&)> removeFile(const std::string& storedName) {
    return [storedName](const fs::path& directory) { fs::remove(directory / localPath(storedName)); };
}
std::function<void(const fs::path&)> directoryInstead(const std::string& storedName) {
    return [storedName](const fs::path& directory) {
        fs::remove(directory / localPath(storedName));
        fs::create_directory(directory / localPath(storedName));
    };
}
std::function<void(const fs::path&)> pipeInstead(const std::string& storedName) {
    return [storedName](const fs::path& directory) {
        const fs::path path = directory / localPath(storedName);
        fs::remove(path);
        mkfifo(path.c_str(), 0666);
    };
}
std::function<void(const fs::path&)> unreadable(const std::string& storedName) {
    return [storedName](const fs::path& directory) {
        fs::permissions(directory / localPath(storedName), fs::perms::none);
    };
}

// The lines of the text up to (not including) the line of item number `count`.
Transform keepItems(const std::vector<std::string>& items, std::size_t count) {
    return [items, count](const std::string& text) {
        std::string kept;
        for (const std::string& line : linesOf(text)) {
            if (count < items.size() && line.rfind(items[count], 0) == 0 &&
                (line.size() == items[count].size() || line[items[count].size()] == ' '))
                break;
            kept += line + "\n";
        }
        return kept;
    };
}
Transform setItem(const std::string& item, const std::string& value) {
    return [item, value](const std::string& text) { return withItemValue(text, item, value); };
}
// Inserts a line before the line of item `item`.
Transform lineBefore(const std::string& item, const std::string& line) {
    return [item, line](const std::string& text) {
        std::string out;
        for (const std::string& existing : linesOf(text)) {
            if (existing.rfind(item + " ", 0) == 0) out += line + "\n";
            out += existing + "\n";
        }
        return out;
    };
}

const std::vector<std::string> RUN_TIME_ITEMS = {"SCREEN_OUTPUT_MODE",
                                                 "FILE_OUTPUT_FLAG",
                                                 "NUM_YEARS",
                                                 "NUM_ITERS",
                                                 "PRINT_INTERV",
                                                 "RESULTS_INTERV",
                                                 "RESULTS_FILE",
                                                 "AFTER_DISTURBANCE_RESULTS_FILE",
                                                 "DISTURBANCE_RESULTS_FILE",
                                                 "STATS_RESULTS_FILE",
                                                 "DISTURBANCE_STATS_RESULTS_FILE",
                                                 "AFTER_DISTURB_STATS_RESULTS_FILE",
                                                 "PAUSE_EVERY_ITERATION",
                                                 "PAUSE_AT_INTERVALS"};

const std::vector<std::string> INITIAL_ITEMS = {"SPP_PARAM_FILE",
                                                "PLOT_FILE",
                                                "CO2_FERT_OK",
                                                "CO2_FACTOR_DEF",
                                                "CALC_ITER_AVG",
                                                "BA_MAX",
                                                "SEED_INIT",
                                                "CLEAR_PLOT",
                                                "CLIMATE_CHANGE",
                                                "COMMUNITY",
                                                "HABITAT[1]",
                                                "HABITAT[2]",
                                                "HABITAT[3]",
                                                "HABITAT[4]",
                                                "HABITAT[5]",
                                                "HABITAT[6]",
                                                "HABITAT[7]",
                                                "HABITAT[8]",
                                                "WTHR_TYPE",
                                                "WTHR_TYPES[0]",
                                                "WTHR_TYPES[1]",
                                                "WTHR_CAL_YEARS",
                                                "WTHR_FILE",
                                                "TEST_DISTURB",
                                                "FIRST_DISTURB_YEAR",
                                                "BLOW_DOWN",
                                                "BLOW_FREQ",
                                                "BLOW_PROB",
                                                "MIN_DIAM_TO_KILL_FOR_LOGGING",
                                                "MIN_DIAM_TO_KILL_FOR_WINDTHROW",
                                                "NUM_PLOTS",
                                                "PLOT_1_OK",
                                                "PLOT_2_OK",
                                                "SPECIES_1_SN",
                                                "SPECIES_2_SN",
                                                "GRAPH_INTVL",
                                                "WIDTH",
                                                "DEPTH",
                                                "SLANT",
                                                "HT_MAX",
                                                "BASE_YEAR",
                                                "MONITOR_FLAG",
                                                "MONITOR_FILE",
                                                "EVAP_FACTOR"};

const std::vector<std::string> SITE_ITEMS = {"ELEV_FT",     "LATITUDE", "SOIL_DEPTH",   "ROOT_DEPTH",
                                             "WATER_DEPTH", "TEXTURE",  "PERCENT_ROCK", "AVAIL_N"};

Outcome fails(int status, const std::string& message) {
    return Outcome{status, {message}};
}

// The rows every item-by-item parameter file shares. `opened` is the name in the open
// message (the initial-values file falls back to another name when it cannot be opened).
struct ParameterFile {
    std::string prefix;
    std::string storedName;
    std::string openedWhenMissing;
    std::vector<std::string> items;
    Command command;
    int status;         // of a reader error
    Outcome completed;  // of an undamaged run
    std::string intItem;
    std::string doubleItem;  // empty when the file has none
    std::string textItem;
    int textLimit;
};

std::vector<Row> parameterFileRows(const ParameterFile& f) {
    const std::string& F = f.storedName;
    std::vector<Row> rows;
    auto add = [&](const std::string& name, std::function<void(const fs::path&)> damage, Outcome expected,
                   bool asOrdinaryUser = false) {
        rows.push_back(
            Row{f.prefix + "_" + name, f.command, std::move(damage), std::move(expected), asOrdinaryUser});
    };
    add("Missing", removeFile(F), fails(f.status, cannotOpen(f.openedWhenMissing)));
    add("Directory", directoryInstead(F), fails(f.status, cannotOpen(f.openedWhenMissing)));
    add("Pipe", pipeInstead(F), fails(f.status, cannotOpen(f.openedWhenMissing)));
    add("Unreadable", unreadable(F), fails(f.status, cannotOpen(f.openedWhenMissing)), true);
    add("Empty", replaceWith(F, ""), fails(f.status, itemMismatch(f.items[0], F, "")));
    for (std::size_t k = 1; k < f.items.size(); ++k) {
        add("TruncatedBefore_" + std::to_string(k), rewrite(F, keepItems(f.items, k)),
            fails(f.status, itemMismatch(f.items[k], F, "")));
    }
    const std::string& middle = f.items[2];
    const std::string halfName = middle.substr(0, middle.size() / 2);
    add("TruncatedInsideName",
        rewrite(F, [items = f.items,
                    halfName](const std::string& text) { return keepItems(items, 2)(text) + halfName; }),
        fails(f.status, itemMismatch(middle, F, halfName)));
    add("MissingValue", rewrite(F, setItem(f.intItem, "")), fails(f.status, wrongType(f.intItem, F)));
    add("WordForInt", rewrite(F, setItem(f.intItem, "thirty")), fails(f.status, wrongType(f.intItem, F)));
    add("IntBelowRange", rewrite(F, setItem(f.intItem, "-2147483649")),
        fails(f.status, wrongType(f.intItem, F)));
    add("IntAboveRange", rewrite(F, setItem(f.intItem, "2147483648")),
        fails(f.status, wrongType(f.intItem, F)));
    add("NaNForInt", rewrite(F, setItem(f.intItem, "nan")), fails(f.status, wrongType(f.intItem, F)));
    if (!f.doubleItem.empty()) {
        const std::string& D = f.doubleItem;
        add("WordForDouble", rewrite(F, setItem(D, "much")), fails(f.status, wrongType(D, F)));
        add("DoubleOverflow", rewrite(F, setItem(D, "1e309")), fails(f.status, wrongType(D, F)));
        add("NaN", rewrite(F, setItem(D, "nan")), fails(f.status, wrongType(D, F)));
        add("Infinity", rewrite(F, setItem(D, "inf")), fails(f.status, wrongType(D, F)));
        add("MinusInfinity", rewrite(F, setItem(D, "-infinity")), fails(f.status, wrongType(D, F)));
    }
    add("Crlf", rewrite(F, withCrlf), f.completed);
    add("LineOverLimit", rewrite(F, lineBefore(middle, "//" + std::string(998, 'x'))),
        fails(f.status, lineTooLong(middle, F)));
    add("LineAtLimit", rewrite(F, lineBefore(middle, "//" + std::string(997, 'x'))), f.completed);
    add("TextOverLimit",
        rewrite(F, setItem(f.textItem, std::string(static_cast<size_t>(f.textLimit) + 1, 'n'))),
        fails(f.status, valueTooLong(f.textItem, F, f.textLimit)));
    add("BinaryGarbage", replaceWith(F, GARBAGE),
        fails(f.status, itemMismatch(f.items[0], F, GARBAGE_FIRST_WORD)));
    return rows;
}

std::vector<Row> runTimeControlRows() {
    auto rows = parameterFileRows({"RunTimeControl", RUN_TIME, RUN_TIME, RUN_TIME_ITEMS, Command::Run, 255,
                                   Outcome{0, {COMPLETED}}, "NUM_YEARS", "", "RESULTS_FILE", 255});
    // A file name of full length is taken.
    rows.push_back(Row{"RunTimeControl_TextAtLimit", Command::Run,
                       rewrite(RUN_TIME, setItem("RESULTS_FILE", "Data\\" + std::string(250, 'r'))),
                       Outcome{0, {COMPLETED}}});
    return rows;
}

std::vector<Row> initialValuesRows() {
    auto rows = parameterFileRows({"InitialValues", INITIAL, FALLBACK_INITIAL, INITIAL_ITEMS, Command::Run,
                                   255, Outcome{0, {COMPLETED}}, "NUM_PLOTS", "BA_MAX", "HABITAT[1]", 29});
    rows.push_back(Row{"InitialValues_TextAtLimit", Command::Run,
                       rewrite(INITIAL, setItem("HABITAT[1]", std::string(29, 'h'))),
                       Outcome{0, {COMPLETED}}});
    rows.push_back(Row{"InitialValues_CalendarYearsOverLimit", Command::Run,
                       rewrite(INITIAL, setItem("WTHR_CAL_YEARS", "1971-2000 and more")),
                       fails(255, valueTooLong("WTHR_CAL_YEARS", INITIAL, 15))});
    rows.push_back(Row{"InitialValues_MonitorFileOverLimit", Command::Run,
                       rewrite(INITIAL, setItem("MONITOR_FILE", std::string(24, 'm'))),
                       fails(255, valueTooLong("MONITOR_FILE", INITIAL, 23))});
    // Huge but finite values are taken as they are.
    rows.push_back(Row{"InitialValues_HugeDouble", Command::Run,
                       rewrite(INITIAL, setItem("MIN_DIAM_TO_KILL_FOR_LOGGING", "1e308")),
                       Outcome{0, {COMPLETED}}});
    // Logging every BLOW_FREQ years counted from the smallest int: the year arithmetic must not overflow.
    SmallDataSetOptions loggingFromFarBack;
    loggingFromFarBack.testDisturb = 1;
    loggingFromFarBack.blowDown = 1;
    loggingFromFarBack.blowFreq = 7;
    loggingFromFarBack.firstDisturbYear = -2147483647 - 1;
    rows.push_back(Row{"InitialValues_SmallestInt", Command::Run, [](const fs::path&) {},
                       Outcome{0, {COMPLETED}}, false, loggingFromFarBack});
    return rows;
}

std::vector<Row> statisticsCopyRows() {
    auto rows =
        parameterFileRows({"StatsRunTimeCopy", STATS_RUN_TIME, STATS_RUN_TIME, RUN_TIME_ITEMS, Command::Stats,
                           255, Outcome{0, {}}, "NUM_ITERS", "", "STATS_RESULTS_FILE", 255});
    auto more =
        parameterFileRows({"StatsInitialCopy", STATS_INITIAL, STATS_INITIAL, INITIAL_ITEMS, Command::Stats,
                           255, Outcome{0, {}}, "BLOW_DOWN", "SEED_INIT", "HABITAT[8]", 29});
    rows.insert(rows.end(), more.begin(), more.end());
    return rows;
}

// ----- Species file -----

// The small data set's species file as its 30-value records.
std::vector<std::vector<std::string>> speciesRecords() {
    std::vector<std::vector<std::string>> records;
    const std::vector<std::string> lines = linesOf(smallSpeciesFile());
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> values;
        std::size_t start = 0;
        while (start < lines[i].size()) {
            std::size_t end = lines[i].find(' ', start);
            if (end == std::string::npos) end = lines[i].size();
            if (end > start) values.push_back(lines[i].substr(start, end - start));
            start = end + 1;
        }
        records.push_back(values);
    }
    return records;
}

std::string speciesText(const std::vector<std::vector<std::string>>& records,
                        const std::string& header = "NAME ...") {
    std::string text = header + "\n";
    for (const auto& record : records) {
        for (std::size_t i = 0; i < record.size(); ++i) text += (i ? " " : "") + record[i];
        text += "\n";
    }
    return text;
}

std::string speciesWithValue(int sn, int valueNumber, const std::string& value) {
    auto records = speciesRecords();
    records[static_cast<size_t>(sn - 1)][static_cast<size_t>(valueNumber - 1)] = value;
    return speciesText(records);
}

std::string speciesOutside(int sn, const std::string& name, const std::string& field,
                           const std::string& range) {
    return "Error.  Species #" + std::to_string(sn) + " (" + name + ") in\nspecies data file " +
           quoted(SPECIES) + "\nhas " + field + " outside " + range + ".";
}

std::vector<Row> speciesRows() {
    std::vector<Row> rows;
    auto add = [&](const std::string& name, std::function<void(const fs::path&)> damage, Outcome expected,
                   bool asOrdinaryUser = false) {
        rows.push_back(
            Row{"Species_" + name, Command::Run, std::move(damage), std::move(expected), asOrdinaryUser});
    };
    add("Missing", removeFile(SPECIES), fails(255, cannotOpen(SPECIES)));
    add("Directory", directoryInstead(SPECIES), fails(255, cannotOpen(SPECIES)));
    add("Pipe", pipeInstead(SPECIES), fails(255, cannotOpen(SPECIES)));
    add("Unreadable", unreadable(SPECIES), fails(255, cannotOpen(SPECIES)), true);
    // Without species the plot's first tree row names a species that does not exist.
    add("Empty", replaceWith(SPECIES, ""), fails(1, plotRowSpecies(1, 1, 0)));
    add("HeaderOnly", replaceWith(SPECIES, "NAME ALT SHADE\n"), fails(1, plotRowSpecies(1, 1, 0)));
    // The third record cut after each of its values: only two species are read whole, and the
    // plot's fourth tree row is of species 3.
    const auto records = speciesRecords();
    for (int kept = 0; kept < 30; ++kept) {
        auto cut = records;
        cut[2].resize(static_cast<size_t>(kept));
        std::string text = speciesText(cut);
        if (kept == 0) text = speciesText({records[0], records[1]});
        add("RecordThreeCutAfterValue_" + std::to_string(kept), replaceWith(SPECIES, text),
            fails(1, plotRowSpecies(4, 3, 2)));
    }
    add("WordForDouble", replaceWith(SPECIES, speciesWithValue(2, 9, "eighty")),
        fails(255, speciesWrongType(2)));
    add("WordForInt", replaceWith(SPECIES, speciesWithValue(1, 3, "tolerant")),
        fails(255, speciesWrongType(1)));
    add("IntBelowRange", replaceWith(SPECIES, speciesWithValue(1, 5, "-2147483649")),
        fails(255, speciesWrongType(1)));
    add("DoubleOverflow", replaceWith(SPECIES, speciesWithValue(1, 7, "1e309")),
        fails(255, speciesWrongType(1)));
    add("NaN", replaceWith(SPECIES, speciesWithValue(1, 7, "nan")), fails(255, speciesWrongType(1)));
    add("Infinity", replaceWith(SPECIES, speciesWithValue(3, 8, "inf")), fails(255, speciesWrongType(3)));
    add("ZeroMaximumDiameter", replaceWith(SPECIES, speciesWithValue(1, 9, "0")),
        fails(255, speciesOutside(1, "Test_maple", "DMAX", "0.001 to 100000")));
    add("EqualDegreeDays", replaceWith(SPECIES, speciesWithValue(2, 16, "1800.0")),
        fails(255, "Error.  Species #2 (Test_birch) in\nspecies data file " + quoted(SPECIES) +
                       "\nhas DDMAX equal to DDMIN."));
    add("NameOverLimit", replaceWith(SPECIES, speciesWithValue(1, 1, std::string(255, 'a'))),
        fails(255, "Error.  A text value of species #1 in\nspecies data file " + quoted(SPECIES) +
                       "\nis longer than 254 characters."));
    add("NameAtLimit", replaceWith(SPECIES, speciesWithValue(1, 1, std::string(254, 'a'))),
        Outcome{0, {COMPLETED}});
    add("HeaderOverLimit", replaceWith(SPECIES, speciesText(records, std::string(1000, 'h'))),
        fails(255, "Error.  The first line of species data file " + quoted(SPECIES) +
                       "\nis longer than 999 characters."));
    add("HeaderAtLimit", replaceWith(SPECIES, speciesText(records, std::string(999, 'h'))),
        Outcome{0, {COMPLETED}});
    add("Crlf", rewrite(SPECIES, withCrlf), Outcome{0, {COMPLETED}});
    add("BinaryGarbage", replaceWith(SPECIES, GARBAGE), fails(255, speciesWrongType(1)));
    // A tree picture that cannot be read is reported and the species drawn without it.
    const std::string cannotReadPicture =
        "Could not read in small tree bitmap file \"Data\\maple.bmp\" for species Test_maple.";
    add("PictureMissing", replaceWith(SPECIES, speciesWithValue(1, 28, "Data\\maple.bmp")),
        Outcome{0, {cannotReadPicture, COMPLETED}});
    add(
        "PictureGarbage",
        [](const fs::path& directory) {
            replaceWith(SPECIES, speciesWithValue(1, 28, "Data\\maple.bmp"))(directory);
            writeTextFile(directory / "Data/maple.bmp", GARBAGE);
        },
        Outcome{0, {cannotReadPicture, COMPLETED}});
    add(
        "PictureDirectory",
        [](const fs::path& directory) {
            replaceWith(SPECIES, speciesWithValue(1, 28, "Data\\maple.bmp"))(directory);
            fs::create_directory(directory / "Data/maple.bmp");
        },
        Outcome{0, {cannotReadPicture, COMPLETED}});
    add(
        "PictureTruncated",
        [](const fs::path& directory) {
            replaceWith(SPECIES, speciesWithValue(1, 28, "Data\\maple.bmp"))(directory);
            // A 2 x 2 picture of 24-bit colour whose pixel rows are cut off.
            std::string bmp("BM\x46\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x02\0\0\0\x02\0\0\0\x01\0\x18\0", 30);
            bmp += std::string(24, '\0');
            bmp += std::string(5, '\xff');
            writeTextFile(directory / "Data/maple.bmp", bmp);
        },
        Outcome{0, {cannotReadPicture, COMPLETED}});
    return rows;
}

// ----- Plot file -----

std::vector<Row> plotRows() {
    std::vector<Row> rows;
    auto add = [&](const std::string& name, std::function<void(const fs::path&)> damage, Outcome expected,
                   bool asOrdinaryUser = false, SmallDataSetOptions options = {}) {
        rows.push_back(Row{"Plot_" + name, Command::Run, std::move(damage), std::move(expected),
                           asOrdinaryUser, options});
    };
    add("Missing", removeFile(PLOT), fails(255, cannotOpen(PLOT)));
    add("Directory", directoryInstead(PLOT), fails(255, cannotOpen(PLOT)));
    add("Pipe", pipeInstead(PLOT), fails(255, cannotOpen(PLOT)));
    add("Unreadable", unreadable(PLOT), fails(255, cannotOpen(PLOT)), true);
    add("Empty", replaceWith(PLOT, ""), fails(255, itemMismatch("ELEV_FT", PLOT, "")));
    for (std::size_t k = 1; k < SITE_ITEMS.size(); ++k) {
        add("TruncatedBefore_" + std::to_string(k), rewrite(PLOT, keepItems(SITE_ITEMS, k)),
            fails(255, itemMismatch(SITE_ITEMS[k], PLOT, "")));
    }
    // The eight site items alone: plots without initial trees.
    std::string siteItems;
    for (const std::string& line : linesOf(smallPlotFile())) {
        siteItems += line + "\n";
        if (line.rfind("AVAIL_N", 0) == 0) break;
    }
    add("SiteOnly", replaceWith(PLOT, siteItems), Outcome{0, {COMPLETED}});
    add("WordForDouble", rewrite(PLOT, setItem("LATITUDE", "north")),
        fails(255, wrongType("LATITUDE", PLOT)));
    add("DoubleOverflow", rewrite(PLOT, setItem("SOIL_DEPTH", "1e309")),
        fails(255, wrongType("SOIL_DEPTH", PLOT)));
    add("NaN", rewrite(PLOT, setItem("TEXTURE", "nan")), fails(255, wrongType("TEXTURE", PLOT)));
    add("Infinity", rewrite(PLOT, setItem("AVAIL_N", "inf")), fails(255, wrongType("AVAIL_N", PLOT)));
    add("AllRock", rewrite(PLOT, setItem("PERCENT_ROCK", "100")),
        fails(255, "Error.  PERCENT_ROCK in data file " + quoted(PLOT) +
                       "\nis 100; it must lie between 0 and below 100."));
    add("NegativeRock", rewrite(PLOT, setItem("PERCENT_ROCK", "-1")),
        fails(255, "Error.  PERCENT_ROCK in data file " + quoted(PLOT) +
                       "\nis -1; it must lie between 0 and below 100."));
    add("Crlf", rewrite(PLOT, withCrlf), Outcome{0, {COMPLETED}});
    add("LineOverLimit", rewrite(PLOT, lineBefore("LATITUDE", std::string(1000, ' '))),
        fails(255, lineTooLong("LATITUDE", PLOT)));
    add("BinaryGarbage", replaceWith(PLOT, GARBAGE),
        fails(255, itemMismatch("ELEV_FT", PLOT, GARBAGE_FIRST_WORD)));
    // The tree table is read when a run starts; a refusal there ends the run before its first year.
    const std::string site = siteItems + "\nSN  DBH  HT\n";
    add("TreeWordForDiameter", replaceWith(PLOT, site + "1 22.0 0.0\n2 thick 0.0\n"),
        fails(1, plotRowWrongType(2)));
    add("TreeNaNDiameter", replaceWith(PLOT, site + "1 nan 0.0\n"), fails(1, plotRowWrongType(1)));
    add("TreeSpeciesBelowRange", replaceWith(PLOT, site + "-2147483649 22.0 0.0\n"),
        fails(1, plotRowWrongType(1)));
    add("TreeSpeciesUnknown", replaceWith(PLOT, site + "1 22.0 0.0\n4 10.0 0.0\n"),
        fails(1, plotRowSpecies(2, 4, 3)));
    add("TreeSpeciesZero", replaceWith(PLOT, site + "0 22.0 0.0\n"), fails(1, plotRowSpecies(1, 0, 3)));
    add("TreeTableCrlf", replaceWith(PLOT, withCrlf(site + "1 22.0 0.0\n2 15.5 0.0\n")),
        Outcome{0, {COMPLETED}});
    SmallDataSetOptions shortRun;
    shortRun.numYears = 1;
    shortRun.numIters = 1;
    shortRun.resultsInterv = 1;
    std::string fullTable = site;
    for (int row = 1; row <= 9999; ++row) fullTable += std::to_string(row % 3 + 1) + " 2.0 0.0\n";
    add("TreeRowsAtLimit", replaceWith(PLOT, fullTable), Outcome{0, {COMPLETED}}, false, shortRun);
    add("TreeRowsOverLimit", replaceWith(PLOT, fullTable + "1 2.0 0.0\n"), fails(1, TOO_MANY_TREES), false,
        shortRun);
    return rows;
}

// ----- Weather file -----

// The names the weather reader gives the values of a two-year file, in file order.
std::vector<std::string> weatherValueNames() {
    std::vector<std::string> names = {"the first header value", "the second header value",
                                      "the station name",       "the number of years",
                                      "the station elevation",  "the separator before the temperatures"};
    for (const char* section : {"temperature", "precipitation"}) {
        if (std::string(section) == "precipitation")
            names.push_back("the separator before the precipitation");
        for (int row = 1; row <= 2; ++row) {
            names.push_back("the label of " + std::string(section) + " row " + std::to_string(row));
            for (int month = 1; month <= 12; ++month)
                names.push_back("month " + std::to_string(month) + " of " + section + " row " +
                                std::to_string(row));
        }
    }
    return names;
}

// The text up to the end of its `count`-th whitespace-separated value.
std::string firstValues(const std::string& text, std::size_t count) {
    std::size_t position = 0;
    for (std::size_t i = 0; i < count; ++i) {
        position = text.find_first_not_of(" \n", position);
        position = text.find_first_of(" \n", position);
        if (position == std::string::npos) return text;
    }
    return text.substr(0, position);
}

std::string weatherWithValue(std::size_t index, const std::string& value) {
    const std::string text = smallWeatherFile(2);
    const std::string before = firstValues(text, index);
    const std::size_t start = text.find_first_not_of(" \n", before.size());
    const std::size_t end = text.find_first_of(" \n", start);
    return text.substr(0, start) + value + text.substr(end);
}

std::vector<Row> weatherRows() {
    std::vector<Row> rows;
    auto add = [&](const std::string& name, std::function<void(const fs::path&)> damage, Outcome expected,
                   bool asOrdinaryUser = false, SmallDataSetOptions options = {}) {
        rows.push_back(Row{"Weather_" + name, Command::Run, std::move(damage), std::move(expected),
                           asOrdinaryUser, options});
    };
    add("Missing", removeFile(WEATHER), fails(1, errorLog2(WEATHER)));
    add("Directory", directoryInstead(WEATHER), fails(1, errorLog2(WEATHER)));
    add("Pipe", pipeInstead(WEATHER), fails(1, errorLog2(WEATHER)));
    add("Unreadable", unreadable(WEATHER), fails(1, errorLog2(WEATHER)), true);
    const std::vector<std::string> names = weatherValueNames();
    const std::string twoYears = smallWeatherFile(2);
    for (std::size_t kept = 0; kept < names.size(); ++kept) {
        add("CutAfterValue_" + std::to_string(kept), replaceWith(WEATHER, firstValues(twoYears, kept)),
            fails(1, weatherUnreadable(names[kept])));
    }
    add("Complete", replaceWith(WEATHER, twoYears), Outcome{0, {COMPLETED}});
    add("NoYears", replaceWith(WEATHER, weatherWithValue(3, "0")),
        fails(1, "Error.  Weather file " + quoted(WEATHER) +
                     "\nholds 0 years of weather; it must hold at least one year."));
    add("NegativeYears", replaceWith(WEATHER, weatherWithValue(3, "-1")),
        fails(1, "Error.  Weather file " + quoted(WEATHER) +
                     "\nholds -1 years of weather; it must hold at least one year."));
    add("YearsAboveRange", replaceWith(WEATHER, weatherWithValue(3, "2147483648")),
        fails(1, weatherUnreadable("the number of years")));
    // Three years announced, two in the file: the reader runs on through the values that are
    // there (the separator, then the precipitation rows, read as further temperature rows and
    // so on) and stops at the end of the file, in the second precipitation row.
    add("YearsBeyondFile", replaceWith(WEATHER, weatherWithValue(3, "3")),
        fails(1, weatherUnreadable("month 1 of precipitation row 2")));
    add("WordForTemperature", replaceWith(WEATHER, weatherWithValue(8, "mild")),
        fails(1, weatherUnreadable("month 2 of temperature row 1")));
    add("ElevationOverflow", replaceWith(WEATHER, weatherWithValue(4, "1e309")),
        fails(1, weatherUnreadable("the station elevation")));
    add("NaNTemperature", replaceWith(WEATHER, weatherWithValue(7, "nan")),
        fails(1, weatherUnreadable("month 1 of temperature row 1")));
    add("InfinitePrecipitation", replaceWith(WEATHER, weatherWithValue(34, "inf")),
        fails(1, weatherUnreadable("month 1 of precipitation row 1")));
    add("Crlf", replaceWith(WEATHER, withCrlf(twoYears)), Outcome{0, {COMPLETED}});
    add("BinaryGarbage", replaceWith(WEATHER, GARBAGE),
        fails(1, weatherUnreadable("the first header value")));
    SmallDataSetOptions yearToYear;
    yearToYear.climateChange = 1;
    add("OneYearForYearToYear", replaceWith(WEATHER, smallWeatherFile(1)),
        Outcome{0, {ONE_WEATHER_YEAR, COMPLETED}}, false, yearToYear);
    add("YearToYearCrlf", replaceWith(WEATHER, withCrlf(twoYears)), Outcome{0, {COMPLETED}}, false,
        yearToYear);
    return rows;
}

// ----- Colour file -----

std::vector<Row> colourRows() {
    const std::string COLOURS = "Data\\colors.txt";
    std::vector<Row> rows;
    auto add = [&](const std::string& name, std::function<void(const fs::path&)> damage, Outcome expected,
                   bool asOrdinaryUser = false) {
        rows.push_back(
            Row{"Colours_" + name, Command::Run, std::move(damage), std::move(expected), asOrdinaryUser});
    };
    // Without the colour file the default colours are used and the run goes on.
    add("Missing", removeFile(COLOURS), Outcome{0, {COLOURS_MISSING, COMPLETED}});
    add("Directory", directoryInstead(COLOURS), Outcome{0, {COLOURS_MISSING, COMPLETED}});
    add("Pipe", pipeInstead(COLOURS), Outcome{0, {COLOURS_MISSING, COMPLETED}});
    add("Unreadable", unreadable(COLOURS), Outcome{0, {COLOURS_MISSING, COMPLETED}}, true);
    // What cannot be read keeps the default colours, silently.
    add("Empty", replaceWith(COLOURS, ""), Outcome{0, {COMPLETED}});
    add("Truncated",
        rewrite(COLOURS, [](const std::string& text) { return text.substr(0, text.size() / 2); }),
        Outcome{0, {COMPLETED}});
    add("HugeNumbers",
        rewrite(COLOURS,
                [](const std::string& text) {
                    std::string out;
                    for (const std::string& line : linesOf(text)) {
                        out += (line.rfind("1 ", 0) == 0
                                    ? "1 -2147483649 11 99999999999999999999 21 1e308 31 nan"
                                    : line) +
                               "\n";
                    }
                    return out;
                }),
        Outcome{0, {COMPLETED}});
    add("Crlf", rewrite(COLOURS, withCrlf), Outcome{0, {COMPLETED}});
    add("LongLines", replaceWith(COLOURS, std::string(5000, 'c') + "\n" + std::string(100000, '7')),
        Outcome{0, {COMPLETED}});
    add("BinaryGarbage", replaceWith(COLOURS, GARBAGE), Outcome{0, {COMPLETED}});
    return rows;
}

// ----- Results files, read by the statistics command -----

std::string openResultsFailure(const std::string& file) {
    return "Error: Could not open data output file " + file +
           ".\nMust first successfully run a simulation with\n\"Output results to file\" in the \"Input, "
           "Output\nRun-Time Control Parameters\" dialog box set to true.";
}

// Replaces a header line of the results file that starts with `label`.
Transform headerLine(const std::string& label, const std::string& replacement) {
    return [label, replacement](const std::string& text) {
        std::string out;
        for (const std::string& line : linesOf(text)) {
            const std::size_t at = line.find_first_not_of(' ');
            out +=
                (at != std::string::npos && line.compare(at, label.size(), label) == 0 ? replacement : line) +
                "\n";
        }
        return out;
    };
}

const std::string NO_RECORDS = "Error: statistics input file Data\\results.out holds no species records.";

// Drops the species records of one iteration.
Transform withoutIteration(int iteration) {
    return [iteration](const std::string& text) {
        std::string out;
        for (const std::string& line : linesOf(text)) {
            const auto record = parseSummaryRecord(line);
            if (!record || record->iteration != iteration) out += line + "\n";
        }
        return out;
    };
}

Transform appended(const std::string& lines) {
    return [lines](const std::string& text) { return text + lines; };
}

std::vector<Row> resultsRows() {
    std::vector<Row> rows;
    auto add = [&](const std::string& name, std::function<void(const fs::path&)> damage, Outcome expected,
                   bool asOrdinaryUser = false) {
        rows.push_back(
            Row{"Results_" + name, Command::Stats, std::move(damage), std::move(expected), asOrdinaryUser});
    };
    add("Missing", removeFile(RESULTS), fails(1, openResultsFailure(RESULTS)));
    add("Directory", directoryInstead(RESULTS), fails(1, openResultsFailure(RESULTS)));
    add("Pipe", pipeInstead(RESULTS), fails(1, openResultsFailure(RESULTS)));
    add("Unreadable", unreadable(RESULTS), fails(1, openResultsFailure(RESULTS)), true);
    // A file without records is no run's results.
    add("Empty", replaceWith(RESULTS, ""), fails(3, NO_RECORDS));
    add("BinaryGarbage", replaceWith(RESULTS, GARBAGE), fails(3, NO_RECORDS));
    // Cut short inside a record: its first 20 lines and the beginning of a record.
    add("TruncatedInsideRecord",
        rewrite(RESULTS,
                [](const std::string& text) {
                    size_t end = 0;
                    for (int line = 0; line < 20; ++line) end = text.find('\n', end) + 1;
                    return text.substr(0, end) + "      1    2";
                }),
        fails(3,
              "Error: statistics input file Data\\results.out ends inside a record on line 21; the file was "
              "cut short."));
    add("Crlf", rewrite(RESULTS, withCrlf), Outcome{0, {}});
    add("OneIteration", rewrite(RESULTS, headerLine("Iterations:", "Iterations: 1")),
        fails(3, ONE_ITERATION));
    add("ZeroInterval", rewrite(RESULTS, headerLine("Print Interval:", "Print Interval: 0")),
        fails(3, NO_RESULTS_INTERVAL));
    // The quotient of the smallest int by -1 does not fit in an int.
    add("ExtremeYearsAndInterval",
        rewrite(RESULTS,
                [](const std::string& text) {
                    return headerLine("Print Interval:",
                                      "Print Interval: -1")(headerLine("Years:", "Years: -2147483648")(text));
                }),
        fails(3, TOO_MANY_INTERVALS));
    add("HugeValues",
        rewrite(RESULTS,
                [](const std::string& text) {
                    return text +
                           "    2  11    1    1  1e308 1e308 1e308 1e308 1e308 1e308 1e308 1e308 1e308\n"
                           "    2  2147483647    1    1  1 1 1 1 1 1 1 1 1\n"
                           "    2  -2147483648    1    41  1 1 1 1 1 1 1 1 1\n";
                }),
        fails(3,
              "Error: statistics input file Data\\results.out holds the value 1e+308 in the record of "
              "iteration 2, "
              "year 11, plot 1, species 1; no stand holds so much."));
    add("LongLine",
        rewrite(RESULTS, [](const std::string& text) { return std::string(100000, '9') + "\n" + text; }),
        Outcome{0, {}});
    // Records that cannot belong to the run the header and the copies describe.
    const std::string record =
        "      1    25    1   1   2      1.000     1.000     1.000     1.000     1.000     "
        "1.000     1.000     1.000 \n";
    add("IterationBeyondTheRun", rewrite(RESULTS, appended("      3" + record.substr(7))),
        fails(3,
              "Error: statistics input file Data\\results.out holds a record of iteration 3, but the run had "
              "iterations 1 to 2."));
    add("IterationZero", rewrite(RESULTS, appended("      0" + record.substr(7))),
        fails(3,
              "Error: statistics input file Data\\results.out holds a record of iteration 0, but the run had "
              "iterations 1 to 2."));
    const std::string lastIteration = "      2" + record.substr(7);
    add("RecordTwice", rewrite(RESULTS, appended(lastIteration + lastIteration)),
        fails(3,
              "Error: statistics input file Data\\results.out holds the record of iteration 2, year 25, plot "
              "1, "
              "species 1 more than once."));
    add("LastIterationMissing", rewrite(RESULTS, withoutIteration(2)),
        fails(3,
              "Error: statistics input file Data\\results.out ends with iteration 1 of the 2 its header "
              "announces; the run did not complete."));
    add("NegativeInterval", rewrite(RESULTS, headerLine("Print Interval:", "Print Interval: -5")),
        fails(3,
              "Error: statistics input file Data\\results.out describes a run of 30 years with results every "
              "-5 "
              "years; a run lasts at least 1 year and writes results at intervals of at least 1 year."));
    add("NoYears", rewrite(RESULTS, headerLine("Years:", "Years: 0")),
        fails(
            3,
            "Error: statistics input file Data\\results.out describes a run of 0 years with results every 10 "
            "years; a run lasts at least 1 year and writes results at intervals of at least 1 year."));
    // The report cannot be written where a directory stands.
    add("ReportIsDirectory", directoryInstead("Data\\stats.out"), fails(3, errorLog15("Data\\stats.out")));
    add(
        "ReportDirectoryReadOnly",
        [](const fs::path& directory) {
            fs::permissions(directory / "Data", fs::perms::owner_read | fs::perms::owner_exec |
                                                    fs::perms::group_read | fs::perms::group_exec |
                                                    fs::perms::others_read | fs::perms::others_exec);
        },
        fails(3, errorLog15("Data\\stats.out")), true);
    return rows;
}

// ----- Output files the run cannot create -----

std::vector<Row> runOutputRows() {
    std::vector<Row> rows;
    auto add = [&](const std::string& name, std::function<void(const fs::path&)> damage, Outcome expected,
                   bool asOrdinaryUser = false) {
        rows.push_back(
            Row{"RunOutput_" + name, Command::Run, std::move(damage), std::move(expected), asOrdinaryUser});
    };
    add("ResultsIsDirectory", directoryInstead(RESULTS), fails(1, errorLog15(RESULTS)));
    add(
        "ResultsUnderAFile",
        [](const fs::path& directory) {
            writeTextFile(directory / "Data/plain", "a file, not a folder\n");
            rewrite(RUN_TIME, setItem("RESULTS_FILE", "Data\\plain\\results.out"))(directory);
        },
        fails(1, errorLog15("Data\\plain\\results.out")));
    add(
        "DataDirectoryReadOnly",
        [](const fs::path& directory) {
            fs::permissions(directory / "Data", fs::perms::owner_read | fs::perms::owner_exec |
                                                    fs::perms::group_read | fs::perms::group_exec |
                                                    fs::perms::others_read | fs::perms::others_exec);
        },
        fails(1, errorLog15(RESULTS)), true);
    add("ResultsOnFullDevice", rewrite(RUN_TIME, setItem("RESULTS_FILE", "/dev/full")),
        fails(1, "Error: results file /dev/full could not be written (No space left on device)."));
    add("TreeBiodataIsDirectory", directoryInstead("newplot"), fails(1, errorLog15("newplot")));
    // The run goes on without the logging records, says so once, and does not end as complete.
    SmallDataSetOptions loggingEveryTenYears;
    loggingEveryTenYears.testDisturb = 1;
    loggingEveryTenYears.blowDown = 1;
    loggingEveryTenYears.blowFreq = 10;
    loggingEveryTenYears.firstDisturbYear = 10;
    loggingEveryTenYears.minDiamLogging = 0.0;
    rows.push_back(Row{
        "RunOutput_DisturbanceFileOnFullDevice", Command::Run,
        rewrite(RUN_TIME, setItem("DISTURBANCE_RESULTS_FILE", "/dev/full")),
        Outcome{1,
                {"Error: Logging file /dev/full could not be written (No space left on device).", COMPLETED}},
        false, loggingEveryTenYears});
    add(
        "MonitorFileOnFullDevice",
        [](const fs::path& directory) {
            rewrite(INITIAL, setItem("MONITOR_FLAG", "1"))(directory);
            rewrite(INITIAL, setItem("MONITOR_FILE", "/dev/full"))(directory);
        },
        fails(1, "Error: monitor file /dev/full could not be written (No space left on device)."));
    add("StatisticsCopyIsDirectory", directoryInstead(STATS_RUN_TIME), fails(1, errorLog15(STATS_RUN_TIME)));
    add("StatisticsInitialCopyIsDirectory", directoryInstead(STATS_INITIAL),
        fails(1, errorLog15(STATS_INITIAL)));
    return rows;
}

// ----- Values that make a run endless, a count meaningless or the random stream stop -----

std::string outsideRange(const std::string& item, const std::string& file, const std::string& range) {
    return "Error.  The value of item \"" + item + "\" in\ndata file " + quoted(file) +
           " must be a whole number from " + range + ".";
}

std::vector<Row> valueRangeRows() {
    std::vector<Row> rows;
    auto add = [&](const std::string& name, const std::string& file, const std::string& item,
                   const std::string& value, const std::string& range) {
        rows.push_back(
            Row{"Range_" + name, Command::Run, rewrite(file, setItem(item, value)),
                range.empty() ? Outcome{0, {COMPLETED}} : fails(255, outsideRange(item, file, range))});
    };
    add("NoYears", RUN_TIME, "NUM_YEARS", "0", "1 to 1000000");
    add("NegativeYears", RUN_TIME, "NUM_YEARS", "-100", "1 to 1000000");
    add("YearsBeyondLimit", RUN_TIME, "NUM_YEARS", "1000001", "1 to 1000000");
    add("NoIterations", RUN_TIME, "NUM_ITERS", "0", "1 to 1000000");
    add("NegativePrintInterval", RUN_TIME, "PRINT_INTERV", "-1", "0 to 2147483647");
    add("NegativeResultsInterval", RUN_TIME, "RESULTS_INTERV", "-1", "0 to 2147483647");
    add("NoPlots", INITIAL, "NUM_PLOTS", "0", "1 to 10000");
    add("PlotsBeyondLimit", INITIAL, "NUM_PLOTS", "2147483647", "1 to 10000");
    add("NegativeGraphInterval", INITIAL, "GRAPH_INTVL", "-1", "0 to 2147483647");
    const std::pair<const char*, const char*> seeds[] = {
        {"Zero", "0"},      {"Huge", "1e300"},         {"Fraction", "1.5"},
        {"Negative", "-7"}, {"Modulus", "2147483647"}, {"Tiny", "0.000001"}};
    for (const auto& [name, seed] : seeds)
        add(std::string("Seed") + name, INITIAL, "SEED_INIT", seed, "1 to 2147483646");
    add("LargestSeed", INITIAL, "SEED_INIT", "2147483646", "");
    add("SmallestSeed", INITIAL, "SEED_INIT", "1", "");

    auto species = [&](const std::string& name, int valueNumber, const std::string& value,
                       const std::string& field, const std::string& range) {
        rows.push_back(Row{"Range_Species_" + name, Command::Run,
                           replaceWith(SPECIES, speciesWithValue(1, valueNumber, value)),
                           fails(255, speciesOutside(1, "Test_maple", field, range))});
    };
    species("ShadeType", 3, "4", "SHADE_TYPE", "1 to 3");
    species("NitrogenType", 4, "0", "N_TYPE", "1 to 3");
    species("Saplings", 5, "100001", "MAX_SAPLINGS", "0 to 100000");
    species("NegativeSaplings", 5, "-1", "MAX_SAPLINGS", "0 to 100000");
    species("GrowthConstant", 7, "0", "G", "0.001 to 100000");
    species("Age", 11, "0.5", "AGEMAX", "1 to 100000");
    species("WiltFactor", 18, "-0.1", "WILT_FACTOR", "0 to 100000");
    species("RootExponent", 27, "11", "ROOT_B", "0 to 10");
    return rows;
}

// ----- Files a run or statistics command would write over its own inputs or each other -----

std::string sameFileMessage(const std::string& item, const std::string& name, const std::string& otherItem,
                            const std::string& otherName, const std::string& what, bool bothOutputs) {
    return "Error: " + item + " " + quoted(name) + " is the same file as " + otherItem + " " +
           quoted(otherName) + ".\n" + what +
           (bothOutputs ? " would write both into one file; give each a name of its own."
                        : " would overwrite it; give the file it writes a name of its own.");
}

std::vector<Row> collisionRows() {
    std::vector<Row> rows;
    auto add = [&](const std::string& name, Command command, std::function<void(const fs::path&)> damage,
                   Outcome expected, SmallDataSetOptions options = {}) {
        rows.push_back(
            Row{"SameFile_" + name, command, std::move(damage), std::move(expected), false, options});
    };
    add("ResultsOverSpecies", Command::Run, rewrite(RUN_TIME, setItem("RESULTS_FILE", SPECIES)),
        fails(1, sameFileMessage("RESULTS_FILE", SPECIES, "SPP_PARAM_FILE", SPECIES, "The run", false)));
    add("ResultsOverRunTimeControl", Command::Run, rewrite(RUN_TIME, setItem("RESULTS_FILE", RUN_TIME)),
        fails(1, sameFileMessage("RESULTS_FILE", RUN_TIME, "the run-time control file", RUN_TIME, "The run",
                                 false)));
    add("ResultsOverSpeciesByAnotherPath", Command::Run,
        rewrite(RUN_TIME, setItem("RESULTS_FILE", "Data\\..\\Data\\.\\species.txt")),
        fails(1, sameFileMessage("RESULTS_FILE", "Data\\..\\Data\\.\\species.txt", "SPP_PARAM_FILE", SPECIES,
                                 "The run", false)));
    add("ResultsOverStatisticsCopy", Command::Run, rewrite(RUN_TIME, setItem("RESULTS_FILE", STATS_INITIAL)),
        fails(1, sameFileMessage("the statistics copy", STATS_INITIAL, "RESULTS_FILE", STATS_INITIAL,
                                 "The run", true)));
    SmallDataSetOptions logging;
    logging.testDisturb = 1;
    logging.blowDown = 1;
    add("DisturbanceOverResults", Command::Run,
        rewrite(RUN_TIME, setItem("DISTURBANCE_RESULTS_FILE", RESULTS)),
        fails(1,
              sameFileMessage("DISTURBANCE_RESULTS_FILE", RESULTS, "RESULTS_FILE", RESULTS, "The run", true)),
        logging);
    // Without disturbances the disturbance files are not written, so their names do not matter.
    add("DisturbanceNamedLikeResultsButOff", Command::Run,
        rewrite(RUN_TIME, setItem("DISTURBANCE_RESULTS_FILE", RESULTS)), Outcome{0, {COMPLETED}});
    add("ReportOverResults", Command::Stats, rewrite(STATS_RUN_TIME, setItem("STATS_RESULTS_FILE", RESULTS)),
        fails(1, sameFileMessage("STATS_RESULTS_FILE", RESULTS, "RESULTS_FILE", RESULTS, "The statistics",
                                 false)));
    add("ReportOverSpecies", Command::Stats, rewrite(STATS_RUN_TIME, setItem("STATS_RESULTS_FILE", SPECIES)),
        fails(1, sameFileMessage("STATS_RESULTS_FILE", SPECIES, "SPP_PARAM_FILE", SPECIES, "The statistics",
                                 false)));
    return rows;
}

// ----- Huge inputs, as sparse files that take no disk -----

std::function<void(const fs::path&)> sparse(const std::string& file, std::uintmax_t size) {
    return [file, size](const fs::path& directory) {
        const fs::path path = directory / fs::path(toLocalPath(file));
        if (!fs::exists(path)) writeTextFile(path, "");
        fs::resize_file(path, size);
    };
}

std::string tooLarge(const std::string& file, int megabytes) {
    return "Error.  Data file " + quoted(file) + " is larger than " + std::to_string(megabytes) +
           " MB, more than any\ndata file of its kind holds.";
}

std::vector<Row> sizeRows() {
    constexpr std::uintmax_t GB = 1ull << 30;
    std::vector<Row> rows;
    auto add = [&](const std::string& name, Command command, std::function<void(const fs::path&)> damage,
                   Outcome expected) {
        rows.push_back(Row{"Huge_" + name, command, std::move(damage), std::move(expected)});
    };
    add("RunTimeControl", Command::Run, sparse(RUN_TIME, 2 * GB), fails(255, tooLarge(RUN_TIME, 1)));
    add("Species", Command::Run, sparse(SPECIES, 8 * GB), fails(255, tooLarge(SPECIES, 1)));
    add("Plot", Command::Run, sparse(PLOT, 8 * GB), fails(255, tooLarge(PLOT, 16)));
    add("Weather", Command::Run, sparse(WEATHER, 8 * GB), fails(1, tooLarge(WEATHER, 64)));
    add(
        "Picture", Command::Run,
        [](const fs::path& directory) {
            replaceWith(SPECIES, speciesWithValue(1, 28, "Data\\maple.bmp"))(directory);
            writeTextFile(directory / "Data/maple.bmp", "BM");
            fs::resize_file(directory / "Data/maple.bmp", 8 * GB);
        },
        Outcome{0,
                {"Could not read in small tree bitmap file \"Data\\maple.bmp\" for species Test_maple.",
                 COMPLETED}});
    add("Results", Command::Stats, sparse(RESULTS, 64 * GB),
        fails(3,
              "Error: statistics input file Data\\results.out is larger than 4 GB; no run of this program "
              "writes "
              "so much."));
    return rows;
}

std::vector<Row> allRows() {
    std::vector<Row> rows;
    for (auto part : {runTimeControlRows(), initialValuesRows(), statisticsCopyRows(), speciesRows(),
                      plotRows(), weatherRows(), colourRows(), resultsRows(), runOutputRows(),
                      valueRangeRows(), collisionRows(), sizeRows()}) {
        rows.insert(rows.end(), part.begin(), part.end());
    }
    return rows;
}

void restorePermissions(const fs::path& directory) {
    std::error_code ignored;
    fs::permissions(directory, fs::perms::all, ignored);
    for (auto it = fs::recursive_directory_iterator(directory, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
}

class BadInputCatalogue : public ::testing::TestWithParam<Row> {};

TEST_P(BadInputCatalogue, ShowsItsMessageAndEndsWithItsStatus) {
    const Row& row = GetParam();
    TempDirectory directory;
    writeSmallDataSet(directory.path(), row.options);
    if (row.command == Command::Stats) {
        const Outcome run = runCommand(Command::Run);
        ASSERT_EQ(run, (Outcome{0, {COMPLETED}}));
    }
    if (row.asOrdinaryUser) openToOrdinaryUser(directory.path());
    row.damage(directory.path());
    const Outcome outcome =
        row.asOrdinaryUser ? runCommandAsOrdinaryUser(row.command) : runCommand(row.command);
    restorePermissions(directory.path());
    EXPECT_EQ(outcome, row.expected);
}

INSTANTIATE_TEST_SUITE_P(EveryFileKind, BadInputCatalogue, ::testing::ValuesIn(allRows()),
                         [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
}  // namespace dravia::test
