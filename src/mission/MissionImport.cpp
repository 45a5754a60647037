#include "mission/MissionImport.h"

#include <string_view>

namespace kv {

const char* ImportKindName(TBrushKind kind) { return KindName(kind, "???"); }

bool ImportBrush(const TImportOptions& options, TBrushKind kind, std::int32_t brushNum,
                 std::int32_t objId, const std::string& name, TBrushInfo& favorite) {
    if (options.Loot != nullptr &&
        (objId == 0 || kind != bkObject || !options.Loot->HasId(objId))) {
        return false;
    }
    const std::string_view shownName =
        name.empty() ? std::string_view(ImportKindName(kind)) : std::string_view(name);
    if (options.Loot == nullptr && !FilterAccepts(options.Filter, kind, shownName)) return false;
    favorite.Kind = kind;
    favorite.BrushNum = brushNum;
    favorite.ObjID = objId;
    favorite.Name = shownName;
    return true;
}

void ImportMission(const std::filesystem::path& mission, const TImportOptions& options,
                   const std::function<void(const TBrushInfo&)>& addFavorite) {
    TReadBrushListParams params;
    params.FileName = mission;
    params.OnBrush = [&options, &addFavorite](TBrushKind kind, std::int32_t brushNum,
                                              std::int32_t objId, const std::string& name) {
        TBrushInfo favorite;
        if (ImportBrush(options, kind, brushNum, objId, name, favorite) && addFavorite) {
            addFavorite(favorite);
        }
    };
    params.UseBrushIDs = options.UseBrushIDs;
    params.Report = options.Report;
    ReadBrushList(params);
}

} // namespace kv
