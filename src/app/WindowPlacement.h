#pragma once

#include <QString>
#include <QWidget>
#include <optional>

namespace dravia {

// The main window's placement as stored between sessions: ten integers in this order.
struct WindowPlacement {
    int flags = 0;      // PLACEMENT_RESTORE_MAXIMIZED: a minimized window comes back maximized
    int showState = 1;  // SHOW_NORMAL, SHOW_MINIMIZED or SHOW_MAXIMIZED
    int minimizedX = -1, minimizedY = -1;
    int maximizedX = -1, maximizedY = -1;
    int left = 100, top = 100, right = 800, bottom = 600;  // normal rectangle, right and bottom exclusive

    bool operator==(const WindowPlacement&) const = default;
};

inline constexpr int PLACEMENT_RESTORE_MAXIMIZED = 2;
inline constexpr int SHOW_HIDDEN = 0;
inline constexpr int SHOW_NORMAL = 1;
inline constexpr int SHOW_MINIMIZED = 2;
inline constexpr int SHOW_MAXIMIZED = 3;

inline constexpr const char* SETTINGS_GROUP = "Settings";
inline constexpr const char* WINDOW_POS_KEY = "WindowPos";

// "%i:%i:...:%i" with exactly ten integers, or nothing.
std::optional<WindowPlacement> parsePlacement(const QString& text);
QString formatPlacement(const WindowPlacement& placement);

// The window's placement now; minimized and maximized positions are carried over from `base`
// (the window system does not tell them). A maximized window gets the restore-maximized flag.
WindowPlacement currentPlacement(const QWidget& window, const WindowPlacement& base);

// Sets the normal rectangle and shows the window in the stored show state.
void applyPlacement(QWidget& window, const WindowPlacement& placement);

// The placement in the settings store, or the default one when it is missing or malformed.
WindowPlacement loadStoredPlacement();
void storePlacement(const WindowPlacement& placement);

}  // namespace dravia
