#pragma once

#include "model/ModelState.h"

namespace dravia {

inline constexpr const char* STARTUP_INITIAL_VALUES_FILE = "Data\\initParams.txt";
inline constexpr const char* FALLBACK_INITIAL_VALUES_FILE = "Data\\virginiaInitNormalParams.txt";

// The crown shape drawn for a species without a tree picture: 0 triangle, 1 oval.
int fixedCrownShape(int sn);

// The start-up loading of every input file in its fixed order, ending with RANDOM_STATE from
// SEED_INIT. A reader error shows its text and ends the program (ProgramExit, status 255).
void loadAtStartup(ModelState& model);

}  // namespace dravia
