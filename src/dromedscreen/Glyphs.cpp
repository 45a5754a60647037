// The built-in interface font: its shapes, the table built from them, cutting the strip form
// and drawing text.
#include "dromedscreen/Glyphs.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <string>

namespace kv {
namespace {

constexpr std::string_view kGlyphOrder =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    "\xC4\xD6\xDC\xE4\xF6\xFC\xDF<>|,.-;:_^1234567890!\"$%&/()=?`{[]}\\'#\xB4*+~";
static_assert(kGlyphOrder.size() == 101);

// One shape: the character code and its columns from left to right, each a three-digit hex
// number whose bit r is row r (bit 0 = top row).
struct TShape {
    unsigned char Code;
    const char* Columns;
};

// clang-format off
constexpr TShape kShapes[] = {
    {0x41, "100 1F0 148 044 148 1F0 100"},
    {0x42, "104 1FC 124 124 124 0D8"},
    {0x43, "070 088 104 104 104 088"},
    {0x44, "104 1FC 104 104 088 070"},
    {0x45, "104 1FC 124 124 124 18C"},
    {0x46, "104 1FC 124 024 024 00C"},
    {0x47, "070 088 104 124 124 0E8"},
    {0x48, "104 1FC 124 020 124 1FC 104"},
    {0x49, "104 1FC 104"},
    {0x4A, "0C0 100 104 0FC 004"},
    {0x4B, "104 1FC 144 020 050 18C 104"},
    {0x4C, "104 1FC 104 100 100 180"},
    {0x4D, "104 1FC 108 010 020 010 108 1FC 104"},
    {0x4E, "104 1FC 108 010 020 044 1FC 004"},
    {0x4F, "070 088 104 104 104 088 070"},
    {0x50, "104 1FC 144 044 044 038"},
    {0x51, "070 088 104 184 104 288 270"},
    {0x52, "104 1FC 144 044 044 1B8 100"},
    {0x53, "098 124 124 124 0C8"},
    {0x54, "00C 104 1FC 104 00C"},
    {0x55, "004 0FC 104 100 104 0FC 004"},
    {0x56, "004 03C 0C4 100 0C4 03C 004"},
    {0x57, "004 01C 064 180 060 180 064 01C 004"},
    {0x58, "104 18C 154 020 154 18C 104"},
    {0x59, "004 01C 124 1C0 124 01C 004"},
    {0x5A, "18C 144 124 114 10C 184"},
    {0x61, "080 150 150 150 0E0 100"},
    {0x62, "008 0FC 120 120 120 0C0"},
    {0x63, "0E0 110 110 110 0A0"},
    {0x64, "0C0 120 120 128 0FC 100"},
    {0x65, "0E0 150 150 150 060"},
    {0x66, "120 1F8 124 024"},
    {0x67, "260 490 490 490 360 010"},
    {0x68, "108 1FC 120 020 120 1C0 100"},
    {0x69, "110 1F4 100"},
    {0x6A, "400 410 3F4"},
    {0x6B, "108 1FC 140 060 190 110"},
    {0x6C, "108 1FC 100"},
    {0x6D, "110 1E0 110 010 110 1E0 110 010 110 1E0 100"},
    {0x6E, "110 1F0 110 010 110 1E0 100"},
    {0x6F, "0E0 110 110 110 0E0"},
    {0x70, "410 7F0 410 110 110 0E0"},
    {0x71, "0E0 110 110 110 7F0 410"},
    {0x72, "110 1E0 110 010"},
    {0x73, "120 150 150 150 080"},
    {0x74, "010 0FC 110 100"},
    {0x75, "010 0F0 100 100 110 0F0 100"},
    {0x76, "010 070 080 100 090 070"},
    {0x77, "010 070 180 060 180 070 010"},
    {0x78, "110 1B0 040 1B0 110"},
    {0x79, "010 470 480 300 190 070"},
    {0x7A, "130 190 150 130 190"},
    {0xC4, "100 1F0 149 044 149 1F0 100"},
    {0xD6, "070 088 105 104 105 088 070"},
    {0xDC, "004 0FC 105 100 105 0FC 004"},
    {0xE4, "080 154 150 154 0E0 100"},
    {0xF6, "070 088 105 104 105 088 070"},
    {0xFC, "010 0F0 104 100 114 0F0 100"},
    {0xDF, "3F8 004 124 124 124 0D8"},
    {0x3C, "020 050 088"},
    {0x3E, "088 050 020"},
    {0x7C, "7FF"},
    {0x2C, "400 300"},
    {0x2E, "100"},
    {0x2D, "020 020 020 020 020"},
    {0x3B, "200 110"},
    {0x3A, "110"},
    {0x5F, "100 100 100 100 100 100"},
    {0x5E, "008 004 008"},
    {0x31, "104 1FC 100"},
    {0x32, "108 184 144 124 118"},
    {0x33, "088 104 124 124 0D8"},
    {0x34, "060 050 148 1FC 140"},
    {0x35, "09C 114 114 114 0E4"},
    {0x36, "0F0 128 124 124 0C0"},
    {0x37, "00C 004 1C4 034 00C"},
    {0x38, "0D8 124 124 124 0D8"},
    {0x39, "018 124 124 0A4 078"},
    {0x30, "0F8 104 104 104 0F8"},
    {0x21, "17C"},
    {0x22, "00C 000 00C"},
    {0x24, "088 114 3FE 124 0C8"},
    {0x25, "18C 052 02E 0D2 12A 0C4"},
    {0x26, "0C0 128 114 0A8 0C0 120"},
    {0x2F, "600 180 060 018 006"},
    {0x28, "1FC 202"},
    {0x29, "202 1FC"},
    {0x3D, "050 050 050 050"},
    {0x3F, "008 004 144 024 018"},
    {0x60, "004 008"},
    {0x7B, "020 1DC 202"},
    {0x5B, "3FE 202"},
    {0x5D, "202 3FE"},
    {0x7D, "202 1DC 020"},
    {0x5C, "006 018 060 180"},
    {0x27, "00C"},
    {0x23, "028 07C 028 07C 028"},
    {0xB4, "00C"},
    {0x2A, "028 010 07C 010 028"},
    {0x2B, "020 020 0F8 020 020"},
    {0x7E, "008 004 00C 008 004"},
};
// clang-format on
static_assert(std::size(kShapes) == kGlyphOrder.size());

constexpr unsigned char kSpace = 0x20;
constexpr unsigned char kDoubleQuote = 0x22;
constexpr int kSpaceWidth = 2;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return c - 'A' + 10;
}

TGlyph GlyphOfShape(const TShape& shape) {
    TGlyph glyph;
    const std::string_view columns = shape.Columns;
    for (std::size_t i = 0; i + 3 <= columns.size(); i += 4) {
        const int bits =
            HexDigit(columns[i]) * 256 + HexDigit(columns[i + 1]) * 16 + HexDigit(columns[i + 2]);
        for (int row = 0; row < kGlyphSize; ++row) {
            glyph.Pixels[static_cast<std::size_t>(glyph.Width * kGlyphSize + row)] =
                static_cast<std::uint8_t>((bits >> row) & 1);
        }
        ++glyph.Width;
    }
    return glyph;
}

void SetSpace(TGlyphTable& table) {
    table[kSpace] = TGlyph{};
    table[kSpace].Width = kSpaceWidth;
}

TGlyphTable BuildGlyphTable() {
    TGlyphTable table{};
    for (const TShape& shape : kShapes) table[shape.Code] = GlyphOfShape(shape);
    SetSpace(table);
    return table;
}

bool StripInk(const TGlyphStrip& strip, int column, int row) {
    const int bit = row * kGlyphStripColumns + column;
    return ((strip[static_cast<std::size_t>(bit / 8)] >> (bit % 8)) & 1) != 0;
}

bool BlankStripColumn(const TGlyphStrip& strip, int column) {
    for (int row = 0; row < kGlyphSize; ++row) {
        if (StripInk(strip, column, row)) return false;
    }
    return true;
}

} // namespace

