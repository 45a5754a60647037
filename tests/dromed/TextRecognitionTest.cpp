// Reading text from DromEd's screen: where the fields stand, reading hand-drawn fields, and the
// fast reading checked against a plain pixel-by-pixel one on many generated fields.
#include "dromed/TextRecognition.h"
#include "dromedscreen/DromEdFields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kv {
namespace {

constexpr std::uint32_t kLightGrey = 0x00C8C8C8;
constexpr std::uint32_t kNearBlack = 0x00201810;
constexpr std::uint32_t kDarkBlue = 0x00300000;
constexpr std::uint32_t kWhite = 0x00FFFFFF;

const TGlyph& GlyphOf(char ch) { return GlyphTable()[static_cast<unsigned char>(ch)]; }

// ---------------------------------------------------------------------------------------------
// The plain reading: every pixel through one read that fails outside the image, every glyph
// tried in code order, exactly as DromEd's screen is read pixel by pixel.

class TPlainReader {
public:
    TPlainReader(const TPixelImage& image, const TRect& rect, bool darkText,
                 const TGlyphTable& glyphs)
        : image_(image), rect_(rect), darkText_(darkText), glyphs_(glyphs),
          height_(rect.Bottom - rect.Top) {}

    std::string Read() const {
        int left = rect_.Left;
        int right = rect_.Right;
        while (left < right && BlankColumn(left)) ++left;
        if (left >= right) return {};
        while (right - 1 > left && BlankColumn(right - 1)) --right;
        if (right < rect_.Right) ++right;
        std::string text;
        int x = left;
        while (x < right) {
            int best = -1;
            int bestWidth = 0;
            for (int code = 0; code < 256; ++code) {
                const TGlyph& glyph = glyphs_[static_cast<std::size_t>(code)];
                const int w = glyph.Width;
                if (w <= bestWidth || x + w >= right) continue;
                if (!Matches(glyph, x)) continue;
                if (code != '_' && x + w < rect_.Right && !BlankColumn(x + w)) continue;
                best = code;
                bestWidth = w;
            }
            if (best >= 0) {
                text += static_cast<char>(best);
                x += bestWidth + (best == '_' ? 0 : 1);
            } else {
                if (!BlankColumn(x)) text += '?';
                ++x;
            }
        }
        const auto trimmed = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
        while (!text.empty() && trimmed(text.back())) text.pop_back();
        while (!text.empty() && trimmed(text.front())) text.erase(0, 1);
        return text;
    }

private:
    bool Ink(int x, int y) const {
        if (x < 0 || y < 0 || x >= image_.Width || y >= image_.Height) {
            throw Exception("GetPixel failed (" + std::to_string(x) + "," + std::to_string(y) +
                            ")");
        }
        const std::uint32_t c = image_.At(x, y);
        const bool bright = (c & 0xFF) > 50 || ((c >> 8) & 0xFF) > 50 || ((c >> 16) & 0xFF) > 50;
        return bright != darkText_;
    }
    bool BlankColumn(int x) const {
        for (int row = 0; row < height_; ++row) {
            if (Ink(x, rect_.Top + row)) return false;
        }
        return true;
    }
    bool Matches(const TGlyph& glyph, int x) const {
        for (int row = 0; row < height_; ++row) {
            for (int column = 0; column < glyph.Width; ++column) {
                const bool glyphInk = row < kGlyphSize && glyph.Ink(column, row);
                if (Ink(x + column, rect_.Top + row) != glyphInk) return false;
            }
        }
        return true;
    }

    const TPixelImage& image_;
    TRect rect_;
    bool darkText_;
    const TGlyphTable& glyphs_;
    int height_;
};

// The text read, or the message of the failure.
template <typename Read> std::string Outcome(Read read) {
    try {
        return "text \"" + read() + "\"";
    } catch (const Exception& e) {
        return std::string("failure ") + e.what();
    }
}

std::string Recognize(const TPixelImage& image, const TRect& rect, bool darkText,
                      const TGlyphTable& glyphs = GlyphTable()) {
    return Outcome([&] { return RecognizeText(image, rect, darkText, glyphs); });
}

std::string ReadPlainly(const TPixelImage& image, const TRect& rect, bool darkText,
                        const TGlyphTable& glyphs = GlyphTable()) {
    return Outcome([&] { return TPlainReader(image, rect, darkText, glyphs).Read(); });
}

// A field 11 rows high of light text on dark ground, in a 200 by 30 image.
struct TField {
    TPixelImage Image{200, 30, kDarkBlue};
    TRect Rect{10, 5, 150, 16};

