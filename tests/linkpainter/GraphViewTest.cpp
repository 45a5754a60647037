// The graph on screen: coordinate mapping, what a drawing puts where (recorded by a canvas
// that paints nothing), and which node or edge a pixel hits in the picture last drawn.
#include "linkpainter/Graph.h"
#include "linkpainter/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

using namespace kv;
using kv::test::TCanvasCall;
using kv::test::TCanvasOp;
using kv::test::TRecordingCanvas;

namespace {

constexpr int kSize = 1000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kEdgeBlue = 0xFF6666;

using TPoints = std::vector<TPixelPoint>;
using TCorners = std::array<TPixelPoint, 4>;

TPoints Box(int left, int top, int right, int bottom) { return {{left, top}, {right, bottom}}; }
TCorners Corners(int left, int top, int right, int bottom) {
    return {{{left, top}, {right, top}, {right, bottom}, {left, bottom}}};
}

// A graph drawn into a picture where world coordinates are pixel coordinates.
class GraphViewTest : public ::testing::Test {
protected:
    GraphViewTest() {
        graph.Margin = 0;
        graph.SetExtent(0, kSize, 0, kSize, 1.0);
    }
    TNode* Node(const std::string& name, double x, double y) {
        TNode* node = graph.AddNode(name, "");
        node->X = x;
        node->Y = y;
        return node;
    }
    // Every edge gets data of its own, so edges between the same nodes stay apart.
    TEdge* Edge(TNode* from, TNode* to, double weight = 1.0, const std::string& label = "") {
        TEdge* edge = graph.AddEdge(from, to, weight);
        edge->EdgeData = &edgeTags_.at(tagsUsed_++);
        edge->Label = label;
        return edge;
    }
    TEdge* Labelled(TPixelPoint from, TPixelPoint to, const std::string& label) {
        graph.ShowEdgeLabels = true;
        return Edge(Node("a", from.X, from.Y), Node("b", to.X, to.Y), 1.0, label);
    }
    void Draw(int w = kSize, int h = kSize) {
        canvas.Calls.clear();
        graph.Draw(canvas, w, h);
    }
    std::set<std::pair<int, int>> ControlPoints(const std::vector<TEdge*>& edges) const {
        std::set<std::pair<int, int>> points;
        for (const TEdge* e : edges) points.insert({e->ControlPoint.X, e->ControlPoint.Y});
        return points;
    }

    TGraph graph{[] { return 0.5; }};
    TRecordingCanvas canvas;

private:
    std::array<int, 16> edgeTags_{};
    std::size_t tagsUsed_ = 0;
};

} // namespace


TEST_F(GraphViewTest, PixelsAreWorldCoordinatesCutTowardZeroWithTheRightMarginDoubled) {
    graph.SetExtent(0, 400, 0, 300, 1.0);
    Draw(400, 300);
    const std::vector<std::pair<std::array<double, 2>, TPixelPoint>> cases{
        {{10.9, 20.1}, {10, 20}}, {{399.99, 299.5}, {399, 299}}, {{-0.5, -1.5}, {0, -1}}};
    for (const auto& [world, pixel] : cases)
        EXPECT_EQ(graph.WorldToPixel(world[0], world[1]), pixel) << world[0] << ", " << world[1];
    graph.Margin = 50;
    graph.KeepAspectRatio = false;
    graph.SetExtent(0, 100, 0, 100, 1.0);
    Draw(400, 300);
    EXPECT_EQ(graph.WorldToPixel(0, 0), (TPixelPoint{50, 50}));
    EXPECT_EQ(graph.WorldToPixel(100, 100), (TPixelPoint{300, 250}));
    double x = 0, y = 0;
    graph.PixelToWorld(175, 150, x, y);
    EXPECT_EQ(std::pair(x, y), std::pair(50.0, 50.0));
}

