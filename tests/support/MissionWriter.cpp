#include "support/MissionWriter.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace kv::test {

namespace {
// Little-endian, Size bytes of V.
void PutLE(TBytes& b, std::uint32_t v, int size) {
    for (int i = 0; i < size; ++i) b.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}
void Append(TBytes& b, const TBytes& more) { b.insert(b.end(), more.begin(), more.end()); }
// A length-prefixed, zero-terminated text.
TBytes LenZText(const std::string& s) {
    TBytes b;
    PutU32(b, static_cast<std::uint32_t>(s.size() + 1));
    return Concat(b, chunks::ZText(s));
}
} // namespace

void PutU32(TBytes& b, std::uint32_t v) { PutLE(b, v, 4); }
void PutI32(TBytes& b, std::int32_t v) { PutLE(b, static_cast<std::uint32_t>(v), 4); }
void PutText(TBytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }
TBytes I32Bytes(std::int32_t v) {
    TBytes b;
    PutI32(b, v);
    return b;
}
TBytes Concat(const TBytes& a, const TBytes& b) {
    TBytes r = a;
    Append(r, b);
    return r;
}

namespace chunks {

TBytes QuestVars(const std::vector<std::pair<std::string, std::int32_t>>& vars) {
    TBytes b;
    for (const auto& [name, value] : vars) {
        Append(b, LenZText(name));
        PutI32(b, value);
    }
    return b;
}

TBytes Props(const std::vector<std::pair<std::int32_t, TBytes>>& records) {
    TBytes b;
    for (const auto& [id, data] : records) {
        PutI32(b, id);
        PutU32(b, static_cast<std::uint32_t>(data.size()));
        Append(b, data);
    }
    return b;
}

TBytes SymNames(const TNames& names) {
    std::vector<std::pair<std::int32_t, TBytes>> records;
    for (const auto& [id, name] : names) records.emplace_back(id, LenZText(name));
    return Props(records);
}

TBytes NameRecords(const TNames& names) {
    TBytes b;
    for (const auto& [id, name] : names) {
        PutI32(b, id);
        Append(b, LenZText(name));
    }
    return b;
}

TBytes Links(const std::vector<TLinkRec>& links) {
    TBytes b;
    for (const TLinkRec& l : links) {
        for (const std::int32_t v : {l.LinkId, l.Source, l.Dest}) PutI32(b, v);
        PutLE(b, l.Flavor, 2);
    }
    return b;
}

TBytes LinkData(std::uint32_t dataSize,
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

TBytes Brushes(const std::vector<TBrushRec>& brushes) {
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

TBytes Relations(const std::vector<std::string>& names) {
    TBytes b;
    for (const std::string& n : names) {
        PutText(b, n.substr(0, 31));
        b.resize(b.size() + 32 - std::min<std::size_t>(n.size(), 31), 0);
    }
    return b;
}

TBytes ZText(const std::string& text) {
    TBytes b(text.begin(), text.end());
    b.push_back(0);
    return b;
}

TBytes Loot(std::int32_t gold, std::int32_t gems, std::int32_t art, std::uint32_t special) {
    TBytes b;
    for (const std::int32_t v : {gold, gems, art}) PutI32(b, v);
    PutU32(b, special);
    return b;
}

} // namespace chunks

TMissionWriter& TMissionWriter::Chunk(const std::string& name, TBytes data) {
    chunks_.push_back({name.substr(0, 12), {}, std::move(data)});
    return *this;
}

TMissionWriter& TMissionWriter::Header(const std::array<std::uint8_t, 24>& header) {
    if (!chunks_.empty()) chunks_.back().Header = header;
    return *this;
}

TBytes TMissionWriter::Bytes() const {
    TBytes file(272, 0); // the file header; only its first four bytes mean something here
    TBytes toc;
    PutU32(toc, static_cast<std::uint32_t>(chunks_.size()));
    for (const TChunk& c : chunks_) {
        PutText(toc, c.Name);
        toc.resize(toc.size() + 12 - c.Name.size(), 0);
        PutU32(toc, static_cast<std::uint32_t>(file.size()));
        PutU32(toc, static_cast<std::uint32_t>(c.Data.size()));
        file.insert(file.end(), c.Header.begin(), c.Header.end());
        Append(file, c.Data);
    }
    TBytes offset;
    PutU32(offset, static_cast<std::uint32_t>(file.size()));
    std::copy(offset.begin(), offset.end(), file.begin());
    return Concat(file, toc);
}

void SaveBytes(const std::filesystem::path& file, const TBytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write test file " + file.string());
}

} // namespace kv::test
