#include "app/SimMission.h"

#include "mission/MissionDb.h"
#include "text/TextFile.h"
#include "text/Win1252.h"

#include <algorithm>
#include <set>

namespace kv {

std::string BareObjectName(const std::string& name, std::int32_t objId) {
    const std::string suffix = " (" + std::to_string(objId) + ")";
    if (name.size() >= suffix.size() && name.ends_with(suffix)) {
        return name.substr(0, name.size() - suffix.size());
    }
    return name;
}

namespace {

// DromEd opens files as Windows does, ignoring letter case (and Korvane hands it lower-cased
// paths); where files are told apart by case, each part of the path is matched against its
// folder's entries the same way. A part nothing matches is kept as it stands.
std::filesystem::path FindIgnoringCase(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(path, ec)) return path;
    fs::path found = path.root_path();
    for (const fs::path& part : path.relative_path()) {
        fs::path next = found / part;
        if (!fs::exists(next, ec)) {
            const std::string wanted = AnsiLowerCase(PathToText(part));
            for (const fs::directory_entry& entry :
                 fs::directory_iterator(found.empty() ? fs::path(".") : found, ec)) {
                if (AnsiLowerCase(PathToText(entry.path().filename())) == wanted) {
                    next = found / entry.path().filename();
                    break;
                }
            }
        }
        found = std::move(next);
    }
    return found;
}

} // namespace

sim::TSimMission ReadSimMission(const std::filesystem::path& requested) {
    const std::filesystem::path file = FindIgnoringCase(requested);
    sim::TSimMission mission;
    mission.FileName = PathToText(file.filename());
    std::set<std::int32_t> withBrush;

    TReadBrushListParams params;
    params.FileName = file;
    params.UseBrushIDs = true;
    params.OnBrush = [&](TBrushKind kind, std::int32_t brushNum, std::int32_t objId,
                         const std::string& name) {
        sim::TSimBrush brush;
        brush.BrushId = brushNum;
        brush.Kind = kind;
        switch (kind) {
        case bkObject:
        case bkRoom:
            brush.ObjId = objId;
            brush.Name = BareObjectName(name, objId);
            withBrush.insert(objId);
            break;
        case bkArea: brush.Name = name; break;
        default: break; // DromEd shows no name for the other kinds
        }
        mission.Brushes.push_back(std::move(brush));
    };
    ReadBrushList(params);

    // Contained objects and archetypes have no brush, yet links to them can be made.
    std::set<std::int32_t> extra;
    ReadLinks(file, nullptr, nullptr,
              [&](std::int32_t, std::int32_t source, std::int32_t dest, int) {
                  for (const std::int32_t id : {source, dest}) {
                      if (id != 0 && !withBrush.contains(id)) extra.insert(id);
                  }
              });
    mission.ExtraObjects.assign(extra.begin(), extra.end());
    return mission;
}

} // namespace kv
