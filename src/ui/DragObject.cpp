#include "ui/DragObject.h"

namespace kv {

void TKorvane_DragObjectEx::AdoptItems(std::vector<std::unique_ptr<TBrushInfo>> items) {
    for (auto& item : items) {
        Items.push_back(item.get());
        owned_.push_back(std::move(item));
    }
}

const char* TKorvane_DragObjectEx::MimeType() { return "application/x-korvane-favorites"; }

} // namespace kv
