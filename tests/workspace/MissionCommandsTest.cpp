// What the mission commands work out before reading: DromEd's folder from the settings, the
// gamesys folder of the loot list, and whether the chosen file is DromEd's own mission.
#include "workspace/MissionCommands.h"

#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

struct TFolderCase {
    const char* Setting;
    const char* Folder; // generic form
};

class DromEdProgramFolderTest : public ::testing::TestWithParam<TFolderCase> {};

TEST_P(DromEdProgramFolderTest, IsTheFolderOfTheProgram) {
    EXPECT_EQ(DromEdProgramFolder(GetParam().Setting).generic_string(), GetParam().Folder);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DromEdProgramFolderTest,
    ::testing::Values(TFolderCase{R"(C:\Thief\DromEd.exe)", "C:/Thief/"},
                      TFolderCase{R"("C:\Thief Gold\DromEd.exe")", "C:/Thief Gold/"},
                      TFolderCase{R"("C:\Thief Gold\DromEd.exe" -edit "x\y")", "C:/Thief Gold/"},
                      TFolderCase{R"("C:\Open\DromEd.exe)", "C:/Open/"},
                      TFolderCase{"/opt/thief/dromed", "/opt/thief/"},
                      TFolderCase{R"(C:\Thief/tools\dromed.exe)", "C:/Thief/tools/"},
                      TFolderCase{"dromed.exe", ""}, TFolderCase{R"("dromed.exe")", ""},
                      TFolderCase{"\"", ""}, TFolderCase{"", ""}));

TEST(LootGamesysDirTest, IsDromEdsFolderElseTheMissionsFolder) {
    const std::filesystem::path mission = "/missions/castle/miss20.mis";
    EXPECT_EQ(LootGamesysDir(R"("C:\Thief\DromEd.exe")", mission).generic_string(), "C:/Thief/");
    EXPECT_EQ(LootGamesysDir("", mission).generic_string(), "/missions/castle");
    EXPECT_EQ(LootGamesysDir("dromed.exe", mission).generic_string(), "/missions/castle");
}

struct TSameCase {
    const char* Shown; // by DromEd, Windows-1252
    const char* Chosen;
    bool Same;
};

class IsDromEdMissionTest : public ::testing::TestWithParam<TSameCase> {};

TEST_P(IsDromEdMissionTest, ComparesTheFileNameIgnoringCase) {
    EXPECT_EQ(IsDromEdMission(GetParam().Shown, TextToPath(GetParam().Chosen)), GetParam().Same);
}

INSTANTIATE_TEST_SUITE_P(Names, IsDromEdMissionTest,
                         ::testing::Values(TSameCase{"miss1.mis", "/m/miss1.mis", true},
                                           TSameCase{"MISS1.MIS", "/m/Miss1.mis", true},
                                           TSameCase{"CAF\xC9.MIS", "/m/caf\xE9.mis", true},
                                           TSameCase{"miss1.mis", "/m/miss2.mis", false},
                                           TSameCase{"miss1", "/m/miss1.mis", false},
                                           TSameCase{"m/miss1.mis", "/m/miss1.mis", false},
                                           TSameCase{"", "/m/miss1.mis", false},
                                           TSameCase{"", "", false}));

} // namespace
} // namespace kv
