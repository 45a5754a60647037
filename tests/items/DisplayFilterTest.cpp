// Which favourites the display filter lets through, and the label that says what it hides.
#include "items/DisplayFilter.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

// Kind K is bit K: 0x02 Terrain, 0x04 Light, 0x08 Area, 0x10 Object, 0x20 Flow, 0x40 Room.
TEST(DisplayFilterTest, DecidesByKindAndNameAndItsLabelSaysWhatIsHidden) {
    const struct {
        TDisplayFilter Filter;
        int Kind;
        const char* Name;
        bool Passes;
        const char* Label = nullptr; // not checked when missing
    } cases[] = {
        {{}, bkRoom, "Hall", true, "Filter: Show all"},
        {{}, bkNone, "x", false}, {{}, 7, "x", false}, {{0xFF, ""}, 7, "x", true},
        {{0xFF, ""}, bkNone, "x", true, "Filter: Show all"}, {{0xFF, ""}, 8, "x", false},
        {{0x81, ""}, bkNone, "x", true, "Filter: , hide TLAOFR"},
        {{0x6C, ""}, bkLight, "x", true, "Filter: LAFR, hide TO"},
        {{kAllKinds, "door"}, bkObject, "Big DOOR (12)", true, "Filter: TLAOFR, \"door\" in name"},
        {{0, "door"}, bkObject, "door", false, "Filter: , \"door\" in name, hide TLAOFR"},
        {{0x10, "Guard"}, bkObject, "Guard", true, "Filter: O, \"Guard\" in name, hide TLAFR"},
        {{kAllKinds, "doors"}, bkObject, "Door", false}, {{kAllKinds, "a"}, bkLight, "", false},
        {{kAllKinds, "caf\xE9"}, bkArea, "CAF\xC9 CORNER", true},
        {{kAllKinds, "cafe"}, bkArea, "CAF\xC9", false},
        {{0x02, "door"}, bkObject, "Door", false}, {{0x42, ""}, bkObject, "Guard", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Kind) + " " + c.Name);
        EXPECT_EQ(FilterAccepts(c.Filter, static_cast<TBrushKind>(c.Kind), c.Name), c.Passes);
        if (c.Label != nullptr) { EXPECT_EQ(FilterLabelText(c.Filter), c.Label); }
    }
}

} // namespace
} // namespace kv
