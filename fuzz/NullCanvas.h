// A canvas that draws nothing and measures text at six pixels a character: the Link Painter's
// drawing without a window.
#pragma once

#include "linkpainter/Canvas.h"

#include <string>
#include <vector>

namespace kv::fuzz {

class TNullCanvas : public TCanvas {
public:
    void Resize(int width, int height) override {
        width_ = width;
        height_ = height;
    }
    void Clear(std::uint32_t) override {}
    [[nodiscard]] int Width() const override { return width_; }
    [[nodiscard]] int Height() const override { return height_; }
    [[nodiscard]] int PixelsPerInchY() const override { return 96; }
    void SetPen(std::uint32_t) override {}
    void SetBrush(std::uint32_t) override {}
    void Line(TPixelPoint, TPixelPoint) override {}
    void Polyline(const std::vector<TPixelPoint>&) override {}
    void Ellipse(int, int, int, int, bool) override {}
    void Polygon(const std::vector<TPixelPoint>&) override {}
    void Rectangle(int, int, int, int) override {}
    bool SetFont(const TFontSpec&) override { return true; }
    [[nodiscard]] TPixelPoint TextExtent(const std::string& text) override {
        return {static_cast<std::int32_t>(text.size() % 100000) * 6, 13};
    }
    void TextOut(int, int, const std::string&) override {}

private:
    int width_ = 0;
    int height_ = 0;
};

} // namespace kv::fuzz
