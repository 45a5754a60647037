// The byte cursor under the record walks, and the walks' stop rules on records cut short.
#include "mission/ChunkRecords.h"
#include "mission/ByteCursor.h"

#include "support/MissionWriter.h"
#include "text/Exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kv {
namespace {

using records::TByteCursor;
using records::TChunkView;
using test::TBytes;
namespace chunks = test::chunks;

// Each read either returns Value and leaves the cursor at OffsetAfter, or raises Error (after
// "Cannot read mission file "x.mis": ").
TEST(ByteCursorTest, ReadsUpToTheEndAndRaisesPastIt) {
    const TBytes ten = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0x10, 0x20, 0x30, 0x40};
    const std::string end = "chunk \"L$ControlDe\" ends at offset 10 before ";
    using TRead = std::int64_t (*)(TByteCursor&);
    const struct {
        TRead Run;
        std::int64_t Value;
        std::size_t OffsetAfter;
        std::string Error;
    } cases[] = {
        // clang-format off
        {[](TByteCursor& c) -> std::int64_t { c.Seek(6); return c.I32(); }, 0x40302010, 10, ""},
        {[](TByteCursor& c) -> std::int64_t { c.Seek(7); return c.U32(); }, 0, 0,
         end + "the 4-byte value at offset 7"},
        {[](TByteCursor& c) -> std::int64_t { c.Skip(3); return c.Bytes(8).size(); }, 0, 0,
         end + "the 8 bytes at offset 3"},
        {[](TByteCursor& c) -> std::int64_t { c.Skip(10); c.Skip(1); return 0; }, 0, 0,
         end + "the 1 byte at offset 10"},
        {[](TByteCursor& c) -> std::int64_t { c.Seek(11); return 0; }, 0, 0, end + "offset 11"},
        {[](TByteCursor& c) -> std::int64_t { c.Skip(2); TByteCursor rec = c.Record(4);
                                              (void)rec.U32(); return rec.U8(); }, 0, 0,
         "chunk \"L$ControlDe\": the record ends at offset 6 before the 1-byte value at offset 6"},
        {[](TByteCursor& c) -> std::int64_t { c.Skip(1); return c.Record(10).Remaining(); }, 0, 0,
         end + "the 10-byte record at offset 1"},
        {[](TByteCursor& c) -> std::int64_t { return c.RecordAt(7, 4).U32(); }, 0, 0,
         end + "the 4-byte record at offset 7"}};
    // clang-format on
    for (const auto& row : cases) {
        SCOPED_TRACE(row.Error);
        const TChunkView view{ten, "L$ControlDe", "x.mis"};
        TByteCursor c(view);
        try {
            const std::int64_t value = row.Run(c);
            EXPECT_EQ(row.Error, "") << "no error";
            EXPECT_EQ(value, row.Value);
            EXPECT_EQ(c.Offset(), row.OffsetAfter);
            EXPECT_EQ(c.Remaining(), ten.size() - row.OffsetAfter);
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot read mission file \"x.mis\": " + row.Error);
        }
    }
}

// Cut anywhere, a chunk delivers exactly its whole records, and the cursor never raises. Each
// walk gives the IDs of the records whose fields read back as written.
TEST(RecordWalkTest, StopsBeforeARecordCutShort) {
    using TWalk = std::vector<std::int32_t> (*)(const TChunkView& chunk);
    const struct {
        TBytes Chunk;
        std::vector<std::size_t> Ends; // of the two records, in the chunk
        std::vector<std::int32_t> Ids;
        TWalk Walk;
    } cases[] = {
        {chunks::Props({{11, TBytes(3, 0xAA)}, {12, TBytes(5, 0xBB)}}), {11, 24}, {11, 12},
         [](const TChunkView& chunk) {
             std::vector<std::int32_t> ids;
             records::ForEachProp(chunk, [&](const records::TPropRecord& rec) {
                 if (rec.Data.Remaining() == (ids.empty() ? 3u : 5u)) ids.push_back(rec.Id);
             });
             return ids;
         }},
        {chunks::NameRecords({{21, "ab"}, {22, "cdef"}}), {11, 24}, {21, 22},
         [](const TChunkView& chunk) {
             std::vector<std::int32_t> ids;
             records::ForEachNameRecord(chunk, [&](const records::TNameRecord& rec) {
                 if (rec.Name == (ids.empty() ? "ab" : "cdef")) ids.push_back(rec.Id);
             });
             return ids;
         }},
        {chunks::Links({{31, 1, 2, 5}, {32, 3, 4, 5}}), {14, 28}, {31, 32},
         [](const TChunkView& chunk) {
             std::vector<std::int32_t> ids;
             records::ForEachLink(chunk, [&](std::size_t i, const records::TLinkRecord& l) {
                 if (l.Dest == 2 + 2 * static_cast<std::int32_t>(i) && l.Flavor == 5)
                     ids.push_back(l.LinkId);
             });
             return ids;
         }},
        {chunks::LinkData(3, {{41, {1, 2, 3}}, {42, {4, 5, 6}}}), {11, 18}, {41, 42},
         [](const TChunkView& chunk) {
             std::vector<std::int32_t> ids;
             const records::TLinkDataChunk ld(chunk);
             ld.ForEach([&](std::size_t i, std::int32_t id, records::TByteCursor data) {
                 if (data.Remaining() == 3 && data.U8() == 1 + 3 * i &&
                     ld.Data(i).Rest()[2] == 3 + 3 * i)
                     ids.push_back(id);
             });
             return ids;
         }},
        // A terrain brush carries its faces after the record; an object brush has none.
        {chunks::Brushes({{1, 51, 3, 2}, {2, 52, 253, 0}}), {96, 172}, {51, 52},
         [](const TChunkView& chunk) {
             std::vector<std::int32_t> ids;
             records::ForEachBrush(chunk, [&](const records::TBrushRecord& b) {
                 if (b.BrushId == ids.size() + 1 && b.Media == (ids.empty() ? 3 : 253))
                     ids.push_back(b.ObjId);
             });
             return ids;
         }}};
    for (const auto& row : cases) {
        ASSERT_EQ(row.Chunk.size(), row.Ends.back());
        for (std::size_t len = 0; len <= row.Chunk.size(); ++len) {
            const TChunkView view{records::TBytesView(row.Chunk).first(len), "X", "x.mis"};
            std::vector<std::int32_t> expected;
            for (std::size_t r = 0; r < row.Ends.size() && row.Ends[r] <= len; ++r)
                expected.push_back(row.Ids[r]);
            EXPECT_EQ(row.Walk(view), expected) << "record " << row.Ids[0] << ", length " << len;
        }
    }
}

} // namespace
} // namespace kv
