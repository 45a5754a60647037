// The simulated desktop's own rules where the end-to-end tests of DromEd remote control do not
// reach them: stacking and ownership of windows, messages, the clock, hotkeys, the US
// keyboard layout and the screen copy through device contexts.
#include "platform/sim/SimDesktop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace kv::sim {
namespace {

using namespace kv::win;

TSimWindowSpec Plain(TRect rect, THwnd owner = 0, std::uint32_t thread = 1,
                     const std::string& className = "W") {
    TSimWindowSpec desc;
    desc.ClassName = className;
    desc.Title = className;
    desc.Rect = rect;
    desc.Owner = owner;
    desc.ThreadId = thread;
    return desc;
}

// A window with frames of 4 pixels and a caption of 20.
TSimWindowSpec Framed(TRect rect) {
    TSimWindowSpec desc = Plain(rect);
    desc.FrameLeft = desc.FrameRight = desc.FrameBottom = 4;
    desc.FrameTop = 20;
    return desc;
}

// A client area painted with a pattern that depends on both coordinates.
std::uint32_t Pattern(int x, int y) {
    return static_cast<std::uint32_t>((x * 7 + y * 13) & 0xFF) |
           (static_cast<std::uint32_t>(y & 0xFF) << 8) | 0x10000;
}

// "1" for each call that succeeded, "0" for each that failed, in order.
std::string Results(std::initializer_list<bool> results) {
    std::string text;
    for (const bool ok : results) text += ok ? '1' : '0';
    return text;
}

void Tap(TSimDesktop& desktop, std::uint8_t vk) {
    const auto scan = static_cast<std::uint8_t>(desktop.MapVirtualKey(vk, 0));
    desktop.KeybdEvent(vk, scan, 0);
    desktop.KeybdEvent(vk, scan, KEYEVENTF_KEYUP);
}

TEST(SimDesktopWindows, OwnershipMessagesAndEnumeration) {
    TSimDesktop desktop;
    const THwnd a = desktop.CreateSimWindow(Plain({0, 0, 100, 100}, 0, 7, "Shell"));
    const THwnd owned = desktop.CreateSimWindow(Plain({0, 0, 5, 5}, a, 7));
    const THwnd nested = desktop.CreateSimWindow(Plain({0, 0, 5, 5}, owned, 7));
    const THwnd b = desktop.CreateSimWindow(Plain({0, 0, 5, 5}, 0, 7));
    const THwnd stubborn = desktop.CreateSimWindow(Plain({0, 0, 5, 5}, 0, 8));
    const THwnd self = desktop.CreateSimWindow(Plain({0, 0, 5, 5}, 0, 8));
    EXPECT_EQ(desktop.ZOrder(), (std::vector<THwnd>{self, stubborn, b, nested, owned, a}));
    // A class is found in any case, but whole.
    EXPECT_EQ(std::pair(desktop.FindWindow("sHELL"), desktop.FindWindow("Shel")),
              std::pair(a, THwnd{0}));
    desktop.Window(stubborn)->OnMessage = [](std::uint32_t msg, std::uintptr_t wp,
                                             std::intptr_t lp) -> std::optional<std::intptr_t> {
        if (msg == WM_CLOSE) return 0;
        return static_cast<std::intptr_t>(wp) + lp;
    };
    // A window that destroys itself while it handles the message.
    desktop.Window(self)->OnMessage = [&desktop, self](std::uint32_t msg, std::uintptr_t,
                                                       std::intptr_t) {
        if (msg == WM_CLOSE) desktop.DestroySimWindow(self);
        return std::optional<std::intptr_t>{};
    };
    for (const THwnd w : {stubborn, self, THwnd{0xBAD}})
        EXPECT_EQ(desktop.SendMessage(w, WM_CLOSE, 0, 0), 0);
    EXPECT_EQ(desktop.SendMessage(stubborn, 0x0400, 40, 2), 42);
    EXPECT_EQ(Results({desktop.IsWindow(stubborn), desktop.IsWindow(self),
                       desktop.SetForegroundWindow(0xBAD), desktop.SetForegroundWindow(nested)}),
              "1001");

    // The list is taken before the first call: windows closed on the way are skipped, and
    // closing a window closes what it owns, the foreground with it.
    std::vector<THwnd> seen;
    EXPECT_FALSE(desktop.EnumThreadWindows(7, [&](THwnd h) {
        seen.push_back(h);
        desktop.SendMessage(owned, WM_CLOSE, 0, 0);
        return h != a;
    }));
    EXPECT_EQ(seen, (std::vector<THwnd>{nested, b, a}));
    EXPECT_EQ(desktop.GetForegroundWindow(), 0u);
    EXPECT_FALSE(desktop.EnumThreadWindows(99, [](THwnd) { return true; }));
    desktop.DestroySimWindow(a);
    desktop.DestroySimWindow(a); // a second time changes nothing
    EXPECT_EQ(desktop.ZOrder(), (std::vector<THwnd>{stubborn, b}));
    EXPECT_EQ(desktop.GetWindowThreadProcessId(a), 0u);
}

TEST(SimDesktopWindows, GeometryTextAndStyle) {
    TSimDesktop desktop(1600, 1200);
    const THwnd owner = desktop.CreateSimWindow(Plain({0, 0, 5, 5}));
    TSimWindowSpec desc = Framed({100, 50, 900, 700});
    desc.Title = "DromEd - level.mis";
    desc.Style = WS_POPUP | WS_VISIBLE;
    desc.Owner = owner;
    const THwnd w = desktop.CreateSimWindow(desc);

    // The text fits in the given size with its terminating NUL.
    EXPECT_EQ(desktop.GetWindowText(w, 512) + "|" + desktop.GetWindowText(w, 7) + "|" +
                  desktop.GetWindowText(w, 1) + "|" + desktop.GetWindowText(w, 0),
              "DromEd - level.mis|DromEd||");
    EXPECT_EQ(std::pair(desktop.GetParent(w), desktop.GetParent(owner)),
              std::pair(owner, THwnd{0}));
    std::uint32_t style = 0;
    EXPECT_EQ(Results({desktop.GetWindowStyle(w, style), desktop.GetWindowStyle(0xBAD, style)}),
              "10");
    EXPECT_EQ(style, WS_POPUP | WS_VISIBLE);
    TRect r;
    TPoint p{10, 3};
    const THwnd bad = 0xBAD; // a window that is not there
    EXPECT_FALSE(desktop.GetWindowRect(bad, r) || desktop.GetClientRect(bad, r) ||
                 desktop.ClientToScreen(bad, p) || desktop.GetParent(bad) != 0 ||
                 !desktop.GetWindowText(bad, 512).empty());
    ASSERT_TRUE(desktop.GetClientRect(w, r));
    EXPECT_EQ(r, (TRect{0, 0, 792, 626}));
    ASSERT_TRUE(desktop.ClientToScreen(w, p));
    EXPECT_EQ(p, (TPoint{114, 73}));

    // Minimised: far away and without a client area; the restore command brings it back, the
    // low four bits of a system command notwithstanding.
    desktop.Minimise(w);
    desktop.Minimise(w); // twice keeps the place to go back to
    ASSERT_TRUE(desktop.GetWindowRect(w, r));
    EXPECT_EQ(r, (TRect{-32000, -32000, -31840, -31972}));
    ASSERT_TRUE(desktop.GetClientRect(w, r));
    EXPECT_EQ(r.Width(), 0);
    desktop.SendMessage(w, WM_SYSCOMMAND, SC_HOTKEY, 0);
    EXPECT_TRUE(desktop.Window(w)->Minimised);
    desktop.SendMessage(w, WM_SYSCOMMAND, SC_RESTORE | 0x2, 0);
    ASSERT_TRUE(desktop.GetWindowRect(w, r));
    EXPECT_EQ(r, (TRect{100, 50, 900, 700}));

    desktop.Sleep(5);
    EXPECT_EQ(Results({desktop.MoveWindow(w, 10, 20, 300, 200, true),
                       desktop.MoveWindow(0xBAD, 0, 0, 1, 1, true)}),
              "10");
    const auto moves = desktop.EventsOf(TSimEventKind::Move);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].Rect, (TRect{10, 20, 310, 220}));
    EXPECT_EQ(moves[0].Time, 5u);
    TRect area;
    ASSERT_TRUE(desktop.GetWorkArea(area));
    EXPECT_EQ(area, (TRect{0, 0, 1600, 1200}));
}

