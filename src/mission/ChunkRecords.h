// The record layouts inside mission chunks, walked with their stop rules: a record that would
// run past the end of its chunk ends the walk. The walks read through TByteCursor and check
// what is left before each record, so the cursor's own error is never reached from here.
#pragma once

#include "mission/ByteCursor.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace kv::records {

// The bytes up to the first zero, all of them when there is none; the view points into them.
[[nodiscard]] inline std::string_view ZeroTerminatedView(TBytesView bytes) {
    if (bytes.empty()) return {};
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(bytes.data(), 0, bytes.size()));
    const std::size_t len =
        zero != nullptr ? static_cast<std::size_t>(zero - bytes.data()) : bytes.size();
    return {reinterpret_cast<const char*>(bytes.data()), len};
}

[[nodiscard]] inline std::string ZeroTerminated(TBytesView bytes) {
    return std::string(ZeroTerminatedView(bytes));
}

// Property records: i32 object ID, u32 data size, data. OBJ_MAP and HotRegions hold the same
// layout with a text as the data.
constexpr std::size_t kPropHeadSize = 8;

struct TPropRecord {
    std::int32_t Id = 0;
    std::size_t Offset = 0; // of the record in its chunk, for PropAt
    TByteCursor Data;       // over the data alone
};

// The record at Offset, one that a walk of the chunk has found whole. Its data cursor refers to
// Chunk.
[[nodiscard]] inline TPropRecord PropAt(const TChunkView& chunk, std::size_t offset) {
    TByteCursor at = TByteCursor(chunk).At(offset);
    TByteCursor head = at.Record(kPropHeadSize);
    const std::int32_t id = head.I32();
    const std::uint32_t size = head.U32();
    return {id, offset, at.Record(size)};
}
TPropRecord PropAt(const TChunkView&& chunk, std::size_t offset) = delete;

// F(const TPropRecord&) for every whole record.
template <class F> void ForEachProp(const TChunkView& chunk, F&& f) {
    TByteCursor c(chunk);
    while (c.Remaining() >= kPropHeadSize) {
        const std::size_t offset = c.Offset();
        TByteCursor head = c.Record(kPropHeadSize);
        const std::int32_t id = head.I32();
        const std::uint32_t size = head.U32();
        if (size > c.Remaining()) break;
        f(TPropRecord{id, offset, c.Record(size)});
    }
}

// The text of a P$SymName record's data: u32 length, then the text; a length beyond the record
// is cut to the record. The view points into the chunk.
[[nodiscard]] inline std::string_view NameString(TByteCursor data) {
    if (data.Remaining() < 4) return {};
    const std::size_t len = data.U32();
    return ZeroTerminatedView(data.Bytes(std::min(len, data.Remaining())));
}

struct TNameRecord {
    std::int32_t Id = 0;
    std::size_t Offset = 0; // of the record in its chunk, for NameRecordAt
    std::string_view Name;  // into the chunk
};

[[nodiscard]] inline TNameRecord NameRecordAt(const TChunkView& chunk, std::size_t offset) {
    const TPropRecord rec = PropAt(chunk, offset);
    return {rec.Id, offset, ZeroTerminatedView(rec.Data.Rest())};
}

// Name records (OBJ_MAP, HotRegions): i32 ID, u32 length, text. F(const TNameRecord&).
template <class F> void ForEachNameRecord(const TChunkView& chunk, F&& f) {
    ForEachProp(chunk, [&f](const TPropRecord& rec) {
        f(TNameRecord{rec.Id, rec.Offset, ZeroTerminatedView(rec.Data.Rest())});
    });
}

struct TLinkRecord {
    std::int32_t LinkId = 0;
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    std::uint16_t Flavor = 0;
};

constexpr std::size_t kLinkRecordSize = 14;

// Link records, 14 bytes each; bytes after the last whole record are no record.
[[nodiscard]] inline std::size_t LinkCount(const TChunkView& chunk) {
    return chunk.Bytes.size() / kLinkRecordSize;
}

// A braced list is evaluated in order, field after field.
[[nodiscard]] inline TLinkRecord ReadLink(TByteCursor rec) {
    return {rec.I32(), rec.I32(), rec.I32(), rec.U16()};
}

[[nodiscard]] inline TLinkRecord LinkAt(const TChunkView& chunk, std::size_t i) {
    return ReadLink(TByteCursor(chunk).RecordAt(i * kLinkRecordSize, kLinkRecordSize));
}

// F(i, const TLinkRecord&) for the records in file order, I counting from 0: a walk needs one
// check per record, where LinkAt needs two.
template <class F> void ForEachLink(const TChunkView& chunk, F&& f) {
    TByteCursor c(chunk);
    for (std::size_t i = 0; c.Remaining() >= kLinkRecordSize; ++i)
        f(i, ReadLink(c.Record(kLinkRecordSize)));
}

// A link data chunk: u32 data size D, then records of i32 link ID and D bytes.
class TLinkDataChunk {
public:
    explicit TLinkDataChunk(const TChunkView& chunk) : chunk_(chunk) {
        TByteCursor c(chunk);
        if (c.Remaining() < 4) return;
        dataSize_ = c.U32();
        // 64 bits: a data size near 4 GiB must not wrap around to a tiny record.
        count_ = static_cast<std::size_t>(c.Remaining() / (std::uint64_t{dataSize_} + 4));
    }
    [[nodiscard]] std::uint32_t DataSize() const { return dataSize_; }
    [[nodiscard]] std::size_t Count() const { return count_; }
    // A cursor over the data of record I alone.
    [[nodiscard]] TByteCursor Data(std::size_t i) const {
        TByteCursor rec = Record(i);
        rec.Skip(4);
        return rec;
    }

    // F(i, link ID, cursor over the data) for the records in file order.
    template <class F> void ForEach(F&& f) const {
        if (count_ == 0) return;
        TByteCursor c(chunk_);
        c.Skip(4);
        const std::size_t size = std::size_t{dataSize_} + 4;
        for (std::size_t i = 0; i < count_; ++i) {
            TByteCursor rec = c.Record(size);
            const std::int32_t linkId = rec.I32();
            f(i, linkId, rec);
        }
    }

private:
    [[nodiscard]] TByteCursor Record(std::size_t i) const {
        const std::size_t size = std::size_t{dataSize_} + 4;
        return TByteCursor(chunk_).RecordAt(4 + i * size, size);
    }
    TChunkView chunk_;
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
// The fields are read in order and the gaps skipped: within a record a skip's check is one the
// compiler can see through, where a seek's is not.
template <class F> void ForEachBrush(const TChunkView& chunk, F&& f) {
    constexpr std::size_t kRecordSize = 76;
    constexpr std::size_t kObjIdAt = 4;
    constexpr std::size_t kMediaAt = 10;
    constexpr std::size_t kFaceCountAt = 67;
    constexpr std::size_t kFaceSize = 10;
    TByteCursor c(chunk);
    while (c.Remaining() >= kRecordSize) {
        TByteCursor rec = c.Record(kRecordSize);
        const std::uint16_t brushId = rec.U16();
        rec.Skip(kObjIdAt - 2);
        const std::int32_t objId = rec.I32();
        rec.Skip(kMediaAt - kObjIdAt - 4);
        const std::int16_t media = rec.I16();
        if (IsTerrainMedia(media)) {
            rec.Skip(kFaceCountAt - kMediaAt - 2);
            const std::size_t faces = std::size_t{rec.U8()} * kFaceSize;
            if (faces > c.Remaining()) break;
            c.Skip(faces);
        }
        f(TBrushRecord{brushId, objId, media});
    }
}

} // namespace kv::records
