// The graph on screen: mapping between world and pixel coordinates, drawing the whole graph
// through a canvas, and finding the node or edge under a pixel in the picture last drawn.
#include "linkpainter/Graph.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <utility>
#include <vector>

namespace kv {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kNodeOutline = 0xFF6666;
constexpr const char* kFace = "Microsoft Sans Serif";
constexpr double kPi = std::numbers::pi;
// Half the opening of an arrowhead: 13 degrees.
constexpr double kArrowHalfAngle = 0.22689280275926285;

// Pixels are kept within +-2^29, far beyond any picture, so that sums and differences of two
// of them, and the arithmetic of curves and hit tests on them, stay well inside 32 and 64 bits.
constexpr double kPixelLimit = 536870912.0;

int ToPixel(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::clamp(v, -kPixelLimit, kPixelLimit));
}
int Trunc(double v) { return ToPixel(std::trunc(v)); }
// Halves to even: nearbyint in the default rounding mode.
int Round(double v) { return ToPixel(std::nearbyint(v)); }

// a * b / c rounded half away from zero, as fonts are sized from points; -1 when c is 0.
int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    return static_cast<int>(std::round(static_cast<double>(a) * b / c));
}

TFontSpec Font(int points, int pixelsPerInch, int angle = 0) {
    return TFontSpec{kFace, -MulDiv(points, pixelsPerInch, 72), angle};
}

// span * offset / range; 0 for a flat range, so that every point of it maps to the margin.
double Scale(double span, double offset, double range) {
    return range == 0 ? 0.0 : span * offset / range;
}

std::uint32_t LightenByte(std::uint32_t colour, int shift, double t) {
    const double c = static_cast<double>((colour >> shift) & 0xFF);
    const double v = std::trunc((1 - t) * (255 - c) + c);
    return static_cast<std::uint32_t>(std::clamp(v, 0.0, 255.0)) << shift;
}

// Blends the colour toward white: t = 1 keeps it, t = 0 gives white. A weight ratio that is no
// number (no largest weight known yet) keeps the colour.
std::uint32_t Lighten(std::uint32_t colour, double t) {
    if (!std::isfinite(t)) t = 1;
    return LightenByte(colour, 0, t) | LightenByte(colour, 8, t) | LightenByte(colour, 16, t);
}

// Equal nodes always share their Data, which settles most comparisons without looking at
// names.
bool SameNode(const TNode* a, const TNode* b) {
    return a == b || (a->Data == b->Data && a->IsEqual(*b));
}

bool SameEnds(const TEdge& a, const TEdge& b) {
    return (SameNode(a.FromNode, b.FromNode) && SameNode(a.ToNode, b.ToNode)) ||
           (SameNode(a.FromNode, b.ToNode) && SameNode(a.ToNode, b.FromNode));
}

// Orders the edges by hash and puts edges with the same ends next to each other, in the order
// they come. Edges with the same ends have the same hash unless two distinct nodes are equal
// (names differing in case), so grouping within one hash is all the ordering there is to do.
void SortByEnds(std::vector<TEdge*>& edges) {
    // Hashes are sums over names: worked out once per edge.
    std::vector<std::pair<int, TEdge*>> keyed;
    keyed.reserve(edges.size());
    for (TEdge* e : edges) keyed.emplace_back(e->Hash(), e);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    edges.clear();
    std::vector<bool> taken(keyed.size(), false);
    for (std::size_t i = 0; i < keyed.size(); ++i) {
        if (taken[i]) continue;
        edges.push_back(keyed[i].second);
        // The rest of this edge's hash run.
        for (std::size_t j = i + 1; j < keyed.size() && keyed[j].first == keyed[i].first; ++j) {
            if (!taken[j] && SameEnds(*keyed[i].second, *keyed[j].second)) {
                taken[j] = true;
                edges.push_back(keyed[j].second);
            }
        }
    }
}

// Numbers the edges that join the same two nodes, so that they are drawn as distinct curves.
void GroupParallelEdges(TGraph& graph) {
    std::vector<TEdge*> edges = graph.GetEdges();
    for (TEdge* e : edges) {
        e->ParallelCount = 0;
        e->ParallelIndex = 0;
        e->ParallelReversed = false;
    }
    SortByEnds(edges);

    std::vector<TEdge*> parallel;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const bool withPrevious = !parallel.empty() && SameEnds(*parallel.back(), *edges[i]);
        const bool withNext = i + 1 < edges.size() && SameEnds(*edges[i], *edges[i + 1]);
        if (withPrevious || withNext) parallel.push_back(edges[i]);
    }

    std::size_t i = 0;
    while (i < parallel.size()) {
        const TEdge& first = *parallel[i];
        std::size_t n = 1;
        while (i + n < parallel.size() && SameEnds(first, *parallel[i + n])) ++n;
        for (std::size_t k = 0; k < n; ++k) {
            TEdge& e = *parallel[i + k];
            e.ParallelCount = static_cast<std::int32_t>(n);
            e.ParallelIndex = static_cast<std::int32_t>(k);
            e.ParallelReversed = !SameNode(e.FromNode, first.FromNode);
        }
        i += n;
    }
}

