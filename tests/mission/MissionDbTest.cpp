// The mission database: brushes, object names, metaproperty ancestry, properties and links read
// from generated missions, and what damaged missions do to each operation. Calls of the
// operations are recorded as values; the missions are written into a scratch folder.
#include "mission/MissionDb.h"

#include "support/MissionWriter.h"
#include "text/Exception.h"
#include "text/ScratchFolder.h"
#include "text/TextFile.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

using namespace test;

struct TBrushCall {
    TBrushKind Kind = bkNone;
    std::int32_t Num = 0;
    std::int32_t Obj = 0;
    std::string Name;
    friend bool operator==(const TBrushCall&, const TBrushCall&) = default;
};

struct TPropCall {
    std::int32_t Obj = 0;
    std::string ObjName;
    std::string Prop;
    TBytes Data;
    std::uint32_t Tag = 0;
    friend bool operator==(const TPropCall&, const TPropCall&) = default;
};

struct TLinkCall {
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    std::string SourceName;
    std::string DestName;
    int Flavor = 0;
    TBytes Data;
    friend bool operator==(const TLinkCall&, const TLinkCall&) = default;
};

TBrushRec Brush(std::uint16_t id, std::int16_t media, std::int32_t obj = 0,
                std::uint8_t faces = 0) {
    return {id, obj, media, faces};
}

TBytes Prio(std::int32_t v) { return I32Bytes(v); }

class MissionDbTest : public ::testing::Test {
protected:
    std::filesystem::path Save(const TMissionWriter& w, const std::string& name = "m.mis") {
        const auto p = folder_ / name;
        SaveBytes(p, w.Bytes());
        return p;
    }

    std::vector<TBrushCall> Brushes(const TMissionWriter& w, bool useIds = false) {
        std::vector<TBrushCall> calls;
        TReadBrushListParams params;
        params.FileName = Save(w);
        params.UseBrushIDs = useIds;
        params.OnBrush = [&](TBrushKind k, std::int32_t n, std::int32_t o, const std::string& s) {
            calls.push_back({k, n, o, s});
        };
        ReadBrushList(params);
        return calls;
    }

    TMissionNames Names(const TMissionWriter& w) {
        TMissionFile f;
        f.Open(Save(w, "names.mis"));
        TMissionNames names;
        names.Load(f);
        return names;
    }

    struct TPropsResult {
        std::vector<TPropCall> Props;
        std::vector<TLinkCall> Links;
        std::vector<std::string> Messages;
    };
    TPropsResult Props(TReadPropsParams params) {
        TPropsResult r;
        params.OnProp = [&](std::int32_t o, const std::string& n, const std::string& p,
                            std::span<const std::uint8_t> d, std::uint32_t tag) {
            r.Props.push_back({o, n, p, TBytes(d.begin(), d.end()), tag});
        };
        params.OnLink = [&](std::int32_t s, std::int32_t d, const std::string& sn,
                            const std::string& dn, int flavor, std::span<const std::uint8_t> data,
                            std::uint32_t tag) {
            EXPECT_EQ(tag, params.Tag);
            r.Links.push_back({s, d, sn, dn, flavor, TBytes(data.begin(), data.end())});
        };
        params.OnMessage = [&](const std::string& m) { r.Messages.push_back(m); };
        ReadProps(params);
        return r;
    }

    ScratchFolder folder_;
};

// ---- the normal missions of the tests ----

// One brush of every kind, named where the kind has names. Only terrain brushes carry a face
// block: the face counts of the others are not used.
TMissionWriter KindsMission() {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{40, "Guard"}, {41, "Tower"}}))
        .Chunk("HotRegions", chunks::NameRecords({{3, "Hall"}}))
        .Chunk("BRLIST",
               chunks::Brushes({Brush(1, 0, 99), Brush(2, 9, 0, 6), Brush(5, 10), Brush(6, 127),
                                Brush(7, 255, 30), Brush(3, 254, 31), Brush(8, 253, 40, 200),
                                Brush(9, 252, 33), Brush(10, 251, 41), Brush(11, 300, 34, 9),
                                Brush(12, -1, 35), Brush(13, 254)}));
    return w;
}

