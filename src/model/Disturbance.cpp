#include "model/Disturbance.h"

namespace dravia {

bool decideDisturbance(ModelState&, const DisturbanceObserver&) { return false; }
void applyDisturbance(ModelState&, double, const DisturbanceObserver&) {}

}  // namespace dravia
