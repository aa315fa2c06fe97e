#pragma once

#include "model/ModelState.h"

namespace dravia {

// A tree's form from its diameter: the height curve of its species and the light its leaves
// take from the trees below.

inline constexpr double BREAST_HEIGHT = 137.0;  // cm above ground at which DBH is measured

// Height (cm) of a tree of diameter dbh (cm) on its species' height curve, which rises from
// near breast height and levels off at HMAX where the diameter reaches DMAX.
inline double heightOnCurve(const Species& s, double dbh) {
    return 130.0 + dbh * (s.B2 - s.B3 * dbh);
}

// The two coefficients of the height curve that make it reach HMAX at DMAX.
inline void fitHeightCurve(Species& s) {
    s.B2 = 2.0 * (s.HMAX - BREAST_HEIGHT) / s.DMAX;
    s.B3 = (s.HMAX - BREAST_HEIGHT) / (s.DMAX * s.DMAX);
}

// Leaf area (C × DBH², summed over the taller trees) over which the light falls to 1/e.
inline constexpr double LEAF_AREA_EXTINCTION = 6000.0;

}  // namespace dravia
