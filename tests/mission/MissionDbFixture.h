// The fixture of the mission database tests: calls of the operations recorded as values, and
// the missions written into a scratch folder.
#pragma once

#include "mission/MissionDb.h"

#include "mission/MissionReference.h"
#include "support/MissionWriter.h"
#include "text/ScratchFolder.h"

#include <gtest/gtest.h>

#include <ostream>

namespace kv {

using namespace test;
using reference::TPropCall;

struct TBrushCall {
    TBrushKind Kind = bkNone;
    std::int32_t Num = 0;
    std::int32_t Obj = 0;
    std::string Name;
    friend bool operator==(const TBrushCall&, const TBrushCall&) = default;
    friend std::ostream& operator<<(std::ostream& os, const TBrushCall& b) {
        return os << "{" << int(b.Kind) << ", " << b.Num << ", " << b.Obj << ", \"" << b.Name
                  << "\"}";
    }
};

struct TLinkCall {
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    std::string SourceName;
    std::string DestName;
    int Flavor = 0;
    TBytes Data;
    friend bool operator==(const TLinkCall&, const TLinkCall&) = default;
    friend std::ostream& operator<<(std::ostream& os, const TLinkCall& l) {
        return os << "{" << l.Source << " \"" << l.SourceName << "\" -> " << l.Dest << " \""
                  << l.DestName << "\", " << l.Flavor << ", " << l.Data.size() << " bytes}";
    }
};

} // namespace kv

namespace kv::test::reference {
inline std::ostream& operator<<(std::ostream& os, const TPropCall& p) {
    os << "{" << p.Obj << " \"" << p.ObjName << "\", " << p.Prop << ", [";
    for (const auto b : p.Data) os << int(b) << " ";
    return os << "], " << p.Tag << "}";
}
} // namespace kv::test::reference

namespace kv {

inline TBrushRec Brush(std::uint16_t id, std::int16_t media, std::int32_t obj = 0,
                       std::uint8_t faces = 0) {
    return {id, obj, media, faces};
}

inline TBytes Prio(std::int32_t v) { return I32Bytes(v); }

class MissionDbTest : public ::testing::Test {
protected:
    std::filesystem::path Save(const TMissionWriter& w, const std::string& name = "m.mis") {
        const auto p = folder_ / name;
        w.Save(p);
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

// One brush of every kind, named where the kind has names.
inline TMissionWriter KindsMission() {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{40, "Guard"}, {41, "Tower"}}))
        .Chunk("HotRegions", chunks::NameRecords({{3, "Hall"}}))
        .Chunk("BRLIST", chunks::Brushes({Brush(1, 0, 99), Brush(2, 9), Brush(5, 10), Brush(6, 127),
                                          Brush(7, 255, 30), Brush(3, 254, 31), Brush(8, 253, 40),
                                          Brush(9, 252, 33), Brush(10, 251, 41), Brush(11, 300, 34),
                                          Brush(12, -1, 35), Brush(13, 254)}));
    return w;
}

// Two object brushes (11 before 10) and a light; 10 has a value of its own and inherits from -1
// (priority 2) and -2 (priority 1), -1 from -3.
inline TMissionWriter PropsMission() {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{10, "Lamp"}, {11, "Chest"}}))
        .Chunk("OBJ_MAP", chunks::NameRecords({{-1, "Light"}, {-2, "Object"}}))
        .Chunk("L$MetaProp",
               chunks::Links({{1, 10, -2, 1}, {2, 10, -1, 1}, {3, 11, -2, 1}, {4, -1, -3, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, Prio(1)}, {2, Prio(2)}, {4, Prio(0)}}))
        .Chunk("P$Flicker",
               chunks::Props({{-3, {4}}, {10, {1}}, {-1, {2}}, {-2, {3}}, {12, {5}}, {10, {6}}}))
        .Chunk("BRLIST",
               chunks::Brushes({Brush(1, 253, 11), Brush(2, 255, 12), Brush(3, 253, 10)}));
    return w;
}

// A mission whose archetype -1 has the value 9 in the mission, and a gamesys in which -1
// inherits from -2 and the values are 7 and 8.
inline TMissionWriter GamesysMission(const std::string& gamFile) {
    TMissionWriter w;
    w.Chunk("P$SymName", chunks::SymNames({{10, "Lamp"}}))
        .Chunk("L$MetaProp", chunks::Links({{1, 10, -1, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, Prio(0)}}))
        .Chunk("P$Scale", chunks::Props({{-1, {9}}}));
    if (!gamFile.empty()) w.Chunk("GAM_FILE", chunks::ZText(gamFile));
    return w;
}

inline TMissionWriter Gamesys() {
    TMissionWriter w;
    w.Chunk("L$MetaProp", chunks::Links({{1, -1, -2, 1}}))
        .Chunk("LD$MetaProp", chunks::LinkData(4, {{1, Prio(0)}}))
        .Chunk("P$Scale", chunks::Props({{-1, {7}}, {-2, {8}}}));
    return w;
}

// L$Receptron holds links 10->11, 12->10, 12->13, 11->12; their data is in LD$Receptro.
inline TMissionWriter LinksMission(std::uint32_t dataSize = 4) {
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

inline TMissionWriter AllLinksMission() {
    TMissionWriter w;
    w.Chunk("L$A", chunks::Links({{1, 1, 2, 3}, {2, 2, 3, 5}}))
        .Chunk("LD$A", chunks::Links({{9, 1, 2, 3}}))
        .Chunk("L$Empty", {})
        .Chunk("l$Lower", chunks::Links({{8, 1, 2, 3}}))
        .Chunk("L$B", chunks::Links({{3, 1, 3, 5}, {4, 3, 1, 3}}))
        .Chunk("XL$C", chunks::Links({{7, 1, 2, 3}}));
    return w;
}

} // namespace kv
