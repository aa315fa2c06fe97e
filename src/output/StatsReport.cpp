#include "output/StatsReport.h"

#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

#include "model/ErrorLog.h"
#include "output/SiteNames.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

// Two-sided 95 % values for 1 to 30 degrees of freedom, then for 40, 60, 120 and infinitely many.
constexpr std::array<double, 34> T_TABLE = {
    12.706, 4.304, 3.182, 2.776, 2.571, 2.447, 2.365, 2.306, 2.262, 2.228, 2.201, 2.179,
    2.16,   2.145, 2.131, 2.12,  2.11,  2.101, 2.093, 2.086, 2.08,  2.074, 2.069, 2.064,
    2.06,   2.056, 2.052, 2.048, 2.045, 2.042, 2.021, 2.0,   1.98,  1.96,
};

struct ReportKind {
    const char* title;
    const char* firstLine;
};

ReportKind reportKind(StatsKind kind) {
    switch (kind) {
        case StatsKind::General:
            return {"General statistics output file \"%s\".", "GENERAL STATISTICS OUTPUT FILE\n"};
        case StatsKind::Disturbance:
            return {"Disturbance statistics output file \"%s\".", "LOGGING STATISTICS OUTPUT FILE \n"};
        case StatsKind::AfterDisturbance:
            break;
    }
    return {"After disturbance statistics output file \"%s\".", "AFTER LOGGING STATISTICS OUTPUT FILE\n"};
}

const std::string& reportFileName(const RunParameters& params, StatsKind kind) {
    switch (kind) {
        case StatsKind::General:
            return params.STATS_RESULTS_FILE;
        case StatsKind::Disturbance:
            return params.DISTURBANCE_STATS_RESULTS_FILE;
        case StatsKind::AfterDisturbance:
            break;
    }
    return params.AFTER_DISTURB_STATS_RESULTS_FILE;
}

bool cellHasData(const StatsCell& cell, int iterations) {
    return cell.recordPopulation >= 1.0 && cell.recordBasalArea > 0.0 && iterations >= 2;
}

// The species that show data in any slot, in the order in which they first do.
std::vector<int> reportedSpecies(const ModelState& model, int slotCount) {
    std::vector<int> list;
    std::array<bool, MAX_SPECIES + 1> listed{};
    for (int slot = 1; slot <= slotCount; ++slot) {
        for (int sn = 1; sn <= MAX_SPECIES; ++sn) {
            if (!listed[sn] && cellHasData(model.statistics.cell(sn, slot), model.params.NUM_ITERS)) {
                listed[sn] = true;
                list.push_back(sn);
            }
        }
    }
    return list;
}

// The slot totals: sums over the species with data of their averages.
struct SlotTotals {
    std::array<double, STATS_QUANTITIES> total{};
};

void appendTabSeparatedHeading(const ModelState& model, std::string& out, size_t listLength) {
    out += "This output file is in tab separated Excel format.\n";
    writeStatsHeader(model, out, 0);
    out += "YEAR\t";
    for (size_t i = 0; i < listLength + 1; ++i)
        out += "SN\tTREE SPECIES\tPop\t95CI\tBA\t95CI\tBIOM\t95CI\tVOL\t95CI\t";
    out +=
        "STEM WOOD AVERAGE\t95CI\tSTEM BARK AVERAGE\t95CI\tSTEM BRANCH AVERAGE\t95CI\tLEAVES\t95CI\t"
        "ABOVE GROUND TOTAL\t95CI\tROOT\t95CI\tBIOMASS GRAND TOTAL\t95CI\n";
    out += "\t";
    for (size_t i = 0; i < listLength; ++i) {
        out += "\t(Common name)\tN/100 m sq.\t\tcm sq./m sq.\t\tkg/m sq.\t\tcu.ft./acre\t";
    }
    out += "\n";
}

void appendPlainPageHeading(const ModelState& model, std::string& out, int year) {
    writeStatsHeader(model, out, year);
    out += "SN TREE SPECIES      Pop    95CI    ";
    out += "BA      95CI   BIOM    95CI    VOL    95CI \n";
    out += "   (Common name)     N/100 m sq.    ";
    out += "cm sq./m sq.   kg/m sq.        cu.ft./acre \n\n";
}

void appendSpeciesLine(std::string& out, StatsLayout layout, int sn, const std::string& name,
                       const std::array<double, 8>& values) {
    const char* format = layout == StatsLayout::Plain
                             ? "%2d %-16s %5.1f %6.1f %7.1f %7.1f %6.1f %7.1f %7.1f %6.1f\n"
                             : "%2d\t%-16s\t%5.1f\t%6.1f\t%7.1f\t%7.1f\t%6.1f\t%7.1f\t%7.1f\t%6.1f\t";
    appendFormat(out, format, sn, name.c_str(), values[0], values[1], values[2], values[3], values[4],
                 values[5], values[6], values[7]);
}

