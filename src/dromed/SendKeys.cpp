// The key-script sender: reads a key script character by character and injects each key press
// and release with KeybdEvent, so the keys reach whichever window has the keyboard focus.
#include "dromed/SendKeys.h"

#include "text/Exception.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {
namespace {

// A key code as VkKeyScan returns it: low byte the virtual key, high byte the shift state.
using TKeyCode = std::uint16_t;

constexpr TKeyCode kNoKey = 0xFFFF;
constexpr std::uint8_t kShiftBit = 0x01;
constexpr std::uint8_t kCtrlBit = 0x02;
constexpr std::uint8_t kAltBit = 0x04;
// "{" and "}" sit on the US layout's bracket keys with Shift, whatever layout is active.
constexpr TKeyCode kOpenBraceKey = (kShiftBit << 8) | win::VK_OEM_4;
constexpr TKeyCode kCloseBraceKey = (kShiftBit << 8) | win::VK_OEM_6;
// Longer group texts are cut to this many characters.
constexpr std::size_t kMaxGroupText = 20;
constexpr std::uint32_t kMapVkToScanCode = 0;

struct TKeyName {
    std::string_view Name;
    std::uint8_t Vk;
};

// Ascending byte order of the names, so that a lookup can search by halving.
constexpr std::array<TKeyName, 41> KeyNames{{
    {"BACKSPACE", win::VK_BACK},
    {"BKSP", win::VK_BACK},
    {"BREAK", win::VK_CANCEL},
    {"BS", win::VK_BACK},
    {"CAPSLOCK", win::VK_CAPITAL},
    {"CLEAR", win::VK_CLEAR},
    {"DEL", win::VK_DELETE},
    {"DELETE", win::VK_DELETE},
    {"DOWN", win::VK_DOWN},
    {"END", win::VK_END},
    {"ENTER", win::VK_RETURN},
    {"ESC", win::VK_ESCAPE},
    {"ESCAPE", win::VK_ESCAPE},
    {"F1", 0x70},
    {"F10", 0x79},
    {"F11", 0x7A},
    {"F12", 0x7B},
    {"F13", 0x7C},
    {"F14", 0x7D},
    {"F15", 0x7E},
    {"F16", 0x7F},
    {"F2", 0x71},
    {"F3", 0x72},
    {"F4", 0x73},
    {"F5", 0x74},
    {"F6", 0x75},
    {"F7", 0x76},
    {"F8", 0x77},
    {"F9", 0x78},
    {"HELP", win::VK_HELP},
    {"HOME", win::VK_HOME},
    {"INS", win::VK_INSERT},
    {"LEFT", win::VK_LEFT},
    {"NUMLOCK", win::VK_NUMLOCK},
    {"PGDN", win::VK_NEXT},
    {"PGUP", win::VK_PRIOR},
    {"PRTSC", win::VK_PRINT}, // VK_PRINT, not VK_SNAPSHOT
    {"RIGHT", win::VK_RIGHT},
    {"SCROLLLOCK", win::VK_SCROLL},
    {"TAB", win::VK_TAB},
    {"UP", win::VK_UP},
}};

static_assert(std::ranges::is_sorted(KeyNames, {}, &TKeyName::Name));

// Keys sent with the extended-key flag: the cursor block and Insert and Delete.
[[nodiscard]] constexpr bool IsExtendedKey(std::uint8_t vk) noexcept {
    return (vk >= win::VK_PRIOR && vk <= win::VK_DOWN) || vk == win::VK_INSERT ||
           vk == win::VK_DELETE;
}

[[nodiscard]] constexpr char UpperAscii(char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// A decimal integer with an optional sign in the 32-bit range; its low 16 bits are the count.
[[nodiscard]] std::uint16_t ParseRepeatCount(const std::string& text) {
    const char* first = text.data();
    const char* const last = text.data() + text.size();
    if (first != last && *first == '+') ++first; // from_chars takes "-" but not "+"
    std::int32_t value = 0;
    const bool signAfterPlus = first != text.data() && first != last && *first == '-';
    const auto [end, ec] = std::from_chars(first, last, value);
    if (first == last || signAfterPlus || ec != std::errc() || end != last)
        throw Exception("'" + text + "' is not a valid integer value");
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFF);
}

// The state of one SendKeys call.
class TKeySender {
public:
    TKeySender(TPlatform& platform, bool wait) : platform_(platform), wait_(wait) {}

