#include "linkpainter/ui/QPainterCanvas.h"

#include "text/ui/QtText.h"

#include <QBrush>
#include <QFontDatabase>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRect>

#include <algorithm>
#include <cstdlib>

namespace kv {

namespace {

// Larger fonts are refused rather than rendered for minutes.
constexpr int kLargestFontPixels = 2000;

QColor ToQColor(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QPolygon ToQPolygon(const std::vector<TPixelPoint>& points) {
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const TPixelPoint& p : points) polygon.append(QPoint(p.X, p.Y));
    return polygon;
}

// The box (left, top)-(right, bottom) without its right column and bottom row, as QPainter
// outlines a rectangle one pixel beyond its width and height; empty when nothing is left.
QRect InnerBox(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 2, bottom - 2));
}

} // namespace

TQPainterCanvas::TQPainterCanvas() = default;

TQPainterCanvas::~TQPainterCanvas() { EndPainting(); }

QPainter* TQPainterCanvas::Painter() {
    if (image_.isNull()) return nullptr;
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
    }
    return painter_.get();
}

void TQPainterCanvas::EndPainting() const { painter_.reset(); }

const QImage& TQPainterCanvas::Image() const {
    EndPainting();
    return image_;
}

void TQPainterCanvas::Resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == image_.width() && height == image_.height()) return;
    EndPainting();
    image_ = width > 0 && height > 0 ? QImage(width, height, QImage::Format_RGB32) : QImage();
    if (!image_.isNull()) image_.fill(Qt::white);
}

void TQPainterCanvas::Clear(std::uint32_t colour) {
    EndPainting();
    if (!image_.isNull()) image_.fill(ToQColor(colour));
}

void TQPainterCanvas::SetPen(std::uint32_t colour) { pen_ = ToQColor(colour); }

void TQPainterCanvas::SetBrush(std::uint32_t colour) { brush_ = ToQColor(colour); }

void TQPainterCanvas::Line(TPixelPoint from, TPixelPoint to) {
    QPainter* p = Painter();
    if (p == nullptr) return;
    p->setPen(QPen(pen_, 1));
    p->drawLine(from.X, from.Y, to.X, to.Y);
}

void TQPainterCanvas::Polyline(const std::vector<TPixelPoint>& points) {
    QPainter* p = Painter();
    if (p == nullptr || points.empty()) return;
    p->setPen(QPen(pen_, 1));
    p->drawPolyline(ToQPolygon(points));
}

void TQPainterCanvas::Ellipse(int left, int top, int right, int bottom, bool filled) {
    QPainter* p = Painter();
    const QRect box = InnerBox(left, top, right, bottom);
    if (p == nullptr || box.width() < 0 || box.height() < 0) return;
    p->setPen(QPen(pen_, 1));
    p->setBrush(filled ? QBrush(brush_) : QBrush(Qt::NoBrush));
    p->drawEllipse(box);
}

void TQPainterCanvas::Polygon(const std::vector<TPixelPoint>& points) {
    QPainter* p = Painter();
    if (p == nullptr || points.empty()) return;
    p->setPen(QPen(pen_, 1));
    p->setBrush(QBrush(brush_));
    p->drawPolygon(ToQPolygon(points));
}

void TQPainterCanvas::Rectangle(int left, int top, int right, int bottom) {
    QPainter* p = Painter();
    const QRect box = InnerBox(left, top, right, bottom);
    if (p == nullptr || box.width() < 0 || box.height() < 0) return;
    p->setPen(QPen(pen_, 1));
    p->setBrush(QBrush(brush_));
    p->drawRect(box);
}

QString TQPainterCanvas::Family(const std::string& face) {
    if (family_.isEmpty() || face != face_) {
        face_ = face;
        const QString wanted = ToQt(face);
        family_ = QFontDatabase::hasFamily(wanted)
                      ? wanted
                      : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }
    return family_;
}

bool TQPainterCanvas::SetFont(const TFontSpec& font) {
    if (font.Height < -kLargestFontPixels || font.Height > kLargestFontPixels) return false;
    QFont qfont(Family(font.Face));
    qfont.setStyleHint(QFont::SansSerif);
    // Turned glyphs are drawn afresh for every angle; hinting them would cost a third of the time.
    if (font.Angle != 0) qfont.setHintingPreference(QFont::PreferNoHinting);
    // Height 0 asks for the default size.
    if (font.Height != 0) qfont.setPixelSize(std::abs(font.Height));
    font_ = qfont;
    metrics_ = QFontMetrics(font_);
    angle_ = font.Angle;
    return true;
}

TPixelPoint TQPainterCanvas::TextExtent(const std::string& text) {
    const QString s = ToQt(text);
    return {metrics_.horizontalAdvance(s), metrics_.height()};
}

void TQPainterCanvas::TextOut(int x, int y, const std::string& text) {
    QPainter* p = Painter();
    if (p == nullptr || text.empty()) return;
    p->setFont(font_);
    p->setPen(QPen(Qt::black, 1));
    // The text's top-left corner at the point: its base line one ascent lower.
    const QString s = ToQt(text);
    if (angle_ == 0) {
        p->drawText(QPoint(x, y + metrics_.ascent()), s);
        return;
    }
    p->save();
    p->translate(x, y);
    p->rotate(-angle_ / 10.0);
    p->drawText(QPoint(0, metrics_.ascent()), s);
    p->restore();
}

} // namespace kv
