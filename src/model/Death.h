#pragma once

#include "model/ModelState.h"
#include "model/Removal.h"

namespace dravia {

// Applies this year's mortality to the plot; the observer hears of each death and its cause.
void killTrees(ModelState& model, Plot& plot, const RemovalObserver& observer = {});

}  // namespace dravia