TEST(GraphViewFitTest, ViewWidensOneRangeToMatchThePicture) {
    const struct {
        TGraphExtent Layout;
        int W, H;
        bool KeepAspectRatio;
        TGraphExtent View;
    } cases[] = {
        {{0, 200, 0, 50, 3}, 400, 200, true, {0, 200, -25, 75, 3}}, // wide: only y widens
        {{0, 50, 0, 200, 3}, 200, 400, true, {-25, 75, 0, 200, 3}}, // tall: only x widens
        {{0, 200, 0, 50, 1}, 400, 200, false, {0, 200, 0, 50, 1}},
        {{5, 5, 0, 50, 1}, 400, 200, true, {5, 5, 0, 50, 1}},
        {{0, 200, 0, 50, 1}, 0, 0, true, {0, 200, 0, 50, 1}}};
    for (const auto& c : cases) {
        TGraph graph([] { return 0.5; });
        graph.KeepAspectRatio = c.KeepAspectRatio;
        graph.LayoutExtent = c.Layout;
        graph.FitView(c.W, c.H);
        EXPECT_EQ(graph.ViewExtent, c.View) << c.W << " x " << c.H;
    }
}


TEST_F(GraphViewTest, NodesAreCirclesWithCaptionsAboveRightAndGoOverTheEdges) {
    TNode* node = graph.AddNode("obj", "Lever");
    node->X = 100;
    node->Y = 200;
    TNode* selected = Node("a", 300, 300);
    selected->Selected = true;
    selected->Pinned = true;
    Edge(node, selected);
    Draw();
    EXPECT_EQ(node->ScreenPos, (TPixelPoint{100, 200}));
    // "obj" (hash 59) comes before "a" (97), then the pin.
    std::vector<std::pair<TPoints, std::uint32_t>> circles;
    for (const TCanvasCall& c : canvas.Of(TCanvasOp::Ellipse))
        circles.emplace_back(c.Points, c.Brush);
    EXPECT_EQ(circles, (decltype(circles){{Box(95, 195, 105, 205), 0x00FFFF},
                                          {Box(295, 295, 305, 305), 0x00FF00},
                                          {Box(298, 298, 302, 302), kRed}}));
    const TCanvasCall circle = canvas.Of(TCanvasOp::Ellipse).at(0);
    EXPECT_TRUE(circle.Filled && circle.Pen == kEdgeBlue);
    const TCanvasCall caption = canvas.Of(TCanvasOp::TextOut).at(0);
    EXPECT_EQ(caption.Text, "Lever");
    // The 8-point caption font is 11 pixels high at 96 pixels per inch.
    EXPECT_EQ(caption.Points, (TPoints{{105, 200 - 5 - 11}}));
    EXPECT_EQ(caption.Font, (TFontSpec{"Microsoft Sans Serif", -11, 0}));
    const auto first = [&](TCanvasOp op) {
        return std::find_if(canvas.Calls.begin(), canvas.Calls.end(),
                            [op](const TCanvasCall& c) { return c.Op == op; });
    };
    EXPECT_LT(first(TCanvasOp::Line), first(TCanvasOp::Ellipse));
}

TEST_F(GraphViewTest, WhatIsHiddenOrNegativeIsNotDrawnAndALoopHangsBelowItsNode) {
    TNode* a = Node("a", 100, 200);
    graph.ShowEdgeLabels = true;
    graph.ShowNodeLabels = false;
    Edge(a, a, 1.0, "x");
    Edge(a, Node("b", 300, 100), -1.0, "y");
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::TextOut), 1u);
    EXPECT_EQ(canvas.Count(TCanvasOp::Line), 1u);
    const TCanvasCall loop = canvas.Of(TCanvasOp::Ellipse).at(0);
    EXPECT_EQ(std::tuple(loop.Points, loop.Filled, loop.Pen),
              std::tuple(Box(90, 200, 110, 220), false, kEdgeBlue));
    graph.ShowNodes = graph.ShowEdges = false;
    Draw();
    EXPECT_EQ(canvas.Calls.size(), 2u);
}

TEST_F(GraphViewTest, EdgesAreRedWhenEitherEndIsSelectedAndLighterTheLighterTheEdge) {
    const struct {
        double Weight;
        bool FromSelected, ToSelected, Highlight;
        std::uint32_t Pen;
    } cases[] = {
        {1.0, false, false, true, 0xFF6666}, {0.5, false, false, true, 0xFF9393},
        {0.0, false, false, true, 0xFFC1C1},
        {1.0, true, false, true, kRed},      {1.0, false, true, true, kRed},
        {0.0, false, true, true, 0x9999FF},  {1.0, true, true, false, 0xFF6666}};
    TNode* a = Node("a", 100, 100);
    TNode* b = Node("b", 300, 100);
    TEdge* edge = Edge(a, b);
    for (const auto& c : cases) {
        graph.HighlightSelected = c.Highlight;
        a->Selected = c.FromSelected;
        b->Selected = c.ToSelected;
        edge->Weight = c.Weight;
        Draw();
        EXPECT_EQ(canvas.Of(TCanvasOp::Line).at(0).Pen, c.Pen)
            << c.Weight << " " << c.FromSelected << c.ToSelected << c.Highlight;
    }
}