// Adds one species' averages of the slot to the totals and writes its line.
void reportSpecies(const ModelState& model, std::string& out, StatsLayout layout, int sn,
                   const StatsCell& cell, double t, SlotTotals& totals) {
    const double n = static_cast<double>(model.params.NUM_ITERS);
    std::array<double, STATS_QUANTITIES> average{};
    for (size_t q = 0; q < STATS_QUANTITIES; ++q) {
        average[q] = cell.sum[q] * (1.0 / n);
        totals.total[q] += average[q];
    }

    auto interval = [&](StatsQuantity q) {
        return confidenceHalfWidth(t, cell.sum[q], cell.sumOfSquares[q], n);
    };
    appendSpeciesLine(out, layout, sn, model.species[sn].NAME,
                      {average[POPULATION], interval(POPULATION), average[BASAL_AREA], interval(BASAL_AREA),
                       average[TOTAL_BIOMASS], interval(TOTAL_BIOMASS), average[VOLUME], interval(VOLUME)});
}

// The totals are the sums of the species averages; their intervals come from the spread of the
// iterations' own stand totals of the slot, an iteration without records counting as a total of 0.
void appendSlotTotals(const ModelState& model, std::string& out, StatsLayout layout, const SlotTotals& totals,
                      const StatsSlotTotals& sums, double t) {
    const double n = static_cast<double>(model.params.NUM_ITERS);
    auto interval = [&](double sum, double squares) { return confidenceHalfWidth(t, sum, squares, n); };
    auto quantity = [&](StatsQuantity q) { return interval(sums.sum[q], sums.sumOfSquares[q]); };
    const std::array<double, STATS_QUANTITIES>& T = totals.total;
    const double aboveGround = T[STEM] + T[BARK] + T[BRANCH] + T[LEAF];
    const double grandTotal = T[STEM] + T[BARK] + T[BRANCH] + T[LEAF] + T[ROOT];
    const double biomassLines[7][2] = {
        {T[STEM], quantity(STEM)},
        {T[BARK], quantity(BARK)},
        {T[BRANCH], quantity(BRANCH)},
        {T[LEAF], quantity(LEAF)},
        {aboveGround, interval(sums.aboveGround, sums.aboveGroundSquares)},
        {T[ROOT], quantity(ROOT)},
        {grandTotal, interval(sums.grandTotal, sums.grandTotalSquares)},
    };
    if (layout == StatsLayout::Plain) {
        appendFormat(out, "\n    TOTAL           %5.1f %6.1f %7.1f %7.1f %6.1f %7.1f %7.1f %6.1f\n",
                     T[POPULATION], quantity(POPULATION), T[BASAL_AREA], quantity(BASAL_AREA),
                     T[TOTAL_BIOMASS], quantity(TOTAL_BIOMASS), T[VOLUME], quantity(VOLUME));
        out += "\n\n                             AVERAGE         95 PCT CI\n\n";
        static constexpr const char* labels[7] = {
            "  STEM WOOD                %8.1f        %8.1f\n",
            "  STEM BARK                %8.1f        %8.1f\n",
            "  STEM BRANCH              %8.1f        %8.1f\n",
            "  LEAVES                   %8.1f        %8.1f\n",
            "  ABOVE GROUND TOTAL       %8.1f        %8.1f\n",
            "  ROOT                     %8.1f        %8.1f\n",
            "  BIOMASS GRAND TOTAL      %8.1f        %8.1f\n\f",
        };
        for (int i = 0; i < 7; ++i) appendFormat(out, labels[i], biomassLines[i][0], biomassLines[i][1]);
    } else {
        appendFormat(out, "\tTOTAL\t%5.1f\t%6.1f\t%7.1f\t%7.1f\t%6.1f\t%7.1f\t%7.1f\t%6.1f\t", T[POPULATION],
                     quantity(POPULATION), T[BASAL_AREA], quantity(BASAL_AREA), T[TOTAL_BIOMASS],
                     quantity(TOTAL_BIOMASS), T[VOLUME], quantity(VOLUME));
        for (int i = 0; i < 6; ++i)
            appendFormat(out, "%8.1f\t%8.1f\t", biomassLines[i][0], biomassLines[i][1]);
        appendFormat(out, "%8.1f\t%8.1f\n", biomassLines[6][0], biomassLines[6][1]);
    }
}

}  // namespace

double studentT(int index) {
    if (index < 0) return T_TABLE[0];
    if (index < static_cast<int>(T_TABLE.size())) return T_TABLE[static_cast<size_t>(index)];
    return 1.96;
}

double confidenceHalfWidth(double t, double sum, double sumOfSquares, double n) {
    // The standard error of the mean from the sample variance (divisor n − 1).
    return t * std::sqrt(std::fabs((sumOfSquares - (sum * sum) / n) / (n - 1.0)) / n);
}

