// The graph on screen: coordinate mapping, what a drawing puts where (recorded by a canvas
// that paints nothing), and which node or edge a pixel hits in the picture last drawn.
#include "linkpainter/Graph.h"
#include "linkpainter/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
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
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kEdgeBlue = 0xFF6666;

using TPoints = std::vector<TPixelPoint>;
using TCorners = std::array<TPixelPoint, 4>;

// A graph drawn into a picture where world coordinates are pixel coordinates.
class GraphViewTest : public ::testing::Test {
protected:
    GraphViewTest() { UsePixelWorld(kSize, kSize); }

    void UsePixelWorld(int w, int h) {
        graph.Margin = 0;
        graph.SetExtent(0, w, 0, h, 1.0);
    }
    TNode* Node(const std::string& name, double x, double y) {
        TNode* node = graph.AddNode(name, "");
        node->X = x;
        node->Y = y;
        return node;
    }
    // Every edge gets data of its own, so edges between the same nodes stay apart.
    TEdge* Edge(TNode* from, TNode* to, double weight = 1.0) {
        TEdge* edge = graph.AddEdge(from, to, weight);
        edge->EdgeData = &edgeTags_.at(tagsUsed_++);
        return edge;
    }
    void Draw(int w = kSize, int h = kSize) {
        canvas.Calls.clear();
        graph.Draw(canvas, w, h);
    }

    TGraph graph{[] { return 0.5; }};
    TRecordingCanvas canvas;

private:
    std::array<int, 16> edgeTags_{};
    std::size_t tagsUsed_ = 0;
};

TPoints Box(int left, int top, int right, int bottom) { return {{left, top}, {right, bottom}}; }

TCorners Corners(const TPoints& p) { return {p.at(0), p.at(1), p.at(2), p.at(3)}; }

} // namespace

// --- Mapping between world and pixels -------------------------------------------------------

using GraphViewMappingTest = GraphViewTest;

TEST_F(GraphViewMappingTest, WithoutMarginPixelsAreWorldCoordinatesCutTowardZero) {
    UsePixelWorld(400, 300);
    Draw(400, 300);
    const std::vector<std::pair<std::array<double, 2>, TPixelPoint>> cases{
        {{0, 0}, {0, 0}},        {{10.9, 20.1}, {10, 20}}, {{399.99, 299.5}, {399, 299}},
        {{-0.5, -1.5}, {0, -1}}, {{400, 300}, {400, 300}}, {{123, 45}, {123, 45}},
    };
    for (const auto& [world, pixel] : cases) {
        EXPECT_EQ(graph.WorldToPixel(world[0], world[1]), pixel) << world[0] << ", " << world[1];
    }
    double x = 0;
    double y = 0;
    graph.PixelToWorld(37, 12, x, y);
    EXPECT_DOUBLE_EQ(x, 37.0);
    EXPECT_DOUBLE_EQ(y, 12.0);
}

TEST_F(GraphViewMappingTest, RightMarginIsTwiceTheLeftOneAndTopEqualsBottom) {
    graph.Margin = 50;
    graph.KeepAspectRatio = false;
    graph.SetExtent(0, 100, 0, 100, 1.0);
    Draw(400, 300);
    EXPECT_EQ(graph.WorldToPixel(0, 0), (TPixelPoint{50, 50}));
    EXPECT_EQ(graph.WorldToPixel(100, 100), (TPixelPoint{300, 250}));
    double x = 0;
    double y = 0;
    graph.PixelToWorld(175, 150, x, y);
    EXPECT_DOUBLE_EQ(x, 50.0);
    EXPECT_DOUBLE_EQ(y, 50.0);
}

struct TFitCase {
    const char* Name;
    TGraphExtent Layout;
    int W;
    int H;
    bool KeepAspectRatio;
    TGraphExtent View;
};

class GraphViewFitTest : public ::testing::TestWithParam<TFitCase> {};

TEST_P(GraphViewFitTest, ViewWidensOneRangeToMatchThePicture) {
    const TFitCase& c = GetParam();
    TGraph graph([] { return 0.5; });
    graph.KeepAspectRatio = c.KeepAspectRatio;
    graph.SetExtent(c.Layout.MinX, c.Layout.MaxX, c.Layout.MinY, c.Layout.MaxY, c.Layout.MaxWeight);
    graph.FitView(c.W, c.H);
    EXPECT_EQ(graph.ViewExtent, c.View);
    EXPECT_EQ(graph.LayoutExtent, c.Layout);
}

