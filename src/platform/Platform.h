// The one interface through which the engine touches the operating system: keyboard input,
// windows and their messages, screen pixels, hotkeys, processes, the work area, beeps, message
// boxes and sleeping. Each call means what the Windows function of the same name means; the
// Windows backend is a thin layer over user32, gdi32 and kernel32, and the simulated desktop
// stands in for Windows and DromEd everywhere else.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

using THwnd = std::uintptr_t;   // a window; 0 = none
using THandle = std::uintptr_t; // a device context, bitmap, process or thread; 0 = none

struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    [[nodiscard]] std::int32_t Width() const { return Right - Left; }
    [[nodiscard]] std::int32_t Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TProcessInfo {
    THandle Process = 0;
    THandle Thread = 0;
    std::uint32_t ProcessId = 0;
    std::uint32_t ThreadId = 0;
};

using TKeyboardState = std::array<std::uint8_t, 256>;

// Messages, flags and codes of the Windows API that the program uses.
namespace win {
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_KEYDOWN = 0x0100;
inline constexpr std::uint32_t WM_KEYUP = 0x0101;
inline constexpr std::uint32_t WM_CHAR = 0x0102;
inline constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr std::uint32_t WM_KEYFIRST = 0x0100;
inline constexpr std::uint32_t WM_KEYLAST = 0x0108;
inline constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr std::uint32_t WM_HOTKEY = 0x0312;

inline constexpr std::uintptr_t SC_RESTORE = 0xF120;
inline constexpr std::uintptr_t SC_HOTKEY = 0xF150;

inline constexpr std::uint32_t KEYEVENTF_EXTENDEDKEY = 0x0001;
inline constexpr std::uint32_t KEYEVENTF_KEYUP = 0x0002;

inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000;
inline constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;

inline constexpr std::uint32_t MOD_ALT = 0x0001;
inline constexpr std::uint32_t MOD_CONTROL = 0x0002;
inline constexpr std::uint32_t MOD_SHIFT = 0x0004;

inline constexpr std::uint32_t MB_OK = 0x00000000;
inline constexpr std::uint32_t MB_ICONERROR = 0x00000010;
inline constexpr int IDOK = 1;

inline constexpr std::uint32_t CLR_INVALID = 0xFFFFFFFF;

inline constexpr std::uint32_t CREATE_DEFAULT_ERROR_MODE = 0x04000000;
inline constexpr std::uint32_t IDLE_PRIORITY_CLASS = 0x00000040;
inline constexpr std::uint32_t BELOW_NORMAL_PRIORITY_CLASS = 0x00004000;

inline constexpr std::uint8_t VK_CANCEL = 0x03;
inline constexpr std::uint8_t VK_BACK = 0x08;
inline constexpr std::uint8_t VK_TAB = 0x09;
inline constexpr std::uint8_t VK_CLEAR = 0x0C;
inline constexpr std::uint8_t VK_RETURN = 0x0D;
inline constexpr std::uint8_t VK_SHIFT = 0x10;
inline constexpr std::uint8_t VK_CONTROL = 0x11;
inline constexpr std::uint8_t VK_MENU = 0x12;
inline constexpr std::uint8_t VK_CAPITAL = 0x14;
inline constexpr std::uint8_t VK_ESCAPE = 0x1B;
inline constexpr std::uint8_t VK_SPACE = 0x20;
inline constexpr std::uint8_t VK_PRIOR = 0x21;
inline constexpr std::uint8_t VK_NEXT = 0x22;
inline constexpr std::uint8_t VK_END = 0x23;
inline constexpr std::uint8_t VK_HOME = 0x24;
inline constexpr std::uint8_t VK_LEFT = 0x25;
inline constexpr std::uint8_t VK_UP = 0x26;
inline constexpr std::uint8_t VK_RIGHT = 0x27;
inline constexpr std::uint8_t VK_DOWN = 0x28;
inline constexpr std::uint8_t VK_PRINT = 0x2A;
inline constexpr std::uint8_t VK_INSERT = 0x2D;
inline constexpr std::uint8_t VK_DELETE = 0x2E;
inline constexpr std::uint8_t VK_HELP = 0x2F;
inline constexpr std::uint8_t VK_F1 = 0x70;
inline constexpr std::uint8_t VK_F13 = 0x7C;
inline constexpr std::uint8_t VK_F16 = 0x7F;
inline constexpr std::uint8_t VK_NUMLOCK = 0x90;
inline constexpr std::uint8_t VK_SCROLL = 0x91;
inline constexpr std::uint8_t VK_OEM_4 = 0xDB; // "[" and "{" on a US keyboard
inline constexpr std::uint8_t VK_OEM_6 = 0xDD; // "]" and "}" on a US keyboard
} // namespace win

class TPlatform {
public:
    virtual ~TPlatform() = default;

