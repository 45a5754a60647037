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

} // namespace kv
