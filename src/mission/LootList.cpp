#include "mission/LootList.h"

#include "mission/IdIndex.h"
#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <utility>

namespace kv {
namespace {

constexpr const char* kSizeMismatch = "Property size mismatch!";
constexpr int kContainsFlavor = 2;
constexpr int kSpecialBits = 8;
constexpr int kRows = 4; // normal, hard, expert, total
constexpr std::array<const char*, kRows> kRowLabels{"NORMAL", "HARD", "EXPERT", "TOTAL"};

// Printf into a string of exactly the length needed, however long the names are.
[[gnu::format(printf, 1, 2)]] std::string Sprintf(const char* pattern, ...) {
    std::va_list args;
    va_start(args, pattern);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, pattern, args);
    va_end(args);
    std::string out;
    if (length > 0) {
        out.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(out.data(), out.size(), pattern, again);
        out.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return out;
}

// The values are 32-bit like the game's own, and so are their sums: a hostile file may
// overflow them, which wraps instead of being undefined.
std::int32_t Add32(std::int32_t a, std::int32_t b) noexcept {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

std::int32_t ReadLE32(std::span<const std::uint8_t> data, std::size_t at) noexcept {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(data[at + i]) << (8 * i);
    return static_cast<std::int32_t>(v);
}

// Spaces from Out up to End, in whole words of eight: Out needs room for seven more. Short
// runs of spaces are many in a report, and filling them one call each is slower.
char* PutSpaces(char* out, char* end) {
    for (char* p = out; p < end; p += 8) std::memcpy(p, "        ", 8);
    return end;
}

// A number right-aligned in eight places, as "%8d" prints it; returns the end.
char* PutNumber(char* out, std::int32_t v) {
    char digits[16];
    const char* const end = std::to_chars(digits, digits + sizeof digits, v).ptr;
    const auto length = static_cast<std::size_t>(end - digits);
    if (length < 8) out = PutSpaces(out, out + (8 - length));
    return std::copy(static_cast<const char*>(digits), end, out);
}

std::string IdText(const std::string& name, std::int32_t id) {
    return name + " (" + std::to_string(id) + ")";
}

// Collects the loot objects while the mission is read.
class TLootCollector {
public:
    void OnProp(std::int32_t objId, const std::string& objName, const std::string& propName,
                std::span<const std::uint8_t> data) {
        if (AnsiSameText(propName, "Loot")) {
            if (data.size() != 16) throw Exception(kSizeMismatch);
            TLootListObjInfo info;
            info.ObjID = objId;
            info.Name = objName;
            info.Gold = ReadLE32(data, 0);
            info.Gems = ReadLE32(data, 4);
            info.Art = ReadLE32(data, 8);
            info.Special = static_cast<std::uint32_t>(ReadLE32(data, 12));
            infos_.push_back(std::move(info));
            indexed_ = false;
        } else if (AnsiSameText(propName, "DiffDestr")) {
            TLootListObjInfo* info = FindLootInfo(objId);
            if (info == nullptr) return;
            if (data.size() != 4) throw Exception(kSizeMismatch);
            info->Difficulties &= ~ReadLE32(data, 0);
        }
    }

    void OnLink(std::int32_t source, std::int32_t dest, const std::string& sourceName,
                const std::string& destName, int flavor) {
        if (flavor != kContainsFlavor) return;
        TLootListObjInfo* info = FindLootInfo(dest);
        if (info == nullptr) return;
        info->Containers.push_back({source, sourceName, destName});
    }

    // Whether OnLink would keep the link: links of other flavors or to other objects are not.
    [[nodiscard]] bool Wants(std::int32_t dest, int flavor) {
        return flavor == kContainsFlavor && FindLootInfo(dest) != nullptr;
    }

    std::vector<TLootListObjInfo> Take() { return std::move(infos_); }

private:
    TLootListObjInfo* FindLootInfo(std::int32_t objId) {
        if (!indexed_) Index();
        const std::uint32_t at = first_.Find(objId);
        return at == TIdIndex::kNone ? nullptr : &infos_[at];
    }

    // The loot values all come before the first lookup, which indexes them at once.
    void Index() {
        indexed_ = true;
        first_ = TFirstIndex();
        if (infos_.empty()) return;
        const auto [lo, hi] = std::minmax_element(
            infos_.begin(), infos_.end(),
            [](const TLootListObjInfo& a, const TLootListObjInfo& b) { return a.ObjID < b.ObjID; });
        first_.Reserve(infos_.size(), lo->ObjID, hi->ObjID);
        for (std::size_t i = 0; i < infos_.size(); ++i)
            first_.TryAdd(infos_[i].ObjID, static_cast<std::uint32_t>(i));
    }

    std::vector<TLootListObjInfo> infos_;
    bool indexed_ = false;
    TFirstIndex first_; // the first info of each ID
};

struct TTotals {
    std::int32_t Gold = 0;
    std::int32_t Gems = 0;
    std::int32_t Art = 0;
    std::array<int, kSpecialBits> Special{};
};

} // namespace

std::string SpecialText(std::uint32_t special) {
    std::string text;
    for (int b = 0; b < kSpecialBits; ++b) {
        if ((special & (1u << b)) == 0) continue;
        if (!text.empty()) text += ',';
        text += "S" + std::to_string(b + 1);
    }
    return text;
}

std::string SpecialCountText(const std::array<int, kSpecialBits>& counts) {
    std::string text;
    for (int b = 0; b < kSpecialBits; ++b) {
        const int count = counts[static_cast<std::size_t>(b)];
        if (count <= 0) continue;
        if (!text.empty()) text += ',';
        if (count > 1) text += std::to_string(count) + "x";
        text += "S" + std::to_string(b + 1);
    }
    return text;
}

namespace {

// The first level of AnsiCompareText as a byte table: bytes of the same rank compare equal at
// that level, and ranks keep its order. Derived from AnsiCompareText itself: at the first
// level "x" against "yA" and "xA" against "y" give the same difference of weights, while
// bytes of equal weight fall through to the length, which gives -1 and +1. Hyphen and
// apostrophe have no first-level weight: they are kIgnored, and the keys leave them out.
constexpr std::uint16_t kIgnored = 0xFFFF;
const std::array<std::uint16_t, 256>& PrimaryRanks() {
    static const std::array<std::uint16_t, 256> ranks = [] {
        const auto text = [](int b) { return std::string(1, static_cast<char>(b)); };
        const auto firstLevel = [&](int x, int y) {
            const int shorter = AnsiCompareText(text(x), text(y) + 'A');
            const int longer = AnsiCompareText(text(x) + 'A', text(y));
            return shorter == -1 && longer == 1 ? 0 : shorter;
        };
        std::vector<int> bytes;
        for (int b = 0; b < 256; ++b) {
            if (!AnsiIgnoredAtFirstLevel(static_cast<char>(b))) bytes.push_back(b);
        }
        std::stable_sort(bytes.begin(), bytes.end(),
                         [&](int x, int y) { return firstLevel(x, y) < 0; });
        std::array<std::uint16_t, 256> out;
        out.fill(kIgnored);
        std::uint16_t rank = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0 && firstLevel(bytes[i - 1], bytes[i]) != 0) ++rank;
            out[static_cast<std::size_t>(bytes[i])] = rank;
        }
        return out;
    }();
    return ranks;
}

// A line whose first column is still to be padded: the text before the tab and after it.
struct TSplitLine {
    std::string Before;
    std::string After;
    std::int32_t Id = 0;
};

std::size_t WidestBefore(const std::vector<TSplitLine>& lines) {
    std::size_t widest = 0;
    for (const TSplitLine& l : lines) widest = std::max(widest, l.Before.size());
    return widest;
}

void AppendPadded(TLootList& list, const std::vector<TSplitLine>& lines, std::size_t width) {
    list.Lines.reserve(list.Lines.size() + lines.size());
    list.LineIds.reserve(list.LineIds.size() + lines.size());
    for (const TSplitLine& l : lines) {
        std::string line;
        line.reserve(width + l.After.size());
        line = l.Before;
        line.append(width - l.Before.size(), ' ');
        line += l.After;
        list.Lines.push_back(std::move(line));
        list.LineIds.push_back(l.Id);
    }
}

void Append(TLootList& list, std::string line, std::int32_t id = 0) {
    list.Lines.push_back(std::move(line));
    list.LineIds.push_back(id);
}

} // namespace