    // Keyboard (user32).
    virtual void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) = 0;
    virtual std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) = 0;
    // Low byte the virtual key, high byte the shift state (1 Shift, 2 Ctrl, 4 Alt); -1 when no
    // key of the current layout types the character.
    virtual std::int16_t VkKeyScan(char ch) = 0;
    virtual std::int16_t GetKeyState(int vk) = 0;
    virtual bool GetKeyboardState(TKeyboardState& state) = 0;
    virtual bool SetKeyboardState(const TKeyboardState& state) = 0;
    // Removes and dispatches every keyboard message (WM_KEYFIRST to WM_KEYLAST) waiting in the
    // calling thread's queue.
    virtual void PumpKeyboardMessages() = 0;

    // Windows (user32).
    // The first top-level window of the class (any title); 0 when there is none.
    virtual THwnd FindWindow(std::string_view className) = 0;
    // The title, at most MaxChars - 1 characters as a buffer of MaxChars would hold.
    virtual std::string GetWindowText(THwnd window, std::size_t maxChars) = 0;
    virtual bool GetWindowRect(THwnd window, TRect& rect) = 0;
    virtual bool GetClientRect(THwnd window, TRect& rect) = 0;
    virtual bool ClientToScreen(THwnd window, TPoint& point) = 0;
    // The thread that created the window; 0 for no window.
    virtual std::uint32_t GetWindowThreadProcessId(THwnd window) = 0;
    // Calls Callback for each top-level window of the thread until it returns false.
    virtual bool EnumThreadWindows(std::uint32_t threadId,
                                   const std::function<bool(THwnd)>& callback) = 0;
    // The owner of a top-level window (or the parent of a child); 0 for none.
    virtual THwnd GetParent(THwnd window) = 0;
    // The window style as GetWindowInfo reports it; false when the call fails.
    virtual bool GetWindowStyle(THwnd window, std::uint32_t& style) = 0;
    virtual std::intptr_t SendMessage(THwnd window, std::uint32_t msg, std::uintptr_t wParam,
                                      std::intptr_t lParam) = 0;
    virtual bool SetForegroundWindow(THwnd window) = 0;
    virtual THwnd GetForegroundWindow() = 0;
    virtual bool MoveWindow(THwnd window, int x, int y, int width, int height, bool repaint) = 0;
    virtual THwnd GetDesktopWindow() = 0;
    // The screen's work area (SystemParametersInfo with SPI_GETWORKAREA).
    virtual bool GetWorkArea(TRect& area) = 0;

    // The program's own main window, registered by the GUI, so that operations can bring the
    // program back to the front.
    virtual void SetOwnMainWindow(THwnd window) = 0;
    virtual THwnd OwnMainWindow() = 0;

    // Blocks the calling thread.
    virtual void Sleep(std::uint32_t ms) = 0;

    // System-wide hotkeys; a press calls the handler with the hotkey's id.
    virtual bool RegisterHotKey(THwnd window, int id, std::uint32_t modifiers,
                                std::uint32_t vk) = 0;
    virtual bool UnregisterHotKey(THwnd window, int id) = 0;
    virtual void SetHotKeyHandler(std::function<void(int id)> handler) = 0;

    // Processes (kernel32).
    virtual bool CreateProcess(const std::string& commandLine, const std::string& currentDirectory,
                               std::uint32_t creationFlags, TProcessInfo& info) = 0;
    virtual std::uint32_t GetLastError() = 0;
    virtual bool SetPriorityClass(THandle process, std::uint32_t priorityClass) = 0;
    virtual bool CloseHandle(THandle handle) = 0;

    // Feedback to the user.
    virtual bool MessageBeep(std::uint32_t type) = 0;
    virtual int MessageBox(THwnd owner, const std::string& text, const std::string& caption,
                           std::uint32_t flags) = 0;
    // Opens a document or address with the shell's "open" verb.
    virtual bool ShellOpen(const std::string& target) = 0;

    // Screen copies (gdi32). Colours are 0x00BBGGRR.
    virtual THandle GetDC(THwnd window) = 0;
    virtual bool ReleaseDC(THwnd window, THandle dc) = 0;
    virtual THandle CreateCompatibleDC(THandle dc) = 0;
    virtual THandle CreateCompatibleBitmap(THandle dc, int width, int height) = 0;
    // Selects a bitmap into a memory device context; the previous one, or 0 on failure.
    virtual THandle SelectObject(THandle dc, THandle object) = 0;
    // Copies with SRCCOPY.
    virtual bool BitBlt(THandle dest, int x, int y, int width, int height, THandle src, int srcX,
                        int srcY) = 0;
    // CLR_INVALID for a point outside the bitmap.
    virtual std::uint32_t GetPixel(THandle dc, int x, int y) = 0;
    // Every pixel of the bitmap selected into a memory device context, row after row from the
    // top; false when the context holds no bitmap.
    virtual bool ReadPixels(THandle dc, int& width, int& height,
                            std::vector<std::uint32_t>& pixels) = 0;
    virtual bool DeleteDC(THandle dc) = 0;
    virtual bool DeleteObject(THandle object) = 0;
};

} // namespace kv
