// The tagged file container: finding and loading chunks; and damaged files, truncated or with
// offsets, sizes and counts out of place, that must end every operation on a mission in a clear
// error rather than a crash or a huge allocation.
#include "mission/MissionFile.h"

#include "mission/MissionDbFixture.h"
#include "mission/RandomMission.h"
#include "support/MissionWriter.h"
#include "text/Exception.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

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
        const auto p = folder_ / name;
        w.Save(p);
        return p;
    }
    std::filesystem::path SaveBytes(const TBytes& b, const std::string& name = "m.mis") {
        const auto p = folder_ / name;
        test::SaveBytes(p, b);
        return p;
    }
    test::ScratchFolder folder_;
};

TEST_F(MissionFileTest, FindsChunkNamesIgnoringLetterCase) {
    TMissionFile f;
    f.Open(Save(TMissionWriter().Chunk("P$SymName", Text("a")).Chunk("BrList", Text("brushes"))));
    const auto data = f.ReadChunk("BRLIST");
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(*data, Text("brushes"));
    TChunkInfo info;
    EXPECT_TRUE(f.FindChunk("brlist", info));
    EXPECT_EQ(info.Entry.Name(), "BrList");
}

TEST_F(MissionFileTest, ComparesATwelveCharacterNameWithoutZeroAsAllTwelve) {
    TMissionWriter w;
    w.Chunk("ABCDEFGHIJKL", Text("twelve"));
    TMissionFile f;
    f.Open(Save(w));
    ASSERT_EQ(f.Entries().size(), 1u);
    EXPECT_EQ(f.Entries()[0].Name(), "ABCDEFGHIJKL");
    EXPECT_EQ(f.ReadChunk("abcdefghijkl").value_or(TBytes{}), Text("twelve"));
    EXPECT_FALSE(f.ReadChunk("ABCDEFGHIJK").has_value());
}

TEST_F(MissionFileTest, UsesTheFirstOfTwoEntriesWithTheSameName) {
    TMissionFile f;
    f.Open(Save(TMissionWriter().Chunk("OBJ_MAP", Text("first")).Chunk("obj_map", Text("second"))));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(f.ReadChunk("OBJ_MAP").value(), Text("first"));
}

TEST_F(MissionFileTest, AnEmptyTableOfContentsOpensAsEmpty) {
    TMissionFile f;
    f.Open(Save(TMissionWriter()));
    EXPECT_TRUE(f.IsOpen());
    EXPECT_TRUE(f.Empty());
    EXPECT_FALSE(f.ReadChunk("BRLIST").has_value());
}

TEST_F(MissionFileTest, AChunkOfSizeZeroLoadsAsAnEmptyBuffer) {
    TMissionFile f;
    f.Open(Save(TMissionWriter().Chunk("BRLIST", {})));
    const auto data = f.ReadChunk("BRLIST");
    ASSERT_TRUE(data.has_value());
    EXPECT_TRUE(data->empty());
}

TEST_F(MissionFileTest, AMissingChunkIsNoneAndTheFileStaysUsable) {
    TMissionFile f;
    f.Open(Save(TMissionWriter().Chunk("GAM_FILE", Text("dark.gam"))));
    TChunkInfo info;
    EXPECT_FALSE(f.FindChunk("HotRegions", info));
    EXPECT_FALSE(f.ReadChunk("HotRegions").has_value());
    EXPECT_EQ(f.ReadChunk("GAM_FILE").value(), Text("dark.gam"));
    EXPECT_FALSE(f.ReadChunk("P$SymName").has_value());
}

TEST_F(MissionFileTest, ChunksLoadInAnyOrderWithTheirHeaders) {
    std::array<std::uint8_t, 24> header{};
    for (std::size_t i = 0; i < header.size(); ++i) header[i] = static_cast<std::uint8_t>(i + 1);
    TMissionFile f;
    f.Open(Save(TMissionWriter().Chunk("A", Text("aa")).Chunk("B", Text("bbb")).Header(header)));
    TChunkInfo info;
    EXPECT_EQ(f.ReadChunk("B", &info).value(), Text("bbb"));
    EXPECT_EQ(info.Header, header);
    EXPECT_EQ(info.Entry.Size, 3u);
    EXPECT_EQ(f.ReadChunk("A").value(), Text("aa"));
    ASSERT_EQ(f.Entries().size(), 2u);
    EXPECT_EQ(f.ReadEntry(f.Entries()[1]), Text("bbb"));
}

