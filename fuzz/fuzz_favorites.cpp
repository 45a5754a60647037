// The favourites file: the lines of any text as the reader takes them, and a list that was read
// written again and read back, which must give as many favourites without an error.
#include "FuzzSupport.h"

#include "text/TextFile.h"
#include "workspace/FavoritesFile.h"

#include <cstdlib>

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Refusable([&] {
        const TFavoritesParse parsed =
            ParseFavoritesLines(SplitTextLines(fuzz::AsText(data, size)));
        if (!parsed.Error.empty()) {
            if (FavoritesErrorMessage(parsed, "fuzz.kvf").empty()) std::abort();
            return;
        }
        std::vector<const TBrushInfo*> items;
        for (const TBrushInfo& item : parsed.Items) items.push_back(&item);
        const TFavoritesParse again =
            ParseFavoritesLines(SplitTextLines(FormatFavoritesFile(items)));
        if (!again.Error.empty() || again.Items.size() != parsed.Items.size()) std::abort();
    });
    return 0;
}
