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
class SendKeysFixture {
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

    [[nodiscard]] bool NumLockOn() { return (desktop_.GetKeyState(win::VK_NUMLOCK) & 1) != 0; }

    TSimDesktop desktop_;
};

class SendKeysTest : public ::testing::Test, protected SendKeysFixture {};

template <typename Case> std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.Name;
}

// ---------------------------------------------------------------------------------------------
// Scripts and the key events they inject

struct ScriptCase {
    const char* Name;
    std::string Script;
    TKeys Keys;
};

class SendKeysScriptTest : public ::testing::TestWithParam<ScriptCase>,
                           protected SendKeysFixture {};

TEST_P(SendKeysScriptTest, InjectsTheKeysInOrder) {
    EXPECT_TRUE(SendKeys(desktop_, GetParam().Script, false));
    EXPECT_EQ(KeysSent(), GetParam().Keys);
    EXPECT_TRUE(MessagesShown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, SendKeysScriptTest,
    ::testing::Values(
        ScriptCase{"PlainLetters", "ab", Tap('A') + Tap('B')},
        ScriptCase{"DigitsAndSpace", "1 2", Tap('1') + Tap(win::VK_SPACE) + Tap('2')},
        ScriptCase{"CapitalLetterIsShifted", "A", Shifted(Tap('A'))},
        ScriptCase{"EscapeThenColonInGroup", "{ESCAPE}(:)",
                   Tap(win::VK_ESCAPE) + Shifted(Tap(kColonKey))},
        ScriptCase{"ShiftPrefix", "+a", Shifted(Tap('A'))},
        ScriptCase{"CtrlPrefix", "^c", Down(kCtrl) + Tap('C') + Up(kCtrl)},
        ScriptCase{"AltPrefix", "%f", Down(kAlt) + Tap('F') + Up(kAlt)},
        ScriptCase{"AllPrefixesReleasedShiftCtrlAlt", "%^+x",
                   Down(kAlt) + Down(kCtrl) + Down(kShift) + Tap('X') + Up(kShift) + Up(kCtrl) +
                       Up(kAlt)},
        ScriptCase{"PrefixAppliesToOneKeyOnly", "+ab", Shifted(Tap('A')) + Tap('B')},
        ScriptCase{"GroupKeepsShiftAcrossLetters", "+(ab)", Shifted(Tap('A') + Tap('B'))},
        ScriptCase{"GroupWithoutModifiersChangesNothing", "(ab)c", Tap('A') + Tap('B') + Tap('C')},
        ScriptCase{"GroupsDoNotNest", "+((a)b)", Shifted(Tap('A')) + Tap('B')},
        ScriptCase{"TildeIsEnter", "~", Tap(win::VK_RETURN)},
        ScriptCase{"TildeReleasesModifiers", "+~b", Shifted(Tap(win::VK_RETURN)) + Tap('B')},
        ScriptCase{"ShiftedNamedKey", "+{TAB}", Shifted(Tap(win::VK_TAB))},
        ScriptCase{"ShiftedCharacterUnderShiftPrefix", "+{a}",
                   Down(kShift) + Shifted(Tap('A')) + Up(kShift)},
        ScriptCase{"RepeatCount", "{TAB 3}", Tap(win::VK_TAB, 3)},
        ScriptCase{"LowerCaseNameAndCount", "{tab 3}", Tap(win::VK_TAB, 3)},
        ScriptCase{"MixedCaseName", "{Enter}", Tap(win::VK_RETURN)},
        ScriptCase{"RepeatCountWithPlusSign", "{TAB +2}", Tap(win::VK_TAB, 2)},
        ScriptCase{"RepeatCountKeepsLow16Bits", "{TAB 65538}", Tap(win::VK_TAB, 2)},
        ScriptCase{"NegativeRepeatCountKeepsLow16Bits", "{TAB -65535}", Tap(win::VK_TAB)},
        ScriptCase{"RepeatCountZeroSendsNothing", "{TAB 0}", None()},
        ScriptCase{"RepeatedShiftedCharacter", "{x 3}", Shifted(Tap('X', 3))},
        ScriptCase{"OneLetterGroupIsCapital", "{a}", Shifted(Tap('A'))},
        ScriptCase{"OneLetterGroupCountZeroStillShifts", "{a 0}", Shifted(None())},
        ScriptCase{"OneDigitGroupCountZeroSendsNothing", "{1 0}", None()},
        ScriptCase{"F13", "{F13}", Tap(win::VK_F13)},
        ScriptCase{"Backspace", "{BACKSPACE}", Tap(win::VK_BACK)},
        ScriptCase{"Bksp", "{BKSP}", Tap(win::VK_BACK)},
        ScriptCase{"Bs", "{BS}", Tap(win::VK_BACK)},
        ScriptCase{"PrintIsVkPrint", "{PRTSC}", Tap(win::VK_PRINT)},
        ScriptCase{"LeftIsExtended", "{LEFT}", TKeys{{win::VK_LEFT, 1}, {win::VK_LEFT, 3}}},
        ScriptCase{"OpenBrace", "{{}", Shifted(Tap(win::VK_OEM_4))},
        ScriptCase{"CloseBrace", "{}}", Shifted(Tap(win::VK_OEM_6))},
        ScriptCase{"OpenBraceSkipsThirdCharacterWhateverItIs", "{{xy",
                   Shifted(Tap(win::VK_OEM_4)) + Tap('Y')},
        ScriptCase{"OpenBraceAtTheEnd", "a{{", Tap('A') + Shifted(Tap(win::VK_OEM_4))},
        ScriptCase{"TextBeforeDoubleCloseIsIgnored", "{TAB 3}}", Shifted(Tap(win::VK_OEM_6))},
        ScriptCase{"BracesReleaseModifiers", "^{{}a",
                   Down(kCtrl) + Shifted(Tap(win::VK_OEM_4)) + Up(kCtrl) + Tap('A')},
        ScriptCase{"EscapedSpecialCharacters", "{+}{%}{^}{~}{(}{)}",
                   Shifted(Tap(0xBB)) + Shifted(Tap('5')) + Shifted(Tap('6')) + Shifted(Tap(0xC0)) +
                       Shifted(Tap('9')) + Shifted(Tap('0'))},
        ScriptCase{"GroupTextCutAfterTwentyCharacters", "{TAB 0000000000000003xyz}",
                   Tap(win::VK_TAB, 3)},
        ScriptCase{"ModifiersReleasedAtTheEnd", "+^",
                   Down(kShift) + Down(kCtrl) + Up(kShift) + Up(kCtrl)},
        ScriptCase{"UnclosedGroupReleasesModifiersAtTheEnd", "+(a", Shifted(Tap('A'))},
        ScriptCase{"ScriptEndsAtNulCharacter", "ab\0cd"s, Tap('A') + Tap('B')}),
    CaseName<ScriptCase>);

// ---------------------------------------------------------------------------------------------
// Every key name

struct KeyNameCase {
    const char* Name;
    std::uint8_t Vk;
};

class SendKeysKeyNameTest : public ::testing::TestWithParam<KeyNameCase>,
                            protected SendKeysFixture {
protected:
    [[nodiscard]] static TKeys Press(std::uint8_t vk, int times) {
        const bool extended = (vk >= 0x21 && vk <= 0x28) || vk == 0x2D || vk == 0x2E;
        TKeys keys;
        for (int i = 0; i < times; ++i) keys = keys + (extended ? ExtendedTap(vk) : Tap(vk));
        return keys;
    }
};

TEST_P(SendKeysKeyNameTest, NameInBracesSendsItsKey) {
    EXPECT_TRUE(SendKeys(desktop_, "{"s + GetParam().Name + "}", false));
    EXPECT_EQ(KeysSent(), Press(GetParam().Vk, 1));
    EXPECT_TRUE(MessagesShown().empty());
}

TEST_P(SendKeysKeyNameTest, LowerCaseNameWithCountSendsItsKeyRepeatedly) {
    std::string name = GetParam().Name;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(SendKeys(desktop_, "{" + name + " 2}", false));
    EXPECT_EQ(KeysSent(), Press(GetParam().Vk, 2));
    EXPECT_TRUE(MessagesShown().empty());
}

TEST_P(SendKeysKeyNameTest, ScanCodeIsTheLayoutsScanCodeOfTheKey) {
    ASSERT_TRUE(SendKeys(desktop_, "+{"s + GetParam().Name + "}", false));
    const auto events = desktop_.EventsOf(TSimEventKind::Key);
    ASSERT_FALSE(events.empty());
    for (const auto& e : events)
        EXPECT_EQ(e.Scan, desktop_.MapVirtualKey(e.Vk, 0) & 0xFF)
            << "vk 0x" << std::hex << int{e.Vk};
}

INSTANTIATE_TEST_SUITE_P(
    AllNames, SendKeysKeyNameTest,
    ::testing::Values(
        KeyNameCase{"BACKSPACE", 0x08}, KeyNameCase{"BKSP", 0x08}, KeyNameCase{"BREAK", 0x03},
        KeyNameCase{"BS", 0x08}, KeyNameCase{"CAPSLOCK", 0x14}, KeyNameCase{"CLEAR", 0x0C},
        KeyNameCase{"DEL", 0x2E}, KeyNameCase{"DELETE", 0x2E}, KeyNameCase{"DOWN", 0x28},
        KeyNameCase{"END", 0x23}, KeyNameCase{"ENTER", 0x0D}, KeyNameCase{"ESC", 0x1B},
        KeyNameCase{"ESCAPE", 0x1B}, KeyNameCase{"F1", 0x70}, KeyNameCase{"F10", 0x79},
        KeyNameCase{"F11", 0x7A}, KeyNameCase{"F12", 0x7B}, KeyNameCase{"F13", 0x7C},
        KeyNameCase{"F14", 0x7D}, KeyNameCase{"F15", 0x7E}, KeyNameCase{"F16", 0x7F},
        KeyNameCase{"F2", 0x71}, KeyNameCase{"F3", 0x72}, KeyNameCase{"F4", 0x73},
        KeyNameCase{"F5", 0x74}, KeyNameCase{"F6", 0x75}, KeyNameCase{"F7", 0x76},
        KeyNameCase{"F8", 0x77}, KeyNameCase{"F9", 0x78}, KeyNameCase{"HELP", 0x2F},
        KeyNameCase{"HOME", 0x24}, KeyNameCase{"INS", 0x2D}, KeyNameCase{"LEFT", 0x25},
        KeyNameCase{"PGDN", 0x22}, KeyNameCase{"PGUP", 0x21}, KeyNameCase{"PRTSC", 0x2A},
        KeyNameCase{"RIGHT", 0x27}, KeyNameCase{"SCROLLLOCK", 0x91}, KeyNameCase{"TAB", 0x09},
        KeyNameCase{"UP", 0x26}),
    CaseName<KeyNameCase>);

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

TEST_F(SendKeysTest, NumLockTogglesThroughTheKeyboardStateWithoutAKeyEvent) {
    const bool before = NumLockOn();
    EXPECT_TRUE(SendKeys(desktop_, "{NUMLOCK}", true));
    EXPECT_EQ(NumLockOn(), !before);
    EXPECT_TRUE(desktop_.EventsOf(TSimEventKind::Key).empty());
    EXPECT_TRUE(desktop_.EventsOf(TSimEventKind::Pump).empty());
    EXPECT_EQ(desktop_.EventsOf(TSimEventKind::KeyboardState).size(), 1u);

    EXPECT_TRUE(SendKeys(desktop_, "{numlock}", true));
    EXPECT_EQ(NumLockOn(), before);
    EXPECT_EQ(desktop_.EventsOf(TSimEventKind::KeyboardState).size(), 2u);
}

TEST_F(SendKeysTest, NumLockIgnoresTheRepeatCount) {
    const bool before = NumLockOn();
    EXPECT_TRUE(SendKeys(desktop_, "{NUMLOCK 2}", false));
    EXPECT_EQ(NumLockOn(), !before);
    EXPECT_EQ(desktop_.EventsOf(TSimEventKind::KeyboardState).size(), 1u);
    EXPECT_TRUE(KeysSent().empty());
}

TEST_F(SendKeysTest, NumLockLeavesTheRestOfTheKeyboardStateAlone) {
    TKeyboardState state{};
    ASSERT_TRUE(desktop_.GetKeyboardState(state));
    state[win::VK_CAPITAL] = 0x01;
    state[win::VK_NUMLOCK] = static_cast<std::uint8_t>(state[win::VK_NUMLOCK] & ~1u);
    ASSERT_TRUE(desktop_.SetKeyboardState(state));

    EXPECT_TRUE(SendKeys(desktop_, "{NUMLOCK}", false));

    TKeyboardState after{};
    ASSERT_TRUE(desktop_.GetKeyboardState(after));
    state[win::VK_NUMLOCK] = static_cast<std::uint8_t>(state[win::VK_NUMLOCK] | 1u);
    EXPECT_EQ(after, state);
    EXPECT_TRUE(NumLockOn());
}

// ---------------------------------------------------------------------------------------------
// Reported problems

struct ReportCase {
    const char* Name;
    std::string Script;
    bool Result;
    std::vector<std::string> Messages;
    TKeys Keys;
};

class SendKeysReportTest : public ::testing::TestWithParam<ReportCase>,
                           protected SendKeysFixture {};

TEST_P(SendKeysReportTest, ReportsAndGoesOnOrStops) {
    EXPECT_EQ(SendKeys(desktop_, GetParam().Script, false), GetParam().Result);
    EXPECT_EQ(MessagesShown(), GetParam().Messages);
    EXPECT_EQ(KeysSent(), GetParam().Keys);
}

const std::string kNoKeyChar = "\xE9"; // no key of the US layout types it

INSTANTIATE_TEST_SUITE_P(
    Problems, SendKeysReportTest,
    ::testing::Values(
        ReportCase{"CharacterWithoutKeyIsSkipped",
                   "a" + kNoKeyChar + "b",
                   true,
                   {"Invalid KeyName"},
                   Tap('A') + Tap('B')},
        ReportCase{"CharacterWithoutKeyKeepsModifiersHeld",
                   "+" + kNoKeyChar + "a",
                   true,
                   {"Invalid KeyName"},
                   Shifted(Tap('A'))},
        ReportCase{"OneCharacterGroupWithoutKeyIsSkippedSilently",
                   "{" + kNoKeyChar + "}a",
                   true,
                   {},
                   Tap('A')},
        ReportCase{"UnknownName", "{NOPE}a", true, {"Invalid Key Name"}, Tap('A')},
        ReportCase{"UnknownNameKeepsModifiersHeld",
                   "+{NOPE}a",
                   true,
                   {"Invalid Key Name"},
                   Shifted(Tap('A'))},
        ReportCase{"NameIsMatchedWhole",
                   "{TA}{TABS}{F17}{F0}",
                   true,
                   {"Invalid Key Name", "Invalid Key Name", "Invalid Key Name", "Invalid Key Name"},
                   None()},
        ReportCase{"EmptyGroup", "{}", true, {"Invalid Key Name"}, None()},
        ReportCase{"SpaceAndCountOnly", "{ 5}", true, {"Invalid Key Name"}, None()},
        ReportCase{
            "TwentySixLetters", "{ABCDEFGHIJKLMNOPQRSTUVWXYZ}", true, {"Invalid Key Name"}, None()},
        ReportCase{"EveryProblemReportedInTurn",
                   kNoKeyChar + "{X1}" + kNoKeyChar,
                   true,
                   {"Invalid KeyName", "Invalid Key Name", "Invalid KeyName"},
                   None()},
        ReportCase{
            "NoCloseAfterLetters", "abc{", false, {"No Close"}, Tap('A') + Tap('B') + Tap('C')},
        ReportCase{"NoCloseWithText", "a{TAB 3", false, {"No Close"}, Tap('A')},
        ReportCase{
            "NoCloseStillReleasesHeldModifiers", "+^{TAB", false, {"No Close"},
            Down(kShift) + Down(kCtrl) + Up(kShift) + Up(kCtrl)},
        ReportCase{"NoCloseInsideGroup", "+(a{", false, {"No Close"}, Shifted(Tap('A'))},
        ReportCase{"LoneBrace", "{", false, {"No Close"}, None()}),
    CaseName<ReportCase>);

TEST_F(SendKeysTest, EmptyScriptReturnsFalseWithoutAnyEvent) {
    EXPECT_FALSE(SendKeys(desktop_, "", true));
    EXPECT_FALSE(SendKeys(desktop_, std::string_view{}, false));
    EXPECT_TRUE(desktop_.Events().empty());
}

TEST_F(SendKeysTest, ScriptStartingWithNulIsEmpty) {
    EXPECT_FALSE(SendKeys(desktop_, "\0abc"s, false));
    EXPECT_TRUE(desktop_.Events().empty());
}

// ---------------------------------------------------------------------------------------------
// Repeat counts that are no number

struct BadCountCase {
    const char* Name;
    std::string Script;
    std::string Message;
};

class SendKeysBadCountTest : public ::testing::TestWithParam<BadCountCase>,
                             protected SendKeysFixture {};

TEST_P(SendKeysBadCountTest, RaisesTheIntegerConversionError) {
    std::string message;
    try {
        (void)SendKeys(desktop_, GetParam().Script, false);
    } catch (const Exception& e) {
        message = e.what();
    }
    EXPECT_EQ(message, GetParam().Message);
}

class SendKeysStuckKeyTest : public ::testing::Test, protected SendKeysFixture {};

TEST_F(SendKeysStuckKeyTest, BadCountReleasesTheHeldShift) {
    EXPECT_THROW((void)SendKeys(desktop_, "+{TAB x}", false), Exception);
    EXPECT_EQ(KeysSent(), Down(kShift) + Up(kShift));
    EXPECT_EQ(desktop_.GetKeyState(win::VK_SHIFT) & 0x8000, 0);
}

INSTANTIATE_TEST_SUITE_P(
    NotANumber, SendKeysBadCountTest,
    ::testing::Values(
        BadCountCase{"Letter", "{TAB x}", "'X' is not a valid integer value"},
        BadCountCase{"Empty", "{TAB }", "'' is not a valid integer value"},
        BadCountCase{"TrailingSpace", "{TAB 3 }", "'3 ' is not a valid integer value"},
        BadCountCase{"SecondSpace", "{TAB  3}", "' 3' is not a valid integer value"},
        BadCountCase{"Hexadecimal", "{TAB 0x10}", "'0X10' is not a valid integer value"},
        BadCountCase{"SignOnly", "{TAB -}", "'-' is not a valid integer value"},
        BadCountCase{"TwoSigns", "{TAB +-3}", "'+-3' is not a valid integer value"},
        BadCountCase{"Beyond32Bits", "{TAB 4294967296}",
                     "'4294967296' is not a valid integer value"},
        BadCountCase{"CountCutAwayAfterTwentyCharacters", "{ABCDEFGHIJKLMNOPQRS 5}",
                     "'' is not a valid integer value"},
        BadCountCase{"SpaceAsOneCharacterGroup", "{ }", "'' is not a valid integer value"}),
    CaseName<BadCountCase>);

TEST_F(SendKeysTest, KeysBeforeABadCountAreSent) {
    EXPECT_THROW((void)SendKeys(desktop_, "ab{TAB z}c", false), Exception);
    EXPECT_EQ(KeysSent(), Tap('A') + Tap('B'));
}

// ---------------------------------------------------------------------------------------------
// Message pumping and pacing

TEST_F(SendKeysTest, WaitPumpsTheKeyboardMessagesAfterEveryKeyEvent) {
    ASSERT_TRUE(SendKeys(desktop_, "+a{TAB 2}{LEFT}{{}", true));
    const auto& events = desktop_.Events();
    ASSERT_EQ(events.size(), 2 * 14u);
    for (std::size_t i = 0; i < events.size(); i += 2) {
        EXPECT_EQ(events[i].Kind, TSimEventKind::Key) << "event " << i;
        EXPECT_EQ(events[i + 1].Kind, TSimEventKind::Pump) << "event " << i + 1;
    }
}

TEST_F(SendKeysTest, WithoutWaitNothingIsPumped) {
    ASSERT_TRUE(SendKeys(desktop_, "+a{TAB 2}{LEFT}{{}", false));
    EXPECT_EQ(desktop_.EventsOf(TSimEventKind::Key).size(), 14u);
    EXPECT_TRUE(desktop_.EventsOf(TSimEventKind::Pump).empty());
}

TEST_F(SendKeysTest, SendsWithoutWaiting) {
    ASSERT_TRUE(SendKeys(desktop_, "{ESCAPE}(:)edit_obj 12~", true));
    EXPECT_TRUE(desktop_.EventsOf(TSimEventKind::Sleep).empty());
    EXPECT_EQ(desktop_.Now(), 0u);
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

struct TypingCase {
    const char* Name;
    std::string Script;
    std::string Typed;
};

class SendKeysTypingTest : public ::testing::TestWithParam<TypingCase>, protected SendKeysFixture {
protected:
    void SetUp() override {
        const THwnd window = desktop_.CreateSimWindow({.ClassName = "KorvaneTypingTarget",
                                                       .Title = "Typing target",
                                                       .Rect = {0, 0, 400, 300}});
        desktop_.Window(window)->OnKey = [this](const sim::TSimKeyInput& input) {
            if (input.Down && input.Char != 0) typed_ += input.Char;
        };
        ASSERT_TRUE(desktop_.SetForegroundWindow(window));
    }

    std::string typed_;
};

TEST_P(SendKeysTypingTest, FocusedWindowReceivesTheCharacters) {
    EXPECT_TRUE(SendKeys(desktop_, GetParam().Script, true));
    EXPECT_EQ(typed_, GetParam().Typed);
}

TEST_P(SendKeysTypingTest, FocusedWindowReceivesTheCharactersWithoutPumping) {
    EXPECT_TRUE(SendKeys(desktop_, GetParam().Script, false));
    EXPECT_EQ(typed_, GetParam().Typed);
}

std::string PrintableAscii() {
    std::string s;
    for (char c = 0x20; c < 0x7F; ++c) s += c;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SendKeysTypingTest,
    ::testing::Values(
        TypingCase{"EditObj", "edit_obj 12", "edit_obj 12"},
        TypingCase{"LinkObjs", "link_objs 10 20 ControlDevice", "link_objs 10 20 ControlDevice"},
        TypingCase{"LoadFile", "load_file C:\\Thief2\\miss20.mis",
                   "load_file C:\\Thief2\\miss20.mis"},
        TypingCase{"CommandLineColon", "(:)", ":"},
        TypingCase{"EscapedSpecialCharacters", "{+}{%}{^}{~}{(}{)}{{}{}}", "+%^~(){}"},
        TypingCase{"EscapesAmidText", "a{+}b {(}c{)} {{}d{}}", "a+b (c) {d}"},
        TypingCase{"ShiftedGroup", "+(hello) world", "HELLO world"},
        TypingCase{"RepeatedCharacter", "{x 3}{- 2}", "XXX--"},
        TypingCase{"OneLetterGroupIsCapital", "{a}", "A"},
        TypingCase{"EveryPrintableCharacter", Escaped(PrintableAscii()), PrintableAscii()}),
    CaseName<TypingCase>);

} // namespace
} // namespace kv
