#include "platform/sim/SimDesktop.h"

#include "platform/sim/SimDesktopGdi.h"
#include "platform/sim/SimKeyboardLayout.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace kv::sim {

namespace {

constexpr int kMinimisedPos = -32000;
constexpr int kMinimisedWidth = 160;
constexpr int kMinimisedHeight = 28;

constexpr std::uint32_t kHotKeyModifierMask = 0x000F; // Alt, Ctrl, Shift, Win; not MOD_NOREPEAT

constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorHotKeyAlreadyRegistered = 1409;
constexpr std::uint32_t kErrorHotKeyNotRegistered = 1419;

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// Puts a window at the front of a z-order, taking it out of its old place.
void BringToTop(std::vector<THwnd>& zOrder, THwnd window) {
    std::erase(zOrder, window);
    zOrder.push_back(window);
    std::rotate(zOrder.rbegin(), zOrder.rbegin() + 1, zOrder.rend());
}

} // namespace

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

THwnd TSimDesktop::CreateSimWindow(const TSimWindowSpec& desc) {
    const THwnd handle = nextHandle_++;
    auto window = std::make_unique<TSimWindow>();
    window->Handle = handle;
    window->Props = desc;
    window->RestoreRect = desc.Rect;
    windows_.emplace(handle, std::move(window));
    BringToTop(zOrder_, handle);
    return handle;
}

void TSimDesktop::DestroySimWindow(THwnd window) {
    if (!IsWindow(window)) return;
    // Owned windows go first, as Windows destroys them before their owner.
    std::vector<THwnd> owned;
    for (const auto& [handle, w] : windows_) {
        if (w->Props.Owner == window) owned.push_back(handle);
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
    w->RestoreRect = w->Props.Rect;
    w->Props.Rect = TRect{kMinimisedPos, kMinimisedPos, kMinimisedPos + kMinimisedWidth,
                         kMinimisedPos + kMinimisedHeight};
    w->Minimised = true;
}

void TSimDesktop::Restore(THwnd window) {
    TSimWindow* w = Window(window);
    if (w == nullptr || !w->Minimised) return;
    w->Props.Rect = w->RestoreRect;
    w->Minimised = false;
}

THwnd TSimDesktop::FindWindow(std::string_view className) {
    for (THwnd h : zOrder_) {
        const TSimWindow* w = Window(h);
        if (w != nullptr && EqualNoCase(w->Props.ClassName, className)) return h;
    }
    return 0;
}

std::string TSimDesktop::GetWindowText(THwnd window, std::size_t maxChars) {
    const TSimWindow* w = Window(window);
    if (w == nullptr || maxChars == 0) return {};
    return w->Props.Title.substr(0, maxChars - 1);
}

bool TSimDesktop::GetWindowRect(THwnd window, TRect& rect) {
    const TSimWindow* w = Window(window);
    if (w == nullptr) return false;
    rect = w->Props.Rect;
    return true;
}

bool TSimDesktop::GetClientRect(THwnd window, TRect& rect) {
    const TSimWindow* w = Window(window);
    if (w == nullptr || FailGetClientRect) return false;
    if (w->Minimised) {
        rect = TRect{}; // a minimised window has no client area
        return true;
    }
    const TRect client = ClientArea(w->Props);
    rect = TRect{0, 0, client.Width(), client.Height()};
    return true;
}

bool TSimDesktop::ClientToScreen(THwnd window, TPoint& point) {
    const TSimWindow* w = Window(window);
    if (w == nullptr || FailClientToScreen) return false;
    point.X += w->Props.Rect.Left + w->Props.FrameLeft;
    point.Y += w->Props.Rect.Top + w->Props.FrameTop;
    return true;
}

std::uint32_t TSimDesktop::GetWindowThreadProcessId(THwnd window) {
    const TSimWindow* w = Window(window);
    return w == nullptr ? 0 : w->Props.ThreadId;
}

bool TSimDesktop::EnumThreadWindows(std::uint32_t threadId,
                                    const std::function<bool(THwnd)>& callback) {
    // The list is taken before the first call, as Windows does; windows that the callback
    // destroys are skipped.
    std::vector<THwnd> list;
    for (THwnd h : zOrder_) {
        const TSimWindow* w = Window(h);
        if (w != nullptr && w->Props.ThreadId == threadId) list.push_back(h);
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
    return w == nullptr ? 0 : w->Props.Owner;
}

bool TSimDesktop::GetWindowStyle(THwnd window, std::uint32_t& style) {
    const TSimWindow* w = Window(window);
    if (w == nullptr) return false;
    style = w->Props.Style;
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
    w->Props.Rect = TRect{x, y, x + width, y + height};
    TSimEvent& e = Record(TSimEventKind::Move);
    e.Window = window;
    e.Rect = w->Props.Rect;
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
        input.Char = UsCharOfKey(vk, (keyboard_[win::VK_SHIFT] & 0x80) != 0,
                                 (keyboard_[win::VK_CAPITAL] & 0x01) != 0);
    }

    TSimWindow* target = Window(foreground_);
    if (target != nullptr && target->OnKey) {
        const auto onKey = target->OnKey; // the window may go while it handles the key
        onKey(input);
    }
}

std::uint32_t TSimDesktop::MapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
    return UsMapVirtualKey(code, mapType);
}

std::int16_t TSimDesktop::VkKeyScan(char ch) { return UsVkKeyScan(ch); }

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

} // namespace kv::sim
