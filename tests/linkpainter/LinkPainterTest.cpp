// The Link Painter's editing (the mouse tools, drops and the commands of the context menus), its
// link template files and creating links in the simulated DromEd. World and pixel coordinates
// agree on the 654 x 546 paint box.
#include "linkpainter/LinkPainter.h"
#include "linkpainter/LinkFlavors.h"
#include "linkpainter/RecordingCanvas.h"
#include "support/SimDromEdFixture.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace kv {
namespace {

using Strings = std::vector<std::string>;

TBrushInfo Object(const std::string& name, std::int32_t objId, std::int32_t brush = 1) {
    return TBrushInfo{bkObject, brush, objId, name};
}
TBrushInfo Template(const std::string& name) { return TBrushInfo{bkNone, 0, 0, name}; }

// A Link Painter on a recording canvas with hooks that keep the link list rows, the questions
// asked and the list updates, as the window would. At its end every update of the list has
// ended and the list has one row per edge.
struct TPainterFixture {
    test::TRecordingCanvas Canvas;
    std::vector<TEdge*> Rows;
    std::vector<std::string> Questions;
    bool Answer = false;
    int OpenUpdates = 0;
    double NextRandom = 0.5;
    std::unique_ptr<TLinkPainter> P;

    explicit TPainterFixture(int width = 654, int height = 546) {
        TLinkPainterHooks hooks;
        hooks.RowAdded = [this](TEdge& e) { Rows.push_back(&e); };
        hooks.RowRemoved = [this](TEdge& e) {
            EXPECT_EQ(std::count(Rows.begin(), Rows.end(), &e), 1);
            Rows.erase(std::remove(Rows.begin(), Rows.end(), &e), Rows.end());
        };
        hooks.BeginUpdate = [this] { ++OpenUpdates; };
        hooks.EndUpdate = [this] { --OpenUpdates; };
        hooks.Confirm = [this](const std::string& q) {
            Questions.push_back(q);
            return Answer;
        };
        P = std::make_unique<TLinkPainter>(Canvas, width, height, hooks,
                                           [this] { return NextRandom; });
    }
    ~TPainterFixture() {
        EXPECT_EQ(OpenUpdates, 0);
        EXPECT_EQ(Rows.size(), P->Graph().Edges.Count());
    }
    TPainterFixture(const TPainterFixture&) = delete;
    TPainterFixture& operator=(const TPainterFixture&) = delete;

