// The tagged file container: finding and loading chunks; and damaged files, truncated or with
// offsets, sizes and counts out of place, that must end in a clear error rather than a crash or
// a huge allocation. Every operation on a mission opens its file here first.
#include "mission/MissionFile.h"

#include "support/MissionWriter.h"
#include "text/Exception.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kv {
namespace {

using test::TBytes;
using test::TMissionWriter;

TBytes Text(const std::string& s) { return TBytes(s.begin(), s.end()); }

void PokeU32(TBytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t PeekU32(const TBytes& b, std::size_t at) { return ReadU32(b.data() + at); }

class MissionFileTest : public ::testing::Test {
protected:
    std::filesystem::path Save(const TMissionWriter& w, const std::string& name = "m.mis") {
        return SaveBytes(w.Bytes(), name);
    }
    std::filesystem::path SaveBytes(const TBytes& b, const std::string& name = "m.mis") {
        const auto p = folder_ / name;
        test::SaveBytes(p, b);
        return p;
    }
    test::ScratchFolder folder_;
};

// Names are found whatever their letter case, a twelve-character name without a zero byte is
// compared whole, and the first of two entries of one name wins.
TEST_F(MissionFileTest, FindsAndLoadsChunksByName) {
    std::array<std::uint8_t, 24> header{};
    for (std::size_t i = 0; i < header.size(); ++i) header[i] = static_cast<std::uint8_t>(i + 1);
    TMissionFile f;
    f.Open(Save(TMissionWriter()
                    .Chunk("BrList", Text("brushes"))
                    .Header(header) // of the chunk before
                    .Chunk("ABCDEFGHIJKL", Text("twelve"))
                    .Chunk("OBJ_MAP", Text("first"))
                    .Chunk("obj_map", Text("second"))
                    .Chunk("Empty", {})));
    TChunkInfo info;
    EXPECT_EQ(f.ReadChunk("BRLIST", &info).value(), Text("brushes"));
    EXPECT_EQ(info.Header, header);
    EXPECT_EQ(info.Entry.Size, 7u);
    EXPECT_EQ(info.Entry.Name(), "BrList");
    EXPECT_EQ(f.ReadChunk("abcdefghijkl").value_or(TBytes{}), Text("twelve"));
    EXPECT_FALSE(f.ReadChunk("ABCDEFGHIJK").has_value());
    for (int i = 0; i < 2; ++i) EXPECT_EQ(f.ReadChunk("OBJ_MAP").value(), Text("first"));
    EXPECT_TRUE(f.ReadChunk("EMPTY").value().empty());
    EXPECT_FALSE(f.FindChunk("HotRegions", info));
    EXPECT_FALSE(f.ReadChunk("HotRegions").has_value());
    ASSERT_EQ(f.Entries().size(), 5u);
    EXPECT_EQ(f.Entries()[1].Name(), "ABCDEFGHIJKL");
    EXPECT_EQ(f.ReadEntry(f.Entries()[3]), Text("second"));

    TMissionFile empty;
    empty.Open(Save(TMissionWriter(), "empty.mis"));
    EXPECT_TRUE(empty.IsOpen() && empty.Empty() && !empty.ReadChunk("BRLIST").has_value());
    empty.Close();
    EXPECT_FALSE(empty.IsOpen());
    EXPECT_THROW((void)empty.ReadEntry(TTocEntry{}), Exception);
}

// ---- damaged files ----

std::string OpenError(const std::filesystem::path& p) {
    TMissionFile f;
    try {
        f.Open(p);
    } catch (const Exception& e) {
        EXPECT_FALSE(f.IsOpen());
        return e.what();
    }
    return {};
}

TEST_F(MissionFileTest, EveryTruncatedTwinRaisesACleanError) {
    const TBytes whole =
        TMissionWriter().Chunk("BRLIST", Text("0123456789")).Chunk("OBJ_MAP", Text("x")).Bytes();
    for (std::size_t len = 0; len < whole.size(); ++len) {
        const auto p =
            SaveBytes(TBytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(len)));
        const std::string error = OpenError(p);
        EXPECT_EQ(error.rfind("Cannot read mission file \"" + PathToText(p) + "\": ", 0), 0u)
            << "length " << len << ": " << error;
    }
}

// A table of contents beyond the end, or more entries than the file can hold, raise an error
// before anything is allocated.
TEST_F(MissionFileTest, ADamagedTableOfContentsRaisesAnError) {
    const TBytes whole = TMissionWriter().Chunk("A", Text("a")).Bytes();
    const std::string count = "more than the file can hold";
    const std::pair<std::uint32_t, std::string> cases[] = {
        {0xFFFFFFF0u, "table of contents"}, {2u, count}, {0x0CCCCCCDu, count}, {0xFFFFFFFFu, count}};
    for (const auto& [value, error] : cases) {
        TBytes b = whole;
        PokeU32(b, error == count ? PeekU32(b, 0) : 0, value); // the count or the offset
        EXPECT_NE(OpenError(SaveBytes(b)).find(error), std::string::npos) << value;
    }
}

// A chunk whose offset or size points past the end of the file fails when it is read; the other
// chunks stay readable.
TEST_F(MissionFileTest, AChunkBeyondTheEndRaisesAnErrorWhenRead) {
    const TBytes whole = TMissionWriter().Chunk("A", Text("aaaa")).Chunk("B", Text("bb")).Bytes();
    const std::size_t entryA = PeekU32(whole, 0) + 4;
    const auto size = static_cast<std::uint32_t>(whole.size());
    // The offset field lies 12 bytes into the entry, the size field 16.
    const std::pair<std::size_t, std::uint32_t> damages[] = {
        {12, 0xFFFFFFFFu}, {12, 0xFFFFFFE0u}, {12, size - 24}, {16, 0xFFFFFFFFu}, {16, 0x7FFFFFFFu},
        {16, size}};
    for (const auto& [field, value] : damages) {
        TBytes b = whole;
        PokeU32(b, entryA + field, value);
        const auto p = SaveBytes(b);
        TMissionFile f;
        f.Open(p);
        try {
            (void)f.ReadChunk("A");
            ADD_FAILURE() << "no error for value " << value;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot read mission file \"" + PathToText(p) +
                                                 "\": chunk \"A\" lies beyond the end of the file");
        }
        EXPECT_EQ(f.ReadChunk("B").value(), Text("bb"));
    }
}

} // namespace
} // namespace kv
