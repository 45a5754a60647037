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
    case WM_CHAR:
        ReceivedChars += static_cast<char>(wParam);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        const HBRUSH background = CreateSolidBrush(kBackground);
        const HBRUSH block = CreateSolidBrush(kBlock);
        FillRect(dc, &client, background);
        const RECT corner{0, 0, 10, 10};
        FillRect(dc, &corner, block);
        DeleteObject(background);
        DeleteObject(block);
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcA(window, msg, wParam, lParam);
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
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = TestWindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KorvaneTestMain";
        RegisterClassExA(&windowClass);
        windowClass.lpszClassName = "KorvaneTestDialog";
        RegisterClassExA(&windowClass);

        main_ = Make("KorvaneTestMain", "Test - DromEd", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
        owned_ = Make("KorvaneTestDialog", "Owned", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, main_);
        popup_ = Make("KorvaneTestDialog", "Popup", WS_POPUP | WS_BORDER | WS_VISIBLE, main_);
        child_ = Make("KorvaneTestDialog", "Child", WS_CHILD | WS_VISIBLE, main_);
        ASSERT_TRUE(main_ && owned_ && popup_ && child_);
        // The dialogs stand beside the main window, so that nothing covers its client area.
        MoveWindow(owned_, 700, 500, 200, 150, TRUE);
        MoveWindow(popup_, 700, 700, 200, 150, TRUE);
        PumpAllMessages();
    }
    void TearDown() override {
        for (HWND w : {popup_, owned_, main_}) {
            if (w) DestroyWindow(w);
        }
        PumpAllMessages();
    }
    static HWND Make(const char* cls, const char* title, DWORD style, HWND owner) {
        return CreateWindowExA(0, cls, title, style, 50, 40, 300, 200, owner, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }
    static THwnd H(HWND w) { return reinterpret_cast<THwnd>(w); }

    TWin32Platform platform_;
    HWND main_ = nullptr;
    HWND owned_ = nullptr;
    HWND popup_ = nullptr;
    HWND child_ = nullptr;
};

