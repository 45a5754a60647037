// The Link Painter's editing (the mouse tools, drops and the commands of the context menus), its
// link template files, the links of a mission file and creating links in the simulated DromEd.
// World and pixel coordinates agree on the 654 x 546 paint box.
#include "linkpainter/LinkFlavors.h"
#include "linkpainter/PainterFixture.h"
#include "support/MissionWriter.h"
#include "support/SimDromEdFixture.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::Object;
using test::Template;
using test::TPainterFixture;
using Strings = std::vector<std::string>;

constexpr std::uint32_t kWhite = 0xFFFFFF;

struct TPoint {
    double X, Y;
};
void ExpectAt(const TNode* node, TPoint p) {
    ASSERT_NE(node, nullptr);
    EXPECT_NEAR(node->X, p.X, 1e-9) << node->Name;
    EXPECT_NEAR(node->Y, p.Y, 1e-9) << node->Name;
}

Strings Sorted(Strings list) {
    std::sort(list.begin(), list.end());
    return list;
}

std::string FailureOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const Exception& e) {
        return e.what();
    }
    return {};
}

// Creation, drops and the mouse tools

TEST(LinkPainterTest, StartsWithTheLinkPainterSettingsAndKeepsItsWorldWhenResized) {
    TPainterFixture f;
    const TGraph& g = f.P->Graph();
    EXPECT_TRUE(g.Directed && g.FixedExtent && g.ShowEdgeLabels && g.CurveParallelEdges &&
                g.RotateEdgeLabels && g.ShowNodeLabels && g.KeepAspectRatio);
    EXPECT_FALSE(g.HighlightSelected);
    EXPECT_EQ(g.Iterations, 0);
    EXPECT_EQ(g.Margin, 0);
    f.P->Resize(300, 200);
    EXPECT_EQ(f.Canvas.Width(), 300);
    EXPECT_EQ(g.LayoutExtent, (TGraphExtent{0, 654, 0, 546, 1}));
}

TEST(LinkPainterTest, DropPlacesObjectsOnACircleClockwiseFromTheTop) {
    struct TDropCase {
        std::vector<TBrushInfo> Items;
        int X, Y;
        std::vector<std::pair<const char*, TPoint>> Expected;
    };
    // r = 600 div 10 = 60; 60 cos 30 degrees = 51.96, 60 sin 30 degrees = 30.
    const TDropCase cases[] = {
        {{Object("O1", 101)}, 300, 200, {{"O1", {300, 200}}}},
        {{Object("O1", 101), Template("T"), Object("O3", 103)},
         300,
         200,
         {{"O1", {300, 140}}, {"O3", {248, 230}}}},
        {{Object("O1", 101), Object("O2", 102), Object("O3", 103)},
         590,
         20,
         {{"O1", {590, 0}}, {"O2", {600, 50}}, {"O3", {538, 50}}}}};
    for (const TDropCase& c : cases) {
        SCOPED_TRACE(c.X);
        TPainterFixture f(600, 500);
        std::vector<const TBrushInfo*> items;
        for (const TBrushInfo& item : c.Items) items.push_back(&item);
        f.P->DropItems(items, c.X, c.Y);
        EXPECT_EQ(f.P->Graph().Nodes.Count(), c.Expected.size());
        for (const auto& [name, p] : c.Expected) ExpectAt(f.Named(name), p);
    }
}

