#include "platform/sim/SimDesktop.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace kv::sim {

namespace {

// The 1x1 monochrome bitmap that every new memory device context holds.
constexpr THandle kStockBitmap = 0x0185000F;

constexpr std::uint32_t kFrameColour = 0xC0C0C0;
constexpr std::uint32_t kClientColour = 0x808080;
constexpr std::uint32_t kDesktopColour = 0x404000;
constexpr std::uint32_t kOffScreenColour = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

constexpr int kMinimisedPos = -32000;
constexpr int kMinimisedWidth = 160;
constexpr int kMinimisedHeight = 28;

constexpr std::uint32_t kHotKeyModifierMask = 0x000F; // Alt, Ctrl, Shift, Win; not MOD_NOREPEAT

constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorHotKeyAlreadyRegistered = 1409;
constexpr std::uint32_t kErrorHotKeyNotRegistered = 1419;

// Side-specific modifier keys; the keyboard state keeps only the generic codes.
constexpr std::uint8_t kVkLShift = 0xA0;
constexpr std::uint8_t kVkRShift = 0xA1;
constexpr std::uint8_t kVkLControl = 0xA2;
constexpr std::uint8_t kVkRControl = 0xA3;
constexpr std::uint8_t kVkLMenu = 0xA4;
constexpr std::uint8_t kVkRMenu = 0xA5;

constexpr std::uint8_t kVkNumpad0 = 0x60;
constexpr std::uint8_t kVkMultiply = 0x6A;
constexpr std::uint8_t kVkAdd = 0x6B;
constexpr std::uint8_t kVkSubtract = 0x6D;
constexpr std::uint8_t kVkDecimal = 0x6E;
constexpr std::uint8_t kVkDivide = 0x6F;

std::uint8_t GenericVk(std::uint8_t vk) {
    switch (vk) {
    case kVkLShift:
    case kVkRShift: return win::VK_SHIFT;
    case kVkLControl:
    case kVkRControl: return win::VK_CONTROL;
    case kVkLMenu:
    case kVkRMenu: return win::VK_MENU;
    default: return vk;
    }
}

struct TScanEntry {
    std::uint8_t Vk;
    std::uint8_t Scan;
};

// Virtual key to set-1 scan code of a US keyboard. For a scan code that several keys share,
// the first entry is the key that the scan code maps back to.
constexpr std::array kScanCodes = {
    TScanEntry{win::VK_ESCAPE, 0x01},
    TScanEntry{'1', 0x02},
    TScanEntry{'2', 0x03},
    TScanEntry{'3', 0x04},
    TScanEntry{'4', 0x05},
    TScanEntry{'5', 0x06},
    TScanEntry{'6', 0x07},
    TScanEntry{'7', 0x08},
    TScanEntry{'8', 0x09},
    TScanEntry{'9', 0x0A},
    TScanEntry{'0', 0x0B},
    TScanEntry{0xBD, 0x0C},
    TScanEntry{0xBB, 0x0D},
    TScanEntry{win::VK_BACK, 0x0E},
    TScanEntry{win::VK_TAB, 0x0F},
    TScanEntry{'Q', 0x10},
    TScanEntry{'W', 0x11},
    TScanEntry{'E', 0x12},
    TScanEntry{'R', 0x13},
    TScanEntry{'T', 0x14},
    TScanEntry{'Y', 0x15},
    TScanEntry{'U', 0x16},
    TScanEntry{'I', 0x17},
    TScanEntry{'O', 0x18},
    TScanEntry{'P', 0x19},
    TScanEntry{win::VK_OEM_4, 0x1A},
    TScanEntry{win::VK_OEM_6, 0x1B},
    TScanEntry{win::VK_RETURN, 0x1C},
    TScanEntry{win::VK_CONTROL, 0x1D},
    TScanEntry{'A', 0x1E},
    TScanEntry{'S', 0x1F},
    TScanEntry{'D', 0x20},
    TScanEntry{'F', 0x21},
    TScanEntry{'G', 0x22},
    TScanEntry{'H', 0x23},
    TScanEntry{'J', 0x24},
    TScanEntry{'K', 0x25},
    TScanEntry{'L', 0x26},
    TScanEntry{0xBA, 0x27},
    TScanEntry{0xDE, 0x28},
    TScanEntry{0xC0, 0x29},
    TScanEntry{win::VK_SHIFT, 0x2A},
    TScanEntry{0xDC, 0x2B},
    TScanEntry{'Z', 0x2C},
    TScanEntry{'X', 0x2D},
    TScanEntry{'C', 0x2E},
    TScanEntry{'V', 0x2F},
    TScanEntry{'B', 0x30},
    TScanEntry{'N', 0x31},
    TScanEntry{'M', 0x32},
    TScanEntry{0xBC, 0x33},
    TScanEntry{0xBE, 0x34},
    TScanEntry{0xBF, 0x35},
    TScanEntry{win::VK_MENU, 0x38},
    TScanEntry{win::VK_SPACE, 0x39},
    TScanEntry{win::VK_CAPITAL, 0x3A},
    TScanEntry{0x70, 0x3B},
    TScanEntry{0x71, 0x3C},
    TScanEntry{0x72, 0x3D},
    TScanEntry{0x73, 0x3E},
    TScanEntry{0x74, 0x3F},
    TScanEntry{0x75, 0x40},
    TScanEntry{0x76, 0x41},
    TScanEntry{0x77, 0x42},
    TScanEntry{0x78, 0x43},
    TScanEntry{0x79, 0x44},
    TScanEntry{win::VK_NUMLOCK, 0x45},
    TScanEntry{win::VK_SCROLL, 0x46},
    TScanEntry{win::VK_HOME, 0x47},
    TScanEntry{win::VK_UP, 0x48},
    TScanEntry{win::VK_PRIOR, 0x49},
    TScanEntry{win::VK_LEFT, 0x4B},
    TScanEntry{win::VK_CLEAR, 0x4C},
    TScanEntry{win::VK_RIGHT, 0x4D},
    TScanEntry{win::VK_END, 0x4F},
    TScanEntry{win::VK_DOWN, 0x50},
    TScanEntry{win::VK_NEXT, 0x51},
    TScanEntry{win::VK_INSERT, 0x52},
    TScanEntry{win::VK_DELETE, 0x53},
    TScanEntry{0x7A, 0x57},
    TScanEntry{0x7B, 0x58},
    TScanEntry{0x7C, 0x64},
    TScanEntry{0x7D, 0x65},
    TScanEntry{0x7E, 0x66},
    TScanEntry{0x7F, 0x67},
    // Keys that share a scan code with a key above, or have one of their own only here.
    TScanEntry{win::VK_CANCEL, 0x46},
    TScanEntry{kVkLShift, 0x2A},
    TScanEntry{kVkRShift, 0x36},
    TScanEntry{kVkLControl, 0x1D},
    TScanEntry{kVkRControl, 0x1D},
    TScanEntry{kVkLMenu, 0x38},
    TScanEntry{kVkRMenu, 0x38},
    TScanEntry{kVkMultiply, 0x37},
    TScanEntry{kVkSubtract, 0x4A},
    TScanEntry{kVkAdd, 0x4E},
    TScanEntry{kVkDivide, 0x35},
    TScanEntry{kVkDecimal, 0x53},
    TScanEntry{kVkNumpad0 + 7, 0x47},
    TScanEntry{kVkNumpad0 + 8, 0x48},
    TScanEntry{kVkNumpad0 + 9, 0x49},
    TScanEntry{kVkNumpad0 + 4, 0x4B},
    TScanEntry{kVkNumpad0 + 5, 0x4C},
    TScanEntry{kVkNumpad0 + 6, 0x4D},
    TScanEntry{kVkNumpad0 + 1, 0x4F},
    TScanEntry{kVkNumpad0 + 2, 0x50},
    TScanEntry{kVkNumpad0 + 3, 0x51},
    TScanEntry{kVkNumpad0 + 0, 0x52},
};

struct TLayoutTables {
    std::array<std::uint8_t, 256> ScanOfVk{};
    std::array<std::uint8_t, 256> VkOfScan{};
    // What a key types without and with Shift; 0 for nothing.
    std::array<char, 256> Plain{};
    std::array<char, 256> Shifted{};
    // Keys of the main block found by VkKeyScan (the numeric keypad is not searched).
    std::array<bool, 256> MainBlock{};
};

TLayoutTables MakeLayout() {
    TLayoutTables t;
    for (const TScanEntry& e : kScanCodes) {
        t.ScanOfVk[e.Vk] = e.Scan;
        if (t.VkOfScan[e.Scan] == 0) t.VkOfScan[e.Scan] = e.Vk;
    }
    auto key = [&t](std::uint8_t vk, char plain, char shifted) {
        t.Plain[vk] = plain;
        t.Shifted[vk] = shifted;
        t.MainBlock[vk] = true;
    };
    for (char c = 'A'; c <= 'Z'; ++c) {
        key(static_cast<std::uint8_t>(c), static_cast<char>(c - 'A' + 'a'), c);
    }
    const char* shiftedDigits = ")!@#$%^&*(";
    for (int d = 0; d <= 9; ++d) {
        key(static_cast<std::uint8_t>('0' + d), static_cast<char>('0' + d), shiftedDigits[d]);
    }
    key(win::VK_SPACE, ' ', ' ');
    key(0xBA, ';', ':');
    key(0xBB, '=', '+');
    key(0xBC, ',', '<');
    key(0xBD, '-', '_');
    key(0xBE, '.', '>');
    key(0xBF, '/', '?');
    key(0xC0, '`', '~');
    key(0xDB, '[', '{');
    key(0xDC, '\\', '|');
    key(0xDD, ']', '}');
    key(0xDE, '\'', '"');
    key(win::VK_RETURN, '\r', '\r');
    key(win::VK_BACK, '\b', '\b');
    key(win::VK_ESCAPE, '\x1B', '\x1B');
    key(win::VK_TAB, '\t', '\t');
    auto pad = [&t](std::uint8_t vk, char c) {
        t.Plain[vk] = c;
        t.Shifted[vk] = c;
    };
    for (int d = 0; d <= 9; ++d) {
        pad(static_cast<std::uint8_t>(kVkNumpad0 + d), static_cast<char>('0' + d));
    }
    pad(kVkMultiply, '*');
    pad(kVkAdd, '+');
    pad(kVkSubtract, '-');
    pad(kVkDecimal, '.');
    pad(kVkDivide, '/');
    return t;
}

const TLayoutTables& Layout() {
    static const TLayoutTables tables = MakeLayout();
    return tables;
}

bool IsLetterVk(std::uint8_t vk) { return vk >= 'A' && vk <= 'Z'; }

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool Contains(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TRect ClientArea(const TSimWindowSpec& spec) {
    TRect c{spec.Rect.Left + spec.FrameLeft, spec.Rect.Top + spec.FrameTop,
            spec.Rect.Right - spec.FrameRight, spec.Rect.Bottom - spec.FrameBottom};
    c.Right = std::max(c.Right, c.Left);
    c.Bottom = std::max(c.Bottom, c.Top);
    return c;
}

// Puts a window at the front of a z-order, taking it out of its old place.
void BringToTop(std::vector<THwnd>& zOrder, THwnd window) {
    std::erase(zOrder, window);
    zOrder.push_back(window);
    std::rotate(zOrder.rbegin(), zOrder.rbegin() + 1, zOrder.rend());
}

bool IsShown(const TSimWindow& w) { return !w.Minimised && (w.Spec.Style & win::WS_VISIBLE) != 0; }

} // namespace

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

TSimDesktop::TSimDesktop(int screenWidth, int screenHeight)
    : screenWidth_(screenWidth),
      screenHeight_(screenHeight), workArea_{0, 0, screenWidth, screenHeight} {}

TSimDesktop::~TSimDesktop() = default;

TSimEvent& TSimDesktop::Record(TSimEventKind kind) {
    TSimEvent& e = events_.emplace_back();
    e.Kind = kind;
    e.Time = now_;
    return e;
}

std::vector<TSimEvent> TSimDesktop::EventsOf(TSimEventKind kind) const {
    std::vector<TSimEvent> result;
    for (const TSimEvent& e : events_) {
        if (e.Kind == kind) result.push_back(e);
    }
    return result;
}

// Windows ------------------------------------------------------------------------------------

THwnd TSimDesktop::CreateSimWindow(const TSimWindowSpec& spec) {
    const THwnd handle = nextHandle_++;
    auto window = std::make_unique<TSimWindow>();
    window->Handle = handle;
    window->Spec = spec;
    window->RestoreRect = spec.Rect;
    windows_.emplace(handle, std::move(window));
    BringToTop(zOrder_, handle);
    return handle;
}

void TSimDesktop::DestroySimWindow(THwnd window) {
    if (!IsWindow(window)) return;
    // Owned windows go first, as Windows destroys them before their owner.
    std::vector<THwnd> owned;
    for (const auto& [handle, w] : windows_) {
        if (w->Spec.Owner == window) owned.push_back(handle);
    }
    for (THwnd h : owned) DestroySimWindow(h);
    std::erase(zOrder_, window);
    if (foreground_ == window) foreground_ = 0;
    // The window's handlers may be running (a window that destroys itself while handling a
    // message); callers copy a handler before calling it, so freeing the window here is safe.
    windows_.erase(window);
}

TSimWindow* TSimDesktop::Window(THwnd window) {
    auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : it->second.get();
}

bool TSimDesktop::IsWindow(THwnd window) const { return windows_.contains(window); }

void TSimDesktop::Minimise(THwnd window) {
    TSimWindow* w = Window(window);
    if (w == nullptr || w->Minimised) return;
    w->RestoreRect = w->Spec.Rect;
    w->Spec.Rect = TRect{kMinimisedPos, kMinimisedPos, kMinimisedPos + kMinimisedWidth,
                         kMinimisedPos + kMinimisedHeight};
    w->Minimised = true;
}

void TSimDesktop::Restore(THwnd window) {
    TSimWindow* w = Window(window);
    if (w == nullptr || !w->Minimised) return;
    w->Spec.Rect = w->RestoreRect;
    w->Minimised = false;
}

TSimWindow* TSimDesktop::TopWindowAt(int x, int y) {
    for (THwnd h : zOrder_) {
        TSimWindow* w = Window(h);
        if (w != nullptr && IsShown(*w) && Contains(w->Spec.Rect, x, y)) return w;
    }
    return nullptr;
}

std::uint32_t TSimDesktop::ScreenPixel(int x, int y) {
    if (x < 0 || y < 0 || x >= screenWidth_ || y >= screenHeight_) return kOffScreenColour;
    TSimWindow* w = TopWindowAt(x, y);
    if (w == nullptr) return kDesktopColour;
    const TRect client = ClientArea(w->Spec);
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
            {w->Spec.Rect, ClientArea(w->Spec), w->PaintPixel ? &w->PaintPixel : nullptr});
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

THwnd TSimDesktop::FindWindow(std::string_view className) {
    for (THwnd h : zOrder_) {
        const TSimWindow* w = Window(h);
        if (w != nullptr && EqualNoCase(w->Spec.ClassName, className)) return h;
    }
    return 0;
}

std::string TSimDesktop::GetWindowText(THwnd window, std::size_t maxChars) {
    const TSimWindow* w = Window(window);
    if (w == nullptr || maxChars == 0) return {};
    return w->Spec.Title.substr(0, maxChars - 1);
}

bool TSimDesktop::GetWindowRect(THwnd window, TRect& rect) {
    const TSimWindow* w = Window(window);
    if (w == nullptr) return false;
    rect = w->Spec.Rect;
    return true;
}

bool TSimDesktop::GetClientRect(THwnd window, TRect& rect) {
    const TSimWindow* w = Window(window);
    if (w == nullptr || FailGetClientRect) return false;
    if (w->Minimised) {
        rect = TRect{}; // a minimised window has no client area
        return true;
    }
    const TRect client = ClientArea(w->Spec);
    rect = TRect{0, 0, client.Width(), client.Height()};
    return true;
}

bool TSimDesktop::ClientToScreen(THwnd window, TPoint& point) {
    const TSimWindow* w = Window(window);
    if (w == nullptr || FailClientToScreen) return false;
    point.X += w->Spec.Rect.Left + w->Spec.FrameLeft;
    point.Y += w->Spec.Rect.Top + w->Spec.FrameTop;
    return true;
}

std::uint32_t TSimDesktop::GetWindowThreadProcessId(THwnd window) {
    const TSimWindow* w = Window(window);
    return w == nullptr ? 0 : w->Spec.ThreadId;
}

bool TSimDesktop::EnumThreadWindows(std::uint32_t threadId,
                                    const std::function<bool(THwnd)>& callback) {
    // The list is taken before the first call, as Windows does; windows that the callback
    // destroys are skipped.
    std::vector<THwnd> list;
    for (THwnd h : zOrder_) {
        const TSimWindow* w = Window(h);
        if (w != nullptr && w->Spec.ThreadId == threadId) list.push_back(h);
    }
    if (list.empty()) return false;
    for (THwnd h : list) {
        if (!IsWindow(h)) continue;
        if (!callback(h)) return false;
    }
    return true;
}

THwnd TSimDesktop::GetParent(THwnd window) {
    const TSimWindow* w = Window(window);
    return w == nullptr ? 0 : w->Spec.Owner;
}

bool TSimDesktop::GetWindowStyle(THwnd window, std::uint32_t& style) {
    const TSimWindow* w = Window(window);
    if (w == nullptr) return false;
    style = w->Spec.Style;
    return true;
}

std::intptr_t TSimDesktop::SendMessage(THwnd window, std::uint32_t msg, std::uintptr_t wParam,
                                       std::intptr_t lParam) {
    TSimEvent& e = Record(TSimEventKind::Message);
    e.Window = window;
    e.Msg = msg;
    e.WParam = wParam;
    e.LParam = lParam;
    TSimWindow* w = Window(window);
    if (w == nullptr) return 0;
    if (w->OnMessage) {
        // A copy, since the handler may destroy its own window.
        const auto handler = w->OnMessage;
        if (const std::optional<std::intptr_t> answer = handler(msg, wParam, lParam)) {
            return *answer;
        }
        if (!IsWindow(window)) return 0;
    }
    if (msg == win::WM_CLOSE) {
        DestroySimWindow(window);
    } else if (msg == win::WM_SYSCOMMAND && (wParam & 0xFFF0) == win::SC_RESTORE) {
        Restore(window);
    }
    return 0;
}

bool TSimDesktop::SetForegroundWindow(THwnd window) {
    const TSimWindow* w = Window(window);
    if (w == nullptr || w->RefuseForeground) return false;
    BringToTop(zOrder_, window);
    foreground_ = window;
    Record(TSimEventKind::Foreground).Window = window;
    return true;
}

bool TSimDesktop::MoveWindow(THwnd window, int x, int y, int width, int height, bool /*repaint*/) {
    TSimWindow* w = Window(window);
    if (w == nullptr) return false;
    w->Spec.Rect = TRect{x, y, x + width, y + height};
    TSimEvent& e = Record(TSimEventKind::Move);
    e.Window = window;
    e.Rect = w->Spec.Rect;
    return true;
}

bool TSimDesktop::GetWorkArea(TRect& area) {
    area = workArea_;
    return true;
}

void TSimDesktop::Sleep(std::uint32_t ms) {
    Record(TSimEventKind::Sleep).Ms = ms;
    now_ += ms;
}

// Keyboard -----------------------------------------------------------------------------------

void TSimDesktop::KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
    TSimEvent& e = Record(TSimEventKind::Key);
    e.Vk = vk;
    e.Scan = scan;
    e.Flags = flags;

