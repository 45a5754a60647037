// Copies of DromEd's client area and the texts read from them: the status bar, the name lines
// and brush number of the brush panel, and the panel captions that tell the selection's kind.
#pragma once

#include "dromedscreen/DromEdFields.h"
#include "dromedscreen/Glyphs.h"
#include "items/BrushInfo.h"
#include "platform/Platform.h"

#include <optional>
#include <string>

namespace kv {

// A copy of DromEd's client area: a memory device context and the bitmap selected into it,
// released when the capture goes (or by FreeDromEdCapture). Pixel (0, 0) is the client area's
// top-left corner. The pixels are read from the bitmap in one go the first time they are used.
class TDromEdCapture {
public:
    TDromEdCapture() = default;
    TDromEdCapture(TPlatform& platform, THandle dc, THandle bitmap);
    ~TDromEdCapture();
    TDromEdCapture(TDromEdCapture&& other) noexcept;
    TDromEdCapture& operator=(TDromEdCapture&& other) noexcept;
    TDromEdCapture(const TDromEdCapture&) = delete;
    TDromEdCapture& operator=(const TDromEdCapture&) = delete;

    // Takes ownership of the bitmap selected into the context.
    void AttachBitmap(THandle bitmap) { bitmap_ = bitmap; }
    [[nodiscard]] THandle Dc() const { return dc_; }
    [[nodiscard]] THandle Bitmap() const { return bitmap_; }
    // An empty image when the bitmap cannot be read, so that every pixel read fails.
    [[nodiscard]] const TPixelImage& Pixels() const;
    void Free();

private:
    TPlatform* platform_ = nullptr;
    THandle dc_ = 0;
    THandle bitmap_ = 0;
    mutable std::optional<TPixelImage> pixels_;
};

// Brings DromEd to the front, waits 50 ms, copies its client area from the screen and brings
// the program's own window back. Raises EDromEdNotFound or Exception with the failing step.
[[nodiscard]] TDromEdCapture CaptureDromEdClient(TPlatform& platform);
void FreeDromEdCapture(TDromEdCapture& capture);

// The text inside a client rectangle, from Capture or from a capture made for the purpose.
[[nodiscard]] std::string RecognizeScreenText(TPlatform& platform, const TRect& rect, bool darkText,
                                              const TDromEdCapture* capture);

// The text of a field placed for DromEd's current client size; empty when DromEd is not found
// or its client rectangle cannot be read. Capture failures and pixel read failures pass on.
[[nodiscard]] std::string ReadDromEdField(TPlatform& platform, TDromEdField field,
                                          const TDromEdCapture* capture = nullptr);

// The kind of brush whose panel DromEd shows, from the panel button captions; bkNone when no
// caption is recognised.
[[nodiscard]] TBrushKind DetectBrushPanel(TPlatform& platform,
                                          const TDromEdCapture* capture = nullptr);

} // namespace kv