TEST(LinkPainterTest, OnlyAnObjectDroppedOrDraggedOnATemplateBindsIt) {
    TPainterFixture f;
    TNode* door = f.Add(Template("Door"), 300, 200);
    f.Link(f.Add(Template("Key"), 100, 100), door);
    const TBrushInfo lever = Object("Lever", 345);
    f.P->DropItems({&lever}, 302, 201);
    EXPECT_EQ(Sorted(f.Captions()), (Strings{"Key", "Lever"}));
    EXPECT_EQ(door->Name, "Door");
    EXPECT_EQ(door->Color, 0x00FFFFu);
    EXPECT_EQ(TLinkPainter::Info(door)->ObjID, 345);
    ExpectAt(door, {300, 200});
    EXPECT_EQ(f.Links(), (Strings{"Key>Lever:ControlDevice"}));
    EXPECT_EQ(f.Rows.size(), 1u);

    for (const auto& [draggedConcrete, targetConcrete] :
         {std::pair{true, false}, {false, true}, {true, true}}) {
        SCOPED_TRACE(std::to_string(draggedConcrete) + std::to_string(targetConcrete));
        TPainterFixture g;
        TNode* s = g.Add(draggedConcrete ? Object("S", 1) : Template("S"), 100, 100);
        TNode* t = g.Add(targetConcrete ? Object("T", 2) : Template("T"), 300, 300);
        g.P->MouseDown(100, 100, {});
        g.P->MouseMove(302, 301, {});
        EXPECT_FALSE(s->Pinned || t->Pinned); // pinned only while drawn
        g.P->MouseUp(302, 301, {});
        if (draggedConcrete && !targetConcrete) {
            EXPECT_EQ(g.Captions(), Strings{"S"});
            EXPECT_EQ(g.P->Graph().GetNodes(), std::vector<TNode*>{t});
        } else {
            EXPECT_EQ(g.P->Graph().Nodes.Count(), 2u);
            ExpectAt(s, {302, 301});
        }
    }
}

TEST(LinkPainterTest, MovingTakesTheSelectionOnlyWhenGrabbedByASelectedNode) {
    TPainterFixture f;
    TNode* a = f.Add(Template("A"), 100, 100);
    TNode* b = f.Add(Template("B"), 200, 100);
    TNode* c = f.Add(Template("C"), 300, 100);
    f.Drag(100, 100, 105, 105, {true, false}); // sizing one node is moving it
    ExpectAt(a, {105, 105});
    b->Selected = c->Selected = true;
    f.Drag(105, 105, 110, 110);
    ExpectAt(a, {110, 110});
    ExpectAt(b, {200, 100});
    f.Drag(200, 100, 220, 105);
    ExpectAt(a, {110, 110});
    ExpectAt(b, {220, 105});
    ExpectAt(c, {320, 105});
    f.Drag(320, 105, 700, -20); // each node stops at the border
    ExpectAt(b, {600, 0});
    ExpectAt(c, {654, 0});
}

TEST(LinkPainterTest, SizingScalesAndTurnsTheSelectionAboutItsCentre) {
    // Centre (150, 100); grabbed 50 pixels right of it and pulled to 100 pixels above it: twice
    // the size, a quarter turn counter-clockwise. Grabbed on the centre itself: scale 1, no turn.
    struct TSizeCase {
        TPoint A, B;
        int DownX, DownY, ToX, ToY;
        TPoint NewA, NewB;
    };
    const TSizeCase cases[] = {{{100, 100}, {200, 100}, 200, 100, 150, 0, {150, 200}, {150, 0}},
                               {{100, 100}, {104, 100}, 102, 100, 102, 50, {100, 100}, {104, 100}}};
    for (const TSizeCase& c : cases) {
        TPainterFixture f;
        TNode* a = f.Add(Template("A"), static_cast<int>(c.A.X), static_cast<int>(c.A.Y));
        TNode* b = f.Add(Template("B"), static_cast<int>(c.B.X), static_cast<int>(c.B.Y));
        a->Selected = b->Selected = true;
        f.P->Tool = TLinkTool::Size;
        f.P->MouseDown(c.DownX, c.DownY, {});
        f.P->MouseMove(c.ToX, c.ToY, {});
        ExpectAt(a, c.NewA);
        ExpectAt(b, c.NewB);
    }
}

