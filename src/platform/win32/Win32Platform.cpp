#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace kv {

namespace {

HWND Hwnd(THwnd window) { return reinterpret_cast<HWND>(window); }
THwnd ToHwnd(HWND window) { return reinterpret_cast<THwnd>(window); }
HDC Hdc(THandle dc) { return reinterpret_cast<HDC>(dc); }
HANDLE Handle(THandle handle) { return reinterpret_cast<HANDLE>(handle); }
HGDIOBJ GdiObject(THandle object) { return reinterpret_cast<HGDIOBJ>(object); }
template <typename T> THandle ToHandle(T handle) { return reinterpret_cast<THandle>(handle); }

TRect ToRect(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }

constexpr const char* kHotKeyWindowClass = "KorvaneHotKeyWindow";

LRESULT CALLBACK HotKeyWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_HOTKEY) {
        auto* self = reinterpret_cast<TWin32Platform*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self != nullptr) self->HotKeyPressed(static_cast<int>(wParam));
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

// EnumThreadWindows calls back through the system; an exception must not unwind through it,
// so it is carried across and raised again afterwards.
struct TEnumContext {
    const std::function<bool(THwnd)>* Callback = nullptr;
    std::exception_ptr Error;
};

BOOL CALLBACK EnumThreadWindowsProc(HWND window, LPARAM lParam) {
    auto* context = reinterpret_cast<TEnumContext*>(lParam);
    try {
        return (*context->Callback)(ToHwnd(window)) ? TRUE : FALSE;
    } catch (...) {
        context->Error = std::current_exception();
        return FALSE;
    }
}

} // namespace

TWin32Platform::TWin32Platform() {
    // Every fresh memory device context holds the same stock one-pixel bitmap; ReadPixels
    // tells "no bitmap selected" by it.
    if (HDC probe = ::CreateCompatibleDC(nullptr)) {
        defaultBitmap_ = ToHandle(::GetCurrentObject(probe, OBJ_BITMAP));
        ::DeleteDC(probe);
    }
}

TWin32Platform::~TWin32Platform() {
    if (hotKeyWindow_ != 0) {
        for (const int id : hotKeys_) ::UnregisterHotKey(Hwnd(hotKeyWindow_), id);
        ::DestroyWindow(Hwnd(hotKeyWindow_));
    }
}

// Keyboard -------------------------------------------------------------------------------------

void TWin32Platform::KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) {
    ::keybd_event(vk, scan, flags, 0);
}

std::uint32_t TWin32Platform::MapVirtualKey(std::uint32_t code, std::uint32_t mapType) {
    return ::MapVirtualKeyA(code, mapType);
}

std::int16_t TWin32Platform::VkKeyScan(char ch) { return ::VkKeyScanA(ch); }

std::int16_t TWin32Platform::GetKeyState(int vk) { return ::GetKeyState(vk); }

bool TWin32Platform::GetKeyboardState(TKeyboardState& state) {
    return ::GetKeyboardState(state.data()) != FALSE;
}

bool TWin32Platform::SetKeyboardState(const TKeyboardState& state) {
    TKeyboardState copy = state; // the API takes a writable array
    return ::SetKeyboardState(copy.data()) != FALSE;
}

void TWin32Platform::PumpKeyboardMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Windows --------------------------------------------------------------------------------------

THwnd TWin32Platform::FindWindow(std::string_view className) {
    const std::string name(className);
    return ToHwnd(::FindWindowA(name.c_str(), nullptr));
}

std::string TWin32Platform::GetWindowText(THwnd window, std::size_t maxChars) {
    if (maxChars == 0) return {};
    std::string text(maxChars, '\0');
    const int length = ::GetWindowTextA(Hwnd(window), text.data(), static_cast<int>(maxChars));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

bool TWin32Platform::GetWindowRect(THwnd window, TRect& rect) {
    RECT r;
    if (!::GetWindowRect(Hwnd(window), &r)) return false;
    rect = ToRect(r);
    return true;
}

bool TWin32Platform::GetClientRect(THwnd window, TRect& rect) {
    RECT r;
    if (!::GetClientRect(Hwnd(window), &r)) return false;
    rect = ToRect(r);
    return true;
}

bool TWin32Platform::ClientToScreen(THwnd window, TPoint& point) {
    POINT p{point.X, point.Y};
    if (!::ClientToScreen(Hwnd(window), &p)) return false;
    point = TPoint{p.x, p.y};
    return true;
}

std::uint32_t TWin32Platform::GetWindowThreadProcessId(THwnd window) {
    return ::GetWindowThreadProcessId(Hwnd(window), nullptr);
}

bool TWin32Platform::EnumThreadWindows(std::uint32_t threadId,
                                       const std::function<bool(THwnd)>& callback) {
    TEnumContext context{&callback, nullptr};
    const BOOL result =
        ::EnumThreadWindows(threadId, EnumThreadWindowsProc, reinterpret_cast<LPARAM>(&context));
    if (context.Error) std::rethrow_exception(context.Error);
    return result != FALSE;
}

THwnd TWin32Platform::GetParent(THwnd window) {
    // The API's GetParent answers the owner only for WS_POPUP windows; a dialog owned by
    // DromEd without that style must be found too, so a top-level window asks for its owner.
    const HWND hwnd = Hwnd(window);
    if ((::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) != 0) return ToHwnd(::GetParent(hwnd));
    return ToHwnd(::GetWindow(hwnd, GW_OWNER));
}

bool TWin32Platform::GetWindowStyle(THwnd window, std::uint32_t& style) {
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetWindowInfo(Hwnd(window), &info)) return false;
    style = info.dwStyle;
    return true;
}

