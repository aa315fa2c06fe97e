#include "model/TreeBitmap.h"

#include <cstddef>
#include <cstdint>

namespace dravia {

namespace {

// Larger pictures are not tree pictures: refusing them keeps a damaged header from asking
// for gigabytes.
constexpr std::int64_t MAXIMUM_SIDE = 16384;
constexpr std::size_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t UNCOMPRESSED = 0;

std::uint32_t read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | (static_cast<std::uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

std::uint16_t read16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// Colour-table entries implied by the bit depth.
std::uint32_t colourTableSize(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

std::uint8_t scale5(unsigned value) {
    return static_cast<std::uint8_t>((value * 255 + 15) / 31);
}

}  // namespace

TreeBitmap::TreeBitmap(int width, int height, std::vector<Rgb> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels)) {
    if (width_ < 0 || height_ < 0 ||
        pixels_.size() != static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {
        width_ = 0;
        height_ = 0;
        pixels_.clear();
    }
}

bool TreeBitmap::decode(const std::vector<std::uint8_t>& bytes, TreeBitmap& out, std::string& error) {
    out = TreeBitmap();
    if (bytes.size() < FILE_HEADER_SIZE || bytes[0] != 'B' || bytes[1] != 'M') {
        error = "not a BMP file";
        return false;
    }
    if (bytes.size() < FILE_HEADER_SIZE + 40) {
        error = "the information header is incomplete";
        return false;
    }
    const std::uint32_t pixelOffset = read32(bytes, 10);
    const std::uint32_t headerSize = read32(bytes, FILE_HEADER_SIZE);
    if (headerSize < 40 || FILE_HEADER_SIZE + headerSize > bytes.size()) {
        error = "unsupported information header";
        return false;
    }
    const std::int64_t width = static_cast<std::int32_t>(read32(bytes, FILE_HEADER_SIZE + 4));
    const std::int64_t signedHeight = static_cast<std::int32_t>(read32(bytes, FILE_HEADER_SIZE + 8));
    const int bitsPerPixel = read16(bytes, FILE_HEADER_SIZE + 14);
    const std::uint32_t compression = read32(bytes, FILE_HEADER_SIZE + 16);
    const std::uint32_t coloursUsed = read32(bytes, FILE_HEADER_SIZE + 32);
    const bool topDown = signedHeight < 0;
    const std::int64_t height = topDown ? -signedHeight : signedHeight;
    if (width <= 0 || height <= 0 || width > MAXIMUM_SIDE || height > MAXIMUM_SIDE) {
        error = "width or height out of range";
        return false;
    }
    if (compression != UNCOMPRESSED) {
        error = "compressed BMP files are not supported";
        return false;
    }
    if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 16 &&
        bitsPerPixel != 24 && bitsPerPixel != 32) {
        error = "unsupported bit depth";
        return false;
    }

    // The colour table follows the information header.
    std::vector<Rgb> palette(256);
    std::uint32_t entries = colourTableSize(bitsPerPixel);
    if (coloursUsed != 0 && coloursUsed < entries) entries = coloursUsed;
    const std::size_t tableStart = FILE_HEADER_SIZE + headerSize;
    if (tableStart + static_cast<std::size_t>(entries) * 4 > bytes.size()) {
        error = "the colour table is incomplete";
        return false;
    }
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t at = tableStart + i * 4;
        palette[i] = Rgb{bytes[at + 2], bytes[at + 1], bytes[at]};
    }

    const std::int64_t stride = ((width * bitsPerPixel + 31) / 32) * 4;
    if (pixelOffset > bytes.size() ||
        static_cast<std::int64_t>(bytes.size() - pixelOffset) < stride * height) {
        error = "the pixel array is shorter than the header says";
        return false;
    }

    std::vector<Rgb> pixels(static_cast<std::size_t>(width * height));
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t targetRow = topDown ? row : height - 1 - row;
        const std::size_t rowStart = pixelOffset + static_cast<std::size_t>(row * stride);
        for (std::int64_t x = 0; x < width; ++x) {
            Rgb colour;
            switch (bitsPerPixel) {
                case 1: {
                    const std::uint8_t byte = bytes[rowStart + static_cast<std::size_t>(x / 8)];
                    colour = palette[(byte >> (7 - x % 8)) & 1];
                    break;
                }
                case 4: {
                    const std::uint8_t byte = bytes[rowStart + static_cast<std::size_t>(x / 2)];
                    colour = palette[x % 2 == 0 ? byte >> 4 : byte & 0x0F];
                    break;
                }
                case 8:
                    colour = palette[bytes[rowStart + static_cast<std::size_t>(x)]];
                    break;
                case 16: {
                    const unsigned value = read16(bytes, rowStart + static_cast<std::size_t>(x * 2));
                    colour = Rgb{scale5((value >> 10) & 31), scale5((value >> 5) & 31), scale5(value & 31)};
                    break;
                }
                default: {
                    const std::size_t at = rowStart + static_cast<std::size_t>(x * (bitsPerPixel / 8));
                    colour = Rgb{bytes[at + 2], bytes[at + 1], bytes[at]};
                    break;
                }
            }
            pixels[static_cast<std::size_t>(targetRow * width + x)] = colour;
        }
    }
    out = TreeBitmap(static_cast<int>(width), static_cast<int>(height), std::move(pixels));
    return true;
}

}  // namespace dravia