TEST_F(GraphViewTest, TwoParallelEdgesAreBezierCurvesBulgingATenthToOppositeSides) {
    graph.CurveParallelEdges = true;
    TNode* a = Node("a", 100, 100);
    TNode* b = Node("b", 207, 157);
    const std::vector<TEdge*> edges{Edge(a, b), Edge(a, b)};
    Draw();
    // Midpoint (153, 128), normal (57, -107): a tenth either way is (158.7, 117.3) and
    // (147.3, 138.7), rounded.
    EXPECT_EQ(ControlPoints(edges), (std::set<std::pair<int, int>>{{159, 117}, {147, 139}}));
    // Points at t = 0, 0.1, ... 1 worked out by repeated halving of the control polygon.
    const TPoints toward159{{100, 100}, {116, 105}, {129, 109}, {140, 112}, {149, 116}, {158, 120},
                            {166, 125}, {174, 130}, {183, 137}, {194, 146}, {207, 157}};
    const TPoints toward147{{100, 100}, {113, 111}, {123, 119}, {132, 126}, {141, 132}, {149, 136},
                            {157, 140}, {166, 144}, {177, 148}, {191, 152}, {207, 157}};
    const std::vector<TCanvasCall> curves = canvas.Of(TCanvasOp::Polyline);
    ASSERT_EQ(curves.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) { // drawn in iteration order
        const TEdge& e = *graph.GetEdges()[i];
        const TPoints& curve = e.ControlPoint.X == 159 ? toward159 : toward147;
        EXPECT_EQ(curves[i].Points, curve);
        EXPECT_EQ(e.ParallelCount, 2);
        EXPECT_EQ(e.LabelPos, curve[5]);
    }
    EXPECT_EQ(canvas.Count(TCanvasOp::Line), 0u);
}

TEST_F(GraphViewTest, ParallelEdgesShareALineUntilCurvedThenThreeBulgeAFifthEitherWay) {
    graph.Directed = true;
    TNode* a = Node("a", 100, 100);
    TNode* b = Node("b", 300, 100);
    const std::vector<TEdge*> twins{Edge(a, b), Edge(b, a)};
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::Line), 2u);
    EXPECT_EQ(twins[0]->LabelPos, twins[1]->LabelPos);
    graph.CurveParallelEdges = true;
    TNode* c = Node("c", 100, 500);
    TNode* d = Node("d", 300, 500);
    const std::vector<TEdge*> three{Edge(c, d), Edge(c, d), Edge(c, d)};
    TEdge* single = Edge(c, Node("e", 100, 700));
    Draw();
    // A reversed twin bulges away from the other; of three the middle one runs straight.
    EXPECT_NE(twins[0]->ParallelReversed, twins[1]->ParallelReversed);
    EXPECT_EQ(ControlPoints(twins), (std::set<std::pair<int, int>>{{200, 120}, {200, 80}}));
    EXPECT_EQ(ControlPoints(three),
              (std::set<std::pair<int, int>>{{200, 540}, {200, 500}, {200, 460}}));
    EXPECT_EQ(canvas.Count(TCanvasOp::Line), 1u);
    EXPECT_EQ(std::tuple(single->ParallelCount, single->LabelPos, single->ControlPoint),
              std::tuple(0, TPixelPoint{100, 600}, TPixelPoint{100, 600}));
}


