// The graph model: the 256-bucket hash list, nodes and edges with their hashes and equality,
// the graph that owns them, its text form (the block of a link template file), the link data
// string the Link Painter hangs on its edges, and the force-directed layout: the same positions,
// extents and random draws as comparing every pair of nodes, on graphs of every shape, and what
// a user sees of it.
#include "linkpainter/Graph.h"
#include "linkpainter/HashList.h"
#include "linkpainter/LayoutReference.h"
#include "linkpainter/LinkData.h"
#include "linkpainter/RandomGraph.h"
#include "text/Exception.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace kv {
namespace {

using Names = std::vector<std::string>;

// Hands out the given numbers in turn, then starts over.
TRandomSource Sequence(std::vector<double> values) {
    auto next = std::make_shared<std::size_t>(0);
    return [values = std::move(values), next] { return values[(*next)++ % values.size()]; };
}

TNode Probe(const std::string& name) { return TNode(name, Sequence({0})); }

// The message of the kv::Exception that Load raises; empty when none is raised.
template <typename Load> std::string FailureOf(Load load) {
    try {
        load();
    } catch (const Exception& e) {
        return e.what();
    }
    return {};
}

Names NamesOf(const std::vector<TNode*>& nodes) {
    Names names;
    for (const TNode* node : nodes) names.push_back(node->Name);
    return names;
}

// An item with a chosen hash, equal to any item with the same key.
struct TKeyed : THashable {
    TKeyed(int hash, std::string key) : HashValue(hash), Key(std::move(key)) {}
    [[nodiscard]] int Hash() const override { return HashValue; }
    [[nodiscard]] bool IsEqual(const THashable& other) const override {
        const auto* keyed = dynamic_cast<const TKeyed*>(&other);
        return keyed != nullptr && keyed->Key == Key;
    }
    int HashValue;
    std::string Key;
};

Names Iterated(THashList& list) {
    Names keys;
    for (THashable* item = list.First(); item != nullptr; item = list.Next())
        keys.push_back(static_cast<TKeyed*>(item)->Key);
    return keys;
}

TEST(HashListTest, IteratesBucketsUpwardsFindsInTheProbesBucketAndDropsEmptyBuckets) {
    TKeyed a(200, "a"), b(3, "b"), c(200, "c"), d(0, "d"), e(255, "e"), f(3, "f");
    THashList list;
    for (TKeyed* item : {&a, &b, &c, &d, &e, &f, &a}) list.Add(item); // a twice: kept once
    EXPECT_EQ(Iterated(list), (Names{"d", "b", "f", "a", "c", "e"}));
    EXPECT_EQ(list.Count(), 6u);
    EXPECT_EQ(list.Next(), nullptr); // stays at the end
    EXPECT_EQ(list.Bucket(200)->HashValue, 200);

    EXPECT_EQ(list.Find(TKeyed(3, "f")), &f);
    EXPECT_EQ(list.Find(TKeyed(4, "f")), nullptr); // equal key, other bucket
    TKeyed twin(3, "b");
    list.Remove(&twin); // equal, but not that very object
    const std::vector<THashable*> snapshot = list.ToList();
    list.Remove(&b);
    list.Remove(&f);
    EXPECT_EQ(list.Bucket(3), nullptr);
    EXPECT_EQ(Iterated(list), (Names{"d", "a", "c", "e"}));
    EXPECT_EQ(snapshot.size(), 6u);

    // The stored item decides whether it equals the probe.
    class TGreedy : public THashable {
    public:
        [[nodiscard]] int Hash() const override { return 4; }
        [[nodiscard]] bool IsEqual(const THashable&) const override { return true; }
    } greedy;
    list.Add(&greedy);
    EXPECT_EQ(list.Find(TKeyed(4, "anything")), &greedy);
}

// Items

TEST(GraphModelTest, NewNodesLieAtTwiceTwoRandomNumbersAndTakeTheirNameAsCaption) {
    TGraph graph(Sequence({0.25, 0.75}));
    const TNode* node = graph.AddNode("Guard", "");
    EXPECT_EQ(std::tuple(node->Caption, node->X, node->Y), std::tuple("Guard", 0.5, 1.5));
}

TEST(GraphModelTest, HashesAreByteSumsModulo256AndTheSameForBothDirections) {
    const std::vector<std::pair<std::string, int>> cases{
        {"", 0}, {"Door", 148}, {"Lever", 254}, {"\xE9", 233}};
    for (const auto& [name, hash] : cases) EXPECT_EQ(Probe(name).Hash(), hash) << name;
    TNode door = Probe("Door"), lever = Probe("Lever");
    TEdge there(&door, true, 1, &lever), back(&lever, true, 1, &door);
    EXPECT_EQ(std::pair(there.Hash(), back.Hash()), std::pair(146, 146)); // (148 + 254) mod 256
    there.Reverse();
    EXPECT_EQ(std::pair(there.FromNode, there.ToNode), std::pair(&lever, &door));
}

TEST(GraphModelTest, EqualityIsByNameIgnoringCaseDataAndForEdgesTheirEnds) {
    int data = 0, otherData = 0;
    TNode door = Probe("Door"), upper = Probe("DOOR"), lever = Probe("Lever");
    EXPECT_TRUE(door.IsEqual(upper));
    EXPECT_FALSE(door.IsEqual(lever));
    door.Data = &data;
    EXPECT_FALSE(door.IsEqual(upper));
    upper.Data = &data;
    EXPECT_TRUE(door.IsEqual(upper));
    upper.Data = &otherData;
    EXPECT_FALSE(door.IsEqual(upper));

    TNode a = Probe("a"), b = Probe("b"), bUpper = Probe("B");
    TEdge ab(&a, true, 1, &b), aB(&a, true, 5, &bUpper), ba(&b, true, 1, &a);
    EXPECT_FALSE(a.IsEqual(ab));
    EXPECT_FALSE(ab.IsEqual(a));
    EXPECT_TRUE(ab.IsEqual(aB));  // ends equal by name, weight does not matter
    EXPECT_FALSE(ab.IsEqual(ba)); // directed: reversed ends are another edge
    ab.Directed = false;
    EXPECT_TRUE(ab.IsEqual(ba)); // the stored edge's direction decides
    EXPECT_FALSE(ba.IsEqual(ab));
    aB.EdgeData = &data;
    EXPECT_FALSE(ab.IsEqual(aB));
}

// Adding, merging, renaming, deleting

TEST(GraphModelTest, AddingMergesEqualItemsInOneBucketUnlessTheyCarryData) {
    int data = 0;
    TGraph graph(Sequence({0.5}));
    TNode* guard = graph.AddNode("Guard", "");
    EXPECT_EQ(graph.AddNode("Guard", "Guard at the gate"), guard);
    EXPECT_EQ(graph.AddNode("Guard", ""), guard);
    EXPECT_EQ(guard->Caption, "Guard at the gate"); // an empty caption changes nothing
    // Case differences: apart in different buckets, merged when the sums match modulo 256.
    EXPECT_NE(graph.AddNode("guard", ""), guard);
    TNode* lower = graph.AddNode("abcdefgh", "");
    EXPECT_EQ(graph.AddNode("ABCDEFGH", ""), lower);
    lower->Data = &data;
    EXPECT_NE(graph.AddNode("abcdefgh", ""), lower);
    EXPECT_EQ(graph.Nodes.Count(), 4u);

    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TEdge* ab = graph.AddEdge(a, b, 1.0);
    EXPECT_EQ(graph.AddEdge(a, b, 1.0), ab);
    EXPECT_EQ(graph.AddEdge(b, a, 0.5), ab); // undirected: reversed is the same edge
    EXPECT_EQ(std::pair(ab->Weight, ab->FromNode), std::pair(2.5, a));
    ab->EdgeData = &data;
    EXPECT_NE(graph.AddEdge(a, b, 1.0), ab);
    graph.AddEdge(a, a, 1.0);
    graph.Directed = true;
    TNode* c = graph.AddNode("C", "");
    TEdge* cb = graph.AddEdge(c, b, 1.0);
    EXPECT_NE(graph.AddEdge(b, c, 1.0), cb); // directed: reversed is another edge
    // The loop counts twice.
    EXPECT_EQ(std::tuple(graph.Edges.Count(), a->Degree, b->Degree), std::tuple(5u, 4, 4));
}

TEST(GraphModelTest, DeleteNodeDeletesEveryEdgeAtANodeEqualToItAndALoopOnce) {
    TGraph graph(Sequence({0.5}));
    TNode* door = graph.AddNode("door", ""); // hash 180
    TNode* twin = graph.AddNode("Door", ""); // hash 148: another node, but equal
    TNode* b = graph.AddNode("B", "");
    TNode* c = graph.AddNode("C", "");
    TEdge* loop = graph.AddEdge(door, door, 1.0);
    graph.AddEdge(twin, b, 1.0);
    TEdge* bc = graph.AddEdge(b, c, 1.0);
    int loopDestroyed = 0;
    loop->OnDestroy = [&](TGraphItem&) { ++loopDestroyed; };
    door->OnDestroy = [&](TGraphItem& item) {
        EXPECT_EQ(static_cast<TNode&>(item).Name, "door");
        EXPECT_EQ(static_cast<TNode&>(item).Degree, 0); // its edges went first
    };
    bc->OnDestroy = [&](TGraphItem& item) { // before the degrees drop
        EXPECT_EQ(static_cast<TEdge&>(item).ToNode->Degree, 1);
    };

    graph.DeleteNode(door);
    EXPECT_EQ(loopDestroyed, 1);
    EXPECT_EQ(graph.GetEdges(), (std::vector<TEdge*>{bc}));
    EXPECT_EQ(NamesOf(graph.GetNodes()), (Names{"B", "C", "Door"}));
    EXPECT_EQ(twin->Degree, 0);
    EXPECT_EQ(b->Degree, 1);
    graph.DeleteEdge(bc);
    EXPECT_EQ(c->Degree, 0);
}

TEST(GraphModelTest, RenameNodeKeepsItsEdgesFindableUnderTheNewHash) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("A", "Caption of A");
    TNode* b = graph.AddNode("B", "");
    TNode* c = graph.AddNode("C", "");
    TEdge* ab = graph.AddEdge(a, b, 1.0);
    TEdge* ca = graph.AddEdge(c, a, 1.0);
    graph.RenameNode(a, "Zed");
    EXPECT_EQ(a->Caption, "Caption of A");
    EXPECT_EQ(std::pair(graph.Nodes.Find(Probe("Zed")), graph.Nodes.Find(Probe("A"))),
              (std::pair<THashable*, THashable*>(a, nullptr)));
    TNode zed = Probe("Zed"), bProbe = Probe("B"), cProbe = Probe("C");
    EXPECT_EQ(graph.Edges.Find(TEdge(&zed, false, 1, &bProbe)), ab);
    EXPECT_EQ(graph.Edges.Find(TEdge(&cProbe, false, 1, &zed)), ca);
    EXPECT_EQ(graph.AddEdge(a, b, 1.0), ab);
    EXPECT_EQ(graph.Edges.Count(), 2u);
    char mark = '!';
    Names visited; // in hash order: "Zed" 35, "B" 66, "C" 67
    const auto visit = [&](TGraph&, TNode& n, void* p) {
        visited.push_back(n.Name + *static_cast<char*>(p));
    };
    graph.ForEachNode(visit, &mark);
    EXPECT_EQ(visited, (Names{"Zed!", "B!", "C!"}));
    graph.ForEachNode({}, nullptr); // no callback, nothing happens
}

