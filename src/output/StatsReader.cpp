#include "output/StatsReader.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include "model/ErrorLog.h"
#include "output/SiteNames.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

constexpr int RECORD_FIELDS = 13;
constexpr int STATS_INTERVAL_LIMIT = 500;
constexpr std::string_view BLANKS = " \t\r\n\f\v";

std::string readWholeFile(std::FILE* file) {
    std::string content;
    // One allocation for a regular file of known size; the loop still reads to the true end.
    struct stat status {};
    if (fstat(fileno(file), &status) == 0 && status.st_size > 0) content.reserve(static_cast<size_t>(status.st_size));
    char buffer[1 << 16];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, count);
    return content;
}

// Calls visit for each line of the content (without its line break) until it returns false.
template <typename Visit>
void forEachLine(std::string_view content, Visit visit) {
    while (!content.empty()) {
        const size_t end = content.find('\n');
        if (!visit(content.substr(0, end))) return;
        if (end == std::string_view::npos) return;
        content.remove_prefix(end + 1);
    }
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(BLANKS);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(BLANKS);
    return text.substr(first, last - first + 1);
}

bool parseWholeInGeneral(std::string_view token, int& value);

bool parseWhole(std::string_view token, int& value) {
    // The plain digits of a record convert directly; anything else (a sign, an overflow) takes
    // the general conversion below, which decides as it always has.
    int direct = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), direct);
    if (error == std::errc() && end == token.data() + token.size()) {
        value = direct;
        return true;
    }
    return parseWholeInGeneral(token, value);
}

bool parseWholeInGeneral(std::string_view token, int& value) {
    const std::string text(token);
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseRealInGeneral(std::string_view token, double& value);

bool parseReal(std::string_view token, double& value) {
    // A decimal number converts directly, rounded exactly as the general conversion rounds it;
    // anything else (a sign, hexadecimal, infinities, out of range) takes the general way.
    double direct = 0.0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), direct);
    if (error == std::errc() && end == token.data() + token.size() && std::isfinite(direct)) {
        value = direct;
        return true;
    }
    return parseRealInGeneral(token, value);
}

