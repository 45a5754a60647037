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
using test::TLinkRec;
using test::TMissionWriter;
namespace chunks = test::chunks;
using Lines = std::vector<std::string>;

constexpr std::uint16_t kControlDevice = 2;
constexpr std::uint16_t kContains = 3;

const std::vector<std::string> kRelations = {"MetaProp", "ControlDevice", "Contains", "Receptron",
                                             "arSrcDesc"};

const std::string kDeathStageHeading = "Deathstage 12 found on ";
const std::string kDeathStageAdvice = "This is usually a typical DromEd bug and should be fixed!";
const std::string kDuplicatesHeading = "Duplicate links found:";

// Objects 10 "Lever" and 20 "Door" are named in P$SymName, 50 "Torch" in OBJ_MAP; 30 and 40
// have only archetypes: "An Apple" and "A Guard".
TMissionWriter NamedMission() {
    TMissionWriter w;
    w.Chunk("P$SymName",
            chunks::SymNames({{10, "Lever"}, {20, "Door"}, {-7, "Apple"}, {-8, "Guard"}}));
    w.Chunk("OBJ_MAP", chunks::NameRecords({{50, "Torch"}}));
    w.Chunk("L$MetaProp", chunks::Links({{100, 30, -7, 1}, {101, 40, -8, 1}}));
    w.Chunk("LD$MetaProp",
            chunks::LinkData(4, {{100, test::I32Bytes(0)}, {101, test::I32Bytes(0)}}));
    return w;
}

TMissionWriter& WithRelations(TMissionWriter& w) {
    w.Chunk("Relations", chunks::Relations(kRelations));
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

TBytes DeathStage(std::int32_t value) { return test::I32Bytes(value); }

class SanityCheckTest : public ::testing::Test {
protected:
    [[nodiscard]] std::filesystem::path Save(const TMissionWriter& mission) const {
        const auto path = folder_ / "check.mis";
        mission.Save(path);
        return path;
    }

    // The check run directly on an open file and its loaded names.
    [[nodiscard]] Lines Check(const TMissionWriter& mission, Lines report = {}) const {
        const auto path = Save(mission);
        TMissionFile file;
        file.Open(path);
        TMissionNames names;
        names.Load(file);
        RunSanityCheck(file, names, report);
        return report;
    }

    test::ScratchFolder folder_;
};

// ---------------------------------------------------------------------------------------------
// Death stage 12

TEST_F(SanityCheckTest, DeathStageTwelveListsEveryObjectUnderItsHeading) {
    TMissionWriter w = NamedMission();
    w.Chunk("P$DeathStag", chunks::Props({{10, DeathStage(12)},
                                          {20, DeathStage(5)},
                                          {30, DeathStage(12)},
                                          {77, DeathStage(12)}}));
    EXPECT_EQ(Check(w),
              (Lines{kDeathStageHeading + "3 objects", kDeathStageAdvice, " - Object ID 10 (Lever)",
                     " - Object ID 30 (An Apple)", " - Object ID 77 ()"}));
}

struct TDeathStageCase {
    const char* Name;
    TBytes Data;
};

class SanityDeathStageSizeTest : public SanityCheckTest,
                                 public ::testing::WithParamInterface<TDeathStageCase> {};

TEST_P(SanityDeathStageSizeTest, TwelveStoredInAnotherSizeIsNotReported) {
    TMissionWriter w = NamedMission();
    w.Chunk("P$DeathStag", chunks::Props({{10, GetParam().Data}}));
    EXPECT_EQ(Check(w), Lines{});
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SanityDeathStageSizeTest,
    ::testing::Values(TDeathStageCase{"EightBytes", test::Concat(DeathStage(12), DeathStage(0))},
                      TDeathStageCase{"TwoBytes", TBytes{12, 0}},
                      TDeathStageCase{"OneByte", TBytes{12}}, TDeathStageCase{"Empty", TBytes{}},
                      TDeathStageCase{"FourBytesEleven", DeathStage(11)},
                      TDeathStageCase{"FourBytesNegative", DeathStage(-12)}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(SanityCheckTest, DeathStageWalkStopsAtARecordThatRunsPastTheEnd) {
    TBytes data = chunks::Props({{10, DeathStage(12)}});
    test::PutI32(data, 20);
    test::PutU32(data, 5); // claims 5 bytes, only 4 follow
    test::PutI32(data, 12);
    EXPECT_EQ(
        Check(NamedMission().Chunk("P$DeathStag", data)),
        (Lines{kDeathStageHeading + "1 objects", kDeathStageAdvice, " - Object ID 10 (Lever)"}));
}

TEST_F(SanityCheckTest, SectionsFollowLinesAlreadyInTheReport) {
    TMissionWriter w = NamedMission();
    w.Chunk("P$DeathStag", chunks::Props({{20, DeathStage(12)}}));
    EXPECT_EQ(Check(w, {"earlier line"}),
              (Lines{"earlier line", "", kDeathStageHeading + "1 objects", kDeathStageAdvice,
                     " - Object ID 20 (Door)"}));
}

TEST_F(SanityCheckTest, CleanMissionLeavesTheReportEmpty) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("P$DeathStag", chunks::Props({{10, DeathStage(0)}, {20, DeathStage(3)}}));
    w.Chunk("L$ControlDe", chunks::Links({{1, 10, 20, kControlDevice},
                                          {2, 20, 10, kControlDevice},
                                          {3, 10, 30, kControlDevice}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    w.Chunk("L$Contains", chunks::Links({{4, 10, 20, kContains}}));
    EXPECT_EQ(Check(w), Lines{});
}

TEST_F(SanityCheckTest, EmptyFileLeavesTheReportEmpty) {
    EXPECT_EQ(Check(TMissionWriter()), Lines{});
}

// ---------------------------------------------------------------------------------------------
// Duplicate links

TEST_F(SanityCheckTest, TwoDatalessLinksBetweenTheSameObjectsGiveOneLineCountingTwo) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("L$ControlDe", chunks::Links({{1, 10, 20, kControlDevice},
                                          {2, 20, 10, kControlDevice},
                                          {3, 10, 20, kControlDevice}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, " - 2 identical ControlDevice-links from object "
                                                   "ID 10 (Lever) to object ID 20 (Door)"}));
}

TEST_F(SanityCheckTest, ThreeIdenticalLinksGiveOneLineCountingThree) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("L$Contains", chunks::Links({{1, 30, 40, kContains},
                                         {2, 30, 40, kContains},
                                         {3, 40, 30, kContains},
                                         {4, 30, 40, kContains}}));
    w.Chunk("LD$Contains", chunks::LinkData(0, {}));
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, " - 3 identical Contains-links from object ID "
                                                   "30 (An Apple) to object ID 40 (A Guard)"}));
}

