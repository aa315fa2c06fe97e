#pragma once

#include <array>

#include "display/PlotGeometry.h"
#include "model/ModelState.h"

namespace dravia {

// Slot numbers 1..50 from the back of the plot to the front.
using DrawOrder = std::array<int, DISPLAY_SLOT_COUNT>;

// Two slots closer than this (in plot fractions) would let their trees overlap too much.
inline constexpr double MINIMUM_SLOT_DISTANCE = 0.05;

// Gives the 50 slots random places on the plot, each at least MINIMUM_SLOT_DISTANCE from the
// earlier ones, and empties them. RANDOM_STATE is left as it was, so the model's random
// sequence does not depend on whether a display exists.
void layOutSlots(ModelState& model);

// Screen positions of the slots for the current plot image geometry.
void placeSlotsOnScreen(ModelState& model, const PlotGeometry& geometry);

// The slots sorted by screen y, furthest back first; equal y keeps ascending slot numbers.
DrawOrder sortDrawOrder(const ModelState& model);

// Puts trees of the plot that have no slot yet into the empty slots, in list order
// (tallest first); a tree keeps its slot until it is removed.
void assignSlots(ModelState& model, Plot& plot);

}  // namespace dravia
