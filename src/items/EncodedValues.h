// Self-delimiting values joined on one line of text: a decimal length, "{", the characters, "}".
// Favourites files and link template files are built from them.
#pragma once

#include "items/BrushInfo.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

// Text with every CR and every LF turned into a space, for values in files read line by line.
[[nodiscard]] std::string OnOneLine(std::string text);

// A line break in S is written as a space (OnOneLine), so a value never spans two lines.
[[nodiscard]] std::string EncodeString(const std::string& s);
[[nodiscard]] std::string EncodeInteger(std::int32_t i);

// Take the first value off the front of Stream. Failures raise Exception with
// "Invalid encoded string" or "Invalid encoded integer"; the stream is then left part-read.
[[nodiscard]] std::string DecodeString(std::string& stream);
[[nodiscard]] std::int32_t DecodeInteger(std::string& stream);

[[nodiscard]] std::string EncodeBrushInfo(const TBrushInfo& info);
// Kind, brush number, object ID and name; anything after the fourth value is ignored.
[[nodiscard]] TBrushInfo DecodeBrushInfo(std::string line);

// The decimal text read as a 32-bit signed integer: an optional sign and at least one digit,
// nothing else. False for anything else, including values out of range.
[[nodiscard]] bool ParseInt32(std::string_view text, std::int32_t& value) noexcept;

} // namespace kv
