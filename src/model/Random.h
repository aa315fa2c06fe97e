#pragma once

#include "model/ModelState.h"

namespace dravia {

// The next number of the model's one random stream, in [0, 1]; advances RANDOM_STATE.
double randomUniform(ModelState& model);

// The same generator over a bare state value.
double randomUniform(double& state);

}  // namespace dravia
