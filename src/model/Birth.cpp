#include "model/Birth.h"

namespace dravia {

void addSaplings(ModelState&) {}

}  // namespace dravia
