// The loot list of a mission: inherited values, difficulties, special loot, containers, the
// totals and the exact report text.
#include "mission/LootList.h"

#include "support/MissionWriter.h"
#include "text/Exception.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::TBrushRec;
using test::TBytes;
using test::TMissionWriter;
namespace chunks = test::chunks;
using Lines = std::vector<std::string>;

// Object brushes numbered from 1, one per object ID.
TBytes ObjectBrushes(const std::vector<std::int32_t>& objIds) {
    std::vector<TBrushRec> brushes;
    std::uint16_t id = 1;
    for (const std::int32_t obj : objIds)
        brushes.push_back({id++, obj, 253, 0}); // media 253: objects
    return chunks::Brushes(brushes);
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

    test::ScratchFolder folder_;
    Lines messages_;
};

// The whole report

// The gamesys gives archetype -50 ("Gold Coin", through -10) 25 gold, -60 ("Vase") 5 art and -61
// ("Urn") 7 art. An object is named after its cheapest archetype and valued by the most important
// one that has loot; an own value hides every archetype. Destroyed in normal (1) leaves loot out
// of the normal sums, 6 out of hard and expert; the difficulty of an archetype is not inherited.
// Containers are annotated in list order: the guard's link is of another flavor, and the chest
// in the safe is no loot. Loot of an object without a brush is not listed.
TEST_F(LootListTest, SmallMissionGivesTheWholeReport) {
    test::SaveBytes(folder_ / "dark.gam",
                    TMissionWriter()
                        .Chunk("L$MetaProp", chunks::Links({{1, -50, -10, 1}}))
                        .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, test::I32Bytes(0)}}))
                        .Chunk("P$Loot", chunks::Props({{-10, chunks::Loot(25, 0, 0, 0)},
                                                        {-60, chunks::Loot(0, 0, 5, 0)},
                                                        {-61, chunks::Loot(0, 0, 7, 0)}}))
                        .Bytes());
    const auto list =
        Build(TMissionWriter()
                  .Chunk("GAM_FILE", chunks::ZText("dark.gam"))
                  .Chunk("BRLIST", test::Concat(chunks::Brushes({{1, 0, 0, 6}}),
                                                ObjectBrushes({100, 101, 103, 200, 201, 302, 303,
                                                               401, 410, 411, 412, 413})))
                  .Chunk("P$SymName",
                         chunks::SymNames({{101, "Emerald"}, {103, "Goblet"}, {302, "Ring"},
                                           {303, "Gem"}, {401, "Big Coin Pile"}, {410, "Chest"},
                                           {411, "Strongbox"}, {412, "Guard"}, {413, "Safe"}}))
                  .Chunk("OBJ_MAP",
                         chunks::NameRecords({{-50, "Gold Coin"}, {-60, "Vase"}, {-61, "Urn"}}))
                  .Chunk("L$MetaProp", chunks::Links({{1, 100, -50, 1}, {2, 200, -60, 1},
                                                      {3, 200, -61, 1}, {4, 201, -60, 1},
                                                      {5, 303, -3, 1}}))
                  .Chunk("LD$MetaProp",
                         chunks::LinkData(4, {{2, test::I32Bytes(10)}, {3, test::I32Bytes(20)}}))
                  .Chunk("P$Loot", chunks::Props({{101, chunks::Loot(0, 100, 0, 1)},
                                                  {103, chunks::Loot(0, 0, 75, 5)},
                                                  {201, chunks::Loot(3, 0, 0, 0)},
                                                  {302, chunks::Loot(100, 0, 0, 0)},
                                                  {303, chunks::Loot(0, 4, 0, 0)},
                                                  {401, chunks::Loot(50, 0, 0, 0)},
                                                  {999, chunks::Loot(9, 9, 9, 0)}}))
                  .Chunk("P$DiffDestr", chunks::Props({{101, test::I32Bytes(1)},
                                                       {302, test::I32Bytes(6)},
                                                       {-3, test::I32Bytes(7)}}))
                  .Chunk("L$Contains", chunks::Links({{1, 411, 401, 2}, {2, 410, 401, 2},
                                                      {3, 410, 100, 2}, {4, 412, 100, 3},
                                                      {5, 413, 410, 2}})),
              "loot.mis");
    const Lines expected = {
        "File: loot.mis",
        "",
        "Object                   Dif.   Total     Gold     Gems      Art Special",
        "------------------------------------------------------------------------",
        "A Gold Coin (100)*       NHE       25       25        0        0 ",
        "A Vase (200)             NHE        7        0        0        7 ",
        "A Vase (201)             NHE        3        3        0        0 ",
        "Big Coin Pile (401)*     NHE       50       50        0        0 ",
        "Emerald (101)            -HE      100        0      100        0 S1",
        "Gem (303)                NHE        4        0        4        0 ",
        "Goblet (103)             NHE       75        0        0       75 S1,S3",
        "Ring (302)               N--      100      100        0        0 ",
        "------------------------------------------------------------------------",
        "NORMAL                            264      178        4       82 S1,S3",
        "HARD                              264       78      104       82 2xS1,S3",
        "EXPERT                            264       78      104       82 2xS1,S3",
        "TOTAL                             364      178      104       82 2xS1,S3",
        "",
        "Annotations:",
        "A Gold Coin (100)   is contained by Chest (410)",
        "Big Coin Pile (401) is contained by Strongbox (411)",
        "Big Coin Pile (401) is contained by Chest (410)"};
    EXPECT_EQ(list.Lines, expected);
    const std::vector<std::int32_t> ids = {0,   0, 0, 0, 100, 200, 201, 401, 101, 303, 103,
                                           302, 0, 0, 0, 0,   0,   0,   0,   410, 411, 410};
    EXPECT_EQ(list.LineIds, ids);
    EXPECT_TRUE(list.HasId(411));
    for (const std::int32_t id : {412, 413, 999, 0}) EXPECT_FALSE(list.HasId(id)) << id;
    EXPECT_TRUE(messages_.empty());
}

