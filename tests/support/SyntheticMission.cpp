#include "support/SyntheticMission.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <tuple>

namespace kv::test {

namespace {

// SplitMix64: the same numbers on every platform and standard library.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= result < n; 0 when n <= 0.
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<unsigned>(n)); }
    template <typename T> void Shuffle(std::vector<T>& v) {
        for (std::size_t i = v.size(); i > 1; --i) {
            std::swap(v[i - 1], v[static_cast<std::size_t>(Below(static_cast<int>(i)))]);
        }
    }
    // Count distinct values of 1..n in random order (all of them when count >= n).
    std::vector<int> Pick(int count, int n) {
        std::vector<int> all(static_cast<std::size_t>(std::max(n, 0)));
        for (int i = 0; i < n; ++i) all[static_cast<std::size_t>(i)] = i + 1;
        Shuffle(all);
        all.resize(static_cast<std::size_t>(std::clamp(count, 0, n)));
        return all;
    }
    TBytes Bytes(std::size_t n) {
        TBytes b(n);
        for (auto& x : b) x = static_cast<std::uint8_t>(Next() & 0xFF);
        return b;
    }

private:
    std::uint64_t state_;
};

constexpr std::array kObjectWords = {"Guard",   "Archer", "Servant",  "Chest",        "Lever",
                                     "Door",    "Torch",  "Vase",     "Goblet",       "Coin",
                                     "Emerald", "Key",    "Ruby",     "Urn",          "Candle",
                                     "Burrick", "Apple",  "Painting", "Caf\xE9 sign", "Idol"};
constexpr std::array kArchetypeWords = {"Object", "Physical", "Creature", "Human",  "Guard",
                                        "Archer", "Treasure", "Coin",     "Gem",    "Emerald",
                                        "Art",    "Idol",     "Urn",      "Device", "Lever",
                                        "Door",   "Stim",     "Ornament", "Ale",    "Sword"};
// The relation names of flavors 1, 2, 3, ...; their chunk names, cut to 11 characters, differ.
constexpr std::array kRelationNames = {
    "MetaProp", "Contains", "Receptron", "arSrcDesc", "ControlDevice", "AIWatchObj", "FrobProxy",
    "Owns", "Population", "Route", "TPath", "SwitchLink", "Weapon", "Corpse", "Flinderize",
    "ParticleAttachment", "Transmute", "VoiceOver", "Lock", "SoundDescription", "AIAttack",
    "AIProject", "GunFlash", "HostObj", "StimSensor", "ScriptParams"};

enum { kMetaProp = 1, kContains, kReceptron, kArSrcDesc };

std::string RelationName(int flavor) {
    if (flavor >= 1 && flavor <= static_cast<int>(kRelationNames.size()))
        return kRelationNames[static_cast<std::size_t>(flavor - 1)];
    return "Rel" + std::to_string(flavor);
}

std::string ObjectName(int id) {
    return std::string(kObjectWords[static_cast<std::size_t>(id) % kObjectWords.size()]) + " " +
           std::to_string(id);
}

std::string ArchetypeName(int index) {
    std::string name =
        kArchetypeWords[static_cast<std::size_t>(index - 1) % kArchetypeWords.size()];
    if (index > static_cast<int>(kArchetypeWords.size())) name += std::to_string(index);
    return name;
}

// Data size of the records of a flavor's LD$ chunk, and the first word the chunk stores
// (DromEd writes 2 for receptrons and stim sources whatever their record size).
std::uint32_t DataSize(int flavor) {
    if (flavor <= kArSrcDesc)
        return std::array<std::uint32_t, 5>{0, 4, 4, 88, 108}[static_cast<std::size_t>(flavor)];
    return std::array<std::uint32_t, 3>{0, 4, 12}[static_cast<std::size_t>(flavor) % 3];
}
std::uint32_t StoredDataSize(int flavor) {
    return flavor == kReceptron || flavor == kArSrcDesc ? 2 : DataSize(flavor);
}

