// Picks a backend of the platform interface by name. It sits above the backends, so the
// interface itself knows none of them.
#pragma once

#include "platform/Platform.h"

#include <memory>
#include <string_view>

namespace kv {

// "sim" or "win32" (Windows only); raises Exception for anything else.
[[nodiscard]] std::unique_ptr<TPlatform> CreatePlatform(std::string_view name);
// The backend a program uses unless told otherwise: win32 on Windows, sim elsewhere.
[[nodiscard]] const char* DefaultPlatformName();

} // namespace kv
