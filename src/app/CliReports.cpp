// JSON through nlohmann/json (Debian's nlohmann-json3-dev), whose ordered objects keep the
// fields in the order written here; CSV by hand, as it is one quoting rule.
#include "app/CliReports.h"

#include "app/CliCommands.h"
#include "text/Win1252.h"

#include <nlohmann/json.hpp>

namespace kv {

namespace {

using TJson = nlohmann::ordered_json;

constexpr std::array<const char*, kDifficulties + 1> kRowLabels{"NORMAL", "HARD", "EXPERT", "TOTAL"};

std::string Utf8(const std::string& text) { return Win1252ToUtf8(text); }

std::string JsonText(const TJson& json) { return json.dump(2) + "\n"; }

// CSV rows under one header; every row has the header's number of fields, empty where a
// section has no such field. Lines end in CR LF.
class TCsv {
public:
    explicit TCsv(std::vector<std::string> header) : width_(header.size()) { Row(header); }

    void Row(const std::vector<std::string>& fields) {
        for (std::size_t i = 0; i < width_; ++i) {
            if (i > 0) text_ += ',';
            if (i < fields.size()) text_ += CsvField(fields[i]);
        }
        text_ += "\r\n";
    }
    [[nodiscard]] const std::string& Text() const { return text_; }

private:
    std::size_t width_;
    std::string text_;
};

std::string Num(std::int64_t v) { return std::to_string(v); }

// Gold, gems and art summed in 32 bits, wrapping as the report's own total does.
std::int32_t ObjectTotal(const TLootListObjInfo& o) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(o.Gold) +
                                     static_cast<std::uint32_t>(o.Gems) +
                                     static_cast<std::uint32_t>(o.Art));
}

TJson NeedJson(const TUnmetNeed& need) {
    return {{"what", need.What}, {"needs", need.Needs}, {"holds", need.Holds}};
}

TJson SpecialNames(std::uint32_t special) {
    TJson names = TJson::array();
    for (int b = 0; b < 8; ++b) {
        if ((special & (1u << b)) != 0) names.push_back("S" + std::to_string(b + 1));
    }
    return names;
}

std::string DifficultyLetters(int difficulties) {
    std::string text;
    for (int d = 0; d < kDifficulties; ++d) text += (difficulties & (1 << d)) != 0 ? "NHE"[d] : '-';
    return text;
}

std::string CheckJson(const std::string& fileName, const TSanityFindings& f) {
    TJson json = {{"file", Utf8(fileName)}};
    TJson death = TJson::array();
    for (const TDeathStageObject& o : f.DeathStage12)
        death.push_back({{"object_id", o.ObjId}, {"name", Utf8(o.Name)}});
    TJson problems = TJson::array();
    for (const std::string& p : f.LinkDataProblems) problems.push_back({{"message", Utf8(p)}});
    TJson duplicates = TJson::array();
    for (const TDuplicateLinks& d : f.DuplicateLinks) {
        duplicates.push_back({{"count", d.Count},
                              {"kind", Utf8(d.Kind)},
                              {"flavor", d.Flavor},
                              {"source_id", d.Source},
                              {"source_name", Utf8(d.SourceName)},
                              {"dest_id", d.Dest},
                              {"dest_name", Utf8(d.DestName)}});
    }
    TJson goals = TJson::array();
    for (const TLootGoalCheck& g : f.UnreachableLootGoals) {
        for (const TUnmetNeed& need : g.Unmet) {
            TJson row = {{"goal", g.Goal}, {"difficulty", DifficultyName(g.Difficulty)}};
            row.update(NeedJson(need));
            goals.push_back(row);
        }
    }
    json["death_stage_12"] = std::move(death);
    json["link_data_problems"] = std::move(problems);
    json["duplicate_links"] = std::move(duplicates);
    json["unreachable_loot_goals"] = std::move(goals);
    return JsonText(json);
}

std::string CheckCsv(const TSanityFindings& f) {
    TCsv csv({"section", "object_id", "name", "count", "kind", "flavor", "source_id",
              "source_name", "dest_id", "dest_name", "goal", "difficulty", "what", "needs",
              "holds", "message"});
    for (const TDeathStageObject& o : f.DeathStage12)
        csv.Row({"death_stage_12", Num(o.ObjId), Utf8(o.Name)});
    for (const std::string& p : f.LinkDataProblems)
        csv.Row({"link_data_problem", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
                 Utf8(p)});
    for (const TDuplicateLinks& d : f.DuplicateLinks) {
        csv.Row({"duplicate_links", "", "", Num(static_cast<std::int64_t>(d.Count)), Utf8(d.Kind),
                 Num(d.Flavor), Num(d.Source), Utf8(d.SourceName), Num(d.Dest),
                 Utf8(d.DestName)});
    }
    for (const TLootGoalCheck& g : f.UnreachableLootGoals) {
        for (const TUnmetNeed& need : g.Unmet) {
            csv.Row({"unreachable_loot_goal", "", "", "", "", "", "", "", "", "", Num(g.Goal),
                     DifficultyName(g.Difficulty), need.What, Num(need.Needs), Num(need.Holds)});
        }
    }
    return csv.Text();
}

