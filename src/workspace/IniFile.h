// An initialisation file read and written the way the Windows profile functions do, so that a
// file written on Windows and one written by Korvane read the same everywhere.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

class TIniFile {
public:
    // Reads the file when it exists; a missing or unreadable file reads as empty.
    explicit TIniFile(std::filesystem::path file);

    // Section and key names match ignoring letter case; the first match wins. Values come
    // trimmed, without one pair of enclosing single or double quotes.
    [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                         const std::string& def) const;
    // A whole decimal number with an optional sign in the 32-bit range; anything else ("12abc",
    // "0x10", "3.9", "99999999999", an empty value) gives Def.
    [[nodiscard]] std::int32_t ReadInteger(std::string_view section, std::string_view key,
                                           std::int32_t def) const;
    // True for any non-zero integer as ReadInteger reads it; anything else gives Def.
    [[nodiscard]] bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // Replaces the key's line in place, or adds it at the end of its section (adding the
    // section at the end of the file when there is none). Other lines are kept as they are.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes the file with CR LF line ends; raises Exception on failure, keeping the old file.
    void UpdateFile() const;

    [[nodiscard]] const std::filesystem::path& FileName() const { return file_; }
    [[nodiscard]] std::string Text() const;

private:
    // Index of the section header line, or npos.
    [[nodiscard]] std::size_t FindSection(std::string_view section) const;
    // Index of the key line within the section starting after Header, or npos.
    [[nodiscard]] std::size_t FindKey(std::size_t header, std::string_view key) const;
    [[nodiscard]] std::size_t SectionEnd(std::size_t header) const;

    std::filesystem::path file_;
    std::vector<std::string> lines_;
};

} // namespace kv
