#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

namespace dravia {

// The program's own pictures, painted in code.

inline constexpr int OPENING_PICTURE_WIDTH = 307;
inline constexpr int OPENING_PICTURE_HEIGHT = 201;

// A quiet forest scene under an evening sky, shown before the first run: drawn into the
// target rectangle at the device's own resolution (the scene is vector drawing, so a large
// view gets a sharp picture, not an enlarged small one).
void drawOpeningPicture(QPainter& painter, const QRect& target);
// The scene at its natural 307 by 201 pixels.
QImage openingPicture();

// One broad-leaved tree on white (white is transparent where it is drawn), 90 by 112,
// for the version box.
QImage versionTreePicture();

// The window icon: a conifer before a round sky, on a transparent ground.
QImage applicationIconImage(int size);

}  // namespace dravia
