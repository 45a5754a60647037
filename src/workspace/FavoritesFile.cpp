#include "workspace/FavoritesFile.h"

#include "items/EncodedValues.h"
#include "text/Exception.h"
#include "text/TextFile.h"

#include <unordered_set>

namespace kv {

std::string FormatFavoritesFile(const std::vector<const TBrushInfo*>& items) {
    std::vector<std::string> lines;
    lines.reserve(items.size() + 2);
    lines.emplace_back(kFavListBegin);
    for (const TBrushInfo* item : items) lines.push_back(EncodeBrushInfo(*item));
    lines.emplace_back(kFavListEnd);
    return JoinLinesCrLf(lines);
}

TFavoritesParse ParseFavoritesLines(const std::vector<std::string>& lines) {
    TFavoritesParse result;
    bool inside = false;
    for (const std::string& line : lines) {
        if (line == kFavListBegin) {
            inside = true;
        } else if (line == kFavListEnd) {
            inside = false;
        } else if (inside) {
            try {
                result.Items.push_back(DecodeBrushInfo(line));
            } catch (const Exception& e) {
                result.Error = e.what();
                break;
            }
        }
    }
    return result;
}

std::vector<const TBrushInfo*> FavoritesInSaveOrder(const std::vector<const TBrushInfo*>& shownRows,
                                                    const TFavoriteList& all) {
    std::vector<const TBrushInfo*> order = shownRows;
    const std::unordered_set<const TBrushInfo*> shown(shownRows.begin(), shownRows.end());
    for (const auto& item : all) {
        if (!shown.contains(item.get())) order.push_back(item.get());
    }
    return order;
}

} // namespace kv
