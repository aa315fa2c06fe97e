#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "app/PlacementText.h"

namespace dravia {

inline constexpr const char* SETTINGS_GROUP = "Settings";
inline constexpr const char* WINDOW_POS_KEY = "WindowPos";

// The stored text as parsePlacementText reads it, or nothing.
std::optional<WindowPlacement> parsePlacement(const QString& text);
QString formatPlacement(const WindowPlacement& placement);

// The window's placement now; minimized and maximized positions are carried over from `base`
// (the window system does not tell them). A maximized window gets the restore-maximized flag.
WindowPlacement currentPlacement(const QWidget& window, const WindowPlacement& base);

// The rectangle moved, and if need be shrunk, so that it lies wholly within `available`.
QRect fitOnScreen(const QRect& rect, const QRect& available);

// Gives a window of its own (help, charts) the size it is laid out for, or less on a screen too
// small for it, so that it opens wholly on the screen.
void resizeWithinScreen(QWidget& window, const QSize& wanted);

// Sets the normal rectangle (brought onto the screen) and shows the window in the stored show
// state.
void applyPlacement(QWidget& window, const WindowPlacement& placement);

// The placement in the settings store, or the default one when it is missing or malformed.
WindowPlacement loadStoredPlacement();
void storePlacement(const WindowPlacement& placement);

}  // namespace dravia
