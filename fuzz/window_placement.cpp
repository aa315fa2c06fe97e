// The stored window-placement text, as the settings store hands it back.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "app/PlacementText.h"

using namespace dravia;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<WindowPlacement> placement = parsePlacementText(text);
    if (placement) {
        // What was read is written back the same way and reads back the same.
        const std::optional<WindowPlacement> again = parsePlacementText(formatPlacementText(*placement));
        if (!again || !(*again == *placement)) fuzz::finding("a placement that does not read back");
    }
    return 0;
}