TEST(LinkPainterTest, LinkingJoinsTheDraggedNodesToTheTarget) {
    struct TLinkCase {
        bool Ctrl, Inverse;
        int Flavor;
        const char* Target;
        Strings Expected;
    };
    const TLinkCase cases[] = {
        {true, false, 24, "C", {"A>C:ControlDevice", "B>C:ControlDevice"}},
        {false, true, 2, "C", {"C>A:Contains", "C>B:Contains"}},
        {true, false, 24, "B", {"A>B:ControlDevice"}}, // onto another dragged node
        {true, false, 24, "A", {}},                    // onto itself
        {true, false, 0, "C", {}},                     // no flavor selected
        {true, false, 1, "C", {}}};                    // a hidden flavor
    for (const TLinkCase& c : cases) {
        SCOPED_TRACE(c.Expected.size());
        TPainterFixture f;
        f.Add(Template("A"), 100, 100)->Selected = true;
        f.Add(Template("B"), 100, 200)->Selected = true;
        f.Add(Template("C"), 300, 150);
        const TNode* target = f.Named(c.Target);
        f.P->Flavor = c.Flavor;
        f.P->InverseLink = c.Inverse;
        if (!c.Ctrl) f.P->Tool = TLinkTool::Link;
        const TShiftState shift{false, c.Ctrl};
        f.P->MouseDown(100, 100, shift);
        f.P->MouseMove(250, 40, shift);
        EXPECT_EQ(f.P->Overlay().Lines.size(), 2u);
        EXPECT_EQ(f.P->Overlay().Lines[0].second, (TPixelPoint{250, 40}));
        f.P->MouseUp(static_cast<int>(target->X), static_cast<int>(target->Y), shift);
        EXPECT_EQ(Sorted(f.Links()), c.Expected);
        EXPECT_EQ(f.Rows.size(), c.Expected.size());
        EXPECT_TRUE(f.P->Overlay().Lines.empty());
    }
}

TEST(LinkPainterTest, RubberBandAndClicksSelect) {
    TPainterFixture f;
    TNode* p1 = f.Add(Template("P1"), 100, 100);
    TNode* p2 = f.Add(Template("P2"), 200, 200);
    TNode* p3 = f.Add(Template("P3"), 300, 300);
    TNode* p4 = f.Add(Template("P4"), 250, 100); // on the right edge: outside
    const auto selected = [&] {
        return std::vector<bool>{p1->Selected, p2->Selected, p3->Selected, p4->Selected};
    };
    p3->Selected = true;
    f.P->MouseDown(250, 250, {});
    f.P->MouseMove(50, 50, {});
    EXPECT_EQ(f.P->Overlay().Band, (std::array<int, 4>{50, 50, 250, 250}));
    f.P->MouseUp(50, 50, {});
    EXPECT_EQ(selected(), (std::vector<bool>{true, true, false, false}));
    p3->Selected = true;
    f.Drag(250, 250, 50, 50, {true, false});
    EXPECT_EQ(selected(), (std::vector<bool>{true, true, true, false}));
    f.Click(300, 300);
    EXPECT_EQ(selected(), (std::vector<bool>{false, false, true, false}));
    f.Click(101, 99, {true, false});
    EXPECT_EQ(selected(), (std::vector<bool>{true, false, true, false}));
    f.Click(101, 99, {true, false});
    EXPECT_EQ(selected(), (std::vector<bool>{false, false, true, false}));
    f.Click(500, 500);
    EXPECT_EQ(selected(), (std::vector<bool>{false, false, false, false}));
    EXPECT_FALSE(f.P->Dragging());
}

// Commands

TEST(LinkPainterTest, RemoveAsksAboutTheSelectionOnlyWhenItIsMoreThanOne) {
    struct TScopeCase {
        Strings Selected;
        int PopupX; // A at 100, B at 200, C at 300 on y = 100; nothing at 500
        bool Answer, Asked;
        Strings Left;
    };
    const TScopeCase cases[] = {{{"B", "C"}, 100, false, true, {"B", "C"}},
                                {{"B", "C"}, 100, true, true, {}},
                                {{"A"}, 100, true, false, {"B", "C"}},
                                {{"C"}, 500, false, false, {"A", "B"}},
                                {{}, 500, true, false, {"A", "B", "C"}}};
    for (const TScopeCase& c : cases) {
        SCOPED_TRACE(c.Left.size());
        TPainterFixture f;
        TNode* a = f.Add(Template("A"), 100, 100);
        f.Link(a, f.Add(Template("B"), 200, 100));
        f.Add(Template("C"), 300, 100);
        for (const std::string& name : c.Selected) {
            TNode* node = f.Named(name);
            ASSERT_NE(node, nullptr);
            node->Selected = true;
        }
        f.P->PopupAt(c.PopupX, 100);
        f.Answer = c.Answer;
        f.P->RemoveNodes("Remove object or template");
        EXPECT_EQ(Sorted(f.Captions()), c.Left);
        EXPECT_EQ(f.Questions.size(), c.Asked ? 1u : 0u);
        if (!f.Questions.empty()) {
            EXPECT_EQ(f.Questions[0], "Remove object or template\r\rAll selected objects or "
                                      "only the one you clicked on?\r[Yes=all selected] "
                                      "[No=clicked]");
        }
        EXPECT_EQ(f.Rows.size(), f.P->Graph().Edges.Count());
        EXPECT_EQ(f.OpenUpdates, 0);
    }
}