TEST(SimDesktopClock, SleepAdvancesTheClockAndEventsCarryTheirTime) {
    TSimDesktop desktop;
    desktop.KeybdEvent('A', 0x1E, 0);
    desktop.Sleep(100);
    desktop.PumpKeyboardMessages();
    desktop.Sleep(10);
    EXPECT_EQ(Results({desktop.MessageBeep(0x30), desktop.ShellOpen("https://example.org/help")}),
              "11");
    EXPECT_EQ(desktop.Now(), 110u);
    // Kind and time of each event.
    std::vector<std::pair<TSimEventKind, std::uint64_t>> seen;
    for (const auto& e : desktop.Events()) seen.emplace_back(e.Kind, e.Time);
    EXPECT_EQ(seen, (std::vector<std::pair<TSimEventKind, std::uint64_t>>{
                        {TSimEventKind::Key, 0},
                        {TSimEventKind::Sleep, 0},
                        {TSimEventKind::Pump, 100},
                        {TSimEventKind::Sleep, 100},
                        {TSimEventKind::Beep, 110},
                        {TSimEventKind::ShellOpen, 110}}));
    const auto& events = desktop.Events();
    EXPECT_EQ(std::tuple(events[3].Ms, events[4].Flags, events[5].Text),
              std::tuple(std::uint32_t{10}, std::uint32_t{0x30}, "https://example.org/help"));

    // Message boxes answer Ok unless a handler answers for them.
    EXPECT_EQ(desktop.MessageBox(0x99, "Invalid KeyName", "SendKeys", MB_OK), IDOK);
    desktop.MessageBoxHandler = [](const std::string& text, const std::string& caption,
                                   std::uint32_t) {
        return caption + text == "KorvaneSure?" ? 7 : 0;
    };
    EXPECT_EQ(desktop.MessageBox(0, "Sure?", "Korvane", MB_ICONERROR), 7);
    const auto boxes = desktop.EventsOf(TSimEventKind::MessageBox);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(std::tuple(boxes[0].Window, boxes[0].Caption, boxes[1].Flags),
              std::tuple(THwnd{0x99}, "SendKeys", std::uint32_t{MB_ICONERROR}));
}

