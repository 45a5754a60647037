// The simulated desktop: windows with class, title, rectangles, owner, thread and style in a
// z-order; the foreground window; a keyboard with its state and a US layout; registered
// hotkeys; screen pixels composed from the windows; and a virtual clock. Sleep advances the
// clock at once, and every key event, message, sleep, message box and beep is recorded with its
// virtual time, so tests can check timing without waiting.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kv::sim {

enum class TSimEventKind {
    Key,           // Vk, Scan, Flags
    Message,       // Window, Msg, WParam, LParam (sent with SendMessage)
    Sleep,         // Ms
    Pump,          // a keyboard message pump
    MessageBox,    // Window (owner), Text, Caption, Flags
    Beep,          // Flags (the beep type)
    Foreground,    // Window that came to the front
    Process,       // Text (command line), Caption (current directory), Flags (creation flags)
    Priority,      // Flags (priority class)
    ShellOpen,     // Text
    Move,          // Window, Rect
    KeyboardState, // the keyboard state array was written
};

struct TSimEvent {
    TSimEventKind Kind = TSimEventKind::Key;
    std::uint64_t Time = 0; // virtual milliseconds since the desktop was made
    std::uint8_t Vk = 0;
    std::uint8_t Scan = 0;
    std::uint32_t Flags = 0;
    THwnd Window = 0;
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::uint32_t Ms = 0;
    TRect Rect;
    std::string Text;
    std::string Caption;
};

// One key event as the focused window receives it; Char is the character the key types with
// the current Shift state on the US layout, 0 for none (and always 0 on key-up, or with Ctrl or
// Alt held).
struct TSimKeyInput {
    std::uint8_t Vk = 0;
    bool Down = false;
    char Char = 0;
};

struct TSimWindowSpec {
    std::string ClassName;
    std::string Title;
    TRect Rect; // the whole window, in screen coordinates
    // Frame widths around the client area.
    int FrameLeft = 0;
    int FrameTop = 0;
    int FrameRight = 0;
    int FrameBottom = 0;
    THwnd Owner = 0;
    std::uint32_t ThreadId = 1;
    std::uint32_t Style = win::WS_OVERLAPPEDWINDOW | win::WS_VISIBLE;
};

struct TSimWindow {
    THwnd Handle = 0;
    TSimWindowSpec Props;
    // Handles a sent message; std::nullopt asks for the default handling (WM_CLOSE destroys
    // the window, SC_RESTORE restores a minimised one; anything else answers 0).
    std::function<std::optional<std::intptr_t>(std::uint32_t msg, std::uintptr_t wParam,
                                               std::intptr_t lParam)>
        OnMessage;
    // Receives the keyboard while the window is in the foreground.
    std::function<void(const TSimKeyInput&)> OnKey;
    // Colour (0x00BBGGRR) of a pixel of the client area; without one the client is grey.
    std::function<std::uint32_t(int x, int y)> PaintPixel;
    // The window refuses to come to the front (SetForegroundWindow fails).
    bool RefuseForeground = false;
    bool Minimised = false;
    TRect RestoreRect; // where a minimised window goes back to
};

class TSimDesktop final : public TPlatform {
public:
    explicit TSimDesktop(int screenWidth = 1280, int screenHeight = 1024);
    ~TSimDesktop() override;

    // Windows of the desktop. A new window stands on top of the z-order; destroying a window
    // destroys the windows it owns.
    THwnd CreateSimWindow(const TSimWindowSpec& desc);
    void DestroySimWindow(THwnd window);
    [[nodiscard]] TSimWindow* Window(THwnd window);
    [[nodiscard]] bool IsWindow(THwnd window) const;
    // Top-level windows from the top of the z-order down.
    [[nodiscard]] std::vector<THwnd> ZOrder() const { return zOrder_; }
    // Minimises as Windows does: the window moves to (-32000, -32000).
    void Minimise(THwnd window);
    void Restore(THwnd window);
    [[nodiscard]] int ScreenWidth() const { return screenWidth_; }
    [[nodiscard]] int ScreenHeight() const { return screenHeight_; }
    void SetWorkArea(const TRect& area) { workArea_ = area; }
    // The colour on screen at a point: the topmost window there, its client area painted by
    // the window, its frame light grey; the desktop itself dark teal.
    [[nodiscard]] std::uint32_t ScreenPixel(int x, int y);

    // The virtual clock and what happened.
    [[nodiscard]] std::uint64_t Now() const { return now_; }
    [[nodiscard]] const std::vector<TSimEvent>& Events() const { return events_; }
    [[nodiscard]] std::vector<TSimEvent> EventsOf(TSimEventKind kind) const;
    void ClearEvents() { events_.clear(); }

    // Hotkeys: a combination another program holds cannot be registered; PressHotKey plays
    // the user pressing a combination.
    void TakeHotKeyElsewhere(std::uint32_t modifiers, std::uint32_t vk);
    bool PressHotKey(std::uint32_t modifiers, std::uint32_t vk);
    [[nodiscard]] bool IsHotKeyRegistered(int id) const { return hotkeys_.contains(id); }

    // Answers of message boxes; IDOK unless a handler says otherwise.
    std::function<int(const std::string& text, const std::string& caption, std::uint32_t flags)>
        MessageBoxHandler;
    // Decides whether process creation succeeds; without one it succeeds. On failure the
    // handler sets the error that GetLastError reports through SetLastError.
    std::function<bool(const std::string& commandLine, const std::string& currentDirectory)>
        CreateProcessHandler;
    void SetLastError(std::uint32_t error) { lastError_ = error; }
    // Priority classes that SetPriorityClass refuses.
    std::vector<std::uint32_t> RefusedPriorityClasses;

