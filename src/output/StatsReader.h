#pragma once

#include <optional>
#include <string_view>

#include "model/ModelState.h"
#include "output/RecordLayout.h"
#include "platform/Paths.h"

namespace dravia {

// The three kinds of input a statistics reading takes.
enum class StatsKind { General = 1, Disturbance = 2, AfterDisturbance = 3 };

// The time slot of a record year for the kind, or none when the year has no slot.
std::optional<int> statsSlotOfYear(const ModelState& model, StatsKind kind, int year);

// Reads one output file of a finished run into the statistics table; the file is closed on return.
// The results files' header values become the run values in force. Ends the program (status 3)
// when the run cannot be analysed.
void readStatsInput(ModelState& model, StatsKind kind, FileHandle file);

}  // namespace dravia
