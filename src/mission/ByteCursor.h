// A bounds-checked reader of a loaded chunk's bytes. The record walks look at Remaining() before
// every record and stop where their own rules say; the cursor's check is the net below them, so
// that a slip in a walk ends in the damaged-file error instead of a read out of bounds. Reads are
// inline and cost one comparison; inside a cursor made by Record() the compiler can see that a
// fixed-size read fits and drops even that.
#pragma once

#include "mission/MissionFile.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kv::records {

using TBytesView = std::span<const std::uint8_t>;

// A chunk's bytes with the names its damaged-file message needs. It owns nothing: the buffer
// and both names must outlive it.
struct TChunkView {
    TBytesView Bytes;
    std::string_view Name; // the chunk
    std::string_view File; // the file it was loaded from, as text
};

// A cursor refers to its view for the message and must not outlive it; a view made on the spot
// is refused, as it would be gone before the cursor. Only the bytes' place and the cursor's
// offsets are copied, so that a walk's cursors fit in registers.
class TByteCursor {
public:
    explicit TByteCursor(const TChunkView& chunk) noexcept
        : data_(chunk.Bytes.data()), end_(chunk.Bytes.size()), chunk_(&chunk) {}
    explicit TByteCursor(const TChunkView&& chunk) = delete;

    // From the start of the chunk, also in a cursor made by Record().
    [[nodiscard]] std::size_t Offset() const noexcept { return pos_; }
    [[nodiscard]] std::size_t Remaining() const noexcept { return end_ - pos_; }
    // The bytes left; the cursor stays where it is.
    [[nodiscard]] TBytesView Rest() const noexcept { return {data_ + pos_, end_ - pos_}; }

    [[nodiscard]] std::uint8_t U8() { return *Take(1, TWant::Value); }
    [[nodiscard]] std::uint16_t U16() { return ReadU16(Take(2, TWant::Value)); }
    [[nodiscard]] std::int16_t I16() { return ReadI16(Take(2, TWant::Value)); }
    [[nodiscard]] std::uint32_t U32() { return ReadU32(Take(4, TWant::Value)); }
    [[nodiscard]] std::int32_t I32() { return ReadI32(Take(4, TWant::Value)); }

    [[nodiscard]] TBytesView Bytes(std::size_t count) { return {Take(count, TWant::Bytes), count}; }
    void Skip(std::size_t count) { (void)Take(count, TWant::Bytes); }
    // To an offset from the start of the chunk, at most the end.
    void Seek(std::size_t offset) {
        if (offset > end_) Overrun(offset, TWant::Offset);
        pos_ = offset;
    }
    // A copy of this cursor at Offset.
    [[nodiscard]] TByteCursor At(std::size_t offset) const {
        TByteCursor at = *this;
        at.Seek(offset);
        return at;
    }
    // The next Count bytes as a cursor of their own, which ends where they end; this cursor moves
    // past them. A walk that has checked a record once reads its fields through this.
    [[nodiscard]] TByteCursor Record(std::size_t count) {
        if (end_ - pos_ < count) Overrun(count, TWant::Record);
        TByteCursor record = *this;
        record.end_ = pos_ + count;
        pos_ += count;
        return record;
    }

    // The Count bytes at Offset as a cursor of their own: At(Offset).Record(Count) in one check.
    [[nodiscard]] TByteCursor RecordAt(std::size_t offset, std::size_t count) const {
        if (offset > end_ || end_ - offset < count) Overrun(offset, count, TWant::Record);
        TByteCursor record = *this;
        record.pos_ = offset;
        record.end_ = offset + count;
        return record;
    }

private:
    enum class TWant { Value, Bytes, Record, Offset };

    [[nodiscard]] const std::uint8_t* Take(std::size_t count, TWant want) {
        if (end_ - pos_ < count) Overrun(count, want);
        const std::uint8_t* p = data_ + pos_;
        pos_ += count;
        return p;
    }
    // The message names the file, the chunk and the offsets.
    [[noreturn, gnu::cold]] static void Overrun(const TChunkView& chunk, std::size_t end,
                                                std::size_t pos, std::size_t count, TWant want);
    // Inlined even on the cold paths, where the compiler would rather call it: a call would need
    // the cursor's address, and the cursor could no longer live in registers.
    [[noreturn, gnu::always_inline]] void Overrun(std::size_t count, TWant want) const {
        Overrun(*chunk_, end_, pos_, count, want);
    }
    [[noreturn, gnu::always_inline]] void Overrun(std::size_t pos, std::size_t count,
                                                  TWant want) const {
        Overrun(*chunk_, end_, pos, count, want);
    }

    const std::uint8_t* data_;
    std::size_t pos_ = 0;
    std::size_t end_; // where reads stop: the end of the chunk or of a record
    const TChunkView* chunk_;
};

} // namespace kv::records
