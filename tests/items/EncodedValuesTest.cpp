// Encoded value streams: self-delimiting strings and integers joined on one line.
#include "items/EncodedValues.h"

#include "text/Exception.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace kv {
namespace {

using namespace std::string_literals;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// The message of the kv::Exception that Decode raises on Stream; empty when none is raised.
template <typename Decode> std::string FailureOf(std::string stream, Decode decode) {
    try {
        (void)decode(stream);
    } catch (const Exception& e) {
        return e.what();
    }
    return {};
}

std::string HighBytes() {
    std::string s;
    for (unsigned b = 0x80; b <= 0xFF; ++b) s += static_cast<char>(b);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Strings

struct DecodeStringCase {
    const char* Name;
    std::string Stream;
    std::string Value;
    std::string Rest;
};

class DecodeStringTest : public ::testing::TestWithParam<DecodeStringCase> {};

TEST_P(DecodeStringTest, TakesOneValueOffTheFront) {
    std::string stream = GetParam().Stream;
    EXPECT_EQ(DecodeString(stream), GetParam().Value);
    EXPECT_EQ(stream, GetParam().Rest);
}

INSTANTIATE_TEST_SUITE_P(
    Valid, DecodeStringTest,
    ::testing::Values(DecodeStringCase{"EmptyValueIsThreeCharacters", "0{}", "", ""},
                      DecodeStringCase{"EmptyValueLeavesTheRest", "0{}0{}1{x}", "", "0{}1{x}"},
                      DecodeStringCase{"ClosingBraceInsideContent", "3{a}b}", "a}b", ""},
                      DecodeStringCase{"BracesAndDigitsAreContent", "5{a{b}c}2{}}", "a{b}c",
                                       "2{}}"},
                      DecodeStringCase{"SpacesAreContent", "3{   }x", "   ", "x"},
                      DecodeStringCase{"NameWithParentheses", "10{Guard (12)}", "Guard (12)", ""},
                      DecodeStringCase{"ZeroByteIsContent", "3{a\0b}"s, "a\0b"s, ""},
                      DecodeStringCase{"TextAfterValueIsLeft", "1{a}garbage", "a", "garbage"}),
    [](const auto& p) { return std::string(p.param.Name); });

struct BadStreamCase {
    const char* Name;
    std::string Stream;
};

class InvalidEncodedStringTest : public ::testing::TestWithParam<BadStreamCase> {};

TEST_P(InvalidEncodedStringTest, FailsAsString) {
    EXPECT_EQ(FailureOf(GetParam().Stream, DecodeString), "Invalid encoded string");
}

TEST_P(InvalidEncodedStringTest, FailsAsIntegerWithTheStringMessage) {
    EXPECT_EQ(FailureOf(GetParam().Stream, DecodeInteger), "Invalid encoded string");
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, InvalidEncodedStringTest,
    ::testing::Values(BadStreamCase{"EmptyStream", ""}, BadStreamCase{"NoBrace", "12"},
                      BadStreamCase{"StreamEndsWhereBraceMustStand", "3{ab}"},
                      BadStreamCase{"NoClosingBraceAtAll", "3{abc"},
                      BadStreamCase{"WrongCharacterAfterContent", "2{abc}"},
                      BadStreamCase{"LengthNotANumber", "x{abc}"},
                      BadStreamCase{"NegativeLength", "-1{}"}, BadStreamCase{"MissingLength", "{}"},
                      BadStreamCase{"LengthWithTrailingText", "1x{a}"},
                      BadStreamCase{"LengthBeyondInt32", "99999999999{"},
                      BadStreamCase{"HugeLengthPastStreamEnd", "2147483647{abc}"},
                      BadStreamCase{"HugeLengthNoContent", "2000000000{"}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(EncodeStringTest, WritesLengthBraceContentBrace) {
    EXPECT_EQ(EncodeString(""), "0{}");
    EXPECT_EQ(EncodeString("Guard (12)"), "10{Guard (12)}");
    EXPECT_EQ(EncodeString("a{b}c"), "5{a{b}c}");
    EXPECT_EQ(EncodeString(HighBytes()), "128{" + HighBytes() + "}");
}

class StringRoundTripTest : public ::testing::TestWithParam<std::string> {};

TEST_P(StringRoundTripTest, DecodesToTheSameTextAndConsumesAll) {
    std::string stream = EncodeString(GetParam()) + EncodeString(GetParam());
    EXPECT_EQ(DecodeString(stream), GetParam());
    EXPECT_EQ(DecodeString(stream), GetParam());
    EXPECT_EQ(stream, "");
}

INSTANTIATE_TEST_SUITE_P(Texts, StringRoundTripTest,
                         ::testing::Values(""s, "a{b}c"s, "}"s, "{"s, "12{x}"s, "0{}"s,
                                           "  padded  "s, HighBytes(), "a\0b"s,
                                           std::string(100000, 'z')));

// ---------------------------------------------------------------------------------------------
// Integers

TEST(DecodeIntegerTest, ReadsValuesOneAfterAnother) {
    std::string stream = "2{12}3{345}";
    EXPECT_EQ(DecodeInteger(stream), 12);
    EXPECT_EQ(DecodeInteger(stream), 345);
    EXPECT_EQ(stream, "");
}

struct IntegerText {
    std::int32_t Value;
    const char* Encoded;
};

class IntegerEncodingTest : public ::testing::TestWithParam<IntegerText> {};

TEST_P(IntegerEncodingTest, EncodesAsDecimalTextAndReadsBack) {
    EXPECT_EQ(EncodeInteger(GetParam().Value), GetParam().Encoded);
    std::string stream = GetParam().Encoded;
    EXPECT_EQ(DecodeInteger(stream), GetParam().Value);
    EXPECT_EQ(stream, "");
}

INSTANTIATE_TEST_SUITE_P(Values, IntegerEncodingTest,
                         ::testing::Values(IntegerText{0, "1{0}"}, IntegerText{5, "1{5}"},
                                           IntegerText{-12, "3{-12}"}, IntegerText{345, "3{345}"},
                                           IntegerText{kMax, "10{2147483647}"},
                                           IntegerText{kMin, "11{-2147483648}"}));

class InvalidEncodedIntegerTest : public ::testing::TestWithParam<std::string> {};

TEST_P(InvalidEncodedIntegerTest, FailsAsInteger) {
    EXPECT_EQ(FailureOf(GetParam(), DecodeInteger), "Invalid encoded integer");
}

INSTANTIATE_TEST_SUITE_P(NotIntegers, InvalidEncodedIntegerTest,
                         ::testing::Values("3{abc}"s, "0{}"s, "2{1x}"s, "1{-}"s, "1{+}"s, "2{+-}"s,
                                           "3{1.5}"s, "10{2147483648}"s, "11{-2147483649}"s,
                                           "20{99999999999999999999}"s));

// ---------------------------------------------------------------------------------------------
// ParseInt32

struct ParseCase {
    const char* Text;
    bool Ok;
    std::int32_t Value;
};

class ParseInt32Test : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseInt32Test, AcceptsOnlyWholeDecimalNumbersInRange) {
    std::int32_t value = 77;
    EXPECT_EQ(ParseInt32(GetParam().Text, value), GetParam().Ok);
    EXPECT_EQ(value, GetParam().Ok ? GetParam().Value : 77) << "untouched on failure";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseInt32Test,
    ::testing::Values(ParseCase{"0", true, 0}, ParseCase{"-12", true, -12},
                      ParseCase{"+7", true, 7}, ParseCase{"2147483647", true, kMax},
                      ParseCase{"-2147483648", true, kMin}, ParseCase{"2147483648", false, 0},
                      ParseCase{"-2147483649", false, 0}, ParseCase{"", false, 0},
                      ParseCase{"-", false, 0}, ParseCase{"+", false, 0},
                      ParseCase{"+-1", false, 0}, ParseCase{"-+1", false, 0},
                      ParseCase{"12abc", false, 0}, ParseCase{" 1", false, 0},
                      ParseCase{"1 ", false, 0}, ParseCase{"0x10", false, 0}));

// ---------------------------------------------------------------------------------------------
// Brush info lines

TEST(EncodeBrushInfoTest, JoinsKindBrushObjectAndName) {
    const TBrushInfo guard{bkObject, 12, 345, "Guard (345)"};
    EXPECT_EQ(EncodeBrushInfo(guard), "1{4}2{12}3{345}11{Guard (345)}");
    EXPECT_EQ(EncodeBrushInfo(TBrushInfo{}), "1{0}1{0}1{0}0{}");
}

TEST(DecodeBrushInfoTest, IgnoresAFifthValue) {
    EXPECT_EQ(DecodeBrushInfo("1{4}2{12}3{345}11{Guard (345)}4{more}"),
              (TBrushInfo{bkObject, 12, 345, "Guard (345)"}));
}

TEST(DecodeBrushInfoTest, IgnoresTrailingTextThatIsNoValue) {
    EXPECT_EQ(DecodeBrushInfo("1{1}2{17}1{0}7{Terrain}\t junk {"),
              (TBrushInfo{bkTerrain, 17, 0, "Terrain"}));
}

struct KindCase {
    const char* Encoded;
    TBrushKind Kind;
};

class DecodedKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(DecodedKindTest, KeepsTheLowEightBits) {
    const std::string line = std::string(GetParam().Encoded) + "1{1}1{0}0{}";
    EXPECT_EQ(DecodeBrushInfo(line).Kind, GetParam().Kind);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DecodedKindTest,
                         ::testing::Values(KindCase{"3{260}", bkObject}, KindCase{"3{256}", bkNone},
                                           KindCase{"1{7}", static_cast<TBrushKind>(7)},
                                           KindCase{"3{255}", static_cast<TBrushKind>(255)},
                                           KindCase{"2{-1}", static_cast<TBrushKind>(255)},
                                           KindCase{"10{2147483647}",
                                                    static_cast<TBrushKind>(255)}));

class BrushInfoRoundTripTest : public ::testing::TestWithParam<TBrushInfo> {};

TEST_P(BrushInfoRoundTripTest, ReadsBackEveryField) {
    EXPECT_EQ(DecodeBrushInfo(EncodeBrushInfo(GetParam())), GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Items, BrushInfoRoundTripTest,
    ::testing::Values(TBrushInfo{}, TBrushInfo{bkObject, 12, 345, "Guard (345)"},
                      TBrushInfo{bkRoom, kMax, kMin, "a{b}c"},
                      TBrushInfo{bkTerrain, kMin, kMax, ""}, TBrushInfo{bkArea, -1, -1, "}{"},
                      TBrushInfo{bkLight, 1, 0, HighBytes()},
                      TBrushInfo{static_cast<TBrushKind>(200), 0, 0, "unknown kind"}));

struct BadLineCase {
    const char* Name;
    std::string Line;
    const char* Message;
};

class BadBrushLineTest : public ::testing::TestWithParam<BadLineCase> {};

TEST_P(BadBrushLineTest, FailsWithTheFirstProblem) {
    EXPECT_EQ(FailureOf(GetParam().Line, DecodeBrushInfo), GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadBrushLineTest,
    ::testing::Values(
        BadLineCase{"EmptyLine", "", "Invalid encoded string"},
        BadLineCase{"NameMissing", "1{4}2{12}3{345}", "Invalid encoded string"},
        BadLineCase{"KindNotANumber", "1{O}2{12}3{345}0{}", "Invalid encoded integer"},
        BadLineCase{"BrushNumberOutOfRange", "1{4}10{4294967296}1{0}0{}",
                    "Invalid encoded integer"},
        BadLineCase{"ObjectIdEmpty", "1{4}2{12}0{}0{}", "Invalid encoded integer"},
        BadLineCase{"NameTooShort", "1{4}2{12}3{345}12{Guard (345)}", "Invalid encoded string"},
        BadLineCase{"MarkerLine", "~favlist", "Invalid encoded string"}),
    [](const auto& p) { return std::string(p.param.Name); });

TEST(DecodeBrushInfoTest, EveryTruncationOfALineFails) {
    const std::string line = EncodeBrushInfo({bkObject, 12, 345, "Guard (345)"});
    for (std::size_t n = 0; n < line.size(); ++n) {
        EXPECT_FALSE(FailureOf(line.substr(0, n), DecodeBrushInfo).empty()) << "length " << n;
    }
}

// Corrupt each byte of a valid line in turn: every result is a record or the program's own
// error, never a crash, another exception type or a read past the line.
TEST(DecodeBrushInfoTest, CorruptedLinesDecodeOrFailCleanly) {
    const std::string line = EncodeBrushInfo({bkRoom, -2048, 77, "Hall {north}"});
    const std::string replacements = "{}-+0 9\xFF\0"s;
    for (std::size_t i = 0; i < line.size(); ++i) {
        for (const char r : replacements) {
            std::string corrupt = line;
            corrupt[i] = r;
            try {
                (void)DecodeBrushInfo(corrupt);
            } catch (const Exception&) {
                // expected for most corruptions
            }
        }
    }
}

} // namespace
} // namespace kv
