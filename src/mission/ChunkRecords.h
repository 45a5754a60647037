// The record layouts inside mission chunks, walked with their stop rules: a record that would
// run past the end of its chunk ends the walk, so nothing is ever read out of bounds.
#pragma once

#include "mission/MissionFile.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace kv::records {

using TBytesView = std::span<const std::uint8_t>;

// The bytes up to the first zero, at most N; the view points into the chunk.
[[nodiscard]] inline std::string_view ZeroTerminatedView(const std::uint8_t* p, std::size_t n) {
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(p, 0, n));
    const std::size_t len = zero != nullptr ? static_cast<std::size_t>(zero - p) : n;
    return {reinterpret_cast<const char*>(p), len};
}

[[nodiscard]] inline std::string ZeroTerminated(const std::uint8_t* p, std::size_t n) {
    return std::string(ZeroTerminatedView(p, n));
}

// Property records: i32 object ID, u32 data size, data. F(id, data).
template <class F> void ForEachProp(TBytesView chunk, F&& f) {
    std::size_t pos = 0;
    while (chunk.size() - pos >= 8) {
        const std::int32_t id = ReadI32(chunk.data() + pos);
        const std::uint32_t size = ReadU32(chunk.data() + pos + 4);
        if (size > chunk.size() - pos - 8) break;
        f(id, chunk.subspan(pos + 8, size));
        pos += 8 + std::size_t{size};
    }
}

// The data of a P$SymName record: u32 length, then the text; a length beyond the record is cut
// to the record. The view points into the chunk.
[[nodiscard]] inline std::string_view NameString(TBytesView data) {
    if (data.size() < 4) return {};
    const std::size_t len = ReadU32(data.data());
    const std::size_t avail = data.size() - 4;
    return ZeroTerminatedView(data.data() + 4, len < avail ? len : avail);
}

// Name records (OBJ_MAP, HotRegions): i32 ID, u32 length, text. F(id, name), the name a view
// into the chunk.
template <class F> void ForEachNameRecord(TBytesView chunk, F&& f) {
    std::size_t pos = 0;
    while (chunk.size() - pos >= 8) {
        const std::int32_t id = ReadI32(chunk.data() + pos);
        const std::uint32_t len = ReadU32(chunk.data() + pos + 4);
        if (len > chunk.size() - pos - 8) break;
        f(id, ZeroTerminatedView(chunk.data() + pos + 8, len));
        pos += 8 + std::size_t{len};
    }
}

struct TLinkRecord {
    std::int32_t LinkId = 0;
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    std::uint16_t Flavor = 0;
};

constexpr std::size_t kLinkRecordSize = 14;

[[nodiscard]] inline std::size_t LinkCount(TBytesView chunk) {
    return chunk.size() / kLinkRecordSize;
}

[[nodiscard]] inline TLinkRecord LinkAt(TBytesView chunk, std::size_t i) {
    const std::uint8_t* p = chunk.data() + i * kLinkRecordSize;
    return {ReadI32(p), ReadI32(p + 4), ReadI32(p + 8), ReadU16(p + 12)};
}

// A link data chunk: u32 data size D, then records of i32 link ID and D bytes.
class TLinkDataChunk {
public:
    explicit TLinkDataChunk(TBytesView chunk) : chunk_(chunk) {
        if (chunk.size() < 4) return;
        dataSize_ = ReadU32(chunk.data());
        count_ = static_cast<std::size_t>((chunk.size() - 4) / (std::uint64_t{dataSize_} + 4));
    }
    [[nodiscard]] std::uint32_t DataSize() const { return dataSize_; }
    [[nodiscard]] std::size_t Count() const { return count_; }
    [[nodiscard]] std::int32_t LinkId(std::size_t i) const { return ReadI32(Record(i)); }
    [[nodiscard]] TBytesView Data(std::size_t i) const { return {Record(i) + 4, dataSize_}; }

private:
    [[nodiscard]] const std::uint8_t* Record(std::size_t i) const {
        return chunk_.data() + 4 + i * (std::size_t{dataSize_} + 4);
    }
    TBytesView chunk_;
    std::uint32_t dataSize_ = 0;
    std::size_t count_ = 0;
};

struct TBrushRecord {
    std::uint16_t BrushId = 0;
    std::int32_t ObjId = 0;
    std::int16_t Media = 0;
};

[[nodiscard]] constexpr bool IsTerrainMedia(std::int16_t media) {
    return media >= 0 && media <= 127;
}

// Brush records: 76 bytes, terrain brushes followed by 10 bytes per face. F(record).
template <class F> void ForEachBrush(TBytesView chunk, F&& f) {
    constexpr std::size_t kRecordSize = 76;
    std::size_t pos = 0;
    while (chunk.size() - pos >= kRecordSize) {
        const std::uint8_t* p = chunk.data() + pos;
        const TBrushRecord rec{ReadU16(p), ReadI32(p + 4), ReadI16(p + 10)};
        std::size_t next = pos + kRecordSize;
        if (IsTerrainMedia(rec.Media)) {
            const std::size_t faces = std::size_t{p[67]} * 10;
            if (faces > chunk.size() - next) break;
            next += faces;
        }
        f(rec);
        pos = next;
    }
}

} // namespace kv::records
