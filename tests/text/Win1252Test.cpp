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

char Ch(unsigned value) { return static_cast<char>(value); }
int Sign(int v) { return (v > 0) - (v < 0); }

std::string Hex(std::string_view s) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 15];
        out += ' ';
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Case mapping

struct CasePair {
    unsigned Lower;
    unsigned Upper;
};

class CasePairTest : public ::testing::TestWithParam<CasePair> {};

TEST_P(CasePairTest, MapsBothWays) {
    const char lower = Ch(GetParam().Lower);
    const char upper = Ch(GetParam().Upper);
    EXPECT_EQ(AnsiUpperChar(lower), upper);
    EXPECT_EQ(AnsiLowerChar(upper), lower);
    EXPECT_EQ(AnsiUpperChar(upper), upper);
    EXPECT_EQ(AnsiLowerChar(lower), lower);
}

INSTANTIATE_TEST_SUITE_P(Letters, CasePairTest,
                         ::testing::Values(CasePair{'a', 'A'}, CasePair{'z', 'Z'},
                                           CasePair{0xE9, 0xC9},   // e acute
                                           CasePair{0xE0, 0xC0},   // a grave
                                           CasePair{0xF1, 0xD1},   // n tilde
                                           CasePair{0xF8, 0xD8},   // o stroke
                                           CasePair{0xFE, 0xDE},   // thorn
                                           CasePair{0xF0, 0xD0},   // eth
                                           CasePair{0x9A, 0x8A},   // s caron
                                           CasePair{0x9C, 0x8C},   // oe
                                           CasePair{0x9E, 0x8E},   // z caron
                                           CasePair{0xFF, 0x9F})); // y diaeresis

class CaselessByteTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(CaselessByteTest, StaysUnchanged) {
    const char c = Ch(GetParam());
    EXPECT_EQ(AnsiUpperChar(c), c);
    EXPECT_EQ(AnsiLowerChar(c), c);
}

INSTANTIATE_TEST_SUITE_P(NotLetters, CaselessByteTest,
                         ::testing::Values(0xF7u, // division sign
                                           0xD7u, // multiplication sign
                                           0xDFu, // sharp s has no capital here
                                           0xB5u, // micro sign
                                           0xAAu, 0xBAu, 0x80u, 0x00u, unsigned{'0'}, unsigned{'9'},
                                           unsigned{'@'}, unsigned{'['}, unsigned{'`'},
                                           unsigned{'{'}, unsigned{' '}));

TEST(CaseMappingTest, EveryByteRoundTripsThroughItsOtherCase) {
    for (unsigned b = 0; b < 256; ++b) {
        const char c = Ch(b);
        const char upper = AnsiUpperChar(c);
        const char lower = AnsiLowerChar(c);
        if (upper != c) {
            EXPECT_EQ(AnsiLowerChar(upper), c) << "byte " << b;
        }
        if (lower != c) {
            EXPECT_EQ(AnsiUpperChar(lower), c) << "byte " << b;
        }
        EXPECT_TRUE(upper == c || lower == c) << "byte " << b << " maps both ways";
    }
}

TEST(CaseMappingTest, WholeStrings) {
    EXPECT_EQ(AnsiUpperCase("Caf\xE9 \xFF\x9A stra\xDF"
                            "e 1!"),
              "CAF\xC9 \x9F\x8A STRA\xDF"
              "E 1!");
    EXPECT_EQ(AnsiLowerCase("CAF\xC9 \x9F\x8A \xD7"), "caf\xE9 \xFF\x9A \xD7");
    EXPECT_EQ(AnsiUpperCase(""), "");
    EXPECT_EQ(AnsiUpperCase("a\0b"sv), "A\0B"s);
}

// ---------------------------------------------------------------------------------------------
// Comparison

// Each entry sorts strictly before the next one.
const std::vector<std::string> kAscending = {
    "",
    " space",
    "!bang",
    "(345)",
    "~tilde",
    "0",
    "10",
    "9",
    "a",
    "B",
    "Door",
    "doors",
    "Eagle",
    "Eclair",
    "\xC9"
    "clair", // accented letters follow the same letters unaccented
    "eclairs",
    "Fish",
    "guard",
    "Guard (345)",
    "\x8A"
    "ip", // S caron sorts among the S
    "Sz",
    "Zebra",
    "\x8E"
    "ebra",
};

TEST(AnsiCompareTextTest, OrdersSymbolsDigitsLettersWithAccentsBesideBaseLetter) {
    for (std::size_t i = 0; i + 1 < kAscending.size(); ++i) {
        const std::string& a = kAscending[i];
        const std::string& b = kAscending[i + 1];
        EXPECT_LT(AnsiCompareText(a, b), 0) << '"' << a << "\" before \"" << b << '"';
        EXPECT_GT(AnsiCompareText(b, a), 0) << '"' << b << "\" after \"" << a << '"';
    }
}

