#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QStringList>

namespace dravia {

// A text's lines, split at its line breaks; a final line break starts no further line.
QStringList textLines(const QString& text);

// Width of the widest line and the sum of the line heights.
QSize measureText(const QFontMetrics& metrics, const QString& text);

// The fixed-pitch "Courier New" of the text displays at the given size in points.
QFont textBlockFont(int pointSize);

inline constexpr int TEXT_BLOCK_START_POINTS = 12;
// Below this the text could not be read anyway; a view too small for it clips the text.
inline constexpr int TEXT_BLOCK_MINIMUM_POINTS = 2;

struct TextBlockFit {
    int pointSize = TEXT_BLOCK_START_POINTS;
    QSize size;  // measured at that size
};

// The largest size, starting from 12 points and shrinking in proportion to the overflow, at
// which the text fits into a cw by ch view with a 2-pixel margin on every side.
TextBlockFit fitTextBlock(const QString& text, int cw, int ch, const QPaintDevice* device);

// Draws the text in black at the view's top-left corner in the largest font that fits.
void drawTextBlock(QPainter& painter, const QString& text, int cw, int ch);

// Draws a text line by line, black on a transparent background, into rect's top-left corner.
void drawTextLines(QPainter& painter, const QString& text, const QPoint& topLeft, const QColor& colour);

}  // namespace dravia
