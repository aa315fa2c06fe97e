#include "input/WeatherFile.h"

namespace dravia {

void readWeatherFile(ModelState&, int) {}

}  // namespace dravia
