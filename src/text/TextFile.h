// Reading and writing the program's small text files: whole-file reads with clear errors,
// line splitting that accepts CR, LF or both, and writes that never destroy the old file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Reads the whole file. A missing file, a folder or a read error raises Exception with a
// message naming the file.
[[nodiscard]] std::string ReadWholeFile(const std::filesystem::path& file);

// Splits text into lines at CR, LF or CR LF. A zero byte ends the text. A final line
// without a line break counts; the empty text has no lines.
[[nodiscard]] std::vector<std::string> SplitTextLines(std::string_view text);

// ReadWholeFile, then SplitTextLines.
[[nodiscard]] std::vector<std::string> ReadTextFileLines(const std::filesystem::path& file);

// Every line followed by CR LF.
[[nodiscard]] std::string JoinLinesCrLf(const std::vector<std::string>& lines);

struct TWriteOptions {
    // Tests make the write fail after this many bytes to prove that nothing is lost.
    std::size_t FailAfterBytes = std::numeric_limits<std::size_t>::max();
};

// Writes Bytes to a temporary file beside Target and renames it over Target, so a failed
// write leaves the old file as it was. A symbolic link is followed to the file it names, which
// gets the bytes while the link stays; an existing file keeps its permissions. Raises
// Exception naming the file on failure.
void WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         const TWriteOptions& options = {});

// The path as text for messages and headings, and text as a path: the program's Windows-1252
// text against the system's file names (UTF-8 on Linux, UTF-16 on Windows).
[[nodiscard]] std::string PathToText(const std::filesystem::path& p);
[[nodiscard]] std::filesystem::path TextToPath(std::string_view text);

} // namespace kv
