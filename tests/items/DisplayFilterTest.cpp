// Which favourites the display filter lets through, and the label that says what it hides.
#include "items/DisplayFilter.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace kv {
namespace {

TBrushKind Kind(int value) { return static_cast<TBrushKind>(value); }

TKindSet Bits(std::initializer_list<TBrushKind> kinds) {
    TKindSet set = 0;
    for (const auto kind : kinds) set = static_cast<TKindSet>(set | KindBit(kind));
    return set;
}

struct AcceptCase {
    const char* Name;
    TDisplayFilter Filter;
    TBrushKind ItemKind;
    const char* ItemName;
    bool Passes;
};

class FilterAcceptsTest : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(FilterAcceptsTest, DecidesByKindAndName) {
    const auto& c = GetParam();
    EXPECT_EQ(FilterAccepts(c.Filter, c.ItemKind, c.ItemName), c.Passes);
}

const TKindSet kEverything = 0xFF;

INSTANTIATE_TEST_SUITE_P(
    Items, FilterAcceptsTest,
    ::testing::Values(
        AcceptCase{"DefaultPassesTerrain", {}, bkTerrain, "Terrain", true},
        AcceptCase{"DefaultPassesRoom", {}, bkRoom, "Hall", true},
        AcceptCase{"DefaultRejectsNoKind", {}, bkNone, "x", false},
        AcceptCase{"DefaultRejectsKindSeven", {}, Kind(7), "x", false},
        AcceptCase{"HiddenKind", {Bits({bkTerrain, bkRoom}), ""}, bkObject, "Guard", false},
        AcceptCase{"ShownKind", {Bits({bkTerrain, bkRoom}), ""}, bkRoom, "Hall", true},
        AcceptCase{"NoKindsPassNothing", {0, ""}, bkObject, "Guard", false},
        AcceptCase{"KindZeroWithItsBit", {kEverything, ""}, bkNone, "x", true},
        AcceptCase{"KindSevenWithItsBit", {kEverything, ""}, Kind(7), "x", true},
        AcceptCase{"KindEightNeverPasses", {kEverything, ""}, Kind(8), "x", false},
        AcceptCase{"KindNinetyNeverPasses", {kEverything, ""}, Kind(90), "x", false},
        AcceptCase{"Kind255NeverPasses", {kEverything, ""}, Kind(255), "x", false},
        AcceptCase{
            "NameFilterUpperMatchesLower", {kAllKinds, "DOOR"}, bkObject, "Wooden door (12)", true},
        AcceptCase{"NameFilterWholeName", {kAllKinds, "DOOR"}, bkObject, "Door", true},
        AcceptCase{"NameFilterLowerMatchesUpper", {kAllKinds, "door"}, bkObject, "DOOR", true},
        AcceptCase{"NameFilterMisses", {kAllKinds, "door"}, bkObject, "Guard (345)", false},
        AcceptCase{"NameFilterLongerThanName", {kAllKinds, "doors"}, bkObject, "Door", false},
        AcceptCase{"NameFilterAccented", {kAllKinds, "caf\xE9"}, bkArea, "CAF\xC9 CORNER", true},
        AcceptCase{"NameFilterAccentMatters", {kAllKinds, "cafe"}, bkArea, "CAF\xC9", false},
        AcceptCase{"NameFilterOnHiddenKind", {Bits({bkTerrain}), "door"}, bkObject, "Door", false},
        AcceptCase{"EmptyFilterPassesEmptyName", {kAllKinds, ""}, bkLight, "", true},
        AcceptCase{"NameFilterRejectsEmptyName", {kAllKinds, "a"}, bkLight, "", false}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(FilterAcceptsTest, DefaultFilterPassesExactlyTheSixKinds) {
    const TDisplayFilter filter;
    for (int kind = 0; kind < 256; ++kind) {
        EXPECT_EQ(FilterAccepts(filter, Kind(kind), "any name"), kind >= 1 && kind <= 6)
            << "kind " << kind;
    }
}

TEST(FilterAcceptsTest, KindsAboveSevenNeverPassEvenWithEveryBit) {
    const TDisplayFilter filter{kEverything, ""};
    for (int kind = 0; kind < 256; ++kind) {
        EXPECT_EQ(FilterAccepts(filter, Kind(kind), "x"), kind <= 7) << "kind " << kind;
    }
}

struct LabelCase {
    const char* Name;
    TDisplayFilter Filter;
    const char* Label;
};

class FilterLabelTextTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(FilterLabelTextTest, SaysWhatIsShownAndHidden) {
    EXPECT_EQ(FilterLabelText(GetParam().Filter), GetParam().Label);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterLabelTextTest,
    ::testing::Values(
        LabelCase{"ShowAll", {}, "Filter: Show all"},
        LabelCase{"TerrainAndObjectHidden",
                  {Bits({bkLight, bkArea, bkFlow, bkRoom}), ""},
                  "Filter: LAFR, hide TO"},
        LabelCase{
            "NameFilterIsNotShowAll", {kAllKinds, "door"}, "Filter: TLAOFR, \"door\" in name"},
        LabelCase{"NoKindAtAll", {0, ""}, "Filter: , hide TLAOFR"},
        LabelCase{"NoKindWithName", {0, "door"}, "Filter: , \"door\" in name, hide TLAOFR"},
        LabelCase{"OneKindWithName",
                  {Bits({bkObject}), "Guard"},
                  "Filter: O, \"Guard\" in name, hide TLAFR"},
        LabelCase{"BitsOutsideTheSixKindsIgnored", {0xFF, ""}, "Filter: Show all"},
        LabelCase{"OnlyOutsideBits", {0x81, ""}, "Filter: , hide TLAOFR"},
        LabelCase{"NameKeptAsTyped",
                  {kAllKinds, "caf\xE9 \"x\""},
                  "Filter: TLAOFR, \"caf\xE9 \"x\"\" in name"}),
    [](const auto& p) { return std::string(p.param.Name); });

} // namespace
} // namespace kv