// With no loot at all: the heading, the dashes and rows of zeros.
TEST_F(LootListTest, MissionWithoutLootGivesHeadingDashesAndZeroRows) {
    const auto list = Build(TMissionWriter()
                                .Chunk("BRLIST", ObjectBrushes({10, 11}))
                                .Chunk("P$SymName", chunks::SymNames({{10, "Guard"}})),
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

// Sorted by name in the locale's order, letter case ignored, then by ID; hyphens and
// apostrophes only break ties.
TEST(FormatLootListTest, SortsByNameThenById) {
    // The long names differ only after their sixteenth letter.
    const auto list = FormatLootList(
        {{5, "apple"}, {1, "banana"}, {3, "Apple"}, {4, "APPLE"}, {2, "\xC4pple"}, {11, "Gold-Z"},
         {12, "GoldZ"}, {13, "O'Neil's purse"}, {14, "Oa"}, {15, "GoldA"},
         {16, "Golden chalice of Zeus"}, {17, "golden chalice of Apollo"},
         {10, "GOLDEN CHALICE OF ZEUS"}},
        "x.mis");
    const std::vector<std::int32_t> ids(list.LineIds.begin() + 4, list.LineIds.begin() + 17);
    EXPECT_EQ(ids, (std::vector<std::int32_t>{3, 4, 5, 2, 1, 15, 17, 10, 16, 12, 11, 14, 13}));
}

// Only bits 0 to 7 are special loot; loot in no difficulty at all counts only in the total;
// totals wrap like the 32-bit values.
TEST(FormatLootListTest, NegativeValuesHighSpecialBitsAndNoDifficulty) {
    const TLootListObjInfo sword{7, "Sword", 7, -5, 2, 0, 0x80 | 0x100 | 0x80000000u, {}};
    const TLootListObjInfo ghost{9, "Ghost", 0, 6, 0, 0, 0, {}};
    const auto list = FormatLootList({sword, ghost}, "x.mis");
    const Lines rows = {list.Lines[4], list.Lines[5], list.Lines[7], list.Lines[10]};
    EXPECT_EQ(rows, (Lines{"Ghost (9)     ---        6        6        0        0 ",
                           "Sword (7)     NHE       -3       -5        2        0 S8",
                           "NORMAL                  -3       -5        2        0 S8",
                           "TOTAL                    3        1        2        0 S8"}));
    const auto wrapped = FormatLootList(
        {{1, "A", 7, std::numeric_limits<std::int32_t>::max()}, {2, "B", 7, 1}}, "x");
    EXPECT_EQ(wrapped.Lines[10], "TOTAL          -2147483648 -2147483648        0        0 ");
}

} // namespace
} // namespace kv
