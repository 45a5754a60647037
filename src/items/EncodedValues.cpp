#include "items/EncodedValues.h"

#include "text/Exception.h"

#include <algorithm>
#include <charconv>

namespace kv {

bool ParseInt32(std::string_view text, std::int32_t& value) noexcept {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first; // from_chars takes "-" but not "+"
    if (first == last || (*first == '-' && first != text.data())) return false;
    std::int32_t v = 0;
    const auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || end != last) return false;
    value = v;
    return true;
}

std::string OnOneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

std::string EncodeString(const std::string& s) {
    // The files these values go into are read line by line: a line break inside a value (an
    // object name can hold one) would cut its line in two.
    const std::string text = OnOneLine(s);
    return std::to_string(text.size()) + "{" + text + "}";
}

std::string EncodeInteger(std::int32_t i) { return EncodeString(std::to_string(i)); }

std::string DecodeString(std::string& stream) {
    const auto brace = stream.find('{');
    if (brace == std::string::npos) throw Exception("Invalid encoded string");
    std::int32_t n = -1;
    if (!ParseInt32(stream.substr(0, brace), n)) n = -1;
    if (n < 0) throw Exception("Invalid encoded string");
    stream.erase(0, brace + 1);
    const auto len = static_cast<std::size_t>(n);
    if (len >= stream.size() || stream[len] != '}') throw Exception("Invalid encoded string");
    std::string result = stream.substr(0, len);
    stream.erase(0, len + 1);
    return result;
}

std::int32_t DecodeInteger(std::string& stream) {
    const std::string text = DecodeString(stream);
    std::int32_t value = 0;
    if (!ParseInt32(text, value)) throw Exception("Invalid encoded integer");
    return value;
}

std::string EncodeBrushInfo(const TBrushInfo& info) {
    return EncodeInteger(info.Kind) + EncodeInteger(info.BrushNum) + EncodeInteger(info.ObjID) +
           EncodeString(info.Name);
}

TBrushInfo DecodeBrushInfo(std::string line) {
    TBrushInfo info;
    info.Kind = static_cast<TBrushKind>(DecodeInteger(line) & 0xFF);
    info.BrushNum = DecodeInteger(line);
    info.ObjID = DecodeInteger(line);
    info.Name = DecodeString(line);
    return info;
}

} // namespace kv
