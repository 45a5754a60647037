// The link flavors DromEd knows, by the number mission files store for them, and how the
// Link Painter offers them: a sorted drop-down list and menus grouped by first letter.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

struct TLinkFlavorInfo {
    const char* Name;    // as DromEd's link_objs command takes it
    std::uint32_t Color; // of an active link of the flavor (0x00BBGGRR)
    bool Hidden;         // never offered, drawn or read from mission files
};

inline constexpr int kLinkFlavorCount = 66;
extern const std::array<TLinkFlavorInfo, kLinkFlavorCount> LinkFlavors;

// Grey, the colour of a link that is not to be created.
inline constexpr std::uint32_t kInactiveLinkColor = 0x808080;

// True for 0..65 when the row is not hidden.
[[nodiscard]] bool IsVisibleFlavor(int flavor) noexcept;

// The indices of the visible flavors, sorted by name ignoring case: the entries of the
// flavor drop-down list and the order of the flavor menus.
[[nodiscard]] std::vector<int> SortedVisibleFlavors();

// One entry of a "Change link flavor" menu: a letter item holding the flavors that begin with
// it, or a flavor item. NewColumn: the entry starts a new menu column (every 12th entry of a
// menu, so the first column holds 11).
struct TFlavorMenuEntry {
    std::string Caption;
    int Flavor = -1; // -1 for a letter item
    bool NewColumn = false;
    std::vector<TFlavorMenuEntry> Children; // a letter item's flavors
};

// The entries of a "Change link flavor" submenu, in order.
[[nodiscard]] std::vector<TFlavorMenuEntry> FlavorMenu();

} // namespace kv
