// What the mission commands work out before reading: DromEd's folder from the settings, the
// gamesys folder of the loot list, and whether the chosen file is DromEd's own mission.
#include "workspace/MissionCommands.h"

#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

TEST(MissionCommandsTest, DromEdFolderFromTheSettingElseTheMissionsFolder) {
    const std::filesystem::path mission = "/missions/castle/miss20.mis";
    const std::pair<const char*, const char*> cases[] = {
        {R"("C:\Thief Gold\DromEd.exe" -edit "x\y")", "C:/Thief Gold/"},
        {R"("C:\Open\DromEd.exe)", "C:/Open/"},
        {R"(C:\Thief/tools\dromed.exe)", "C:/Thief/tools/"},
        {R"("dromed.exe")", "/missions/castle"},
        {"\"", "/missions/castle"},
        {"", "/missions/castle"},
    };
    for (const auto& [setting, folder] : cases) {
        EXPECT_EQ(LootGamesysDir(setting, mission).generic_string(), folder) << setting;
    }
}

TEST(MissionCommandsTest, DromEdsMissionByFileNameIgnoringCase) {
    const struct {
        const char* Shown; // by DromEd, Windows-1252
        const char* Chosen;
        bool Same;
    } cases[] = {{"CAF\xC9.MIS", "/m/caf\xE9.mis", true},
                 {"miss1", "/m/miss1.mis", false},
                 {"m/miss1.mis", "/m/miss1.mis", false},
                 {"", "", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsDromEdMission(c.Shown, TextToPath(c.Chosen)), c.Same) << c.Shown;
    }
}

} // namespace
} // namespace kv
