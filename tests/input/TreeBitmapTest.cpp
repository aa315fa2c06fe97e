#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/TreeBitmap.h"

namespace dravia::test {
namespace {

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A BMP file with the 40-byte information header, the given colour table (blue, green, red,
// reserved per entry) and pixel rows (already padded to four bytes).
std::vector<std::uint8_t> bmp(std::int32_t width, std::int32_t height, int bits,
                              const std::vector<std::uint8_t>& table,
                              const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> bytes(54, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    const std::uint32_t offset = static_cast<std::uint32_t>(54 + table.size());
    put32(bytes, 2, static_cast<std::uint32_t>(offset + pixels.size()));
    put32(bytes, 10, offset);
    put32(bytes, 14, 40);
    put32(bytes, 18, static_cast<std::uint32_t>(width));
    put32(bytes, 22, static_cast<std::uint32_t>(height));
    bytes[26] = 1;
    bytes[28] = static_cast<std::uint8_t>(bits);
    bytes.reserve(bytes.size() + table.size() + pixels.size());
    bytes.insert(bytes.end(), table.begin(), table.end());
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
}

const std::vector<std::uint8_t> TWO_COLOURS = {0, 0, 0, 0, 255, 255, 255, 0};  // black, white

TEST(TreeBitmapTest, EightBitRowsAreStoredBottomUp) {
    std::vector<std::uint8_t> table(256 * 4, 0);
    table[4 * 1 + 2] = 200;  // entry 1: red 200
    table[4 * 2 + 1] = 100;  // entry 2: green 100
    // 3 × 2 picture: bottom row 1 1 2, top row 0 2 1; each row padded to 4 bytes.
    const auto bytes = bmp(3, 2, 8, table, {1, 1, 2, 0, 0, 2, 1, 0});
    TreeBitmap picture;
    std::string error;
    ASSERT_TRUE(TreeBitmap::decode(bytes, picture, error)) << error;
    EXPECT_EQ(picture.width(), 3);
    EXPECT_EQ(picture.height(), 2);
    EXPECT_EQ(picture.pixel(0, 0), (TreeBitmap::Rgb{0, 0, 0}));
    EXPECT_EQ(picture.pixel(1, 0), (TreeBitmap::Rgb{0, 100, 0}));
    EXPECT_EQ(picture.pixel(0, 1), (TreeBitmap::Rgb{200, 0, 0}));
    EXPECT_EQ(picture.pixel(2, 1), (TreeBitmap::Rgb{0, 100, 0}));
}

TEST(TreeBitmapTest, OneAndFourBitPixelsUseTheColourTable) {
    TreeBitmap picture;
    std::string error;
    // 10 × 1, one bit: 1011000001 then padding.
    ASSERT_TRUE(TreeBitmap::decode(bmp(10, 1, 1, TWO_COLOURS, {0xB0, 0x40, 0, 0}), picture, error)) << error;
    const TreeBitmap::Rgb white{255, 255, 255};
    const TreeBitmap::Rgb black{0, 0, 0};
    EXPECT_EQ(picture.pixel(0, 0), white);
    EXPECT_EQ(picture.pixel(1, 0), black);
    EXPECT_EQ(picture.pixel(3, 0), white);
    EXPECT_EQ(picture.pixel(8, 0), black);
    EXPECT_EQ(picture.pixel(9, 0), white);
    std::vector<std::uint8_t> table(16 * 4, 0);
    table[4 * 15] = 255;  // entry 15: blue
    ASSERT_TRUE(TreeBitmap::decode(bmp(3, 1, 4, table, {0xF0, 0x0F, 0, 0}), picture, error)) << error;
    EXPECT_EQ(picture.pixel(0, 0), (TreeBitmap::Rgb{0, 0, 255}));
    EXPECT_EQ(picture.pixel(1, 0), black);
    EXPECT_EQ(picture.pixel(2, 0), black);
}

TEST(TreeBitmapTest, TopDownTwentyFourBitPicture) {
    TreeBitmap picture;
    std::string error;
    // 1 × 2, top row first: blue-green-red byte order.
    ASSERT_TRUE(TreeBitmap::decode(bmp(1, -2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0}), picture, error)) << error;
    EXPECT_EQ(picture.pixel(0, 0), (TreeBitmap::Rgb{3, 2, 1}));
    EXPECT_EQ(picture.pixel(0, 1), (TreeBitmap::Rgb{6, 5, 4}));
}

TEST(TreeBitmapTest, DamagedFilesAreRefusedWithoutReadingPastTheEnd) {
    TreeBitmap picture;
    std::string error;
    auto notBmp = bmp(1, 1, 24, {}, {1, 2, 3, 0});
    notBmp[0] = 'X';
    EXPECT_FALSE(TreeBitmap::decode(notBmp, picture, error));
    EXPECT_FALSE(TreeBitmap::decode({'B', 'M', 0}, picture, error));
    EXPECT_FALSE(TreeBitmap::decode(bmp(0, 5, 24, {}, {}), picture, error));
    EXPECT_FALSE(TreeBitmap::decode(bmp(5, 0, 24, {}, {}), picture, error));
    EXPECT_FALSE(TreeBitmap::decode(bmp(2000000000, 1, 24, {}, {0, 0, 0, 0}), picture, error));
    EXPECT_FALSE(TreeBitmap::decode(bmp(2, 2, 24, {}, std::vector<std::uint8_t>(15, 0)), picture, error));
    EXPECT_TRUE(TreeBitmap::decode(bmp(2, 2, 24, {}, std::vector<std::uint8_t>(16, 0)), picture, error));
    auto shortTable = bmp(1, 1, 8, TWO_COLOURS, {});
    EXPECT_FALSE(TreeBitmap::decode(shortTable, picture, error));
    auto badOffset = bmp(1, 1, 24, {}, {1, 2, 3, 0});
    put32(badOffset, 10, 0xFFFFFFF0u);
    EXPECT_FALSE(TreeBitmap::decode(badOffset, picture, error));
    EXPECT_EQ(picture.width(), 0);
    EXPECT_TRUE(picture.pixels().empty());
}

}  // namespace
}  // namespace dravia::test
