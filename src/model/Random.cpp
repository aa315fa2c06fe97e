#include "model/Random.h"

#include <cmath>

namespace dravia {

double randomUniform(double& state) {
    // Minimal standard generator (16807, 2^31 - 1) in double precision. The integer part
    // comes from the rounded quotient, so the state may rarely turn slightly negative;
    // the absolute value keeps the result non-negative.
    const double quotient = state * 7.826369259425611e-06;
    const double k = std::trunc(quotient);
    state = state * 16807.0 - k * 2147483647.0;
    return std::fabs(state * 4.656612875245797e-10);
}

bool isUsableSeed(double seed) {
    return seed >= SMALLEST_SEED && seed <= LARGEST_SEED && std::trunc(seed) == seed;
}

double randomUniform(ModelState& model) {
    return randomUniform(model.run.RANDOM_STATE);
}

}  // namespace dravia
