// Finding DromEd, bringing it to the front, closing its dialogs and typing commands, end to end
// on the simulated desktop.
#include "dromed/DromEdWindow.h"
#include "support/SimDromEdFixture.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using sim::TSimEventKind;
using test::TSimDromEdFixture;

TEST(FindDromEdWindowTest, NotRunningRaisesNotFound) {
    sim::TSimDesktop desktop;
    try {
        (void)FindDromEdWindow(desktop);
        FAIL() << "no exception";
    } catch (const EDromEdNotFound& e) {
        EXPECT_STREQ(e.what(), "DromEd window not found");
        EXPECT_STREQ(e.ClassName(), "EDromEdNotFound");
    }
    EXPECT_FALSE(BringDromEdToFront(desktop));
    EXPECT_THROW(SendDromEdCommand(desktop, "edit_obj 1"), EDromEdNotFound);
}

TEST(FindDromEdWindowTest, TitleMustNameDromEdInAnyCaseAndTheWindowStandUnminimised) {
    const std::pair<const char*, bool> titles[] = {{"dromed - miss1.mis", true},
                                                   {"Thief 2 DROMED editor", true},
                                                   {"Thief 2", false},
                                                   {"Drom Ed", false}};
    for (const auto& [title, found] : titles) {
        TSimDromEdFixture f;
        f.DromEd->SetTitle(title);
        if (found) {
            EXPECT_EQ(FindDromEdWindow(f.Desktop), f.DromEd->MainWindow()) << title;
        } else {
            EXPECT_THROW((void)FindDromEdWindow(f.Desktop), EDromEdNotFound) << title;
        }
    }
    TSimDromEdFixture f;
    f.DromEd->Minimise();
    EXPECT_THROW((void)FindDromEdWindow(f.Desktop), EDromEdNotFound);
    EXPECT_FALSE(BringDromEdToFront(f.Desktop));
    f.DromEd->Restore();
    EXPECT_EQ(FindDromEdWindow(f.Desktop), f.DromEd->MainWindow());
    // Only the first window of the class is examined: the game itself uses the same class.
    f.Desktop.CreateSimWindow(
        {.ClassName = kDromEdClass, .Title = "Thief 2", .Rect = {0, 0, 640, 480}});
    EXPECT_THROW((void)FindDromEdWindow(f.Desktop), EDromEdNotFound);
}

TEST(ActivateWindowTest, SendsHotkeyAndRestoreThenComesToFront) {
    TSimDromEdFixture f;
    const THwnd dromEd = f.DromEd->MainWindow();
    EXPECT_TRUE(BringDromEdToFront(f.Desktop));
    EXPECT_EQ(f.Desktop.GetForegroundWindow(), dromEd);
    const auto messages = f.Events(TSimEventKind::Message);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].Msg, win::WM_SYSCOMMAND);
    EXPECT_EQ(messages[0].WParam, win::SC_HOTKEY);
    EXPECT_EQ(messages[0].LParam, static_cast<std::intptr_t>(dromEd));
    EXPECT_EQ(messages[1].WParam, win::SC_RESTORE);

    f.Desktop.SetForegroundWindow(f.Own);
    f.DromEd->SetRefuseForeground(true);
    EXPECT_FALSE(BringDromEdToFront(f.Desktop));
    EXPECT_EQ(f.Desktop.GetForegroundWindow(), f.Own);
    // A refused foreground types nothing.
    f.Desktop.ClearEvents();
    EXPECT_FALSE(SendDromEdCommand(f.Desktop, "edit_obj 12"));
    EXPECT_TRUE(f.Events(TSimEventKind::Key).empty());
    EXPECT_TRUE(f.DromEd->Commands().empty());
}

TEST(DromEdCommandPiecesTest, PiecesOfTwentyWithEscapesKeptWhole) {
    EXPECT_EQ(DromEdCommandPieces(""), std::vector<std::string>{});
    EXPECT_EQ(DromEdCommandPieces("edit_obj 12"), std::vector<std::string>{"edit_obj 12"});
    const std::string text45(45, 'x');
    EXPECT_EQ(DromEdCommandPieces(text45),
              (std::vector<std::string>{std::string(20, 'x'), std::string(20, 'x'), "xxxxx"}));
    // 19 ordinary characters and an escaped one make a piece of 22.
    EXPECT_EQ(DromEdCommandPieces(std::string(19, 'a') + "+b"),
              (std::vector<std::string>{std::string(19, 'a') + "{+}", "b"}));
    EXPECT_EQ(DromEdCommandPieces("%()+^{}~"),
              (std::vector<std::string>{"{%}{(}{)}{+}{^}{{}{}}", "{~}"}));
}