TEST_F(MissionFileTest, CloseForgetsTheTableOfContents) {
    TMissionFile f;
    f.Open(Save(TMissionWriter().Chunk("A", Text("a"))));
    f.Close();
    EXPECT_FALSE(f.IsOpen());
    EXPECT_TRUE(f.Entries().empty());
    EXPECT_THROW((void)f.ReadEntry(TTocEntry{}), Exception);
}

TEST(ChunkNameTest, CutsNamesToElevenCharacters) {
    EXPECT_EQ(ChunkName("LD$", "Receptron"), "LD$Receptro");
    EXPECT_EQ(ChunkName("L$", "Receptron"), "L$Receptron");
    EXPECT_EQ(ChunkName("P$", "DeathStage"), "P$DeathStag");
    EXPECT_EQ(ChunkName("P$", "Loot"), "P$Loot");
}

TEST(ChunkBytesTest, ReadsLittleEndianIntegers) {
    const std::uint8_t b[] = {0xFE, 0xFF, 0xFF, 0xFF, 0x34, 0x12};
    EXPECT_EQ(ReadI32(b), -2);
    EXPECT_EQ(ReadU32(b), 0xFFFFFFFEu);
    EXPECT_EQ(ReadU16(b + 4), 0x1234);
    EXPECT_EQ(ReadI16(b), -2);
}

// ---- damaged files ----

TEST_F(MissionFileTest, AMissingFileRaisesAnErrorNamingIt) {
    TMissionFile f;
    const auto p = folder_ / "absent.mis";
    try {
        f.Open(p);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("\"" + PathToText(p) + "\""), std::string::npos)
            << e.what();
    }
    EXPECT_FALSE(f.IsOpen());
}

TEST_F(MissionFileTest, AFolderRaisesAnError) {
    TMissionFile f;
    EXPECT_THROW(f.Open(folder_.Path()), Exception);
}

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

TEST_F(MissionFileTest, ATableOfContentsBeyondTheEndRaisesAnError) {
    TBytes b = TMissionWriter().Chunk("A", Text("a")).Bytes();
    PokeU32(b, 0, 0xFFFFFFF0u);
    EXPECT_NE(OpenError(SaveBytes(b)).find("table of contents"), std::string::npos);
}

TEST_F(MissionFileTest, AHugeEntryCountRaisesAnErrorBeforeAllocating) {
    for (const std::uint32_t count : {2u, 1000u, 0x0CCCCCCDu, 0xFFFFFFFFu}) {
        TBytes b = TMissionWriter().Chunk("A", Text("a")).Bytes();
        PokeU32(b, PeekU32(b, 0), count);
        EXPECT_NE(OpenError(SaveBytes(b)).find("more than the file can hold"), std::string::npos)
            << count;
    }
}

// A chunk whose offset or size points past the end of the file fails when it is read; the other
// chunks stay readable.
TEST_F(MissionFileTest, AChunkBeyondTheEndRaisesAnErrorWhenRead) {
    const TBytes whole = TMissionWriter().Chunk("A", Text("aaaa")).Chunk("B", Text("bb")).Bytes();
    const std::size_t entryA = PeekU32(whole, 0) + 4;
    struct TDamage {
        std::size_t Field;
        std::uint32_t Value;
    };
    const std::size_t offsetField = 12;
    const std::size_t sizeField = 16;
    for (const TDamage d : {TDamage{offsetField, 0xFFFFFFFFu}, TDamage{offsetField, 0xFFFFFFE0u},
                            TDamage{offsetField, static_cast<std::uint32_t>(whole.size() - 24)},
                            TDamage{sizeField, 0xFFFFFFFFu}, TDamage{sizeField, 0x7FFFFFFFu},
                            TDamage{sizeField, static_cast<std::uint32_t>(whole.size())}}) {
        TBytes b = whole;
        PokeU32(b, entryA + d.Field, d.Value);
        const auto p = SaveBytes(b);
        TMissionFile f;
        f.Open(p);
        try {
            (void)f.ReadChunk("A");
            ADD_FAILURE() << "no error for value " << d.Value;
        } catch (const Exception& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot read mission file \"" + PathToText(p) +
                                                 "\": chunk \"A\" lies beyond the end of the file");
        }
        EXPECT_EQ(f.ReadChunk("B").value(), Text("bb"));
    }
}

