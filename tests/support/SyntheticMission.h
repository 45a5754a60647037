// Synthetic missions and gamesys files of any size for tests and benchmarks: brushes of every
// kind, named and unnamed objects, archetypes with metaproperty links and loot values, links of
// many flavors with some duplicated on purpose, containment, difficulty removal and objects
// left at death stage 12. The same settings and seed always give the same bytes.
#pragma once

#include "support/MissionWriter.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kv::test {

struct TSyntheticSettings {
    std::uint32_t Seed = 1;
    int Brushes = 200;      // brush records in BRLIST, of every kind
    int ObjectBrushes = 60; // of them object brushes, for the objects 1, 2, 3, ...
    int NamedObjects = 40;  // objects with a name of their own (every tenth in OBJ_MAP)
    // Link records in all L$ chunks of the mission, the metaproperty and Contains links
    // included; the rest are ordinary links of the flavors from 3 on.
    int Links = 400;
    // Flavors in use: 1 MetaProp, 2 Contains, 3 Receptron, 4 arSrcDesc, then other relations.
    int Flavors = 8;
    int DuplicatedPairs = 4;     // ordinary links that have an identical twin
    int Archetypes = 60;         // gamesys archetypes, a tree of metaproperty links
    int LootArchetypes = 15;     // archetypes with a "Loot" value that their objects inherit
    int OwnLootObjects = 10;     // object brushes with a "Loot" value of their own
    int ContainsLinks = 5;       // a container object holding a loot object
    int DiffDestrObjects = 3;    // loot objects removed in some difficulties
    int DeathStage12Objects = 2; // objects left at death stage 12
    // Archetype names in the mission's own P$SymName too, as in a saved game, so that unnamed
    // objects are named after their archetype.
    bool ArchetypeNamesInMission = true;
    std::string GamesysName = "synthetic.gam";
};

struct TSyntheticMission {
    TBytes Mission;
    TBytes Gamesys;
};

[[nodiscard]] TSyntheticMission MakeSyntheticMission(const TSyntheticSettings& settings);

// Writes the mission as MissionFile and its gamesys beside it under the name it gives.
void SaveSyntheticMission(const TSyntheticMission& mission, const TSyntheticSettings& settings,
                          const std::filesystem::path& missionFile);

} // namespace kv::test
