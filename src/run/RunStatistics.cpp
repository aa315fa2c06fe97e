#include "run/RunStatistics.h"

#include "platform/Host.h"
#include "platform/ProgramExit.h"

namespace dravia {

void runStatistics(ModelState& model, StatsLayout) {
    hostOf(model).showMessage("The statistics are not built yet.", MessageIcon::Error);
    throw ProgramExit{EXIT_FATAL_ERROR};
}

}  // namespace dravia
