#pragma once

#include <optional>
#include <string_view>

#include "model/ModelState.h"
#include "platform/Paths.h"

namespace dravia {

// The three kinds of input a statistics reading takes.
enum class StatsKind { General = 1, Disturbance = 2, AfterDisturbance = 3 };

// The twelve values of one record line (a species record of a results file or a disturbance
// record): year, plot and species number, then population, basal area, stem, bark, branch,
// root, leaf and total biomass, and volume.
struct StatsRecord {
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

// Reads one output file of a finished run into the statistics table; the file is closed on return.
// The results files' header values become the run values in force. Ends the program (status 3)
// when the run cannot be analysed.
void readStatsInput(ModelState& model, StatsKind kind, FileHandle file);

}  // namespace dravia
