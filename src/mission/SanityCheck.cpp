// The sanity check of a mission. Links are sorted so that twins lie side by side: a first pass
// on the endpoints alone drops every link without a twin before any link data is loaded, a
// second pass on the endpoints and the data reports what is really duplicated.
#include "mission/SanityCheck.h"

#include "mission/ChunkRecords.h"
#include "mission/IdIndex.h"
#include "text/Win1252.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

namespace kv {
namespace {

constexpr std::int32_t kBuggyDeathStage = 12;
constexpr std::size_t kRelationNameSize = 32;
constexpr std::size_t kLinkDataHeadSize = 4; // the data size word of an LD$ chunk
constexpr std::size_t kLinkIdSize = 4;

// One link of the mission as the duplicate search holds it: the chunk name held once for all
// links elsewhere, the data where it lies in its LD$ chunk, never copied. Links that share a
// data record share the pointer, so that comparing them costs nothing however large it is.
struct TMyLinkInfo {
    std::int32_t LinkID = 0;
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    std::uint16_t Flavor = 0;
    std::uint32_t Chunk = 0;            // the L$ chunk the link came from, into TLinkTable::Chunks
    const std::uint8_t* Data = nullptr; // into a chunk the TLinkDataCache holds
    std::uint32_t DataSize = 0;         // 0 when the link has no data
};

struct TLinkTable {
    std::vector<std::string> Chunks;
    std::vector<std::uint32_t> ChunkRank; // the place of each chunk's name in name order
    std::vector<TMyLinkInfo> Links;
};

bool SameData(const TMyLinkInfo& a, const TMyLinkInfo& b) {
    return a.Data == b.Data || std::memcmp(a.Data, b.Data, a.DataSize) == 0;
}

std::string Decimal(std::int64_t v) { return std::to_string(v); }

// ---------------------------------------------------------------------------------------------
// Death stage 12

void CheckDeathStage(TMissionFile& file, const TMissionNames& names,
                     std::vector<std::string>& report, TSanityFindings* findings) {
    const std::optional<TChunkBuffer> chunk = file.ReadChunk("P$DeathStag");
    if (!chunk) return;
    const std::size_t sectionStart = report.size();
    const records::TChunkView view{*chunk, "P$DeathStag", file.FileText()};
    records::ForEachProp(view, [&](const records::TPropRecord& rec) {
        records::TByteCursor data = rec.Data;
        if (data.Remaining() == 4 && data.I32() == kBuggyDeathStage) {
            std::string name = names.GetObjectName(rec.Id, true);
            report.push_back(" - Object ID " + Decimal(rec.Id) + " (" + name + ")");
            if (findings != nullptr) findings->DeathStage12.push_back({rec.Id, std::move(name)});
        }
    });
    const std::size_t found = report.size() - sectionStart;
    if (found == 0) return;
    const std::vector<std::string> heading = {
        "", "Deathstage 12 found on " + Decimal(static_cast<std::int64_t>(found)) + " objects",
        "This is usually a typical DromEd bug and should be fixed!"};
    report.insert(report.begin() + static_cast<std::ptrdiff_t>(sectionStart), heading.begin(),
                  heading.end());
}

// ---------------------------------------------------------------------------------------------
// The link table

std::vector<std::string> ReadRelationNames(TMissionFile& file) {
    std::vector<std::string> relations;
    const std::optional<TChunkBuffer> chunk = file.ReadChunk("Relations");
    if (!chunk) return relations;
    const records::TChunkView view{*chunk, "Relations", file.FileText()};
    records::TByteCursor c(view);
    while (c.Remaining() >= kRelationNameSize)
        relations.emplace_back(records::ZeroTerminatedView(c.Bytes(kRelationNameSize)));
    return relations;
}

// Both endpoints of a link in one word, so that twins are found by one comparison.
std::uint64_t EndpointKey(std::int32_t source, std::int32_t dest) {
    return (std::uint64_t{static_cast<std::uint32_t>(source)} << 32) |
           static_cast<std::uint32_t>(dest);
}

std::uint64_t EndpointHash(std::uint64_t key) {
    const std::uint64_t h = key * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
}

// The link records of every L$ chunk, a field to an array: the search for twins reads only the
// flavors and endpoints, and the arrays together take no more room than the records did.
struct TLinkColumns {
    std::vector<std::int32_t> LinkIds;
    std::vector<std::uint64_t> Endpoints; // EndpointKey
    std::vector<std::uint16_t> Flavors;

