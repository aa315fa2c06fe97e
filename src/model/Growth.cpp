#include "model/Growth.h"

namespace dravia {

void growTrees(ModelState&) {}

}  // namespace dravia
