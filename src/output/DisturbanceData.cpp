#include "output/DisturbanceData.h"

namespace dravia {

void writeDisturbanceData(ModelState&, bool) {}

}  // namespace dravia
