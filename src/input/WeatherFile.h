#pragma once

#include "model/ModelState.h"

namespace dravia {

// Reads WTHR_FILE as constant climate (0) or year-to-year record (1); any other value reads
// nothing. A file that cannot be opened shows errorLog 2 and throws ReaderError.
void readWeatherFile(ModelState& model, int climateChange);

}  // namespace dravia