    int Draw(int x, std::string_view text) {
        return DrawGlyphText(Image, x, Rect.Top, text, kWhite, 200);
    }
    [[nodiscard]] std::string Read() const { return RecognizeText(Image, Rect, false); }
};

// ---------------------------------------------------------------------------------------------
// Reading hand-drawn fields

TEST(RecognizeTextTest, HandDrawnFields) {
    const int hiWidth = TField().Draw(0, "Hi!") - 1;
    // "A" and "B" with blank columns between them.
    const auto gap = [](int n) { return [n](TField& f) { f.Draw(f.Draw(20, "A") - 1 + n, "B"); }; };
    const std::pair<std::function<void(TField&)>, const char*> cases[] = {
        {[](TField&) {}, ""},
        // Blank columns read as one space for every three after the first.
        {gap(1), "AB"},
        {gap(3), "AB"},
        {gap(4), "A B"},
        {gap(6), "A B"},
        {gap(7), "A  B"},
        {gap(10), "A   B"},
        // Without the spaces at either end.
        {[](TField& f) { f.Draw(12, "   Brush 12 selected   "); }, "Brush 12 selected"},
        // An unknown shape reads as one question mark per column.
        {[](TField& f) {
             const int x = f.Draw(12, "A");
             for (int i = 0; i < 9; ++i) f.Image.Set(x + i / 3, f.Rect.Top + i % 3, kWhite);
             f.Draw(x + 4, "B");
         },
         "A???B"},
        // A glyph drawn a row too low is not recognised.
        {[](TField& f) { DrawGlyphText(f.Image, 12, f.Rect.Top + 1, "H", kWhite, 200); },
         "???????"},
        // An underscore touching the next letter reads both.
        {[](TField& f) { f.Draw(f.Draw(f.Draw(12, "a"), "_") - 1, "b"); }, "a_b"},
        // A glyph in the field's last column cannot match.
        {[=](TField& f) { f.Draw(f.Rect.Right - 1 - hiWidth, "Hi!"); }, "Hi!"},
        {[=](TField& f) { f.Draw(f.Rect.Right - hiWidth, "Hi!"); }, "Hi?"},
    };
    for (const auto& [draw, text] : cases) {
        TField f;
        draw(f);
        EXPECT_EQ(f.Read(), text);
    }
    // Fields of no width or height.
    EXPECT_EQ(RecognizeText(TField().Image, TRect{10, 5, 10, 16}, false) +
                  RecognizeText(TField().Image, TRect{10, 5, 150, 5}, false),
              "");
}

TEST(RecognizeTextTest, DarkTextOnLightGround) {
    TPixelImage image(420, 20, kLightGrey);
    const std::string text = "Loaded C:\\Thief\\miss1.mis (x=3; y=4) [ok] {7} 50% & more!";
    DrawGlyphText(image, 3, 4, text, kNearBlack, 420);
    EXPECT_EQ(RecognizeText(image, TRect{0, 4, 410, 15}, true), text);
    // Read as light text, the ground is the ink.
    EXPECT_NE(RecognizeText(image, TRect{0, 4, 410, 15}, false), text);
}

TEST(RecognizeTextTest, ControlCharactersAtEitherEndAreDropped) {
    // A font in which "A" is also character 1, the lower code, which wins.
    TGlyphTable glyphs = GlyphTable();
    glyphs[1] = GlyphOf('A');
    TField f;
    f.Draw(12, "AxA xAx");
    EXPECT_EQ(RecognizeText(f.Image, f.Rect, false, glyphs), "x\x01 x\x01x");
}

TEST(RecognizeTextTest, TenRowFieldComparesTheTopTenRowsOfEachGlyph) {
    // A line under "Reset" in the eleventh row; the descenders of "py" cut off there.
    for (const auto& [text, row] : {std::pair{"Reset", kWhite}, std::pair{"py", kDarkBlue}}) {
        TField f;
        f.Draw(12, text);
        for (int x = 0; x < 200; ++x) f.Image.Set(x, f.Rect.Top + 10, row);
        EXPECT_EQ(RecognizeText(f.Image, TRect{10, 5, 150, 15}, false), text);
        EXPECT_NE(RecognizeText(f.Image, TRect{10, 5, 150, 16}, false), text);
    }
}

TEST(RecognizeTextTest, FieldLeavingTheImageFailsAtTheFirstPointRead) {
    TField f;
    EXPECT_EQ(Recognize(f.Image, TRect{-3, 5, 20, 16}, false), "failure GetPixel failed (-3,5)");
    EXPECT_EQ(Recognize(f.Image, TRect{10, -2, 20, 9}, false), "failure GetPixel failed (10,-2)");
    // A blank column is read down to the image's bottom, then one row further.
    EXPECT_EQ(Recognize(f.Image, TRect{10, 25, 20, 36}, false), "failure GetPixel failed (10,30)");
    f.Draw(12, "Go");
    EXPECT_EQ(Recognize(f.Image, TRect{12, 5, 250, 16}, false), "failure GetPixel failed (249,5)");
}

// ---------------------------------------------------------------------------------------------
// Where the fields stand

// x, y, w, h to a rectangle.
constexpr TRect At(int x, int y, int w, int h) { return TRect{x, y, x + w, y + h}; }

TEST(PlaceDromEdFieldTest, StandsWhereDromEdDrawsIt) {
    const std::tuple<TDromEdField, int, int, TRect> cases[] = {
        // At 1024 and wider the table's places, whatever the height.
        {dfRoomName, 1024, 768, At(262, 646, 143, 11)},
        {dfObjectName, 1024, 768, At(262, 691, 143, 11)},
        {dfBrushNumber, 1024, 768, At(2, 737, 50, 11)},
        {dfStatusFile, 1024, 768, At(11, 755, 194, 11)},
        {dfStatusMessage, 1024, 768, At(410, 755, 399, 11)},
        {dfAreaName, 1024, 768, At(262, 707, 143, 11)},
        {dfCaptionShowHot, 1024, 768, At(308, 646, 50, 10)},
        {dfCaptionReset, 1024, 768, At(277, 691, 31, 11)},
        {dfCaptionGroup, 1024, 768, At(264, 692, 33, 10)},
        {dfCaptionBright, 1024, 768, At(264, 676, 36, 10)},
        {dfStatusMessage, 1280, 1024, At(410, 755, 399, 11)},
        // At 800: the second set where there is one, and one row higher.
        {dfRoomName, 800, 600, At(262, 476, 143, 11)},
        {dfStatusFile, 800, 600, At(9, 585, 152, 11)},
        {dfStatusMessage, 800, 600, At(337, 585, 295, 11)},
        {dfCaptionCompile, 800, 600, At(347, 568, 46, 10)},
        {dfStatusMessage, 800, 700, At(337, 685, 295, 11)},
        // Below 1024: the first set, moved with the bottom of the client area.
        {dfRoomName, 640, 480, At(262, 357, 143, 11)},
        {dfStatusMessage, 640, 480, At(269, 465, 237, 11)},
        {dfCaptionFloorMe, 640, 480, At(346, 418, 47, 10)},
        {dfCaptionCompile, 640, 480, At(347, 449, 46, 10)},
        {dfBrushNumber, 640, 480, At(2, 448, 50, 11)},
        {dfStatusMessage, 1023, 768, At(269, 753, 237, 11)},
        {dfStatusFile, 801, 600, At(7, 585, 122, 11)},
    };
    for (const auto& [field, clientWidth, clientHeight, expected] : cases) {
        EXPECT_EQ(PlaceDromEdField(field, clientWidth, clientHeight), expected)
            << field << " at " << clientWidth << "x" << clientHeight;
    }
}

// ---------------------------------------------------------------------------------------------
// The fast reading against the plain one

class TFieldGenerator {
public:
    explicit TFieldGenerator(std::uint32_t seed) : random_(seed) {}

    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }
    bool Chance(int percent) { return Between(1, 100) <= percent; }

