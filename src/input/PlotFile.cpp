#include "input/PlotFile.h"

namespace dravia {

void readPlotFile(ModelState&, PlotFileMode) {}

}  // namespace dravia
