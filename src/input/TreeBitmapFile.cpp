#include "input/TreeBitmapFile.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/Paths.h"

namespace dravia {

std::shared_ptr<const TreeBitmap> loadTreeBitmap(const std::string& storedName) {
    FileHandle file = openFile(storedName, "rb");
    if (!file) return nullptr;
    // The largest picture the decoder takes, 16384 × 16384 pixels of 8 bits, is 256 MB; tree
    // pictures are a few kilobytes. Larger files are not pictures it could draw.
    constexpr unsigned long long PICTURE_FILE_LIMIT = 64ull << 20;
    if (largerThan(file.get(), PICTURE_FILE_LIMIT)) return nullptr;
    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[65536];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    if (std::ferror(file.get())) return nullptr;
    auto bitmap = std::make_shared<TreeBitmap>();
    std::string error;
    if (!TreeBitmap::decode(bytes, *bitmap, error)) return nullptr;
    return bitmap;
}

}  // namespace dravia
