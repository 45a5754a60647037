// The graph model: nodes and edges, their hashes and equality, and the graph that owns them.
#include "linkpainter/Graph.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace kv {
namespace {

// Hands out the given numbers in turn, then starts over.
TRandomSource Sequence(std::vector<double> values) {
    auto next = std::make_shared<std::size_t>(0);
    return [values = std::move(values), next] { return values[(*next)++ % values.size()]; };
}

std::vector<std::string> NamesOf(const std::vector<TNode*>& nodes) {
    std::vector<std::string> names;
    for (const TNode* node : nodes) names.push_back(node->Name);
    return names;
}

using Names = std::vector<std::string>;

// ---------------------------------------------------------------------------------------------
// A new graph and new items

TEST(GraphModelTest, NewGraphHasTheDocumentedDefaults) {
    TGraph graph;
    EXPECT_EQ(graph.Nodes.Count(), 0u);
    EXPECT_EQ(graph.Edges.Count(), 0u);
    EXPECT_EQ(graph.Iterations, 1000);
    EXPECT_TRUE(graph.ShowNodes);
    EXPECT_TRUE(graph.ShowNodeLabels);
    EXPECT_TRUE(graph.ShowEdges);
    EXPECT_FALSE(graph.ShowEdgeLabels);
    EXPECT_FALSE(graph.Directed);
    EXPECT_FALSE(graph.CurveParallelEdges);
    EXPECT_FALSE(graph.RotateEdgeLabels);
    EXPECT_TRUE(graph.KeepAspectRatio);
    EXPECT_FALSE(graph.FixedExtent);
    EXPECT_EQ(graph.Margin, 50);
    EXPECT_TRUE(graph.HighlightSelected);
    EXPECT_EQ(graph.ViewExtent, TGraphExtent{});
    EXPECT_EQ(graph.LayoutExtent, TGraphExtent{});
    EXPECT_EQ(graph.BitmapWidth, 0);
    EXPECT_EQ(graph.BitmapHeight, 0);
}

TEST(GraphModelTest, NewNodeIsPlacedByTwoRandomNumbersAndIsYellow) {
    TGraph graph(Sequence({0.25, 0.75}));
    TNode* node = graph.AddNode("Guard", "");
    EXPECT_EQ(node->Name, "Guard");
    EXPECT_EQ(node->Caption, "Guard");
    EXPECT_DOUBLE_EQ(node->X, 0.5);
    EXPECT_DOUBLE_EQ(node->Y, 1.5);
    EXPECT_DOUBLE_EQ(node->SavedX, 0.5);
    EXPECT_DOUBLE_EQ(node->SavedY, 1.5);
    EXPECT_EQ(node->ForceX, 0.0);
    EXPECT_EQ(node->ForceY, 0.0);
    EXPECT_EQ(node->Color, 0x00FFFFu);
    EXPECT_EQ(node->Degree, 0);
    EXPECT_FALSE(node->Selected);
    EXPECT_FALSE(node->Pinned);
    EXPECT_EQ(node->Data, nullptr);
    EXPECT_DOUBLE_EQ(graph.Random(), 0.25); // the same source, started over
}

TEST(GraphModelTest, WithoutAnInjectedSourceNodesLandInsideTheUnitSquareTimesTwo) {
    TGraph graph;
    for (int i = 0; i < 50; ++i) {
        TNode* node = graph.AddNode("n" + std::to_string(i), "");
        EXPECT_GE(node->X, 0.0);
        EXPECT_LT(node->X, 2.0);
        EXPECT_GE(node->Y, 0.0);
        EXPECT_LT(node->Y, 2.0);
    }
}

TEST(GraphModelTest, NodeSavesAndRestoresItsPosition) {
    TGraph graph(Sequence({0.5}));
    TNode* node = graph.AddNode("a", "");
    node->X = 10;
    node->Y = 20;
    node->SavePosition();
    node->X = 30;
    node->Y = 40;
    node->RestorePosition();
    EXPECT_EQ(node->X, 10.0);
    EXPECT_EQ(node->Y, 20.0);
}

TEST(GraphModelTest, NewEdgeTakesTheGraphsDirectionAndIsLightRed) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("a", "");
    TNode* b = graph.AddNode("b", "");
    TEdge* plain = graph.AddEdge(a, b, 2.5);
    EXPECT_EQ(plain->FromNode, a);
    EXPECT_EQ(plain->ToNode, b);
    EXPECT_EQ(plain->Weight, 2.5);
    EXPECT_FALSE(plain->Directed);
    EXPECT_EQ(plain->Color, 0xFF6666u);
    EXPECT_EQ(plain->Label, "");
    EXPECT_EQ(plain->EdgeData, nullptr);