    const bool down = (flags & win::KEYEVENTF_KEYUP) == 0;
    const std::uint8_t key = GenericVk(vk);
    if (down) {
        keyboard_[key] |= 0x80;
        if (key == win::VK_CAPITAL || key == win::VK_NUMLOCK || key == win::VK_SCROLL) {
            keyboard_[key] ^= 0x01;
        }
    } else {
        keyboard_[key] &= static_cast<std::uint8_t>(~0x80u);
    }

    TSimKeyInput input;
    input.Vk = vk;
    input.Down = down;
    const bool ctrlOrAlt =
        (keyboard_[win::VK_CONTROL] & 0x80) != 0 || (keyboard_[win::VK_MENU] & 0x80) != 0;
    if (down && !ctrlOrAlt) {
        bool shift = (keyboard_[win::VK_SHIFT] & 0x80) != 0;
        if (IsLetterVk(vk) && (keyboard_[win::VK_CAPITAL] & 0x01) != 0) shift = !shift;
        input.Char = shift ? Layout().Shifted[vk] : Layout().Plain[vk];
    }

    TSimWindow* target = Window(foreground_);
    if (target != nullptr && target->OnKey) {
        const auto onKey = target->OnKey; // the window may go while it handles the key
        onKey(input);
    }
}

std::uint32_t TSimDesktop::MapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
    if (code > 0xFF) return 0;
    const TLayoutTables& t = Layout();
    switch (mapType) {
    case 0: return t.ScanOfVk[code];
    case 1: return GenericVk(t.VkOfScan[code]);
    case 2: {
        const char c = t.Plain[code];
        if (IsLetterVk(static_cast<std::uint8_t>(code))) return code; // letters map upper-case
        return static_cast<unsigned char>(c);
    }
    case 3: {
        // Scan code to virtual key, telling left from right.
        switch (code) {
        case 0x2A: return kVkLShift;
        case 0x36: return kVkRShift;
        case 0x1D: return kVkLControl;
        case 0x38: return kVkLMenu;
        default: return t.VkOfScan[code];
        }
    }
    default: return 0;
    }
}

