// The Link Painter's mouse tools (moving, linking, sizing and turning, the rubber band), the
// drop of favourites from the main window and the automatic layout.
#include "linkpainter/LinkPainter.h"

#include "linkpainter/LinkFlavors.h"
#include "linkpainter/LinkPainterScope.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kv {

namespace {

constexpr double kPi = std::numbers::pi;

bool operator!=(TPixelPoint a, TPixelPoint b) { return !(a == b); }

// The length of the pixel vector from (ax, ay) to (bx, by): integer squares, floating root.
double PixelDistance(int ax, int ay, int bx, int by) {
    const double dx = static_cast<double>(bx) - ax;
    const double dy = static_cast<double>(by) - ay;
    return std::sqrt(dx * dx + dy * dy);
}

// The angle of (dx, dy) on screen, counter-clockwise from the x axis, as arccos of dx / r
// mirrored below the centre; false when it cannot be computed.
bool ScreenAngle(double dx, double dy, double r, double& angle) {
    if (r == 0) return false;
    angle = std::acos(dx / r);
    if (!std::isfinite(angle)) return false;
    if (dy > 0) angle = 2 * kPi - angle;
    return true;
}

int RoundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

} // namespace

bool TLinkPainter::Dragging() const { return drag_ != TDrag::None; }

void TLinkPainter::MouseDown(int x, int y, TShiftState shift) {
    downPos_ = {x, y};
    dragNodes_.clear();
    downNode_ = nullptr;
    TNode* n = graph_.FindNodeAt(x, y, nullptr, 1);
    if (n == nullptr) {
        drag_ = TDrag::RubberBand;
        return;
    }
    if (shift.Ctrl || Tool == TLinkTool::Link) {
        drag_ = TDrag::Linking;
    } else if (shift.Shift || Tool == TLinkTool::Size) {
        drag_ = TDrag::Sizing;
    } else {
        drag_ = TDrag::Moving;
    }
    downNode_ = n;
    if (!n->Selected) dragNodes_.push_back(n);
    for (TNode* node : graph_.GetNodes(true)) dragNodes_.push_back(node);
    if (drag_ == TDrag::Sizing && dragNodes_.size() < 2) drag_ = TDrag::Moving;
    if (drag_ == TDrag::Moving || drag_ == TDrag::Sizing) {
        for (TNode* node : dragNodes_) node->SavePosition();
    }
}

void TLinkPainter::PinnedRedraw(TNode* a, TNode* b) {
    TPinnedWhileDrawn pinned(a, b);
    Redraw();
}

void TLinkPainter::MoveTo(int x, int y) {
    if (downNode_ == nullptr || TPixelPoint{x, y} == downPos_) return;
    double wx = 0;
    double wy = 0;
    graph_.PixelToWorld(x, y, wx, wy);
    TNode* target = graph_.FindNodeAt(x, y, downNode_, 2);
    if (!IsConcrete(downNode_) || target == nullptr || IsConcrete(target)) target = nullptr;
    if (downNode_->Selected) {
        double downX = 0;
        double downY = 0;
        graph_.PixelToWorld(downPos_.X, downPos_.Y, downX, downY);
        for (TNode* node : dragNodes_) {
            node->RestorePosition();
            SetNodePosClamped(node, node->X + (wx - downX), node->Y + (wy - downY));
        }
    } else {
        SetNodePosClamped(downNode_, wx, wy);
    }
    PinnedRedraw(downNode_, target);
}

void TLinkPainter::SizeTo(int x, int y) {
    if (dragNodes_.empty()) return;
    double cx = 0;
    double cy = 0;
    for (TNode* node : dragNodes_) {
        node->RestorePosition();
        cx += node->X;
        cy += node->Y;
    }
    cx /= static_cast<double>(dragNodes_.size());
    cy /= static_cast<double>(dragNodes_.size());
    const TPixelPoint pc = graph_.WorldToPixel(cx, cy);
    const double r0 = PixelDistance(pc.X, pc.Y, downPos_.X, downPos_.Y);
    const double r1 = PixelDistance(pc.X, pc.Y, x, y);
    double s = r0 != 0 ? r1 / r0 : 1.0;
    if (!std::isfinite(s)) s = 1.0;
    double a0 = 0;
    double a1 = 0;
    const bool rotate =
        ScreenAngle(static_cast<double>(x) - pc.X, static_cast<double>(y) - pc.Y, r1, a1) &&
        ScreenAngle(static_cast<double>(downPos_.X) - pc.X, static_cast<double>(downPos_.Y) - pc.Y,
                    r0, a0);
    const double rho = a1 - a0;
    for (TNode* node : dragNodes_) {
        double qx = cx + s * (node->X - cx);
        double qy = cy + s * (node->Y - cy);
        if (rotate) {
            const double dx = qx - cx;
            const double dy = -(qy - cy);
            qx = std::cos(rho) * dx - std::sin(rho) * dy + cx;
            qy = cy - (std::cos(rho) * dy + std::sin(rho) * dx);
        }
        SetNodePosClamped(node, qx, qy);
    }
    Redraw();
}

