#include "workspace/Docking.h"

namespace kv {

namespace {

TRect Shifted(TRect r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
    return r;
}

} // namespace

TRect PushedDromEdRect(int dock, const TRect& dromEd, const TRect& workArea) {
    int d = 0;
    switch (dock) {
    case dsLeft:
        d = workArea.Left + workArea.Width() - dromEd.Right;
        return d > 0 ? Shifted(dromEd, d, 0) : dromEd;
    case dsTop:
        d = workArea.Top + workArea.Height() - dromEd.Bottom;
        return d > 0 ? Shifted(dromEd, 0, d) : dromEd;
    case dsRight: d = dromEd.Left - workArea.Left; return d > 0 ? Shifted(dromEd, -d, 0) : dromEd;
    case dsBottom: d = dromEd.Top - workArea.Top; return d > 0 ? Shifted(dromEd, 0, -d) : dromEd;
    default: return dromEd;
    }
}

std::optional<TRect> DockedMainRect(int dock, const TRect& dromEd, const TRect& workArea) {
    const int width = workArea.Width();
    const int height = workArea.Height();
    TRect m;
    switch (dock) {
    case dsLeft: m = {0, dromEd.Top, dromEd.Left, dromEd.Bottom}; break;
    case dsTop: m = {dromEd.Left, 0, dromEd.Right, dromEd.Top}; break;
    case dsRight: m = {dromEd.Right, dromEd.Top, width, dromEd.Bottom}; break;
    case dsBottom: m = {dromEd.Left, dromEd.Bottom, dromEd.Right, height}; break;
    default: return std::nullopt;
    }
    if (m.Left < 0) m = Shifted(m, -m.Left, 0);
    if (m.Top < 0) m = Shifted(m, 0, -m.Top);
    if (m.Right > width) m.Right = width;
    if (m.Bottom > height) m.Bottom = height;
    if (m.Width() < kMinDockedSize) m.Right = m.Left + kMinDockedSize;
    if (m.Height() < kMinDockedSize) m.Bottom = m.Top + kMinDockedSize;
    if (m.Left < 0 || m.Left >= width || m.Top < 0 || m.Top >= height) return std::nullopt;
    return m;
}

namespace {
constexpr int kDockOfListItem[] = {dsRight, dsLeft, dsTop, dsBottom, dsNone};
} // namespace

int DockListIndex(int dock) noexcept {
    for (int i = 0; i < 4; ++i) {
        if (kDockOfListItem[i] == dock) return i;
    }
    return 4;
}

int DockOfListIndex(int index) noexcept {
    return index >= 0 && index < 5 ? kDockOfListItem[index] : dsNone;
}

} // namespace kv
