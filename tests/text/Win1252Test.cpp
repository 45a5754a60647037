// Windows-1252 case mapping, comparison in locale order and conversion to and from UTF-8.
#include "text/Win1252.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace kv {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

TEST(Win1252CaseTest, MapsLettersBothWaysAndLeavesTheRest) {
    // Lower and upper case of each letter, from the code page's chart; then characters that
    // stay themselves: division and multiplication signs, sharp s, micro sign, ordinals, euro
    // and the symbols beside the ASCII letters.
    const unsigned pairs[][2] = {
        {'a', 'A'},   {'z', 'Z'},   {0xE9, 0xC9}, {0xE0, 0xC0}, {0xFE, 0xDE}, {0xF0, 0xD0},
        {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9E, 0x8E}, {0xFF, 0x9F}, {0xF7, 0xF7}, {0xD7, 0xD7},
        {0xDF, 0xDF}, {0xB5, 0xB5}, {0xAA, 0xAA}, {0x80, 0x80}, {0, 0},       {'@', '@'},
        {'[', '['},   {'`', '`'},   {'{', '{'}};
    for (const auto& [lower, upper] : pairs) {
        SCOPED_TRACE(lower);
        EXPECT_EQ(AnsiUpperChar(static_cast<char>(lower)), static_cast<char>(upper));
        EXPECT_EQ(AnsiLowerChar(static_cast<char>(upper)), static_cast<char>(lower));
        EXPECT_EQ(AnsiUpperChar(static_cast<char>(upper)), static_cast<char>(upper));
    }
    EXPECT_EQ(AnsiUpperCase("Caf\xE9 \xFF\x9A stra\337e 1!"), "CAF\xC9 \x9F\x8A STRA\337E 1!");
    EXPECT_EQ(AnsiLowerCase("CAF\xC9 \x9F\x8A \xD7"), "caf\xE9 \xFF\x9A \xD7");
    EXPECT_EQ(AnsiUpperCase("a\0b"sv), "A\0B"s);
}

// Each entry sorts strictly before the next one: symbols, digits, letters; accented letters
// beside their base letter; hyphens and apostrophes only break ties.
const std::vector<std::string> kAscending = {
    "",          " space", "!bang",  "(345)",     "~tilde",     "0",     "10",
    "9",         "a",      "B",      "co-op",     "Co-Op (12)", "cop",   "Door",
    "doors",     "Eagle",  "Eclair", "\311clair", "eclairs",    "Guard", "guard-",
    "Guard (1)", "GuardA", "GuardZ", "Guard-Z",   "GuardZa",    "Oa",    "O'Neil",
    "Oz",        "\212ip", "Sz",     "Zebra",     "\216ebra"};

TEST(Win1252CompareTest, OrdersTheTableAndComparesStartsAndContainsIgnoringLetterCase) {
    for (std::size_t i = 0; i < kAscending.size(); ++i) {
        for (std::size_t j = i + 1; j < kAscending.size(); ++j) {
            SCOPED_TRACE('"' + kAscending[i] + "\" before \"" + kAscending[j] + '"');
            EXPECT_LT(AnsiCompareText(kAscending[i], kAscending[j]), 0);
            EXPECT_GT(AnsiCompareText(kAscending[j], kAscending[i]), 0);
        }
    }
    const std::pair<std::string, std::string> same[] = {
        {"", ""}, {"Guard (345)", "gUARD (345)"}, {"\311clair", "\351CLAIR"}, {"\xFF", "\x9F"},
        {"\234uvre", "\214UVRE"}};
    for (const auto& [a, b] : same) {
        EXPECT_EQ(AnsiCompareText(a, b), 0) << a;
        EXPECT_TRUE(AnsiSameText(b, a)) << a;
    }
    EXPECT_FALSE(AnsiSameText("coop", "co-op"));
    EXPECT_FALSE(AnsiSameText("Eclair", "\311clair"));
    // Starting with and containing a text ignore letter case too.
    const struct {
        const char *Part, *Whole;
        bool Starts, Contains;
    } cases[] = {{"GU", "guard post (12)", true, true},  {"", "", true, true},
                 {"\xE9", "\311clair", true, true},       {"Guardian", "Guard", false, false},
                 {"ua", "Guard", false, true},            {"e", "\311clair", false, false},
                 {"DOOR", "Wooden door (12)", false, true}, {"a", "", false, false},
                 {"doors", "door", false, false},         {"\xE9", "CAF\xC9", false, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiStartsText(c.Part, c.Whole), c.Starts) << c.Part << " in " << c.Whole;
        EXPECT_EQ(AnsiContainsText(c.Whole, c.Part), c.Contains) << c.Part << " in " << c.Whole;
    }
}

TEST(Win1252Utf8Test, ConvertsBothWaysAndMarksWhatCannotBeConverted) {
    // Euro sign, e acute, y and capital Y diaeresis, trade mark; an undefined byte stays itself.
    const std::pair<std::string, std::string> cases[] = {
        {"Guard (345)", "Guard (345)"}, {"\x80", "\xE2\x82\xAC"}, {"\xE9", "\xC3\xA9"},
        {"\xFF", "\xC3\xBF"}, {"\x9F", "\xC5\xB8"}, {"\x99", "\xE2\x84\xA2"}, {"\x81", "\xC2\x81"},
        {"a\0b"s, "a\0b"s}};
    for (const auto& [win, utf8] : cases) {
        EXPECT_EQ(Win1252ToUtf8(win), utf8) << utf8;
        EXPECT_EQ(Utf8ToWin1252(utf8), win) << utf8;
    }
    std::string all;
    for (unsigned b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToWin1252(Win1252ToUtf8(all)), all);
    // Outside the code page (A macron, C1 control, CJK ideograph, emoji) or broken (a lone
    // continuation byte, a lead byte before ASCII, a byte UTF-8 never uses): question marks.
    const std::pair<std::string, std::string> broken[] = {
        {"\xC4\x80", "?"}, {"\xC2\x80", "?"}, {"a\xE6\x97\xA5z", "a?z"},
        {"\xF0\x9F\x98\x80!", "?!"}, {"a\x80z", "a?z"}, {"\303A", "?A"}, {"a\xFFz", "a?z"}};
    for (const auto& [utf8, expected] : broken) EXPECT_EQ(Utf8ToWin1252(utf8), expected) << utf8;
    // Truncated, overlong and surrogate sequences never yield another character.
    for (const std::string& bad : {"\xE2\x82"s, "\xF0\x9F\x98"s, "\xC0\x80"s, "\xC1\x81"s,
                                   "\xE0\x82\xA9"s, "\xF0\x80\x80\xC1"s, "\xED\xA0\x80"s}) {
        const std::string converted = Utf8ToWin1252(bad); // one question mark or more
        EXPECT_EQ(converted, std::string(converted.empty() ? 1 : converted.size(), '?'));
    }
}

} // namespace
} // namespace kv
