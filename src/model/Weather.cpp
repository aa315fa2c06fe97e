#include "model/Weather.h"

namespace dravia {

void takeWeatherYear(ModelState&, int) {}
void computeYearlyClimate(ModelState&) {}
void computeWaterBalance(ModelState&) {}

}  // namespace dravia