TEST(AnsiCompareTextTest, OrderIsTransitiveOverTheWholeTable) {
    for (std::size_t i = 0; i < kAscending.size(); ++i) {
        for (std::size_t j = i + 1; j < kAscending.size(); ++j) {
            EXPECT_LT(AnsiCompareText(kAscending[i], kAscending[j]), 0)
                << '"' << kAscending[i] << "\" vs \"" << kAscending[j] << '"';
        }
    }
}

// Hyphens and apostrophes weigh nothing until everything else is equal: then the text
// without them goes first.
const std::vector<std::vector<std::string>> kAscendingWithHyphens = {
    {"GuardA", "GuardZ", "Guard-Z", "GuardZa"},        {"Oa", "O'Neil", "Oz"},
    {"coop", "co-op", "Co-Op (12)", "cop"}, {"ab", "a-b", "a'b", "ab-"},
    {"Guard", "guard-", "Guard (1)"},
};

TEST(AnsiCompareTextTest, HyphenAndApostropheOnlyBreakTies) {
    for (const auto& order : kAscendingWithHyphens) {
        for (std::size_t i = 0; i < order.size(); ++i) {
            for (std::size_t j = i + 1; j < order.size(); ++j) {
                EXPECT_LT(AnsiCompareText(order[i], order[j]), 0)
                    << '"' << order[i] << "\" before \"" << order[j] << '"';
                EXPECT_GT(AnsiCompareText(order[j], order[i]), 0)
                    << '"' << order[j] << "\" after \"" << order[i] << '"';
            }
        }
    }
    EXPECT_FALSE(AnsiSameText("coop", "co-op"));
}

struct SameTextCase {
    std::string A;
    std::string B;
};

class SameTextTest : public ::testing::TestWithParam<SameTextCase> {};

TEST_P(SameTextTest, LetterCaseNeverDecides) {
    EXPECT_EQ(AnsiCompareText(GetParam().A, GetParam().B), 0);
    EXPECT_EQ(AnsiCompareText(GetParam().B, GetParam().A), 0);
    EXPECT_TRUE(AnsiSameText(GetParam().A, GetParam().B));
}

INSTANTIATE_TEST_SUITE_P(Pairs, SameTextTest,
                         ::testing::Values(SameTextCase{"", ""}, SameTextCase{"abc", "ABC"},
                                           SameTextCase{"Guard (345)", "gUARD (345)"},
                                           SameTextCase{"\xC9"
                                                        "clair",
                                                        "\xE9"
                                                        "CLAIR"},
                                           SameTextCase{"\xFF", "\x9F"},
                                           SameTextCase{"\x9C"
                                                        "uvre",
                                                        "\x8C"
                                                        "UVRE"}));

TEST(AnsiCompareTextTest, DifferentTextsNeverCompareEqual) {
    EXPECT_NE(AnsiCompareText("Eclair", "\xC9"
                                        "clair"),
              0);
    EXPECT_FALSE(AnsiSameText("Eclair", "\xC9"
                                        "clair"));
    EXPECT_FALSE(AnsiSameText("door", "doors"));
}

TEST(AnsiCompareTextTest, SingleBytesCompareAntisymmetricallyAndEqualOnlyWhenSameText) {
    for (unsigned a = 0; a < 256; ++a) {
        for (unsigned b = 0; b < 256; ++b) {
            const std::string sa(1, Ch(a));
            const std::string sb(1, Ch(b));
            const int ab = AnsiCompareText(sa, sb);
            ASSERT_EQ(Sign(ab), -Sign(AnsiCompareText(sb, sa))) << a << " vs " << b;
            ASSERT_EQ(ab == 0, AnsiSameText(sa, sb)) << a << " vs " << b;
        }
    }
}

struct AffixCase {
    const char* Part;
    const char* Text;
    bool Expected;
};

class AnsiStartsTextTest : public ::testing::TestWithParam<AffixCase> {};

