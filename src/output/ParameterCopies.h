#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// At the end of a run the parameters in force are written, in the layout of the parameter files,
// to two statistics copies; the statistics step and merge read them back with the parameter readers.
inline constexpr const char* STATS_RUN_TIME_CONTROL_FILE = "Data\\statsInputOutputRunTimeParams.txt";
inline constexpr const char* STATS_INITIAL_VALUES_FILE = "Data\\statsInitParams.txt";
// Written only by a run with a model option on: the model-options file beside the initial-values copy.
inline constexpr const char* STATS_MODEL_OPTIONS_FILE = "Data\\statsInitModelOptions.txt";

// The two statistics copies as they are written from the parameters in force.
std::string runTimeControlCopyText(const RunParameters& p);
std::string initialValuesCopyText(const RunParameters& p);

// The parameters in force as the run used them: SEED_INIT is the random state the run began with
// (a seed given on the command line, or where an earlier run left the stream), not the file's.
// The statistics copies and the run database describe a run by these.
RunParameters parametersOfRun(const ModelState& model);

// Writes the parameters in force to the two statistics copies. A copy that cannot be
// created shows errorLog 15 and ends the program.
void writeStatisticsCopies(ModelState& model);

// Removes the copies of an earlier run, so that copies and results always belong to the same
// completed run.
void removeStatisticsCopies();

// The model-options copy: a comment line, then "KEY value" of each option that is on.
std::string modelOptionsCopyText(const ModelOptions& options);

}  // namespace dravia
