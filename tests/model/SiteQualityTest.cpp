#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "model/ForestFixture.h"
#include "model/SiteQuality.h"
#include "support/TempDirectory.h"
#include "support/Tolerance.h"

namespace dravia {
namespace {

using test::ForestFixture;
using test::plainSpecies;
using test::TempDirectory;
using test::temperateSite;

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
    EXPECT_SAME_VALUE(s.SQ_TEMP, 1.0);
    s.DDMIN = dd - 300.0;
    s.DDMAX = dd + 900.0;  // a quarter of the way in: 1 − 0.5²
    computeSiteQuality(*f.model);
    EXPECT_SAME_VALUE(s.SQ_TEMP, 0.75);
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
    EXPECT_SAME_VALUE(dry.SQ_WILT, 0.75);
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
    // A wet site's factor limits growth with the others.
    EXPECT_GT(s.SQ_WILT * s.SQ_SOIL_N * s.SQ_TEMP, 0.0);
    EXPECT_DOUBLE_EQ(s.SITE_QUALITY, s.SQ_WILT * s.SQ_SOIL_N * s.SQ_TEMP * 0.75);

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
    EXPECT_SAME_VALUE(intolerant.SQ_SOIL_N, 1.0);
    EXPECT_SAME_VALUE(intermediate.SQ_SOIL_N, (2.94 * 1.3 - 1.2) * 0.38138825324180015);
    EXPECT_SAME_VALUE(tolerant.SQ_SOIL_N, (2.79 - 0.6) * 0.4566210045662101);
    EXPECT_EQ(unknown.SQ_SOIL_N, 0.31);

    f.model->site.AVAIL_N = 0.0;  // starved: negative responses are cut to 0
    computeSiteQuality(*f.model);
    EXPECT_EQ(intolerant.SQ_SOIL_N, 0.0);
    EXPECT_GE(tolerant.SQ_SOIL_N, 0.0);

    f.model->site.AVAIL_N = 90.0;  // N = 190
    computeSiteQuality(*f.model);
    EXPECT_SAME_VALUE(tolerant.SQ_SOIL_N,
                      ((1 - std::pow(10.0, -0.00179 * 409.77)) * 2.79 - 0.6) * 0.4566210045662101);
    EXPECT_DOUBLE_EQ(tolerant.SITE_QUALITY,
                     tolerant.SQ_WILT * tolerant.SQ_SOIL_N * tolerant.SQ_TEMP * tolerant.SQ_WETNESS);
}

// The model writes no file: the monitor report is the run driver's to write.
TEST(SiteQuality, WritesNoFileEvenWithTheMonitorFlag) {
    TempDirectory directory;
    ForestFixture f;
    temperateSite(f, 350.7);
    f.model->params.MONITOR_FLAG = 1;
    f.model->params.MONITOR_FILE = "mon";
    computeSiteQuality(*f.model);
    EXPECT_EQ(f.model->params.MONITOR_FILE, "mon");
    EXPECT_TRUE(std::filesystem::is_empty(directory.path()));
}

// Climate memory over three years: the established trees' factors follow the mean degree-days and
// drought of the years simulated so far (one, then two) and then of the latest three only. The
// species' range is 1000-3000 degree-days and its drought tolerance 0.4; its year's nitrogen
// factor 0.8 and wetness factor 1 multiply in. Each mean and factor worked by hand.
TEST(SiteQuality, ClimateMemoryAveragesTheLatestYearsOfThePlot) {
    ForestFixture f;
    Species& s = test::plainSpecies(f, 1);
    s.SQ_SOIL_N = 0.8;
    s.SQ_WETNESS = 1.0;
    f.model->options.CLIMATE_MEMORY_YEARS = 3;
    struct Year {
        double degreeDays, wilt;
    };
    // Means of the remembered years: 1500 and 0; 1750 and 0.1; 2000 and 0.4/3; then, the first
    // year left behind, 2500 and 0.8/3.
    const Year years[] = {{1500.0, 0.0}, {2000.0, 0.2}, {2500.0, 0.2}, {3000.0, 0.4}};
    const double expected[] = {
        0.75 * 1.0 * 0.8,                // temperature 1 − 0.5², no drought
        0.9375 * 0.9375 * 0.8,           // 1 − 0.25² twice
        1.0 * (1.0 - 1.0 / 9.0) * 0.8,   // the middle of the range; 1 − (1/3)²
        0.75 * (1.0 - 4.0 / 9.0) * 0.8,  // 1 − 0.5²; 1 − (2/3)²
    };
    for (int k = 0; k < 4; ++k) {
        f.model->climate.DEGREE_DAYS = years[k].degreeDays;
        f.model->climate.WILT = years[k].wilt;
        rememberClimateOfYear(*f.model, f.plot());
        EXPECT_LE(f.plot().climateHistory.size(), 3u);
        EXPECT_NEAR(s.ESTABLISHED_SITE_QUALITY, expected[k], 1e-12) << "year " << k + 1;
    }
}

}  // namespace
}  // namespace dravia