TEST(SendDromEdCommandTest, CommandsArriveWholeInPiecesOfTwentyEachFollowedBy100ms) {
    // Key-script characters arrive as themselves; the empty command sleeps after no piece.
    const std::pair<std::string, std::vector<std::uint32_t>> cases[] = {
        {"edit_obj 12", {100}},
        {"say a+b {c} 50% ~x^2 (ok)", {100, 100}},
        {"link_objs 1000 2000 " + std::string(25, 'z'), {100, 100, 100}}, // 45 characters
        {"", {}},
    };
    for (const auto& [command, sleeps] : cases) {
        TSimDromEdFixture f;
        ASSERT_TRUE(SendDromEdCommand(f.Desktop, command));
        // The simulated DromEd takes a command only after Escape and ":", ended by Enter.
        EXPECT_EQ(f.DromEd->Commands(), std::vector<std::string>{command});
        EXPECT_EQ(f.Sleeps(), sleeps) << command;
        EXPECT_EQ(f.Desktop.GetForegroundWindow(), f.DromEd->MainWindow()); // stays in front
        if (sleeps.size() < 3) continue;
        // No key of a later piece is sent before the 100 ms after the previous one have passed.
        const auto pauses = f.Events(TSimEventKind::Sleep);
        const auto keys = f.Events(TSimEventKind::Key);
        std::size_t keysBeforeFirstSleep = 0;
        for (const auto& k : keys) keysBeforeFirstSleep += k.Time <= pauses[0].Time ? 1 : 0;
        EXPECT_LT(keysBeforeFirstSleep, keys.size());
        EXPECT_EQ(keys.back().Time, pauses[2].Time + 100);
    }
}

TEST(CloseDromEdPopupsTest, StubbornDialogGivesUpAfterFiveRetries) {
    TSimDromEdFixture f;
    f.DromEd->SetStubbornDialogs(true);
    const THwnd dialog = f.DromEd->OpenDialog("Properties of 12");
    const auto start = f.Desktop.Now();
    EXPECT_FALSE(SendDromEdCommand(f.Desktop, "edit_obj 12"));
    EXPECT_EQ(f.Sleeps(), (std::vector<std::uint32_t>{10, 100, 100, 100, 100, 100}));
    EXPECT_EQ(f.Desktop.Now() - start, 510u);
    EXPECT_TRUE(f.Desktop.IsWindow(dialog));
    EXPECT_TRUE(f.Events(TSimEventKind::Key).empty());
}

TEST(CloseDromEdPopupsTest, NestedDialogClosesBeforeItsOwner) {
    TSimDromEdFixture f;
    const THwnd outer = f.DromEd->OpenDialog("Links of 12");
    const THwnd inner = f.DromEd->OpenDialog("Edit link", outer);
    const THwnd second = f.DromEd->OpenDialog("Properties of 3");
    ASSERT_TRUE(SendDromEdCommand(f.Desktop, "edit_obj 12"));
    std::vector<THwnd> closed;
    for (const auto& m : f.Events(TSimEventKind::Message)) {
        if (m.Msg == win::WM_CLOSE) closed.push_back(m.Window);
    }
    ASSERT_EQ(closed.size(), 3u);
    const auto at = [&](THwnd w) { return std::find(closed.begin(), closed.end(), w); };
    EXPECT_LT(at(inner), at(outer));
    EXPECT_NE(at(second), closed.end());
    EXPECT_EQ(f.DromEd->Dialogs().size(), 1u); // the new property editor

    // A stubborn nested dialog keeps its owner open.
    const THwnd owner = f.DromEd->OpenDialog("Links of 12");
    f.DromEd->SetStubbornDialogs(true);
    f.DromEd->OpenDialog("Edit link", owner);
    EXPECT_FALSE(CloseDromEdPopups(f.Desktop));
    EXPECT_TRUE(f.Desktop.IsWindow(owner));
}

TEST(CloseDromEdPopupsTest, WindowsOfOtherThreadsOrWithoutDialogStyleAreLeftAlone) {
    TSimDromEdFixture f;
    // No popup, border or system menu.
    const THwnd plain = f.Desktop.CreateSimWindow({.ClassName = "ToolWindow",
                                                   .Rect = {0, 0, 10, 10},
                                                   .Owner = f.DromEd->MainWindow(),
                                                   .ThreadId = 77,
                                                   .Style = win::WS_VISIBLE});
    EXPECT_TRUE(CloseDromEdPopups(f.Desktop));
    EXPECT_TRUE(f.Desktop.IsWindow(plain));
}

} // namespace
} // namespace kv
