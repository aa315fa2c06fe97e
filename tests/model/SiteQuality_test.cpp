#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <filesystem>
#include <cstdio>
#include <string>

#include "model/ForestFixture.h"
#include "model/SiteQuality.h"
#include "platform/ProgramExit.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

using test::ForestFixture;
using test::temperateSite;
using test::TempDirectory;

Species& plainSpecies(ForestFixture& f, int sn) {
    Species& s = f.addSpecies(sn, 3);
    s.DDMIN = 1000.0;
    s.DDMAX = 3000.0;
    s.WILT_FACTOR = 0.4;
    s.MIN_WATER_TABLE = 0.5;
    s.N_TYPE = 3;
    return s;
}

TEST(SiteQuality, TemperatureFactorIsOneMidRangeAndZeroAtTheLimits) {
    ForestFixture f;
    temperateSite(f, 350.7);
    Species& s = plainSpecies(f, 1);
    computeSiteQuality(*f.model);
    const double dd = f.model->climate.DEGREE_DAYS;
    ASSERT_GT(dd, 1000.0);

    s.DDMIN = dd - 600.0;
    s.DDMAX = dd + 600.0;
    computeSiteQuality(*f.model);
    EXPECT_NEAR(s.SQ_TEMP, 1.0, 1e-12);
    s.DDMIN = dd - 300.0;
    s.DDMAX = dd + 900.0;  // a quarter of the way in: 1 − 0.5²
    computeSiteQuality(*f.model);
    EXPECT_NEAR(s.SQ_TEMP, 0.75, 1e-12);
    s.DDMIN = dd;
    computeSiteQuality(*f.model);
    EXPECT_EQ(s.SQ_TEMP, 0.0);
    EXPECT_EQ(s.SITE_QUALITY, 0.0);
    s.DDMIN = dd - 900.0;
    s.DDMAX = dd;
    computeSiteQuality(*f.model);
    EXPECT_EQ(s.SQ_TEMP, 0.0);
    s.DDMIN = s.DDMAX = dd;  // no range at all
    computeSiteQuality(*f.model);
    EXPECT_EQ(s.SQ_TEMP, 0.0);
}

TEST(SiteQuality, DroughtFactorFromWilt) {
    ForestFixture f;
    temperateSite(f, 350.7);
    for (int m = 1; m <= MONTHS; ++m) f.model->weather.meanPrecipitation[m] = 300.0;  // never dry
    Species& s = plainSpecies(f, 1);
    computeSiteQuality(*f.model);
    EXPECT_EQ(f.model->climate.WILT, 0.0);
    EXPECT_EQ(s.SQ_WILT, 1.0);
    s.WILT_FACTOR = 0.0;  // no tolerance, but no deficit either
    computeSiteQuality(*f.model);
    EXPECT_EQ(s.SQ_WILT, 1.0);

    ForestFixture g;
    temperateSite(g, 350.7);
    for (int m = 4; m <= 10; ++m) g.model->weather.meanPrecipitation[m] = 5.0;
    Species& dry = plainSpecies(g, 1);
    computeSiteQuality(*g.model);
    const double wilt = g.model->climate.WILT;
    ASSERT_GT(wilt, 0.0);
    dry.WILT_FACTOR = 2.0 * wilt;
    computeSiteQuality(*g.model);
    EXPECT_NEAR(dry.SQ_WILT, 0.75, 1e-12);
    dry.WILT_FACTOR = wilt;
    computeSiteQuality(*g.model);
    EXPECT_EQ(dry.SQ_WILT, 0.0);
    dry.WILT_FACTOR = 0.0;
    computeSiteQuality(*g.model);
    EXPECT_EQ(dry.SQ_WILT, 0.0);
}

TEST(SiteQuality, WetnessFactorFromTheWaterTable) {
    ForestFixture f;
    temperateSite(f, 350.7);
    Species& s = plainSpecies(f, 1);
    s.MIN_WATER_TABLE = 5.0;
    computeSiteQuality(*f.model);
    EXPECT_EQ(s.SQ_WETNESS, 1.0);  // water table below the soil

    f.model->site.WATER_DEPTH = 0.5;
    s.MIN_WATER_TABLE = 1.0;
    computeSiteQuality(*f.model);
    EXPECT_EQ(s.SQ_WETNESS, 0.0);
    s.MIN_WATER_TABLE = 0.25;
    computeSiteQuality(*f.model);
    EXPECT_DOUBLE_EQ(s.SQ_WETNESS, 0.75);

    f.model->site.WATER_DEPTH = 0.0;  // water at the surface
    computeSiteQuality(*f.model);
    EXPECT_EQ(s.SQ_WETNESS, 0.0);
    s.MIN_WATER_TABLE = 0.0;
    computeSiteQuality(*f.model);
    EXPECT_EQ(s.SQ_WETNESS, 1.0);
}

