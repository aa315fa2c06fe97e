#pragma once

#include "model/ModelState.h"

namespace dravia {

// The yearly climate and water balance, every species' SITE_QUALITY, and the monitor file.
void computeSiteQuality(ModelState& model);

}  // namespace dravia
