// The tagged file container: opening, the table of contents, and bounds-checked chunk reads.
#include "mission/MissionFile.h"

#include "mission/ByteCursor.h"
#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <share.h>
#endif

namespace kv {

namespace {

constexpr std::uint64_t kTocEntrySize = 20;
constexpr std::uint64_t kChunkHeaderSize = 24;

std::string Quoted(const std::filesystem::path& p) { return "\"" + PathToText(p) + "\""; }

std::FILE* OpenReadOnly(const std::filesystem::path& file) {
#ifdef _WIN32
    // Others may go on reading the mission (DromEd has it open), but nobody may write it while
    // it is being read.
    return _wfsopen(file.c_str(), L"rb", _SH_DENYWR);
#else
    return std::fopen(file.c_str(), "rb");
#endif
}

bool SeekTo(std::FILE* f, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(f, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool SizeOf(std::FILE* f, std::uint64_t& size) {
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0) return false;
    const __int64 end = _ftelli64(f);
#else
    if (fseeko(f, 0, SEEK_END) != 0) return false;
    const off_t end = ftello(f);
#endif
    if (end < 0) return false;
    size = static_cast<std::uint64_t>(end);
    return true;
}

} // namespace

std::string TTocEntry::Name() const {
    const auto* end = static_cast<const char*>(std::memchr(RawName.data(), 0, RawName.size()));
    const std::size_t len =
        end != nullptr ? static_cast<std::size_t>(end - RawName.data()) : RawName.size();
    return std::string(RawName.data(), len);
}

std::string ChunkName(std::string_view prefix, std::string_view name) {
    std::string result(prefix);
    result.append(name);
    if (result.size() > 11) result.resize(11);
    return result;
}

TMissionFile::~TMissionFile() = default;

void TMissionFile::Open(const std::filesystem::path& file) {
    Close();
    fileName_ = file;
    fileText_ = PathToText(file);
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        throw Exception("Cannot open mission file " + Quoted(file) +
                        ": it is a folder, not a file");
    errno = 0;
    std::FILE* f = OpenReadOnly(file);
    if (f == nullptr) {
        const int err = errno;
        if (!std::filesystem::exists(file, ec))
            throw Exception("Cannot open mission file " + Quoted(file) +
                            ": the file does not exist");
        throw Exception(
            "Cannot open mission file " + Quoted(file) + ": " +
            (err != 0 ? std::generic_category().message(err) : std::string("access denied")));
    }
    file_.reset(f);
    try {
        if (!SizeOf(f, fileSize_)) Damaged("its size cannot be determined");
        if (fileSize_ < 4) Damaged("the file is too short to hold a header");
        std::uint8_t word[4];
        ReadAt(0, word, 4);
        const std::uint64_t tocOffset = ReadU32(word);
        if (tocOffset + 4 > fileSize_)
            Damaged("the table of contents lies beyond the end of the file");
        ReadAt(tocOffset, word, 4);
        const std::uint64_t count = ReadU32(word);
        // Checked before anything is allocated, so a hostile count costs nothing.
        if (count > (fileSize_ - tocOffset - 4) / kTocEntrySize)
            Damaged("the table of contents lists " + std::to_string(count) +
                    " chunks, more than the file can hold");
        std::vector<std::uint8_t> raw(static_cast<std::size_t>(count * kTocEntrySize));
        if (!raw.empty()) ReadAt(tocOffset + 4, raw.data(), raw.size());
        std::vector<TTocEntry> entries(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const std::uint8_t* p = raw.data() + i * kTocEntrySize;
            std::memcpy(entries[i].RawName.data(), p, 12);
            entries[i].Offset = ReadU32(p + 12);
            entries[i].Size = ReadU32(p + 16);
        }
        entries_ = std::move(entries);
    } catch (...) {
        Close();
        throw;
    }
}

void TMissionFile::Close() {
    file_.reset();
    entries_.clear();
    entries_.shrink_to_fit();
    fileSize_ = 0;
}

bool TMissionFile::FindChunk(std::string_view name, TChunkInfo& info) const {
    for (const TTocEntry& e : entries_) {
        if (AnsiSameText(e.Name(), name)) {
            info = TChunkInfo{};
            info.Entry = e;
            return true;
        }
    }
    return false;
}

std::optional<TChunkBuffer> TMissionFile::ReadChunk(std::string_view name, TChunkInfo* info) {
    TChunkInfo found;
    if (!FindChunk(name, found)) return std::nullopt;
    TChunkBuffer data = ReadEntry(found.Entry, &found);
    if (info != nullptr) *info = found;
    return data;
}

TChunkBuffer TMissionFile::ReadEntry(const TTocEntry& entry, TChunkInfo* info) {
    if (!file_) throw Exception("Cannot read mission file: no file is open");
    const std::uint64_t end = std::uint64_t{entry.Offset} + kChunkHeaderSize + entry.Size;
    if (end > fileSize_) Damaged("chunk \"" + entry.Name() + "\" lies beyond the end of the file");
    std::array<std::uint8_t, 24> header{};
    ReadAt(entry.Offset, header.data(), header.size());
    TChunkBuffer data(entry.Size);
    if (!data.empty())
        ReadAt(std::uint64_t{entry.Offset} + kChunkHeaderSize, data.data(), data.size());
    if (info != nullptr) {
        info->Entry = entry;
        info->Header = header;
    }
    return data;
}

void TMissionFile::Damaged(const std::string& what) const {
    throw Exception("Cannot read mission file \"" + fileText_ + "\": " + what);
}

void TMissionFile::ReadAt(std::uint64_t offset, void* dest, std::size_t count) const {
    if (offset > fileSize_ || count > fileSize_ - offset)
        Damaged("a read would run past the end of the file");
    if (!SeekTo(file_.get(), offset) || std::fread(dest, 1, count, file_.get()) != count)
        Damaged("the file ended early or could not be read");
}

namespace records {

void TByteCursor::Overrun(const TChunkView& chunk, std::size_t end, std::size_t pos,
                          std::size_t count, TWant want) {
    std::string what = "chunk \"" + std::string(chunk.Name) + "\"";
    what += end < chunk.Bytes.size() ? ": the record ends at offset " : " ends at offset ";
    what += std::to_string(end) + " before ";
    const std::string at = " at offset " + std::to_string(pos);
    switch (want) {
    case TWant::Value: what += "the " + std::to_string(count) + "-byte value" + at; break;
    case TWant::Record: what += "the " + std::to_string(count) + "-byte record" + at; break;
    case TWant::Bytes:
        what += "the " + std::to_string(count) + (count == 1 ? " byte" : " bytes") + at;
        break;
    case TWant::Offset: what += "offset " + std::to_string(count); break;
    }
    throw Exception("Cannot read mission file \"" + std::string(chunk.File) + "\": " + what);
}

} // namespace records

} // namespace kv
