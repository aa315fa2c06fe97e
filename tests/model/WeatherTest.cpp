#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/ForestFixture.h"
#include "model/Weather.h"
#include "support/Tolerance.h"

namespace dravia {
namespace {

using test::ForestFixture;
using test::temperateSite;

void compute(ModelState& model) {
    computeYearlyClimate(model);
    computeWaterBalance(model);
}

bool allFinite(const Climate& c) {
    for (int m = 1; m <= MONTHS; ++m) {
        for (const MonthlyValues* v :
             {&c.TEMP, &c.E0, &c.EVAP, &c.RUNOFF, &c.RUNOFF_PLUS, &c.WATER_S, &c.SNOW_S, &c.DELTA_W,
              &c.DW_PLUS, &c.UP_CAP_TR, &c.I, &c.A, &c.RAIN}) {
            if (!std::isfinite((*v)[m])) return false;
        }
    }
    return std::isfinite(c.WILT) && std::isfinite(c.soilWater) && std::isfinite(c.sumE0) &&
           std::isfinite(c.sumEVAP) && std::isfinite(c.snowStore);
}

// Three weather years: dry and warm, wet, and one with a month exactly at 0 °C.
void yearToYearWeather(ForestFixture& f) {
    temperateSite(f, 300.0);
    f.model->params.CLIMATE_CHANGE = 1;
    WeatherData& weather = f.model->weather;
    weather.recordYears = 3;
    weather.years.resize(4);
    for (int y = 1; y <= 3; ++y) {
        for (int m = 1; m <= MONTHS; ++m) {
            weather.years[y].temperature[m] = weather.meanTemperature[m] + (y == 1   ? 1.5
                                                                            : y == 2 ? -1.0
                                                                                     : 0.0);
            weather.years[y].precipitation[m] = weather.meanPrecipitation[m] * (y == 1   ? 0.4
                                                                                : y == 2 ? 1.6
                                                                                         : 1.0);
        }
    }
    weather.years[3].temperature[3] = 0.0;
}

// What the two computations leave, bit for bit.
std::vector<double> climateOutputs(const Climate& c) {
    std::vector<double> out = {c.DEGREE_DAYS, c.ADJ_ROOT_DEPTH, c.WATER_TABLE,  c.CAP,       c.W_FC,
                               c.W_K,         c.WILT,           c.sumPREC,      c.sumSNOW_M, c.sumE0,
                               c.sumEVAP,     c.sumRAIN,        c.sumUP_CAP_TR, c.sumRUNOFF, c.sumRUNOFF_PLUS,
                               c.sumDELTA_W,  c.sumDW_PLUS,     c.sumWATER_S,   c.soilWater, c.snowStore};
    for (const MonthlyValues* v : {&c.TEMP, &c.PREC, &c.SNOW_D_D, &c.I, &c.A, &c.DL, &c.E0, &c.RAIN,
                                   &c.SNOW_M, &c.SNOW_S, &c.UP_CAP_TR, &c.EVAP, &c.RUNOFF, &c.RUNOFF_PLUS,
                                   &c.WATER_S, &c.DELTA_W, &c.DW_PLUS, &c.previousTEMP}) {
        out.insert(out.end(), v->begin(), v->end());
    }
    return out;
}

TEST(ClimateMemo, ARepeatedYearTakesExactlyWhatComputingItGivesAndAChangedInputIsComputed) {
    ForestFixture memo;   // through the memo
    ForestFixture plain;  // computed every time
    yearToYearWeather(memo);
    yearToYearWeather(plain);
    // Two iterations of five years (the record repeats from year 4), then one with another
    // evaporation factor and one with another water table (as the desktop's site dialog changes
    // it between runs): the memo's years must not be taken for them.
    const double depth = memo.model->site.WATER_DEPTH;
    const struct {
        int year;
        double evapFactor;
        double waterDepth;
    } steps[] = {{1, 1.0, depth}, {2, 1.0, depth}, {3, 1.0, depth}, {4, 1.0, depth}, {5, 1.0, depth},
                 {1, 1.0, depth}, {2, 1.0, depth}, {3, 1.0, depth}, {4, 1.0, depth}, {5, 1.0, depth},
                 {1, 0.9, depth}, {2, 0.9, depth}, {3, 0.9, depth}, {1, 0.9, 0.3},   {2, 0.9, 0.3}};
    for (const auto& step : steps) {
        for (ForestFixture* f : {&memo, &plain}) {
            f->model->params.EVAP_FACTOR = step.evapFactor;
            f->model->site.WATER_DEPTH = step.waterDepth;
            takeWeatherYear(*f->model, step.year);
        }
        memo.model->climate.co2Factor = 1.25;  // not the climate's: kept as it is
        computeClimateOfYear(*memo.model);
        compute(*plain.model);
        EXPECT_EQ(climateOutputs(memo.model->climate), climateOutputs(plain.model->climate))
            << step.year << " " << step.evapFactor;
        EXPECT_EQ(memo.model->climate.weatherYear, step.year);
        EXPECT_EQ(memo.model->climate.co2Factor, 1.25);
    }
    // Years 1 to 5 of the first iteration (year 4 continues from year 3, not from a fresh start
    // like year 1), the three with the other factor and the two with the other water table; the
    // second iteration took its five.
    EXPECT_EQ(memo.model->climateMemo.entries.size(), 10u);
    EXPECT_EQ(memo.model->climateMemo.taken, 5u);
}

TEST(YearlyClimate, SiteAboveTheStationIsColderByTheLapseRateOfItsSign) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->site.ELEVATION = 400.0;  // 100 m above the station
    computeYearlyClimate(*f.model);
    const Climate& c = f.model->climate;
    EXPECT_SAME_VALUE(c.TEMP[7], 21.0 - 0.6516);
    EXPECT_SAME_VALUE(c.TEMP[1], -6.5 - 0.401);
    EXPECT_SAME_VALUE(c.TEMP[3], 0.5 - 0.6516);  // the station's sign decides
    EXPECT_EQ(c.PREC[7], 90.0);
}

TEST(YearlyClimate, DegreeDaysCountOnlyWarmthAbove4Point44) {
    ForestFixture f;
    temperateSite(f, 300.0);
    for (int m = 1; m <= MONTHS; ++m) f.model->weather.meanTemperature[m] = 4.44;
    f.model->weather.meanTemperature[3] = 10.0;
    computeYearlyClimate(*f.model);
    EXPECT_SAME_VALUE(f.model->climate.DEGREE_DAYS, 31 * 5.56);
}

TEST(YearlyClimate, MeltDegreeDaysAboveMinus3Point4) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->weather.meanTemperature[2] = -3.4;
    computeYearlyClimate(*f.model);
    EXPECT_EQ(f.model->climate.SNOW_D_D[2], 0.0);                // exactly −3.4 °C: no melt
    EXPECT_EQ(f.model->climate.SNOW_D_D[1], 0.0);                // −6.5 °C
    EXPECT_EQ(f.model->climate.SNOW_D_D[12], 0.0);               // −4 °C
    EXPECT_SAME_VALUE(f.model->climate.SNOW_D_D[3], 31 * 3.9);   // 0.5 °C
    EXPECT_SAME_VALUE(f.model->climate.SNOW_D_D[11], 30 * 6.4);  // 3 °C
}

