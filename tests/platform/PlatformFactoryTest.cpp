// Picking a platform backend by name.
#include "platform/PlatformFactory.h"

#include "text/Exception.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace kv {
namespace {

// The message of the failure that CreatePlatform raises, or "" when it made a platform.
std::string CreateError(std::string_view name) {
    try {
        return CreatePlatform(name) != nullptr ? "" : "no platform";
    } catch (const Exception& e) {
        return e.what();
    }
}

TEST(PlatformFactory, NamesPickBackendsAndOthersAreRefused) {
    const bool onWindows = std::string_view(DefaultPlatformName()) == "win32";
    EXPECT_EQ(std::string_view(DefaultPlatformName()), onWindows ? "win32" : "sim");
    EXPECT_EQ(CreateError("sim"), "");
    EXPECT_EQ(CreateError(DefaultPlatformName()), "");

    const std::string offered = onWindows ? "sim, win32" : "sim";
    EXPECT_EQ(CreateError("Sim"),
              "Unknown platform \"Sim\" (this build offers: " + offered + ")");
    if (onWindows) {
        EXPECT_EQ(CreateError("win32"), "");
    } else {
        EXPECT_EQ(CreateError("win32"),
                  "The platform \"win32\" drives DromEd on Windows and is not part of this "
                  "build (this build offers: sim)");
    }
}

} // namespace
} // namespace kv