    bool Send(std::string_view script);
    // Releases Shift, Ctrl and Alt still held when a script ends inside a group, stops at a
    // missing "}" or fails on a bad count: a modifier left down would stay stuck for every
    // program on the desktop.
    void ReleaseStuckModifiers();

private:
    void EmitKeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags);
    [[nodiscard]] std::uint8_t ScanCode(std::uint8_t vk);
    void PressKey(std::uint8_t vk, std::uint16_t count, bool withRelease);
    void ReleaseKey(std::uint8_t vk);
    void TypeKey(TKeyCode key, std::uint16_t count);
    [[nodiscard]] TKeyCode KeyOfChar(char c);
    [[nodiscard]] TKeyCode LookupKeyName(std::string_view name);
    void ReleaseModifiers();
    void ToggleNumLock();
    void ShowKeyScriptError(const char* text);
    // Handles the braced group whose "{" is at Pos and moves Pos past it; false when the
    // group has no closing brace.
    bool SendBracedGroup(std::string_view script, std::size_t& pos);

    TPlatform& platform_;
    const bool wait_;
    bool shiftHeld_ = false;
    bool ctrlHeld_ = false;
    bool altHeld_ = false;
    bool groupOpen_ = false;
};

void TKeySender::EmitKeyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
    platform_.KeybdEvent(vk, scan, flags);
    if (wait_) platform_.PumpKeyboardMessages();
}

std::uint8_t TKeySender::ScanCode(std::uint8_t vk) {
    return static_cast<std::uint8_t>(platform_.MapVirtualKey(vk, kMapVkToScanCode) & 0xFF);
}

void TKeySender::PressKey(std::uint8_t vk, std::uint16_t count, bool withRelease) {
    if (vk == win::VK_NUMLOCK) {
        // Pressing NumLock would reach the focused program as a key; only its toggle is wanted.
        ToggleNumLock();
        return;
    }
    const std::uint32_t extended = IsExtendedKey(vk) ? win::KEYEVENTF_EXTENDEDKEY : 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        EmitKeyEvent(vk, ScanCode(vk), extended);
        if (withRelease) EmitKeyEvent(vk, ScanCode(vk), extended | win::KEYEVENTF_KEYUP);
    }
}

void TKeySender::ReleaseKey(std::uint8_t vk) {
    EmitKeyEvent(vk, ScanCode(vk), win::KEYEVENTF_KEYUP);
}

void TKeySender::ToggleNumLock() {
    const bool on = (platform_.GetKeyState(win::VK_NUMLOCK) & 1) != 0;
    TKeyboardState state{};
    if (!platform_.GetKeyboardState(state)) return; // never write back a state not read
    auto& entry = state[win::VK_NUMLOCK];
    entry = static_cast<std::uint8_t>(on ? entry & ~1u : entry | 1u);
    platform_.SetKeyboardState(state);
}

void TKeySender::TypeKey(TKeyCode key, std::uint16_t count) {
    const auto shiftState = static_cast<std::uint8_t>(key >> 8);
    const auto vk = static_cast<std::uint8_t>(key & 0xFF);
    if (shiftState & kShiftBit) PressKey(win::VK_SHIFT, 1, false);
    if (shiftState & kCtrlBit) PressKey(win::VK_CONTROL, 1, false);
    if (shiftState & kAltBit) PressKey(win::VK_MENU, 1, false);
    PressKey(vk, count, true);
    if (shiftState & kShiftBit) ReleaseKey(win::VK_SHIFT);
    if (shiftState & kCtrlBit) ReleaseKey(win::VK_CONTROL);
    if (shiftState & kAltBit) ReleaseKey(win::VK_MENU);
}

TKeyCode TKeySender::KeyOfChar(char c) { return static_cast<TKeyCode>(platform_.VkKeyScan(c)); }

