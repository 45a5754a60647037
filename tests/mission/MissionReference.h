// Plain linear-walk versions of object naming, metaproperty ancestry and property delivery: every
// lookup walks its chunk from the start, exactly as the rules read. Tests compare the indexed
// reader with these on generated missions.
#pragma once

#include "mission/MissionDb.h"
#include "mission/MissionFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace kv::test::reference {

using TChunk = std::optional<std::vector<std::uint8_t>>;

inline std::int32_t I32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) |
                                     (std::uint32_t{b[at + 2]} << 16) |
                                     (std::uint32_t{b[at + 3]} << 24));
}

inline std::string TextUpToZero(const std::vector<std::uint8_t>& b, std::size_t at,
                                std::size_t len) {
    std::string s;
    for (std::size_t i = 0; i < len && b[at + i] != 0; ++i) s += static_cast<char>(b[at + i]);
    return s;
}

// The chunks one file contributes to naming and ancestry.
struct TSource {
    TChunk SymName, ObjMap, MetaLinks, MetaData;

    static TSource Load(TMissionFile& f, bool names) {
        TSource s;
        if (names) {
            s.SymName = f.ReadChunk("P$SymName");
            s.ObjMap = f.ReadChunk("OBJ_MAP");
        }
        s.MetaLinks = f.ReadChunk("L$MetaProp");
        s.MetaData = f.ReadChunk("LD$MetaProp");
        return s;
    }
};

// The data of the first property record of ID, walking from the start; none when absent.
inline std::optional<std::vector<std::uint8_t>> FirstProp(const TChunk& chunk, std::int32_t id) {
    if (!chunk) return std::nullopt;
    const auto& b = *chunk;
    std::size_t pos = 0;
    while (b.size() - pos >= 8) {
        const auto size = static_cast<std::uint32_t>(I32(b, pos + 4));
        if (size > b.size() - pos - 8) break;
        if (I32(b, pos) == id)
            return std::vector<std::uint8_t>(b.begin() + static_cast<std::ptrdiff_t>(pos + 8),
                                             b.begin() +
                                                 static_cast<std::ptrdiff_t>(pos + 8 + size));
        pos += 8 + size;
    }
    return std::nullopt;
}

inline std::string BaseName(const TSource& s, std::int32_t id) {
    if (id == 0) return {};
    if (const auto data = FirstProp(s.SymName, id); data && data->size() >= 4) {
        const std::size_t len =
            std::min<std::size_t>(static_cast<std::uint32_t>(I32(*data, 0)), data->size() - 4);
        const std::string name = TextUpToZero(*data, 4, len);
        if (!name.empty()) return name;
    }
    if (s.ObjMap) {
        const auto& b = *s.ObjMap;
        std::size_t pos = 0;
        while (b.size() - pos >= 8) {
            const auto len = static_cast<std::uint32_t>(I32(b, pos + 4));
            if (len > b.size() - pos - 8) break;
            if (I32(b, pos) == id) return TextUpToZero(b, pos + 8, len);
            pos += 8 + len;
        }
    }
    return {};
}

// The priority of a metaproperty link, walking LD$MetaProp; Missing when it has none.
inline std::int32_t Priority(const TSource& s, std::int32_t linkId, std::int32_t missing) {
    if (!s.MetaData || s.MetaData->size() < 4 || I32(*s.MetaData, 0) != 4) return missing;
    const auto& b = *s.MetaData;
    for (std::size_t pos = 4; pos + 8 <= b.size(); pos += 8) {
        if (I32(b, pos) == linkId) return I32(b, pos + 4);
    }
    return missing;
}

inline std::string ObjectName(const TSource& s, std::int32_t id, bool withArchetype) {
    if (id == 0) return {};
    const std::string own = BaseName(s, id);
    if (!own.empty() || !withArchetype || !s.MetaLinks) return own;
    const auto& b = *s.MetaLinks;
    bool chosen = false;
    std::int32_t best = 0;
    std::int32_t dest = 0;
    for (std::size_t pos = 0; pos + 14 <= b.size(); pos += 14) {
        const int flavor = b[pos + 12] | (b[pos + 13] << 8);
        if (I32(b, pos + 4) != id || flavor != 1) continue;
        const std::int32_t prio = Priority(s, I32(b, pos), 0);
        if (!chosen || prio < best) {
            chosen = true;
            best = prio;
            dest = I32(b, pos + 8);
        }
    }
    if (!chosen) return {};
    const std::string arch = BaseName(s, dest);
    if (arch.empty()) return {};
    const char first = static_cast<char>(std::toupper(static_cast<unsigned char>(arch[0])));
    return (std::string("AEIOU").find(first) != std::string::npos ? "An " : "A ") + arch;
}

