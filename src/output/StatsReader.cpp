#include "output/StatsReader.h"

#include <cstdio>
#include <string>

#include "model/ErrorLog.h"
#include "output/SiteNames.h"
#include "platform/Host.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

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

// The header values of a results file become the run values in force; those it does not hold
// are left as they are.
void readResultsHeader(ModelState& model, std::string_view content) {
    RunParameters& params = model.params;
    std::string unused;
    RunHeader header = runHeaderOf(model);
    header.co2Switch = model.statistics.CO2_SWITCH_TEXT;
    forEachLine(content, [&header](std::string_view line) {
        if (endsResultsHeader(line)) return false;
        readResultsHeaderLine(line, header);
        return true;
    });
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

[[noreturn]] void endAbnormally(ModelState& model, ErrorMessage message) {
    reportError(model, message);
    throw ProgramExit{EXIT_ABNORMAL};
}

void checkLimits(ModelState& model) {
    const RunParameters& params = model.params;
    if (params.NUM_ITERS <= 1) endAbnormally(model, ErrorMessage::OneIteration);
    if (params.RESULTS_INTERV == 0) endAbnormally(model, ErrorMessage::NoResultsInterval);
    // Widened: the header values are whatever the file says, INT_MIN / -1 included.
    if (static_cast<long long>(params.NUM_YEARS) / params.RESULTS_INTERV > RESULT_INTERVAL_LIMIT)
        endAbnormally(model, ErrorMessage::TooManyIntervalsInFile);
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

void addToCell(StatsCell& cell, const SummaryRecord& record) {
    const RecordAmounts& a = record.amounts;
    const double values[STATS_QUANTITIES] = {record.POP, a.BA,      a.TOT_BIOM,  a.STEM_BM, a.BARK_BM,
                                             a.ROOT_BM,  a.LEAF_BM, a.BRANCH_BM, a.TOT_VOL};
    for (int i = 0; i < STATS_QUANTITIES; ++i) {
        cell.sum[static_cast<size_t>(i)] += values[i];
        cell.sumOfSquares[static_cast<size_t>(i)] += values[i] * values[i];
    }
}

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

void readStatsInput(ModelState& model, StatsKind kind, FileHandle file) {
    StatisticsState& statistics = model.statistics;
    // The whole table, so that no slot beyond this reading's slot count keeps an earlier reading's sums.
    for (StatsCell& cell : statistics.table) cell = StatsCell{};

    const std::string content = file ? readWholeFile(file.get()) : std::string();
    file.reset();

    // The disturbance data file has a header of its own, holding the run values the general
    // reading has already taken; it is passed over like any other line that is not a record.
    if (kind != StatsKind::Disturbance) readResultsHeader(model, content);
    checkLimits(model);
    hostOf(model).writeStandardOutput(readingMessage(kind));

    forEachLine(content, [&model, &statistics, kind](std::string_view line) {
        const std::optional<SummaryRecord> record = parseSummaryRecord(line);
        if (!record) return true;
        if (record->species < 1 || record->species > MAX_SPECIES) return true;
        const std::optional<int> slot = statsSlotOfYear(model, kind, record->year);
        if (!slot) return true;
        // Records of all plots of an iteration add into the same cell.
        addToCell(statistics.cell(record->species, *slot), *record);
        if (kind != StatsKind::General && *slot > statistics.MAX_DISTURBANCE_SLOT) {
            statistics.MAX_DISTURBANCE_SLOT = *slot;
        }
        return true;
    });
}

}  // namespace dravia