    graph.Directed = true;
    TNode* c = graph.AddNode("c", "");
    EXPECT_TRUE(graph.AddEdge(a, c, 1)->Directed);
}

// ---------------------------------------------------------------------------------------------
// Hashes and equality

struct NodeHashCase {
    std::string name;
    int hash;
};

class GraphModelNodeHashTest : public testing::TestWithParam<NodeHashCase> {};

TEST_P(GraphModelNodeHashTest, IsTheByteSumOfTheNameModulo256) {
    const TNode node(GetParam().name, Sequence({0}));
    EXPECT_EQ(node.Hash(), GetParam().hash);
}

INSTANTIATE_TEST_SUITE_P(GraphModel, GraphModelNodeHashTest,
                         testing::Values(NodeHashCase{"", 0}, NodeHashCase{"A", 65},
                                         NodeHashCase{"a", 97}, NodeHashCase{"Door", 148},
                                         NodeHashCase{"Lever", 254}, NodeHashCase{"\xFF\x02", 1},
                                         NodeHashCase{"\xE9", 233}));

TEST(GraphModelTest, EdgeHashIsTheSameInBothDirections) {
    TNode door("Door", Sequence({0})), lever("Lever", Sequence({0}));
    TEdge there(&door, true, 1, &lever);
    TEdge back(&lever, true, 1, &door);
    EXPECT_EQ(there.Hash(), (148 + 254) % 256);
    EXPECT_EQ(back.Hash(), there.Hash());
}

TEST(GraphModelTest, NodesAreEqualByNameIgnoringCaseAndByTheSameData) {
    int data = 0, otherData = 0;
    TNode door("Door", Sequence({0})), upper("DOOR", Sequence({0})), lever("Lever", Sequence({0}));
    EXPECT_TRUE(door.IsEqual(door));
    EXPECT_TRUE(door.IsEqual(upper));
    EXPECT_FALSE(door.IsEqual(lever));

    door.Data = &data;
    EXPECT_TRUE(door.IsEqual(door));
    EXPECT_FALSE(door.IsEqual(upper));
    upper.Data = &data;
    EXPECT_TRUE(door.IsEqual(upper));
    upper.Data = &otherData;
    EXPECT_FALSE(door.IsEqual(upper));
}

TEST(GraphModelTest, NodeIsNeverEqualToAnEdge) {
    TNode a("a", Sequence({0}));
    TEdge loop(&a, false, 1, &a);
    EXPECT_FALSE(a.IsEqual(loop));
    EXPECT_FALSE(loop.IsEqual(a));
}

TEST(GraphModelTest, EdgesAreEqualWithEqualEndsAndTheSameEdgeData) {
    int data = 0;
    TNode a("a", Sequence({0})), b("b", Sequence({0})), bUpper("B", Sequence({0}));
    TEdge ab(&a, true, 1, &b), aB(&a, true, 5, &bUpper), ba(&b, true, 1, &a);
    EXPECT_TRUE(ab.IsEqual(aB));  // ends equal by name, weight does not matter
    EXPECT_FALSE(ab.IsEqual(ba)); // directed: reversed ends are another edge

    ab.Directed = false;
    EXPECT_TRUE(ab.IsEqual(ba)); // the stored edge's direction decides
    EXPECT_FALSE(ba.IsEqual(ab));

    aB.EdgeData = &data;
    EXPECT_FALSE(ab.IsEqual(aB));
}

TEST(GraphModelTest, ReverseSwapsTheEnds) {
    TNode a("a", Sequence({0})), b("b", Sequence({0}));
    TEdge edge(&a, true, 1, &b);
    const int hash = edge.Hash();
    edge.Reverse();
    EXPECT_EQ(edge.FromNode, &b);
    EXPECT_EQ(edge.ToNode, &a);
    EXPECT_EQ(edge.Hash(), hash);
    EXPECT_EQ(a.Degree, 1);
    EXPECT_EQ(b.Degree, 1);
}

// ---------------------------------------------------------------------------------------------
// Adding, merging, renaming, deleting

TEST(GraphModelTest, AddNodeWithAKnownNameReturnsTheExistingNode) {
    TGraph graph(Sequence({0.5}));
    TNode* first = graph.AddNode("Guard", "");
    TNode* again = graph.AddNode("Guard", "Guard at the gate");
    EXPECT_EQ(again, first);
    EXPECT_EQ(graph.Nodes.Count(), 1u);
    EXPECT_EQ(first->Caption, "Guard at the gate");
    EXPECT_EQ(graph.AddNode("Guard", ""), first);
    EXPECT_EQ(first->Caption, "Guard at the gate"); // an empty caption changes nothing
}

