#pragma once

#include <QColor>
#include <array>

namespace dravia {

// The 16 display colours a species' colourIndex chooses from.
inline const std::array<QColor, 16>& displayPalette() {
    static const std::array<QColor, 16> palette{
        QColor(0, 0, 0),       QColor(0, 0, 255),     QColor(0, 255, 0),     QColor(0, 255, 255),
        QColor(255, 0, 0),     QColor(255, 0, 254),   QColor(128, 64, 0),    QColor(255, 255, 255),
        QColor(64, 64, 64),    QColor(170, 170, 255), QColor(128, 255, 128), QColor(160, 255, 255),
        QColor(255, 128, 128), QColor(255, 160, 255), QColor(255, 255, 0),   QColor(255, 255, 255),
    };
    return palette;
}

inline QColor paletteColour(int colourIndex) {
    return displayPalette()[static_cast<size_t>(colourIndex < 0 || colourIndex > 15 ? 0 : colourIndex)];
}

inline const QColor VIEW_BACKGROUND(112, 136, 160);
inline const QColor TRUNK_COLOUR(128, 64, 0);
// The frame around the tree being inspected: an orange no species colour uses.
inline const QColor INSPECTOR_OUTLINE(255, 170, 0);

}  // namespace dravia
