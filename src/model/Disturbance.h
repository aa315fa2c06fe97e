#pragma once

#include <functional>

#include "model/ModelState.h"

namespace dravia {

// What the run driver wants done around each removal (the disturbance data output);
// the model itself knows nothing of output files.
struct DisturbanceObserver {
    std::function<void(ModelState&)> beforeRemoval;
    std::function<void(ModelState&)> afterRemoval;
};

// Logging and windthrow of CURRENT_PLOT this year; true when either struck.
bool decideDisturbance(ModelState& model, const DisturbanceObserver& observer);

// Removes the trees of CURRENT_PLOT whose DBH is at least minimumDiameter (cm), or all trees
// when it is 0, with the observer's calls around the removal.
void applyDisturbance(ModelState& model, double minimumDiameter, const DisturbanceObserver& observer);

}  // namespace dravia
