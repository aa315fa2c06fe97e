#pragma once

#include <functional>

#include "model/ModelState.h"
#include "model/Removal.h"

namespace dravia {

// What the run driver wants done around each logging or windthrow (the disturbance data output)
// and at each tree it removes; the model itself knows nothing of output files.
struct DisturbanceObserver {
    std::function<void(ModelState&, const Plot&, RemovalCause)> beforeRemoval;
    std::function<void(ModelState&, const Plot&, RemovalCause)> afterRemoval;
    RemovalObserver removed;
};

// Logging and windthrow of the plot this year; true when either struck.
bool decideDisturbance(ModelState& model, Plot& plot, const DisturbanceObserver& observer);

// Removes the trees of the plot whose DBH is at least minimumDiameter (cm), or all trees
// when it is 0, with the observer's calls around the removal; cause is Logging or Windthrow.
void applyDisturbance(ModelState& model, Plot& plot, double minimumDiameter, RemovalCause cause,
                      const DisturbanceObserver& observer);

}  // namespace dravia