TEST_F(SanityCheckTest, LinksWithEqualDataAreDuplicates) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("L$Contains", chunks::Links({{1, 10, 50, kContains}, {2, 10, 50, kContains}}));
    w.Chunk("LD$Contains", chunks::LinkData(8, {{1, Filled(8, 1)}, {2, Filled(8, 1)}}));
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, " - 2 identical Contains-links from object ID "
                                                   "10 (Lever) to object ID 50 (Torch)"}));
}

TEST_F(SanityCheckTest, LinksWhoseDataDifferInOneByteAreNotDuplicates) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("L$Contains", chunks::Links({{1, 10, 50, kContains}, {2, 10, 50, kContains}}));
    w.Chunk("LD$Contains",
            chunks::LinkData(8, {{1, Filled(8, 1)}, {2, WithByte(Filled(8, 1), 7, 0xFF)}}));
    EXPECT_EQ(Check(w), Lines{});
}

TEST_F(SanityCheckTest, OnlyTheFirstDataRecordOfALinkCounts) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("L$Contains", chunks::Links({{1, 10, 50, kContains}, {2, 10, 50, kContains}}));
    w.Chunk("LD$Contains",
            chunks::LinkData(4, {{1, Filled(4, 1)}, {2, Filled(4, 1)}, {2, Filled(4, 9)}}));
    EXPECT_EQ(Check(w).size(), 2u);
}

