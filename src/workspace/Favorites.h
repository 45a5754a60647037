// The favourites list: the items the main window owns, their list columns, their sort order
// and the enabling rules of the actions on the selected one.
#pragma once

#include "items/BrushInfo.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

// Every favourite, each allocated by itself so that references to it stay valid.
using TFavoriteList = std::vector<std::unique_ptr<TBrushInfo>>;

// The texts of the four list columns: "Type", "#", "Obj.ID", "Name".
[[nodiscard]] std::string ListColumnText(const TBrushInfo& info, int column);

// The list's comparison by a column (1 "#", 2 "Obj.ID", 3 "Name", anything else the kind);
// ties go by brush number, and descending order negates the whole result.
[[nodiscard]] int CompareFavorites(const TBrushInfo& a, const TBrushInfo& b, int sortColumn,
                                   bool descending) noexcept;

// Enabling rules of the actions on the selected favourite (an empty record when nothing is
// selected): the DromEd editors need an object with a known ID; select, go to and remove
// need any recognised item.
[[nodiscard]] bool NeedsObject(const TBrushInfo& selected) noexcept;
[[nodiscard]] bool NeedsSelection(const TBrushInfo& selected) noexcept;

} // namespace kv
