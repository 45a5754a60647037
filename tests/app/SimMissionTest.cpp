// korvane's start: its command line, and a mission file turned into the simulated DromEd's model,
// on the demo mission written by code.
#include "app/SimMission.h"
#include "app/StartOptions.h"

#include "support/DemoMission.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace kv {
namespace {

using Args = std::vector<std::string>;

// Each row: the arguments, then the platform, the mission and the arguments left, or the error.
TEST(StartOptionsTest, TakesPlatformAndMissionAndLeavesTheRest) {
    const std::pair<Args, std::string> cases[] = {
        {{}, "sim||"},
        {{"-debug", "--platform", "win32"}, "win32||-debug,"},
        {{"--mission=my mission.mis", "-DEBUG", "x"}, "sim|my mission.mis|-DEBUG,x,"},
        {{"--mission", "a.mis", "--platform=sim"}, "sim|a.mis|"},
        {{"--platform"}, "--platform needs a value"},
        {{"--mission="}, "--mission needs a value"},
        {{"--mission", "a", "--mission", "b"}, "--mission is given more than once"},
        {{"--platformx"}, "sim||--platformx,"}};
    for (const auto& [arguments, expected] : cases) {
        const TStartOptions options = ParseStartOptions(arguments, "sim");
        std::string got = options.Platform + "|" + options.MissionFile + "|";
        for (const std::string& a : options.Remaining) got += a + ",";
        EXPECT_EQ(options.Error.empty() ? got : options.Error, expected);
    }
}

TEST(SimMissionTest, DemoMissionBecomesDromEdsModel) {
    const test::ScratchFolder dir;
    std::filesystem::create_directory(dir.Path() / "Missions");
    test::WriteDemoMission(dir.Path() / "Missions");
    // DromEd is handed lower-cased paths and finds the folder whatever its letter case.
    const sim::TSimMission mission = ReadSimMission(dir.Path() / "missions" / "demo.mis");

    EXPECT_EQ(mission.FileName, "demo.mis");
    ASSERT_EQ(mission.Brushes.size(), 24u);
    std::map<std::int32_t, sim::TSimBrush> byId;
    for (const sim::TSimBrush& b : mission.Brushes) byId[b.BrushId] = b;
    // Brush IDs are the mission's own (27 was deleted); names go without the " (ID)" DromEd draws.
    std::string shown;
    for (const std::int32_t id : {1, 5, 8, 9, 20, 25, 26, 28, 34}) {
        const sim::TSimBrush& b = byId[id];
        shown += std::to_string(b.BrushId) + " " + std::to_string(int(b.Kind)) + " " +
                 std::to_string(b.ObjId) + " " + b.Name + ";";
    }
    // Kinds: 1 terrain, 2 light, 4 object, 5 flow, 6 room.
    EXPECT_EQ(shown, "1 1 0 ;5 2 0 ;8 5 0 ;9 6 15 Courtyard;20 4 1 GateGuard;25 4 6 A Coin;"
                     "26 4 7 An Emerald;28 4 8 BaronPortrait;34 4 14 OldLantern;");
    EXPECT_EQ(byId.count(27), 0u);

    // Objects without a brush that links reach (here the archetypes) can still be linked.
    const std::vector<std::int32_t>& extra = mission.ExtraObjects;
    EXPECT_NE(std::find(extra.begin(), extra.end(), -5), extra.end());
    EXPECT_EQ(std::find(extra.begin(), extra.end(), 1), extra.end());
}

TEST(SimMissionTest, NamesLoseOnlyTheirOwnId) {
    EXPECT_EQ(BareObjectName("GateGuard (1)", 1) + "|" + BareObjectName("GateGuard (1)", 11) + "|" +
                  BareObjectName("Guard (12) (12)", 12) + "|" + BareObjectName("", 3) + "|",
              "GateGuard|GateGuard (1)|Guard (12)||");
}

} // namespace
} // namespace kv
