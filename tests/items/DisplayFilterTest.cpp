// Which favourites the display filter lets through, and the label that says what it hides.
#include "items/DisplayFilter.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace kv {
namespace {

TKindSet Bits(std::initializer_list<TBrushKind> kinds) {
    TKindSet set = 0;
    for (const auto kind : kinds) set = static_cast<TKindSet>(set | KindBit(kind));
    return set;
}

TEST(DisplayFilterTest, DecidesByKindAndName) {
    const struct {
        TDisplayFilter Filter;
        int Kind;
        const char* Name;
        bool Passes;
    } cases[] = {{{}, bkRoom, "Hall", true},
                 {{}, bkNone, "x", false},
                 {{}, 7, "x", false},
                 {{Bits({bkTerrain, bkRoom}), ""}, bkObject, "Guard", false},
                 {{0xFF, ""}, bkNone, "x", true},
                 {{0xFF, ""}, 7, "x", true},
                 {{0xFF, ""}, 8, "x", false},
                 {{kAllKinds, "DOOR"}, bkObject, "Wooden door (12)", true},
                 {{kAllKinds, "doors"}, bkObject, "Door", false},
                 {{kAllKinds, "caf\xE9"}, bkArea, "CAF\xC9 CORNER", true},
                 {{kAllKinds, "cafe"}, bkArea, "CAF\xC9", false},
                 {{Bits({bkTerrain}), "door"}, bkObject, "Door", false},
                 {{kAllKinds, "a"}, bkLight, "", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Kind) + " " + c.Name);
        EXPECT_EQ(FilterAccepts(c.Filter, static_cast<TBrushKind>(c.Kind), c.Name), c.Passes);
    }
}

TEST(DisplayFilterTest, LabelSaysWhatIsShownAndHidden) {
    const struct {
        TDisplayFilter Filter;
        const char* Label;
    } cases[] = {{{}, "Filter: Show all"},
                 {{Bits({bkLight, bkArea, bkFlow, bkRoom}), ""}, "Filter: LAFR, hide TO"},
                 {{kAllKinds, "door"}, "Filter: TLAOFR, \"door\" in name"},
                 {{0, "door"}, "Filter: , \"door\" in name, hide TLAOFR"},
                 {{Bits({bkObject}), "Guard"}, "Filter: O, \"Guard\" in name, hide TLAFR"},
                 {{0xFF, ""}, "Filter: Show all"},
                 {{0x81, ""}, "Filter: , hide TLAOFR"}};
    for (const auto& c : cases) EXPECT_EQ(FilterLabelText(c.Filter), c.Label);
}

} // namespace
} // namespace kv
