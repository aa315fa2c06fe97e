#include "model/Weather.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/Host.h"

namespace dravia {

namespace {

constexpr std::array<int, MONTHS + 1> DAYS_IN_MONTH = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Day-length correction of potential evapotranspiration, by month (rows 1..12) and
// latitude north (columns).
constexpr int LATITUDE_COLUMNS = 8;
constexpr std::array<double, LATITUDE_COLUMNS> TABLE_LATITUDE = {0, 10, 20, 30, 35, 40, 45, 50};
constexpr double DAY_LENGTH[MONTHS + 1][LATITUDE_COLUMNS] = {
    //  0     10    20    30    35    40    45    50
    {0, 0, 0, 0, 0, 0, 0, 0},
    {1.04, 1.00, 0.95, 0.90, 0.87, 0.84, 0.80, 0.74},  // 1
    {0.94, 0.91, 0.90, 0.87, 0.85, 0.83, 0.81, 0.78},  // 2
    {1.04, 1.03, 1.03, 1.03, 1.03, 1.03, 1.02, 1.02},  // 3
    {1.01, 1.03, 1.05, 1.08, 1.09, 1.11, 1.13, 1.15},  // 4
    {1.04, 1.08, 1.13, 1.18, 1.21, 1.24, 1.28, 1.33},  // 5
    {1.01, 1.06, 1.11, 1.17, 1.21, 1.25, 1.29, 1.36},  // 6
    {1.04, 1.08, 1.14, 1.20, 1.23, 1.27, 1.31, 1.37},  // 7
    {1.04, 1.07, 1.11, 1.14, 1.16, 1.18, 1.21, 1.25},  // 8
    {1.01, 1.02, 1.02, 1.03, 1.03, 1.04, 1.04, 1.06},  // 9
    {1.04, 1.02, 1.00, 0.98, 0.97, 0.96, 0.94, 0.92},  // 10
    {1.01, 0.98, 0.93, 0.89, 0.86, 0.83, 0.79, 0.76},  // 11
    {1.04, 0.99, 0.94, 0.88, 0.85, 0.81, 0.75, 0.70},  // 12
};

constexpr int MAX_SPIN_UP_PASSES = 10;
constexpr double SPIN_UP_TOLERANCE = 0.1;  // mm of soil water

// True when this computation continues the previous year's soil water and temperatures,
// rather than starting afresh from a constant climate or the first weather year.
bool continuesPreviousYear(const ModelState& model) {
    return model.params.CLIMATE_CHANGE == 1 && model.climate.weatherYear != 1;
}

double heatIndexTerm(double temperature) {
    return temperature > 0.0 ? std::pow(0.2 * temperature, 1.514) : 0.0;
}

// A month's heat-index term, taken from the last one worked out for that month when the
// temperature is the same: year to year, last year's months enter this year's indexes again,
// and every plot of a year has the same temperatures.
double heatIndexTermOfMonth(Climate::Remembered& remembered, int m, double temperature) {
    const auto k = static_cast<size_t>(m);
    if (temperature == remembered.heatTermTEMP[k]) return remembered.heatTerm[k];
    const double term = heatIndexTerm(temperature);
    remembered.heatTermTEMP[k] = temperature;
    remembered.heatTerm[k] = term;
    return term;
}

// The soil-water equation dW/dt = g − λ W of one regime over an interval of length d
// starting at W0. At λ = 0 (nothing drains, nothing is supplied in proportion to W) the
// closed form becomes the straight line W0 + g t, which is its exact limit.
struct Regime {
    double g = 0.0;
    double lambda = 0.0;

