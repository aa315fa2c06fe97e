#include "app/PlacementText.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/Format.h"

namespace dravia {

std::optional<WindowPlacement> parsePlacementText(std::string_view text) {
    // The stored text is a C string: it ends at its first NUL.
    const std::string terminated(text.substr(0, text.find('\0')));
    WindowPlacement p;
    int* const fields[] = {&p.flags,      &p.showState, &p.minimizedX, &p.minimizedY, &p.maximizedX,
                           &p.maximizedY, &p.left,      &p.top,        &p.right,      &p.bottom};
    const char* position = terminated.c_str();
    bool first = true;
    for (int* field : fields) {
        if (!first) {
            if (*position != ':') return std::nullopt;
            ++position;
        }
        first = false;
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(position, &end, 0);
        if (end == position || errno == ERANGE || value < INT_MIN || value > INT_MAX) return std::nullopt;
        *field = static_cast<int>(value);
        position = end;
    }
    // The window is placed by its width and height, which must be numbers too.
    const auto fitsInt = [](long long value) { return value >= INT_MIN && value <= INT_MAX; };
    if (!fitsInt(static_cast<long long>(p.right) - p.left) ||
        !fitsInt(static_cast<long long>(p.bottom) - p.top))
        return std::nullopt;
    return p;
}

std::string formatPlacementText(const WindowPlacement& p) {
    return formatText("%i:%i:%i:%i:%i:%i:%i:%i:%i:%i", p.flags, p.showState, p.minimizedX, p.minimizedY,
                      p.maximizedX, p.maximizedY, p.left, p.top, p.right, p.bottom);
}

}  // namespace dravia