INSTANTIATE_TEST_SUITE_P(
    Extents, GraphViewFitTest,
    ::testing::Values(
        TFitCase{"WideExtentWidensOnlyY", {0, 200, 0, 50, 3}, 400, 200, true, {0, 200, -25, 75, 3}},
        TFitCase{"TallExtentWidensOnlyX", {0, 50, 0, 200, 3}, 200, 400, true, {-25, 75, 0, 200, 3}},
        TFitCase{
            "MatchingProportionsStay", {0, 400, 0, 200, 2}, 800, 400, true, {0, 400, 0, 200, 2}},
        TFitCase{"ProportionsNotKept", {0, 200, 0, 50, 1}, 400, 200, false, {0, 200, 0, 50, 1}},
        TFitCase{"FlatExtentStays", {5, 5, 0, 50, 1}, 400, 200, true, {5, 5, 0, 50, 1}},
        TFitCase{"EmptyPictureLeavesExtent", {0, 200, 0, 50, 1}, 0, 0, true, {0, 200, 0, 50, 1}}),
    [](const auto& p) { return std::string(p.param.Name); });

// --- What a drawing puts where --------------------------------------------------------------

using GraphViewDrawTest = GraphViewTest;

TEST_F(GraphViewDrawTest, EmptyGraphDrawsAWhitePicture) {
    Draw(640, 480);
    ASSERT_EQ(canvas.Count(TCanvasOp::Resize), 1u);
    EXPECT_EQ(canvas.Of(TCanvasOp::Resize)[0].Points, (TPoints{{640, 480}}));
    ASSERT_EQ(canvas.Count(TCanvasOp::Clear), 1u);
    EXPECT_EQ(canvas.Of(TCanvasOp::Clear)[0].Colour, kWhite);
    for (TCanvasOp op : {TCanvasOp::Line, TCanvasOp::Polyline, TCanvasOp::Ellipse,
                         TCanvasOp::Polygon, TCanvasOp::Rectangle, TCanvasOp::TextOut}) {
        EXPECT_EQ(canvas.Count(op), 0u);
    }
    EXPECT_EQ(graph.BitmapWidth, 640);
    EXPECT_EQ(graph.BitmapHeight, 480);
    EXPECT_EQ(graph.FindNodeAt(320, 240, nullptr, 1000), nullptr);
}

TEST_F(GraphViewDrawTest, NodeIsACircleWithItsCaptionAboveRight) {
    TNode* node = graph.AddNode("obj", "Lever");
    node->X = 100;
    node->Y = 200;
    Draw();
    EXPECT_EQ(node->ScreenPos, (TPixelPoint{100, 200}));
    const std::vector<TCanvasCall> circles = canvas.Of(TCanvasOp::Ellipse);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_EQ(circles[0].Points, Box(95, 195, 105, 205));
    EXPECT_TRUE(circles[0].Filled);
    EXPECT_EQ(circles[0].Pen, kEdgeBlue);
    EXPECT_EQ(circles[0].Brush, 0x00FFFFu);
    const std::vector<TCanvasCall> texts = canvas.Of(TCanvasOp::TextOut);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].Text, "Lever");
    // The 8-point caption font is 11 pixels high at 96 pixels per inch.
    EXPECT_EQ(texts[0].Points, (TPoints{{105, 200 - 5 - 11}}));
    EXPECT_EQ(texts[0].Font, (TFontSpec{"Microsoft Sans Serif", -11, 0}));
}

TEST_F(GraphViewDrawTest, FontsAreSizedInPointsForThePixelDensity) {
    const std::vector<std::array<int, 3>> cases{{96, -9, -11}, {120, -12, -13}, {144, -14, -16}};
    TNode* a = Node("a", 100, 100);
    Edge(a, Node("b", 300, 100))->Label = "x";
    graph.ShowEdgeLabels = true;
    for (const auto& [ppi, labelHeight, captionHeight] : cases) {
        canvas.PixelsPerInch = ppi;
        Draw();
        const std::vector<TCanvasCall> texts = canvas.Of(TCanvasOp::TextOut);
        ASSERT_EQ(texts.size(), 3u);
        EXPECT_EQ(texts[0].Font.Height, labelHeight) << ppi;
        EXPECT_EQ(texts[1].Font.Height, captionHeight) << ppi;
        EXPECT_EQ(texts[1].Points[0].Y, 100 - 5 + captionHeight) << ppi;
    }
}

