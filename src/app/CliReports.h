// The reports of korvane-cli for scripts and spreadsheets: JSON (one object with the file name
// and every section as an array of records) and CSV (a header line, then one record per row,
// quoted as RFC 4180 asks). Names are UTF-8 in both; the engine's records are Windows-1252.
#pragma once

#include "mission/LootList.h"
#include "mission/SanityCheck.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

enum class TReportFormat { Text, Json, Csv };

// "text", "json" or "csv"; anything else is a usage error.
[[nodiscard]] TReportFormat ParseReportFormat(const std::string& arg);

struct TLinkRow {
    std::int32_t LinkId = 0;
    std::int32_t Source = 0;
    std::int32_t Dest = 0;
    int Flavor = 0;
};

// FileName is the mission's name without folder, in Windows-1252 like the records.
[[nodiscard]] std::string CheckReport(TReportFormat format, const std::string& fileName,
                                      const TSanityFindings& findings);
[[nodiscard]] std::string LootReport(TReportFormat format, const std::string& fileName,
                                     const TLootList& list);
[[nodiscard]] std::string LinksReport(TReportFormat format, const std::string& fileName,
                                      const std::vector<TLinkRow>& links);

// One CSV field: quoted, with its quotes doubled, when it holds a comma, quote, CR or LF.
[[nodiscard]] std::string CsvField(std::string_view text);

} // namespace kv
