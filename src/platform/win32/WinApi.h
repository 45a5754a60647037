// <windows.h> for the Windows backend and its tests. Include it after "platform/Platform.h":
// the API's function-name macros (FindWindow -> FindWindowA, ...) would otherwise rename the
// methods of TPlatform, and its message macros the constants of kv::win. The names that clash
// with TPlatform's methods are undefined again here; call the API by its A names.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#undef CreateProcess
#undef FindWindow
#undef GetWindowText
#undef MapVirtualKey
#undef MessageBox
#undef SendMessage
#undef VkKeyScan