    // Adds and draws, so that the node can be hit at once.
    TNode* Add(const TBrushInfo& info, int x, int y) {
        TNode* node = P->AddObjectNode(info, x, y);
        P->Redraw();
        return node;
    }
    TEdge* Link(TNode* from, TNode* to, int flavor = 24, bool active = true) {
        TEdge* edge = P->AddLink(from, to, flavor, active);
        P->Redraw();
        return edge;
    }
    void Drag(int x0, int y0, int x1, int y1, TShiftState shift = {}) {
        P->MouseDown(x0, y0, shift);
        P->MouseMove(x1, y1, shift);
        P->MouseUp(x1, y1, shift);
    }
    void Click(int x, int y, TShiftState shift = {}) {
        P->MouseDown(x, y, shift);
        P->MouseUp(x, y, shift);
    }
    TNode* Named(const std::string& name) {
        for (TNode* node : P->Graph().GetNodes()) {
            if (node->Name == name) return node;
        }
        return nullptr;
    }
    std::vector<std::string> Captions() {
        std::vector<std::string> list;
        for (const TNode* node : P->Graph().GetNodes()) list.push_back(node->Caption);
        return list;
    }
    // "From>To:Flavor" of every edge, with "-" after an inactive one.
    std::vector<std::string> Links() {
        std::vector<std::string> list;
        for (const TEdge* e : P->Graph().GetEdges()) {
            const TLinkData* d = TLinkPainter::LinkOf(e);
            list.push_back(e->FromNode->Caption + ">" + e->ToNode->Caption + ":" + e->Label +
                           (d->Active != 0 ? "" : "-"));
        }
        return list;
    }
};

constexpr std::uint32_t kWhite = 0xFFFFFF;

Strings Sorted(Strings list) {
    std::sort(list.begin(), list.end());
    return list;
}

// "Caption x,y" of every node in the graph's order.
Strings Placed(TPainterFixture& f) {
    Strings list;
    for (const TNode* node : f.P->Graph().GetNodes()) {
        std::ostringstream s;
        s << node->Caption << ' ' << node->X << ',' << node->Y;
        list.push_back(s.str());
    }
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
    EXPECT_TRUE(!g.HighlightSelected && g.Iterations == 0 && g.Margin == 0);
    f.P->Resize(300, 200);
    EXPECT_EQ(f.Canvas.Width(), 300);
    EXPECT_EQ(g.LayoutExtent, (TGraphExtent{0, 654, 0, 546, 1}));
}

TEST(LinkPainterTest, DropPlacesObjectsOnACircleClockwiseFromTheTop) {
    const TBrushInfo o1 = Object("O1", 101), o2 = Object("O2", 102), o3 = Object("O3", 103);
    const TBrushInfo t = Template("T");
    const struct {
        std::vector<const TBrushInfo*> Items;
        int X, Y;
        Strings Expected;
    } cases[] = {// r = 600 div 10 = 60; 60 cos 30 degrees = 51.96, 60 sin 30 degrees = 30.
                 {{&o1}, 300, 200, {"O1 300,200"}},
                 {{&o1, &t, &o3}, 300, 200, {"O1 300,140", "O3 248,230"}},
                 {{&o1, &o2, &o3}, 590, 20, {"O1 590,0", "O2 600,50", "O3 538,50"}}};
    for (const auto& c : cases) {
        TPainterFixture f(600, 500);
        f.P->DropItems(c.Items, c.X, c.Y);
        EXPECT_EQ(Placed(f), c.Expected) << c.X;
    }
}

TEST(LinkPainterTest, OnlyAnObjectDroppedOrDraggedOnATemplateBindsIt) {
    TPainterFixture f;
    TNode* door = f.Add(Template("Door"), 300, 200);
    f.Link(f.Add(Template("Key"), 100, 100), door);
    const TBrushInfo lever = Object("Lever", 345);
    f.P->DropItems({&lever}, 302, 201);
    EXPECT_EQ(Placed(f), (Strings{"Key 100,100", "Lever 300,200"}));
    EXPECT_EQ(door->Name + " " + std::to_string(door->Color), "Door 65535");
    EXPECT_EQ(TLinkPainter::Info(door)->ObjID, 345);
    EXPECT_EQ(f.Links(), (Strings{"Key>Lever:ControlDevice"}));

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
        const bool bound = draggedConcrete && !targetConcrete;
        EXPECT_EQ(Placed(g), (bound ? Strings{"S 300,300"} : Strings{"S 302,301", "T 300,300"}));
        EXPECT_EQ(g.P->Graph().GetNodes().back(), t);
    }
}

TEST(LinkPainterTest, MovingTakesTheSelectionOnlyWhenGrabbedByASelectedNode) {
    TPainterFixture f;
    f.Add(Template("A"), 100, 100);
    TNode* b = f.Add(Template("B"), 200, 100);
    TNode* c = f.Add(Template("C"), 300, 100);
    f.Drag(100, 100, 105, 105, {true, false}); // sizing one node is moving it
    b->Selected = c->Selected = true;
    f.Drag(105, 105, 110, 110);
    EXPECT_EQ(Placed(f), (Strings{"A 110,110", "B 200,100", "C 300,100"}));
    f.Drag(200, 100, 220, 105);
    EXPECT_EQ(Placed(f), (Strings{"A 110,110", "B 220,105", "C 320,105"}));
    f.Drag(320, 105, 700, -20); // each node stops at the border
    EXPECT_EQ(Placed(f), (Strings{"A 110,110", "B 600,0", "C 654,0"}));
}

