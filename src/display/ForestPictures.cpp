#include "display/ForestPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace dravia {

namespace {

// A small deterministic sequence, so the picture is the same on every start.
class Scatter {
  public:
    explicit Scatter(unsigned seed) : state_(seed) {}
    double next() {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<double>((state_ >> 8) & 0xFFFF) / 65536.0;
    }

  private:
    unsigned state_;
};

void drawConifer(QPainter& p, double x, double groundY, double height, const QColor& colour) {
    const double width = height * 0.42;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(92, 60, 38));
    p.drawRect(QRectF(x - height * 0.03, groundY - height * 0.16, height * 0.06, height * 0.16));
    // Three tiers of branches, each a little lighter at the top.
    for (int tier = 0; tier < 3; ++tier) {
        const double base = groundY - height * (0.12 + tier * 0.24);
        const double top = groundY - height * (0.52 + tier * 0.24);
        const double half = width * (0.5 - tier * 0.12);
        QPainterPath path;
        path.moveTo(x - half, base);
        path.lineTo(x, top);
        path.lineTo(x + half, base);
        path.closeSubpath();
        p.setBrush(colour.lighter(100 + tier * 8));
        p.drawPath(path);
    }
}

void drawBroadleaf(QPainter& p, double x, double groundY, double height, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(104, 70, 44));
    p.drawRect(QRectF(x - height * 0.045, groundY - height * 0.45, height * 0.09, height * 0.45));
    const double r = height * 0.3;
    const double cy = groundY - height * 0.68;
    p.setBrush(colour.darker(115));
    p.drawEllipse(QPointF(x - r * 0.45, cy + r * 0.2), r * 0.7, r * 0.62);
    p.drawEllipse(QPointF(x + r * 0.45, cy + r * 0.2), r * 0.7, r * 0.62);
    p.setBrush(colour);
    p.drawEllipse(QPointF(x, cy - r * 0.15), r * 0.8, r * 0.75);
    p.setBrush(colour.lighter(118));
    p.drawEllipse(QPointF(x - r * 0.25, cy - r * 0.4), r * 0.35, r * 0.3);
}

}  // namespace