// Two object brushes (11 before 10) and a light; 10 has a value of its own and inherits from -1
// (priority 2) and -2 (priority 1), -1 from -3.
TMissionWriter PropsMission() {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{10, "Lamp"}, {11, "Chest"}}))
        .Chunk("OBJ_MAP", chunks::NameRecords({{-1, "Light"}, {-2, "Object"}}))
        .Chunk("L$MetaProp",
               chunks::Links({{1, 10, -2, 1}, {2, 10, -1, 1}, {3, 11, -2, 1}, {4, -1, -3, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, Prio(1)}, {2, Prio(2)}, {4, Prio(0)}}))
        .Chunk("P$FlickerRa",
               chunks::Props({{-3, {4}}, {10, {1}}, {-1, {2}}, {-2, {3}}, {12, {5}}, {10, {6}}}))
        .Chunk("BRLIST",
               chunks::Brushes({Brush(1, 253, 11), Brush(2, 255, 12), Brush(3, 253, 10)}));
    return w;
}

// A mission whose archetype -1 has the value 9 in the mission, and a gamesys in which -1
// inherits from -2 and the values are 7 and 8.
TMissionWriter GamesysMission(const std::string& gamFile) {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{10, "Lamp"}}))
        .Chunk("L$MetaProp", chunks::Links({{1, 10, -1, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, Prio(0)}}))
        .Chunk("P$Scale", chunks::Props({{-1, {9}}}));
    if (!gamFile.empty()) w.Chunk("GAM_FILE", chunks::ZText(gamFile));
    return w;
}

TMissionWriter Gamesys() {
    TMissionWriter w;
    w.Chunk("L$MetaProp", chunks::Links({{1, -1, -2, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, Prio(0)}}))
        .Chunk("P$Scale", chunks::Props({{-1, {7}}, {-2, {8}}}));
    return w;
}

// L$Receptron holds links 10->11, 12->10, 12->13, 11->12; their data is in LD$Receptro.
TMissionWriter LinksMission(std::uint32_t dataSize = 4) {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{10, "Lamp"}, {11, "Chest"}, {12, "Key"}}))
        .Chunk("L$Receptron",
               chunks::Links({{1, 10, 11, 7}, {2, 12, 10, 7}, {3, 12, 13, 7}, {4, 11, 12, 7}}));
    if (dataSize == 4) {
        w.Chunk("LD$Receptro",
                chunks::LinkData(4, {{2, {2, 2, 2, 2}}, {1, {1, 1, 1, 1}}, {1, {9, 9, 9, 9}}}));
    } else {
        w.Chunk("LD$Receptro", chunks::LinkData(0, {{1, {}}, {2, {}}}));
    }
    return w;
}

TMissionWriter AllLinksMission() {
    TMissionWriter w;
    w.Chunk("L$A", chunks::Links({{1, 1, 2, 3}, {2, 2, 3, 5}}))
        .Chunk("LD$A", chunks::Links({{9, 1, 2, 3}}))
        .Chunk("L$Empty", {})
        .Chunk("l$Lower", chunks::Links({{8, 1, 2, 3}}))
        .Chunk("L$B", chunks::Links({{3, 1, 3, 5}, {4, 3, 1, 3}}))
        .Chunk("XL$C", chunks::Links({{7, 1, 2, 3}}));
    return w;
}

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

// ---- brush list ----

// Brushes are numbered from 1 unless their own IDs are wanted.
TEST_F(MissionDbTest, ClassifiesAndNamesBrushesByMedia) {
    const TMissionWriter w = KindsMission();
    // clang-format off
    const std::vector<TBrushCall> expected = {
        {bkTerrain, 1, 0, "Solid"}, {bkTerrain, 2, 0, "Blockable"}, {bkTerrain, 5, 0, ""},
        {bkTerrain, 6, 0, ""},      {bkLight, 7, 30, ""},           {bkArea, 3, 31, "Hall (31)"},
        {bkObject, 8, 40, "Guard (40)"}, {bkFlow, 9, 33, ""},       {bkRoom, 10, 41, "Tower (41)"},
        {bkNone, 11, 34, ""},       {bkNone, 12, 35, ""},           {bkArea, 13, 0, ""}};
    // clang-format on
    EXPECT_EQ(Brushes(w, true), expected);
    const auto running = Brushes(w, false);
    ASSERT_EQ(running.size(), expected.size());
    for (std::size_t i = 0; i < running.size(); ++i) EXPECT_EQ(running[i].Num, int(i) + 1);
}