TEST(GraphModelTest, ClearAndTheGraphsEndDestroyEdgesBeforeNodes) {
    Names destroyed;
    const auto build = [&](TGraph& graph) {
        TNode* a = graph.AddNode("A", "");
        TNode* b = graph.AddNode("B", "");
        TEdge* edge = graph.AddEdge(a, b, 1.0);
        a->OnDestroy = [&](TGraphItem&) { destroyed.push_back("A"); };
        b->OnDestroy = [&](TGraphItem&) { destroyed.push_back("B"); };
        edge->OnDestroy = [&](TGraphItem&) { destroyed.push_back("edge"); };
    };
    auto graph = std::make_unique<TGraph>(Sequence({0.5}));
    build(*graph);
    graph->Clear();
    EXPECT_EQ(graph->Nodes.Count() + graph->Edges.Count(), 0u);
    build(*graph);
    graph.reset();
    EXPECT_EQ(destroyed, (Names{"edge", "A", "B", "edge", "A", "B"}));
}

// Writing

// Numbers in general format with up to 15 digits.
TEST(GraphTextTest, WritesExtentsNodesAndEdgesWithSignedColoursAndEmptyDataTexts) {
    TGraph graph([] { return 0.25; });
    EXPECT_EQ(graph.SaveToText(), "B0:0:0:0:0:\r\nR0:0:0:0:0:\r\n");
    TNode* a = graph.AddNode("a", "");
    graph.AddEdge(a, a, 2);
    graph.AddNode("b", "")->Color = 0xFFFFFFFFu;
    graph.AddNode("c", "")->Color = 0x80000000u;
    graph.ViewExtent = {-2.25, 1.0 / 3.0, 100000000000000.0, 1e15, 123456789012345678.0};
    graph.LayoutExtent = {0.0001, 1e-5, 0, 0, 0};
    EXPECT_EQ(graph.SaveToText(), "B-2.25:0.333333333333333:100000000000000:1e+15:"
                                  "1.23456789012346e+17:\r\nR0.0001:1e-05:0:0:0:\r\n"
                                  "N1:a1:a0.5:0.5:F:F:65535:0:\r\n"
                                  "N1:b1:b0.5:0.5:F:F:-1:0:\r\n"
                                  "N1:c1:c0.5:0.5:F:F:-2147483648:0:\r\n"
                                  "E0:0:2:16737894:0::F:0:\r\n");
}