// The cubic Bezier curve from p1 to p2 with both inner control points at c, as 10 segments.
std::vector<TPixelPoint> CurvePoints(TPixelPoint p1, TPixelPoint c, TPixelPoint p2) {
    std::vector<TPixelPoint> points{p1};
    for (int i = 1; i <= 10; ++i) {
        const double t = i / 10.0;
        const double u = 1 - t;
        const double b0 = u * u * u;
        const double b1 = 3 * u * u * t + 3 * u * t * t;
        const double b3 = t * t * t;
        points.push_back(
            {Round(b0 * p1.X + b1 * c.X + b3 * p2.X), Round(b0 * p1.Y + b1 * c.Y + b3 * p2.Y)});
    }
    return points;
}

// Draws the edge's line or curve and sets its LabelPos and ControlPoint.
void DrawEdgeLine(TCanvas& canvas, TEdge& e, TPixelPoint p1, TPixelPoint p2) {
    const TPixelPoint middle{(p1.X + p2.X) / 2, (p1.Y + p2.Y) / 2};
    if (e.ParallelCount < 2) {
        canvas.Line(p1, p2);
        e.LabelPos = middle;
        e.ControlPoint = middle;
        return;
    }
    double nx = p2.Y - p1.Y;
    double ny = p1.X - p2.X;
    if (e.ParallelReversed) {
        nx = -nx;
        ny = -ny;
    }
    const double n = e.ParallelCount;
    const double k = e.ParallelIndex;
    const double f = 0.2 * (n - 1) * (k / (n - 1) - 0.5);
    e.ControlPoint = {Round(nx * f + middle.X), Round(ny * f + middle.Y)};
    const std::vector<TPixelPoint> curve = CurvePoints(p1, e.ControlPoint, p2);
    canvas.Polyline(curve);
    e.LabelPos = curve[5];
}

// An arrowhead at the end of the edge, pointing away from its control point. An end that lies
// on the control point (a loop, or two nodes on one pixel) has no direction and gets none.
void DrawArrowhead(TCanvas& canvas, TPixelPoint end, TPixelPoint control, std::uint32_t colour) {
    const double vx = end.X - control.X;
    const double vy = end.Y - control.Y;
    const double length = std::hypot(vx, vy);
    if (!(length > 0)) return;
    const double ux = vx / length;
    const double uy = vy / length;
    const double size = std::clamp(0.08 * length, 8.0, 15.0);
    const TPixelPoint tip{Round(end.X - 5 * ux), Round(end.Y - 5 * uy)};
    const TPixelPoint base{Round(tip.X - size * ux), Round(tip.Y - size * uy)};
    const double w = std::sin(kArrowHalfAngle) * size;
    canvas.SetBrush(colour);
    canvas.Polygon({{Round(base.X + w * uy), Round(base.Y - w * ux)},
                    tip,
                    {Round(base.X - w * uy), Round(base.Y + w * ux)}});
}

// The angle of the label of an edge from p1 to p2, counter-clockwise on screen and turned so
// that the text reads upright; false when the ends coincide and there is no direction.
bool LabelAngle(TPixelPoint p1, TPixelPoint p2, double& angle) {
    const double dx = p2.X - p1.X;
    const double dy = p2.Y - p1.Y;
    const double length = std::hypot(dx, dy);
    if (!(length > 0)) return false;
    double a = std::acos(std::clamp(dx / length, -1.0, 1.0));
    if (p2.Y > p1.Y) a = 2 * kPi - a;
    if (a > kPi / 2 && a <= kPi)
        a += kPi;
    else if (a > kPi && a <= 3 * kPi / 2)
        a -= kPi;
    angle = a;
    return true;
}