TKeyCode TKeySender::LookupKeyName(std::string_view name) {
    const auto* it = std::ranges::lower_bound(KeyNames, name, {}, &TKeyName::Name);
    if (it != KeyNames.end() && it->Name == name) return it->Vk;
    ShowKeyScriptError("Invalid Key Name");
    return kNoKey;
}

void TKeySender::ReleaseModifiers() {
    if (groupOpen_) return;
    if (shiftHeld_) ReleaseKey(win::VK_SHIFT);
    if (ctrlHeld_) ReleaseKey(win::VK_CONTROL);
    if (altHeld_) ReleaseKey(win::VK_MENU);
    shiftHeld_ = ctrlHeld_ = altHeld_ = false;
}

void TKeySender::ShowKeyScriptError(const char* text) {
    platform_.MessageBox(0, text, "SendKeys", win::MB_OK);
}

bool TKeySender::SendBracedGroup(std::string_view script, std::size_t& pos) {
    const std::size_t close = script.find('}', pos + 1);
    if (close == std::string_view::npos) {
        ShowKeyScriptError("No Close");
        return false;
    }
    std::string text;
    for (std::size_t i = pos + 1; i < close && text.size() < kMaxGroupText; ++i)
        text += UpperAscii(script[i]);
    pos = close + 1;

    // "{}}", or any text followed by a second "}", is the character "}" itself.
    if (pos < script.size() && script[pos] == '}') {
        TypeKey(kCloseBraceKey, 1);
        ReleaseModifiers();
        ++pos;
        return true;
    }

    std::uint16_t count = 1;
    if (const auto space = text.find(' '); space != std::string::npos) {
        count = ParseRepeatCount(text.substr(space + 1));
        text.resize(space);
    }
    // One character is typed as itself (upper-cased, so "{a}" is a capital A); a character
    // without a key is skipped silently here, unlike in plain text.
    const TKeyCode key = text.size() == 1 ? KeyOfChar(text[0]) : LookupKeyName(text);
    if (key != kNoKey) {
        TypeKey(key, count);
        ReleaseModifiers();
    }
    return true;
}

bool TKeySender::Send(std::string_view script) {
    // Scripts are zero-terminated texts: nothing after a NUL character belongs to the script.
    script = script.substr(0, script.find('\0'));
    if (script.empty()) return false;

    std::size_t pos = 0;
    while (pos < script.size()) {
        const char c = script[pos];
        switch (c) {
        case '+':
            PressKey(win::VK_SHIFT, 1, false);
            shiftHeld_ = true;
            ++pos;
            break;
        case '^':
            PressKey(win::VK_CONTROL, 1, false);
            ctrlHeld_ = true;
            ++pos;
            break;
        case '%':
            PressKey(win::VK_MENU, 1, false);
            altHeld_ = true;
            ++pos;
            break;
        case '(':
            groupOpen_ = true; // groups do not nest: a second "(" changes nothing
            ++pos;
            break;
        case ')':
            groupOpen_ = false;
            ReleaseModifiers();
            ++pos;
            break;
        case '~':
            PressKey(win::VK_RETURN, 1, true);
            ReleaseModifiers();
            ++pos;
            break;
        case '{':
            if (pos + 1 < script.size() && script[pos + 1] == '{') {
                // "{{}": the third character is skipped whatever it is.
                TypeKey(kOpenBraceKey, 1);
                ReleaseModifiers();
                pos += 3;
            } else if (!SendBracedGroup(script, pos)) {
                return false;
            }
            break;
        default:
            if (const TKeyCode key = KeyOfChar(c); key == kNoKey) {
                ShowKeyScriptError("Invalid KeyName");
            } else {
                TypeKey(key, 1);
                ReleaseModifiers();
            }
            ++pos;
            break;
        }
    }
    ReleaseModifiers();
    return true;
}

} // namespace

void TKeySender::ReleaseStuckModifiers() {
    groupOpen_ = false;
    ReleaseModifiers();
}

bool SendKeys(TPlatform& platform, std::string_view script, bool wait) {
    TKeySender sender(platform, wait);
    bool result = false;
    try {
        result = sender.Send(script);
    } catch (...) {
        sender.ReleaseStuckModifiers();
        throw;
    }
    sender.ReleaseStuckModifiers();
    return result;
}

} // namespace kv
