#include "platform/PlatformFactory.h"

#include "platform/sim/SimDesktop.h"
#include "text/Exception.h"

#ifdef KORVANE_HAVE_WIN32_PLATFORM
#include "platform/win32/Win32Platform.h"
#endif

namespace kv {

const char* DefaultPlatformName() {
#ifdef _WIN32
    return "win32";
#else
    return "sim";
#endif
}

std::unique_ptr<TPlatform> CreatePlatform(std::string_view name) {
    if (name == "sim") return std::make_unique<sim::TSimDesktop>();
#ifdef KORVANE_HAVE_WIN32_PLATFORM
    if (name == "win32") return CreateWin32Platform();
#endif
    std::string offered = "sim";
#ifdef KORVANE_HAVE_WIN32_PLATFORM
    offered += ", win32";
#else
    if (name == "win32") {
        throw Exception("The platform \"win32\" drives DromEd on Windows and is not part of "
                        "this build (this build offers: " + offered + ")");
    }
#endif
    throw Exception("Unknown platform \"" + std::string(name) +
                    "\" (this build offers: " + offered + ")");
}

} // namespace kv