    // Count more records, to be filled by Set; the arrays grow as an insert of them all would.
    void Grow(std::size_t count) {
        const std::size_t size = Size();
        if (LinkIds.capacity() - size < count) {
            const std::size_t capacity = std::max(size * 2, size + count);
            LinkIds.reserve(capacity);
            Endpoints.reserve(capacity);
            Flavors.reserve(capacity);
        }
        LinkIds.resize(size + count);
        Endpoints.resize(size + count);
        Flavors.resize(size + count);
    }
    void Set(std::size_t i, const records::TLinkRecord& rec) {
        LinkIds[i] = rec.LinkId;
        Endpoints[i] = EndpointKey(rec.Source, rec.Dest);
        Flavors[i] = rec.Flavor;
    }
    [[nodiscard]] std::size_t Size() const { return Flavors.size(); }
    [[nodiscard]] std::int32_t Source(std::size_t i) const {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(Endpoints[i] >> 32));
    }
    [[nodiscard]] std::int32_t Dest(std::size_t i) const {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(Endpoints[i]));
    }
};

bool SameEndpoints(const TMyLinkInfo& a, const TMyLinkInfo& b) {
    return a.Flavor == b.Flavor && a.Source == b.Source && a.Dest == b.Dest;
}

// Marks the records that share flavor and endpoints with another. Twins share the flavor, so
// each flavor is searched on its own, in a table of its own size that stays in the cache.
std::vector<std::uint8_t> FindTwinRecords(const TLinkColumns& links) {
    constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    const std::size_t count = links.Size();
    // The records grouped by flavor, in file order within a group: a counting sort.
    TIdIndex groups; // flavor -> group
    std::vector<std::uint32_t> groupStart;
    std::vector<std::uint32_t> groupOf(count);
    for (std::size_t i = 0; i < count; ++i) {
        const auto next = static_cast<std::uint32_t>(groupStart.size());
        groupOf[i] = groups.FindOrAdd(links.Flavors[i], next);
        if (groupOf[i] == next) groupStart.push_back(0);
        ++groupStart[groupOf[i]];
    }
    std::uint32_t sum = 0;
    for (std::uint32_t& start : groupStart) {
        const std::uint32_t size = start;
        start = sum;
        sum += size;
    }
    groupStart.push_back(sum);
    std::vector<std::uint32_t> order(count);
    {
        std::vector<std::uint32_t> filled(groupStart.begin(), groupStart.end() - 1);
        for (std::size_t i = 0; i < count; ++i)
            order[filled[groupOf[i]]++] = static_cast<std::uint32_t>(i);
    }
    std::vector<std::uint8_t> twinned(count, 0);
    std::vector<std::uint32_t> slots; // the first record with the endpoints
    for (std::size_t g = 0; g + 1 < groupStart.size(); ++g) {
        const std::size_t size = groupStart[g + 1] - groupStart[g];
        std::size_t capacity = 16;
        while (capacity < size * 2) capacity *= 2;
        const std::size_t mask = capacity - 1;
        slots.assign(capacity, kEmpty);
        for (std::size_t k = groupStart[g]; k < groupStart[g + 1]; ++k) {
            const std::uint32_t i = order[k];
            const std::uint64_t key = links.Endpoints[i];
            std::size_t at = static_cast<std::size_t>(EndpointHash(key)) & mask;
            while (slots[at] != kEmpty && links.Endpoints[slots[at]] != key) at = (at + 1) & mask;
            if (slots[at] == kEmpty) {
                slots[at] = i;
            } else {
                twinned[slots[at]] = 1;
                twinned[i] = 1;
            }
        }
    }
    return twinned;
}

