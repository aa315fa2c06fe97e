#include "display/TextBlock.h"

#include <algorithm>
#include <cmath>

namespace dravia {

QStringList textLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.last().isEmpty()) lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    }
    return lines;
}

QSize measureText(const QFontMetrics& metrics, const QString& text) {
    int width = 0;
    int height = 0;
    for (const QString& line : textLines(text)) {
        width = std::max(width, metrics.horizontalAdvance(line));
        height += metrics.height();
    }
    return {width, height};
}

QFont textBlockFont(int pointSize) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSize(pointSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

TextBlockFit fitTextBlock(const QString& text, int cw, int ch, const QPaintDevice* device) {
    TextBlockFit fit;
    const int roomWidth = cw - 4;
    const int roomHeight = ch - 4;
    auto measureAt = [&](int points) {
        return measureText(QFontMetrics(textBlockFont(points), device), text);
    };
    fit.size = measureAt(fit.pointSize);
    while ((fit.size.width() > roomWidth || fit.size.height() > roomHeight) &&
           fit.pointSize > TEXT_BLOCK_MINIMUM_POINTS) {
        const double widthRatio =
            fit.size.width() > 0 ? static_cast<double>(roomWidth) / fit.size.width() : 1.0;
        const double heightRatio =
            fit.size.height() > 0 ? static_cast<double>(roomHeight) / fit.size.height() : 1.0;
        int next = static_cast<int>(std::trunc(fit.pointSize * std::min(widthRatio, heightRatio)));
        // Rounding in the font metrics may leave the text still too large at the new size:
        // always shrink by at least one point so the search ends.
        next = std::clamp(next, TEXT_BLOCK_MINIMUM_POINTS, fit.pointSize - 1);
        fit.pointSize = next;
        fit.size = measureAt(fit.pointSize);
    }
    return fit;
}

void drawTextLines(QPainter& painter, const QString& text, const QPoint& topLeft, const QColor& colour) {
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(colour);
    painter.setBackgroundMode(Qt::TransparentMode);
    int y = topLeft.y();
    for (const QString& line : textLines(text)) {
        const int width = metrics.horizontalAdvance(line);
        painter.drawText(QRect(topLeft.x(), y, width + 1, metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs | Qt::TextDontClip, line);
        y += metrics.height();
    }
}

void drawTextBlock(QPainter& painter, const QString& text, int cw, int ch) {
    const TextBlockFit fit = fitTextBlock(text, cw, ch, painter.device());
    painter.save();
    painter.setFont(textBlockFont(fit.pointSize));
    drawTextLines(painter, text, QPoint(2, 2), Qt::black);
    painter.restore();
}

}  // namespace dravia
