// The program's global hotkeys as the settings keep them: a 16-bit shortcut with the virtual
// key in the low byte and the modifier bits kShortcutShift, kShortcutCtrl and kShortcutAlt.
#pragma once

#include <cstdint>
#include <string>

namespace kv {

// Ids under which the main window registers its three hotkeys.
inline constexpr int kHotkeyAddId = 1001;
inline constexpr int kHotkeySelId = 1002;
inline constexpr int kHotkeyTogId = 1003;

[[nodiscard]] constexpr std::uint8_t ShortcutKey(std::uint16_t shortcut) noexcept {
    return static_cast<std::uint8_t>(shortcut & 0xFF);
}

// The MOD_SHIFT, MOD_CONTROL and MOD_ALT flags of the shortcut's modifier bits.
[[nodiscard]] std::uint32_t ShortcutModifiers(std::uint16_t shortcut) noexcept;

// The key's name as a keyboard's legend shows it: "A", "7", "F1", "Space", "Num 5"; "Key 0xE2"
// for keys without a common name.
[[nodiscard]] std::string VirtualKeyName(std::uint8_t vk);

// "Shift+", "Ctrl+" and "Alt+" in this order as held, then the key's name ("Alt+F1").
[[nodiscard]] std::string ShortcutText(std::uint16_t shortcut);

} // namespace kv
