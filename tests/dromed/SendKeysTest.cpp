// The key-script sender on the simulated desktop: which key events a script injects, in which
// order and with which flags and scan codes, what it reports, and what a focused window types.
#include "dromed/SendKeys.h"

#include "platform/sim/SimDesktop.h"
#include "text/Exception.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv {
namespace {

using namespace std::string_literals;
using sim::TSimDesktop;
using sim::TSimEventKind;

constexpr std::uint8_t kShift = win::VK_SHIFT;
constexpr std::uint8_t kCtrl = win::VK_CONTROL;
constexpr std::uint8_t kAlt = win::VK_MENU;
constexpr std::uint8_t kColonKey = 0xBA; // ";" and ":" on a US keyboard
constexpr std::uint32_t kUp = win::KEYEVENTF_KEYUP;
constexpr std::uint32_t kExtended = win::KEYEVENTF_EXTENDEDKEY;

// One injected key event as the tests compare it.
struct TKey {
    std::uint8_t Vk = 0;
    std::uint32_t Flags = 0;
    friend bool operator==(const TKey&, const TKey&) = default;
};

void PrintTo(const TKey& key, std::ostream* os) {
    *os << ((key.Flags & kUp) != 0 ? "up 0x" : "down 0x") << std::hex << int{key.Vk} << " flags "
        << key.Flags << std::dec;
}

using TKeys = std::vector<TKey>;

TKeys operator+(TKeys a, const TKeys& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TKeys Down(std::uint8_t vk) { return {{vk, 0}}; }
TKeys Up(std::uint8_t vk) { return {{vk, kUp}}; }
TKeys Tap(std::uint8_t vk, int times = 1) {
    TKeys keys;
    for (int i = 0; i < times; ++i) keys = keys + Down(vk) + Up(vk);
    return keys;
}
TKeys ExtendedTap(std::uint8_t vk) { return {{vk, kExtended}, {vk, kExtended | kUp}}; }
TKeys Shifted(const TKeys& keys) { return Down(kShift) + keys + Up(kShift); }
TKeys None() { return {}; }

// A simulated desktop and what the sender did to it.
class SendKeysTest : public ::testing::Test {
protected:
    [[nodiscard]] TKeys KeysSent() const {
        TKeys keys;
        for (const auto& e : desktop_.EventsOf(TSimEventKind::Key)) keys.push_back({e.Vk, e.Flags});
        return keys;
    }

    // The texts of the message boxes shown, each checked to be a plain "SendKeys" box.
    [[nodiscard]] std::vector<std::string> MessagesShown() const {
        std::vector<std::string> texts;
        for (const auto& e : desktop_.EventsOf(TSimEventKind::MessageBox)) {
            EXPECT_EQ(e.Caption, "SendKeys");
            EXPECT_EQ(e.Window, THwnd{0});
            EXPECT_EQ(e.Flags, win::MB_OK);
            texts.push_back(e.Text);
        }
        return texts;
    }

    TSimDesktop desktop_;
};

// ---------------------------------------------------------------------------------------------
// Scripts and the key events they inject

TEST_F(SendKeysTest, ScriptsInjectTheirKeysInOrder) {
    const std::pair<std::string, TKeys> cases[] = {
        {"ab", Tap('A') + Tap('B')},
        {"A", Shifted(Tap('A'))},
        {"{ESCAPE}(:)", Tap(win::VK_ESCAPE) + Shifted(Tap(kColonKey))},
        {"+a", Shifted(Tap('A'))},
        // Prefixes go down in the order Alt, Ctrl, Shift and are released the other way.
        {"%^+x",
         Down(kAlt) + Down(kCtrl) + Down(kShift) + Tap('X') + Up(kShift) + Up(kCtrl) + Up(kAlt)},
        {"+ab", Shifted(Tap('A')) + Tap('B')}, // a prefix applies to one key only
        {"+(ab)", Shifted(Tap('A') + Tap('B'))},
        {"(ab)c", Tap('A') + Tap('B') + Tap('C')},
        {"+((a)b)", Shifted(Tap('A')) + Tap('B')}, // groups do not nest
        {"~", Tap(win::VK_RETURN)},
        {"+~b", Shifted(Tap(win::VK_RETURN)) + Tap('B')},
        {"+{TAB}", Shifted(Tap(win::VK_TAB))},
        {"+{a}", Down(kShift) + Shifted(Tap('A')) + Up(kShift)},
        // Repeat counts: a sign, the low 16 bits, zero.
        {"{TAB 3}", Tap(win::VK_TAB, 3)},
        {"{TAB +2}", Tap(win::VK_TAB, 2)},
        {"{TAB 65538}", Tap(win::VK_TAB, 2)},
        {"{TAB -65535}", Tap(win::VK_TAB)},
        {"{TAB 0}", None()},
        {"{x 3}", Shifted(Tap('X', 3))},
        {"{a}", Shifted(Tap('A'))},
        {"{a 0}", Shifted(None())},
        {"{1 0}", None()},
        {"{LEFT}", TKeys{{win::VK_LEFT, 1}, {win::VK_LEFT, 3}}}, // extended
        // Braces: "{{" skips the third character whatever it is; text before "}}" is ignored.
        {"{{}", Shifted(Tap(win::VK_OEM_4))},
        {"{{xy", Shifted(Tap(win::VK_OEM_4)) + Tap('Y')},
        {"a{{", Tap('A') + Shifted(Tap(win::VK_OEM_4))},
        {"{TAB 3}}", Shifted(Tap(win::VK_OEM_6))},
        {"^{{}a", Down(kCtrl) + Shifted(Tap(win::VK_OEM_4)) + Up(kCtrl) + Tap('A')},
        {"{+}{%}{^}{~}{(}{)}", Shifted(Tap(0xBB)) + Shifted(Tap('5')) + Shifted(Tap('6')) +
                                   Shifted(Tap(0xC0)) + Shifted(Tap('9')) + Shifted(Tap('0'))},
        {"{TAB 0000000000000003xyz}", Tap(win::VK_TAB, 3)}, // the group is cut after 20
        // Modifiers still held at the end, or in an unclosed group, are released.
        {"+^", Down(kShift) + Down(kCtrl) + Up(kShift) + Up(kCtrl)},
        {"+(a", Shifted(Tap('A'))},
        {"ab\0cd"s, Tap('A') + Tap('B')}, // the script ends at a NUL
    };
    for (const auto& [script, keys] : cases) {
        desktop_.ClearEvents();
        EXPECT_TRUE(SendKeys(desktop_, script, false)) << script;
        EXPECT_EQ(KeysSent(), keys) << script;
        EXPECT_TRUE(MessagesShown().empty()) << script;
    }
}

// ---------------------------------------------------------------------------------------------
// Every key name

TEST_F(SendKeysTest, EveryKeyNameInBracesSendsItsKeyInAnyCase) {
    const std::pair<const char*, std::uint8_t> names[] = {
        {"BACKSPACE", 0x08}, {"BKSP", 0x08},  {"BREAK", 0x03},      {"BS", 0x08},
        {"CAPSLOCK", 0x14},  {"CLEAR", 0x0C}, {"DEL", 0x2E},        {"DELETE", 0x2E},
        {"DOWN", 0x28},      {"END", 0x23},   {"ENTER", 0x0D},      {"ESC", 0x1B},
        {"ESCAPE", 0x1B},    {"F1", 0x70},    {"F10", 0x79},        {"F12", 0x7B},
        {"F16", 0x7F},       {"F9", 0x78},    {"HELP", 0x2F},       {"HOME", 0x24},
        {"INS", 0x2D},       {"LEFT", 0x25},  {"PGDN", 0x22},       {"PGUP", 0x21},
        {"PRTSC", 0x2A},     {"RIGHT", 0x27}, {"SCROLLLOCK", 0x91}, {"TAB", 0x09},
        {"UP", 0x26}};
    for (const auto& [name, vk] : names) {
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        desktop_.ClearEvents();
        EXPECT_TRUE(SendKeys(desktop_, "{"s + name + "}{" + lower + " 2}", false));
        // The cursor block, Insert and Delete go with the extended-key flag.
        const bool extended = (vk >= 0x21 && vk <= 0x28) || vk == 0x2D || vk == 0x2E;
        const TKeys press = extended ? ExtendedTap(vk) : Tap(vk);
        EXPECT_EQ(KeysSent(), press + press + press) << name;
        EXPECT_TRUE(MessagesShown().empty()) << name;
    }
}

TEST_F(SendKeysTest, ScanCodesAreThoseOfAUsKeyboard) {
    ASSERT_TRUE(SendKeys(desktop_, "^%a:{ESC}{TAB}~{LEFT}{{}{}}{BS}", false));
    const std::map<std::uint8_t, std::uint8_t> scanCodes{
        {kShift, 0x2A},       {kCtrl, 0x1D},          {kAlt, 0x38},          {'A', 0x1E},
        {kColonKey, 0x27},    {win::VK_ESCAPE, 0x01}, {win::VK_TAB, 0x0F},   {win::VK_RETURN, 0x1C},
        {win::VK_LEFT, 0x4B}, {win::VK_OEM_4, 0x1A},  {win::VK_OEM_6, 0x1B}, {win::VK_BACK, 0x0E}};
    const auto events = desktop_.EventsOf(TSimEventKind::Key);
    ASSERT_EQ(events.size(), 28u);
    for (const auto& e : events) {
        ASSERT_TRUE(scanCodes.contains(e.Vk)) << "vk 0x" << std::hex << int{e.Vk};
        EXPECT_EQ(e.Scan, scanCodes.at(e.Vk)) << "vk 0x" << std::hex << int{e.Vk};
    }
}

// ---------------------------------------------------------------------------------------------
// NumLock

TEST_F(SendKeysTest, NumLockTogglesTheKeyboardStateBitAloneWithoutAKeyEvent) {
    TKeyboardState state{};
    ASSERT_TRUE(desktop_.GetKeyboardState(state));
    state[win::VK_CAPITAL] = 0x01;
    state[win::VK_NUMLOCK] = static_cast<std::uint8_t>(state[win::VK_NUMLOCK] & ~1u);
    ASSERT_TRUE(desktop_.SetKeyboardState(state));
    desktop_.ClearEvents();

    EXPECT_TRUE(SendKeys(desktop_, "{NUMLOCK 2}", true)); // the count is ignored
    TKeyboardState after{};
    ASSERT_TRUE(desktop_.GetKeyboardState(after));
    state[win::VK_NUMLOCK] = static_cast<std::uint8_t>(state[win::VK_NUMLOCK] | 1u);
    EXPECT_EQ(after, state);
    EXPECT_TRUE(desktop_.EventsOf(TSimEventKind::Key).empty());
    EXPECT_TRUE(desktop_.EventsOf(TSimEventKind::Pump).empty());
    EXPECT_EQ(desktop_.EventsOf(TSimEventKind::KeyboardState).size(), 1u);
    EXPECT_TRUE(SendKeys(desktop_, "{numlock}", true));
    EXPECT_EQ(desktop_.GetKeyState(win::VK_NUMLOCK) & 1, 0);
}

// ---------------------------------------------------------------------------------------------
// Reported problems

TEST_F(SendKeysTest, ProblemsAreReportedAndTheScriptGoesOnOrStops) {
    const std::string bad = "\xE9"; // no key of the US layout types it
    const std::string name = "Invalid Key Name";
    struct TCase {
        std::string Script;
        bool Result;
        std::vector<std::string> Messages;
        TKeys Keys;
    };
    const TCase cases[] = {
        // A character without a key, or an unknown name, keeps the modifiers held.
        {"+" + bad + "a", true, {"Invalid KeyName"}, Shifted(Tap('A'))},
        {"{" + bad + "}a", true, {}, Tap('A')}, // as a one-character group: skipped silently
        {"+{NOPE}a", true, {name}, Shifted(Tap('A'))},
        {"{TA}{TABS}{F17}{F0}", true, {name, name, name, name}, None()}, // names match whole
        {"{}", true, {name}, None()},
        {"{ 5}", true, {name}, None()},
        {"{ABCDEFGHIJKLMNOPQRSTUVWXYZ}", true, {name}, None()},
        {bad + "{X1}" + bad, true, {"Invalid KeyName", name, "Invalid KeyName"}, None()},
        {"a{TAB 3", false, {"No Close"}, Tap('A')},
        {"+^{TAB", false, {"No Close"}, Down(kShift) + Down(kCtrl) + Up(kShift) + Up(kCtrl)},
        {"+(a{", false, {"No Close"}, Shifted(Tap('A'))},
        {"{", false, {"No Close"}, None()},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Script);
        desktop_.ClearEvents();
        EXPECT_EQ(SendKeys(desktop_, c.Script, false), c.Result);
        EXPECT_EQ(MessagesShown(), c.Messages);
        EXPECT_EQ(KeysSent(), c.Keys);
    }
}

TEST_F(SendKeysTest, EmptyScriptReturnsFalseWithoutAnyEvent) {
    EXPECT_FALSE(SendKeys(desktop_, "", true));
    EXPECT_FALSE(SendKeys(desktop_, std::string_view{}, false));
    EXPECT_FALSE(SendKeys(desktop_, "\0abc"s, false)); // a script starting with NUL is empty
    EXPECT_TRUE(desktop_.Events().empty());
}

TEST_F(SendKeysTest, RepeatCountThatIsNoNumberRaisesTheIntegerConversionError) {
    const std::pair<const char*, const char*> cases[] = {
        {"{TAB x}", "'X' is not a valid integer value"},
        {"{TAB }", "'' is not a valid integer value"},
        {"{TAB +-3}", "'+-3' is not a valid integer value"},
        {"{TAB 0x10}", "'0X10' is not a valid integer value"},
        {"{TAB 4294967296}", "'4294967296' is not a valid integer value"},
        // The group's text is cut after twenty characters, the count with it.
        {"{ABCDEFGHIJKLMNOPQRS 5}", "'' is not a valid integer value"},
        {"{ }", "'' is not a valid integer value"}, // a space as a one-character group
    };
    for (const auto& [script, message] : cases) {
        std::string what;
        try {
            (void)SendKeys(desktop_, script, false);
        } catch (const Exception& e) {
            what = e.what();
        }
        EXPECT_EQ(what, message) << script;
    }
}

TEST_F(SendKeysTest, KeysBeforeABadCountAreSentAndTheHeldShiftReleased) {
    EXPECT_THROW((void)SendKeys(desktop_, "ab+{TAB z}c", false), Exception);
    EXPECT_EQ(KeysSent(), Tap('A') + Tap('B') + Down(kShift) + Up(kShift));
    EXPECT_EQ(desktop_.GetKeyState(win::VK_SHIFT) & 0x8000, 0);
}

// ---------------------------------------------------------------------------------------------
// Message pumping and pacing

TEST_F(SendKeysTest, WaitPumpsTheKeyboardMessagesAfterEveryKeyEventAndNeverSleeps) {
    // "k" a key event, "p" a pump, "s" a sleep.
    for (const bool wait : {true, false}) {
        desktop_.ClearEvents();
        ASSERT_TRUE(SendKeys(desktop_, "+a{TAB 2}{LEFT}{{}", wait));
        std::string kinds;
        for (const auto& e : desktop_.Events())
            kinds += e.Kind == TSimEventKind::Key ? 'k' : e.Kind == TSimEventKind::Pump ? 'p' : 's';
        EXPECT_EQ(kinds, wait ? "kpkpkpkpkpkpkpkpkpkpkpkpkpkp" : "kkkkkkkkkkkkkk");
    }
}

// ---------------------------------------------------------------------------------------------
// What the focused window types

// Puts the special characters of key scripts in braces, so that each is typed as itself.
std::string Escaped(std::string_view text) {
    std::string script;
    for (const char c : text) {
        if (std::strchr("%()+^{}~", c) != nullptr)
            script += "{"s + c + "}";
        else
            script += c;
    }
    return script;
}

TEST_F(SendKeysTest, FocusedWindowReceivesTheCharactersWithOrWithoutPumping) {
    std::string typed;
    const THwnd window = desktop_.CreateSimWindow(
        {.ClassName = "KorvaneTypingTarget", .Title = "Typing target", .Rect = {0, 0, 400, 300}});
    desktop_.Window(window)->OnKey = [&typed](const sim::TSimKeyInput& input) {
        if (input.Down && input.Char != 0) typed += input.Char;
    };
    ASSERT_TRUE(desktop_.SetForegroundWindow(window));
    std::string printable;
    for (char c = 0x20; c < 0x7F; ++c) printable += c;
    const std::pair<std::string, std::string> cases[] = {
        {"+(hello) world{x 3}{- 2}", "HELLO worldXXX--"},
        {Escaped(printable), printable},
    };
    for (const auto& [script, text] : cases) {
        for (const bool wait : {true, false}) {
            typed.clear();
            EXPECT_TRUE(SendKeys(desktop_, script, wait));
            EXPECT_EQ(typed, text) << script << (wait ? " pumping" : "");
        }
    }
}

} // namespace
} // namespace kv
