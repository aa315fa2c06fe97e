#pragma once

#include <QPainter>
#include <QString>
#include <vector>

#include "display/DisplaySlots.h"
#include "display/PlotGeometry.h"
#include "model/ModelState.h"

namespace dravia {

// The note under the legend header in a year when the plot was logged or windthrown; empty otherwise.
QString disturbanceNote(const RunParameters& params, bool disturbedThisYear);

// "Habitat: ...", "Weather: ...", "Year: ...", the disturbance note and "Tree Legend:".
QString legendHeader(const ModelState& model, bool disturbedThisYear);

// The species with a tree in a slot, once each, in species-number order.
std::vector<int> legendSpecies(const ModelState& model);

// The legend line of a species, and its colour (white for species drawn with pictures).
QString legendLine(const Species& species);
QColor legendColour(const Species& species);

// The slanted image of the plot: outline, the trees in their slots back to front, and the legend.
// Trees without a slot are given one first.
void drawGraphicsImage(QPainter& painter, ModelState& model, Plot& plot, const PlotGeometry& geometry,
                       const DrawOrder& drawOrder, bool disturbedThisYear);

}  // namespace dravia