std::intptr_t TWin32Platform::SendMessage(THwnd window, std::uint32_t msg, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
    return ::SendMessageA(Hwnd(window), msg, wParam, lParam);
}

bool TWin32Platform::SetForegroundWindow(THwnd window) {
    return ::SetForegroundWindow(Hwnd(window)) != FALSE;
}

THwnd TWin32Platform::GetForegroundWindow() { return ToHwnd(::GetForegroundWindow()); }

bool TWin32Platform::MoveWindow(THwnd window, int x, int y, int width, int height, bool repaint) {
    return ::MoveWindow(Hwnd(window), x, y, width, height, repaint ? TRUE : FALSE) != FALSE;
}

THwnd TWin32Platform::GetDesktopWindow() { return ToHwnd(::GetDesktopWindow()); }

bool TWin32Platform::GetWorkArea(TRect& area) {
    RECT r;
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return false;
    area = ToRect(r);
    return true;
}

void TWin32Platform::Sleep(std::uint32_t ms) { ::Sleep(ms); }

// Hotkeys --------------------------------------------------------------------------------------

bool TWin32Platform::EnsureHotKeyWindow() {
    if (hotKeyWindow_ != 0) return true;
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = HotKeyWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kHotKeyWindowClass;
    if (!::RegisterClassExA(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    const HWND window = ::CreateWindowExA(0, kHotKeyWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                          nullptr, instance, nullptr);
    if (window == nullptr) return false;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    hotKeyWindow_ = ToHwnd(window);
    return true;
}

bool TWin32Platform::RegisterHotKey(THwnd /*window*/, int id, std::uint32_t modifiers,
                                    std::uint32_t vk) {
    if (!EnsureHotKeyWindow()) return false;
    if (!::RegisterHotKey(Hwnd(hotKeyWindow_), id, modifiers, vk)) return false;
    hotKeys_.push_back(id);
    return true;
}

bool TWin32Platform::UnregisterHotKey(THwnd /*window*/, int id) {
    const auto it = std::ranges::find(hotKeys_, id);
    if (hotKeyWindow_ == 0 || it == hotKeys_.end()) {
        ::SetLastError(ERROR_HOTKEY_NOT_REGISTERED);
        return false;
    }
    hotKeys_.erase(it);
    return ::UnregisterHotKey(Hwnd(hotKeyWindow_), id) != FALSE;
}

void TWin32Platform::SetHotKeyHandler(std::function<void(int id)> handler) {
    hotKeyHandler_ = std::move(handler);
}

void TWin32Platform::HotKeyPressed(int id) {
    if (!hotKeyHandler_) return;
    const auto handler = hotKeyHandler_; // the handler may replace itself
    // The handler runs inside the window procedure, which no exception may leave; one that
    // gets this far is shown as the program's default handler shows it.
    try {
        handler(id);
    } catch (const std::exception& e) {
        ::MessageBoxA(nullptr, e.what(), "Korvane", MB_OK | MB_ICONERROR);
    } catch (...) {
        ::MessageBoxA(nullptr, "Unknown error", "Korvane", MB_OK | MB_ICONERROR);
    }
}

// Processes ------------------------------------------------------------------------------------

bool TWin32Platform::CreateProcess(const std::string& commandLine,
                                   const std::string& currentDirectory,
                                   std::uint32_t creationFlags, TProcessInfo& info) {
    // The start-up block is all zero but its size: 68 bytes in a 32-bit program, more in a
    // 64-bit one, where the handles in it are wider.
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68);
    PROCESS_INFORMATION process{};
    std::string line = commandLine; // CreateProcessA may write into the command line
    const BOOL ok = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, creationFlags,
                                     nullptr,
                                     currentDirectory.empty() ? nullptr : currentDirectory.c_str(),
                                     &startup, &process);
    if (!ok) return false;
    info.Process = ToHandle(process.hProcess);
    info.Thread = ToHandle(process.hThread);
    info.ProcessId = process.dwProcessId;
    info.ThreadId = process.dwThreadId;
    return true;
}

