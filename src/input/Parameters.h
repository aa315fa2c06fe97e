#pragma once

#include <cstddef>
#include <string>

#include "model/ModelState.h"

namespace dravia {

inline constexpr const char* RUN_TIME_CONTROL_FILE = "Data\\inputOutputRunTimeParams.txt";

// Room of the text parameters, in characters.
inline constexpr std::size_t FILE_NAME_LENGTH = 255;
inline constexpr std::size_t NAME_LABEL_LENGTH = 29;      // habitat and weather-type names
inline constexpr std::size_t CALENDAR_YEARS_LENGTH = 15;  // WTHR_CAL_YEARS
inline constexpr std::size_t MONITOR_FILE_LENGTH = 23;

// The 14 items of a run-time control file; throws ReaderError.
void readRunTimeControlFile(ModelState& model, const std::string& path);

// The 44 items of an initial-values file; throws ReaderError.
void readInitialValuesFile(ModelState& model, const std::string& path);

}  // namespace dravia
