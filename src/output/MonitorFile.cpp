#include "output/MonitorFile.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "model/Weather.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

constexpr std::size_t SHORT_MONITOR_NAME = 7;  // names this short get the climate and elevation appended

std::string elevationDigits(double elevation) {
    const double whole = std::trunc(elevation);
    if (whole >= INT_MIN && whole <= INT_MAX) return formatText("%d", static_cast<int>(whole));
    return formatText("%.0f", whole);
}

}  // namespace

std::string monitorText(const ModelState& model) {
    const Climate& c = model.climate;
    std::string out;
    appendFormat(out, "\n  YEAR  %3i \n\n", c.weatherYear);
    appendFormat(out, "ELEVATION   %9.2f  meters", model.site.ELEVATION);
    appendFormat(out, "ADJ_ROOT_DEPTH %7.2f  meters \n", c.ADJ_ROOT_DEPTH);
    appendFormat(out, "K           %9.2f  mm/day/degree C", SNOW_MELT_RATE);
    appendFormat(out, "WATER_TABLE    %7.2f  meters \n", c.WATER_TABLE);
    appendFormat(out, "SNOW_TEMP   %9.2f  degrees C", SNOW_TEMPERATURE);
    appendFormat(out, "W_FC           %7.2f  mm \n", c.W_FC);
    appendFormat(out, "DEGREE_DAYS %9.2f  degree-days", c.DEGREE_DAYS);
    appendFormat(out, "W_K            %7.2f  mm \n", c.W_K);
    appendFormat(out, "WILT          %7.2f  mm/month \n\n", c.WILT);

    out += "MONTH   TEMP     PREC   WATER_S";
    out += "SNOW_S   SNOW_M  SNOW_D_D     I        A \n\n";
    for (int m = 1; m <= MONTHS; ++m) {
        appendFormat(out, "%5i%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f\n", m, c.TEMP[m], c.PREC[m],
                     c.WATER_S[m], c.SNOW_S[m], c.SNOW_M[m], c.SNOW_D_D[m], c.I[m], c.A[m]);
    }
    appendFormat(out, "\n  TOTAL%16.2f%27.2f \n\n", c.sumPREC, c.sumSNOW_M);

    out += "MONTH DELTA_W    RAIN  UP_CAP_TR";
    out += "(E0)     EVAP    RUNOFF  RUNOFF_+   DW_+    WILT \n\n";
    for (int m = 1; m <= MONTHS; ++m) {
        appendFormat(out, "%5i%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f \n", m, c.DELTA_W[m], c.RAIN[m],
                     c.UP_CAP_TR[m], c.E0[m], c.EVAP[m], c.RUNOFF[m], c.RUNOFF_PLUS[m], c.DW_PLUS[m]);
    }
    out += "\n";
    appendFormat(out, "TOTAL%7.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f \n\n", c.sumDELTA_W, c.sumRAIN,
                 c.sumUP_CAP_TR, c.sumE0, c.sumEVAP, c.sumRUNOFF, c.sumRUNOFF_PLUS, c.sumDW_PLUS);

    out += "SN    SITE QUALITY  SQ WILT";
    out += "SQ WETNESS    SQ TEMP    SQ SOIL N \n\n";
    for (int sn = 1; sn <= model.NSPP; ++sn) {
        const Species& s = model.species[static_cast<size_t>(sn)];
        appendFormat(out, "%7i%12.3f%12.3f%12.3f%12.3f%12.3f\n", sn, s.SITE_QUALITY, s.SQ_WILT, s.SQ_WETNESS,
                     s.SQ_TEMP, s.SQ_SOIL_N);
    }
    // A page break between years, but not after the last year of the weather record.
    if (c.weatherYear != 0 && c.weatherYear != model.weather.recordYears) out += "\n\f";
    return out;
}

std::string monitorFileName(const RunParameters& params, const Site& site) {
    std::string name = params.MONITOR_FILE;
    if (name.size() <= SHORT_MONITOR_NAME) {
        name += params.CLIMATE_CHANGE != 0 ? "1." : "0.";
        name += elevationDigits(site.ELEVATION);
    }
    return name;
}

void writeMonitorFile(ModelState& model) {
    // The extended name is the one in force from now on: the statistics copies and the dialogs
    // show it, and once longer than seven characters it is used unchanged.
    model.params.MONITOR_FILE = monitorFileName(model.params, model.site);
    const std::string& name = model.params.MONITOR_FILE;
    FileHandle file = openFile(name, "a");
    if (!file) {
        hostOf(model).writeStandardOutput(formatText("*** file %s could not be opened ***\n", name.c_str()));
        throw ProgramExit{EXIT_ABNORMAL};
    }
    // Each computation's report reaches the file whole, or the run ends as for the results file.
    if (!appendWhole(file.get(), monitorText(model))) {
        const std::string reason = writeFailureReason();
        hostOf(model).showMessage(
            formatText("Error: monitor file %s could not be written (%s).", name.c_str(), reason.c_str()),
            MessageIcon::Error);
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
}

}  // namespace dravia
