// Reading text from a copy of DromEd's client area.
//
// The reading follows DromEd's own pixel logic exactly, but works on column masks: each
// column of the field is read once into a bit mask (bit r = row r), the glyphs are turned
// into masks of the rows the field compares, and at each column only the glyphs whose first
// column fits are tried. The result is the same as trying every glyph pixel by pixel.
//
// Pixel reads outside the image fail as a read of the screen copy would, at the read where
// pixel-by-pixel matching would first touch such a point: a column is tested from the top
// down and stops at the first ink; a glyph is compared row after row, each row from left to
// right, and the comparison stops at the first difference.
#include "dromed/TextRecognition.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace kv {
namespace {

using TMask = std::uint16_t;
constexpr TMask kCellRows = (1u << kGlyphSize) - 1;
// Set in a column's mask when it has ink in a row below the glyph cell; no glyph matches it.
constexpr TMask kInkBelowCell = 0x8000;
constexpr unsigned char kUnderscore = 0x5F;
constexpr int kNoRow = std::numeric_limits<int>::max();
constexpr std::uint32_t kDarkLimit = 50;

TMask TopRows(int rows) {
    return rows >= kGlyphSize ? kCellRows : static_cast<TMask>((1u << std::max(rows, 0)) - 1);
}

// A glyph as masks of the rows that a field of a given height compares.
struct TGlyphMasks {
    unsigned char Code = 0;
    int Width = 0;
    std::array<TMask, kGlyphSize> Columns{};
};

// The glyphs of a table for one field height: in code order, and grouped by their first
// column with the widest first and, among equally wide ones, the lowest code first, so
// the first match of a group is the one that wins.
class TGlyphIndex {
public:
    TGlyphIndex(const TGlyphTable& glyphs, int height) {
        const TMask rows = TopRows(height);
        for (int code = 0; code < static_cast<int>(glyphs.size()); ++code) {
            const TGlyph& glyph = glyphs[static_cast<std::size_t>(code)];
            // A shape wider than the cell cannot come from the font data.
            if (glyph.Width <= 0 || glyph.Width > kGlyphSize) continue;
            TGlyphMasks masks;
            masks.Code = static_cast<unsigned char>(code);
            masks.Width = glyph.Width;
            for (int column = 0; column < glyph.Width; ++column) {
                TMask mask = 0;
                for (int row = 0; row < kGlyphSize; ++row) {
                    if (glyph.Ink(column, row)) mask |= static_cast<TMask>(1u << row);
                }
                masks.Columns[static_cast<std::size_t>(column)] = mask & rows;
            }
            byCode_.push_back(masks);
        }
        std::vector<std::uint16_t> order(byCode_.size());
        for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint16_t>(i);
        std::stable_sort(order.begin(), order.end(), [this](std::uint16_t a, std::uint16_t b) {
            const TGlyphMasks& ga = byCode_[a];
            const TGlyphMasks& gb = byCode_[b];
            if (ga.Columns[0] != gb.Columns[0]) return ga.Columns[0] < gb.Columns[0];
            return ga.Width > gb.Width;
        });
        grouped_.reserve(order.size());
        for (const std::uint16_t i : order) grouped_.push_back(&byCode_[i]);
        std::size_t next = 0;
        for (std::size_t key = 0; key < groupStart_.size(); ++key) {
            while (next < grouped_.size() && grouped_[next]->Columns[0] < key) ++next;
            groupStart_[key] = static_cast<std::uint16_t>(next);
        }
    }
    TGlyphIndex(const TGlyphIndex&) = delete;
    TGlyphIndex& operator=(const TGlyphIndex&) = delete;

    [[nodiscard]] const std::vector<TGlyphMasks>& ByCode() const { return byCode_; }

