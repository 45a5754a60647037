// The loot list of a mission: inherited values, difficulties, special loot, containers, the
// totals and the exact report text.
#include "mission/LootList.h"

#include "support/MissionWriter.h"
#include "text/Exception.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::TBrushRec;
using test::TBytes;
using test::TLinkRec;
using test::TMissionWriter;
namespace chunks = test::chunks;
using Lines = std::vector<std::string>;

constexpr std::int16_t kObjectMedia = 253;

// Object brushes numbered from 1, one per object ID.
TBytes ObjectBrushes(const std::vector<std::int32_t>& objIds) {
    std::vector<TBrushRec> brushes;
    std::uint16_t id = 1;
    for (const std::int32_t obj : objIds) brushes.push_back({id++, obj, kObjectMedia, 0});
    return chunks::Brushes(brushes);
}

TBytes Priorities(const std::vector<std::pair<std::int32_t, std::int32_t>>& linkPriorities) {
    std::vector<std::pair<std::int32_t, TBytes>> records;
    for (const auto& [link, priority] : linkPriorities) {
        records.emplace_back(link, test::I32Bytes(priority));
    }
    return chunks::LinkData(4, records);
}

class LootListTest : public ::testing::Test {
protected:
    // Builds the list of a mission in the scratch folder; the gamesys, when there is one, lies
    // beside it, and the DromEd folder looked in first does not hold it.
    TLootList Build(const TMissionWriter& mission, const std::string& name = "test.mis") {
        test::SaveBytes(folder_ / name, mission.Bytes());
        return BuildLootList(folder_ / name, folder_ / "DromEd",
                             [this](const std::string& m) { messages_.push_back(m); });
    }

    static std::string LineOf(const TLootList& list, const std::string& start) {
        const auto it = std::find_if(list.Lines.begin(), list.Lines.end(),
                                     [&](const auto& l) { return l.rfind(start, 0) == 0; });
        return it == list.Lines.end() ? std::string("<no line " + start + ">") : *it;
    }

    test::ScratchFolder folder_;
    Lines messages_;
};

// The whole report

// A coin that inherits its value from the gamesys and lies in a chest, an emerald left out of
// normal difficulty, and a goblet with two kinds of special loot.
TEST_F(LootListTest, SmallMissionGivesTheWholeReport) {
    test::SaveBytes(folder_ / "dark.gam",
                    TMissionWriter()
                        .Chunk("L$MetaProp", chunks::Links({{1, -50, -10, 1}}))
                        .Chunk("LD$MetaProp", Priorities({{1, 0}}))
                        .Chunk("P$Loot", chunks::Props({{-10, chunks::Loot(25, 0, 0, 0)}}))
                        .Bytes());
    const auto list =
        Build(TMissionWriter()
                  .Chunk("GAM_FILE", chunks::ZText("dark.gam"))
                  .Chunk("BRLIST", test::Concat(chunks::Brushes({{1, 0, 0, 6}}),
                                                ObjectBrushes({100, 101, 102, 103})))
                  .Chunk("P$SymName",
                         chunks::SymNames({{101, "Emerald"}, {102, "Chest"}, {103, "Goblet"}}))
                  .Chunk("OBJ_MAP", chunks::NameRecords({{-50, "Gold Coin"}}))
                  .Chunk("L$MetaProp", chunks::Links({{1, 100, -50, 1}}))
                  .Chunk("LD$MetaProp", Priorities({{1, 0}}))
                  .Chunk("P$Loot", chunks::Props({{101, chunks::Loot(0, 100, 0, 1)},
                                                  {103, chunks::Loot(0, 0, 75, 5)}}))
                  .Chunk("P$DiffDestr", chunks::Props({{101, test::I32Bytes(1)}}))
                  .Chunk("L$Contains", chunks::Links({{7, 102, 100, 2}})),
              "small.mis");

    const Lines expected = {
        "File: small.mis",
        "",
        "Object                 Dif.   Total     Gold     Gems      Art Special",
        "----------------------------------------------------------------------",
        "A Gold Coin (100)*     NHE       25       25        0        0 ",
        "Emerald (101)          -HE      100        0      100        0 S1",
        "Goblet (103)           NHE       75        0        0       75 S1,S3",
        "----------------------------------------------------------------------",
        "NORMAL                          100       25        0       75 S1,S3",
        "HARD                            200       25      100       75 2xS1,S3",
        "EXPERT                          200       25      100       75 2xS1,S3",
        "TOTAL                           200       25      100       75 2xS1,S3",
        "",
        "Annotations:",
        "A Gold Coin (100) is contained by Chest (102)"};
    EXPECT_EQ(list.Lines, expected);
    const std::vector<std::int32_t> ids = {0, 0, 0, 0, 100, 101, 103, 0, 0, 0, 0, 0, 0, 0, 102};
    EXPECT_EQ(list.LineIds, ids);
    EXPECT_TRUE(messages_.empty());
}

