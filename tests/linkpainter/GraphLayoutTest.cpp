// The force-directed layout: the same positions, extents and random draws as comparing every
// pair of nodes, on graphs of every shape; and what a user sees of it.
#include "linkpainter/Graph.h"
#include "linkpainter/LayoutReference.h"
#include "linkpainter/RandomGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::SeededRandom;
using O = test::TRandomGraphOptions;

::testing::AssertionResult Close(const char* what, double fast, double allPairs) {
    const double scale = std::max({1.0, std::abs(fast), std::abs(allPairs)});
    if ((std::isnan(fast) && std::isnan(allPairs)) || fast == allPairs ||
        std::abs(fast - allPairs) <= 1e-9 * scale) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << what << ": " << fast << " here, " << allPairs << " comparing every pair";
}

void ExpectSameExtent(const TGraphExtent& fast, const TGraphExtent& allPairs) {
    for (double TGraphExtent::*m : {&TGraphExtent::MinX, &TGraphExtent::MaxX, &TGraphExtent::MinY,
                                    &TGraphExtent::MaxY, &TGraphExtent::MaxWeight})
        EXPECT_TRUE(Close("extent", fast.*m, allPairs.*m));
}

struct TLayoutCase {
    const char* Name;
    O Graph;
    int Iterations = 10;
    double FixedWidth = 0; // of a fixed extent from the graph's corner; 0: not fixed
};

TEST(GraphLayoutTest, GivesTheSamePositionsExtentsAndRandomDrawsAsComparingEveryPair) {
    const TLayoutCase cases[] = {
        {"Empty", O{.Nodes = 0, .Edges = 0}},
        {"SmallInOneCell", O{.Nodes = 12, .Edges = 20, .Seed = 4, .Spread = 2}, 25},
        {"LargeSparse", O{.Nodes = 600, .Edges = 900, .Seed = 7, .Spread = 250}, 4},
        {"NearlyCoincidentAcrossCells",
         O{.Nodes = 300, .Edges = 300, .Seed = 21, .Spread = 40, .CoincidentGroups = 10,
           .NearPairs = 120},
         8},
        {"AllOnOnePoint", O{.Nodes = 30, .Edges = 20, .Seed = 11, .Spread = 0}, 12},
        {"LatticeOnCellBorders", O{.Nodes = 150, .Edges = 200, .Seed = 12, .Spread = 36, .Lattice = 3},
         8},
        {"NegativeAndFarFromOrigin",
         O{.Nodes = 200, .Edges = 300, .Seed = 14, .Spread = 80, .Offset = -1e7}},
        {"FixedExtentNarrowerThanTheNodes",
         O{.Nodes = 200, .Edges = 300, .Seed = 18, .Spread = 60, .CoincidentGroups = 10,
           .PinnedShare = 0.1},
         10, 25},
        // Positions divided by k overflow until the nodes are clamped into the extent.
        {"FixedExtentTooSmallToScale",
         O{.Nodes = 40, .Edges = 0, .Seed = 19, .Spread = 30, .CoincidentGroups = 4}, 5, 1e-306},
        {"EverythingAtOnce",
         O{.Nodes = 500, .Edges = 1000, .Seed = 20, .Spread = 70, .Lattice = 0.5,
           .CoincidentGroups = 30, .PinnedShare = 0.15, .MaxEdgeWeight = 20},
         6}};
    for (const TLayoutCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TGraph fast(SeededRandom(c.Graph.Seed));
        TGraph allPairs(SeededRandom(c.Graph.Seed));
        for (TGraph* graph : {&fast, &allPairs}) {
            test::BuildRandomGraph(*graph, c.Graph);
            graph->Iterations = c.Iterations;
            if (c.FixedWidth > 0) {
                const double from = c.Graph.Offset;
                graph->SetExtent(from, from + c.FixedWidth, from, from + c.FixedWidth, 0);
                graph->FixedExtent = true;
            }
        }
        fast.Layout();
        test::AllPairsLayout(allPairs);

        const std::vector<TNode*> a = fast.GetNodes();
        const std::vector<TNode*> b = allPairs.GetNodes();
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            EXPECT_TRUE(Close("X", a[i]->X, b[i]->X)) << a[i]->Name;
            EXPECT_TRUE(Close("Y", a[i]->Y, b[i]->Y)) << a[i]->Name;
            EXPECT_EQ(a[i]->ForceX, 0.0);
        }
        ExpectSameExtent(fast.LayoutExtent, allPairs.LayoutExtent);
        ExpectSameExtent(fast.ViewExtent, allPairs.ViewExtent);
        // Both drew the same count of random numbers, so the next one is the same.
        EXPECT_EQ(fast.Random(), allPairs.Random());
    }
}

// Behaviour a user sees, on graphs small enough to work out by hand.

struct TSmallGraph {
    TGraph Graph{SeededRandom(21)};
    TNode* Add(const std::string& name, double x, double y, bool pinned = false) {
        TNode* node = Graph.AddNode(name, "");
        node->X = x;
        node->Y = y;
        node->Pinned = pinned;
        return node;
    }
    void Run(int iterations) {
        Graph.Iterations = iterations;
        Graph.Layout();
    }
};

