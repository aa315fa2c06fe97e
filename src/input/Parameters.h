#pragma once

#include <cstddef>
#include <string>

#include "model/ModelState.h"

namespace dravia {

inline constexpr const char* RUN_TIME_CONTROL_FILE = "Data\\inputOutputRunTimeParams.txt";
inline constexpr const char* STATS_RUN_TIME_CONTROL_FILE = "Data\\statsInputOutputRunTimeParams.txt";
inline constexpr const char* STATS_INITIAL_VALUES_FILE = "Data\\statsInitParams.txt";

// Room of the text parameters, in characters.
inline constexpr std::size_t FILE_NAME_LENGTH = 255;
inline constexpr std::size_t NAME_LABEL_LENGTH = 29;      // habitat and weather-type names
inline constexpr std::size_t CALENDAR_YEARS_LENGTH = 15;  // WTHR_CAL_YEARS
inline constexpr std::size_t MONITOR_FILE_LENGTH = 23;

// The 14 items of a run-time control file; throws ReaderError.
void readRunTimeControlFile(ModelState& model, const std::string& path);

// The 44 items of an initial-values file; throws ReaderError.
void readInitialValuesFile(ModelState& model, const std::string& path);

// The two statistics copies as they are written from the parameters in force.
std::string runTimeControlCopyText(const RunParameters& p);
std::string initialValuesCopyText(const RunParameters& p);

// Writes the parameters in force to the two statistics copies. A copy that cannot be
// created shows errorLog 15 and ends the program.
void writeStatisticsCopies(ModelState& model);
// Removes the copies of an earlier run, so that copies and results always belong to the same
// completed run.
void removeStatisticsCopies();

}  // namespace dravia