TEST_F(GraphViewTest, ArrowheadGrowsFromEightToFifteenPixelsAndFollowsTheGraphsDirection) {
    // From (100, 500) or, for the last, (500, 500); the tip lies 5 pixels before the end
    // node's centre, the size is 0.08 of half the edge.
    const struct {
        TPixelPoint To;
        TPoints Triangle;
    } cases[] = {{{200, 500}, {{187, 498}, {195, 500}, {187, 502}}},
                                {{350, 500}, {{335, 498}, {345, 500}, {335, 502}}},
                                {{475, 500}, {{455, 497}, {470, 500}, {455, 503}}},
                                {{700, 500}, {{680, 497}, {695, 500}, {680, 503}}},
                                {{500, 100}, {{497, 120}, {500, 105}, {503, 120}}}};
    TNode* from = Node("a", 100, 500);
    TNode* to = Node("b", 0, 0);
    TEdge* edge = Edge(from, to);
    edge->Directed = true;
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::Polygon), 0u);
    graph.Directed = true;
    edge->Directed = false;
    for (const auto& c : cases) {
        from->X = c.To.Y == 100 ? 500 : 100;
        to->X = c.To.X;
        to->Y = c.To.Y;
        Draw();
        const TCanvasCall head = canvas.Of(TCanvasOp::Polygon).at(0);
        EXPECT_EQ(head.Points, c.Triangle) << c.To.X << ", " << c.To.Y;
        EXPECT_EQ(head.Brush, kEdgeBlue);
    }
}


TEST_F(GraphViewTest, LabelBoxIsCentredOnTheEdgeAndHitInsideItsOutline) {
    // "abcd" measures 24 x 13.
    TEdge* edge = Labelled({100, 100}, {300, 100}, "abcd");
    Draw();
    const TCanvasCall box = canvas.Of(TCanvasOp::Rectangle).at(0);
    EXPECT_EQ(std::tuple(box.Points, box.Brush, box.Pen),
              std::tuple(Box(186, 92, 214, 109), kWhite, kEdgeBlue));
    const TCanvasCall text = canvas.Of(TCanvasOp::TextOut).at(0);
    EXPECT_EQ(std::pair(text.Points, text.Font),
              std::pair(TPoints{{188, 94}}, TFontSpec{"Microsoft Sans Serif", -9, 0}));
    EXPECT_EQ(edge->HitPolygon, Corners(186, 92, 214, 109));
    for (const auto& [x, y] : {std::pair{200, 100}, {187, 93}, {213, 108}})
        EXPECT_EQ(graph.FindEdgeAt(x, y, nullptr), edge) << x << ", " << y;
    for (const auto& [x, y] : {std::pair{186, 100}, {214, 100}, {200, 92}, {200, 109}})
        EXPECT_EQ(graph.FindEdgeAt(x, y, nullptr), nullptr) << x << ", " << y;
}

TEST_F(GraphViewTest, TurnedLabelsAreDrawnAndHitWhereTheyWereTurnedTo) {
    graph.RotateEdgeLabels = true;
    TEdge* vertical = Labelled({200, 300}, {200, 100}, "abcd");
    Draw();
    const TPoints turned{{192, 214}, {192, 186}, {209, 186}, {209, 214}};
    EXPECT_EQ(canvas.Of(TCanvasOp::Polygon).at(0).Points, turned);
    EXPECT_EQ(vertical->HitPolygon, (TCorners{turned[0], turned[1], turned[2], turned[3]}));
    const TCanvasCall text = canvas.Of(TCanvasOp::TextOut).at(0);
    EXPECT_EQ(std::pair(text.Points, text.Font),
              std::pair(TPoints{{194, 212}}, TFontSpec{"Microsoft Sans Serif", -11, 900}));
    EXPECT_EQ(graph.FindEdgeAt(200, 212, nullptr), vertical); // inside the turned box only
    EXPECT_EQ(graph.FindEdgeAt(188, 200, nullptr), nullptr);  // inside the unturned box only
    // Measured in the small font, which comes back after the turned one.
    std::vector<std::pair<int, int>> fonts;
    for (const TCanvasCall& c : canvas.Of(TCanvasOp::SetFont))
        fonts.emplace_back(c.Font.Height, c.Font.Angle);
    EXPECT_EQ(fonts, (std::vector<std::pair<int, int>>{{-9, 0}, {-11, 900}, {-9, 0}, {-11, 0}}));

    // "abcdefghij" measures 60 x 13; the box before turning is (168, 192)-(232, 209).
    graph.Clear();
    TEdge* slanted = Labelled({100, 300}, {300, 100}, "abcdefghij");
    Draw();
    EXPECT_EQ(slanted->HitPolygon, (TCorners{{{172, 217}, {217, 172}, {229, 184}, {184, 229}}}));
    EXPECT_EQ(canvas.Of(TCanvasOp::TextOut).at(0).Points, (TPoints{{175, 217}}));
    for (const auto& [x, y] : {std::pair{200, 200}, {218, 182}, {182, 218}})
        EXPECT_EQ(graph.FindEdgeAt(x, y, nullptr), slanted) << x << ", " << y;
    for (const auto& [x, y] : {std::pair{170, 194}, {230, 194}, {230, 207}, {170, 207}})
        EXPECT_EQ(graph.FindEdgeAt(x, y, nullptr), nullptr) << x << ", " << y;

    // Where the turned font cannot be made, the label stays unturned.
    canvas.FontAvailable = [](const TFontSpec& font) { return font.Angle == 0; };
    Draw();
    EXPECT_EQ(canvas.Of(TCanvasOp::Rectangle).at(0).Points, Box(168, 192, 232, 209));
    EXPECT_EQ(slanted->HitPolygon, Corners(168, 192, 232, 209));
}

