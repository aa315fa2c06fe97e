#include "app/RunIcons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace dravia {

namespace {

const QColor GO(46, 139, 60);
const QColor HOLD(40, 90, 170);
const QColor STOP(190, 45, 40);
const QColor CHART_BARS[] = {QColor(46, 139, 60), QColor(200, 150, 30), QColor(40, 90, 170)};

QPainterPath triangle(double left, double top, double width, double height) {
    QPainterPath path;
    path.moveTo(left, top);
    path.lineTo(left + width, top + height / 2.0);
    path.lineTo(left, top + height);
    path.closeSubpath();
    return path;
}

// Drawn on a 32-unit square, scaled to the size asked for.
void paintIcon(QPainter& painter, RunIcon which) {
    painter.setPen(Qt::NoPen);
    switch (which) {
        case RunIcon::Run:
            painter.fillPath(triangle(8, 5, 19, 22), GO);
            break;
        case RunIcon::Pause:
            painter.fillRect(QRectF(8, 6, 6, 20), HOLD);
            painter.fillRect(QRectF(18, 6, 6, 20), HOLD);
            break;
        case RunIcon::Continue:
            painter.fillRect(QRectF(5, 6, 5, 20), HOLD);
            painter.fillPath(triangle(13, 5, 15, 22), GO);
            break;
        case RunIcon::QuitRun:
            painter.fillRect(QRectF(7, 7, 18, 18), STOP);
            break;
        case RunIcon::Charts: {
            const double heights[] = {10, 20, 14};
            for (int i = 0; i < 3; ++i)
                painter.fillRect(QRectF(5 + i * 8, 27 - heights[i], 6, heights[i]), CHART_BARS[i]);
            painter.fillRect(QRectF(3, 27, 26, 2), QColor(70, 70, 70));
            break;
        }
    }
}

}  // namespace

QIcon runIcon(RunIcon which) {
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) {
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        paintIcon(painter, which);
        painter.end();
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace dravia
