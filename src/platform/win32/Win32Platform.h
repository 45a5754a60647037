// The platform on Windows: each call goes to the user32, gdi32, kernel32 or shell32 function of
// the same name. Hotkeys belong to a hidden message-only window of the backend's own, whose
// WM_HOTKEY calls the handler; the thread that registers them must run a message loop (the
// GUI's does).
#pragma once

#include "platform/Platform.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv {

class TWin32Platform final : public TPlatform {
public:
    TWin32Platform();
    ~TWin32Platform() override;
    TWin32Platform(const TWin32Platform&) = delete;
    TWin32Platform& operator=(const TWin32Platform&) = delete;

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
    THwnd GetForegroundWindow() override;
    bool MoveWindow(THwnd window, int x, int y, int width, int height, bool repaint) override;
    THwnd GetDesktopWindow() override;
    bool GetWorkArea(TRect& area) override;
    void SetOwnMainWindow(THwnd window) override { ownMainWindow_ = window; }
    THwnd OwnMainWindow() override { return ownMainWindow_; }

    void Sleep(std::uint32_t ms) override;

    // The window argument names the caller's window; the hotkey itself is registered for the
    // backend's hidden window, so that its press reaches the handler.
    bool RegisterHotKey(THwnd window, int id, std::uint32_t modifiers, std::uint32_t vk) override;
    bool UnregisterHotKey(THwnd window, int id) override;
    void SetHotKeyHandler(std::function<void(int id)> handler) override;
    // The hidden window that receives WM_HOTKEY; 0 before the first hotkey.
    [[nodiscard]] THwnd HotKeyWindow() const { return hotKeyWindow_; }

    bool CreateProcess(const std::string& commandLine, const std::string& currentDirectory,
                       std::uint32_t creationFlags, TProcessInfo& info) override;
    std::uint32_t GetLastError() override;
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

    // Called by the hidden window's procedure.
    void HotKeyPressed(int id);

private:
    bool EnsureHotKeyWindow();

    THwnd ownMainWindow_ = 0;
    THwnd hotKeyWindow_ = 0;
    std::vector<int> hotKeys_; // ids registered for the hidden window
    std::function<void(int)> hotKeyHandler_;
    THandle defaultBitmap_ = 0; // the one-pixel bitmap of a fresh memory device context
};

[[nodiscard]] std::unique_ptr<TPlatform> CreateWin32Platform();

} // namespace kv