// Reading

TEST(GraphTextTest, RoundTripKeepsAwkwardNamesExtremeNumbersAndNegativeColours) {
    TGraph graph([] { return 0.0; });
    graph.Directed = true;
    TNode* colon = graph.AddNode("a:b:c", "caption: {with} braces");
    TNode* brace = graph.AddNode("{5}x{", "");
    colon->X = 1e300;
    colon->Y = -2.5e-300;
    colon->Pinned = brace->Selected = true;
    colon->Color = 0xFFFFFFFFu;
    TEdge* edge = graph.AddEdge(colon, brace, 0.1);
    edge->Label = "3:x";
    edge->Color = 0xFEDCBA98u;
    graph.AddEdge(brace, brace, 1e20)->Label = "ends in:";
    graph.SetExtent(-1e-7, 1e20, -0.5, 0.25, 12.5);
    const std::string text = graph.SaveToText();
    EXPECT_NE(text.find("E0:0:1e+20:16737894:8:ends in::T:0:\r\n"), std::string::npos) << text;
    TGraph loaded;
    loaded.LoadFromText(text, {}, {});
    // Every field is written, so reading one wrongly would show in the text written again.
    EXPECT_EQ(loaded.SaveToText(), text);
    EXPECT_EQ(loaded.GetNodes()[1]->Color, 0xFFFFFFFFu);
}