TEST_F(MissionDbTest, NamesEveryTerrainMedia) {
    std::vector<TBrushRec> recs;
    for (std::int16_t m = 0; m < 10; ++m) recs.push_back(Brush(1, m));
    std::string names;
    for (const auto& b : Brushes(TMissionWriter().Chunk("BRLIST", chunks::Brushes(recs))))
        names += b.Name + ",";
    EXPECT_EQ(names, "Solid,Air,Water,Flood,Evaporate,Solid->Water,Solid->Air,Air->Solid,"
                     "Water->Solid,Blockable,");
}

// The brush list of such a file is in the command line tests.
TEST_F(MissionDbTest, AnEmptyFileOrNoCallbackEndsPropertiesAndLinksQuietly) {
    const auto p = Save(TMissionWriter());
    TReadPropsParams rp;
    rp.FileName = p;
    rp.Props = std::vector<TNamedMode>{{"Loot", 2}};
    rp.Links = std::vector<TNamedMode>{{"Contains", 7}};
    const auto r = Props(rp);
    EXPECT_TRUE(r.Props.empty() && r.Links.empty() && r.Messages.empty());
    EXPECT_TRUE(LinkIds(p, nullptr, nullptr).empty());
    // Without a callback the link reader does not even open the file.
    EXPECT_NO_THROW(ReadLinks(folder_ / "absent.mis", nullptr, nullptr, {}));
    EXPECT_THROW((void)LinkIds(folder_ / "absent.mis", nullptr, nullptr), Exception);
}

// ---- object names ----

TEST_F(MissionDbTest, TakesNamesFromSymNameThenObjectMap) {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{1, "Sym"}, {2, ""}, {1, "Later"}, {4, "Four"}}))
        .Chunk("OBJ_MAP", chunks::NameRecords({{1, "Map1"}, {2, "Map2"}, {3, "Map3"}, {3, "X"}}));
    const TMissionNames names = Names(w);
    std::string got;
    for (const std::int32_t id : {0, 1, 2, 3, 4, 5})
        got += names.GetObjectName(id, id % 2 == 1) + ",";
    EXPECT_EQ(got, ",Sym,Map2,Map3,Four,,");
}

