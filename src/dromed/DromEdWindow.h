// The road into DromEd: finding its main window, bringing it to the front, closing its dialogs
// and typing a command into its command line.
#pragma once

#include "platform/Platform.h"
#include "text/Exception.h"

#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr const char* kDromEdClass = "LookingGlassTechnologies_WindowsGameShell_v2";

// The common base of the failures of DromEd remote control; never raised itself.
class EDromToolsException : public Exception {
public:
    using Exception::Exception;
    [[nodiscard]] const char* ClassName() const noexcept override { return "EDromToolsException"; }
};

class EDromEdNotFound : public EDromToolsException {
public:
    EDromEdNotFound() : EDromToolsException("DromEd window not found") {}
    [[nodiscard]] const char* ClassName() const noexcept override { return "EDromEdNotFound"; }
};

// DromEd's main window: the first window of DromEd's class, with "DromEd" in its title in any
// letter case and not minimised. Raises EDromEdNotFound otherwise.
[[nodiscard]] THwnd FindDromEdWindow(TPlatform& platform);

// Brings a top-level window to the foreground; true when SetForegroundWindow succeeded.
bool ActivateWindow(TPlatform& platform, THwnd window);
// False, without an exception, when DromEd is not running.
bool BringDromEdToFront(TPlatform& platform);

// Closes every dialog owned by Window, the dialogs of a dialog first; true when none is left.
// A dialog that survives its WM_CLOSE is waited for five times 100 ms, then false.
bool CloseOwnedPopups(TPlatform& platform, THwnd window);
bool CloseDromEdPopups(TPlatform& platform);

// The key-script pieces in which a command is typed: key-script characters in braces, a new
// piece once one holds 20 characters or more.
[[nodiscard]] std::vector<std::string> DromEdCommandPieces(std::string_view command);

// Types one command into DromEd's command line: Escape, ":", the pieces with 100 ms after
// each, Enter. False when nothing was typed because a dialog would not close or DromEd would
// not come to the front; EDromEdNotFound when DromEd is not running.
bool SendDromEdCommand(TPlatform& platform, std::string_view command);

} // namespace kv
