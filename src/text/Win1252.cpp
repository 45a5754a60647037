#include "text/Win1252.h"

#include <array>
#include <cstdint>

namespace kv {
namespace {

// Unicode code points of 0x80..0x9F.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr unsigned char Byte(char c) noexcept { return static_cast<unsigned char>(c); }

unsigned char UpperByte(unsigned char b) noexcept {
    if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 0x20);
    switch (b) {
    case 0x9A: return 0x8A; // s caron
    case 0x9C: return 0x8C; // oe
    case 0x9E: return 0x8E; // z caron
    case 0xFF: return 0x9F; // y diaeresis
    default: break;
    }
    if (b >= 0xE0 && b != 0xF7 && b != 0xFF) return static_cast<unsigned char>(b - 0x20);
    return b;
}

unsigned char LowerByte(unsigned char b) noexcept {
    if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 0x20);
    switch (b) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: break;
    }
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<unsigned char>(b + 0x20);
    return b;
}

// The base letter of an upper-case letter, accented or not; 0 for anything else.
char BaseLetter(unsigned char u) noexcept {
    if (u >= 'A' && u <= 'Z') return static_cast<char>(u);
    if (u >= 0xC0 && u <= 0xC6) return 'A';
    if (u == 0xC7) return 'C';
    if (u >= 0xC8 && u <= 0xCB) return 'E';
    if (u >= 0xCC && u <= 0xCF) return 'I';
    if (u == 0xD0) return 'D';
    if (u == 0xD1) return 'N';
    if ((u >= 0xD2 && u <= 0xD6) || u == 0xD8 || u == 0x8C) return 'O';
    if (u >= 0xD9 && u <= 0xDC) return 'U';
    if (u == 0xDD || u == 0x9F) return 'Y';
    if (u == 0xDE) return 'T';
    if (u == 0xDF || u == 0x8A) return 'S';
    if (u == 0x8E) return 'Z';
    return 0;
}

// First-level weight: symbols keep their code (below 0x100), digits and letters follow.
std::uint16_t PrimaryWeight(unsigned char b) noexcept {
    const unsigned char u = UpperByte(b);
    if (u >= '0' && u <= '9') return static_cast<std::uint16_t>(0x100 + (u - '0'));
    if (const char base = BaseLetter(u)) return static_cast<std::uint16_t>(0x200 + (base - 'A'));
    return u;
}

// Both weights of every byte, worked out once: comparisons are a table lookup per byte.
struct TWeightTables {
    std::array<std::uint16_t, 256> Primary{};
    std::array<unsigned char, 256> Upper{};
    TWeightTables() noexcept {
        for (unsigned b = 0; b < 256; ++b) {
            Primary[b] = PrimaryWeight(static_cast<unsigned char>(b));
            Upper[b] = UpperByte(static_cast<unsigned char>(b));
        }
    }
};

const TWeightTables& Weights() noexcept {
    static const TWeightTables tables;
    return tables;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char FromCodePoint(char32_t cp) noexcept {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

char AnsiUpperChar(char c) noexcept { return static_cast<char>(UpperByte(Byte(c))); }
char AnsiLowerChar(char c) noexcept { return static_cast<char>(LowerByte(Byte(c))); }

std::string AnsiUpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = AnsiUpperChar(c);
    return r;
}

std::string AnsiLowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = AnsiLowerChar(c);
    return r;
}

bool AnsiIgnoredAtFirstLevel(char c) noexcept { return c == '-' || c == '\''; }

int AnsiCompareText(std::string_view a, std::string_view b) noexcept {
    const TWeightTables& w = Weights();
    // First level: letters, digits and symbols by weight, hyphens and apostrophes skipped, so
    // that "co-op" sorts beside "coop" and "O'Neil" among the "On...".
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < a.size() && AnsiIgnoredAtFirstLevel(a[i])) ++i;
        while (j < b.size() && AnsiIgnoredAtFirstLevel(b[j])) ++j;
        if (i == a.size() || j == b.size()) break;
        const int d = w.Primary[Byte(a[i])] - w.Primary[Byte(b[j])];
        if (d != 0) return d;
        ++i;
        ++j;
    }
    if (i != a.size()) return 1;
    if (j != b.size()) return -1;
    // Equal at the first level: accents decide, letter case never does.
    i = 0;
    j = 0;
    for (;;) {
        while (i < a.size() && AnsiIgnoredAtFirstLevel(a[i])) ++i;
        while (j < b.size() && AnsiIgnoredAtFirstLevel(b[j])) ++j;
        if (i == a.size() || j == b.size()) break;
        const int d = w.Upper[Byte(a[i])] - w.Upper[Byte(b[j])];
        if (d != 0) return d;
        ++i;
        ++j;
    }
    // Then the hyphens and apostrophes: none before some, an earlier one before a later one,
    // a hyphen before an apostrophe at the same place. Texts equal here are the same text.
    i = 0;
    j = 0;
    for (;;) {
        while (i < a.size() && !AnsiIgnoredAtFirstLevel(a[i])) ++i;
        while (j < b.size() && !AnsiIgnoredAtFirstLevel(b[j])) ++j;
        if (i == a.size() || j == b.size()) break;
        if (i != j) return i < j ? -1 : 1;
        if (a[i] != b[j]) return a[i] == '-' ? -1 : 1;
        ++i;
        ++j;
    }
    if (i != a.size()) return 1;
    if (j != b.size()) return -1;
    return 0;
}

bool AnsiSameText(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    const TWeightTables& w = Weights();
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && w.Upper[Byte(a[i])] != w.Upper[Byte(b[i])]) return false;
    }
    return true;
}

bool AnsiStartsText(std::string_view prefix, std::string_view s) noexcept {
    return prefix.size() <= s.size() && AnsiSameText(prefix, s.substr(0, prefix.size()));
}

bool AnsiContainsText(std::string_view haystack, std::string_view needle) {
    return AnsiUpperCase(haystack).find(AnsiUpperCase(needle)) != std::string::npos;
}

std::string Win1252ToUtf8(std::string_view s) {
    std::size_t ascii = 0;
    while (ascii < s.size() && Byte(s[ascii]) < 0x80) ++ascii;
    if (ascii == s.size()) return std::string(s);
    std::string out;
    out.reserve(s.size() + 8);
    out.append(s.data(), ascii);
    for (const char c : s.substr(ascii)) {
        const unsigned char b = Byte(c);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? char32_t{kHighControls[b - 0x80]} : char32_t{b});
    }
    return out;
}

std::string Utf8ToWin1252(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char b = Byte(s[i]);
        std::size_t len = 1;
        char32_t cp = b;
        if (b >= 0xF0 && b < 0xF8) {
            len = 4;
            cp = b & 0x07;
        } else if (b >= 0xE0) {
            len = 3;
            cp = b & 0x0F;
        } else if (b >= 0xC0) {
            len = 2;
            cp = b & 0x1F;
        } else if (b >= 0x80) {
            out += '?';
            ++i;
            continue;
        }
        bool ok = i + len <= s.size() && b < 0xF8;
        for (std::size_t k = 1; ok && k < len; ++k) {
            const unsigned char cont = Byte(s[i + k]);
            ok = (cont & 0xC0) == 0x80;
            cp = (cp << 6) | (cont & 0x3F);
        }
        // An overlong form is malformed too: it must not smuggle in "/", "A" or a zero byte.
        constexpr char32_t kShortestForm[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kShortestForm[len]) {
            out += '?';
            ++i;
            continue;
        }
        out += FromCodePoint(cp);
        i += len;
    }
    return out;
}

} // namespace kv