// Registration as the docking tests do not reach it: conflicts of ids and combinations.
TEST(SimDesktopHotKeys, RegistrationConflictsAndPresses) {
    TSimDesktop desktop;
    const THwnd main = 0x777;
    std::vector<int> pressed;
    desktop.SetHotKeyHandler([&pressed](int id) { pressed.push_back(id); });
    // The same combination under another id and the same id again fail; unregistered once,
    // not by another window; then the combination is free for another id.
    EXPECT_EQ(Results({desktop.RegisterHotKey(main, 1001, MOD_CONTROL | MOD_SHIFT, 'D'),
                       desktop.RegisterHotKey(main, 1002, MOD_CONTROL | MOD_SHIFT, 'D'),
                       desktop.RegisterHotKey(main, 1001, MOD_ALT, 'L'),
                       desktop.RegisterHotKey(main, 1002, MOD_ALT, 'L'),
                       desktop.UnregisterHotKey(0x778, 1002), desktop.UnregisterHotKey(main, 1001),
                       desktop.UnregisterHotKey(main, 1001),
                       desktop.RegisterHotKey(main, 1003, MOD_CONTROL | MOD_SHIFT, 'D'),
                       desktop.PressHotKey(MOD_SHIFT | MOD_CONTROL, 'D'),
                       desktop.PressHotKey(MOD_ALT, 'L'), desktop.PressHotKey(0, 'L')}),
              "10010101110");
    EXPECT_EQ(pressed, (std::vector<int>{1003, 1002}));
}

