// The statistics reader over the three files it reads: results, disturbance and
// after-disturbance files. The first byte picks the kind and the disturbance timing the
// parameter files gave the run (they are not in the disturbance file); the rest is the file.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "FuzzSupport.h"
#include "output/StatsReader.h"
#include "platform/ProgramExit.h"

using namespace dravia;

namespace {

constexpr int FIRST_DISTURB_YEARS[5] = {10, 0, -5, INT_MIN, INT_MAX};
constexpr int BLOW_FREQS[5] = {20, 1, 0, -3, INT_MAX};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static fuzz::SilentHost host;
    ModelState& model = fuzz::freshModel(host);
    const int choice = data[0];
    const StatsKind kind = static_cast<StatsKind>(choice % 3 + 1);
    model.params.NUM_ITERS = 2;
    model.params.NUM_YEARS = 100;
    model.params.RESULTS_INTERV = 10;
    model.params.FIRST_DISTURB_YEAR = FIRST_DISTURB_YEARS[(choice / 3) % 5];
    model.params.BLOW_FREQ = BLOW_FREQS[(choice / 15) % 5];

    std::vector<char> content(data + 1, data + size);
    FileHandle file;
    if (!content.empty()) file.reset(fmemopen(content.data(), content.size(), "r"));
    try {
        readStatsInput(model, kind, std::move(file));
        if (model.statistics.MAX_DISTURBANCE_SLOT < 0 || model.statistics.MAX_DISTURBANCE_SLOT >= STATS_SLOTS)
            fuzz::finding("a disturbance slot outside the table");
    } catch (const ProgramExit& exit) {
        // The reader ends the program only abnormally, after a numbered message or one that says
        // what in the file cannot belong to a run.
        if (exit.status != EXIT_ABNORMAL || host.messages.empty() ||
            (host.messages.back().rfind("errorLog ", 0) != 0 &&
             host.messages.back().rfind("Error: ", 0) != 0))
            fuzz::finding("the statistics reader ended the program without its message");
    }
    return 0;
}
