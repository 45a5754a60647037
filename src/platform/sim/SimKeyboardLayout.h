// The US keyboard layout of the simulated desktop: scan codes, the characters that keys type
// and the keys that type characters, as MapVirtualKey and VkKeyScan give them on Windows.
#pragma once

#include <cstdint>

namespace kv::sim {

// The generic code of a side-specific modifier key (left or right Shift, Ctrl or Alt); any other
// key is its own.
std::uint8_t GenericVk(std::uint8_t vk);

// MapVirtualKey on the US layout. Map types: 0 virtual key to scan code, 1 scan code to generic
// virtual key, 2 virtual key to its unshifted character (letters upper-case), 3 scan code to
// virtual key telling left from right; 0 for anything unknown.
std::uint32_t UsMapVirtualKey(std::uint32_t code, std::uint32_t mapType);

// VkKeyScan on the US layout: the key in the low byte, 0x100 for Shift and 0x200 for Ctrl in the
// high byte; -1 for a character that no key types.
std::int16_t UsVkKeyScan(char ch);

// The character a key types, 0 for none; Caps Lock turns Shift around for letters only.
char UsCharOfKey(std::uint8_t vk, bool shift, bool capsLock);

} // namespace kv::sim