// Only the links that share flavor and endpoints with another link, in file order: a hash pass
// over the endpoints of every record drops the rest before anything is sorted or held per link.
TLinkTable ReadLinkTable(TMissionFile& file) {
    TLinkTable table;
    // Names are copied first: the table of contents must not be walked while chunks are read.
    for (const TTocEntry& entry : file.Entries()) {
        std::string name = entry.Name();
        if (name.starts_with("L$")) table.Chunks.push_back(std::move(name));
    }
    std::vector<std::uint32_t> byName(table.Chunks.size());
    for (std::uint32_t c = 0; c < byName.size(); ++c) byName[c] = c;
    std::sort(byName.begin(), byName.end(),
              [&](std::uint32_t a, std::uint32_t b) { return table.Chunks[a] < table.Chunks[b]; });
    table.ChunkRank.assign(table.Chunks.size(), 0);
    for (std::size_t r = 0; r < byName.size(); ++r) {
        const bool same = r > 0 && table.Chunks[byName[r]] == table.Chunks[byName[r - 1]];
        table.ChunkRank[byName[r]] =
            same ? table.ChunkRank[byName[r - 1]] : static_cast<std::uint32_t>(r);
    }
    TLinkColumns links;
    std::vector<std::size_t> firstRecord(table.Chunks.size() + 1, 0);
    for (std::uint32_t c = 0; c < table.Chunks.size(); ++c) {
        if (const std::optional<TChunkBuffer> chunk = file.ReadChunk(table.Chunks[c])) {
            const records::TChunkView view{*chunk, table.Chunks[c], file.FileText()};
            const std::size_t first = links.Size();
            links.Grow(records::LinkCount(view));
            records::ForEachLink(view, [&](std::size_t i, const records::TLinkRecord& rec) {
                links.Set(first + i, rec);
            });
        }
        firstRecord[c + 1] = links.Size();
    }
    const std::vector<std::uint8_t> twinned = FindTwinRecords(links);
    for (std::uint32_t c = 0; c < table.Chunks.size(); ++c) {
        for (std::size_t i = firstRecord[c]; i < firstRecord[c + 1]; ++i) {
            if (twinned[i] == 0) continue;
            table.Links.push_back(
                {links.LinkIds[i], links.Source(i), links.Dest(i), links.Flavors[i], c, 0, 0});
        }
    }
    return table;
}

class TSortsBefore {
public:
    explicit TSortsBefore(const TLinkTable& table) : table_(table) {}

    bool operator()(const TMyLinkInfo& a, const TMyLinkInfo& b) const {
        if (a.Flavor != b.Flavor) return a.Flavor < b.Flavor;
        if (a.Source != b.Source) {
            return static_cast<std::uint32_t>(a.Source) < static_cast<std::uint32_t>(b.Source);
        }
        if (a.Dest != b.Dest) {
            return static_cast<std::uint32_t>(a.Dest) < static_cast<std::uint32_t>(b.Dest);
        }
        if (a.DataSize != b.DataSize) return a.DataSize < b.DataSize;
        if (a.DataSize != 0 && a.Data != b.Data) {
            const int byDataBytes = std::memcmp(a.Data, b.Data, a.DataSize);
            if (byDataBytes != 0) return byDataBytes < 0;
        }
        // Identical links keep a fixed order, so the lines of the data step do not depend on
        // how the sort happened to arrange them.
        if (a.LinkID != b.LinkID) return a.LinkID < b.LinkID;
        return table_.ChunkRank[a.Chunk] < table_.ChunkRank[b.Chunk];
    }

private:
    const TLinkTable& table_;
};

bool Identical(const TMyLinkInfo& a, const TMyLinkInfo& b) {
    return SameEndpoints(a, b) && a.DataSize == b.DataSize && (a.DataSize == 0 || SameData(a, b));
}

// Sorts the table and keeps only links that have an identical twin, in sorted order. OnRun
// sees the first link and the length of every run of identical links.
template <class TOnRun> void KeepTwins(TLinkTable& table, TOnRun&& onRun) {
    std::vector<TMyLinkInfo>& links = table.Links;
    std::sort(links.begin(), links.end(), TSortsBefore(table));
    std::size_t kept = 0;
    std::size_t i = 0;
    while (i < links.size()) {
        std::size_t runEnd = i + 1;
        while (runEnd < links.size() && Identical(links[i], links[runEnd])) ++runEnd;
        if (runEnd - i > 1) {
            onRun(links[i], runEnd - i);
            for (std::size_t k = i; k < runEnd; ++k) links[kept++] = links[k];
        }
        i = runEnd;
    }
    links.resize(kept);
}

// ---------------------------------------------------------------------------------------------
// Link data

// One LD$ chunk, loaded once, with the first record of every link ID in it while its links
// are looked up; the links point into its bytes until the check ends.
class TLinkDataCache {
public:
    TLinkDataCache(TMissionFile& file, const std::string& name)
        : name_(name), chunk_(file.ReadChunk(name)) {
        if (chunk_) {
            view_ = {*chunk_, name_, file.FileText()};
            Index(name);
        }
    }
    // The view refers to the cache's own members.
    TLinkDataCache(const TLinkDataCache&) = delete;
    TLinkDataCache& operator=(const TLinkDataCache&) = delete;

