// DromEd's 11-pixel interface font, which the program carries built in to read DromEd's screen:
// the shapes of 101 characters and the space, the table indexed by Windows-1252 code, the strip
// form in which the shapes are also kept, and drawing text with them.
#pragma once

#include "text/Exception.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr int kGlyphSize = 11; // columns and rows of a glyph cell

struct TGlyph {
    int Width = 0; // 0: the character is not recognised
    // Column after column, row 0 at the top; 1 = ink.
    std::array<std::uint8_t, kGlyphSize * kGlyphSize> Pixels{};

    [[nodiscard]] bool Ink(int column, int row) const {
        return Pixels[static_cast<std::size_t>(column * kGlyphSize + row)] != 0;
    }
    friend bool operator==(const TGlyph&, const TGlyph&) = default;
};

using TGlyphTable = std::array<TGlyph, 256>;

// The 101 characters of the strip, in strip order.
[[nodiscard]] std::string_view GlyphOrder();

// The table of the built-in font: the 101 shapes and the space (width 2, no ink).
[[nodiscard]] const TGlyphTable& GlyphTable();

// 11 rows by 632 columns; pixel (row r, column c) is bit r * 632 + c, from the least
// significant bit of the first byte.
inline constexpr int kGlyphStripColumns = 632;
using TGlyphStrip = std::array<std::uint8_t, (kGlyphSize * kGlyphStripColumns + 7) / 8>;

// A consistency check of the built-in font data failed.
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
    [[nodiscard]] const char* ClassName() const noexcept override { return "EAssertionFailed"; }
};

// Cuts a strip into the table: glyphs separated by blank columns in GlyphOrder (the double
// quote keeps its one inner blank column), then the space. Raises EAssertionFailed with
// "Extraneous char", "Char too large (W) at C" or "Not all chars found".
[[nodiscard]] TGlyphTable InitGlyphTable(const TGlyphStrip& strip);

// An image of 0x00BBGGRR pixels, row after row.
struct TPixelImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Pixels;

    TPixelImage() = default;
    TPixelImage(int width, int height, std::uint32_t fill)
        : Width(width), Height(height),
          Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}
    [[nodiscard]] std::uint32_t At(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
                      static_cast<std::size_t>(x)];
    }
    void Set(int x, int y, std::uint32_t colour) {
        if (x < 0 || y < 0 || x >= Width || y >= Height) return;
        Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) +
               static_cast<std::size_t>(x)] = colour;
    }
};

// Draws Text with its top-left corner at (X, Y): each glyph, then one blank column; characters
// without a glyph are skipped. Only columns before ClipRight are drawn. Returns the x after the
// last gap column.
int DrawGlyphText(TPixelImage& image, int x, int y, std::string_view text, std::uint32_t ink,
                  int clipRight);

} // namespace kv
