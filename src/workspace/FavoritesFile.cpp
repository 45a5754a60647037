#include "workspace/FavoritesFile.h"

#include "items/EncodedValues.h"
#include "text/Exception.h"
#include "text/TextFile.h"

#include <algorithm>
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
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line == kFavListBegin) {
            inside = true;
            result.HasList = true;
        } else if (line == kFavListEnd) {
            inside = false;
        } else if (inside) {
            try {
                result.Items.push_back(DecodeBrushInfo(line));
            } catch (const Exception& e) {
                result.Error = e.what();
                result.ErrorLine = i + 1;
                result.ErrorLineText = line;
                break;
            }
        }
    }
    return result;
}

namespace {

// Short enough for a message box, and nothing in it that a message box would garble.
bool ShowableLine(const std::string& line) {
    constexpr std::size_t kMaxShown = 60;
    if (line.empty() || line.size() > kMaxShown) return false;
    return std::none_of(line.begin(), line.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

} // namespace

std::string FavoritesErrorMessage(const TFavoritesParse& parsed, const std::string& fileName) {
    std::string message =
        parsed.Error + " in line " + std::to_string(parsed.ErrorLine) + " of \"" + fileName + "\"";
    if (ShowableLine(parsed.ErrorLineText)) message += ": " + parsed.ErrorLineText;
    return message;
}

std::string NoFavoritesListMessage(const std::string& fileName) {
    return "No favorites list found in \"" + fileName + "\"";
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