// Loot of an object without a brush is not listed.
TEST_F(LootListTest, MissionWithoutLootGivesHeadingDashesAndZeroRows) {
    const auto list = Build(TMissionWriter()
                                .Chunk("BRLIST", ObjectBrushes({10, 11}))
                                .Chunk("P$SymName", chunks::SymNames({{10, "Guard"}, {12, "Ring"}}))
                                .Chunk("P$Loot", chunks::Props({{12, chunks::Loot(9, 9, 9, 0)}})),
                            "empty.mis");
    EXPECT_EQ(list.Text(), "File: empty.mis\r\n"
                           "\r\n"
                           "Object     Dif.   Total     Gold     Gems      Art Special\r\n"
                           "----------------------------------------------------------\r\n"
                           "----------------------------------------------------------\r\n"
                           "NORMAL                0        0        0        0 \r\n"
                           "HARD                  0        0        0        0 \r\n"
                           "EXPERT                0        0        0        0 \r\n"
                           "TOTAL                 0        0        0        0 \r\n");
    EXPECT_FALSE(list.HasId(10));
    EXPECT_FALSE(list.HasId(12));
}

// Values and inheritance

TEST_F(LootListTest, ArchetypeOfHighestPriorityGivesTheInheritedValue) {
    test::SaveBytes(folder_ / "dark.gam",
                    TMissionWriter()
                        .Chunk("P$Loot", chunks::Props({{-60, chunks::Loot(0, 0, 5, 0)},
                                                        {-61, chunks::Loot(0, 0, 7, 0)}}))
                        .Bytes());
    const auto list =
        Build(TMissionWriter()
                  .Chunk("GAM_FILE", chunks::ZText("dark.gam"))
                  .Chunk("BRLIST", ObjectBrushes({200, 201}))
                  .Chunk("OBJ_MAP", chunks::NameRecords({{-60, "Vase"}, {-61, "Urn"}}))
                  .Chunk("L$MetaProp",
                         chunks::Links({{1, 200, -60, 1}, {2, 200, -61, 1}, {3, 201, -60, 1}}))
                  .Chunk("LD$MetaProp", Priorities({{1, 10}, {2, 20}, {3, 0}}))
                  .Chunk("P$Loot", chunks::Props({{201, chunks::Loot(3, 0, 0, 0)}})));

    // Named after the cheapest archetype, valued by the most important one that has loot; an
    // own value hides every archetype.
    EXPECT_EQ(LineOf(list, "A Vase (200)"),
              "A Vase (200)     NHE        7        0        0        7 ");
    EXPECT_EQ(LineOf(list, "A Vase (201)"),
              "A Vase (201)     NHE        3        3        0        0 ");
    EXPECT_EQ(LineOf(list, "TOTAL"), "TOTAL                      10        3        0        7 ");
}