// Recursive, with the guard against cycles: an ID on the current path is not entered again.
inline void Ancestors(const TSource& mission, const TSource* gamesys, std::int32_t id,
                      std::vector<std::int32_t>& list, std::vector<std::int32_t>& path) {
    const TSource& s = (id <= 0 && gamesys != nullptr && gamesys->MetaLinks) ? *gamesys : mission;
    if (!s.MetaLinks || !s.MetaData) return;
    std::vector<std::pair<std::int32_t, std::int32_t>> links; // priority, destination
    const auto& b = *s.MetaLinks;
    for (std::size_t pos = 0; pos + 14 <= b.size(); pos += 14) {
        const int flavor = b[pos + 12] | (b[pos + 13] << 8);
        if (I32(b, pos + 4) == id && flavor == 1)
            links.emplace_back(Priority(s, I32(b, pos), -1), I32(b, pos + 8));
    }
    std::stable_sort(links.begin(), links.end(),
                     [](const auto& x, const auto& y) { return x.first > y.first; });
    path.push_back(id);
    for (const auto& [prio, dest] : links) {
        if (std::find(path.begin(), path.end(), dest) != path.end()) continue;
        list.push_back(dest);
        Ancestors(mission, gamesys, dest, list, path);
    }
    path.pop_back();
}

inline std::vector<std::int32_t> Ancestors(const TSource& mission, const TSource* gamesys,
                                           std::int32_t id) {
    std::vector<std::int32_t> list;
    std::vector<std::int32_t> path;
    Ancestors(mission, gamesys, id, list, path);
    return list;
}

struct TPropCall {
    std::int32_t Obj = 0;
    std::string ObjName;
    std::string Prop;
    std::vector<std::uint8_t> Data;
    std::uint32_t Tag = 0;
    friend bool operator==(const TPropCall&, const TPropCall&) = default;
};

// Property delivery for a given object set, with the gamesys file already found (or none).
inline std::vector<TPropCall> Props(TMissionFile& mission, TMissionFile* gamesys,
                                    const std::vector<std::int32_t>& objects,
                                    const std::vector<TNamedMode>& props, std::uint32_t tag) {
    const TSource m = TSource::Load(mission, true);
    std::optional<TSource> g;
    if (gamesys != nullptr) g = TSource::Load(*gamesys, false);
    const auto inSet = [&](std::int32_t id) {
        return std::find(objects.begin(), objects.end(), id) != objects.end();
    };
    std::vector<TPropCall> calls;
    for (const TNamedMode& p : props) {
        const std::string chunkName = ChunkName("P$", p.Name);
        const TChunk own = mission.ReadChunk(chunkName);
        const TChunk inherited = gamesys ? gamesys->ReadChunk(chunkName) : std::nullopt;
        std::vector<std::int32_t> hasOwn;
        if (own) {
            const auto& b = *own;
            std::size_t pos = 0;
            while (b.size() - pos >= 8) {
                const auto size = static_cast<std::uint32_t>(I32(b, pos + 4));
                if (size > b.size() - pos - 8) break;
                const std::int32_t id = I32(b, pos);
                if (inSet(id)) {
                    calls.push_back({id,
                                     ObjectName(m, id, true),
                                     p.Name,
                                     {b.begin() + static_cast<std::ptrdiff_t>(pos + 8),
                                      b.begin() + static_cast<std::ptrdiff_t>(pos + 8 + size)},
                                     tag});
                    hasOwn.push_back(id);
                }
                pos += 8 + size;
            }
        }
        if (p.Mode <= 0) continue;
        for (const std::int32_t o : objects) {
            if (p.Mode == 1 && std::find(hasOwn.begin(), hasOwn.end(), o) != hasOwn.end()) continue;
            for (const std::int32_t a : Ancestors(m, g ? &*g : nullptr, o)) {
                const TChunk& chunk = (a <= 0 && inherited) ? inherited : own;
                const auto value = FirstProp(chunk, a);
                if (!value) continue;
                calls.push_back({o, ObjectName(m, o, true), p.Name, *value, tag});
                if (p.Mode == 1) break;
            }
        }
    }
    return calls;
}

} // namespace kv::test::reference
