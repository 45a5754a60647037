// A small demo mission with its gamesys, made to show every mission feature on a few objects:
// named guards and chests, loot inherited from archetypes and kept in chests, loot removed in
// some difficulties, an object left at death stage 12, and duplicated links and receptrons.
#pragma once

#include "support/MissionWriter.h"

#include <filesystem>

namespace kv::test {

inline constexpr const char* kDemoMissionName = "demo.mis";
inline constexpr const char* kDemoGamesysName = "demo.gam";

[[nodiscard]] TBytes DemoMissionBytes();
[[nodiscard]] TBytes DemoGamesysBytes();

// Writes demo.mis and demo.gam into Folder, which is created when missing.
void WriteDemoMission(const std::filesystem::path& folder);

} // namespace kv::test
