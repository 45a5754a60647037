// The sanity check of a mission. Links are sorted so that twins lie side by side: a first pass
// on the endpoints alone drops every link without a twin before any link data is loaded, a
// second pass on the endpoints and the data reports what is really duplicated.
#include "mission/SanityCheck.h"

#include "text/Win1252.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace kv {
namespace {

constexpr std::int32_t kBuggyDeathStage = 12;
constexpr std::size_t kPropHeadSize = 8;
constexpr std::size_t kLinkRecordSize = 14;
constexpr std::size_t kRelationNameSize = 32;
constexpr std::size_t kLinkDataHeadSize = 4; // the data size word of an LD$ chunk
constexpr std::size_t kLinkIdSize = 4;

// One link of the mission as the duplicate search holds it.
struct TMyLinkInfo {
    std::int32_t LinkID = 0;
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    std::uint16_t Flavor = 0;
    std::string ChunkName;          // the L$ chunk the link came from
    std::vector<std::uint8_t> Data; // empty when the link has no data
};

std::string Decimal(std::int64_t v) { return std::to_string(v); }

// ---------------------------------------------------------------------------------------------
// Death stage 12

void CheckDeathStage(TMissionFile& file, const TMissionNames& names,
                     std::vector<std::string>& report) {
    const std::optional<TChunkBuffer> chunk = file.ReadChunk("P$DeathStag");
    if (!chunk) return;
    const std::size_t sectionStart = report.size();
    const std::uint8_t* const bytes = chunk->data();
    const std::size_t size = chunk->size();
    std::size_t pos = 0;
    while (size - pos >= kPropHeadSize) {
        const std::int32_t objId = ReadI32(bytes + pos);
        const std::uint32_t dataSize = ReadU32(bytes + pos + 4);
        pos += kPropHeadSize;
        if (dataSize > size - pos) break;
        if (dataSize == 4 && ReadI32(bytes + pos) == kBuggyDeathStage) {
            report.push_back(" - Object ID " + Decimal(objId) + " (" +
                             names.GetObjectName(objId, true) + ")");
        }
        pos += dataSize;
    }
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
    for (std::size_t pos = 0; chunk->size() - pos >= kRelationNameSize; pos += kRelationNameSize) {
        const auto first = chunk->begin() + static_cast<std::ptrdiff_t>(pos);
        const auto last = first + static_cast<std::ptrdiff_t>(kRelationNameSize);
        relations.emplace_back(first, std::find(first, last, std::uint8_t{0}));
    }
    return relations;
}

std::vector<TMyLinkInfo> ReadLinkTable(TMissionFile& file) {
    std::vector<TMyLinkInfo> links;
    // Names are copied first: the table of contents must not be walked while chunks are read.
    std::vector<std::string> linkChunks;
    for (const TTocEntry& entry : file.Entries()) {
        std::string name = entry.Name();
        if (name.starts_with("L$")) linkChunks.push_back(std::move(name));
    }
    for (const std::string& name : linkChunks) {
        const std::optional<TChunkBuffer> chunk = file.ReadChunk(name);
        if (!chunk) continue;
        const std::size_t count = chunk->size() / kLinkRecordSize;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* const rec = chunk->data() + i * kLinkRecordSize;
            links.push_back(
                {ReadI32(rec), ReadI32(rec + 4), ReadI32(rec + 8), ReadU16(rec + 12), name, {}});
        }
    }
    return links;
}

bool SortsBefore(const TMyLinkInfo& a, const TMyLinkInfo& b) {
    if (a.Flavor != b.Flavor) return a.Flavor < b.Flavor;
    if (a.Source != b.Source) {
        return static_cast<std::uint32_t>(a.Source) < static_cast<std::uint32_t>(b.Source);
    }
    if (a.Dest != b.Dest) {
        return static_cast<std::uint32_t>(a.Dest) < static_cast<std::uint32_t>(b.Dest);
    }
    if (a.Data.size() != b.Data.size()) return a.Data.size() < b.Data.size();
    if (!a.Data.empty()) {
        const int byDataBytes = std::memcmp(a.Data.data(), b.Data.data(), a.Data.size());
        if (byDataBytes != 0) return byDataBytes < 0;
    }
    // Identical links keep a fixed order, so the lines of the data step do not depend on how
    // the sort happened to arrange them.
    if (a.LinkID != b.LinkID) return a.LinkID < b.LinkID;
    return a.ChunkName < b.ChunkName;
}

bool Identical(const TMyLinkInfo& a, const TMyLinkInfo& b) {
    return a.Flavor == b.Flavor && a.Source == b.Source && a.Dest == b.Dest && a.Data == b.Data;
}

// Sorts the table and keeps only links that have an identical twin, in sorted order. OnRun
// sees the first link and the length of every run of identical links.
template <class TOnRun> void KeepTwins(std::vector<TMyLinkInfo>& links, TOnRun&& onRun) {
    std::sort(links.begin(), links.end(), SortsBefore);
    std::vector<TMyLinkInfo> twins;
    std::size_t i = 0;
    while (i < links.size()) {
        std::size_t runEnd = i + 1;
        while (runEnd < links.size() && Identical(links[i], links[runEnd])) ++runEnd;
        if (runEnd - i > 1) {
            onRun(links[i], runEnd - i);
            twins.insert(
                twins.end(),
                std::make_move_iterator(links.begin() + static_cast<std::ptrdiff_t>(i)),
                std::make_move_iterator(links.begin() + static_cast<std::ptrdiff_t>(runEnd)));
        }
        i = runEnd;
    }
    links = std::move(twins);
}

// ---------------------------------------------------------------------------------------------
// Link data

