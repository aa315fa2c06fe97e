#include "app/ChartStyle.h"

#include <QApplication>
#include <array>
#include <cmath>

namespace dravia {

namespace {

// The Okabe–Ito colours that stand out from white by 3:1 or more (orange, sky blue and yellow
// do not), and black.
constexpr std::array<QRgb, CHART_COLOUR_COUNT> PALETTE = {
    0xFF0072B2,  // blue              5.2:1
    0xFFD55E00,  // vermillion        3.9:1
    0xFF009E73,  // bluish green      3.4:1
    0xFFCC79A7,  // reddish purple    3.1:1
    0xFF000000,  // black            21:1
};

constexpr std::array<Qt::PenStyle, 4> LINE_STYLES = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                                     Qt::DashDotLine};
constexpr std::array<Qt::BrushStyle, 4> FILL_STYLES = {Qt::SolidPattern, Qt::BDiagPattern, Qt::FDiagPattern,
                                                       Qt::DiagCrossPattern};

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

}  // namespace

QColor chartColour(std::size_t position) {
    return QColor::fromRgb(PALETTE[position % PALETTE.size()]);
}

QColor seriesColour(std::size_t position) {
    return chartColour(position);
}

Qt::PenStyle seriesLineStyle(std::size_t position) {
    return LINE_STYLES[(position / PALETTE.size()) % LINE_STYLES.size()];
}

Qt::BrushStyle seriesFillStyle(std::size_t position) {
    return FILL_STYLES[(position / PALETTE.size()) % FILL_STYLES.size()];
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QFont chartFont(int pointSize, bool bold) {
    QFont font = QApplication::font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

}  // namespace dravia