std::string TLootList::Text() const { return JoinLinesCrLf(Lines); }

bool TLootList::HasId(std::int32_t objId) const {
    return objId != 0 && std::find(LineIds.begin(), LineIds.end(), objId) != LineIds.end();
}

TLootList FormatLootList(std::vector<TLootListObjInfo> infos, const std::string& fileName) {
    // The records stay where they are, read once in their own order for the sort keys, the
    // first column's width and the sums; then once in name order for the lines.
    //
    // The names are compared as AnsiCompareText does: by the ranks of their bytes first, which
    // a plain comparison of the ranked texts gives; only names equal there need the full compare.
    // A key holds the first sixteen ranked bytes, big-endian and zero-padded, which order most
    // names by themselves; the ID and then the place break the last ties, so the order is the
    // stable one.
    struct TKey {
        std::uint64_t High;
        std::uint64_t Low;
        std::uint32_t Index;
        std::int32_t Id;
    };
    const std::array<std::uint16_t, 256>& ranks = PrimaryRanks();
    std::size_t rankedSize = 0;
    for (const TLootListObjInfo& info : infos) rankedSize += info.Name.size();
    std::string ranked(rankedSize, '\0');
    std::vector<std::string_view> rankedOf(infos.size());
    std::vector<TKey> keys(infos.size());
    std::size_t at = 0;
    std::size_t widest = 6;
    // Sums do not depend on the order.
    std::array<TTotals, kRows> totals{};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const TLootListObjInfo& info = infos[i];
        std::size_t length = 0;
        std::array<std::uint64_t, 2> prefix{};
        for (const char c : info.Name) {
            const std::uint16_t r = ranks[static_cast<std::uint8_t>(c)];
            if (r == kIgnored) continue;
            if (length < 16) prefix[length / 8] |= std::uint64_t{r} << (56 - 8 * (length % 8));
            ranked[at + length++] = static_cast<char>(r);
        }
        keys[i] = {prefix[0], prefix[1], static_cast<std::uint32_t>(i), info.ObjID};
        rankedOf[i] = std::string_view(ranked).substr(at, length);
        at += length;

        char digits[16];
        const auto idLength = static_cast<std::size_t>(
            std::to_chars(digits, digits + sizeof digits, info.ObjID).ptr - digits);
        widest =
            std::max(widest, info.Name.size() + 3 + idLength + (info.Containers.empty() ? 0 : 1));

        for (int d = 0; d < kRows; ++d) {
            if (d != 3 && (info.Difficulties & (1 << d)) == 0) continue;
            TTotals& row = totals[static_cast<std::size_t>(d)];
            row.Gold = Add32(row.Gold, info.Gold);
            row.Gems = Add32(row.Gems, info.Gems);
            row.Art = Add32(row.Art, info.Art);
            if (info.Special == 0) continue;
            for (int b = 0; b < kSpecialBits; ++b) {
                if ((info.Special & (1u << b)) != 0) ++row.Special[static_cast<std::size_t>(b)];
            }
        }
    }
    const std::size_t width = widest + 5;
    const int w = static_cast<int>(width);
    const std::string dashes(width + 47, '-');

    // By the prefixes first, with plain integer compares; then the rare keys whose prefixes are
    // equal by the whole names, each run of them on its own.
    std::sort(keys.begin(), keys.end(), [](const TKey& a, const TKey& b) {
        if (a.High != b.High) return a.High < b.High;
        if (a.Low != b.Low) return a.Low < b.Low;
        return a.Index < b.Index;
    });
    const auto byName = [&](const TKey& a, const TKey& b) {
        if (const int byRank = rankedOf[a.Index].compare(rankedOf[b.Index]); byRank != 0)
            return byRank < 0;
        const std::string& x = infos[a.Index].Name;
        const std::string& y = infos[b.Index].Name;
        if (x != y) {
            if (const int order = AnsiCompareText(x, y); order != 0) return order < 0;
        }
        if (a.Id != b.Id) return a.Id < b.Id;
        return a.Index < b.Index;
    };
    for (auto run = keys.begin(); run != keys.end();) {
        auto end = run + 1;
        while (end != keys.end() && end->High == run->High && end->Low == run->Low) ++end;
        if (end - run > 1) std::sort(run, end, byName);
        run = end;
    }

    TLootList list;
    list.Lines.reserve(infos.size() + 16);
    list.LineIds.reserve(infos.size() + 16);
    Append(list, "File: " + fileName);
    Append(list, {});
    Append(list, Sprintf("%-*s%-4s%8s %8s %8s %8s %s", w, "Object", "Dif.", "Total", "Gold", "Gems",
                         "Art", "Special"));
    Append(list, dashes);
    std::vector<TSplitLine> annotations;
    // The widest loot line: the first column, the difficulties, four numbers of at most eleven
    // characters each after a space, a space and at most eight special flags "Sn,"; and the
    // seven bytes PutSpaces may write past its end.
    std::string buffer(width + 3 + 4 * 12 + 1 + kSpecialBits * 3 + 7, ' ');
    for (std::size_t k = 0; k < keys.size(); ++k) {
#if defined(__GNUC__)
        // The records are met in name order, far apart: the next ones are fetched meanwhile.
        if (k + 8 < keys.size()) __builtin_prefetch(&infos[keys[k + 8].Index]);
#endif
        const TLootListObjInfo& info = infos[keys[k].Index];
        for (const TLootContainer& c : info.Containers) {
            annotations.push_back(
                {IdText(c.ContentName, info.ObjID), "is contained by " + IdText(c.Name, c.Id), c.Id});
        }
        // The line is put together in one buffer and copied once into a string of its size.
        char* p = buffer.data();
        p = std::copy(info.Name.begin(), info.Name.end(), p);
        *p++ = ' ';
        *p++ = '(';
        p = std::to_chars(p, p + 16, info.ObjID).ptr;
        *p++ = ')';
        if (!info.Containers.empty()) *p++ = '*';
        p = PutSpaces(p, buffer.data() + width);
        // As "%-4s%8d %8d %8d %8d %s" would print it.
        for (int d = 0; d < 3; ++d) *p++ = (info.Difficulties & (1 << d)) != 0 ? "NHE"[d] : '-';
        const std::int32_t total = Add32(Add32(info.Gold, info.Gems), info.Art);
        for (const std::int32_t v : {total, info.Gold, info.Gems, info.Art}) {
            *p++ = ' ';
            p = PutNumber(p, v);
        }
        *p++ = ' ';
        if (info.Special != 0) {
            const std::string special = SpecialText(info.Special);
            p = std::copy(special.begin(), special.end(), p);
        }
        list.Lines.emplace_back(buffer.data(), static_cast<std::size_t>(p - buffer.data()));
        list.LineIds.push_back(info.ObjID);
    }

    Append(list, dashes);
    for (std::size_t r = 0; r < kRows; ++r) {
        const TTotals& row = totals[r];
        Append(list, Sprintf("%-*s%-4s%8d %8d %8d %8d %s", w, kRowLabels[r], "",
                             Add32(Add32(row.Gold, row.Gems), row.Art), row.Gold, row.Gems, row.Art,
                             SpecialCountText(row.Special).c_str()));
    }
    if (!annotations.empty()) {
        Append(list, {});
        Append(list, "Annotations:");
        AppendPadded(list, annotations, WidestBefore(annotations) + 1);
    }
    for (std::size_t r = 0; r < list.Totals.size(); ++r) {
        const TTotals& row = totals[r];
        list.Totals[r] = {Add32(Add32(row.Gold, row.Gems), row.Art), row.Gold, row.Gems, row.Art,
                          row.Special};
    }
    list.Order.reserve(keys.size());
    for (const TKey& key : keys) list.Order.push_back(key.Index);
    list.Objects = std::move(infos);
    return list;
}

