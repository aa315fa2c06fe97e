#pragma once

#include "model/ModelState.h"

namespace dravia {

// The yearly climate and water balance, every species' SITE_QUALITY. The run driver writes
// the monitor file after it.
void computeSiteQuality(ModelState& model);

// Climate memory: adds the year's degree-days and drought to the plot's remembered years (keeping
// the latest CLIMATE_MEMORY_YEARS) and sets every species' ESTABLISHED_SITE_QUALITY from their
// means, with the year's own wetness and nitrogen factors.
void rememberClimateOfYear(ModelState& model, Plot& plot);

}  // namespace dravia
