// The favourites file: "*FAVLIST", one encoded favourite per line, "~FAVLIST".
#pragma once

#include "workspace/Favorites.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace kv {

inline constexpr const char* kFavListBegin = "*FAVLIST";
inline constexpr const char* kFavListEnd = "~FAVLIST";

// The whole file's bytes, every line ended by CR LF.
[[nodiscard]] std::string FormatFavoritesFile(const std::vector<const TBrushInfo*>& items);

// The favourites of every list in the lines, in file order. Reading stops at the first
// malformed favourite line: Items holds what was read before it, Error its message and
// ErrorLine its number (from 1) and text.
struct TFavoritesParse {
    std::vector<TBrushInfo> Items;
    bool HasList = false; // a "*FAVLIST" line was seen: the file is a favourites file
    std::string Error;
    std::size_t ErrorLine = 0;
    std::string ErrorLineText;
};
[[nodiscard]] TFavoritesParse ParseFavoritesLines(const std::vector<std::string>& lines);

// The message for a failed read: the decoder's message, then the line and the file, e.g.
// Invalid encoded integer in line 3 of "level1.kvf": 1{4}2{1x}. The line's text is added only
// when it is short and printable.
[[nodiscard]] std::string FavoritesErrorMessage(const TFavoritesParse& parsed,
                                                const std::string& fileName);

// The log line for a file without any favourites list.
[[nodiscard]] std::string NoFavoritesListMessage(const std::string& fileName);

// The order in which a save writes the favourites: the rows shown, in display order, then
// every favourite the display filter hides, in list order, so that a save drops nothing.
[[nodiscard]] std::vector<const TBrushInfo*>
FavoritesInSaveOrder(const std::vector<const TBrushInfo*>& shownRows, const TFavoriteList& all);

} // namespace kv
