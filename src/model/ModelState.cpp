#include "model/ModelState.h"

#include <cassert>

namespace dravia {

Host& hostOf(ModelState& model) {
    assert(model.host != nullptr);
    return *model.host;
}

}  // namespace dravia