TEST_F(GraphViewDrawTest, SelectedNodeIsGreenAndPinnedNodeGetsARedDot) {
    TNode* selected = Node("a", 100, 100);
    selected->Selected = true;
    TNode* pinned = Node("b", 300, 300);
    pinned->Pinned = true;
    Draw();
    const std::vector<TCanvasCall> circles = canvas.Of(TCanvasOp::Ellipse);
    ASSERT_EQ(circles.size(), 3u);
    EXPECT_EQ(circles[0].Brush, kGreen);
    EXPECT_EQ(circles[1].Points, Box(295, 295, 305, 305));
    EXPECT_EQ(circles[1].Brush, 0x00FFFFu);
    EXPECT_EQ(circles[2].Points, Box(298, 298, 302, 302));
    EXPECT_TRUE(circles[2].Filled);
    EXPECT_EQ(circles[2].Brush, kRed);
}

TEST_F(GraphViewDrawTest, EdgesAreDrawnBeforeNodesSoNodesCoverTheirEnds) {
    Edge(Node("a", 100, 100), Node("b", 300, 100));
    Draw();
    ASSERT_EQ(canvas.Count(TCanvasOp::Line), 1u);
    EXPECT_EQ(canvas.Of(TCanvasOp::Line)[0].Points, (TPoints{{100, 100}, {300, 100}}));
    std::size_t line = 0;
    std::size_t firstCircle = 0;
    for (std::size_t i = 0; i < canvas.Calls.size(); ++i) {
        if (canvas.Calls[i].Op == TCanvasOp::Line) line = i;
        if (canvas.Calls[i].Op == TCanvasOp::Ellipse && firstCircle == 0) firstCircle = i;
    }
    EXPECT_LT(line, firstCircle);
}

TEST_F(GraphViewDrawTest, WhatIsHiddenIsNotDrawn) {
    Edge(Node("a", 100, 100), Node("b", 300, 100))->Label = "x";
    graph.ShowEdgeLabels = true;
    graph.ShowNodeLabels = false;
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::TextOut), 1u);
    graph.ShowNodes = false;
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::Ellipse), 0u);
    graph.ShowEdges = false;
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::Line), 0u);
    EXPECT_EQ(canvas.Count(TCanvasOp::TextOut), 0u);
}

TEST_F(GraphViewDrawTest, EdgeWithNegativeWeightIsNotDrawn) {
    Edge(Node("a", 100, 100), Node("b", 300, 100), -1.0);
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::Line), 0u);
}

TEST_F(GraphViewDrawTest, LoopHangsBelowItsNodeAsACircle) {
    TNode* a = Node("a", 100, 200);
    Edge(a, a);
    Draw();
    const std::vector<TCanvasCall> ellipses = canvas.Of(TCanvasOp::Ellipse);
    ASSERT_EQ(ellipses.size(), 2u);
    EXPECT_EQ(ellipses[0].Points, Box(90, 200, 110, 220));
    EXPECT_FALSE(ellipses[0].Filled);
    EXPECT_EQ(ellipses[0].Pen, kEdgeBlue);
}

// --- Edge colours ----------------------------------------------------------------------------

struct TColourCase {
    double Weight;
    bool Selected;
    bool Highlight;
    std::uint32_t Pen;
};

class GraphViewEdgeColourTest : public GraphViewTest,
                                public ::testing::WithParamInterface<TColourCase> {};

TEST_P(GraphViewEdgeColourTest, LighterTheLighterTheEdge) {
    const TColourCase& c = GetParam();
    graph.HighlightSelected = c.Highlight;
    TNode* a = Node("a", 100, 100);
    a->Selected = c.Selected;
    Edge(a, Node("b", 300, 100), c.Weight);
    Draw();
    ASSERT_EQ(canvas.Count(TCanvasOp::Line), 1u);
    EXPECT_EQ(canvas.Of(TCanvasOp::Line)[0].Pen, c.Pen);
}

INSTANTIATE_TEST_SUITE_P(Weights, GraphViewEdgeColourTest,
                         ::testing::Values(TColourCase{1.0, false, true, 0xFF6666},
                                           TColourCase{0.5, false, true, 0xFF9393},
                                           TColourCase{0.25, false, true, 0xFFAAAA},
                                           TColourCase{0.0, false, true, 0xFFC1C1},
                                           TColourCase{1.0, true, true, kRed},
                                           TColourCase{0.0, true, true, 0x9999FF},
                                           TColourCase{1.0, true, false, 0xFF6666}));

// --- Edges between the same two nodes --------------------------------------------------------

class GraphViewParallelEdgesTest : public GraphViewTest {
protected:
    GraphViewParallelEdgesTest() {
        graph.CurveParallelEdges = true;
        a = Node("a", 100, 100);
        b = Node("b", 300, 100);
    }
    std::set<std::pair<int, int>> ControlPoints(const std::vector<TEdge*>& edges) const {
        std::set<std::pair<int, int>> points;
        for (const TEdge* e : edges) points.insert({e->ControlPoint.X, e->ControlPoint.Y});
        return points;
    }
    TNode* a = nullptr;
    TNode* b = nullptr;
};

