#pragma once

#include <cstddef>
#include <cstdint>
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

// The key of an iteration's totals in a slot: keys order by slot, then by iteration number.
std::uint64_t statsIterationKey(int slot, int iteration);
int slotOfStatsIterationKey(std::uint64_t key);

// The most (iteration, slot) totals a reading holds: twice a run of 1,000 iterations reported in
// every one of the 501 slots, about 100 MB. A file needing more is refused.
inline constexpr std::size_t STATS_ITERATION_TOTALS_LIMIT = 2 * 1000 * STATS_SLOTS;

// Reads one output file of a finished run into the statistics table and the iteration totals;
// the file is closed on return. The results files' header values become the run values in force.
// Ends the program (status 3) when the run cannot be analysed; fileName names the file in that
// message.
void readStatsInput(ModelState& model, StatsKind kind, FileHandle file, const std::string& fileName = {});

}  // namespace dravia