    [[nodiscard]] std::span<const TGlyphMasks* const> WithFirstColumn(TMask first) const {
        if (first > kCellRows) return {};
        return std::span<const TGlyphMasks* const>(grouped_).subspan(
            groupStart_[first], groupStart_[first + 1u] - groupStart_[first]);
    }

private:
    std::vector<TGlyphMasks> byCode_;
    std::vector<const TGlyphMasks*> grouped_;
    std::array<std::uint16_t, kCellRows + 2> groupStart_{};
};

// The built-in font, prepared once for every field height up to the cell's.
const TGlyphIndex& BuiltInGlyphIndex(int height) {
    static const std::vector<std::unique_ptr<TGlyphIndex>> indexes = [] {
        std::vector<std::unique_ptr<TGlyphIndex>> all;
        for (int h = 1; h <= kGlyphSize; ++h)
            all.push_back(std::make_unique<TGlyphIndex>(GlyphTable(), h));
        return all;
    }();
    return *indexes[static_cast<std::size_t>(std::clamp(height, 1, kGlyphSize) - 1)];
}

// The ink of a field's columns that lie inside the image, read row after row.
class TFieldInk {
public:
    TFieldInk(const TPixelImage& image, const TRect& rect, bool darkText)
        : top_(rect.Top), height_(static_cast<std::int64_t>(rect.Bottom) - rect.Top) {
        first_ = std::max<std::int64_t>(rect.Left, 0);
        last_ = std::max(first_, std::min<std::int64_t>(rect.Right, image.Width));
        if (top_ >= 0 && top_ < image.Height)
            validRows_ = static_cast<int>(std::min<std::int64_t>(height_, image.Height - top_));
        inside_ = rect.Left >= 0 && rect.Right <= image.Width && validRows_ == height_;

        const auto columns = static_cast<std::size_t>(last_ - first_);
        masks_.assign(columns, 0);
        if (validRows_ > kGlyphSize) inkRowBelowCell_.assign(columns, kNoRow);
        // Bright pixels are ink for light text, dark ones for dark text.
        const std::uint32_t darkIsInk = darkText ? 1 : 0;
        for (int row = 0; row < validRows_; ++row) {
            const std::uint32_t* pixel =
                image.Pixels.data() +
                (static_cast<std::size_t>(top_ + row) * static_cast<std::size_t>(image.Width) +
                 static_cast<std::size_t>(first_));
            if (row < kGlyphSize) {
                for (std::size_t i = 0; i < columns; ++i) {
                    const std::uint32_t p = pixel[i];
                    const std::uint32_t bright = static_cast<std::uint32_t>(
                        (p & 0xFF) > kDarkLimit || ((p >> 8) & 0xFF) > kDarkLimit ||
                        ((p >> 16) & 0xFF) > kDarkLimit);
                    masks_[i] = static_cast<TMask>(masks_[i] | ((bright ^ darkIsInk) << row));
                }
            } else {
                for (std::size_t i = 0; i < columns; ++i) {
                    if (!IsInkColour(pixel[i], darkText) || inkRowBelowCell_[i] != kNoRow) continue;
                    inkRowBelowCell_[i] = row;
                    masks_[i] |= kInkBelowCell;
                }
            }
        }
    }

    // Every point of the field lies in the image: no read can fail.
    [[nodiscard]] bool Inside() const { return inside_; }
    [[nodiscard]] std::int64_t Top() const { return top_; }
    [[nodiscard]] std::int64_t Height() const { return height_; }

    // The column's ink in the rows of the glyph cell; kInkBelowCell when it has more.
    [[nodiscard]] TMask Mask(std::int64_t x) const {
        return InImage(x) ? masks_[static_cast<std::size_t>(x - first_)] : 0;
    }
    // The first row below the glyph cell with ink, kNoRow for none.
    [[nodiscard]] int InkRowBelowCell(std::int64_t x) const {
        return InImage(x) && !inkRowBelowCell_.empty()
                   ? inkRowBelowCell_[static_cast<std::size_t>(x - first_)]
                   : kNoRow;
    }
    // How many rows of the column, from the top, can be read.
    [[nodiscard]] int ValidRows(std::int64_t x) const { return InImage(x) ? validRows_ : 0; }

private:
    [[nodiscard]] bool InImage(std::int64_t x) const { return x >= first_ && x < last_; }

    std::int64_t top_;
    std::int64_t height_;
    std::int64_t first_ = 0; // the columns inside the image: first_ to last_ - 1
    std::int64_t last_ = 0;
    int validRows_ = 0;
    bool inside_ = false;
    std::vector<TMask> masks_;
    std::vector<int> inkRowBelowCell_;
};

[[noreturn]] void FailPixelRead(std::int64_t x, std::int64_t y) {
    throw Exception("GetPixel failed (" + std::to_string(x) + "," + std::to_string(y) + ")");
}

// The reading of a field that lies wholly in the image.
class TDirectReader {
public:
    TDirectReader(const TFieldInk& ink, const TGlyphIndex& glyphs, std::int64_t fieldRight)
        : ink_(ink), glyphs_(glyphs), fieldRight_(fieldRight) {}

    [[nodiscard]] bool Blank(std::int64_t x) const { return ink_.Mask(x) == 0; }

    [[nodiscard]] const TGlyphMasks* BestMatch(std::int64_t x, std::int64_t right) const {
        for (const TGlyphMasks* glyph : glyphs_.WithFirstColumn(ink_.Mask(x))) {
            const int width = glyph->Width;
            if (x + width >= right) continue;
            int column = 1;
            while (column < width &&
                   ink_.Mask(x + column) == glyph->Columns[static_cast<std::size_t>(column)])
                ++column;
            if (column < width) continue;
            if (glyph->Code != kUnderscore && x + width < fieldRight_ && !Blank(x + width))
                continue;
            return glyph;
        }
        return nullptr;
    }

private:
    const TFieldInk& ink_;
    const TGlyphIndex& glyphs_;
    std::int64_t fieldRight_;
};

// The reading of a field that reaches out of the image: every glyph is tried in code order,
// so that exactly the reads that pixel-by-pixel matching makes can fail.
class TCheckedReader {
public:
    TCheckedReader(const TFieldInk& ink, const TGlyphIndex& glyphs, std::int64_t fieldRight)
        : ink_(ink), glyphs_(glyphs), fieldRight_(fieldRight),
          cellRows_(static_cast<int>(std::min<std::int64_t>(ink.Height(), kGlyphSize))) {}

