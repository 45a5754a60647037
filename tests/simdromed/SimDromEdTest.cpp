// The simulated DromEd: its window, the command line, what its commands answer on the status
// bar and its dialogs. What it draws is read back end to end in tests/dromed.
#include "simdromed/SimDromEd.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv::sim {
namespace {

TSimMission SampleMission() {
    TSimMission mission;
    mission.FileName = "c:/missions/sample.mis";
    mission.Brushes = {
        {40, bkLight, 0, ""},        {3, bkTerrain, 0, ""},   {12, bkRoom, 20, "Hall"},
        {7, bkObject, 345, "Guard"}, {15, bkArea, 0, "Yard"}, {41, bkFlow, 0, ""},
    };
    mission.ExtraObjects = {-5};
    return mission;
}

// Keys as DromEd's window receives them: "\x1B" Escape, "\r" Enter, "\b" Backspace, "\x10"
// Shift; anything else the key that types it.
void Keys(TSimDesktop& desktop, const TSimDromEd& dromed, std::string_view keys) {
    TSimWindow& main = *desktop.Window(dromed.MainWindow());
    for (const char ch : keys) {
        auto vk = static_cast<std::uint8_t>(desktop.VkKeyScan(ch) & 0xFF);
        if (ch == '\x1B') vk = win::VK_ESCAPE;
        if (ch == '\r') vk = win::VK_RETURN;
        if (ch == '\b') vk = win::VK_BACK;
        if (ch == '\x10') vk = win::VK_SHIFT;
        main.OnKey({vk, true, ch == '\x10' ? '\0' : ch});
        main.OnKey({vk, false, 0});
    }
}

class SimDromEdTest : public ::testing::Test {
protected:
    SimDromEdTest() { dromed_.SetMission(SampleMission()); }

    // Escape, ":", the text and Enter, as the program types a command.
    void Run(std::string_view command) {
        Keys(desktop_, dromed_, "\x1B:" + std::string(command) + "\r");
    }
    [[nodiscard]] std::int32_t SelectedId() const {
        return dromed_.Selected() != nullptr ? dromed_.Selected()->BrushId : 0;
    }

    TSimDesktop desktop_;
    TSimDromEd dromed_{desktop_};
};

TEST(SimDromEdWindow, OptionsResizeAndGoingAway) {
    TSimDesktop desktop;
    THwnd dialog = 0;
    {
        TSimDromEd dromed(desktop, {.ClientWidth = 800,
                                    .ClientHeight = 600,
                                    .Left = 10,
                                    .Top = 20,
                                    .Title = "DromEd - test.mis",
                                    .ThreadId = 9});
        const THwnd main = dromed.MainWindow();
        dromed.SetClientSize(640, 480);
        TRect client;
        ASSERT_TRUE(desktop.GetClientRect(main, client));
        EXPECT_EQ(desktop.GetWindowText(main, 512) + " " + std::to_string(client.Width()) + "x" +
                      std::to_string(client.Height()) + " thread " +
                      std::to_string(desktop.GetWindowThreadProcessId(main)),
                  "DromEd - test.mis 640x480 thread 9");
        dialog = dromed.OpenDialog("Properties of 1");
    }
    EXPECT_EQ(desktop.FindWindow(kDromEdWindowClass), THwnd{0});
    EXPECT_FALSE(desktop.IsWindow(dialog));
}

TEST_F(SimDromEdTest, CommandLineOpensOnlyRightAfterEscapeAndEditsItsText) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {":cam_level\r", {}},                                // no Escape
        {"\x1Bx:cam_level\r", {}},                           // another key between
        {"\x1B\x10:cam_levelx\b\r", {"cam_level"}},          // Shift for the colon; Backspace
        {"\x1B:cam_level\x1B:cam_unroll\r", {"cam_unroll"}}, // Escape cancels and starts anew
    };
    for (const auto& [keys, commands] : cases) {
        TSimDesktop desktop;
        TSimDromEd dromed(desktop);
        Keys(desktop, dromed, keys);
        EXPECT_EQ(dromed.Commands(), commands) << keys;
        EXPECT_FALSE(dromed.CommandLineOpen()) << keys;
    }
    Keys(desktop_, dromed_, "\x1B:");
    EXPECT_TRUE(dromed_.CommandLineOpen());
}

