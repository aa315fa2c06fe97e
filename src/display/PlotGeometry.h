#pragma once

#include "model/ModelState.h"

namespace dravia {

// The slanted parallelogram of the plot image in view pixels: its front edge runs from
// (left, frontY) to (frontRightX, frontY), its back edge from (backLeftX, backY) to (backRightX, backY).
struct PlotGeometry {
    int viewWidth = 0, viewHeight = 0;
    double plotWidth = 0.0;  // W, pixels
    double plotDepth = 0.0;  // D, pixels along the slanted side
    double sinSlant = 0.0, cosSlant = 0.0;
    int left = 0;
    int frontY = 0;
    int frontRightX = 0;
    int backLeftX = 0;
    int backRightX = 0;
    int backY = 0;
};

// SLANT in degrees to radians with pi taken as 3.14159, as the plot image has always used.
inline constexpr double SLANT_DEGREES_TO_RADIANS = 0.01745327777777778;

// The plot image geometry for a view of cw by ch pixels, from WIDTH, DEPTH and SLANT.
PlotGeometry computeGeometry(const RunParameters& params, int cw, int ch);

}  // namespace dravia
