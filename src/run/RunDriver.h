#pragma once

#include "model/ModelState.h"

namespace dravia {

// The message a run that ran to its end closes with.
inline constexpr const char* RUN_COMPLETED_MESSAGE = "Simulation Completed.";

enum class RunOutcome {
    Finished,    // the run ended: completed, quit, or declined by the user
    NotStarted,  // the plot or weather file could not be read at the start
};

// Prepares a run and loops, taking waiting window messages and simulating one year per pass,
// until the run ends. The Run command fills VOLUME_COEF first.
RunOutcome runSimulation(ModelState& model);

// One simulated year for every plot, with the end-of-iteration and end-of-run handling.
void stepYear(ModelState& model);

}  // namespace dravia
