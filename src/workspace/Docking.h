// Where the main window stands beside DromEd's window: the optional push of DromEd's window to
// the opposite screen edge, and the strip of the screen the main window then takes.
#pragma once

#include "platform/Platform.h"

#include <optional>

namespace kv {

// Docking sides, as stored in the settings: the side of DromEd's window the main window is at.
enum TDockSide : int { dsNone = 0, dsLeft = 1, dsTop = 2, dsRight = 3, dsBottom = 4 };

// The smallest width and height the docked main window is given.
inline constexpr int kMinDockedSize = 50;

// DromEd's window moved against the screen edge opposite Dock so that the main window finds
// room; the rectangle unchanged when it already stands there or Dock names no side.
[[nodiscard]] TRect PushedDromEdRect(int dock, const TRect& dromEd, const TRect& workArea);

// The main window's whole rectangle beside DromEd's window, clamped to the screen and at least
// kMinDockedSize in each direction; none when Dock names no side or the window would start
// outside the screen (DromEd covering it all, for one). The far edges are the work area's
// width and height themselves, as the docking always measured them.
[[nodiscard]] std::optional<TRect> DockedMainRect(int dock, const TRect& dromEd,
                                                  const TRect& workArea);

// The settings dialog's docking list, "at right", "at left", "at top", "at bottom",
// "don't dock": the item of a docking side (sides other than 1 to 4 show as "don't dock") and
// the side of an item.
[[nodiscard]] int DockListIndex(int dock) noexcept;
[[nodiscard]] int DockOfListIndex(int index) noexcept;

} // namespace kv
