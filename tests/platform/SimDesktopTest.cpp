#include "platform/sim/SimDesktop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kv::sim {
namespace {

using namespace kv::win;

TSimWindowSpec Spec(std::string className, std::string title, TRect rect, THwnd owner = 0,
                    std::uint32_t thread = 1) {
    TSimWindowSpec spec;
    spec.ClassName = std::move(className);
    spec.Title = std::move(title);
    spec.Rect = rect;
    spec.Owner = owner;
    spec.ThreadId = thread;
    return spec;
}

// A window with frames of 4 pixels and a caption of 20.
TSimWindowSpec FramedSpec(TRect rect) {
    TSimWindowSpec spec = Spec("Framed", "framed", rect);
    spec.FrameLeft = 4;
    spec.FrameTop = 20;
    spec.FrameRight = 4;
    spec.FrameBottom = 4;
    return spec;
}

// ---------------------------------------------------------------------------------------------
// Windows

TEST(SimDesktopWindows, NewWindowsStackOnTopAndForegroundBringsToFront) {
    TSimDesktop desktop;
    const THwnd a = desktop.CreateSimWindow(Spec("A", "a", {0, 0, 100, 100}));
    const THwnd b = desktop.CreateSimWindow(Spec("B", "b", {0, 0, 100, 100}));
    const THwnd c = desktop.CreateSimWindow(Spec("C", "c", {0, 0, 100, 100}));
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
    const THwnd a = desktop.CreateSimWindow(Spec("A", "a", {0, 0, 10, 10}));
    const THwnd b = desktop.CreateSimWindow(Spec("B", "b", {0, 0, 10, 10}));
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
    const THwnd main = desktop.CreateSimWindow(Spec("Main", "main", {0, 0, 10, 10}));
    const THwnd dialog = desktop.CreateSimWindow(Spec("Dlg", "dialog", {0, 0, 5, 5}, main));
    const THwnd nested = desktop.CreateSimWindow(Spec("Dlg", "nested", {0, 0, 5, 5}, dialog));
    const THwnd other = desktop.CreateSimWindow(Spec("Other", "other", {0, 0, 5, 5}));
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
    const THwnd plain = desktop.CreateSimWindow(Spec("Dlg", "plain", {0, 0, 5, 5}));
    const THwnd stubborn = desktop.CreateSimWindow(Spec("Dlg", "stubborn", {0, 0, 5, 5}));
    const THwnd deferring = desktop.CreateSimWindow(Spec("Dlg", "deferring", {0, 0, 5, 5}));
    const THwnd self = desktop.CreateSimWindow(Spec("Dlg", "self", {0, 0, 5, 5}));
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
    const THwnd w = desktop.CreateSimWindow(Spec("W", "w", {0, 0, 5, 5}));
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
    const THwnd w = desktop.CreateSimWindow(FramedSpec(rect));
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
    const THwnd first = desktop.CreateSimWindow(Spec("Shell", "one", {0, 0, 5, 5}));
    desktop.CreateSimWindow(Spec("Other", "x", {0, 0, 5, 5}));
    const THwnd second = desktop.CreateSimWindow(Spec("SHELL", "two", {0, 0, 5, 5}));
    EXPECT_EQ(desktop.FindWindow("shell"), second);
    ASSERT_TRUE(desktop.SetForegroundWindow(first));
    EXPECT_EQ(desktop.FindWindow("Shell"), first);
    EXPECT_EQ(desktop.FindWindow("Shel"), 0u);
    EXPECT_EQ(desktop.FindWindow("Shell2"), 0u);
}

TEST(SimDesktopWindows, EnumThreadWindowsGoesTopDownAndStopsWhenTold) {
    TSimDesktop desktop;
    const THwnd a = desktop.CreateSimWindow(Spec("A", "a", {0, 0, 5, 5}, 0, 7));
    desktop.CreateSimWindow(Spec("X", "x", {0, 0, 5, 5}, 0, 8));
    const THwnd b = desktop.CreateSimWindow(Spec("B", "b", {0, 0, 5, 5}, 0, 7));
    const THwnd c = desktop.CreateSimWindow(Spec("C", "c", {0, 0, 5, 5}, 0, 7));

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
    const THwnd a = desktop.CreateSimWindow(Spec("A", "a", {0, 0, 5, 5}));
    const THwnd b = desktop.CreateSimWindow(Spec("B", "b", {0, 0, 5, 5}));
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
    TSimWindowSpec spec = FramedSpec({100, 50, 900, 700});
    spec.Title = "DromEd - level.mis";
    spec.Style = WS_POPUP | WS_VISIBLE;
    const THwnd owner = desktop.CreateSimWindow(Spec("O", "o", {0, 0, 5, 5}));
    spec.Owner = owner;
    const THwnd w = desktop.CreateSimWindow(spec);

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
    const THwnd w = desktop.CreateSimWindow(Spec("W", "w", {0, 0, 50, 50}));
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
// Keyboard

struct TScanCase {
    char Ch;
    std::int16_t Code;
};

TEST(SimDesktopKeyboard, VkKeyScanFollowsTheUsLayout) {
    const std::vector<TScanCase> cases = {
        {'a', 0x41},  {'A', 0x141}, {'z', 0x5A},     {'Z', 0x15A},  {'0', 0x30},  {'9', 0x39},
        {')', 0x130}, {'!', 0x131}, {'@', 0x132},    {'(', 0x139},  {':', 0x1BA}, {';', 0xBA},
        {'{', 0x1DB}, {'[', 0xDB},  {'}', 0x1DD},    {']', 0xDD},   {'~', 0x1C0}, {'`', 0xC0},
        {' ', 0x20},  {'+', 0x1BB}, {'=', 0xBB},     {'_', 0x1BD},  {'-', 0xBD},  {'<', 0x1BC},
        {'>', 0x1BE}, {'?', 0x1BF}, {'/', 0xBF},     {'|', 0x1DC},  {'\\', 0xDC}, {'"', 0x1DE},
        {'\'', 0xDE}, {'.', 0xBE},  {',', 0xBC},     {'%', 0x135},  {'^', 0x136}, {'\t', 0x09},
        {'\r', 0x0D}, {'\b', 0x08}, {'\x1B', 0x2DB}, {'\n', 0x20D}, {'\x01', -1}, {'\x7F', -1},
        {'\0', -1},
    };
    TSimDesktop desktop;
    for (const TScanCase& c : cases) {
        EXPECT_EQ(desktop.VkKeyScan(c.Ch), c.Code) << "character " << static_cast<int>(c.Ch);
    }
    for (int b = 0x80; b <= 0xFF; ++b) {
        EXPECT_EQ(desktop.VkKeyScan(static_cast<char>(b)), -1) << "byte " << b;
    }
}

TEST(SimDesktopKeyboard, EveryPrintableCharacterRoundTripsThroughItsKey) {
    // The key and shift state VkKeyScan gives must type the character again.
    TSimDesktop desktop;
    const THwnd w = desktop.CreateSimWindow(Spec("W", "w", {0, 0, 5, 5}));
    std::string typed;
    desktop.Window(w)->OnKey = [&typed](const TSimKeyInput& in) {
        if (in.Down && in.Char != 0) typed += in.Char;
    };
    ASSERT_TRUE(desktop.SetForegroundWindow(w));
    std::string expected;
    for (int ch = 0x20; ch < 0x7F; ++ch) {
        expected += static_cast<char>(ch);
        const std::int16_t code = desktop.VkKeyScan(static_cast<char>(ch));
        ASSERT_NE(code, -1) << ch;
        const auto vk = static_cast<std::uint8_t>(code & 0xFF);
        const bool shift = (code & 0x100) != 0;
        if (shift) desktop.KeybdEvent(VK_SHIFT, 0x2A, 0);
        desktop.KeybdEvent(vk, 0, 0);
        desktop.KeybdEvent(vk, 0, KEYEVENTF_KEYUP);
        if (shift) desktop.KeybdEvent(VK_SHIFT, 0x2A, KEYEVENTF_KEYUP);
    }
    EXPECT_EQ(typed, expected);
}

struct TMapCase {
    std::uint32_t Vk;
    std::uint32_t Scan;
};

TEST(SimDesktopKeyboard, MapVirtualKeyGivesUsScanCodes) {
    const std::vector<TMapCase> cases = {
        {VK_ESCAPE, 0x01},  {'1', 0x02},       {'0', 0x0B},        {0xBD, 0x0C},
        {0xBB, 0x0D},       {VK_BACK, 0x0E},   {VK_TAB, 0x0F},     {'Q', 0x10},
        {'P', 0x19},        {VK_OEM_4, 0x1A},  {VK_OEM_6, 0x1B},   {VK_RETURN, 0x1C},
        {VK_CONTROL, 0x1D}, {'A', 0x1E},       {'L', 0x26},        {0xBA, 0x27},
        {0xDE, 0x28},       {0xC0, 0x29},      {VK_SHIFT, 0x2A},   {0xDC, 0x2B},
        {'Z', 0x2C},        {'M', 0x32},       {0xBC, 0x33},       {0xBE, 0x34},
        {0xBF, 0x35},       {VK_MENU, 0x38},   {VK_SPACE, 0x39},   {VK_CAPITAL, 0x3A},
        {VK_F1, 0x3B},      {0x79, 0x44},      {VK_NUMLOCK, 0x45}, {VK_SCROLL, 0x46},
        {VK_HOME, 0x47},    {VK_UP, 0x48},     {VK_PRIOR, 0x49},   {VK_LEFT, 0x4B},
        {VK_CLEAR, 0x4C},   {VK_RIGHT, 0x4D},  {VK_END, 0x4F},     {VK_DOWN, 0x50},
        {VK_NEXT, 0x51},    {VK_INSERT, 0x52}, {VK_DELETE, 0x53},  {0x7A, 0x57},
        {0x7B, 0x58},       {VK_F13, 0x64},    {VK_F16, 0x67},     {VK_CANCEL, 0x46},
        {VK_PRINT, 0},      {VK_HELP, 0},      {0x07, 0},          {0xFF, 0},
    };
    TSimDesktop desktop;
    for (const TMapCase& c : cases) {
        EXPECT_EQ(desktop.MapVirtualKey(c.Vk, 0), c.Scan) << "key " << c.Vk;
    }
    EXPECT_EQ(desktop.MapVirtualKey(0x141, 0), 0u); // not a virtual key
}

TEST(SimDesktopKeyboard, MapVirtualKeyBackwardsAndToCharacters) {
    TSimDesktop desktop;
    // Every key of the main block maps back from its scan code.
    for (std::uint32_t vk = 0; vk < 0xA0; ++vk) {
        const std::uint32_t scan = desktop.MapVirtualKey(vk, 0);
        if (scan == 0 || vk == VK_CANCEL || (vk >= 0x60 && vk <= 0x6F)) continue;
        EXPECT_EQ(desktop.MapVirtualKey(scan, 1), vk) << "key " << vk;
    }
    EXPECT_EQ(desktop.MapVirtualKey(0x46, 1), VK_SCROLL);
    EXPECT_EQ(desktop.MapVirtualKey(0x47, 1), VK_HOME);
    EXPECT_EQ(desktop.MapVirtualKey(0x7F, 1), 0u);
    EXPECT_EQ(desktop.MapVirtualKey('A', 2), static_cast<std::uint32_t>('A'));
    EXPECT_EQ(desktop.MapVirtualKey('7', 2), static_cast<std::uint32_t>('7'));
    EXPECT_EQ(desktop.MapVirtualKey(0xBA, 2), static_cast<std::uint32_t>(';'));
    EXPECT_EQ(desktop.MapVirtualKey(VK_OEM_4, 2), static_cast<std::uint32_t>('['));
    EXPECT_EQ(desktop.MapVirtualKey(VK_RETURN, 2), 0x0Du);
    EXPECT_EQ(desktop.MapVirtualKey(VK_LEFT, 2), 0u);
}

struct TKeys {
    std::vector<TSimKeyInput> Got;
    std::string Typed;
};

THwnd KeyWindow(TSimDesktop& desktop, TKeys& keys) {
    const THwnd w = desktop.CreateSimWindow(Spec("W", "w", {0, 0, 5, 5}));
    desktop.Window(w)->OnKey = [&keys](const TSimKeyInput& in) {
        keys.Got.push_back(in);
        if (in.Char != 0) keys.Typed += in.Char;
    };
    EXPECT_TRUE(desktop.SetForegroundWindow(w));
    return w;
}

void Tap(TSimDesktop& desktop, std::uint8_t vk) {
    desktop.KeybdEvent(vk, static_cast<std::uint8_t>(desktop.MapVirtualKey(vk, 0)), 0);
    desktop.KeybdEvent(vk, static_cast<std::uint8_t>(desktop.MapVirtualKey(vk, 0)),
                       KEYEVENTF_KEYUP);
}

TEST(SimDesktopKeyboard, KeysReachTheForegroundWindowWithTheirCharacters) {
    TSimDesktop desktop;
    TKeys keys;
    KeyWindow(desktop, keys);
    TKeys other;
    const THwnd behind = desktop.CreateSimWindow(Spec("B", "b", {0, 0, 5, 5}));
    desktop.Window(behind)->OnKey = [&other](const TSimKeyInput& in) { other.Got.push_back(in); };
    ASSERT_NE(desktop.ZOrder().front(), desktop.GetForegroundWindow());

    Tap(desktop, 'A');
    desktop.KeybdEvent(VK_SHIFT, 0x2A, 0);
    Tap(desktop, 'A');
    Tap(desktop, 0xBA);
    Tap(desktop, VK_OEM_4);
    Tap(desktop, '1');
    desktop.KeybdEvent(VK_SHIFT, 0x2A, KEYEVENTF_KEYUP);
    Tap(desktop, 0xBA);
    Tap(desktop, VK_RETURN);
    Tap(desktop, VK_BACK);
    Tap(desktop, VK_ESCAPE);
    Tap(desktop, VK_TAB);
    Tap(desktop, VK_LEFT);
    EXPECT_EQ(keys.Typed, "aA:{!;\r\b\x1B\t");
    EXPECT_TRUE(other.Got.empty());

    // Key-up events type nothing.
    for (const TSimKeyInput& in : keys.Got) {
        if (!in.Down) {
            EXPECT_EQ(in.Char, 0) << static_cast<int>(in.Vk);
        }
    }
    ASSERT_GE(keys.Got.size(), 2u);
    EXPECT_EQ(keys.Got[0].Vk, 'A');
    EXPECT_TRUE(keys.Got[0].Down);
    EXPECT_FALSE(keys.Got[1].Down);

    const auto events = desktop.EventsOf(TSimEventKind::Key);
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0].Vk, 'A');
    EXPECT_EQ(events[0].Scan, 0x1E);
    EXPECT_EQ(events[0].Flags, 0u);
    EXPECT_EQ(events[1].Flags, KEYEVENTF_KEYUP);
}

