#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// Switches to community preset `option` (1..8): its initial-values file and files when
// loadFiles is set, and its species switched off.
void applyCommunity(ModelState& model, int option, bool loadFiles);

// Copies row COMMUNITY of the colour table into every species' colourIndex.
void setSpeciesColours(ModelState& model);

}  // namespace dravia
