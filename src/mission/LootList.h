// The loot list of a mission: every loot object with its gold, gems and art, special flags,
// difficulties and containers, and the totals per difficulty, as report text.
#pragma once

#include "mission/MissionDb.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kv {

struct TLootListObjInfo {
    std::int32_t ObjID = 0;
    std::string Name;
    int Difficulties = 7; // bit 0 normal, 1 hard, 2 expert
    std::int32_t Gold = 0;
    std::int32_t Gems = 0;
    std::int32_t Art = 0;
    std::uint32_t Special = 0;
    // One line per containing object, each with the container's ID.
    std::vector<std::pair<std::string, std::int32_t>> Containers;
};

struct TLootList {
    // The report lines; each carries the ID of its loot object, annotation lines the ID of the
    // container they name, every other line 0.
    std::vector<std::string> Lines;
    std::vector<std::int32_t> LineIds;

    [[nodiscard]] std::string Text() const; // lines joined by CR LF
    // The IDs whose object brushes "load loot objects" brings into the favourites: those
    // attached to some line. 0 (no object) never counts.
    [[nodiscard]] bool HasId(std::int32_t objId) const;
};

// The report of the loot objects as the mission delivered them: sorted by name ignoring case,
// then by ID; one line each, the totals per difficulty and the containers. FileName is the
// heading's name, without directory.
[[nodiscard]] TLootList FormatLootList(std::vector<TLootListObjInfo> infos,
                                       const std::string& fileName);

// Reads the mission (and the gamesys it names, looked for in GamesysDir first) and builds the
// list. Raises Exception "Property size mismatch!" for a loot or difficulty value of the wrong
// size; read failures pass on. OnMessage receives "Gamesys not found: ...".
[[nodiscard]] TLootList BuildLootList(const std::filesystem::path& mission,
                                      const std::filesystem::path& gamesysDir,
                                      const TUserMessageEvent& onMessage);

} // namespace kv