TEST(SimDesktopProcesses, CreationPriorityAndHandles) {
    TSimDesktop desktop;
    desktop.CreateProcessHandler = [&desktop](const std::string& commandLine, const std::string&) {
        desktop.SetLastError(2);
        return commandLine.find("missing") == std::string::npos;
    };
    TProcessInfo info;
    EXPECT_FALSE(desktop.CreateProcess("missing.exe", "C:\\", 0, info));
    EXPECT_EQ(desktop.GetLastError(), 2u);
    ASSERT_TRUE(desktop.CreateProcess("dromed.exe", "C:\\Games", CREATE_DEFAULT_ERROR_MODE, info));
    // Handles close once; a closed or unknown process takes no priority.
    EXPECT_EQ(Results({desktop.SetPriorityClass(0xBAD, BELOW_NORMAL_PRIORITY_CLASS),
                       desktop.CloseHandle(info.Thread), desktop.CloseHandle(info.Process),
                       desktop.CloseHandle(info.Process),
                       desktop.SetPriorityClass(info.Process, BELOW_NORMAL_PRIORITY_CLASS)}),
              "01100");
}

// The layout's values are those of a US keyboard on Windows.
TEST(SimDesktopKeyboard, UsLayoutScanCodesAndCharacters) {
    TSimDesktop desktop;
    const std::vector<std::pair<char, std::int16_t>> scans = {
        {'a', 0x41},  {'A', 0x141}, {'0', 0x30},  {')', 0x130}, {'@', 0x132},    {':', 0x1BA},
        {';', 0xBA},  {'{', 0x1DB}, {']', 0xDD},  {'~', 0x1C0}, {'`', 0xC0},     {'+', 0x1BB},
        {'_', 0x1BD}, {'<', 0x1BC}, {'?', 0x1BF}, {'|', 0x1DC}, {'"', 0x1DE},    {'\'', 0xDE},
        {' ', 0x20},  {'\t', 0x09}, {'\r', 0x0D}, {'\b', 0x08}, {'\x1B', 0x2DB}, {'\n', 0x20D},
        {'\x01', -1}, {'\x7F', -1}, {'\0', -1},   {'\xE9', -1},
    };
    for (const auto& [ch, code] : scans)
        EXPECT_EQ(desktop.VkKeyScan(ch), code) << "character " << static_cast<int>(ch);

    // Virtual key to scan code (0), back (1) and to its character (2).
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> codes = {
        {VK_ESCAPE, 0x01},  {'0', 0x0B},        {0xBB, 0x0D}, {VK_TAB, 0x0F},     {VK_OEM_6, 0x1B},
        {VK_CONTROL, 0x1D}, {'L', 0x26},        {0xC0, 0x29}, {0xDC, 0x2B},       {0xBF, 0x35},
        {VK_MENU, 0x38},    {VK_CAPITAL, 0x3A}, {0x79, 0x44}, {VK_NUMLOCK, 0x45}, {VK_HOME, 0x47},
        {VK_CLEAR, 0x4C},   {VK_DELETE, 0x53},  {0x7B, 0x58}, {VK_F16, 0x67},     {VK_CANCEL, 0x46},
        {VK_PRINT, 0},      {0x07, 0},          {0x141, 0},
    };
    for (const auto& [vk, scan] : codes) EXPECT_EQ(desktop.MapVirtualKey(vk, 0), scan) << vk;
    const std::vector<std::uint32_t> mapped = {
        desktop.MapVirtualKey(0x46, 1),   desktop.MapVirtualKey(0x2B, 1),
        desktop.MapVirtualKey(0x7F, 1),   desktop.MapVirtualKey('A', 2),
        desktop.MapVirtualKey(0xBA, 2),   desktop.MapVirtualKey(VK_RETURN, 2),
        desktop.MapVirtualKey(VK_LEFT, 2)};
    EXPECT_EQ(mapped, (std::vector<std::uint32_t>{VK_SCROLL, 0xDC, 0, 'A', ';', 0x0D, 0}));
}