    double integral(double w0, double d) const {
        if (lambda == 0.0) return w0 * d + g * d * d * 0.5;
        const double wStar = g / lambda;
        return wStar * d - (wStar - w0) * (1.0 - std::exp(-lambda * d)) / lambda;
    }
    // The end value and the integral over an interval, which share their equilibrium
    // and their decay factor.
    struct Course {
        double end = 0.0;
        double integral = 0.0;
    };
    Course course(double w0, double d) const {
        if (lambda == 0.0) return {w0 + g * d, w0 * d + g * d * d * 0.5};
        const double wStar = g / lambda;
        const double decay = std::exp(-lambda * d);
        return {wStar - (wStar - w0) * decay, wStar * d - (wStar - w0) * (1.0 - decay) / lambda};
    }
    // When the soil water, starting at w0, reaches target (known to lie between w0 and the
    // end value of the month). Kept within the month, so that rounding at an equilibrium
    // lying exactly on the target cannot push the time out of it.
    double crossingTime(double w0, double target) const {
        double tau = 0.0;
        if (lambda == 0.0) {
            tau = g != 0.0 ? (target - w0) / g : 0.0;
        } else {
            const double wStar = g / lambda;
            const double ratio = (wStar - target) / (wStar - w0);
            if (!(ratio > 0.0)) return 1.0;
            tau = -std::log(ratio) / lambda;
        }
        return std::clamp(tau, 0.0, 1.0);
    }
};

struct MonthResult {
    double w = 0.0;
    double evap = 0.0;
    double runoff = 0.0;
    double overflow = 0.0;  // above field capacity
};

// The soil water of one month, with evapotranspiration at the full rate E0 while the soil
// holds at least W_K and in proportion to W below it.
// The supply from the water table and its recharge rate, the same for every month of a pass.
struct WaterTableRates {
    double supply = 0.0;
    double recharge = 0.0;
};

// Only a soil that holds water has a balance to settle with them.
WaterTableRates waterTableRates(const Climate& c) {
    if (!(c.W_FC > 0.0)) return {};
    return {c.CAP / c.WATER_TABLE, c.CAP / (c.WATER_TABLE * c.W_FC)};
}

MonthResult soilWaterOfMonth(const Climate& c, const WaterTableRates& rates, double w, double rain, double e0,
                             double r) {
    const double supply = rates.supply;
    const double recharge = rates.recharge;
    const Regime wet{supply + rain - e0, recharge + r};
    const Regime dry{supply + rain, recharge + r + e0 / c.W_K};

    MonthResult result;
    bool endsWet = false;
    double w1 = 0.0;
    if (w >= c.W_K) {
        const Regime::Course wholeMonth = wet.course(w, 1.0);
        w1 = wholeMonth.end;
        if (w1 >= c.W_K) {
            result.evap = e0;
            result.runoff = r * wholeMonth.integral;
            endsWet = true;
        } else {
            const double tau = wet.crossingTime(w, c.W_K);
            result.runoff = r * wet.integral(w, tau);
            const Regime::Course rest = dry.course(c.W_K, 1.0 - tau);
            w1 = rest.end;
            const double j = rest.integral;
            result.evap = e0 * (tau + j / c.W_K);
            result.runoff += r * j;
        }
    } else {
        const Regime::Course wholeMonth = dry.course(w, 1.0);
        w1 = wholeMonth.end;
        if (w1 <= c.W_K) {
            const double j = wholeMonth.integral;
            result.evap = e0 * j / c.W_K;
            result.runoff = r * j;
        } else {
            const double tau = dry.crossingTime(w, c.W_K);
            const double j = dry.integral(w, tau);
            result.evap = e0 * ((1.0 - tau) + j / c.W_K);
            result.runoff = r * j;
            const Regime::Course rest = wet.course(c.W_K, 1.0 - tau);
            w1 = rest.end;
            const double j2 = rest.integral;
            result.runoff += r * j2;
            endsWet = true;
        }
    }
    if (endsWet && w1 > c.W_FC) {
        result.overflow = w1 - c.W_FC;
        result.w = c.W_FC;
    } else {
        result.w = w1;
    }
    return result;
}

double potentialEvapotranspiration(const Climate& c, int m) {
    const double t = c.TEMP[m];
    if (t <= 26.5) {
        // A heat index of 0 with a warm month can only come from underflow of a barely
        // positive temperature: no evaporative demand.
        if (c.I[m] <= 0.0) return 0.0;
        return 16.0 * std::pow(10.0 * t / c.I[m], c.A[m]) * c.DL[m];
    }
    if (t <= 38.0) return (3.246 * t - 41.947 - 0.04357 * (t * t)) * c.DL[m] * 10.0;
    return 185.0 * c.DL[m];
}

// A month's potential evapotranspiration, taken from the last one worked out for that month when
// its inputs are the same (every plot of a year after the first has the same climate).
double potentialEvapotranspirationOfMonth(Climate& c, int m) {
    Climate::Remembered& remembered = c.remembered;
    const auto k = static_cast<size_t>(m);
    if (c.TEMP[k] == remembered.e0TEMP[k] && c.I[k] == remembered.e0I[k] && c.A[k] == remembered.e0A[k] &&
        c.DL[k] == remembered.e0DL[k])
        return remembered.e0[k];
    const double e0 = potentialEvapotranspiration(c, m);
    remembered.e0TEMP[k] = c.TEMP[k];
    remembered.e0I[k] = c.I[k];
    remembered.e0A[k] = c.A[k];
    remembered.e0DL[k] = c.DL[k];
    remembered.e0[k] = e0;
    return e0;
}

void clearYearlySums(Climate& c) {
    c.sumPREC = c.sumSNOW_M = c.sumE0 = c.sumEVAP = c.sumRAIN = c.sumUP_CAP_TR = 0.0;
    c.sumRUNOFF = c.sumRUNOFF_PLUS = c.sumDELTA_W = c.sumDW_PLUS = c.sumWATER_S = 0.0;
}

// One pass of the monthly balance over the year, from the soil water and snow store held
// in the climate record.
void runMonthlyBalance(ModelState& model) {
    Climate& c = model.climate;
    const double evapFactor = model.params.EVAP_FACTOR;
    clearYearlySums(c);
    const WaterTableRates rates = waterTableRates(c);
    double w = c.soilWater;
    for (int m = 1; m <= MONTHS; ++m) {
        c.sumPREC += c.PREC[m];

        double r = 0.0;
        if (c.TEMP[m] <= 0.0) {
            c.E0[m] = 0.0;
            c.EVAP[m] = 0.0;
            c.snowStore += c.PREC[m];
            if (c.TEMP[m] > SNOW_TEMPERATURE && c.snowStore > 0.0) {
                c.SNOW_M[m] = std::min(SNOW_MELT_RATE * c.SNOW_D_D[m], c.snowStore);
                c.snowStore -= c.SNOW_M[m];
                c.RAIN[m] = c.SNOW_M[m];
                // A soil without water-holding capacity takes no runoff coefficient; its
                // balance is settled below without one.
                r = c.W_FC > 0.0 ? 0.8 * c.RAIN[m] / c.W_FC : 0.0;
            } else {
                c.SNOW_M[m] = 0.0;
                c.RAIN[m] = 0.0;
                c.RUNOFF[m] = 0.0;
            }
        } else {
            c.E0[m] = potentialEvapotranspirationOfMonth(c, m);
            if (c.snowStore > 0.0) {
                c.SNOW_M[m] = std::min(SNOW_MELT_RATE * c.SNOW_D_D[m], c.snowStore);
                c.snowStore -= c.SNOW_M[m];
                c.RAIN[m] = c.SNOW_M[m] + c.PREC[m];
            } else {
                c.SNOW_M[m] = 0.0;
                c.RAIN[m] = c.PREC[m];
            }
            // No water and no demand: nothing runs off (the coefficient's limit).
            const double wetAndDemand = c.RAIN[m] + c.E0[m];
            r = (wetAndDemand != 0.0 && c.W_FC > 0.0)
                    ? 0.8 * (c.RAIN[m] * c.RAIN[m]) / (wetAndDemand * c.W_FC)
                    : 0.0;
        }
        c.RUNOFF_PLUS[m] = 0.0;
        c.sumSNOW_M += c.SNOW_M[m];

        if (c.W_FC > 0.0) {
            c.UP_CAP_TR[m] = (c.W_FC - w) * c.CAP / (c.WATER_TABLE * c.W_FC);
            const MonthResult month = soilWaterOfMonth(c, rates, w, c.RAIN[m], c.E0[m], r);
            w = month.w;
            c.EVAP[m] = month.evap;
            c.RUNOFF[m] = month.runoff;
            c.RUNOFF_PLUS[m] = month.overflow;
        } else {
            // A soil that holds no water (no rooting depth or no texture): nothing is drawn
            // up from the water table, nothing evaporates from it, all water runs off.
            c.UP_CAP_TR[m] = 0.0;
            w = 0.0;
            c.EVAP[m] = 0.0;
            c.RUNOFF[m] = c.RAIN[m];
        }

        if (evapFactor != 1.0) {
            const double kept = (1.0 - evapFactor) * c.EVAP[m];
            c.EVAP[m] -= kept;
            w += kept;
            if (w > c.W_FC) {
                c.RUNOFF_PLUS[m] += w - c.W_FC;
                w = c.W_FC;
            }
        }

        c.WATER_S[m] = w;
        c.SNOW_S[m] = c.snowStore;
        c.DELTA_W[m] = c.UP_CAP_TR[m] + c.RAIN[m] - c.EVAP[m] - c.RUNOFF[m];
        c.DW_PLUS[m] = c.DELTA_W[m] - c.RUNOFF_PLUS[m];
        c.sumE0 += c.E0[m];
        c.sumEVAP += c.EVAP[m];
        c.sumRAIN += c.RAIN[m];
        c.sumUP_CAP_TR += c.UP_CAP_TR[m];
        c.sumRUNOFF += c.RUNOFF[m];
        c.sumRUNOFF_PLUS += c.RUNOFF_PLUS[m];
        c.sumDELTA_W += c.DELTA_W[m];
        c.sumDW_PLUS += c.DW_PLUS[m];
        c.sumWATER_S += c.WATER_S[m];
    }
    c.soilWater = w;
}

void setDayLengthFactors(ModelState& model) {
    Climate& c = model.climate;
    const double latitude = model.site.LATITUDE;
    if (latitude <= 1e-06) {
        // Equatorial and southern sites take the equator's day lengths.
        hostOf(model).writeStandardOutput("Plot is at equator?\n");
        for (int m = 1; m <= MONTHS; ++m) c.DL[m] = DAY_LENGTH[m][0];
        return;
    }
    if (latitude <= 50.0) {
        int upper = 1;
        while (TABLE_LATITUDE[upper] < latitude) ++upper;
        const int lower = upper - 1;
        const double l1 = TABLE_LATITUDE[lower];
        const double l2 = TABLE_LATITUDE[upper];
        for (int m = 1; m <= MONTHS; ++m) {
            const double f1 = DAY_LENGTH[m][lower];
            const double f2 = DAY_LENGTH[m][upper];
            c.DL[m] = f2 - (f2 - f1) * (l2 - latitude) / (l2 - l1);
        }
        return;
    }
    for (int m = 1; m <= MONTHS; ++m) c.DL[m] = DAY_LENGTH[m][LATITUDE_COLUMNS - 1];
}

void setSoilConstants(ModelState& model) {
    Climate& c = model.climate;
    const Site& site = model.site;
    c.ADJ_ROOT_DEPTH = std::min({site.ROOT_DEPTH, site.SOIL_DEPTH, 2.0 * site.WATER_DEPTH});
    c.WATER_TABLE = site.WATER_DEPTH - 0.5 * c.ADJ_ROOT_DEPTH;
    if (c.WATER_TABLE <= 0.0) c.WATER_TABLE = 0.01;
    c.CAP = site.WATER_DEPTH <= site.SOIL_DEPTH ? 15.0 : 0.0;
    c.W_FC = (100.0 - site.PERCENT_ROCK) * site.TEXTURE * c.ADJ_ROOT_DEPTH * 0.01;
    c.W_K = 0.7 * c.W_FC;
}

}  // namespace

namespace {

// The weather record of a year, or 0 when the weather holds none for it.
std::size_t weatherRecordOf(const ModelState& model, int year) {
    const std::vector<WeatherYear>& years = model.weather.years;
    int record = year;
    if ((record < 1 || record >= static_cast<int>(years.size())) && model.weather.recordYears > 0) {
        record = (year - 1) % model.weather.recordYears + 1;  // the record repeats in turn
    }
    return record >= 1 && record < static_cast<int>(years.size()) ? static_cast<std::size_t>(record) : 0;
}

}  // namespace

void takeWeatherYear(ModelState& model, int year) {
    const std::size_t record = weatherRecordOf(model, year);
    if (record != 0) {
        model.climate.stationTemperature = model.weather.years[record].temperature;
        model.climate.stationPrecipitation = model.weather.years[record].precipitation;
    }
    model.climate.weatherYear = year;
}

void computeYearlyClimate(ModelState& model) {
    Climate& c = model.climate;
    const bool yearToYear = model.params.CLIMATE_CHANGE == 1;
    const MonthlyValues& stationTemperature =
        yearToYear ? c.stationTemperature : model.weather.meanTemperature;
    const MonthlyValues& stationPrecipitation =
        yearToYear ? c.stationPrecipitation : model.weather.meanPrecipitation;

    const double dz = model.weather.stationElevation - model.site.ELEVATION;
    for (int m = 1; m <= MONTHS; ++m) {
        // Air cools faster with height in the warm months than in the frozen ones.
        if (stationTemperature[m] > 0.0) {
            c.TEMP[m] = stationTemperature[m] + dz * 0.006516;
        } else {
            c.TEMP[m] = stationTemperature[m] + dz * 0.00401;
        }
        c.PREC[m] = stationPrecipitation[m];
        c.SNOW_D_D[m] = c.TEMP[m] > SNOW_TEMPERATURE ? DAYS_IN_MONTH[m] * (c.TEMP[m] + 3.4) : 0.0;
    }

    c.DEGREE_DAYS = 0.0;
    for (int m = 1; m <= MONTHS; ++m) {
        if (c.TEMP[m] > 4.44) c.DEGREE_DAYS += DAYS_IN_MONTH[m] * (c.TEMP[m] - 4.44);
    }

    if (continuesPreviousYear(model)) {
        // Each month's heat index covers the twelve months ending with it. A month's term is
        // the same in every index it enters, so each is computed once.
        // The terms of the two years stand in one row, last year's months first, so that the
        // index of month m sums the twelve terms of the row starting at last year's month m + 1,
        // in calendar order. All twelve sums advance together, one term at a time.
        std::array<double, 2 * MONTHS> terms{};
        for (int k = 1; k <= MONTHS; ++k) {
            terms[static_cast<size_t>(k - 1)] = heatIndexTermOfMonth(c.remembered, k, c.previousTEMP[k]);
            terms[static_cast<size_t>(MONTHS + k - 1)] = heatIndexTermOfMonth(c.remembered, k, c.TEMP[k]);
        }
        std::array<double, MONTHS> index{};
        for (size_t j = 0; j < MONTHS; ++j) {
            for (size_t m = 0; m < MONTHS; ++m) index[m] += terms[m + 1 + j];
        }
        for (int m = 1; m <= MONTHS; ++m) c.I[m] = index[static_cast<size_t>(m - 1)];
    } else {
        double index = 0.0;
        for (int m = 1; m <= MONTHS; ++m) index += heatIndexTermOfMonth(c.remembered, m, c.TEMP[m]);
        for (int m = 1; m <= MONTHS; ++m) c.I[m] = index;
    }
    for (int m = 1; m <= MONTHS; ++m) {
        const double i = c.I[m];
        c.A[m] = (0.675 * (i * i * i) - 77.1 * (i * i) + 17920.0 * i + 492390.0) * 1e-06;
    }

    c.previousTEMP = c.TEMP;
}

void computeWaterBalance(ModelState& model) {
    Climate& c = model.climate;
    setDayLengthFactors(model);
    setSoilConstants(model);

    if (continuesPreviousYear(model)) {
        runMonthlyBalance(model);
    } else {
        // Start from a soil at field capacity under last winter's snow and repeat the year
        // until the soil water settles.
        c.snowStore = 0.0;
        for (int m = 7; m <= MONTHS; ++m) {
            if (c.TEMP[m] <= 0.0) c.snowStore += c.PREC[m];
        }
        c.soilWater = c.W_FC;
        int passes = 0;
        double start = 0.0;
        do {
            start = c.soilWater;
            runMonthlyBalance(model);
            ++passes;
        } while (std::fabs(c.soilWater - start) > SPIN_UP_TOLERANCE && passes < MAX_SPIN_UP_PASSES);
    }

    switch (model.params.WATER_STRESS_MODE) {
        case 0:
            c.WILT = c.sumE0 > 0.0 ? (c.sumE0 - c.sumEVAP) / c.sumE0 : 0.0;
            break;
        case 1:
            c.WILT = c.sumE0 > 0.0 ? (c.sumE0 - c.sumWATER_S * 0.24390243902439027) / c.sumE0 : 0.0;
            break;
        default:
            break;
    }
}

namespace {

// Every input of a year's climate and water balance, as the two computations read them; what a
// year that starts afresh does not read stands as 0, so that such years match whatever came before.
std::array<double, ClimateMemo::INPUTS> climateInputs(const ModelState& model) {
    const Climate& c = model.climate;
    const RunParameters& p = model.params;
    const Site& site = model.site;
    const bool yearToYear = p.CLIMATE_CHANGE == 1;
    const bool continuing = continuesPreviousYear(model);
    std::array<double, ClimateMemo::INPUTS> inputs{};
    std::size_t k = 0;
    for (const double value :
         {static_cast<double>(p.CLIMATE_CHANGE), continuing ? 1.0 : 0.0, model.weather.stationElevation,
          site.ELEVATION, site.LATITUDE, site.ROOT_DEPTH, site.SOIL_DEPTH, site.WATER_DEPTH,
          site.PERCENT_ROCK, site.TEXTURE, p.EVAP_FACTOR, static_cast<double>(p.WATER_STRESS_MODE),
          continuing ? c.soilWater : 0.0, continuing ? c.snowStore : 0.0}) {
        inputs[k++] = value;
    }
    const MonthlyValues& temperature = yearToYear ? c.stationTemperature : model.weather.meanTemperature;
    const MonthlyValues& precipitation =
        yearToYear ? c.stationPrecipitation : model.weather.meanPrecipitation;
    for (int m = 1; m <= MONTHS; ++m) {
        inputs[k++] = temperature[static_cast<size_t>(m)];
        inputs[k++] = precipitation[static_cast<size_t>(m)];
        inputs[k++] = continuing ? c.previousTEMP[static_cast<size_t>(m)] : 0.0;
    }
    return inputs;
}

// What most often tells a weather record's kept computations apart, folded into one word: the
// evaporation factor, the soil water and snow carried in, January's and December's temperatures.
std::uint64_t inputsTag(const std::array<double, ClimateMemo::INPUTS>& inputs) {
    std::uint64_t tag = 0;
    for (const std::size_t k :
         {std::size_t{10}, std::size_t{12}, std::size_t{13}, std::size_t{14}, std::size_t{47}}) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &inputs[k], sizeof bits);
        tag = ((tag << 7) | (tag >> 57)) ^ bits;
    }
    return tag;
}

}  // namespace

