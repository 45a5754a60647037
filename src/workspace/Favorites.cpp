#include "workspace/Favorites.h"

#include "text/Win1252.h"

namespace kv {
namespace {

int Compare32(std::int32_t a, std::int32_t b) noexcept { return a < b ? -1 : (a > b ? 1 : 0); }

} // namespace

std::string ListColumnText(const TBrushInfo& info, int column) {
    switch (column) {
    case 0: return KindLetter(info.Kind);
    case 1: return std::to_string(info.BrushNum);
    case 2:
        if (info.Kind != bkObject && info.Kind != bkRoom) return {};
        return info.ObjID == 0 ? "?" : std::to_string(info.ObjID);
    case 3: return info.Name;
    default: return {};
    }
}

int CompareFavorites(const TBrushInfo& a, const TBrushInfo& b, int sortColumn,
                     bool descending) noexcept {
    // Three-way comparisons rather than differences, so extreme numbers cannot overflow.
    int r = 0;
    switch (sortColumn) {
    case 1: r = Compare32(a.BrushNum, b.BrushNum); break;
    case 2: r = Compare32(a.ObjID, b.ObjID); break;
    case 3: r = AnsiCompareText(a.Name, b.Name); break;
    default: r = Compare32(a.Kind, b.Kind); break;
    }
    if (r == 0) r = Compare32(a.BrushNum, b.BrushNum);
    return descending ? -r : r;
}

bool NeedsObject(const TBrushInfo& selected) noexcept {
    return selected.Kind == bkObject && selected.ObjID != 0;
}

bool NeedsSelection(const TBrushInfo& selected) noexcept { return selected.Kind != bkNone; }

} // namespace kv