TEST(GraphLayoutTest, WidensOnlyAnAxisNarrowerThanTenUnitsAndTakesTheHeaviestEdgeOrOne) {
    TSmallGraph alone;
    alone.Add("Alone", 3, -7);
    alone.Run(5);
    EXPECT_EQ(alone.Graph.LayoutExtent, (TGraphExtent{-2, 8, -12, -2, 1.0}));
    EXPECT_EQ(alone.Graph.ViewExtent, alone.Graph.LayoutExtent);

    TSmallGraph pair;
    TNode* left = pair.Add("Left", 0, 1, true);
    TNode* right = pair.Add("Right", 40, 3, true);
    TNode* mid = pair.Add("Mid", 20, 2, true);
    pair.Graph.AddEdge(left, right, 0.5);
    pair.Graph.AddEdge(right, mid, 3);
    pair.Graph.AddEdge(mid, left, 2);
    pair.Run(1);
    EXPECT_EQ(pair.Graph.LayoutExtent, (TGraphExtent{0, 40, -3, 7, 3}));

    TSmallGraph weightless;
    weightless.Graph.AddEdge(weightless.Add("A", 0, 0), weightless.Add("B", 0, 0), 0);
    weightless.Run(1);
    EXPECT_EQ(weightless.Graph.LayoutExtent.MaxWeight, 1.0);
}

// A fixed extent without width, with every node on one point: the layout returns, and the
// nodes stay finite and inside the extent.
TEST(GraphLayoutTest, ReturnsForAFixedExtentWithoutWidth) {
    TSmallGraph g;
    for (const char* name : {"a", "b", "c"}) g.Add(name, 0, 0);
    g.Graph.SetExtent(0, 0, 0, 10, 1);
    g.Graph.FixedExtent = true;
    g.Run(20);
    for (const TNode* node : g.Graph.GetNodes()) {
        EXPECT_EQ(node->X, 0) << node->Name;
        EXPECT_TRUE(node->Y >= 0 && node->Y <= 10) << node->Name << " at " << node->Y;
    }
}

TEST(GraphLayoutTest, EdgesFarApartTakeTheLargestStepScaledToAFixedExtent) {
    // Free: 100 units apart, each end takes the largest step, half a unit, towards the other.
    TSmallGraph free;
    TNode* a = free.Add("A", 0, 0);
    TNode* b = free.Add("B", 100, 0);
    free.Graph.AddEdge(a, b, 1);
    free.Run(1);
    EXPECT_EQ(a->X, 0.5);
    EXPECT_EQ(b->X, 99.5);
    EXPECT_EQ(a->Y, 0);
    // An extent 1000 units wide makes k 100: half a unit of k is 50.
    TSmallGraph fixed;
    a = fixed.Add("A", 0, 500);
    b = fixed.Add("B", 1000, 500);
    fixed.Graph.AddEdge(a, b, 100);
    fixed.Graph.SetExtent(0, 1000, 0, 1000, 1);
    fixed.Graph.FixedExtent = true;
    fixed.Run(1);
    EXPECT_EQ(a->X, 50);
    EXPECT_EQ(b->X, 950);
    EXPECT_EQ(a->Y, 500);
}

TEST(GraphLayoutTest, PushesApartOnlyNodesNearerThanSixUnits) {
    for (const auto& [distance, repelled] :
         {std::pair{0.5, true}, {5.999, true}, {6.0, false}}) {
        TSmallGraph g;
        // Far from the origin; from 5.9 units on, the two lie in different cells of the grid.
        TNode* a = g.Add("A", 1013.75, 6);
        TNode* b = g.Add("B", 1013.75 + distance, 6);
        const double ax = a->X;
        const double bx = b->X;
        g.Run(1);
        EXPECT_EQ(a->X < ax && b->X > bx, repelled) << distance;
        EXPECT_EQ(a->X == ax && b->X == bx, !repelled) << distance;
    }
}

TEST(GraphLayoutTest, HeavierEdgesPullHarderAndTwoNodesSettleWhereForcesMeet) {
    const auto pull = [](double weight) {
        TSmallGraph g;
        TNode* b = g.Add("B", 3, 0);
        g.Graph.AddEdge(g.Add("A", 0, 0, true), b, weight);
        g.Run(1);
        return 3 - b->X;
    };
    EXPECT_EQ(pull(0.5), pull(1));
    EXPECT_GT(pull(10), pull(1));
    EXPECT_GT(pull(1), 0);

    TSmallGraph g;
    TNode* a = g.Add("A", 0, 0);
    TNode* b = g.Add("B", 0.5, 0);
    g.Graph.AddEdge(a, b, 1);
    g.Run(1000);
    // Attraction (d^2 - 4) / 2 against repulsion 4 / d balances where d^3 - 4d - 8 = 0.
    const double d = std::hypot(b->X - a->X, b->Y - a->Y);
    EXPECT_NEAR(d * d * d - 4 * d - 8, 0, 1e-6);
}

} // namespace
} // namespace kv
