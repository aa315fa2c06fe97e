#include "model/SiteQuality.h"

namespace dravia {

void computeSiteQuality(ModelState&) {}

}  // namespace dravia
