#include "input/Communities.h"

namespace dravia {

void applyCommunity(ModelState&, int, bool) {}
void setSpeciesColours(ModelState&) {}

}  // namespace dravia
