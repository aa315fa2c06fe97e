#pragma once

#include <functional>

#include "model/ModelState.h"

namespace dravia {

// What the run driver wants done around each removal (the disturbance data output);
// the model itself knows nothing of output files.
struct DisturbanceObserver {
    std::function<void(ModelState&, const Plot&)> beforeRemoval;
    std::function<void(ModelState&, const Plot&)> afterRemoval;
};

// Logging and windthrow of the plot this year; true when either struck.
bool decideDisturbance(ModelState& model, Plot& plot, const DisturbanceObserver& observer);

// Removes the trees of the plot whose DBH is at least minimumDiameter (cm), or all trees
// when it is 0, with the observer's calls around the removal.
void applyDisturbance(ModelState& model, Plot& plot, double minimumDiameter,
                      const DisturbanceObserver& observer);

}  // namespace dravia
