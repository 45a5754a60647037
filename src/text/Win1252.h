// Windows-1252 text as the engine keeps it: case mapping, comparison in the order a Western
// European Windows locale uses, and conversion to and from UTF-8 for display and output.
#pragma once

#include <string>
#include <string_view>

namespace kv {

[[nodiscard]] char AnsiUpperChar(char c) noexcept;
[[nodiscard]] char AnsiLowerChar(char c) noexcept;
[[nodiscard]] std::string AnsiUpperCase(std::string_view s);
[[nodiscard]] std::string AnsiLowerCase(std::string_view s);

// Compares ignoring letter case: punctuation and symbols before digits before letters, accented
// letters beside their base letter, and only then accents; hyphens and apostrophes count only
// when all that is equal ("coop" < "co-op" < "cop"). Returns <0, 0 or >0, and 0 only for texts
// that AnsiSameText calls the same.
[[nodiscard]] int AnsiCompareText(std::string_view a, std::string_view b) noexcept;
// Hyphen and apostrophe: skipped by the first levels of AnsiCompareText, tie-breakers only.
[[nodiscard]] bool AnsiIgnoredAtFirstLevel(char c) noexcept;
[[nodiscard]] bool AnsiSameText(std::string_view a, std::string_view b) noexcept;

// True when the first Prefix.size() characters of S equal Prefix ignoring letter case.
[[nodiscard]] bool AnsiStartsText(std::string_view prefix, std::string_view s) noexcept;
// True when Needle occurs in Haystack, both upper-cased first; an empty Needle always occurs.
[[nodiscard]] bool AnsiContainsText(std::string_view haystack, std::string_view needle);

// Every byte maps to one code point; the five bytes Windows-1252 leaves undefined map to the
// C1 controls of the same value, so the conversion round-trips.
[[nodiscard]] std::string Win1252ToUtf8(std::string_view s);
// Characters outside Windows-1252 and malformed UTF-8 become "?".
[[nodiscard]] std::string Utf8ToWin1252(std::string_view s);

} // namespace kv