void AppendLootGoals(TLootList& list, const std::vector<TLootGoal>& goals) {
    if (goals.empty()) return;
    Append(list, {});
    Append(list, "Loot goals:");
    for (const TLootGoal& goal : goals) {
        for (int d = 0; d < kDifficulties; ++d) {
            if (!goal.AppliesOn(d)) continue;
            TLootGoalCheck check{goal.Number, d,
                                 UnmetNeeds(goal, list.Totals[static_cast<std::size_t>(d)])};
            Append(list, "Goal " + std::to_string(goal.Number) + " (" + DifficultyName(d) + "): " +
                             (check.Unmet.empty() ? "reachable"
                                                  : "unreachable: " + NeedsText(check.Unmet)));
            list.Goals.push_back(std::move(check));
        }
    }
}

namespace {

// The loot objectives of the mission, read before the long read so that a damaged quest chunk
// ends the command at once.
std::vector<TLootGoal> MissionLootGoals(const std::filesystem::path& mission) {
    TMissionFile file;
    file.Open(mission);
    return ReadLootGoals(file);
}

TLootList BuildLootListFor(const std::filesystem::path& mission,
                           const std::filesystem::path& gamesysDir,
                           const TUserMessageEvent& onMessage,
                           const std::vector<TLootGoal>& goals) {
    TLootCollector collector;
    TReadPropsParams params;
    params.FileName = mission;
    params.GamesysDir = gamesysDir;
    params.Props = std::vector<TNamedMode>{{"Loot", 1}, {"DiffDestr", 0}};
    params.Links = std::vector<TNamedMode>{{"Contains", 4}};
    params.AnyOrder = true; // the report sorts the objects itself
    params.OnProp = [&collector](std::int32_t objId, const std::string& objName,
                                 const std::string& propName, std::span<const std::uint8_t> data,
                                 std::uint32_t) {
        collector.OnProp(objId, objName, propName, data);
    };
    params.OnLink = [&collector](std::int32_t source, std::int32_t dest,
                                 const std::string& sourceName, const std::string& destName,
                                 int flavor, std::span<const std::uint8_t>, std::uint32_t) {
        collector.OnLink(source, dest, sourceName, destName, flavor);
    };
    params.LinkWanted = [&collector](std::int32_t, std::int32_t dest, int flavor) {
        return collector.Wants(dest, flavor);
    };
    params.OnMessage = onMessage;
    ReadProps(params);
    TLootList list = FormatLootList(collector.Take(), PathToText(mission.filename()));
    AppendLootGoals(list, goals);
    return list;
}

} // namespace