TEST(LinkPainterTest, SizingScalesAndTurnsTheSelectionAboutItsCentre) {
    // Centre (150, 100); grabbed 50 pixels right of it and pulled to 100 pixels above it: twice
    // the size, a quarter turn counter-clockwise. Grabbed on the centre itself: scale 1, no turn.
    const struct {
        int BX, DownX, ToX, ToY;
        Strings Expected;
    } cases[] = {{200, 200, 150, 0, {"A 150,200", "B 150,0"}},
                 {104, 102, 102, 50, {"A 100,100", "B 104,100"}}};
    for (const auto& c : cases) {
        TPainterFixture f; // A at (100, 100), B at (BX, 100), dragged from (DownX, 100)
        f.Add(Template("A"), 100, 100)->Selected = true;
        f.Add(Template("B"), c.BX, 100)->Selected = true;
        f.P->Tool = TLinkTool::Size;
        f.P->MouseDown(c.DownX, 100, {});
        f.P->MouseMove(c.ToX, c.ToY, {});
        EXPECT_EQ(Placed(f), c.Expected);
    }
}

TEST(LinkPainterTest, LinkingJoinsTheDraggedNodesToTheTarget) {
    const struct {
        bool Ctrl, Inverse;
        int Flavor;
        const char* Target;
        Strings Expected;
    } cases[] = {{true, false, 24, "C", {"A>C:ControlDevice", "B>C:ControlDevice"}},
                 {false, true, 2, "C", {"C>A:Contains", "C>B:Contains"}},
                 {true, false, 24, "B", {"A>B:ControlDevice"}}, // onto another dragged node
                 {true, false, 24, "A", {}},                    // onto itself
                 {true, false, 0, "C", {}},                     // no flavor selected
                 {true, false, 1, "C", {}}};                    // a hidden flavor
    for (const auto& c : cases) {
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
    const struct {
        Strings Selected;
        int PopupX; // A at 100, B at 200, C at 300 on y = 100; nothing at 500
        bool Answer, Asked;
        Strings Left;
    } cases[] = {{{"B", "C"}, 100, false, true, {"B", "C"}},
                 {{"B", "C"}, 100, true, true, {}},
                 {{"A"}, 100, true, false, {"B", "C"}},
                 {{"C"}, 500, false, false, {"A", "B"}},
                 {{}, 500, true, false, {"A", "B", "C"}}};
    const std::string question = "Remove object or template\r\rAll selected objects or only the "
                                 "one you clicked on?\r[Yes=all selected] [No=clicked]";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Left.size());
        TPainterFixture f;
        TNode* a = f.Add(Template("A"), 100, 100);
        f.Link(a, f.Add(Template("B"), 200, 100));
        f.Add(Template("C"), 300, 100);
        for (const std::string& name : c.Selected)
            if (TNode* node = f.Named(name)) node->Selected = true;
        f.P->PopupAt(c.PopupX, 100);
        f.Answer = c.Answer;
        f.P->RemoveNodes("Remove object or template");
        EXPECT_EQ(Sorted(f.Captions()), c.Left);
        EXPECT_EQ(f.Questions, (c.Asked ? Strings{question} : Strings{}));
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
        EXPECT_EQ(door->Color, kWhite);
        EXPECT_EQ(*TLinkPainter::Info(door), Template("Door"));
        EXPECT_EQ(f.Links(), Strings{"Key>Door:ControlDevice"});
        // The object 10 pixels right and down, within the paint box.
        EXPECT_EQ(Placed(f), (keep ? Strings{"Key 50,50", "Door 648,200", "Lever 654,210"}
                                   : Strings{"Key 50,50", "Door 648,200"}));
        EXPECT_TRUE(!keep || *TLinkPainter::Info(f.Named("Lever")) == Object("Lever", 345));
    }
}

