// Qt's keys as the Windows keyboard names them: the virtual-key codes of a US layout, so that a
// key pressed in a Qt window can be played on the simulated desktop.
#pragma once

#include <cstdint>

class QKeyEvent;

namespace kv {

class TPlatform;

struct TVirtualKey {
    std::uint8_t Vk = 0;     // 0: the key has no Windows counterpart
    bool NeedsShift = false; // the character is typed with Shift on a US layout
};

// Layout answers VkKeyScan for the characters the key may type.
[[nodiscard]] TVirtualKey VirtualKeyOf(int qtKey, TPlatform& layout);
[[nodiscard]] TVirtualKey VirtualKeyOf(const QKeyEvent& event, TPlatform& layout);
// MOD_SHIFT, MOD_CONTROL and MOD_ALT of Qt's keyboard modifiers.
[[nodiscard]] std::uint32_t HotKeyModifiersOf(int qtModifiers);

} // namespace kv