    // False when the mission has no such chunk.
    [[nodiscard]] bool Present() const { return chunk_.has_value(); }
    // The lookups are done; the bytes stay.
    void ForgetIndex() { firstRecord_ = TIdIndex(); }

    [[nodiscard]] const std::string& Name() const { return name_; }
    // The word that names a link of this chunk in messages.
    [[nodiscard]] const char* Word() const { return word_; }
    [[nodiscard]] std::uint32_t DataSize() const { return dataSize_; }

    // The kept bytes of the link's data, or std::nullopt when no record has the link's ID.
    [[nodiscard]] std::optional<std::span<const std::uint8_t>> DataOf(std::int32_t linkId) const {
        const std::uint32_t at = firstRecord_.Find(linkId);
        if (at == TIdIndex::kNone) return std::nullopt;
        records::TByteCursor rec = records::TByteCursor(view_).At(at);
        rec.Skip(kLinkIdSize + keepFrom_);
        return rec.Bytes(dataSize_ - keepFrom_);
    }

private:
    void Index(const std::string& name) {
        const records::TByteCursor start(view_);
        const std::size_t size = start.Remaining();
        keepFrom_ = 0;
        // Receptron and stim chunks do not begin with their record size, so the real sizes are
        // fixed here; a receptron's first word differs between otherwise identical copies.
        if (AnsiSameText(name, "LD$Receptro")) {
            dataSize_ = 88;
            keepFrom_ = 4;
            word_ = "receptron";
        } else if (AnsiSameText(name, "LD$arSrcDes")) {
            dataSize_ = 108;
            word_ = "stim";
        } else {
            // A chunk too short for its data size word is taken as a flavor without data.
            dataSize_ = size >= kLinkDataHeadSize ? records::TByteCursor(start).U32() : 0;
            word_ = "link";
        }
        if (dataSize_ == 0 || size < kLinkDataHeadSize) return;
        // 64 bits: a hostile data size near 4 GiB must not wrap around to a tiny record.
        const std::uint64_t recordSize = std::uint64_t{dataSize_} + kLinkIdSize;
        const std::uint64_t count = (size - kLinkDataHeadSize) / recordSize;
        firstRecord_.Reserve(static_cast<std::size_t>(count));
        for (std::uint64_t r = 0; r < count; ++r) {
            const auto pos = static_cast<std::size_t>(kLinkDataHeadSize + r * recordSize);
            firstRecord_.TryAdd(start.At(pos).I32(), static_cast<std::uint32_t>(pos));
        }
    }

    std::string name_;
    std::optional<TChunkBuffer> chunk_;
    records::TChunkView view_; // of chunk_
    TIdIndex firstRecord_;
    std::uint32_t dataSize_ = 0;
    std::size_t keepFrom_ = 0;
    const char* word_ = "link";
};

std::string Hex8(std::int32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(static_cast<std::uint32_t>(v)));
    return text;
}

void LoadLinkData(TMissionFile& file, TLinkTable& table,
                  std::vector<std::unique_ptr<TLinkDataCache>>& held,
                  std::vector<std::string>& report, TSanityFindings* findings) {
    // The links are visited grouped by data chunk, so that each chunk is loaded and indexed
    // once however its links are ordered; the messages keep the order of the table.
    std::vector<std::string> dataNames(table.Chunks.size());
    for (std::size_t c = 0; c < table.Chunks.size(); ++c)
        dataNames[c] = kv::ChunkName("LD$", std::string_view(table.Chunks[c]).substr(2));
    std::vector<std::uint32_t> order(table.Links.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return dataNames[table.Links[a].Chunk] < dataNames[table.Links[b].Chunk];
    });
    enum : std::uint8_t { kFound, kNoChunk, kNoRecord };
    std::vector<std::uint8_t> outcome(table.Links.size(), kFound);
    std::vector<const char*> words(table.Links.size(), nullptr);
    TLinkDataCache* cache = nullptr;
    for (const std::uint32_t i : order) {
        TMyLinkInfo& link = table.Links[i];
        const std::string& dataChunk = dataNames[link.Chunk];
        if (cache == nullptr || cache->Name() != dataChunk) {
            if (cache != nullptr) cache->ForgetIndex();
            held.push_back(std::make_unique<TLinkDataCache>(file, dataChunk));
            cache = held.back().get();
        }
        if (!cache->Present()) {
            outcome[i] = kNoChunk;
            continue;
        }
        if (cache->DataSize() == 0) continue;
        const std::optional<std::span<const std::uint8_t>> data = cache->DataOf(link.LinkID);
        if (!data) {
            outcome[i] = kNoRecord;
            words[i] = cache->Word();
            continue;
        }
        link.Data = data->data();
        link.DataSize = static_cast<std::uint32_t>(data->size());
    }
    if (cache != nullptr) cache->ForgetIndex();
    for (std::size_t i = 0; i < table.Links.size(); ++i) {
        const TMyLinkInfo& link = table.Links[i];
        std::string problem;
        if (outcome[i] == kNoChunk) {
            problem = "wtf? no link data found for " + table.Chunks[link.Chunk];
        } else if (outcome[i] == kNoRecord) {
            problem = std::string("wtf? no data for ") + words[i] + " ID " + Hex8(link.LinkID) +
                      " found";
        } else {
            continue;
        }
        report.push_back(" " + problem);
        if (findings != nullptr) findings->LinkDataProblems.push_back(std::move(problem));
    }
}