// The label box about the edge's LabelPos, turned with the edge when asked and possible; the
// box becomes the edge's HitPolygon. Leaves the label font selected.
void DrawLabel(TCanvas& canvas, const TGraph& graph, TEdge& e, TPixelPoint p1, TPixelPoint p2,
               const TFontSpec& labelFont, int pixelsPerInch) {
    const TPixelPoint extent = canvas.TextExtent(e.Label);
    const int left = e.LabelPos.X - extent.X / 2 - 2;
    const int top = e.LabelPos.Y - extent.Y / 2 - 2;
    const int right = left + extent.X + 4;
    const int bottom = top + extent.Y + 4;
    canvas.SetBrush(kWhite);

    double a = 0;
    if (graph.RotateEdgeLabels && LabelAngle(p1, p2, a) &&
        canvas.SetFont(Font(8, pixelsPerInch, Round(a * 180 / kPi * 10)))) {
        const double cosA = std::cos(a);
        const double sinA = std::sin(a);
        const int cx = e.LabelPos.X;
        const int cy = e.LabelPos.Y;
        const auto turn = [&](int x, int y) {
            const double dx = x - cx;
            const double dy = cy - y;
            return TPixelPoint{Round(cosA * dx - sinA * dy) + cx,
                               cy - Round(cosA * dy + sinA * dx)};
        };
        const std::vector<TPixelPoint> box{turn(left, top), turn(right, top), turn(right, bottom),
                                           turn(left, bottom)};
        const TPixelPoint textAt = turn(left + 2, top + 2);
        canvas.Polygon(box);
        canvas.TextOut(textAt.X, textAt.Y, e.Label);
        std::copy(box.begin(), box.end(), e.HitPolygon.begin());
        canvas.SetFont(labelFont);
        return;
    }
    canvas.Rectangle(left, top, right, bottom);
    canvas.TextOut(left + 2, top + 2, e.Label);
    e.HitPolygon = {TPixelPoint{left, top}, TPixelPoint{right, top}, TPixelPoint{right, bottom},
                    TPixelPoint{left, bottom}};
}

void DrawEdges(TCanvas& canvas, TGraph& graph, int pixelsPerInch) {
    if (graph.CurveParallelEdges) GroupParallelEdges(graph);
    const TFontSpec labelFont = Font(7, pixelsPerInch);
    canvas.SetFont(labelFont);
    for (TEdge* edge : graph.GetEdges()) {
        TEdge& e = *edge;
        if (e.Weight < 0) continue;
        const TPixelPoint p1 = graph.WorldToPixel(e.FromNode->X, e.FromNode->Y);
        const TPixelPoint p2 = graph.WorldToPixel(e.ToNode->X, e.ToNode->Y);
        const bool highlighted =
            graph.HighlightSelected && (e.FromNode->Selected || e.ToNode->Selected);
        const std::uint32_t colour = Lighten(highlighted ? kRed : e.Color,
                                             0.6 * e.Weight / graph.ViewExtent.MaxWeight + 0.4);
        canvas.SetPen(colour);
        DrawEdgeLine(canvas, e, p1, p2);
        if (SameNode(e.FromNode, e.ToNode))
            canvas.Ellipse(p1.X - 10, p1.Y, p1.X + 10, p1.Y + 20, false);
        if (graph.Directed) DrawArrowhead(canvas, p2, e.ControlPoint, colour);
        if (graph.ShowEdgeLabels) DrawLabel(canvas, graph, e, p1, p2, labelFont, pixelsPerInch);
    }
}

void DrawNodes(TCanvas& canvas, TGraph& graph, int pixelsPerInch) {
    const TFontSpec captionFont = Font(8, pixelsPerInch);
    canvas.SetFont(captionFont);
    const int fh = std::abs(captionFont.Height);
    for (TNode* node : graph.GetNodes()) {
        const TPixelPoint p = graph.WorldToPixel(node->X, node->Y);
        node->ScreenPos = p;
        canvas.SetPen(kNodeOutline);
        canvas.SetBrush(node->Selected ? kGreen : node->Color);
        canvas.Ellipse(p.X - 5, p.Y - 5, p.X + 5, p.Y + 5, true);
        if (node->Pinned) {
            canvas.SetPen(kRed);
            canvas.SetBrush(kRed);
            canvas.Ellipse(p.X - 2, p.Y - 2, p.X + 2, p.Y + 2, true);
        }
        if (graph.ShowNodeLabels) canvas.TextOut(p.X + 5, p.Y - 5 - fh, node->Caption);
    }
}

// The squared distance of two pixels in integers. Each difference is limited to 2^31 - 1, so
// the sum cannot overflow; such a distance is beyond every tolerance anyway.
std::int64_t SquaredDistance(int ax, int ay, int bx, int by) {
    constexpr std::int64_t limit = 2147483647;
    const std::int64_t dx = std::min<std::int64_t>(std::abs(std::int64_t{ax} - bx), limit);
    const std::int64_t dy = std::min<std::int64_t>(std::abs(std::int64_t{ay} - by), limit);
    return dx * dx + dy * dy;
}

