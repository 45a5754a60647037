// The force-directed layout: the same positions, extents and random draws as comparing every
// pair of nodes, on graphs of every shape; and what a user sees of it.
#include "linkpainter/Graph.h"
#include "linkpainter/LayoutReference.h"
#include "linkpainter/RandomGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kv {
namespace {

using test::AllPairsLayout;
using test::BuildRandomGraph;
using test::SeededRandom;
using test::TRandomGraphOptions;

::testing::AssertionResult Close(const char* what, double fast, double allPairs) {
    const double scale = std::max({1.0, std::abs(fast), std::abs(allPairs)});
    const bool bothNaN = std::isnan(fast) && std::isnan(allPairs);
    if (bothNaN || fast == allPairs || std::abs(fast - allPairs) <= 1e-9 * scale) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << what << ": " << fast << " here, " << allPairs << " comparing every pair";
}

void ExpectSameExtent(const TGraphExtent& fast, const TGraphExtent& allPairs) {
    EXPECT_TRUE(Close("MinX", fast.MinX, allPairs.MinX));
    EXPECT_TRUE(Close("MaxX", fast.MaxX, allPairs.MaxX));
    EXPECT_TRUE(Close("MinY", fast.MinY, allPairs.MinY));
    EXPECT_TRUE(Close("MaxY", fast.MaxY, allPairs.MaxY));
    EXPECT_TRUE(Close("MaxWeight", fast.MaxWeight, allPairs.MaxWeight));
}

struct TLayoutCase {
    const char* Name;
    TRandomGraphOptions Graph;
    int Iterations = 10;
    bool FixedExtent = false;
    double ExtentWidth = 0; // of the fixed extent from the graph's corner; 0: the spread
};

std::ostream& operator<<(std::ostream& out, const TLayoutCase& c) { return out << c.Name; }

class LayoutMatchesAllPairsTest : public ::testing::TestWithParam<TLayoutCase> {
protected:
    static void Prepare(TGraph& graph, const TLayoutCase& c) {
        BuildRandomGraph(graph, c.Graph);
        graph.Iterations = c.Iterations;
        if (c.FixedExtent) {
            const double width = c.ExtentWidth > 0 ? c.ExtentWidth : c.Graph.Spread;
            graph.SetExtent(c.Graph.Offset, c.Graph.Offset + width, c.Graph.Offset,
                            c.Graph.Offset + width, 0);
            graph.FixedExtent = true;
        }
    }
};

TEST_P(LayoutMatchesAllPairsTest, GivesTheSamePositionsExtentsAndRandomDraws) {
    const TLayoutCase& c = GetParam();
    TGraph fast(SeededRandom(c.Graph.Seed));
    TGraph allPairs(SeededRandom(c.Graph.Seed));
    Prepare(fast, c);
    Prepare(allPairs, c);

    fast.Layout();
    AllPairsLayout(allPairs);

    const std::vector<TNode*> a = fast.GetNodes();
    const std::vector<TNode*> b = allPairs.GetNodes();
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(a[i]->Name);
        ASSERT_EQ(a[i]->Name, b[i]->Name);
        EXPECT_TRUE(Close("X", a[i]->X, b[i]->X));
        EXPECT_TRUE(Close("Y", a[i]->Y, b[i]->Y));
        EXPECT_EQ(a[i]->ForceX, 0.0);
        EXPECT_EQ(a[i]->ForceY, 0.0);
    }
    ExpectSameExtent(fast.LayoutExtent, allPairs.LayoutExtent);
    ExpectSameExtent(fast.ViewExtent, allPairs.ViewExtent);
    // Both drew the same count of random numbers, so the next one is the same.
    EXPECT_EQ(fast.Random(), allPairs.Random());
}

TRandomGraphOptions Opts(int nodes, int edges, std::uint64_t seed, double spread) {
    TRandomGraphOptions o;
    o.Nodes = nodes;
    o.Edges = edges;
    o.Seed = seed;
    o.Spread = spread;
    return o;
}

