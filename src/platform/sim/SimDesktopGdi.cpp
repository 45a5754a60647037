// The screen of the simulated desktop as GDI sees it: pixels composed from the windows, device
// contexts, bitmaps and the copies between them.
#include "platform/sim/SimDesktopGdi.h"

#include <cstddef>
#include <functional>
#include <utility>

namespace kv::sim {

namespace {

constexpr std::uint32_t kFrameColour = 0xC0C0C0;
constexpr std::uint32_t kClientColour = 0x808080;
constexpr std::uint32_t kDesktopColour = 0x404000;
constexpr std::uint32_t kOffScreenColour = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

bool Contains(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

bool IsShown(const TSimWindow& w) { return !w.Minimised && (w.Props.Style & win::WS_VISIBLE) != 0; }

} // namespace

// Screen -------------------------------------------------------------------------------------

TSimWindow* TSimDesktop::TopWindowAt(int x, int y) {
    for (THwnd h : zOrder_) {
        TSimWindow* w = Window(h);
        if (w != nullptr && IsShown(*w) && Contains(w->Props.Rect, x, y)) return w;
    }
    return nullptr;
}

std::uint32_t TSimDesktop::ScreenPixel(int x, int y) {
    if (x < 0 || y < 0 || x >= screenWidth_ || y >= screenHeight_) return kOffScreenColour;
    TSimWindow* w = TopWindowAt(x, y);
    if (w == nullptr) return kDesktopColour;
    const TRect client = ClientArea(w->Props);
    if (!Contains(client, x, y)) return kFrameColour;
    if (!w->PaintPixel) return kClientColour;
    return w->PaintPixel(x - client.Left, y - client.Top);
}

void TSimDesktop::ComposeScreen(int left, int top, int width, int height, TBitmap& dest, int destX,
                                int destY) {
    struct TShown {
        TRect Rect;
        TRect Client;
        const std::function<std::uint32_t(int, int)>* Paint;
    };
    std::vector<TShown> shown;
    for (THwnd h : zOrder_) {
        TSimWindow* w = Window(h);
        if (w == nullptr || !IsShown(*w)) continue;
        shown.push_back(
            {w->Props.Rect, ClientArea(w->Props), w->PaintPixel ? &w->PaintPixel : nullptr});
    }
    std::vector<const TShown*> row;
    for (int dy = 0; dy < height; ++dy) {
        const int ty = destY + dy;
        if (ty < 0 || ty >= dest.Height) continue;
        const int y = top + dy;
        std::uint32_t* out = dest.Pixels.data() + static_cast<std::size_t>(ty) * dest.Width;
        row.clear();
        if (y >= 0 && y < screenHeight_) {
            for (const TShown& s : shown) {
                if (y >= s.Rect.Top && y < s.Rect.Bottom) row.push_back(&s);
            }
        }
        for (int dx = 0; dx < width; ++dx) {
            const int tx = destX + dx;
            if (tx < 0 || tx >= dest.Width) continue;
            const int x = left + dx;
            std::uint32_t colour = kOffScreenColour;
            if (x >= 0 && x < screenWidth_ && y >= 0 && y < screenHeight_) {
                colour = kDesktopColour;
                for (const TShown* s : row) {
                    if (x < s->Rect.Left || x >= s->Rect.Right) continue;
                    if (Contains(s->Client, x, y)) {
                        colour = s->Paint != nullptr
                                     ? (*s->Paint)(x - s->Client.Left, y - s->Client.Top)
                                     : kClientColour;
                    } else {
                        colour = kFrameColour;
                    }
                    break;
                }
            }
            if (dest.Monochrome) colour = (colour & kWhite) == kWhite ? kWhite : 0;
            out[tx] = colour;
        }
    }
}

// GDI ----------------------------------------------------------------------------------------

TSimDesktop::TDc* TSimDesktop::FindDc(THandle dc) {
    auto it = dcs_.find(dc);
    return it == dcs_.end() ? nullptr : it->second.get();
}

int TSimDesktop::LiveGdiObjects() const { return static_cast<int>(dcs_.size() + bitmaps_.size()); }

THandle TSimDesktop::GetDC(THwnd window) {
    if (FailGetDC) return 0;
    auto dc = std::make_unique<TDc>();
    dc->Window = window;
    if (window != 0 && window != kDesktopWindow) {
        const TSimWindow* w = Window(window);
        if (w == nullptr) return 0;
        // A window's device context starts at its client area.
        dc->OriginX = w->Props.Rect.Left + w->Props.FrameLeft;
        dc->OriginY = w->Props.Rect.Top + w->Props.FrameTop;
    }
    const THandle handle = nextGdiHandle_++;
    dcs_.emplace(handle, std::move(dc));
    return handle;
}

bool TSimDesktop::ReleaseDC(THwnd window, THandle dc) {
    const TDc* d = FindDc(dc);
    if (d == nullptr || d->Memory) return false;
    const THwnd owner = d->Window == kDesktopWindow ? 0 : d->Window;
    if (owner != (window == kDesktopWindow ? 0 : window)) return false;
    dcs_.erase(dc);
    return true;
}

THandle TSimDesktop::CreateCompatibleDC(THandle dc) {
    if (FailCreateCompatibleDC) return 0;
    if (dc != 0 && FindDc(dc) == nullptr) return 0;
    auto memory = std::make_unique<TDc>();
    memory->Memory = true;
    const THandle handle = nextGdiHandle_++;
    dcs_.emplace(handle, std::move(memory));
    return handle;
}

THandle TSimDesktop::CreateCompatibleBitmap(THandle dc, int width, int height) {
    if (FailCreateCompatibleBitmap || width <= 0 || height <= 0) return 0;
    const TDc* d = FindDc(dc);
    if (d == nullptr) return 0;
    auto bitmap = std::make_shared<TBitmap>();
    bitmap->Width = width;
    bitmap->Height = height;
    bitmap->Monochrome = d->Memory && (d->Bitmap == nullptr || d->Bitmap->Monochrome);
    bitmap->Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    const THandle handle = nextGdiHandle_++;
    bitmaps_.emplace(handle, std::move(bitmap));
    return handle;
}

THandle TSimDesktop::SelectObject(THandle dc, THandle object) {
    TDc* d = FindDc(dc);
    if (d == nullptr || !d->Memory) return 0;
    std::shared_ptr<TBitmap> bitmap;
    if (object != kStockBitmap) {
        auto it = bitmaps_.find(object);
        if (it == bitmaps_.end()) return 0;
        bitmap = it->second;
        // A bitmap can be selected into one device context at a time.
        for (const auto& [handle, other] : dcs_) {
            if (handle != dc && other->Bitmap == bitmap) return 0;
        }
    }
    const THandle previous = d->Selected;
    d->Selected = object;
    d->Bitmap = std::move(bitmap);
    return previous;
}

bool TSimDesktop::BitBlt(THandle dest, int x, int y, int width, int height, THandle src, int srcX,
                         int srcY) {
    if (FailBitBlt) return false;
    TDc* to = FindDc(dest);
    TDc* from = FindDc(src);
    if (to == nullptr || from == nullptr || !to->Memory || to->Bitmap == nullptr) return false;
    if (width <= 0 || height <= 0) return true;
    TBitmap& target = *to->Bitmap;
    if (!from->Memory) {
        ComposeScreen(from->OriginX + srcX, from->OriginY + srcY, width, height, target, x, y);
        return true;
    }
    if (from->Bitmap == nullptr) return false;
    // Copy through a buffer so that a copy within one bitmap reads the old pixels.
    const TBitmap source = *from->Bitmap;
    for (int dy = 0; dy < height; ++dy) {
        const int ty = y + dy;
        const int sy = srcY + dy;
        if (ty < 0 || ty >= target.Height) continue;
        for (int dx = 0; dx < width; ++dx) {
            const int tx = x + dx;
            const int sx = srcX + dx;
            if (tx < 0 || tx >= target.Width) continue;
            std::uint32_t colour = 0;
            if (sx >= 0 && sy >= 0 && sx < source.Width && sy < source.Height) {
                colour = source.Pixels[static_cast<std::size_t>(sy) * source.Width + sx];
            }
            if (target.Monochrome) colour = (colour & kWhite) == kWhite ? kWhite : 0;
            target.Pixels[static_cast<std::size_t>(ty) * target.Width + tx] = colour;
        }
    }
    return true;
}

std::uint32_t TSimDesktop::GetPixel(THandle dc, int x, int y) {
    const TDc* d = FindDc(dc);
    if (d == nullptr) return win::CLR_INVALID;
    if (!d->Memory) return ScreenPixel(d->OriginX + x, d->OriginY + y);
    if (d->Bitmap == nullptr) {
        // The stock bitmap: one white pixel.
        return x == 0 && y == 0 ? kWhite : win::CLR_INVALID;
    }
    const TBitmap& b = *d->Bitmap;
    if (x < 0 || y < 0 || x >= b.Width || y >= b.Height) return win::CLR_INVALID;
    return b.Pixels[static_cast<std::size_t>(y) * b.Width + x];
}

bool TSimDesktop::ReadPixels(THandle dc, int& width, int& height,
                             std::vector<std::uint32_t>& pixels) {
    const TDc* d = FindDc(dc);
    if (d == nullptr || !d->Memory || d->Bitmap == nullptr) return false;
    width = d->Bitmap->Width;
    height = d->Bitmap->Height;
    pixels = d->Bitmap->Pixels;
    return true;
}

bool TSimDesktop::DeleteDC(THandle dc) {
    const TDc* d = FindDc(dc);
    if (d == nullptr || !d->Memory) return false; // screen contexts are released, not deleted
    dcs_.erase(dc);
    return true;
}

bool TSimDesktop::DeleteObject(THandle object) {
    if (object == kStockBitmap) return true; // stock objects are never freed
    // A bitmap still selected somewhere lives on with that device context.
    return bitmaps_.erase(object) > 0;
}

} // namespace kv::sim
