#include "mission/QuestVars.h"

#include "mission/ByteCursor.h"
#include "mission/ChunkRecords.h"
#include "text/Exception.h"
#include "text/Win1252.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

namespace kv {

namespace {

constexpr std::int32_t kLootGoalType = 3;
constexpr std::string_view kGoalType = "goal_type_";
constexpr std::array<const char*, kDifficulties> kDifficultyNames{"Normal", "Hard", "Expert"};

// N of "goal_type_N" in plain decimal ("07" is not objective 7), or none.
std::optional<int> GoalNumber(std::string_view lowerName) {
    if (!lowerName.starts_with(kGoalType)) return std::nullopt;
    const std::string_view digits = lowerName.substr(kGoalType.size());
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
    int n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size() || n < 0) return std::nullopt;
    return n;
}

} // namespace

const char* DifficultyName(int difficulty) {
    return kDifficultyNames.at(static_cast<std::size_t>(difficulty));
}

std::vector<TQuestVar> ReadQuestVars(TMissionFile& file, std::string_view chunk) {
    std::vector<TQuestVar> vars;
    const std::optional<TChunkBuffer> data = file.ReadChunk(chunk);
    if (!data) return vars;
    const std::string chunkName(chunk);
    const records::TChunkView view{*data, chunkName, file.FileText()};
    records::TByteCursor c(view);
    while (c.Remaining() > 0) {
        const std::size_t at = c.Offset();
        const records::TBytesView name = c.Bytes(c.U32());
        if (name.empty() || name.back() != 0) {
            throw Exception("Cannot read mission file \"" + file.FileText() + "\": chunk \"" +
                            chunkName + "\": the name at offset " + std::to_string(at) +
                            " does not end in a zero byte");
        }
        vars.push_back({records::ZeroTerminated(name), c.I32()});
    }
    return vars;
}

bool TLootGoal::AppliesOn(int difficulty) const {
    return !(MinDiff && difficulty < *MinDiff) && !(MaxDiff && difficulty > *MaxDiff);
}

std::vector<TLootGoal> LootGoals(const std::vector<TQuestVar>& vars) {
    std::unordered_map<std::string, std::int32_t> byName;
    for (const TQuestVar& var : vars) byName[AnsiLowerCase(var.Name)] = var.Value;
    const auto value = [&byName](const char* field, int n) -> std::optional<std::int32_t> {
        const auto it = byName.find("goal_" + std::string(field) + "_" + std::to_string(n));
        return it == byName.end() ? std::nullopt : std::optional(it->second);
    };
    std::vector<TLootGoal> goals;
    for (const auto& [name, type] : byName) {
        const std::optional<int> n = GoalNumber(name);
        if (!n || type != kLootGoalType || value("reverse", *n) == 1) continue;
        TLootGoal goal;
        goal.Number = *n;
        goal.Total = value("loot", *n).value_or(0);
        goal.Gold = value("gold", *n).value_or(0);
        goal.Gems = value("gems", *n).value_or(0);
        goal.Art = value("goods", *n).value_or(0);
        goal.Special = static_cast<std::uint32_t>(value("special", *n).value_or(0));
        goal.MinDiff = value("min_diff", *n);
        goal.MaxDiff = value("max_diff", *n);
        goals.push_back(goal);
    }
    std::sort(goals.begin(), goals.end(),
              [](const TLootGoal& a, const TLootGoal& b) { return a.Number < b.Number; });
    return goals;
}

std::vector<TLootGoal> ReadLootGoals(TMissionFile& file) {
    std::vector<TQuestVar> vars = ReadQuestVars(file, "QUEST_CMP");
    std::vector<TQuestVar> mission = ReadQuestVars(file, "QUEST_DB");
    vars.insert(vars.end(), mission.begin(), mission.end());
    return LootGoals(vars);
}

std::vector<TUnmetNeed> UnmetNeeds(const TLootGoal& goal, const TLootHoldings& holdings) {
    std::vector<TUnmetNeed> needs;
    const auto need = [&needs](std::int32_t minimum, std::int32_t held, const char* what) {
        if (minimum > 0 && held < minimum) needs.push_back({what, minimum, held});
    };
    need(goal.Total, holdings.Total, "total");
    need(goal.Gold, holdings.Gold, "gold");
    need(goal.Gems, holdings.Gems, "gems");
    need(goal.Art, holdings.Art, "art");
    for (std::size_t b = 0; b < holdings.Special.size(); ++b) {
        if ((goal.Special & (1u << b)) != 0 && holdings.Special[b] == 0)
            needs.push_back({"S" + std::to_string(b + 1), 1, 0});
    }
    return needs;
}

std::string NeedText(const TUnmetNeed& need) {
    if (need.What.starts_with('S')) return "needs special " + need.What + ", which no loot object holds";
    return "needs " + std::to_string(need.Needs) + " in " + need.What + ", the mission holds " +
           std::to_string(need.Holds);
}

std::string NeedsText(const std::vector<TUnmetNeed>& needs) {
    std::string text;
    for (const TUnmetNeed& need : needs) text += (text.empty() ? "" : "; ") + NeedText(need);
    return text;
}

} // namespace kv
