// The stored window placement, as the settings store may hand it back after a hand edit or a
// copy from another machine: what is not ten usable integers gives the default placement.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/PlacementText.h"

namespace dravia {
namespace {

struct PlacementRow {
    const char* name;
    std::string text;
    std::optional<WindowPlacement> expected;
};

WindowPlacement placement(int flags, int show, int minX, int minY, int maxX, int maxY, int left, int top,
                          int right, int bottom) {
    return WindowPlacement{flags, show, minX, minY, maxX, maxY, left, top, right, bottom};
}

void PrintTo(const PlacementRow& row, std::ostream* out) {
    *out << row.name;
}

class PlacementCatalogue : public ::testing::TestWithParam<PlacementRow> {};

TEST_P(PlacementCatalogue, ReadsOrRefusesTheText) {
    EXPECT_EQ(parsePlacementText(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    StoredTexts, PlacementCatalogue,
    ::testing::Values(
        PlacementRow{"Default", "0:1:-1:-1:-1:-1:100:100:800:600",
                     placement(0, 1, -1, -1, -1, -1, 100, 100, 800, 600)},
        PlacementRow{"Empty", "", std::nullopt},
        PlacementRow{"NineValues", "0:1:-1:-1:-1:-1:100:100:800", std::nullopt},
        PlacementRow{"TruncatedAfterColon", "0:1:-1:-1:-1:-1:100:100:800:", std::nullopt},
        PlacementRow{"Words", "a:b:c:d:e:f:g:h:i:j", std::nullopt},
        PlacementRow{"OtherSeparator", "0,1,-1,-1,-1,-1,100,100,800,600", std::nullopt},
        PlacementRow{"BlankBeforeSeparator", "0 :1:-1:-1:-1:-1:100:100:800:600", std::nullopt},
        PlacementRow{"BlanksBeforeNumbers", " 0: 1:-1:-1:-1:-1:100:100:800:600",
                     placement(0, 1, -1, -1, -1, -1, 100, 100, 800, 600)},
        PlacementRow{"TrailingText", "0:1:-1:-1:-1:-1:100:100:800:600 and more",
                     placement(0, 1, -1, -1, -1, -1, 100, 100, 800, 600)},
        PlacementRow{"Crlf", "0:1:-1:-1:-1:-1:100:100:800:600\r\n",
                     placement(0, 1, -1, -1, -1, -1, 100, 100, 800, 600)},
        PlacementRow{"HexadecimalAndOctal", "0:1:-1:-1:-1:-1:0x10:010:800:600",
                     placement(0, 1, -1, -1, -1, -1, 16, 8, 800, 600)},
        PlacementRow{"BelowIntRange", "0:1:-1:-1:-1:-1:-2147483649:100:800:600", std::nullopt},
        PlacementRow{"AboveIntRange", "0:1:-1:-1:-1:-1:100:100:2147483648:600", std::nullopt},
        PlacementRow{"Huge", "0:1:-1:-1:-1:-1:100:100:1e308:600", std::nullopt},
        PlacementRow{"WidthBeyondIntRange", "0:1:-1:-1:-1:-1:-2147483648:0:2147483647:600", std::nullopt},
        PlacementRow{"HeightBeyondIntRange", "0:1:-1:-1:-1:-1:0:2147483647:800:-2", std::nullopt},
        PlacementRow{"ExtremeButFitting", "0:1:-1:-1:-1:-1:-1073741824:0:1073741823:600",
                     placement(0, 1, -1, -1, -1, -1, -1073741824, 0, 1073741823, 600)},
        PlacementRow{"NaN", "0:1:-1:-1:-1:-1:nan:100:800:600", std::nullopt},
        PlacementRow{"NulInside", std::string("0:1:-1:-1:-1:\0-1:100:100:800:600", 32), std::nullopt},
        PlacementRow{"BinaryGarbage", std::string("\x89PNG\r\n\x1a\n\0\0", 10), std::nullopt},
        PlacementRow{"VeryLong", "0:1:-1:-1:-1:-1:100:100:800:" + std::string(100000, '6'), std::nullopt}),
    [](const ::testing::TestParamInfo<PlacementRow>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dravia