// Destroyed in normal (1) leaves loot out of the normal sums, 6 out of hard and expert; the
// difficulty of an archetype is not inherited.
TEST_F(LootListTest, DestroyedInADifficultyIsLeftOutOfItsSums) {
    const auto list = Build(
        TMissionWriter()
            .Chunk("BRLIST", ObjectBrushes({300, 301, 302, 303}))
            .Chunk("P$SymName",
                   chunks::SymNames({{300, "Bottle"}, {301, "Plate"}, {302, "Ring"}, {303, "Gem"}}))
            .Chunk("L$MetaProp", chunks::Links({{1, 303, -3, 1}}))
            .Chunk("LD$MetaProp", Priorities({{1, 0}}))
            .Chunk("P$Loot", chunks::Props({{300, chunks::Loot(10, 0, 0, 0)},
                                            {301, chunks::Loot(1, 0, 0, 0)},
                                            {302, chunks::Loot(100, 0, 0, 0)},
                                            {303, chunks::Loot(0, 4, 0, 0)}}))
            .Chunk("P$DiffDestr", chunks::Props({{300, test::I32Bytes(1)},
                                                 {302, test::I32Bytes(6)},
                                                 {-3, test::I32Bytes(7)}})));
    const Lines rows(list.Lines.begin() + 4, list.Lines.end());
    const Lines expected = {"Bottle (300)     -HE       10       10        0        0 ",
                            "Gem (303)        NHE        4        0        4        0 ",
                            "Plate (301)      NHE        1        1        0        0 ",
                            "Ring (302)       N--      100      100        0        0 ",
                            "----------------------------------------------------------------",
                            "NORMAL                    105      101        4        0 ",
                            "HARD                       15       11        4        0 ",
                            "EXPERT                     15       11        4        0 ",
                            "TOTAL                     115      111        4        0 "};
    EXPECT_EQ(rows, expected);
}

// Containers

TEST_F(LootListTest, ContainersAreAnnotatedInListOrder) {
    const auto list =
        Build(TMissionWriter()
                  .Chunk("BRLIST", ObjectBrushes({400, 401, 410, 411, 412, 413}))
                  .Chunk("P$SymName",
                         chunks::SymNames({{400, "Coin"}, {401, "Big Coin Pile"}, {410, "Chest"},
                                           {411, "Strongbox"}, {412, "Guard"}, {413, "Safe"}}))
                  .Chunk("P$Loot", chunks::Props({{400, chunks::Loot(1, 0, 0, 0)},
                                                  {401, chunks::Loot(50, 0, 0, 0)}}))
                  // Link 4 is of another flavor, and the chest in the safe is no loot.
                  .Chunk("L$Contains", chunks::Links({{1, 411, 401, 2}, {2, 410, 401, 2},
                                                      {3, 410, 400, 2}, {4, 412, 400, 3},
                                                      {5, 413, 410, 2}})));

    EXPECT_EQ(list.Lines[4].substr(0, 20), "Big Coin Pile (401)*");
    EXPECT_EQ(list.Lines[5].substr(0, 11), "Coin (400)*");
    const Lines tail(list.Lines.end() - 5, list.Lines.end());
    const Lines expected = {"", "Annotations:",
                            "Big Coin Pile (401) is contained by Strongbox (411)",
                            "Big Coin Pile (401) is contained by Chest (410)",
                            "Coin (400)          is contained by Chest (410)"};
    EXPECT_EQ(tail, expected);
    const std::vector<std::int32_t> tailIds(list.LineIds.end() - 3, list.LineIds.end());
    EXPECT_EQ(tailIds, (std::vector<std::int32_t>{411, 410, 410}));

    for (const std::int32_t id : {400, 401, 410, 411}) EXPECT_TRUE(list.HasId(id)) << id;
    for (const std::int32_t id : {412, 413, 0}) EXPECT_FALSE(list.HasId(id)) << id;
}

// Failures

