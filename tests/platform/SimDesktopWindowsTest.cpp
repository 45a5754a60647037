// Tests of the simulated desktop's windows, messages, foreground, clock, hotkeys, processes and
// user feedback.
#include "platform/sim/SimDesktop.h"

#include "platform/SimDesktopTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kv::sim {
namespace {

using namespace kv::win;
using kv::test::FramedDesc;
using kv::test::WindowDesc;

// ---------------------------------------------------------------------------------------------
// Windows

TEST(SimDesktopWindows, NewWindowsStackOnTopAndForegroundBringsToFront) {
    TSimDesktop desktop;
    const THwnd a = desktop.CreateSimWindow(WindowDesc("A", "a", {0, 0, 100, 100}));
    const THwnd b = desktop.CreateSimWindow(WindowDesc("B", "b", {0, 0, 100, 100}));
    const THwnd c = desktop.CreateSimWindow(WindowDesc("C", "c", {0, 0, 100, 100}));
    EXPECT_NE(a, b);
    EXPECT_NE(b, c);
    EXPECT_EQ(desktop.ZOrder(), (std::vector<THwnd>{c, b, a}));
    EXPECT_EQ(desktop.GetForegroundWindow(), 0u);

    desktop.Sleep(7);
    ASSERT_TRUE(desktop.SetForegroundWindow(a));
    EXPECT_EQ(desktop.ZOrder(), (std::vector<THwnd>{a, c, b}));
    EXPECT_EQ(desktop.GetForegroundWindow(), a);
    const auto fg = desktop.EventsOf(TSimEventKind::Foreground);
    ASSERT_EQ(fg.size(), 1u);
    EXPECT_EQ(fg[0].Window, a);
    EXPECT_EQ(fg[0].Time, 7u);

    ASSERT_TRUE(desktop.SetForegroundWindow(b));
    EXPECT_EQ(desktop.ZOrder(), (std::vector<THwnd>{b, a, c}));
    EXPECT_EQ(desktop.GetForegroundWindow(), b);
}

TEST(SimDesktopWindows, RefusedOrMissingWindowDoesNotComeToFront) {
    TSimDesktop desktop;
    const THwnd a = desktop.CreateSimWindow(WindowDesc("A", "a", {0, 0, 10, 10}));
    const THwnd b = desktop.CreateSimWindow(WindowDesc("B", "b", {0, 0, 10, 10}));
    ASSERT_TRUE(desktop.SetForegroundWindow(b));
    desktop.Window(a)->RefuseForeground = true;
    desktop.ClearEvents();

    EXPECT_FALSE(desktop.SetForegroundWindow(a));
    EXPECT_FALSE(desktop.SetForegroundWindow(0));
    EXPECT_FALSE(desktop.SetForegroundWindow(0xDEAD));
    EXPECT_EQ(desktop.GetForegroundWindow(), b);
    EXPECT_EQ(desktop.ZOrder(), (std::vector<THwnd>{b, a}));
    EXPECT_TRUE(desktop.EventsOf(TSimEventKind::Foreground).empty());
}

TEST(SimDesktopWindows, DestroyingAWindowDestroysWhatItOwns) {
    TSimDesktop desktop;
    const THwnd main = desktop.CreateSimWindow(WindowDesc("Main", "main", {0, 0, 10, 10}));
    const THwnd dialog = desktop.CreateSimWindow(WindowDesc("Dlg", "dialog", {0, 0, 5, 5}, main));
    const THwnd nested = desktop.CreateSimWindow(WindowDesc("Dlg", "nested", {0, 0, 5, 5}, dialog));
    const THwnd other = desktop.CreateSimWindow(WindowDesc("Other", "other", {0, 0, 5, 5}));
    ASSERT_TRUE(desktop.SetForegroundWindow(nested));

    desktop.DestroySimWindow(main);
    EXPECT_FALSE(desktop.IsWindow(main));
    EXPECT_FALSE(desktop.IsWindow(dialog));
    EXPECT_FALSE(desktop.IsWindow(nested));
    EXPECT_TRUE(desktop.IsWindow(other));
    EXPECT_EQ(desktop.ZOrder(), (std::vector<THwnd>{other}));
    EXPECT_EQ(desktop.GetForegroundWindow(), 0u);
    EXPECT_EQ(desktop.Window(dialog), nullptr);

    desktop.DestroySimWindow(main); // a second time changes nothing
    EXPECT_EQ(desktop.ZOrder(), (std::vector<THwnd>{other}));
}

TEST(SimDesktopWindows, CloseMessageDestroysUnlessTheWindowAnswers) {
    TSimDesktop desktop;
    const THwnd plain = desktop.CreateSimWindow(WindowDesc("Dlg", "plain", {0, 0, 5, 5}));
    const THwnd stubborn = desktop.CreateSimWindow(WindowDesc("Dlg", "stubborn", {0, 0, 5, 5}));
    const THwnd deferring = desktop.CreateSimWindow(WindowDesc("Dlg", "deferring", {0, 0, 5, 5}));
    const THwnd self = desktop.CreateSimWindow(WindowDesc("Dlg", "self", {0, 0, 5, 5}));
    desktop.Window(stubborn)->OnMessage = [](std::uint32_t msg, std::uintptr_t,
                                             std::intptr_t) -> std::optional<std::intptr_t> {
        if (msg == WM_CLOSE) return 0;
        return std::nullopt;
    };
    int seen = 0;
    desktop.Window(deferring)->OnMessage = [&seen](std::uint32_t, std::uintptr_t, std::intptr_t) {
        ++seen;
        return std::optional<std::intptr_t>{};
    };
    // A window that destroys itself while it handles the message.
    desktop.Window(self)->OnMessage = [&desktop, self](std::uint32_t msg, std::uintptr_t,
                                                       std::intptr_t) {
        if (msg == WM_CLOSE) desktop.DestroySimWindow(self);
        return std::optional<std::intptr_t>{};
    };
    desktop.Sleep(3);

    EXPECT_EQ(desktop.SendMessage(plain, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(desktop.SendMessage(stubborn, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(desktop.SendMessage(deferring, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(desktop.SendMessage(self, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(desktop.IsWindow(plain));
    EXPECT_TRUE(desktop.IsWindow(stubborn));
    EXPECT_FALSE(desktop.IsWindow(deferring));
    EXPECT_FALSE(desktop.IsWindow(self));
    EXPECT_EQ(seen, 1);

    const auto messages = desktop.EventsOf(TSimEventKind::Message);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1].Window, stubborn);
    EXPECT_EQ(messages[1].Msg, WM_CLOSE);
    EXPECT_EQ(messages[1].Time, 3u);
}

TEST(SimDesktopWindows, MessagesCarryTheirParametersAndTheAnswer) {
    TSimDesktop desktop;
    const THwnd w = desktop.CreateSimWindow(WindowDesc("W", "w", {0, 0, 5, 5}));
    std::vector<std::uint32_t> got;
    desktop.Window(w)->OnMessage = [&got](std::uint32_t msg, std::uintptr_t wp,
                                          std::intptr_t lp) -> std::optional<std::intptr_t> {
        got.push_back(msg);
        return static_cast<std::intptr_t>(wp) + lp;
    };
    EXPECT_EQ(desktop.SendMessage(w, 0x0400, 40, 2), 42);
    EXPECT_EQ(got, (std::vector<std::uint32_t>{0x0400}));
    EXPECT_EQ(desktop.SendMessage(0xBAD, WM_CLOSE, 0, 0), 0);
    const auto messages = desktop.EventsOf(TSimEventKind::Message);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].WParam, 40u);
    EXPECT_EQ(messages[0].LParam, 2);
    EXPECT_EQ(messages[1].Window, 0xBADu);
}

TEST(SimDesktopWindows, MinimiseMovesFarAwayAndRestoreMessageBringsItBack) {
    TSimDesktop desktop;
    const TRect rect{100, 50, 900, 700};
    const THwnd w = desktop.CreateSimWindow(FramedDesc(rect));
    desktop.Minimise(w);
    TRect r;
    ASSERT_TRUE(desktop.GetWindowRect(w, r));
    EXPECT_EQ(r, (TRect{-32000, -32000, -31840, -31972}));
    EXPECT_TRUE(desktop.Window(w)->Minimised);

    desktop.Minimise(w); // twice keeps the place to go back to
    desktop.SendMessage(w, WM_SYSCOMMAND, SC_HOTKEY, static_cast<std::intptr_t>(w));
    EXPECT_TRUE(desktop.Window(w)->Minimised);
    desktop.SendMessage(w, WM_SYSCOMMAND, SC_RESTORE, static_cast<std::intptr_t>(w));
    EXPECT_FALSE(desktop.Window(w)->Minimised);
    ASSERT_TRUE(desktop.GetWindowRect(w, r));
    EXPECT_EQ(r, rect);

    // The low four bits of a system command belong to Windows and do not change its meaning.
    desktop.Minimise(w);
    desktop.SendMessage(w, WM_SYSCOMMAND, SC_RESTORE | 0x2, 0);
    EXPECT_FALSE(desktop.Window(w)->Minimised);
}

TEST(SimDesktopWindows, FindWindowTakesTheFirstOfTheClassInZOrder) {
    TSimDesktop desktop;
    EXPECT_EQ(desktop.FindWindow("Shell"), 0u);
    const THwnd first = desktop.CreateSimWindow(WindowDesc("Shell", "one", {0, 0, 5, 5}));
    desktop.CreateSimWindow(WindowDesc("Other", "x", {0, 0, 5, 5}));
    const THwnd second = desktop.CreateSimWindow(WindowDesc("SHELL", "two", {0, 0, 5, 5}));
    EXPECT_EQ(desktop.FindWindow("shell"), second);
    ASSERT_TRUE(desktop.SetForegroundWindow(first));
    EXPECT_EQ(desktop.FindWindow("Shell"), first);
    EXPECT_EQ(desktop.FindWindow("Shel"), 0u);
    EXPECT_EQ(desktop.FindWindow("Shell2"), 0u);
}

TEST(SimDesktopWindows, EnumThreadWindowsGoesTopDownAndStopsWhenTold) {
    TSimDesktop desktop;
    const THwnd a = desktop.CreateSimWindow(WindowDesc("A", "a", {0, 0, 5, 5}, 0, 7));
    desktop.CreateSimWindow(WindowDesc("X", "x", {0, 0, 5, 5}, 0, 8));
    const THwnd b = desktop.CreateSimWindow(WindowDesc("B", "b", {0, 0, 5, 5}, 0, 7));
    const THwnd c = desktop.CreateSimWindow(WindowDesc("C", "c", {0, 0, 5, 5}, 0, 7));

    std::vector<THwnd> all;
    EXPECT_TRUE(desktop.EnumThreadWindows(7, [&all](THwnd h) {
        all.push_back(h);
        return true;
    }));
    EXPECT_EQ(all, (std::vector<THwnd>{c, b, a}));

    std::vector<THwnd> some;
    EXPECT_FALSE(desktop.EnumThreadWindows(7, [&some](THwnd h) {
        some.push_back(h);
        return some.size() < 2;
    }));
    EXPECT_EQ(some, (std::vector<THwnd>{c, b}));

    int calls = 0;
    EXPECT_FALSE(desktop.EnumThreadWindows(99, [&calls](THwnd) {
        ++calls;
        return true;
    }));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(desktop.GetWindowThreadProcessId(a), 7u);
    EXPECT_EQ(desktop.GetWindowThreadProcessId(0xBAD), 0u);
}

TEST(SimDesktopWindows, EnumThreadWindowsSkipsWindowsDestroyedOnTheWay) {
    TSimDesktop desktop;
    const THwnd a = desktop.CreateSimWindow(WindowDesc("A", "a", {0, 0, 5, 5}));
    const THwnd b = desktop.CreateSimWindow(WindowDesc("B", "b", {0, 0, 5, 5}));
    std::vector<THwnd> seen;
    EXPECT_TRUE(desktop.EnumThreadWindows(1, [&](THwnd h) {
        seen.push_back(h);
        desktop.SendMessage(a, WM_CLOSE, 0, 0);
        return true;
    }));
    EXPECT_EQ(seen, (std::vector<THwnd>{b}));
}

TEST(SimDesktopWindows, TextRectanglesOwnerAndStyle) {
    TSimDesktop desktop;
    TSimWindowSpec desc = FramedDesc({100, 50, 900, 700});
    desc.Title = "DromEd - level.mis";
    desc.Style = WS_POPUP | WS_VISIBLE;
    const THwnd owner = desktop.CreateSimWindow(WindowDesc("O", "o", {0, 0, 5, 5}));
    desc.Owner = owner;
    const THwnd w = desktop.CreateSimWindow(desc);

    EXPECT_EQ(desktop.GetWindowText(w, 512), "DromEd - level.mis");
    EXPECT_EQ(desktop.GetWindowText(w, 7), "DromEd");
    EXPECT_EQ(desktop.GetWindowText(w, 1), "");
    EXPECT_EQ(desktop.GetWindowText(w, 0), "");
    EXPECT_EQ(desktop.GetWindowText(0xBAD, 512), "");

    TRect r;
    ASSERT_TRUE(desktop.GetWindowRect(w, r));
    EXPECT_EQ(r, (TRect{100, 50, 900, 700}));
    EXPECT_FALSE(desktop.GetWindowRect(0xBAD, r));
    ASSERT_TRUE(desktop.GetClientRect(w, r));
    EXPECT_EQ(r, (TRect{0, 0, 792, 626}));
    EXPECT_FALSE(desktop.GetClientRect(0xBAD, r));

    TPoint p{10, 3};
    ASSERT_TRUE(desktop.ClientToScreen(w, p));
    EXPECT_EQ(p, (TPoint{114, 73}));
    EXPECT_FALSE(desktop.ClientToScreen(0xBAD, p));

    desktop.FailGetClientRect = true;
    desktop.FailClientToScreen = true;
    EXPECT_FALSE(desktop.GetClientRect(w, r));
    p = {};
    EXPECT_FALSE(desktop.ClientToScreen(w, p));

    EXPECT_EQ(desktop.GetParent(w), owner);
    EXPECT_EQ(desktop.GetParent(owner), 0u);
    EXPECT_EQ(desktop.GetParent(0xBAD), 0u);
    std::uint32_t style = 0;
    ASSERT_TRUE(desktop.GetWindowStyle(w, style));
    EXPECT_EQ(style, WS_POPUP | WS_VISIBLE);
    EXPECT_FALSE(desktop.GetWindowStyle(0xBAD, style));
}

TEST(SimDesktopWindows, MoveWindowAndWorkArea) {
    TSimDesktop desktop(1600, 1200);
    const THwnd w = desktop.CreateSimWindow(WindowDesc("W", "w", {0, 0, 50, 50}));
    desktop.Sleep(5);
    EXPECT_TRUE(desktop.MoveWindow(w, 10, 20, 300, 200, true));
    EXPECT_FALSE(desktop.MoveWindow(0xBAD, 0, 0, 1, 1, true));
    TRect r;
    ASSERT_TRUE(desktop.GetWindowRect(w, r));
    EXPECT_EQ(r, (TRect{10, 20, 310, 220}));
    const auto moves = desktop.EventsOf(TSimEventKind::Move);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].Window, w);
    EXPECT_EQ(moves[0].Rect, r);
    EXPECT_EQ(moves[0].Time, 5u);

    TRect area;
    ASSERT_TRUE(desktop.GetWorkArea(area));
    EXPECT_EQ(area, (TRect{0, 0, 1600, 1200}));
    desktop.SetWorkArea({0, 30, 1600, 1160});
    ASSERT_TRUE(desktop.GetWorkArea(area));
    EXPECT_EQ(area, (TRect{0, 30, 1600, 1160}));
    EXPECT_EQ(desktop.GetDesktopWindow(), TSimDesktop::kDesktopWindow);
    desktop.SetOwnMainWindow(w);
    EXPECT_EQ(desktop.OwnMainWindow(), w);
}

// ---------------------------------------------------------------------------------------------
// Clock and events

TEST(SimDesktopClock, SleepAdvancesTheClockAndEventsCarryTheirTime) {
    TSimDesktop desktop;
    EXPECT_EQ(desktop.Now(), 0u);
    desktop.KeybdEvent('A', 0x1E, 0);
    desktop.Sleep(100);
    desktop.PumpKeyboardMessages();
    desktop.Sleep(10);
    desktop.Sleep(0);
    desktop.MessageBeep(0x30);
    EXPECT_EQ(desktop.Now(), 110u);

    const auto& events = desktop.Events();
    ASSERT_EQ(events.size(), 6u);
    const std::vector<std::pair<TSimEventKind, std::uint64_t>> expected = {
        {TSimEventKind::Key, 0},     {TSimEventKind::Sleep, 0},   {TSimEventKind::Pump, 100},
        {TSimEventKind::Sleep, 100}, {TSimEventKind::Sleep, 110}, {TSimEventKind::Beep, 110},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(events[i].Kind, expected[i].first) << i;
        EXPECT_EQ(events[i].Time, expected[i].second) << i;
    }
    EXPECT_EQ(events[1].Ms, 100u);
    EXPECT_EQ(events[3].Ms, 10u);
    EXPECT_EQ(events[5].Flags, 0x30u);
    EXPECT_EQ(desktop.EventsOf(TSimEventKind::Sleep).size(), 3u);
    desktop.ClearEvents();
    EXPECT_TRUE(desktop.Events().empty());
    EXPECT_EQ(desktop.Now(), 110u);
}

TEST(SimDesktopFeedback, MessageBoxBeepAndShellOpen) {
    TSimDesktop desktop;
    EXPECT_EQ(desktop.MessageBox(0x99, "Invalid KeyName", "SendKeys", MB_OK), IDOK);
    std::string asked;
    desktop.MessageBoxHandler = [&asked](const std::string& text, const std::string& caption,
                                         std::uint32_t) {
        asked = caption + ": " + text;
        return 7;
    };
    EXPECT_EQ(desktop.MessageBox(0, "Sure?", "Korvane", MB_ICONERROR), 7);
    EXPECT_EQ(asked, "Korvane: Sure?");
    EXPECT_TRUE(desktop.MessageBeep(MB_ICONERROR));
    EXPECT_TRUE(desktop.ShellOpen("https://example.org/help"));

    const auto boxes = desktop.EventsOf(TSimEventKind::MessageBox);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Window, 0x99u);
    EXPECT_EQ(boxes[0].Text, "Invalid KeyName");
    EXPECT_EQ(boxes[0].Caption, "SendKeys");
    EXPECT_EQ(boxes[1].Flags, MB_ICONERROR);
    ASSERT_EQ(desktop.EventsOf(TSimEventKind::ShellOpen).size(), 1u);
    EXPECT_EQ(desktop.EventsOf(TSimEventKind::ShellOpen)[0].Text, "https://example.org/help");
    EXPECT_EQ(desktop.EventsOf(TSimEventKind::Beep)[0].Flags, MB_ICONERROR);
}

// ---------------------------------------------------------------------------------------------
// Hotkeys

TEST(SimDesktopHotKeys, RegistrationConflictsAndPresses) {
    TSimDesktop desktop;
    const THwnd main = 0x777;
    std::vector<int> pressed;
    desktop.SetHotKeyHandler([&pressed](int id) { pressed.push_back(id); });
    desktop.TakeHotKeyElsewhere(MOD_CONTROL | MOD_ALT, 'D');

    EXPECT_FALSE(desktop.RegisterHotKey(main, 1001, MOD_CONTROL | MOD_ALT, 'D'));
    EXPECT_FALSE(desktop.IsHotKeyRegistered(1001));
    EXPECT_TRUE(desktop.RegisterHotKey(main, 1001, MOD_CONTROL | MOD_SHIFT, 'D'));
    EXPECT_TRUE(desktop.IsHotKeyRegistered(1001));
    // The same combination under another id, and the same id again, both fail.
    EXPECT_FALSE(desktop.RegisterHotKey(main, 1002, MOD_CONTROL | MOD_SHIFT, 'D'));
    EXPECT_FALSE(desktop.RegisterHotKey(main, 1001, MOD_ALT, 'L'));
    EXPECT_TRUE(desktop.RegisterHotKey(main, 1002, MOD_ALT, 'L'));

    EXPECT_TRUE(desktop.PressHotKey(MOD_ALT, 'L'));
    EXPECT_TRUE(desktop.PressHotKey(MOD_SHIFT | MOD_CONTROL, 'D'));
    EXPECT_FALSE(desktop.PressHotKey(MOD_CONTROL | MOD_ALT, 'D')); // someone else's
    EXPECT_FALSE(desktop.PressHotKey(0, 'L'));
    EXPECT_EQ(pressed, (std::vector<int>{1002, 1001}));

    EXPECT_TRUE(desktop.UnregisterHotKey(main, 1001));
    EXPECT_FALSE(desktop.UnregisterHotKey(main, 1001));
    EXPECT_FALSE(desktop.UnregisterHotKey(main, 4242));
    EXPECT_FALSE(desktop.IsHotKeyRegistered(1001));
    EXPECT_FALSE(desktop.PressHotKey(MOD_SHIFT | MOD_CONTROL, 'D'));
    // Once free, the combination can be taken by another id.
    EXPECT_TRUE(desktop.RegisterHotKey(main, 1003, MOD_CONTROL | MOD_SHIFT, 'D'));
    EXPECT_TRUE(desktop.PressHotKey(MOD_SHIFT | MOD_CONTROL, 'D'));
    EXPECT_EQ(pressed.back(), 1003);
}

// ---------------------------------------------------------------------------------------------
// Processes

TEST(SimDesktopProcesses, CreationPriorityAndHandles) {
    TSimDesktop desktop;
    TProcessInfo info;
    ASSERT_TRUE(desktop.CreateProcess("\"C:\\Games\\dromed.exe\" -edit", "C:\\Games",
                                      CREATE_DEFAULT_ERROR_MODE, info));
    EXPECT_NE(info.Process, 0u);
    EXPECT_NE(info.Thread, 0u);
    EXPECT_NE(info.Process, info.Thread);
    EXPECT_NE(info.ProcessId, 0u);
    const auto created = desktop.EventsOf(TSimEventKind::Process);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].Text, "\"C:\\Games\\dromed.exe\" -edit");
    EXPECT_EQ(created[0].Caption, "C:\\Games");
    EXPECT_EQ(created[0].Flags, CREATE_DEFAULT_ERROR_MODE);