TLootList BuildLootList(const std::filesystem::path& mission,
                        const std::filesystem::path& gamesysDir,
                        const TUserMessageEvent& onMessage) {
    return BuildLootListFor(mission, gamesysDir, onMessage, MissionLootGoals(mission));
}

void CheckLootGoals(const std::filesystem::path& mission, const std::filesystem::path& gamesysDir,
                    const TUserMessageEvent& onMessage, std::vector<std::string>& report,
                    std::vector<TLootGoalCheck>* unreachable) {
    const std::vector<TLootGoal> goals = MissionLootGoals(mission);
    if (goals.empty()) return;
    const TLootList list = BuildLootListFor(mission, gamesysDir, onMessage, goals);
    std::vector<std::string> lines;
    for (const TLootGoalCheck& check : list.Goals) {
        for (const TUnmetNeed& need : check.Unmet) {
            lines.push_back(" - Goal " + std::to_string(check.Goal) + " on " +
                            DifficultyName(check.Difficulty) + " " + NeedText(need));
        }
        if (unreachable != nullptr && !check.Unmet.empty()) unreachable->push_back(check);
    }
    if (lines.empty()) return;
    if (!report.empty()) report.emplace_back();
    report.emplace_back("Unreachable loot goals:");
    report.insert(report.end(), lines.begin(), lines.end());
}

} // namespace kv
