#include "output/Tally.h"

namespace dravia {

void summarizePlot(ModelState&) {}

}  // namespace dravia