TEST(SiteQuality, NitrogenFactorByTolerance) {
    ForestFixture f;
    temperateSite(f, 350.7);
    Species& intolerant = plainSpecies(f, 1);
    intolerant.N_TYPE = 1;
    Species& intermediate = plainSpecies(f, 2);
    intermediate.N_TYPE = 2;
    Species& tolerant = plainSpecies(f, 3);
    tolerant.N_TYPE = 3;
    Species& unknown = plainSpecies(f, 4);
    unknown.N_TYPE = 9;
    unknown.SQ_SOIL_N = 0.31;

    f.model->site.AVAIL_N = 1e5;  // plenty: each curve reaches its ceiling
    computeSiteQuality(*f.model);
    EXPECT_NEAR(intolerant.SQ_SOIL_N, 1.0, 1e-12);
    EXPECT_NEAR(intermediate.SQ_SOIL_N, (2.94 * 1.3 - 1.2) * 0.38138825324180015, 1e-12);
    EXPECT_NEAR(tolerant.SQ_SOIL_N, (2.79 - 0.6) * 0.4566210045662101, 1e-12);
    EXPECT_EQ(unknown.SQ_SOIL_N, 0.31);

    f.model->site.AVAIL_N = 0.0;  // starved: negative responses are cut to 0
    computeSiteQuality(*f.model);
    EXPECT_EQ(intolerant.SQ_SOIL_N, 0.0);
    EXPECT_GE(tolerant.SQ_SOIL_N, 0.0);

    f.model->site.AVAIL_N = 90.0;  // N = 190
    computeSiteQuality(*f.model);
    EXPECT_NEAR(tolerant.SQ_SOIL_N, ((1 - std::pow(10.0, -0.00179 * 409.77)) * 2.79 - 0.6) * 0.4566210045662101,
                1e-12);
    EXPECT_DOUBLE_EQ(tolerant.SITE_QUALITY,
                     tolerant.SQ_WILT * tolerant.SQ_SOIL_N * tolerant.SQ_TEMP * tolerant.SQ_WETNESS);
}

