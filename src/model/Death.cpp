#include "model/Death.h"

namespace dravia {

void killTrees(ModelState&) {}

}  // namespace dravia
