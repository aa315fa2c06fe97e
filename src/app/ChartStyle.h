#pragma once

#include <QColor>
#include <QFont>
#include <QPen>
#include <QString>
#include <Qt>
#include <cstddef>

namespace dravia {

// How the charts look, apart from the plot view's colours (Data/colors.txt), which they never use:
// a white plot area and a colour-blind-safe palette whose every colour stands out from white by at
// least 3:1, so that a line reads on a projector as well as on a screen.
inline const QColor CHART_BACKGROUND(255, 255, 255);
// Lines out of focus and the grid: a grey that still stands out from white by more than 3:1.
inline const QColor CONTEXT_GREY(0x8C, 0x8C, 0x8C);
inline const QColor GRID_GREY(0xE3, 0xE3, 0xE3);
inline const QColor CHART_TEXT(0x20, 0x20, 0x20);
inline constexpr int BAND_ALPHA = 60;

// The palette's colours in the order series take them.
inline constexpr std::size_t CHART_COLOUR_COUNT = 5;
QColor chartColour(std::size_t position);

// The n-th series: its palette colour, then after every colour a line pattern, so that series
// sharing a colour differ in pattern.
QColor seriesColour(std::size_t position);
Qt::PenStyle seriesLineStyle(std::size_t position);
Qt::BrushStyle seriesFillStyle(std::size_t position);

// The contrast ratio of two colours (1 to 21) by their relative luminance.
double contrastRatio(const QColor& a, const QColor& b);

// The fonts of chart text, in points; they follow the screen's scaling and come out readable in a
// saved image.
QFont chartFont(int pointSize, bool bold = false);
inline constexpr int TITLE_POINTS = 14;
inline constexpr int AXIS_TITLE_POINTS = 12;
inline constexpr int AXIS_LABEL_POINTS = 11;
inline constexpr int CAPTION_POINTS = 11;
inline constexpr int COMPACT_SUBTITLE_POINTS = 9;

}  // namespace dravia