std::string_view GlyphOrder() { return kGlyphOrder; }

const TGlyphTable& GlyphTable() {
    static const TGlyphTable table = BuildGlyphTable();
    return table;
}

TGlyphTable InitGlyphTable(const TGlyphStrip& strip) {
    TGlyphTable table{};
    const int count = static_cast<int>(kGlyphOrder.size());
    int stored = 0;
    int start = 0;
    bool quoteGap = false;
    for (int column = 0; column < kGlyphStripColumns; ++column) {
        if (!BlankStripColumn(strip, column)) continue;
        if (column == start) {
            ++start;
            continue;
        }
        // The double quote is the one glyph with a blank column of its own.
        if (stored < count &&
            static_cast<unsigned char>(kGlyphOrder[static_cast<std::size_t>(stored)]) ==
                kDoubleQuote &&
            !quoteGap) {
            quoteGap = true;
            continue;
        }
        if (stored >= count) throw EAssertionFailed("Extraneous char");
        const int width = column - start;
        if (width > kGlyphSize) {
            throw EAssertionFailed("Char too large (" + std::to_string(width) + ") at " +
                                   std::to_string(start));
        }
        TGlyph glyph;
        glyph.Width = width;
        for (int c = 0; c < width; ++c) {
            for (int row = 0; row < kGlyphSize; ++row) {
                glyph.Pixels[static_cast<std::size_t>(c * kGlyphSize + row)] =
                    StripInk(strip, start + c, row) ? 1 : 0;
            }
        }
        table[static_cast<unsigned char>(kGlyphOrder[static_cast<std::size_t>(stored)])] = glyph;
        start = column + 1;
        ++stored;
    }
    if (stored != count) throw EAssertionFailed("Not all chars found");
    SetSpace(table);
    return table;
}

int DrawGlyphText(TPixelImage& image, int x, int y, std::string_view text, std::uint32_t ink,
                  int clipRight) {
    // The pen moves in a wider type: text drawn near the edge of the int range runs past it
    // without wrapping, and the returned x stops at the largest int.
    const TGlyphTable& table = GlyphTable();
    const std::int64_t right = std::min<std::int64_t>(clipRight, image.Width);
    const std::int64_t top = y;
    std::int64_t pen = x;
    for (const char ch : text) {
        const TGlyph& glyph = table[static_cast<unsigned char>(ch)];
        if (glyph.Width <= 0) continue;
        for (int column = 0; column < glyph.Width; ++column) {
            const std::int64_t at = pen + column;
            if (at >= right) break;
            if (at < 0) continue;
            for (int row = 0; row < kGlyphSize; ++row) {
                const std::int64_t down = top + row;
                if (down < 0 || down >= image.Height || !glyph.Ink(column, row)) continue;
                image.Set(static_cast<int>(at), static_cast<int>(down), ink);
            }
        }
        pen = std::min<std::int64_t>(pen + glyph.Width + 1, std::numeric_limits<int>::max());
    }
    return static_cast<int>(pen);
}

} // namespace kv
