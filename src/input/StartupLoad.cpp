#include "input/StartupLoad.h"

#include "platform/Host.h"
#include "platform/ProgramExit.h"

namespace dravia {

void loadAtStartup(ModelState& model, int) {
    hostOf(model).showMessage("Start-up loading of the input files is not built yet.", MessageIcon::Error);
    throw ProgramExit{EXIT_STARTUP_READER};
}

}  // namespace dravia
