// One item: a brush or object of a mission, with its kind, brush number, object ID and name.
// Favourites, the DromEd selection, imported brushes and Link Painter nodes are all such items.
#pragma once

#include <cstdint>
#include <string>

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

// The letter of the "Type" column: T L A O F R, "?" for anything else.
[[nodiscard]] const char* KindLetter(TBrushKind kind) noexcept;

// The kind's name, "Terrain" to "Room"; Unknown for anything else.
[[nodiscard]] const char* KindName(TBrushKind kind, const char* unknown) noexcept;

} // namespace kv