TEST(LinkPainterTest, RenamingABoundTemplateKeepsShowingTheObject) {
    TPainterFixture f;
    TNode* door = f.Add(Template("Door"), 300, 200);
    TNode* key = f.Add(Template("Key"), 100, 200);
    f.P->BindToTemplate(f.Add(Object("Lever", 345), 10, 10), door);
    f.P->RenameTemplate(door, "Gate");
    f.P->RenameTemplate(key, "Chest");
    EXPECT_EQ(door->Name + " " + door->Caption + " " + key->Caption, "Gate Lever Chest");
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

    const auto selected = [&] { return std::vector<bool>{a->Selected, b->Selected, c->Selected}; };
    f.P->SelectUnlinked();
    EXPECT_EQ(selected(), (std::vector<bool>{false, false, true}));
    f.P->InverseSelection();
    EXPECT_EQ(selected(), (std::vector<bool>{true, true, false}));

    f.P->ChangeFlavor({off}, 43);
    f.P->ReverseLinks({off});
    EXPECT_EQ(Sorted(f.Links()), (Strings{"A>B:AIAttack", "A>B:ControlDevice"}));
    f.P->RemoveLinks({on, on});
    EXPECT_EQ(f.Rows, std::vector<TEdge*>{off});
}

TEST(LinkPainterTest, TenTemplatesLieAtRandomInsideATenPixelBorder) {
    // 10 + Trunc(r * 644) and 10 + Trunc(r * 536).
    for (const auto& [random, at] :
         {std::pair{0.0, " 10,10"}, {0.5, " 332,278"}, {0.999, " 653,545"}}) {
        TPainterFixture f;
        f.NextRandom = random;
        f.P->AddTenTemplates();
        f.P->AddTenTemplates(); // the same names again: ten more nodes
        f.P->PopupAt(123, 45);
        f.P->AddTemplate();
        Strings expected{"Unnamed 123,45"};
        for (int i = 2; i <= 21; ++i) expected.push_back("Unnamed_" + std::to_string(i / 2) + at);
        EXPECT_EQ(Sorted(Placed(f)), Sorted(expected));
        EXPECT_EQ(f.Named("Unnamed")->Color, kWhite);
        f.P->New();
        EXPECT_EQ(f.P->Graph().Nodes.Count(), 0u);
    }
}

// Link template files

TEST(LinkTemplateTest, WritesTheExampleFileAndTemplatesInsteadLeavesTheScreenAsItWas) {
    // Lever (kind 4, brush 12, object 345) linked by an active ControlDevice to the selected
    // template Door.
    TPainterFixture f;
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
    EXPECT_EQ(door->Caption + " " + std::to_string(door->Color), "Lever 65535");
    EXPECT_EQ(*TLinkPainter::Info(door), Object("Lever", 345, 12));

    // A write that fails changes nothing.
    std::filesystem::create_directory(folder / "dir.klt");
    EXPECT_NE(FailureOf([&] { f.P->SaveTemplate(folder / "dir.klt", true); }), "");
    EXPECT_EQ(f.Named("Door")->Caption, "Lever");
}

TEST(LinkTemplateTest, OpeningLoadsEveryBlockAtItsEndMarker) {
    TPainterFixture f;
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

    test::WriteBytes(folder / "none.klt", "N1:a1:a1:1:F:F:0:16:1{0}1{0}1{0}1{a}\r\n");
    f.P->OpenTemplate(folder / "none.klt");
    EXPECT_EQ(f.P->Graph().Nodes.Count(), 0u);
}