TEST(GraphTextTest, ReadingClearsTheGraphAndSkipsWhatIsNoRecordWithAnyLineEnds) {
    TGraph graph;
    TNode* old = graph.AddNode("old", "");
    graph.AddEdge(old, old, 1);
    graph.ViewExtent.MaxX = 99;
    graph.LoadFromText("\r\n"
                       "X this is no record\r\n"
                       "n1:x1:x0:0:F:F:0:0:\n"
                       "\n"
                       "N1:a1:a1:2:F:F:0:0:\r"
                       "*LPGRAPH\r"
                       "\r"
                       "N1:b1:b3:4:F:F:0:0:\n"
                       "E0:1:1:0:5:labelT:0:", // the colon after the label may be missing
                       {}, {});
    EXPECT_EQ(NamesOf(graph.GetNodes()), (Names{"a", "b"}));
    ASSERT_EQ(graph.Edges.Count(), 1u);
    const TEdge& edge = *graph.GetEdges()[0];
    EXPECT_EQ(std::tuple(edge.FromNode->Name, edge.Label, edge.Directed),
              std::tuple("a", "label", true));
    EXPECT_EQ(graph.ViewExtent.MaxX, 99.0); // no B record, the extent stays
}

TEST(GraphTextTest, ExtentRecordsAreReadSeparatelyUnlessTheExtentIsFixed) {
    TGraph graph;
    graph.LoadFromText("B1E20:1e-07:-2.5E+3:0.5:1e+20:\r\nR6:7:8:9:10:\r\n", {}, {});
    EXPECT_EQ(graph.ViewExtent, (TGraphExtent{1e20, 1e-7, -2500, 0.5, 1e20}));
    EXPECT_EQ(graph.LayoutExtent, (TGraphExtent{6, 7, 8, 9, 10}));
    graph.FixedExtent = true;
    graph.SetExtent(0, 800, 0, 600, 3);
    graph.LoadFromText("B1:2:3:4:5:\r\nR6:7:8:9:10:\r\nBnonsense\r\nR\r\n", {}, {});
    EXPECT_EQ(graph.ViewExtent, (TGraphExtent{0, 800, 0, 600, 3}));
    EXPECT_EQ(graph.LayoutExtent, (TGraphExtent{0, 800, 0, 600, 3}));
}