std::uint32_t TWin32Platform::GetLastError() { return ::GetLastError(); }

bool TWin32Platform::SetPriorityClass(THandle process, std::uint32_t priorityClass) {
    return ::SetPriorityClass(Handle(process), priorityClass) != FALSE;
}

bool TWin32Platform::CloseHandle(THandle handle) { return ::CloseHandle(Handle(handle)) != FALSE; }

// Feedback -------------------------------------------------------------------------------------

bool TWin32Platform::MessageBeep(std::uint32_t type) { return ::MessageBeep(type) != FALSE; }

int TWin32Platform::MessageBox(THwnd owner, const std::string& text, const std::string& caption,
                               std::uint32_t flags) {
    return ::MessageBoxA(Hwnd(owner), text.c_str(), caption.c_str(), flags);
}

bool TWin32Platform::ShellOpen(const std::string& target) {
    const HINSTANCE result =
        ::ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values above 32 mean success.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// Screen copies --------------------------------------------------------------------------------

THandle TWin32Platform::GetDC(THwnd window) { return ToHandle(::GetDC(Hwnd(window))); }

bool TWin32Platform::ReleaseDC(THwnd window, THandle dc) {
    return ::ReleaseDC(Hwnd(window), Hdc(dc)) != 0;
}

THandle TWin32Platform::CreateCompatibleDC(THandle dc) {
    return ToHandle(::CreateCompatibleDC(Hdc(dc)));
}

THandle TWin32Platform::CreateCompatibleBitmap(THandle dc, int width, int height) {
    return ToHandle(::CreateCompatibleBitmap(Hdc(dc), width, height));
}

THandle TWin32Platform::SelectObject(THandle dc, THandle object) {
    const HGDIOBJ previous = ::SelectObject(Hdc(dc), GdiObject(object));
    return previous == HGDI_ERROR ? 0 : ToHandle(previous);
}

bool TWin32Platform::BitBlt(THandle dest, int x, int y, int width, int height, THandle src,
                            int srcX, int srcY) {
    return ::BitBlt(Hdc(dest), x, y, width, height, Hdc(src), srcX, srcY, SRCCOPY) != FALSE;
}

std::uint32_t TWin32Platform::GetPixel(THandle dc, int x, int y) {
    return ::GetPixel(Hdc(dc), x, y);
}

bool TWin32Platform::ReadPixels(THandle dc, int& width, int& height,
                                std::vector<std::uint32_t>& pixels) {
    const HDC hdc = Hdc(dc);
    const HGDIOBJ selected = ::GetCurrentObject(hdc, OBJ_BITMAP);
    BITMAP bitmap{};
    if (selected == nullptr || ToHandle(selected) == defaultBitmap_ ||
        ::GetObjectA(selected, sizeof(bitmap), &bitmap) == 0) {
        return false;
    }
    // GetDIBits wants the bitmap outside every device context, so a one-pixel stand-in takes
    // its place for the read.
    const HBITMAP standIn = ::CreateBitmap(1, 1, 1, 1, nullptr);
    if (standIn == nullptr) return false;
    ::SelectObject(hdc, standIn);

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = -bitmap.bmHeight; // top-down rows
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(bitmap.bmWidth) *
                                    static_cast<std::size_t>(bitmap.bmHeight));
    const int rows =
        bitmap.bmHeight == 0
            ? 0
            : ::GetDIBits(hdc, static_cast<HBITMAP>(selected), 0,
                          static_cast<UINT>(bitmap.bmHeight), bits.data(), &format,
                          DIB_RGB_COLORS);
    ::SelectObject(hdc, selected);
    ::DeleteObject(standIn);
    if (rows != bitmap.bmHeight) return false;

    // A 32-bit DIB pixel is 0xXXRRGGBB; the platform speaks 0x00BBGGRR.
    for (std::uint32_t& p : bits) {
        p = ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
    }
    width = bitmap.bmWidth;
    height = bitmap.bmHeight;
    pixels = std::move(bits);
    return true;
}

bool TWin32Platform::DeleteDC(THandle dc) { return ::DeleteDC(Hdc(dc)) != FALSE; }

bool TWin32Platform::DeleteObject(THandle object) {
    return ::DeleteObject(GdiObject(object)) != FALSE;
}

std::unique_ptr<TPlatform> CreateWin32Platform() { return std::make_unique<TWin32Platform>(); }

} // namespace kv
