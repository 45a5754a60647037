// Where DromEd shows the texts the program reads, for each client size.
#include "dromedscreen/DromEdFields.h"

#include <array>

namespace kv {
namespace {

constexpr bool kLight = false;
constexpr bool kDark = true;

// Positions for a client area at least 1024 wide; corrections for narrower ones.
// clang-format off
constexpr std::array<TDromEdFieldInfo, kDromEdFieldCount> kDromEdFields{{
    //  x    y    w    h  text    dx    dw  dy  800?   dx  dw    dy
    {262, 646, 143, 11, kLight,    0,    0,  0, false,  0,    0, 0}, // dfRoomName
    {262, 691, 143, 11, kLight,    0,    0,  0, false,  0,    0, 0}, // dfObjectName
    {262, 707, 143, 11, kLight,    0,    0,  0, false,  0,    0, 0}, // dfAreaName
    { 11, 755, 194, 11, kDark,    -4,  -72, -1, true,  -2,  -42, 0}, // dfStatusFile
    {410, 755, 399, 11, kDark,  -141, -162, -1, true, -73, -104, 0}, // dfStatusMessage
    {308, 646,  50, 10, kLight,    0,    0,  0, false,  0,    0, 0}, // dfCaptionShowHot
    {277, 691,  31, 11, kLight,    0,    0,  0, false,  0,    0, 0}, // dfCaptionReset
    {264, 676,  36, 10, kLight,    0,    0,  0, false,  0,    0, 0}, // dfCaptionBright
    {346, 707,  47, 10, kLight,    0,    0,  0, false,  0,    0, 0}, // dfCaptionFloorMe
    {264, 692,  33, 10, kLight,    0,    0,  0, false,  0,    0, 0}, // dfCaptionGroup
    {347, 738,  46, 10, kLight,    0,    0,  0, false,  0,    0, 0}, // dfCaptionCompile
    {  2, 737,  50, 11, kLight,    0,    0,  0, false,  0,    0, 0}, // dfBrushNumber
}};
// clang-format on

constexpr int kFullWidth = 1024;
constexpr int kSmallWidth = 800;
// The table's y values are for a client area of this height, less one.
constexpr int kBaseHeight = 769;

} // namespace

const TDromEdFieldInfo& DromEdFieldInfo(TDromEdField field) {
    return kDromEdFields[static_cast<std::size_t>(field)];
}

TRect PlaceDromEdField(TDromEdField field, int clientWidth, int clientHeight) {
    const TDromEdFieldInfo& info = DromEdFieldInfo(field);
    int x = info.X;
    int y = info.Y;
    int w = info.W;
    if (clientWidth < kFullWidth) {
        const bool at800 = clientWidth == kSmallWidth && info.Has800;
        x += at800 ? info.Dx800 : info.Dx;
        w += at800 ? info.Dw800 : info.Dw;
        y += (at800 ? info.Dy800 : info.Dy) + clientHeight - kBaseHeight;
        if (clientWidth == kSmallWidth) --y;
    }
    return TRect{x, y, x + w, y + info.H};
}

} // namespace kv
