// A canvas for tests: it paints nothing and records every call with its coordinates, the pen,
// brush and font in effect, so a test can check what a drawing puts where.
#pragma once

#include "linkpainter/Canvas.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace kv::test {

enum class TCanvasOp { Resize, Clear, Line, Polyline, Ellipse, Polygon, Rectangle, SetFont, TextOut };

struct TCanvasCall {
    TCanvasOp Op = TCanvasOp::Clear;
    // Line: its two ends; Polyline, Polygon: all points; Ellipse, Rectangle: (left, top) and
    // (right, bottom); TextOut: where the text starts; Resize: (width, height).
    std::vector<TPixelPoint> Points;
    bool Filled = false;              // Ellipse
    std::uint32_t Pen = 0, Brush = 0; // in effect
    TFontSpec Font;                   // SetFont: the one asked for; otherwise the one in effect
    std::string Text;                 // TextOut
};

class TRecordingCanvas : public TCanvas {
public:
    std::vector<TCanvasCall> Calls;
    // Whether a font can be made; every font can unless a test says otherwise.
    std::function<bool(const TFontSpec&)> FontAvailable = [](const TFontSpec&) { return true; };

    void Resize(int width, int height) override {
        width_ = width;
        height_ = height;
        Record(TCanvasOp::Resize, {{width, height}});
    }
    void Clear(std::uint32_t) override { Record(TCanvasOp::Clear, {}); }
    [[nodiscard]] int Width() const override { return width_; }
    [[nodiscard]] int Height() const override { return height_; }
    [[nodiscard]] int PixelsPerInchY() const override { return 96; }

    void SetPen(std::uint32_t colour) override { pen_ = colour; }
    void SetBrush(std::uint32_t colour) override { brush_ = colour; }
    void Line(TPixelPoint from, TPixelPoint to) override { Record(TCanvasOp::Line, {from, to}); }
    void Polyline(const std::vector<TPixelPoint>& p) override { Record(TCanvasOp::Polyline, p); }
    void Ellipse(int left, int top, int right, int bottom, bool filled) override {
        Record(TCanvasOp::Ellipse, {{left, top}, {right, bottom}}).Filled = filled;
    }
    void Polygon(const std::vector<TPixelPoint>& p) override { Record(TCanvasOp::Polygon, p); }
    void Rectangle(int left, int top, int right, int bottom) override {
        Record(TCanvasOp::Rectangle, {{left, top}, {right, bottom}});
    }

    bool SetFont(const TFontSpec& font) override {
        const bool accepted = FontAvailable(font);
        Record(TCanvasOp::SetFont, {}).Font = font;
        if (accepted) font_ = font;
        return accepted;
    }
    // Text measures 6 pixels per character and 13 high.
    [[nodiscard]] TPixelPoint TextExtent(const std::string& text) override {
        return {static_cast<int>(text.size()) * 6, 13};
    }
    void TextOut(int x, int y, const std::string& text) override {
        Record(TCanvasOp::TextOut, {{x, y}}).Text = text;
    }

    // The calls of one kind, in order.
    [[nodiscard]] std::vector<TCanvasCall> Of(TCanvasOp op) const {
        std::vector<TCanvasCall> result;
        std::copy_if(Calls.begin(), Calls.end(), std::back_inserter(result),
                     [op](const TCanvasCall& c) { return c.Op == op; });
        return result;
    }
    [[nodiscard]] std::size_t Count(TCanvasOp op) const { return Of(op).size(); }

    // True when every coordinate drawn lies within Limit of the origin.
    [[nodiscard]] bool AllPointsWithin(int limit) const {
        return std::all_of(Calls.begin(), Calls.end(), [limit](const TCanvasCall& c) {
            return std::all_of(c.Points.begin(), c.Points.end(), [limit](TPixelPoint p) {
                return std::abs(std::int64_t{p.X}) <= limit && std::abs(std::int64_t{p.Y}) <= limit;
            });
        });
    }

private:
    TCanvasCall& Record(TCanvasOp op, std::vector<TPixelPoint> points) {
        TCanvasCall call;
        call.Op = op;
        call.Points = std::move(points);
        call.Pen = pen_;
        call.Brush = brush_;
        call.Font = font_;
        Calls.push_back(std::move(call));
        return Calls.back();
    }

    int width_ = 0, height_ = 0;
    std::uint32_t pen_ = 0, brush_ = 0xFFFFFF;
    TFontSpec font_;
};

} // namespace kv::test