TEST(LinkPainterTest, RemovingTheObjectLeavesTheTemplateAndUnbindingKeepsIt) {
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        TPainterFixture f;
        TNode* door = f.Add(Template("Door"), 648, 200);
        f.Link(f.Add(Template("Key"), 50, 50), door);
        f.P->BindToTemplate(f.Add(Object("Lever", 345), 100, 100), door);
        f.P->Redraw();
        f.P->PopupAt(648, 200);
        EXPECT_TRUE(f.P->GraphMenuState().ConcreteCommands);
        f.P->RemoveConcrete("Unbind concrete object from template", keep);
        EXPECT_EQ(door->Caption, "Door");
        EXPECT_EQ(door->Color, kWhite);
        EXPECT_EQ(*TLinkPainter::Info(door), Template("Door"));
        EXPECT_EQ(f.Links(), Strings{"Key>Door:ControlDevice"});
        TNode* lever = f.Named("Lever");
        EXPECT_EQ(lever != nullptr, keep);
        if (keep) {
            EXPECT_EQ(*TLinkPainter::Info(lever), Object("Lever", 345));
            ExpectAt(lever, {654, 210}); // 10 pixels right and down, within the paint box
        }
    }
}

TEST(LinkPainterTest, RenamingABoundTemplateKeepsShowingTheObject) {
    TPainterFixture f;
    TNode* door = f.Add(Template("Door"), 300, 200);
    TNode* key = f.Add(Template("Key"), 100, 200);
    f.P->BindToTemplate(f.Add(Object("Lever", 345), 10, 10), door);
    f.P->RenameTemplate(door, "Gate");
    f.P->RenameTemplate(key, "Chest");
    EXPECT_EQ(door->Name, "Gate");
    EXPECT_EQ(door->Caption, "Lever");
    EXPECT_EQ(key->Caption, "Chest");
    EXPECT_EQ(f.P->Graph().Nodes.Find(*key), key); // found under its new hash
}

