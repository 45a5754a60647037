// Small hostile missions that once cost far more memory, output or time than their size: each
// is built in code and the work is bounded by counting (bytes allocated, output size, links
// followed), never by the clock.
#include "mission/LootList.h"
#include "mission/MissionDb.h"
#include "mission/MissionImport.h"

#include "support/MissionWriter.h"
#include "text/Exception.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <numeric>

// Every allocation of the program counted while a test asks for it.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<std::uint64_t> gAllocated{0};
} // namespace

void* operator new(std::size_t size) {
    if (gCounting.load(std::memory_order_relaxed)) gAllocated += size;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// The standard library's temporary buffers come from here and go back through delete.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (gCounting.load(std::memory_order_relaxed)) gAllocated += size;
    return std::malloc(size == 0 ? 1 : size);
}
// The replaced operator new takes its memory from malloc, so free is the matching release.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace kv {
namespace {

using namespace test;

constexpr std::int16_t kObjectMedia = 253;

// Bytes allocated while F runs.
template <class F> std::uint64_t AllocatedBy(F&& f) {
    gAllocated = 0;
    gCounting = true;
    f();
    gCounting = false;
    return gAllocated;
}

TEST(HostileMissionTest, TwinsOfLargeLinkDataAreComparedWhereTheyLie) {
    // 3000 copies of one link that all name the same 4 KB data record: copying the record per
    // copy took 12 MB for a file of 50 KB.
    constexpr int kTwins = 3000;
    constexpr std::uint32_t kDataSize = 4096;
    std::vector<TLinkRec> links(kTwins, TLinkRec{7, 1, 2, 1});
    links.push_back({8, 1, 3, 1}); // a link without a twin
    const ScratchFolder dir;
    SaveBytes(dir / "twins.mis",
              TMissionWriter()
                  .Chunk("Relations", chunks::Relations({"Contains"}))
                  .Chunk("L$Contains", chunks::Links(links))
                  .Chunk("LD$Contains", chunks::LinkData(kDataSize, {{7, TBytes(kDataSize, 0xAB)},
                                                                     {8, TBytes(kDataSize, 0xAB)}}))
                  .Bytes());
    const auto fileSize = std::filesystem::file_size(dir / "twins.mis");

    std::vector<std::string> report;
    const std::uint64_t allocated = AllocatedBy([&] {
        TReadBrushListParams params;
        params.FileName = dir / "twins.mis";
        params.Report = &report;
        ReadBrushList(params);
    });
    EXPECT_EQ(report,
              (std::vector<std::string>{
                  "Duplicate links found:",
                  " - 3000 identical Contains-links from object ID 1 () to object ID 2 ()"}));
    EXPECT_LT(allocated, 16 * fileSize);
}

// One archetype (-1) with a name of NameLength characters, Objects objects inheriting it and
// its loot, each at death stage 12 and each with an object brush; object 1 contains the rest.
TBytes LongNameMission(std::size_t nameLength, int objects) {
    std::vector<TLinkRec> meta;
    std::vector<std::pair<std::int32_t, TBytes>> priorities;
    std::vector<std::pair<std::int32_t, TBytes>> deathStages;
    std::vector<TBrushRec> brushes;
    std::vector<TLinkRec> contains;
    for (int obj = 1; obj <= objects; ++obj) {
        meta.push_back({obj, obj, -1, 1});
        priorities.emplace_back(obj, I32Bytes(0));
        deathStages.emplace_back(obj, I32Bytes(12));
        brushes.push_back({static_cast<std::uint16_t>(obj), obj, kObjectMedia, 0});
        if (obj > 1) contains.push_back({obj, 1, obj, 2});
    }
    return TMissionWriter()
        .Chunk("P$SymName", chunks::SymNames({{-1, std::string(nameLength, 'x')}}))
        .Chunk("L$MetaProp", chunks::Links(meta))
        .Chunk("LD$MetaProp", chunks::LinkData(4, priorities))
        .Chunk("P$DeathStag", chunks::Props(deathStages))
        .Chunk("P$Loot", chunks::Props({{-1, chunks::Loot(1, 0, 0, 0)}}))
        .Chunk("L$Contains", chunks::Links(contains))
        .Chunk("BRLIST", chunks::Brushes(brushes))
        .Bytes();
}

TEST(HostileMissionTest, LongNamesAreCutVisiblyAndReportsStayInProportion) {
    const ScratchFolder dir;
    struct TCase {
        std::size_t NameLength;
        std::string Shown; // the object name every report gives
    };
    const std::vector<TCase> cases = {
        {255, "A " + std::string(255, 'x')},
        {256, "A " + std::string(255, 'x') + "..."},
        {200000, "A " + std::string(255, 'x') + "..."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.NameLength);
        const auto mission = dir / ("names" + std::to_string(c.NameLength) + ".mis");
        constexpr int kObjects = 300;
        SaveBytes(mission, LongNameMission(c.NameLength, kObjects));
        const auto fileSize = std::filesystem::file_size(mission);

        std::vector<std::string> report;
        std::vector<std::string> favorites;
        TImportOptions options;
        options.Report = &report;
        ImportMission(mission, options, [&](const TBrushInfo& f) { favorites.push_back(f.Name); });
        const TLootList loot = BuildLootList(mission, dir.Path(), {});

        ASSERT_EQ(favorites.size(), std::size_t{kObjects});
        EXPECT_EQ(favorites[4], c.Shown + " (5)");
        ASSERT_EQ(report.size(), std::size_t{kObjects + 2});
        EXPECT_EQ(report[2], " - Object ID 1 (" + c.Shown + ")");
        ASSERT_EQ(loot.Lines.size(), std::size_t{4 + kObjects + 5 + 2 + kObjects - 1});
        EXPECT_EQ(loot.Lines[5].substr(0, c.Shown.size() + 5), c.Shown + " (2)*");
        EXPECT_EQ(loot.Lines.back().find(c.Shown + " (" + std::to_string(kObjects) + ")"), 0u);
        // A line names at most two objects, and each object takes over 100 bytes of the file.
        std::size_t output = 0;
        using TLines = const std::vector<std::string>*;
        for (const TLines lines : {TLines(&report), TLines(&favorites), TLines(&loot.Lines)}) {
            for (const std::string& line : *lines) output += line.size();
        }
        EXPECT_LT(output, 20 * fileSize);
    }
}

// Archetypes in Layers layers of Width each, every one inheriting from every archetype of the
// next layer, and Objects objects inheriting from the whole first layer: each object has
// Width + Width^2 + ... ancestors in its list, but the links are few.
struct TDiamond {
    int Width = 6;
    int Layers = 5;
    int Objects = 200;
    [[nodiscard]] std::int32_t Archetype(int layer, int index) const {
        return -(layer * Width + index + 1);
    }
};

TBytes DiamondMission(const TDiamond& d, std::size_t& metaLinks) {
    std::vector<TLinkRec> meta;
    std::vector<std::pair<std::int32_t, TBytes>> priorities;
    const auto link = [&](std::int32_t from, std::int32_t to, int rank) {
        const auto id = static_cast<std::int32_t>(meta.size() + 1);
        meta.push_back({id, from, to, 1});
        priorities.emplace_back(id, I32Bytes(100 - rank)); // the first link listed goes first
    };
    std::vector<TBrushRec> brushes;
    for (int obj = 1; obj <= d.Objects; ++obj) {
        for (int i = 0; i < d.Width; ++i) link(obj, d.Archetype(0, i), i);
        brushes.push_back({static_cast<std::uint16_t>(obj), obj, kObjectMedia, 0});
    }
    for (int layer = 0; layer + 1 < d.Layers; ++layer) {
        for (int i = 0; i < d.Width; ++i) {
            for (int j = 0; j < d.Width; ++j)
                link(d.Archetype(layer, i), d.Archetype(layer + 1, j), j);
        }
    }
    link(d.Archetype(d.Layers - 1, 0), d.Archetype(d.Layers - 1, 0), 0); // never followed
    metaLinks = meta.size();
    // Depth first, the last archetype of the deepest layer comes before the second of layer 1.
    const std::int32_t deep = d.Archetype(d.Layers - 1, d.Width - 1);
    const std::int32_t shallow = d.Archetype(1, 1);
    return TMissionWriter()
        .Chunk("L$MetaProp", chunks::Links(meta))
        .Chunk("LD$MetaProp", chunks::LinkData(4, priorities))
        .Chunk("P$Loot", chunks::Props({{shallow, chunks::Loot(1000, 0, 0, 0)},
                                        {deep, chunks::Loot(7, 0, 0, 0)}}))
        .Chunk("BRLIST", chunks::Brushes(brushes))
        .Bytes();
}

TEST(HostileMissionTest, BranchingAncestryIsWalkedOncePerArchetype) {
    const TDiamond d;
    std::size_t metaLinks = 0;
    const ScratchFolder dir;
    SaveBytes(dir / "diamond.mis", DiamondMission(d, metaLinks));

    TMissionFile file;
    file.Open(dir / "diamond.mis");
    TMissionNames names;
    names.Load(file);
    TMetaPropAncestry ancestry(names, nullptr);
    const std::int32_t deep = d.Archetype(d.Layers - 1, d.Width - 1);
    const std::int32_t shallow = d.Archetype(1, 1);
    ancestry.SetFilter([&](std::int32_t a) { return a == deep || a == shallow; });
    for (int obj = 1; obj <= d.Objects; ++obj) ASSERT_EQ(ancestry.FirstMatch(obj), deep);
    // 9330 ancestors per object were walked again for each of the 200 objects.
    EXPECT_LE(ancestry.LinksFollowed(), 2 * metaLinks);

    // The one object's full list is still the depth-first list with every path.
    std::vector<std::int32_t> list;
    ancestry.Get(1, list);
    EXPECT_EQ(list.size(), 6u + 36 + 216 + 1296 + 7776);
    EXPECT_EQ(list[static_cast<std::size_t>(d.Layers - 1 + d.Width - 1)], deep);

    const TLootList loot = BuildLootList(dir / "diamond.mis", dir.Path(), {});
    const std::string total = loot.Lines[4 + d.Objects + 4];
    EXPECT_EQ(total.substr(0, 5), "TOTAL");
    EXPECT_NE(total.find(" 1400 "), std::string::npos) << total; // 200 objects of 7 gold
}

// Objects inheriting from one archetype of a ring of archetypes, which reaches back to itself;
// half way round the ring one archetype also inherits from an archetype outside it.
TEST(HostileMissionTest, CyclicAncestryIsWalkedOncePerArchetype) {
    constexpr int kRing = 1500;
    constexpr int kObjects = 300;
    constexpr std::int32_t kOutside = -(kRing + 1);
    std::vector<TLinkRec> meta;
    std::vector<std::pair<std::int32_t, TBytes>> priorities;
    const auto link = [&](std::int32_t from, std::int32_t to, int priority) {
        const auto id = static_cast<std::int32_t>(meta.size() + 1);
        meta.push_back({id, from, to, 1});
        priorities.emplace_back(id, I32Bytes(priority));
    };
    for (int obj = 1; obj <= kObjects; ++obj) link(obj, -1, 1);
    for (int i = 1; i <= kRing; ++i) link(-i, i == kRing ? -1 : -(i + 1), 2);
    link(-kRing / 2, kOutside, 1); // after the ring's next archetype
    const ScratchFolder dir;
    SaveBytes(dir / "ring.mis", TMissionWriter()
                                    .Chunk("L$MetaProp", chunks::Links(meta))
                                    .Chunk("LD$MetaProp", chunks::LinkData(4, priorities))
                                    .Bytes());
    TMissionFile file;
    file.Open(dir / "ring.mis");
    TMissionNames names;
    names.Load(file);
    TMetaPropAncestry ancestry(names, nullptr);

    // From an object: -1, -2 ... -1500, then the outside one. From -751: -752 ... -1500, -1 ...
    // -750, then the outside one.
    const struct {
        std::int32_t A, B, FromObject, FromRing;
    } cases[] = {{kOutside, -kRing, -kRing, -kRing},
                 {kOutside, 5, kOutside, kOutside},
                 {-751, -3, -3, -3},
                 {-751, kOutside, -751, kOutside}};
    for (const auto& c : cases) {
        ancestry.SetFilter([&](std::int32_t a) { return a == c.A || a == c.B; });
        EXPECT_EQ(ancestry.FirstMatch(-751), c.FromRing);
        for (int obj = 1; obj <= kObjects; ++obj) ASSERT_EQ(ancestry.FirstMatch(obj), c.FromObject);
    }
    // The ring was walked again for each object: 1500 links times 300 per filter.
    EXPECT_LE(ancestry.LinksFollowed(), 5 * std::size(cases) * meta.size());
    std::vector<std::int32_t> list;
    ancestry.Get(1, list);
    EXPECT_EQ(list.size(), std::size_t{kRing} + 1);
}

// An object whose ancestry is too long to list ends a property walk with the error naming it,
// after the objects before it in the brush list, in whatever order the objects were answered.
TEST(HostileMissionTest, AnAncestryTooLongEndsTheWalkAtItsObject) {
    // Object 9 inherits loot from -1. Object 2 inherits from six archetypes, each of which from
    // the six of the next layer, seven layers deep: 6 + 36 + ... + 6^7 = 335,922 ancestors.
    constexpr int kWidth = 6;
    constexpr int kLayers = 7;
    std::vector<TLinkRec> meta;
    const auto link = [&](std::int32_t from, std::int32_t to) {
        meta.push_back({static_cast<std::int32_t>(meta.size() + 1), from, to, 1});
    };
    const auto archetype = [](int layer, int i) { return -(2 + layer * kWidth + i); };
    link(9, -1);
    for (int i = 0; i < kWidth; ++i) link(2, archetype(0, i));
    for (int layer = 0; layer + 1 < kLayers; ++layer) {
        for (int i = 0; i < kWidth; ++i) {
            for (int j = 0; j < kWidth; ++j) link(archetype(layer, i), archetype(layer + 1, j));
        }
    }
    std::vector<std::pair<std::int32_t, TBytes>> priorities;
    for (const TLinkRec& l : meta) priorities.emplace_back(l.LinkId, I32Bytes(0));
    const ScratchFolder dir;
    SaveBytes(
        dir / "long.mis",
        TMissionWriter()
            .Chunk("L$MetaProp", chunks::Links(meta))
            .Chunk("LD$MetaProp", chunks::LinkData(4, priorities))
            .Chunk("P$Loot", chunks::Props({{-1, chunks::Loot(5, 0, 0, 0)}}))
            .Chunk("BRLIST", chunks::Brushes({{1, 9, kObjectMedia, 0}, {2, 2, kObjectMedia, 0}}))
            .Bytes());
    for (const bool anyOrder : {false, true}) {
        SCOPED_TRACE(anyOrder);
        std::vector<std::int32_t> delivered;
        TReadPropsParams params;
        params.FileName = dir / "long.mis";
        params.Props = std::vector<TNamedMode>{{"Loot", 1}};
        params.AnyOrder = anyOrder;
        params.OnProp = [&](std::int32_t obj, auto&&...) { delivered.push_back(obj); };
        try {
            ReadProps(params);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_NE(std::string(e.what()).find("the metaproperty links of object 2 lead to more "
                                                 "than 100000 ancestors"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(delivered, std::vector<std::int32_t>{9});
    }
}

} // namespace
} // namespace kv
