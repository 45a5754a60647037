#include "app/SimMission.h"

#include "mission/MissionDb.h"
#include "text/TextFile.h"

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

sim::TSimMission ReadSimMission(const std::filesystem::path& file) {
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