TEST_F(GraphViewTest, LabelsReadUprightWhicheverWayTheEdgeRuns) {
    struct TAngleCase {
        TPixelPoint From, To;
        int Angle; // tenths of a degree, counter-clockwise
    };
    const TAngleCase cases[] = {
        {{100, 100}, {300, 100}, 0},  {{300, 100}, {100, 100}, 3600}, {{200, 100}, {200, 300}, 900},
        {{300, 100}, {100, 300}, 450}, {{300, 300}, {100, 100}, 3150}};
    graph.RotateEdgeLabels = true;
    for (const TAngleCase& c : cases) {
        graph.Clear();
        Labelled(c.From, c.To, "ab");
        Draw();
        EXPECT_EQ(canvas.Of(TCanvasOp::TextOut).at(0).Font.Angle, c.Angle)
            << c.From.X << "," << c.From.Y << " > " << c.To.X << "," << c.To.Y;
    }
}



TEST_F(GraphViewTest, NearestNodeWithinFivePixelsPerToleranceStepFirstInIterationOrder) {
    // "b" is added first, but "a" comes first in iteration order.
    TNode* b = Node("b", 110, 100);
    TNode* a = Node("a", 100, 100);
    Draw();
    EXPECT_EQ(graph.FindNodeAt(105, 100, nullptr, 1), a);
    EXPECT_EQ(graph.FindNodeAt(105, 100, a, 1), b);
    EXPECT_EQ(graph.FindNodeAt(106, 100, nullptr, 1), b);
    const std::array<int, 4> cases[] = {{0, 0, 0, 1}, {1, 0, 0, 0}, {-3, 4, 1, 1}, {-5, 1, 1, 0},
                                        {-7, 1, 2, 1}};
    for (const auto& [dx, dy, tolerance, hit] : cases)
        EXPECT_EQ(graph.FindNodeAt(100 + dx, 100 + dy, b, tolerance) == a, hit == 1)
            << dx << ", " << dy << " within " << tolerance;
    a->X = 500; // hits answer for the picture last drawn
    EXPECT_EQ(graph.FindNodeAt(100, 100, nullptr, 1), a);
}

TEST_F(GraphViewTest, ItemUnderAPixelIsANodeBeforeAnEdgeAndEdgesComeInIterationOrder) {
    TNode* a = Node("a", 100, 100);
    TNode* b = Node("b", 300, 100);
    // Added first, but later in iteration order (hash 98 + 99 against 97 + 98); both labels
    // lie at (200, 100).
    TEdge* second = Edge(b, Node("c", 100, 100), 1.0, "abcd");
    TEdge* first = Edge(a, b, 1.0, "abcd");
    Draw();
    EXPECT_EQ(graph.FindEdgeAt(200, 100, nullptr), nullptr); // no label was ever drawn
    graph.ShowEdgeLabels = true;
    TNode* onLabel = Node("d", 200, 100);
    Draw();
    EXPECT_EQ(graph.FindEdgeAt(200, 100, nullptr), first);
    EXPECT_EQ(graph.FindEdgeAt(200, 100, first), second);
    EXPECT_EQ(graph.FindItemAt(200, 100, nullptr, 1), onLabel);
    EXPECT_EQ(graph.FindItemAt(200, 100, onLabel, 1), first);
    EXPECT_EQ(graph.FindItemAt(201, 100, nullptr, 0), first);
    EXPECT_EQ(graph.FindItemAt(500, 500, nullptr, 1), nullptr);
}