// An unnamed object is named after the archetype of its cheapest metaproperty link, with "A" or
// "An"; a missing priority counts as 0, and only the first priority record of a link counts.
TEST_F(MissionDbTest, NamesAnUnnamedObjectAfterItsCheapestMetaproperty) {
    const struct {
        std::vector<TLinkRec> Links;
        std::optional<TBytes> LinkData;
        const char* Expected;
    } cases[] = {
        {{{1, 10, -1, 1}}, std::nullopt, "An Apple"},
        {{{1, 10, -3, 1}}, std::nullopt, "An urn"},
        {{{1, 10, -1, 1}, {2, 10, -2, 1}, {3, 10, -3, 1}},
         chunks::LinkData(4, {{1, Prio(5)}, {2, Prio(-1)}, {3, Prio(0)}}), "A Bear"},
        {{{1, 10, -2, 1}, {2, 10, -1, 1}},
         chunks::LinkData(4, {{1, Prio(3)}, {2, Prio(3)}}), "A Bear"},
        {{{1, 10, -2, 1}, {2, 10, -1, 1}}, chunks::LinkData(4, {{1, Prio(1)}}), "An Apple"},
        {{{1, 10, -2, 1}, {2, 10, -1, 1}},
         chunks::LinkData(4, {{1, Prio(1)}, {2, Prio(2)}, {1, Prio(-9)}}), "A Bear"},
        {{{1, 10, -2, 1}, {2, 10, -1, 1}},
         chunks::LinkData(8, {{1, TBytes(8, 9)}, {2, TBytes(8, 0xFF)}}), "A Bear"},
        {{{1, 10, -2, 2}, {2, 11, -2, 1}, {3, 10, -5, 1}}, std::nullopt, "An ice"},
        {{{1, 10, -1, 1}, {2, 10, -4, 1}}, chunks::LinkData(4, {{1, Prio(2)}, {2, Prio(1)}}), ""},
        {{{1, 10, -9, 1}, {2, -9, -1, 1}}, std::nullopt, ""}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        TMissionWriter w;
        w.Chunk("OBJ_MAP", chunks::NameRecords(
                               {{-1, "Apple"}, {-2, "Bear"}, {-3, "urn"}, {-4, ""}, {-5, "ice"}}));
        w.Chunk("L$MetaProp", chunks::Links(cases[i].Links));
        if (cases[i].LinkData) w.Chunk("LD$MetaProp", *cases[i].LinkData);
        const TMissionNames names = Names(w);
        EXPECT_EQ(names.GetObjectName(10, true), cases[i].Expected);
        EXPECT_EQ(names.GetObjectName(10, false), "");
    }
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
    w.Chunk("L$MetaProp", chunks::Links({{1, 10, -1, 1}, {2, 10, -2, 1}, {3, -1, -3, 1},
                                         {4, -2, -4, 1}, {5, -1, -5, 1}, {6, 10, -6, 2}}))
        .Chunk("LD$MetaProp",
               chunks::LinkData(4, {{1, Prio(1)}, {2, Prio(7)}, {3, Prio(0)}, {5, Prio(4)}}));
    // -2 (7) before -1 (1); under -1: -5 (4) before -3 (0); link 4 has no priority.
    EXPECT_EQ(AncestorsOf(Names(w), 10), (std::vector<std::int32_t>{-2, -4, -1, -5, -3}));
}

// Without link data there are no ancestors; with link data of another record size every
// priority is -1 (file order kept) for ancestry and 0 for naming; a cycle is not entered again,
// but a diamond is no cycle: the shared ancestor appears once per way to it.
TEST_F(MissionDbTest, AncestryWithoutPrioritiesAroundCyclesAndDiamonds) {
    const struct {
        std::vector<TLinkRec> Links;
        std::optional<TBytes> LinkData;
        std::int32_t Id;
        std::vector<std::int32_t> Expected;
    } cases[] = {
        {{{1, 10, -1, 1}}, std::nullopt, 10, {}},
        {{{1, 10, -1, 1}, {2, 10, -2, 1}},
         chunks::LinkData(2, {{1, TBytes{9, 0}}, {2, TBytes{1, 0}}}), 10, {-1, -2}},
        {{{1, 10, -1, 1}, {2, -1, -2, 1}, {3, -2, -1, 1}, {4, -2, 10, 1}, {5, -3, -3, 1},
          {6, -2, -3, 1}}, chunks::LinkData(4, {}), 10, {-1, -2, -3}},
        {{{5, -3, -3, 1}}, chunks::LinkData(4, {}), -3, {}},
        {{{1, 10, -1, 1}, {2, 10, -2, 1}, {3, -1, -3, 1}, {4, -2, -3, 1}},
         chunks::LinkData(4, {}), 10, {-1, -3, -2, -3}}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        TMissionWriter w;
        w.Chunk("OBJ_MAP", chunks::NameRecords({{-1, "Orb"}, {-2, "Box"}}))
            .Chunk("L$MetaProp", chunks::Links(cases[i].Links));
        if (cases[i].LinkData) w.Chunk("LD$MetaProp", *cases[i].LinkData);
        const TMissionNames names = Names(w);
        EXPECT_EQ(AncestorsOf(names, cases[i].Id), cases[i].Expected);
        if (i == 1) { EXPECT_EQ(names.GetObjectName(10, true), "An Orb"); }
    }
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
    params.Props = std::vector<TNamedMode>{{"FlickerRate", mode}};
    params.Tag = 77;
    return params;
}