TEST_F(SanityCheckTest, LinksDifferingInFlavorOrEndpointsAreNotDuplicates) {
    TMissionWriter w = NamedMission();
    w.Chunk("L$A", chunks::Links({{1, 10, 20, 5}, {2, 10, 21, 5}, {3, 11, 20, 5}}));
    w.Chunk("L$B", chunks::Links({{4, 10, 20, 6}}));
    w.Chunk("LD$A", chunks::LinkData(0, {}));
    w.Chunk("LD$B", chunks::LinkData(0, {}));
    EXPECT_EQ(Check(w), Lines{});
}

TEST_F(SanityCheckTest, ReceptronsDifferingOnlyInTheirFirstFourBytesAreIdentical) {
    TMissionWriter w = NamedMission();
    w.Chunk("L$Receptron", chunks::Links({{1, 10, -7, 4}, {2, 10, -7, 4}}));
    w.Chunk("LD$Receptro", chunks::LinkData(88, {{1, WithByte(Filled(88, 0), 0, 0xAA)},
                                                 {2, WithByte(Filled(88, 0), 3, 0xBB)}}));
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, " - 2 identical receptrons at object ID 10 "
                                                   "(Lever) for stim ID -7 (Apple)"}));
}

TEST_F(SanityCheckTest, ReceptronChunkSizeWordIsIgnored) {
    TBytes data;
    test::PutU32(data, 2);
    for (const std::int32_t id : {1, 2}) {
        test::PutI32(data, id);
        const TBytes record = Filled(88, 3);
        data.insert(data.end(), record.begin(), record.end());
    }
    TMissionWriter w = NamedMission();
    w.Chunk("L$Receptron", chunks::Links({{1, 10, -7, 4}, {2, 10, -7, 4}}));
    w.Chunk("LD$Receptro", data);
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, " - 2 identical receptrons at object ID 10 "
                                                   "(Lever) for stim ID -7 (Apple)"}));
}

TEST_F(SanityCheckTest, ReceptronsDifferingAfterTheFirstFourBytesAreNotDuplicates) {
    TMissionWriter w = NamedMission();
    w.Chunk("L$Receptron", chunks::Links({{1, 10, -7, 4}, {2, 10, -7, 4}}));
    w.Chunk("LD$Receptro",
            chunks::LinkData(88, {{1, Filled(88, 0)}, {2, WithByte(Filled(88, 0), 4, 0xCC)}}));
    EXPECT_EQ(Check(w), Lines{});
}

TEST_F(SanityCheckTest, IdenticalStimsAreReportedAsStims) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("L$arSrcDesc", chunks::Links({{1, 40, -8, 5}, {2, 40, -8, 5}}));
    w.Chunk("LD$arSrcDes", chunks::LinkData(108, {{1, Filled(108, 7)}, {2, Filled(108, 7)}}));
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, " - 2 identical stims at object ID 40 (A "
                                                   "Guard) with stim ID -8 (Guard)"}));
}

TEST_F(SanityCheckTest, ReceptronAndStimChunkNamesIgnoreLetterCase) {
    TMissionWriter w = NamedMission();
    w.Chunk("L$RECEPTRON", chunks::Links({{1, 10, -7, 4}, {2, 10, -7, 4}}));
    w.Chunk("LD$RECEPTRO", chunks::LinkData(88, {{1, WithByte(Filled(88, 0), 0, 1)},
                                                 {2, WithByte(Filled(88, 0), 0, 2)}}));
    w.Chunk("L$arsrcdesc", chunks::Links({{3, 40, -8, 5}, {4, 40, -8, 5}}));
    w.Chunk("LD$arsrcdes", chunks::LinkData(108, {{3, Filled(108, 7)}, {4, Filled(108, 7)}}));
    EXPECT_EQ(Check(w),
              (Lines{kDuplicatesHeading,
                     " - 2 identical receptrons at object ID 10 (Lever) for stim ID -7 (Apple)",
                     " - 2 identical stims at object ID 40 (A Guard) with stim ID -8 (Guard)"}));
}

TEST_F(SanityCheckTest, ChunksNotBeginningWithUpperCaseLDollarHoldNoLinks) {
    TMissionWriter w = NamedMission();
    w.Chunk("l$Contains", chunks::Links({{1, 10, 20, kContains}, {2, 10, 20, kContains}}));
    w.Chunk("LContains", chunks::Links({{1, 10, 20, kContains}, {2, 10, 20, kContains}}));
    EXPECT_EQ(Check(w), Lines{});
}