    // Failure switches of the screen copy.
    bool FailGetDC = false;
    bool FailCreateCompatibleDC = false;
    bool FailCreateCompatibleBitmap = false;
    bool FailBitBlt = false;
    bool FailGetClientRect = false;
    bool FailClientToScreen = false;
    // Device contexts and bitmaps that exist now (to prove that every copy is released).
    [[nodiscard]] int LiveGdiObjects() const;

    // TPlatform.
    void KeybdEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags) override;
    std::uint32_t MapVirtualKey(std::uint32_t code, std::uint32_t mapType) override;
    std::int16_t VkKeyScan(char ch) override;
    std::int16_t GetKeyState(int vk) override;
    bool GetKeyboardState(TKeyboardState& state) override;
    bool SetKeyboardState(const TKeyboardState& state) override;
    void PumpKeyboardMessages() override;
    THwnd FindWindow(std::string_view className) override;
    std::string GetWindowText(THwnd window, std::size_t maxChars) override;
    bool GetWindowRect(THwnd window, TRect& rect) override;
    bool GetClientRect(THwnd window, TRect& rect) override;
    bool ClientToScreen(THwnd window, TPoint& point) override;
    std::uint32_t GetWindowThreadProcessId(THwnd window) override;
    bool EnumThreadWindows(std::uint32_t threadId,
                           const std::function<bool(THwnd)>& callback) override;
    THwnd GetParent(THwnd window) override;
    bool GetWindowStyle(THwnd window, std::uint32_t& style) override;
    std::intptr_t SendMessage(THwnd window, std::uint32_t msg, std::uintptr_t wParam,
                              std::intptr_t lParam) override;
    bool SetForegroundWindow(THwnd window) override;
    THwnd GetForegroundWindow() override { return foreground_; }
    bool MoveWindow(THwnd window, int x, int y, int width, int height, bool repaint) override;
    THwnd GetDesktopWindow() override { return kDesktopWindow; }
    bool GetWorkArea(TRect& area) override;
    void SetOwnMainWindow(THwnd window) override { ownMainWindow_ = window; }
    THwnd OwnMainWindow() override { return ownMainWindow_; }
    void Sleep(std::uint32_t ms) override;
    bool RegisterHotKey(THwnd window, int id, std::uint32_t modifiers, std::uint32_t vk) override;
    bool UnregisterHotKey(THwnd window, int id) override;
    void SetHotKeyHandler(std::function<void(int id)> handler) override;
    bool CreateProcess(const std::string& commandLine, const std::string& currentDirectory,
                       std::uint32_t creationFlags, TProcessInfo& info) override;
    std::uint32_t GetLastError() override { return lastError_; }
    bool SetPriorityClass(THandle process, std::uint32_t priorityClass) override;
    bool CloseHandle(THandle handle) override;
    bool MessageBeep(std::uint32_t type) override;
    int MessageBox(THwnd owner, const std::string& text, const std::string& caption,
                   std::uint32_t flags) override;
    bool ShellOpen(const std::string& target) override;
    THandle GetDC(THwnd window) override;
    bool ReleaseDC(THwnd window, THandle dc) override;
    THandle CreateCompatibleDC(THandle dc) override;
    THandle CreateCompatibleBitmap(THandle dc, int width, int height) override;
    THandle SelectObject(THandle dc, THandle object) override;
    bool BitBlt(THandle dest, int x, int y, int width, int height, THandle src, int srcX,
                int srcY) override;
    std::uint32_t GetPixel(THandle dc, int x, int y) override;
    bool ReadPixels(THandle dc, int& width, int& height,
                    std::vector<std::uint32_t>& pixels) override;
    bool DeleteDC(THandle dc) override;
    bool DeleteObject(THandle object) override;

    static constexpr THwnd kDesktopWindow = 0x10010;

private:
    struct TBitmap;
    struct TDc;
    struct THotKey {
        THwnd Window = 0;
        std::uint32_t Modifiers = 0;
        std::uint32_t Vk = 0;
    };
    TSimEvent& Record(TSimEventKind kind);
    TSimWindow* TopWindowAt(int x, int y);
    TDc* FindDc(THandle dc);
    void ComposeScreen(int left, int top, int width, int height, TBitmap& dest, int destX,
                       int destY);

    int screenWidth_;
    int screenHeight_;
    TRect workArea_;
    std::uint64_t now_ = 0;
    std::vector<TSimEvent> events_;
    std::map<THwnd, std::unique_ptr<TSimWindow>> windows_;
    std::vector<THwnd> zOrder_;
    THwnd nextHandle_ = 0x20000;
    THwnd foreground_ = 0;
    THwnd ownMainWindow_ = 0;
    TKeyboardState keyboard_{};
    std::map<int, THotKey> hotkeys_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> takenHotKeys_;
    std::function<void(int)> hotKeyHandler_;
    std::uint32_t lastError_ = 0;
    THandle nextGdiHandle_ = 0x1000;
    std::map<THandle, std::unique_ptr<TDc>> dcs_;
    std::map<THandle, std::shared_ptr<TBitmap>> bitmaps_;
    THandle nextProcessHandle_ = 0x500;
    std::vector<THandle> openProcessHandles_;
    std::vector<THandle> openThreadHandles_;
    std::uint32_t nextProcessId_ = 0x1000;
};

} // namespace kv::sim