TEST(YearlyClimate, HeatIndexOfTheTrailingTwelveMonthsInYearToYearClimate) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->params.CLIMATE_CHANGE = 1;
    for (int m = 1; m <= MONTHS; ++m) f.model->climate.stationTemperature[m] = 10.0;
    f.model->climate.weatherYear = 1;
    computeYearlyClimate(*f.model);
    const double cool = std::pow(2.0, 1.514);
    for (int m = 1; m <= MONTHS; ++m) EXPECT_SAME_VALUE(f.model->climate.I[m], 12 * cool);

    for (int m = 1; m <= MONTHS; ++m) f.model->climate.stationTemperature[m] = 20.0;
    f.model->climate.weatherYear = 2;
    computeYearlyClimate(*f.model);
    const double warm = std::pow(4.0, 1.514);
    const Climate& c = f.model->climate;
    EXPECT_SAME_VALUE(c.I[1], 11 * cool + warm);
    EXPECT_SAME_VALUE(c.I[6], 6 * cool + 6 * warm);
    EXPECT_SAME_VALUE(c.I[12], 12 * warm);
    const double i = c.I[6];
    EXPECT_SAME_VALUE(c.A[6], (0.675 * i * i * i - 77.1 * i * i + 17920 * i + 492390) * 1e-06);
}

