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

// ---- the cursor ----

const TBytes kTen = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0x10, 0x20, 0x30, 0x40};

struct TCursorCase {
    const char* Name;
    std::int64_t (*Run)(TByteCursor& c);
    std::int64_t Value;      // what Run returns when it succeeds
    std::size_t OffsetAfter; // of the cursor Run was given
    const char* Error;       // after "Cannot read mission file "x.mis": "; empty when none
};

class ByteCursorTest : public ::testing::TestWithParam<TCursorCase> {};

TEST_P(ByteCursorTest, ReadsUpToTheEndAndRaisesPastIt) {
    const TCursorCase& row = GetParam();
    const TChunkView view{kTen, "L$ControlDe", "x.mis"};
    TByteCursor c(view);
    try {
        const std::int64_t value = row.Run(c);
        EXPECT_EQ(std::string(row.Error), "") << "no error";
        EXPECT_EQ(value, row.Value);
        EXPECT_EQ(c.Offset(), row.OffsetAfter);
        EXPECT_EQ(c.Remaining(), kTen.size() - row.OffsetAfter);
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot read mission file \"x.mis\": " + std::string(row.Error));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reads, ByteCursorTest,
    ::testing::Values(
        TCursorCase{"U32AtTheStart", [](TByteCursor& c) -> std::int64_t { return c.U32(); },
                    0x04030201, 4, ""},
        TCursorCase{"I16AfterASkip",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Skip(4);
                        return c.I16();
                    },
                    -2, 6, ""},
        TCursorCase{"U32EndingAtTheEnd",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Seek(6);
                        return c.I32();
                    },
                    0x40302010, 10, ""},
        TCursorCase{"U32OneBytePastTheEnd",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Seek(7);
                        return c.U32();
                    },
                    0, 0,
                    "chunk \"L$ControlDe\" ends at offset 10 before the 4-byte value at offset 7"},
        TCursorCase{"U8AtTheEnd",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Seek(10);
                        return c.U8();
                    },
                    0, 0,
                    "chunk \"L$ControlDe\" ends at offset 10 before the 1-byte value at offset 10"},
        TCursorCase{"BytesToTheEnd",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Skip(3);
                        return c.Bytes(7)[1];
                    },
                    0xFE, 10, ""},
        TCursorCase{"BytesOnePastTheEnd",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Skip(3);
                        return c.Bytes(8).size();
                    },
                    0, 0, "chunk \"L$ControlDe\" ends at offset 10 before the 8 bytes at offset 3"},
        TCursorCase{"SkipOnePastTheEnd",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Skip(10);
                        c.Skip(1);
                        return 0;
                    },
                    0, 0, "chunk \"L$ControlDe\" ends at offset 10 before the 1 byte at offset 10"},
        TCursorCase{"SeekToTheEnd",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Seek(10);
                        return static_cast<std::int64_t>(c.Rest().size());
                    },
                    0, 10, ""},
        TCursorCase{"SeekOnePastTheEnd",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Seek(11);
                        return 0;
                    },
                    0, 0, "chunk \"L$ControlDe\" ends at offset 10 before offset 11"},
        TCursorCase{"AtLeavesTheCursorWhereItWas",
                    [](TByteCursor& c) -> std::int64_t { return c.At(4).I16(); }, -2, 0, ""},
        TCursorCase{"ARecordEndsItsReads",
                    [](TByteCursor& c) -> std::int64_t {
                        c.Skip(2);
                        TByteCursor rec = c.Record(4);
                        (void)rec.U32();
                        return rec.U8();
                    },
                    0, 0,
                    "chunk \"L$ControlDe\": the record ends at offset 6 before the 1-byte value "
                    "at offset 6"},
        TCursorCase{
            "ARecordOnePastTheEnd",
            [](TByteCursor& c) -> std::int64_t {
                c.Skip(1);
                return c.Record(10).Remaining();
            },
            0, 0, "chunk \"L$ControlDe\" ends at offset 10 before the 10-byte record at offset 1"},
        TCursorCase{"ARecordAtTheEnd",
                    [](TByteCursor& c) -> std::int64_t { return c.RecordAt(6, 4).U32(); },
                    0x40302010, 0, ""},
        TCursorCase{
            "ARecordAtOnePastTheEnd",
            [](TByteCursor& c) -> std::int64_t { return c.RecordAt(7, 4).U32(); }, 0, 0,
            "chunk \"L$ControlDe\" ends at offset 10 before the 4-byte record at offset 7"}),
    [](const auto& row) { return std::string(row.param.Name); });

