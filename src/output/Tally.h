#pragma once

#include <array>

#include "model/ModelState.h"

namespace dravia {

// Basal area of a tree of diameter dbh (cm) on 100 m sq.: π/4 × DBH² / 100, in cm sq./m sq.
double treeBasalArea(double dbh);

// Stem volume (cu ft/acre) of a tree of diameter dbh and height height (cm) from the three
// volume coefficients of its species number.
double treeVolume(const std::array<double, 3>& volumeCoefficients, double dbh, double height);

// Basal area, biomass by tree part, total biomass and volume of one tree: its share of the plot.
Amounts computeTreeValues(const Species& species, const std::array<double, 3>& volumeCoefficients, double dbh,
                          double height);

// Tallies the plot: every tree's values, the per-species sums and the plot totals.
void summarizePlot(ModelState& model, Plot& plot);

}  // namespace dravia
