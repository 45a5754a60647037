// Private to the simulated desktop: its device contexts and bitmaps, and the client-area
// geometry that the window calls and the screen copy share.
#pragma once

#include "platform/sim/SimDesktop.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace kv::sim {

// The 1x1 monochrome bitmap that every new memory device context holds.
inline constexpr THandle kStockBitmap = 0x0185000F;

struct TSimDesktop::TBitmap {
    int Width = 0;
    int Height = 0;
    // A bitmap made compatible with a memory device context that holds only its stock bitmap
    // is monochrome, as on Windows: copies into it keep white and turn every other colour black.
    bool Monochrome = false;
    std::vector<std::uint32_t> Pixels;
};

struct TSimDesktop::TDc {
    bool Memory = false;
    THwnd Window = 0; // screen device contexts: the window they belong to
    int OriginX = 0;  // screen position of the context's (0, 0)
    int OriginY = 0;
    THandle Selected = kStockBitmap;
    std::shared_ptr<TBitmap> Bitmap; // the selected bitmap; none while the stock one is in
};

// The client area of a window in screen coordinates; empty when the frames leave none.
inline TRect ClientArea(const TSimWindowSpec& desc) {
    TRect c{desc.Rect.Left + desc.FrameLeft, desc.Rect.Top + desc.FrameTop,
            desc.Rect.Right - desc.FrameRight, desc.Rect.Bottom - desc.FrameBottom};
    c.Right = std::max(c.Right, c.Left);
    c.Bottom = std::max(c.Bottom, c.Top);
    return c;
}

} // namespace kv::sim