TEST(GraphModelTest, NamesDifferingInCaseStayApartInDifferentBuckets) {
    TGraph graph(Sequence({0.5}));
    TNode* lower = graph.AddNode("door", "");
    TNode* upper = graph.AddNode("Door", "");
    EXPECT_NE(lower, upper);
    EXPECT_TRUE(lower->IsEqual(*upper));
    EXPECT_EQ(graph.Nodes.Count(), 2u);
}

TEST(GraphModelTest, NamesDifferingInCaseMergeWhenTheirSumsMatchModulo256) {
    // Eight letters changed in case shift the byte sum by 8 * 32 = 256.
    TGraph graph(Sequence({0.5}));
    TNode* lower = graph.AddNode("abcdefgh", "");
    TNode* upper = graph.AddNode("ABCDEFGH", "");
    EXPECT_EQ(upper, lower);
    EXPECT_EQ(graph.Nodes.Count(), 1u);
    EXPECT_EQ(lower->Name, "abcdefgh");
}

TEST(GraphModelTest, NodeWithDataDoesNotMergeWithANewNode) {
    int data = 0;
    TGraph graph(Sequence({0.5}));
    TNode* first = graph.AddNode("Guard", "");
    first->Data = &data;
    TNode* second = graph.AddNode("Guard", "");
    EXPECT_NE(second, first);
    EXPECT_EQ(graph.Nodes.Count(), 2u);
    EXPECT_EQ(graph.GetNodes(), (std::vector<TNode*>{first, second}));
}

TEST(GraphModelTest, AddingTheSameEdgeTwiceAddsUpTheWeight) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TEdge* first = graph.AddEdge(a, b, 1.0);
    TEdge* second = graph.AddEdge(a, b, 1.0);
    EXPECT_EQ(second, first);
    EXPECT_EQ(first->Weight, 2.0);
    EXPECT_EQ(graph.Edges.Count(), 1u);
    EXPECT_EQ(a->Degree, 1);
    EXPECT_EQ(b->Degree, 1);
}

TEST(GraphModelTest, ReversedEdgeMergesWhenUndirected) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TEdge* ab = graph.AddEdge(a, b, 1.0);
    EXPECT_EQ(graph.AddEdge(b, a, 1.0), ab);
    EXPECT_EQ(ab->Weight, 2.0);
    EXPECT_EQ(ab->FromNode, a);
    EXPECT_EQ(graph.Edges.Count(), 1u);
}

TEST(GraphModelTest, ReversedEdgeIsANewEdgeWhenDirected) {
    TGraph graph(Sequence({0.5}));
    graph.Directed = true;
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TEdge* ab = graph.AddEdge(a, b, 1.0);
    TEdge* ba = graph.AddEdge(b, a, 1.0);
    EXPECT_NE(ba, ab);
    EXPECT_EQ(ab->Weight, 1.0);
    EXPECT_EQ(graph.Edges.Count(), 2u);
    EXPECT_EQ(a->Degree, 2);
    EXPECT_EQ(b->Degree, 2);
}

TEST(GraphModelTest, EdgeWithDataDoesNotMergeWithANewEdge) {
    int data = 0;
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TEdge* first = graph.AddEdge(a, b, 1.0);
    first->EdgeData = &data;
    TEdge* second = graph.AddEdge(a, b, 1.0);
    EXPECT_NE(second, first);
    EXPECT_EQ(first->Weight, 1.0);
    EXPECT_EQ(graph.Edges.Count(), 2u);
}

TEST(GraphModelTest, LoopEdgeCountsTwiceInTheDegree) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("A", "");
    graph.AddEdge(a, a, 1.0);
    EXPECT_EQ(a->Degree, 2);
}

TEST(GraphModelTest, DeleteEdgeLowersTheDegreesOfItsEnds) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TEdge* edge = graph.AddEdge(a, b, 1.0);
    graph.DeleteEdge(edge);
    EXPECT_EQ(graph.Edges.Count(), 0u);
    EXPECT_EQ(a->Degree, 0);
    EXPECT_EQ(b->Degree, 0);
}