void TLinkPainter::MouseMove(int x, int y, TShiftState /*shift*/) {
    switch (drag_) {
    case TDrag::None: return;
    case TDrag::Moving: MoveTo(x, y); return;
    case TDrag::Sizing: SizeTo(x, y); return;
    case TDrag::Linking: {
        PinnedRedraw(graph_.FindNodeAt(x, y, nullptr, 1), nullptr);
        for (const TNode* node : dragNodes_) {
            overlay_.Lines.emplace_back(graph_.WorldToPixel(node->X, node->Y), TPixelPoint{x, y});
        }
        return;
    }
    case TDrag::RubberBand:
        Redraw();
        overlay_.Band = std::array<int, 4>{std::min(downPos_.X, x), std::min(downPos_.Y, y),
                                           std::max(downPos_.X, x), std::max(downPos_.Y, y)};
        return;
    }
}

void TLinkPainter::MouseUp(int x, int y, TShiftState shift) {
    const TDrag drag = drag_;
    if (drag == TDrag::None) return;
    if (drag == TDrag::Moving) {
        TNode* target = graph_.FindNodeAt(x, y, downNode_, 2);
        if (IsConcrete(downNode_) && target != nullptr && !IsConcrete(target))
            BindToTemplate(downNode_, target);
    } else if (drag == TDrag::Linking) {
        TNode* target = graph_.FindNodeAt(x, y, nullptr, 1);
        if (target != nullptr && target != downNode_ && IsVisibleFlavor(Flavor)) {
            const std::vector<TNode*> sources = dragNodes_;
            for (TNode* m : sources) {
                if (m == target) continue;
                if (InverseLink) {
                    AddLink(target, m, Flavor, true);
                } else {
                    AddLink(m, target, Flavor, true);
                }
            }
        }
    } else if (drag == TDrag::RubberBand) {
        const int left = std::min(downPos_.X, x);
        const int right = std::max(downPos_.X, x);
        const int top = std::min(downPos_.Y, y);
        const int bottom = std::max(downPos_.Y, y);
        for (TNode* node : graph_.GetNodes()) {
            const TPixelPoint p = graph_.WorldToPixel(node->X, node->Y);
            const bool inside = left <= p.X && p.X < right && top <= p.Y && p.Y < bottom;
            if (inside) {
                node->Selected = true;
            } else if (!shift.Shift) {
                node->Selected = false;
            }
        }
    }
    if (drag != TDrag::Sizing) Redraw();

    drag_ = TDrag::None;
    downNode_ = nullptr;
    dragNodes_.clear();

    if (drag == TDrag::Linking || TPixelPoint{x, y} != downPos_) return;
    TNode* n = graph_.FindNodeAt(x, y, nullptr, 1);
    if (!shift.Shift && !shift.Ctrl) {
        for (TNode* node : graph_.GetNodes()) node->Selected = node == n;
    } else if (n != nullptr) {
        n->Selected = !n->Selected;
    }
    Redraw();
}

void TLinkPainter::DropItems(const std::vector<const TBrushInfo*>& items, int x, int y) {
    const int r = width_ / 10;
    const std::size_t count = items.size();
    bool first = true;
    for (std::size_t i = 0; i < count; ++i) {
        const TBrushInfo* item = items[i];
        if (item == nullptr || item->ObjID == 0) continue;
        int px = x;
        int py = y;
        if (count != 1) {
            const double theta =
                kPi / 2 - 2 * kPi * static_cast<double>(i) / static_cast<double>(count);
            px = RoundHalfEven(std::cos(theta) * r + x);
            py = RoundHalfEven(y - std::sin(theta) * r);
        }
        px = std::clamp(px, 0, std::max(width_, 0));
        py = std::clamp(py, 0, std::max(height_, 0));
        TNode* node = AddObjectNode(*item, px, py);
        if (!first) continue;
        first = false;
        TNode* t = graph_.FindNodeAt(x, y, nullptr, 2);
        if (t != nullptr && t != node && !IsConcrete(t)) BindToTemplate(node, t);
    }
    Redraw();
}

void TLinkPainter::BeginAutoAdapt() {
    if (autoAdapting_) return;
    autoAdapting_ = true;
    const double w = width_ > 0 ? width_ : 1;
    const double h = height_ > 0 ? height_ : 1;
    for (TNode* node : graph_.GetNodes()) {
        node->X = node->X * 10 / w;
        node->Y = node->Y * 10 / h;
    }
    graph_.FixedExtent = false;
    graph_.ShowNodeLabels = false;
    graph_.ShowEdgeLabels = false;
    graph_.Iterations = 10;
    Redraw(true);
}

void TLinkPainter::EndAutoAdapt(bool showNodeLabels, bool showEdgeLabels) {
    if (!autoAdapting_) return;
    autoAdapting_ = false;
    for (TNode* node : graph_.GetNodes()) {
        const TPixelPoint p = graph_.WorldToPixel(node->X, node->Y);
        node->X = p.X;
        node->Y = p.Y;
    }
    graph_.Iterations = 0;
    graph_.ShowNodeLabels = showNodeLabels;
    graph_.ShowEdgeLabels = showEdgeLabels;
    graph_.FixedExtent = true;
    graph_.SetExtent(0, width_, 0, height_, 1.0);
    Redraw();
}

} // namespace kv