TEST(YearlyClimate, ConstantClimateUsesOneIndexOverWarmMonths) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->climate.weatherYear = 5;  // ignored without year-to-year climate
    computeYearlyClimate(*f.model);
    double index = 0.0;
    for (double t : {0.5, 7.0, 14.0, 18.0, 21.0, 20.0, 15.5, 9.5, 3.0}) index += std::pow(0.2 * t, 1.514);
    for (int m = 1; m <= MONTHS; ++m) EXPECT_SAME_VALUE(f.model->climate.I[m], index);
}

TEST(WaterBalance, DayLengthsInterpolatedByLatitude) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->site.LATITUDE = 42.5;
    compute(*f.model);
    EXPECT_SAME_VALUE(f.model->climate.DL[1], 0.82);
    EXPECT_SAME_VALUE(f.model->climate.DL[7], 1.29);
    f.model->site.LATITUDE = 5.0;
    compute(*f.model);
    EXPECT_SAME_VALUE(f.model->climate.DL[12], 1.015);
    f.model->site.LATITUDE = 50.0;
    compute(*f.model);
    EXPECT_SAME_VALUE(f.model->climate.DL[6], 1.36);
    f.model->site.LATITUDE = 63.0;
    compute(*f.model);
    EXPECT_EQ(f.model->climate.DL[12], 0.70);
    EXPECT_TRUE(f.host.standardOutput.empty());
}

TEST(WaterBalance, EquatorialSiteReportsAndTakesTheEquatorColumn) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->site.LATITUDE = 1e-06;
    compute(*f.model);
    EXPECT_EQ(f.host.standardOutput, "Plot is at equator?\n");
    EXPECT_EQ(f.model->climate.DL[2], 0.94);
    EXPECT_TRUE(allFinite(f.model->climate));
    EXPECT_GT(f.model->climate.sumE0, 0.0);
}

TEST(WaterBalance, ShallowWaterTableLimitsRootsAndSuppliesWater) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->site.WATER_DEPTH = 0.2;
    f.model->site.ROOT_DEPTH = 1.0;
    compute(*f.model);
    const Climate& c = f.model->climate;
    EXPECT_DOUBLE_EQ(c.ADJ_ROOT_DEPTH, 0.4);
    EXPECT_DOUBLE_EQ(c.WATER_TABLE, 0.01);
    EXPECT_EQ(c.CAP, 15.0);
    EXPECT_DOUBLE_EQ(c.W_FC, 95.0 * 150.0 * 0.4 * 0.01);
    EXPECT_DOUBLE_EQ(c.W_K, 0.7 * c.W_FC);
    EXPECT_TRUE(allFinite(c));
}

TEST(WaterBalance, WaterTableBelowTheSoilSuppliesNothing) {
    ForestFixture f;
    temperateSite(f, 300.0);
    compute(*f.model);
    const Climate& c = f.model->climate;
    EXPECT_EQ(c.CAP, 0.0);
    EXPECT_DOUBLE_EQ(c.ADJ_ROOT_DEPTH, 0.9);
    EXPECT_DOUBLE_EQ(c.WATER_TABLE, 2.05);
    for (int m = 1; m <= MONTHS; ++m) EXPECT_EQ(c.UP_CAP_TR[m], 0.0);
}

TEST(WaterBalance, PotentialEvapotranspirationInItsThreeRanges) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->weather.meanTemperature[6] = 30.0;
    f.model->weather.meanTemperature[7] = 38.0;
    f.model->weather.meanTemperature[8] = 38.1;
    compute(*f.model);
    const Climate& c = f.model->climate;
    EXPECT_SAME_VALUE(c.E0[6], (3.246 * 30 - 41.947 - 0.04357 * 900) * c.DL[6] * 10);
    EXPECT_SAME_VALUE(c.E0[7], (3.246 * 38 - 41.947 - 0.04357 * 1444) * c.DL[7] * 10);
    EXPECT_SAME_VALUE(c.E0[8], 185 * c.DL[8]);
    EXPECT_SAME_VALUE(c.E0[5], 16 * std::pow(10 * 14.0 / c.I[5], c.A[5]) * c.DL[5]);
    EXPECT_EQ(c.E0[1], 0.0);
}

