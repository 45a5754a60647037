// Loot objectives from the quest variables, checked per difficulty against the loot list's
// totals: the loot list's "Loot goals:" section and the sanity check's unreachable goals.
#include "mission/LootList.h"
#include "mission/QuestVars.h"

#include "support/MissionWriter.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

using test::TMissionWriter;
namespace chunks = test::chunks;
using Lines = std::vector<std::string>;
using Vars = std::vector<std::pair<std::string, std::int32_t>>;

// Coins (100 gold) on every difficulty; a ruby (50 gems, special S2) on Normal only; a vase
// (40 art) on Normal and Hard. So Normal holds 190, Hard 140 and Expert 100 in total.
TMissionWriter LootMission(const Vars& questDb, const Vars& questCmp = {}) {
    TMissionWriter w;
    w.Chunk("BRLIST", chunks::Brushes({{1, 10, 253, 0}, {2, 11, 253, 0}, {3, 12, 253, 0}}))
        .Chunk("P$SymName", chunks::SymNames({{10, "Coins"}, {11, "Ruby"}, {12, "Vase"}}))
        .Chunk("P$Loot", chunks::Props({{10, chunks::Loot(100, 0, 0, 0)},
                                        {11, chunks::Loot(0, 50, 0, 2)},
                                        {12, chunks::Loot(0, 0, 40, 0)}}))
        .Chunk("P$DiffDestr", chunks::Props({{11, test::I32Bytes(6)}, {12, test::I32Bytes(4)}}));
    if (!questCmp.empty()) w.Chunk("QUEST_CMP", chunks::QuestVars(questCmp));
    w.Chunk("QUEST_DB", chunks::QuestVars(questDb));
    return w;
}

class LootGoalsTest : public ::testing::Test {
protected:
    std::filesystem::path Save(const TMissionWriter& mission) {
        test::SaveBytes(folder_ / "goals.mis", mission.Bytes());
        return folder_ / "goals.mis";
    }
    TLootList Loot(const TMissionWriter& mission) {
        return BuildLootList(Save(mission), folder_.Path(), {});
    }
    Lines Check(const TMissionWriter& mission, Lines report = {}) {
        CheckLootGoals(Save(mission), folder_.Path(), {}, report);
        return report;
    }
    test::ScratchFolder folder_;
};

