#pragma once

#include "model/ModelState.h"

namespace dravia {

// The next number of the model's one random stream, in [0, 1]; advances RANDOM_STATE.
double randomUniform(ModelState& model);

// The same generator over a bare state value.
double randomUniform(double& state);

// Seeds that start a full stream: whole numbers from 1 to 2^31 - 2. A state of 0 stays 0 for ever,
// and states outside the modulus or between whole numbers leave the generator's exact arithmetic.
inline constexpr double SMALLEST_SEED = 1.0;
inline constexpr double LARGEST_SEED = 2147483646.0;
bool isUsableSeed(double seed);

}  // namespace dravia
