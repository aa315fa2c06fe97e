#include "output/StatsReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "model/ErrorLog.h"
#include "output/SiteNames.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

// Calls visit for each line of the content (without its line break) and its number, counted
// from 1, until it returns false.
template <typename Visit>
void forEachLine(std::string_view content, Visit visit) {
    long long number = 0;
    while (!content.empty()) {
        const size_t end = content.find('\n');
        if (!visit(content.substr(0, end), ++number)) return;
        if (end == std::string_view::npos) return;
        content.remove_prefix(end + 1);
    }
}

// The values a results file's header holds; those it does not hold are the ones in force.
RunHeader resultsHeaderOf(const ModelState& model, std::string_view content) {
    RunHeader header = runHeaderOf(model);
    header.co2Switch = model.statistics.CO2_SWITCH_TEXT;
    forEachLine(content, [&header](std::string_view line, long long) {
        if (endsResultsHeader(line)) return false;
        readResultsHeaderLine(line, header);
        return true;
    });
    return header;
}

// The header values of a results file become the run values in force.
void takeResultsHeader(ModelState& model, const RunHeader& header) {
    RunParameters& params = model.params;
    std::string unused;
    params.NUM_ITERS = header.iterations;
    params.NUM_YEARS = header.years;
    params.RESULTS_INTERV = header.resultsInterval;
    model.site.ELEVATION = header.siteElevation;
    model.weather.stationElevation = header.baseElevation;
    model.site.TEXTURE = header.soilTexture;
    model.site.SOIL_DEPTH = header.soilDepth;
    model.site.WATER_DEPTH = header.waterDepth;
    model.site.AVAIL_N = header.availableNitrogen;
    selectedHabitatSlot(params, unused) = header.habitat;
    params.WTHR_FILE = header.weatherFile;
    selectedWeatherTypeSlot(params, unused) = header.weatherType;
    params.WTHR_CAL_YEARS = header.weatherCalendarYears;
    model.statistics.CO2_SWITCH_TEXT = header.co2Switch;
}

// The iterations and years a disturbance data file's header gives, if it has its counts line.
std::optional<DisturbanceCounts> disturbanceCountsOf(std::string_view content) {
    std::optional<DisturbanceCounts> counts;
    bool next = false;
    forEachLine(content, [&counts, &next](std::string_view line, long long) {
        if (next) {
            counts = parseDisturbanceCounts(line);
            return false;
        }
        next = isDisturbanceCountsHeading(line);
        return true;
    });
    return counts;
}

[[noreturn]] void endAbnormally(ModelState& model, ErrorMessage message) {
    reportError(model, message);
    throw ProgramExit{EXIT_ABNORMAL};
}

[[noreturn]] void refuseInput(ModelState& model, const std::string& message) {
    hostOf(model).showMessage(message, MessageIcon::Error);
    throw ProgramExit{EXIT_ABNORMAL};
}

void checkLimits(ModelState& model, const std::string& fileName) {
    const RunParameters& params = model.params;
    if (params.NUM_ITERS <= 1) endAbnormally(model, ErrorMessage::OneIteration);
    if (params.RESULTS_INTERV == 0) endAbnormally(model, ErrorMessage::NoResultsInterval);
    // Widened: the header values are whatever the file says, INT_MIN / -1 included.
    if (static_cast<long long>(params.NUM_YEARS) / params.RESULTS_INTERV > RESULT_INTERVAL_LIMIT)
        endAbnormally(model, ErrorMessage::TooManyIntervalsInFile);
    if (params.NUM_PLOTS < 1) {
        refuseInput(model,
                    formatText("Error: the statistics copy of the initial values gives %d plots for the "
                               "run of statistics input file %s; a run has at least 1 plot.",
                               params.NUM_PLOTS, fileName.c_str()));
    }
    if (params.NUM_YEARS < 1 || params.RESULTS_INTERV < 0) {
        refuseInput(model,
                    formatText("Error: statistics input file %s describes a run of %d years with results "
                               "every %d years; a run lasts at least 1 year and writes results at intervals "
                               "of at least 1 year.",
                               fileName.c_str(), params.NUM_YEARS, params.RESULTS_INTERV));
    }
}

