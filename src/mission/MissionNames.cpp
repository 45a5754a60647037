// Object names and metaproperty ancestry of one mission or gamesys, indexed once per operation.
// Every index keeps what a walk of the chunk in file order would find first. The indexes are
// flat: names are views into the chunks the index holds, links lie grouped by source in one
// array.
#include "mission/ChunkRecords.h"
#include "mission/IdIndex.h"
#include "mission/MissionDb.h"

#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace kv {

namespace {

constexpr std::uint16_t kMetaPropFlavor = 1;
// Real ancestries are a handful of IDs; links that branch and join again many times over could
// otherwise grow the list without bound.
constexpr std::size_t kMaxAncestors = 100000;
// Paths up to this depth are searched along the stack; deeper ones through a hash set.
constexpr std::size_t kShortPath = 32;

struct TMetaLink {
    std::int32_t Dest = 0;
    std::int32_t NamePriority = 0;     // 0 when the link has no priority
    std::int32_t AncestorPriority = 0; // -1 when the link has no priority
};

struct TLinkGroup {
    std::uint32_t Start = 0;
    std::uint32_t Count = 0;
};

} // namespace

struct TMissionNames::TImpl {
    std::string FileText;
    TChunkBuffer SymChunk;
    TChunkBuffer MapChunk;
    std::vector<std::string_view> Names; // into SymChunk and MapChunk
    TIdIndex SymNames;                   // first record per ID, into Names
    TIdIndex ObjMap;                     // first record per ID, into Names
    bool HasLinks = false;
    bool HasLinkData = false;
    TIdIndex Groups; // source -> into LinkGroups
    std::vector<TLinkGroup> LinkGroups;
    std::vector<TMetaLink> Links;     // flavor 1, grouped by source, file order within a group
    std::vector<TMetaLink> Ancestors; // the same groups, highest priority first

    void LoadMeta(TMissionFile& file);
    [[nodiscard]] std::string_view BaseName(std::int32_t id) const;
    [[nodiscard]] std::span<const TMetaLink> Group(const std::vector<TMetaLink>& all,
                                                   std::int32_t id) const {
        const std::uint32_t g = Groups.Find(id);
        if (g == TIdIndex::kNone) return {};
        return {all.data() + LinkGroups[g].Start, LinkGroups[g].Count};
    }
    // Null when the ID has no ancestor links (or the file lacks either chunk).
    [[nodiscard]] const TMetaLink* AncestorsOf(std::int32_t id, std::size_t& count) const {
        count = 0;
        if (!HasLinks || !HasLinkData) return nullptr;
        const std::span<const TMetaLink> group = Group(Ancestors, id);
        count = group.size();
        return group.empty() ? nullptr : group.data();
    }
};

void TMissionNames::TImpl::LoadMeta(TMissionFile& file) {
    const std::optional<TChunkBuffer> links = file.ReadChunk("L$MetaProp");
    const std::optional<TChunkBuffer> linkData = file.ReadChunk("LD$MetaProp");
    HasLinks = links.has_value();
    HasLinkData = linkData.has_value();
    TIdIndex priorities; // first record per link ID, into values
    std::vector<std::int32_t> values;
    if (linkData) {
        const records::TLinkDataChunk ld(*linkData);
        if (ld.DataSize() == 4) {
            priorities.Reserve(ld.Count());
            for (std::size_t i = 0; i < ld.Count(); ++i) {
                if (priorities.TryAdd(ld.LinkId(i), static_cast<std::uint32_t>(values.size())))
                    values.push_back(ReadI32(ld.Data(i).data()));
            }
        }
    }
    if (!links) return;
    const std::size_t count = records::LinkCount(*links);
    // Two passes of a counting sort: group sizes first, then every link into its group.
    std::vector<std::uint32_t> groupOf(count, TIdIndex::kNone);
    for (std::size_t i = 0; i < count; ++i) {
        const records::TLinkRecord rec = records::LinkAt(*links, i);
        if (rec.Flavor != kMetaPropFlavor) continue;
        const auto next = static_cast<std::uint32_t>(LinkGroups.size());
        if (Groups.TryAdd(rec.Source, next)) LinkGroups.push_back({});
        groupOf[i] = Groups.Find(rec.Source);
        ++LinkGroups[groupOf[i]].Count;
    }
    std::uint32_t start = 0;
    for (TLinkGroup& g : LinkGroups) {
        g.Start = start;
        start += g.Count;
    }
    Links.resize(start);
    std::vector<std::uint32_t> filled(LinkGroups.size(), 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (groupOf[i] == TIdIndex::kNone) continue;
        const records::TLinkRecord rec = records::LinkAt(*links, i);
        const std::uint32_t p = priorities.Find(rec.LinkId);
        const bool found = p != TIdIndex::kNone;
        const std::int32_t priority = found ? values[p] : 0;
        Links[LinkGroups[groupOf[i]].Start + filled[groupOf[i]]++] = {
            rec.Dest, found ? priority : 0, found ? priority : -1};
    }
    Ancestors = Links;
    for (const TLinkGroup& g : LinkGroups) {
        // Groups are a handful of links: an insertion sort, stable, without a buffer to allocate.
        TMetaLink* const first = Ancestors.data() + g.Start;
        const auto higher = [](const TMetaLink& a, const TMetaLink& b) {
            return a.AncestorPriority > b.AncestorPriority;
        };
        if (g.Count > 32) {
            std::stable_sort(first, first + g.Count, higher);
            continue;
        }
        for (std::uint32_t i = 1; i < g.Count; ++i) {
            const TMetaLink moving = first[i];
            std::uint32_t j = i;
            for (; j > 0 && higher(moving, first[j - 1]); --j) first[j] = first[j - 1];
            first[j] = moving;
        }
    }
}