    desktop.RefusedPriorityClasses = {IDLE_PRIORITY_CLASS};
    EXPECT_FALSE(desktop.SetPriorityClass(info.Process, IDLE_PRIORITY_CLASS));
    EXPECT_TRUE(desktop.SetPriorityClass(info.Process, BELOW_NORMAL_PRIORITY_CLASS));
    EXPECT_FALSE(desktop.SetPriorityClass(0xBAD, BELOW_NORMAL_PRIORITY_CLASS));
    const auto priorities = desktop.EventsOf(TSimEventKind::Priority);
    ASSERT_EQ(priorities.size(), 3u);
    EXPECT_EQ(priorities[0].Flags, IDLE_PRIORITY_CLASS);
    EXPECT_EQ(priorities[1].Flags, BELOW_NORMAL_PRIORITY_CLASS);

    EXPECT_TRUE(desktop.CloseHandle(info.Thread));
    EXPECT_TRUE(desktop.CloseHandle(info.Process));
    EXPECT_FALSE(desktop.CloseHandle(info.Process));
    EXPECT_FALSE(desktop.SetPriorityClass(info.Process, BELOW_NORMAL_PRIORITY_CLASS));

    TProcessInfo second;
    ASSERT_TRUE(desktop.CreateProcess("other.exe", "", 0, second));
    EXPECT_NE(second.Process, info.Process);
    EXPECT_NE(second.ProcessId, info.ProcessId);
}

TEST(SimDesktopProcesses, TheHandlerCanRefuseCreation) {
    TSimDesktop desktop;
    desktop.CreateProcessHandler = [&desktop](const std::string& commandLine, const std::string&) {
        if (commandLine.find("missing") == std::string::npos) return true;
        desktop.SetLastError(2);
        return false;
    };
    TProcessInfo info;
    EXPECT_FALSE(desktop.CreateProcess("missing.exe", "C:\\", 0, info));
    EXPECT_EQ(desktop.GetLastError(), 2u);
    EXPECT_EQ(info.Process, 0u);
    EXPECT_TRUE(desktop.CreateProcess("present.exe", "C:\\", 0, info));
    EXPECT_EQ(desktop.EventsOf(TSimEventKind::Process).size(), 2u);
}

} // namespace
} // namespace kv::sim
