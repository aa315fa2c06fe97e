#pragma once

#include "model/ModelState.h"

namespace dravia {

inline constexpr const char* COLOUR_FILE = "Data\\colors.txt";

// Fills rows 1..8 of the colour table from the colour file, or from the default table (with
// errorLog 1) when the file cannot be opened. Row 0 and column 0 stay 0.
void readColourFile(ModelState& model);

// Rows 1..8 of the default table.
void useDefaultColours(ModelState& model);

}  // namespace dravia