std::int16_t TSimDesktop::VkKeyScan(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
    case '\t': return win::VK_TAB;
    case '\r': return win::VK_RETURN;
    case '\b': return win::VK_BACK;
    case 0x1B: return 0x200 | win::VK_OEM_4;  // Ctrl+[
    case '\n': return 0x200 | win::VK_RETURN; // Ctrl+Enter
    default: break;
    }
    if (c < 0x20 || c >= 0x7F) return -1;
    const TLayoutTables& t = Layout();
    for (int vk = 0; vk < 256; ++vk) {
        if (t.MainBlock[vk] && t.Plain[vk] == ch) return static_cast<std::int16_t>(vk);
    }
    for (int vk = 0; vk < 256; ++vk) {
        if (t.MainBlock[vk] && t.Shifted[vk] == ch) return static_cast<std::int16_t>(0x100 | vk);
    }
    return -1;
}

std::int16_t TSimDesktop::GetKeyState(int vk) {
    if (vk < 0 || vk > 0xFF) return 0;
    const std::uint8_t entry = keyboard_[static_cast<std::size_t>(vk)];
    std::uint16_t value = entry & 0x01;
    if ((entry & 0x80) != 0) value |= 0xFF80;
    return static_cast<std::int16_t>(value);
}

bool TSimDesktop::GetKeyboardState(TKeyboardState& state) {
    state = keyboard_;
    return true;
}

