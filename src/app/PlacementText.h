#pragma once

#include <optional>
#include <string>
#include <string_view>

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

// "%i:%i:...:%i" with exactly ten integers (each as "%i" reads it: optional blanks and sign,
// decimal, octal with a leading 0, hexadecimal with a leading 0x; text after the tenth is
// ignored), or nothing. A number outside the range of int, or a rectangle whose width or
// height is not one, makes the whole text unusable.
// Needs no window system, so it can be tested and fuzzed on its own.
std::optional<WindowPlacement> parsePlacementText(std::string_view text);
std::string formatPlacementText(const WindowPlacement& placement);

}  // namespace dravia
