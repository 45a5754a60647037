// The mission database: object names, metaproperty ancestry, properties and links read
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

TBytes Prio(std::int32_t v) { return I32Bytes(v); }

class MissionDbTest : public ::testing::Test {
protected:
    std::filesystem::path Save(const TMissionWriter& w, const std::string& name = "m.mis") {
        const auto p = folder_ / name;
        SaveBytes(p, w.Bytes());
        return p;
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
        .Chunk("BRLIST", chunks::Brushes({{1, 11, 253, 0}, {2, 12, 255, 0}, {3, 10, 253, 0}}));
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

// The brush list of such a file is in the command line tests.
TEST_F(MissionDbTest, AnEmptyFileOrNoCallbackEndsPropertiesAndLinksQuietly) {
    const auto p = Save(TMissionWriter());
    TReadPropsParams rp;
    rp.FileName = p;
    rp.Props = std::vector<TNamedMode>{{"Loot", 2}};
    rp.Links = std::vector<TNamedMode>{{"Contains", 7}};
    const auto r = Props(rp);
    EXPECT_TRUE(r.Props.empty() && r.Links.empty() && r.Messages.empty());
    int links = 0;
    const TLinkRecordEvent count = [&](std::int32_t, std::int32_t, std::int32_t, int) { ++links; };
    ReadLinks(p, nullptr, nullptr, count);
    EXPECT_EQ(links, 0);
    // Without a callback the link reader does not even open the file.
    EXPECT_NO_THROW(ReadLinks(folder_ / "absent.mis", nullptr, nullptr, {}));
    EXPECT_THROW(ReadLinks(folder_ / "absent.mis", nullptr, nullptr, count), Exception);
}

// ---- object names ----

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

// Ancestors are listed depth first, the highest priority first; only metaproperty links (flavor
// 1) count. Without link data there are no ancestors; with link data of another record size every
// priority is -1 (file order kept) for ancestry and 0 for naming; a cycle is not entered again,
// but a diamond is no cycle: the shared ancestor appears once per way to it.
TEST_F(MissionDbTest, ListsAncestorsDepthFirstHighestPriorityFirstAroundCyclesAndDiamonds) {
    const struct {
        std::vector<TLinkRec> Links;
        std::optional<TBytes> LinkData;
        std::int32_t Id;
        std::vector<std::int32_t> Expected;
    } cases[] = {
        // -2 (7) before -1 (1); under -1: -5 (4) before -3 (0); link 4 has no priority.
        {{{1, 10, -1, 1}, {2, 10, -2, 1}, {3, -1, -3, 1}, {4, -2, -4, 1}, {5, -1, -5, 1},
          {6, 10, -6, 2}},
         chunks::LinkData(4, {{1, Prio(1)}, {2, Prio(7)}, {3, Prio(0)}, {5, Prio(4)}}), 10,
         {-2, -4, -1, -5, -3}},
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
        if (i == 2) { EXPECT_EQ(names.GetObjectName(10, true), "An Orb"); }
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

// Mode 0 delivers own values of the object brushes, mode 1 an own value or else the first
// inherited one, mode 2 own values and then one per ancestor in ancestor order. The chunk's name
// is cut to eleven characters. A given object set is used in its own order.
TEST_F(MissionDbTest, DeliversPropertiesOfTheObjectBrushesByMode) {
    const auto file = Save(PropsMission());
    auto call = [](std::int32_t id, const char* name, std::uint8_t v) {
        return TPropCall{id, name, "FlickerRate", {v}, 77};
    };
    const TPropCall own1 = call(10, "Lamp", 1), own6 = call(10, "Lamp", 6);
    const TPropCall light = call(-1, "Light", 2), twelve = call(12, "", 5);
    const struct {
        int Mode;
        std::optional<std::vector<std::int32_t>> Objects;
        std::vector<TPropCall> Expected;
    } cases[] = {{0, std::nullopt, {own1, own6}},
                 {1, std::nullopt, {own1, own6, call(11, "Chest", 3)}},
                 {2,
                  std::nullopt,
                  {own1, own6, call(11, "Chest", 3), call(10, "Lamp", 2), call(10, "Lamp", 4),
                   call(10, "Lamp", 3)}},
                 // -1 has a value of its own, so with mode 1 only its own; mode 2 adds -3's.
                 {1, std::vector<std::int32_t>{12, -1, 99}, {light, twelve}},
                 {2, std::vector<std::int32_t>{12, -1, 99}, {light, twelve, call(-1, "Light", 4)}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Mode);
        TReadPropsParams params;
        params.FileName = file;
        params.Props = std::vector<TNamedMode>{{"FlickerRate", c.Mode}};
        params.Tag = 77;
        params.Objects = c.Objects;
        const auto r = Props(params);
        EXPECT_EQ(r.Props, c.Expected);
        EXPECT_TRUE(r.Messages.empty());
    }
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
        {"gamesys/dark.gam",
         [] {
             return TMissionWriter()
                 .Chunk("L$MetaProp", chunks::Links({{1, -1, -2, 1}}))
                 .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, Prio(0)}}));
         },
         "dark.gam",
         2,
         {{9}}}, // no value in the gamesys
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
        // An empty gamesys of the same name beside the mission loses to the gamesys folder's.
        if (c.Make != nullptr && std::string_view(c.SavedAs).starts_with("gamesys/dark"))
            SaveBytes(folder_ / "dark.gam", TMissionWriter().Bytes());
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

// ---- links of the object set ----

// L$Receptron holds links 10->11, 12->10, 12->13, 11->12 and LD$Receptro their data. Bit 2
// takes links from the object set, bit 4 links to it, bit 1 their data: the first data record of
// a link counts, and data of size zero is none. A link name without a chunk gives nothing.
TEST_F(MissionDbTest, TakesLinksFromOrToTheObjectSet) {
    const TLinkCall lampChest{10, 11, "Lamp", "Chest", 7, {}};
    const TLinkCall keyLamp{12, 10, "Key", "Lamp", 7, {}};
    const TLinkCall chestKey{11, 12, "Chest", "Key", 7, {}};
    const struct {
        int Bits;
        std::vector<std::int32_t> Objects;
        bool DataOfSizeZero;
        std::vector<TLinkCall> Expected;
    } cases[] = {{1, {10, 11}, false, {}},
                 {2, {10, 11}, false, {lampChest, chestKey}},
                 {4, {10, 11}, false, {lampChest, keyLamp}},
                 {6, {10, 11}, false, {lampChest, keyLamp, chestKey}},
                 {7, {10, 11}, false, {{10, 11, "Lamp", "Chest", 7, {1, 1, 1, 1}},
                                       {12, 10, "Key", "Lamp", 7, {2, 2, 2, 2}}, chestKey}},
                 {3, {12}, true, {keyLamp, {12, 13, "Key", "", 7, {}}}}};
    for (const auto& c : cases) {
        TMissionWriter w;
        w.Chunk("P$SymName", chunks::SymNames({{10, "Lamp"}, {11, "Chest"}, {12, "Key"}}))
            .Chunk("L$Receptron",
                   chunks::Links({{1, 10, 11, 7}, {2, 12, 10, 7}, {3, 12, 13, 7}, {4, 11, 12, 7}}))
            .Chunk("LD$Receptro",
                   c.DataOfSizeZero ? chunks::LinkData(0, {{1, {}}, {2, {}}})
                                    : chunks::LinkData(4, {{2, {2, 2, 2, 2}}, {1, {1, 1, 1, 1}},
                                                           {1, {9, 9, 9, 9}}}));
        TReadPropsParams params;
        params.FileName = Save(w);
        params.Objects = c.Objects;
        params.Links = std::vector<TNamedMode>{{"Receptron", c.Bits}, {"Missing", 7}};
        params.Tag = 5;
        EXPECT_EQ(Props(params).Links, c.Expected) << c.Bits;
    }
}

// ---- damaged missions ----

// Names come from P$SymName, then OBJ_MAP; the first record of an ID counts and an empty name
// is none. Records running past their chunk end the walk quietly.
TEST_F(MissionDbTest, TakesNamesFromSymNameThenObjectMapAndWalksDamagedRecordsQuietly) {
    TBytes sym = chunks::SymNames({{1, "Sym"}, {2, ""}, {1, "Later"}, {4, "Four"}});
    PutI32(sym, 6); // a name string whose length runs past its record is cut to the record
    PutU32(sym, 8);
    PutU32(sym, 0xFFFFFF);
    PutText(sym, "Six!");
    PutI32(sym, 7); // a record longer than what is left ends the walk
    PutU32(sym, 0xFFFFFFFF);
    PutU32(sym, 5);
    TBytes map = chunks::NameRecords({{1, "Map1"}, {2, "Map2"}, {3, "Map3"}, {3, "X"}});
    PutI32(map, 5);
    PutU32(map, 0xFFFFFFF0);
    PutText(map, "Five");
    TBytes links = chunks::Links({{1, 6, -1, 1}});
    links.resize(links.size() + 13, 0xEE);
    TBytes data;
    PutU32(data, 0xFFFFFFFF);
    PutI32(data, 1);
    TMissionWriter w;
    w.Chunk("P$SymName", sym)
        .Chunk("OBJ_MAP", map)
        .Chunk("L$MetaProp", links)
        .Chunk("LD$MetaProp", data);
    const TMissionNames names = Names(w);
    std::string got;
    for (const std::int32_t id : {0, 1, 2, 3, 4, 5, 6, 7, 8})
        got += names.GetObjectName(id, id % 2 == 1) + ",";
    EXPECT_EQ(got, ",Sym,Map2,Map3,Four,,Six!,,,");
    EXPECT_EQ(AncestorsOf(names, 6), (std::vector<std::int32_t>{-1}));
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