TEST(WaterBalance, SnowGathersInFrostAndMeltsAboveMinus3Point4) {
    ForestFixture f;
    temperateSite(f, 300.0);
    compute(*f.model);
    const Climate& c = f.model->climate;
    // January and February are below −3.4 °C: snow only gathers.
    EXPECT_EQ(c.SNOW_M[1], 0.0);
    EXPECT_EQ(c.RAIN[1], 0.0);
    EXPECT_SAME_VALUE(c.SNOW_S[2], c.SNOW_S[1] + 65.0);
    // March (0.5 °C) melts up to 2.7 mm per melt degree-day of the store.
    EXPECT_SAME_VALUE(c.SNOW_M[3], std::min(2.7 * c.SNOW_D_D[3], c.SNOW_S[2]));
    EXPECT_SAME_VALUE(c.RAIN[3], c.SNOW_M[3] + 80.0);
    // December (−4 °C) gathers snow.
    EXPECT_SAME_VALUE(c.SNOW_S[12], c.SNOW_S[11] + 75.0);
    EXPECT_SAME_VALUE(c.sumPREC, 970.0);
}

TEST(WaterBalance, SoilWaterBudgetClosesMonthByMonthWithoutCapillarySupply) {
    // Without a water table in reach, the month's change of soil water is exactly what came
    // in less evapotranspiration, runoff and overflow, crossings between regimes included.
    for (double evapFactor : {1.0, 0.9}) {
        ForestFixture f;
        temperateSite(f, 300.0);
        f.model->params.EVAP_FACTOR = evapFactor;
        for (int m = 5; m <= 9; ++m) f.model->weather.meanPrecipitation[m] = 10.0;  // a dry summer
        compute(*f.model);
        const Climate& c = f.model->climate;
        bool dryMonth = false;
        for (int m = 2; m <= MONTHS; ++m) {
            EXPECT_SAME_VALUE(c.WATER_S[m], c.WATER_S[m - 1] + c.DW_PLUS[m]) << m;
            EXPECT_LE(c.WATER_S[m], c.W_FC + 1e-12);
            EXPECT_LE(c.EVAP[m], c.E0[m] + 1e-12);
            if (c.WATER_S[m] < c.W_K) dryMonth = true;
        }
        EXPECT_TRUE(dryMonth);
        EXPECT_GT(c.WILT, 0.0);
        EXPECT_SAME_VALUE(c.WILT, (c.sumE0 - c.sumEVAP) / c.sumE0);
    }
}

TEST(WaterBalance, EvapFactorKeepsATenthOfEvapotranspirationInTheSoil) {
    for (double evapFactor : {1.0, 0.9}) {
        ForestFixture f;
        temperateSite(f, 300.0);
        f.model->params.EVAP_FACTOR = evapFactor;
        for (int m = 1; m <= MONTHS; ++m) f.model->weather.meanPrecipitation[m] = 300.0;  // always wet
        compute(*f.model);
        const Climate& c = f.model->climate;
        for (int m = 4; m <= 10; ++m) EXPECT_SAME_VALUE(c.EVAP[m], evapFactor * c.E0[m]) << m;
    }
}

TEST(WaterBalance, StressBySoilWaterMode) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->params.WATER_STRESS_MODE = 1;
    compute(*f.model);
    const Climate& c = f.model->climate;
    double water = 0.0;
    for (int m = 1; m <= MONTHS; ++m) water += c.WATER_S[m];
    EXPECT_SAME_VALUE(c.WILT, (c.sumE0 - water * 0.24390243902439027) / c.sumE0);

    f.model->params.WATER_STRESS_MODE = 5;  // an unknown mode leaves WILT alone
    f.model->climate.WILT = 0.123;
    compute(*f.model);
    EXPECT_EQ(f.model->climate.WILT, 0.123);
}

