// Drawing a Link Painter graph of 500 objects and 1,000 labelled links into a 1024 x 768
// picture: through a canvas that only counts its calls (the cost of the drawing itself) and,
// when the GUI is built, through the QPainter canvas; both against one pass that only maps
// every node and link end to pixels.
#include "linkpainter/Graph.h"

#ifdef KORVANE_GRAPH_BENCH_QT
#include "ui/QtGraphCanvas.h"
#endif

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace kv;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kNodes = 500;
constexpr int kEdges = 1000;

// Draws nothing; counts the calls so the work cannot be optimised away.
class TCountingCanvas final : public TCanvas {
public:
    std::int64_t Calls = 0;

    void Resize(int width, int height) override {
        width_ = width;
        height_ = height;
        ++Calls;
    }
    void Clear(std::uint32_t) override { ++Calls; }
    [[nodiscard]] int Width() const override { return width_; }
    [[nodiscard]] int Height() const override { return height_; }
    [[nodiscard]] int PixelsPerInchY() const override { return 96; }
    void SetPen(std::uint32_t) override { ++Calls; }
    void SetBrush(std::uint32_t) override { ++Calls; }
    void Line(TPixelPoint, TPixelPoint) override { ++Calls; }
    void Polyline(const std::vector<TPixelPoint>&) override { ++Calls; }
    void Ellipse(int, int, int, int, bool) override { ++Calls; }
    void Polygon(const std::vector<TPixelPoint>&) override { ++Calls; }
    void Rectangle(int, int, int, int) override { ++Calls; }
    bool SetFont(const TFontSpec&) override {
        ++Calls;
        return true;
    }
    [[nodiscard]] TPixelPoint TextExtent(const std::string& text) override {
        ++Calls;
        return {static_cast<int>(text.size()) * 6, 13};
    }
    void TextOut(int, int, const std::string&) override { ++Calls; }

private:
    int width_ = 0;
    int height_ = 0;
};

// The graph as the Link Painter sets it up: world = paint box pixels, directed, curved
// parallel links, turned labels. Nodes lie at random; links join random pairs, some of them
// several times.
struct TBenchGraph {
    std::mt19937 Engine{20240611};
    std::uniform_real_distribution<double> Uniform{0.0, 1.0};
    TGraph Graph{[this] { return Uniform(Engine); }};
    // Data of their own, as the Link Painter's nodes and links carry.
    std::array<int, kNodes> NodeTags{};
    std::array<int, kEdges> EdgeTags{};

    TBenchGraph() {
        Graph.Directed = true;
        Graph.Margin = 0;
        Graph.FixedExtent = true;
        Graph.SetExtent(0, kWidth, 0, kHeight, 1.0);
        Graph.HighlightSelected = false;
        Graph.ShowEdgeLabels = true;
        Graph.CurveParallelEdges = true;
        Graph.RotateEdgeLabels = true;

        std::vector<TNode*> nodes;
        for (int i = 0; i < kNodes; ++i) {
            TNode* node = Graph.AddNode("Object " + std::to_string(i + 1), "");
            node->X = Uniform(Engine) * kWidth;
            node->Y = Uniform(Engine) * kHeight;
            node->Data = &NodeTags[static_cast<std::size_t>(i)];
            nodes.push_back(node);
        }
        const std::array<const char*, 6> flavors{"ControlDevice", "Contains",   "Owns",
                                                 "ScriptParams",  "AIWatchObj", "Flinderize"};
        std::uniform_int_distribution<int> pick(0, kNodes - 1);
        const auto anyNode = [&] { return nodes[static_cast<std::size_t>(pick(Engine))]; };
        TEdge* previous = nullptr;
        for (int i = 0; i < kEdges; ++i) {
            // Every tenth link doubles the one before it.
            const bool twin = previous != nullptr && i % 10 == 0;
            TNode* from = twin ? previous->FromNode : anyNode();
            TNode* to = twin ? previous->ToNode : anyNode();
            TEdge* edge = Graph.AddEdge(from, to, 1.0);
            edge->EdgeData = &EdgeTags[static_cast<std::size_t>(i)];
            edge->Label = flavors[static_cast<std::size_t>(i) % flavors.size()];
            previous = edge;
        }
    }
};

TBenchGraph& BenchGraph() {
    static TBenchGraph graph;
    return graph;
}

// The baseline: every node and both ends of every link mapped to pixels once.
void BM_MapGraphToPixels(benchmark::State& state) {
    TGraph& graph = BenchGraph().Graph;
    graph.BitmapWidth = kWidth;
    graph.BitmapHeight = kHeight;
    graph.FitView(kWidth, kHeight);
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (TNode* node : graph.GetNodes()) {
            const TPixelPoint p = graph.WorldToPixel(node->X, node->Y);
            sum += p.X + p.Y;
        }
        for (TEdge* edge : graph.GetEdges()) {
            const TPixelPoint p1 = graph.WorldToPixel(edge->FromNode->X, edge->FromNode->Y);
            const TPixelPoint p2 = graph.WorldToPixel(edge->ToNode->X, edge->ToNode->Y);
            sum += p1.X + p2.Y;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_MapGraphToPixels)->Unit(benchmark::kMicrosecond);

void BM_DrawThroughCountingCanvas(benchmark::State& state) {
    TGraph& graph = BenchGraph().Graph;
    TCountingCanvas canvas;
    for (auto _ : state) {
        graph.Draw(canvas, kWidth, kHeight);
        benchmark::DoNotOptimize(canvas.Calls);
    }
    state.counters["canvas calls per draw"] =
        static_cast<double>(canvas.Calls) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_DrawThroughCountingCanvas)->Unit(benchmark::kMicrosecond);

#ifdef KORVANE_GRAPH_BENCH_QT
void DrawThroughQPainter(benchmark::State& state, const kv::bench::TQtSession& qt) {
    TGraph& graph = BenchGraph().Graph;
    const std::unique_ptr<TCanvas> canvas = qt.MakeCanvas();
    for (auto _ : state) {
        graph.Draw(*canvas, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
}
#endif

} // namespace

int main(int argc, char** argv) {
#ifdef KORVANE_GRAPH_BENCH_QT
    const kv::bench::TQtSession qt;
    benchmark::RegisterBenchmark("BM_DrawThroughQPainter", [&qt](benchmark::State& state) {
        DrawThroughQPainter(state, qt);
    })->Unit(benchmark::kMicrosecond);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    kv::bench::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double map = reporter.Time("BM_MapGraphToPixels");
    const double counting = reporter.Time("BM_DrawThroughCountingCanvas");
    const double painted = reporter.Time("BM_DrawThroughQPainter");
    if (map > 0 && counting > 0) {
        std::printf("Drawing %d nodes and %d labelled links takes %.1f times one mapping pass "
                    "(%.0f us a draw without painting)\n",
                    kNodes, kEdges, counting / map, counting);
    }
    if (counting > 0 && painted > 0) {
        std::printf("Painting it with QPainter into %d x %d takes %.1f times the drawing alone "
                    "(%.1f ms a picture)\n",
                    kWidth, kHeight, painted / counting, painted / 1000.0);
    }
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
