// Tests of the simulated desktop's keyboard: the US layout, keys reaching the foreground window
// and the keyboard state.
#include "platform/sim/SimDesktop.h"

#include "platform/SimDesktopTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kv::sim {
namespace {

using namespace kv::win;
using kv::test::WindowDesc;

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
    const THwnd w = desktop.CreateSimWindow(WindowDesc("W", "w", {0, 0, 5, 5}));
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
    const THwnd w = desktop.CreateSimWindow(WindowDesc("W", "w", {0, 0, 5, 5}));
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
    const THwnd behind = desktop.CreateSimWindow(WindowDesc("B", "b", {0, 0, 5, 5}));
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
    const THwnd w = desktop.CreateSimWindow(WindowDesc("W", "w", {0, 0, 5, 5}));
    desktop.Window(w)->OnKey = [&desktop, w](const TSimKeyInput& in) {
        if (in.Vk == VK_ESCAPE && in.Down) desktop.DestroySimWindow(w);
    };
    ASSERT_TRUE(desktop.SetForegroundWindow(w));
    Tap(desktop, VK_ESCAPE);
    EXPECT_FALSE(desktop.IsWindow(w));
    EXPECT_EQ(desktop.GetForegroundWindow(), 0u);
    EXPECT_EQ(desktop.EventsOf(TSimEventKind::Key).size(), 2u);
}

} // namespace
} // namespace kv::sim
