// Turning a mission's brushes into favourites: the names given to unnamed brushes, the import
// filter, and the loot-import mode that takes only loot objects and their containers.
#pragma once

#include "items/BrushInfo.h"
#include "items/DisplayFilter.h"
#include "mission/LootList.h"
#include "mission/MissionDb.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace kv {

// "Terrain", "Light", ... for brushes without a name of their own; "???" for anything else.
[[nodiscard]] const char* ImportKindName(TBrushKind kind);

struct TImportOptions {
    TDisplayFilter Filter;                      // ignored in loot-import mode
    bool UseBrushIDs = false;                   // the brushes' own IDs, else running numbers
    const TLootList* Loot = nullptr;            // set: loot-import mode
    std::vector<std::string>* Report = nullptr; // set: the sanity check runs as well
};

// The favourite a delivered brush becomes, or false when the import leaves it out.
[[nodiscard]] bool ImportBrush(const TImportOptions& options, TBrushKind kind,
                               std::int32_t brushNum, std::int32_t objId, const std::string& name,
                               TBrushInfo& favorite);

// Reads the mission and hands every accepted brush to AddFavorite, in brush-list order.
void ImportMission(const std::filesystem::path& mission, const TImportOptions& options,
                   const std::function<void(const TBrushInfo&)>& addFavorite);

} // namespace kv
