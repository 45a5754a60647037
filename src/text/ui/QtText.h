// Conversion between the engine's Windows-1252 text and Qt's strings, at the GUI's boundary.
#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>

namespace kv {

[[nodiscard]] QString ToQt(std::string_view win1252);
[[nodiscard]] std::string FromQt(const QString& s);

[[nodiscard]] std::filesystem::path PathFromQt(const QString& s);
[[nodiscard]] QString PathToQt(const std::filesystem::path& p);

} // namespace kv
