// The mission's quest variables (chunk QUEST_DB, the campaign's in QUEST_CMP) and the loot
// objectives they describe: which minimums of gold, gems, art, total and specials an objective
// asks for, on which difficulties, and what a mission's loot leaves unmet.
#pragma once

#include "mission/MissionFile.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct TQuestVar {
    std::string Name;
    std::int32_t Value = 0;
};

// The records of the chunk in file order: u32 length N, N bytes of name ending in a zero byte,
// i32 value. No chunk gives none; a record that runs past the chunk or a name without its zero
// byte raise the damaged-file Exception.
[[nodiscard]] std::vector<TQuestVar> ReadQuestVars(TMissionFile& file, std::string_view chunk);

constexpr int kDifficulties = 3; // 0 Normal, 1 Hard, 2 Expert
[[nodiscard]] const char* DifficultyName(int difficulty);

// Objective N whose goal_type_N is 3. A minimum of 0 (or less, or absent) asks nothing.
struct TLootGoal {
    int Number = 0;
    std::int32_t Total = 0;
    std::int32_t Gold = 0;
    std::int32_t Gems = 0;
    std::int32_t Art = 0;
    std::uint32_t Special = 0; // bit b asks for special S(b+1)
    std::optional<std::int32_t> MinDiff;
    std::optional<std::int32_t> MaxDiff;

    [[nodiscard]] bool AppliesOn(int difficulty) const;
};

// The loot objectives of the variables, in order of N; "don't" objectives (goal_reverse_N = 1)
// are left out. Names compare ignoring letter case; a later variable of a name replaces an
// earlier one, so the mission's own variables go after the campaign's.
[[nodiscard]] std::vector<TLootGoal> LootGoals(const std::vector<TQuestVar>& vars);

// The loot objectives of an open mission: its QUEST_CMP, then its QUEST_DB.
[[nodiscard]] std::vector<TLootGoal> ReadLootGoals(TMissionFile& file);

// What the loot list holds on one difficulty (or, in its last row, on all of them).
struct TLootHoldings {
    std::int32_t Total = 0;
    std::int32_t Gold = 0;
    std::int32_t Gems = 0;
    std::int32_t Art = 0;
    std::array<int, 8> Special{}; // loot objects with each special bit
};

// A minimum left unmet: What is "total", "gold", "gems", "art" or a special "S1".."S8", whose
// minimum is one loot object holding it.
struct TUnmetNeed {
    std::string What;
    std::int32_t Needs = 0;
    std::int32_t Holds = 0;
};

// Each minimum the holdings leave unmet, in the order total, gold, gems, art, S1..S8.
[[nodiscard]] std::vector<TUnmetNeed> UnmetNeeds(const TLootGoal& goal,
                                                 const TLootHoldings& holdings);
// "needs 1500 in total, the mission holds 1320", "needs special S2, which no loot object holds".
[[nodiscard]] std::string NeedText(const TUnmetNeed& need);
// The texts of the needs joined by "; ".
[[nodiscard]] std::string NeedsText(const std::vector<TUnmetNeed>& needs);

} // namespace kv
