// The commands of korvane-cli on parsed arguments. Each builds its whole output before any of it
// is written, so a command that fails leaves nothing half-written on the standard output.
#pragma once

#include "app/Cli.h"
#include "app/CliReports.h"
#include "items/DisplayFilter.h"
#include "text/Exception.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// A mistake on the command line; the message ends with a hint to the help text.
class TUsageError : public Exception {
public:
    explicit TUsageError(const std::string& message)
        : Exception(message + " (see korvane-cli --help)") {}
};

// Command-line arguments are UTF-8 on every system (on Windows the program's entry takes the
// wide command line and converts it); the engine's text is Windows-1252.
[[nodiscard]] std::string ArgText(const std::string& arg);
[[nodiscard]] std::filesystem::path ArgPath(const std::string& arg);

// An argument quoted for a message; messages are Windows-1252 like all of the engine's text.
[[nodiscard]] std::string Quote(std::string_view arg);

// A whole argument as a number of T; a usage error names What otherwise.
template <typename T> T ParseNumber(const std::string& text, std::string_view what) {
    T value{};
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || end != last)
        throw TUsageError(std::string(what) + " " + Quote(text) + " is not a number in range");
    return value;
}

struct TCliResult {
    int Status = kCliOk;
    std::string Output; // UTF-8 report text, or the bytes of a favourites file
};

// The sanity check report as the report window shows it, or "No typical errors detected". The
// loot goals are checked against the loot list, whose gamesys is looked for as CliLoot does.
// In JSON or CSV the status is the same.
[[nodiscard]] TCliResult CliCheck(const std::filesystem::path& mission,
                                  const std::filesystem::path& gamesysDir, TCliTime time,
                                  std::ostream& warnings,
                                  TReportFormat format = TReportFormat::Text);

// The loot list; "Gamesys not found" goes to Warnings and the list is made without it.
[[nodiscard]] TCliResult CliLoot(const std::filesystem::path& mission,
                                 const std::filesystem::path& gamesysDir, std::ostream& warnings,
                                 TReportFormat format = TReportFormat::Text);

struct TCliImport {
    TDisplayFilter Filter;
    bool UseBrushIDs = false;
    std::optional<std::filesystem::path> Output; // none: the bytes are the command's output
};
[[nodiscard]] TCliResult CliImport(const std::filesystem::path& mission, const TCliImport& import);

// Name, offset and size of every chunk, one table row each.
[[nodiscard]] TCliResult CliChunks(const std::filesystem::path& file);

// "link ID, source, destination, flavor", one link per line.
[[nodiscard]] TCliResult CliLinks(const std::filesystem::path& mission,
                                  const std::optional<std::vector<std::int32_t>>& objects,
                                  const std::optional<std::vector<int>>& flavors,
                                  TReportFormat format = TReportFormat::Text);

// "dromed COMMAND ...": Args are the arguments after "dromed". The status is kCliOk, or
// kCliFound when DromEd answered no; DromEd not running, a command that could not be typed and
// a screen that could not be read raise Exception.
[[nodiscard]] TCliResult CliDromEd(const std::vector<std::string>& args,
                                   const TCliPlatformSource& platforms, std::ostream& err);

} // namespace kv
