// One favourite: a brush or object of the mission being edited, and the list that owns them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv {

// Stored in one byte; values outside 1..6 can arrive from files and show as "?".
enum TBrushKind : std::uint8_t {
    bkNone = 0,
    bkTerrain = 1,
    bkLight = 2,
    bkArea = 3,
    bkObject = 4,
    bkFlow = 5,
    bkRoom = 6,
};

struct TBrushInfo {
    TBrushKind Kind = bkNone;
    std::int32_t BrushNum = 0;
    std::int32_t ObjID = 0;
    std::string Name;

    friend bool operator==(const TBrushInfo&, const TBrushInfo&) = default;
};

void InitBrushInfo(TBrushInfo& info);

// Every favourite, each allocated by itself so that references to it stay valid.
using TFavoriteList = std::vector<std::unique_ptr<TBrushInfo>>;

// The letter of the "Type" column: T L A O F R, "?" for anything else.
[[nodiscard]] const char* KindLetter(TBrushKind kind) noexcept;

// The texts of the four list columns: "Type", "#", "Obj.ID", "Name".
[[nodiscard]] std::string ListColumnText(const TBrushInfo& info, int column);

// The list's comparison by a column (1 "#", 2 "Obj.ID", 3 "Name", anything else the kind);
// ties go by brush number, and descending order negates the whole result.
[[nodiscard]] int CompareFavorites(const TBrushInfo& a, const TBrushInfo& b, int sortColumn,
                                   bool descending) noexcept;

// Enabling rules of the actions on the selected favourite (an empty record when nothing is
// selected): the DromEd editors need an object with a known ID; select, go to and remove
// need any recognised item.
[[nodiscard]] bool NeedsObject(const TBrushInfo& selected) noexcept;
[[nodiscard]] bool NeedsSelection(const TBrushInfo& selected) noexcept;

} // namespace kv
