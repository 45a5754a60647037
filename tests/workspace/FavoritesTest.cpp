// A favourite's list columns, the list's sort order and the enabling rules of its actions.
#include "workspace/Favorites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace kv {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TBrushKind Kind(int value) { return static_cast<TBrushKind>(value); }

// ---------------------------------------------------------------------------------------------
// Columns

struct ColumnsCase {
    const char* Name;
    TBrushInfo Info;
    std::array<const char*, 4> Texts; // "Type", "#", "Obj.ID", "Name"
};

class ListColumnTextTest : public ::testing::TestWithParam<ColumnsCase> {};

TEST_P(ListColumnTextTest, ShowsTheFourColumns) {
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(ListColumnText(GetParam().Info, column),
                  GetParam().Texts[static_cast<std::size_t>(column)])
            << "column " << column;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Items, ListColumnTextTest,
    ::testing::Values(
        ColumnsCase{
            "Object", {bkObject, 12, 345, "Guard (345)"}, {"O", "12", "345", "Guard (345)"}},
        ColumnsCase{"ObjectWithoutId", {bkObject, 12, 0, "Guard"}, {"O", "12", "?", "Guard"}},
        ColumnsCase{"ObjectWithArchetypeId", {bkObject, 5, -7, "Guard"}, {"O", "5", "-7", "Guard"}},
        ColumnsCase{"Room", {bkRoom, 3, 7, "Kitchen (7)"}, {"R", "3", "7", "Kitchen (7)"}},
        ColumnsCase{"RoomWithoutId", {bkRoom, 3, 0, "Kitchen"}, {"R", "3", "?", "Kitchen"}},
        ColumnsCase{
            "TerrainHidesItsId", {bkTerrain, 17, 99, "Terrain"}, {"T", "17", "", "Terrain"}},
        ColumnsCase{"Light", {bkLight, 4, 0, "Light"}, {"L", "4", "", "Light"}},
        ColumnsCase{"Area", {bkArea, 8, 3, "Vault"}, {"A", "8", "", "Vault"}},
        ColumnsCase{"Flow", {bkFlow, 9, 0, "Flow"}, {"F", "9", "", "Flow"}},
        ColumnsCase{"NoKind", {bkNone, 0, 0, ""}, {"?", "0", "", ""}},
        ColumnsCase{"KindSeven", {Kind(7), 1, 2, "odd"}, {"?", "1", "", "odd"}},
        ColumnsCase{"KindFromCorruptFile", {Kind(255), -1, 2, "odd"}, {"?", "-1", "", "odd"}},
        ColumnsCase{"ExtremeNumbers",
                    {bkObject, kMin, kMax, "x"},
                    {"O", "-2147483648", "2147483647", "x"}}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(ListColumnTextTest, ColumnsOutsideTheListAreEmpty) {
    const TBrushInfo guard{bkObject, 12, 345, "Guard (345)"};
    EXPECT_EQ(ListColumnText(guard, -1), "");
    EXPECT_EQ(ListColumnText(guard, 4), "");
}

TEST(InitBrushInfoTest, EmptiesEveryField) {
    TBrushInfo info{bkRoom, 3, 7, "Kitchen"};
    InitBrushInfo(info);
    EXPECT_EQ(info, (TBrushInfo{bkNone, 0, 0, ""}));
}

// ---------------------------------------------------------------------------------------------
// Sorting

// Every brush number differs, so each column gives one complete order.
const std::vector<TBrushInfo> kFavourites = {
    {bkObject, 30, 5, "guard"},
    {bkTerrain, 10, 0, "Terrain"},
    {bkObject, 20, 9, "Guard"},
    {bkLight, 40, 0, "Light"},
    {bkRoom, 5, 2, "Eagle"},
    {bkTerrain, 15, 0,
     "\xC9"
     "clair"},
};

struct SortCase {
    const char* Name;
    int Column;
    bool Descending;
    std::vector<std::int32_t> BrushOrder;
};

class CompareFavoritesTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(CompareFavoritesTest, SortsTheListByTheColumn) {
    std::vector<TBrushInfo> rows = kFavourites;
    const int column = GetParam().Column;
    const bool descending = GetParam().Descending;
    std::sort(rows.begin(), rows.end(), [&](const TBrushInfo& a, const TBrushInfo& b) {
        return CompareFavorites(a, b, column, descending) < 0;
    });
    std::vector<std::int32_t> order;
    for (const auto& row : rows) order.push_back(row.BrushNum);
    EXPECT_EQ(order, GetParam().BrushOrder);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, CompareFavoritesTest,
    ::testing::Values(SortCase{"TypeAscending", 0, false, {10, 15, 40, 20, 30, 5}},
                      SortCase{"TypeDescending", 0, true, {5, 30, 20, 40, 15, 10}},
                      SortCase{"UnsortedColumnGoesByType", -1, false, {10, 15, 40, 20, 30, 5}},
                      SortCase{"UnknownColumnGoesByType", 9, false, {10, 15, 40, 20, 30, 5}},
                      SortCase{"NumberAscending", 1, false, {5, 10, 15, 20, 30, 40}},
                      SortCase{"NumberDescending", 1, true, {40, 30, 20, 15, 10, 5}},
                      SortCase{"ObjectIdAscending", 2, false, {10, 15, 40, 5, 30, 20}},
                      SortCase{"ObjectIdDescending", 2, true, {20, 30, 5, 40, 15, 10}},
                      // "guard" and "Guard" tie whatever their case; the brush number decides.
                      SortCase{"NameAscending", 3, false, {5, 15, 20, 30, 40, 10}},
                      SortCase{"NameDescending", 3, true, {10, 40, 30, 20, 15, 5}}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(CompareFavoritesTest, NamesIgnoreHyphensAndApostrophesUntilTheyTie) {
    std::vector<TBrushInfo> rows = {{bkObject, 1, 1, "Guard-Z"}, {bkObject, 2, 2, "O'Neil"},
                                    {bkObject, 3, 3, "co-op"},   {bkObject, 4, 4, "GuardA"},
                                    {bkObject, 5, 5, "Oa"},      {bkObject, 6, 6, "coop"}};
    std::sort(rows.begin(), rows.end(), [](const TBrushInfo& a, const TBrushInfo& b) {
        return CompareFavorites(a, b, 3, false) < 0;
    });
    std::vector<std::string> names;
    for (const auto& row : rows) names.push_back(row.Name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"coop", "co-op", "GuardA", "Guard-Z", "Oa", "O'Neil"}));
}

struct ExtremeCase {
    int Column;
    TBrushInfo Low;
    TBrushInfo High;
};

class CompareExtremesTest : public ::testing::TestWithParam<ExtremeCase> {};

TEST_P(CompareExtremesTest, FarApartNumbersDoNotOverflow) {
    const auto& c = GetParam();
    EXPECT_LT(CompareFavorites(c.Low, c.High, c.Column, false), 0);
    EXPECT_GT(CompareFavorites(c.High, c.Low, c.Column, false), 0);
    EXPECT_GT(CompareFavorites(c.Low, c.High, c.Column, true), 0);
    EXPECT_LT(CompareFavorites(c.High, c.Low, c.Column, true), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, CompareExtremesTest,
    ::testing::Values(ExtremeCase{1, {bkObject, kMin, 0, "a"}, {bkObject, kMax, 0, "a"}},
                      ExtremeCase{1, {bkObject, kMin, 0, "a"}, {bkObject, 1, 0, "a"}},
                      ExtremeCase{1, {bkObject, -1, 0, "a"}, {bkObject, kMax, 0, "a"}},
                      ExtremeCase{2, {bkObject, 0, kMin, "a"}, {bkObject, 0, kMax, "a"}},
                      ExtremeCase{2, {bkObject, 7, kMin, "a"}, {bkObject, 7, 1, "a"}},
                      // Ties on the column fall back to the brush number, also without overflow.
                      ExtremeCase{0, {bkObject, kMin, 0, "a"}, {bkObject, kMax, 0, "a"}},
                      ExtremeCase{2, {bkObject, kMin, 5, "a"}, {bkObject, kMax, 5, "a"}},
                      ExtremeCase{3, {bkObject, kMin, 0, "Guard"}, {bkObject, kMax, 0, "GUARD"}}));

TEST(CompareFavoritesTest, IdenticalItemsCompareEqualInEitherDirection) {
    const TBrushInfo guard{bkObject, 12, 345, "Guard (345)"};
    for (int column = -1; column <= 3; ++column) {
        EXPECT_EQ(CompareFavorites(guard, guard, column, false), 0) << "column " << column;
        EXPECT_EQ(CompareFavorites(guard, guard, column, true), 0) << "column " << column;
    }
}

// ---------------------------------------------------------------------------------------------
// Enabling rules

struct EnablingCase {
    const char* Name;
    TBrushInfo Selected;
    bool ObjectActions;    // properties, links, sources, receptrons
    bool SelectionActions; // select in DromEd, go to, remove
};

class EnablingRulesTest : public ::testing::TestWithParam<EnablingCase> {};

TEST_P(EnablingRulesTest, EnableTheActionsThatCanWork) {
    EXPECT_EQ(NeedsObject(GetParam().Selected), GetParam().ObjectActions);
    EXPECT_EQ(NeedsSelection(GetParam().Selected), GetParam().SelectionActions);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, EnablingRulesTest,
    ::testing::Values(EnablingCase{"NothingSelected", TBrushInfo{}, false, false},
                      EnablingCase{"ObjectWithId", {bkObject, 12, 345, "Guard (345)"}, true, true},
                      EnablingCase{"ObjectWithNegativeId", {bkObject, 12, -3, "Guard"}, true, true},
                      EnablingCase{"ObjectWithoutId", {bkObject, 12, 0, "Guard"}, false, true},
                      EnablingCase{"RoomWithId", {bkRoom, 3, 7, "Kitchen (7)"}, false, true},
                      EnablingCase{"Terrain", {bkTerrain, 17, 0, "Terrain"}, false, true},
                      EnablingCase{"Flow", {bkFlow, 9, 0, "Flow"}, false, true},
                      EnablingCase{"UnknownKindFromFile", {Kind(7), 1, 5, "odd"}, false, true},
                      EnablingCase{"NoKindButNumbers", {bkNone, 12, 345, "x"}, false, false}),
    [](const auto& p) { return std::string(p.param.Name); });

} // namespace
} // namespace kv