TEST_P(AnsiStartsTextTest, ComparesThePrefixIgnoringCase) {
    EXPECT_EQ(AnsiStartsText(GetParam().Part, GetParam().Text), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, AnsiStartsTextTest,
                         ::testing::Values(AffixCase{"gu", "Guard (345)", true},
                                           AffixCase{"GU", "guard post (12)", true},
                                           AffixCase{"", "anything", true}, AffixCase{"", "", true},
                                           AffixCase{"Guard", "Guard", true},
                                           AffixCase{"Guardian", "Guard", false},
                                           AffixCase{"ua", "Guard", false},
                                           AffixCase{"\xE9",
                                                     "\xC9"
                                                     "clair",
                                                     true},
                                           AffixCase{"e",
                                                     "\xC9"
                                                     "clair",
                                                     false}));

class AnsiContainsTextTest : public ::testing::TestWithParam<AffixCase> {};

TEST_P(AnsiContainsTextTest, SearchesAnywhereIgnoringCase) {
    EXPECT_EQ(AnsiContainsText(GetParam().Text, GetParam().Part), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AnsiContainsTextTest,
    ::testing::Values(AffixCase{"DOOR", "Wooden door (12)", true}, AffixCase{"door", "DOOR", true},
                      AffixCase{"", "x", true}, AffixCase{"", "", true}, AffixCase{"a", "", false},
                      AffixCase{"doors", "door", false}, AffixCase{"\xE9", "CAF\xC9", true},
                      AffixCase{"(12)", "Wooden door (12)", true},
                      AffixCase{"e", "CAF\xC9", false}));

// ---------------------------------------------------------------------------------------------
// UTF-8 conversion

TEST(Win1252Utf8Test, EveryByteRoundTrips) {
    std::string all;
    for (unsigned b = 0; b < 256; ++b) all += Ch(b);
    const std::string utf8 = Win1252ToUtf8(all);
    EXPECT_EQ(Utf8ToWin1252(utf8), all);
    for (unsigned b = 0; b < 256; ++b) {
        const std::string one(1, Ch(b));
        EXPECT_EQ(Utf8ToWin1252(Win1252ToUtf8(one)), one) << "byte " << b;
    }
}

struct Utf8Case {
    std::string Win1252;
    std::string Utf8;
};

class KnownCharacterTest : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(KnownCharacterTest, ConvertsBothWays) {
    EXPECT_EQ(Hex(Win1252ToUtf8(GetParam().Win1252)), Hex(GetParam().Utf8));
    EXPECT_EQ(Hex(Utf8ToWin1252(GetParam().Utf8)), Hex(GetParam().Win1252));
}

INSTANTIATE_TEST_SUITE_P(Characters, KnownCharacterTest,
                         ::testing::Values(Utf8Case{"", ""}, Utf8Case{"Guard (345)", "Guard (345)"},
                                           Utf8Case{"\x80", "\xE2\x82\xAC"}, // euro sign
                                           Utf8Case{"\xE9", "\xC3\xA9"},     // e acute
                                           Utf8Case{"\xA0", "\xC2\xA0"},     // no-break space
                                           Utf8Case{"\xFF", "\xC3\xBF"},     // y diaeresis
                                           Utf8Case{"\x9F", "\xC5\xB8"},     // capital Y diaeresis
                                           Utf8Case{"\x8A", "\xC5\xA0"},     // capital S caron
                                           Utf8Case{"\x99", "\xE2\x84\xA2"}, // trade mark
                                           Utf8Case{"\x81",
                                                    "\xC2\x81"}, // undefined byte stays itself
                                           Utf8Case{"a\0b"s, "a\0b"s}));

struct BadUtf8Case {
    const char* Name;
    std::string Utf8;
    std::string Expected;
};

class UnconvertibleUtf8Test : public ::testing::TestWithParam<BadUtf8Case> {};

TEST_P(UnconvertibleUtf8Test, BecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToWin1252(GetParam().Utf8), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnconvertibleUtf8Test,
    ::testing::Values(BadUtf8Case{"OutsideTheCodePage", "\xC4\x80", "?"},   // A macron
                      BadUtf8Case{"C1ControlWithoutByte", "\xC2\x80", "?"}, // 0x80 is the euro
                      BadUtf8Case{"ThreeByteUnmappable", "a\xE6\x97\xA5z", "a?z"},  // CJK ideograph
                      BadUtf8Case{"FourByteUnmappable", "\xF0\x9F\x98\x80!", "?!"}, // emoji
                      BadUtf8Case{"LoneContinuationByte", "a\x80z", "a?z"},
                      BadUtf8Case{"LeadByteBeforeAscii",
                                  "\xC3"
                                  "A",
                                  "?A"},
                      BadUtf8Case{"InvalidByteFF", "a\xFFz", "a?z"},
                      BadUtf8Case{"InvalidByteF8", "\xF8", "?"}),
    [](const auto& p) { return std::string(p.param.Name); });

class MalformedUtf8Test : public ::testing::TestWithParam<std::string> {};

// However many question marks a broken sequence gives, it never yields another character.
TEST_P(MalformedUtf8Test, GivesOnlyQuestionMarks) {
    const std::string converted = Utf8ToWin1252(GetParam());
    EXPECT_FALSE(converted.empty());
    EXPECT_EQ(converted.find_first_not_of('?'), std::string::npos) << Hex(converted);
}

INSTANTIATE_TEST_SUITE_P(Sequences, MalformedUtf8Test,
                         ::testing::Values("\xE2\x82"s,         // truncated euro sign
                                           "\xF0\x9F\x98"s,     // truncated four-byte
                                           "\xC0\x80"s,         // overlong zero byte
                                           "\xC0\xAF"s,         // overlong slash
                                           "\xC1\x81"s,         // overlong "A"
                                           "\xE0\x82\xA9"s,     // overlong copyright sign
                                           "\xF0\x80\x80\xC1"s, // overlong "A", four bytes
                                           "\xED\xA0\x80"s));   // lone surrogate

} // namespace
} // namespace kv
