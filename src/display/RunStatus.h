#pragma once

#include <QString>

#include "model/ModelState.h"

namespace dravia {

// Where a run stands, in the words of the title bar, the status line and the plot header:
// "iteration 2 of 20 · year 55 of 300 (2045) · paused". The year counts from 1 as the charts
// and the results do; the calendar year (BASE_YEAR on) follows in brackets. Empty before the
// first run.
QString runProgressText(const ModelState& model);

// The scenario, then where its run stands: "Northern hardwoods NH, Normal climate · iteration
// 2 of 20 · year 55 of 300 (2045)".
QString runStatusText(const ModelState& model);

}  // namespace dravia
