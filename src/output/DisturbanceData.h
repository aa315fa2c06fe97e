#pragma once

#include "model/ModelState.h"

namespace dravia {

// Measures what a disturbance removes from CURRENT_PLOT: called once before the removal and
// once after it; the second call writes the disturbance data records.
void writeDisturbanceData(ModelState& model, bool beforeRemoval);

}  // namespace dravia
