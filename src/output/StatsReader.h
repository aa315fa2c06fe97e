#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/ModelState.h"
#include "output/RecordLayout.h"
#include "platform/Paths.h"

namespace dravia {

// The three kinds of input a statistics reading takes.
enum class StatsKind { General = 1, Disturbance = 2, AfterDisturbance = 3 };

// The time slot of a record year for the kind, or none when the year has no slot.
std::optional<int> statsSlotOfYear(const ModelState& model, StatsKind kind, int year);

// Reads one output file of a finished run into the statistics table and the slots' stand totals,
// as sums over the iterations of the mean plot; the file is closed on return. The results files' header
// values become the run values in force. Ends the program (status 3) when the run cannot be analysed;
// fileName names the file in that message.
void readStatsInput(ModelState& model, StatsKind kind, FileHandle file, const std::string& fileName = {});

}  // namespace dravia