TEST_F(Win32Platform, WindowsTheirOwnersStylesAndPlaces) {
    EXPECT_EQ(platform_.FindWindow("KorvaneTestMain"), H(main_));
    EXPECT_EQ(platform_.FindWindow("KorvaneNoSuchClass"), 0u);
    EXPECT_EQ(platform_.GetWindowText(H(main_), 512), "Test - DromEd");
    EXPECT_EQ(platform_.GetWindowText(H(main_), 5), "Test");

    struct TCase {
        HWND Window;
        HWND Parent;
        bool Popup;
    };
    // The dialog without WS_POPUP is owned all the same; a child answers its parent.
    for (const TCase& c : {TCase{owned_, main_, false}, TCase{popup_, main_, true},
                           TCase{child_, main_, false}, TCase{main_, nullptr, false}}) {
        SCOPED_TRACE(platform_.GetWindowText(H(c.Window), 64));
        EXPECT_EQ(platform_.GetParent(H(c.Window)), H(c.Parent));
        std::uint32_t style = 0;
        ASSERT_TRUE(platform_.GetWindowStyle(H(c.Window), style));
        EXPECT_EQ((style & WS_POPUP) != 0, c.Popup);
        EXPECT_NE(style & WS_VISIBLE, 0u);
    }

    const std::uint32_t thread = platform_.GetWindowThreadProcessId(H(main_));
    EXPECT_EQ(thread, GetCurrentThreadId());
    std::vector<THwnd> seen;
    EXPECT_TRUE(platform_.EnumThreadWindows(thread, [&](THwnd w) {
        seen.push_back(w);
        return true;
    }));
    for (HWND w : {main_, owned_, popup_}) EXPECT_NE(std::ranges::count(seen, H(w)), 0);
    EXPECT_EQ(std::ranges::count(seen, H(child_)), 0);
    int calls = 0;
    EXPECT_FALSE(platform_.EnumThreadWindows(thread, [&](THwnd) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);
    EXPECT_THROW(platform_.EnumThreadWindows(
                     thread, [](THwnd) -> bool { throw std::runtime_error("stop"); }),
                 std::runtime_error);

    ASSERT_TRUE(platform_.MoveWindow(H(main_), 100, 80, 400, 300, true));
    TRect rect;
    ASSERT_TRUE(platform_.GetWindowRect(H(main_), rect));
    EXPECT_EQ(rect, (TRect{100, 80, 500, 380}));
    TRect client;
    ASSERT_TRUE(platform_.GetClientRect(H(main_), client));
    EXPECT_EQ(client.Left, 0);
    EXPECT_LT(client.Width(), 400);
    TPoint origin{0, 0};
    ASSERT_TRUE(platform_.ClientToScreen(H(main_), origin));
    EXPECT_TRUE(origin.X >= 100 && origin.Y > 80 && origin.X + client.Width() <= 500);

    TRect work;
    ASSERT_TRUE(platform_.GetWorkArea(work));
    EXPECT_TRUE(work.Left >= 0 && work.Top >= 0 && work.Width() > 0 && work.Height() > 0);
    EXPECT_LE(work.Right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_LE(work.Bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(platform_.GetDesktopWindow(), H(GetDesktopWindow()));
}

TEST_F(Win32Platform, KeysOfTheUsLayoutReachTheForegroundWindow) {
    struct TKey {
        char Ch;
        std::int16_t Code; // virtual key, Shift in the high byte
    };
    // "(" and ")" are Shift+9 and Shift+0 once the keypad's parentheses are out of the keymap.
    for (const TKey& k : {TKey{'a', 0x41}, TKey{'A', 0x141}, TKey{'(', 0x139}, TKey{')', 0x130},
                          TKey{':', 0x1BA}, TKey{'{', 0x1DB}}) {
        EXPECT_EQ(platform_.VkKeyScan(k.Ch), k.Code) << k.Ch;
    }
    EXPECT_EQ(platform_.MapVirtualKey(VK_RETURN, 0), 0x1Cu);
    EXPECT_EQ(platform_.MapVirtualKey(VK_ESCAPE, 0), 0x01u);

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
    for (int i = 0; i < 5; ++i) {
        PumpAllMessages();
        Sleep(20);
    }
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
    ASSERT_NE(screen, 0u);
    const THandle memory = platform_.CreateCompatibleDC(screen);
    ASSERT_NE(memory, 0u);
    int width = -1;
    int height = -1;
    std::vector<std::uint32_t> pixels;
    EXPECT_FALSE(platform_.ReadPixels(memory, width, height, pixels)); // no bitmap yet

    TRect client;
    ASSERT_TRUE(platform_.GetClientRect(H(main_), client));
    TPoint origin{0, 0};
    ASSERT_TRUE(platform_.ClientToScreen(H(main_), origin));
    const THandle bitmap = platform_.CreateCompatibleBitmap(screen, client.Width(), client.Height());
    ASSERT_NE(bitmap, 0u);
    EXPECT_NE(platform_.SelectObject(memory, bitmap), 0u);
    ASSERT_TRUE(platform_.BitBlt(memory, 0, 0, client.Width(), client.Height(), screen, origin.X,
                                 origin.Y));
    EXPECT_TRUE(platform_.ReleaseDC(desktop, screen));

    ASSERT_TRUE(platform_.ReadPixels(memory, width, height, pixels));
    ASSERT_EQ(width, client.Width());
    ASSERT_EQ(height, client.Height());
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width * height));
    struct TProbe {
        int X;
        int Y;
        std::uint32_t Colour; // 0x00BBGGRR
    };
    // Red 200 sits in the low byte; the block is at the top, so the rows run top-down.
    for (const TProbe& p : {TProbe{0, 0, 0x001E0AC8}, TProbe{9, 9, 0x001E0AC8},
                            TProbe{10, 0, 0x001EC80A}, TProbe{0, 10, 0x001EC80A},
                            TProbe{width - 1, height - 1, 0x001EC80A}}) {
        EXPECT_EQ(pixels[static_cast<std::size_t>(p.Y * width + p.X)], p.Colour)
            << p.X << "," << p.Y;
        EXPECT_EQ(platform_.GetPixel(memory, p.X, p.Y), p.Colour) << p.X << "," << p.Y;
    }
    EXPECT_EQ(platform_.GetPixel(memory, width, 0), CLR_INVALID);
    EXPECT_TRUE(platform_.DeleteDC(memory));
    EXPECT_TRUE(platform_.DeleteObject(bitmap));
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
