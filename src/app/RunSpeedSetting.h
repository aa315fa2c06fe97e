#pragma once

namespace dravia {

// The years per second runs are watched at, kept in the settings store beside the window
// placement ("Settings", "YearsPerSecond"); 0, the default, is unlimited.
inline constexpr const char* YEARS_PER_SECOND_KEY = "YearsPerSecond";

// The stored speed; a missing or unknown one reads as unlimited.
int loadStoredYearsPerSecond();
void storeYearsPerSecond(int yearsPerSecond);

}  // namespace dravia
