// The graph model: the 256-bucket hash list, nodes and edges with their hashes and equality,
// the graph that owns them, its text form (the block of a link template file) and the link
// data string the Link Painter hangs on its edges.
#include "linkpainter/Graph.h"
#include "linkpainter/HashList.h"
#include "linkpainter/LinkData.h"
#include "text/Exception.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
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

TEST(GraphModelTest, NewGraphNodesAndEdgesHaveTheDocumentedDefaults) {
    TGraph graph(Sequence({0.25, 0.75}));
    EXPECT_EQ(graph.Margin, 50);
    TNode* node = graph.AddNode("Guard", ""); // at twice two random numbers
    EXPECT_EQ(node->Caption, "Guard");
    EXPECT_DOUBLE_EQ(node->X, 0.5);
    EXPECT_DOUBLE_EQ(node->Y, 1.5);
    EXPECT_EQ(node->Color, 0x00FFFFu);
    node->SavePosition();
    node->X = 30;
    node->RestorePosition();
    EXPECT_DOUBLE_EQ(node->X, 0.5);

    TEdge* plain = graph.AddEdge(node, graph.AddNode("b", ""), 2.5);
    EXPECT_FALSE(plain->Directed);
    EXPECT_EQ(plain->Color, 0xFF6666u);
    graph.Directed = true;
    EXPECT_TRUE(graph.AddEdge(node, graph.AddNode("c", ""), 1)->Directed);
}

TEST(GraphModelTest, HashesAreByteSumsModulo256AndTheSameForBothDirections) {
    const std::vector<std::pair<std::string, int>> cases{
        {"", 0}, {"Door", 148}, {"Lever", 254}, {"\xE9", 233}};
    for (const auto& [name, hash] : cases) EXPECT_EQ(Probe(name).Hash(), hash) << name;
    TNode door = Probe("Door"), lever = Probe("Lever");
    TEdge there(&door, true, 1, &lever), back(&lever, true, 1, &door);
    EXPECT_EQ(there.Hash(), (148 + 254) % 256);
    EXPECT_EQ(back.Hash(), there.Hash());
    there.Reverse();
    EXPECT_EQ(there.FromNode, &lever);
    EXPECT_EQ(there.ToNode, &door);
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
    EXPECT_EQ(ab->Weight, 2.5);
    EXPECT_EQ(ab->FromNode, a);
    ab->EdgeData = &data;
    EXPECT_NE(graph.AddEdge(a, b, 1.0), ab);
    graph.AddEdge(a, a, 1.0);
    graph.Directed = true;
    TNode* c = graph.AddNode("C", "");
    TEdge* cb = graph.AddEdge(c, b, 1.0);
    EXPECT_NE(graph.AddEdge(b, c, 1.0), cb); // directed: reversed is another edge
    EXPECT_EQ(graph.Edges.Count(), 5u);
    EXPECT_EQ(a->Degree, 4); // the loop counts twice
    EXPECT_EQ(b->Degree, 4);
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
    EXPECT_EQ(graph.Nodes.Find(Probe("Zed")), a);
    EXPECT_EQ(graph.Nodes.Find(Probe("A")), nullptr);
    TNode zed = Probe("Zed"), bProbe = Probe("B"), cProbe = Probe("C");
    EXPECT_EQ(graph.Edges.Find(TEdge(&zed, false, 1, &bProbe)), ab);
    EXPECT_EQ(graph.Edges.Find(TEdge(&cProbe, false, 1, &zed)), ca);
    EXPECT_EQ(graph.AddEdge(a, b, 1.0), ab);
    EXPECT_EQ(graph.Edges.Count(), 2u);
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
    TGraph graph(Sequence({0.5}));
    build(graph);
    graph.Clear();
    EXPECT_EQ(destroyed, (Names{"edge", "A", "B"}));
    EXPECT_EQ(graph.Nodes.Count() + graph.Edges.Count(), 0u);
    {
        TGraph scoped(Sequence({0.5}));
        build(scoped);
    }
    EXPECT_EQ(destroyed.size(), 6u);
}

TEST(GraphModelTest, ListsAndVisitsFollowTheIterationOrder) {
    TGraph graph(Sequence({0.5}));
    // Hashes: "b" 98, "a" 97, "c" 99, "\x01" 1.
    TNode* b = graph.AddNode("b", "");
    TNode* a = graph.AddNode("a", "");
    TNode* c = graph.AddNode("c", "");
    TNode* one = graph.AddNode("\x01", "");
    EXPECT_EQ(graph.GetNodes(), (std::vector<TNode*>{one, a, b, c}));
    TEdge* bc = graph.AddEdge(b, c, 1);     // 197
    TEdge* ab = graph.AddEdge(a, b, 1);     // 195
    TEdge* oneA = graph.AddEdge(one, a, 1); // 98
    std::vector<TEdge*> edges{nullptr};
    graph.GetEdges(edges);
    EXPECT_EQ(edges, (std::vector<TEdge*>{oneA, ab, bc}));

    a->Selected = c->Selected = true;
    std::vector<TNode*> list{nullptr, nullptr, nullptr, nullptr, nullptr};
    graph.GetNodes(list, true);
    EXPECT_EQ(list, (std::vector<TNode*>{a, c}));
    int param = 7;
    Names visited;
    graph.ForEachNode(
        [&](TGraph& g, TNode& node, void* p) {
            EXPECT_TRUE(&g == &graph && p == &param);
            visited.push_back(node.Name);
        },
        &param);
    EXPECT_EQ(visited, (Names{"\x01", "a", "b", "c"}));
    graph.ForEachNode({}, nullptr); // no callback, nothing happens
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\r')); }

// Writing

TEST(GraphTextTest, WritesExtentsNodesAndEdgesWithSignedColoursAndEmptyDataTexts) {
    TGraph graph([] { return 0.25; });
    EXPECT_EQ(graph.SaveToText(), "B0:0:0:0:0:\r\nR0:0:0:0:0:\r\n");
    TNode* a = graph.AddNode("a", "");
    graph.AddEdge(a, a, 2);
    graph.AddNode("b", "")->Color = 0xFFFFFFFFu;
    graph.AddNode("c", "")->Color = 0x80000000u;
    EXPECT_EQ(graph.SaveToText(), "B0:0:0:0:0:\r\nR0:0:0:0:0:\r\n"
                                  "N1:a1:a0.5:0.5:F:F:65535:0:\r\n"
                                  "N1:b1:b0.5:0.5:F:F:-1:0:\r\n"
                                  "N1:c1:c0.5:0.5:F:F:-2147483648:0:\r\n"
                                  "E0:0:2:16737894:0::F:0:\r\n");
}

TEST(GraphTextTest, NumbersAreWrittenInGeneralFormatWithUpTo15Digits) {
    const std::vector<std::pair<double, std::string>> cases{
        {-2.25, "-2.25"},
        {1.0 / 3.0, "0.333333333333333"},
        {100000000000000.0, "100000000000000"},
        {1e15, "1e+15"},        {123456789012345678.0, "1.23456789012346e+17"},
        {0.0001, "0.0001"},     {1e-5, "1e-05"}};
    for (const auto& [value, text] : cases) {
        TGraph graph;
        graph.ViewExtent.MinX = value;
        EXPECT_EQ(FirstLine(graph.SaveToText()), "B" + text + ":0:0:0:0:");
    }
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
    EXPECT_EQ(edge.FromNode->Name, "a");
    EXPECT_EQ(edge.Label, "label");
    EXPECT_TRUE(edge.Directed);
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

} // namespace
} // namespace kv
