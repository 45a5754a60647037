// The Link Painter's files and neighbours: link template files, the links of a mission file
// and creating the graph's links in the simulated DromEd.
#include "linkpainter/LinkFlavors.h"
#include "linkpainter/PainterFixture.h"
#include "support/MissionWriter.h"
#include "support/SimDromEdFixture.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::Object;
using test::Template;
using Strings = std::vector<std::string>;

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

// The graph of the example file: Lever (kind 4, brush 12, object 345) linked by an active
// ControlDevice to the selected template Door.
void BuildExample(test::TPainterFixture& f) {
    TNode* door = f.P->AddObjectNode(Template("Door"), 300, 200);
    door->Selected = true;
    TNode* lever = f.P->AddObjectNode(Object("Lever", 345, 12), 0, 0);
    f.P->SetNodePosClamped(lever, 120.5, 80);
    f.P->AddLink(lever, door, 24, true);
}

// ---------------------------------------------------------------------------------------------
// Link template files

TEST(LinkTemplateTest, WritesTheExampleFileAndTemplatesInsteadLeavesTheScreenAsItWas) {
    test::TPainterFixture f;
    BuildExample(f);
    EXPECT_EQ(f.P->TemplateFileText(false),
              "*LPGRAPH\r\n"
              "B0:654:0:546:1:\r\n"
              "R0:654:0:546:1:\r\n"
              "N4:Door4:Door300:200:T:F:16777215:19:1{0}1{0}1{0}4{Door}\r\n"
              "N5:Lever5:Lever120.5:80:F:F:65535:23:1{4}2{12}3{345}5{Lever}\r\n"
              "E1:0:1:32768:13:ControlDevice:T:9:2{24}1{1}\r\n"
              "~LPGRAPH\r\n");

    f.P->BindToTemplate(f.Named("Lever"), f.Named("Door")); // Door now shows Lever
    test::ScratchFolder folder;
    f.P->SaveTemplate(folder / "t.klt", true);
    EXPECT_EQ(test::ReadBytes(folder / "t.klt"),
              "*LPGRAPH\r\n"
              "B0:654:0:546:1:\r\n"
              "R0:654:0:546:1:\r\n"
              "N4:Door4:Door300:200:T:F:16777215:19:1{0}1{0}1{0}4{Door}\r\n"
              "~LPGRAPH\r\n");
    TNode* door = f.Named("Door");
    EXPECT_EQ(door->Caption, "Lever");
    EXPECT_EQ(door->Color, 0x00FFFFu);
    EXPECT_EQ(*TLinkPainter::Info(door), Object("Lever", 345, 12));

    // A write that fails changes nothing.
    std::filesystem::create_directory(folder / "dir.klt");
    EXPECT_NE(FailureOf([&] { f.P->SaveTemplate(folder / "dir.klt", true); }), "");
    EXPECT_EQ(f.Named("Door")->Caption, "Lever");
}

