#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/ModelState.h"
#include "platform/Paths.h"

namespace dravia {

// The three kinds of input a statistics reading takes.
enum class StatsKind { General = 1, Disturbance = 2, AfterDisturbance = 3 };

// The iteration number and the twelve values of one record line (a species record of a results file or a disturbance
// record): year, plot and species number, then population, basal area, stem, bark, branch,
// root, leaf and total biomass, and volume.
struct StatsRecord {
    int iteration = 0;
    int year = 0;
    int plot = 0;
    int species = 0;
    double POP = 0.0, BA = 0.0, STEM_BM = 0.0, BARK_BM = 0.0, BRANCH_BM = 0.0, ROOT_BM = 0.0, LEAF_BM = 0.0;
    double TOT_BIOM = 0.0, TOT_VOL = 0.0;
};

// A line is a record when it holds exactly thirteen numbers, the first four of them whole.
std::optional<StatsRecord> parseStatsRecord(std::string_view line);

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