TEST_F(GraphViewParallelEdgesTest, TwoEdgesBulgeATenthOfTheirLengthToOppositeSides) {
    const std::vector<TEdge*> edges{Edge(a, b), Edge(a, b)};
    Draw();
    EXPECT_EQ(ControlPoints(edges), (std::set<std::pair<int, int>>{{200, 120}, {200, 80}}));
    for (const TEdge* e : edges) {
        EXPECT_EQ(e->ParallelCount, 2);
        // Halfway along the curve: 1/8 of each end and 3/4 of the control point.
        EXPECT_EQ(e->LabelPos.X, 200);
        EXPECT_EQ(e->LabelPos.Y, e->ControlPoint.Y == 120 ? 115 : 85);
    }
    const std::vector<TCanvasCall> curves = canvas.Of(TCanvasOp::Polyline);
    ASSERT_EQ(curves.size(), 2u);
    for (const TCanvasCall& curve : curves) {
        ASSERT_EQ(curve.Points.size(), 11u);
        EXPECT_EQ(curve.Points.front(), (TPixelPoint{100, 100}));
        EXPECT_EQ(curve.Points.back(), (TPixelPoint{300, 100}));
    }
    EXPECT_EQ(canvas.Count(TCanvasOp::Line), 0u);
}

TEST_F(GraphViewParallelEdgesTest, ThreeEdgesBulgeAFifthEitherWayAndTheMiddleOneIsStraight) {
    const std::vector<TEdge*> edges{Edge(a, b), Edge(a, b), Edge(a, b)};
    Draw();
    EXPECT_EQ(ControlPoints(edges),
              (std::set<std::pair<int, int>>{{200, 140}, {200, 100}, {200, 60}}));
    std::set<int> indices;
    for (const TEdge* e : edges) {
        EXPECT_EQ(e->ParallelCount, 3);
        indices.insert(e->ParallelIndex);
    }
    EXPECT_EQ(indices, (std::set<int>{0, 1, 2}));
    int straight = 0;
    for (const TCanvasCall& curve : canvas.Of(TCanvasOp::Polyline)) {
        bool onLine = true;
        for (TPixelPoint p : curve.Points) onLine = onLine && p.Y == 100;
        straight += onLine ? 1 : 0;
    }
    EXPECT_EQ(straight, 1);
}

TEST_F(GraphViewParallelEdgesTest, EdgeInTheOtherDirectionBulgesAwayFromItsTwin) {
    graph.Directed = true;
    const std::vector<TEdge*> edges{Edge(a, b), Edge(b, a)};
    Draw();
    EXPECT_NE(edges[0]->ParallelReversed, edges[1]->ParallelReversed);
    EXPECT_EQ(ControlPoints(edges), (std::set<std::pair<int, int>>{{200, 120}, {200, 80}}));
}

TEST_F(GraphViewParallelEdgesTest, SingleEdgesStayStraight) {
    Edge(a, b);
    Edge(a, b);
    TEdge* single = Edge(a, Node("c", 100, 300));
    Draw();
    EXPECT_EQ(single->ParallelCount, 0);
    EXPECT_EQ(canvas.Count(TCanvasOp::Polyline), 2u);
    ASSERT_EQ(canvas.Count(TCanvasOp::Line), 1u);
    EXPECT_EQ(single->ControlPoint, (TPixelPoint{100, 200}));
    EXPECT_EQ(single->LabelPos, (TPixelPoint{100, 200}));
}

TEST_F(GraphViewParallelEdgesTest, WithoutCurvesParallelEdgesShareOneLine) {
    graph.CurveParallelEdges = false;
    const std::vector<TEdge*> edges{Edge(a, b), Edge(a, b)};
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::Line), 2u);
    EXPECT_EQ(edges[0]->LabelPos, edges[1]->LabelPos);
}

// --- Arrowheads ------------------------------------------------------------------------------

struct TArrowCase {
    TPixelPoint From;
    TPixelPoint To;
    TPoints Triangle;
};

class GraphViewArrowheadTest : public GraphViewTest,
                               public ::testing::WithParamInterface<TArrowCase> {};

TEST_P(GraphViewArrowheadTest, ArrowheadGrowsFromEightToFifteenPixels) {
    const TArrowCase& c = GetParam();
    graph.Directed = true;
    Edge(Node("a", c.From.X, c.From.Y), Node("b", c.To.X, c.To.Y));
    Draw();
    const std::vector<TCanvasCall> heads = canvas.Of(TCanvasOp::Polygon);
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0].Points, c.Triangle);
    EXPECT_EQ(heads[0].Brush, kEdgeBlue);
    EXPECT_EQ(heads[0].Pen, kEdgeBlue);
}

