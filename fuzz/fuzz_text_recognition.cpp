// Text recognition on any pixels. The input is a picture: its width and height (a byte each,
// plus one), a rectangle to read (four signed bytes, relative to the picture), then one byte per
// pixel, mapped onto black, white, the status bar's grey or a grey of the byte's own value.
// Each picture is read at that rectangle and as a whole, and at every DromEd field placed for a
// client area of the picture's size.
#include "FuzzSupport.h"

#include "dromed/TextRecognition.h"
#include "dromedscreen/DromEdFields.h"

using namespace kv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kHead = 6;
    if (size < kHead) return 0;
    const int width = data[0] + 1;
    const int height = data[1] + 1;
    const auto rel = [&](std::size_t i) {
        return static_cast<int>(static_cast<std::int8_t>(data[i]));
    };
    TPixelImage image(width, height, 0);
    for (std::size_t i = 0; i < image.Pixels.size() && kHead + i < size; ++i) {
        const std::uint32_t b = data[kHead + i];
        static constexpr std::uint32_t kColours[] = {0x000000, 0xFFFFFF, 0xC0C0C0};
        image.Pixels[i] = (b & 3) < 3 ? kColours[b & 3] : (b << 16) | (b << 8) | b;
    }
    // The input's rectangle and the whole picture as light and as dark text; each DromEd field
    // as the text it holds.
    volatile std::size_t sink = 0;
    const auto read = [&](const TRect& rect, bool dark) {
        fuzz::Refusable([&] { sink = sink + RecognizeText(image, rect, dark).size(); });
    };
    for (const bool dark : {false, true}) {
        read(TRect{rel(2), rel(3), width + rel(4), rel(3) + 11 + rel(5) / 16}, dark);
        read(TRect{0, 0, width, height}, dark);
    }
    for (int i = 0; i < kDromEdFieldCount; ++i) {
        const auto field = static_cast<TDromEdField>(i);
        read(PlaceDromEdField(field, width, height), DromEdFieldInfo(field).DarkText);
    }
    return 0;
}
