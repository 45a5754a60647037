// Which favourites pass: a set of kinds and a text that the name must contain. The list's
// display filter and the mission import's filter are both of this type.
#pragma once

#include "items/BrushInfo.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Bit n stands for kind n.
using TKindSet = std::uint8_t;
inline constexpr TKindSet kAllKinds = 0x7E; // Terrain to Room

[[nodiscard]] constexpr TKindSet KindBit(TBrushKind kind) noexcept {
    return kind < 8 ? static_cast<TKindSet>(1u << kind) : TKindSet{0};
}

struct TDisplayFilter {
    TKindSet Kinds = kAllKinds;
    std::string NameFilter;

    friend bool operator==(const TDisplayFilter&, const TDisplayFilter&) = default;
};

[[nodiscard]] bool FilterAccepts(const TDisplayFilter& filter, TBrushKind kind,
                                 std::string_view name);

// The text of the label under the list: "Filter: Show all", "Filter: LAFR, hide TO", ...
[[nodiscard]] std::string FilterLabelText(const TDisplayFilter& filter);

} // namespace kv