std::string line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string line(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

// The monitor text of one computation, laid out independently of the program.
std::string expectedMonitorText(const ModelState& model, bool pageBreak) {
    const Climate& c = model.climate;
    std::string text = line("\n  YEAR  %3i \n\n", c.weatherYear);
    text += "ELEVATION      350.70  metersADJ_ROOT_DEPTH    0.90  meters \n";
    text += "K                2.70  mm/day/degree CWATER_TABLE       2.05  meters \n";
    text += "SNOW_TEMP       -3.40  degrees CW_FC            128.25  mm \n";
    text += line("DEGREE_DAYS %9.2f  degree-days", c.DEGREE_DAYS);
    text += line("W_K            %7.2f  mm \n", c.W_K);
    text += line("WILT          %7.2f  mm/month \n\n", c.WILT);
    text += "MONTH   TEMP     PREC   WATER_SSNOW_S   SNOW_M  SNOW_D_D     I        A \n\n";
    for (int m = 1; m <= 12; ++m) {
        text += line("%5i%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f\n", m, c.TEMP[m], c.PREC[m], c.WATER_S[m],
                     c.SNOW_S[m], c.SNOW_M[m], c.SNOW_D_D[m], c.I[m], c.A[m]);
    }
    text += line("\n  TOTAL%16.2f%27.2f \n\n", 970.0, c.sumSNOW_M);
    text += "MONTH DELTA_W    RAIN  UP_CAP_TR(E0)     EVAP    RUNOFF  RUNOFF_+   DW_+    WILT \n\n";
    for (int m = 1; m <= 12; ++m) {
        text += line("%5i%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f \n", m, c.DELTA_W[m], c.RAIN[m], c.UP_CAP_TR[m],
                     c.E0[m], c.EVAP[m], c.RUNOFF[m], c.RUNOFF_PLUS[m], c.DW_PLUS[m]);
    }
    text += "\n";
    text += line("TOTAL%7.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f \n\n", c.sumDELTA_W, c.sumRAIN, c.sumUP_CAP_TR, c.sumE0,
                 c.sumEVAP, c.sumRUNOFF, c.sumRUNOFF_PLUS, c.sumDW_PLUS);
    text += "SN    SITE QUALITY  SQ WILTSQ WETNESS    SQ TEMP    SQ SOIL N \n\n";
    for (int sn = 1; sn <= model.NSPP; ++sn) {
        const Species& s = model.species[static_cast<size_t>(sn)];
        text += line("%7d%12.3f%12.3f%12.3f%12.3f%12.3f\n", sn, s.SITE_QUALITY, s.SQ_WILT, s.SQ_WETNESS, s.SQ_TEMP,
                     s.SQ_SOIL_N);
    }
    if (pageBreak) text += "\n\f";
    return text;
}

TEST(MonitorFile, ShortNameGetsClimateAndElevationAndLayoutIsExact) {
    TempDirectory directory;
    ForestFixture f;
    temperateSite(f, 350.7);
    plainSpecies(f, 1);
    plainSpecies(f, 2).N_TYPE = 1;
    f.model->params.MONITOR_FLAG = 1;
    f.model->params.MONITOR_FILE = "mon";
    f.model->params.CLIMATE_CHANGE = 1;
    f.model->climate.stationTemperature = f.model->weather.meanTemperature;
    f.model->climate.stationPrecipitation = f.model->weather.meanPrecipitation;
    f.model->weather.recordYears = 30;
    f.model->climate.weatherYear = 2;

    computeSiteQuality(*f.model);
    EXPECT_EQ(f.model->params.MONITOR_FILE, "mon1.350");
    std::string expected = expectedMonitorText(*f.model, true);
    EXPECT_EQ(test::readTextFile("mon1.350"), expected);

    // The next year is appended to the same file; the last weather year has no page break.
    f.model->climate.weatherYear = 30;
    computeSiteQuality(*f.model);
    EXPECT_EQ(f.model->params.MONITOR_FILE, "mon1.350");
    expected += expectedMonitorText(*f.model, false);
    EXPECT_EQ(test::readTextFile("mon1.350"), expected);
    EXPECT_EQ(f.host.standardOutput, "");
}

TEST(MonitorFile, ConstantClimateHasNoPageBreakAndLongNamesStay) {
    TempDirectory directory;
    ForestFixture f;
    temperateSite(f, 350.7);
    plainSpecies(f, 1);
    f.model->params.MONITOR_FLAG = 1;
    f.model->params.MONITOR_FILE = "monitor";  // seven characters: extended
    computeSiteQuality(*f.model);
    EXPECT_EQ(f.model->params.MONITOR_FILE, "monitor0.350");
    EXPECT_EQ(test::readTextFile("monitor0.350"), expectedMonitorText(*f.model, false));

    f.model->params.MONITOR_FILE = "monitor1";  // eight: kept
    computeSiteQuality(*f.model);
    EXPECT_EQ(f.model->params.MONITOR_FILE, "monitor1");
    EXPECT_TRUE(std::filesystem::exists("monitor1"));
}

TEST(MonitorFile, NothingWrittenWithoutTheFlag) {
    TempDirectory directory;
    ForestFixture f;
    temperateSite(f, 350.7);
    f.model->params.MONITOR_FILE = "mon";
    computeSiteQuality(*f.model);
    EXPECT_EQ(f.model->params.MONITOR_FILE, "mon");
    EXPECT_TRUE(std::filesystem::is_empty(directory.path()));
}

TEST(MonitorFile, UnopenableFileEndsTheProgramAbnormally) {
    TempDirectory directory;
    ForestFixture f;
    temperateSite(f, 350.7);
    f.model->params.MONITOR_FLAG = 1;
    f.model->params.MONITOR_FILE = "no_such_dir\\monitor.txt";
    try {
        computeSiteQuality(*f.model);
        FAIL() << "expected the program to end";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_ABNORMAL);
    }
    EXPECT_EQ(f.host.standardOutput, "*** file no_such_dir\\monitor.txt could not be opened ***\n");
}

}  // namespace
}  // namespace dravia