// Mode 0 delivers own values of the object brushes, mode 1 an own value or else the first
// inherited one, mode 2 own values and then one per ancestor in ancestor order. The chunk's name
// is cut to eleven characters.
TEST_F(MissionDbTest, DeliversPropertiesOfTheObjectBrushesByMode) {
    const auto file = Save(PropsMission());
    const TPropCall own1{10, "Lamp", "FlickerRate", {1}, 77};
    const TPropCall own6{10, "Lamp", "FlickerRate", {6}, 77};
    const TPropCall chest{11, "Chest", "FlickerRate", {3}, 77};
    const auto r = Props(PropsParams(file, 0));
    EXPECT_EQ(r.Props, (std::vector<TPropCall>{own1, own6}));
    EXPECT_TRUE(r.Messages.empty());
    EXPECT_EQ(Props(PropsParams(file, 1)).Props, (std::vector<TPropCall>{own1, own6, chest}));
    auto inherited = [](std::uint8_t v) {
        return TPropCall{10, "Lamp", "FlickerRate", {v}, 77};
    };
    EXPECT_EQ(
        Props(PropsParams(file, 2)).Props,
        (std::vector<TPropCall>{own1, own6, chest, inherited(2), inherited(4), inherited(3)}));
}

TEST_F(MissionDbTest, AGivenObjectSetIsUsedInItsOwnOrder) {
    auto params = PropsParams(Save(PropsMission()), 1);
    params.Objects = std::vector<std::int32_t>{12, -1, 99};
    const std::vector<TPropCall> expected = {{-1, "Light", "FlickerRate", {2}, 77},
                                             {12, "", "FlickerRate", {5}, 77},
                                             {-1, "Light", "FlickerRate", {4}, 77}};
    // -1 has a value of its own, so with mode 1 only its own; mode 2 adds -3's.
    EXPECT_EQ(Props(params).Props, (std::vector<TPropCall>{expected[0], expected[1]}));
    params.Props = std::vector<TNamedMode>{{"FlickerRate", 2}};
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

TMissionWriter GamesysWithoutTheProperty() {
    return TMissionWriter()
        .Chunk("L$MetaProp", chunks::Links({{1, -1, -2, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, Prio(0)}}));
}

// Where the gamesys lies and how the mission names it: the gamesys folder first, then beside the
// mission, whatever the letter case of its name and folders. Mission -1 has 9; the gamesys gives
// -1 the value 7 and its ancestor -2 the value 8.
TEST_F(GamesysTest, IsFoundAndGivesTheArchetypesTheirValues) {
    const struct {
        const char* SavedAs; // under the scratch folder; none when empty
        TMissionWriter (*Make)();
        const char* Named;
        int Mode;
        std::vector<TBytes> Values;
    } cases[] = {
        {"gamesys/dark.gam", Gamesys, "dark.gam", 2, {{7}, {8}}},
        {"dark.gam", Gamesys, "dark.gam", 2, {{7}, {8}}},
        {"test_moneytree.gam", Gamesys, "test_moneytree.GAM", 2, {{7}, {8}}},
        {"gamesys/Other.Gam", Gamesys, "OTHER.GAM", 2, {{7}, {8}}},
        {"gamesys/sub/dark.gam", Gamesys, "SUB\\Dark.GAM", 2, {{7}, {8}}},
        {"gamesys/dark.gam", GamesysWithoutTheProperty, "dark.gam", 2, {{9}}},
        {"gamesys/dark.gam", [] { return TMissionWriter(); }, "dark.gam", 2, {{9}}},
        {"", nullptr, "", 2, {{9}}},      // no gamesys named: nothing to say
        {"", nullptr, "dark.gam", 0, {}}, // own values alone need no gamesys
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.SavedAs) + " as " + c.Named);
        std::filesystem::remove_all(folder_ / "gamesys");
        std::filesystem::create_directories(folder_ / "gamesys" / "sub");
        for (const char* stale : {"dark.gam", "test_moneytree.gam"})
            std::filesystem::remove(folder_ / stale);
        if (c.Make != nullptr) SaveBytes(folder_ / c.SavedAs, c.Make().Bytes());
        const auto r = Props(Params(c.Named, c.Mode));
        EXPECT_EQ(Values(r), c.Values);
        EXPECT_TRUE(r.Messages.empty());
    }
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