bool TSimDesktop::SetKeyboardState(const TKeyboardState& state) {
    keyboard_ = state;
    Record(TSimEventKind::KeyboardState);
    return true;
}

void TSimDesktop::PumpKeyboardMessages() { Record(TSimEventKind::Pump); }

// Hotkeys ------------------------------------------------------------------------------------

void TSimDesktop::TakeHotKeyElsewhere(std::uint32_t modifiers, std::uint32_t vk) {
    takenHotKeys_.emplace_back(modifiers & kHotKeyModifierMask, vk);
}

bool TSimDesktop::RegisterHotKey(THwnd window, int id, std::uint32_t modifiers, std::uint32_t vk) {
    modifiers &= kHotKeyModifierMask;
    const bool taken =
        std::ranges::find(takenHotKeys_, std::pair{modifiers, vk}) != takenHotKeys_.end() ||
        std::ranges::any_of(hotkeys_, [&](const auto& entry) {
            return entry.second.Modifiers == modifiers && entry.second.Vk == vk;
        });
    if (taken || hotkeys_.contains(id)) {
        lastError_ = kErrorHotKeyAlreadyRegistered;
        return false;
    }
    hotkeys_[id] = THotKey{window, modifiers, vk};
    return true;
}

bool TSimDesktop::UnregisterHotKey(THwnd window, int id) {
    auto it = hotkeys_.find(id);
    if (it == hotkeys_.end() || it->second.Window != window) {
        lastError_ = kErrorHotKeyNotRegistered;
        return false;
    }
    hotkeys_.erase(it);
    return true;
}

