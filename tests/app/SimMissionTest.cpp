// korvane's start: its command line, and a mission file turned into the simulated DromEd's model,
// on the demo mission written by code.
#include "app/SimMission.h"
#include "app/StartOptions.h"

#include "support/DemoMission.h"
#include "text/Exception.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kv {
namespace {

using Args = std::vector<std::string>;

struct TOptionCase {
    Args Arguments;
    std::string Platform;
    std::string Mission;
    Args Remaining;
    std::string Error;
};

TEST(StartOptionsTest, TakesPlatformAndMissionAndLeavesTheRest) {
    const std::vector<TOptionCase> cases = {
        {{}, "sim", "", {}, ""},
        {{"-debug", "--platform", "win32"}, "win32", "", {"-debug"}, ""},
        {{"--mission=my mission.mis", "-DEBUG", "x"}, "sim", "my mission.mis", {"-DEBUG", "x"}, ""},
        {{"--mission", "a.mis", "--platform=sim"}, "sim", "a.mis", {}, ""},
        {{"--platform"}, "sim", "", {}, "--platform needs a value"},
        {{"--mission="}, "sim", "", {}, "--mission needs a value"},
        {{"--mission", "a", "--mission", "b"}, "sim", "a", {}, "--mission is given more than once"},
        {{"--platformx"}, "sim", "", {"--platformx"}, ""},
    };
    for (const TOptionCase& c : cases) {
        SCOPED_TRACE(c.Arguments.empty() ? std::string("(none)") : c.Arguments.front());
        const TStartOptions options = ParseStartOptions(c.Arguments, "sim");
        EXPECT_EQ(options.Error, c.Error);
        if (!c.Error.empty()) continue;
        EXPECT_EQ(options.Platform, c.Platform);
        EXPECT_EQ(options.MissionFile, c.Mission);
        EXPECT_EQ(options.Remaining, c.Remaining);
    }
}

TEST(SimMissionTest, DemoMissionBecomesDromEdsModel) {
    const test::ScratchFolder dir;
    test::WriteDemoMission(dir.Path());
    const sim::TSimMission mission = ReadSimMission(dir.Path() / test::kDemoMissionName);

    EXPECT_EQ(mission.FileName, "demo.mis");
    ASSERT_EQ(mission.Brushes.size(), 24u);
    const auto brush = [&mission](std::int32_t id) {
        const auto it = std::find_if(mission.Brushes.begin(), mission.Brushes.end(),
                                     [id](const sim::TSimBrush& b) { return b.BrushId == id; });
        return it == mission.Brushes.end() ? sim::TSimBrush{} : *it;
    };
    struct TExpected {
        std::int32_t BrushId;
        TBrushKind Kind;
        std::int32_t ObjId;
        std::string Name;
    };
    // Brush IDs are the mission's own (27 was deleted); names go without the " (ID)" DromEd draws.
    const std::vector<TExpected> expected = {
        {1, bkTerrain, 0, ""},
        {5, bkLight, 0, ""},
        {8, bkFlow, 0, ""},
        {9, bkRoom, 15, "Courtyard"},
        {20, bkObject, 1, "GateGuard"},
        {25, bkObject, 6, "A Coin"},
        {26, bkObject, 7, "An Emerald"},
        {28, bkObject, 8, "BaronPortrait"},
        {34, bkObject, 14, "OldLantern"},
    };
    for (const TExpected& e : expected) {
        SCOPED_TRACE(e.BrushId);
        const sim::TSimBrush b = brush(e.BrushId);
        EXPECT_EQ(b.BrushId, e.BrushId);
        EXPECT_EQ(b.Kind, e.Kind);
        EXPECT_EQ(b.ObjId, e.ObjId);
        EXPECT_EQ(b.Name, e.Name);
    }
    EXPECT_EQ(brush(27).BrushId, 0);

    // Objects without a brush that links reach (here the archetypes) can still be linked.
    const std::vector<std::int32_t>& extra = mission.ExtraObjects;
    EXPECT_NE(std::find(extra.begin(), extra.end(), -5), extra.end());
    EXPECT_EQ(std::find(extra.begin(), extra.end(), 1), extra.end());
}

TEST(SimMissionTest, NamesLoseOnlyTheirOwnId) {
    EXPECT_EQ(BareObjectName("GateGuard (1)", 1), "GateGuard");
    EXPECT_EQ(BareObjectName("GateGuard (1)", 11), "GateGuard (1)");
    EXPECT_EQ(BareObjectName("Guard (12) (12)", 12), "Guard (12)");
    EXPECT_EQ(BareObjectName("", 3), "");
}

TEST(SimMissionTest, MissingFileIsAnErrorNamingIt) {
    const test::ScratchFolder dir;
    try {
        (void)ReadSimMission(dir.Path() / "gone.mis");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("gone.mis"), std::string::npos) << e.what();
    }
}

} // namespace
} // namespace kv
