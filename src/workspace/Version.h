// The product's name and version as the title bar, About box and command line show them.
#pragma once

namespace kv {
inline constexpr const char* kProductName = "Korvane";
inline constexpr const char* kProductVersion = "0.94";
inline constexpr const char* kProductVersionText = "Korvane 0.94";
} // namespace kv
