// The Windows backend against the real system (on Linux under Wine, on the desktop that
// scripts/wine-desktop.sh prepares): windows of the test's own, the keyboard, a screen copy and
// a hotkey. <windows.h> is in scope here, so its own names stand for the platform's constants.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kv {
namespace {

// The test window paints a 10-pixel block in one colour at its client's top-left corner and
// the rest in another, and collects the characters it receives.
constexpr COLORREF kBlock = RGB(200, 10, 30);
constexpr COLORREF kBackground = RGB(10, 200, 30);
std::string ReceivedChars;

LRESULT CALLBACK TestWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CHAR: ReceivedChars += static_cast<char>(wParam); return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        for (const auto& [rect, colour] : {std::pair{client, kBackground},
                                           std::pair{RECT{0, 0, 10, 10}, kBlock}}) {
            const HBRUSH brush = CreateSolidBrush(colour);
            FillRect(dc, &rect, brush);
            DeleteObject(brush);
        }
        EndPaint(window, &paint);
        return 0;
    }
    default: return DefWindowProcA(window, msg, wParam, lParam);
    }
}

void PumpAllMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

class Win32Platform : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSEXA windowClass{sizeof(WNDCLASSEXA), 0, TestWindowProc, 0, 0,
                                GetModuleHandleA(nullptr)};
        for (const char* name : {"KorvaneTestMain", "KorvaneTestDialog"}) {
            windowClass.lpszClassName = name;
            RegisterClassExA(&windowClass);
        }

        // The dialogs stand beside the main window, so that nothing covers its client area.
        main_ = Make("KorvaneTestMain", "Test - DromEd", WS_OVERLAPPEDWINDOW, nullptr, 50, 40);
        owned_ = Make("KorvaneTestDialog", "Owned", WS_CAPTION | WS_SYSMENU, main_, 700, 500);
        popup_ = Make("KorvaneTestDialog", "Popup", WS_POPUP | WS_BORDER, main_, 700, 700);
        child_ = Make("KorvaneTestDialog", "Child", WS_CHILD, main_, 50, 40);
        ASSERT_TRUE(main_ && owned_ && popup_ && child_);
        PumpAllMessages();
    }
    void TearDown() override {
        for (HWND w : {popup_, owned_, main_}) DestroyWindow(w);
        PumpAllMessages();
    }
    static HWND Make(const char* cls, const char* title, DWORD style, HWND owner, int x, int y) {
        return CreateWindowExA(0, cls, title, style | WS_VISIBLE, x, y, 300, 200, owner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    static THwnd H(HWND w) { return reinterpret_cast<THwnd>(w); }

    TWin32Platform platform_;
    HWND main_ = nullptr, owned_ = nullptr, popup_ = nullptr, child_ = nullptr;
};

TEST_F(Win32Platform, WindowsTheirOwnersStylesAndPlaces) {
    EXPECT_EQ(platform_.FindWindow("KorvaneTestMain"), H(main_));
    EXPECT_EQ(platform_.FindWindow("KorvaneNoSuchClass"), 0u);
    EXPECT_EQ(platform_.GetWindowText(H(main_), 512), "Test - DromEd");
    EXPECT_EQ(platform_.GetWindowText(H(main_), 5), "Test");

    struct TCase { HWND Window, Parent; bool Popup; };
    // The dialog without WS_POPUP is owned all the same; a child answers its parent.
    std::uint32_t style = 0;
    for (const TCase& c : {TCase{owned_, main_, false}, TCase{popup_, main_, true},
                           TCase{child_, main_, false}, TCase{main_, nullptr, false}}) {
        SCOPED_TRACE(platform_.GetWindowText(H(c.Window), 64));
        EXPECT_EQ(platform_.GetParent(H(c.Window)), H(c.Parent));
        EXPECT_TRUE(platform_.GetWindowStyle(H(c.Window), style) && (style & WS_VISIBLE));
        EXPECT_EQ((style & WS_POPUP) != 0, c.Popup);
    }

    const std::uint32_t thread = platform_.GetWindowThreadProcessId(H(main_));
    EXPECT_EQ(thread, GetCurrentThreadId());
    std::vector<THwnd> seen; // the top-level windows only
    EXPECT_TRUE(
        platform_.EnumThreadWindows(thread, [&](THwnd w) { return seen.push_back(w), true; }));
    for (HWND w : {main_, owned_, popup_, child_})
        EXPECT_EQ(std::ranges::count(seen, H(w)), w == child_ ? 0 : 1);
    int calls = 0;
    EXPECT_FALSE(platform_.EnumThreadWindows(thread, [&](THwnd) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
    EXPECT_THROW(platform_.EnumThreadWindows(
                     thread, [](THwnd) -> bool { throw std::runtime_error("stop"); }),
                 std::runtime_error);

    ASSERT_TRUE(platform_.MoveWindow(H(main_), 100, 80, 400, 300, true));
    TRect rect, client;
    TPoint origin{0, 0};
    ASSERT_TRUE(platform_.GetWindowRect(H(main_), rect) &&
                platform_.GetClientRect(H(main_), client) &&
                platform_.ClientToScreen(H(main_), origin));
    EXPECT_EQ(rect, (TRect{100, 80, 500, 380}));
    EXPECT_TRUE(client.Left == 0 && client.Width() < 400 && origin.X >= 100 && origin.Y > 80 &&
                origin.X + client.Width() <= 500);

    TRect work;
    ASSERT_TRUE(platform_.GetWorkArea(work));
    EXPECT_TRUE(work.Left >= 0 && work.Top >= 0 && work.Width() > 0 && work.Height() > 0 &&
                work.Right <= GetSystemMetrics(SM_CXSCREEN) &&
                work.Bottom <= GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(Win32Platform, KeysOfTheUsLayoutReachTheForegroundWindow) {
    struct TKey { char Ch; std::int16_t Code; }; // virtual key, Shift in the high byte
    // "(" and ")" are Shift+9 and Shift+0 once the keypad's parentheses are out of the keymap.
    for (const TKey& k : {TKey{'a', 0x41}, TKey{'A', 0x141}, TKey{'(', 0x139}, TKey{')', 0x130},
                          TKey{':', 0x1BA}, TKey{'{', 0x1DB}})
        EXPECT_EQ(platform_.VkKeyScan(k.Ch), k.Code) << k.Ch;
    EXPECT_EQ(platform_.MapVirtualKey(VK_RETURN, 0) << 8 | platform_.MapVirtualKey(VK_ESCAPE, 0),
              0x1C01u); // scan codes

    // NumLock flips through the keyboard state, as the key sender does it.
    TKeyboardState state{};
    ASSERT_TRUE(platform_.GetKeyboardState(state));
    const bool numLock = (platform_.GetKeyState(VK_NUMLOCK) & 1) != 0;
    state[VK_NUMLOCK] = numLock ? 0 : 1;
    ASSERT_TRUE(platform_.SetKeyboardState(state));
    EXPECT_EQ((platform_.GetKeyState(VK_NUMLOCK) & 1) != 0, !numLock);

    ASSERT_TRUE(platform_.SetForegroundWindow(H(main_)));
    EXPECT_EQ(platform_.GetForegroundWindow(), H(main_));
    SetFocus(main_);
    // Under Wine the X server's focus event follows and resets the modifier keys; it must be
    // handled before the first Shift goes down.
    for (int i = 0; i < 5; ++i, Sleep(20)) PumpAllMessages();
    ReceivedChars.clear();
    const auto key = [&](std::uint8_t vk, bool up) {
        platform_.KeybdEvent(vk, static_cast<std::uint8_t>(platform_.MapVirtualKey(vk, 0)),
                             up ? KEYEVENTF_KEYUP : 0);
        platform_.PumpKeyboardMessages();
    };
    for (const char ch : std::string("(a)")) {
        const std::int16_t code = platform_.VkKeyScan(ch);
        const auto vk = static_cast<std::uint8_t>(code & 0xFF);
        if (code & 0x100) key(VK_SHIFT, false);
        key(vk, false);
        key(vk, true);
        if (code & 0x100) key(VK_SHIFT, true);
    }
    EXPECT_EQ(ReceivedChars, "(a)");
}

TEST_F(Win32Platform, ScreenCopyReadsBackTheWindowsColours) {
    ASSERT_TRUE(platform_.SetForegroundWindow(H(main_)));
    RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    PumpAllMessages();
    GdiFlush();

    const THwnd desktop = platform_.GetDesktopWindow();
    const THandle screen = platform_.GetDC(desktop);
    const THandle memory = platform_.CreateCompatibleDC(screen);
    ASSERT_TRUE(screen != 0 && memory != 0);
    int width = -1, height = -1;
    std::vector<std::uint32_t> pixels;
    EXPECT_FALSE(platform_.ReadPixels(memory, width, height, pixels)); // no bitmap yet

    TRect client;
    TPoint origin{0, 0};
    ASSERT_TRUE(platform_.GetClientRect(H(main_), client) &&
                platform_.ClientToScreen(H(main_), origin));
    const THandle bitmap =
        platform_.CreateCompatibleBitmap(screen, client.Width(), client.Height());
    ASSERT_TRUE(bitmap != 0 && platform_.SelectObject(memory, bitmap) != 0);
    ASSERT_TRUE(platform_.BitBlt(memory, 0, 0, client.Width(), client.Height(), screen, origin.X,
                                 origin.Y));
    EXPECT_TRUE(platform_.ReleaseDC(desktop, screen));

    ASSERT_TRUE(platform_.ReadPixels(memory, width, height, pixels));
    ASSERT_TRUE(width == client.Width() && height == client.Height() &&
                pixels.size() == static_cast<std::size_t>(width * height));
    struct TProbe { int X, Y; std::uint32_t Colour; }; // 0x00BBGGRR
    // Red 200 sits in the low byte; the block is at the top, so the rows run top-down.
    for (const TProbe& p : {TProbe{0, 0, 0x001E0AC8}, TProbe{9, 9, 0x001E0AC8},
                            TProbe{10, 0, 0x001EC80A}, TProbe{0, 10, 0x001EC80A},
                            TProbe{width - 1, height - 1, 0x001EC80A}}) {
        const auto read = std::pair{pixels[static_cast<std::size_t>(p.Y * width + p.X)],
                                    platform_.GetPixel(memory, p.X, p.Y)};
        EXPECT_EQ(read, std::pair(p.Colour, p.Colour)) << p.X << "," << p.Y;
    }
    EXPECT_EQ(platform_.GetPixel(memory, width, 0), CLR_INVALID);
    EXPECT_TRUE(platform_.DeleteDC(memory) && platform_.DeleteObject(bitmap));
}

TEST_F(Win32Platform, HotKeyPressCallsTheHandler) {
    std::vector<int> pressed;
    platform_.SetHotKeyHandler([&](int id) { pressed.push_back(id); });
    ASSERT_TRUE(platform_.RegisterHotKey(H(main_), 1001, MOD_ALT | MOD_SHIFT, 'K'));
    EXPECT_FALSE(platform_.RegisterHotKey(H(main_), 1002, MOD_ALT | MOD_SHIFT, 'K'));
    ASSERT_NE(platform_.HotKeyWindow(), 0u);

    // The press as the system delivers it to the hidden window.
    PostMessageA(reinterpret_cast<HWND>(platform_.HotKeyWindow()), WM_HOTKEY, 1001, 0);
    PumpAllMessages();
    EXPECT_EQ(pressed, std::vector<int>{1001});

    EXPECT_TRUE(platform_.UnregisterHotKey(H(main_), 1001));
    EXPECT_FALSE(platform_.UnregisterHotKey(H(main_), 1001));
    // Free again: registering the same combination now succeeds.
    EXPECT_TRUE(platform_.RegisterHotKey(H(main_), 1002, MOD_ALT | MOD_SHIFT, 'K'));
}

} // namespace
} // namespace kv
