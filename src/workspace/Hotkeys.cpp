#include "workspace/Hotkeys.h"

#include "platform/Platform.h"
#include "workspace/Settings.h"

#include <array>
#include <cstdio>
#include <utility>

namespace kv {

namespace {

// Keys other than letters, digits and function keys that a hotkey may sensibly use.
constexpr std::array<std::pair<std::uint8_t, const char*>, 34> kKeyNames{{
    {0x08, "Backspace"},   {0x09, "Tab"},
    {0x0D, "Enter"},       {0x13, "Pause"},
    {0x1B, "Esc"},         {0x20, "Space"},
    {0x21, "PgUp"},        {0x22, "PgDn"},
    {0x23, "End"},         {0x24, "Home"},
    {0x25, "Left"},        {0x26, "Up"},
    {0x27, "Right"},       {0x28, "Down"},
    {0x2D, "Ins"},         {0x2E, "Del"},
    {0x6A, "Num *"},       {0x6B, "Num +"},
    {0x6D, "Num -"},       {0x6E, "Num ."},
    {0x6F, "Num /"},       {0xBA, ";"},
    {0xBB, "="},           {0xBC, ","},
    {0xBD, "-"},           {0xBE, "."},
    {0xBF, "/"},           {0xC0, "`"},
    {0xDB, "["},           {0xDC, "\\"},
    {0xDD, "]"},           {0xDE, "'"},
    {0x91, "Scroll Lock"}, {0x2C, "Print Screen"},
}};

} // namespace

std::uint32_t ShortcutModifiers(std::uint16_t shortcut) noexcept {
    std::uint32_t flags = 0;
    if ((shortcut & kShortcutShift) != 0) flags |= win::MOD_SHIFT;
    if ((shortcut & kShortcutCtrl) != 0) flags |= win::MOD_CONTROL;
    if ((shortcut & kShortcutAlt) != 0) flags |= win::MOD_ALT;
    return flags;
}

std::string VirtualKeyName(std::uint8_t vk) {
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'))
        return std::string(1, static_cast<char>(vk));
    if (vk >= 0x60 && vk <= 0x69) return "Num " + std::to_string(vk - 0x60);
    if (vk >= win::VK_F1 && vk < win::VK_F1 + 24) return "F" + std::to_string(vk - win::VK_F1 + 1);
    for (const auto& [code, name] : kKeyNames) {
        if (code == vk) return name;
    }
    std::array<char, 12> hex{};
    std::snprintf(hex.data(), hex.size(), "Key 0x%02X", static_cast<unsigned>(vk));
    return hex.data();
}

std::string ShortcutText(std::uint16_t shortcut) {
    std::string text;
    if ((shortcut & kShortcutShift) != 0) text += "Shift+";
    if ((shortcut & kShortcutCtrl) != 0) text += "Ctrl+";
    if ((shortcut & kShortcutAlt) != 0) text += "Alt+";
    return text + VirtualKeyName(ShortcutKey(shortcut));
}

} // namespace kv
