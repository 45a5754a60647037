// Turning a mission's brushes into favourites: names for unnamed brushes, the import filter,
// brush numbers, the sanity check on the side and the loot-import mode.
#include "mission/MissionImport.h"

#include "support/MissionWriter.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kv {
namespace {

using test::TBrushRec;
using test::TMissionWriter;
namespace chunks = test::chunks;
using Favorites = std::vector<TBrushInfo>;

// Single brushes

TEST(ImportBrushTest, LootModeTakesOnlyObjectsOfTheList) {
    TLootList loot;
    loot.Lines = {"File: x.mis", "Coin (5)  ...", "Coin (5) is contained by Chest (6)"};
    loot.LineIds = {0, 5, 6};
    TImportOptions options;
    options.Loot = &loot;
    options.Filter.Kinds = 0; // ignored in loot mode
    TBrushInfo favorite;
    EXPECT_TRUE(ImportBrush(options, bkObject, 1, 5, "Coin (5)", favorite));
    EXPECT_EQ(favorite, (TBrushInfo{bkObject, 1, 5, "Coin (5)"}));
    EXPECT_TRUE(ImportBrush(options, bkObject, 2, 6, "", favorite));
    EXPECT_EQ(favorite, (TBrushInfo{bkObject, 2, 6, "Object"}));
    EXPECT_FALSE(ImportBrush(options, bkObject, 3, 0, "Nothing", favorite) ||
                 ImportBrush(options, bkRoom, 4, 5, "Room (5)", favorite) ||
                 ImportBrush(options, bkObject, 5, 7, "Guard (7)", favorite));
}

// Whole missions

class MissionImportTest : public ::testing::Test {
protected:
    Favorites Import(const TMissionWriter& mission, const TImportOptions& options = {}) {
        const auto file = folder_ / "import.mis";
        test::SaveBytes(file, mission.Bytes());
        Favorites favorites;
        ImportMission(file, options,
                      [&favorites](const TBrushInfo& info) { favorites.push_back(info); });
        return favorites;
    }

    test::ScratchFolder folder_;
};

TMissionWriter EveryKindUnnamed() {
    TMissionWriter w;
    w.Chunk("BRLIST", chunks::Brushes({{11, 99, 127, 4}, {12, 30, 255, 0}, {13, 0, 254, 0},
                                       {14, 0, 253, 0}, {15, 0, 252, 0}, {15, 0, 251, 0},
                                       {17, 0, 300, 0}, {18, 0, -1, 0}}));
    return w;
}

// Unnamed brushes are named after their kind (media 0 to 127 are terrain, which has no object);
// the default filter leaves out unknown kinds; two brushes of one ID are both imported.
TEST_F(MissionImportTest, UnnamedBrushesAreNamedAfterTheirKind) {
    TImportOptions options;
    options.Filter.Kinds = 0xFF;
    Favorites expected = {{bkTerrain, 1, 0, "Terrain"}, {bkLight, 2, 30, "Light"},
                          {bkArea, 3, 0, "Area"},       {bkObject, 4, 0, "Object"},
                          {bkFlow, 5, 0, "Flow"},       {bkRoom, 6, 0, "Room"},
                          {bkNone, 7, 0, "???"},        {bkNone, 8, 0, "???"}};
    EXPECT_EQ(Import(EveryKindUnnamed(), options), expected);
    expected.resize(6);
    const std::int32_t ids[] = {11, 12, 13, 14, 15, 15};
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i].BrushNum = ids[i];
    options = {};
    options.UseBrushIDs = true;
    EXPECT_EQ(Import(EveryKindUnnamed(), options), expected);
}

TEST_F(MissionImportTest, TerrainIsNamedAfterItsMedia) {
    std::vector<TBrushRec> brushes;
    for (std::int16_t media = 0; media < 10; ++media) brushes.push_back({1, 0, media, 0});
    std::string names;
    for (const auto& b : Import(TMissionWriter().Chunk("BRLIST", chunks::Brushes(brushes))))
        names += b.Name + ",";
    EXPECT_EQ(names, "Solid,Air,Water,Flood,Evaporate,Solid->Water,Solid->Air,Air->Solid,"
                     "Water->Solid,Blockable,");
}

TMissionWriter NamedMission() {
    TMissionWriter w;
    w.Chunk("BRLIST", chunks::Brushes({{21, 0, 0, 6}, {22, 0, 5, 6}, {23, 7, 254, 0},
                                       {24, 42, 253, 0}, {25, 43, 253, 0}, {26, 44, 253, 0},
                                       {27, 0, 255, 0}, {28, 50, 253, 0}, {29, 60, 251, 0}}))
        .Chunk("P$SymName", chunks::SymNames({{42, "Wooden Door"}, {60, "Hall"}}))
        .Chunk("OBJ_MAP", chunks::NameRecords({{50, "door"}, {-5, "guard"}, {-6, "Apple"}}))
        .Chunk("HotRegions", chunks::NameRecords({{23, "Door Hall"}}))
        .Chunk("L$MetaProp", chunks::Links({{1, 43, -6, 1}, {2, 44, -5, 1}}))
        .Chunk("LD$MetaProp",
               chunks::LinkData(4, {{1, test::I32Bytes(0)}, {2, test::I32Bytes(0)}}));
    return w;
}

TEST_F(MissionImportTest, BrushesKeepTheNamesTheMissionGivesThem) {
    const Favorites expected = {
        {bkTerrain, 1, 0, "Solid"},         {bkTerrain, 2, 0, "Solid->Water"},
        {bkArea, 3, 7, "Door Hall (7)"},    {bkObject, 4, 42, "Wooden Door (42)"},
        {bkObject, 5, 43, "An Apple (43)"}, {bkObject, 6, 44, "A guard (44)"},
        {bkLight, 7, 0, "Light"},           {bkObject, 8, 50, "door (50)"},
        {bkRoom, 9, 60, "Hall (60)"}};
    EXPECT_EQ(Import(NamedMission()), expected);
}

} // namespace
} // namespace kv