    [[nodiscard]] bool Blank(std::int64_t x) const {
        if (ink_.Mask(x) != 0) return false;
        if (ink_.ValidRows(x) < ink_.Height()) FailPixelRead(x, ink_.Top() + ink_.ValidRows(x));
        return true;
    }

    [[nodiscard]] const TGlyphMasks* BestMatch(std::int64_t x, std::int64_t right) const {
        const TGlyphMasks* best = nullptr;
        for (const TGlyphMasks& glyph : glyphs_.ByCode()) {
            const int width = glyph.Width;
            if ((best != nullptr && width <= best->Width) || x + width >= right) continue;
            if (!Matches(glyph, x)) continue;
            if (glyph.Code != kUnderscore && x + width < fieldRight_ && !Blank(x + width)) continue;
            best = &glyph;
        }
        return best;
    }

private:
    // Whether the glyph's pixels match at X; fails at the first read outside the image that
    // comes before the first difference.
    [[nodiscard]] bool Matches(const TGlyphMasks& glyph, std::int64_t x) const {
        int firstRow = kNoRow; // the first row with a difference or an unreadable point
        int firstColumn = 0;   // its first column
        bool unreadable = false;
        for (int column = 0; column < glyph.Width; ++column) {
            const std::int64_t at = x + column;
            const int valid = ink_.ValidRows(at);
            const TMask differs =
                (ink_.Mask(at) ^ glyph.Columns[static_cast<std::size_t>(column)]) &
                TopRows(std::min(valid, cellRows_));
            int row = differs != 0 ? std::countr_zero(differs) : ink_.InkRowBelowCell(at);
            bool fails = false;
            if (row == kNoRow && valid < ink_.Height()) {
                row = valid;
                fails = true;
            }
            if (row < firstRow) {
                firstRow = row;
                firstColumn = column;
                unreadable = fails;
            }
        }
        if (firstRow == kNoRow) return true;
        if (unreadable) FailPixelRead(x + firstColumn, ink_.Top() + firstRow);
        return false;
    }

    const TFieldInk& ink_;
    const TGlyphIndex& glyphs_;
    std::int64_t fieldRight_;
    int cellRows_;
};

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// DromEd's own order of reading: narrow the field to its ink, then match glyph after glyph.
template <typename TReader>
std::string Scan(const TReader& reader, std::int64_t left, std::int64_t right) {
    const std::int64_t fieldRight = right;
    while (left < right && reader.Blank(left)) ++left;
    if (left >= right) return {};
    while (right - 1 > left && reader.Blank(right - 1)) --right;
    // The column after the last ink belongs to the text: glyphs need a blank column after them.
    if (right < fieldRight) ++right;

    std::string text;
    for (std::int64_t x = left; x < right;) {
        if (const TGlyphMasks* glyph = reader.BestMatch(x, right)) {
            text += static_cast<char>(glyph->Code);
            // The underscore may touch the next character.
            x += glyph->Width + (glyph->Code == kUnderscore ? 0 : 1);
        } else {
            if (!reader.Blank(x)) text += '?';
            ++x;
        }
    }
    const auto first = std::find_if_not(text.begin(), text.end(), IsTrimmed);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsTrimmed).base();
    return first < last ? std::string(first, last) : std::string();
}

} // namespace

bool IsInkColour(std::uint32_t colour, bool darkText) noexcept {
    const bool bright = (colour & 0xFF) > kDarkLimit || ((colour >> 8) & 0xFF) > kDarkLimit ||
                        ((colour >> 16) & 0xFF) > kDarkLimit;
    return bright != darkText;
}

std::string RecognizeText(const TPixelImage& image, const TRect& rect, bool darkText,
                          const TGlyphTable& glyphs) {
    // Without rows or columns every column is blank and nothing is read.
    if (rect.Bottom <= rect.Top || rect.Right <= rect.Left) return {};
    const TFieldInk ink(image, rect, darkText);
    std::unique_ptr<TGlyphIndex> own;
    const int height = static_cast<int>(std::min<std::int64_t>(ink.Height(), kGlyphSize));
    if (&glyphs != &GlyphTable()) own = std::make_unique<TGlyphIndex>(glyphs, height);
    const TGlyphIndex& index = own ? *own : BuiltInGlyphIndex(height);
    if (ink.Inside()) return Scan(TDirectReader(ink, index, rect.Right), rect.Left, rect.Right);
    return Scan(TCheckedReader(ink, index, rect.Right), rect.Left, rect.Right);
}

} // namespace kv