namespace {

// The parameter files are edited by hand: products of their values may leave the range of int.
int clampedToInt(long long value) {
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

}  // namespace

int generalSlotCount(const RunParameters& params) {
    if (params.RESULTS_INTERV == 0) return 0;
    if (params.RESULTS_INTERV == 1) return params.NUM_YEARS;
    return clampedToInt(static_cast<long long>(params.NUM_YEARS) / params.RESULTS_INTERV + 1);
}

int reportYearOfSlot(const RunParameters& params, StatsKind kind, int slot) {
    if (kind == StatsKind::General) {
        if (params.RESULTS_INTERV == 1 || slot == 1) return slot;
        return clampedToInt(static_cast<long long>(slot - 1) * params.RESULTS_INTERV);
    }
    return clampedToInt(params.FIRST_DISTURB_YEAR + static_cast<long long>(slot - 1) * params.BLOW_FREQ);
}

std::string modelOptionsReportLine(const ModelOptions& options) {
    if (!anyModelOptionOn(options)) return {};
    return "MODEL OPTIONS: " + modelOptionSummary(options) + "\n";
}

void writeStatsHeader(const ModelState& model, std::string& out, int year) {
    const RunParameters& params = model.params;
    const Site& site = model.site;
    appendFormat(out, "%s USING THE %s WEATHER RECORD \n", selectedWeatherType(params).c_str(),
                 params.WTHR_CAL_YEARS.c_str());
    appendFormat(out, "FOR %s \n", selectedHabitat(params).c_str());
    appendFormat(out, "CO2 FERTILIZATION SWITCH = %s \n\n\n", model.statistics.CO2_SWITCH_TEXT.c_str());
    appendFormat(out, "YEAR: %5d     INTERVAL: %d         REPLICATES: %5d\n", year, params.RESULTS_INTERV,
                 params.NUM_ITERS);
    appendFormat(out, "SITE ELEVATION: %5.1f m              ", site.ELEVATION);
    appendFormat(out, "WEATHER STATION ELEVATION: %5.1f m \n", model.weather.stationElevation);
    appendFormat(out, "SOIL MOISTURE CAPACITY: %5.1f mm/m   ", site.TEXTURE);
    appendFormat(out, "SOIL DEPTH: %5.1f m \n", site.SOIL_DEPTH);
    appendFormat(out, "WATER TABLE DEPTH: %5.1f m           ", site.WATER_DEPTH);
    appendFormat(out, "SOIL NITROGEN: %5.1f\n\n", site.AVAIL_N);
}

std::string statsReportText(ModelState& model, StatsKind kind, StatsLayout layout) {
    StatisticsState& statistics = model.statistics;
    const RunParameters& params = model.params;
    std::string out = reportKind(kind).firstLine;
    out += modelOptionsReportLine(model.options);

    int slotCount = 0;
    if (kind == StatsKind::General) {
        statistics.STATS_SLOT_COUNT = generalSlotCount(params);
        slotCount = statistics.STATS_SLOT_COUNT;
    } else {
        slotCount = statistics.MAX_DISTURBANCE_SLOT;
    }
    // Slots beyond the table hold nothing and are not reported.
    if (slotCount > STATS_SLOTS - 1) slotCount = STATS_SLOTS - 1;

    const std::vector<int> speciesList = reportedSpecies(model, slotCount);
    if (layout == StatsLayout::TabSeparated) appendTabSeparatedHeading(model, out, speciesList.size());

    for (int slot = 1; slot <= slotCount; ++slot) {
        const int year = reportYearOfSlot(params, kind, slot);
        if (layout == StatsLayout::Plain) {
            appendPlainPageHeading(model, out, year);
        } else {
            appendFormat(out, "%4d\t", year);
        }
        const double t = studentT(params.NUM_ITERS - 2);
        SlotTotals totals;
        for (int sn : speciesList) {
            const StatsCell& cell = statistics.cell(sn, slot);
            if (cellHasData(cell, params.NUM_ITERS)) {
                reportSpecies(model, out, layout, sn, cell, t, totals);
            } else if (layout == StatsLayout::TabSeparated) {
                // Keeps the species' columns aligned in every row.
                appendSpeciesLine(out, layout, sn, model.species[sn].NAME, {});
            }
        }
        appendSlotTotals(model, out, layout, totals, statistics.slotTotals[static_cast<size_t>(slot)], t);
    }
    return out;
}

std::string statsDisplayText(const std::string& report) {
    std::string text;
    text.reserve(report.size() + report.size() / 16);
    for (const char c : report) {
        if (c == '\n') {
            text += "\r\n";
        } else if (c == '\f') {
            text += "\r\n---------------------------------\r\n\r\n";
        } else {
            text += c;
        }
    }
    return text;
}

void writeStatsReport(ModelState& model, StatsKind kind, StatsLayout layout) {
    const std::string& name = reportFileName(model.params, kind);
    const std::string title = formatText(reportKind(kind).title, name.c_str());
    // Written beside the old report and renamed over it: a failure leaves the old one whole.
    const std::string report = statsReportText(model, kind, layout);
    if (!writeFileAtomically(name, report)) {
        reportError(model, ErrorMessage::CannotCreateFile, name.c_str());
        throw ProgramExit{EXIT_ABNORMAL};
    }
    hostOf(model).showStatResults(title, statsDisplayText(report));
}

}  // namespace dravia
