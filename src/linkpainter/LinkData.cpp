#include "linkpainter/LinkData.h"

#include "items/EncodedValues.h"

namespace kv {

std::string EncodeLinkData(const TLinkData& data) {
    return EncodeInteger(data.Flavor) + EncodeInteger(data.Active);
}

TLinkData DecodeLinkData(const std::string& text) {
    std::string stream = text;
    TLinkData data;
    data.Flavor =
        static_cast<std::uint8_t>(static_cast<std::uint32_t>(DecodeInteger(stream)) & 0xFFu);
    data.Active =
        static_cast<std::uint8_t>(static_cast<std::uint32_t>(DecodeInteger(stream)) & 0xFFu);
    return data;
}

} // namespace kv
