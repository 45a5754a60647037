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

TEST(FavoritesTest, ListColumns) {
    const struct {
        TBrushInfo Info;
        std::array<const char*, 6> Texts; // columns -1 to 4: "Type", "#", "Obj.ID", "Name"
    } cases[] = {
        {{bkObject, 12, 345, "Guard (345)"}, {"", "O", "12", "345", "Guard (345)", ""}},
        {{bkObject, 12, 0, "Guard"}, {"", "O", "12", "?", "Guard", ""}},
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

TEST(FavoritesTest, EnableTheActionsThatCanWork) {
    const struct {
        TBrushInfo Selected;
        bool ObjectActions;    // properties, links, sources, receptrons
        bool SelectionActions; // select in DromEd, go to, remove
    } cases[] = {{TBrushInfo{}, false, false},
                 {{bkObject, 12, -3, "Guard"}, true, true},
                 {{bkObject, 12, 0, "Guard"}, false, true},
                 {{bkRoom, 3, 7, "Kitchen (7)"}, false, true},
                 {{bkNone, 12, 345, "x"}, false, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(NeedsObject(c.Selected), c.ObjectActions) << c.Selected.Name;
        EXPECT_EQ(NeedsSelection(c.Selected), c.SelectionActions) << c.Selected.Name;
    }
}

} // namespace
} // namespace kv