bool parseRealInGeneral(std::string_view token, double& value) {
    const std::string text(token);
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

// The leading number of a text (blanks first), as the header prints it behind its label.
bool leadingWhole(std::string_view text, int& value) {
    text = trimmed(text);
    const size_t end = text.find_first_of(BLANKS);
    return parseWhole(text.substr(0, end), value);
}

bool leadingReal(std::string_view text, double& value) {
    text = trimmed(text);
    const size_t end = text.find_first_of(BLANKS);
    return parseReal(text.substr(0, end), value);
}

// The header of a results file prints each run value behind its label; names may hold blanks,
// so a text value is everything behind its label up to the end of its line.
class ResultsHeaderReader {
  public:
    explicit ResultsHeaderReader(ModelState& model) : model_(model) {}

    void readLine(std::string_view line) {
        const std::string_view text = trimmed(line);
        RunParameters& params = model_.params;
        Site& site = model_.site;
        readLeadingWhole(text, "Iterations:", params.NUM_ITERS);
        readLeadingWhole(text, "Years:", params.NUM_YEARS);
        readLeadingWhole(text, "Print Interval:", params.RESULTS_INTERV);
        readLeadingReal(text, "Site Elevation:", site.ELEVATION);
        readLeadingReal(text, "Base Elevation:", model_.weather.stationElevation);
        readLeadingReal(text, "Soil Texture:", site.TEXTURE);
        readLeadingReal(text, "Soil Depth:", site.SOIL_DEPTH);
        readLeadingReal(text, "Water Depth:", site.WATER_DEPTH);
        readLeadingReal(text, "Avail. Nitrogen:", site.AVAIL_N);
        std::string unused;
        readTrailingText(text, "Habitat:", selectedHabitatSlot(params, unused));
        readTrailingText(text, "Weather File:", params.WTHR_FILE);
        readTrailingText(text, "Weather Type:", selectedWeatherTypeSlot(params, unused));
        readTrailingText(text, "Weather Cal. Years:", params.WTHR_CAL_YEARS);
        readTrailingText(text, "CO2 Fertilization:", model_.statistics.CO2_SWITCH_TEXT);
    }

  private:
    static void readLeadingWhole(std::string_view text, std::string_view label, int& target) {
        if (text.substr(0, label.size()) != label) return;
        leadingWhole(text.substr(label.size()), target);
    }
    static void readLeadingReal(std::string_view text, std::string_view label, double& target) {
        if (text.substr(0, label.size()) != label) return;
        leadingReal(text.substr(label.size()), target);
    }
    static void readTrailingText(std::string_view text, std::string_view label, std::string& target) {
        const size_t position = text.find(label);
        if (position == std::string_view::npos) return;
        target = std::string(trimmed(text.substr(position + label.size())));
    }

    ModelState& model_;
};

bool endsResultsHeader(std::string_view line) {
    return trimmed(line).substr(0, 5) == "ITER-" || parseStatsRecord(line).has_value();
}

[[noreturn]] void endAbnormally(ModelState& model, int code) {
    reportError(model, code);
    throw ProgramExit{EXIT_ABNORMAL};
}

void checkLimits(ModelState& model, const std::string& fileName) {
    const RunParameters& params = model.params;
    if (params.NUM_ITERS <= 1) endAbnormally(model, 13);
    if (params.RESULTS_INTERV == 0) endAbnormally(model, 16);
    // Widened: the header values are whatever the file says, INT_MIN / -1 included.
    if (static_cast<long long>(params.NUM_YEARS) / params.RESULTS_INTERV > STATS_INTERVAL_LIMIT)
        endAbnormally(model, 14);
    if (params.NUM_YEARS < 1 || params.RESULTS_INTERV < 0) {
        hostOf(model).showMessage(
            formatText("Error: statistics input file %s describes a run of %d years with results every %d years; "
                       "a run lasts at least 1 year and writes results at intervals of at least 1 year.",
                       fileName.c_str(), params.NUM_YEARS, params.RESULTS_INTERV),
            MessageIcon::Error);
        throw ProgramExit{EXIT_ABNORMAL};
    }
}

const char* readingMessage(StatsKind kind) {
    switch (kind) {
        case StatsKind::General:
            return "Reading general statistics input file data ... please wait!";
        case StatsKind::Disturbance:
            return "Reading logging statistics input file data ... please wait!";
        case StatsKind::AfterDisturbance:
            break;
    }
    return "Reading after logging statistics input file data ... please wait!";
}

// The nine quantities of a record in the order of the table's pairs.
StatsQuantities quantitiesOf(const StatsRecord& record) {
    return {record.POP,     record.BA,      record.TOT_BIOM,  record.STEM_BM, record.BARK_BM,
            record.ROOT_BM, record.LEAF_BM, record.BRANCH_BM, record.TOT_VOL};
}

void addToCell(StatsCell& cell, const StatsQuantities& values) {
    for (size_t i = 0; i < STATS_QUANTITIES; ++i) {
        cell.sum[i] += values[i];
        cell.sumOfSquares[i] += values[i] * values[i];
    }
}

// Adds each record into the totals of its iteration and slot. Records of one iteration and year
// stand together in a file, so the totals of the last record are kept at hand.
class IterationTotalsAdder {
  public:
    IterationTotalsAdder(ModelState& model, const std::string& fileName)
        : model_(model), totals_(model.statistics.iterationTotals), fileName_(fileName) {}

    void add(int slot, int iteration, const StatsQuantities& values) {
        const std::uint64_t key = statsIterationKey(slot, iteration);
        if (current_ == nullptr || key != currentKey_) {
            if (totals_.size() >= STATS_ITERATION_TOTALS_LIMIT && totals_.find(key) == totals_.end()) refuse();
            current_ = &totals_[key];
            currentKey_ = key;
        }
        for (size_t i = 0; i < STATS_QUANTITIES; ++i) (*current_)[i] += values[i];
    }

  private:
    [[noreturn]] void refuse() {
        hostOf(model_).showMessage(
            formatText("Error: statistics input file %s holds records of more than %zu iterations and "
                       "time slots; it is too large to analyse.",
                       fileName_.c_str(), STATS_ITERATION_TOTALS_LIMIT),
            MessageIcon::Error);
        throw ProgramExit{EXIT_ABNORMAL};
    }

    ModelState& model_;
    std::unordered_map<std::uint64_t, StatsQuantities>& totals_;
    const std::string& fileName_;
    StatsQuantities* current_ = nullptr;
    std::uint64_t currentKey_ = 0;
};

}  // namespace