// The tip lies 5 pixels before the end node's centre; the size is 0.08 of half the edge.
INSTANTIATE_TEST_SUITE_P(
    EdgeLengths, GraphViewArrowheadTest,
    ::testing::Values(TArrowCase{{100, 500}, {200, 500}, {{187, 498}, {195, 500}, {187, 502}}},
                      TArrowCase{{100, 500}, {300, 500}, {{287, 498}, {295, 500}, {287, 502}}},
                      TArrowCase{{100, 500}, {350, 500}, {{335, 498}, {345, 500}, {335, 502}}},
                      TArrowCase{{100, 500}, {475, 500}, {{455, 497}, {470, 500}, {455, 503}}},
                      TArrowCase{{100, 500}, {700, 500}, {{680, 497}, {695, 500}, {680, 503}}},
                      TArrowCase{{500, 500}, {500, 100}, {{497, 120}, {500, 105}, {503, 120}}}));

TEST_F(GraphViewArrowheadTest, ArrowheadsFollowTheGraphNotTheEdge) {
    TEdge* edge = Edge(Node("a", 100, 100), Node("b", 300, 100));
    edge->Directed = true;
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::Polygon), 0u);
    graph.Directed = true;
    edge->Directed = false;
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::Polygon), 1u);
}

// --- Edge labels -----------------------------------------------------------------------------

class GraphViewLabelTest : public GraphViewTest {
protected:
    GraphViewLabelTest() { graph.ShowEdgeLabels = true; }
    TEdge* LabelledEdge(TPixelPoint from, TPixelPoint to, const std::string& label) {
        TEdge* edge = Edge(Node("a", from.X, from.Y), Node("b", to.X, to.Y));
        edge->Label = label;
        return edge;
    }
};

TEST_F(GraphViewLabelTest, LabelBoxIsCentredOnTheEdgeAndHitInside) {
    // "abcd" measures 24 x 13.
    TEdge* edge = LabelledEdge({100, 100}, {300, 100}, "abcd");
    Draw();
    const std::vector<TCanvasCall> boxes = canvas.Of(TCanvasOp::Rectangle);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Points, Box(186, 92, 214, 109));
    EXPECT_EQ(boxes[0].Brush, kWhite);
    EXPECT_EQ(boxes[0].Pen, kEdgeBlue);
    const TCanvasCall text = canvas.Of(TCanvasOp::TextOut).at(0);
    EXPECT_EQ(text.Text, "abcd");
    EXPECT_EQ(text.Points, (TPoints{{188, 94}}));
    EXPECT_EQ(text.Font, (TFontSpec{"Microsoft Sans Serif", -9, 0}));
    EXPECT_EQ(edge->HitPolygon, (TCorners{{{186, 92}, {214, 92}, {214, 109}, {186, 109}}}));
    EXPECT_EQ(graph.FindEdgeAt(200, 100, nullptr), edge);
    EXPECT_EQ(graph.FindEdgeAt(187, 93, nullptr), edge);
    EXPECT_EQ(graph.FindEdgeAt(213, 108, nullptr), edge);
    // The outline itself is not inside.
    EXPECT_EQ(graph.FindEdgeAt(186, 100, nullptr), nullptr);
    EXPECT_EQ(graph.FindEdgeAt(214, 100, nullptr), nullptr);
    EXPECT_EQ(graph.FindEdgeAt(200, 92, nullptr), nullptr);
    EXPECT_EQ(graph.FindEdgeAt(200, 109, nullptr), nullptr);
}

TEST_F(GraphViewLabelTest, VerticalLabelIsTurnedAQuarterAboutItsCentre) {
    graph.RotateEdgeLabels = true;
    TEdge* edge = LabelledEdge({200, 300}, {200, 100}, "abcd");
    Draw();
    const std::vector<TCanvasCall> boxes = canvas.Of(TCanvasOp::Polygon);
    ASSERT_EQ(boxes.size(), 1u);
    const TPoints turned{{192, 214}, {192, 186}, {209, 186}, {209, 214}};
    EXPECT_EQ(boxes[0].Points, turned);
    EXPECT_EQ(boxes[0].Brush, kWhite);
    EXPECT_EQ(edge->HitPolygon, Corners(turned));
    const TCanvasCall text = canvas.Of(TCanvasOp::TextOut).at(0);
    EXPECT_EQ(text.Points, (TPoints{{194, 212}}));
    EXPECT_EQ(text.Font, (TFontSpec{"Microsoft Sans Serif", -11, 900}));
    // Inside the turned box, below the unturned one.
    EXPECT_EQ(graph.FindEdgeAt(200, 212, nullptr), edge);
    // Inside the unturned box only.
    EXPECT_EQ(graph.FindEdgeAt(188, 200, nullptr), nullptr);
}

