// The three read operations on a mission: its brushes, chosen properties and links of chosen
// objects (own and inherited through the gamesys), and every link.
#include "mission/MissionDb.h"

#include "mission/ChunkRecords.h"
#include "mission/IdIndex.h"
#include "mission/SanityCheck.h"
#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <unordered_map>
#include <unordered_set>

namespace kv {

namespace fs = std::filesystem;

namespace {

constexpr std::int16_t kMediaRoom = 251;
constexpr std::int16_t kMediaFlow = 252;
constexpr std::int16_t kMediaObject = 253;
constexpr std::int16_t kMediaArea = 254;
constexpr std::int16_t kMediaLight = 255;

const std::array<const char*, 10> kMediaNames = {
    "Solid",        "Air",        "Water",      "Flood",        "Evaporate",
    "Solid->Water", "Solid->Air", "Air->Solid", "Water->Solid", "Blockable"};

using TIdSet = std::unordered_set<std::int32_t>;

// Gamesys names are written for Windows; elsewhere their backslashes become the folder separator.
constexpr char kSeparator = static_cast<char>(fs::path::preferred_separator);

// First record per ID of a property chunk: its offset.
TIdIndex IndexProps(const records::TChunkView& chunk) {
    TIdIndex index;
    records::ForEachProp(chunk, [&](const records::TPropRecord& rec) {
        index.TryAdd(rec.Id, static_cast<std::uint32_t>(rec.Offset));
    });
    return index;
}

// The places of IDs in ascending order of the IDs, equal IDs in their order: two passes of a
// radix sort on the halves of the (unsigned) IDs.
std::vector<std::uint32_t> ByIdOrder(const std::vector<std::int32_t>& ids) {
    const auto key = [&](std::uint32_t i) {
        return static_cast<std::uint32_t>(ids[i]) ^ 0x80000000u;
    };
    std::vector<std::uint32_t> order(ids.size());
    std::vector<std::uint32_t> sorted(ids.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    for (const int shift : {0, 16}) {
        std::vector<std::uint32_t> start(65537, 0);
        for (const std::uint32_t i : order) ++start[((key(i) >> shift) & 0xFFFF) + 1];
        for (std::size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
        for (const std::uint32_t i : order) sorted[start[(key(i) >> shift) & 0xFFFF]++] = i;
        order.swap(sorted);
    }
    return order;
}

bool IsRegularFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// Base + Name, where every part of Name may differ in letter case from the file system's, as
// it may on Windows. Empty when there is no such file.
fs::path FindIgnoringCase(const fs::path& base, const std::string& name) {
    std::string portable = name;
    std::replace(portable.begin(), portable.end(), '\\', kSeparator);
    const fs::path relative = TextToPath(portable);
    fs::path exact = base / relative;
    if (IsRegularFile(exact)) return exact;
    fs::path current = base;
    for (const fs::path& part : relative) {
        if (part.empty()) continue;
        const fs::path direct = current / part;
        std::error_code ec;
        if (fs::exists(direct, ec)) {
            current = direct;
            continue;
        }
        const std::string wanted = PathToText(part);
        std::vector<fs::path> matches;
        const fs::path dir = current.empty() ? fs::path(".") : current;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            if (AnsiSameText(PathToText(it->path().filename()), wanted))
                matches.push_back(it->path().filename());
        }
        if (matches.empty()) return {};
        std::sort(matches.begin(), matches.end()); // the same choice on every run
        current /= matches.front();
    }
    return IsRegularFile(current) ? current : fs::path();
}

std::string GamFileName(TMissionFile& mission, bool& present) {
    const std::optional<TChunkBuffer> gam = mission.ReadChunk("GAM_FILE");
    present = gam.has_value();
    if (!gam || gam->empty()) return {};
    return records::ZeroTerminated(*gam);
}

// The object IDs of every object brush, in file order.
std::vector<std::int32_t> ObjectBrushes(TMissionFile& mission) {
    std::vector<std::int32_t> ids;
    if (const auto brushes = mission.ReadChunk("BRLIST")) {
        const records::TChunkView view{*brushes, "BRLIST", mission.FileText()};
        records::ForEachBrush(view, [&](const records::TBrushRecord& rec) {
            if (rec.Media == kMediaObject) ids.push_back(rec.ObjId);
        });
    }
    return ids;
}

} // namespace

fs::path FindGamesys(const fs::path& gamesysDir, const fs::path& missionFile,
                     const std::string& gamFileName, fs::path* firstTry) {
    if (firstTry != nullptr) {
        std::string portable = gamFileName;
        std::replace(portable.begin(), portable.end(), '\\', kSeparator);
        *firstTry = gamesysDir / TextToPath(portable);
    }
    if (fs::path p = FindIgnoringCase(gamesysDir, gamFileName); !p.empty()) return p;
    return FindIgnoringCase(missionFile.parent_path(), gamFileName);
}

void ReadBrushList(const TReadBrushListParams& params) {
    TMissionFile file;
    file.Open(params.FileName);
    if (file.Empty()) return;
    TMissionNames names;
    names.Load(file);
    if (params.OnBrush) {
        std::unordered_map<std::int32_t, std::string> areaNames; // first record per brush ID
        if (const auto hot = file.ReadChunk("HotRegions")) {
            const records::TChunkView view{*hot, "HotRegions", file.FileText()};
            records::ForEachNameRecord(view, [&](const records::TNameRecord& rec) {
                areaNames.try_emplace(rec.Id, rec.Name);
            });
        }
        if (const auto brushes = file.ReadChunk("BRLIST")) {
            std::int32_t running = 0;
            std::string name;
            const records::TChunkView view{*brushes, "BRLIST", file.FileText()};
            records::ForEachBrush(view, [&](const records::TBrushRecord& rec) {
                ++running;
                TBrushKind kind = bkNone;
                std::int32_t objId = rec.ObjId;
                name.clear();
                if (records::IsTerrainMedia(rec.Media)) {
                    kind = bkTerrain;
                    objId = 0;
                    if (static_cast<std::size_t>(rec.Media) < kMediaNames.size())
                        name = kMediaNames[static_cast<std::size_t>(rec.Media)];
                } else {
                    switch (rec.Media) {
                    case kMediaLight: kind = bkLight; break;
                    case kMediaArea:
                        kind = bkArea;
                        if (const auto a = areaNames.find(rec.BrushId); a != areaNames.end())
                            AppendShownName(name, a->second);
                        break;
                    case kMediaObject:
                        kind = bkObject;
                        names.AppendObjectName(objId, true, name);
                        break;
                    case kMediaFlow: kind = bkFlow; break;
                    case kMediaRoom:
                        kind = bkRoom;
                        names.AppendObjectName(objId, true, name);
                        break;
                    default: kind = bkNone; break;
                    }
                }
                if (!name.empty() && objId != 0) {
                    char number[16];
                    const auto end = std::to_chars(number, number + sizeof number, objId).ptr;
                    name += " (";
                    name.append(number, end);
                    name += ')';
                }
                params.OnBrush(kind, params.UseBrushIDs ? rec.BrushId : running, objId, name);
            });
        }
    }
    if (params.Report != nullptr) RunSanityCheck(file, names, *params.Report, params.Findings);
}

namespace {

void DeliverProp(TMissionFile& mission, TMissionFile* gamesys, const TMissionNames& names,
                 TMetaPropAncestry& ancestry, const std::vector<std::int32_t>& objects,
                 const TIdMembers& objectSet, const TNamedMode& prop,
                 const TReadPropsParams& params) {
    const std::string chunkName = ChunkName("P$", prop.Name);
    const std::optional<TChunkBuffer> own = mission.ReadChunk(chunkName);
    std::optional<TChunkBuffer> inherited;
    if (gamesys != nullptr) inherited = gamesys->ReadChunk(chunkName);

    // Views of a missing chunk stay empty and are never read.
    const records::TChunkView ownView{own ? records::TBytesView(*own) : records::TBytesView(),
                                      chunkName, mission.FileText()};
    const records::TChunkView inheritedView{
        inherited ? records::TBytesView(*inherited) : records::TBytesView(), chunkName,
        gamesys != nullptr ? std::string_view(gamesys->FileText()) : std::string_view()};

    TIdIndex hasOwn;
    if (own) {
        records::ForEachProp(ownView, [&](const records::TPropRecord& rec) {
            if (!objectSet.Contains(rec.Id)) return;
            if (params.OnProp) {
                params.OnProp(rec.Id, names.GetObjectName(rec.Id, true), prop.Name, rec.Data.Rest(),
                              params.Tag);
            }
            hasOwn.TryAdd(rec.Id, 0);
        });
    }
    if (prop.Mode <= 0) return;

    const TIdIndex missionIndex = own ? IndexProps(ownView) : TIdIndex{};
    const TIdIndex gamesysIndex = inherited ? IndexProps(inheritedView) : TIdIndex{};
    const auto valueAt = [&](std::int32_t ancestor) {
        const bool fromGamesys = ancestor <= 0 && inherited;
        return (fromGamesys ? gamesysIndex : missionIndex).Find(ancestor);
    };
    if (prop.Mode == 1) {
        // Only the nearest value counts, which the ancestry answers once per archetype.
        ancestry.SetFilter([&](std::int32_t a) { return valueAt(a) != TIdIndex::kNone; });
        // The objects without values of their own are answered in ID order, which keeps the
        // lookups of neighbouring IDs together, and delivered in their own order unless any
        // order will do. Should one throw, they are asked again in their order, so that the same
        // object's error ends the operation after the same deliveries.
        const auto deliver = [&](std::int32_t obj, std::int32_t ancestor) {
            const bool fromGamesys = ancestor <= 0 && inherited;
            const records::TPropRecord rec =
                records::PropAt(fromGamesys ? inheritedView : ownView, valueAt(ancestor));
            params.OnProp(obj, names.GetObjectName(obj, true), prop.Name, rec.Data.Rest(),
                          params.Tag);
        };
        const std::vector<std::uint32_t> byId = ByIdOrder(objects);
        std::vector<std::optional<std::int32_t>> answers(objects.size());
        bool answered = true;
        try {
            for (const std::uint32_t i : byId) {
                if (!hasOwn.Contains(objects[i])) answers[i] = ancestry.FirstMatch(objects[i]);
            }
        } catch (const Exception&) {
            answered = false;
        }
        if (answered && params.AnyOrder) {
            for (const std::uint32_t i : byId) {
                if (answers[i] && params.OnProp) deliver(objects[i], *answers[i]);
            }
            return;
        }
        for (std::size_t i = 0; i < objects.size(); ++i) {
            const std::int32_t obj = objects[i];
            std::optional<std::int32_t> ancestor = answers[i];
            if (!answered) {
                if (hasOwn.Contains(obj)) continue;
                ancestor = ancestry.FirstMatch(obj);
            }
            if (ancestor && params.OnProp) deliver(obj, *ancestor);
        }
        return;
    }
    std::vector<std::int32_t> ancestors;
    for (const std::int32_t obj : objects) {
        ancestors.clear();
        ancestry.Get(obj, ancestors);
        std::string objName;
        bool named = false;
        for (const std::int32_t ancestor : ancestors) {
            const bool fromGamesys = ancestor <= 0 && inherited;
            const std::uint32_t at = (fromGamesys ? gamesysIndex : missionIndex).Find(ancestor);
            if (at == TIdIndex::kNone) continue;
            if (params.OnProp) {
                if (!named) objName = names.GetObjectName(obj, true);
                named = true;
                const records::TPropRecord rec =
                    records::PropAt(fromGamesys ? inheritedView : ownView, at);
                params.OnProp(obj, objName, prop.Name, rec.Data.Rest(), params.Tag);
            }
            if (prop.Mode == 1) break;
        }
    }
}

void DeliverLinks(TMissionFile& mission, const TMissionNames& names, const TIdMembers& objectSet,
                  const TNamedMode& flavor, const TReadPropsParams& params) {
    const int bits = flavor.Mode;
    const std::string linksName = ChunkName("L$", flavor.Name);
    const std::string linkDataName = ChunkName("LD$", flavor.Name);
    const std::optional<TChunkBuffer> links = mission.ReadChunk(linksName);
    std::optional<TChunkBuffer> linkData;
    if ((bits & 1) != 0) linkData = mission.ReadChunk(linkDataName);
    if (!links) return;
    const records::TChunkView linksView{*links, linksName, mission.FileText()};

    std::optional<records::TLinkDataChunk> ld;
    TIdIndex dataByLink; // first record per link
    if (linkData) {
        ld.emplace(records::TChunkView{*linkData, linkDataName, mission.FileText()});
        dataByLink.Reserve(ld->Count());
        ld->ForEach([&](std::size_t i, std::int32_t linkId, const records::TByteCursor&) {
            dataByLink.TryAdd(linkId, static_cast<std::uint32_t>(i));
        });
    }
    records::ForEachLink(linksView, [&](std::size_t, const records::TLinkRecord& rec) {
        const bool taken = ((bits & 2) != 0 && objectSet.Contains(rec.Source)) ||
                           ((bits & 4) != 0 && objectSet.Contains(rec.Dest));
        if (!taken || !params.OnLink) return;
        if (params.LinkWanted && !params.LinkWanted(rec.Source, rec.Dest, rec.Flavor)) return;
        records::TBytesView data;
        if ((bits & 1) != 0) {
            if (const std::uint32_t d = dataByLink.Find(rec.LinkId); d != TIdIndex::kNone)
                data = ld->Data(d).Rest();
        }
        params.OnLink(rec.Source, rec.Dest, names.GetObjectName(rec.Source, true),
                      names.GetObjectName(rec.Dest, true), rec.Flavor, data, params.Tag);
    });
}

} // namespace

void ReadProps(const TReadPropsParams& params) {
    TMissionFile mission;
    mission.Open(params.FileName);
    if (mission.Empty()) return;
    TMissionNames names;
    names.Load(mission);

    const std::vector<std::int32_t> objects =
        params.Objects ? *params.Objects : ObjectBrushes(mission);
    const TIdMembers objectSet(objects);

    TMissionFile gamesys;
    TMissionNames gamNames;
    bool haveGamesys = false;
    const bool inherits =
        params.Props && std::any_of(params.Props->begin(), params.Props->end(),
                                    [](const TNamedMode& p) { return p.Mode > 0; });
    if (inherits) {
        bool present = false;
        const std::string gamFile = GamFileName(mission, present);
        if (present) {
            fs::path firstTry;
            const fs::path found =
                FindGamesys(params.GamesysDir, params.FileName, gamFile, &firstTry);
            if (found.empty()) {
                if (params.OnMessage)
                    params.OnMessage("Gamesys not found: \"" + PathToText(firstTry) + "\"");
            } else {
                gamesys.Open(found);
                haveGamesys = true;
                if (!gamesys.Empty()) gamNames.LoadMetaProps(gamesys);
            }
        }
    }

    if (params.Props) {
        const bool useGamesys = haveGamesys && !gamesys.Empty();
        TMetaPropAncestry ancestry(names, useGamesys ? &gamNames : nullptr);
        for (const TNamedMode& prop : *params.Props) {
            DeliverProp(mission, useGamesys ? &gamesys : nullptr, names, ancestry, objects,
                        objectSet, prop, params);
        }
    }
    if (params.Links) {
        for (const TNamedMode& flavor : *params.Links)
            DeliverLinks(mission, names, objectSet, flavor, params);
    }
}

void ReadLinks(const fs::path& fileName, const std::vector<std::int32_t>* objects,
               const std::vector<int>* flavors, const TLinkRecordEvent& onLink) {
    if (!onLink) return;
    TMissionFile file;
    file.Open(fileName);
    if (file.Empty()) return;
    TIdSet objectSet;
    if (objects != nullptr) objectSet.insert(objects->begin(), objects->end());
    const std::unordered_set<int> flavorSet =
        flavors != nullptr ? std::unordered_set<int>(flavors->begin(), flavors->end())
                           : std::unordered_set<int>{};
    const std::vector<TTocEntry> entries = file.Entries();
    for (const TTocEntry& entry : entries) {
        if (entry.RawName[0] != 'L' || entry.RawName[1] != '$') continue;
        const TChunkBuffer data = file.ReadEntry(entry);
        const std::string name = entry.Name();
        const records::TChunkView chunk{data, name, file.FileText()};
        if (flavors != nullptr && records::LinkCount(chunk) > 0 &&
            !flavorSet.contains(records::LinkAt(chunk, 0).Flavor))
            continue;
        records::ForEachLink(chunk, [&](std::size_t, const records::TLinkRecord& rec) {
            if (objects != nullptr &&
                (!objectSet.contains(rec.Source) || !objectSet.contains(rec.Dest)))
                return;
            onLink(rec.LinkId, rec.Source, rec.Dest, rec.Flavor);
        });
    }
}

} // namespace kv
