#pragma once

#include "model/ModelState.h"

namespace dravia {

// Reads SPP_PARAM_FILE into the species table (with the tree pictures); throws ReaderError.
void readSpeciesFile(ModelState& model);

}  // namespace dravia