TEST(LinkPainterTest, MenuStateLinkActiveAndSelectionCommands) {
    TPainterFixture f;
    TNode* a = f.Add(Object("A", 1), 100, 300);
    TNode* b = f.Add(Template("B"), 300, 300);
    TNode* c = f.Add(Template("C"), 500, 100);
    TEdge* on = f.Link(a, b, 24, true);
    TEdge* off = f.Link(b, a, 2, false);
    EXPECT_EQ(off->Color, kInactiveLinkColor);

    const auto state = [&](int x, int y) {
        f.P->PopupAt(x, y);
        const TGraphMenuState s = f.P->GraphMenuState();
        return std::vector<bool>{s.NodeCommands, s.ConcreteCommands, s.LinkCommands};
    };
    EXPECT_EQ(state(600, 500), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(state(101, 301), (std::vector<bool>{true, true, false}));
    EXPECT_EQ(state(300, 300), (std::vector<bool>{true, false, false}));
    // The two links between A and B bulge apart; each is hit on its label box.
    EXPECT_EQ(state(on->LabelPos.X, on->LabelPos.Y), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(f.P->PopupEdge(), on);

    const auto active = [](const std::vector<TEdge*>& edges) {
        const TLinkActiveState s = TLinkPainter::LinkActiveState(edges);
        return std::pair{s.Enabled, s.Checked};
    };
    EXPECT_EQ(active({}), std::pair(false, false));
    EXPECT_EQ(active({on, off}), std::pair(true, false));
    f.P->SetLinksActive({on, off}, true);
    EXPECT_EQ(active({on, off}), std::pair(true, true));
    EXPECT_EQ(off->Color, 0x008000u);

    f.P->SelectUnlinked();
    EXPECT_EQ((std::vector<bool>{a->Selected, b->Selected, c->Selected}),
              (std::vector<bool>{false, false, true}));
    f.P->InverseSelection();
    EXPECT_EQ((std::vector<bool>{a->Selected, b->Selected, c->Selected}),
              (std::vector<bool>{true, true, false}));

    f.P->ChangeFlavor({off}, 43);
    f.P->ReverseLinks({off});
    EXPECT_EQ(Sorted(f.Links()), (Strings{"A>B:AIAttack", "A>B:ControlDevice"}));
    f.P->RemoveLinks({on, on});
    EXPECT_EQ(f.Rows, std::vector<TEdge*>{off});
}

TEST(LinkPainterTest, TenTemplatesLieAtRandomInsideATenPixelBorder) {
    // 10 + Trunc(r * 644) and 10 + Trunc(r * 536).
    for (const auto& [random, expected] :
         {std::pair{0.0, TPoint{10, 10}}, {0.5, TPoint{332, 278}}, {0.999, TPoint{653, 545}}}) {
        TPainterFixture f;
        f.NextRandom = random;
        f.P->AddTenTemplates();
        f.P->AddTenTemplates(); // the same names again: ten more nodes
        ASSERT_EQ(f.P->Graph().Nodes.Count(), 20u);
        for (int i = 1; i <= 10; ++i) ExpectAt(f.Named("Unnamed_" + std::to_string(i)), expected);
        f.P->PopupAt(123, 45);
        f.P->AddTemplate();
        ExpectAt(f.Named("Unnamed"), {123, 45});
        EXPECT_EQ(f.Named("Unnamed")->Color, kWhite);
        f.P->New();
        EXPECT_EQ(f.P->Graph().Nodes.Count(), 0u);
        EXPECT_EQ(f.OpenUpdates, 0);
    }
}

// Link template files

TEST(LinkTemplateTest, WritesTheExampleFileAndTemplatesInsteadLeavesTheScreenAsItWas) {
    // Lever (kind 4, brush 12, object 345) linked by an active ControlDevice to the selected
    // template Door.
    test::TPainterFixture f;
    TNode* door = f.P->AddObjectNode(Template("Door"), 300, 200);
    door->Selected = true;
    f.P->SetNodePosClamped(f.P->AddObjectNode(Object("Lever", 345, 12), 0, 0), 120.5, 80);
    f.P->AddLink(f.Named("Lever"), door, 24, true);
    const std::string example = "*LPGRAPH\r\n"
                                "B0:654:0:546:1:\r\n"
                                "R0:654:0:546:1:\r\n"
                                "N4:Door4:Door300:200:T:F:16777215:19:1{0}1{0}1{0}4{Door}\r\n"
                                "N5:Lever5:Lever120.5:80:F:F:65535:23:1{4}2{12}3{345}5{Lever}\r\n"
                                "E1:0:1:32768:13:ControlDevice:T:9:2{24}1{1}\r\n"
                                "~LPGRAPH\r\n";
    EXPECT_EQ(f.P->TemplateFileText(false), example);

    // Read back through the Link Painter's data handlers, it writes the same again.
    f.P->LoadTemplateLines(SplitTextLines(example));
    EXPECT_EQ(f.P->TemplateFileText(false), example);
    EXPECT_EQ(f.Links(), Strings{"Lever>Door:ControlDevice"});
    EXPECT_EQ(*TLinkPainter::Info(f.Named("Lever")), Object("Lever", 345, 12));
    EXPECT_TRUE(f.Named("Door")->Selected);

    f.P->BindToTemplate(f.Named("Lever"), f.Named("Door")); // Door now shows Lever
    test::ScratchFolder folder;
    f.P->SaveTemplate(folder / "t.klt", true);
    EXPECT_EQ(test::ReadBytes(folder / "t.klt"),
              "*LPGRAPH\r\n"
              "B0:654:0:546:1:\r\n"
              "R0:654:0:546:1:\r\n"
              "N4:Door4:Door300:200:T:F:16777215:19:1{0}1{0}1{0}4{Door}\r\n"
              "~LPGRAPH\r\n");
    door = f.Named("Door");
    EXPECT_EQ(door->Caption, "Lever");
    EXPECT_EQ(door->Color, 0x00FFFFu);
    EXPECT_EQ(*TLinkPainter::Info(door), Object("Lever", 345, 12));

    // A write that fails changes nothing.
    std::filesystem::create_directory(folder / "dir.klt");
    EXPECT_NE(FailureOf([&] { f.P->SaveTemplate(folder / "dir.klt", true); }), "");
    EXPECT_EQ(f.Named("Door")->Caption, "Lever");
}

TEST(LinkTemplateTest, OpeningLoadsEveryBlockAtItsEndMarker) {
    test::TPainterFixture f;
    f.Add(Object("Old", 7), 10, 10);
    test::ScratchFolder folder;
    test::WriteBytes(folder / "two.klt",
                     "junk\r\n*LPGRAPH\r\nN1:a1:a1:1:F:F:0:16:1{0}1{0}1{0}1{a}\r\n"
                     "~LPGRAPH\r\nbetween\r\n*LPGRAPH\r\n"
                     "N1:b1:b2:2:F:F:0:16:1{0}1{0}1{0}1{b}\r\n"
                     "E0:1:1:0:0::F:8:1{2}1{0}\r\n~LPGRAPH\r\n");
    f.P->OpenTemplate(folder / "two.klt");
    EXPECT_EQ(Sorted(f.Captions()), (Strings{"a", "b"}));
    EXPECT_EQ(f.Named("a")->Color, 0xFFFFFFu);
    EXPECT_EQ(f.Links(), Strings{"a>b:Contains-"});
    EXPECT_EQ(f.Rows.size(), 1u);

    test::WriteBytes(folder / "none.klt", "N1:a1:a1:1:F:F:0:16:1{0}1{0}1{0}1{a}\r\n");
    f.P->OpenTemplate(folder / "none.klt");
    EXPECT_EQ(f.P->Graph().Nodes.Count(), 0u);
    EXPECT_TRUE(f.Rows.empty());
    EXPECT_EQ(f.OpenUpdates, 0);
}

TEST(LinkTemplateTest, BadFileNamesTheFileAndItsLineAndKeepsWhatWasRead) {
    struct TBadFileCase {
        std::string Text;
        std::string Reason; // after the file name
        Strings Left;
    };
    const std::string a = "N1:a1:a1:1:F:F:0:16:1{0}1{0}1{0}1{a}\r\n";
    const TBadFileCase cases[] = {
        {"x\r\n*LPGRAPH\r\nB0:654:0:546:1:\r\n" + a + "N1:c1:cinf:0:F:F:0:0:\r\n~LPGRAPH\r\n",
         "line 5: 'inf' is not a valid floating point value", {"a"}},
        {"*LPGRAPH\r\n" + a + "N1:b1:b0:0:F:F:0:4:1{x}\r\n~LPGRAPH\r\n",
         "line 3: Invalid encoded integer", {"a", "b"}}, // b stays, without its data
        {"*LPGRAPH\r\n" + a + "~LPGRAPH\r\n*LPGRAPH\r\nE0:0:1:0:0::F:4:2{24\r\n~LPGRAPH\r\n",
         "line 5: Invalid encoded string", {"a"}}};
    for (const TBadFileCase& c : cases) {
        test::TPainterFixture f;
        test::ScratchFolder folder;
        test::WriteBytes(folder / "x.klt", c.Text);
        EXPECT_EQ(FailureOf([&] { f.P->OpenTemplate(folder / "x.klt"); }),
                  "Cannot read link template \"" + PathToText(folder / "x.klt") + "\", " +
                      c.Reason);
        EXPECT_EQ(f.Captions(), c.Left);
        EXPECT_TRUE(f.Rows.empty());
        EXPECT_EQ(f.OpenUpdates, 0);
    }
}

TEST(LinkTemplateTest, PositionsStayFiniteSoTheFileCanBeReadAgain) {
    test::TPainterFixture f;
    TNode* n = f.Add(Template("n"), 10, 10);
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double X, Y, ExpectedX, ExpectedY;
    };
    for (const Case& c : {Case{nan, nan, 0, 0}, Case{inf, -inf, 654, 0},
                          Case{-1e300, 1e300, 0, 546}, Case{12.25, 3.5, 12.25, 3.5}}) {
        f.P->SetNodePosClamped(n, c.X, c.Y);
        EXPECT_EQ(n->X, c.ExpectedX);
        EXPECT_EQ(n->Y, c.ExpectedY);
    }
    // Set around the clamping, the writer still writes numbers the reader takes.
    n->X = nan;
    n->Y = -inf;
    f.P->LoadTemplateLines(SplitTextLines(f.P->TemplateFileText(false)));
    ASSERT_NE(f.Named("n"), nullptr);
    EXPECT_EQ(f.Named("n")->X, 0);
    EXPECT_EQ(f.Named("n")->Y, -1e308);
}

// Links of a mission file

// Lever 10, Door 20 and the Great Hall 77 of the simulated DromEd's demo mission.
std::filesystem::path SaveLinkMission(const test::ScratchFolder& folder) {
    test::TMissionWriter w;
    w.Chunk("L$ControlDevice", test::chunks::Links({{1, 10, 20, 24}}))
        .Chunk("L$Contains", test::chunks::Links({{2, 20, 10, 2}, {3, 10, 77, 2}}))
        .Chunk("L$MetaProp", test::chunks::Links({{4, 10, 20, 1}}));
    const auto file = folder / "links.mis";
    test::SaveBytes(file, w.Bytes());
    return file;
}

TEST(LinkPainterMissionTest, DisablingSwitchesOffOnlyActiveLinksTheMissionHas) {
    test::TPainterFixture f;
    test::ScratchFolder folder;
    TNode* lever = f.Add(Object("Lever", 10), 100, 100);
    TNode* door = f.Add(Object("Door", 20), 200, 100);
    f.Link(lever, door, 24, true);  // in the mission
    f.Link(door, lever, 2, true);   // in the mission
    f.Link(lever, door, 2, true);   // the other way round in the mission
    f.Link(door, lever, 24, false); // already off
    EXPECT_EQ(f.P->DisableMissionLinks(SaveLinkMission(folder)), 2);
    EXPECT_EQ(Sorted(f.Links()), (Strings{"Door>Lever:Contains-", "Door>Lever:ControlDevice-",
                                          "Lever>Door:Contains", "Lever>Door:ControlDevice-"}));
    EXPECT_EQ(f.P->LinksToCreate().size(), 1u);
    EXPECT_NE(FailureOf([&] { f.P->DisableMissionLinks(folder / "missing.mis"); }), "");
    EXPECT_EQ(f.OpenUpdates, 0);
}

// Creating links in DromEd

TEST(LinkPainterDromEdTest, TypesTheActiveLinksBetweenObjectsInEdgeOrderUntilOneFails) {
    test::TSimDromEdFixture dromEd;
    test::TPainterFixture f;
    TNode* lever = f.Add(Object("Lever", 10), 100, 100);
    TNode* door = f.Add(Object("Door", 20), 200, 100);
    TNode* guard = f.Add(Object("Guard", 345), 300, 100);
    // Edge hashes: Lever>Door (254 + 148) mod 256 = 146, Guard>Lever (243 + 254) = 241, and
    // Guard>Ghost (243 + 5) = 248 last.
    f.Link(guard, lever, 50, true);
    f.Link(lever, door, 24, true);
    f.Link(lever, door, 0, true);                             // no flavor
    f.Link(door, guard, 2, false);                            // inactive
    f.Link(guard, f.Add(Template("Key"), 400, 100), 2, true); // to a template
    f.Link(guard, f.Add(Object("Ghost", 999), 500, 100), 2, true);
    EXPECT_EQ(FailureOf([&] { f.P->CreateLinksInDromEd(dromEd.Desktop); }),
              "Failed to add link in DromEd");
    EXPECT_EQ(dromEd.DromEd->Mission().Links,
              (std::vector<sim::TSimLink>{{10, 20, "ControlDevice"}, {345, 10, "AIWatchObj"}}));
}

} // namespace
} // namespace kv
