// Object names and metaproperty ancestry of one mission or gamesys, indexed once per operation.
// Every index keeps what a walk of the chunk in file order would find first.
#include "mission/ChunkRecords.h"
#include "mission/MissionDb.h"

#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace kv {

namespace {

constexpr std::uint16_t kMetaPropFlavor = 1;
// Real ancestries are a handful of IDs; links that branch and join again many times over could
// otherwise grow the list without bound.
constexpr std::size_t kMaxAncestors = 100000;

struct TMetaLink {
    std::int32_t Dest = 0;
    std::int32_t NamePriority = 0;     // 0 when the link has no priority
    std::int32_t AncestorPriority = 0; // -1 when the link has no priority
};

using TMetaLinks = std::vector<TMetaLink>;

} // namespace

struct TMissionNames::TImpl {
    std::string FileText;
    std::unordered_map<std::int32_t, std::string> SymNames; // first record per ID
    std::unordered_map<std::int32_t, std::string> ObjMap;   // first record per ID
    bool HasLinks = false;
    bool HasLinkData = false;
    std::unordered_map<std::int32_t, TMetaLinks> LinksBySource;     // flavor 1, file order
    std::unordered_map<std::int32_t, TMetaLinks> AncestorsBySource; // highest priority first

    void LoadMeta(TMissionFile& file);
    [[nodiscard]] std::string BaseName(std::int32_t id) const;
    [[nodiscard]] const TMetaLinks* Ancestors(std::int32_t id) const;
};

void TMissionNames::TImpl::LoadMeta(TMissionFile& file) {
    const std::optional<TChunkBuffer> links = file.ReadChunk("L$MetaProp");
    const std::optional<TChunkBuffer> linkData = file.ReadChunk("LD$MetaProp");
    HasLinks = links.has_value();
    HasLinkData = linkData.has_value();
    std::unordered_map<std::int32_t, std::int32_t> priorities; // first record per link ID
    if (linkData) {
        const records::TLinkDataChunk ld(*linkData);
        if (ld.DataSize() == 4) {
            priorities.reserve(ld.Count());
            for (std::size_t i = 0; i < ld.Count(); ++i)
                priorities.try_emplace(ld.LinkId(i), ReadI32(ld.Data(i).data()));
        }
    }
    if (!links) return;
    const std::size_t count = records::LinkCount(*links);
    for (std::size_t i = 0; i < count; ++i) {
        const records::TLinkRecord rec = records::LinkAt(*links, i);
        if (rec.Flavor != kMetaPropFlavor) continue;
        const auto p = priorities.find(rec.LinkId);
        const bool found = p != priorities.end();
        LinksBySource[rec.Source].push_back(
            {rec.Dest, found ? p->second : 0, found ? p->second : -1});
    }
    for (const auto& [source, list] : LinksBySource) {
        TMetaLinks sorted = list;
        std::stable_sort(sorted.begin(), sorted.end(), [](const TMetaLink& a, const TMetaLink& b) {
            return a.AncestorPriority > b.AncestorPriority;
        });
        AncestorsBySource.emplace(source, std::move(sorted));
    }
}

std::string TMissionNames::TImpl::BaseName(std::int32_t id) const {
    if (id == 0) return {};
    if (const auto s = SymNames.find(id); s != SymNames.end() && !s->second.empty())
        return s->second;
    if (const auto o = ObjMap.find(id); o != ObjMap.end()) return o->second;
    return {};
}

const TMetaLinks* TMissionNames::TImpl::Ancestors(std::int32_t id) const {
    if (!HasLinks || !HasLinkData) return nullptr;
    const auto it = AncestorsBySource.find(id);
    return it != AncestorsBySource.end() ? &it->second : nullptr;
}

void TMissionNames::Load(TMissionFile& file) {
    auto impl = std::make_shared<TImpl>();
    impl->FileText = PathToText(file.FileName());
    if (const auto sym = file.ReadChunk("P$SymName")) {
        records::ForEachProp(*sym, [&](std::int32_t id, records::TBytesView data) {
            impl->SymNames.try_emplace(id, records::NameString(data));
        });
    }
    if (const auto map = file.ReadChunk("OBJ_MAP")) {
        records::ForEachNameRecord(*map, [&](std::int32_t id, std::string name) {
            impl->ObjMap.try_emplace(id, std::move(name));
        });
    }
    impl->LoadMeta(file);
    impl_ = std::move(impl);
}

void TMissionNames::LoadMetaProps(TMissionFile& file) {
    auto impl = std::make_shared<TImpl>();
    impl->FileText = PathToText(file.FileName());
    impl->LoadMeta(file);
    impl_ = std::move(impl);
}

bool TMissionNames::HasMetaProps() const { return impl_ && impl_->HasLinks; }

std::string TMissionNames::GetObjectName(std::int32_t objId, bool withArchetype) const {
    if (!impl_ || objId == 0) return {};
    std::string name = impl_->BaseName(objId);
    if (!name.empty() || !withArchetype || !impl_->HasLinks) return name;
    const auto links = impl_->LinksBySource.find(objId);
    if (links == impl_->LinksBySource.end()) return {};
    // The cheapest link; a later one wins only with a strictly smaller priority.
    const TMetaLink* chosen = nullptr;
    for (const TMetaLink& l : links->second) {
        if (chosen == nullptr || l.NamePriority < chosen->NamePriority) chosen = &l;
    }
    const std::string archetype = impl_->BaseName(chosen->Dest);
    if (archetype.empty()) return {};
    switch (AnsiUpperChar(archetype[0])) {
    case 'A':
    case 'E':
    case 'I':
    case 'O':
    case 'U': return "An " + archetype;
    default: return "A " + archetype;
    }
}

void TMissionNames::GetMetaPropAncestors(std::int32_t objId,
                                         std::vector<std::int32_t>& list) const {
    GetMetaPropAncestors(objId, list, nullptr);
}

void TMissionNames::GetMetaPropAncestors(std::int32_t objId, std::vector<std::int32_t>& list,
                                         const TMissionNames* gamesys) const {
    const TImpl* mission = impl_.get();
    const TImpl* gam = gamesys != nullptr ? gamesys->impl_.get() : nullptr;
    const auto childrenOf = [&](std::int32_t id) -> const TMetaLinks* {
        const TImpl* source = (id <= 0 && gam != nullptr && gam->HasLinks) ? gam : mission;
        return source != nullptr ? source->Ancestors(id) : nullptr;
    };
    // Depth first and in preorder, without recursion so that long chains cannot exhaust the
    // stack; an ID already on the path from the object is not entered again.
    struct TFrame {
        std::int32_t Id;
        const TMetaLinks* Children;
        std::size_t Next;
    };
    std::vector<TFrame> stack{{objId, childrenOf(objId), 0}};
    std::unordered_set<std::int32_t> onPath{objId};
    std::size_t added = 0;
    while (!stack.empty()) {
        TFrame& top = stack.back();
        if (top.Children == nullptr || top.Next >= top.Children->size()) {
            onPath.erase(top.Id);
            stack.pop_back();
            continue;
        }
        const std::int32_t dest = (*top.Children)[top.Next++].Dest;
        if (onPath.contains(dest)) continue;
        if (++added > kMaxAncestors) {
            throw Exception("Cannot read mission file \"" + (mission ? mission->FileText : "") +
                            "\": the metaproperty links of object " + std::to_string(objId) +
                            " lead to more than " + std::to_string(kMaxAncestors) + " ancestors");
        }
        list.push_back(dest);
        onPath.insert(dest);
        stack.push_back({dest, childrenOf(dest), 0});
    }
}

} // namespace kv
