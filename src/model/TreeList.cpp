#include "model/TreeList.h"

#include <iterator>

namespace dravia {

void sortTreesByHeight(Plot& plot) {
    // A stable sort by relinking nodes: each tree moves in front of the strictly shorter
    // trees before it, so trees of equal height keep their order. The list is nearly sorted
    // from one year to the next, which makes this a single pass in the usual case.
    TreeList& trees = plot.trees;
    if (trees.size() < 2) return;
    auto current = std::next(trees.begin());
    while (current != trees.end()) {
        auto following = std::next(current);
        auto position = current;
        while (position != trees.begin() && std::prev(position)->HEIGHT < current->HEIGHT) {
            --position;
        }
        if (position != current) trees.splice(position, trees, current);
        current = following;
    }
}

TreeList::iterator insertTree(Plot& plot, TreeList::iterator position, const Tree& tree) {
    auto inserted = plot.trees.insert(position, tree);
    plot.NTREES += 1;
    inserted->UID = ++plot.TREES_ENTERED;
    return inserted;
}

void releaseDisplaySlot(ModelState& model, Tree& tree) {
    if (tree.DISPLAY_SLOT >= 1 && tree.DISPLAY_SLOT <= DISPLAY_SLOT_COUNT) {
        DisplaySlot& slot = model.displaySlots[static_cast<size_t>(tree.DISPLAY_SLOT)];
        if (slot.tree == &tree) slot.tree = nullptr;
    }
    tree.DISPLAY_SLOT = 0;
}

TreeList::iterator removeTree(ModelState& model, Plot& plot, TreeList::iterator position) {
    releaseDisplaySlot(model, *position);
    auto following = plot.trees.erase(position);
    plot.NTREES -= 1;
    if (plot.trees.empty()) plot.PLOT_BA = 0.0;
    return following;
}

void freePlots(ModelState& model) {
    for (Plot& plot : model.plots) {
        for (Tree& tree : plot.trees) releaseDisplaySlot(model, tree);
    }
    model.plots.clear();
    model.run.CURRENT_PLOT = nullptr;
}

}  // namespace dravia
