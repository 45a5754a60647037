// A favourite's list columns, the list's sort order, and the favourites file: its exact bytes,
// reading lists out of surrounding text, and save order.
#include "workspace/Favorites.h"
#include "workspace/FavoritesFile.h"

#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace kv {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(FavoritesTest, ListColumns) {
    const struct {
        TBrushInfo Info;
        std::array<const char*, 6> Texts; // columns -1 to 4: "Type", "#", "Obj.ID", "Name"
    } cases[] = {
        {{bkArea, 8, 3, "Vault"}, {"", "A", "8", "", "Vault", ""}},
        {{static_cast<TBrushKind>(255), -1, 2, "odd"}, {"", "?", "-1", "", "odd", ""}},
        {{bkObject, kMin, kMax, "x"}, {"", "O", "-2147483648", "2147483647", "x", ""}},
    };
    for (const auto& c : cases) {
        for (int column = -1; column <= 4; ++column) {
            EXPECT_EQ(ListColumnText(c.Info, column), c.Texts[std::size_t(column + 1)])
                << c.Info.Name << " column " << column;
        }
    }
}

// The orders of the other columns are pinned by the main window's header clicks.
TEST(FavoritesTest, NamesIgnoreCaseAccentsAndAtFirstHyphensAndApostrophes) {
    const std::string eclair = "\xC9" + std::string("clair");
    const std::vector<std::string> sorted = {"coop",   "co-op",   "eagle", eclair,  "Ezra",
                                             "GuardA", "Guard-Z", "Oa",    "O'Neil"};
    std::vector<TBrushInfo> rows;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        rows.push_back({bkObject, std::int32_t(i), 1, sorted[(i * 4) % sorted.size()]});
    }
    std::sort(rows.begin(), rows.end(), [](const TBrushInfo& a, const TBrushInfo& b) {
        return CompareFavorites(a, b, 3, true) > 0;
    });
    std::vector<std::string> names;
    for (const auto& row : rows) names.push_back(row.Name);
    EXPECT_EQ(names, sorted);
}

