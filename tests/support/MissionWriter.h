// Builds DromEd tag files in code, so that each test makes exactly the mission or gamesys it
// needs: chunks in any order and with any content, and the record layouts of the chunks the
// program reads.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kv::test {

using TBytes = std::vector<std::uint8_t>;

// Little-endian, Size bytes of V.
inline void PutLE(TBytes& b, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}
inline void PutU32(TBytes& b, std::uint32_t v) { PutLE(b, v, 4); }
inline void PutI32(TBytes& b, std::int32_t v) { PutLE(b, static_cast<std::uint32_t>(v), 4); }
// The bytes alone.
inline void PutText(TBytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
inline void Append(TBytes& b, const TBytes& more) { b.insert(b.end(), more.begin(), more.end()); }
[[nodiscard]] inline TBytes I32Bytes(std::int32_t v) {
    TBytes b;
    PutI32(b, v);
    return b;
}
[[nodiscard]] inline TBytes Concat(const TBytes& a, const TBytes& b) {
    TBytes r = a;
    Append(r, b);
    return r;
}

struct TLinkRec {
    std::int32_t LinkId = 0;
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    std::uint16_t Flavor = 0;
};

struct TBrushRec {
    std::uint16_t BrushId = 0;
    std::int32_t ObjId = 0;
    std::int16_t Media = 0;
    std::uint8_t FaceCount = 0; // terrain brushes carry 10 bytes per face after the record
};

// Chunk contents in the layouts the mission reader understands.
namespace chunks {
using TNames = std::vector<std::pair<std::int32_t, std::string>>;

// A zero-terminated text (GAM_FILE).
[[nodiscard]] inline TBytes ZText(const std::string& text) {
    TBytes b(text.begin(), text.end());
    b.push_back(0);
    return b;
}
// A length-prefixed, zero-terminated text.
[[nodiscard]] inline TBytes LenZText(const std::string& s) {
    TBytes b;
    PutU32(b, static_cast<std::uint32_t>(s.size() + 1));
    return Concat(b, ZText(s));
}
// Property records: object ID, data size, data.
[[nodiscard]] inline TBytes Props(const std::vector<std::pair<std::int32_t, TBytes>>& records) {
    TBytes b;
    for (const auto& [id, data] : records) {
        PutI32(b, id);
        PutU32(b, static_cast<std::uint32_t>(data.size()));
        Append(b, data);
    }
    return b;
}
// P$SymName: property records whose data is a length-prefixed, zero-terminated name.
[[nodiscard]] inline TBytes SymNames(const TNames& names) {
    std::vector<std::pair<std::int32_t, TBytes>> records;
    for (const auto& [id, name] : names) records.emplace_back(id, LenZText(name));
    return Props(records);
}
// OBJ_MAP and HotRegions: ID, length, text (zero-terminated).
[[nodiscard]] inline TBytes NameRecords(const TNames& names) {
    TBytes b;
    for (const auto& [id, name] : names) {
        PutI32(b, id);
        Append(b, LenZText(name));
    }
    return b;
}
[[nodiscard]] inline TBytes Links(const std::vector<TLinkRec>& links) {
    TBytes b;
    for (const TLinkRec& l : links) {
        for (const std::int32_t v : {l.LinkId, l.Source, l.Dest}) PutI32(b, v);
        PutLE(b, l.Flavor, 2);
    }
    return b;
}
// Link data chunk: the data size, then link ID and data per record (each data DataSize bytes).
[[nodiscard]] inline TBytes LinkData(std::uint32_t dataSize,
                                     const std::vector<std::pair<std::int32_t, TBytes>>& records) {
    TBytes b;
    PutU32(b, dataSize);
    for (const auto& [id, data] : records) {
        if (data.size() != dataSize) throw std::invalid_argument("link data of the wrong size");
        PutI32(b, id);
        Append(b, data);
    }
    return b;
}
// 76-byte brush records; terrain brushes (media 0..127) followed by their face blocks.
[[nodiscard]] inline TBytes Brushes(const std::vector<TBrushRec>& brushes) {
    TBytes b;
    for (const TBrushRec& r : brushes) { // ID at 0, object at 4, media at 10, faces at 67
        PutLE(b, r.BrushId, 4);
        PutI32(b, r.ObjId);
        PutLE(b, 0, 2);
        PutLE(b, static_cast<std::uint16_t>(r.Media), 2);
        b.resize(b.size() + 55, 0);
        PutLE(b, r.FaceCount, 1);
        b.resize(b.size() + 8, 0);
        if (r.Media >= 0 && r.Media <= 127) b.insert(b.end(), std::size_t{10} * r.FaceCount, 0xFA);
    }
    return b;
}
// Relations: 32-byte zero-padded names.
[[nodiscard]] inline TBytes Relations(const std::vector<std::string>& names) {
    TBytes b;
    for (const std::string& n : names) {
        PutText(b, n.substr(0, 31));
        b.resize(b.size() + 32 - std::min<std::size_t>(n.size(), 31), 0);
    }
    return b;
}
// A "Loot" property value: gold, gems, art, special flags.
[[nodiscard]] inline TBytes Loot(std::int32_t gold, std::int32_t gems, std::int32_t art,
                                 std::uint32_t special) {
    TBytes b;
    for (const std::int32_t v : {gold, gems, art}) PutI32(b, v);
    PutU32(b, special);
    return b;
}
} // namespace chunks

class TMissionWriter {
public:
    // Adds a chunk; chunks are laid out in the order added and listed in that order in the
    // table of contents. Names longer than 12 characters are cut.
    TMissionWriter& Chunk(const std::string& name, TBytes data) {
        chunks_.push_back({name.substr(0, 12), {}, std::move(data)});
        return *this;
    }
    // Fills the 24-byte chunk header of the last chunk added (the reader ignores it).
    TMissionWriter& Header(const std::array<std::uint8_t, 24>& header) {
        if (!chunks_.empty()) chunks_.back().Header = header;
        return *this;
    }
    // The whole file: a 4-byte table-of-contents offset and 268 more header bytes, the
    // chunks (header and data), then the table of contents.
    [[nodiscard]] TBytes Bytes() const {
        TBytes file(272, 0); // the file header; only its first four bytes mean something here
        TBytes toc;
        PutU32(toc, static_cast<std::uint32_t>(chunks_.size()));
        for (const auto& [name, header, data] : chunks_) {
            PutText(toc, name);
            toc.resize(toc.size() + 12 - name.size(), 0);
            PutU32(toc, static_cast<std::uint32_t>(file.size()));
            PutU32(toc, static_cast<std::uint32_t>(data.size()));
            file.insert(file.end(), header.begin(), header.end());
            Append(file, data);
        }
        const TBytes offset = I32Bytes(static_cast<std::int32_t>(file.size()));
        std::copy(offset.begin(), offset.end(), file.begin());
        return Concat(file, toc);
    }

private:
    struct TChunk {
        std::string Name;
        std::array<std::uint8_t, 24> Header{};
        TBytes Data;
    };
    std::vector<TChunk> chunks_;
};

inline void SaveBytes(const std::filesystem::path& file, const TBytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write test file " + file.string());
}

} // namespace kv::test
