#include "items/DisplayFilter.h"

#include "text/Win1252.h"

namespace kv {

bool FilterAccepts(const TDisplayFilter& filter, TBrushKind kind, std::string_view name) {
    if ((filter.Kinds & KindBit(kind)) == 0) return false;
    return filter.NameFilter.empty() || AnsiContainsText(name, filter.NameFilter);
}

std::string FilterLabelText(const TDisplayFilter& filter) {
    std::string shown;
    std::string hidden;
    for (int k = bkTerrain; k <= bkRoom; ++k) {
        const auto kind = static_cast<TBrushKind>(k);
        ((filter.Kinds & KindBit(kind)) != 0 ? shown : hidden) += KindLetter(kind);
    }
    if (!filter.NameFilter.empty()) shown += ", \"" + filter.NameFilter + "\" in name";
    if (shown == "TLAOFR") shown = "Show all";
    if (!hidden.empty()) hidden = ", hide " + hidden;
    return "Filter: " + shown + hidden;
}

} // namespace kv
