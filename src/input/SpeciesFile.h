#pragma once

#include <cstddef>

#include "model/ModelState.h"

namespace dravia {

// Room of the species' text values (name, second name, bitmap file names), in characters.
inline constexpr std::size_t SPECIES_TEXT_LENGTH = 254;

// Degree-day limits are entered in °F-days and held in °C-days.
inline constexpr double DEGREE_DAY_CONVERSION = 0.55556;

// Reads SPP_PARAM_FILE into the species table (with the tree pictures); throws ReaderError.
void readSpeciesFile(ModelState& model);

// Loads the small and large tree pictures a species names; a picture that cannot be read is
// reported, and its name becomes "NONE".
void loadSpeciesBitmaps(ModelState& model, Species& species);

}  // namespace dravia
