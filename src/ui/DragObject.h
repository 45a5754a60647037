// What a drag from the favourites list carries: references to the dragged favourites, in
// display order. The Link Painter accepts it when it holds at least one item.
#pragma once

#include "items/BrushInfo.h"

#include <QMimeData>

#include <memory>
#include <vector>

namespace kv {

class TKorvane_DragObjectEx : public QMimeData {
    Q_OBJECT
public:
    TKorvane_DragObjectEx() = default;

    // The items referred to. The favourites list only refers to items it keeps owning.
    std::vector<TBrushInfo*> Items;

    // Hands the object items of its own, released with it; they are appended to Items.
    void AdoptItems(std::vector<std::unique_ptr<TBrushInfo>> items);
    [[nodiscard]] bool OwnsItems() const { return !owned_.empty(); }

    // The format under which the drag offers itself inside the application.
    static const char* MimeType();

private:
    std::vector<std::unique_ptr<TBrushInfo>> owned_;
};

} // namespace kv
