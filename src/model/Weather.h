#pragma once

#include "model/ModelState.h"

namespace dravia {

// Copies weather-record year `year` into the station weather of the climate computation.
void takeWeatherYear(ModelState& model, int year);

// Site temperatures, degree-days, melt degree-days, heat index and exponent of the year.
void computeYearlyClimate(ModelState& model);

// Day-length factors, soil constants, the monthly soil-water balance and WILT.
void computeWaterBalance(ModelState& model);

}  // namespace dravia