TEST(LinkTemplateTest, BadFileNamesTheFileAndItsLineAndKeepsWhatWasRead) {
    const std::string a = "N1:a1:a1:1:F:F:0:16:1{0}1{0}1{0}1{a}\r\n";
    const struct {
        std::string Text;
        std::string Reason; // after the file name
        Strings Left;
        std::size_t Links; // each listed too
    } cases[] = {
        // clang-format off
        {"x\r\n*LPGRAPH\r\nB0:654:0:546:1:\r\n" + a + "N1:c1:cinf:0:F:F:0:0:\r\n~LPGRAPH\r\n",
         "line 5: 'inf' is not a valid floating point value", {"a"}, 0},
        {"*LPGRAPH\r\n" + a + "N1:b1:b0:0:F:F:0:4:1{x}\r\n~LPGRAPH\r\n",
         "line 3: Invalid encoded integer", {"a", "b"}, 0}, // b stays, without its data
        {"*LPGRAPH\r\n" + a + "~LPGRAPH\r\n*LPGRAPH\r\nE0:0:1:0:0::F:4:2{24\r\n~LPGRAPH\r\n",
         "line 5: Invalid encoded string", {"a"}, 1}}; // the link stays, without its data
    // clang-format on
    for (const auto& c : cases) {
        TPainterFixture f;
        test::ScratchFolder folder;
        test::WriteBytes(folder / "x.klt", c.Text);
        EXPECT_EQ(FailureOf([&] { f.P->OpenTemplate(folder / "x.klt"); }),
                  "Cannot read link template \"" + PathToText(folder / "x.klt") + "\", " +
                      c.Reason);
        EXPECT_EQ(f.Captions(), c.Left);
        EXPECT_EQ(f.Rows.size(), c.Links);
    }
}

TEST(LinkTemplateTest, PositionsStayFiniteSoTheFileCanBeReadAgain) {
    TPainterFixture f;
    TNode* n = f.Add(Template("n"), 10, 10);
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double X, Y;
        const char* Expected;
    } cases[] = {{nan, nan, "n 0,0"},
                 {inf, -inf, "n 654,0"},
                 {-1e300, 1e300, "n 0,546"},
                 {12.25, 3.5, "n 12.25,3.5"}};
    for (const auto& c : cases) {
        f.P->SetNodePosClamped(n, c.X, c.Y);
        EXPECT_EQ(Placed(f), Strings{c.Expected});
    }
    // Set around the clamping, the writer still writes numbers the reader takes.
    std::tie(n->X, n->Y) = std::pair(nan, -inf);
    f.P->LoadTemplateLines(SplitTextLines(f.P->TemplateFileText(false)));
    EXPECT_EQ(Placed(f), Strings{"n 0,-1e+308"});
}

// Line breaks inside a node's name or caption (object names from a mission can hold them) are
// written as spaces, so every record of a link template file stays on its own line and the file
// reads back whole.
TEST(TemplateLineBreakTest, NamesAndCaptionsWithLineBreaksReadBackWhole) {
    TPainterFixture f;
    TNode* lever = f.Add(Object("Lever\r\nNorth", 345, 12), 0, 0);
    TNode* door = f.Add(Template("Door\n"), 300, 200);
    door->Caption = "Main\rdoor";
    f.Link(lever, door);
    test::ScratchFolder folder;
    f.P->SaveTemplate(folder / "t.klt", false);

    // Head, two extents, two nodes, one edge and tail: seven lines, each ended by CR LF.
    const std::string bytes = test::ReadBytes(folder / "t.klt");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\r'), 7) << bytes;
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 7) << bytes;

    TPainterFixture g;
    g.P->OpenTemplate(folder / "t.klt");
    ASSERT_NE(g.Named("Lever  North"), nullptr);
    EXPECT_EQ(TLinkPainter::Info(g.Named("Lever  North"))->Name, "Lever  North");
    EXPECT_EQ(g.Captions(), (Strings{"Lever  North", "Main door"}));
    EXPECT_EQ(g.Links(), (Strings{"Lever  North>Main door:ControlDevice"}));
}

// Creating links in DromEd

TEST(LinkPainterDromEdTest, TypesTheActiveLinksBetweenObjectsInEdgeOrderUntilOneFails) {
    test::TSimDromEdFixture dromEd;
    TPainterFixture f;
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