std::optional<StatsRecord> parseStatsRecord(std::string_view line) {
    std::string_view tokens[RECORD_FIELDS];
    int count = 0;
    const size_t length = line.size();
    size_t i = 0;
    while (true) {
        while (i < length && isBlank(line[i])) ++i;
        if (i == length) break;
        const size_t start = i;
        while (i < length && !isBlank(line[i])) ++i;
        if (count == RECORD_FIELDS) return std::nullopt;
        tokens[count++] = line.substr(start, i - start);
    }
    if (count != RECORD_FIELDS) return std::nullopt;
    StatsRecord record;
    if (!parseWhole(tokens[0], record.iteration) || !parseWhole(tokens[1], record.year) ||
        !parseWhole(tokens[2], record.plot) || !parseWhole(tokens[3], record.species)) {
        return std::nullopt;
    }
    double* reals[] = {&record.POP,     &record.BA,      &record.STEM_BM,  &record.BARK_BM, &record.BRANCH_BM,
                       &record.ROOT_BM, &record.LEAF_BM, &record.TOT_BIOM, &record.TOT_VOL};
    for (int i = 0; i < 9; ++i) {
        if (!parseReal(tokens[4 + i], *reals[i])) return std::nullopt;
    }
    return record;
}

std::optional<int> statsSlotOfYear(const ModelState& model, StatsKind kind, int year) {
    const RunParameters& params = model.params;
    long long slot = 0;  // widened: years and timings come from hand-edited files
    if (kind == StatsKind::General) {
        const int interval = params.RESULTS_INTERV;
        if (interval == 0) return std::nullopt;
        if (interval == 1) {
            slot = year;  // every year has its own slot
        } else {
            slot = year == 1 ? 1 : static_cast<long long>(year) / interval + 1;
        }
    } else {
        if (params.BLOW_FREQ < 1) return std::nullopt;
        slot = (static_cast<long long>(year) - params.FIRST_DISTURB_YEAR) / params.BLOW_FREQ + 1;
    }
    if (slot < 1 || slot >= STATS_SLOTS) return std::nullopt;
    return static_cast<int>(slot);
}

std::uint64_t statsIterationKey(int slot, int iteration) {
    // The sign bit flipped, iteration numbers order as unsigned values in the order of the ints.
    const std::uint32_t orderedIteration = static_cast<std::uint32_t>(iteration) ^ 0x80000000u;
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(slot)) << 32) | orderedIteration;
}

int slotOfStatsIterationKey(std::uint64_t key) { return static_cast<int>(key >> 32); }

namespace {

[[noreturn]] void refuseInput(ModelState& model, const std::string& message) {
    hostOf(model).showMessage(message, MessageIcon::Error);
    throw ProgramExit{EXIT_ABNORMAL};
}

// No stand holds a billion of anything per 100 m²; larger values are not results of a run, and
// their squares would leave the range of the sums.
constexpr double LARGEST_RECORD_VALUE = 1e12;

// What the records of a file must be to stand for the run its header describes: every record of
// one of its iterations, each (iteration, year, plot, species) once in a results file, the last
// iteration present, and at least one record.
class RecordChecks {
  public:
    RecordChecks(ModelState& model, StatsKind kind, const std::string& fileName)
        : model_(model), kind_(kind), fileName_(fileName) {}

    void check(const StatsRecord& record) {
        const int iterations = model_.params.NUM_ITERS;
        if (record.iteration < 1 || record.iteration > iterations) {
            refuseInput(model_, formatText("Error: statistics input file %s holds a record of iteration %d, "
                                           "but the run had iterations 1 to %d.",
                                           fileName_.c_str(), record.iteration, iterations));
        }
        for (const double value : quantitiesOf(record)) {
            if (!(std::fabs(value) <= LARGEST_RECORD_VALUE)) {
                refuseInput(model_, formatText("Error: statistics input file %s holds the value %g in the record of "
                                               "iteration %d, year %d, plot %d, species %d; no stand holds so much.",
                                               fileName_.c_str(), value, record.iteration, record.year, record.plot,
                                               record.species));
            }
        }
        ++count_;
        if (record.iteration > highestIteration_) highestIteration_ = record.iteration;
        const Key key = keyOf(record);
        // The writers put records in this order; only a file that leaves it can repeat one.
        if (count_ > 1 && !(last_ < key)) inWriterOrder_ = false;
        last_ = key;
    }

