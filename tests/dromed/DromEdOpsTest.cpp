// DromEd operations end to end: what DromEd receives and what the program concludes, at the
// client sizes DromEd runs in.
#include "dromed/DromEdOps.h"
#include "dromed/DromEdWindow.h"
#include "support/SimDromEdFixture.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using sim::TSimEventKind;
using test::TSimDromEdFixture;

class DromEdOpsTest : public ::testing::TestWithParam<test::TClientSize> {
protected:
    TSimDromEdFixture F{GetParam().Width, GetParam().Height};
};

TEST_P(DromEdOpsTest, SelectsBrushesAndObjects) {
    EXPECT_TRUE(SelectDromEdBrush(F.Desktop, 12));
    ASSERT_NE(F.DromEd->Selected(), nullptr);
    EXPECT_EQ(F.DromEd->Selected()->BrushId, 12);
    EXPECT_TRUE(SelectDromEdObject(F.Desktop, -5));
    EXPECT_EQ(F.DromEd->Selected()->BrushId, 21);
    EXPECT_EQ(F.DromEd->Commands(),
              (std::vector<std::string>{"brush_select 12", "obj_brush_select -5"}));
    EXPECT_EQ(F.Desktop.LiveGdiObjects(), 0);
    // No brush on the status bar means failure.
    F.Desktop.ClearEvents();
    EXPECT_FALSE(SelectDromEdBrush(F.Desktop, 99));
    EXPECT_FALSE(SelectDromEdObject(F.Desktop, 4242));
    EXPECT_EQ(F.DromEd->StatusMessage().substr(0, 8), "No brush");
    // The reading waits 50 ms after the command, and nothing else.
    const auto sleeps = F.Sleeps();
    EXPECT_EQ(std::count(sleeps.begin(), sleeps.end(), 50u), 2);
}

TEST_P(DromEdOpsTest, ReadsTheSelectionAsTheFavouritesTakeItIn) {
    const std::pair<std::int32_t, TBrushInfo> cases[] = {
        {12, {bkObject, 12, 345, "Guard (345)"}},
        {20, {bkRoom, 20, 77, "Great Hall (77)"}},
        {5, {bkLight, 5, 0, "Light"}},
    };
    for (const auto& [brush, expected] : cases) {
        F.DromEd->Select(brush);
        const TDromEdSelection selection = ReadDromEdSelection(F.Desktop);
        EXPECT_EQ(selection.Info, expected) << brush;
        EXPECT_EQ(selection.Warning, "") << brush;
    }
    EXPECT_EQ(F.Desktop.LiveGdiObjects(), 0);
    F.DromEd->SetRefuseForeground(true);
    EXPECT_EQ(DromEdSelectAnswer(F.Desktop, false, 12), TDromEdAnswer::NotTyped);
}

TEST_P(DromEdOpsTest, LinksAreCheckedOnTheStatusBar) {
    EXPECT_TRUE(LinkDromEdObjects(F.Desktop, 10, 20, "ControlDevice", true));
    EXPECT_EQ(F.DromEd->Mission().Links, (std::vector<sim::TSimLink>{{10, 20, "ControlDevice"}}));
    EXPECT_FALSE(LinkDromEdObjects(F.Desktop, 10, 999, "ControlDevice", true));
    EXPECT_TRUE(LinkDromEdObjects(F.Desktop, 10, 999, "ControlDevice", false));
    EXPECT_EQ(F.DromEd->Commands().front(), "link_objs 10 20 ControlDevice");
}

TEST_P(DromEdOpsTest, CameraCommandsFollowFiftyMillisecondsApart) {
    F.DromEd->Select(12);
    EXPECT_TRUE(CameraToDromEdBrush(F.Desktop, true, true));
    EXPECT_EQ(F.DromEd->Commands(),
              (std::vector<std::string>{"cam_to_brush", "cam_unroll", "cam_level"}));
    EXPECT_EQ(F.DromEd->CameraBrush(), 12);
    EXPECT_TRUE(F.DromEd->CameraUnrolled());
    EXPECT_TRUE(F.DromEd->CameraLevelled());
    EXPECT_EQ(F.Sleeps(), (std::vector<std::uint32_t>{100, 50, 100, 50, 100}));
    // It stops when the first command cannot be typed.
    F.DromEd->SetRefuseForeground(true);
    F.Desktop.ClearEvents();
    EXPECT_FALSE(CameraToDromEdBrush(F.Desktop, true, true));
    EXPECT_EQ(F.DromEd->Commands().size(), 3u);
    EXPECT_TRUE(F.Sleeps().empty());
}

TEST_P(DromEdOpsTest, CompressRenumbersWithoutGaps) {
    EXPECT_FALSE(SelectDromEdBrush(F.Desktop, 2)); // brush 2 does not exist yet
    EXPECT_TRUE(CompressDromEdBrushIds(F.Desktop));
    EXPECT_TRUE(SelectDromEdBrush(F.Desktop, 2));
    EXPECT_EQ(F.DromEd->Selected()->Kind, bkLight);
}

TEST_P(DromEdOpsTest, LoadsMissionWithForwardSlashesInLowerCase) {
    LoadMissionInDromEd(F.Desktop, "C:\\Missions\\MyMiss.mis");
    EXPECT_EQ(F.DromEd->Commands(),
              std::vector<std::string>{"load_file \"c:/missions/mymiss.mis\""});
}

INSTANTIATE_TEST_SUITE_P(Sizes, DromEdOpsTest, ::testing::ValuesIn(test::kDromEdClientSizes),
                         test::TClientSizeName());

TEST(DromEdOpsFailureTest, StubbornDialogMakesSelectionFailAndLoadRaiseWithoutTyping) {
    TSimDromEdFixture f;
    f.DromEd->SetStubbornDialogs(true);
    f.DromEd->OpenDialog("Properties of 345");
    EXPECT_FALSE(SelectDromEdBrush(f.Desktop, 12));
    try {
        LoadMissionInDromEd(f.Desktop, "C:\\Missions\\MyMiss.mis");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Failed to load mission \"c:/missions/mymiss.mis\" in DromEd");
    }
    EXPECT_TRUE(f.DromEd->Commands().empty());
}

TEST(DromEdOpsFailureTest, EveryOperationRaisesNotFoundWithoutDromEd) {
    sim::TSimDesktop desktop;
    EXPECT_THROW(SelectDromEdBrush(desktop, 1), EDromEdNotFound);
    EXPECT_THROW(SelectDromEdObject(desktop, 1), EDromEdNotFound);
    EXPECT_THROW(LinkDromEdObjects(desktop, 1, 2, "Contains", true), EDromEdNotFound);
    EXPECT_THROW(CameraToDromEdBrush(desktop, false, false), EDromEdNotFound);
    EXPECT_THROW(CompressDromEdBrushIds(desktop), EDromEdNotFound);
    EXPECT_THROW(LoadMissionInDromEd(desktop, "a.mis"), EDromEdNotFound);
}

TEST(ParseTrailingIdTest, NumberInTheFinalParentheses) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"Guard (231)", 231}, {"Guard (x)", 0},  {"Box (2) (7)", 7},
        {"  Lamp (-5)  ", -5}, {"Guard (231", 0}, {"Guard 231)", 0},
        {"", 0},              {"a (99999999999)", 0}, {"Hall (77)\r\n", 77}};
    for (const auto& [text, id] : cases) EXPECT_EQ(ParseTrailingId(text), id) << text;
}

} // namespace
} // namespace kv