void TSimDesktop::SetHotKeyHandler(std::function<void(int id)> handler) {
    hotKeyHandler_ = std::move(handler);
}

bool TSimDesktop::PressHotKey(std::uint32_t modifiers, std::uint32_t vk) {
    modifiers &= kHotKeyModifierMask;
    for (const auto& [id, hotkey] : hotkeys_) {
        if (hotkey.Modifiers != modifiers || hotkey.Vk != vk) continue;
        const int pressed = id;
        if (hotKeyHandler_) {
            const auto handler = hotKeyHandler_; // the handler may replace itself
            handler(pressed);
        }
        return true;
    }
    return false;
}

// Processes ----------------------------------------------------------------------------------

bool TSimDesktop::CreateProcess(const std::string& commandLine, const std::string& currentDirectory,
                                std::uint32_t creationFlags, TProcessInfo& info) {
    TSimEvent& e = Record(TSimEventKind::Process);
    e.Text = commandLine;
    e.Caption = currentDirectory;
    e.Flags = creationFlags;
    if (CreateProcessHandler && !CreateProcessHandler(commandLine, currentDirectory)) {
        return false;
    }
    info.Process = nextProcessHandle_;
    info.Thread = nextProcessHandle_ + 4;
    nextProcessHandle_ += 8;
    info.ProcessId = nextProcessId_;
    info.ThreadId = nextProcessId_ + 4;
    nextProcessId_ += 8;
    openProcessHandles_.push_back(info.Process);
    openThreadHandles_.push_back(info.Thread);
    return true;
}

