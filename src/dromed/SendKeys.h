// The key-script sender: turns a short key description ("{ESCAPE}(:)", "+a", "{TAB 3}") into
// synthetic key events in the system's input stream, for whichever window has the focus.
#pragma once

#include "platform/Platform.h"

#include <string_view>

namespace kv {

// Sends the keys of Script. With Wait set, the calling thread's keyboard messages are
// dispatched after every key event. True when the whole script was processed; false for an
// empty script or a "{" without its "}" ("No Close"). Unknown keys are reported in a message
// box captioned "SendKeys" and skipped. A repeat count that is no number raises Exception.
bool SendKeys(TPlatform& platform, std::string_view script, bool wait);

} // namespace kv
