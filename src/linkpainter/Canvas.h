// What drawing a graph needs of a surface: pens, brushes, lines, ellipses, polygons and text
// in a font of a face, size and angle. The Qt canvas paints into an image; tests record every
// call and check coordinates.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

struct TPixelPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPixelPoint&, const TPixelPoint&) = default;
};

struct TFontSpec {
    std::string Face = "Microsoft Sans Serif";
    // Height in pixels as the font is created: negative for a character height (the usual
    // -(points * pixels per inch / 72)).
    int Height = -11;
    // Escapement in tenths of a degree, counter-clockwise.
    int Angle = 0;
    friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

class TCanvas {
public:
    virtual ~TCanvas() = default;

    // Makes the surface Width by Height pixels when it differs; Clear then fills it.
    virtual void Resize(int width, int height) = 0;
    virtual void Clear(std::uint32_t colour) = 0;
    [[nodiscard]] virtual int Width() const = 0;
    [[nodiscard]] virtual int Height() const = 0;
    [[nodiscard]] virtual int PixelsPerInchY() const = 0;

    // Colours are 0x00BBGGRR. The pen outlines and draws lines; the brush fills.
    virtual void SetPen(std::uint32_t colour) = 0;
    virtual void SetBrush(std::uint32_t colour) = 0;
    virtual void Line(TPixelPoint from, TPixelPoint to) = 0;
    virtual void Polyline(const std::vector<TPixelPoint>& points) = 0;
    // An ellipse in the box Left, Top, Right, Bottom; filled with the brush when Filled.
    virtual void Ellipse(int left, int top, int right, int bottom, bool filled) = 0;
    // Filled with the brush, outlined with the pen.
    virtual void Polygon(const std::vector<TPixelPoint>& points) = 0;
    virtual void Rectangle(int left, int top, int right, int bottom) = 0;

    // False when the font cannot be made; the previous font stays.
    virtual bool SetFont(const TFontSpec& font) = 0;
    [[nodiscard]] virtual TPixelPoint TextExtent(const std::string& text) = 0;
    // Black text without background, its top-left corner at (X, Y) before rotation.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
};

} // namespace kv