TEST_F(SimDromEdTest, CommandsAnswerOnTheStatusBar) {
    struct TCase {
        const char* Command;
        const char* Status;
        std::int32_t Selected;
    };
    const TCase cases[] = {
        {"cam_to_brush", "No brush selected", 0},
        {"brush_select 12", "Brush 12 selected", 12},
        {"brush_select 13", "No brush with ID 13", 12},
        {"obj_brush_select 345", "Brush 7 selected", 7},
        {"obj_brush_select 20", "Brush 12 selected", 12},
        {"obj_brush_select -5", "No brush for object -5", 12},
        {"link_objs 345 -5 ControlDevice", "Linked", 12},
        {"link_objs 345 999 ControlDevice", "Link failed", 12},
        {"link_objs 345 20", "Link failed", 12},
        {"frobnicate 3", "Unknown command: frobnicate 3", 12},
    };
    for (const TCase& c : cases) {
        Run(c.Command);
        EXPECT_EQ(dromed_.StatusMessage(), c.Status) << c.Command;
        EXPECT_EQ(SelectedId(), c.Selected) << c.Command;
    }
    EXPECT_EQ(dromed_.Commands().size(), std::size(cases));
    EXPECT_EQ(dromed_.Mission().Links, (std::vector<TSimLink>{{345, -5, "ControlDevice"}}));
}

TEST_F(SimDromEdTest, CompressRenumbersWithoutGapsInTheOldOrder) {
    dromed_.Select(12);
    Run("compress_br_ids");
    EXPECT_EQ(dromed_.StatusMessage(), "Brush IDs compressed");
    std::vector<std::int32_t> numbers;
    for (const TSimBrush& brush : dromed_.Mission().Brushes) numbers.push_back(brush.BrushId);
    EXPECT_EQ(numbers, (std::vector<std::int32_t>{5, 1, 3, 2, 4, 6}));
    EXPECT_EQ(dromed_.Selected()->Name, "Hall");
    EXPECT_EQ(SelectedId(), 3);
}

TEST_F(SimDromEdTest, LoadFileGoesThroughTheLoader) {
    dromed_.Select(7);
    Run("load_file \"c:/missions/other.mis\""); // no loader: an empty mission of that name
    EXPECT_EQ(dromed_.StatusMessage() + " " + dromed_.Mission().FileName,
              "Loaded c:/missions/other.mis");
    EXPECT_TRUE(dromed_.Mission().Brushes.empty() && dromed_.Selected() == nullptr);
    // A failed load keeps the mission that was there.
    dromed_.SetMission(SampleMission());
    std::string seen;
    dromed_.MissionLoader = [&seen](const std::string& path, TSimMission&) {
        seen = path;
        return false;
    };
    Run("load_file \"c:/missions/my miss.mis\"");
    EXPECT_EQ(dromed_.StatusMessage(), "Could not load c:/missions/my miss.mis");
    EXPECT_EQ(seen + " " + dromed_.Mission().FileName,
              "c:/missions/my miss.mis c:/missions/sample.mis");
    EXPECT_EQ(dromed_.Mission().Brushes.size(), 6u);
}

TEST_F(SimDromEdTest, EditorsOpenOwnedPopupsThatCloseOnWmClose) {
    // Title, owner, thread and popup style of each editor, one line each.
    std::string seen;
    for (const char* command :
         {"edit_obj 345", "edit_links -5,0,0", "ar_list_sources 20", "ar_list_receptrons 7"}) {
        Run(command);
        ASSERT_EQ(dromed_.Dialogs().size(), 1u) << command;
        const THwnd dialog = dromed_.Dialogs()[0];
        std::uint32_t style = 0;
        ASSERT_TRUE(desktop_.GetWindowStyle(dialog, style));
        seen += desktop_.GetWindowText(dialog, 512) +
                (desktop_.GetParent(dialog) == dromed_.MainWindow() ? " owned " : " free ") +
                std::to_string(desktop_.GetWindowThreadProcessId(dialog)) +
                ((style & win::WS_POPUP) != 0 ? " popup\n" : "\n");
        desktop_.SendMessage(dialog, win::WM_CLOSE, 0, 0);
        EXPECT_FALSE(desktop_.IsWindow(dialog));
    }
    EXPECT_EQ(seen, "Properties of 345 owned 77 popup\nLinks of -5 owned 77 popup\n"
                    "Sources of 20 owned 77 popup\nReceptrons of 7 owned 77 popup\n");

    // A stubborn dialog stays; one owned by a dialog goes with its owner.
    const THwnd outer = dromed_.OpenDialog("Properties of 1");
    const THwnd inner = dromed_.OpenDialog("Links of 1", outer);
    dromed_.SetStubbornDialogs(true);
    const THwnd stubborn = dromed_.OpenDialog("Links of 2");
    EXPECT_EQ(dromed_.Dialogs(), (std::vector<THwnd>{outer, inner, stubborn}));
    desktop_.SendMessage(outer, win::WM_CLOSE, 0, 0);
    desktop_.SendMessage(stubborn, win::WM_CLOSE, 0, 0);
    EXPECT_FALSE(desktop_.IsWindow(inner));
    EXPECT_EQ(dromed_.Dialogs(), std::vector<THwnd>{stubborn});
}

} // namespace
} // namespace kv::sim
