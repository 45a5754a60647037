// What the main window's mission commands work out before they read a mission: the folder the
// gamesys is looked for in first, and whether the chosen file is the mission DromEd has open.
#pragma once

#include <filesystem>
#include <string>

namespace kv {

// The folder of the DromEd program that the settings name (a command line, possibly wrapped in
// double quotes and followed by arguments). The setting is written for Windows, so backslashes
// separate folders everywhere. Empty when the setting names no folder.
[[nodiscard]] std::filesystem::path DromEdProgramFolder(const std::string& dromEdPath);

// The first folder the loot list looks for the gamesys in: DromEd's own folder, where a DromEd
// installation keeps its gamesys files; the mission's folder when the settings name none, so
// that the search never depends on the program's working folder.
[[nodiscard]] std::filesystem::path LootGamesysDir(const std::string& dromEdPath,
                                                   const std::filesystem::path& mission);

// Whether Chosen is the mission whose file name (without folder) DromEd shows in its status
// bar, ignoring letter case; never when DromEd showed none.
[[nodiscard]] bool IsDromEdMission(const std::string& dromEdMission,
                                   const std::filesystem::path& chosen);

} // namespace kv