std::string_view TMissionNames::TImpl::BaseName(std::int32_t id) const {
    if (id == 0) return {};
    if (const std::uint32_t s = SymNames.Find(id); s != TIdIndex::kNone && !Names[s].empty())
        return Names[s];
    if (const std::uint32_t o = ObjMap.Find(id); o != TIdIndex::kNone) return Names[o];
    return {};
}

void TMissionNames::Load(TMissionFile& file) {
    auto impl = std::make_shared<TImpl>();
    impl->FileText = PathToText(file.FileName());
    if (auto sym = file.ReadChunk("P$SymName")) {
        impl->SymChunk = std::move(*sym);
        records::ForEachProp(impl->SymChunk, [&](std::int32_t id, records::TBytesView data) {
            if (impl->SymNames.TryAdd(id, static_cast<std::uint32_t>(impl->Names.size())))
                impl->Names.push_back(records::NameString(data));
        });
    }
    if (auto map = file.ReadChunk("OBJ_MAP")) {
        impl->MapChunk = std::move(*map);
        records::ForEachNameRecord(impl->MapChunk, [&](std::int32_t id, std::string_view name) {
            if (impl->ObjMap.TryAdd(id, static_cast<std::uint32_t>(impl->Names.size())))
                impl->Names.push_back(name);
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
    const std::string_view name = impl_->BaseName(objId);
    if (!name.empty() || !withArchetype || !impl_->HasLinks) return std::string(name);
    const std::span<const TMetaLink> links = impl_->Group(impl_->Links, objId);
    if (links.empty()) return {};
    // The cheapest link; a later one wins only with a strictly smaller priority.
    std::size_t chosen = 0;
    for (std::size_t i = 1; i < links.size(); ++i) {
        if (links[i].NamePriority < links[chosen].NamePriority) chosen = i;
    }
    const std::string_view archetype = impl_->BaseName(links[chosen].Dest);
    if (archetype.empty()) return {};
    std::string out;
    out.reserve(archetype.size() + 3);
    switch (AnsiUpperChar(archetype[0])) {
    case 'A':
    case 'E':
    case 'I':
    case 'O':
    case 'U': out = "An "; break;
    default: out = "A "; break;
    }
    out += archetype;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Metaproperty ancestry

struct TMetaPropAncestry::TState {
    using TImpl = TMissionNames::TImpl;

    struct TFrame {
        std::int32_t Id;
        const TMetaLink* Children;
        std::size_t Count;
        std::size_t Next;
    };
    // The ancestors of one ID walked on their own, in Pool; Usable is false when there were
    // too many to keep.
    struct TEntry {
        std::uint32_t Start = 0;
        std::uint32_t Count = 0;
        std::int32_t Min = 0;
        std::int32_t Max = 0;
        bool Usable = false;
    };
    static constexpr std::size_t kMaxCached = 1024;

    const TImpl* Mission = nullptr;
    const TImpl* Gam = nullptr;
    std::vector<TFrame> Stack;
    std::unordered_set<std::int32_t> DeepPath;
    bool Deep = false;
    TIdIndex CacheIndex; // ID -> into Entries
    std::vector<TEntry> Entries;
    std::vector<std::int32_t> Pool;
    std::vector<std::int32_t> Scratch;

    [[nodiscard]] const TMetaLink* ChildrenOf(std::int32_t id, std::size_t& count) const {
        const TImpl* source = (id <= 0 && Gam != nullptr && Gam->HasLinks) ? Gam : Mission;
        count = 0;
        return source != nullptr ? source->AncestorsOf(id, count) : nullptr;
    }

    [[nodiscard]] bool OnPath(std::int32_t id) const {
        if (Deep) return DeepPath.contains(id);
        return std::any_of(Stack.begin(), Stack.end(),
                           [id](const TFrame& f) { return f.Id == id; });
    }

    void Push(std::int32_t id) {
        std::size_t count = 0;
        const TMetaLink* children = ChildrenOf(id, count);
        Stack.push_back({id, children, count, 0});
        if (Deep) {
            DeepPath.insert(id);
        } else if (Stack.size() > kShortPath) {
            Deep = true;
            for (const TFrame& f : Stack) DeepPath.insert(f.Id);
        }
    }

    // Depth first and in preorder, without recursion so that long chains cannot exhaust the
    // stack; an ID already on the path from the object is not entered again. False when more
    // than Limit ancestors would be appended (List then holds the first Limit).
    bool Walk(std::int32_t objId, std::vector<std::int32_t>& list, std::size_t limit) {
        Stack.clear();
        DeepPath.clear();
        Deep = false;
        Push(objId);
        std::size_t added = 0;
        while (!Stack.empty()) {
            TFrame& top = Stack.back();
            if (top.Next >= top.Count) {
                if (Deep) DeepPath.erase(top.Id);
                Stack.pop_back();
                continue;
            }
            const std::int32_t dest = top.Children[top.Next++].Dest;
            if (OnPath(dest)) continue;
            if (++added > limit) return false;
            list.push_back(dest);
            Push(dest);
        }
        return true;
    }

    void WalkOrThrow(std::int32_t objId, std::vector<std::int32_t>& list) {
        if (Walk(objId, list, kMaxAncestors)) return;
        throw Exception("Cannot read mission file \"" + (Mission ? Mission->FileText : "") +
                        "\": the metaproperty links of object " + std::to_string(objId) +
                        " lead to more than " + std::to_string(kMaxAncestors) + " ancestors");
    }

    const TEntry& Cached(std::int32_t id) {
        const std::uint32_t known = CacheIndex.Find(id);
        if (known != TIdIndex::kNone) return Entries[known];
        TEntry entry;
        Scratch.clear();
        if (Walk(id, Scratch, kMaxCached)) {
            entry.Start = static_cast<std::uint32_t>(Pool.size());
            entry.Count = static_cast<std::uint32_t>(Scratch.size());
            entry.Usable = true;
            if (!Scratch.empty()) {
                const auto [lo, hi] = std::minmax_element(Scratch.begin(), Scratch.end());
                entry.Min = *lo;
                entry.Max = *hi;
            }
            Pool.insert(Pool.end(), Scratch.begin(), Scratch.end());
        }
        CacheIndex.TryAdd(id, static_cast<std::uint32_t>(Entries.size()));
        Entries.push_back(entry);
        return Entries.back();
    }

    // The walk of ObjID put together from the walks of its children on their own: the same as
    // long as no child's walk meets ObjID itself, which alone is on the path above them.
    void Get(std::int32_t objId, std::vector<std::int32_t>& list) {
        const std::size_t before = list.size();
        std::size_t count = 0;
        const TMetaLink* children = ChildrenOf(objId, count);
        std::size_t added = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t child = children[i].Dest;
            if (child == objId) continue;
            const TEntry& e = Cached(child);
            const auto first = Pool.begin() + e.Start;
            const bool meetsObject = e.Count > 0 && objId >= e.Min && objId <= e.Max &&
                                     std::find(first, first + e.Count, objId) != first + e.Count;
            if (!e.Usable || meetsObject || added + 1 + e.Count > kMaxAncestors) {
                list.resize(before);
                WalkOrThrow(objId, list);
                return;
            }
            list.push_back(child);
            list.insert(list.end(), first, first + e.Count);
            added += 1 + e.Count;
        }
    }
};

TMetaPropAncestry::TMetaPropAncestry(const TMissionNames& mission, const TMissionNames* gamesys)
    : state_(std::make_unique<TState>()) {
    state_->Mission = mission.impl_.get();
    state_->Gam = gamesys != nullptr ? gamesys->impl_.get() : nullptr;
}

TMetaPropAncestry::~TMetaPropAncestry() = default;

void TMetaPropAncestry::Get(std::int32_t objId, std::vector<std::int32_t>& list) {
    state_->Get(objId, list);
}

void TMissionNames::GetMetaPropAncestors(std::int32_t objId,
                                         std::vector<std::int32_t>& list) const {
    GetMetaPropAncestors(objId, list, nullptr);
}

void TMissionNames::GetMetaPropAncestors(std::int32_t objId, std::vector<std::int32_t>& list,
                                         const TMissionNames* gamesys) const {
    TMetaPropAncestry::TState state;
    state.Mission = impl_.get();
    state.Gam = gamesys != nullptr ? gamesys->impl_.get() : nullptr;
    state.WalkOrThrow(objId, list);
}

} // namespace kv
