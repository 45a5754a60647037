// The loot list of a mission: every loot object with its gold, gems and art, special flags,
// difficulties and containers, the totals per difficulty and the loot objectives checked
// against them, as report text and as records.
#pragma once

#include "mission/MissionDb.h"
#include "mission/QuestVars.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kv {

// An object that contains a loot object.
struct TLootContainer {
    std::int32_t Id = 0;
    std::string Name;
    std::string ContentName; // the loot object's name as the link names it
};

struct TLootListObjInfo {
    std::int32_t ObjID = 0;
    std::string Name;
    int Difficulties = 7; // bit 0 normal, 1 hard, 2 expert
    std::int32_t Gold = 0;
    std::int32_t Gems = 0;
    std::int32_t Art = 0;
    std::uint32_t Special = 0;
    std::vector<TLootContainer> Containers;
};

// One loot objective on one difficulty on which it applies.
struct TLootGoalCheck {
    int Goal = 0;
    int Difficulty = 0;
    std::vector<TUnmetNeed> Unmet; // none: reachable
};

struct TLootList {
    // The report lines; each carries the ID of its loot object, annotation lines the ID of the
    // container they name, every other line 0.
    std::vector<std::string> Lines;
    std::vector<std::int32_t> LineIds;
    // What the lines show, as records: the objects as read and their places in report order,
    // the NORMAL, HARD, EXPERT and TOTAL rows, and the loot objectives.
    std::vector<TLootListObjInfo> Objects;
    std::vector<std::uint32_t> Order;
    std::array<TLootHoldings, kDifficulties + 1> Totals{};
    std::vector<TLootGoalCheck> Goals;

    [[nodiscard]] std::string Text() const; // lines joined by CR LF
    // The IDs whose object brushes "load loot objects" brings into the favourites: those
    // attached to some line. 0 (no object) never counts.
    [[nodiscard]] bool HasId(std::int32_t objId) const;
};

// "S1,S3" for the special bits 0 and 2; "3xS1,S3" for three objects with S1 and one with S3.
[[nodiscard]] std::string SpecialText(std::uint32_t special);
[[nodiscard]] std::string SpecialCountText(const std::array<int, 8>& counts);

// The report of the loot objects as the mission delivered them: sorted by name ignoring case,
// then by ID; one line each, the totals per difficulty and the containers. FileName is the
// heading's name, without directory.
[[nodiscard]] TLootList FormatLootList(std::vector<TLootListObjInfo> infos,
                                       const std::string& fileName);

// Checks the objectives against the totals and, when there are any, appends an empty line,
// "Loot goals:" and one line per objective and difficulty on which it applies: "Goal N (Normal):
// reachable", or "Goal N (Expert): unreachable: " and the unmet minimums joined by "; ".
void AppendLootGoals(TLootList& list, const std::vector<TLootGoal>& goals);

// Reads the mission (and the gamesys it names, looked for in GamesysDir first) and builds the
// list, ended by the section of its loot objectives. Raises Exception "Property size mismatch!"
// for a loot or difficulty value of the wrong size; read failures pass on. OnMessage receives
// "Gamesys not found: ...".
[[nodiscard]] TLootList BuildLootList(const std::filesystem::path& mission,
                                      const std::filesystem::path& gamesysDir,
                                      const TUserMessageEvent& onMessage);

// The sanity check's part for loot objectives. When the mission has any, its loot list is built
// as BuildLootList does; every minimum left unmet goes to Report as " - Goal N on Expert needs
// ..." under "Unreachable loot goals:", after an empty line when Report holds lines already,
// and each objective and difficulty with an unmet minimum to Unreachable when given.
void CheckLootGoals(const std::filesystem::path& mission, const std::filesystem::path& gamesysDir,
                    const TUserMessageEvent& onMessage, std::vector<std::string>& report,
                    std::vector<TLootGoalCheck>* unreachable = nullptr);

} // namespace kv