    // The checks of the whole file, for a results file.
    void checkResultsFile(std::string_view content) {
        if (kind_ != StatsKind::General) return;
        if (count_ == 0) {
            refuseInput(model_, formatText("Error: statistics input file %s holds no species records.",
                                           fileName_.c_str()));
        }
        if (highestIteration_ < model_.params.NUM_ITERS) {
            refuseInput(model_, formatText("Error: statistics input file %s ends with iteration %d of the %d its "
                                           "header announces; the run did not complete.",
                                           fileName_.c_str(), highestIteration_, model_.params.NUM_ITERS));
        }
        if (!inWriterOrder_) refuseRepeatedRecord(content);
    }

  private:
    using Key = std::array<int, 4>;  // iteration, year, plot, species
    static Key keyOf(const StatsRecord& record) {
        return {record.iteration, record.year, record.plot, record.species};
    }

    void refuseRepeatedRecord(std::string_view content) {
        std::vector<Key> keys;
        keys.reserve(count_);
        forEachLine(content, [&keys](std::string_view line) {
            if (const std::optional<StatsRecord> record = parseStatsRecord(line)) keys.push_back(keyOf(*record));
            return true;
        });
        std::sort(keys.begin(), keys.end());
        const auto repeated = std::adjacent_find(keys.begin(), keys.end());
        if (repeated == keys.end()) return;
        const Key& key = *repeated;
        refuseInput(model_, formatText("Error: statistics input file %s holds the record of iteration %d, year %d, "
                                       "plot %d, species %d more than once.",
                                       fileName_.c_str(), key[0], key[1], key[2], key[3]));
    }

    ModelState& model_;
    StatsKind kind_;
    const std::string& fileName_;
    std::size_t count_ = 0;
    int highestIteration_ = 0;
    Key last_{};
    bool inWriterOrder_ = true;
};

}  // namespace

void readStatsInput(ModelState& model, StatsKind kind, FileHandle file, const std::string& fileName) {
    StatisticsState& statistics = model.statistics;
    // The whole table, so that no slot beyond this reading's slot count keeps an earlier reading's sums.
    for (StatsCell& cell : statistics.table) cell = StatsCell{};
    statistics.iterationTotals.clear();

    // Results of 1,000 iterations of 1,000 years with every tree written stay below this; a file
    // larger than it is read in whole by no machine this program runs on.
    constexpr unsigned long long STATS_INPUT_LIMIT = 4ull << 30;
    if (file && largerThan(file.get(), STATS_INPUT_LIMIT)) {
        refuseInput(model, formatText("Error: statistics input file %s is larger than %llu GB; no run of this "
                                      "program writes so much.",
                                      fileName.c_str(), STATS_INPUT_LIMIT >> 30));
    }
    const std::string content = file ? readWholeFile(file.get()) : std::string();
    file.reset();

    // The disturbance data file has a header of its own, holding the run values the general
    // reading has already taken; it is passed over like any other line that is not a record.
    if (kind != StatsKind::Disturbance) {
        ResultsHeaderReader header(model);
        forEachLine(content, [&header](std::string_view line) {
            if (endsResultsHeader(line)) return false;
            header.readLine(line);
            return true;
        });
    }
    checkLimits(model, fileName);
    hostOf(model).writeStandardOutput(readingMessage(kind));

    IterationTotalsAdder iterationTotals(model, fileName);
    RecordChecks checks(model, kind, fileName);
    forEachLine(content, [&model, &statistics, &iterationTotals, &checks, kind](std::string_view line) {
        const std::optional<StatsRecord> record = parseStatsRecord(line);
        if (!record) return true;
        checks.check(*record);
        if (record->species < 1 || record->species > MAX_SPECIES) return true;
        const std::optional<int> slot = statsSlotOfYear(model, kind, record->year);
        if (!slot) return true;
        // Records of all plots of an iteration add into the same cell.
        const StatsQuantities values = quantitiesOf(*record);
        addToCell(statistics.cell(record->species, *slot), values);
        iterationTotals.add(*slot, record->iteration, values);
        if (kind != StatsKind::General && *slot > statistics.MAX_DISTURBANCE_SLOT) {
            statistics.MAX_DISTURBANCE_SLOT = *slot;
        }
        return true;
    });
    checks.checkResultsFile(content);
}

}  // namespace dravia
