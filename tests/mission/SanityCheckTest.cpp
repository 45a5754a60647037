// The sanity check of a mission: objects at death stage 12, links that exist more than once
// (receptrons and stims included), damaged or missing link data, and the report as shown.
#include "mission/SanityCheck.h"

#include "mission/MissionDb.h"
#include "mission/MissionFile.h"
#include "support/MissionWriter.h"
#include "text/Exception.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kv {
namespace {

using test::TBytes;
using test::TMissionWriter;
namespace chunks = test::chunks;
using Lines = std::vector<std::string>;
using TChunks = std::vector<std::pair<std::string, TBytes>>;

const std::string kDeathStageHeading = "Deathstage 12 found on ";
const std::string kDeathStageAdvice = "This is usually a typical DromEd bug and should be fixed!";
const std::string kDuplicates = "Duplicate links found:";
const std::string kLeverToDoor = "-links from object ID 10 (Lever) to object ID 20 (Door)";

// Objects 10 "Lever" and 20 "Door" are named in P$SymName, 50 "Torch" in OBJ_MAP; 30 and 40
// have only archetypes: "An Apple" and "A Guard". Relations name flavors 1 to 5.
TMissionWriter NamedMission(bool relations = true) {
    TMissionWriter w;
    w.Chunk("P$SymName",
            chunks::SymNames({{10, "Lever"}, {20, "Door"}, {-7, "Apple"}, {-8, "Guard"}}));
    w.Chunk("OBJ_MAP", chunks::NameRecords({{50, "Torch"}}));
    w.Chunk("L$MetaProp", chunks::Links({{100, 30, -7, 1}, {101, 40, -8, 1}}));
    w.Chunk("LD$MetaProp",
            chunks::LinkData(4, {{100, test::I32Bytes(0)}, {101, test::I32Bytes(0)}}));
    if (relations) {
        w.Chunk("Relations", chunks::Relations({"MetaProp", "ControlDevice", "Contains",
                                                "Receptron", "arSrcDesc"}));
    }
    return w;
}

TBytes Filled(std::size_t size, std::uint8_t first) {
    TBytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(first + i);
    return b;
}

TBytes WithByte(TBytes b, std::size_t at, std::uint8_t value) {
    b.at(at) = value;
    return b;
}

TBytes Stage(std::int32_t value) { return test::I32Bytes(value); }

// Two links of Flavor between Source and Dest, with the link IDs Id and Id + 1.
TBytes Twins(std::int32_t source, std::int32_t dest, std::uint16_t flavor, std::int32_t id = 1) {
    return chunks::Links({{id, source, dest, flavor}, {id + 1, source, dest, flavor}});
}

TBytes DataWithSizeWord(std::uint32_t size, std::size_t bytesAfter) {
    TBytes data;
    test::PutU32(data, size);
    const TBytes rest = Filled(bytesAfter, 1);
    data.insert(data.end(), rest.begin(), rest.end());
    return data;
}

class SanityCheckTest : public ::testing::Test {
protected:
    // The check run directly on an open file and its loaded names; Report keeps what was
    // written before a failure.
    static void CheckFile(const std::filesystem::path& path, Lines& report) {
        TMissionFile file;
        file.Open(path);
        TMissionNames names;
        names.Load(file);
        RunSanityCheck(file, names, report);
    }
    [[nodiscard]] Lines Check(const TMissionWriter& mission) const {
        test::SaveBytes(folder_ / "check.mis", mission.Bytes());
        Lines report;
        CheckFile(folder_ / "check.mis", report);
        return report;
    }

