#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

inline constexpr const char* RUN_TIME_CONTROL_FILE = "Data\\inputOutputRunTimeParams.txt";
inline constexpr const char* STATS_RUN_TIME_CONTROL_FILE = "Data\\statsInputOutputRunTimeParams.txt";
inline constexpr const char* STATS_INITIAL_VALUES_FILE = "Data\\statsInitParams.txt";

// The 14 items of a run-time control file; throws ReaderError.
void readRunTimeControlFile(ModelState& model, const std::string& path);

// The 44 items of an initial-values file; throws ReaderError.
void readInitialValuesFile(ModelState& model, const std::string& path);

// Writes the parameters in force to the two statistics copies.
void writeStatisticsCopies(ModelState& model);

}  // namespace dravia