struct TLink {
    TLinkRec Rec;
    TBytes Data;
};

// Link records and data of every flavor of one file.
struct TLinkSet {
    std::map<int, std::vector<TLink>> ByFlavor;
    std::set<std::tuple<int, std::int32_t, std::int32_t>> Keys; // flavor, source, destination
    int Count = 0;

    void Add(int flavor, std::int32_t source, std::int32_t dest, TBytes data) {
        auto& list = ByFlavor[flavor];
        const auto id =
            static_cast<std::int32_t>((flavor << 20) + static_cast<int>(list.size()) + 1);
        list.push_back({{id, source, dest, static_cast<std::uint16_t>(flavor)}, std::move(data)});
        Keys.emplace(flavor, source, dest);
        ++Count;
    }
    [[nodiscard]] bool Has(int flavor, std::int32_t source, std::int32_t dest) const {
        return Keys.count({flavor, source, dest}) != 0;
    }
    // L$ and LD$ chunks of every flavor from 1 to Flavors, in flavor order.
    void Write(TMissionWriter& w, int flavors) {
        for (int f = 1; f <= flavors; ++f) {
            std::vector<TLinkRec> recs;
            TBytes data;
            PutU32(data, StoredDataSize(f));
            for (const TLink& l : ByFlavor[f]) {
                recs.push_back(l.Rec);
                if (DataSize(f) == 0) continue;
                PutI32(data, l.Rec.LinkId);
                data.insert(data.end(), l.Data.begin(), l.Data.end());
            }
            w.Chunk("L$" + RelationName(f).substr(0, 9), chunks::Links(recs));
            w.Chunk("LD$" + RelationName(f).substr(0, 8), data);
        }
    }
};

TBytes RelationsChunk(int flavors) {
    std::vector<std::string> relations;
    for (int f = 1; f <= flavors; ++f) relations.push_back(RelationName(f));
    return chunks::Relations(relations);
}

TBytes RandomLoot(TRandom& rnd) {
    constexpr std::array<std::int32_t, 5> values = {0, 25, 50, 100, 250};
    const auto v = [&] { return values[static_cast<std::size_t>(rnd.Below(5))]; };
    std::int32_t gold = v();
    const std::int32_t gems = v(), art = v();
    if (gold + gems + art == 0) gold = 10;
    const std::uint32_t special = rnd.Below(5) == 0 ? 1u << rnd.Below(8) : 0u;
    return chunks::Loot(gold, gems, art, special);
}

TBytes Gamesys(const TSyntheticSettings& settings, TRandom& rnd) {
    const int a = std::max(settings.Archetypes, 0);
    chunks::TNames names;
    for (int k = 1; k <= a; ++k) names.emplace_back(-k, ArchetypeName(k));
    // A tree below archetype -1, and on every tenth archetype a second, cheaper-ranked parent.
    TLinkSet links;
    for (int k = 2; k <= a; ++k) {
        const int parent = std::max(1, k / 3);
        links.Add(kMetaProp, -k, -parent, I32Bytes(rnd.Below(1000)));
        if (k % 10 == 0) {
            const int other = 1 + rnd.Below(k - 1);
            if (other != parent) links.Add(kMetaProp, -k, -other, I32Bytes(1000 + rnd.Below(1000)));
        }
    }
    std::vector<int> lootArchetypes = rnd.Pick(settings.LootArchetypes, a);
    std::sort(lootArchetypes.begin(), lootArchetypes.end());
    std::vector<std::pair<std::int32_t, TBytes>> loot;
    for (const int k : lootArchetypes) loot.emplace_back(-k, RandomLoot(rnd));

    TMissionWriter w;
    w.Chunk("Relations", RelationsChunk(std::max(settings.Flavors, 2)));
    w.Chunk("P$SymName", chunks::SymNames(names));
    w.Chunk("P$Loot", chunks::Props(loot));
    links.Write(w, 1);
    return w.Bytes();
}

