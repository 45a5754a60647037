// The Link Painter's editing: the flavor table and menus, the mouse tools, drops and the
// commands of the context menus. World and pixel coordinates agree on the 654 x 546 paint box.
#include "linkpainter/LinkFlavors.h"
#include "linkpainter/PainterFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::Object;
using test::Template;
using Strings = std::vector<std::string>;

constexpr std::uint32_t kYellow = 0x00FFFF;
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

// ---------------------------------------------------------------------------------------------
// Flavors

TEST(LinkFlavorsTest, TableAndSortedList) {
    ASSERT_EQ(LinkFlavors.size(), 66u);
    struct Row {
        int Index;
        const char* Name;
        bool Hidden;
    };
    for (const Row& row :
         {Row{0, "", true}, Row{1, "MetaProp", true}, Row{2, "Contains", false},
          Row{9, "arSrc", true}, Row{10, "arSrcDesc", true}, Row{24, "ControlDevice", false},
          Row{43, "AIAttack", false}, Row{65, "ParticleAttachement", false}}) {
        EXPECT_STREQ(LinkFlavors[row.Index].Name, row.Name);
        EXPECT_EQ(LinkFlavors[row.Index].Hidden, row.Hidden) << row.Name;
    }
    std::vector<int> hidden;
    for (int i = 0; i < kLinkFlavorCount; ++i) {
        if (!IsVisibleFlavor(i)) hidden.push_back(i);
        EXPECT_EQ(LinkFlavors[i].Color, 0x008000u);
    }
    EXPECT_EQ(hidden, (std::vector<int>{0, 1, 3, 5, 9, 10}));

    const std::vector<int> sorted = SortedVisibleFlavors();
    ASSERT_EQ(sorted.size(), 60u);
    EXPECT_EQ(std::vector<int>(sorted.begin(), sorted.begin() + 4),
              (std::vector<int>{43, 58, 52, 38})); // AIAttack AIAwareness AICamera AIConv...
    EXPECT_EQ(sorted.back(), 18);                  // Weapon, WeaponOffset, WHBlock, WHInflated
}

TEST(LinkFlavorsTest, MenuGroupsByFirstLetterInColumnsOfEleven) {
    const std::vector<TFlavorMenuEntry> menu = FlavorMenu();
    std::string letters;
    for (const TFlavorMenuEntry& entry : menu) {
        EXPECT_EQ(entry.Flavor, -1);
        EXPECT_FALSE(entry.NewColumn);
        letters += entry.Caption;
    }
    EXPECT_EQ(letters, "ACFGHLNOPRSTVW");
    const auto& a = menu.front().Children;
    ASSERT_EQ(a.size(), 22u);
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].NewColumn, i == 11) << i;
    EXPECT_EQ(a[10].Caption, "AIFollowObj");
    EXPECT_EQ(a[11].Caption, "AIInvest");
    EXPECT_EQ(a[11].Flavor, 57);
}

// ---------------------------------------------------------------------------------------------
// Creation, drops and the mouse tools

TEST(LinkPainterTest, StartsWithTheLinkPainterSettingsAndDrawsTheEmptyGraph) {
    test::TPainterFixture f;
    const TGraph& g = f.P->Graph();
    EXPECT_TRUE(g.Directed && g.FixedExtent && g.ShowEdgeLabels && g.CurveParallelEdges &&
                g.RotateEdgeLabels && g.ShowNodeLabels && g.KeepAspectRatio);
    EXPECT_FALSE(g.HighlightSelected);
    EXPECT_EQ(g.Iterations, 0);
    EXPECT_EQ(g.Margin, 0);
    EXPECT_EQ(g.LayoutExtent, (TGraphExtent{0, 654, 0, 546, 1}));
    EXPECT_EQ(f.Canvas.Width(), 654);
    f.P->Resize(300, 200);
    EXPECT_EQ(f.Canvas.Width(), 300);
    EXPECT_EQ(g.LayoutExtent, (TGraphExtent{0, 654, 0, 546, 1})); // the world stays
}

struct DropCase {
    const char* Name;
    std::vector<TBrushInfo> Items;
    int X, Y;
    std::vector<std::pair<const char*, TPoint>> Expected;
};

class LinkPainterDropTest : public testing::TestWithParam<DropCase> {};