TRandomGraphOptions With(TRandomGraphOptions o, auto change) {
    change(o);
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Graphs, LayoutMatchesAllPairsTest,
    ::testing::Values(
        TLayoutCase{"Empty", Opts(0, 0, 1, 10)}, TLayoutCase{"OneNode", Opts(1, 0, 2, 10)},
        TLayoutCase{"NoIterations", Opts(30, 40, 3, 20), 0},
        TLayoutCase{"SmallInOneCell", Opts(12, 20, 4, 2), 25},
        TLayoutCase{"Medium", Opts(200, 400, 5, 60)},
        TLayoutCase{"MediumOtherSeed", Opts(200, 400, 6, 40), 15},
        TLayoutCase{"LargeSparse", Opts(600, 900, 7, 250), 4},
        TLayoutCase{"DenserThanRestLength", Opts(400, 800, 8, 15), 6},
        TLayoutCase{"Pinned", With(Opts(150, 300, 9, 40), [](auto& o) { o.PinnedShare = 0.3; })},
        TLayoutCase{"Coincident",
                    With(Opts(150, 200, 10, 50), [](auto& o) { o.CoincidentGroups = 25; })},
        TLayoutCase{"NearlyCoincidentAcrossCells",
                    With(Opts(300, 300, 21, 40),
                         [](auto& o) {
                             o.NearPairs = 120;
                             o.CoincidentGroups = 10;
                         }),
                    8},
        TLayoutCase{"AllOnOnePoint", Opts(30, 20, 11, 0), 12},
        TLayoutCase{"LatticeOnCellBorders",
                    With(Opts(150, 200, 12, 36), [](auto& o) { o.Lattice = 3; }), 8},
        TLayoutCase{"LatticeOfSix", With(Opts(150, 100, 13, 60), [](auto& o) { o.Lattice = 6; }),
                    5},
        TLayoutCase{"NegativeAndFarFromOrigin",
                    With(Opts(200, 300, 14, 80), [](auto& o) { o.Offset = -1e7; })},
        TLayoutCase{"HeavyWeights",
                    With(Opts(150, 300, 15, 40), [](auto& o) { o.MaxEdgeWeight = 1000; })},
        TLayoutCase{"ZeroWeights",
                    With(Opts(100, 150, 16, 30), [](auto& o) { o.MaxEdgeWeight = 0; })},
        TLayoutCase{"FixedExtent", Opts(200, 300, 17, 60), 10, true},
        TLayoutCase{"FixedExtentNarrowerThanTheNodes",
                    With(Opts(200, 300, 18, 60),
                         [](auto& o) {
                             o.CoincidentGroups = 10;
                             o.PinnedShare = 0.1;
                         }),
                    10, true, 25},
        // Positions divided by k overflow until the nodes are clamped into the extent.
        TLayoutCase{"FixedExtentTooSmallToScale",
                    With(Opts(40, 0, 19, 30), [](auto& o) { o.CoincidentGroups = 4; }), 5, true,
                    1e-306},
        TLayoutCase{"EverythingAtOnce",
                    With(Opts(500, 1000, 20, 70),
                         [](auto& o) {
                             o.CoincidentGroups = 30;
                             o.PinnedShare = 0.15;
                             o.Lattice = 0.5;
                             o.MaxEdgeWeight = 20;
                         }),
                    6}),
    [](const ::testing::TestParamInfo<TLayoutCase>& param) {
        return std::string(param.param.Name);
    });

// Behaviour a user sees.

void RunLayout(TGraph& graph, int iterations) {
    graph.Iterations = iterations;
    graph.Layout();
}

TEST(GraphLayout, PushesApartNodesOnOnePoint) {
    TGraph graph(SeededRandom(21));
    for (int i = 0; i < 6; ++i) {
        TNode* node = graph.AddNode(std::string("N").append(std::to_string(i)), "");
        node->X = 5;
        node->Y = 5;
    }
    RunLayout(graph, 10);

    const std::vector<TNode*> nodes = graph.GetNodes();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        for (std::size_t j = i + 1; j < nodes.size(); ++j) {
            const double d = std::hypot(nodes[i]->X - nodes[j]->X, nodes[i]->Y - nodes[j]->Y);
            EXPECT_GT(d, 0.1) << nodes[i]->Name << " and " << nodes[j]->Name;
        }
    }
}

TEST(GraphLayout, LeavesAnExtentOfTenByTenCentredOnASingleNode) {
    TGraph graph(SeededRandom(22));
    TNode* node = graph.AddNode("Alone", "");
    node->X = 3;
    node->Y = -7;
    RunLayout(graph, 5);

    EXPECT_EQ(node->X, 3);
    EXPECT_EQ(node->Y, -7);
    const TGraphExtent expected{-2, 8, -12, -2, 1.0};
    EXPECT_EQ(graph.LayoutExtent, expected);
    EXPECT_EQ(graph.ViewExtent, expected);
}