// A run ends every line it writes: a last line that begins a record but has no line break is what
// a file cut short (a full disk, a copy stopped early) ends with.
void refuseCutFile(ModelState& model, std::string_view content, const std::string& fileName) {
    if (content.empty() || content.back() == '\n') return;
    const size_t start = content.rfind('\n') + 1;  // 0 for a file of one line
    const size_t first = content.find_first_not_of(" \t\r", start);
    if (first == std::string_view::npos) return;
    const char c = content[first];
    if (!std::isdigit(static_cast<unsigned char>(c)) && c != '-' && c != '+') return;
    const long long line = 1 + std::count(content.begin(), content.begin() + static_cast<long>(start), '\n');
    refuseInput(model,
                formatText("Error: statistics input file %s ends inside a record on line %lld; the file "
                           "was cut short.",
                           fileName.c_str(), line));
}

// A disturbance or after-disturbance file must come from the run whose results file was read.
void refuseOtherRun(ModelState& model, const std::string& fileName, int iterations, int years) {
    const RunParameters& params = model.params;
    if (iterations == params.NUM_ITERS && years == params.NUM_YEARS) return;
    refuseInput(model,
                formatText("Error: statistics input file %s describes a run of %d iterations of %d years, "
                           "but the results file one of %d iterations of %d years; they are not files of "
                           "the same run.",
                           fileName.c_str(), iterations, years, params.NUM_ITERS, params.NUM_YEARS));
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
StatsQuantities quantitiesOf(const SummaryRecord& record) {
    const Amounts& a = record.amounts;
    return {record.POP, a.BA, a.TOT_BIOM, a.STEM_BM, a.BARK_BM, a.ROOT_BM, a.LEAF_BM, a.BRANCH_BM, a.TOT_VOL};
}

// Takes the iteration being added up into the sums over the iterations, as the mean plot.
void takeIteration(IterationSums& sums, int plots, StatsQuantities& meanPlot) {
    for (size_t q = 0; q < STATS_QUANTITIES; ++q) {
        meanPlot[q] = sums.current[q] / plots;
        sums.sum[q] += meanPlot[q];
        sums.sumOfSquares[q] += meanPlot[q] * meanPlot[q];
        sums.current[q] = 0.0;
    }
    sums.currentIteration = 0;
}

void takeIteration(StatsCell& cell, int plots) {
    StatsQuantities meanPlot;
    takeIteration(cell, plots, meanPlot);
}

void takeIteration(StatsSlotTotals& totals, int plots) {
    StatsQuantities meanPlot;
    takeIteration(totals, plots, meanPlot);
    const double above = meanPlot[LEAF] + meanPlot[BARK] + meanPlot[BRANCH] + meanPlot[STEM];
    const double grand = above + meanPlot[ROOT];
    totals.aboveGround += above;
    totals.aboveGroundSquares += above * above;
    totals.grandTotal += grand;
    totals.grandTotalSquares += grand * grand;
}

// Adds a record's values to the iteration being added up, first taking an earlier iteration
// into the sums. Iterations never decrease within a file, so each is taken in once.
template <typename Sums>
void addToIteration(Sums& sums, int plots, int iteration, const StatsQuantities& values) {
    if (sums.currentIteration != iteration) {
        if (sums.currentIteration != 0) takeIteration(sums, plots);
        sums.currentIteration = iteration;
    }
    for (size_t q = 0; q < STATS_QUANTITIES; ++q) sums.current[q] += values[q];
}

// Takes the last iteration of every cell and slot into the sums.
void takeLastIterations(StatisticsState& statistics, int plots) {
    for (StatsCell& cell : statistics.table) {
        if (cell.currentIteration != 0) takeIteration(cell, plots);
    }
    for (StatsSlotTotals& totals : statistics.slotTotals) {
        if (totals.currentIteration != 0) takeIteration(totals, plots);
    }
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

    void check(const SummaryRecord& record, long long lineNumber) {
        const int iterations = model_.params.NUM_ITERS;
        if (record.iteration < 1 || record.iteration > iterations) {
            refuseInput(model_, formatText("Error: statistics input file %s holds a record of iteration %d, "
                                           "but the run had iterations 1 to %d.",
                                           fileName_.c_str(), record.iteration, iterations));
        }
        // A run writes its iterations one after the other, and so does a merge of runs; the
        // statistics take each iteration's records as they come, once.
        if (record.iteration < highestIteration_) {
            refuseInput(model_,
                        formatText("Error: statistics input file %s, line %lld: a record of iteration "
                                   "%d follows records of iteration %d; a run writes its "
                                   "iterations in increasing order.",
                                   fileName_.c_str(), lineNumber, record.iteration, highestIteration_));
        }
        const int plots = model_.params.NUM_PLOTS;
        if (record.plot < 1 || record.plot > plots) {
            refuseInput(model_, formatText("Error: statistics input file %s, line %lld: a record of plot %d, "
                                           "but the run had plots 1 to %d.",
                                           fileName_.c_str(), lineNumber, record.plot, plots));
        }
        for (const double value : quantitiesOf(record)) {
            if (!(std::fabs(value) <= LARGEST_RECORD_VALUE)) {
                refuseInput(model_,
                            formatText("Error: statistics input file %s holds the value %g in the record of "
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
            refuseInput(model_,
                        formatText("Error: statistics input file %s ends with iteration %d of the %d its "
                                   "header announces; the run did not complete.",
                                   fileName_.c_str(), highestIteration_, model_.params.NUM_ITERS));
        }
        if (!inWriterOrder_) refuseRepeatedRecord(content);
    }

  private:
    using Key = std::array<int, 4>;  // iteration, year, plot, species
    static Key keyOf(const SummaryRecord& record) {
        return {record.iteration, record.year, record.plot, record.species};
    }

    void refuseRepeatedRecord(std::string_view content) {
        std::vector<Key> keys;
        keys.reserve(count_);
        forEachLine(content, [&keys](std::string_view line, long long) {
            if (const std::optional<SummaryRecord> record = parseSummaryRecord(line))
                keys.push_back(keyOf(*record));
            return true;
        });
        std::sort(keys.begin(), keys.end());
        const auto repeated = std::adjacent_find(keys.begin(), keys.end());
        if (repeated == keys.end()) return;
        const Key& key = *repeated;
        refuseInput(model_,
                    formatText("Error: statistics input file %s holds the record of iteration %d, year %d, "
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

void readStatsInput(ModelState& model, StatsKind kind, FileHandle file, const std::string& fileName) {
    StatisticsState& statistics = model.statistics;
    // The whole table, so that no slot beyond this reading's slot count keeps an earlier reading's sums.
    for (StatsCell& cell : statistics.table) cell = StatsCell{};
    for (StatsSlotTotals& totals : statistics.slotTotals) totals = StatsSlotTotals{};

    // Results of 1,000 iterations of 1,000 years with every tree written stay below this; a file
    // larger than it is read in whole by no machine this program runs on.
    constexpr unsigned long long STATS_INPUT_LIMIT = 4ull << 30;
    if (file && largerThan(file.get(), STATS_INPUT_LIMIT)) {
        refuseInput(model,
                    formatText("Error: statistics input file %s is larger than %llu GB; no run of this "
                               "program writes so much.",
                               fileName.c_str(), STATS_INPUT_LIMIT >> 30));
    }
    const std::string content = file ? readWholeFile(file.get()) : std::string();
    file.reset();

    // The disturbance data file has a header of its own, holding the run values the general
    // reading has already taken: only its counts are checked against them, and the rest is
    // passed over like any other line that is not a record.
    if (kind == StatsKind::Disturbance) {
        if (const std::optional<DisturbanceCounts> counts = disturbanceCountsOf(content))
            refuseOtherRun(model, fileName, counts->iterations, counts->years);
    } else {
        const RunHeader header = resultsHeaderOf(model, content);
        if (kind == StatsKind::AfterDisturbance)
            refuseOtherRun(model, fileName, header.iterations, header.years);
        takeResultsHeader(model, header);
    }
    checkLimits(model, fileName);
    refuseCutFile(model, content, fileName);
    hostOf(model).writeStandardOutput(readingMessage(kind));

    const int plots = model.params.NUM_PLOTS;
    RecordChecks checks(model, kind, fileName);
    forEachLine(content, [&model, &statistics, &checks, kind, plots](std::string_view line,
                                                                     long long number) {
        const std::optional<SummaryRecord> record = parseSummaryRecord(line);
        if (!record) return true;
        checks.check(*record, number);
        if (record->species < 1 || record->species > MAX_SPECIES) return true;
        const std::optional<int> slot = statsSlotOfYear(model, kind, record->year);
        if (!slot) return true;
        // Records of all plots of an iteration add into the iteration's value in the cell.
        const StatsQuantities values = quantitiesOf(*record);
        StatsCell& cell = statistics.cell(record->species, *slot);
        cell.recordPopulation += values[POPULATION];
        cell.recordBasalArea += values[BASAL_AREA];
        addToIteration(cell, plots, record->iteration, values);
        addToIteration(statistics.slotTotals[static_cast<size_t>(*slot)], plots, record->iteration, values);
        if (kind != StatsKind::General && *slot > statistics.MAX_DISTURBANCE_SLOT) {
            statistics.MAX_DISTURBANCE_SLOT = *slot;
        }
        return true;
    });
    takeLastIterations(statistics, plots);
    checks.checkResultsFile(content);
}

}  // namespace dravia