    test::ScratchFolder folder_;
};

struct TCheckCase {
    const char* What;
    bool Relations;
    TChunks Chunks;
    Lines Expected;
};

TEST_F(SanityCheckTest, ReportsWhatEachMissionHolds) {
    const TCheckCase cases[] = {
        {"death stage 12 in four bytes only", true,
         {{"P$DeathStag", chunks::Props({{10, Stage(12)}, {20, Stage(5)}, {30, Stage(12)},
                                         {77, Stage(12)}, {40, test::Concat(Stage(12), Stage(0))},
                                         {50, TBytes{12, 0}}, {20, Stage(-12)}})}},
         {kDeathStageHeading + "3 objects", kDeathStageAdvice, " - Object ID 10 (Lever)",
          " - Object ID 30 (An Apple)", " - Object ID 77 ()"}},
        {"clean", true,
         {{"P$DeathStag", chunks::Props({{10, Stage(0)}, {20, Stage(3)}})},
          {"L$A", chunks::Links({{1, 10, 20, 2}, {2, 20, 10, 2}, {3, 10, 30, 2}, {4, 10, 21, 2},
                                 {5, 11, 20, 2}})},
          {"L$B", chunks::Links({{6, 10, 20, 3}})},
          {"LD$A", chunks::LinkData(0, {})}},
         {}},
        {"dataless twins counted", true,
         {{"L$ControlDe", chunks::Links({{1, 10, 20, 2}, {2, 20, 10, 2}, {3, 10, 20, 2}})},
          {"LD$ControlD", chunks::LinkData(0, {})},
          {"L$Contains", chunks::Links({{4, 30, 40, 3}, {5, 30, 40, 3}, {6, 40, 30, 3}, {7, 30, 40, 3}})},
          {"LD$Contains", chunks::LinkData(0, {})}},
         {kDuplicates, " - 2 identical ControlDevice" + kLeverToDoor,
          " - 3 identical Contains-links from object ID 30 (An Apple) to object ID 40 (A Guard)"}},
        // Equal data makes twins; one byte apart does not; only a link's first record counts.
        {"data compared", true,
         {{"L$Contains", chunks::Links({{1, 10, 50, 3}, {2, 10, 50, 3}, {3, 10, 20, 3}, {4, 10, 20, 3}})},
          {"LD$Contains", chunks::LinkData(8, {{1, Filled(8, 1)}, {2, Filled(8, 1)}, {2, Filled(8, 9)},
                                               {3, Filled(8, 1)}, {4, WithByte(Filled(8, 1), 7, 0xFF)}})}},
         {kDuplicates, " - 2 identical Contains-links from object ID 10 (Lever) to object ID 50 (Torch)"}},
        // Receptrons and stims in any letter case; the first four bytes of a receptron's data do
        // not count, the rest does.
        {"receptrons and stims", false,
         {{"L$RECEPTRON", chunks::Links({{1, 10, -7, 4}, {2, 10, -7, 4}, {5, 20, -7, 4}, {6, 20, -7, 4}})},
          {"LD$RECEPTRO", chunks::LinkData(88, {{1, WithByte(Filled(88, 0), 0, 1)},
                                               {2, WithByte(Filled(88, 0), 3, 2)},
                                               {5, Filled(88, 0)},
                                               {6, WithByte(Filled(88, 0), 4, 0xCC)}})},
          {"L$arsrcdesc", chunks::Links({{3, 40, -8, 5}, {4, 40, -8, 5}})},
          {"LD$arsrcdes", chunks::LinkData(108, {{3, Filled(108, 7)}, {4, Filled(108, 7)}})}},
         {kDuplicates, " - 2 identical receptrons at object ID 10 (Lever) for stim ID -7 (Apple)",
          " - 2 identical stims at object ID 40 (A Guard) with stim ID -8 (Guard)"}},
        {"the size word of receptron data is not used", false,
         {{"L$Receptron", chunks::Links({{1, 10, -7, 4}, {2, 10, -7, 4}})},
          {"LD$Receptro", test::Concat(DataWithSizeWord(2, 0),
                                       test::Concat(test::Concat(Stage(1), Filled(88, 3)),
                                                    test::Concat(Stage(2), Filled(88, 3))))}},
         {kDuplicates, " - 2 identical receptrons at object ID 10 (Lever) for stim ID -7 (Apple)"}},
        {"link chunks begin with upper-case L$", true,
         {{"l$Contains", Twins(10, 20, 3)}, {"LContains", Twins(10, 20, 3, 3)}},
         {}},
        // Relation names: an empty first entry, a second without a zero byte, and a partial
        // third that is no entry; beyond them and without relations the flavor number.
        {"relation names", false,
         {{"Relations", [] {
               TBytes r(65, 0);
               std::fill(r.begin() + 32, r.begin() + 64, std::uint8_t{'R'});
               r[64] = 'x';
               return r;
           }()},
          {"L$Long", Twins(10, 20, 2)}, {"LD$Long", chunks::LinkData(0, {})},
          {"L$Empty", Twins(10, 20, 1, 3)}, {"LD$Empty", chunks::LinkData(0, {})},
          {"L$Partial", Twins(10, 20, 3, 5)}, {"LD$Partial", chunks::LinkData(0, {})},
          {"L$Top", Twins(10, 20, 65535, 7)}, {"LD$Top", chunks::LinkData(0, {})}},
         {kDuplicates, " - 2 identical " + kLeverToDoor,
          " - 2 identical " + std::string(32, 'R') + kLeverToDoor,
          " - 2 identical (flavor 3)" + kLeverToDoor, " - 2 identical (flavor 65535)" + kLeverToDoor}},
        {"flavor beyond the relations", true,
         {{"L$Six", Twins(10, 20, 6)}, {"LD$Six", chunks::LinkData(0, {})},
          {"L$Last", Twins(10, 20, 5, 3)}, {"LD$Last", chunks::LinkData(0, {})}},
         {kDuplicates, " - 2 identical arSrcDesc" + kLeverToDoor,
          " - 2 identical (flavor 6)" + kLeverToDoor}},
        // Sorted by flavor, then source, then destination, as unsigned numbers.
        {"order", false,
         {{"L$Three", chunks::Links({{1, -5, 1, 3}, {2, 2, -1, 3}, {3, 2, 1, 3}, {4, -5, 1, 3},
                                     {5, 2, -1, 3}, {6, 2, 1, 3}})},
          {"L$Two", chunks::Links({{7, 9, 9, 2}, {8, 9, 9, 2}})},
          {"LD$Three", chunks::LinkData(0, {})}, {"LD$Two", chunks::LinkData(0, {})}},
         {kDuplicates, " - 2 identical (flavor 2)-links from object ID 9 () to object ID 9 ()",
          " - 2 identical (flavor 3)-links from object ID 2 () to object ID 1 ()",
          " - 2 identical (flavor 3)-links from object ID 2 () to object ID -1 ()",
          " - 2 identical (flavor 3)-links from object ID -5 () to object ID 1 ()"}},
        // A twinless link's data is never looked up: the one sorting last has no LD$ chunk, and
        // the other has no record.
        {"twinless links load no data", true,
         {{"L$ControlDe", Twins(10, 20, 2)}, {"LD$ControlD", chunks::LinkData(0, {})},
          {"L$Zzz", chunks::Links({{3, 10, 20, 900}})},
          {"L$Contains", chunks::Links({{4, 10, 20, 3}, {5, 10, 30, 3}})},
          {"LD$Contains", chunks::LinkData(4, {})}},
         {kDuplicates, " - 2 identical ControlDevice" + kLeverToDoor}},
        {"missing data chunk", true,
         {{"L$Contains", Twins(10, 20, 3)}},
         {kDuplicates, " wtf? no link data found for L$Contains",
          " wtf? no link data found for L$Contains", " - 2 identical Contains" + kLeverToDoor}},
        // The data chunk's name is cut to eleven characters and compared whole.
        {"data chunk of a long name", true,
         {{"L$ControlDev", Twins(10, 20, 2)},
          {"LD$ControlDe", chunks::LinkData(4, {{1, Filled(4, 1)}, {2, Filled(4, 1)}})},
          {"LD$ControlD", chunks::LinkData(4, {{1, Filled(4, 1)}, {2, Filled(4, 2)}})}},
         {}},
        {"data chunk shorter than its size word", false,
         {{"L$Contains", Twins(10, 20, 3)}, {"LD$Contains", TBytes{1, 0}}},
         {kDuplicates, " - 2 identical (flavor 3)" + kLeverToDoor}},
        {"receptron data shorter than a record", false,
         {{"L$Receptron", Twins(10, 20, 4)}, {"LD$Receptro", Filled(80, 0)}},
         {kDuplicates, " wtf? no data for receptron ID 00000001 found",
          " wtf? no data for receptron ID 00000002 found",
          " - 2 identical receptrons at object ID 10 (Lever) for stim ID 20 (Door)"}},
        // A missing data record is said with the link ID in hexadecimal; with data on one link
        // only, the two are no longer identical.
        {"missing link data record", false,
         {{"L$Contains", chunks::Links({{7, 10, 20, 4}, {0xABCDEF, 10, 20, 4}})},
          {"LD$Contains", chunks::LinkData(4, {{7, Filled(4, 1)}})}},
         {kDuplicates, " wtf? no data for link ID 00ABCDEF found"}},
        {"missing receptron data record", false,
         {{"L$Receptron", chunks::Links({{7, 10, 20, 4}, {-2, 10, 20, 4}})},
          {"LD$Receptro", chunks::LinkData(88, {{7, Filled(88, 1)}})}},
         {kDuplicates, " wtf? no data for receptron ID FFFFFFFE found"}},
        {"missing stim data record", false,
         {{"L$arSrcDesc", chunks::Links({{7, 10, 20, 4}, {-2147483647 - 1, 10, 20, 4}})},
          {"LD$arSrcDes", chunks::LinkData(108, {{7, Filled(108, 1)}})}},
         {kDuplicates, " wtf? no data for stim ID 80000000 found"}}};
    for (const TCheckCase& c : cases) {
        SCOPED_TRACE(c.What);
        TMissionWriter w = NamedMission(c.Relations);
        for (const auto& [name, bytes] : c.Chunks) w.Chunk(name, bytes);
        EXPECT_EQ(Check(w), c.Expected);
    }
    EXPECT_EQ(Check(TMissionWriter()), Lines{});
}

// Sizes that wrap in 32 bits or run past the chunk find no record and read nothing beyond it.
TEST_F(SanityCheckTest, AHostileDataSizeFindsNoRecord) {
    const std::pair<std::uint32_t, std::size_t> sizes[] = {
        {0xFFFFFFFF, 12}, {0xFFFFFFFC, 12}, {0xFFFFFFFD, 12}, {5, 8}, {4, 0}};
    for (const auto& [size, after] : sizes) {
        TMissionWriter w = NamedMission(false);
        w.Chunk("L$Contains", Twins(10, 20, 3)).Chunk("LD$Contains", DataWithSizeWord(size, after));
        EXPECT_EQ(Check(w), (Lines{kDuplicates, " wtf? no data for link ID 00000001 found",
                                   " wtf? no data for link ID 00000002 found",
                                   " - 2 identical (flavor 3)" + kLeverToDoor}))
            << size;
    }
}

TEST_F(SanityCheckTest, ReadFailureGoesUpAndKeepsTheLinesWritten) {
    TMissionWriter w;
    w.Chunk("P$DeathStag", chunks::Props({{10, Stage(12)}}));
    w.Chunk("L$Contains", chunks::Links({{1, 10, 20, 3}}));
    TBytes bytes = w.Bytes();
    const std::size_t sizeOfSecondEntry = ReadU32(bytes.data()) + 4 + 20 + 16;
    bytes.at(sizeOfSecondEntry + 2) = 0x10; // a million bytes and more
    test::SaveBytes(folder_ / "damaged.mis", bytes);
    Lines report;
    EXPECT_THROW(CheckFile(folder_ / "damaged.mis", report), Exception);
    EXPECT_EQ(report, (Lines{"", kDeathStageHeading + "1 objects", kDeathStageAdvice,
                             " - Object ID 10 ()"}));
}

// Missions made with DromEd: the ones whose link sorting last has no twin and no data record
// (it is not looked up), and twins in a saved game and a gamesys.
TEST(SanityRealMissionTest, ReportsExactlyWhatIsDuplicated) {
    const Lines flinderize = {kDuplicates, " - 2 identical Flinderize-links from object ID -5777 "
                                           "(LG_Banner) to object ID -6197 (LGBan1Flin6)"};
    const std::pair<const char*, Lines> files[] = {
        {"demo_briefingbook/miss20.mis", {}},      {"test_crossfade/test_crossfade.mis", {}},
        {"test_moneytree/test_moneytree.mis", {}}, {"test_elevators/test_elevators.mis", {}},
        {"test_fallonback.cow", flinderize},       {"test_babyburricks/babyburk.gam", flinderize}};
    for (const auto& [name, expected] : files) {
        const std::filesystem::path file = std::filesystem::path(KORVANE_REALMIS_DIR) / name;
        if (!std::filesystem::exists(file)) GTEST_SKIP() << "real mission not found: " << file;
        Lines report;
        TReadBrushListParams params;
        params.FileName = file;
        params.Report = &report;
        ReadBrushList(params);
        EXPECT_EQ(report, expected) << name;
    }
}

} // namespace
} // namespace kv