TEST(GraphModelTest, DeleteNodeDeletesItsEdgesFirstAndALoopOnce) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TNode* c = graph.AddNode("C", "");
    TEdge* loop = graph.AddEdge(a, a, 1.0);
    graph.AddEdge(a, b, 1.0);
    TEdge* bc = graph.AddEdge(b, c, 1.0);
    int loopDestroyed = 0;
    loop->OnDestroy = [&](TGraphItem&) { ++loopDestroyed; };
    std::vector<std::string> destroyed;
    a->OnDestroy = [&](TGraphItem& item) {
        destroyed.push_back(static_cast<TNode&>(item).Name);
        EXPECT_EQ(static_cast<TNode&>(item).Degree, 0); // its edges went first
    };

    graph.DeleteNode(a);

    EXPECT_EQ(loopDestroyed, 1);
    EXPECT_EQ(destroyed, (Names{"A"}));
    EXPECT_EQ(graph.GetEdges(), (std::vector<TEdge*>{bc}));
    EXPECT_EQ(NamesOf(graph.GetNodes()), (Names{"B", "C"}));
    EXPECT_EQ(b->Degree, 1);
    EXPECT_EQ(c->Degree, 1);
}

TEST(GraphModelTest, RenameNodeKeepsItsEdgesFindableUnderTheNewHash) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("A", "Caption of A");
    TNode* b = graph.AddNode("B", "");
    TNode* c = graph.AddNode("C", "");
    TEdge* ab = graph.AddEdge(a, b, 1.0);
    TEdge* ca = graph.AddEdge(c, a, 1.0);
    TEdge* bc = graph.AddEdge(b, c, 1.0);

    graph.RenameNode(a, "Zed");

    EXPECT_EQ(a->Name, "Zed");
    EXPECT_EQ(a->Caption, "Caption of A");
    EXPECT_EQ(graph.Nodes.Count(), 3u);
    EXPECT_EQ(graph.Nodes.Find(TNode("Zed", Sequence({0}))), a);
    EXPECT_EQ(graph.Nodes.Find(TNode("A", Sequence({0}))), nullptr);

    TNode zed("Zed", Sequence({0})), bProbe("B", Sequence({0})), cProbe("C", Sequence({0}));
    EXPECT_EQ(graph.Edges.Find(TEdge(&zed, false, 1, &bProbe)), ab);
    EXPECT_EQ(graph.Edges.Find(TEdge(&cProbe, false, 1, &zed)), ca);
    EXPECT_EQ(graph.Edges.Find(TEdge(&bProbe, false, 1, &cProbe)), bc);
    EXPECT_EQ(graph.Edges.Count(), 3u);
    ASSERT_NE(graph.Edges.Bucket(ab->Hash()), nullptr);

    // Adding the renamed edge again merges with it.
    EXPECT_EQ(graph.AddEdge(a, b, 1.0), ab);
    EXPECT_EQ(ab->Weight, 2.0);
}

TEST(GraphModelTest, ClearDestroysTheEdgesBeforeTheNodes) {
    TGraph graph(Sequence({0.5}));
    std::vector<std::string> destroyed;
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TEdge* edge = graph.AddEdge(a, b, 1.0);
    a->OnDestroy = [&](TGraphItem&) { destroyed.push_back("A"); };
    b->OnDestroy = [&](TGraphItem&) { destroyed.push_back("B"); };
    edge->OnDestroy = [&](TGraphItem&) { destroyed.push_back("edge"); };

    graph.Clear();

    EXPECT_EQ(destroyed, (Names{"edge", "A", "B"}));
    EXPECT_EQ(graph.Nodes.Count(), 0u);
    EXPECT_EQ(graph.Edges.Count(), 0u);
}

TEST(GraphModelTest, DestroyingTheGraphDestroysEveryItem) {
    int destroyed = 0;
    {
        TGraph graph(Sequence({0.5}));
        TNode* a = graph.AddNode("A", "");
        TNode* b = graph.AddNode("B", "");
        TEdge* edge = graph.AddEdge(a, b, 1.0);
        for (TGraphItem* item : std::vector<TGraphItem*>{a, b, edge}) {
            item->OnDestroy = [&](TGraphItem&) { ++destroyed; };
        }
    }
    EXPECT_EQ(destroyed, 3);
}

// ---------------------------------------------------------------------------------------------
// Destruction events and data strings

TEST(GraphModelTest, OnDestroyOfANodeStillSeesTheWholeNode) {
    TGraph graph(Sequence({0.5}));
    TNode* node = graph.AddNode("Lever", "");
    std::string seen;
    node->OnDestroy = [&](TGraphItem& item) {
        EXPECT_EQ(&item, node);
        seen = static_cast<TNode&>(item).Name;
    };
    graph.DeleteNode(node);
    EXPECT_EQ(seen, "Lever");
}

