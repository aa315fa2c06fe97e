#pragma once

#include <functional>

#include "model/ModelState.h"

namespace dravia {

// Why a tree left its plot.
enum class RemovalCause { BackgroundMortality, SlowGrowth, Logging, Windthrow };

// Told of each tree just before a process removes it. The processes know nothing of who
// listens; a listener must not change the model or draw a random number.
using RemovalObserver = std::function<void(const ModelState&, const Plot&, const Tree&, RemovalCause)>;

}  // namespace dravia
