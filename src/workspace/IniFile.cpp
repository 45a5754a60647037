#include "workspace/IniFile.h"

#include "items/EncodedValues.h"
#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"

namespace kv {
namespace {

constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view s) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; };
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

// The name of a "[name]" line, or false for any other line.
bool SectionName(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return false;
    const auto close = line.find(']');
    name = Trim(line.substr(1, close == npos ? npos : close - 1));
    return true;
}

bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value) {
    const auto eq = line.find('=');
    if (eq == npos) return false;
    key = Trim(line.substr(0, eq));
    value = line.substr(eq + 1);
    return true;
}

} // namespace

TIniFile::TIniFile(std::filesystem::path file) : file_(std::move(file)) {
    try {
        lines_ = ReadTextFileLines(file_);
    } catch (const Exception&) {
        lines_.clear();
    }
}

std::size_t TIniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (SectionName(lines_[i], name) && AnsiSameText(name, section)) return i;
    }
    return npos;
}

std::size_t TIniFile::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    std::string_view name;
    while (i < lines_.size() && !SectionName(lines_[i], name)) ++i;
    return i;
}

std::size_t TIniFile::FindKey(std::size_t header, std::string_view key) const {
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view k;
        std::string_view v;
        if (KeyOf(lines_[i], k, v) && AnsiSameText(k, key)) return i;
    }
    return npos;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 const std::string& def) const {
    const std::size_t header = FindSection(section);
    if (header == npos) return def;
    const std::size_t line = FindKey(header, key);
    if (line == npos) return def;
    std::string_view k;
    std::string_view value;
    KeyOf(lines_[line], k, value);
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key,
                                   std::int32_t def) const {
    std::int32_t value = def;
    return ParseInt32(ReadString(section, key, {}), value) ? value : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    std::string line = std::string(key) + "=" + std::string(value);
    std::size_t header = FindSection(section);
    if (header == npos) {
        if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(std::move(line));
        return;
    }
    if (const std::size_t at = FindKey(header, key); at != npos) {
        lines_[at] = std::move(line);
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    std::size_t insertAt = SectionEnd(header);
    while (insertAt > header + 1 && Trim(lines_[insertAt - 1]).empty()) --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), std::move(line));
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::Text() const { return JoinLinesCrLf(lines_); }

void TIniFile::UpdateFile() const { WriteFileAtomically(file_, Text()); }

} // namespace kv
