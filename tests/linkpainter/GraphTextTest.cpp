// The text form of a graph (the block of a link template file) and the data strings the Link
// Painter hangs on its nodes and edges.
#include "linkpainter/Graph.h"
#include "linkpainter/LinkData.h"

#include "items/EncodedValues.h"
#include "text/Exception.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace kv {
namespace {

using namespace std::string_literals;

// The Link Painter's way of keeping data on graph items: a brush info per node and link data
// per edge, written and read through the encoded values.
class TLinkPainterData {
public:
    void AttachNode(TNode& node, TBrushInfo info) {
        brushes_.push_back(std::make_unique<TBrushInfo>(std::move(info)));
        node.Data = brushes_.back().get();
        node.OnGetData = NodeGetData();
    }
    void AttachEdge(TEdge& edge, TLinkData data) {
        links_.push_back(std::make_unique<TLinkData>(data));
        edge.EdgeData = links_.back().get();
        edge.OnGetData = EdgeGetData();
    }

    static TGraphItem::TGetDataEvent NodeGetData() {
        return [](TGraphItem& sender, std::string& text) {
            text = EncodeBrushInfo(*static_cast<const TBrushInfo*>(sender.Data));
        };
    }
    static TGraphItem::TGetDataEvent EdgeGetData() {
        return [](TGraphItem& sender, std::string& text) {
            text = EncodeLinkData(
                *static_cast<const TLinkData*>(static_cast<TEdge&>(sender).EdgeData));
        };
    }
    TGraphItem::TSetDataEvent NodeSetData() {
        return [this](TGraphItem& sender, const std::string& text) {
            AttachNode(static_cast<TNode&>(sender), DecodeBrushInfo(text));
        };
    }
    TGraphItem::TSetDataEvent EdgeSetData() {
        return [this](TGraphItem& sender, const std::string& text) {
            AttachEdge(static_cast<TEdge&>(sender), DecodeLinkData(text));
        };
    }

private:
    std::vector<std::unique_ptr<TBrushInfo>> brushes_;
    std::vector<std::unique_ptr<TLinkData>> links_;
};

const TBrushInfo& BrushOf(const TNode& node) { return *static_cast<const TBrushInfo*>(node.Data); }
const TLinkData& LinkOf(const TEdge& edge) { return *static_cast<const TLinkData*>(edge.EdgeData); }

const std::string kExampleFile = "*LPGRAPH\r\n"
                                 "B0:654:0:546:1:\r\n"
                                 "R0:654:0:546:1:\r\n"
                                 "N4:Door4:Door300:200:T:F:16777215:19:1{0}1{0}1{0}4{Door}\r\n"
                                 "N5:Lever5:Lever120.5:80:F:F:65535:23:1{4}2{12}3{345}5{Lever}\r\n"
                                 "E1:0:1:32768:13:ControlDevice:T:9:2{24}1{1}\r\n"
                                 "~LPGRAPH\r\n";

// The graph text inside the markers of the example file.
std::string ExampleGraphText() {
    return kExampleFile.substr("*LPGRAPH\r\n"s.size(),
                               kExampleFile.size() - "*LPGRAPH\r\n~LPGRAPH\r\n"s.size());
}

// The message of the kv::Exception that Load raises; empty when none is raised.
template <typename Load> std::string FailureOf(Load load) {
    try {
        load();
    } catch (const Exception& e) {
        return e.what();
    }
    return {};
}

std::vector<std::string> NamesOf(const std::vector<TNode*>& nodes) {
    std::vector<std::string> names;
    for (const TNode* node : nodes) names.push_back(node->Name);
    return names;
}

using Names = std::vector<std::string>;

// ---------------------------------------------------------------------------------------------
// Writing

TEST(GraphTextTest, WritesTheExampleLinkTemplateByteForByte) {
    TGraph graph([] { return 0.5; });
    TLinkPainterData data;

    TNode* door = graph.AddNode("Door", "");
    data.AttachNode(*door, TBrushInfo{bkNone, 0, 0, "Door"});
    door->Selected = true;
    door->Color = 16777215;
    door->X = 300;
    door->Y = 200;

    TNode* lever = graph.AddNode("Lever", "");
    data.AttachNode(*lever, TBrushInfo{bkObject, 12, 345, "Lever"});
    lever->Color = 65535;
    lever->X = 120.5;
    lever->Y = 80;

    TEdge* link = graph.AddEdge(lever, door, 1);
    data.AttachEdge(*link, TLinkData{24, 1});
    link->Color = 32768;
    link->Label = "ControlDevice";
    link->Directed = true;

    graph.SetExtent(0, 654, 0, 546, 1);

    EXPECT_EQ("*LPGRAPH\r\n" + graph.SaveToText() + "~LPGRAPH\r\n", kExampleFile);
}

TEST(GraphTextTest, EmptyGraphWritesOnlyItsExtents) {
    TGraph graph;
    EXPECT_EQ(graph.SaveToText(), "B0:0:0:0:0:\r\nR0:0:0:0:0:\r\n");
}

TEST(GraphTextTest, ItemsWithoutDataHandlerWriteAnEmptyText) {
    TGraph graph([] { return 0.25; });
    TNode* a = graph.AddNode("a", "");
    graph.AddEdge(a, a, 2);
    EXPECT_EQ(graph.SaveToText(), "B0:0:0:0:0:\r\nR0:0:0:0:0:\r\n"
                                  "N1:a1:a0.5:0.5:F:F:65535:0:\r\n"
                                  "E0:0:2:16737894:0::F:0:\r\n");
}

TEST(GraphTextTest, ColoursAreWrittenAsSignedNumbers) {
    TGraph graph([] { return 0.0; });
    graph.AddNode("a", "")->Color = 0xFFFFFFFFu;
    graph.AddNode("b", "")->Color = 0x80000000u;
    const std::string text = graph.SaveToText();
    EXPECT_NE(text.find("N1:a1:a0:0:F:F:-1:0:\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("N1:b1:b0:0:F:F:-2147483648:0:\r\n"), std::string::npos) << text;
}

struct FloatCase {
    double value;
    std::string text;
};

class GraphTextFloatTest : public testing::TestWithParam<FloatCase> {};

TEST_P(GraphTextFloatTest, IsWrittenInGeneralFormatWithUpTo15Digits) {
    TGraph graph;
    graph.ViewExtent.MinX = GetParam().value;
    const std::string text = graph.SaveToText();
    EXPECT_EQ(text.substr(0, text.find('\r')), "B" + GetParam().text + ":0:0:0:0:");
}

INSTANTIATE_TEST_SUITE_P(GraphText, GraphTextFloatTest,
                         testing::Values(FloatCase{120.5, "120.5"}, FloatCase{300, "300"},
                                         FloatCase{0, "0"}, FloatCase{-2.25, "-2.25"},
                                         FloatCase{0.1, "0.1"},
                                         FloatCase{1.0 / 3.0, "0.333333333333333"},
                                         FloatCase{2.0 / 3.0, "0.666666666666667"},
                                         FloatCase{100000000000000.0, "100000000000000"},
                                         FloatCase{1e15, "1e+15"}, FloatCase{1e20, "1e+20"},
                                         FloatCase{123456789012345678.0, "1.23456789012346e+17"},
                                         FloatCase{0.0001, "0.0001"}, FloatCase{1e-5, "1e-05"},
                                         FloatCase{1e-7, "1e-07"},
                                         FloatCase{-1.5e-300, "-1.5e-300"}));

TEST(GraphTextTest, DecimalPointIsAPointWhateverTheLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    TGraph graph([] { return 0.0; });
    graph.SetExtent(0.5, 654.25, 0, 546, 1);
    const std::string text = graph.SaveToText();
    TGraph loaded;
    loaded.LoadFromText(text, {}, {});
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_EQ(text.substr(0, text.find('\r')), "B0.5:654.25:0:546:1:");
    EXPECT_EQ(loaded.ViewExtent, (TGraphExtent{0.5, 654.25, 0, 546, 1}));
}

// ---------------------------------------------------------------------------------------------
// Reading

TEST(GraphTextTest, ReadsTheExampleWithTheLinkPainterHandlers) {
    TGraph graph;
    TLinkPainterData data;
    graph.LoadFromText(ExampleGraphText(), data.EdgeSetData(), data.NodeSetData());

    EXPECT_EQ(graph.ViewExtent, (TGraphExtent{0, 654, 0, 546, 1}));
    EXPECT_EQ(graph.LayoutExtent, (TGraphExtent{0, 654, 0, 546, 1}));

    const std::vector<TNode*> nodes = graph.GetNodes();
    ASSERT_EQ(NamesOf(nodes), (Names{"Door", "Lever"}));
    const TNode& door = *nodes[0];
    EXPECT_EQ(door.Caption, "Door");
    EXPECT_EQ(door.X, 300.0);
    EXPECT_EQ(door.Y, 200.0);
    EXPECT_TRUE(door.Selected);
    EXPECT_FALSE(door.Pinned);
    EXPECT_EQ(door.Color, 16777215u);
    EXPECT_EQ(BrushOf(door), (TBrushInfo{bkNone, 0, 0, "Door"}));
    const TNode& lever = *nodes[1];
    EXPECT_EQ(lever.X, 120.5);
    EXPECT_EQ(lever.Y, 80.0);
    EXPECT_FALSE(lever.Selected);
    EXPECT_EQ(lever.Color, 65535u);
    EXPECT_EQ(BrushOf(lever), (TBrushInfo{bkObject, 12, 345, "Lever"}));

    const std::vector<TEdge*> edges = graph.GetEdges();
    ASSERT_EQ(edges.size(), 1u);
    const TEdge& link = *edges[0];
    EXPECT_EQ(link.FromNode, nodes[1]);
    EXPECT_EQ(link.ToNode, nodes[0]);
    EXPECT_EQ(link.Weight, 1.0);
    EXPECT_EQ(link.Color, 32768u);
    EXPECT_EQ(link.Label, "ControlDevice");
    EXPECT_TRUE(link.Directed);
    EXPECT_EQ(LinkOf(link), (TLinkData{24, 1}));
    EXPECT_EQ(door.Degree, 1);
    EXPECT_EQ(lever.Degree, 1);

    // The handlers were installed for reading only; writing needs the getters again.
    for (TNode* node : nodes) node->OnGetData = TLinkPainterData::NodeGetData();
    edges[0]->OnGetData = TLinkPainterData::EdgeGetData();
    EXPECT_EQ(graph.SaveToText(), ExampleGraphText());
}

TEST(GraphTextTest, RoundTripKeepsAwkwardNamesExtremeNumbersAndNegativeColours) {
    TGraph graph([] { return 0.0; });
    graph.Directed = true;
    TNode* colon = graph.AddNode("a:b:c", "caption: {with} braces");
    TNode* brace = graph.AddNode("{5}x{", "");
    TNode* empty = graph.AddNode("", "");
    colon->X = 1e300;
    colon->Y = -2.5e-300;
    colon->Pinned = true;
    colon->Color = 0xFFFFFFFFu;
    brace->X = -123456.789;
    brace->Y = 1e-7;
    brace->Color = 0x80000000u;
    empty->Selected = true;
    TEdge* edge = graph.AddEdge(colon, brace, 0.1);
    edge->Label = "3:x";
    edge->Color = 0xFEDCBA98u;
    graph.AddEdge(empty, empty, 1e20);
    graph.SetExtent(-1e-7, 1e20, -0.5, 0.25, 12.5);
    graph.ViewExtent.MaxWeight = 7;

    const std::string text = graph.SaveToText();
    TGraph loaded;
    loaded.LoadFromText(text, {}, {});
    EXPECT_EQ(loaded.SaveToText(), text);

    EXPECT_EQ(loaded.ViewExtent, graph.ViewExtent);
    EXPECT_EQ(loaded.LayoutExtent, graph.LayoutExtent);
    const std::vector<TNode*> nodes = loaded.GetNodes();
    ASSERT_EQ(NamesOf(nodes), NamesOf(graph.GetNodes()));
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const TNode& original = *graph.GetNodes()[i];
        EXPECT_EQ(nodes[i]->Caption, original.Caption);
        EXPECT_EQ(nodes[i]->X, original.X);
        EXPECT_EQ(nodes[i]->Y, original.Y);
        EXPECT_EQ(nodes[i]->Selected, original.Selected);
        EXPECT_EQ(nodes[i]->Pinned, original.Pinned);
        EXPECT_EQ(nodes[i]->Color, original.Color);
    }
    const std::vector<TEdge*> edges = loaded.GetEdges();
    ASSERT_EQ(edges.size(), 2u);
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const TEdge& original = *graph.GetEdges()[i];
        EXPECT_EQ(edges[i]->FromNode->Name, original.FromNode->Name);
        EXPECT_EQ(edges[i]->ToNode->Name, original.ToNode->Name);
        EXPECT_EQ(edges[i]->Weight, original.Weight);
        EXPECT_EQ(edges[i]->Color, original.Color);
        EXPECT_EQ(edges[i]->Label, original.Label);
        EXPECT_TRUE(edges[i]->Directed);
    }
}

TEST(GraphTextTest, EdgeLabelIsFollowedByAColonThatReadingMayAlsoDoWithout) {
    TGraph graph([] { return 0.0; });
    TNode* a = graph.AddNode("a", "");
    graph.AddEdge(a, a, 1)->Label = "ends in:";
    const std::string text = graph.SaveToText();
    EXPECT_NE(text.find("E0:0:1:16737894:8:ends in::F:0:\r\n"), std::string::npos) << text;

    TGraph loaded;
    loaded.LoadFromText(text, {}, {});
    ASSERT_EQ(loaded.Edges.Count(), 1u);
    EXPECT_EQ(loaded.GetEdges()[0]->Label, "ends in:");

    loaded.LoadFromText("N1:a1:a0:0:F:F:0:0:\r\nE0:0:1:0:5:labelT:0:\r\n", {}, {});
    ASSERT_EQ(loaded.Edges.Count(), 1u);
    EXPECT_EQ(loaded.GetEdges()[0]->Label, "label");
    EXPECT_TRUE(loaded.GetEdges()[0]->Directed);
}

TEST(GraphTextTest, LoadingClearsTheGraphFirst) {
    TGraph graph;
    TNode* old = graph.AddNode("old", "");
    graph.AddEdge(old, old, 1);
    graph.ViewExtent.MaxX = 99;
    graph.LoadFromText("", {}, {});
    EXPECT_EQ(graph.Nodes.Count(), 0u);
    EXPECT_EQ(graph.Edges.Count(), 0u);
    EXPECT_EQ(graph.ViewExtent.MaxX, 99.0); // no B record, the extent stays
}

TEST(GraphTextTest, SkipsEmptyLinesAndUnknownRecordsWithAnyLineEnds) {
    TGraph graph;
    graph.LoadFromText("\r\n"
                       "X this is no record\r\n"
                       "n1:x1:x0:0:F:F:0:0:\n"
                       "\n"
                       "N1:a1:a1:2:F:F:0:0:\r"
                       "*LPGRAPH\r"
                       "\r"
                       "N1:b1:b3:4:F:F:0:0:\n"
                       "E0:1:1:0:0::F:0:",
                       {}, {});
    EXPECT_EQ(NamesOf(graph.GetNodes()), (Names{"a", "b"}));
    ASSERT_EQ(graph.Edges.Count(), 1u);
    EXPECT_EQ(graph.GetEdges()[0]->FromNode->Name, "a");
}

TEST(GraphTextTest, FixedExtentIgnoresTheExtentRecords) {
    TGraph graph;
    graph.FixedExtent = true;
    graph.SetExtent(0, 800, 0, 600, 3);
    graph.LoadFromText(ExampleGraphText(), {}, {});
    EXPECT_EQ(graph.ViewExtent, (TGraphExtent{0, 800, 0, 600, 3}));
    EXPECT_EQ(graph.LayoutExtent, (TGraphExtent{0, 800, 0, 600, 3}));
    EXPECT_EQ(graph.Nodes.Count(), 2u);
}

TEST(GraphTextTest, FixedExtentIgnoresEvenMalformedExtentRecords) {
    TGraph graph;
    graph.FixedExtent = true;
    EXPECT_NO_THROW(graph.LoadFromText("Bnonsense\r\nR\r\n", {}, {}));
}

TEST(GraphTextTest, ViewAndLayoutExtentAreReadSeparately) {
    TGraph graph;
    graph.LoadFromText("B1:2:3:4:5:\r\nR6:7:8:9:10:\r\n", {}, {});
    EXPECT_EQ(graph.ViewExtent, (TGraphExtent{1, 2, 3, 4, 5}));
    EXPECT_EQ(graph.LayoutExtent, (TGraphExtent{6, 7, 8, 9, 10}));
}

TEST(GraphTextTest, AcceptsExponentsWrittenInEitherCase) {
    TGraph graph;
    graph.LoadFromText("B1E20:1e-07:-2.5E+3:0.5:1e+20:\r\n", {}, {});
    EXPECT_EQ(graph.ViewExtent, (TGraphExtent{1e20, 1e-7, -2500, 0.5, 1e20}));
}

TEST(GraphTextTest, TextLengthPastTheEndOfTheLineTakesWhatIsThere) {
    TGraph graph;
    std::string received;
    graph.LoadFromText("N1:a1:a0:0:F:F:0:99:1{4}\r\n", {},
                       [&](TGraphItem&, const std::string& text) { received = text; });
    EXPECT_EQ(received, "1{4}");
    ASSERT_EQ(graph.Nodes.Count(), 1u);
}

TEST(GraphTextTest, SameNameWithoutDataMergesButWithDataStaysApart) {
    const std::string text = "N5:Guard5:Guard0:0:F:F:0:23:1{4}2{12}3{345}5{Guard}\r\n"
                             "N5:Guard5:Guard1:1:F:F:0:23:1{4}2{13}3{346}5{Guard}\r\n"
                             "E0:1:1:0:0::T:9:2{24}1{1}\r\n";
    TGraph plain;
    plain.LoadFromText(text, {}, {});
    EXPECT_EQ(plain.Nodes.Count(), 1u);
    ASSERT_EQ(plain.Edges.Count(), 1u);
    EXPECT_EQ(plain.GetEdges()[0]->FromNode, plain.GetEdges()[0]->ToNode);

    TGraph painted;
    TLinkPainterData data;
    painted.LoadFromText(text, data.EdgeSetData(), data.NodeSetData());
    const std::vector<TNode*> nodes = painted.GetNodes();
    ASSERT_EQ(nodes.size(), 2u);
    EXPECT_EQ(BrushOf(*nodes[0]).ObjID, 345);
    EXPECT_EQ(BrushOf(*nodes[1]).ObjID, 346);
    ASSERT_EQ(painted.Edges.Count(), 1u);
    EXPECT_EQ(painted.GetEdges()[0]->FromNode, nodes[0]);
    EXPECT_EQ(painted.GetEdges()[0]->ToNode, nodes[1]);
}

TEST(GraphTextTest, RepeatedEdgeWithoutDataAddsUpTheWeight) {
    TGraph graph;
    graph.LoadFromText("N1:a0:0:0:F:F:0:0:\r\nN1:b0:0:0:F:F:0:0:\r\n"
                       "E0:1:1.5:0:0::F:0:\r\nE1:0:2:0:0::F:0:\r\n",
                       {}, {});
    ASSERT_EQ(graph.Edges.Count(), 1u);
    EXPECT_EQ(graph.GetEdges()[0]->Weight, 3.5);
}

// ---------------------------------------------------------------------------------------------
// Malformed lines

struct BadLineCase {
    std::string name;
    std::string line;
    std::string message;
};

class GraphTextBadLineTest : public testing::TestWithParam<BadLineCase> {};

TEST_P(GraphTextBadLineTest, RaisesAndKeepsWhatWasReadBefore) {
    TGraph graph;
    const std::string good = "B1:2:3:4:5:\r\nN1:a1:A1:2:T:F:255:0:\r\nN1:b1:B3:4:F:F:0:0:\r\n";
    EXPECT_EQ(FailureOf([&] {
                  graph.LoadFromText(good + GetParam().line + "\r\nN1:z1:z0:0:F:F:0:0:\r\n", {},
                                     {});
              }),
              "Line 4: " + GetParam().message);
    EXPECT_EQ(graph.ViewExtent, (TGraphExtent{1, 2, 3, 4, 5}));
    const std::vector<TNode*> nodes = graph.GetNodes();
    ASSERT_EQ(NamesOf(nodes), (Names{"a", "b"}));
    EXPECT_EQ(nodes[0]->Caption, "A");
    EXPECT_TRUE(nodes[0]->Selected);
    EXPECT_EQ(graph.Edges.Count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    GraphText, GraphTextBadLineTest,
    testing::Values(
        BadLineCase{"DecimalComma", "B1,5:2:3:4:5:", "'1,5' is not a valid floating point value"},
        BadLineCase{"EmptyFloat", "R:2:3:4:5:", "'' is not a valid floating point value"},
        BadLineCase{"LettersAsFloat",
                    "N1:c1:cx:0:F:F:0:0:", "'x' is not a valid floating point value"},
        BadLineCase{"InfiniteFloat",
                    "N1:c1:cinf:0:F:F:0:0:", "'inf' is not a valid floating point value"},
        BadLineCase{"MissingColon", "B1:2:3:4:5", "'5' is not a valid field: ':' expected"},
        BadLineCase{"TruncatedNode", "N1:c1:c0:0:F:F:0", "'0' is not a valid field: ':' expected"},
        BadLineCase{"LengthWithoutColon", "N4", "'4' is not a valid field: ':' expected"},
        BadLineCase{"LengthNotANumber", "Nx:c1:c0:0:F:F:0:0:", "'x' is not a valid integer value"},
        BadLineCase{"BadBoolean", "N1:c1:c0:0:Y:F:0:0:", "'Y' is not a valid boolean value"},
        BadLineCase{"ColourOutOfRange",
                    "N1:c1:c0:0:F:F:4294967295:0:", "'4294967295' is not a valid integer value"},
        BadLineCase{"EdgeIndexPastTheNodes", "E0:2:1:0:0::F:0:", "List index out of bounds (2)"},
        BadLineCase{"NegativeEdgeIndex", "E-1:0:1:0:0::F:0:", "List index out of bounds (-1)"},
        BadLineCase{"EdgeIndexNotANumber",
                    "E0.5:1:1:0:0::F:0:", "'0.5' is not a valid integer value"}),
    [](const testing::TestParamInfo<BadLineCase>& param) { return param.param.name; });

TEST(GraphTextTest, EdgeIndicesCountOnlyTheNodesReadSoFar) {
    TGraph graph;
    EXPECT_EQ(FailureOf([&] {
                  graph.LoadFromText("N1:a0:0:0:F:F:0:0:\r\nE0:1:1:0:0::F:0:\r\n"
                                     "N1:b0:0:0:F:F:0:0:\r\n",
                                     {}, {});
              }),
              "Line 2: List index out of bounds (1)");
    EXPECT_EQ(NamesOf(graph.GetNodes()), (Names{"a"}));
}

TEST(GraphTextTest, InvalidNodeDataStopsLoadingWithTheEncodingError) {
    TGraph graph;
    TLinkPainterData data;
    EXPECT_EQ(FailureOf([&] {
                  graph.LoadFromText("N1:a1:a0:0:F:F:0:4:1{x}\r\nN1:b1:b0:0:F:F:0:0:\r\n",
                                     data.EdgeSetData(), data.NodeSetData());
              }),
              "Line 1: Invalid encoded integer");
    EXPECT_EQ(NamesOf(graph.GetNodes()), (Names{"a"}));
    EXPECT_EQ(graph.GetNodes()[0]->Data, nullptr);
}

TEST(GraphTextTest, InvalidEdgeDataStopsLoadingWithTheEncodingError) {
    TGraph graph;
    TLinkPainterData data;
    EXPECT_EQ(FailureOf([&] {
                  graph.LoadFromText("N1:a1:a0:0:F:F:0:15:1{0}1{0}1{0}0{}\r\n"
                                     "E0:0:1:0:0::F:4:2{24\r\n",
                                     data.EdgeSetData(), data.NodeSetData());
              }),
              "Line 2: Invalid encoded string");
    EXPECT_EQ(graph.Nodes.Count(), 1u);
}

// ---------------------------------------------------------------------------------------------
// Link data

TEST(LinkDataTest, IsTheFlavorAndTheActiveFlagAsEncodedIntegers) {
    EXPECT_EQ(EncodeLinkData(TLinkData{24, 1}), "2{24}1{1}");
    EXPECT_EQ(EncodeLinkData(TLinkData{0, 0}), "1{0}1{0}");
    EXPECT_EQ(EncodeLinkData(TLinkData{255, 1}), "3{255}1{1}");
}

TEST(LinkDataTest, DecodesWhatWasEncoded) {
    for (const TLinkData data : {TLinkData{24, 1}, TLinkData{0, 0}, TLinkData{65, 1}}) {
        EXPECT_EQ(DecodeLinkData(EncodeLinkData(data)), data);
    }
}

TEST(LinkDataTest, KeepsTheLowByteOfEachValueAndIgnoresTheRest) {
    EXPECT_EQ(DecodeLinkData("3{260}2{-1}"), (TLinkData{4, 255}));
    EXPECT_EQ(DecodeLinkData("2{24}1{1}1{9}"), (TLinkData{24, 1}));
}

struct BadLinkDataCase {
    std::string text;
    std::string message;
};

class LinkDataBadTextTest : public testing::TestWithParam<BadLinkDataCase> {};

TEST_P(LinkDataBadTextTest, RaisesTheEncodingError) {
    EXPECT_EQ(FailureOf([] { (void)DecodeLinkData(GetParam().text); }), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(LinkData, LinkDataBadTextTest,
                         testing::Values(BadLinkDataCase{"", "Invalid encoded string"},
                                         BadLinkDataCase{"2{24}", "Invalid encoded string"},
                                         BadLinkDataCase{"2{24}1{", "Invalid encoded string"},
                                         BadLinkDataCase{"1{x}1{1}", "Invalid encoded integer"},
                                         BadLinkDataCase{"2{24}0{}", "Invalid encoded integer"}));

} // namespace
} // namespace kv
