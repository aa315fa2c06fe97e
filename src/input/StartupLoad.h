#pragma once

#include "model/ModelState.h"

namespace dravia {

// The start-up loading of every input file in its fixed order, ending with RANDOM_STATE from
// SEED_INIT. A reader error shows its text and ends the program (ProgramExit, status 255).
void loadAtStartup(ModelState& model, int mode = 1);

}  // namespace dravia