// ---------------------------------------------------------------------------------------------
// Report lines

TDuplicateLinks DuplicateRun(const TMyLinkInfo& link, const std::string& chunkName,
                             std::size_t count, const std::vector<std::string>& relations,
                             const TMissionNames& names) {
    std::string kind;
    if (AnsiSameText(chunkName, "L$Receptron")) {
        kind = "receptrons";
    } else if (AnsiSameText(chunkName, "L$arSrcDesc")) {
        kind = "stims";
    } else if (link.Flavor >= 1 && std::size_t{link.Flavor} <= relations.size()) {
        kind = relations[std::size_t{link.Flavor} - 1] + "-links";
    } else {
        kind = "(flavor " + Decimal(link.Flavor) + ")-links";
    }
    return {count,       std::move(kind), link.Flavor, link.Source,
            names.GetObjectName(link.Source, true), link.Dest,
            names.GetObjectName(link.Dest, true)};
}

std::string DuplicateLine(const TDuplicateLinks& run) {
    const char* sourceText = " from object ID ";
    const char* destText = " to object ID ";
    if (run.Kind == "receptrons") {
        sourceText = " at object ID ";
        destText = " for stim ID ";
    } else if (run.Kind == "stims") {
        sourceText = " at object ID ";
        destText = " with stim ID ";
    }
    return " - " + Decimal(static_cast<std::int64_t>(run.Count)) + " identical " + run.Kind +
           sourceText + Decimal(run.Source) + " (" + run.SourceName + ")" + destText +
           Decimal(run.Dest) + " (" + run.DestName + ")";
}

void CheckDuplicateLinks(TMissionFile& file, const TMissionNames& names,
                         std::vector<std::string>& report, TSanityFindings* findings) {
    const std::size_t sectionStart = report.size();
    const std::vector<std::string> relations = ReadRelationNames(file);
    TLinkTable table = ReadLinkTable(file);

    KeepTwins(table, [](const TMyLinkInfo&, std::size_t) {});
    std::vector<std::unique_ptr<TLinkDataCache>> held; // the data the links point into
    LoadLinkData(file, table, held, report, findings);
    KeepTwins(table, [&](const TMyLinkInfo& first, std::size_t count) {
        TDuplicateLinks run = DuplicateRun(first, table.Chunks[first.Chunk], count, relations, names);
        report.push_back(DuplicateLine(run));
        if (findings != nullptr) findings->DuplicateLinks.push_back(std::move(run));
    });

    if (report.size() == sectionStart) return;
    const std::vector<std::string> heading = {"", "Duplicate links found:"};
    report.insert(report.begin() + static_cast<std::ptrdiff_t>(sectionStart), heading.begin(),
                  heading.end());
}

} // namespace

void RunSanityCheck(TMissionFile& file, const TMissionNames& names,
                    std::vector<std::string>& report, TSanityFindings* findings) {
    CheckDeathStage(file, names, report, findings);
    CheckDuplicateLinks(file, names, report, findings);
    if (!report.empty() && report.front().empty()) report.erase(report.begin());
}

std::vector<std::string> SanityReportWithHeading(const std::vector<std::string>& lines,
                                                 const std::string& fileName, int hour,
                                                 int minute) {
    char time[32];
    std::snprintf(time, sizeof time, "[%02d:%02d]", hour, minute);
    std::vector<std::string> shown;
    shown.reserve(lines.size() + 2);
    shown.push_back(std::string(time) + " File: " + fileName);
    shown.emplace_back();
    shown.insert(shown.end(), lines.begin(), lines.end());
    return shown;
}

} // namespace kv
