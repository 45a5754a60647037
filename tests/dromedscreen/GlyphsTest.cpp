// The built-in interface font: its table, cutting the strip form of the shapes and drawing text.
#include "dromedscreen/Glyphs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kv {
namespace {

constexpr unsigned char kSpace = 0x20;

// Builds a glyph strip column by column.
class TStripBuilder {
public:
    // A column with bit r = row r.
    void Column(std::uint16_t bits) {
        for (int row = 0; row < kGlyphSize; ++row) {
            if ((bits >> row) & 1) {
                const int bit = row * kGlyphStripColumns + next_;
                strip_[static_cast<std::size_t>(bit / 8)] |=
                    static_cast<std::uint8_t>(1 << (bit % 8));
            }
        }
        ++next_;
    }
    void Blank(int columns = 1) { next_ += columns; }
    void Glyph(const TGlyph& glyph) {
        for (int column = 0; column < glyph.Width; ++column) {
            std::uint16_t bits = 0;
            for (int row = 0; row < kGlyphSize; ++row) {
                if (glyph.Ink(column, row)) bits |= static_cast<std::uint16_t>(1 << row);
            }
            Column(bits);
        }
    }
    [[nodiscard]] int Next() const { return next_; }
    [[nodiscard]] const TGlyphStrip& Strip() const { return strip_; }

private:
    TGlyphStrip strip_{};
    int next_ = 0;
};

const TGlyph& GlyphOf(char ch) { return GlyphTable()[static_cast<unsigned char>(ch)]; }

// The strip form of the font: glyphs in strip order, one blank column after each. The start
// column of each glyph is noted in Starts.
TGlyphStrip FontStrip(std::vector<int>* starts = nullptr) {
    TStripBuilder b;
    for (const char ch : GlyphOrder()) {
        if (starts != nullptr) starts->push_back(b.Next());
        b.Glyph(GlyphOf(ch));
        b.Blank();
    }
    return b.Strip();
}

std::string AssertionOf(const TGlyphStrip& strip) {
    try {
        (void)InitGlyphTable(strip);
    } catch (const EAssertionFailed& e) {
        return e.what();
    }
    return {};
}

int Index(char ch) { return static_cast<int>(GlyphOrder().find(ch)); }

// ---------------------------------------------------------------------------------------------
// The table

TEST(GlyphTableTest, HoldsTheStripCharactersAndTheSpace) {
    int recognised = 0;
    for (const TGlyph& glyph : GlyphTable()) recognised += glyph.Width > 0 ? 1 : 0;
    EXPECT_EQ(recognised, 102);
    EXPECT_EQ(GlyphTable()[kSpace].Width, 2);
    EXPECT_EQ(GlyphTable()[kSpace].Pixels, TGlyph{}.Pixels);
    EXPECT_EQ(GlyphOf('@').Width, 0);
}

TEST(GlyphTableTest, OrderIsLettersThenUmlautsPunctuationAndDigits) {
    const std::string_view order = GlyphOrder();
    ASSERT_EQ(order.size(), 101u);
    EXPECT_EQ(order.substr(0, 52), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(order.substr(52), "\xC4\xD6\xDC\xE4\xF6\xFC\xDF<>|,.-;:_^1234567890!\"$%&/()=?`{[]}"
                                "\\'#\xB4*+~");
}

// The glyph's columns in hex, bit r = row r, e.g. "104 1FC 100".
std::string Columns(char ch) {
    std::string text;
    char buffer[8];
    for (int column = 0; column < GlyphOf(ch).Width; ++column) {
        unsigned bits = 0;
        for (int row = 0; row < kGlyphSize; ++row)
            bits |= GlyphOf(ch).Ink(column, row) ? 1u << row : 0u;
        std::snprintf(buffer, sizeof buffer, "%s%X", column == 0 ? "" : " ", bits);
        text += buffer;
    }
    return text;
}

TEST(GlyphTableTest, ShapesStandColumnAfterColumnWithRowZeroAtTheTop) {
    // Row 10 is used by the descenders; the double quote has a blank column between its ticks.
    EXPECT_EQ(Columns('1') + "|" + Columns('|') + "|" + Columns('"'), "104 1FC 100|7FF|C 0 C");
    EXPECT_EQ(GlyphOf('m').Width, 11);
    EXPECT_TRUE(GlyphOf('j').Ink(0, 10) && GlyphOf(',').Ink(0, 10));
}

TEST(GlyphTableTest, SomeCharactersShareTheirShape) {
    EXPECT_EQ(GlyphOf('\xD6'), GlyphOf('\xF6')); // upper and lower case o umlaut
    EXPECT_EQ(GlyphOf('\''), GlyphOf('\xB4'));   // apostrophe and acute accent
    EXPECT_NE(GlyphOf('\xC4'), GlyphOf('\xE4'));
}

// ---------------------------------------------------------------------------------------------
// Cutting the strip

TEST(InitGlyphTableTest, CutsTheStripBackIntoTheTable) {
    EXPECT_EQ(InitGlyphTable(FontStrip()), GlyphTable());
}

TEST(InitGlyphTableTest, IgnoresLeadingBlankColumnsAndWiderGaps) {
    TStripBuilder b;
    b.Blank(4);
    int extra = 0;
    for (const char ch : GlyphOrder()) {
        b.Glyph(GlyphOf(ch));
        const int gap = extra < 16 && Index(ch) % 6 == 0 ? 2 : 1;
        extra += gap - 1;
        b.Blank(gap);
    }
    ASSERT_LE(b.Next(), kGlyphStripColumns);
    EXPECT_EQ(InitGlyphTable(b.Strip()), GlyphTable());
}

// The font's strip with PUT drawing each glyph and the gap after it.
TGlyphStrip StripWith(const std::function<void(TStripBuilder&, char)>& put) {
    TStripBuilder b;
    for (const char ch : GlyphOrder()) put(b, ch);
    return b.Strip();
}

void PutPlain(TStripBuilder& b, char ch) {
    b.Glyph(GlyphOf(ch));
    b.Blank();
}

TEST(InitGlyphTableTest, StripsWithTooManyOrTooFewGlyphsAreRejected) {
    const TGlyph& h = GlyphOf('H');
    const std::pair<TGlyphStrip, const char*> cases[] = {
        // "~" ending in the strip's last column is not counted.
        {StripWith([](TStripBuilder& b, char ch) {
             if (ch != '~') return PutPlain(b, ch);
             b.Blank(kGlyphStripColumns - GlyphOf('~').Width - b.Next());
             b.Glyph(GlyphOf(ch));
         }),
         "Not all chars found"},
        // A glyph after the last one.
        {StripWith([](TStripBuilder& b, char ch) {
             PutPlain(b, ch);
             if (ch == '~') b.Column(0x100), b.Blank();
         }),
         "Extraneous char"},
        // "H" with its middle column blank: two glyphs.
        {StripWith([&h](TStripBuilder& b, char ch) {
             if (ch != 'H') return PutPlain(b, ch);
             for (int column = 0; column < h.Width; ++column) {
                 std::uint16_t bits = 0;
                 for (int row = 0; row < kGlyphSize && column != 3; ++row)
                     bits |= static_cast<std::uint16_t>(h.Ink(column, row) << row);
                 b.Column(bits);
             }
             b.Blank();
         }),
         "Extraneous char"},
        // "~" missing, and no glyph at all.
        {StripWith([](TStripBuilder& b, char ch) {
             if (ch != '~') PutPlain(b, ch);
         }),
         "Not all chars found"},
        {TGlyphStrip{}, "Not all chars found"},
        // The gap after a quote without its inner gap is taken as its own, so "$" joins it.
        {StripWith([](TStripBuilder& b, char ch) {
             if (ch != '"') return PutPlain(b, ch);
             b.Column(0x00C), b.Column(0x00C), b.Blank();
         }),
         "Not all chars found"},
    };
    for (const auto& [strip, message] : cases) EXPECT_EQ(AssertionOf(strip), message);
}

TEST(InitGlyphTableTest, MissingGapMakesACharTooLarge) {
    std::vector<int> starts;
    TGlyphStrip strip = FontStrip(&starts);
    // Ink in the gap after "L" joins it to "M": 6 + 1 + 9 columns.
    const int gap = starts[static_cast<std::size_t>(Index('M'))] - 1;
    strip[static_cast<std::size_t>(gap / 8)] |= static_cast<std::uint8_t>(1 << (gap % 8));
    EXPECT_EQ(AssertionOf(strip), "Char too large (16) at " +
                                      std::to_string(starts[static_cast<std::size_t>(Index('L'))]));
    // Joined first glyphs: row 0 of the gap after "A".
    strip = FontStrip();
    strip[0] |= static_cast<std::uint8_t>(1 << GlyphOf('A').Width);
    EXPECT_EQ(AssertionOf(strip), "Char too large (14) at 0");
}

// ---------------------------------------------------------------------------------------------
// Drawing

constexpr std::uint32_t kPaper = 0x00D0D0D0;
constexpr std::uint32_t kInk = 0x00102030;

// The glyph drawn at (X, Y) of the image, read back from its ink.
TGlyph ReadBack(const TPixelImage& image, int x, int y, int width) {
    TGlyph glyph;
    glyph.Width = width;
    for (int column = 0; column < width; ++column) {
        for (int row = 0; row < kGlyphSize; ++row) {
            glyph.Pixels[static_cast<std::size_t>(column * kGlyphSize + row)] =
                image.At(x + column, y + row) == kInk ? 1 : 0;
        }
    }
    return glyph;
}

bool BlankImageColumn(const TPixelImage& image, int x) {
    for (int y = 0; y < image.Height; ++y) {
        if (image.At(x, y) != kPaper) return false;
    }
    return true;
}

TEST(DrawGlyphTextTest, GlyphsGapsSpacesClipAndImageEdges) {
    // Each glyph followed by a gap column; nothing left of the pen or after the text.
    TPixelImage image(40, 16, kPaper);
    EXPECT_EQ(DrawGlyphText(image, 3, 2, "Ab", kInk, 40), 3 + 8 + 7);
    EXPECT_EQ(ReadBack(image, 3, 2, 7), GlyphOf('A'));
    EXPECT_EQ(ReadBack(image, 11, 2, 6), GlyphOf('b'));
    std::string blank;
    for (int x = 0; x < 40; ++x) blank += BlankImageColumn(image, x) ? '.' : '#';
    EXPECT_EQ(blank, "...#######.######.......................");
    // A space is two blank columns; unknown characters are skipped.
    TPixelImage a(60, 12, kPaper);
    TPixelImage b(60, 12, kPaper);
    EXPECT_EQ(DrawGlyphText(a, 0, 0, "A B", kInk, 60), 8 + 3 + 7);
    EXPECT_EQ(DrawGlyphText(b, 0, 0, "A\x01 @B", kInk, 60), 8 + 3 + 7);
    EXPECT_EQ(a.Pixels, b.Pixels);
    // Only columns before the clip are drawn, but the pen moves on.
    TPixelImage clipped(12, 12, kPaper);
    EXPECT_EQ(DrawGlyphText(clipped, 5, 0, "HH", kInk, 8), 5 + 16);
    blank.clear();
    for (int x = 0; x < 12; ++x) blank += BlankImageColumn(clipped, x) ? '.' : '#';
    EXPECT_EQ(blank, ".....###....");
    // Pixels outside the image are left out: column 3 of "M" (010, row 4) lands at (0, 2).
    TPixelImage small(6, 8, kPaper);
    EXPECT_EQ(DrawGlyphText(small, -3, -2, "M", kInk, 100), 7);
    EXPECT_EQ(std::pair(small.At(0, 2), small.At(0, 0)), std::pair(kInk, kPaper));
}

} // namespace
} // namespace kv
