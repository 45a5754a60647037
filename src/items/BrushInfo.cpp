#include "items/BrushInfo.h"

namespace kv {

void InitBrushInfo(TBrushInfo& info) { info = TBrushInfo{}; }

const char* KindLetter(TBrushKind kind) noexcept {
    switch (kind) {
    case bkTerrain: return "T";
    case bkLight: return "L";
    case bkArea: return "A";
    case bkObject: return "O";
    case bkFlow: return "F";
    case bkRoom: return "R";
    default: return "?";
    }
}

const char* KindName(TBrushKind kind, const char* unknown) noexcept {
    switch (kind) {
    case bkTerrain: return "Terrain";
    case bkLight: return "Light";
    case bkArea: return "Area";
    case bkObject: return "Object";
    case bkFlow: return "Flow";
    case bkRoom: return "Room";
    default: return unknown;
    }
}

} // namespace kv