struct TKindCase {
    const char* Name;
    std::uint16_t Flavor;
    bool WithRelations;
    const char* Kind;
};

class SanityDuplicateKindTest : public SanityCheckTest,
                                public ::testing::WithParamInterface<TKindCase> {};

TEST_P(SanityDuplicateKindTest, KindIsTheRelationNameOrTheFlavorNumber) {
    const TKindCase& c = GetParam();
    TMissionWriter w = NamedMission();
    if (c.WithRelations) WithRelations(w);
    w.Chunk("L$Something", chunks::Links({{1, 10, 20, c.Flavor}, {2, 10, 20, c.Flavor}}));
    w.Chunk("LD$Somethin", chunks::LinkData(0, {}));
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, std::string(" - 2 identical ") + c.Kind +
                                                       " from object ID 10 (Lever) to object "
                                                       "ID 20 (Door)"}));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SanityDuplicateKindTest,
    ::testing::Values(TKindCase{"FirstRelation", 1, true, "MetaProp-links"},
                      TKindCase{"ThirdRelation", 3, true, "Contains-links"},
                      TKindCase{"LastRelation", 5, true, "arSrcDesc-links"},
                      TKindCase{"BeyondTheRelations", 6, true, "(flavor 6)-links"},
                      TKindCase{"FlavorZero", 0, true, "(flavor 0)-links"},
                      TKindCase{"HighestFlavor", 65535, true, "(flavor 65535)-links"},
                      TKindCase{"NoRelationsChunk", 7, false, "(flavor 7)-links"}),
    [](const auto& row) { return std::string(row.param.Name); });

TEST_F(SanityCheckTest, RelationNamesFillingTheirWholeEntryAreRead) {
    const std::string longName(32, 'R');
    // An empty first entry, a second without a zero byte, and a partial third that is no entry.
    TBytes relations(65, 0);
    std::fill(relations.begin() + 32, relations.begin() + 64, std::uint8_t{'R'});
    relations[64] = 'x';
    TMissionWriter w = NamedMission();
    w.Chunk("Relations", relations);
    w.Chunk("L$Long", chunks::Links({{1, 10, 20, 2}, {2, 10, 20, 2}}));
    w.Chunk("LD$Long", chunks::LinkData(0, {}));
    w.Chunk("L$Empty", chunks::Links({{3, 10, 20, 1}, {4, 10, 20, 1}}));
    w.Chunk("LD$Empty", chunks::LinkData(0, {}));
    w.Chunk("L$Partial", chunks::Links({{5, 10, 20, 3}, {6, 10, 20, 3}}));
    w.Chunk("LD$Partial", chunks::LinkData(0, {}));
    EXPECT_EQ(Check(w),
              (Lines{kDuplicatesHeading,
                     " - 2 identical -links from object ID 10 (Lever) to object ID 20 (Door)",
                     " - 2 identical " + longName +
                         "-links from object ID 10 (Lever) to object ID 20 (Door)",
                     " - 2 identical (flavor 3)-links from object ID 10 (Lever) to object ID 20 "
                     "(Door)"}));
}

TEST_F(SanityCheckTest, RunsAreListedByFlavorThenSourceThenDestinationAsUnsignedNumbers) {
    TMissionWriter w = NamedMission();
    w.Chunk("L$Three", chunks::Links({{1, -5, 1, 3},
                                      {2, 2, -1, 3},
                                      {3, 2, 1, 3},
                                      {4, -5, 1, 3},
                                      {5, 2, -1, 3},
                                      {6, 2, 1, 3}}));
    w.Chunk("L$Two", chunks::Links({{7, 9, 9, 2}, {8, 9, 9, 2}}));
    w.Chunk("LD$Three", chunks::LinkData(0, {}));
    w.Chunk("LD$Two", chunks::LinkData(0, {}));
    EXPECT_EQ(Check(w),
              (Lines{kDuplicatesHeading,
                     " - 2 identical (flavor 2)-links from object ID 9 () to object ID 9 ()",
                     " - 2 identical (flavor 3)-links from object ID 2 () to object ID 1 ()",
                     " - 2 identical (flavor 3)-links from object ID 2 () to object ID -1 ()",
                     " - 2 identical (flavor 3)-links from object ID -5 () to object ID 1 ()"}));
}