// The table above has one file at a time; with two, the gamesys folder's wins.
TEST(FindGamesysTest, TriesTheGamesysFolderFirst) {
    ScratchFolder folder;
    std::filesystem::create_directories(folder / "g");
    SaveBytes(folder / "g" / "x.gam", TMissionWriter().Bytes());
    SaveBytes(folder / "x.gam", TMissionWriter().Bytes());
    EXPECT_EQ(FindGamesys(folder / "g", folder / "m.mis", "x.gam"), folder / "g" / "x.gam");
}

// ---- links of the object set ----

// Bit 1 takes links from the object set, bit 2 links to it, bit 4 their data; the first data
// record of a link counts.
TEST_F(MissionDbTest, TakesLinksFromOrToTheObjectSet) {
    const TLinkCall lampChest{10, 11, "Lamp", "Chest", 7, {}};
    const TLinkCall keyLamp{12, 10, "Key", "Lamp", 7, {}};
    const TLinkCall chestKey{11, 12, "Chest", "Key", 7, {}};
    TLinkCall lampChestData = lampChest;
    lampChestData.Data = {1, 1, 1, 1};
    TLinkCall keyLampData = keyLamp;
    keyLampData.Data = {2, 2, 2, 2};
    const struct {
        int Bits;
        std::vector<TLinkCall> Expected;
    } cases[] = {{1, {}},
                 {2, {lampChest, chestKey}},
                 {4, {lampChest, keyLamp}},
                 {6, {lampChest, keyLamp, chestKey}},
                 {7, {lampChestData, keyLampData, chestKey}}};
    const auto file = Save(LinksMission());
    for (const auto& c : cases) {
        TReadPropsParams params;
        params.FileName = file;
        params.Objects = std::vector<std::int32_t>{10, 11};
        params.Links = std::vector<TNamedMode>{{"Receptron", c.Bits}};
        params.Tag = 5;
        EXPECT_EQ(Props(params).Links, c.Expected) << c.Bits;
    }
}

TEST_F(MissionDbTest, LinkDataOfSizeZeroIsNoData) {
    TReadPropsParams params;
    params.FileName = Save(LinksMission(0));
    params.Objects = std::vector<std::int32_t>{12};
    params.Links = std::vector<TNamedMode>{{"Receptron", 3}, {"Missing", 7}};
    const std::vector<TLinkCall> expected = {{12, 10, "Key", "Lamp", 7, {}},
                                             {12, 13, "Key", "", 7, {}}};
    EXPECT_EQ(Props(params).Links, expected);
}

// ---- every link ----

// Links come from the chunks beginning with "L$"; a flavor filter judges a whole chunk by its
// first link, and an object filter needs both ends.
TEST_F(MissionDbTest, ReadsEveryLinkOfTheChunksBeginningWithLDollar) {
    const auto file = Save(AllLinksMission());
    std::vector<TLinkRecordCall> calls;
    ReadLinks(file, nullptr, nullptr, [&](std::int32_t id, std::int32_t s, std::int32_t d, int f) {
        calls.push_back({id, s, d, f});
    });
    EXPECT_EQ(calls, (std::vector<TLinkRecordCall>{
                         {1, 1, 2, 3}, {2, 2, 3, 5}, {3, 1, 3, 5}, {4, 3, 1, 3}}));
    const std::vector<int> three{3}, five{5}, none{42};
    const std::vector<std::int32_t> objects{1, 3};
    EXPECT_EQ(LinkIds(file, nullptr, &three), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(LinkIds(file, nullptr, &five), (std::vector<std::int32_t>{3, 4}));
    EXPECT_TRUE(LinkIds(file, nullptr, &none).empty());
    EXPECT_EQ(LinkIds(file, &objects, nullptr), (std::vector<std::int32_t>{3, 4}));
    EXPECT_TRUE(LinkIds(file, &objects, &three).empty());
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
    std::string got;
    for (const std::int32_t id : {1, 2, 3, 4, 5}) got += names.GetObjectName(id, true) + ",";
    EXPECT_EQ(got, "One,Two!,,Four,,");
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

} // namespace
} // namespace kv