TEST_F(GraphViewLabelTest, SlantedLabelIsHitWhereItWasDrawn) {
    graph.RotateEdgeLabels = true;
    // "abcdefghij" measures 60 x 13; the box before turning is (168, 192)-(232, 209).
    TEdge* edge = LabelledEdge({100, 300}, {300, 100}, "abcdefghij");
    Draw();
    EXPECT_EQ(edge->HitPolygon, (TCorners{{{172, 217}, {217, 172}, {229, 184}, {184, 229}}}));
    EXPECT_EQ(canvas.Of(TCanvasOp::TextOut).at(0).Points, (TPoints{{175, 217}}));
    EXPECT_EQ(graph.FindEdgeAt(200, 200, nullptr), edge);
    EXPECT_EQ(graph.FindEdgeAt(218, 182, nullptr), edge);
    EXPECT_EQ(graph.FindEdgeAt(182, 218, nullptr), edge);
    // The corners of the unturned box.
    EXPECT_EQ(graph.FindEdgeAt(170, 194, nullptr), nullptr);
    EXPECT_EQ(graph.FindEdgeAt(230, 194, nullptr), nullptr);
    EXPECT_EQ(graph.FindEdgeAt(230, 207, nullptr), nullptr);
    EXPECT_EQ(graph.FindEdgeAt(170, 207, nullptr), nullptr);
}

struct TAngleCase {
    const char* Name;
    TPixelPoint From;
    TPixelPoint To;
    int Angle; // tenths of a degree, counter-clockwise
};

class GraphViewLabelAngleTest : public GraphViewLabelTest,
                                public ::testing::WithParamInterface<TAngleCase> {};

TEST_P(GraphViewLabelAngleTest, LabelsReadUprightWhicheverWayTheEdgeRuns) {
    const TAngleCase& c = GetParam();
    graph.RotateEdgeLabels = true;
    LabelledEdge(c.From, c.To, "ab");
    Draw();
    EXPECT_EQ(canvas.Of(TCanvasOp::TextOut).at(0).Font.Angle, c.Angle);
}

INSTANTIATE_TEST_SUITE_P(Directions, GraphViewLabelAngleTest,
                         ::testing::Values(TAngleCase{"Right", {100, 100}, {300, 100}, 0},
                                           TAngleCase{"Left", {300, 100}, {100, 100}, 3600},
                                           TAngleCase{"Up", {200, 300}, {200, 100}, 900},
                                           TAngleCase{"Down", {200, 100}, {200, 300}, 900},
                                           TAngleCase{"UpRight", {100, 300}, {300, 100}, 450},
                                           TAngleCase{"DownLeft", {300, 100}, {100, 300}, 450},
                                           TAngleCase{"DownRight", {100, 100}, {300, 300}, 3150},
                                           TAngleCase{"UpLeft", {300, 300}, {100, 100}, 3150}),
                         [](const auto& p) { return std::string(p.param.Name); });

TEST_F(GraphViewLabelTest, LabelIsMeasuredInTheSmallFontAndThatFontComesBackAfterTurning) {
    graph.RotateEdgeLabels = true;
    LabelledEdge({200, 300}, {200, 100}, "abcd");
    Draw();
    std::vector<std::pair<int, int>> fonts;
    for (const TCanvasCall& c : canvas.Of(TCanvasOp::SetFont))
        fonts.emplace_back(c.Font.Height, c.Font.Angle);
    EXPECT_EQ(fonts, (std::vector<std::pair<int, int>>{{-9, 0}, {-11, 900}, {-9, 0}, {-11, 0}}));
    EXPECT_EQ(canvas.Of(TCanvasOp::TextExtent).at(0).Font.Height, -9);
}

