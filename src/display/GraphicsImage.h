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

// "Habitat: ...", "Weather: ..." (the climate preset with its size), where the run stands
// ("Iteration 2 of 5 · year 55 of 300 (2045)"), the disturbance note and "Tree Legend:".
QString legendHeader(const ModelState& model, bool disturbedThisYear);

// The species with a tree in a slot, once each, in species-number order.
std::vector<int> legendSpecies(const ModelState& model);

// The legend line of a species: its name as a person writes it. The line starts with the
// species' mark (drawSpeciesMark), so every name says which picture or colour is its own.
QString legendLine(const Species& species);

// The text size of the view's header, legend and inspector: the widget's font, grown with the
// view's height so that a full-screen view on a projector is read from the back of a room.
QFont viewTextFont(const QFont& base, int ch);

// The slanted image of the plot: outline, the trees in their slots back to front, and the legend.
// Trees without a slot are given one first.
void drawGraphicsImage(QPainter& painter, ModelState& model, Plot& plot, const PlotGeometry& geometry,
                       const DrawOrder& drawOrder, bool disturbedThisYear);

}  // namespace dravia
