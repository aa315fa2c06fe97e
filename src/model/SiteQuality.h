#pragma once

#include "model/ModelState.h"

namespace dravia {

// The yearly climate and water balance, every species' SITE_QUALITY. The run driver writes
// the monitor file after it.
void computeSiteQuality(ModelState& model);

}  // namespace dravia
