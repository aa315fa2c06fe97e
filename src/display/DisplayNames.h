#pragma once

#include <QString>
#include <string>

#include "model/ModelState.h"

namespace dravia {

// The words the desktop shows for names the data files write for machines. The engine keeps
// the names as read; only what a person reads here changes.

// A species name as a person writes it: "Sugar_maple" reads "Sugar maple".
QString speciesDisplayName(const std::string& name);

// A climate preset named with its size, from the data's own description: "Warming +3.6 C over
// 100 yr" reads "Warming: +3.6 °C over 100 years"; a plain name ("Normal climate") stays as it
// is. An empty description gives `fallback`.
QString climatePresetName(const std::string& description, const QString& fallback = {});

// The climate preset of a weather type (0 normal, 1 warming), as the current community describes it.
QString climatePresetOf(const RunParameters& params, int weatherType);

// The scenario a run belongs to, in the words of the title bar and the status line: the
// community's habitat and the climate preset.
QString scenarioName(const ModelState& model);

}  // namespace dravia
