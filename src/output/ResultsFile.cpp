#include "output/ResultsFile.h"

namespace dravia {

void writeResults(ModelState&, bool) {}
void writeIntervalOutput(ModelState&) {}

}  // namespace dravia