class GraphViewNoDirectionTest : public GraphViewTest {
protected:
    GraphViewNoDirectionTest() {
        graph.Directed = graph.ShowEdgeLabels = graph.RotateEdgeLabels = true;
        graph.CurveParallelEdges = true;
    }
    // No arrowhead, an unturned label box, nothing out of the picture.
    void ExpectPlainEdgesOnly(std::size_t labels) const {
        EXPECT_EQ(canvas.Count(TCanvasOp::Polygon), 0u);
        EXPECT_EQ(canvas.Count(TCanvasOp::Rectangle), labels);
        for (const TCanvasCall& c : canvas.Of(TCanvasOp::SetFont)) EXPECT_EQ(c.Font.Angle, 0);
        EXPECT_TRUE(canvas.AllPointsWithin(kSize));
    }
};

TEST_F(GraphViewNoDirectionTest, LoopsAndEdgesOnOnePointHaveNoArrowheadAndUnturnedLabels) {
    TNode* a = Node("a", 200, 200);
    TEdge* loop = Edge(a, a, 1.0, "abcd");
    TEdge* close = Edge(a, Node("b", 200.5, 200.7), 1.0, "abcd");
    Draw();
    ExpectPlainEdgesOnly(2);
    EXPECT_EQ(loop->HitPolygon, Corners(186, 192, 214, 209));
    EXPECT_EQ(close->LabelPos, (TPixelPoint{200, 200}));

    const std::vector<TEdge*> more{Edge(a, a, 1.0, "x"), Edge(close->ToNode, a, 1.0, "y")};
    Draw();
    ExpectPlainEdgesOnly(4);
    for (const TEdge* e : {loop, close, more[0], more[1]})
        EXPECT_EQ(std::pair(e->ParallelCount, e->ControlPoint), std::pair(2, TPixelPoint{200, 200}))
            << e->Label;
}

TEST_F(GraphViewNoDirectionTest, EmptyExtentsOddPictureSizesAndNodesFarOutStayInPixelRange) {
    TGraph fresh([] { return 0.5; }); // no extent, no weights: everything at the margin
    TNode* a = fresh.AddNode("a", "");
    TNode* b = fresh.AddNode("b", "");
    fresh.Directed = fresh.ShowEdgeLabels = fresh.RotateEdgeLabels = true;
    fresh.AddEdge(a, b, 0.0)->Label = "x";
    fresh.Draw(canvas, 300, 200);
    EXPECT_EQ(a->ScreenPos, (TPixelPoint{50, 50}));
    EXPECT_EQ(b->ScreenPos, a->ScreenPos);
    EXPECT_EQ(canvas.Of(TCanvasOp::Line).at(0).Pen, kEdgeBlue);
    ExpectPlainEdgesOnly(1);

    Edge(Node("a", 100, 100), Node("b", 300, 100));
    graph.Margin = 50;
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{-5, 10}, std::pair{1, -1}}) {
        Draw(w, h);
        EXPECT_EQ(canvas.Of(TCanvasOp::Resize).at(0).Points,
                  (TPoints{{std::max(w, 0), std::max(h, 0)}}));
        EXPECT_TRUE(canvas.AllPointsWithin(kSize));
    }
    graph.Margin = 0;
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    TNode* far = Node("c", 1e300, -1e300);
    TNode* lost = Node("d", nan, nan);
    Edge(far, lost, 1.0, "x");
    Edge(lost, Node("e", 100, 100), 1.0, "y");
    Draw();
    EXPECT_TRUE(canvas.AllPointsWithin(1 << 30));
    EXPECT_EQ(lost->ScreenPos, (TPixelPoint{0, 0}));
    EXPECT_EQ(graph.FindNodeAt(INT_MAX, INT_MIN, nullptr, 1), nullptr);
    EXPECT_EQ(graph.FindNodeAt(INT_MIN, INT_MAX, nullptr, INT_MAX), nullptr);
    EXPECT_EQ(graph.FindNodeAt(0, 0, nullptr, 1), lost);
    EXPECT_EQ(graph.FindEdgeAt(INT_MIN, INT_MAX, nullptr), nullptr);
}
