// The mission file commands of korvane-cli: the engine's operations, their results as text.
#include "app/CliCommands.h"

#include "mission/LootList.h"
#include "mission/MissionDb.h"
#include "mission/MissionFile.h"
#include "mission/MissionImport.h"
#include "mission/SanityCheck.h"
#include "text/Exception.h"
#include "text/TextFile.h"
#include "text/Win1252.h"
#include "workspace/FavoritesFile.h"

#include <cstdio>
#include <system_error>

namespace kv {

namespace {

// Report lines are Windows-1252; the standard output gets UTF-8, each line ended by a line
// feed. The text is converted once as a whole.
std::string ReportText(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 1;
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return Win1252ToUtf8(text);
}

TUserMessageEvent Warnings(std::ostream& warnings) {
    return [&warnings](const std::string& message) {
        warnings << "korvane-cli: warning: " << Win1252ToUtf8(message) << '\n';
    };
}

std::string FileNameText(const std::filesystem::path& file) { return PathToText(file.filename()); }

// A chunk name from a damaged file may hold control characters; they must not break the
// one-entry-per-line table.
std::string PrintableName(const std::string& name) {
    std::string printable = name;
    for (char& c : printable) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) c = '?';
    }
    return printable;
}

// Whether Output would replace Mission itself, also under another spelling of its path (a
// relative path, "..", a link). An output that does not exist yet is compared by its path.
bool IsSameFile(const std::filesystem::path& mission, const std::filesystem::path& output) {
    std::error_code ec;
    if (std::filesystem::equivalent(mission, output, ec) && !ec) return true;
    std::error_code ecMission;
    std::error_code ecOutput;
    const std::filesystem::path a = std::filesystem::weakly_canonical(mission, ecMission);
    const std::filesystem::path b = std::filesystem::weakly_canonical(output, ecOutput);
    return !ecMission && !ecOutput && a == b;
}

} // namespace

std::filesystem::path ArgPath(const std::string& arg) {
    return std::filesystem::path(std::u8string(arg.begin(), arg.end()));
}

std::string ArgText(const std::string& arg) { return PathToText(ArgPath(arg)); }

std::string Quote(std::string_view arg) { return "\"" + ArgText(std::string(arg)) + "\""; }

TCliResult CliCheck(const std::filesystem::path& mission, const std::filesystem::path& gamesysDir,
                    TCliTime time, std::ostream& warnings, TReportFormat format) {
    std::vector<std::string> lines;
    TSanityFindings findings;
    TReadBrushListParams params;
    params.FileName = mission;
    params.Report = &lines;
    params.Findings = &findings;
    ReadBrushList(params);
    CheckLootGoals(mission, gamesysDir, Warnings(warnings), lines, &findings.UnreachableLootGoals);
    if (format != TReportFormat::Text) {
        return {lines.empty() ? kCliOk : kCliFound,
                CheckReport(format, FileNameText(mission), findings)};
    }
    if (lines.empty()) return {kCliOk, ReportText({"No typical errors detected"})};
    return {kCliFound, ReportText(SanityReportWithHeading(lines, FileNameText(mission), time.Hour,
                                                          time.Minute))};
}

TCliResult CliLoot(const std::filesystem::path& mission, const std::filesystem::path& gamesysDir,
                   std::ostream& warnings, TReportFormat format) {
    const TLootList list = BuildLootList(mission, gamesysDir, Warnings(warnings));
    if (format != TReportFormat::Text)
        return {kCliOk, LootReport(format, FileNameText(mission), list)};
    return {kCliOk, ReportText(list.Lines)};
}

TCliResult CliImport(const std::filesystem::path& mission, const TCliImport& import) {
    // Mission files are only ever read; writing the favourites over one would destroy it.
    if (import.Output && IsSameFile(mission, *import.Output)) {
        throw Exception("the output file \"" + PathToText(*import.Output) +
                        "\" is the mission being read; choose another output file");
    }
    TImportOptions options;
    options.Filter = import.Filter;
    options.UseBrushIDs = import.UseBrushIDs;
    std::vector<TBrushInfo> favorites;
    ImportMission(mission, options,
                  [&](const TBrushInfo& favorite) { favorites.push_back(favorite); });
    std::vector<const TBrushInfo*> items;
    items.reserve(favorites.size());
    for (const TBrushInfo& favorite : favorites) items.push_back(&favorite);
    TCliResult result;
    result.Output = FormatFavoritesFile(items);
    if (import.Output) {
        WriteFileAtomically(*import.Output, result.Output);
        result.Output.clear();
    }
    return result;
}

TCliResult CliChunks(const std::filesystem::path& file) {
    TMissionFile mission;
    mission.Open(file);
    std::vector<std::string> rows;
    char row[64];
    std::snprintf(row, sizeof row, "%-12s %10s %10s", "Chunk", "Offset", "Size");
    rows.emplace_back(row);
    for (const TTocEntry& entry : mission.Entries()) {
        std::snprintf(row, sizeof row, "%-12s %10lu %10lu", PrintableName(entry.Name()).c_str(),
                      static_cast<unsigned long>(entry.Offset),
                      static_cast<unsigned long>(entry.Size));
        rows.emplace_back(row);
    }
    return {kCliOk, ReportText(rows)};
}

TCliResult CliLinks(const std::filesystem::path& mission,
                    const std::optional<std::vector<std::int32_t>>& objects,
                    const std::optional<std::vector<int>>& flavors, TReportFormat format) {
    TCliResult result;
    std::vector<TLinkRow> rows;
    ReadLinks(mission, objects ? &*objects : nullptr, flavors ? &*flavors : nullptr,
              [&](std::int32_t linkId, std::int32_t source, std::int32_t dest, int flavor) {
                  if (format != TReportFormat::Text) {
                      rows.push_back({linkId, source, dest, flavor});
                      return;
                  }
                  char line[64];
                  std::snprintf(line, sizeof line, "%ld, %ld, %ld, %d\n", static_cast<long>(linkId),
                                static_cast<long>(source), static_cast<long>(dest), flavor);
                  result.Output += line;
              });
    if (format != TReportFormat::Text) result.Output = LinksReport(format, FileNameText(mission), rows);
    return result;
}

} // namespace kv
