// Encoded value streams: self-delimiting strings and integers joined on one line.
#include "items/EncodedValues.h"

#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

namespace kv {
namespace {

using namespace std::string_literals;


// The message of the kv::Exception that Decode raises on Stream; empty when none is raised.
template <typename Decode> std::string FailureOf(std::string stream, Decode decode) {
    return test::ExceptionMessage([&] { (void)decode(stream); });
}

TEST(EncodedStringTest, EncodesLengthAndContentAndDecodesOneValueOffTheFront) {
    const struct {
        std::string Stream, Value, Rest;
    } cases[] = {{"0{}0{}1{x}", "", "0{}1{x}"},    {"3{a}b}", "a}b", ""},
                 {"5{a{b}c}2{}}", "a{b}c", "2{}}"}, {"3{a\0b}"s, "a\0b"s, ""},
                 {"6{caf\xE9\x80\xFF}"s, "caf\xE9\x80\xFF", ""},
                 {"10{Guard (12)}tail", "Guard (12)", "tail"},
                 {"100000{" + std::string(100000, 'z') + "}1{}", std::string(100000, 'z'), "1{}"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Stream.substr(0, 20));
        EXPECT_EQ(EncodeString(c.Value) + c.Rest, c.Stream);
        std::string stream = c.Stream;
        EXPECT_EQ(DecodeString(stream), c.Value);
        EXPECT_EQ(stream, c.Rest);
    }
    // A line break in a value would cut its line in two in the files: it is written as a space.
    EXPECT_EQ(EncodeString("a\r\nb\nc"), "6{a  b c}");
}

TEST(EncodedStringTest, MalformedStreamsFailAsStringsAndAsIntegers) {
    for (const char* stream : {"", "12", "3{ab}", "3{abc", "2{abc}", "x{abc}", "-1{}", "{}",
                               "1x{a}", "99999999999{", "2147483647{abc}"}) {
        SCOPED_TRACE(stream);
        EXPECT_EQ(FailureOf(stream, DecodeString), "Invalid encoded string");
        EXPECT_EQ(FailureOf(stream, DecodeInteger), "Invalid encoded string");
    }
}

TEST(EncodedIntegerTest, EncodesAsDecimalTextAndReadsBack) {
    const std::pair<std::int32_t, const char*> cases[] = {{0, "1{0}"}, {-12, "3{-12}"},
        {INT32_MAX, "10{2147483647}"}, {INT32_MIN, "11{-2147483648}"}};
    for (const auto& [value, encoded] : cases) {
        EXPECT_EQ(EncodeInteger(value), encoded);
        std::string stream = std::string(encoded) + "1{7}";
        EXPECT_EQ(DecodeInteger(stream), value);
        EXPECT_EQ(DecodeInteger(stream), 7);
        EXPECT_EQ(stream, "");
    }
    EXPECT_EQ(FailureOf("2{+7}", DecodeInteger), ""); // a plus sign is allowed
    for (const char* bad : {"3{abc}", "0{}", "2{1x}", "1{-}", "2{+-}", "2{-+}", "10{2147483648}",
                            "11{-2147483649}", "2{ 1}"})
        EXPECT_EQ(FailureOf(bad, DecodeInteger), "Invalid encoded integer") << bad;
}

TEST(EncodedBrushInfoTest, JoinsKindBrushObjectAndNameAndFailsWithTheFirstProblem) {
    const TBrushInfo guard{bkObject, 12, 345, "Guard (345)"};
    const std::string line = EncodeBrushInfo(guard);
    EXPECT_EQ(line, "1{4}2{12}3{345}11{Guard (345)}");
    EXPECT_EQ(DecodeBrushInfo(line + "4{more}\t junk {"), guard);
    // The kind keeps its low eight bits.
    EXPECT_EQ(DecodeBrushInfo("3{260}1{1}1{0}0{}").Kind, bkObject);
    EXPECT_EQ(DecodeBrushInfo("2{-1}1{1}1{0}0{}").Kind, static_cast<TBrushKind>(255));
    const std::pair<std::string, const char*> broken[] = {
        {"1{4}2{12}3{345}", "Invalid encoded string"}, {"~favlist", "Invalid encoded string"},
        {"1{O}2{12}3{345}0{}", "Invalid encoded integer"},
        {"1{4}10{4294967296}1{0}0{}", "Invalid encoded integer"},
        {"1{4}2{12}3{345}12{Guard (345)}", "Invalid encoded string"}};
    for (const auto& [text, message] : broken)
        EXPECT_EQ(FailureOf(text, DecodeBrushInfo), message) << text;
    for (std::size_t n = 0; n < line.size(); ++n)
        EXPECT_FALSE(FailureOf(line.substr(0, n), DecodeBrushInfo).empty()) << "length " << n;
}

} // namespace
} // namespace kv
