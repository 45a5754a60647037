// The US keyboard layout of the simulated desktop: the virtual-key to scan-code table and what
// each key types with and without Shift.
#include "platform/sim/SimKeyboardLayout.h"

#include "platform/Platform.h"

#include <array>

namespace kv::sim {

namespace {

// Side-specific modifier keys; the keyboard state keeps only the generic codes.
constexpr std::uint8_t kVkLShift = 0xA0;
constexpr std::uint8_t kVkRShift = 0xA1;
constexpr std::uint8_t kVkLControl = 0xA2;
constexpr std::uint8_t kVkRControl = 0xA3;
constexpr std::uint8_t kVkLMenu = 0xA4;
constexpr std::uint8_t kVkRMenu = 0xA5;

constexpr std::uint8_t kVkNumpad0 = 0x60;
constexpr std::uint8_t kVkMultiply = 0x6A;
constexpr std::uint8_t kVkAdd = 0x6B;
constexpr std::uint8_t kVkSubtract = 0x6D;
constexpr std::uint8_t kVkDecimal = 0x6E;
constexpr std::uint8_t kVkDivide = 0x6F;

struct TScanEntry {
    std::uint8_t Vk;
    std::uint8_t Scan;
};

// Virtual key to set-1 scan code of a US keyboard. For a scan code that several keys share,
// the first entry is the key that the scan code maps back to.
constexpr std::array kScanCodes = {
    TScanEntry{win::VK_ESCAPE, 0x01},
    TScanEntry{'1', 0x02},
    TScanEntry{'2', 0x03},
    TScanEntry{'3', 0x04},
    TScanEntry{'4', 0x05},
    TScanEntry{'5', 0x06},
    TScanEntry{'6', 0x07},
    TScanEntry{'7', 0x08},
    TScanEntry{'8', 0x09},
    TScanEntry{'9', 0x0A},
    TScanEntry{'0', 0x0B},
    TScanEntry{0xBD, 0x0C},
    TScanEntry{0xBB, 0x0D},
    TScanEntry{win::VK_BACK, 0x0E},
    TScanEntry{win::VK_TAB, 0x0F},
    TScanEntry{'Q', 0x10},
    TScanEntry{'W', 0x11},
    TScanEntry{'E', 0x12},
    TScanEntry{'R', 0x13},
    TScanEntry{'T', 0x14},
    TScanEntry{'Y', 0x15},
    TScanEntry{'U', 0x16},
    TScanEntry{'I', 0x17},
    TScanEntry{'O', 0x18},
    TScanEntry{'P', 0x19},
    TScanEntry{win::VK_OEM_4, 0x1A},
    TScanEntry{win::VK_OEM_6, 0x1B},
    TScanEntry{win::VK_RETURN, 0x1C},
    TScanEntry{win::VK_CONTROL, 0x1D},
    TScanEntry{'A', 0x1E},
    TScanEntry{'S', 0x1F},
    TScanEntry{'D', 0x20},
    TScanEntry{'F', 0x21},
    TScanEntry{'G', 0x22},
    TScanEntry{'H', 0x23},
    TScanEntry{'J', 0x24},
    TScanEntry{'K', 0x25},
    TScanEntry{'L', 0x26},
    TScanEntry{0xBA, 0x27},
    TScanEntry{0xDE, 0x28},
    TScanEntry{0xC0, 0x29},
    TScanEntry{win::VK_SHIFT, 0x2A},
    TScanEntry{0xDC, 0x2B},
    TScanEntry{'Z', 0x2C},
    TScanEntry{'X', 0x2D},
    TScanEntry{'C', 0x2E},
    TScanEntry{'V', 0x2F},
    TScanEntry{'B', 0x30},
    TScanEntry{'N', 0x31},
    TScanEntry{'M', 0x32},
    TScanEntry{0xBC, 0x33},
    TScanEntry{0xBE, 0x34},
    TScanEntry{0xBF, 0x35},
    TScanEntry{win::VK_MENU, 0x38},
    TScanEntry{win::VK_SPACE, 0x39},
    TScanEntry{win::VK_CAPITAL, 0x3A},
    TScanEntry{0x70, 0x3B},
    TScanEntry{0x71, 0x3C},
    TScanEntry{0x72, 0x3D},
    TScanEntry{0x73, 0x3E},
    TScanEntry{0x74, 0x3F},
    TScanEntry{0x75, 0x40},
    TScanEntry{0x76, 0x41},
    TScanEntry{0x77, 0x42},
    TScanEntry{0x78, 0x43},
    TScanEntry{0x79, 0x44},
    TScanEntry{win::VK_NUMLOCK, 0x45},
    TScanEntry{win::VK_SCROLL, 0x46},
    TScanEntry{win::VK_HOME, 0x47},
    TScanEntry{win::VK_UP, 0x48},
    TScanEntry{win::VK_PRIOR, 0x49},
    TScanEntry{win::VK_LEFT, 0x4B},
    TScanEntry{win::VK_CLEAR, 0x4C},
    TScanEntry{win::VK_RIGHT, 0x4D},
    TScanEntry{win::VK_END, 0x4F},
    TScanEntry{win::VK_DOWN, 0x50},
    TScanEntry{win::VK_NEXT, 0x51},
    TScanEntry{win::VK_INSERT, 0x52},
    TScanEntry{win::VK_DELETE, 0x53},
    TScanEntry{0x7A, 0x57},
    TScanEntry{0x7B, 0x58},
    TScanEntry{0x7C, 0x64},
    TScanEntry{0x7D, 0x65},
    TScanEntry{0x7E, 0x66},
    TScanEntry{0x7F, 0x67},
    // Keys that share a scan code with a key above, or have one of their own only here.
    TScanEntry{win::VK_CANCEL, 0x46},
    TScanEntry{kVkLShift, 0x2A},
    TScanEntry{kVkRShift, 0x36},
    TScanEntry{kVkLControl, 0x1D},
    TScanEntry{kVkRControl, 0x1D},
    TScanEntry{kVkLMenu, 0x38},
    TScanEntry{kVkRMenu, 0x38},
    TScanEntry{kVkMultiply, 0x37},
    TScanEntry{kVkSubtract, 0x4A},
    TScanEntry{kVkAdd, 0x4E},
    TScanEntry{kVkDivide, 0x35},
    TScanEntry{kVkDecimal, 0x53},
    TScanEntry{kVkNumpad0 + 7, 0x47},
    TScanEntry{kVkNumpad0 + 8, 0x48},
    TScanEntry{kVkNumpad0 + 9, 0x49},
    TScanEntry{kVkNumpad0 + 4, 0x4B},
    TScanEntry{kVkNumpad0 + 5, 0x4C},
    TScanEntry{kVkNumpad0 + 6, 0x4D},
    TScanEntry{kVkNumpad0 + 1, 0x4F},
    TScanEntry{kVkNumpad0 + 2, 0x50},
    TScanEntry{kVkNumpad0 + 3, 0x51},
    TScanEntry{kVkNumpad0 + 0, 0x52},
};

struct TLayoutTables {
    std::array<std::uint8_t, 256> ScanOfVk{};
    std::array<std::uint8_t, 256> VkOfScan{};
    // What a key types without and with Shift; 0 for nothing.
    std::array<char, 256> Plain{};
    std::array<char, 256> Shifted{};
    // Keys of the main block found by VkKeyScan (the numeric keypad is not searched).
    std::array<bool, 256> MainBlock{};
};

TLayoutTables MakeLayout() {
    TLayoutTables t;
    for (const TScanEntry& e : kScanCodes) {
        t.ScanOfVk[e.Vk] = e.Scan;
        if (t.VkOfScan[e.Scan] == 0) t.VkOfScan[e.Scan] = e.Vk;
    }
    auto key = [&t](std::uint8_t vk, char plain, char shifted) {
        t.Plain[vk] = plain;
        t.Shifted[vk] = shifted;
        t.MainBlock[vk] = true;
    };
    for (char c = 'A'; c <= 'Z'; ++c) {
        key(static_cast<std::uint8_t>(c), static_cast<char>(c - 'A' + 'a'), c);
    }
    const char* shiftedDigits = ")!@#$%^&*(";
    for (int d = 0; d <= 9; ++d) {
        key(static_cast<std::uint8_t>('0' + d), static_cast<char>('0' + d), shiftedDigits[d]);
    }
    key(win::VK_SPACE, ' ', ' ');
    key(0xBA, ';', ':');
    key(0xBB, '=', '+');
    key(0xBC, ',', '<');
    key(0xBD, '-', '_');
    key(0xBE, '.', '>');
    key(0xBF, '/', '?');
    key(0xC0, '`', '~');
    key(0xDB, '[', '{');
    key(0xDC, '\\', '|');
    key(0xDD, ']', '}');
    key(0xDE, '\'', '"');
    key(win::VK_RETURN, '\r', '\r');
    key(win::VK_BACK, '\b', '\b');
    key(win::VK_ESCAPE, '\x1B', '\x1B');
    key(win::VK_TAB, '\t', '\t');
    auto pad = [&t](std::uint8_t vk, char c) {
        t.Plain[vk] = c;
        t.Shifted[vk] = c;
    };
    for (int d = 0; d <= 9; ++d) {
        pad(static_cast<std::uint8_t>(kVkNumpad0 + d), static_cast<char>('0' + d));
    }
    pad(kVkMultiply, '*');
    pad(kVkAdd, '+');
    pad(kVkSubtract, '-');
    pad(kVkDecimal, '.');
    pad(kVkDivide, '/');
    return t;
}

const TLayoutTables& Layout() {
    static const TLayoutTables tables = MakeLayout();
    return tables;
}

bool IsLetterVk(std::uint8_t vk) { return vk >= 'A' && vk <= 'Z'; }

} // namespace

std::uint8_t GenericVk(std::uint8_t vk) {
    switch (vk) {
    case kVkLShift:
    case kVkRShift: return win::VK_SHIFT;
    case kVkLControl:
    case kVkRControl: return win::VK_CONTROL;
    case kVkLMenu:
    case kVkRMenu: return win::VK_MENU;
    default: return vk;
    }
}

std::uint32_t UsMapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
    if (code > 0xFF) return 0;
    const TLayoutTables& t = Layout();
    switch (mapType) {
    case 0: return t.ScanOfVk[code];
    case 1: return GenericVk(t.VkOfScan[code]);
    case 2: {
        const char c = t.Plain[code];
        if (IsLetterVk(static_cast<std::uint8_t>(code))) return code; // letters map upper-case
        return static_cast<unsigned char>(c);
    }
    case 3: {
        // Scan code to virtual key, telling left from right.
        switch (code) {
        case 0x2A: return kVkLShift;
        case 0x36: return kVkRShift;
        case 0x1D: return kVkLControl;
        case 0x38: return kVkLMenu;
        default: return t.VkOfScan[code];
        }
    }
    default: return 0;
    }
}

std::int16_t UsVkKeyScan(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
    case '\t': return win::VK_TAB;
    case '\r': return win::VK_RETURN;
    case '\b': return win::VK_BACK;
    case 0x1B: return 0x200 | win::VK_OEM_4;  // Ctrl+[
    case '\n': return 0x200 | win::VK_RETURN; // Ctrl+Enter
    default: break;
    }
    if (c < 0x20 || c >= 0x7F) return -1;
    const TLayoutTables& t = Layout();
    for (int vk = 0; vk < 256; ++vk) {
        if (t.MainBlock[vk] && t.Plain[vk] == ch) return static_cast<std::int16_t>(vk);
    }
    for (int vk = 0; vk < 256; ++vk) {
        if (t.MainBlock[vk] && t.Shifted[vk] == ch) return static_cast<std::int16_t>(0x100 | vk);
    }
    return -1;
}

char UsCharOfKey(std::uint8_t vk, bool shift, bool capsLock) {
    if (IsLetterVk(vk) && capsLock) shift = !shift;
    return shift ? Layout().Shifted[vk] : Layout().Plain[vk];
}

} // namespace kv::sim
