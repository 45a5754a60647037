// Reading text from a copy of DromEd's client area by matching the built-in font pixel for
// pixel.
#pragma once

#include "dromedscreen/Glyphs.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>

namespace kv {

// A colour is bright when red, green or blue exceeds 50. Light text: bright pixels are ink;
// dark text: dark pixels are.
[[nodiscard]] bool IsInkColour(std::uint32_t colour, bool darkText) noexcept;

// The text inside Rect (client coordinates; rows Top to Bottom - 1) of the image. A point of
// the rectangle outside the image raises Exception "GetPixel failed (x,y)", as a pixel read of
// the screen copy would.
[[nodiscard]] std::string RecognizeText(const TPixelImage& image, const TRect& rect, bool darkText,
                                        const TGlyphTable& glyphs = GlyphTable());

} // namespace kv
