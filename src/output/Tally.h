#pragma once

#include <array>

#include "model/ModelState.h"

namespace dravia {

// A tree's share of the plot, referred to a plot of 100 m sq.
struct TreeValues {
    double TREE_BA = 0.0;                                                                // cm sq./m sq.
    double STEM_BM = 0.0, BARK_BM = 0.0, BRANCH_BM = 0.0, ROOT_BM = 0.0, LEAF_BM = 0.0;  // kg/m sq.
    double TOT_BIOM = 0.0;                                                               // kg/m sq.
    double TOT_VOL = 0.0;                                                                // cu ft/acre
};

// Basal area of a tree of diameter dbh (cm) on 100 m sq.: π/4 × DBH² / 100, in cm sq./m sq.
double treeBasalArea(double dbh);

// Stem volume (cu ft/acre) of a tree of diameter dbh and height height (cm) from the three
// volume coefficients of its species number.
double treeVolume(const std::array<double, 3>& volumeCoefficients, double dbh, double height);

// Basal area, biomass by tree part, total biomass and volume of one tree.
TreeValues computeTreeValues(const Species& species, const std::array<double, 3>& volumeCoefficients,
                             double dbh, double height);

// Tallies the plot: every tree's values, the per-species sums and the plot totals.
void summarizePlot(ModelState& model, Plot& plot);

}  // namespace dravia
