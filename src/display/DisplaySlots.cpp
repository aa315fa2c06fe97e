#include "display/DisplaySlots.h"

#include <algorithm>
#include <cmath>

#include "model/Random.h"

namespace dravia {

namespace {

bool tooCloseToEarlierSlots(const ModelState& model, int k, double fx, double fy) {
    for (int j = 1; j < k; ++j) {
        const DisplaySlot& other = model.displaySlots[static_cast<size_t>(j)];
        const double dx = fx - other.fx;
        const double dy = fy - other.fy;
        if (std::sqrt(dx * dx + dy * dy) < MINIMUM_SLOT_DISTANCE) return true;
    }
    return false;
}

}  // namespace

void layOutSlots(ModelState& model) {
    const double savedState = model.run.RANDOM_STATE;
    for (int k = 1; k <= DISPLAY_SLOT_COUNT; ++k) {
        double fx = 0.0, fy = 0.0;
        do {
            const double u1 = randomUniform(model);
            const double u2 = randomUniform(model);
            fx = u2;
            fy = u1;
        } while (tooCloseToEarlierSlots(model, k, fx, fy));
        DisplaySlot& slot = model.displaySlots[static_cast<size_t>(k)];
        slot.fx = fx;
        slot.fy = fy;
        slot.tree = nullptr;
    }
    model.run.RANDOM_STATE = savedState;
}

void placeSlotsOnScreen(ModelState& model, const PlotGeometry& g) {
    for (int k = 1; k <= DISPLAY_SLOT_COUNT; ++k) {
        DisplaySlot& slot = model.displaySlots[static_cast<size_t>(k)];
        const double m = g.plotDepth * (1.0 - slot.fy);  // distance from the front edge
        slot.x = static_cast<int>(std::trunc(g.left + g.plotWidth * slot.fx + m * g.sinSlant));
        slot.y = static_cast<int>(std::trunc(g.frontY - m * g.cosSlant));
    }
}

DrawOrder sortDrawOrder(const ModelState& model) {
    DrawOrder order{};
    for (int i = 0; i < DISPLAY_SLOT_COUNT; ++i) order[static_cast<size_t>(i)] = i + 1;
    std::stable_sort(order.begin(), order.end(), [&model](int a, int b) {
        return model.displaySlots[static_cast<size_t>(a)].y < model.displaySlots[static_cast<size_t>(b)].y;
    });
    return order;
}

void assignSlots(ModelState& model, Plot& plot) {
    auto tree = plot.trees.begin();
    for (int k = 1; k <= DISPLAY_SLOT_COUNT && tree != plot.trees.end(); ++k) {
        DisplaySlot& slot = model.displaySlots[static_cast<size_t>(k)];
        if (slot.tree != nullptr) continue;
        while (tree != plot.trees.end() && tree->DISPLAY_SLOT != 0) ++tree;
        if (tree == plot.trees.end()) break;
        tree->DISPLAY_SLOT = k;
        slot.tree = &*tree;
        ++tree;
    }
}

}  // namespace dravia