TEST(SimDesktopKeyboard, CtrlAndAltTypeNothingAndCapsLockShiftsLettersOnly) {
    TSimDesktop desktop;
    TKeys keys;
    KeyWindow(desktop, keys);
    desktop.KeybdEvent(VK_CONTROL, 0x1D, 0);
    Tap(desktop, 'C');
    desktop.KeybdEvent(VK_CONTROL, 0x1D, KEYEVENTF_KEYUP);
    desktop.KeybdEvent(VK_MENU, 0x38, 0);
    Tap(desktop, 'F');
    desktop.KeybdEvent(VK_MENU, 0x38, KEYEVENTF_KEYUP);
    EXPECT_EQ(keys.Typed, "");

    Tap(desktop, VK_CAPITAL);
    Tap(desktop, 'Q');
    Tap(desktop, '2');
    desktop.KeybdEvent(VK_SHIFT, 0x2A, 0);
    Tap(desktop, 'Q');
    Tap(desktop, '2');
    desktop.KeybdEvent(VK_SHIFT, 0x2A, KEYEVENTF_KEYUP);
    Tap(desktop, VK_CAPITAL);
    Tap(desktop, 'Q');
    EXPECT_EQ(keys.Typed, "Q2q@q");
}

TEST(SimDesktopKeyboard, SideSpecificShiftCountsAsShift) {
    TSimDesktop desktop;
    TKeys keys;
    KeyWindow(desktop, keys);
    desktop.KeybdEvent(0xA1, 0x36, 0); // the right Shift key
    EXPECT_LT(desktop.GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(desktop.GetKeyState(0xA1), 0);
    Tap(desktop, 'K');
    desktop.KeybdEvent(0xA1, 0x36, KEYEVENTF_KEYUP);
    Tap(desktop, 'K');
    EXPECT_EQ(keys.Typed, "Kk");
    EXPECT_EQ(desktop.GetKeyState(VK_SHIFT), 0);
}

TEST(SimDesktopKeyboard, KeyStateBitsAndToggles) {
    TSimDesktop desktop; // no window at all: key events still change the keyboard state
    EXPECT_EQ(desktop.GetKeyState(VK_SHIFT), 0);
    desktop.KeybdEvent(VK_SHIFT, 0x2A, 0);
    EXPECT_EQ(static_cast<std::uint16_t>(desktop.GetKeyState(VK_SHIFT)), 0xFF80);
    EXPECT_LT(desktop.GetKeyState(VK_SHIFT), 0);
    TKeyboardState state{};
    ASSERT_TRUE(desktop.GetKeyboardState(state));
    EXPECT_EQ(state[VK_SHIFT], 0x80);
    desktop.KeybdEvent(VK_SHIFT, 0x2A, KEYEVENTF_KEYUP);
    EXPECT_EQ(desktop.GetKeyState(VK_SHIFT), 0);

    // A toggle key flips bit 0 on each press.
    desktop.KeybdEvent(VK_SCROLL, 0x46, 0);
    EXPECT_EQ(static_cast<std::uint16_t>(desktop.GetKeyState(VK_SCROLL)), 0xFF81);
    desktop.KeybdEvent(VK_SCROLL, 0x46, KEYEVENTF_KEYUP);
    EXPECT_EQ(desktop.GetKeyState(VK_SCROLL), 1);
    Tap(desktop, VK_SCROLL);
    EXPECT_EQ(desktop.GetKeyState(VK_SCROLL), 0);
    Tap(desktop, 'A');
    EXPECT_EQ(desktop.GetKeyState('A'), 0);

    EXPECT_EQ(desktop.GetKeyState(-1), 0);
    EXPECT_EQ(desktop.GetKeyState(0x100), 0);
}

TEST(SimDesktopKeyboard, NumLockToggledThroughTheKeyboardState) {
    TSimDesktop desktop;
    desktop.Sleep(11);
    const bool before = (desktop.GetKeyState(VK_NUMLOCK) & 1) != 0;
    TKeyboardState state{};
    ASSERT_TRUE(desktop.GetKeyboardState(state));
    state[VK_NUMLOCK] = static_cast<std::uint8_t>((state[VK_NUMLOCK] & ~1) | (before ? 0 : 1));
    ASSERT_TRUE(desktop.SetKeyboardState(state));
    EXPECT_EQ(desktop.GetKeyState(VK_NUMLOCK) & 1, before ? 0 : 1);
    TKeyboardState again{};
    ASSERT_TRUE(desktop.GetKeyboardState(again));
    EXPECT_EQ(again, state);
    EXPECT_TRUE(desktop.EventsOf(TSimEventKind::Key).empty());
    const auto writes = desktop.EventsOf(TSimEventKind::KeyboardState);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].Time, 11u);

    // The NumLock key toggles the same bit back.
    Tap(desktop, VK_NUMLOCK);
    EXPECT_EQ(desktop.GetKeyState(VK_NUMLOCK) & 1, before ? 1 : 0);
}

