#include "display/PlotGeometry.h"

#include <cmath>

namespace dravia {

PlotGeometry computeGeometry(const RunParameters& params, int cw, int ch) {
    PlotGeometry g;
    const double s = params.SLANT * SLANT_DEGREES_TO_RADIANS;
    g.sinSlant = std::sin(s);
    g.cosSlant = std::cos(s);
    g.viewWidth = cw;
    g.viewHeight = ch;
    g.plotWidth = cw * params.WIDTH * 0.01;
    g.plotDepth = ch * params.DEPTH * 0.01;
    const double W = g.plotWidth;
    const double D = g.plotDepth;
    // The plot's rightmost point lies at 95% of the view width, its front edge at 94.3% of the height.
    g.left = static_cast<int>(std::trunc(cw - W - D * g.sinSlant - 0.05 * cw));
    g.frontY = static_cast<int>(std::trunc(ch * 0.943));
    g.frontRightX = static_cast<int>(std::trunc(g.left + W));
    g.backLeftX = static_cast<int>(std::trunc(g.left + D * g.sinSlant));
    g.backRightX = static_cast<int>(std::trunc(g.backLeftX + W));
    g.backY = static_cast<int>(std::trunc(g.frontY - D * g.cosSlant));
    return g;
}

}  // namespace dravia