TEST(SimDesktopKeyboard, ModifiersToggleKeysAndTheKeyboardState) {
    TSimDesktop desktop;
    const THwnd w = desktop.CreateSimWindow(Plain({0, 0, 5, 5}));
    std::string typed;
    desktop.Window(w)->OnKey = [&typed](const TSimKeyInput& in) {
        if (in.Char != 0) typed += in.Char;
    };
    ASSERT_TRUE(desktop.SetForegroundWindow(w));

    // Ctrl and Alt type nothing; Caps Lock shifts letters only; the right Shift is Shift.
    desktop.KeybdEvent(VK_CONTROL, 0x1D, 0);
    Tap(desktop, 'C');
    desktop.KeybdEvent(VK_CONTROL, 0x1D, KEYEVENTF_KEYUP);
    desktop.KeybdEvent(VK_MENU, 0x38, 0);
    Tap(desktop, 'F');
    desktop.KeybdEvent(VK_MENU, 0x38, KEYEVENTF_KEYUP);
    Tap(desktop, VK_CAPITAL);
    Tap(desktop, 'Q');
    Tap(desktop, '2');
    desktop.KeybdEvent(0xA1, 0x36, 0);
    EXPECT_LT(desktop.GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(desktop.GetKeyState(0xA1), 0);
    Tap(desktop, 'Q');
    Tap(desktop, '2');
    desktop.KeybdEvent(0xA1, 0x36, KEYEVENTF_KEYUP);
    Tap(desktop, VK_CAPITAL);
    Tap(desktop, 'Q');
    Tap(desktop, VK_LEFT);
    EXPECT_EQ(typed, "Q2q@q");
    EXPECT_EQ(desktop.GetKeyState(VK_SHIFT), 0);

    // A held key has the high bits, a toggle key flips bit 0 on each press.
    desktop.KeybdEvent(VK_SCROLL, 0x46, 0);
    EXPECT_EQ(static_cast<std::uint16_t>(desktop.GetKeyState(VK_SCROLL)), 0xFF81);
    TKeyboardState state{};
    ASSERT_TRUE(desktop.GetKeyboardState(state));
    EXPECT_EQ(state[VK_SCROLL], 0x81);
    desktop.KeybdEvent(VK_SCROLL, 0x46, KEYEVENTF_KEYUP);
    EXPECT_EQ(desktop.GetKeyState(VK_SCROLL), 1);
    Tap(desktop, VK_SCROLL);
    EXPECT_EQ(desktop.GetKeyState(VK_SCROLL) | desktop.GetKeyState(-1) | desktop.GetKeyState(0x100),
              0);

    // A key that closes the window it goes to.
    desktop.Window(w)->OnKey = [&desktop, w](const TSimKeyInput& in) {
        if (in.Vk == VK_ESCAPE && in.Down) desktop.DestroySimWindow(w);
    };
    Tap(desktop, VK_ESCAPE);
    EXPECT_FALSE(desktop.IsWindow(w));
    EXPECT_EQ(desktop.GetForegroundWindow(), 0u);
    // Without a window keys still change the keyboard state.
    Tap(desktop, VK_NUMLOCK);
    EXPECT_EQ(desktop.GetKeyState(VK_NUMLOCK), 1);
}

TEST(SimDesktopScreen, PixelsComeFromTheTopmostVisibleWindow) {
    TSimDesktop desktop(200, 100);
    const THwnd painted = desktop.CreateSimWindow(Framed({10, 10, 110, 90}));
    desktop.Window(painted)->PaintPixel = Pattern;
    desktop.CreateSimWindow(Framed({60, 0, 150, 50}));

    EXPECT_EQ(desktop.ScreenPixel(0, 0), 0x404000u);       // desktop
    EXPECT_EQ(desktop.ScreenPixel(10, 10), 0xC0C0C0u);     // frame of the painted window
    EXPECT_EQ(desktop.ScreenPixel(14, 30), Pattern(0, 0)); // its client origin
    EXPECT_EQ(desktop.ScreenPixel(20, 45), Pattern(6, 15));
    EXPECT_EQ(desktop.ScreenPixel(70, 30), 0x808080u);       // the grey window on top
    EXPECT_EQ(desktop.ScreenPixel(70, 60), Pattern(56, 30)); // below the grey window
    EXPECT_EQ(desktop.ScreenPixel(-1, 5), 0u);               // off the screen
    EXPECT_EQ(desktop.ScreenPixel(200, 5), 0u);
    // A copy of the screen shows the same.
    const THandle screen = desktop.GetDC(0);
    const THandle memory = desktop.CreateCompatibleDC(screen);
    ASSERT_NE(desktop.SelectObject(memory, desktop.CreateCompatibleBitmap(screen, 200, 100)), 0u);
    ASSERT_TRUE(desktop.BitBlt(memory, 0, 0, 200, 100, screen, 0, 0));
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(desktop.GetPixel(memory, x, y), desktop.ScreenPixel(x, y)) << x << "," << y;
    }
    ASSERT_TRUE(desktop.SetForegroundWindow(painted));
    EXPECT_EQ(desktop.ScreenPixel(70, 30), Pattern(56, 0));
    desktop.Window(painted)->Props.Style &= ~WS_VISIBLE;
    EXPECT_EQ(desktop.ScreenPixel(20, 45), 0x404000u);
}

