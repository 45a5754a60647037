// Docking beside DromEd, hotkey names and DromEd's start folder; what the mission commands work
// out before reading: the gamesys folder of the loot list, and whether the chosen file is
// DromEd's own mission.
#include "workspace/Docking.h"
#include "workspace/DromEdLaunch.h"
#include "workspace/Hotkeys.h"
#include "workspace/MissionCommands.h"

#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kv {
namespace {

struct TDockCase {
    const char* Name;
    int Dock;
    TRect DromEd;
    TRect Work;
    TRect Pushed;                    // DromEd after the push
    std::optional<TRect> Main;       // the main window beside DromEd where it stands
    std::optional<TRect> MainPushed; // the main window beside the pushed DromEd
};

const TRect kWork{0, 0, 1280, 1024};

// clang-format off
const TDockCase kDockCases[] = {
    {"right", dsRight, {100, 50, 900, 700}, kWork, {0, 50, 800, 700},
     TRect{900, 50, 1280, 700}, TRect{800, 50, 1280, 700}},
    {"full screen", dsRight, {0, 0, 1280, 1024}, kWork, {0, 0, 1280, 1024}, {}, {}},
    {"twenty short", dsRight, {0, 0, 1260, 1024}, kWork, {0, 0, 1260, 1024},
     TRect{1260, 0, 1310, 1024}, TRect{1260, 0, 1310, 1024}},
    {"right of a window off the left", dsRight, {-500, 0, -10, 600}, kWork, {-500, 0, -10, 600},
     TRect{0, 0, 1280, 600}, TRect{0, 0, 1280, 600}},
    {"left", dsLeft, {300, 100, 1000, 800}, kWork, {580, 100, 1280, 800},
     TRect{0, 100, 300, 800}, TRect{0, 100, 580, 800}},
    {"top", dsTop, {100, 200, 900, 800}, kWork, {100, 424, 900, 1024},
     TRect{100, 0, 900, 200}, TRect{100, 0, 900, 424}},
    {"top, little room", dsTop, {100, 20, 900, 800}, kWork, {100, 244, 900, 1024},
     TRect{100, 0, 900, 50}, TRect{100, 0, 900, 244}},
    {"bottom", dsBottom, {100, 200, 900, 800}, kWork, {100, 0, 900, 600},
     TRect{100, 800, 900, 1024}, TRect{100, 600, 900, 1024}},
    {"bottom of a window above the top", dsBottom, {0, -300, 800, -100}, kWork,
     {0, -300, 800, -100}, TRect{0, 0, 800, 1024}, TRect{0, 0, 800, 1024}},
    {"work area off the origin", dsRight, {200, 40, 900, 700}, {100, 30, 1380, 1054},
     {100, 40, 800, 700}, TRect{900, 40, 1280, 700}, TRect{800, 40, 1280, 700}},
    {"undocked", dsNone, {100, 50, 900, 700}, kWork, {100, 50, 900, 700}, {}, {}},
};
// clang-format on

TEST(DockingTest, PushAndMainRectangle) {
    for (const TDockCase& c : kDockCases) {
        SCOPED_TRACE(c.Name);
        const TRect pushed = PushedDromEdRect(c.Dock, c.DromEd, c.Work);
        EXPECT_EQ(pushed, c.Pushed);
        EXPECT_EQ(DockedMainRect(c.Dock, c.DromEd, c.Work), c.Main);
        EXPECT_EQ(DockedMainRect(c.Dock, pushed, c.Work), c.MainPushed);
    }
}

TEST(HotkeysTest, TextAndModifiers) {
    struct TCase {
        std::uint16_t Shortcut;
        const char* Text;
        std::uint32_t Modifiers;
    };
    const TCase cases[] = {
        {0x8070, "Alt+F1", win::MOD_ALT},
        {0x4087, "Ctrl+F24", win::MOD_CONTROL},
        {0xE020, "Shift+Ctrl+Alt+Space", win::MOD_SHIFT | win::MOD_CONTROL | win::MOD_ALT},
        {0x2065, "Shift+Num 5", win::MOD_SHIFT},
        {0x80DB, "Alt+[", win::MOD_ALT},
        {0x80E2, "Alt+Key 0xE2", win::MOD_ALT},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ShortcutText(c.Shortcut), c.Text);
        EXPECT_EQ(ShortcutModifiers(c.Shortcut), c.Modifiers);
    }
    EXPECT_EQ(ShortcutKey(0x8070), 0x70);
}

TEST(DromEdLaunchTest, StartDirectory) {
    const std::pair<const char*, const char*> cases[] = {
        {R"("C:\Program Files\Thief 2\DromEd.exe" -edit)", R"(C:\Program Files\Thief 2\)"},
        {R"(D:DromEd.exe)", "D:"},
        {"DromEd.exe", ""},
        {"", ""},
    };
    for (const auto& [command, folder] : cases) {
        EXPECT_EQ(DromEdStartDirectory(command), folder) << command;
    }
}

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
