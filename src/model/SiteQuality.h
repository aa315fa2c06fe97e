#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// The yearly climate and water balance, every species' SITE_QUALITY, and the monitor file.
void computeSiteQuality(ModelState& model);

// The monitor file's name: a name of at most 7 characters gets the climate type and the
// elevation appended ("mon" becomes "mon0.381").
std::string monitorFileName(const ModelState& model);

}  // namespace dravia
