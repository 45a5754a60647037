#include "workspace/MissionCommands.h"

#include "text/TextFile.h"
#include "text/Win1252.h"
#include "workspace/DromEdLaunch.h"

#include <algorithm>

namespace kv {

std::filesystem::path DromEdProgramFolder(const std::string& dromEdPath) {
    // A quoted program ends at its closing quote; what follows are DromEd's arguments.
    const std::string program(DromEdProgram(dromEdPath));
    const std::size_t slash = program.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    std::string folder = program.substr(0, slash + 1);
    std::replace(folder.begin(), folder.end(), '\\',
                 static_cast<char>(std::filesystem::path::preferred_separator));
    return TextToPath(folder);
}

std::filesystem::path LootGamesysDir(const std::string& dromEdPath,
                                     const std::filesystem::path& mission) {
    std::filesystem::path folder = DromEdProgramFolder(dromEdPath);
    if (folder.empty()) folder = mission.parent_path();
    return folder;
}

bool IsDromEdMission(const std::string& dromEdMission, const std::filesystem::path& chosen) {
    return !dromEdMission.empty() && AnsiSameText(dromEdMission, PathToText(chosen.filename()));
}

} // namespace kv
