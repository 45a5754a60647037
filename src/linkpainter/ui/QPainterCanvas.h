// The Link Painter's off-screen picture: a canvas that paints with QPainter into an image of
// its own, which the window then shows in one copy.
#pragma once

#include "linkpainter/Canvas.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>

#include <memory>

class QPainter;

namespace kv {

// Needs a running QGuiApplication (fonts). Shapes are drawn without antialiasing, with the
// right and bottom edges of rectangles and ellipses outside the box, as on a Windows canvas.
class TQPainterCanvas final : public TCanvas {
public:
    TQPainterCanvas();
    ~TQPainterCanvas() override;
    TQPainterCanvas(const TQPainterCanvas&) = delete;
    TQPainterCanvas& operator=(const TQPainterCanvas&) = delete;

    void Resize(int width, int height) override;
    void Clear(std::uint32_t colour) override;
    [[nodiscard]] int Width() const override { return image_.width(); }
    [[nodiscard]] int Height() const override { return image_.height(); }
    [[nodiscard]] int PixelsPerInchY() const override { return 96; }

    void SetPen(std::uint32_t colour) override;
    void SetBrush(std::uint32_t colour) override;
    void Line(TPixelPoint from, TPixelPoint to) override;
    void Polyline(const std::vector<TPixelPoint>& points) override;
    void Ellipse(int left, int top, int right, int bottom, bool filled) override;
    void Polygon(const std::vector<TPixelPoint>& points) override;
    void Rectangle(int left, int top, int right, int bottom) override;

    bool SetFont(const TFontSpec& font) override;
    [[nodiscard]] TPixelPoint TextExtent(const std::string& text) override;
    void TextOut(int x, int y, const std::string& text) override;

    // The picture, with all painting so far finished, ready to be copied or shown.
    [[nodiscard]] const QImage& Image() const;

private:
    // The painter on the image, begun on first use; none while the image is empty.
    QPainter* Painter();
    void EndPainting() const;
    QString Family(const std::string& face);

    QImage image_;
    mutable std::unique_ptr<QPainter> painter_;
    QColor pen_{Qt::black};
    QColor brush_{Qt::white};
    QFont font_;
    QFontMetrics metrics_{font_};
    int angle_ = 0; // tenths of a degree, counter-clockwise
    // The last face asked for and the family that stands for it.
    std::string face_;
    QString family_;
};

} // namespace kv
