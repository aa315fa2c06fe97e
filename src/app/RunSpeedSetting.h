#pragma once

namespace dravia {

// How runs are watched, kept in the settings store beside the window placement ("Settings"):
// the years per second graphics and tabular runs go at ("YearsPerSecond", 0 for unlimited), and
// whether only the first iteration goes at that pace and the others at full speed
// ("WatchFirstIterationOnly").
inline constexpr const char* YEARS_PER_SECOND_KEY = "YearsPerSecond";
inline constexpr const char* WATCH_FIRST_ITERATION_ONLY_KEY = "WatchFirstIterationOnly";

// The stored speed; a missing or unknown one (an edited settings file) reads as the pace of a
// fresh install.
int loadStoredYearsPerSecond();
void storeYearsPerSecond(int yearsPerSecond);

// On unless switched off: a class watches one iteration and sees the others summarised.
bool loadStoredWatchFirstIterationOnly();
void storeWatchFirstIterationOnly(bool firstOnly);

}  // namespace dravia
