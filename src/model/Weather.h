#pragma once

#include "model/ModelState.h"

namespace dravia {

// The snow pack of the water balance: it melts at this rate above this temperature.
inline constexpr double SNOW_MELT_RATE = 2.7;     // mm of melt per melt degree-day
inline constexpr double SNOW_TEMPERATURE = -3.4;  // °C; no melt at or below it

// Copies weather-record year `year` into the station weather of the climate computation.
void takeWeatherYear(ModelState& model, int year);

// Site temperatures, degree-days, melt degree-days, heat index and exponent of the year.
void computeYearlyClimate(ModelState& model);

// Day-length factors, soil constants, the monthly soil-water balance and WILT.
void computeWaterBalance(ModelState& model);

// computeYearlyClimate then computeWaterBalance, or the results of an earlier computation from
// exactly the same inputs (the climate memo).
void computeClimateOfYear(ModelState& model);

}  // namespace dravia