    // An ink or a ground colour for the polarity; channels at the limit
    // of 50 come up often.
    std::uint32_t Colour(bool darkText, bool ink) {
        const bool bright = ink != darkText;
        const auto channel = [&](bool high) {
            if (Chance(30)) return high ? 51 : 50;
            return high ? Between(51, 255) : Between(0, 50);
        };
        const int brightChannel = Between(0, 2);
        std::uint32_t colour = 0;
        for (int c = 0; c < 3; ++c) {
            const bool high = bright && (c == brightChannel || Chance(50));
            colour |= static_cast<std::uint32_t>(channel(high)) << (8 * c);
        }
        return colour;
    }

    std::string Text() {
        static const std::string alphabet = std::string(GlyphOrder()) + "    __";
        std::string text;
        const int length = Between(1, 10);
        for (int i = 0; i < length; ++i)
            text += alphabet[static_cast<std::size_t>(
                Between(0, static_cast<int>(alphabet.size()) - 1))];
        return text;
    }

    // Where the field stands: mostly inside the image, now and then reaching out of it.
    TRect Rect(const TPixelImage& image) {
        const int height = Chance(90) ? Between(10, 11) : Between(1, 14);
        TRect rect;
        rect.Left = Between(0, 10);
        rect.Right = image.Width - Between(0, 10);
        rect.Top = Between(0, image.Height - height);
        if (Chance(10)) {
            switch (Between(0, 3)) {
            case 0: rect.Left = -Between(1, 3); break;
            case 1: rect.Right = image.Width + Between(1, 3); break;
            case 2: rect.Top = -Between(1, 3); break;
            default: rect.Top = image.Height - height + Between(1, 3); break;
            }
        }
        rect.Bottom = rect.Top + height;
        return rect;
    }