TEST(GraphLayout, WidensOnlyTheAxisNarrowerThanTenUnits) {
    TGraph graph(SeededRandom(23));
    TNode* left = graph.AddNode("Left", "");
    TNode* right = graph.AddNode("Right", "");
    left->X = 0;
    left->Y = 1;
    right->X = 40;
    right->Y = 3;
    left->Pinned = right->Pinned = true;
    RunLayout(graph, 1);

    EXPECT_EQ(graph.LayoutExtent, (TGraphExtent{0, 40, -3, 7, 1.0}));
}

TEST(GraphLayout, DoesNotMovePinnedNodes) {
    TGraph graph(SeededRandom(24));
    TNode* pinned = graph.AddNode("Pinned", "");
    TNode* unpinned = graph.AddNode("Free", "");
    TNode* other = graph.AddNode("Other", "");
    for (TNode* node : {pinned, unpinned, other}) {
        node->X = 1;
        node->Y = 2;
    }
    pinned->Pinned = true;
    graph.AddEdge(pinned, other, 3);
    RunLayout(graph, 20);

    EXPECT_EQ(pinned->X, 1);
    EXPECT_EQ(pinned->Y, 2);
    EXPECT_NE(std::make_pair(unpinned->X, unpinned->Y), std::make_pair(1.0, 2.0));
    EXPECT_NE(std::make_pair(other->X, other->Y), std::make_pair(1.0, 2.0));
    EXPECT_EQ(pinned->ForceX, 0);
    EXPECT_EQ(pinned->ForceY, 0);
}

TEST(GraphLayout, KeepsNodesInsideAFixedExtentAndTheExtentAsItIs) {
    TGraph graph(SeededRandom(25));
    TRandomGraphOptions o = Opts(60, 80, 25, 30);
    o.Offset = -10;
    o.CoincidentGroups = 5;
    BuildRandomGraph(graph, o);
    graph.SetExtent(0, 10, 0, 10, 7);
    graph.ViewExtent = {-1, 11, -1, 11, 7};
    graph.FixedExtent = true;
    RunLayout(graph, 15);

    for (const TNode* node : graph.GetNodes()) {
        EXPECT_TRUE(node->X >= 0 && node->X <= 10 && node->Y >= 0 && node->Y <= 10)
            << node->Name << " at " << node->X << ", " << node->Y;
    }
    EXPECT_EQ(graph.LayoutExtent, (TGraphExtent{0, 10, 0, 10, 7}));
    EXPECT_EQ(graph.ViewExtent, (TGraphExtent{-1, 11, -1, 11, 7}));
}

// A fixed extent without width, with every node on one point: the layout returns, and the
// nodes stay finite and inside the extent.
TEST(GraphLayout, ReturnsForAFixedExtentWithoutWidth) {
    TGraph graph(SeededRandom(3));
    for (const char* name : {"a", "b", "c"}) {
        TNode* node = graph.AddNode(name, "");
        node->X = 0;
        node->Y = 0;
    }
    graph.SetExtent(0, 0, 0, 10, 1);
    graph.FixedExtent = true;
    RunLayout(graph, 20);
    for (const TNode* node : graph.GetNodes()) {
        EXPECT_EQ(node->X, 0) << node->Name;
        EXPECT_TRUE(node->Y >= 0 && node->Y <= 10) << node->Name << " at " << node->Y;
    }
}

TEST(GraphLayout, ScalesStepsToAFixedExtent) {
    // An extent 1000 units wide makes k 100: two nodes 1000 units apart on a heavy edge are
    // 10 units of k apart, so each takes the largest step, half a unit of k, towards the other.
    TGraph graph(SeededRandom(26));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    a->X = 0;
    a->Y = 500;
    b->X = 1000;
    b->Y = 500;
    graph.AddEdge(a, b, 100);
    graph.SetExtent(0, 1000, 0, 1000, 1);
    graph.FixedExtent = true;
    RunLayout(graph, 1);

    EXPECT_EQ(a->X, 50);
    EXPECT_EQ(b->X, 950);
    EXPECT_EQ(a->Y, 500);
}