TEST(GraphTextTest, SameNamesMergeUnlessTheDataTextMadeThemDifferent) {
    const std::string text = "N5:Guard5:Guard0:0:F:F:0:99:1{4}2{12}\r\n" // length past the end
                             "N5:Guard5:Guard1:1:F:F:0:5:2{13}\r\n"
                             "E0:1:1.5:0:0::F:0:\r\nE1:0:2:0:0::F:0:\r\n";
    TGraph plain;
    plain.LoadFromText(text, {}, {});
    EXPECT_EQ(plain.Nodes.Count(), 1u);
    ASSERT_EQ(plain.Edges.Count(), 1u);
    EXPECT_EQ(plain.GetEdges()[0]->Weight, 3.5);

    std::vector<std::unique_ptr<std::string>> data;
    TGraph painted;
    painted.LoadFromText(text, {}, [&](TGraphItem& sender, const std::string& value) {
        data.push_back(std::make_unique<std::string>(value));
        sender.Data = data.back().get();
    });
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(*data[0], "1{4}2{12}");
    EXPECT_EQ(*data[1], "2{13}");
    EXPECT_EQ(painted.Nodes.Count(), 2u);
    EXPECT_EQ(painted.Edges.Count(), 1u);
    EXPECT_NE(painted.GetEdges()[0]->FromNode, painted.GetEdges()[0]->ToNode);
}