// Random damage anywhere in the file: the reader either loads what is there or raises the
// program's own error.
TEST_F(MissionFileTest, RandomlyCorruptedTwinsLoadOrRaiseCleanly) {
    const TBytes whole = TMissionWriter()
                             .Chunk("P$SymName", Text("names"))
                             .Chunk("BRLIST", TBytes(200, 7))
                             .Chunk("L$Contains", TBytes(28, 1))
                             .Bytes();
    std::mt19937 rng(4711);
    for (int round = 0; round < 300; ++round) {
        TBytes b = whole;
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < flips; ++i) {
            // Damage the header and the table of contents most often: that is where offsets are.
            const std::size_t toc = PeekU32(whole, 0);
            const std::size_t at = rng() % 2 == 0 ? rng() % 4
                                                  : (rng() % 2 == 0 ? toc + rng() % (b.size() - toc)
                                                                    : rng() % b.size());
            b[at] = static_cast<std::uint8_t>(rng());
        }
        const auto p = SaveBytes(b);
        try {
            TMissionFile f;
            f.Open(p);
            for (const TTocEntry& e : f.Entries()) {
                try {
                    const TChunkBuffer data = f.ReadEntry(e);
                    EXPECT_EQ(data.size(), e.Size);
                } catch (const Exception&) {
                }
            }
        } catch (const Exception&) {
        }
    }
}

// ---- damaged missions in every operation ----

// Every operation with everything asked for; the number that ended in the program's own error.
// Any other exception fails the test.
int RunEveryOperation(const std::filesystem::path& file, const std::filesystem::path& gamesysDir) {
    int errors = 0;
    const auto guard = [&](const auto& operation) {
        try {
            operation();
        } catch (const Exception&) {
            ++errors;
        }
    };
    guard([&] {
        std::vector<std::string> report;
        TReadBrushListParams b;
        b.FileName = file;
        b.OnBrush = [](TBrushKind, std::int32_t, std::int32_t, const std::string&) {};
        b.Report = &report;
        ReadBrushList(b);
    });
    for (const bool ownSet : {false, true}) {
        guard([&] {
            TReadPropsParams params;
            params.FileName = file;
            params.GamesysDir = gamesysDir;
            params.Props = std::vector<TNamedMode>{
                {"Flicker", 2}, {"Scale", 1}, {"Loot", 0}, {"DeathStage", 2}, {"PhysAttr", 1}};
            params.Links =
                std::vector<TNamedMode>{{"Receptron", 7}, {"A", 7}, {"Lower", 7}, {"MetaProp", 7}};
            if (ownSet) params.Objects = std::vector<std::int32_t>{10, 11, 12, -1, -2, 6, 40};
            params.OnProp = [](std::int32_t, const std::string&, const std::string&,
                               std::span<const std::uint8_t> d, std::uint32_t) {
                volatile std::uint8_t sum = 0;
                for (const auto b : d) sum = static_cast<std::uint8_t>(sum + b);
            };
            params.OnLink = [](std::int32_t, std::int32_t, const std::string&, const std::string&,
                               int, std::span<const std::uint8_t>, std::uint32_t) {};
            params.OnMessage = [](const std::string&) {};
            ReadProps(params);
        });
    }
    guard([&] {
        ReadLinks(file, nullptr, nullptr, [](std::int32_t, std::int32_t, std::int32_t, int) {});
    });
    return errors;
}
constexpr int kOperations = 4;

