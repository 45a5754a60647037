#include "support/MissionWriter.h"

#include <fstream>
#include <stdexcept>

namespace kv::test {

void PutU8(TBytes& b, std::uint8_t v) { b.push_back(v); }
void PutU16(TBytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutI16(TBytes& b, std::int16_t v) { PutU16(b, static_cast<std::uint16_t>(v)); }
void PutU32(TBytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF));
}
void PutI32(TBytes& b, std::int32_t v) { PutU32(b, static_cast<std::uint32_t>(v)); }
void PutText(TBytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

TBytes I32Bytes(std::int32_t v) {
    TBytes b;
    PutI32(b, v);
    return b;
}

TBytes Concat(const TBytes& a, const TBytes& b) {
    TBytes r = a;
    r.insert(r.end(), b.begin(), b.end());
    return r;
}

namespace chunks {

TBytes Props(const std::vector<std::pair<std::int32_t, TBytes>>& records) {
    TBytes b;
    for (const auto& [id, data] : records) {
        PutI32(b, id);
        PutU32(b, static_cast<std::uint32_t>(data.size()));
        b.insert(b.end(), data.begin(), data.end());
    }
    return b;
}

TBytes SymNames(const std::vector<std::pair<std::int32_t, std::string>>& names) {
    std::vector<std::pair<std::int32_t, TBytes>> records;
    for (const auto& [id, name] : names) {
        TBytes data;
        PutU32(data, static_cast<std::uint32_t>(name.size() + 1));
        PutText(data, name);
        data.push_back(0);
        records.emplace_back(id, std::move(data));
    }
    return Props(records);
}

TBytes NameRecords(const std::vector<std::pair<std::int32_t, std::string>>& names) {
    TBytes b;
    for (const auto& [id, name] : names) {
        PutI32(b, id);
        PutU32(b, static_cast<std::uint32_t>(name.size() + 1));
        PutText(b, name);
        b.push_back(0);
    }
    return b;
}

TBytes Links(const std::vector<TLinkRec>& links) {
    TBytes b;
    for (const TLinkRec& l : links) {
        PutI32(b, l.LinkId);
        PutI32(b, l.Source);
        PutI32(b, l.Dest);
        PutU16(b, l.Flavor);
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
        b.insert(b.end(), data.begin(), data.end());
    }
    return b;
}

TBytes Brushes(const std::vector<TBrushRec>& brushes) {
    TBytes b;
    for (const TBrushRec& r : brushes) {
        TBytes rec(76, 0);
        rec[0] = static_cast<std::uint8_t>(r.BrushId & 0xFF);
        rec[1] = static_cast<std::uint8_t>(r.BrushId >> 8);
        const auto obj = static_cast<std::uint32_t>(r.ObjId);
        for (int i = 0; i < 4; ++i) rec[4 + i] = static_cast<std::uint8_t>((obj >> (8 * i)) & 0xFF);
        const auto media = static_cast<std::uint16_t>(r.Media);
        rec[10] = static_cast<std::uint8_t>(media & 0xFF);
        rec[11] = static_cast<std::uint8_t>(media >> 8);
        rec[67] = r.FaceCount;
        b.insert(b.end(), rec.begin(), rec.end());
        if (r.Media >= 0 && r.Media <= 127) b.insert(b.end(), std::size_t{10} * r.FaceCount, 0xFA);
    }
    return b;
}

TBytes Relations(const std::vector<std::string>& names) {
    TBytes b;
    for (const std::string& n : names) {
        TBytes entry(32, 0);
        for (std::size_t i = 0; i < n.size() && i < 31; ++i)
            entry[i] = static_cast<std::uint8_t>(n[i]);
        b.insert(b.end(), entry.begin(), entry.end());
    }
    return b;
}

TBytes ZText(const std::string& text) {
    TBytes b;
    PutText(b, text);
    b.push_back(0);
    return b;
}

TBytes Loot(std::int32_t gold, std::int32_t gems, std::int32_t art, std::uint32_t special) {
    TBytes b;
    PutI32(b, gold);
    PutI32(b, gems);
    PutI32(b, art);
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
    std::vector<std::uint32_t> offsets;
    for (const TChunk& c : chunks_) {
        offsets.push_back(static_cast<std::uint32_t>(file.size()));
        file.insert(file.end(), c.Header.begin(), c.Header.end());
        file.insert(file.end(), c.Data.begin(), c.Data.end());
    }
    const auto toc = static_cast<std::uint32_t>(file.size());
    PutU32(file, static_cast<std::uint32_t>(chunks_.size()));
    for (std::size_t i = 0; i < chunks_.size(); ++i) {
        std::array<std::uint8_t, 12> name{};
        for (std::size_t k = 0; k < chunks_[i].Name.size(); ++k) {
            name[k] = static_cast<std::uint8_t>(chunks_[i].Name[k]);
        }
        file.insert(file.end(), name.begin(), name.end());
        PutU32(file, offsets[i]);
        PutU32(file, static_cast<std::uint32_t>(chunks_[i].Data.size()));
    }
    for (int i = 0; i < 4; ++i)
        file[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((toc >> (8 * i)) & 0xFF);
    return file;
}

void TMissionWriter::Save(const std::filesystem::path& file) const { SaveBytes(file, Bytes()); }

void SaveBytes(const std::filesystem::path& file, const TBytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write test file " + file.string());
}

} // namespace kv::test
