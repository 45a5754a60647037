// The mission database: brushes, object names, metaproperty ancestry, properties and links read
// from generated missions, and what damaged missions do to each operation.
#include "mission/MissionDb.h"

#include "mission/MissionDbFixture.h"
#include "mission/RandomMission.h"
#include "text/Exception.h"
#include "text/TextFile.h"

namespace kv {
namespace {

using namespace test;

// ---- brush list ----

TEST_F(MissionDbTest, ClassifiesAndNamesBrushesByMedia) {
    const TMissionWriter w = KindsMission();
    const std::vector<TBrushCall> expected = {{bkTerrain, 1, 0, "Solid"},
                                              {bkTerrain, 2, 0, "Blockable"},
                                              {bkTerrain, 5, 0, ""},
                                              {bkTerrain, 6, 0, ""},
                                              {bkLight, 7, 30, ""},
                                              {bkArea, 3, 31, "Hall (31)"},
                                              {bkObject, 8, 40, "Guard (40)"},
                                              {bkFlow, 9, 33, ""},
                                              {bkRoom, 10, 41, "Tower (41)"},
                                              {bkNone, 11, 34, ""},
                                              {bkNone, 12, 35, ""},
                                              {bkArea, 13, 0, ""}};
    EXPECT_EQ(Brushes(w, true), expected);
}

TEST_F(MissionDbTest, NamesEveryTerrainMedia) {
    const char* const names[] = {"Solid",        "Air",          "Water",      "Flood",
                                 "Evaporate",    "Solid->Water", "Solid->Air", "Air->Solid",
                                 "Water->Solid", "Blockable"};
    std::vector<TBrushRec> recs;
    for (std::int16_t m = 0; m < 10; ++m) recs.push_back(Brush(1, m));
    const auto calls = Brushes(TMissionWriter().Chunk("BRLIST", chunks::Brushes(recs)));
    ASSERT_EQ(calls.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(calls[i].Name, names[i]);
}

TEST_F(MissionDbTest, SkipsTheFaceBlockOfATerrainBrush) {
    const auto calls =
        Brushes(TMissionWriter().Chunk(
                    "BRLIST", chunks::Brushes({Brush(4, 5, 77, 6), Brush(9, 253, 12, 200)})),
                true);
    const std::vector<TBrushCall> expected = {{bkTerrain, 4, 0, "Solid->Water"},
                                              {bkObject, 9, 12, ""}};
    EXPECT_EQ(calls, expected);
}

// Only terrain brushes carry faces: media 300 is followed by the next record at once.
TEST_F(MissionDbTest, ANonTerrainBrushHasNoFaceBlock) {
    const auto calls = Brushes(
        TMissionWriter().Chunk("BRLIST", chunks::Brushes({Brush(4, 300, 8, 9), Brush(5, 1, 0, 2)})),
        true);
    const std::vector<TBrushCall> expected = {{bkNone, 4, 8, ""}, {bkTerrain, 5, 0, "Air"}};
    EXPECT_EQ(calls, expected);
}

TEST_F(MissionDbTest, NumbersBrushesFromOneUnlessTheirIdsAreWanted) {
    const TMissionWriter w = TMissionWriter().Chunk(
        "BRLIST", chunks::Brushes({Brush(500, 1), Brush(17, 255, 3), Brush(65535, 2)}));
    std::vector<std::int32_t> running;
    std::vector<std::int32_t> ids;
    for (const auto& c : Brushes(w, false)) running.push_back(c.Num);
    for (const auto& c : Brushes(w, true)) ids.push_back(c.Num);
    EXPECT_EQ(running, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(ids, (std::vector<std::int32_t>{500, 17, 65535}));
}

TEST_F(MissionDbTest, NamesAnObjectBrushAfterItsArchetype) {
    TMissionWriter w;
    w.Chunk("OBJ_MAP", chunks::NameRecords({{-5, "apple"}, {-6, "Guard"}, {-7, "Eye"}}))
        .Chunk("L$MetaProp", chunks::Links({{1, 20, -5, 1}, {2, 21, -6, 1}, {3, 22, -7, 1}}))
        .Chunk("BRLIST",
               chunks::Brushes({Brush(1, 253, 20), Brush(2, 253, 21), Brush(3, 251, 22)}));
    const std::vector<TBrushCall> expected = {{bkObject, 1, 20, "An apple (20)"},
                                              {bkObject, 2, 21, "A Guard (21)"},
                                              {bkRoom, 3, 22, "An Eye (22)"}};
    EXPECT_EQ(Brushes(w), expected);
}

TEST_F(MissionDbTest, ABrushWalkStopsAtARecordThatRunsPastTheChunk) {
    TBytes b = chunks::Brushes({Brush(1, 255, 4), Brush(2, 0, 0, 3)});
    b.resize(b.size() - 1); // the face block of the second brush is one byte short
    EXPECT_EQ(Brushes(TMissionWriter().Chunk("BRLIST", b)).size(), 1u);
    TBytes c = chunks::Brushes({Brush(1, 255, 4)});
    c.resize(c.size() + 75, 0);
    EXPECT_EQ(Brushes(TMissionWriter().Chunk("BRLIST", c)).size(), 1u);
}

TEST_F(MissionDbTest, WithoutABrushCallbackTheBrushListIsNotRead) {
    TBytes file = TMissionWriter().Chunk("BRLIST", chunks::Brushes({Brush(1, 1)})).Bytes();
    const std::size_t entry = ReadU32(file.data()) + 4;
    file[entry + 16] = 0xFF; // size far past the end
    file[entry + 17] = 0xFF;
    const auto p = folder_ / "broken.mis";
    SaveBytes(p, file);
    TReadBrushListParams params;
    params.FileName = p;
    EXPECT_NO_THROW(ReadBrushList(params));
    params.OnBrush = [](TBrushKind, std::int32_t, std::int32_t, const std::string&) {};
    EXPECT_THROW(ReadBrushList(params), Exception);
}

TEST_F(MissionDbTest, AnEmptyTableOfContentsEndsEveryOperationQuietly) {
    const auto p = Save(TMissionWriter());
    int calls = 0;
    std::vector<std::string> report;
    TReadBrushListParams b;
    b.FileName = p;
    b.OnBrush = [&](TBrushKind, std::int32_t, std::int32_t, const std::string&) { ++calls; };
    b.Report = &report;
    ReadBrushList(b);
    TReadPropsParams rp;
    rp.FileName = p;
    rp.Props = std::vector<TNamedMode>{{"Loot", 2}};
    rp.Links = std::vector<TNamedMode>{{"Contains", 7}};
    const auto r = Props(rp);
    ReadLinks(p, nullptr, nullptr, [&](std::int32_t, std::int32_t, std::int32_t, int) { ++calls; });
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(report.empty());
    EXPECT_TRUE(r.Props.empty() && r.Links.empty() && r.Messages.empty());
}

TEST_F(MissionDbTest, TheSanityCheckRunsOnTheSameFileWhenAReportIsWanted) {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{7, "Zombie"}}))
        .Chunk("P$DeathStag", chunks::Props({{7, I32Bytes(12)}}));
    std::vector<std::string> report;
    TReadBrushListParams params;
    params.FileName = Save(w);
    params.Report = &report;
    ReadBrushList(params);
    EXPECT_FALSE(report.empty());
}

// ---- object names ----

TEST_F(MissionDbTest, TakesNamesFromSymNameThenObjectMap) {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{1, "Sym"}, {2, ""}, {1, "Later"}, {4, "Four"}}))
        .Chunk("OBJ_MAP", chunks::NameRecords({{1, "Map1"}, {2, "Map2"}, {3, "Map3"}, {3, "X"}}));
    const TMissionNames names = Names(w);
    EXPECT_EQ(names.GetObjectName(1, false), "Sym");
    EXPECT_EQ(names.GetObjectName(2, false), "Map2");
    EXPECT_EQ(names.GetObjectName(3, true), "Map3");
    EXPECT_EQ(names.GetObjectName(4, false), "Four");
    EXPECT_EQ(names.GetObjectName(5, true), "");
    EXPECT_EQ(names.GetObjectName(0, true), "");
}

