#include "display/TreeDrawing.h"

#include <QPolygon>
#include <cmath>

#include "display/DisplayPalette.h"

namespace dravia {

DrawnTreeSize drawnTreeSize(const Tree& tree, double HT_MAX, int cw, int ch) {
    DrawnTreeSize size;
    size.height = static_cast<int>(std::trunc(tree.HEIGHT / HT_MAX * (ch / 5)));
    if (tree.HEIGHT > 1.0) {
        const double aspect = static_cast<double>(cw) / ch;
        size.halfWidth = static_cast<int>(std::trunc(aspect * (tree.DBH / tree.HEIGHT) * size.height * 14.0));
    }
    if (size.height < 5) size.height = 5;
    if (size.halfWidth < 6) size.halfWidth = 6;
    return size;
}

const TreeBitmap* chooseTreeBitmap(const Species& species, int drawnHeight) {
    const TreeBitmap* large = species.largeBitmap.get();
    const TreeBitmap* small = species.smallBitmap.get();
    if (large && (!small || drawnHeight >= species.LARGE_BITMAP_MIN_HT)) return large;
    return small;
}

QImage transparentTreeImage(const TreeBitmap& bitmap) {
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            const TreeBitmap::Rgb& p = bitmap.pixel(x, y);
            const bool white = p.red == 255 && p.green == 255 && p.blue == 255;
            line[x] = white ? qRgba(0, 0, 0, 0) : qRgb(p.red, p.green, p.blue);
        }
    }
    return image;
}

namespace {

void drawTreeShape(QPainter& painter, int crownShape, const QColor& crownColour, int x, int y, int h, int w) {
    const int tw = w / 24;
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (crownShape == 0) {
        painter.fillRect(QRect(QPoint(x - tw, y - h / 4), QPoint(x + tw, y)), TRUNK_COLOUR);
        painter.setPen(crownColour);
        painter.setBrush(crownColour);
        const QPolygon crown({QPoint(x - w, y - h / 4), QPoint(x, y - h), QPoint(x + w, y - h / 4)});
        painter.drawPolygon(crown);
    } else if (crownShape == 1) {
        painter.fillRect(QRect(QPoint(x - tw, y - h / 3), QPoint(x + tw, y)), TRUNK_COLOUR);
        painter.setPen(Qt::NoPen);
        painter.setBrush(crownColour);
        // The box (x - w, y - h) to (x + w + 1, y - h/3 - 1), right and bottom exclusive.
        painter.drawEllipse(QRectF(x - w, y - h, 2 * w + 1, h - h / 3 - 1));
    }
}

}  // namespace

void drawTree(QPainter& painter, const Tree& tree, const Species& species, const RunParameters& params, int x,
              int y, int cw, int ch) {
    const DrawnTreeSize size = drawnTreeSize(tree, params.HT_MAX, cw, ch);
    const int h = size.height;
    const TreeBitmap* bitmap = chooseTreeBitmap(species, h);
    if (bitmap && bitmap->width() > 0 && bitmap->height() > 0) {
        const int drawnWidth = bitmap->width() * h / bitmap->height();
        if (drawnWidth <= 0) return;
        const QImage scaled = transparentTreeImage(*bitmap).scaled(drawnWidth, h, Qt::IgnoreAspectRatio,
                                                                   Qt::FastTransformation);
        painter.drawImage(QPoint(x - drawnWidth / 2, y - h), scaled);
        return;
    }
    // A species whose picture is missing or empty is drawn as its shape.
    drawTreeShape(painter, species.crownShape, paletteColour(species.colourIndex), x, y, h, size.halfWidth);
}

}  // namespace dravia
