#include "input/SpeciesFile.h"

namespace dravia {

void readSpeciesFile(ModelState&) {}

}  // namespace dravia