TEST_P(LinkPainterDropTest, PlacesObjectsOnACircleClockwiseFromTheTop) {
    test::TPainterFixture f(600, 500);
    std::vector<const TBrushInfo*> items;
    for (const TBrushInfo& item : GetParam().Items) items.push_back(&item);
    f.P->DropItems(items, GetParam().X, GetParam().Y);
    EXPECT_EQ(f.P->Graph().Nodes.Count(), GetParam().Expected.size());
    for (const auto& [name, p] : GetParam().Expected) ExpectAt(f.Named(name), p);
}

// r = 600 div 10 = 60; 60 cos 30 degrees = 51.96, 60 sin 30 degrees = 30.
INSTANTIATE_TEST_SUITE_P(
    LinkPainter, LinkPainterDropTest,
    testing::Values(DropCase{"One", {Object("O1", 101)}, 300, 200, {{"O1", {300, 200}}}},
                    DropCase{"Three",
                             {Object("O1", 101), Object("O2", 102), Object("O3", 103)},
                             300,
                             200,
                             {{"O1", {300, 140}}, {"O2", {352, 230}}, {"O3", {248, 230}}}},
                    DropCase{"TemplateSkipped",
                             {Object("O1", 101), Template("T"), Object("O3", 103)},
                             300,
                             200,
                             {{"O1", {300, 140}}, {"O3", {248, 230}}}},
                    DropCase{"AtTheBorder",
                             {Object("O1", 101), Object("O2", 102), Object("O3", 103)},
                             590,
                             20,
                             {{"O1", {590, 0}}, {"O2", {600, 50}}, {"O3", {538, 50}}}}),
    test::TCaseName());

TEST(LinkPainterTest, DroppingAnObjectOnATemplateBindsIt) {
    test::TPainterFixture f;
    TNode* door = f.Add(Template("Door"), 300, 200);
    TNode* key = f.Add(Template("Key"), 100, 100);
    f.Link(key, door);
    const TBrushInfo lever = Object("Lever", 345);
    f.P->DropItems({&lever}, 302, 201);
    EXPECT_EQ(Sorted(f.Captions()), (Strings{"Key", "Lever"}));
    EXPECT_EQ(door->Name, "Door");
    EXPECT_EQ(door->Color, kYellow);
    EXPECT_EQ(TLinkPainter::Info(door)->ObjID, 345);
    ExpectAt(door, {300, 200});
    EXPECT_EQ(f.Links(), (Strings{"Key>Lever:ControlDevice"}));
    EXPECT_EQ(f.Rows.size(), 1u);
}

struct MoveCase {
    const char* Name;
    bool DraggedConcrete, TargetConcrete, Binds;
};

class LinkPainterMoveTest : public testing::TestWithParam<MoveCase> {};

TEST_P(LinkPainterMoveTest, OnlyAnObjectDroppedOnATemplateBinds) {
    test::TPainterFixture f;
    TNode* s = f.Add(GetParam().DraggedConcrete ? Object("S", 1) : Template("S"), 100, 100);
    TNode* t = f.Add(GetParam().TargetConcrete ? Object("T", 2) : Template("T"), 300, 300);
    f.P->MouseDown(100, 100, {});
    f.P->MouseMove(302, 301, {});
    EXPECT_FALSE(s->Pinned || t->Pinned); // pinned only while drawn
    f.P->MouseUp(302, 301, {});
    if (GetParam().Binds) {
        EXPECT_EQ(f.Captions(), Strings{"S"});
        EXPECT_EQ(f.P->Graph().GetNodes(), std::vector<TNode*>{t});
    } else {
        EXPECT_EQ(f.P->Graph().Nodes.Count(), 2u);
        ExpectAt(s, {302, 301});
    }
}

INSTANTIATE_TEST_SUITE_P(LinkPainter, LinkPainterMoveTest,
                         testing::Values(MoveCase{"ObjectOnTemplate", true, false, true},
                                         MoveCase{"TemplateOnObject", false, true, false},
                                         MoveCase{"ObjectOnObject", true, true, false}),
                         test::TCaseName());

