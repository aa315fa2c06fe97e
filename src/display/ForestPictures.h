#pragma once

#include <QImage>

namespace dravia {

// The program's own pictures, painted in code.

inline constexpr int OPENING_PICTURE_WIDTH = 307;
inline constexpr int OPENING_PICTURE_HEIGHT = 201;

// A quiet forest scene under an evening sky, shown before the first run.
QImage openingPicture();

// One broad-leaved tree on white (white is transparent where it is drawn), 90 by 112,
// for the version box.
QImage versionTreePicture();

// The window icon: a conifer before a round sky, on a transparent ground.
QImage applicationIconImage(int size);

}  // namespace dravia