std::string LootJson(const std::string& fileName, const TLootList& list) {
    TJson json = {{"file", Utf8(fileName)}};
    TJson objects = TJson::array();
    TJson containers = TJson::array();
    for (const std::uint32_t at : list.Order) {
        const TLootListObjInfo& o = list.Objects[at];
        TJson difficulties = TJson::array();
        for (int d = 0; d < kDifficulties; ++d) {
            if ((o.Difficulties & (1 << d)) != 0) difficulties.push_back(DifficultyName(d));
        }
        objects.push_back({{"object_id", o.ObjID},
                           {"name", Utf8(o.Name)},
                           {"difficulties", difficulties},
                           {"total", ObjectTotal(o)},
                           {"gold", o.Gold},
                           {"gems", o.Gems},
                           {"art", o.Art},
                           {"special", SpecialNames(o.Special)},
                           {"contained", !o.Containers.empty()}});
        for (const TLootContainer& c : o.Containers) {
            containers.push_back({{"object_id", o.ObjID},
                                  {"object_name", Utf8(c.ContentName)},
                                  {"container_id", c.Id},
                                  {"container_name", Utf8(c.Name)}});
        }
    }
    TJson totals = TJson::array();
    for (std::size_t r = 0; r < list.Totals.size(); ++r) {
        const TLootHoldings& t = list.Totals[r];
        TJson special = TJson::object();
        for (std::size_t b = 0; b < t.Special.size(); ++b) {
            if (t.Special[b] > 0) special["S" + std::to_string(b + 1)] = t.Special[b];
        }
        totals.push_back({{"row", kRowLabels[r]},
                          {"total", t.Total},
                          {"gold", t.Gold},
                          {"gems", t.Gems},
                          {"art", t.Art},
                          {"special", special}});
    }
    TJson goals = TJson::array();
    for (const TLootGoalCheck& g : list.Goals) {
        TJson unmet = TJson::array();
        for (const TUnmetNeed& need : g.Unmet) unmet.push_back(NeedJson(need));
        goals.push_back({{"goal", g.Goal},
                         {"difficulty", DifficultyName(g.Difficulty)},
                         {"reachable", g.Unmet.empty()},
                         {"unmet", unmet}});
    }
    json["objects"] = std::move(objects);
    json["totals"] = std::move(totals);
    json["containers"] = std::move(containers);
    json["loot_goals"] = std::move(goals);
    return JsonText(json);
}

std::string LootCsv(const TLootList& list) {
    TCsv csv({"section", "object_id", "name", "difficulties", "total", "gold", "gems", "art",
              "special", "container_id", "container_name", "goal", "difficulty", "reachable",
              "unmet"});
    std::vector<std::vector<std::string>> containers;
    for (const std::uint32_t at : list.Order) {
        const TLootListObjInfo& o = list.Objects[at];
        csv.Row({"object", Num(o.ObjID), Utf8(o.Name), DifficultyLetters(o.Difficulties),
                 Num(ObjectTotal(o)), Num(o.Gold), Num(o.Gems), Num(o.Art), SpecialText(o.Special)});
        for (const TLootContainer& c : o.Containers) {
            containers.push_back({"container", Num(o.ObjID), Utf8(c.ContentName), "", "", "", "",
                                  "", "", Num(c.Id), Utf8(c.Name)});
        }
    }
    for (std::size_t r = 0; r < list.Totals.size(); ++r) {
        const TLootHoldings& t = list.Totals[r];
        csv.Row({"total", "", kRowLabels[r], "", Num(t.Total), Num(t.Gold), Num(t.Gems),
                 Num(t.Art), SpecialCountText(t.Special)});
    }
    for (const auto& row : containers) csv.Row(row);
    for (const TLootGoalCheck& g : list.Goals) {
        csv.Row({"loot_goal", "", "", "", "", "", "", "", "", "", "", Num(g.Goal),
                 DifficultyName(g.Difficulty), g.Unmet.empty() ? "yes" : "no",
                 NeedsText(g.Unmet)});
    }
    return csv.Text();
}

} // namespace

TReportFormat ParseReportFormat(const std::string& arg) {
    if (arg == "text") return TReportFormat::Text;
    if (arg == "json") return TReportFormat::Json;
    if (arg == "csv") return TReportFormat::Csv;
    throw TUsageError("--format takes text, json or csv, not " + Quote(arg));
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CheckReport(TReportFormat format, const std::string& fileName,
                        const TSanityFindings& findings) {
    return format == TReportFormat::Json ? CheckJson(fileName, findings) : CheckCsv(findings);
}

std::string LootReport(TReportFormat format, const std::string& fileName, const TLootList& list) {
    return format == TReportFormat::Json ? LootJson(fileName, list) : LootCsv(list);
}

std::string LinksReport(TReportFormat format, const std::string& fileName,
                        const std::vector<TLinkRow>& links) {
    if (format == TReportFormat::Json) {
        TJson json = {{"file", Utf8(fileName)}};
        TJson rows = TJson::array();
        for (const TLinkRow& l : links) {
            rows.push_back({{"link_id", l.LinkId},
                            {"source", l.Source},
                            {"dest", l.Dest},
                            {"flavor", l.Flavor}});
        }
        json["links"] = std::move(rows);
        return JsonText(json);
    }
    TCsv csv({"link_id", "source", "dest", "flavor"});
    for (const TLinkRow& l : links) csv.Row({Num(l.LinkId), Num(l.Source), Num(l.Dest), Num(l.Flavor)});
    return csv.Text();
}

} // namespace kv
