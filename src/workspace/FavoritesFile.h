// The favourites file: "*FAVLIST", one encoded favourite per line, "~FAVLIST".
#pragma once

#include "workspace/Favorites.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kv {

inline constexpr const char* kFavListBegin = "*FAVLIST";
inline constexpr const char* kFavListEnd = "~FAVLIST";

// The whole file's bytes, every line ended by CR LF.
[[nodiscard]] std::string FormatFavoritesFile(const std::vector<const TBrushInfo*>& items);

// The favourites of every list in the lines, in file order. Reading stops at the first
// malformed favourite line: Items holds what was read before it and Error its message.
struct TFavoritesParse {
    std::vector<TBrushInfo> Items;
    std::string Error;
};
[[nodiscard]] TFavoritesParse ParseFavoritesLines(const std::vector<std::string>& lines);

// The order in which a save writes the favourites: the rows shown, in display order, then
// every favourite the display filter hides, in list order, so that a save drops nothing.
[[nodiscard]] std::vector<const TBrushInfo*>
FavoritesInSaveOrder(const std::vector<const TBrushInfo*>& shownRows, const TFavoriteList& all);

} // namespace kv