TEST_F(SanityCheckTest, OnlyDuplicateLinksMakeTheReportBeginWithTheirHeading) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("P$DeathStag", chunks::Props({{10, DeathStage(1)}}));
    w.Chunk("L$ControlDe",
            chunks::Links({{1, 10, 20, kControlDevice}, {2, 10, 20, kControlDevice}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    const Lines report = Check(w);
    ASSERT_FALSE(report.empty());
    EXPECT_EQ(report.front(), kDuplicatesHeading);
}

TEST_F(SanityCheckTest, BothSectionsMakeTheWholeReport) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("P$DeathStag", chunks::Props({{40, DeathStage(12)}, {50, DeathStage(12)}}));
    w.Chunk("L$ControlDe",
            chunks::Links({{1, 10, 20, kControlDevice}, {2, 10, 20, kControlDevice}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    w.Chunk("L$Contains", chunks::Links({{0x1F, 30, 50, kContains}, {0x2F, 30, 50, kContains}}));
    w.Chunk("LD$Contains", chunks::LinkData(4, {{0x1F, Filled(4, 0)}}));
    w.Chunk("L$Receptron", chunks::Links({{5, 50, -7, 4}, {6, 50, -7, 4}, {7, 50, -7, 4}}));
    w.Chunk("LD$Receptro",
            chunks::LinkData(88, {{5, Filled(88, 0)}, {6, Filled(88, 0)}, {7, Filled(88, 0)}}));
    EXPECT_EQ(Check(w),
              (Lines{"Deathstage 12 found on 2 objects",
                     "This is usually a typical DromEd bug and should be fixed!",
                     " - Object ID 40 (A Guard)", " - Object ID 50 (Torch)", "",
                     "Duplicate links found:", " wtf? no data for link ID 0000002F found",
                     " - 2 identical ControlDevice-links from object ID 10 (Lever) to object ID 20 "
                     "(Door)",
                     " - 3 identical receptrons at object ID 50 (Torch) for stim ID -7 (Apple)"}));
}

// ---------------------------------------------------------------------------------------------
// Link data: missing chunks, missing records, hostile sizes

TEST_F(SanityCheckTest, ATwinlessLinkSortingLastLoadsNoData) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("L$ControlDe",
            chunks::Links({{1, 10, 20, kControlDevice}, {2, 10, 20, kControlDevice}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    // The highest flavor and no LD$ chunk: were its data looked for, a line would say so.
    w.Chunk("L$Zzz", chunks::Links({{3, 10, 20, 900}}));
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, " - 2 identical ControlDevice-links from object "
                                                   "ID 10 (Lever) to object ID 20 (Door)"}));
}

TEST_F(SanityCheckTest, TheOnlyLinkOfAMissionLoadsNoData) {
    EXPECT_EQ(Check(TMissionWriter().Chunk("L$Zzz", chunks::Links({{3, 10, 20, 9}}))), Lines{});
}

TEST_F(SanityCheckTest, ATwinlessLinkWithoutItsDataRecordGivesNoLine) {
    TMissionWriter w = NamedMission();
    w.Chunk("L$Contains", chunks::Links({{1, 10, 20, kContains}, {2, 10, 30, kContains}}));
    w.Chunk("LD$Contains", chunks::LinkData(4, {}));
    EXPECT_EQ(Check(w), Lines{});
}

TEST_F(SanityCheckTest, MissingDataChunkOfDuplicatesIsSaidOncePerLink) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("L$Contains", chunks::Links({{1, 10, 20, kContains}, {2, 10, 20, kContains}}));
    EXPECT_EQ(Check(w),
              (Lines{kDuplicatesHeading, " wtf? no link data found for L$Contains",
                     " wtf? no link data found for L$Contains",
                     " - 2 identical Contains-links from object ID 10 (Lever) to object ID 20 "
                     "(Door)"}));
}

TEST_F(SanityCheckTest, DataChunkOfALongFlavorNameIsCutToElevenCharacters) {
    TMissionWriter w = NamedMission();
    w.Chunk("L$ControlDev", chunks::Links({{1, 10, 20, 2}, {2, 10, 20, 2}}));
    // Not this one: a name is compared whole.
    w.Chunk("LD$ControlDe", chunks::LinkData(4, {{1, Filled(4, 1)}, {2, Filled(4, 1)}}));
    w.Chunk("LD$ControlD", chunks::LinkData(4, {{1, Filled(4, 1)}, {2, Filled(4, 2)}}));
    EXPECT_EQ(Check(w), Lines{});
}

struct TMissingRecordCase {
    const char* Name;
    const char* LinkChunk;
    const char* DataChunk;
    std::uint32_t DataSize;
    std::int32_t MissingId;
    const char* Line;
};

class SanityMissingDataRecordTest : public SanityCheckTest,
                                    public ::testing::WithParamInterface<TMissingRecordCase> {};

TEST_P(SanityMissingDataRecordTest, IsSaidWithTheLinkIdInHexadecimal) {
    const TMissingRecordCase& c = GetParam();
    TMissionWriter w = NamedMission();
    w.Chunk(c.LinkChunk, chunks::Links({{7, 10, 20, 4}, {c.MissingId, 10, 20, 4}}));
    w.Chunk(c.DataChunk, chunks::LinkData(c.DataSize, {{7, Filled(c.DataSize, 1)}}));
    // With data on one link only the two are no longer identical.
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, c.Line}));
}

