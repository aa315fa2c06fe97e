#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <string>

#include "model/ForestFixture.h"
#include "model/SiteQuality.h"
#include "output/MonitorFile.h"
#include "platform/ProgramExit.h"
#include "support/TempDirectory.h"

namespace dravia {
namespace {

using test::ForestFixture;
using test::plainSpecies;
using test::TempDirectory;
using test::temperateSite;

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
        text += line("%5i%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f \n", m, c.DELTA_W[m], c.RAIN[m],
                     c.UP_CAP_TR[m], c.E0[m], c.EVAP[m], c.RUNOFF[m], c.RUNOFF_PLUS[m], c.DW_PLUS[m]);
    }
    text += "\n";
    text += line("TOTAL%7.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f%9.2f \n\n", c.sumDELTA_W, c.sumRAIN,
                 c.sumUP_CAP_TR, c.sumE0, c.sumEVAP, c.sumRUNOFF, c.sumRUNOFF_PLUS, c.sumDW_PLUS);
    text += "SN    SITE QUALITY  SQ WILTSQ WETNESS    SQ TEMP    SQ SOIL N \n\n";
    for (int sn = 1; sn <= model.NSPP; ++sn) {
        const Species& s = model.species[static_cast<size_t>(sn)];
        text += line("%7d%12.3f%12.3f%12.3f%12.3f%12.3f\n", sn, s.SITE_QUALITY, s.SQ_WILT, s.SQ_WETNESS,
                     s.SQ_TEMP, s.SQ_SOIL_N);
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
    writeMonitorFile(*f.model);
    EXPECT_EQ(f.model->params.MONITOR_FILE, "mon1.350");
    std::string expected = expectedMonitorText(*f.model, true);
    EXPECT_EQ(test::readTextFile("mon1.350"), expected);

    // The next year is appended to the same file; the last weather year has no page break.
    f.model->climate.weatherYear = 30;
    computeSiteQuality(*f.model);
    writeMonitorFile(*f.model);
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
    writeMonitorFile(*f.model);
    EXPECT_EQ(f.model->params.MONITOR_FILE, "monitor0.350");
    EXPECT_EQ(test::readTextFile("monitor0.350"), expectedMonitorText(*f.model, false));

    f.model->params.MONITOR_FILE = "monitor1";  // eight: kept
    computeSiteQuality(*f.model);
    writeMonitorFile(*f.model);
    EXPECT_EQ(f.model->params.MONITOR_FILE, "monitor1");
    EXPECT_TRUE(std::filesystem::exists("monitor1"));
}

TEST(MonitorFile, UnopenableFileEndsTheProgramAbnormally) {
    TempDirectory directory;
    ForestFixture f;
    temperateSite(f, 350.7);
    f.model->params.MONITOR_FLAG = 1;
    f.model->params.MONITOR_FILE = "no_such_dir\\monitor.txt";
    computeSiteQuality(*f.model);
    try {
        writeMonitorFile(*f.model);
        FAIL() << "expected the program to end";
    } catch (const ProgramExit& exit) {
        EXPECT_EQ(exit.status, EXIT_ABNORMAL);
    }
    EXPECT_EQ(f.host.standardOutput, "*** file no_such_dir\\monitor.txt could not be opened ***\n");
}

}  // namespace
}  // namespace dravia
