#include "model/SiteQuality.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include "model/Weather.h"
#include "platform/Format.h"
#include "platform/Host.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

constexpr double SNOW_MELT_RATE = 2.7;      // mm per melt degree-day, as the balance uses it
constexpr double SNOW_TEMPERATURE = -3.4;   // °C
constexpr std::size_t SHORT_MONITOR_NAME = 7;  // names this short get the climate and elevation appended

// 1 in the middle of the species' degree-day range, 0 at and beyond its limits.
double temperatureFactor(double degreeDays, const Species& s) {
    const double range = s.DDMAX - s.DDMIN;
    // A range of no width has no middle: the species finds no suitable temperature.
    if (range == 0.0) return 0.0;
    const double x = (2.0 * degreeDays - s.DDMAX - s.DDMIN) / range;
    return std::max(0.0, 1.0 - (x * x));
}

double droughtFactor(double wilt, const Species& s) {
    // A species with no drought tolerance thrives only in a year without water deficit.
    if (s.WILT_FACTOR == 0.0) return wilt == 0.0 ? 1.0 : 0.0;
    const double x = wilt / s.WILT_FACTOR;
    return std::max(0.0, 1.0 - (x * x));
}

double wetnessFactor(const Site& site, const Species& s) {
    if (site.WATER_DEPTH > site.SOIL_DEPTH) return 1.0;
    // Water standing at the surface: only a species that asks for no dry rooting depth grows.
    if (site.WATER_DEPTH == 0.0) return s.MIN_WATER_TABLE > 0.0 ? 0.0 : 1.0;
    return std::max(0.0, 1.0 - s.MIN_WATER_TABLE / (2.0 * site.WATER_DEPTH));
}

// The nitrogen response of the three tolerance types (index 1..3) to the site's nitrogen.
// They depend on the site alone, so they are worked out once for all species.
std::array<double, 4> nitrogenResponses(double availableNitrogen) {
    const double n = 4.0 * availableNitrogen - 170.0;
    std::array<double, 4> response{};
    response[1] = ((1.0 - std::pow(10.0, -0.00175 * (n + 207.43))) * 2.99 * 2.9 - 5.0) * 0.27240533914464726;
    response[2] = ((1.0 - std::pow(10.0, -0.00234 * (n + 117.52))) * 2.94 * 1.3 - 1.2) * 0.38138825324180015;
    response[3] = ((1.0 - std::pow(10.0, -0.00179 * (n + 219.77))) * 2.79 - 0.6) * 0.4566210045662101;
    return response;
}

// The nitrogen factor of a species; an unknown tolerance type keeps last year's factor.
double nitrogenFactor(const std::array<double, 4>& responses, const Species& s) {
    const double factor = s.N_TYPE >= 1 && s.N_TYPE <= 3 ? responses[static_cast<size_t>(s.N_TYPE)] : s.SQ_SOIL_N;
    return factor < 0.0 ? 0.0 : factor;
}

std::string elevationDigits(double elevation) {
    const double whole = std::trunc(elevation);
    if (whole >= INT_MIN && whole <= INT_MAX) return formatText("%d", static_cast<int>(whole));
    return formatText("%.0f", whole);
}

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
        appendFormat(out, "%5i%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f\n", m, c.TEMP[m], c.PREC[m], c.WATER_S[m],
                     c.SNOW_S[m], c.SNOW_M[m], c.SNOW_D_D[m], c.I[m], c.A[m]);
    }
    appendFormat(out, "\n  TOTAL%16.2f%27.2f \n\n", c.sumPREC, c.sumSNOW_M);

    out += "MONTH DELTA_W    RAIN  UP_CAP_TR";
    out += "(E0)     EVAP    RUNOFF  RUNOFF_+   DW_+    WILT \n\n";
    for (int m = 1; m <= MONTHS; ++m) {
        appendFormat(out, "%5i%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f \n", m, c.DELTA_W[m], c.RAIN[m],
                     c.UP_CAP_TR[m], c.E0[m], c.EVAP[m], c.RUNOFF[m], c.RUNOFF_PLUS[m], c.DW_PLUS[m]);
    }
    out += "\n";
    appendFormat(out, "TOTAL%7.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f \n\n", c.sumDELTA_W, c.sumRAIN, c.sumUP_CAP_TR,
                 c.sumE0, c.sumEVAP, c.sumRUNOFF, c.sumRUNOFF_PLUS, c.sumDW_PLUS);

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

void writeMonitorFile(ModelState& model) {
    std::string& name = model.params.MONITOR_FILE;
    name = monitorFileName(model);
    FileHandle file = openFile(name, "a");
    if (!file) {
        hostOf(model).writeStandardOutput(formatText("*** file %s could not be opened ***\n", name.c_str()));
        throw ProgramExit{EXIT_ABNORMAL};
    }
    // Each computation's report reaches the file whole, or the run ends as for the results file.
    if (!appendWhole(file.get(), monitorText(model))) {
        hostOf(model).showMessage(
            formatText("Error: monitor file %s could not be written (the disk may be full).", name.c_str()),
            MessageIcon::Error);
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
}

}  // namespace

void computeSiteQuality(ModelState& model) {
    computeYearlyClimate(model);
    computeWaterBalance(model);

    const Climate& c = model.climate;
    const std::array<double, 4> nitrogen = nitrogenResponses(model.site.AVAIL_N);
    for (int sn = 1; sn <= model.NSPP; ++sn) {
        Species& s = model.species[static_cast<size_t>(sn)];
        s.SQ_TEMP = temperatureFactor(c.DEGREE_DAYS, s);
        s.SQ_WILT = droughtFactor(c.WILT, s);
        s.SQ_WETNESS = wetnessFactor(model.site, s);
        s.SQ_SOIL_N = nitrogenFactor(nitrogen, s);
        s.SITE_QUALITY = s.SQ_WILT * s.SQ_SOIL_N * s.SQ_TEMP * s.SQ_WETNESS;
    }

    if (model.params.MONITOR_FLAG != 0) writeMonitorFile(model);
}

std::string monitorFileName(const ModelState& model) {
    std::string name = model.params.MONITOR_FILE;
    if (name.size() <= SHORT_MONITOR_NAME) {
        name += model.params.CLIMATE_CHANGE != 0 ? "1." : "0.";
        name += elevationDigits(model.site.ELEVATION);
    }
    return name;
}

}  // namespace dravia
