#pragma once

#include "model/ModelState.h"

namespace dravia {

// Fills VOLUME_COEF with the three stem-volume coefficients of every species number;
// the Run command does this before every run.
void fillVolumeCoefficients(ModelState& model);

}  // namespace dravia