INSTANTIATE_TEST_SUITE_P(
    Words, SanityMissingDataRecordTest,
    ::testing::Values(TMissingRecordCase{"Link", "L$Contains", "LD$Contains", 4, 0x2A,
                                         " wtf? no data for link ID 0000002A found"},
                      TMissingRecordCase{"HexDigitsUpperCase", "L$Contains", "LD$Contains", 4,
                                         0xABCDEF, " wtf? no data for link ID 00ABCDEF found"},
                      TMissingRecordCase{"Receptron", "L$Receptron", "LD$Receptro", 88, -2,
                                         " wtf? no data for receptron ID FFFFFFFE found"},
                      TMissingRecordCase{"Stim", "L$arSrcDesc", "LD$arSrcDes", 108, -2147483647 - 1,
                                         " wtf? no data for stim ID 80000000 found"}),
    [](const auto& row) { return std::string(row.param.Name); });

struct THostileSizeCase {
    const char* Name;
    std::uint32_t DataSize;
    std::size_t BytesAfterSizeWord;
};

class SanityHostileDataSizeTest : public SanityCheckTest,
                                  public ::testing::WithParamInterface<THostileSizeCase> {};

TEST_P(SanityHostileDataSizeTest, FindsNoRecordAndReadsNothingBeyondTheChunk) {
    TBytes data;
    test::PutU32(data, GetParam().DataSize);
    const TBytes rest = Filled(GetParam().BytesAfterSizeWord, 1);
    data.insert(data.end(), rest.begin(), rest.end());
    TMissionWriter w = NamedMission();
    w.Chunk("L$Contains", chunks::Links({{1, 10, 20, kContains}, {2, 10, 20, kContains}}));
    w.Chunk("LD$Contains", data);
    EXPECT_EQ(Check(w),
              (Lines{kDuplicatesHeading, " wtf? no data for link ID 00000001 found",
                     " wtf? no data for link ID 00000002 found",
                     " - 2 identical (flavor 3)-links from object ID 10 (Lever) to object ID 20 "
                     "(Door)"}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, SanityHostileDataSizeTest,
                         ::testing::Values(THostileSizeCase{"Largest", 0xFFFFFFFF, 12},
                                           THostileSizeCase{"WrapsToZeroIn32Bits", 0xFFFFFFFC, 12},
                                           THostileSizeCase{"WrapsToOneIn32Bits", 0xFFFFFFFD, 12},
                                           THostileSizeCase{"OneByteTooMany", 5, 8},
                                           THostileSizeCase{"NoRecords", 4, 0}),
                         [](const auto& row) { return std::string(row.param.Name); });

TEST_F(SanityCheckTest, DataChunkTooShortForItsSizeWordMeansNoData) {
    TMissionWriter w = NamedMission();
    w.Chunk("L$Contains", chunks::Links({{1, 10, 20, kContains}, {2, 10, 20, kContains}}));
    w.Chunk("LD$Contains", TBytes{1, 0});
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, " - 2 identical (flavor 3)-links from object "
                                                   "ID 10 (Lever) to object ID 20 (Door)"}));
}

