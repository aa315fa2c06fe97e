#pragma once

#include "model/ModelState.h"

namespace dravia {

// Conversions of the weather file's units into the model's.
inline constexpr double FAHRENHEIT_TO_CELSIUS = 0.5555555555555556;  // after subtracting 32
inline constexpr double INCHES_TO_MM = 25.4;
inline constexpr double STATION_FEET_TO_METRES = 0.3048;

// Reads WTHR_FILE as constant climate (0) or year-to-year record (1); any other value reads
// nothing. A file that cannot be opened shows errorLog 2 and throws ReaderError with an empty
// text; a file whose numbers cannot be read throws ReaderError with its message.
void readWeatherFile(ModelState& model, int climateChange);

}  // namespace dravia