// The last LD$ chunk loaded, with the first record of every link ID in it.
class TLinkDataCache {
public:
    explicit TLinkDataCache(TMissionFile& file) : file_(file) {}

    // Loads Name unless it is the chunk already held; false when the mission has no such chunk.
    bool Select(const std::string& name) {
        if (!loaded_ || name_ != name) {
            chunk_.reset();
            firstRecord_.clear();
            chunk_ = file_.ReadChunk(name);
            name_ = name;
            loaded_ = true;
            if (chunk_) Index(name);
        }
        return chunk_.has_value();
    }

    // The word that names a link of this chunk in messages.
    [[nodiscard]] const char* Word() const { return word_; }
    [[nodiscard]] std::uint32_t DataSize() const { return dataSize_; }

    // The kept bytes of the link's data, or std::nullopt when no record has the link's ID.
    [[nodiscard]] std::optional<std::vector<std::uint8_t>> DataOf(std::int32_t linkId) const {
        const auto it = firstRecord_.find(linkId);
        if (it == firstRecord_.end()) return std::nullopt;
        const std::uint8_t* const data = chunk_->data() + it->second + kLinkIdSize;
        return std::vector<std::uint8_t>(data + keepFrom_, data + dataSize_);
    }

private:
    void Index(const std::string& name) {
        const std::size_t size = chunk_->size();
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
            dataSize_ = size >= kLinkDataHeadSize ? ReadU32(chunk_->data()) : 0;
            word_ = "link";
        }
        if (dataSize_ == 0 || size < kLinkDataHeadSize) return;
        // 64 bits: a hostile data size near 4 GiB must not wrap around to a tiny record.
        const std::uint64_t recordSize = std::uint64_t{dataSize_} + kLinkIdSize;
        const std::uint64_t count = (size - kLinkDataHeadSize) / recordSize;
        firstRecord_.reserve(static_cast<std::size_t>(count));
        for (std::uint64_t r = 0; r < count; ++r) {
            const auto pos = static_cast<std::size_t>(kLinkDataHeadSize + r * recordSize);
            firstRecord_.try_emplace(ReadI32(chunk_->data() + pos), pos);
        }
    }

    TMissionFile& file_;
    bool loaded_ = false;
    std::string name_;
    std::optional<TChunkBuffer> chunk_;
    std::unordered_map<std::int32_t, std::size_t> firstRecord_;
    std::uint32_t dataSize_ = 0;
    std::size_t keepFrom_ = 0;
    const char* word_ = "link";
};

std::string Hex8(std::int32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(static_cast<std::uint32_t>(v)));
    return text;
}

void LoadLinkData(TMissionFile& file, std::vector<TMyLinkInfo>& links,
                  std::vector<std::string>& report) {
    TLinkDataCache cache(file);
    for (TMyLinkInfo& link : links) {
        const std::string dataChunk =
            kv::ChunkName("LD$", std::string_view(link.ChunkName).substr(2));
        if (!cache.Select(dataChunk)) {
            report.push_back(" wtf? no link data found for " + link.ChunkName);
            continue;
        }
        if (cache.DataSize() == 0) continue;
        std::optional<std::vector<std::uint8_t>> data = cache.DataOf(link.LinkID);
        if (!data) {
            report.push_back(std::string(" wtf? no data for ") + cache.Word() + " ID " +
                             Hex8(link.LinkID) + " found");
            continue;
        }
        link.Data = std::move(*data);
    }
}

// ---------------------------------------------------------------------------------------------
// Report lines

std::string DuplicateLine(const TMyLinkInfo& link, std::size_t count,
                          const std::vector<std::string>& relations, const TMissionNames& names) {
    std::string kind;
    const char* sourceText = " from object ID ";
    const char* destText = " to object ID ";
    if (AnsiSameText(link.ChunkName, "L$Receptron")) {
        kind = "receptrons";
        sourceText = " at object ID ";
        destText = " for stim ID ";
    } else if (AnsiSameText(link.ChunkName, "L$arSrcDesc")) {
        kind = "stims";
        sourceText = " at object ID ";
        destText = " with stim ID ";
    } else if (link.Flavor >= 1 && std::size_t{link.Flavor} <= relations.size()) {
        kind = relations[std::size_t{link.Flavor} - 1] + "-links";
    } else {
        kind = "(flavor " + Decimal(link.Flavor) + ")-links";
    }
    return " - " + Decimal(static_cast<std::int64_t>(count)) + " identical " + kind + sourceText +
           Decimal(link.Source) + " (" + names.GetObjectName(link.Source, true) + ")" + destText +
           Decimal(link.Dest) + " (" + names.GetObjectName(link.Dest, true) + ")";
}

void CheckDuplicateLinks(TMissionFile& file, const TMissionNames& names,
                         std::vector<std::string>& report) {
    const std::size_t sectionStart = report.size();
    const std::vector<std::string> relations = ReadRelationNames(file);
    std::vector<TMyLinkInfo> links = ReadLinkTable(file);

    KeepTwins(links, [](const TMyLinkInfo&, std::size_t) {});
    LoadLinkData(file, links, report);
    KeepTwins(links, [&](const TMyLinkInfo& first, std::size_t count) {
        report.push_back(DuplicateLine(first, count, relations, names));
    });

    if (report.size() == sectionStart) return;
    const std::vector<std::string> heading = {"", "Duplicate links found:"};
    report.insert(report.begin() + static_cast<std::ptrdiff_t>(sectionStart), heading.begin(),
                  heading.end());
}

} // namespace

void RunSanityCheck(TMissionFile& file, const TMissionNames& names,
                    std::vector<std::string>& report) {
    CheckDeathStage(file, names, report);
    CheckDuplicateLinks(file, names, report);
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
