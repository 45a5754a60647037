// The commands of korvane-cli on parsed arguments. Each builds its whole output before any of it
// is written, so a command that fails leaves nothing half-written on the standard output.
#pragma once

#include "app/Cli.h"
#include "items/DisplayFilter.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kv {

struct TCliResult {
    int Status = kCliOk;
    std::string Output; // UTF-8 report text, or the bytes of a favourites file
};

// The sanity check report as the report window shows it, or "No typical errors detected".
[[nodiscard]] TCliResult CliCheck(const std::filesystem::path& mission, TCliTime time);

// The loot list; "Gamesys not found" goes to Warnings and the list is made without it.
[[nodiscard]] TCliResult CliLoot(const std::filesystem::path& mission,
                                 const std::filesystem::path& gamesysDir, std::ostream& warnings);

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
                                  const std::optional<std::vector<int>>& flavors);

} // namespace kv