TEST_F(SanityCheckTest, ShortReceptronChunkHasNoRecords) {
    TMissionWriter w = NamedMission();
    w.Chunk("L$Receptron", chunks::Links({{1, 10, 20, 4}, {2, 10, 20, 4}}));
    w.Chunk("LD$Receptro", Filled(80, 0));
    EXPECT_EQ(Check(w), (Lines{kDuplicatesHeading, " wtf? no data for receptron ID 00000001 found",
                               " wtf? no data for receptron ID 00000002 found",
                               " - 2 identical receptrons at object ID 10 (Lever) for stim ID 20 "
                               "(Door)"}));
}

TEST_F(SanityCheckTest, ManyLinksWithAFewDuplicates) {
    std::vector<TLinkRec> links;
    std::int32_t id = 1;
    for (std::int32_t i = 0; i < 118800; ++i) links.push_back({id++, i, i % 97, kContains});
    for (std::int32_t i = 0; i < 118800; i += 99) links.push_back({id++, i, i % 97, kContains});
    ASSERT_EQ(links.size(), 120000u);
    TMissionWriter w = NamedMission();
    w.Chunk("L$Contains", chunks::Links(links));
    w.Chunk("LD$Contains", chunks::LinkData(0, {}));
    const Lines report = Check(w);
    ASSERT_EQ(report.size(), 1u + 1200u);
    EXPECT_EQ(report[1], " - 2 identical (flavor 3)-links from object ID 0 () to object ID 0 ()");
    EXPECT_EQ(report[1200], " - 2 identical (flavor 3)-links from object ID 118701 () to object "
                            "ID " +
                                std::to_string(118701 % 97) + " ()");
}

// ---------------------------------------------------------------------------------------------
// Failures and the brush list operation

// The file of Mission with the size of table-of-contents entry Index changed.
TBytes WithEntrySize(const TMissionWriter& mission, std::size_t index, std::uint32_t size) {
    TBytes bytes = mission.Bytes();
    const std::size_t toc = ReadU32(bytes.data());
    const std::size_t at = toc + 4 + index * 20 + 16;
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<std::uint8_t>(size >> (8 * i));
    return bytes;
}

TEST_F(SanityCheckTest, ReadFailureGoesUpAndKeepsTheLinesWritten) {
    TMissionWriter w;
    w.Chunk("P$DeathStag", chunks::Props({{10, DeathStage(12)}}));
    w.Chunk("L$Contains", chunks::Links({{1, 10, 20, kContains}}));
    const auto path = folder_ / "damaged.mis";
    test::SaveBytes(path, WithEntrySize(w, 1, 1000000));
    TMissionFile file;
    file.Open(path);
    TMissionNames names;
    names.Load(file);
    Lines report;
    EXPECT_THROW(RunSanityCheck(file, names, report), Exception);
    EXPECT_EQ(report, (Lines{"", kDeathStageHeading + "1 objects", kDeathStageAdvice,
                             " - Object ID 10 ()"}));
}

TEST_F(SanityCheckTest, BrushListOperationRunsTheCheckWhenAskedFor) {
    TMissionWriter w = NamedMission();
    WithRelations(w);
    w.Chunk("BRLIST", chunks::Brushes({{1, 10, 253, 0}, {2, 0, 0, 2}}));
    w.Chunk("P$DeathStag", chunks::Props({{10, DeathStage(12)}}));
    w.Chunk("L$ControlDe",
            chunks::Links({{1, 10, 20, kControlDevice}, {2, 10, 20, kControlDevice}}));
    w.Chunk("LD$ControlD", chunks::LinkData(0, {}));
    const Lines expected = {
        kDeathStageHeading + "1 objects",
        kDeathStageAdvice,
        " - Object ID 10 (Lever)",
        "",
        kDuplicatesHeading,
        " - 2 identical ControlDevice-links from object ID 10 (Lever) to object ID 20 (Door)"};
    EXPECT_EQ(Check(w), expected);

    Lines report;
    int brushes = 0;
    TReadBrushListParams params;
    params.FileName = Save(w);
    params.OnBrush = [&](TBrushKind, std::int32_t, std::int32_t, const std::string&) { ++brushes; };
    params.Report = &report;
    ReadBrushList(params);
    EXPECT_EQ(report, expected);
    EXPECT_EQ(brushes, 2);

    Lines withoutBrushes;
    TReadBrushListParams checkOnly;
    checkOnly.FileName = params.FileName;
    checkOnly.Report = &withoutBrushes;
    ReadBrushList(checkOnly);
    EXPECT_EQ(withoutBrushes, expected);
}