TEST(LinkTemplateTest, TemplatesInsteadRecreatesTheRowsAndKeepsTheLinks) {
    test::TPainterFixture f;
    BuildExample(f);
    const std::string text = f.P->TemplateFileText(true);
    EXPECT_NE(text.find("N5:Lever5:Lever120.5:80:F:F:16777215:20:1{0}1{0}1{0}5{Lever}"),
              std::string::npos);
    EXPECT_EQ(f.Rows, f.P->Graph().GetEdges());
    EXPECT_EQ(f.Links(), Strings{"Lever>Door:ControlDevice"});
    EXPECT_EQ(TLinkPainter::Info(f.Named("Lever"))->ObjID, 345);
    EXPECT_TRUE(f.Named("Door")->Selected);
    EXPECT_EQ(f.OpenUpdates, 0);
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

TEST(LinkTemplateTest, NamesWithColonsAndBracesSurvive) {
    test::TPainterFixture f;
    f.Link(f.Add(Template("a:b{c}"), 10, 10), f.Add(Object("3:{x}", 9), 20, 20));
    f.P->LoadTemplateLines(SplitTextLines(f.P->TemplateFileText(false)));
    EXPECT_EQ(f.Links(), Strings{"a:b{c}>3:{x}:ControlDevice"});
    EXPECT_EQ(TLinkPainter::Info(f.Named("a:b{c}"))->Name, "a:b{c}");
    EXPECT_EQ(*TLinkPainter::Info(f.Named("3:{x}")), Object("3:{x}", 9));
}

struct BadFileCase {
    const char* Name;
    std::string Text;
    std::string Reason; // after the file name
    Strings Left;
};

class LinkTemplateBadFileTest : public testing::TestWithParam<BadFileCase> {};

TEST_P(LinkTemplateBadFileTest, NamesTheFileAndItsLineAndKeepsWhatWasRead) {
    test::TPainterFixture f;
    test::ScratchFolder folder;
    test::WriteBytes(folder / "x.klt", GetParam().Text);
    EXPECT_EQ(FailureOf([&] { f.P->OpenTemplate(folder / "x.klt"); }),
              "Cannot read link template \"" + PathToText(folder / "x.klt") + "\", " +
                  GetParam().Reason);
    EXPECT_EQ(f.Captions(), GetParam().Left);
    EXPECT_TRUE(f.Rows.empty());
    EXPECT_EQ(f.OpenUpdates, 0);
}

INSTANTIATE_TEST_SUITE_P(
    LinkTemplate, LinkTemplateBadFileTest,
    testing::Values(
        BadFileCase{"Infinity",
                    "x\r\n*LPGRAPH\r\nB0:654:0:546:1:\r\nN1:a1:a1:1:F:F:0:16:1{0}1{0}1{0}1{a}\r\n"
                    "N1:c1:cinf:0:F:F:0:0:\r\n~LPGRAPH\r\n",
                    "line 5: 'inf' is not a valid floating point value",
                    {"a"}},
        BadFileCase{"SecondBlock",
                    "*LPGRAPH\r\nN1:a1:a1:1:F:F:0:16:1{0}1{0}1{0}1{a}\r\n~LPGRAPH\r\n"
                    "*LPGRAPH\r\nE0:0:1:0:0::F:4:2{24\r\n~LPGRAPH\r\n",
                    "line 5: Invalid encoded string",
                    {"a"}}),
    test::TCaseName());

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

// ---------------------------------------------------------------------------------------------
// Links of a mission file

// Lever 10, Door 20 and the Great Hall 77 of the simulated DromEd's demo mission.
std::filesystem::path SaveLinkMission(const test::ScratchFolder& folder) {
    test::TMissionWriter w;
    w.Chunk("L$ControlDevice", test::chunks::Links({{1, 10, 20, 24}}))
        .Chunk("L$Contains", test::chunks::Links({{2, 20, 10, 2}, {3, 10, 77, 2}}))
        .Chunk("L$MetaProp", test::chunks::Links({{4, 10, 20, 1}}));
    const auto file = folder / "links.mis";
    w.Save(file);
    return file;
}

TEST(LinkPainterMissionTest, ImportShowsTheLinksInactiveAndTwiceWhenDoneTwice) {
    test::TPainterFixture f;
    test::ScratchFolder folder;
    const auto mission = SaveLinkMission(folder);
    TNode* key = f.Add(Template("Key"), 30, 30);
    f.P->LoadMissionLinks(mission);
    EXPECT_TRUE(f.P->Graph().Edges.Count() == 0 && f.P->ConcreteObjectIds().empty());

    f.Add(Object("Lever", 10), 100, 100);
    f.Add(Object("Door", 20), 200, 100);
    f.P->LoadMissionLinks(mission);
    f.P->LoadMissionLinks(mission);
    EXPECT_EQ(Sorted(f.Links()),
              (Strings{"Door>Lever:Contains-", "Door>Lever:Contains-", "Lever>Door:ControlDevice-",
                       "Lever>Door:ControlDevice-"}));
    EXPECT_EQ(f.Rows.size(), 4u);
    EXPECT_EQ(key->Degree, 0);
    EXPECT_EQ(f.OpenUpdates, 0);
    EXPECT_NE(FailureOf([&] { f.P->LoadMissionLinks(folder / "missing.mis"); }), "");
    EXPECT_EQ(f.OpenUpdates, 0);
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
}

// ---------------------------------------------------------------------------------------------
// Creating links in DromEd

class LinkPainterDromEdTest : public testing::TestWithParam<bool> {};

TEST_P(LinkPainterDromEdTest, TypesTheActiveLinksBetweenObjectsInEdgeOrder) {
    const bool withMissingObject = GetParam();
    test::TSimDromEdFixture dromEd;
    test::TPainterFixture f;
    TNode* lever = f.Add(Object("Lever", 10), 100, 100);
    TNode* door = f.Add(Object("Door", 20), 200, 100);
    TNode* guard = f.Add(Object("Guard", 345), 300, 100);
    TNode* key = f.Add(Template("Key"), 400, 100);
    // Edge hashes: Guard>Lever (243 + 254) mod 256 = 241 after Lever>Door (254 + 148) = 146.
    f.Link(guard, lever, 50, true);
    f.Link(lever, door, 24, true);
    f.Link(lever, door, 0, true);  // no flavor
    f.Link(door, guard, 2, false); // inactive
    f.Link(guard, key, 2, true);   // to a template
    if (withMissingObject) {
        // Ghost hashes to 5: Guard>Ghost = 248 comes last.
        f.Link(guard, f.Add(Object("Ghost", 999), 500, 100), 2, true);
        EXPECT_EQ(FailureOf([&] { f.P->CreateLinksInDromEd(dromEd.Desktop); }),
                  "Failed to add link in DromEd");
    } else {
        EXPECT_EQ(f.P->CreateLinksInDromEd(dromEd.Desktop), 2);
    }
    EXPECT_EQ(dromEd.DromEd->Mission().Links,
              (std::vector<sim::TSimLink>{{10, 20, "ControlDevice"}, {345, 10, "AIWatchObj"}}));
}

INSTANTIATE_TEST_SUITE_P(LinkPainter, LinkPainterDromEdTest, testing::Bool());

} // namespace
} // namespace kv
