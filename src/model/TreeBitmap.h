#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dravia {

// A decoded tree picture (a device-independent bitmap), top row first, as 24-bit colours.
// Decoding needs no window system; the display scales and draws it with white transparent.
class TreeBitmap {
  public:
    struct Rgb {
        std::uint8_t red = 0, green = 0, blue = 0;
        bool operator==(const Rgb&) const = default;
    };

    TreeBitmap() = default;
    TreeBitmap(int width, int height, std::vector<Rgb> pixels);

    int width() const { return width_; }
    int height() const { return height_; }
    const Rgb& pixel(int x, int y) const { return pixels_[static_cast<size_t>(y * width_ + x)]; }
    const std::vector<Rgb>& pixels() const { return pixels_; }

    // Decodes the bytes of a BMP file; on failure returns false and says why in error.
    static bool decode(const std::vector<std::uint8_t>& bytes, TreeBitmap& out, std::string& error);

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};

}  // namespace dravia