TEST_F(SanityCheckTest, BrushListOperationWithoutReportOnlyDeliversBrushes) {
    TMissionWriter w = NamedMission();
    w.Chunk("BRLIST", chunks::Brushes({{1, 10, 253, 0}}));
    w.Chunk("P$DeathStag", chunks::Props({{10, DeathStage(12)}}));
    TReadBrushListParams params;
    params.FileName = Save(w);
    int brushes = 0;
    params.OnBrush = [&](TBrushKind, std::int32_t, std::int32_t, const std::string&) { ++brushes; };
    EXPECT_NO_THROW(ReadBrushList(params));
    EXPECT_EQ(brushes, 1);
}

TEST_F(SanityCheckTest, EmptyTableOfContentsEndsTheBrushListOperationQuietly) {
    Lines report = {"kept"};
    TReadBrushListParams params;
    params.FileName = Save(TMissionWriter());
    params.Report = &report;
    ReadBrushList(params);
    EXPECT_EQ(report, Lines{"kept"});
}

// ---------------------------------------------------------------------------------------------
// Missions made with DromEd

struct TRealMissionCase {
    const char* Name;
    const char* File;
    Lines Report;
};

class SanityRealMissionTest : public ::testing::TestWithParam<TRealMissionCase> {};

TEST_P(SanityRealMissionTest, ReportsExactlyWhatIsDuplicated) {
    const std::filesystem::path file = std::filesystem::path(KORVANE_REALMIS_DIR) / GetParam().File;
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "real mission not found: " << file;
    Lines report;
    TReadBrushListParams params;
    params.FileName = file;
    params.Report = &report;
    ReadBrushList(params);
    EXPECT_EQ(report, GetParam().Report);
}

const Lines kFlinderizeTwins = {kDuplicatesHeading,
                                " - 2 identical Flinderize-links from object ID -5777 (LG_Banner) "
                                "to object ID -6197 (LGBan1Flin6)"};

// The missions whose link sorting last has no twin and no data record: it is not looked up.
INSTANTIATE_TEST_SUITE_P(
    Files, SanityRealMissionTest,
    ::testing::Values(
        TRealMissionCase{"BriefingBook", "demo_briefingbook/miss20.mis", {}},
        TRealMissionCase{"Crossfade", "test_crossfade/test_crossfade.mis", {}},
        TRealMissionCase{"MoneyTree", "test_moneytree/test_moneytree.mis", {}},
        TRealMissionCase{"Elevators", "test_elevators/test_elevators.mis", {}},
        TRealMissionCase{"FallOnBackSavedMission", "test_fallonback.cow", kFlinderizeTwins},
        TRealMissionCase{"Gamesys", "test_babyburricks/babyburk.gam", kFlinderizeTwins}),
    [](const auto& row) { return std::string(row.param.Name); });

// ---------------------------------------------------------------------------------------------
// The report as shown

TEST(SanityReportWithHeadingTest, TimeAndFileNameThenAnEmptyLineThenTheLines) {
    EXPECT_EQ(SanityReportWithHeading({"Duplicate links found:", " - line"}, "miss20.mis", 9, 5),
              (Lines{"[09:05] File: miss20.mis", "", "Duplicate links found:", " - line"}));
}

TEST(SanityReportWithHeadingTest, TwentyFourHourClock) {
    EXPECT_EQ(SanityReportWithHeading({}, "a b.cow", 23, 59), (Lines{"[23:59] File: a b.cow", ""}));
    EXPECT_EQ(SanityReportWithHeading({}, "x.mis", 0, 0), (Lines{"[00:00] File: x.mis", ""}));
}

} // namespace
} // namespace kv