// Coordinates of hit tests are limited to +-(2^30 - 1) so that the cross products below stay
// inside 64 bits; drawing never stores points that far out.
std::int64_t HitCoordinate(int v) {
    constexpr std::int64_t limit = (std::int64_t{1} << 30) - 1;
    return std::clamp<std::int64_t>(v, -limit, limit);
}

// Inside means strictly left of every side, turning clockwise on screen (y down).
bool Contains(const std::array<TPixelPoint, 4>& polygon, int px, int py) {
    const std::int64_t x = HitCoordinate(px);
    const std::int64_t y = HitCoordinate(py);
    for (std::size_t k = 0; k < polygon.size(); ++k) {
        const TPixelPoint& a = polygon[k];
        const TPixelPoint& b = polygon[(k + 1) % polygon.size()];
        const std::int64_t ax = HitCoordinate(a.X);
        const std::int64_t ay = HitCoordinate(a.Y);
        const std::int64_t cross =
            (HitCoordinate(b.X) - ax) * (y - ay) - (HitCoordinate(b.Y) - ay) * (x - ax);
        if (cross < 1) return false;
    }
    return true;
}

} // namespace

TPixelPoint TGraph::WorldToPixel(double x, double y) const {
    const TGraphExtent& e = ViewExtent;
    const double spanX = static_cast<double>(BitmapWidth) - 3.0 * Margin;
    const double spanY = static_cast<double>(BitmapHeight) - 2.0 * Margin;
    return {Trunc(Scale(spanX, x - e.MinX, e.MaxX - e.MinX) + Margin),
            Trunc(Scale(spanY, y - e.MinY, e.MaxY - e.MinY) + Margin)};
}

void TGraph::PixelToWorld(int px, int py, double& x, double& y) const {
    const TGraphExtent& e = ViewExtent;
    const double spanX = static_cast<double>(BitmapWidth) - 3.0 * Margin;
    const double spanY = static_cast<double>(BitmapHeight) - 2.0 * Margin;
    x = Scale(e.MaxX - e.MinX, static_cast<double>(px) - Margin, spanX) + e.MinX;
    y = Scale(e.MaxY - e.MinY, static_cast<double>(py) - Margin, spanY) + e.MinY;
}

void TGraph::FitView(int w, int h) {
    ViewExtent = LayoutExtent;
    if (!KeepAspectRatio || w <= 0 || h <= 0) return;
    TGraphExtent& e = ViewExtent;
    const double dx = e.MaxX - e.MinX;
    const double dy = e.MaxY - e.MinY;
    // A flat extent has no proportions to keep.
    if (dx == 0 || dy == 0) return;
    const double r = (dx / dy) / (static_cast<double>(w) / h);
    if (r < 1) {
        const double grow = (dx / r - dx) / 2;
        if (!std::isfinite(grow)) return;
        e.MinX -= grow;
        e.MaxX += grow;
    } else if (r > 1) {
        const double grow = (dy * r - dy) / 2;
        if (!std::isfinite(grow)) return;
        e.MinY -= grow;
        e.MaxY += grow;
    }
}

void TGraph::Draw(TCanvas& canvas, int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    FitView(w, h);
    canvas.Resize(w, h);
    BitmapWidth = w;
    BitmapHeight = h;
    canvas.Clear(kWhite);
    const int pixelsPerInch = canvas.PixelsPerInchY();
    if (ShowEdges) DrawEdges(canvas, *this, pixelsPerInch);
    if (ShowNodes) DrawNodes(canvas, *this, pixelsPerInch);
}

TNode* TGraph::FindNodeAt(int px, int py, const TNode* excluded, int tolerance) {
    TNode* best = nullptr;
    std::int64_t bestDistance = 0;
    for (TNode* node : GetNodes()) {
        if (node == excluded) continue;
        const std::int64_t d = SquaredDistance(px, py, node->ScreenPos.X, node->ScreenPos.Y);
        if (best == nullptr || d < bestDistance) {
            best = node;
            bestDistance = d;
        }
    }
    if (best != nullptr && bestDistance <= std::int64_t{tolerance} * 25) return best;
    return nullptr;
}

TEdge* TGraph::FindEdgeAt(int px, int py, const TEdge* excluded) {
    for (TEdge* edge : GetEdges()) {
        if (edge != excluded && Contains(edge->HitPolygon, px, py)) return edge;
    }
    return nullptr;
}

TGraphItem* TGraph::FindItemAt(int px, int py, const TGraphItem* excluded, int tolerance) {
    if (TNode* node = FindNodeAt(px, py, dynamic_cast<const TNode*>(excluded), tolerance))
        return node;
    return FindEdgeAt(px, py, dynamic_cast<const TEdge*>(excluded));
}

} // namespace kv
