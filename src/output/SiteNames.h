#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// The habitat name of the selected community; empty when no community is selected.
inline const std::string& selectedHabitat(const RunParameters& params) {
    static const std::string none;
    if (params.COMMUNITY < 0 || params.COMMUNITY >= static_cast<int>(params.HABITAT.size())) return none;
    return params.HABITAT[static_cast<size_t>(params.COMMUNITY)];
}

inline std::string& selectedHabitatSlot(RunParameters& params, std::string& fallback) {
    if (params.COMMUNITY < 0 || params.COMMUNITY >= static_cast<int>(params.HABITAT.size())) return fallback;
    return params.HABITAT[static_cast<size_t>(params.COMMUNITY)];
}

// The name of the weather type in use ("NORMAL", "Global Warming", ...).
inline const std::string& selectedWeatherType(const RunParameters& params) {
    static const std::string none;
    if (params.WTHR_TYPE < 0 || params.WTHR_TYPE >= static_cast<int>(params.WTHR_TYPES.size())) return none;
    return params.WTHR_TYPES[static_cast<size_t>(params.WTHR_TYPE)];
}

inline std::string& selectedWeatherTypeSlot(RunParameters& params, std::string& fallback) {
    if (params.WTHR_TYPE < 0 || params.WTHR_TYPE >= static_cast<int>(params.WTHR_TYPES.size()))
        return fallback;
    return params.WTHR_TYPES[static_cast<size_t>(params.WTHR_TYPE)];
}

}  // namespace dravia