TEST(SimDesktopScreen, CopiesClipAndDeviceContextsFollowTheirRules) {
    TSimDesktop desktop(50, 40);
    // The client area fills the screen; the window's frame lies off it.
    const THwnd w = desktop.CreateSimWindow(Framed({-4, -20, 54, 44}));
    desktop.Window(w)->PaintPixel = Pattern;
    const THandle screen = desktop.GetDC(0);
    const THandle memory = desktop.CreateCompatibleDC(screen);
    const THandle bitmap = desktop.CreateCompatibleBitmap(screen, 10, 10);
    // Handles that are not there, sizes of nothing, contexts of the wrong kind.
    EXPECT_EQ((std::vector<THandle>{desktop.GetDC(0xBAD), desktop.CreateCompatibleDC(0xBAD),
                                    desktop.CreateCompatibleBitmap(0xBAD, 10, 10),
                                    desktop.CreateCompatibleBitmap(screen, 0, 10),
                                    desktop.CreateCompatibleBitmap(screen, 10, -1),
                                    desktop.SelectObject(memory, 0xBAD),
                                    desktop.SelectObject(0xBAD, bitmap),
                                    desktop.SelectObject(screen, bitmap)}),
              std::vector<THandle>(8, 0));
    EXPECT_EQ(desktop.GetPixel(0xBAD, 0, 0), CLR_INVALID);
    // Nothing selected yet: no pixels to read or copy into.
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    EXPECT_EQ(
        Results({desktop.ReleaseDC(0, memory), desktop.DeleteDC(0xBAD), desktop.DeleteObject(0xBAD),
                 desktop.ReadPixels(memory, width, height, pixels),
                 desktop.BitBlt(memory, 0, 0, 10, 10, screen, 0, 0)}),
        "00000");
    const THandle stock = desktop.SelectObject(memory, bitmap);
    ASSERT_NE(stock, 0u);
    // A bitmap cannot be in two device contexts at once.
    const THandle other = desktop.CreateCompatibleDC(screen);
    EXPECT_EQ(desktop.SelectObject(other, bitmap), 0u);
    EXPECT_TRUE(desktop.DeleteDC(other));

    // Wider than the bitmap and partly beyond the right edge of the screen.
    ASSERT_TRUE(desktop.BitBlt(memory, 2, 3, 20, 20, screen, 45, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 0, 0), 0u); // untouched, bitmaps start black
    EXPECT_EQ(desktop.GetPixel(memory, 2, 3), Pattern(45, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 6, 9), Pattern(49, 6));
    EXPECT_EQ(desktop.GetPixel(memory, 7, 9), 0u); // x = 50 lies off the screen
    for (const TPoint outside : {TPoint{-1, 0}, TPoint{0, -1}, TPoint{10, 0}, TPoint{0, 10}})
        EXPECT_EQ(desktop.GetPixel(memory, outside.X, outside.Y), CLR_INVALID);
    // Unknown contexts fail; nothing to copy succeeds.
    EXPECT_EQ(Results({desktop.BitBlt(0xBAD, 0, 0, 10, 10, screen, 0, 0),
                       desktop.BitBlt(memory, 0, 0, 10, 10, 0xBAD, 0, 0),
                       desktop.BitBlt(memory, 0, 0, 0, 10, screen, 0, 0)}),
              "001");
    ASSERT_TRUE(desktop.ReadPixels(memory, width, height, pixels));
    EXPECT_EQ(pixels[3 * 10 + 2], Pattern(45, 0));

    // A window's device context starts at its client area.
    const THandle dc = desktop.GetDC(w);
    EXPECT_EQ(desktop.GetPixel(dc, 5, 6), Pattern(5, 6));
    // Not released for another window, nor deleted: released by its own.
    EXPECT_EQ(Results({desktop.ReleaseDC(0, dc), desktop.DeleteDC(dc), desktop.ReleaseDC(w, dc)}),
              "001");

    // Putting the stock bitmap back returns the copy's bitmap.
    EXPECT_EQ(desktop.SelectObject(memory, stock), bitmap);
    ASSERT_NE(desktop.SelectObject(memory, bitmap), 0u);
    EXPECT_EQ(desktop.LiveGdiObjects(), 3);
    // Freed in the wrong order: the bitmap goes with the context it is still selected into.
    EXPECT_TRUE(desktop.DeleteObject(bitmap));
    EXPECT_EQ(desktop.GetPixel(memory, 2, 3), Pattern(45, 0));
    EXPECT_EQ(Results({desktop.DeleteObject(bitmap), desktop.DeleteDC(memory),
                       desktop.DeleteDC(memory), desktop.ReleaseDC(0, screen)}),
              "0101");
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);

    // A bitmap made for an empty memory context is monochrome: bright pixels are white.
    const THandle screen2 = desktop.GetDC(0);
    const THandle monoDc = desktop.CreateCompatibleDC(screen2);
    const THandle mono = desktop.CreateCompatibleBitmap(monoDc, 20, 20);
    ASSERT_NE(desktop.SelectObject(monoDc, mono), 0u);
    desktop.Window(w)->PaintPixel = [](int x, int) -> std::uint32_t {
        return x < 10 ? 0xFFFFFF : 0x3080F0;
    };
    ASSERT_TRUE(desktop.BitBlt(monoDc, 0, 0, 20, 20, screen2, 0, 0));
    EXPECT_EQ(std::pair(desktop.GetPixel(monoDc, 3, 3), desktop.GetPixel(monoDc, 15, 3)),
              std::pair(0xFFFFFFu, 0u));
}

} // namespace
} // namespace kv::sim