TBytes BrushRecords(const TSyntheticSettings& settings, int objectCount, TRandom& rnd,
                    chunks::TNames& hotRegions) {
    std::vector<TBrushRec> brushes;
    for (int o = 1; o <= settings.ObjectBrushes; ++o) brushes.push_back({0, o, 253, 0});
    for (int i = std::max(settings.ObjectBrushes, 0); i < settings.Brushes; ++i) {
        const int r = rnd.Below(100);
        TBrushRec b;
        if (r < 55) { // terrain
            const int m = rnd.Below(12);
            b.Media = static_cast<std::int16_t>(m < 10 ? m : 10 + rnd.Below(118));
            b.FaceCount = static_cast<std::uint8_t>(4 + rnd.Below(9));
        } else { // light, area, room (of an object), flow, or a media with no kind of its own
            b.Media = static_cast<std::int16_t>(r < 70   ? 255
                                                : r < 80 ? 254
                                                : r < 88 ? 251
                                                : r < 94 ? 252
                                                         : 128 + rnd.Below(123));
            if (b.Media == 251) b.ObjId = 1 + rnd.Below(objectCount);
        }
        brushes.push_back(b);
    }
    rnd.Shuffle(brushes);
    for (std::size_t i = 0; i < brushes.size(); ++i) {
        brushes[i].BrushId = static_cast<std::uint16_t>(i + 1 + i / 97);
        if (brushes[i].Media == 254 && rnd.Below(3) != 0)
            hotRegions.emplace_back(brushes[i].BrushId, "Region " + std::to_string(i + 1));
    }
    return chunks::Brushes(brushes);
}

} // namespace

