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
    bool HasLinks = false;
    bool HasLinkData = false;
    TChunkBuffer LinkChunk;     // L$MetaProp
    TChunkBuffer LinkDataChunk; // LD$MetaProp

    // Built on first use, so that an operation pays only for the lookups it makes.
    mutable bool NamesBuilt = false;
    mutable TFirstIndex SymNames; // first record per ID: its offset in SymChunk
    mutable TFirstIndex ObjMap;   // first record per ID: its offset in MapChunk
    mutable bool MetaBuilt = false;
    mutable TFirstIndex Groups; // source -> into LinkGroups
    mutable std::vector<TLinkGroup> LinkGroups;
    mutable std::vector<TMetaLink> Links;     // flavor 1, grouped by source, file order in a group
    mutable std::vector<TMetaLink> Ancestors; // the same groups, highest priority first
    mutable std::size_t DestCount = 0;        // links of flavor 1, with the range of their dests
    mutable std::int32_t DestLo = 0;
    mutable std::int32_t DestHi = 0;

    // The chunks as the record walks read them; their names are the ones Load asks for.
    [[nodiscard]] records::TChunkView SymView() const { return {SymChunk, "P$SymName", FileText}; }
    [[nodiscard]] records::TChunkView MapView() const { return {MapChunk, "OBJ_MAP", FileText}; }
    [[nodiscard]] records::TChunkView LinkView() const {
        return {LinkChunk, "L$MetaProp", FileText};
    }
    [[nodiscard]] records::TChunkView LinkDataView() const {
        return {LinkDataChunk, "LD$MetaProp", FileText};
    }

    void ReadMeta(TMissionFile& file);
    void BuildNames() const;
    void BuildMeta() const;
    void EnsureNames() const {
        if (!NamesBuilt) BuildNames();
    }
    void EnsureMeta() const {
        if (!MetaBuilt) BuildMeta();
    }
    [[nodiscard]] std::string_view BaseName(std::int32_t id) const;
    [[nodiscard]] std::span<const TMetaLink> Group(const std::vector<TMetaLink>& all,
                                                   std::int32_t id) const {
        EnsureMeta();
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

void TMissionNames::TImpl::ReadMeta(TMissionFile& file) {
    if (auto links = file.ReadChunk("L$MetaProp")) {
        HasLinks = true;
        LinkChunk = std::move(*links);
    }
    if (auto linkData = file.ReadChunk("LD$MetaProp")) {
        HasLinkData = true;
        LinkDataChunk = std::move(*linkData);
    }
}

void TMissionNames::TImpl::BuildMeta() const {
    MetaBuilt = true;
    TFirstIndex priorities; // first record per link ID, into values
    std::vector<std::int32_t> values;
    if (HasLinkData) {
        const records::TLinkDataChunk ld(LinkDataView());
        if (ld.DataSize() == 4) {
            std::int32_t lo = 0;
            std::int32_t hi = 0;
            ld.ForEach([&](std::size_t i, std::int32_t linkId, const records::TByteCursor&) {
                lo = i == 0 ? linkId : std::min(lo, linkId);
                hi = i == 0 ? linkId : std::max(hi, linkId);
            });
            priorities.Reserve(ld.Count(), lo, hi);
            ld.ForEach([&](std::size_t, std::int32_t linkId, records::TByteCursor data) {
                const auto next = static_cast<std::uint32_t>(values.size());
                if (priorities.FindOrAdd(linkId, next) == next) values.push_back(data.I32());
            });
        }
    }
    if (!HasLinks) return;
    const records::TChunkView links = LinkView();
    const std::size_t count = records::LinkCount(links);
    std::size_t sources = 0; // an upper bound, with the range of the sources
    std::int32_t lo = 0;
    std::int32_t hi = 0;
    records::ForEachLink(links, [&](std::size_t, const records::TLinkRecord& rec) {
        if (rec.Flavor != kMetaPropFlavor) return;
        lo = sources == 0 ? rec.Source : std::min(lo, rec.Source);
        hi = sources == 0 ? rec.Source : std::max(hi, rec.Source);
        DestLo = sources == 0 ? rec.Dest : std::min(DestLo, rec.Dest);
        DestHi = sources == 0 ? rec.Dest : std::max(DestHi, rec.Dest);
        ++sources;
    });
    DestCount = sources;
    Groups.Reserve(sources, lo, hi);
    // Two passes of a counting sort: group sizes first, then every link into its group.
    std::vector<std::uint32_t> groupOf(count, TIdIndex::kNone);
    records::ForEachLink(links, [&](std::size_t i, const records::TLinkRecord& rec) {
        if (rec.Flavor != kMetaPropFlavor) return;
        const auto next = static_cast<std::uint32_t>(LinkGroups.size());
        groupOf[i] = Groups.FindOrAdd(rec.Source, next);
        if (groupOf[i] == next) LinkGroups.push_back({});
        ++LinkGroups[groupOf[i]].Count;
    });
    std::uint32_t start = 0;
    for (TLinkGroup& g : LinkGroups) {
        g.Start = start;
        start += g.Count;
    }
    Links.resize(start);
    std::vector<std::uint32_t> filled(LinkGroups.size(), 0);
    records::ForEachLink(links, [&](std::size_t i, const records::TLinkRecord& rec) {
        if (groupOf[i] == TIdIndex::kNone) return;
        const std::uint32_t p = priorities.Find(rec.LinkId);
        const bool found = p != TIdIndex::kNone;
        const std::int32_t priority = found ? values[p] : 0;
        Links[LinkGroups[groupOf[i]].Start + filled[groupOf[i]]++] = {
            rec.Dest, found ? priority : 0, found ? priority : -1};
    });
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

void TMissionNames::TImpl::BuildNames() const {
    NamesBuilt = true;
    // A first pass for the number and range of the IDs.
    const auto counter = [](std::size_t& count, std::int32_t& lo, std::int32_t& hi) {
        return [&](const auto& rec) {
            lo = count == 0 ? rec.Id : std::min(lo, rec.Id);
            hi = count == 0 ? rec.Id : std::max(hi, rec.Id);
            ++count;
        };
    };
    const records::TChunkView sym = SymView();
    const records::TChunkView map = MapView();
    std::size_t symCount = 0;
    std::int32_t symLo = 0;
    std::int32_t symHi = 0;
    records::ForEachProp(sym, counter(symCount, symLo, symHi));
    std::size_t mapCount = 0;
    std::int32_t mapLo = 0;
    std::int32_t mapHi = 0;
    records::ForEachNameRecord(map, counter(mapCount, mapLo, mapHi));
    SymNames.Reserve(symCount, symLo, symHi);
    ObjMap.Reserve(mapCount, mapLo, mapHi);
    records::ForEachProp(sym, [&](const records::TPropRecord& rec) {
        SymNames.TryAdd(rec.Id, static_cast<std::uint32_t>(rec.Offset));
    });
    records::ForEachNameRecord(map, [&](const records::TNameRecord& rec) {
        ObjMap.TryAdd(rec.Id, static_cast<std::uint32_t>(rec.Offset));
    });
}

std::string_view TMissionNames::TImpl::BaseName(std::int32_t id) const {
    if (id == 0) return {};
    EnsureNames();
    if (const std::uint32_t s = SymNames.Find(id); s != TIdIndex::kNone) {
        const records::TChunkView sym = SymView();
        const std::string_view name = records::NameString(records::PropAt(sym, s).Data);
        if (!name.empty()) return name;
    }
    if (const std::uint32_t o = ObjMap.Find(id); o != TIdIndex::kNone)
        return records::NameRecordAt(MapView(), o).Name;
    return {};
}

void AppendShownName(std::string& out, std::string_view name) {
    if (name.size() <= kMaxShownNameLength) {
        out += name;
        return;
    }
    out += name.substr(0, kMaxShownNameLength);
    out += "...";
}

void TMissionNames::Load(TMissionFile& file) {
    auto impl = std::make_shared<TImpl>();
    impl->FileText = file.FileText();
    if (auto sym = file.ReadChunk("P$SymName")) impl->SymChunk = std::move(*sym);
    if (auto map = file.ReadChunk("OBJ_MAP")) impl->MapChunk = std::move(*map);
    impl->ReadMeta(file);
    impl_ = std::move(impl);
}

void TMissionNames::LoadMetaProps(TMissionFile& file) {
    auto impl = std::make_shared<TImpl>();
    impl->FileText = file.FileText();
    impl->NamesBuilt = true; // a gamesys's names are never used
    impl->ReadMeta(file);
    impl_ = std::move(impl);
}

bool TMissionNames::HasMetaProps() const { return impl_ && impl_->HasLinks; }

std::string TMissionNames::GetObjectName(std::int32_t objId, bool withArchetype) const {
    std::string out;
    AppendObjectName(objId, withArchetype, out);
    return out;
}

void TMissionNames::AppendObjectName(std::int32_t objId, bool withArchetype,
                                     std::string& out) const {
    if (!impl_ || objId == 0) return;
    const std::string_view name = impl_->BaseName(objId);
    if (!name.empty() || !withArchetype || !impl_->HasLinks) {
        AppendShownName(out, name);
        return;
    }
    const std::span<const TMetaLink> links = impl_->Group(impl_->Links, objId);
    if (links.empty()) return;
    // The cheapest link; a later one wins only with a strictly smaller priority.
    std::size_t chosen = 0;
    for (std::size_t i = 1; i < links.size(); ++i) {
        if (links[i].NamePriority < links[chosen].NamePriority) chosen = i;
    }
    const std::string_view archetype = impl_->BaseName(links[chosen].Dest);
    if (archetype.empty()) return;
    switch (AnsiUpperChar(archetype[0])) {
    case 'A':
    case 'E':
    case 'I':
    case 'O':
    case 'U': out += "An "; break;
    default: out += "A "; break;
    }
    AppendShownName(out, archetype);
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
    std::uint64_t Followed = 0; // links followed, for measuring

    // FirstMatch's answers for one filter. The links are split into groups that reach each
    // other (cycles) as they are met; an ID outside a cycle is answered from its children's
    // answers, since nothing below it leads back to it. An ID inside a cycle is answered by a
    // walk of its own group only, taking the answers of the IDs it leaves the group for, and
    // only when something outside the group, or the caller, asks for it.
    enum class TMemoState : std::uint8_t { Unknown, Busy, Lazy, Done };
    struct TMemo {
        std::int32_t Id = 0;
        std::uint32_t Size = 0; // the list's length, at most kMaxAncestors + 1
        std::int32_t First = 0;
        std::uint32_t Order = 0; // when it was met, for finding the groups
        std::uint32_t Low = 0;   // the earliest ID still open that it leads to
        std::uint32_t Group = 0; // the Order of its group's first ID
        bool Found = false;
        bool Matches = false; // the filter holds for the ID itself
        TMemoState State = TMemoState::Unknown;
    };
    struct TMemoFrame {
        std::int32_t Id;
        std::uint32_t Memo;
        const TMetaLink* Children;
        std::size_t Count;
        std::size_t Next;
    };
    std::function<bool(std::int32_t)> Filter;
    TFirstIndex MemoIndex; // ID -> into Memos; every ID asked for is the dest of some link
    std::vector<TMemo> Memos;
    std::vector<TMemoFrame> MemoStack;
    std::vector<std::uint32_t> Open; // IDs met whose group is not complete yet
    std::vector<std::uint32_t> Members;
    std::vector<std::uint8_t> PathMark;
    std::uint32_t NextOrder = 0;

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
            ++Followed;
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
            ++Followed;
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

    void ResetMemos() {
        std::size_t count = 0;
        std::int32_t lo = 0;
        std::int32_t hi = 0;
        for (const TImpl* source : {Mission, Gam}) {
            if (source == nullptr || !source->HasLinks) continue;
            source->EnsureMeta();
            if (source->DestCount == 0) continue;
            lo = count == 0 ? source->DestLo : std::min(lo, source->DestLo);
            hi = count == 0 ? source->DestHi : std::max(hi, source->DestHi);
            count += source->DestCount;
        }
        MemoIndex = TFirstIndex();
        MemoIndex.Reserve(count, lo, hi);
    }

    std::uint32_t MemoOf(std::int32_t id) {
        const auto next = static_cast<std::uint32_t>(Memos.size());
        const std::uint32_t at = MemoIndex.FindOrAdd(id, next);
        if (at == next) Memos.push_back({.Id = id, .Matches = Filter(id)});
        return at;
    }

    static void Add(TMemo& to, std::int32_t child, const TMemo& below) {
        if (!to.Found && (below.Matches || below.Found)) {
            to.Found = true;
            to.First = below.Matches ? child : below.First;
        }
        const std::uint64_t size = std::uint64_t{to.Size} + 1 + below.Size;
        to.Size = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, kMaxAncestors + 1));
    }

    void Enter(std::int32_t id, std::uint32_t memo) {
        std::size_t count = 0;
        const TMetaLink* children = ChildrenOf(id, count);
        TMemo& m = Memos[memo];
        m.State = TMemoState::Busy;
        m.Order = m.Low = NextOrder++;
        Open.push_back(memo);
        MemoStack.push_back({id, memo, children, count, 0});
    }

    // The walk of one ID of a cycle, in preorder as Walk goes, entering only its own group and
    // taking the answers of the IDs outside it, which nothing on the path can be reached from.
    void WalkGroup(std::uint32_t memo, std::int32_t id) {
        const std::uint32_t group = Memos[memo].Group;
        TMemo answer;
        if (PathMark.size() < Memos.size()) PathMark.resize(Memos.size(), 0);
        std::size_t count = 0;
        const TMetaLink* children = ChildrenOf(id, count);
        MemoStack.clear();
        MemoStack.push_back({id, memo, children, count, 0});
        PathMark[memo] = 1;
        while (!MemoStack.empty() && answer.Size <= kMaxAncestors) {
            TMemoFrame& top = MemoStack.back();
            if (top.Next >= top.Count) {
                PathMark[top.Memo] = 0;
                MemoStack.pop_back();
                continue;
            }
            const std::int32_t child = top.Children[top.Next++].Dest;
            ++Followed;
            const std::uint32_t c = MemoIndex.Find(child);
            if (PathMark[c] != 0) continue;
            const TMemo& below = Memos[c];
            if (below.Group != group) {
                Add(answer, child, below);
                continue;
            }
            Add(answer, child, TMemo{.Matches = below.Matches});
            children = ChildrenOf(child, count);
            MemoStack.push_back({child, c, children, count, 0});
            PathMark[c] = 1;
        }
        for (const TMemoFrame& f : MemoStack) PathMark[f.Memo] = 0;
        MemoStack.clear();
        TMemo& m = Memos[memo];
        m.Size = answer.Size;
        m.Found = answer.Found;
        m.First = answer.First;
        m.State = TMemoState::Done;
    }

    const TMemo& Answer(std::uint32_t memo) {
        if (Memos[memo].State == TMemoState::Lazy) {
            std::vector<TMemoFrame> outer;
            outer.swap(MemoStack);
            WalkGroup(memo, Memos[memo].Id);
            MemoStack.swap(outer);
        }
        return Memos[memo];
    }

    // A group is complete when its first ID is done: an ID alone is answered at once; in a
    // cycle, the IDs the group leads out to are, so that a later walk of the group finds them.
    void CloseGroup(std::uint32_t first) {
        const std::uint32_t order = Memos[first].Order;
        if (Open.back() == first) { // alone, the common case
            Open.pop_back();
            TMemo& m = Memos[first];
            m.Group = order;
            m.State = TMemoState::Lazy;
            Memos[first] = AnswerFromChildren(first, order);
            return;
        }
        const auto begin = std::find(Open.rbegin(), Open.rend(), first).base() - 1;
        Members.assign(begin, Open.end());
        Open.erase(begin, Open.end());
        for (const std::uint32_t m : Members) {
            Memos[m].Group = order;
            Memos[m].State = TMemoState::Lazy;
        }
        for (const std::uint32_t m : Members) static_cast<void>(AnswerFromChildren(m, order));
    }

    // The answer of an ID from its children outside its group, each of which is answered.
    TMemo AnswerFromChildren(std::uint32_t memo, std::uint32_t group) {
        const std::int32_t id = Memos[memo].Id;
        std::size_t count = 0;
        const TMetaLink* children = ChildrenOf(id, count);
        TMemo answer;
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t child = children[i].Dest;
            ++Followed;
            if (child == id) continue; // a link to itself is never followed, as in the walk
            const std::uint32_t c = MemoIndex.Find(child);
            if (Memos[c].Group == group) continue;
            Add(answer, child, Answer(c));
        }
        answer.Id = id;
        answer.Matches = Memos[memo].Matches;
        answer.Order = answer.Group = group;
        answer.State = TMemoState::Done;
        return answer;
    }

    // Every ID below ObjID met once, children before parents, without recursion; the groups
    // are found as Tarjan's strongly connected components.
    const TMemo& Solve(std::int32_t objId) {
        const std::uint32_t root = MemoOf(objId);
        if (Memos[root].State != TMemoState::Unknown) return Answer(root);
        MemoStack.clear();
        Enter(objId, root);
        while (!MemoStack.empty()) {
            TMemoFrame& top = MemoStack.back();
            if (top.Next >= top.Count) {
                const std::uint32_t done = top.Memo;
                MemoStack.pop_back();
                if (Memos[done].Low == Memos[done].Order) CloseGroup(done);
                continue;
            }
            const std::int32_t child = top.Children[top.Next].Dest;
            const std::uint32_t c = MemoOf(child);
            if (Memos[c].State == TMemoState::Unknown) {
                Enter(child, c); // the link is taken again when the child is done
                continue;
            }
            ++top.Next;
            ++Followed;
            if (Memos[c].State == TMemoState::Busy) {
                Memos[top.Memo].Low = std::min(Memos[top.Memo].Low, Memos[c].Low);
            }
        }
        return Answer(root);
    }

    // The answer of ObjID from its children's, without keeping one for ObjID itself: objects
    // are asked once each, archetypes again and again.
    TMemo Combine(std::int32_t objId) {
        if (const std::uint32_t known = MemoIndex.Find(objId); known != TIdIndex::kNone) {
            return Answer(known);
        }
        TMemo out;
        std::size_t count = 0;
        const TMetaLink* children = ChildrenOf(objId, count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t child = children[i].Dest;
            ++Followed;
            if (child == objId) continue;
            Add(out, child, Solve(child));
        }
        // Some child's ancestry led back to ObjID, which is then answered with its cycle.
        if (const std::uint32_t met = MemoIndex.Find(objId); met != TIdIndex::kNone) {
            return Answer(met);
        }
        return out;
    }

    std::optional<std::int32_t> FirstMatch(std::int32_t objId) {
        const TMemo memo = Combine(objId);
        if (memo.Size <= kMaxAncestors) {
            if (memo.Found) return memo.First;
            return std::nullopt;
        }
        // A list too long takes the walk itself, which throws.
        Scratch.clear();
        Get(objId, Scratch);
        for (const std::int32_t ancestor : Scratch) {
            if (Filter(ancestor)) return ancestor;
        }
        return std::nullopt;
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

void TMetaPropAncestry::SetFilter(std::function<bool(std::int32_t)> filter) {
    state_->Filter = std::move(filter);
    state_->ResetMemos();
    state_->Memos.clear();
    state_->Open.clear();
    state_->NextOrder = 0;
}

std::optional<std::int32_t> TMetaPropAncestry::FirstMatch(std::int32_t objId) {
    return state_->FirstMatch(objId);
}

std::uint64_t TMetaPropAncestry::LinksFollowed() const { return state_->Followed; }

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
