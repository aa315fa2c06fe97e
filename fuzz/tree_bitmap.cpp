// The tree-picture decoder, straight from the bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "model/TreeBitmap.h"

using namespace dravia;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    TreeBitmap bitmap;
    std::string error;
    if (TreeBitmap::decode(bytes, bitmap, error)) {
        if (bitmap.width() <= 0 || bitmap.height() <= 0 ||
            bitmap.pixels().size() !=
                static_cast<size_t>(bitmap.width()) * static_cast<size_t>(bitmap.height()))
            fuzz::finding("a decoded picture whose size and pixels disagree");
    } else if (error.empty()) {
        fuzz::finding("a refused picture without a reason");
    }
    return 0;
}