// A loot value of another size is an error, and so is a difficulty of another size on loot;
// elsewhere the difficulty is not read.
TEST_F(LootListTest, AValueOfTheWrongSizeIsAnError) {
    const auto mission = [](TBytes loot, std::int32_t diffObj) {
        return TMissionWriter()
            .Chunk("BRLIST", ObjectBrushes({1, 2}))
            .Chunk("P$Loot", chunks::Props({{1, std::move(loot)}}))
            .Chunk("P$DiffDestr", chunks::Props({{diffObj, TBytes(2, 0)}}));
    };
    EXPECT_NO_THROW((void)Build(mission(chunks::Loot(1, 0, 0, 0), 2)));
    for (const auto& broken : {mission(TBytes(12, 0), 2), mission(chunks::Loot(1, 0, 0, 0), 1)}) {
        try {
            (void)Build(broken);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Property size mismatch!");
        }
    }
}

// Formatting of collected values

TLootListObjInfo Info(std::int32_t id, const std::string& name, std::int32_t gold = 0) {
    TLootListObjInfo info;
    info.ObjID = id;
    info.Name = name;
    info.Gold = gold;
    return info;
}

// Sorted by name in the locale's order, letter case ignored, then by ID; hyphens and
// apostrophes only break ties.
TEST(FormatLootListTest, SortsByNameThenById) {
    const auto list =
        FormatLootList({Info(5, "apple"), Info(1, "banana"), Info(3, "Apple"), Info(4, "APPLE"),
                        Info(2, "\xC4pple"), Info(11, "Gold-Z"), Info(12, "GoldZ"),
                        Info(13, "O'Neil's purse"), Info(14, "Oa"), Info(15, "GoldA")},
                       "x.mis");
    const std::vector<std::int32_t> ids(list.LineIds.begin() + 4, list.LineIds.begin() + 14);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{3, 4, 5, 2, 1, 15, 12, 11, 14, 13}));
}

TEST(FormatLootListTest, LongNamesWidenTheFirstColumn) {
    const std::string name(5000, 'x');
    const auto list = FormatLootList({Info(1, name, 7)}, "x.mis");
    const std::size_t width = name.size() + 4 + 5; // " (1)" and the gap
    EXPECT_EQ(list.Lines[2].size(), width + 47);
    EXPECT_EQ(list.Lines[3], std::string(width + 47, '-'));
    EXPECT_EQ(list.Lines[4], name + " (1)     NHE        7        7        0        0 ");
    EXPECT_EQ(list.Lines[6].substr(0, 6), "NORMAL");
    EXPECT_EQ(list.Lines[6].size(), width + 40);
}

// Only bits 0 to 7 are special loot; loot in no difficulty at all counts only in the total;
// totals wrap like the 32-bit values.
TEST(FormatLootListTest, NegativeValuesHighSpecialBitsAndNoDifficulty) {
    TLootListObjInfo sword = Info(7, "Sword", -5);
    sword.Gems = 2;
    sword.Special = 0x80 | 0x100 | 0x80000000u;
    TLootListObjInfo ghost = Info(9, "Ghost", 6);
    ghost.Difficulties = 0;
    const auto list = FormatLootList({sword, ghost}, "x.mis");
    const Lines rows = {list.Lines[4], list.Lines[5], list.Lines[7], list.Lines[10]};
    EXPECT_EQ(rows, (Lines{"Ghost (9)     ---        6        6        0        0 ",
                           "Sword (7)     NHE       -3       -5        2        0 S8",
                           "NORMAL                  -3       -5        2        0 S8",
                           "TOTAL                    3        1        2        0 S8"}));
    const auto wrapped =
        FormatLootList({Info(1, "A", std::numeric_limits<std::int32_t>::max()), Info(2, "B", 1)}, "x");
    EXPECT_EQ(wrapped.Lines[10], "TOTAL          -2147483648 -2147483648        0        0 ");
}

} // namespace
} // namespace kv