TEST_F(GraphViewLabelTest, LabelStaysUnturnedWhenTheTurnedFontCannotBeMade) {
    graph.RotateEdgeLabels = true;
    canvas.FontAvailable = [](const TFontSpec& font) { return font.Angle == 0; };
    TEdge* edge = LabelledEdge({200, 300}, {200, 100}, "abcd");
    Draw();
    EXPECT_EQ(canvas.Count(TCanvasOp::Polygon), 0u);
    ASSERT_EQ(canvas.Count(TCanvasOp::Rectangle), 1u);
    EXPECT_EQ(canvas.Of(TCanvasOp::Rectangle)[0].Points, Box(186, 192, 214, 209));
    const TCanvasCall text = canvas.Of(TCanvasOp::TextOut).at(0);
    EXPECT_EQ(text.Points, (TPoints{{188, 194}}));
    EXPECT_EQ(text.Font.Angle, 0);
    EXPECT_EQ(edge->HitPolygon, (TCorners{{{186, 192}, {214, 192}, {214, 209}, {186, 209}}}));
}

// --- Finding what is under a pixel -----------------------------------------------------------

using GraphViewFindTest = GraphViewTest;

TEST_F(GraphViewFindTest, OfTwoEquallyNearNodesTheFirstInIterationOrderWins) {
    // "b" is added first, but "a" comes first in iteration order.
    TNode* b = Node("b", 110, 100);
    TNode* a = Node("a", 100, 100);
    Draw();
    EXPECT_EQ(graph.FindNodeAt(105, 100, nullptr, 1), a);
    EXPECT_EQ(graph.FindNodeAt(105, 100, a, 1), b);
    EXPECT_EQ(graph.FindNodeAt(106, 100, nullptr, 1), b);
}

struct TToleranceCase {
    int Dx;
    int Dy;
    int Tolerance;
    bool Hit;
};

class GraphViewToleranceTest : public GraphViewTest,
                               public ::testing::WithParamInterface<TToleranceCase> {};

TEST_P(GraphViewToleranceTest, NodeIsHitWithinFivePixelsPerToleranceStep) {
    const TToleranceCase& c = GetParam();
    TNode* node = Node("a", 100, 100);
    Draw();
    EXPECT_EQ(graph.FindNodeAt(100 + c.Dx, 100 + c.Dy, nullptr, c.Tolerance) == node, c.Hit);
}

INSTANTIATE_TEST_SUITE_P(
    Distances, GraphViewToleranceTest,
    ::testing::Values(TToleranceCase{0, 0, 0, true}, TToleranceCase{1, 0, 0, false},
                      TToleranceCase{5, 0, 1, true}, TToleranceCase{-3, 4, 1, true},
                      TToleranceCase{5, 1, 1, false}, TToleranceCase{7, 1, 2, true},
                      TToleranceCase{7, -2, 2, false}));

TEST_F(GraphViewFindTest, HitsAnswerForThePictureLastDrawn) {
    TNode* a = Node("a", 100, 100);
    Draw();
    a->X = 500;
    EXPECT_EQ(graph.FindNodeAt(100, 100, nullptr, 1), a);
    EXPECT_EQ(graph.FindNodeAt(500, 100, nullptr, 1), nullptr);
}

TEST_F(GraphViewFindTest, EdgeWhoseLabelWasNeverDrawnCannotBeHit) {
    TEdge* edge = Edge(Node("a", 100, 100), Node("b", 300, 100));
    edge->Label = "abcd";
    Draw();
    EXPECT_EQ(graph.FindEdgeAt(200, 100, nullptr), nullptr);
    EXPECT_EQ(graph.FindEdgeAt(0, 0, nullptr), nullptr);
}

TEST_F(GraphViewFindTest, FirstEdgeInIterationOrderUnlessExcluded) {
    graph.ShowEdgeLabels = true;
    TNode* a = Node("a", 100, 100);
    TNode* b = Node("b", 300, 100);
    // Added first, but later in iteration order (hash 98 + 99 against 97 + 98); its label lies
    // where the other's does.
    TEdge* second = Edge(b, Node("c", 100, 100));
    TEdge* first = Edge(a, b);
    second->Label = first->Label = "abcd";
    Draw();
    EXPECT_EQ(graph.FindEdgeAt(200, 100, nullptr), first);
    EXPECT_EQ(graph.FindEdgeAt(200, 100, first), second);
}

TEST_F(GraphViewFindTest, ItemUnderAPixelIsANodeBeforeAnEdge) {
    graph.ShowEdgeLabels = true;
    TEdge* edge = Edge(Node("a", 100, 100), Node("b", 300, 100));
    edge->Label = "abcd";
    TNode* onLabel = Node("c", 200, 100);
    Draw();
    EXPECT_EQ(graph.FindItemAt(200, 100, nullptr, 1), onLabel);
    EXPECT_EQ(graph.FindItemAt(200, 100, onLabel, 1), edge);
    EXPECT_EQ(graph.FindItemAt(200, 100, edge, 0), onLabel);
    EXPECT_EQ(graph.FindItemAt(201, 100, nullptr, 0), edge);
    EXPECT_EQ(graph.FindItemAt(500, 500, nullptr, 1), nullptr);
}