struct TNormalMission {
    const char* Name;
    TMissionWriter (*Make)();
};

TMissionWriter WithGamesysName() { return GamesysMission("dark.gam"); }
TMissionWriter SmallRandomMission() {
    TRandomMissionOptions o;
    o.Objects = 30;
    o.Archetypes = 12;
    o.ArchetypeLinks = 12;
    return TRandomMissionMaker(99).Make(o, "dark.gam").Mission;
}

class DamagedMissionTest : public MissionDbTest,
                           public ::testing::WithParamInterface<TNormalMission> {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder_ / "gamesys");
        Gamesys().Save(folder_ / "gamesys" / "dark.gam");
        whole_ = GetParam().Make().Bytes();
    }
    int Run(const TBytes& bytes) {
        const auto p = folder_ / "damaged.mis";
        SaveBytes(p, bytes);
        return RunEveryOperation(p, folder_ / "gamesys");
    }
    TBytes whole_;
};

TEST_P(DamagedMissionTest, TheIntactMissionReadsWithoutError) { EXPECT_EQ(Run(whole_), 0); }

TEST_P(DamagedMissionTest, EveryTruncatedTwinRaisesAnError) {
    for (std::size_t len = 0; len < whole_.size(); ++len) {
        ASSERT_EQ(Run(TBytes(whole_.begin(), whole_.begin() + static_cast<std::ptrdiff_t>(len))),
                  kOperations)
            << "length " << len;
    }
}

TEST_P(DamagedMissionTest, ATableOfContentsOutOfPlaceRaisesAnError) {
    const std::uint32_t toc = ReadU32(whole_.data());
    for (const auto& [at, value] : std::vector<std::pair<std::size_t, std::uint32_t>>{
             {0, 0xFFFFFFFF},
             {0, static_cast<std::uint32_t>(whole_.size() - 3)},
             {toc, 0xFFFFFFFF},
             {toc, 0x80000000},
             {toc, ReadU32(whole_.data() + toc) + 1}}) {
        TBytes b = whole_;
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
        EXPECT_EQ(Run(b), kOperations) << at << " = " << value;
    }
}

// A chunk that points past the end fails whichever operation reads it; the others go on.
TEST_P(DamagedMissionTest, AChunkPastTheEndRaisesAnErrorWhereItIsRead) {
    const std::uint32_t toc = ReadU32(whole_.data());
    const std::uint32_t count = ReadU32(whole_.data() + toc);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = toc + 4 + 20 * std::size_t{i};
        for (const std::size_t field : {std::size_t{12}, std::size_t{16}}) {
            TBytes b = whole_;
            for (std::size_t k = 0; k < 4; ++k) b[entry + field + k] = 0xFF;
            const int errors = Run(b);
            const auto* raw = &whole_[entry];
            const std::string name(raw, std::find(raw, raw + 12, std::uint8_t{0}));
            if (name != "XL$C") {
                EXPECT_GE(errors, 1) << name;
            }
        }
    }
}

TEST_P(DamagedMissionTest, RandomDamageReadsOrRaisesCleanly) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 120; ++round) {
        TBytes b = whole_;
        const int flips = 1 + static_cast<int>(rng() % 6);
        for (int i = 0; i < flips; ++i) b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
        (void)Run(b);
    }
}

INSTANTIATE_TEST_SUITE_P(Missions, DamagedMissionTest,
                         ::testing::Values(TNormalMission{"Kinds", KindsMission},
                                           TNormalMission{"Props", PropsMission},
                                           TNormalMission{"GamesysName", WithGamesysName},
                                           TNormalMission{"Gamesys", Gamesys},
                                           TNormalMission{"Links", [] { return LinksMission(); }},
                                           TNormalMission{"AllLinks", AllLinksMission},
                                           TNormalMission{"Random", SmallRandomMission}),
                         [](const auto& c) { return std::string(c.param.Name); });

} // namespace
} // namespace kv
