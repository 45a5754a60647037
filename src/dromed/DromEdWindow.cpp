#include "dromed/DromEdWindow.h"

#include "dromed/SendKeys.h"
#include "text/Win1252.h"

namespace kv {
namespace {

constexpr std::size_t kTitleBuffer = 512;
constexpr std::uint32_t kDialogStyleMask = win::WS_POPUP | win::WS_BORDER | win::WS_SYSMENU;
constexpr int kMaxCloseRetries = 5;
constexpr std::size_t kPieceLength = 20;

bool IsKeyScriptCharacter(char c) {
    switch (c) {
    case '%':
    case '(':
    case ')':
    case '+':
    case '^':
    case '{':
    case '}':
    case '~': return true;
    default: return false;
    }
}

// The first top-level window of Owner's thread that Owner owns and that looks like a dialog.
THwnd FindOwnedPopup(TPlatform& platform, THwnd owner) {
    THwnd found = 0;
    platform.EnumThreadWindows(platform.GetWindowThreadProcessId(owner), [&](THwnd w) {
        std::uint32_t style = 0;
        if (platform.GetParent(w) == owner && platform.GetWindowStyle(w, style) &&
            (style & kDialogStyleMask) != 0) {
            found = w;
            return false;
        }
        return true;
    });
    return found;
}

} // namespace

THwnd FindDromEdWindow(TPlatform& platform) {
    const THwnd window = platform.FindWindow(kDromEdClass);
    if (window == 0) throw EDromEdNotFound();
    const std::string title = platform.GetWindowText(window, kTitleBuffer);
    if (title.empty() || AnsiUpperCase(title).find("DROMED") == std::string::npos) {
        throw EDromEdNotFound();
    }
    TRect r;
    if (platform.GetWindowRect(window, r) && r.Left < 0 && r.Top < 0 && r.Right < 0 &&
        r.Bottom < 0) {
        throw EDromEdNotFound(); // minimised
    }
    return window;
}

bool ActivateWindow(TPlatform& platform, THwnd window) {
    const auto self = static_cast<std::intptr_t>(window);
    platform.SendMessage(window, win::WM_SYSCOMMAND, win::SC_HOTKEY, self);
    platform.SendMessage(window, win::WM_SYSCOMMAND, win::SC_RESTORE, self);
    return platform.SetForegroundWindow(window);
}

bool BringDromEdToFront(TPlatform& platform) {
    THwnd window = 0;
    try {
        window = FindDromEdWindow(platform);
    } catch (const std::exception&) {
        return false;
    }
    return ActivateWindow(platform, window);
}

bool CloseOwnedPopups(TPlatform& platform, THwnd window) {
    int retries = 0;
    THwnd lastClosed = 0;
    for (;;) {
        const THwnd popup = FindOwnedPopup(platform, window);
        if (popup == 0) return true;
        if (popup == lastClosed) {
            if (++retries > kMaxCloseRetries) return false;
            platform.Sleep(100);
            continue;
        }
        if (!CloseOwnedPopups(platform, popup)) return false;
        lastClosed = popup;
        platform.SendMessage(popup, win::WM_CLOSE, 0, 0);
        platform.Sleep(10);
    }
}

bool CloseDromEdPopups(TPlatform& platform) {
    return CloseOwnedPopups(platform, FindDromEdWindow(platform));
}

std::vector<std::string> DromEdCommandPieces(std::string_view command) {
    std::vector<std::string> pieces;
    std::string piece;
    for (const char c : command) {
        if (IsKeyScriptCharacter(c)) {
            piece += '{';
            piece += c;
            piece += '}';
        } else {
            piece += c;
        }
        if (piece.size() >= kPieceLength) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

bool SendDromEdCommand(TPlatform& platform, std::string_view command) {
    if (!CloseDromEdPopups(platform)) return false;
    if (!BringDromEdToFront(platform)) return false;
    SendKeys(platform, "{ESCAPE}(:)", true);
    for (const std::string& piece : DromEdCommandPieces(command)) {
        SendKeys(platform, piece, true);
        platform.Sleep(100);
    }
    SendKeys(platform, "{ENTER}", true);
    return true;
}

} // namespace kv