TEST(FavoritesTest, FarApartNumbersDoNotOverflow) {
    const struct {
        int Column;
        TBrushInfo Low, High;
    } cases[] = {{1, {bkObject, kMin, 0, "a"}, {bkObject, kMax, 0, "a"}},
                 {2, {bkObject, 7, kMin, "a"}, {bkObject, 7, 1, "a"}},
                 // Ties on the column fall back to the brush number, also without overflow.
                 {3, {bkObject, kMin, 0, "Guard"}, {bkObject, kMax, 0, "GUARD"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Column);
        EXPECT_LT(CompareFavorites(c.Low, c.High, c.Column, false), 0);
        EXPECT_GT(CompareFavorites(c.High, c.Low, c.Column, false), 0);
        EXPECT_GT(CompareFavorites(c.Low, c.High, c.Column, true), 0);
        EXPECT_EQ(CompareFavorites(c.High, c.High, c.Column, true), 0);
    }
}

using Lines = std::vector<std::string>;
using Items = std::vector<TBrushInfo>;

const TBrushInfo kTerrain{bkTerrain, 17, 0, "Terrain"};
const TBrushInfo kGuard{bkObject, 12, 345, "Guard (345)"};
const TBrushInfo kLight{bkLight, 3, 0, "Light"};
const TBrushInfo kHall{bkRoom, 40, 9, "Hall {north}"};

const std::string kTerrainLine = "1{1}2{17}1{0}7{Terrain}";
const std::string kGuardLine = "1{4}2{12}3{345}11{Guard (345)}";
const std::string kLightLine = "1{2}1{3}1{0}5{Light}";

std::vector<const TBrushInfo*> Pointers(const Items& items) {
    std::vector<const TBrushInfo*> pointers;
    for (const auto& item : items) pointers.push_back(&item);
    return pointers;
}

TEST(FavoritesFileTest, WrittenFileReadsBackWithNamesOnOneLine) {
    EXPECT_EQ(FormatFavoritesFile({}), "*FAVLIST\r\n~FAVLIST\r\n");
    std::string highBytes;
    for (unsigned b = 0x80; b <= 0xFF; ++b) highBytes += static_cast<char>(b);
    Items items = {kTerrain,
                   kGuard,
                   kHall,
                   {bkArea, -1, 0, ""},
                   {bkFlow, 2147483647, -2147483647 - 1, highBytes},
                   {bkObject, 3, 9, "Two\r\nlines\rand\nmore"},
                   kGuard};
    const TFavoritesParse parsed =
        ParseFavoritesLines(SplitTextLines(FormatFavoritesFile(Pointers(items))));
    EXPECT_EQ(parsed.Error, "");
    items[5].Name = "Two  lines and more";
    EXPECT_EQ(parsed.Items, items);
}

// What a read keeps, where it stops and what it says then for the file "level1.kvf", and whether
// the lines held a favourites list at all.
TEST(FavoritesFileTest, ReadsTheItemsBetweenTheMarkers) {
    const std::string kStringError = "Invalid encoded string in line ";
    const struct {
        Lines FileLines;
        Items Expected;
        std::string Message; // empty when nothing failed
        bool HasList = true;
    } cases[] = {
        {{"LG\x01\x02", "1{4}2{12}3{345}1{x}"}, {}, "", false},
        {{"*favlist", kGuardLine, "~FAVLIST"}, {}, "", false},
        {{"*FAVLIST", "~FAVLIST"}, {}, ""},
        {{"*FAVLIST", kGuardLine, "~FAVLIST", "between", kGuardLine, "*FAVLIST", kTerrainLine,
          kLightLine, "~FAVLIST", "x{y}"},
         {kGuard, kTerrain, kLight},
         ""},
        {{"*FAVLIST", kGuardLine, kLightLine}, {kGuard, kLight}, ""}, // no end marker
        {{"*FAVLIST", kGuardLine, "~Favlist", kLightLine, "~FAVLIST"},
         {kGuard},
         kStringError + "3 of \"level1.kvf\": ~Favlist"},
        {{"notes", "*FAVLIST", kTerrainLine, "", kLightLine, "~FAVLIST"},
         {kTerrain},
         kStringError + "4 of \"level1.kvf\""},
        {{"*FAVLIST", kGuardLine, "1{4}2{1x}1{0}0{}", kLightLine, "~FAVLIST"},
         {kGuard},
         "Invalid encoded integer in line 3 of \"level1.kvf\": 1{4}2{1x}1{0}0{}"},
        // An error stops the read, even of later lists.
        {{"*FAVLIST", "broken", "~FAVLIST", "*FAVLIST", kGuardLine, "~FAVLIST"},
         {},
         kStringError + "2 of \"level1.kvf\": broken"},
        {{"*FAVLIST", std::string(60, 'x')},
         {},
         kStringError + "2 of \"level1.kvf\": " + std::string(60, 'x')},
        {{"*FAVLIST", std::string(61, 'x')}, {}, kStringError + "2 of \"level1.kvf\""},
        {{"~FAVLIST", "*FAVLIST", kGuardLine, kLightLine, "\x1B[2J"},
         {kGuard, kLight},
         kStringError + "5 of \"level1.kvf\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.FileLines.back());
        const TFavoritesParse parsed = ParseFavoritesLines(c.FileLines);
        EXPECT_EQ(parsed.Items, c.Expected);
        EXPECT_EQ(parsed.HasList, c.HasList);
        EXPECT_EQ(c.Message.empty() ? parsed.Error : FavoritesErrorMessage(parsed, "level1.kvf"),
                  c.Message);
    }
}

TEST(FavoritesFileTest, SaveOrderShownRowsFirstThenHiddenInListOrderEvenWhenEqual) {
    // Identical records are distinct favourites: a save must not merge them.
    TFavoriteList all;
    for (int i = 0; i < 4; ++i) all.push_back(std::make_unique<TBrushInfo>(kGuard));
    const auto order = FavoritesInSaveOrder({all[3].get(), all[1].get()}, all);
    EXPECT_EQ(order, (std::vector<const TBrushInfo*>{all[3].get(), all[1].get(), all[0].get(),
                                                     all[2].get()}));
}

} // namespace
} // namespace kv