// ---- the walks ----

// The IDs a walk of the chunk delivers, in order.
using TWalk = std::vector<std::int32_t> (*)(const TChunkView& chunk);

struct TWalkCase {
    const char* Name;
    TBytes Chunk;
    std::vector<std::size_t> Ends; // of the records, in the chunk
    std::vector<std::int32_t> Ids; // of the records
    TWalk Walk;
};

class RecordWalkTest : public ::testing::TestWithParam<TWalkCase> {};

// Cut anywhere, a chunk delivers exactly its whole records, and the cursor never raises.
TEST_P(RecordWalkTest, StopsBeforeARecordCutShort) {
    const TWalkCase& row = GetParam();
    ASSERT_EQ(row.Chunk.size(), row.Ends.back());
    for (std::size_t len = 0; len <= row.Chunk.size(); ++len) {
        const TChunkView view{records::TBytesView(row.Chunk).first(len), "X", "x.mis"};
        std::vector<std::int32_t> expected;
        for (std::size_t r = 0; r < row.Ends.size() && row.Ends[r] <= len; ++r)
            expected.push_back(row.Ids[r]);
        EXPECT_EQ(row.Walk(view), expected) << "length " << len;
    }
}

test::TBrushRec Brush(std::uint16_t id, std::int32_t objId, std::int16_t media,
                      std::uint8_t faces) {
    test::TBrushRec b;
    b.BrushId = id;
    b.ObjId = objId;
    b.Media = media;
    b.FaceCount = faces;
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Walks, RecordWalkTest,
    ::testing::Values(
        TWalkCase{"Props",
                  test::chunks::Props({{11, TBytes(3, 0xAA)}, {12, TBytes(5, 0xBB)}}),
                  {11, 24},
                  {11, 12},
                  [](const TChunkView& chunk) {
                      std::vector<std::int32_t> ids;
                      records::ForEachProp(chunk, [&](const records::TPropRecord& rec) {
                          if (rec.Data.Remaining() == (ids.empty() ? 3u : 5u))
                              ids.push_back(rec.Id);
                      });
                      return ids;
                  }},
        TWalkCase{"NameRecords",
                  test::chunks::NameRecords({{21, "ab"}, {22, "cdef"}}),
                  {11, 24},
                  {21, 22},
                  [](const TChunkView& chunk) {
                      std::vector<std::int32_t> ids;
                      records::ForEachNameRecord(chunk, [&](const records::TNameRecord& rec) {
                          if (rec.Name == (ids.empty() ? "ab" : "cdef")) ids.push_back(rec.Id);
                      });
                      return ids;
                  }},
        TWalkCase{"Links",
                  test::chunks::Links({{31, 1, 2, 5}, {32, 3, 4, 5}}),
                  {14, 28},
                  {31, 32},
                  [](const TChunkView& chunk) {
                      std::vector<std::int32_t> ids;
                      records::ForEachLink(
                          chunk, [&](std::size_t i, const records::TLinkRecord& l) {
                              if (l.Dest == 2 + 2 * static_cast<std::int32_t>(i) && l.Flavor == 5)
                                  ids.push_back(l.LinkId);
                          });
                      return ids;
                  }},
        TWalkCase{"LinkData",
                  test::chunks::LinkData(3, {{41, {1, 2, 3}}, {42, {4, 5, 6}}}),
                  {11, 18},
                  {41, 42},
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
        TWalkCase{"Brushes",
                  test::chunks::Brushes({Brush(1, 51, 3, 2), Brush(2, 52, 253, 0)}),
                  {96, 172},
                  {51, 52},
                  [](const TChunkView& chunk) {
                      std::vector<std::int32_t> ids;
                      records::ForEachBrush(chunk, [&](const records::TBrushRecord& b) {
                          if (b.BrushId == ids.size() + 1 && b.Media == (ids.empty() ? 3 : 253))
                              ids.push_back(b.ObjId);
                      });
                      return ids;
                  }}),
    [](const auto& row) { return std::string(row.param.Name); });

} // namespace
} // namespace kv