    // Pieces of text drawn one after another, sometimes touching, sometimes misplaced by a row,
    // sometimes ending in the field's last column; noise pixels around.
    TPixelImage Image(const TRect& rect, bool darkText, int width, int height) {
        TPixelImage image(width, height, Colour(darkText, Chance(2)));
        const std::uint32_t ink = Colour(darkText, true);
        int x = rect.Left + (Chance(90) ? Between(0, 6) : Between(-3, -1));
        const int pieces = Between(0, 4);
        for (int i = 0; i < pieces; ++i) {
            std::string text = Text();
            if (Chance(15)) text += '_';
            const int y = rect.Top + (Chance(96) ? 0 : Between(-1, 1));
            if (i == pieces - 1 && Chance(40)) {
                // End in the last column or the one before.
                TPixelImage scratch(1, 1, 0);
                const int length = DrawGlyphText(scratch, 0, 0, text, 0, 0) - 1;
                x = std::max(x, rect.Right - length + Between(-1, 0));
            }
            const int end =
                DrawGlyphText(image, x, y, text, Chance(90) ? ink : Colour(darkText, true),
                              Chance(85) ? rect.Right + 2 : rect.Right + Between(-2, 0));
            const bool touch = !text.empty() && text.back() == '_' && Chance(70);
            x = touch ? end - 1 : end - 1 + Between(1, 8);
        }
        const int noise = Chance(50) ? 0 : Between(1, 6);
        for (int i = 0; i < noise; ++i) {
            image.Set(Between(rect.Left - 1, rect.Right), Between(rect.Top - 1, rect.Bottom),
                      Colour(darkText, Chance(60)));
        }
        return image;
    }

    // The built-in font with a few made-up glyphs, among them blank ones and control codes.
    TGlyphTable Font() {
        TGlyphTable glyphs = GlyphTable();
        const int extra = Between(1, 6);
        for (int i = 0; i < extra; ++i) {
            TGlyph glyph;
            glyph.Width = Between(1, kGlyphSize);
            const bool blank = Chance(20);
            const int density = Between(10, 60);
            for (auto& pixel : glyph.Pixels) pixel = !blank && Chance(density) ? 1 : 0;
            if (Chance(40)) {
                // A copy of a real glyph, perhaps with a column more.
                const char ch = GlyphOrder()[static_cast<std::size_t>(Between(0, 100))];
                glyph = GlyphOf(ch);
                if (Chance(50) && glyph.Width < kGlyphSize) ++glyph.Width;
            }
            glyphs[static_cast<std::size_t>(Chance(30) ? Between(1, 31) : Between(0, 255))] = glyph;
        }
        return glyphs;
    }

private:
    std::mt19937 random_;
};

TEST(ReadingsAgreeTest, FastReadingEqualsPlainReading) {
    // Seeds, with the built-in font and with fonts of their own.
    for (const auto& [seed, ownFont] : {std::pair{1u, false}, std::pair{20240601u, false},
                                        std::pair{5u, true}, std::pair{99u, true}}) {
        SCOPED_TRACE(seed);
        TFieldGenerator g(seed);
        int failures = 0;
        int texts = 0;
        for (int i = 0; i < 1500; ++i) {
            const bool dark = g.Chance(50);
            const int width = g.Between(30, 120);
            const int height = g.Between(14, 24);
            TPixelImage image(width, height, 0);
            const TRect rect = g.Rect(image);
            image = g.Image(rect, dark, width, height);
            const TGlyphTable glyphs = ownFont ? g.Font() : GlyphTable();
            const std::string expected = ReadPlainly(image, rect, dark, glyphs);
            const std::string actual =
                ownFont ? Recognize(image, rect, dark, glyphs) : Recognize(image, rect, dark);
            EXPECT_EQ(actual, expected) << "field " << i << " at " << rect.Left << "," << rect.Top
                                        << " to " << rect.Right << "," << rect.Bottom;
            if (actual != expected && ++failures >= 5) break;
            if (expected.rfind("text", 0) == 0 && expected.size() > 8) ++texts;
        }
        // The generated fields mostly hold readable text.
        EXPECT_GT(texts, 500);
    }
}

} // namespace
} // namespace kv
