// The tagged file container of DromEd missions and gamesys files: a table of contents of named
// chunks, each a 24-byte header and its data. Files are only ever read. Every offset and size is
// checked against the file, so a damaged or hostile file ends in a clear error and never makes
// the reader allocate more than the file holds.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

struct TTocEntry {
    std::array<char, 12> RawName{}; // as stored: zero-padded, not always zero-terminated
    std::uint32_t Offset = 0;
    std::uint32_t Size = 0;

    // The bytes before the first zero byte, all 12 when there is none.
    [[nodiscard]] std::string Name() const;
};

struct TChunkInfo {
    TTocEntry Entry;
    std::array<std::uint8_t, 24> Header{};
};

// A loaded chunk's data, exactly Entry.Size bytes.
using TChunkBuffer = std::vector<std::uint8_t>;

// "P$" + name, "L$" + flavor, "LD$" + flavor: cut to the 11 characters a chunk name holds.
[[nodiscard]] std::string ChunkName(std::string_view prefix, std::string_view name);

class TMissionFile {
public:
    TMissionFile() = default;
    ~TMissionFile();
    TMissionFile(const TMissionFile&) = delete;
    TMissionFile& operator=(const TMissionFile&) = delete;

    // Opens for reading (on Windows with writing by others denied) and reads the table of
    // contents. Raises Exception naming the file when it cannot be opened or the table lies
    // beyond its end.
    void Open(const std::filesystem::path& file);
    void Close();
    [[nodiscard]] bool IsOpen() const { return file_ != nullptr; }
    // A table of contents without entries: operations on such a file end quietly.
    [[nodiscard]] bool Empty() const { return entries_.empty(); }

    // The first entry whose name equals Name ignoring letter case.
    [[nodiscard]] bool FindChunk(std::string_view name, TChunkInfo& info) const;
    // The chunk's data, or std::nullopt when there is no such chunk. A chunk that lies beyond
    // the end of the file raises Exception.
    [[nodiscard]] std::optional<TChunkBuffer> ReadChunk(std::string_view name,
                                                        TChunkInfo* info = nullptr);
    // The data of one entry of the table of contents.
    [[nodiscard]] TChunkBuffer ReadEntry(const TTocEntry& entry, TChunkInfo* info = nullptr);

    [[nodiscard]] const std::vector<TTocEntry>& Entries() const { return entries_; }
    [[nodiscard]] const std::filesystem::path& FileName() const { return fileName_; }
    // The file name as the messages show it.
    [[nodiscard]] const std::string& FileText() const { return fileText_; }
    [[nodiscard]] std::uint64_t FileSize() const { return fileSize_; }

private:
    struct TFileCloser {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    [[noreturn]] void Damaged(const std::string& what) const;
    void ReadAt(std::uint64_t offset, void* dest, std::size_t count) const;

    std::unique_ptr<std::FILE, TFileCloser> file_;
    std::filesystem::path fileName_;
    std::string fileText_;
    std::uint64_t fileSize_ = 0;
    std::vector<TTocEntry> entries_;
};

// Little-endian reads from bytes whose bounds the caller has checked; chunk data is read through
// records::TByteCursor (ByteCursor.h), which checks them.
[[nodiscard]] inline std::uint32_t ReadU32(const std::uint8_t* p) noexcept {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
[[nodiscard]] inline std::int32_t ReadI32(const std::uint8_t* p) noexcept {
    return static_cast<std::int32_t>(ReadU32(p));
}
[[nodiscard]] inline std::uint16_t ReadU16(const std::uint8_t* p) noexcept {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
[[nodiscard]] inline std::int16_t ReadI16(const std::uint8_t* p) noexcept {
    return static_cast<std::int16_t>(ReadU16(p));
}

} // namespace kv
