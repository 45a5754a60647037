// Drawing text at positions at the edge of the int range: nothing wraps round into the image
// and the returned pen stops at the largest int.
#include "dromedscreen/Glyphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <tuple>

namespace kv {
namespace {

TEST(GlyphExtremesTest, PositionsNearTheIntLimitsDrawNothingAndDoNotWrap) {
    // "Ab" is 7 + 1 and 6 + 1 columns wide; "HH" twice 7 + 1. Rows: x, y, clip right, text,
    // the pen returned.
    const std::tuple<int, int, int, const char*, int> rows[] = {
        {INT_MAX - 3, 0, INT_MAX, "Ab", INT_MAX}, {INT_MAX - 20, 0, INT_MAX, "HH", INT_MAX - 4},
        {INT_MAX, 0, INT_MAX, "Ab", INT_MAX},     {0, INT_MAX - 5, 100, "Ab", 15},
        {0, INT_MIN, 100, "Ab", 15},              {INT_MIN, 0, 100, "Ab", INT_MIN + 15},
        {INT_MIN, INT_MIN, INT_MIN, "HH", INT_MIN + 16}, {0, 0, INT_MIN, "Ab", 15},
    };
    for (const auto& [x, y, clipRight, text, returned] : rows) {
        TPixelImage image(32, 16, 0x00101010);
        EXPECT_EQ(DrawGlyphText(image, x, y, text, 0x00F0F0F0, clipRight), returned)
            << x << "," << y;
        EXPECT_EQ(std::count(image.Pixels.begin(), image.Pixels.end(), 0x00101010u),
                  std::ptrdiff_t{32 * 16}) << x << "," << y;
    }
}

} // namespace
} // namespace kv
