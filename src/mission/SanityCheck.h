// The sanity check of a mission: objects left at death stage 12 and links that exist more than
// once, written as report lines.
#pragma once

#include "mission/LootList.h"
#include "mission/MissionDb.h"
#include "mission/MissionFile.h"

#include <string>
#include <vector>

namespace kv {

struct TDeathStageObject {
    std::int32_t ObjId = 0;
    std::string Name;
};

// A run of identical links, as its report line names it.
struct TDuplicateLinks {
    std::size_t Count = 0;
    std::string Kind; // "receptrons", "stims", "ControlDevice-links", "(flavor 7)-links"
    int Flavor = 0;
    std::int32_t Source = 0;
    std::string SourceName;
    std::int32_t Dest = 0;
    std::string DestName;
};

// What the report's lines say, as records.
struct TSanityFindings {
    std::vector<TDeathStageObject> DeathStage12;
    std::vector<std::string> LinkDataProblems; // "wtf? no link data found for L$Owns"
    std::vector<TDuplicateLinks> DuplicateLinks;
    std::vector<TLootGoalCheck> UnreachableLootGoals;
};

// Appends the lines of both checks to Report, and their records to Findings when given, on the
// open file and its loaded names; a report that begins with an empty line loses it.
void RunSanityCheck(TMissionFile& file, const TMissionNames& names,
                    std::vector<std::string>& report, TSanityFindings* findings = nullptr);

// The report as shown: "[hh:nn] File: NAME", an empty line, then the lines. Hour and Minute
// are the local time of the check.
[[nodiscard]] std::vector<std::string>
SanityReportWithHeading(const std::vector<std::string>& lines, const std::string& fileName,
                        int hour, int minute);

} // namespace kv