TEST(SimDesktopKeyboard, KeysThatCloseTheWindowAreSafe) {
    TSimDesktop desktop;
    const THwnd w = desktop.CreateSimWindow(Spec("W", "w", {0, 0, 5, 5}));
    desktop.Window(w)->OnKey = [&desktop, w](const TSimKeyInput& in) {
        if (in.Vk == VK_ESCAPE && in.Down) desktop.DestroySimWindow(w);
    };
    ASSERT_TRUE(desktop.SetForegroundWindow(w));
    Tap(desktop, VK_ESCAPE);
    EXPECT_FALSE(desktop.IsWindow(w));
    EXPECT_EQ(desktop.GetForegroundWindow(), 0u);
    EXPECT_EQ(desktop.EventsOf(TSimEventKind::Key).size(), 2u);
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

// ---------------------------------------------------------------------------------------------
// Screen and GDI

// A client area painted with a pattern that depends on both coordinates.
std::uint32_t Pattern(int x, int y) {
    return static_cast<std::uint32_t>((x * 7 + y * 13) & 0xFF) |
           (static_cast<std::uint32_t>(y & 0xFF) << 8) | 0x10000;
}

struct TCapture {
    THandle Screen = 0;
    THandle Memory = 0;
    THandle Bitmap = 0;
    THandle Stock = 0;
};

TCapture Capture(TSimDesktop& desktop, int left, int top, int width, int height) {
    TCapture c;
    c.Screen = desktop.GetDC(desktop.GetDesktopWindow());
    EXPECT_NE(c.Screen, 0u);
    c.Memory = desktop.CreateCompatibleDC(c.Screen);
    EXPECT_NE(c.Memory, 0u);
    c.Bitmap = desktop.CreateCompatibleBitmap(c.Screen, width, height);
    EXPECT_NE(c.Bitmap, 0u);
    c.Stock = desktop.SelectObject(c.Memory, c.Bitmap);
    EXPECT_NE(c.Stock, 0u);
    EXPECT_TRUE(desktop.BitBlt(c.Memory, 0, 0, width, height, c.Screen, left, top));
    return c;
}

void Free(TSimDesktop& desktop, const TCapture& c) {
    EXPECT_TRUE(desktop.ReleaseDC(desktop.GetDesktopWindow(), c.Screen));
    EXPECT_TRUE(desktop.DeleteDC(c.Memory));
    EXPECT_TRUE(desktop.DeleteObject(c.Bitmap));
}

TEST(SimDesktopScreen, PixelsComeFromTheTopmostVisibleWindow) {
    TSimDesktop desktop(200, 100);
    TSimWindowSpec back = FramedSpec({10, 10, 110, 90});
    const THwnd painted = desktop.CreateSimWindow(back);
    desktop.Window(painted)->PaintPixel = Pattern;
    const THwnd grey = desktop.CreateSimWindow(FramedSpec({60, 0, 150, 50}));

    EXPECT_EQ(desktop.ScreenPixel(0, 0), 0x404000u);       // desktop
    EXPECT_EQ(desktop.ScreenPixel(10, 10), 0xC0C0C0u);     // frame of the painted window
    EXPECT_EQ(desktop.ScreenPixel(14, 30), Pattern(0, 0)); // its client origin
    EXPECT_EQ(desktop.ScreenPixel(20, 45), Pattern(6, 15));
    EXPECT_EQ(desktop.ScreenPixel(70, 30), 0x808080u);       // the grey window on top
    EXPECT_EQ(desktop.ScreenPixel(60, 30), 0xC0C0C0u);       // its left frame
    EXPECT_EQ(desktop.ScreenPixel(70, 60), Pattern(56, 30)); // below the grey window
    EXPECT_EQ(desktop.ScreenPixel(-1, 5), 0u);               // off the screen
    EXPECT_EQ(desktop.ScreenPixel(200, 5), 0u);

    ASSERT_TRUE(desktop.SetForegroundWindow(painted));
    EXPECT_EQ(desktop.ScreenPixel(70, 30), Pattern(56, 0));

    desktop.Minimise(painted);
    EXPECT_EQ(desktop.ScreenPixel(70, 30), 0x808080u);
    EXPECT_EQ(desktop.ScreenPixel(20, 45), 0x404000u);
    desktop.Restore(painted);
    desktop.Window(painted)->Spec.Style &= ~WS_VISIBLE;
    EXPECT_EQ(desktop.ScreenPixel(20, 45), 0x404000u);
    (void)grey;
}

TEST(SimDesktopScreen, CaptureShowsWhatIsOnTopOfAWindow) {
    TSimDesktop desktop(400, 300);
    const THwnd painted = desktop.CreateSimWindow(FramedSpec({20, 10, 220, 170}));
    desktop.Window(painted)->PaintPixel = Pattern;
    // A window in front covers the lower right part of the painted client area.
    desktop.CreateSimWindow(FramedSpec({150, 100, 300, 250}));

    TRect client;
    ASSERT_TRUE(desktop.GetClientRect(painted, client));
    TPoint origin;
    ASSERT_TRUE(desktop.ClientToScreen(painted, origin));
    EXPECT_EQ(client, (TRect{0, 0, 192, 136}));
    EXPECT_EQ(origin, (TPoint{24, 30}));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);

    const TCapture c = Capture(desktop, origin.X, origin.Y, client.Right, client.Bottom);
    EXPECT_EQ(desktop.LiveGdiObjects(), 3);
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(desktop.ReadPixels(c.Memory, width, height, pixels));
    ASSERT_EQ(width, 192);
    ASSERT_EQ(height, 136);
    ASSERT_EQ(pixels.size(), 192u * 136u);
    int covered = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t expected = desktop.ScreenPixel(origin.X + x, origin.Y + y);
            ASSERT_EQ(pixels[static_cast<std::size_t>(y) * width + x], expected) << x << "," << y;
            ASSERT_EQ(desktop.GetPixel(c.Memory, x, y), expected);
            const bool front = origin.X + x >= 150 && origin.Y + y >= 100;
            if (front) {
                ++covered;
                EXPECT_NE(expected, Pattern(x, y));
            } else {
                EXPECT_EQ(expected, Pattern(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(covered, 0);
    EXPECT_EQ(desktop.GetPixel(c.Memory, 150 - origin.X, 120 - origin.Y), 0xC0C0C0u);
    EXPECT_EQ(desktop.GetPixel(c.Memory, 160 - origin.X, 130 - origin.Y), 0x808080u);
    EXPECT_EQ(desktop.GetPixel(c.Memory, -1, 0), CLR_INVALID);
    EXPECT_EQ(desktop.GetPixel(c.Memory, 0, 136), CLR_INVALID);
    EXPECT_EQ(desktop.GetPixel(c.Memory, 192, 0), CLR_INVALID);
    EXPECT_EQ(desktop.GetPixel(0xBAD, 0, 0), CLR_INVALID);

    // The copy keeps what it saw when the screen changes.
    desktop.DestroySimWindow(desktop.ZOrder().front());
    EXPECT_EQ(desktop.GetPixel(c.Memory, 160 - origin.X, 130 - origin.Y), 0x808080u);

    // Putting the stock bitmap back returns the capture's bitmap.
    EXPECT_EQ(desktop.SelectObject(c.Memory, c.Stock), c.Bitmap);
    EXPECT_FALSE(desktop.ReadPixels(c.Memory, width, height, pixels));
    Free(desktop, c);
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, FullScreenCaptureOfALargeClient) {
    TSimDesktop desktop(1280, 1024);
    TSimWindowSpec spec = FramedSpec({-4, -20, 1284, 1028});
    const THwnd w = desktop.CreateSimWindow(spec);
    desktop.Window(w)->PaintPixel = Pattern;
    const TCapture c = Capture(desktop, 0, 0, 1280, 1024);
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(desktop.ReadPixels(c.Memory, width, height, pixels));
    ASSERT_EQ(pixels.size(), 1280u * 1024u);
    std::size_t wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixels[static_cast<std::size_t>(y) * width + x] != Pattern(x, y)) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0u);
    Free(desktop, c);
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, CopyClipsAtTheBitmapAndTheScreen) {
    TSimDesktop desktop(50, 40);
    const THwnd w = desktop.CreateSimWindow(Spec("W", "w", {0, 0, 50, 40}));
    desktop.Window(w)->PaintPixel = Pattern;
    const THandle screen = desktop.GetDC(0);
    const THandle memory = desktop.CreateCompatibleDC(screen);
    const THandle bitmap = desktop.CreateCompatibleBitmap(screen, 10, 10);
    ASSERT_NE(desktop.SelectObject(memory, bitmap), 0u);
    // Wider than the bitmap and partly beyond the right edge of the screen.
    ASSERT_TRUE(desktop.BitBlt(memory, 2, 3, 20, 20, screen, 45, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 0, 0), 0u); // untouched, bitmaps start black
    EXPECT_EQ(desktop.GetPixel(memory, 2, 3), Pattern(45, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 6, 9), Pattern(49, 6));
    EXPECT_EQ(desktop.GetPixel(memory, 7, 9), 0u); // x = 50 lies off the screen
    EXPECT_TRUE(desktop.ReleaseDC(0, screen));
    EXPECT_TRUE(desktop.DeleteDC(memory));
    EXPECT_TRUE(desktop.DeleteObject(bitmap));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, WindowDeviceContextStartsAtTheClientArea) {
    TSimDesktop desktop(300, 200);
    const THwnd w = desktop.CreateSimWindow(FramedSpec({30, 40, 230, 190}));
    desktop.Window(w)->PaintPixel = Pattern;
    const THandle dc = desktop.GetDC(w);
    ASSERT_NE(dc, 0u);
    EXPECT_EQ(desktop.GetPixel(dc, 5, 6), Pattern(5, 6));
    EXPECT_EQ(desktop.GetDC(0xBAD), 0u);
    EXPECT_FALSE(desktop.ReleaseDC(0, dc)); // released by another window than its own
    EXPECT_FALSE(desktop.DeleteDC(dc));     // screen contexts are released, not deleted
    EXPECT_TRUE(desktop.ReleaseDC(w, dc));
    EXPECT_FALSE(desktop.ReleaseDC(w, dc));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, FailureSwitchesAndBadArguments) {
    TSimDesktop desktop(100, 100);
    desktop.FailGetDC = true;
    EXPECT_EQ(desktop.GetDC(0), 0u);
    desktop.FailGetDC = false;
    const THandle screen = desktop.GetDC(0);
    ASSERT_NE(screen, 0u);

    desktop.FailCreateCompatibleDC = true;
    EXPECT_EQ(desktop.CreateCompatibleDC(screen), 0u);
    desktop.FailCreateCompatibleDC = false;
    EXPECT_EQ(desktop.CreateCompatibleDC(0xBAD), 0u);
    const THandle memory = desktop.CreateCompatibleDC(screen);
    ASSERT_NE(memory, 0u);

    desktop.FailCreateCompatibleBitmap = true;
    EXPECT_EQ(desktop.CreateCompatibleBitmap(screen, 10, 10), 0u);
    desktop.FailCreateCompatibleBitmap = false;
    EXPECT_EQ(desktop.CreateCompatibleBitmap(screen, 0, 10), 0u);
    EXPECT_EQ(desktop.CreateCompatibleBitmap(screen, 10, -1), 0u);
    EXPECT_EQ(desktop.CreateCompatibleBitmap(0xBAD, 10, 10), 0u);
    const THandle bitmap = desktop.CreateCompatibleBitmap(screen, 10, 10);
    ASSERT_NE(bitmap, 0u);

    // Nothing selected yet: no pixels to read or copy into.
    int w = 0;
    int h = 0;
    std::vector<std::uint32_t> pixels;
    EXPECT_FALSE(desktop.ReadPixels(memory, w, h, pixels));
    EXPECT_FALSE(desktop.BitBlt(memory, 0, 0, 10, 10, screen, 0, 0));
    EXPECT_EQ(desktop.SelectObject(memory, 0xBAD), 0u);
    EXPECT_EQ(desktop.SelectObject(screen, bitmap), 0u);
    ASSERT_NE(desktop.SelectObject(memory, bitmap), 0u);
    // A bitmap cannot be in two device contexts at once.
    const THandle other = desktop.CreateCompatibleDC(screen);
    EXPECT_EQ(desktop.SelectObject(other, bitmap), 0u);
    EXPECT_TRUE(desktop.DeleteDC(other));

    desktop.FailBitBlt = true;
    EXPECT_FALSE(desktop.BitBlt(memory, 0, 0, 10, 10, screen, 0, 0));
    desktop.FailBitBlt = false;
    EXPECT_FALSE(desktop.BitBlt(0xBAD, 0, 0, 10, 10, screen, 0, 0));
    EXPECT_FALSE(desktop.BitBlt(memory, 0, 0, 10, 10, 0xBAD, 0, 0));
    EXPECT_TRUE(desktop.BitBlt(memory, 0, 0, 10, 10, screen, 0, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 9, 9), 0x404000u);

    EXPECT_FALSE(desktop.ReleaseDC(0, memory));
    EXPECT_FALSE(desktop.DeleteDC(0xBAD));
    EXPECT_FALSE(desktop.DeleteObject(0xBAD));
    EXPECT_EQ(desktop.LiveGdiObjects(), 3);

    // Freed in the wrong order: the bitmap goes with the context it is still selected into.
    EXPECT_TRUE(desktop.DeleteObject(bitmap));
    EXPECT_EQ(desktop.GetPixel(memory, 9, 9), 0x404000u);
    EXPECT_FALSE(desktop.DeleteObject(bitmap));
    EXPECT_TRUE(desktop.DeleteDC(memory));
    EXPECT_FALSE(desktop.DeleteDC(memory));
    EXPECT_TRUE(desktop.ReleaseDC(0, screen));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, BitmapCompatibleWithAnEmptyMemoryContextIsMonochrome) {
    TSimDesktop desktop(20, 20);
    const THwnd w = desktop.CreateSimWindow(Spec("W", "w", {0, 0, 20, 20}));
    desktop.Window(w)->PaintPixel = [](int x, int) -> std::uint32_t {
        return x < 10 ? 0xFFFFFF : 0x3080F0;
    };
    const THandle screen = desktop.GetDC(0);
    const THandle memory = desktop.CreateCompatibleDC(screen);
    const THandle mono = desktop.CreateCompatibleBitmap(memory, 20, 20);
    ASSERT_NE(mono, 0u);
    ASSERT_NE(desktop.SelectObject(memory, mono), 0u);
    ASSERT_TRUE(desktop.BitBlt(memory, 0, 0, 20, 20, screen, 0, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 3, 3), 0xFFFFFFu);
    EXPECT_EQ(desktop.GetPixel(memory, 15, 3), 0u);
    EXPECT_TRUE(desktop.DeleteDC(memory));
    EXPECT_TRUE(desktop.DeleteObject(mono));
    EXPECT_TRUE(desktop.ReleaseDC(0, screen));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, MinimisedWindowHasNoClientArea) {
    TSimDesktop desktop;
    const THwnd w = desktop.CreateSimWindow(FramedSpec({0, 0, 300, 200}));
    desktop.Minimise(w);
    TRect client;
    ASSERT_TRUE(desktop.GetClientRect(w, client));
    EXPECT_EQ(client.Width(), 0);
    EXPECT_EQ(client.Height(), 0);
}

} // namespace
} // namespace kv::sim