TEST(GraphLayout, PullsTogetherEdgeEndsFarApart) {
    TGraph graph(SeededRandom(27));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    a->X = 0;
    a->Y = 0;
    b->X = 100;
    b->Y = 0;
    graph.AddEdge(a, b, 1);
    RunLayout(graph, 1);

    EXPECT_EQ(a->X, 0.5);
    EXPECT_EQ(b->X, 99.5);
    EXPECT_EQ(a->Y, 0);
    EXPECT_EQ(b->Y, 0);
}

struct TReachCase {
    double Distance;
    bool Repelled;
};

std::ostream& operator<<(std::ostream& out, const TReachCase& c) {
    return out << c.Distance << " units apart";
}

class LayoutRepulsionReachTest : public ::testing::TestWithParam<TReachCase> {};

TEST_P(LayoutRepulsionReachTest, PushesApartOnlyNodesNearerThanSixUnits) {
    TGraph graph(SeededRandom(28));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    // Far from the origin; from 5.9 units on, the two lie in different cells of the grid.
    a->X = 1013.75;
    a->Y = 6;
    b->X = a->X + GetParam().Distance;
    b->Y = 6;
    const double ax = a->X;
    const double bx = b->X;
    RunLayout(graph, 1);

    EXPECT_EQ(a->X < ax && b->X > bx, GetParam().Repelled);
    EXPECT_EQ(a->X == ax && b->X == bx, !GetParam().Repelled);
}

INSTANTIATE_TEST_SUITE_P(Distances, LayoutRepulsionReachTest,
                         ::testing::Values(TReachCase{0.5, true}, TReachCase{5.9, true},
                                           TReachCase{5.999, true}, TReachCase{6.0, false},
                                           TReachCase{6.01, false}, TReachCase{13, false}));

TEST(GraphLayout, HeavierEdgesPullHarder) {
    const auto pull = [](double weight) {
        TGraph graph(SeededRandom(29));
        TNode* a = graph.AddNode("A", "");
        TNode* b = graph.AddNode("B", "");
        a->X = a->Y = b->Y = 0;
        b->X = 3;
        a->Pinned = true;
        graph.AddEdge(a, b, weight);
        RunLayout(graph, 1);
        return 3 - b->X;
    };
    EXPECT_EQ(pull(0.5), pull(1));
    EXPECT_GT(pull(10), pull(1));
    EXPECT_GT(pull(1), 0);
}

TEST(GraphLayout, SetsMaxWeightToTheHeaviestEdge) {
    TGraph graph(SeededRandom(30));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TNode* c = graph.AddNode("C", "");
    graph.AddEdge(a, b, 0.5);
    graph.AddEdge(b, c, 3);
    graph.AddEdge(c, a, 2);
    RunLayout(graph, 1);

    EXPECT_EQ(graph.LayoutExtent.MaxWeight, 3);
    EXPECT_EQ(graph.ViewExtent.MaxWeight, 3);
}

TEST(GraphLayout, SetsMaxWeightToOneWithoutEdgesOrWeights) {
    TGraph noEdges(SeededRandom(31));
    noEdges.AddNode("A", "");
    noEdges.AddNode("B", "");
    RunLayout(noEdges, 1);
    EXPECT_EQ(noEdges.LayoutExtent.MaxWeight, 1.0);

    TGraph zeroWeights(SeededRandom(32));
    zeroWeights.AddEdge(zeroWeights.AddNode("A", ""), zeroWeights.AddNode("B", ""), 0);
    RunLayout(zeroWeights, 1);
    EXPECT_EQ(zeroWeights.LayoutExtent.MaxWeight, 1.0);
}

TEST(GraphLayout, SettlesTwoLinkedNodesWhereAttractionMeetsRepulsion) {
    TGraph graph(SeededRandom(33));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    a->X = 0;
    b->X = 0.5;
    a->Y = b->Y = 0;
    graph.AddEdge(a, b, 1);
    RunLayout(graph, 1000);

    // Attraction (d^2 - 4) / 2 against repulsion 4 / d balances where d^3 - 4d - 8 = 0.
    const double d = std::hypot(b->X - a->X, b->Y - a->Y);
    EXPECT_NEAR(d * d * d - 4 * d - 8, 0, 1e-6);
}

} // namespace
} // namespace kv
