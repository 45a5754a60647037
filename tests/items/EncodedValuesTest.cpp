// Encoded value streams: self-delimiting strings and integers joined on one line.
#include "items/EncodedValues.h"

#include "text/Exception.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

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

TEST(EncodedStringTest, DecodesOneValueOffTheFront) {
    const struct {
        std::string Stream, Value, Rest;
    } cases[] = {{"0{}0{}1{x}", "", "0{}1{x}"},
                 {"3{a}b}", "a}b", ""},
                 {"5{a{b}c}2{}}", "a{b}c", "2{}}"},
                 {"3{a\0b}"s, "a\0b"s, ""},
                 {"10{Guard (12)}tail", "Guard (12)", "tail"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Stream);
        std::string stream = c.Stream;
        EXPECT_EQ(DecodeString(stream), c.Value);
        EXPECT_EQ(stream, c.Rest);
    }
}

TEST(EncodedStringTest, MalformedStreamsFailAsStringsAndAsIntegers) {
    for (const char* stream : {"", "12", "3{ab}", "3{abc", "2{abc}", "x{abc}", "-1{}", "{}",
                               "1x{a}", "99999999999{", "2147483647{abc}"}) {
        SCOPED_TRACE(stream);
        EXPECT_EQ(FailureOf(stream, DecodeString), "Invalid encoded string");
        EXPECT_EQ(FailureOf(stream, DecodeInteger), "Invalid encoded string");
    }
}

// A line break inside a value would cut its line in two in the files: it is written as a space.
TEST(EncodedStringTest, EncodesLengthAndContentAndReadsBack) {
    EXPECT_EQ(EncodeString(""), "0{}");
    EXPECT_EQ(EncodeString("a{b}c"), "5{a{b}c}");
    EXPECT_EQ(EncodeString("a\r\nb\nc"), "6{a  b c}");
    for (const std::string& text : {"}"s, "12{x}"s, "caf\xE9\x80\xFF"s, std::string(100000, 'z')}) {
        std::string stream = EncodeString(text) + EncodeString(text);
        EXPECT_EQ(DecodeString(stream), text);
        EXPECT_EQ(DecodeString(stream), text);
        EXPECT_EQ(stream, "");
    }
}

TEST(EncodedIntegerTest, EncodesAsDecimalTextAndReadsBack) {
    const struct {
        std::int32_t Value;
        const char* Encoded;
    } cases[] = {{0, "1{0}"}, {-12, "3{-12}"}, {kMax, "10{2147483647}"}, {kMin, "11{-2147483648}"}};
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeInteger(c.Value), c.Encoded);
        std::string stream = std::string(c.Encoded) + "1{7}";
        EXPECT_EQ(DecodeInteger(stream), c.Value);
        EXPECT_EQ(DecodeInteger(stream), 7);
        EXPECT_EQ(stream, "");
    }
    EXPECT_EQ(FailureOf("2{+7}", DecodeInteger), ""); // a plus sign is allowed
    for (const char* bad : {"3{abc}", "0{}", "2{1x}", "1{-}", "2{+-}", "2{-+}", "10{2147483648}",
                            "11{-2147483649}", "2{ 1}"})
        EXPECT_EQ(FailureOf(bad, DecodeInteger), "Invalid encoded integer") << bad;
}

TEST(EncodedBrushInfoTest, JoinsKindBrushObjectAndName) {
    const TBrushInfo guard{bkObject, 12, 345, "Guard (345)"};
    EXPECT_EQ(EncodeBrushInfo(guard), "1{4}2{12}3{345}11{Guard (345)}");
    EXPECT_EQ(DecodeBrushInfo("1{4}2{12}3{345}11{Guard (345)}4{more}\t junk {"), guard);
    const TBrushInfo extremes{bkRoom, kMax, kMin, "a{b}c"};
    EXPECT_EQ(DecodeBrushInfo(EncodeBrushInfo(extremes)), extremes);
    // The kind keeps its low eight bits.
    EXPECT_EQ(DecodeBrushInfo("3{260}1{1}1{0}0{}").Kind, bkObject);
    EXPECT_EQ(DecodeBrushInfo("2{-1}1{1}1{0}0{}").Kind, static_cast<TBrushKind>(255));
}

TEST(EncodedBrushInfoTest, ABrokenLineFailsWithTheFirstProblem) {
    const struct {
        std::string Line;
        const char* Message;
    } cases[] = {{"1{4}2{12}3{345}", "Invalid encoded string"},
                 {"1{O}2{12}3{345}0{}", "Invalid encoded integer"},
                 {"1{4}10{4294967296}1{0}0{}", "Invalid encoded integer"},
                 {"1{4}2{12}3{345}12{Guard (345)}", "Invalid encoded string"},
                 {"~favlist", "Invalid encoded string"}};
    for (const auto& c : cases) EXPECT_EQ(FailureOf(c.Line, DecodeBrushInfo), c.Message) << c.Line;
    const std::string line = EncodeBrushInfo({bkObject, 12, 345, "Guard (345)"});
    for (std::size_t n = 0; n < line.size(); ++n)
        EXPECT_FALSE(FailureOf(line.substr(0, n), DecodeBrushInfo).empty()) << "length " << n;
}

} // namespace
} // namespace kv