void computeClimateOfYear(ModelState& model) {
    // A site at the equator is reported by each computation: those are never taken from the memo.
    if (model.site.LATITUDE <= 1e-06) {
        computeYearlyClimate(model);
        computeWaterBalance(model);
        return;
    }
    ClimateMemo& memo = model.climateMemo;
    Climate& c = model.climate;
    const std::array<double, ClimateMemo::INPUTS> inputs = climateInputs(model);
    // Where to look: the year of the weather file's record (a long run's weather repeats it, and
    // its repeated years share their computations), and a tag of a few inputs; every input is
    // compared.
    std::size_t record = 0;
    if (model.params.CLIMATE_CHANGE == 1) {
        const int recordYears = model.weather.recordYears;
        record = recordYears > 0 && c.weatherYear >= 1
                     ? static_cast<std::size_t>((c.weatherYear - 1) % recordYears + 1)
                     : weatherRecordOf(model, c.weatherYear);
    }
    const std::uint64_t tag = inputsTag(inputs);
    if (record < memo.latestOfRecord.size()) {
        for (std::uint32_t k = memo.latestOfRecord[record]; k != ClimateMemo::NONE;
             k = memo.links[k].earlier) {
            if (memo.links[k].tag != tag) continue;
            const ClimateMemo::Entry& entry = memo.entries[k];
            // Bit for bit: -0.0 is not 0.0 to every formula.
            if (std::memcmp(entry.inputs.data(), inputs.data(), sizeof(double) * inputs.size()) == 0) {
                static_cast<ClimateResults&>(c) = entry.result;  // the rest stays as it is
                ++memo.taken;
                return;
            }
        }
    }
    computeYearlyClimate(model);
    computeWaterBalance(model);
    if (memo.entries.size() < ClimateMemo::CAPACITY) {
        if (record >= memo.latestOfRecord.size()) memo.latestOfRecord.resize(record + 1, ClimateMemo::NONE);
        memo.entries.push_back(ClimateMemo::Entry{inputs, c});
        memo.links.push_back(ClimateMemo::Link{tag, memo.latestOfRecord[record]});
        memo.latestOfRecord[record] = static_cast<std::uint32_t>(memo.entries.size() - 1);
    }
}

}  // namespace dravia