TEST(GraphModelTest, OnDestroyOfAnEdgeRunsBeforeTheDegreesDrop) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("A", "");
    TNode* b = graph.AddNode("B", "");
    TEdge* edge = graph.AddEdge(a, b, 1.0);
    int fromDegree = -1, toDegree = -1;
    edge->OnDestroy = [&](TGraphItem& item) {
        const auto& e = static_cast<TEdge&>(item);
        fromDegree = e.FromNode->Degree;
        toDegree = e.ToNode->Degree;
    };
    graph.DeleteEdge(edge);
    EXPECT_EQ(fromDegree, 1);
    EXPECT_EQ(toDegree, 1);
    EXPECT_EQ(a->Degree, 0);
}

TEST(GraphModelTest, OnDestroyIsCalledOnceWithTheItem) {
    int calls = 0;
    {
        TNode node("n", Sequence({0}));
        node.OnDestroy = [&](TGraphItem&) { ++calls; };
    }
    EXPECT_EQ(calls, 1);
}

TEST(GraphModelTest, DataStringComesFromOnGetDataAndGoesToOnSetData) {
    TNode node("n", Sequence({0}));
    EXPECT_EQ(node.GetDataString(), "");
    node.SetDataString("ignored without a handler");

    node.OnGetData = [](TGraphItem& sender, std::string& text) {
        text += static_cast<TNode&>(sender).Name + "!";
    };
    std::string received;
    node.OnSetData = [&](TGraphItem&, const std::string& text) { received = text; };
    EXPECT_EQ(node.GetDataString(), "n!");
    node.SetDataString("1{4}");
    EXPECT_EQ(received, "1{4}");
}

// ---------------------------------------------------------------------------------------------
// Lists, visiting, extents

TEST(GraphModelTest, GetNodesAndGetEdgesFollowTheIterationOrder) {
    TGraph graph(Sequence({0.5}));
    // Hashes: "b" 98, "a" 97, "c" 99, "\x01" 1.
    TNode* b = graph.AddNode("b", "");
    TNode* a = graph.AddNode("a", "");
    TNode* c = graph.AddNode("c", "");
    TNode* one = graph.AddNode("\x01", "");
    EXPECT_EQ(graph.GetNodes(), (std::vector<TNode*>{one, a, b, c}));

    TEdge* bc = graph.AddEdge(b, c, 1);     // 197
    TEdge* ab = graph.AddEdge(a, b, 1);     // 195
    TEdge* ac = graph.AddEdge(a, c, 1);     // 196
    TEdge* oneA = graph.AddEdge(one, a, 1); // 98
    std::vector<TEdge*> edges{nullptr};
    graph.GetEdges(edges);
    EXPECT_EQ(edges, (std::vector<TEdge*>{oneA, ab, ac, bc}));
}

TEST(GraphModelTest, GetNodesCanKeepOnlyTheSelectedAndReplacesTheList) {
    TGraph graph(Sequence({0.5}));
    TNode* a = graph.AddNode("a", "");
    graph.AddNode("b", "");
    TNode* c = graph.AddNode("c", "");
    a->Selected = true;
    c->Selected = true;
    std::vector<TNode*> list{nullptr, nullptr, nullptr, nullptr};
    graph.GetNodes(list, true);
    EXPECT_EQ(list, (std::vector<TNode*>{a, c}));
    EXPECT_EQ(graph.GetNodes(false).size(), 3u);
}

TEST(GraphModelTest, ForEachNodeVisitsEveryNodeInOrderWithTheParameter) {
    TGraph graph(Sequence({0.5}));
    graph.AddNode("c", "");
    graph.AddNode("a", "");
    int param = 7;
    std::vector<std::string> visited;
    graph.ForEachNode(
        [&](TGraph& g, TNode& node, void* p) {
            EXPECT_EQ(&g, &graph);
            EXPECT_EQ(p, &param);
            visited.push_back(node.Name);
        },
        &param);
    EXPECT_EQ(visited, (Names{"a", "c"}));
    graph.ForEachNode({}, nullptr); // no callback, nothing happens
}

TEST(GraphModelTest, SetExtentSetsTheLayoutAndTheViewExtent) {
    TGraph graph;
    graph.SetExtent(-1, 2, -3, 4, 5);
    EXPECT_EQ(graph.LayoutExtent, (TGraphExtent{-1, 2, -3, 4, 5}));
    EXPECT_EQ(graph.ViewExtent, (TGraphExtent{-1, 2, -3, 4, 5}));
}

} // namespace
} // namespace kv