// --- Edges without a direction and other unusual pictures ------------------------------------

class GraphViewNoDirectionTest : public GraphViewTest {
protected:
    GraphViewNoDirectionTest() {
        graph.Directed = true;
        graph.ShowEdgeLabels = true;
        graph.RotateEdgeLabels = true;
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

TEST_F(GraphViewNoDirectionTest, LoopInADirectedGraphHasNoArrowheadAndAnUnturnedLabel) {
    TNode* a = Node("a", 200, 200);
    TEdge* loop = Edge(a, a);
    loop->Label = "abcd";
    Draw();
    ExpectPlainEdgesOnly(1);
    EXPECT_EQ(canvas.Of(TCanvasOp::Ellipse).at(0).Points, Box(190, 200, 210, 220));
    EXPECT_EQ(loop->HitPolygon, (TCorners{{{186, 192}, {214, 192}, {214, 209}, {186, 209}}}));
}

TEST_F(GraphViewNoDirectionTest, EdgeBetweenNodesOnOnePointHasNoArrowheadAndAnUnturnedLabel) {
    TEdge* edge = Edge(Node("a", 200, 200), Node("b", 200.5, 200.7));
    edge->Label = "abcd";
    Draw();
    ExpectPlainEdgesOnly(1);
    EXPECT_EQ(edge->LabelPos, (TPixelPoint{200, 200}));
}

TEST_F(GraphViewNoDirectionTest, ParallelEdgesOnOnePointCurveNowhere) {
    TNode* a = Node("a", 200, 200);
    TNode* b = Node("b", 200, 200);
    const std::vector<TEdge*> edges{Edge(a, b), Edge(b, a), Edge(a, a), Edge(a, a)};
    for (TEdge* e : edges) e->Label = "x";
    Draw();
    ExpectPlainEdgesOnly(edges.size());
    for (const TEdge* e : edges) {
        EXPECT_EQ(e->ParallelCount, 2);
        EXPECT_EQ(e->ControlPoint, (TPixelPoint{200, 200}));
    }
}

TEST_F(GraphViewNoDirectionTest, GraphWithoutExtentOrWeightsDrawsEverythingAtTheMargin) {
    TGraph fresh([] { return 0.5; });
    TNode* a = fresh.AddNode("a", "");
    TNode* b = fresh.AddNode("b", "");
    fresh.Directed = true;
    fresh.ShowEdgeLabels = true;
    fresh.RotateEdgeLabels = true;
    fresh.AddEdge(a, b, 0.0)->Label = "x";
    fresh.Draw(canvas, 300, 200);
    EXPECT_EQ(a->ScreenPos, (TPixelPoint{50, 50}));
    EXPECT_EQ(b->ScreenPos, (TPixelPoint{50, 50}));
    EXPECT_EQ(canvas.Of(TCanvasOp::Line).at(0).Pen, kEdgeBlue);
    ExpectPlainEdgesOnly(1);
}

TEST_F(GraphViewNoDirectionTest, EmptyOrNegativePictureSizeIsDrawnAsEmpty) {
    Edge(Node("a", 100, 100), Node("b", 300, 100));
    graph.Margin = 50;
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{-5, 10}, std::pair{1, -1}}) {
        Draw(w, h);
        EXPECT_EQ(canvas.Of(TCanvasOp::Resize).at(0).Points,
                  (TPoints{{std::max(w, 0), std::max(h, 0)}}));
        EXPECT_TRUE(canvas.AllPointsWithin(kSize));
    }
}

TEST_F(GraphViewNoDirectionTest, NodesFarOutOrWithoutPositionStayWithinPixelRange) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    TNode* far = Node("a", 1e300, -1e300);
    TNode* lost = Node("b", nan, nan);
    Edge(far, lost)->Label = "x";
    Edge(lost, Node("c", 100, 100))->Label = "y";
    Draw();
    EXPECT_TRUE(canvas.AllPointsWithin(1 << 30));
    EXPECT_EQ(lost->ScreenPos, (TPixelPoint{0, 0}));
    EXPECT_EQ(graph.FindNodeAt(INT_MAX, INT_MIN, nullptr, 1), nullptr);
    EXPECT_EQ(graph.FindNodeAt(INT_MIN, INT_MAX, nullptr, INT_MAX), nullptr);
    EXPECT_EQ(graph.FindNodeAt(0, 0, nullptr, 1), lost);
    EXPECT_EQ(graph.FindEdgeAt(INT_MIN, INT_MAX, nullptr), nullptr);
}