namespace {

// The scene in its own 307 by 201 units; the painter's transform gives it its size on the device.
void paintOpeningScene(QPainter& p) {
    const int w = OPENING_PICTURE_WIDTH;
    const int h = OPENING_PICTURE_HEIGHT;
    p.setRenderHint(QPainter::Antialiasing, true);

    QLinearGradient sky(0, 0, 0, h * 0.62);
    sky.setColorAt(0.0, QColor(86, 132, 196));
    sky.setColorAt(0.65, QColor(186, 210, 228));
    sky.setColorAt(1.0, QColor(250, 226, 176));
    p.fillRect(QRectF(0, 0, w, h), sky);

    QRadialGradient sun(QPointF(w * 0.74, h * 0.40), 34);
    sun.setColorAt(0.0, QColor(255, 246, 210));
    sun.setColorAt(0.35, QColor(255, 232, 160, 230));
    sun.setColorAt(1.0, QColor(255, 232, 160, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(w * 0.74, h * 0.40), 34, 34);

    // Distant ridges fading into the haze.
    const QColor ridgeColours[] = {QColor(140, 160, 178), QColor(104, 132, 138)};
    for (int r = 0; r < 2; ++r) {
        QPainterPath ridge;
        ridge.moveTo(0, h);
        for (int x = 0; x <= w; ++x) {  // fine steps keep the ridges smooth in a large view
            const double y = h * (0.50 + r * 0.07) - 10 * std::sin(x * (0.018 + r * 0.011) + r * 2.0) -
                             5 * std::sin(x * 0.051 + r);
            ridge.lineTo(x, y);
        }
        ridge.lineTo(w, h);
        ridge.closeSubpath();
        p.setBrush(ridgeColours[r]);
        p.drawPath(ridge);
    }

    // Meadow in front.
    QLinearGradient meadow(0, h * 0.66, 0, h);
    meadow.setColorAt(0.0, QColor(120, 158, 84));
    meadow.setColorAt(1.0, QColor(78, 118, 52));
    p.setBrush(meadow);
    QPainterPath ground;
    ground.moveTo(0, h * 0.70);
    ground.cubicTo(w * 0.3, h * 0.64, w * 0.6, h * 0.74, w, h * 0.68);
    ground.lineTo(w, h);
    ground.lineTo(0, h);
    ground.closeSubpath();
    p.drawPath(ground);

    // A far row of small conifers along the ridge, then the forest edge, larger and nearer.
    Scatter scatter(4021u);
    for (int i = 0; i < 34; ++i) {
        const double x = i * 9.3 + scatter.next() * 6;
        const double ground = h * 0.66 + scatter.next() * 4;
        drawConifer(p, x, ground, 22 + scatter.next() * 12, QColor(52, 92, 74));
    }
    for (int i = 0; i < 11; ++i) {
        const double x = 8 + i * 28 + scatter.next() * 10;
        const double ground = h * 0.78 + scatter.next() * 10;
        const double height = 48 + scatter.next() * 30;
        if (i % 3 == 1) {
            drawBroadleaf(p, x, ground, height, QColor(96, 150, 62));
        } else {
            drawConifer(p, x, ground, height, QColor(34, 86, 52));
        }
    }
    // Two trees close by on the left frame the view.
    drawBroadleaf(p, 30, h * 0.99, 110, QColor(84, 138, 50));
    drawConifer(p, 276, h * 1.0, 124, QColor(28, 74, 44));

    // A few flowers in the grass.
    for (int i = 0; i < 40; ++i) {
        const double x = scatter.next() * w;
        const double y = h * 0.86 + scatter.next() * h * 0.13;
        p.setBrush(i % 2 ? QColor(246, 232, 120) : QColor(250, 250, 244));
        p.drawEllipse(QPointF(x, y), 1.1, 1.1);
    }
}

}  // namespace

void drawOpeningPicture(QPainter& painter, const QRect& target) {
    if (target.width() <= 0 || target.height() <= 0) return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(static_cast<double>(target.width()) / OPENING_PICTURE_WIDTH,
                  static_cast<double>(target.height()) / OPENING_PICTURE_HEIGHT);
    paintOpeningScene(painter);
    painter.restore();
}

QImage openingPicture() {
    QImage image(OPENING_PICTURE_WIDTH, OPENING_PICTURE_HEIGHT, QImage::Format_RGB32);
    QPainter p(&image);
    drawOpeningPicture(p, image.rect());
    p.end();
    return image;
}

QImage versionTreePicture() {
    QImage image(90, 112, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);  // crisp edges keep the white ground pure
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 120, 40));
    p.drawEllipse(QRectF(8, 66, 74, 40));
    drawBroadleaf(p, 45, 108, 100, QColor(70, 140, 50));
    p.end();
    return image;
}

QImage applicationIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 64.0, size / 64.0);
    QRadialGradient sky(QPointF(32, 26), 32);
    sky.setColorAt(0.0, QColor(214, 232, 246));
    sky.setColorAt(1.0, QColor(98, 150, 204));
    p.setPen(QPen(QColor(40, 70, 100), 1.5));
    p.setBrush(sky);
    p.drawEllipse(QPointF(32, 32), 30, 30);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(96, 150, 70));
    QPainterPath hill;
    hill.moveTo(3, 42);
    hill.cubicTo(20, 36, 44, 38, 61, 42);
    hill.arcTo(QRectF(2, 2, 60, 60), -8, -164);
    hill.closeSubpath();
    p.drawPath(hill);
    drawBroadleaf(p, 18, 48, 26, QColor(86, 150, 56));
    drawConifer(p, 38, 54, 46, QColor(24, 92, 50));
    p.end();
    return image;
}

}  // namespace dravia