TEST(GraphTextTest, MalformedLineRaisesWithItsNumberAndKeepsWhatWasReadBefore) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"B1,5:2:3:4:5:", "'1,5' is not a valid floating point value"},
        {"R:2:3:4:5:", "'' is not a valid floating point value"},
        {"N1:c1:cinf:0:F:F:0:0:", "'inf' is not a valid floating point value"},
        {"B1:2:3:4:5", "'5' is not a valid field: ':' expected"},
        {"Nx:c1:c0:0:F:F:0:0:", "'x' is not a valid integer value"},
        {"N1:c1:c0:0:Y:F:0:0:", "'Y' is not a valid boolean value"},
        {"N1:c1:c0:0:F:F:4294967295:0:", "'4294967295' is not a valid integer value"},
        {"E0:2:1:0:0::F:0:", "List index out of bounds (2)"}, // only nodes read so far count
        {"E0:-1:1:0:0::F:0:", "List index out of bounds (-1)"}};
    for (const auto& [line, message] : cases) {
        TGraph graph;
        const std::string good = "B1:2:3:4:5:\r\nN1:a1:A1:2:T:F:255:0:\r\nN1:b1:B3:4:F:F:0:0:\r\n";
        EXPECT_EQ(FailureOf([&] {
                      graph.LoadFromText(good + line + "\r\nN1:z1:z0:0:F:F:0:0:\r\n", {}, {});
                  }),
                  "Line 4: " + message);
        EXPECT_EQ(graph.ViewExtent, (TGraphExtent{1, 2, 3, 4, 5})) << line;
        ASSERT_EQ(NamesOf(graph.GetNodes()), (Names{"a", "b"})) << line;
        EXPECT_TRUE(graph.GetNodes()[0]->Selected);
    }
}

// Link data

TEST(LinkDataTest, KeepsTheLowByteOfTheFlavorAndTheActiveFlagAndRejectsBrokenTexts) {
    EXPECT_EQ(EncodeLinkData(TLinkData{0, 0}), "1{0}1{0}");
    EXPECT_EQ(DecodeLinkData("3{260}2{-1}"), (TLinkData{4, 255}));
    EXPECT_EQ(DecodeLinkData("2{24}1{1}1{9}"), (TLinkData{24, 1}));
    const std::vector<std::pair<std::string, std::string>> bad{
        {"2{24}", "Invalid encoded string"},
        {"2{24}1{", "Invalid encoded string"},
        {"1{x}1{1}", "Invalid encoded integer"}};
    for (const auto& [text, message] : bad) {
        EXPECT_EQ(FailureOf([&] { (void)DecodeLinkData(text); }), message) << text;
    }
}

// Layout

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

using TXY = std::pair<double, double>;
TXY XY(const TNode* node) { return {node->X, node->Y}; }

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
        {"LatticeOnCellBorders",
         O{.Nodes = 150, .Edges = 200, .Seed = 12, .Spread = 36, .Lattice = 3}, 8},
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

    TSmallGraph three;
    TNode* left = three.Add("Left", 0, 1, true);
    TNode* right = three.Add("Right", 40, 3, true);
    TNode* mid = three.Add("Mid", 20, 2, true);
    three.Graph.AddEdge(left, right, 0.5);
    three.Graph.AddEdge(right, mid, 3);
    three.Graph.AddEdge(mid, left, 2);
    three.Run(1);
    EXPECT_EQ(three.Graph.LayoutExtent, (TGraphExtent{0, 40, -3, 7, 3}));

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
    // An extent 1000 units wide makes k 100: half a unit of k is 50.
    for (const bool fixed : {false, true}) {
        TSmallGraph g;
        const double y = fixed ? 500 : 0;
        TNode* a = g.Add("A", 0, y);
        TNode* b = g.Add("B", fixed ? 1000 : 100, y);
        g.Graph.AddEdge(a, b, fixed ? 100 : 1);
        g.Graph.SetExtent(0, 1000, 0, 1000, 1);
        g.Graph.FixedExtent = fixed;
        g.Run(1);
        EXPECT_EQ(std::pair(XY(a), XY(b)), fixed ? std::pair(TXY{50, 500}, TXY{950, 500})
                                                 : std::pair(TXY{0.5, 0}, TXY{99.5, 0}));
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