TSyntheticMission MakeSyntheticMission(const TSyntheticSettings& settings) {
    TRandom rnd(settings.Seed * 0x2545F4914F6CDD1Dull + 1);
    TSyntheticMission result;
    result.Gamesys = Gamesys(settings, rnd);

    const int a = std::max(settings.Archetypes, 0);
    const int flavors = std::max(settings.Flavors, 2);
    const int n = std::max({settings.ObjectBrushes, settings.NamedObjects, 2});

    chunks::TNames hotRegions;
    const TBytes brushes = BrushRecords(settings, n, rnd, hotRegions);

    // Names: the chosen objects in P$SymName, every tenth of them in OBJ_MAP instead.
    std::vector<int> named = rnd.Pick(settings.NamedObjects, n);
    std::sort(named.begin(), named.end());
    chunks::TNames symNames, objMap;
    for (std::size_t i = 0; i < named.size(); ++i)
        (i % 10 == 9 ? objMap : symNames).emplace_back(named[i], ObjectName(named[i]));
    for (int k = 1; k <= a && settings.ArchetypeNamesInMission; ++k)
        symNames.emplace_back(-k, ArchetypeName(k));

    TLinkSet links;
    // Every object descends from an archetype; every seventh from a second one as well.
    for (int o = 1; o <= n && a > 0; ++o) {
        const int arch = 1 + rnd.Below(a);
        links.Add(kMetaProp, o, -arch, I32Bytes(rnd.Below(100)));
        if (o % 7 == 0 && a > 1)
            links.Add(kMetaProp, o, -(arch % a + 1), I32Bytes(100 + rnd.Below(100)));
    }

    const std::vector<int> ownLoot = rnd.Pick(settings.OwnLootObjects, settings.ObjectBrushes);
    std::vector<std::pair<std::int32_t, TBytes>> lootProps;
    for (const int o : ownLoot) lootProps.emplace_back(o, RandomLoot(rnd));
    std::sort(lootProps.begin(), lootProps.end());

    for (int i = 0; i < settings.ContainsLinks; ++i) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            const int dest = ownLoot.empty() ? 1 + rnd.Below(n)
                                             : ownLoot[static_cast<std::size_t>(
                                                   rnd.Below(static_cast<int>(ownLoot.size())))];
            const int source = 1 + rnd.Below(n);
            if (source == dest || links.Has(kContains, source, dest)) continue;
            links.Add(kContains, source, dest, I32Bytes(0));
            break;
        }
    }

    std::vector<std::pair<std::int32_t, TBytes>> diffDestr;
    for (int i = 0; i < std::min(static_cast<int>(ownLoot.size()), settings.DiffDestrObjects); ++i)
        diffDestr.emplace_back(ownLoot[static_cast<std::size_t>(i)], I32Bytes(1 + rnd.Below(7)));
    std::sort(diffDestr.begin(), diffDestr.end());

    // Death stages: the twelves, and decoys that must not be reported (another stage, or 12
    // stored with another size).
    std::vector<int> staged = rnd.Pick(settings.DeathStage12Objects + 3, n);
    std::vector<std::pair<std::int32_t, TBytes>> deathStages;
    for (std::size_t i = 0; i < staged.size(); ++i)
        deathStages.emplace_back(staged[i], static_cast<int>(i) < settings.DeathStage12Objects
                                                ? I32Bytes(12)
                                            : i % 2 == 0 ? I32Bytes(rnd.Below(12))
                                                         : Concat(I32Bytes(12), I32Bytes(0)));

    // Ordinary links fill the rest of the link count; some get a twin.
    const int ordinary = flavors >= 3 ? std::max(settings.Links - links.Count, 0) : 0;
    const int twins = std::clamp(settings.DuplicatedPairs, 0, ordinary / 2);
    std::vector<std::pair<int, std::size_t>> made; // flavor, index in its list
    for (int i = 0; i < ordinary - twins; ++i) {
        const int f = 3 + i % (flavors - 2);
        for (int attempt = 0; attempt < 50; ++attempt) {
            const int source = 1 + rnd.Below(n);
            const int dest = (f == kReceptron || f == kArSrcDesc) && a > 0 ? -(1 + rnd.Below(a))
                                                                           : 1 + rnd.Below(n);
            if (source == dest || links.Has(f, source, dest)) continue;
            links.Add(f, source, dest, rnd.Bytes(DataSize(f)));
            made.emplace_back(f, links.ByFlavor[f].size() - 1);
            break;
        }
    }
    rnd.Shuffle(made);
    for (int i = 0; i < twins && i < static_cast<int>(made.size()); ++i) {
        const auto [f, index] = made[static_cast<std::size_t>(i)];
        TLink twin = links.ByFlavor[f][index];
        // Receptrons count as identical whatever their first four bytes say.
        if (f == kReceptron) twin.Data[0] = static_cast<std::uint8_t>(twin.Data[0] ^ 0x5A);
        links.Add(f, twin.Rec.Source, twin.Rec.Dest, std::move(twin.Data));
    }
    for (auto& [f, list] : links.ByFlavor) rnd.Shuffle(list);

    TBytes gamFile = chunks::ZText(settings.GamesysName);
    gamFile.resize(std::max<std::size_t>(gamFile.size(), 256), 0);

    TMissionWriter w;
    w.Chunk("GAM_FILE", gamFile);
    w.Chunk("BRLIST", brushes);
    w.Chunk("P$SymName", chunks::SymNames(symNames));
    w.Chunk("OBJ_MAP", chunks::NameRecords(objMap));
    w.Chunk("HotRegions", chunks::NameRecords(hotRegions));
    w.Chunk("Relations", RelationsChunk(flavors));
    w.Chunk("P$Loot", chunks::Props(lootProps));
    w.Chunk("P$DiffDestr", chunks::Props(diffDestr));
    w.Chunk("P$DeathStag", chunks::Props(deathStages));
    links.Write(w, flavors);
    result.Mission = w.Bytes();
    return result;
}

void SaveSyntheticMission(const TSyntheticMission& mission, const TSyntheticSettings& settings,
                          const std::filesystem::path& missionFile) {
    SaveBytes(missionFile, mission.Mission);
    SaveBytes(missionFile.parent_path() / settings.GamesysName, mission.Gamesys);
}

} // namespace kv::test
