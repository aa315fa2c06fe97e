#include "display/TreeDrawing.h"

#include <QPolygon>
#include <algorithm>
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

// The picture a tree is drawn with, or none when it is drawn as a shape.
const TreeBitmap* drawnBitmap(const Species& species, int drawnHeight) {
    const TreeBitmap* bitmap = chooseTreeBitmap(species, drawnHeight);
    return bitmap && bitmap->width() > 0 && bitmap->height() > 0 ? bitmap : nullptr;
}

}  // namespace

QRect drawnTreeBounds(const Tree& tree, const Species& species, const RunParameters& params, int x, int y,
                      int cw, int ch) {
    const DrawnTreeSize size = drawnTreeSize(tree, params.HT_MAX, cw, ch);
    const int h = size.height;
    if (const TreeBitmap* bitmap = drawnBitmap(species, h)) {
        const int drawnWidth = bitmap->width() * h / bitmap->height();
        return drawnWidth > 0 ? QRect(x - drawnWidth / 2, y - h, drawnWidth, h) : QRect();
    }
    const int w = size.halfWidth;
    const int tw = w / 24;
    // The crown is the widest part of either shape; the trunk reaches the ground at y.
    if (species.crownShape != 0 && species.crownShape != 1) return QRect();
    return QRect(QPoint(x - w, y - h), QPoint(std::max(x + w, x + tw), y));
}

bool drawnTreeContains(const Tree& tree, const Species& species, const RunParameters& params, int x, int y,
                       int cw, int ch, const QPoint& point) {
    const QRect bounds = drawnTreeBounds(tree, species, params, x, y, cw, ch);
    if (!bounds.contains(point)) return false;
    const DrawnTreeSize size = drawnTreeSize(tree, params.HT_MAX, cw, ch);
    const int h = size.height;
    if (const TreeBitmap* bitmap = drawnBitmap(species, h)) {
        // The pixel of the picture that scaling puts there (nearest neighbour, as drawn).
        const int bx =
            std::min((point.x() - bounds.left()) * bitmap->width() / bounds.width(), bitmap->width() - 1);
        const int by = std::min((point.y() - bounds.top()) * bitmap->height() / h, bitmap->height() - 1);
        const TreeBitmap::Rgb& p = bitmap->pixel(bx, by);
        return !(p.red == 255 && p.green == 255 && p.blue == 255);
    }
    const int w = size.halfWidth;
    const int tw = w / 24;
    if (species.crownShape == 0) {
        if (QRect(QPoint(x - tw, y - h / 4), QPoint(x + tw, y)).contains(point)) return true;
        const QPolygon crown({QPoint(x - w, y - h / 4), QPoint(x, y - h), QPoint(x + w, y - h / 4)});
        return crown.containsPoint(point, Qt::OddEvenFill);
    }
    if (QRect(QPoint(x - tw, y - h / 3), QPoint(x + tw, y)).contains(point)) return true;
    const QRectF crown(x - w, y - h, 2 * w + 1, h - h / 3 - 1);
    const double rx = crown.width() / 2.0, ry = crown.height() / 2.0;
    if (rx <= 0.0 || ry <= 0.0) return false;
    const double dx = (point.x() + 0.5 - crown.center().x()) / rx;
    const double dy = (point.y() + 0.5 - crown.center().y()) / ry;
    return dx * dx + dy * dy <= 1.0;
}

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

const TreeBitmap* legendTreeBitmap(const Species& species) {
    for (const auto& bitmap : {species.smallBitmap, species.largeBitmap}) {
        if (bitmap && bitmap->width() > 0 && bitmap->height() > 0) return bitmap.get();
    }
    return nullptr;
}

void drawSpeciesMark(QPainter& painter, const Species& species, const QRect& box) {
    if (box.width() <= 0 || box.height() <= 0) return;
    painter.save();
    const int x = box.left() + box.width() / 2;
    const int ground = box.bottom() + 1;
    if (const TreeBitmap* bitmap = legendTreeBitmap(species)) {
        QSize size(bitmap->width() * box.height() / bitmap->height(), box.height());
        if (size.width() > box.width())
            size = QSize(box.width(), bitmap->height() * box.width() / bitmap->width());
        if (!size.isEmpty()) {
            const QImage scaled =
                transparentTreeImage(*bitmap).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            painter.drawImage(QPoint(x - size.width() / 2, ground - size.height()), scaled);
        }
    } else {
        // As slender as the pictures beside it.
        drawTreeShape(painter, species.crownShape, paletteColour(species.colourIndex), x, box.bottom(),
                      box.height() - 1, std::max(box.height() / 4, 2));
    }
    painter.restore();
}

}  // namespace dravia
