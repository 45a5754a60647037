// Random missions with a gamesys: a few hundred objects and archetypes, names with gaps and
// repeats, metaproperty links with random (often equal) priorities and property records in both
// files. Used to compare the indexed reader with the plain walks of MissionReference.h.
#pragma once

#include "mission/MissionDb.h"
#include "support/MissionWriter.h"

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace kv::test {

struct TRandomMissionOptions {
    int Objects = 300;        // IDs 1..Objects
    int Archetypes = 120;     // IDs -1..-Archetypes
    int ArchetypeLinks = 120; // metaproperty links between archetypes in the gamesys
    bool Cycles = false;      // metaproperty links may lead back to where they started
    bool GamesysLinkData = true;
};

struct TRandomMission {
    TMissionWriter Mission;
    TMissionWriter Gamesys;
    std::vector<std::int32_t> ObjectSet;
    std::vector<TNamedMode> Props;
    std::vector<std::int32_t> AllIds;
};

class TRandomMissionMaker {
public:
    explicit TRandomMissionMaker(std::uint32_t seed) : rng_(seed) {}

    TRandomMission Make(const TRandomMissionOptions& o, const std::string& gamFileName) {
        TRandomMission r;
        for (int id = -o.Archetypes; id <= o.Objects; ++id) r.AllIds.push_back(id);

        std::vector<std::pair<std::int32_t, std::string>> sym;
        std::vector<std::pair<std::int32_t, std::string>> objMap;
        for (const std::int32_t id : r.AllIds) {
            if (Chance(45)) sym.emplace_back(id, Chance(15) ? "" : Word());
            if (Chance(35)) objMap.emplace_back(id, Chance(10) ? "" : Word());
        }
        Shuffle(sym);
        Shuffle(objMap);
        // Repeated IDs: the first record must win.
        for (int i = 0; i < 20; ++i) sym.emplace_back(AnyId(o), Word());
        for (int i = 0; i < 20; ++i) objMap.emplace_back(AnyId(o), Word());

        std::vector<TLinkRec> links;
        std::vector<std::pair<std::int32_t, TBytes>> prio;
        for (int obj = 1; obj <= o.Objects; ++obj) {
            const int n = static_cast<int>(rng_() % 4);
            for (int k = 0; k < n; ++k) {
                const std::int32_t dest =
                    Chance(85) ? -Uniform(1, o.Archetypes) : Uniform(1, o.Objects);
                AddLink(links, prio, obj, dest, o.Cycles || dest < 0 || dest > obj);
            }
        }
        // Archetype links in the mission: used only when the gamesys has none.
        AddArchetypeLinks(links, prio, o, o.ArchetypeLinks / 2);
        r.Mission.Chunk("P$SymName", chunks::SymNames(sym))
            .Chunk("OBJ_MAP", chunks::NameRecords(objMap));
        Shuffle(links);
        Shuffle(prio);
        r.Mission.Chunk("L$MetaProp", chunks::Links(links))
            .Chunk("LD$MetaProp", chunks::LinkData(4, prio))
            .Chunk("GAM_FILE", chunks::ZText(gamFileName));

        std::vector<TLinkRec> gamLinks;
        std::vector<std::pair<std::int32_t, TBytes>> gamPrio;
        AddArchetypeLinks(gamLinks, gamPrio, o, o.ArchetypeLinks);
        if (o.Cycles) { // one sure cycle besides the random ones
            AddLink(gamLinks, gamPrio, -1, -2, true);
            AddLink(gamLinks, gamPrio, -2, -1, true);
        }
        Shuffle(gamLinks);
        r.Gamesys.Chunk("L$MetaProp", chunks::Links(gamLinks));
        if (o.GamesysLinkData) r.Gamesys.Chunk("LD$MetaProp", chunks::LinkData(4, gamPrio));

        r.Props = {{"Scale", 0}, {"Loot", 1}, {"PhysAttr", 2}, {"DeathStage", 2}, {"Flicker", 1}};
        for (const TNamedMode& p : r.Props) {
            std::vector<std::pair<std::int32_t, TBytes>> mine;
            std::vector<std::pair<std::int32_t, TBytes>> gams;
            for (const std::int32_t id : r.AllIds) {
                if (Chance(20)) mine.emplace_back(id, Value());
                if (id < 0 && Chance(40)) gams.emplace_back(id, Value());
            }
            for (int i = 0; i < 10; ++i) mine.emplace_back(AnyId(o), Value());
            Shuffle(mine);
            const std::string name = ChunkName("P$", p.Name);
            if (!Chance(10)) r.Mission.Chunk(name, chunks::Props(mine));
            if (!Chance(10)) r.Gamesys.Chunk(name, chunks::Props(gams));
        }
        for (int obj = 1; obj <= o.Objects; ++obj) {
            if (Chance(50)) r.ObjectSet.push_back(obj);
        }
        for (int i = 0; i < 10; ++i) r.ObjectSet.push_back(-Uniform(1, o.Archetypes));
        r.ObjectSet.push_back(r.ObjectSet.front()); // listed twice
        Shuffle(r.ObjectSet);
        return r;
    }

private:
    bool Chance(int percent) { return static_cast<int>(rng_() % 100) < percent; }
    std::int32_t Uniform(int lo, int hi) {
        return lo + static_cast<std::int32_t>(rng_() % static_cast<unsigned>(hi - lo + 1));
    }
    std::int32_t AnyId(const TRandomMissionOptions& o) { return Uniform(-o.Archetypes, o.Objects); }
    template <class T> void Shuffle(std::vector<T>& v) { std::shuffle(v.begin(), v.end(), rng_); }

    std::string Word() {
        static const char* const kParts[] = {"arch", "Eye",  "guard", "Ork", "un",  "Ice",
                                             "bow",  "lamp", "Apple", "zed", "oil", "Urn"};
        std::string w;
        const int n = 1 + static_cast<int>(rng_() % 3);
        for (int i = 0; i < n; ++i) w += kParts[rng_() % std::size(kParts)];
        return w;
    }
    TBytes Value() {
        TBytes b(rng_() % 9, 0);
        for (auto& x : b) x = static_cast<std::uint8_t>(rng_());
        return b;
    }
    // Priorities from a small range so that ties are common; some links have none, some link
    // IDs have two records (the first counts), some links are of another flavor.
    void AddLink(std::vector<TLinkRec>& links, std::vector<std::pair<std::int32_t, TBytes>>& prio,
                 std::int32_t source, std::int32_t dest, bool allowed) {
        if (!allowed) return;
        const std::int32_t linkId = nextLinkId_++;
        links.push_back({linkId, source, dest, static_cast<std::uint16_t>(Chance(92) ? 1 : 2)});
        if (Chance(85)) prio.emplace_back(linkId, I32Bytes(Uniform(-2, 3)));
        if (Chance(5)) prio.emplace_back(linkId, I32Bytes(Uniform(-2, 3)));
    }
    void AddArchetypeLinks(std::vector<TLinkRec>& links,
                           std::vector<std::pair<std::int32_t, TBytes>>& prio,
                           const TRandomMissionOptions& o, int count) {
        for (int i = 0; i < count; ++i) {
            const std::int32_t a = Uniform(1, o.Archetypes);
            const std::int32_t b = Uniform(1, o.Archetypes);
            // Without cycles an archetype only inherits from archetypes of larger number.
            AddLink(links, prio, -a, Chance(5) ? 0 : -b, o.Cycles || b > a);
        }
    }

    std::mt19937 rng_;
    std::int32_t nextLinkId_ = 1;
};

} // namespace kv::test
