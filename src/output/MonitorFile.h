#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// The monitor file: the year's climate, water balance and site-quality factors, appended each
// time the site quality is computed while MONITOR_FLAG is set.

// The file's name: a name of at most seven characters gets the climate ("1." year-to-year,
// "0." constant) and the site elevation in whole metres appended.
std::string monitorFileName(const RunParameters& params, const Site& site);

// The report of the year's climate and site quality.
std::string monitorText(const ModelState& model);

// Appends the report to the monitor file, whose name becomes the one in force. A file that
// cannot be opened ends the program abnormally (status 3).
void writeMonitorFile(ModelState& model);

}  // namespace dravia