TEST(LinkPainterTest, MovingTakesTheSelectionOnlyWhenGrabbedByASelectedNode) {
    test::TPainterFixture f;
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

struct SizeCase {
    const char* Name;
    TPoint A, B;
    int DownX, DownY, ToX, ToY;
    TPoint NewA, NewB;
};

class LinkPainterSizeTest : public testing::TestWithParam<SizeCase> {};

TEST_P(LinkPainterSizeTest, ScalesAndTurnsTheSelectionAboutItsCentre) {
    test::TPainterFixture f;
    const SizeCase& c = GetParam();
    TNode* a = f.Add(Template("A"), static_cast<int>(c.A.X), static_cast<int>(c.A.Y));
    TNode* b = f.Add(Template("B"), static_cast<int>(c.B.X), static_cast<int>(c.B.Y));
    a->Selected = b->Selected = true;
    f.P->Tool = TLinkTool::Size;
    f.P->MouseDown(c.DownX, c.DownY, {});
    f.P->MouseMove(c.ToX, c.ToY, {});
    ExpectAt(a, c.NewA);
    ExpectAt(b, c.NewB);
}

// Centre (150, 100); grabbed 50 pixels right of it and pulled to 100 pixels above it: twice
// the size, a quarter turn counter-clockwise. Grabbed on the centre itself: scale 1, no turn.
INSTANTIATE_TEST_SUITE_P(
    LinkPainter, LinkPainterSizeTest,
    testing::Values(
        SizeCase{"ScaleAndTurn", {100, 100}, {200, 100}, 200, 100, 150, 0, {150, 200}, {150, 0}},
        SizeCase{"ZeroRadius", {100, 100}, {104, 100}, 102, 100, 102, 50, {100, 100}, {104, 100}}),
    test::TCaseName());

struct LinkCase {
    const char* Name;
    bool Ctrl;
    bool Inverse;
    int Flavor;
    const char* Target;
    Strings Expected;
};

class LinkPainterLinkTest : public testing::TestWithParam<LinkCase> {};

TEST_P(LinkPainterLinkTest, LinksTheDraggedNodesToTheTarget) {
    test::TPainterFixture f;
    f.Add(Template("A"), 100, 100)->Selected = true;
    f.Add(Template("B"), 100, 200)->Selected = true;
    f.Add(Template("C"), 300, 150);
    const TNode* target = f.Named(GetParam().Target);
    const int tx = static_cast<int>(target->X);
    const int ty = static_cast<int>(target->Y);
    f.P->Flavor = GetParam().Flavor;
    f.P->InverseLink = GetParam().Inverse;
    if (!GetParam().Ctrl) f.P->Tool = TLinkTool::Link;
    const TShiftState shift{false, GetParam().Ctrl};
    f.P->MouseDown(100, 100, shift);
    f.P->MouseMove(250, 40, shift);
    EXPECT_EQ(f.P->Overlay().Lines.size(), 2u);
    EXPECT_EQ(f.P->Overlay().Lines[0].second, (TPixelPoint{250, 40}));
    f.P->MouseUp(tx, ty, shift);
    EXPECT_EQ(Sorted(f.Links()), GetParam().Expected);
    EXPECT_EQ(f.Rows.size(), GetParam().Expected.size());
    EXPECT_TRUE(f.P->Overlay().Lines.empty());
}

INSTANTIATE_TEST_SUITE_P(
    LinkPainter, LinkPainterLinkTest,
    testing::Values(
        LinkCase{"Selection", true, false, 24, "C", {"A>C:ControlDevice", "B>C:ControlDevice"}},
        LinkCase{"Inverse", false, true, 2, "C", {"C>A:Contains", "C>B:Contains"}},
        LinkCase{"OntoAnotherDraggedNode", true, false, 24, "B", {"A>B:ControlDevice"}},
        LinkCase{"OntoItself", true, false, 24, "A", {}},
        LinkCase{"NoFlavorSelected", true, false, 0, "C", {}},
        LinkCase{"HiddenFlavor", true, false, 1, "C", {}}),
    test::TCaseName());

TEST(LinkPainterTest, RubberBandAndClicksSelect) {
    test::TPainterFixture f;
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

// ---------------------------------------------------------------------------------------------
// Commands

struct ScopeCase {
    const char* Name;
    Strings Selected;
    int PopupX, PopupY; // A at 100, B at 200, C at 300 on y = 100
    bool Answer;
    bool Asked;
    Strings Left;
};

class LinkPainterScopeTest : public testing::TestWithParam<ScopeCase> {};

TEST_P(LinkPainterScopeTest, RemoveAsksAboutTheSelectionOnlyWhenItIsMoreThanOne) {
    test::TPainterFixture f;
    TNode* a = f.Add(Template("A"), 100, 100);
    f.Add(Template("B"), 200, 100);
    f.Add(Template("C"), 300, 100);
    f.Link(a, f.Named("B"));
    for (const std::string& name : GetParam().Selected) f.Named(name)->Selected = true;
    f.P->PopupAt(GetParam().PopupX, GetParam().PopupY);
    f.Answer = GetParam().Answer;
    f.P->RemoveNodes("Remove object or template");
    EXPECT_EQ(Sorted(f.Captions()), GetParam().Left);
    EXPECT_EQ(f.Questions.size(), GetParam().Asked ? 1u : 0u);
    if (!f.Questions.empty()) {
        EXPECT_EQ(f.Questions[0], "Remove object or template\r\rAll selected objects or only "
                                  "the one you clicked on?\r[Yes=all selected] [No=clicked]");
    }
    EXPECT_EQ(f.Rows.size(), f.P->Graph().Edges.Count());
    EXPECT_EQ(f.OpenUpdates, 0);
}

INSTANTIATE_TEST_SUITE_P(
    LinkPainter, LinkPainterScopeTest,
    testing::Values(ScopeCase{"ClickedAnswersNo", {"B", "C"}, 100, 100, false, true, {"B", "C"}},
                    ScopeCase{"ClickedAnswersYes", {"B", "C"}, 100, 100, true, true, {}},
                    ScopeCase{"OnlyTheClickedIsSelected", {"A"}, 100, 100, true, false, {"B", "C"}},
                    ScopeCase{"EmptySpaceOneSelected", {"C"}, 500, 500, false, false, {"A", "B"}},
                    ScopeCase{
                        "EmptySpaceNoneSelected", {}, 500, 500, true, false, {"A", "B", "C"}}),
    test::TCaseName());

class LinkPainterUnbindTest : public testing::TestWithParam<bool> {};

TEST_P(LinkPainterUnbindTest, RemovingTheObjectLeavesTheTemplateAndUnbindingKeepsIt) {
    const bool keep = GetParam();
    test::TPainterFixture f;
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

INSTANTIATE_TEST_SUITE_P(LinkPainter, LinkPainterUnbindTest, testing::Bool());

TEST(LinkPainterTest, RenamingABoundTemplateKeepsShowingTheObject) {
    test::TPainterFixture f;
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
    test::TPainterFixture f;
    TNode* a = f.Add(Object("A", 1), 100, 300);
    TNode* b = f.Add(Template("B"), 300, 300);
    f.Add(Template("C"), 500, 100);
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
    EXPECT_EQ(f.Captions().size(), 3u);
    EXPECT_EQ((std::vector<bool>{a->Selected, b->Selected, f.Named("C")->Selected}),
              (std::vector<bool>{false, false, true}));
    f.P->InverseSelection();
    EXPECT_EQ((std::vector<bool>{a->Selected, b->Selected, f.Named("C")->Selected}),
              (std::vector<bool>{true, true, false}));

    f.P->ChangeFlavor({off}, 43);
    f.P->ReverseLinks({off});
    EXPECT_EQ(Sorted(f.Links()), (Strings{"A>B:AIAttack", "A>B:ControlDevice"}));
    f.P->RemoveLinks({on, on});
    EXPECT_EQ(f.Rows, std::vector<TEdge*>{off});
}

struct TenCase {
    double Random;
    TPoint Expected;
};

class LinkPainterTenTemplatesTest : public testing::TestWithParam<TenCase> {};

TEST_P(LinkPainterTenTemplatesTest, PlacesThemAtRandomInsideATenPixelBorder) {
    test::TPainterFixture f;
    f.NextRandom = GetParam().Random;
    f.P->AddTenTemplates();
    f.P->AddTenTemplates(); // the same names again: ten more nodes
    ASSERT_EQ(f.P->Graph().Nodes.Count(), 20u);
    for (int i = 1; i <= 10; ++i)
        ExpectAt(f.Named("Unnamed_" + std::to_string(i)), GetParam().Expected);
    f.P->PopupAt(123, 45);
    f.P->AddTemplate();
    ExpectAt(f.Named("Unnamed"), {123, 45});
    EXPECT_EQ(f.Named("Unnamed")->Color, kWhite);
    f.P->New();
    EXPECT_EQ(f.P->Graph().Nodes.Count(), 0u);
    EXPECT_EQ(f.OpenUpdates, 0);
}

// 10 + Trunc(r * 644) and 10 + Trunc(r * 536).
INSTANTIATE_TEST_SUITE_P(LinkPainter, LinkPainterTenTemplatesTest,
                         testing::Values(TenCase{0.0, {10, 10}}, TenCase{0.5, {332, 278}},
                                         TenCase{0.999, {653, 545}}));

} // namespace
} // namespace kv
