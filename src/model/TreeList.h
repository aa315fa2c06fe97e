#pragma once

#include "model/ModelState.h"

namespace dravia {

// Reorders the plot's trees tallest first; trees of equal height keep their order.
void sortTreesByHeight(Plot& plot);

// Links a tree in before position, adds one to NTREES and gives it the plot's next UID;
// returns the new node.
TreeList::iterator insertTree(Plot& plot, TreeList::iterator position, const Tree& tree);

// Unlinks and frees a tree, releasing its display slot; returns the tree that followed it.
// When the plot's last tree goes, PLOT_BA becomes 0.
TreeList::iterator removeTree(ModelState& model, Plot& plot, TreeList::iterator position);

// Clears the display slot the tree occupies, if any.
void releaseDisplaySlot(ModelState& model, Tree& tree);

// Frees every tree and every plot and empties the plot list.
void freePlots(ModelState& model);

}  // namespace dravia
