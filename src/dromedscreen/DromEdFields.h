// The fixed places of DromEd's window that the program reads: status bar cells, name lines of
// the brush panel, the brush number and six panel button captions, and where they stand for a
// given client size.
#pragma once

#include "platform/Platform.h"

namespace kv {

enum TDromEdField {
    dfRoomName,
    dfObjectName,
    dfAreaName,
    dfStatusFile,
    dfStatusMessage,
    dfCaptionShowHot,
    dfCaptionReset,
    dfCaptionBright,
    dfCaptionFloorMe,
    dfCaptionGroup,
    dfCaptionCompile,
    dfBrushNumber,
};
inline constexpr int kDromEdFieldCount = 12;

struct TDromEdFieldInfo {
    int X, Y, W, H;
    bool DarkText;  // dark text on a light background (the status bar); else light on dark
    int Dx, Dw, Dy; // corrections for client widths below 1024
    bool Has800;    // a second set for a client width of exactly 800
    int Dx800, Dw800, Dy800;
};

[[nodiscard]] const TDromEdFieldInfo& DromEdFieldInfo(TDromEdField field);

// The field's rectangle in client coordinates for a client area of ClientWidth by ClientHeight.
[[nodiscard]] TRect PlaceDromEdField(TDromEdField field, int clientWidth, int clientHeight);

} // namespace kv
