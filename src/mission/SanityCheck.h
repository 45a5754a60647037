// The sanity check of a mission: objects left at death stage 12 and links that exist more than
// once, written as report lines.
#pragma once

#include "mission/MissionDb.h"
#include "mission/MissionFile.h"

#include <string>
#include <vector>

namespace kv {

// Appends the lines of both checks to Report, on the open file and its loaded names; a report
// that begins with an empty line loses it.
void RunSanityCheck(TMissionFile& file, const TMissionNames& names,
                    std::vector<std::string>& report);

// The report as shown: "[hh:nn] File: NAME", an empty line, then the lines. Hour and Minute
// are the local time of the check.
[[nodiscard]] std::vector<std::string>
SanityReportWithHeading(const std::vector<std::string>& lines, const std::string& fileName,
                        int hour, int minute);

} // namespace kv