bool TSimDesktop::SetPriorityClass(THandle process, std::uint32_t priorityClass) {
    Record(TSimEventKind::Priority).Flags = priorityClass;
    if (std::ranges::find(openProcessHandles_, process) == openProcessHandles_.end()) {
        lastError_ = kErrorInvalidHandle;
        return false;
    }
    if (std::ranges::find(RefusedPriorityClasses, priorityClass) != RefusedPriorityClasses.end()) {
        lastError_ = kErrorAccessDenied;
        return false;
    }
    return true;
}

bool TSimDesktop::CloseHandle(THandle handle) {
    if (std::erase(openProcessHandles_, handle) > 0) return true;
    if (std::erase(openThreadHandles_, handle) > 0) return true;
    lastError_ = kErrorInvalidHandle;
    return false;
}

// Feedback -----------------------------------------------------------------------------------

bool TSimDesktop::MessageBeep(std::uint32_t type) {
    Record(TSimEventKind::Beep).Flags = type;
    return true;
}

int TSimDesktop::MessageBox(THwnd owner, const std::string& text, const std::string& caption,
                            std::uint32_t flags) {
    TSimEvent& e = Record(TSimEventKind::MessageBox);
    e.Window = owner;
    e.Text = text;
    e.Caption = caption;
    e.Flags = flags;
    if (MessageBoxHandler) {
        const auto handler = MessageBoxHandler;
        return handler(text, caption, flags);
    }
    return win::IDOK;
}

bool TSimDesktop::ShellOpen(const std::string& target) {
    Record(TSimEventKind::ShellOpen).Text = target;
    return true;
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
        dc->OriginX = w->Spec.Rect.Left + w->Spec.FrameLeft;
        dc->OriginY = w->Spec.Rect.Top + w->Spec.FrameTop;
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