TEST(WaterBalance, YearToYearClimateCarriesSoilWaterAndSnowOnward) {
    ForestFixture f;
    temperateSite(f, 300.0);
    f.model->params.CLIMATE_CHANGE = 1;
    f.model->climate.stationTemperature = f.model->weather.meanTemperature;
    f.model->climate.stationPrecipitation = f.model->weather.meanPrecipitation;

    // The first weather year spins up from field capacity whatever was left before.
    f.model->climate.weatherYear = 1;
    f.model->climate.soilWater = 3.0;
    compute(*f.model);
    const MonthlyValues firstYear = f.model->climate.WATER_S;

    // A later year continues from the soil water and snow store it is given.
    f.model->climate.weatherYear = 2;
    f.model->climate.soilWater = f.model->climate.W_FC;
    f.model->climate.snowStore = 0.0;
    compute(*f.model);
    EXPECT_NE(f.model->climate.WATER_S[1], firstYear[1]);
    EXPECT_EQ(f.model->climate.SNOW_S[1], 70.0);
    EXPECT_EQ(f.model->climate.soilWater, f.model->climate.WATER_S[12]);

    // The same computation again (a second plot in the same year) starts where the first ended.
    const double carried = f.model->climate.snowStore;
    compute(*f.model);
    EXPECT_EQ(f.model->climate.SNOW_S[1], carried + 70.0);
}

TEST(WaterBalance, ConstantClimateSpinsUpTheSameEveryTime) {
    ForestFixture f;
    temperateSite(f, 300.0);
    compute(*f.model);
    const MonthlyValues first = f.model->climate.WATER_S;
    f.model->climate.soilWater = 0.0;
    f.model->climate.snowStore = 500.0;
    compute(*f.model);
    EXPECT_EQ(f.model->climate.WATER_S, first);
    // The spin-up starts with the snow of the cold months 7..12 (December, 75 mm).
    EXPECT_SAME_VALUE(f.model->climate.SNOW_S[1], 75.0 + 70.0 - 0.0);
}

TEST(WaterBalance, DegenerateSoilsStayFinite) {
    // No capillary supply, no rain and no snow: the wet regime has nothing proportional to W.
    {
        ForestFixture f;
        temperateSite(f, 300.0);
        for (int m = 1; m <= MONTHS; ++m) {
            f.model->weather.meanTemperature[m] = 15.0;
            f.model->weather.meanPrecipitation[m] = 0.0;
        }
        compute(*f.model);
        const Climate& c = f.model->climate;
        EXPECT_TRUE(allFinite(c));
        EXPECT_GT(c.WILT, 0.0);
        for (int m = 1; m <= MONTHS; ++m) {
            EXPECT_GE(c.WATER_S[m], 0.0);
            EXPECT_LE(c.EVAP[m], c.E0[m] + 1e-12);
            EXPECT_EQ(c.RUNOFF[m], 0.0);
        }
    }
    // Frozen all year with no water table in reach: nothing moves.
    {
        ForestFixture f;
        temperateSite(f, 300.0);
        for (int m = 1; m <= MONTHS; ++m) f.model->weather.meanTemperature[m] = -10.0;
        compute(*f.model);
        const Climate& c = f.model->climate;
        EXPECT_TRUE(allFinite(c));
        EXPECT_EQ(c.WILT, 0.0);  // no evaporative demand at all
        for (int m = 1; m <= MONTHS; ++m) EXPECT_EQ(c.WATER_S[m], c.W_FC);
    }
    // A soil that holds no water.
    for (double texture : {0.0, -5.0}) {
        ForestFixture f;
        temperateSite(f, 300.0);
        f.model->site.TEXTURE = texture;
        compute(*f.model);
        EXPECT_TRUE(allFinite(f.model->climate));
        EXPECT_EQ(f.model->climate.WILT, 1.0);
    }
    // Water at the surface, no roots.
    {
        ForestFixture f;
        temperateSite(f, 300.0);
        f.model->site.WATER_DEPTH = 0.0;
        f.model->site.ROOT_DEPTH = 0.0;
        compute(*f.model);
        EXPECT_TRUE(allFinite(f.model->climate));
    }
}

TEST(TakeWeatherYear, CopiesTheRecordOfTheYear) {
    ForestFixture f;
    f.model->weather.years.resize(4);
    f.model->weather.recordYears = 3;
    f.model->weather.years[2].temperature[5] = 12.5;
    f.model->weather.years[2].precipitation[5] = 44.0;
    takeWeatherYear(*f.model, 2);
    EXPECT_EQ(f.model->climate.weatherYear, 2);
    EXPECT_EQ(f.model->climate.stationTemperature[5], 12.5);
    EXPECT_EQ(f.model->climate.stationPrecipitation[5], 44.0);
}

}  // namespace
}  // namespace dravia