struct TArchetypeCase {
    const char* What;
    std::vector<TLinkRec> Links;
    std::optional<TBytes> LinkData;
    const char* Expected;
};

class ArchetypeNameTest : public MissionDbTest,
                          public ::testing::WithParamInterface<TArchetypeCase> {};

TEST_P(ArchetypeNameTest, NamesAnUnnamedObjectAfterItsCheapestMetaproperty) {
    TMissionWriter w;
    w.Chunk("OBJ_MAP",
            chunks::NameRecords({{-1, "Apple"}, {-2, "Bear"}, {-3, "urn"}, {-4, ""}, {-5, "ice"}}));
    w.Chunk("L$MetaProp", chunks::Links(GetParam().Links));
    if (GetParam().LinkData) w.Chunk("LD$MetaProp", *GetParam().LinkData);
    EXPECT_EQ(Names(w).GetObjectName(10, true), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Archetypes, ArchetypeNameTest,
    ::testing::Values(
        TArchetypeCase{"Vowel", {{1, 10, -1, 1}}, std::nullopt, "An Apple"},
        TArchetypeCase{"LowerVowel", {{1, 10, -3, 1}}, std::nullopt, "An urn"},
        TArchetypeCase{"Consonant", {{1, 10, -2, 1}}, std::nullopt, "A Bear"},
        TArchetypeCase{"Cheapest",
                       {{1, 10, -1, 1}, {2, 10, -2, 1}, {3, 10, -3, 1}},
                       chunks::LinkData(4, {{1, Prio(5)}, {2, Prio(-1)}, {3, Prio(0)}}),
                       "A Bear"},
        TArchetypeCase{"FirstOfEqual",
                       {{1, 10, -2, 1}, {2, 10, -1, 1}},
                       chunks::LinkData(4, {{1, Prio(3)}, {2, Prio(3)}}),
                       "A Bear"},
        TArchetypeCase{"MissingPriorityIsZero",
                       {{1, 10, -2, 1}, {2, 10, -1, 1}},
                       chunks::LinkData(4, {{1, Prio(1)}}),
                       "An Apple"},
        TArchetypeCase{"FirstPriorityRecordCounts",
                       {{1, 10, -2, 1}, {2, 10, -1, 1}},
                       chunks::LinkData(4, {{1, Prio(1)}, {2, Prio(2)}, {1, Prio(-9)}}),
                       "A Bear"},
        TArchetypeCase{"DataSizeNotFourIsZero",
                       {{1, 10, -2, 1}, {2, 10, -1, 1}},
                       chunks::LinkData(8, {{1, TBytes(8, 9)}, {2, TBytes(8, 0xFF)}}),
                       "A Bear"},
        TArchetypeCase{"OtherFlavorsIgnored",
                       {{1, 10, -2, 2}, {2, 11, -2, 1}, {3, 10, -5, 1}},
                       std::nullopt,
                       "An ice"},
        TArchetypeCase{"UnnamedArchetype", {{1, 10, -4, 1}}, std::nullopt, ""},
        TArchetypeCase{"UnnamedCheapestArchetype",
                       {{1, 10, -1, 1}, {2, 10, -4, 1}},
                       chunks::LinkData(4, {{1, Prio(2)}, {2, Prio(1)}}),
                       ""},
        TArchetypeCase{
            "ArchetypeWithoutNameOfItsOwn", {{1, 10, -9, 1}, {2, -9, -1, 1}}, std::nullopt, ""}),
    [](const auto& c) { return std::string(c.param.What); });

TEST_F(MissionDbTest, NamesWithoutArchetypeWhenNotAsked) {
    TMissionWriter w;
    w.Chunk("OBJ_MAP", chunks::NameRecords({{-1, "Apple"}}))
        .Chunk("L$MetaProp", chunks::Links({{1, 10, -1, 1}}));
    EXPECT_EQ(Names(w).GetObjectName(10, false), "");
}

// ---- ancestry ----

std::vector<std::int32_t> AncestorsOf(const TMissionNames& names, std::int32_t id,
                                      const TMissionNames* gamesys = nullptr) {
    std::vector<std::int32_t> list;
    names.GetMetaPropAncestors(id, list, gamesys);
    return list;
}

TEST_F(MissionDbTest, ListsAncestorsDepthFirstHighestPriorityFirst) {
    TMissionWriter w;
    w.Chunk("L$MetaProp", chunks::Links({{1, 10, -1, 1},
                                         {2, 10, -2, 1},
                                         {3, -1, -3, 1},
                                         {4, -2, -4, 1},
                                         {5, -1, -5, 1},
                                         {6, 10, -6, 2}}))
        .Chunk("LD$MetaProp",
               chunks::LinkData(4, {{1, Prio(1)}, {2, Prio(7)}, {3, Prio(0)}, {5, Prio(4)}}));
    // -2 (7) before -1 (1); under -1: -5 (4) before -3 (0); link 4 has no priority.
    EXPECT_EQ(AncestorsOf(Names(w), 10), (std::vector<std::int32_t>{-2, -4, -1, -5, -3}));
}

TEST_F(MissionDbTest, NoAncestorsWithoutMetapropertyLinkData) {
    TMissionWriter w;
    w.Chunk("L$MetaProp", chunks::Links({{1, 10, -1, 1}}));
    EXPECT_TRUE(AncestorsOf(Names(w), 10).empty());
}

// A first word other than 4 leaves every link without priority: -1 for ancestry (all equal,
// file order kept), 0 for naming.
TEST_F(MissionDbTest, LinkDataOfTheWrongSizeGivesNoPriorities) {
    TMissionWriter w;
    w.Chunk("OBJ_MAP", chunks::NameRecords({{-1, "Orb"}, {-2, "Box"}}))
        .Chunk("L$MetaProp", chunks::Links({{1, 10, -1, 1}, {2, 10, -2, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(2, {{1, TBytes{9, 0}}, {2, TBytes{1, 0}}}));
    const TMissionNames names = Names(w);
    EXPECT_EQ(AncestorsOf(names, 10), (std::vector<std::int32_t>{-1, -2}));
    EXPECT_EQ(names.GetObjectName(10, true), "An Orb");
}

TEST_F(MissionDbTest, CyclicMetapropertiesEnd) {
    TMissionWriter w;
    w.Chunk("L$MetaProp", chunks::Links({{1, 10, -1, 1},
                                         {2, -1, -2, 1},
                                         {3, -2, -1, 1},
                                         {4, -2, 10, 1},
                                         {5, -3, -3, 1},
                                         {6, -2, -3, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {}));
    const TMissionNames names = Names(w);
    EXPECT_EQ(AncestorsOf(names, 10), (std::vector<std::int32_t>{-1, -2, -3}));
    EXPECT_EQ(AncestorsOf(names, -3), (std::vector<std::int32_t>{}));
}

// A diamond is no cycle: the shared ancestor appears once per way to it.
TEST_F(MissionDbTest, ASharedAncestorAppearsOncePerPath) {
    TMissionWriter w;
    w.Chunk("L$MetaProp",
            chunks::Links({{1, 10, -1, 1}, {2, 10, -2, 1}, {3, -1, -3, 1}, {4, -2, -3, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {}));
    EXPECT_EQ(AncestorsOf(Names(w), 10), (std::vector<std::int32_t>{-1, -3, -2, -3}));
}

// Links that branch and join again on every level would make the list grow beyond any use.
TEST_F(MissionDbTest, AnExplodingAncestryRaisesAnError) {
    std::vector<TLinkRec> links;
    std::int32_t linkId = 1;
    for (std::int32_t level = 1; level <= 40; ++level) {
        links.push_back({linkId++, -level, -(level + 1), 1});
        links.push_back({linkId++, -level, -(level + 1), 1});
    }
    TMissionWriter w;
    w.Chunk("L$MetaProp", chunks::Links(links)).Chunk("LD$MetaProp", chunks::LinkData(4, {}));
    std::vector<std::int32_t> list;
    EXPECT_THROW(Names(w).GetMetaPropAncestors(-1, list), Exception);
}

TEST_F(MissionDbTest, ArchetypesInheritThroughTheGamesysWhenItHasMetaproperties) {
    TMissionWriter m;
    m.Chunk("L$MetaProp", chunks::Links({{1, 10, -1, 1}, {2, -1, -7, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {}));
    TMissionWriter g;
    g.Chunk("L$MetaProp", chunks::Links({{1, -1, -2, 1}, {2, -2, -3, 1}, {3, 10, -9, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {}));
    const TMissionNames mission = Names(m);
    TMissionFile gf;
    gf.Open(Save(g, "g.gam"));
    TMissionNames gamesys;
    gamesys.LoadMetaProps(gf);
    EXPECT_TRUE(gamesys.HasMetaProps());
    EXPECT_EQ(AncestorsOf(mission, 10, &gamesys), (std::vector<std::int32_t>{-1, -2, -3}));
    EXPECT_EQ(AncestorsOf(mission, 10), (std::vector<std::int32_t>{-1, -7}));
}

// ---- properties ----

TReadPropsParams PropsParams(const std::filesystem::path& file, int mode) {
    TReadPropsParams params;
    params.FileName = file;
    params.Props = std::vector<TNamedMode>{{"Flicker", mode}};
    params.Tag = 77;
    return params;
}

TEST_F(MissionDbTest, ModeZeroDeliversOwnValuesOfTheObjectBrushes) {
    const auto r = Props(PropsParams(Save(PropsMission()), 0));
    const std::vector<TPropCall> expected = {{10, "Lamp", "Flicker", {1}, 77},
                                             {10, "Lamp", "Flicker", {6}, 77}};
    EXPECT_EQ(r.Props, expected);
    EXPECT_TRUE(r.Messages.empty());
}

TEST_F(MissionDbTest, ModeOneDeliversAnOwnValueOrElseTheFirstInheritedOne) {
    const auto r = Props(PropsParams(Save(PropsMission()), 1));
    const std::vector<TPropCall> expected = {{10, "Lamp", "Flicker", {1}, 77},
                                             {10, "Lamp", "Flicker", {6}, 77},
                                             {11, "Chest", "Flicker", {3}, 77}};
    EXPECT_EQ(r.Props, expected);
}

TEST_F(MissionDbTest, ModeTwoDeliversOwnValuesThenOnePerAncestorInAncestorOrder) {
    const auto r = Props(PropsParams(Save(PropsMission()), 2));
    const std::vector<TPropCall> expected = {
        {10, "Lamp", "Flicker", {1}, 77},  {10, "Lamp", "Flicker", {6}, 77},
        {11, "Chest", "Flicker", {3}, 77}, {10, "Lamp", "Flicker", {2}, 77},
        {10, "Lamp", "Flicker", {4}, 77},  {10, "Lamp", "Flicker", {3}, 77}};
    EXPECT_EQ(r.Props, expected);
}

TEST_F(MissionDbTest, AGivenObjectSetIsUsedInItsOwnOrder) {
    auto params = PropsParams(Save(PropsMission()), 1);
    params.Objects = std::vector<std::int32_t>{12, -1, 99};
    const std::vector<TPropCall> expected = {{-1, "Light", "Flicker", {2}, 77},
                                             {12, "", "Flicker", {5}, 77},
                                             {-1, "Light", "Flicker", {4}, 77}};
    // -1 has a value of its own, so with mode 1 only its own; mode 2 adds -3's.
    EXPECT_EQ(Props(params).Props, (std::vector<TPropCall>{expected[0], expected[1]}));
    params.Props = std::vector<TNamedMode>{{"Flicker", 2}};
    EXPECT_EQ(Props(params).Props, expected);
}

TEST_F(MissionDbTest, PropertyChunkNamesAreCutToElevenCharacters) {
    TMissionWriter w;
    w.Chunk("P$DeathStag", chunks::Props({{5, I32Bytes(12)}}));
    TReadPropsParams params;
    params.FileName = Save(w);
    params.Objects = std::vector<std::int32_t>{5};
    params.Props = std::vector<TNamedMode>{{"DeathStage", 0}};
    const std::vector<TPropCall> expected = {{5, "", "DeathStage", I32Bytes(12), 0}};
    EXPECT_EQ(Props(params).Props, expected);
}

class GamesysTest : public MissionDbTest {
protected:
    void SetUp() override { std::filesystem::create_directories(folder_ / "gamesys"); }
    TReadPropsParams Params(const std::string& gamFile, int mode = 2) {
        TReadPropsParams params;
        params.FileName = Save(GamesysMission(gamFile), "miss1.mis");
        params.GamesysDir = folder_ / "gamesys";
        params.Objects = std::vector<std::int32_t>{10};
        params.Props = std::vector<TNamedMode>{{"Scale", mode}};
        return params;
    }
    static std::vector<TBytes> Values(const TPropsResult& r) {
        std::vector<TBytes> v;
        for (const auto& p : r.Props) v.push_back(p.Data);
        return v;
    }
};

TEST_F(GamesysTest, ArchetypesInheritFromTheGamesysInTheGamesysFolder) {
    Gamesys().Save(folder_ / "gamesys" / "dark.gam");
    const auto r = Props(Params("dark.gam"));
    EXPECT_EQ(Values(r), (std::vector<TBytes>{{7}, {8}}));
    EXPECT_TRUE(r.Messages.empty());
}

TEST_F(GamesysTest, IsFoundBesideTheMission) {
    Gamesys().Save(folder_ / "dark.gam");
    EXPECT_EQ(Values(Props(Params("dark.gam"))), (std::vector<TBytes>{{7}, {8}}));
}

TEST_F(GamesysTest, IsFoundWhateverTheLetterCaseOfItsName) {
    Gamesys().Save(folder_ / "test_moneytree.gam");
    EXPECT_EQ(Values(Props(Params("test_moneytree.GAM"))), (std::vector<TBytes>{{7}, {8}}));
    Gamesys().Save(folder_ / "gamesys" / "Other.Gam");
    EXPECT_EQ(Values(Props(Params("OTHER.GAM"))), (std::vector<TBytes>{{7}, {8}}));
}

TEST_F(GamesysTest, AFolderInTheGamesysNameIsFoundWhateverItsLetterCase) {
    std::filesystem::create_directories(folder_ / "gamesys" / "sub");
    Gamesys().Save(folder_ / "gamesys" / "sub" / "dark.gam");
    EXPECT_EQ(Values(Props(Params("SUB\\Dark.GAM"))), (std::vector<TBytes>{{7}, {8}}));
}

TEST_F(GamesysTest, AMissingGamesysIsSaidOnceAndTheMissionAloneIsUsed) {
    auto params = Params("dark.gam");
    params.Props->push_back({"Scale", 1});
    const auto r = Props(params);
    EXPECT_EQ(r.Messages,
              (std::vector<std::string>{"Gamesys not found: \"" +
                                        PathToText(folder_ / "gamesys" / "dark.gam") + "\""}));
    EXPECT_EQ(Values(r), (std::vector<TBytes>{{9}, {9}}));
}

TEST_F(GamesysTest, WithoutAGamesysNameNothingIsSaid) {
    const auto r = Props(Params(""));
    EXPECT_TRUE(r.Messages.empty());
    EXPECT_EQ(Values(r), (std::vector<TBytes>{{9}}));
}

TEST_F(GamesysTest, OwnValuesAloneNeedNoGamesys) {
    EXPECT_TRUE(Props(Params("dark.gam", 0)).Messages.empty());
}

TEST_F(GamesysTest, AGamesysWithoutThePropertyLeavesArchetypesToTheMission) {
    TMissionWriter g;
    g.Chunk("L$MetaProp", chunks::Links({{1, -1, -2, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, Prio(0)}}));
    g.Save(folder_ / "gamesys" / "dark.gam");
    EXPECT_EQ(Values(Props(Params("dark.gam"))), (std::vector<TBytes>{{9}}));
}

TEST_F(GamesysTest, AnEmptyGamesysIsNoError) {
    TMissionWriter().Save(folder_ / "gamesys" / "dark.gam");
    const auto r = Props(Params("dark.gam"));
    EXPECT_TRUE(r.Messages.empty());
    EXPECT_EQ(Values(r), (std::vector<TBytes>{{9}}));
}

TEST(FindGamesysTest, TriesTheGamesysFolderFirst) {
    ScratchFolder folder;
    std::filesystem::create_directories(folder / "g");
    TMissionWriter().Save(folder / "g" / "x.gam");
    TMissionWriter().Save(folder / "x.gam");
    std::filesystem::path first;
    EXPECT_EQ(FindGamesys(folder / "g", folder / "m.mis", "x.gam", &first), folder / "g" / "x.gam");
    EXPECT_EQ(first, folder / "g" / "x.gam");
    // The file found, in whatever spelling the file system gives back (Windows ignores case).
    const auto other = FindGamesys(folder / "none", folder / "m.mis", "X.GAM", &first);
    EXPECT_TRUE(!other.empty() && std::filesystem::equivalent(other, folder / "x.gam")) << other;
    EXPECT_EQ(first, folder / "none" / "X.GAM");
    EXPECT_TRUE(FindGamesys(folder / "g", folder / "m.mis", "y.gam").empty());
}

// ---- links of the object set ----

struct TLinkBitsCase {
    int Bits;
    std::vector<TLinkCall> Expected;
};

class LinkBitsTest : public MissionDbTest, public ::testing::WithParamInterface<TLinkBitsCase> {};

TEST_P(LinkBitsTest, TakesLinksFromOrToTheObjectSet) {
    TReadPropsParams params;
    params.FileName = Save(LinksMission());
    params.Objects = std::vector<std::int32_t>{10, 11};
    params.Links = std::vector<TNamedMode>{{"Receptron", GetParam().Bits}};
    params.Tag = 5;
    EXPECT_EQ(Props(params).Links, GetParam().Expected);
}

const TLinkCall kLampChest{10, 11, "Lamp", "Chest", 7, {}};
const TLinkCall kKeyLamp{12, 10, "Key", "Lamp", 7, {}};
const TLinkCall kChestKey{11, 12, "Chest", "Key", 7, {}};

TLinkCall WithData(TLinkCall l, TBytes d) {
    l.Data = std::move(d);
    return l;
}

INSTANTIATE_TEST_SUITE_P(Bits, LinkBitsTest,
                         ::testing::Values(TLinkBitsCase{0, {}}, TLinkBitsCase{1, {}},
                                           TLinkBitsCase{2, {kLampChest, kChestKey}},
                                           TLinkBitsCase{4, {kLampChest, kKeyLamp}},
                                           TLinkBitsCase{6, {kLampChest, kKeyLamp, kChestKey}},
                                           TLinkBitsCase{7,
                                                         {WithData(kLampChest, {1, 1, 1, 1}),
                                                          WithData(kKeyLamp, {2, 2, 2, 2}),
                                                          kChestKey}}));

TEST_F(MissionDbTest, LinkDataOfSizeZeroIsNoData) {
    TReadPropsParams params;
    params.FileName = Save(LinksMission(0));
    params.Objects = std::vector<std::int32_t>{12};
    params.Links = std::vector<TNamedMode>{{"Receptron", 3}, {"Missing", 7}};
    const std::vector<TLinkCall> expected = {{12, 10, "Key", "Lamp", 7, {}},
                                             {12, 13, "Key", "", 7, {}}};
    EXPECT_EQ(Props(params).Links, expected);
}

TEST_F(MissionDbTest, AnErrorInACallbackEndsTheOperation) {
    const auto file = Save(PropsMission());
    auto params = PropsParams(file, 2);
    int calls = 0;
    params.OnProp = [&](std::int32_t, const std::string&, const std::string&,
                        std::span<const std::uint8_t>, std::uint32_t) {
        if (++calls == 2) throw Exception("stop");
    };
    EXPECT_THROW(ReadProps(params), Exception);
    EXPECT_EQ(calls, 2);
    TReadBrushListParams b;
    b.FileName = file;
    b.OnBrush = [](TBrushKind, std::int32_t, std::int32_t, const std::string&) {
        throw std::runtime_error("stop");
    };
    EXPECT_THROW(ReadBrushList(b), std::runtime_error);
    EXPECT_THROW(
        ReadLinks(file, nullptr, nullptr,
                  [](std::int32_t, std::int32_t, std::int32_t, int) { throw Exception("stop"); }),
        Exception);
}

// ---- every link ----

struct TLinkRecordCall {
    std::int32_t LinkId, Source, Dest;
    int Flavor;
    friend bool operator==(const TLinkRecordCall&, const TLinkRecordCall&) = default;
};

std::vector<std::int32_t> LinkIds(const std::filesystem::path& file,
                                  const std::vector<std::int32_t>* objects,
                                  const std::vector<int>* flavors) {
    std::vector<std::int32_t> ids;
    ReadLinks(file, objects, flavors,
              [&](std::int32_t id, std::int32_t, std::int32_t, int) { ids.push_back(id); });
    return ids;
}

TEST_F(MissionDbTest, ReadsEveryLinkOfTheChunksBeginningWithLDollar) {
    std::vector<TLinkRecordCall> calls;
    ReadLinks(Save(AllLinksMission()), nullptr, nullptr,
              [&](std::int32_t id, std::int32_t s, std::int32_t d, int f) {
                  calls.push_back({id, s, d, f});
              });
    EXPECT_EQ(calls, (std::vector<TLinkRecordCall>{
                         {1, 1, 2, 3}, {2, 2, 3, 5}, {3, 1, 3, 5}, {4, 3, 1, 3}}));
}

TEST_F(MissionDbTest, AFlavorFilterJudgesAWholeChunkByItsFirstLink) {
    const auto file = Save(AllLinksMission());
    const std::vector<int> three{3};
    const std::vector<int> five{5};
    const std::vector<int> none{42};
    EXPECT_EQ(LinkIds(file, nullptr, &three), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(LinkIds(file, nullptr, &five), (std::vector<std::int32_t>{3, 4}));
    EXPECT_TRUE(LinkIds(file, nullptr, &none).empty());
}

TEST_F(MissionDbTest, AnObjectFilterNeedsBothEnds) {
    const auto file = Save(AllLinksMission());
    const std::vector<std::int32_t> objects{1, 3};
    const std::vector<int> three{3};
    EXPECT_EQ(LinkIds(file, &objects, nullptr), (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(LinkIds(file, &objects, &three), (std::vector<std::int32_t>{}));
}

TEST_F(MissionDbTest, WithoutACallbackTheFileIsNotEvenOpened) {
    EXPECT_NO_THROW(ReadLinks(folder_ / "absent.mis", nullptr, nullptr, {}));
    EXPECT_THROW((void)LinkIds(folder_ / "absent.mis", nullptr, nullptr), Exception);
}

// ---- damaged missions ----

TEST_F(MissionDbTest, RecordsRunningPastTheirChunkEndTheWalkQuietly) {
    TBytes sym = chunks::SymNames({{1, "One"}});
    PutI32(sym, 2); // a name string whose length runs past its record is cut to the record
    PutU32(sym, 8);
    PutU32(sym, 0xFFFFFF);
    PutText(sym, "Two!");
    PutI32(sym, 3); // a record longer than what is left ends the walk
    PutU32(sym, 0xFFFFFFFF);
    PutU32(sym, 5);
    TBytes map = chunks::NameRecords({{4, "Four"}});
    PutI32(map, 5);
    PutU32(map, 0xFFFFFFF0);
    PutText(map, "Five");
    TBytes links = chunks::Links({{1, 6, -1, 1}});
    links.resize(links.size() + 13, 0xEE);
    TBytes data;
    PutU32(data, 0xFFFFFFFF);
    PutI32(data, 1);
    TBytes brushes = chunks::Brushes({Brush(1, 253, 6), Brush(2, 3, 0, 255)});
    brushes.pop_back(); // the face block of the second brush is one byte short
    TMissionWriter w;
    w.Chunk("P$SymName", sym)
        .Chunk("OBJ_MAP", map)
        .Chunk("L$MetaProp", links)
        .Chunk("LD$MetaProp", data)
        .Chunk("BRLIST", brushes);
    const TMissionNames names = Names(w);
    EXPECT_EQ(names.GetObjectName(1, true), "One");
    EXPECT_EQ(names.GetObjectName(2, true), "Two!");
    EXPECT_EQ(names.GetObjectName(3, true), "");
    EXPECT_EQ(names.GetObjectName(4, true), "Four");
    EXPECT_EQ(names.GetObjectName(5, true), "");
    EXPECT_EQ(AncestorsOf(names, 6), (std::vector<std::int32_t>{-1}));
    EXPECT_EQ(Brushes(w), (std::vector<TBrushCall>{{bkObject, 1, 6, ""}}));
}

TEST_F(GamesysTest, ADamagedGamesysRaisesAnError) {
    const TBytes whole = Gamesys().Bytes();
    for (std::size_t len = 0; len < whole.size(); len += 3) {
        SaveBytes(folder_ / "gamesys" / "dark.gam",
                  TBytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(len)));
        EXPECT_THROW(ReadProps(Params("dark.gam")), Exception) << len;
    }
}

// ---- the indexed reader against plain walks ----

struct TRandomCase {
    std::uint32_t Seed;
    bool Cycles;
    bool GamesysLinkData;
};

class RandomMissionTest : public MissionDbTest,
                          public ::testing::WithParamInterface<TRandomCase> {};

TEST_P(RandomMissionTest, NamesAncestryAndPropertiesMatchPlainWalks) {
    TRandomMissionOptions o;
    o.Cycles = GetParam().Cycles;
    o.GamesysLinkData = GetParam().GamesysLinkData;
    if (o.Cycles) { // keep the number of ways through the cycles small
        o.Archetypes = 25;
        o.ArchetypeLinks = 30;
    }
    const TRandomMission r = TRandomMissionMaker(GetParam().Seed).Make(o, "Random.GAM");
    std::filesystem::create_directories(folder_ / "gs");
    const auto missionFile = Save(r.Mission, "random.mis");
    r.Gamesys.Save(folder_ / "gs" / "random.gam");

    TMissionFile mf;
    mf.Open(missionFile);
    TMissionFile gf;
    gf.Open(folder_ / "gs" / "random.gam");
    TMissionNames names;
    names.Load(mf);
    TMissionNames gamNames;
    gamNames.LoadMetaProps(gf);
    const auto rm = reference::TSource::Load(mf, true);
    const auto rg = reference::TSource::Load(gf, false);

    std::size_t archetypeNames = 0;
    std::size_t ancestors = 0;
    for (const std::int32_t id : r.AllIds) {
        for (const bool arch : {false, true}) {
            const std::string name = names.GetObjectName(id, arch);
            ASSERT_EQ(name, reference::ObjectName(rm, id, arch)) << "ID " << id;
            if (arch && (name.starts_with("A ") || name.starts_with("An "))) ++archetypeNames;
        }
        const auto both = AncestorsOf(names, id, &gamNames);
        ASSERT_EQ(both, reference::Ancestors(rm, &rg, id)) << "ID " << id;
        ASSERT_EQ(AncestorsOf(names, id), reference::Ancestors(rm, nullptr, id)) << "ID " << id;
        ancestors += both.size();
    }
    EXPECT_GT(archetypeNames, 20u);
    EXPECT_GT(ancestors, r.AllIds.size());

    TReadPropsParams params;
    params.FileName = missionFile;
    params.GamesysDir = folder_ / "gs";
    params.Objects = r.ObjectSet;
    params.Props = r.Props;
    params.Tag = 9;
    const auto found = Props(params);
    EXPECT_TRUE(found.Messages.empty());
    const auto expected = reference::Props(mf, &gf, r.ObjectSet, r.Props, 9);
    EXPECT_GT(expected.size(), r.ObjectSet.size());
    ASSERT_EQ(found.Props.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(found.Props[i], expected[i]) << i;

    gf.Close(); // an open file cannot be removed on Windows
    std::filesystem::remove(folder_ / "gs" / "random.gam");
    const auto alone = Props(params);
    EXPECT_EQ(alone.Messages.size(), 1u);
    EXPECT_EQ(alone.Props, reference::Props(mf, nullptr, r.ObjectSet, r.Props, 9));
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomMissionTest,
                         ::testing::Values(TRandomCase{1, false, true}, TRandomCase{2, false, true},
                                           TRandomCase{3, false, true},
                                           TRandomCase{4, false, false}, TRandomCase{5, true, true},
                                           TRandomCase{6, true, true}, TRandomCase{7, true, false},
                                           TRandomCase{8, false, true}));

} // namespace
} // namespace kv