// Every minimum met and unmet, on the boundary too; specials; difficulty bounds present and
// absent; objectives only on Expert or only on Hard; a reversed and a non-loot objective; names
// in any letter case, numbers ordered as numbers, the mission's variable over the campaign's.
TEST_F(LootGoalsTest, EachObjectiveIsCheckedOnEveryDifficultyItAppliesTo) {
    const TMissionWriter mission = LootMission(
        {{"DrSSecrets", 0},
         {"goal_type_10", 3},       {"Goal_Loot_10", 1000},  {"goal_special_10", 128},
         {"goal_min_diff_10", 1},   {"GOAL_MAX_DIFF_10", 1}, {"goal_type_0", 3},
         {"goal_loot_0", 140},      {"goal_max_diff_0", 1},  {"goal_type_1", 3},
         {"goal_gold_1", 100},      {"goal_gems_1", 50},     {"goal_goods_1", 40},
         {"goal_special_1", 2},     {"goal_type_2", 3},      {"goal_gold_2", 101},
         {"goal_min_diff_2", 2},    {"goal_type_3", 3},      {"goal_reverse_3", 1},
         {"goal_loot_3", 9999},     {"goal_type_4", 1},      {"goal_loot_4", 9999},
         {"goal_type_5", 3},        {"goal_gold_5", 0}},
        {{"goal_gold_2", 50}, {"goal_type_6", 2}});
    const TLootList list = Loot(mission);
    const Lines tail(list.Lines.end() - 12, list.Lines.end());
    EXPECT_EQ(tail, (Lines{
        "",
        "Loot goals:",
        "Goal 0 (Normal): reachable",
        "Goal 0 (Hard): reachable",
        "Goal 1 (Normal): reachable",
        "Goal 1 (Hard): unreachable: needs 50 in gems, the mission holds 0; needs special S2, "
        "which no loot object holds",
        "Goal 1 (Expert): unreachable: needs 50 in gems, the mission holds 0; needs 40 in art, the "
        "mission holds 0; needs special S2, which no loot object holds",
        "Goal 2 (Expert): unreachable: needs 101 in gold, the mission holds 100",
        "Goal 5 (Normal): reachable",
        "Goal 5 (Hard): reachable",
        "Goal 5 (Expert): reachable",
        "Goal 10 (Hard): unreachable: needs 1000 in total, the mission holds 140; needs special "
        "S8, which no loot object holds"}));
    EXPECT_EQ(list.LineIds.back(), 0);

    EXPECT_EQ(Check(mission), (Lines{"Unreachable loot goals:",
                                     " - Goal 1 on Hard needs 50 in gems, the mission holds 0",
                                     " - Goal 1 on Hard needs special S2, which no loot object holds",
                                     " - Goal 1 on Expert needs 50 in gems, the mission holds 0",
                                     " - Goal 1 on Expert needs 40 in art, the mission holds 0",
                                     " - Goal 1 on Expert needs special S2, which no loot object holds",
                                     " - Goal 2 on Expert needs 101 in gold, the mission holds 100",
                                     " - Goal 10 on Hard needs 1000 in total, the mission holds 140",
                                     " - Goal 10 on Hard needs special S8, which no loot object holds"}));
    // After the check's own sections, the section is set off by an empty line.
    EXPECT_EQ(Check(mission, {"Duplicate links found:"})[1], "");
}

// Without loot objectives the loot list and the check are exactly as without quest variables.
TEST_F(LootGoalsTest, MissionsWithoutLootObjectivesKeepTheirReports) {
    const TLootList plain = Loot(LootMission({}));
    for (const Vars& vars : {Vars{{"DrSSecrets", 0}, {"goal_state_0", 1}},
                             Vars{{"goal_type_0", 3}, {"goal_reverse_0", 1}}, Vars{}}) {
        const TMissionWriter mission = LootMission(vars);
        EXPECT_EQ(Loot(mission).Lines, plain.Lines);
        EXPECT_EQ(Check(mission, {"x"}), Lines{"x"});
    }
    // Worked out by hand: W = 15 ("Coins (10)" + 5), then 4, 8, 8, 8 and 8 columns.
    EXPECT_EQ(plain.Lines.back(), "TOTAL" + std::string(19, ' ') + "190" + std::string(6, ' ') +
                                      "100" + std::string(7, ' ') + "50" + std::string(7, ' ') +
                                      "40 S2");
}

// A damaged chunk is the damaged-file error, naming the file and the chunk.
TEST_F(LootGoalsTest, ADamagedQuestChunkIsTheDamagedFileError) {
    const test::TBytes good = chunks::QuestVars({{"goal_type_1", 3}});
    const test::TBytes damaged[] = {
        test::Concat({100, 0, 0, 0}, {'a', 'b', 0, 0, 0, 0, 0}), // the name runs past the end
        {2, 0, 0, 0, 'a', 'b', 3, 0, 0, 0},                      // no zero byte ends the name
        {0, 0, 0, 0, 3, 0, 0, 0},                                 // no name at all
        test::Concat(good, {1, 0, 0}),                            // a record cut short
    };
    for (const auto& bytes : damaged) {
        for (const char* chunk : {"QUEST_DB", "QUEST_CMP"}) {
            TMissionWriter mission;
            mission.Chunk(chunk, bytes);
            const std::string message = test::ExceptionMessage([&] { (void)Loot(mission); });
            EXPECT_NE(message.find("Cannot read mission file"), std::string::npos) << message;
            EXPECT_NE(message.find(chunk), std::string::npos) << message;
        }
    }
}

} // namespace
} // namespace kv
