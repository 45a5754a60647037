// What the Link Painter hangs on its graph: a link's flavor and active flag, and the data
// strings in which nodes and edges write themselves into link template files.
#pragma once

#include "items/BrushInfo.h"

#include <cstdint>
#include <string>

namespace kv {

struct TLinkData {
    std::uint8_t Flavor = 0; // index into the table of link flavors
    std::uint8_t Active = 1; // 1: the link is to be created in DromEd
    friend bool operator==(const TLinkData&, const TLinkData&) = default;
};

// The encoded flavor and active flag, e.g. "2{24}1{1}".
[[nodiscard]] std::string EncodeLinkData(const TLinkData& data);
// Two encoded integers, each kept in a byte; raises Exception on malformed text.
[[nodiscard]] TLinkData DecodeLinkData(const std::string& text);

} // namespace kv
