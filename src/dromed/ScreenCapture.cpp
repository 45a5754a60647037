#include "dromed/ScreenCapture.h"

#include "dromed/DromEdWindow.h"
#include "dromed/TextRecognition.h"

#include <utility>

namespace kv {

TDromEdCapture::TDromEdCapture(TPlatform& platform, THandle dc, THandle bitmap)
    : platform_(&platform), dc_(dc), bitmap_(bitmap) {}

TDromEdCapture::~TDromEdCapture() { Free(); }

TDromEdCapture::TDromEdCapture(TDromEdCapture&& other) noexcept
    : platform_(other.platform_), dc_(std::exchange(other.dc_, 0)),
      bitmap_(std::exchange(other.bitmap_, 0)), pixels_(std::move(other.pixels_)) {}

TDromEdCapture& TDromEdCapture::operator=(TDromEdCapture&& other) noexcept {
    if (this != &other) {
        Free();
        platform_ = other.platform_;
        dc_ = std::exchange(other.dc_, 0);
        bitmap_ = std::exchange(other.bitmap_, 0);
        pixels_ = std::move(other.pixels_);
    }
    return *this;
}

const TPixelImage& TDromEdCapture::Pixels() const {
    if (!pixels_) {
        TPixelImage image;
        if (platform_ == nullptr || dc_ == 0 ||
            !platform_->ReadPixels(dc_, image.Width, image.Height, image.Pixels)) {
            image = TPixelImage();
        }
        pixels_ = std::move(image);
    }
    return *pixels_;
}

void TDromEdCapture::Free() {
    if (platform_ == nullptr) return;
    if (dc_ != 0) platform_->DeleteDC(std::exchange(dc_, 0));
    if (bitmap_ != 0) platform_->DeleteObject(std::exchange(bitmap_, 0));
    pixels_.reset();
}

void FreeDromEdCapture(TDromEdCapture& capture) { capture.Free(); }

namespace {

// The screen device context of the desktop, released on every path out.
class TScreenDc {
public:
    TScreenDc(TPlatform& platform, THwnd desktop)
        : platform_(platform), desktop_(desktop), dc_(platform.GetDC(desktop)) {}
    ~TScreenDc() {
        if (dc_ != 0) platform_.ReleaseDC(desktop_, dc_);
    }
    TScreenDc(const TScreenDc&) = delete;
    TScreenDc& operator=(const TScreenDc&) = delete;
    [[nodiscard]] THandle Get() const { return dc_; }

private:
    TPlatform& platform_;
    THwnd desktop_;
    THandle dc_;
};

// Brings the program's own window back to the front however the copy ended.
class TReturnToOwnWindow {
public:
    explicit TReturnToOwnWindow(TPlatform& platform) : platform_(platform) {}
    ~TReturnToOwnWindow() {
        if (const THwnd own = platform_.OwnMainWindow(); own != 0) {
            platform_.SetForegroundWindow(own);
        }
    }
    TReturnToOwnWindow(const TReturnToOwnWindow&) = delete;
    TReturnToOwnWindow& operator=(const TReturnToOwnWindow&) = delete;

private:
    TPlatform& platform_;
};

} // namespace

TDromEdCapture CaptureDromEdClient(TPlatform& platform) {
    const THwnd desktop = platform.GetDesktopWindow();
    const THwnd dromEd = FindDromEdWindow(platform);
    if (!BringDromEdToFront(platform)) throw Exception("Failed to bring DromEd window to front");
    platform.Sleep(50);

    const TReturnToOwnWindow returnToOwn(platform);
    const TScreenDc screen(platform, desktop);
    if (screen.Get() == 0) throw Exception("Cannot get Desktop HDC");
    // The capture owns the memory context and bitmap from the moment they exist, so a failure
    // of a later step releases them.
    TDromEdCapture capture(platform, platform.CreateCompatibleDC(screen.Get()), 0);
    if (capture.Dc() == 0) throw Exception("CreateCompatibleDC failed");
    TRect client;
    if (!platform.GetClientRect(dromEd, client)) throw Exception("GetWindowRect failed");
    TPoint origin{client.Left, client.Top};
    if (!platform.ClientToScreen(dromEd, origin)) throw Exception("ClientToScreen failed");
    const THandle bitmap =
        platform.CreateCompatibleBitmap(screen.Get(), client.Width(), client.Height());
    if (bitmap == 0) throw Exception("CreateCompatibleBitmap failed");
    capture.AttachBitmap(bitmap);
    platform.SelectObject(capture.Dc(), bitmap);
    if (!platform.BitBlt(capture.Dc(), 0, 0, client.Width(), client.Height(), screen.Get(),
                         origin.X, origin.Y)) {
        throw Exception("BitBlt failed");
    }
    return capture;
}

std::string RecognizeScreenText(TPlatform& platform, const TRect& rect, bool darkText,
                                const TDromEdCapture* capture) {
    if (capture != nullptr) return RecognizeText(capture->Pixels(), rect, darkText);
    const TDromEdCapture own = CaptureDromEdClient(platform);
    return RecognizeText(own.Pixels(), rect, darkText);
}

std::string ReadDromEdField(TPlatform& platform, TDromEdField field,
                            const TDromEdCapture* capture) {
    THwnd window = 0;
    try {
        window = FindDromEdWindow(platform);
    } catch (const std::exception&) {
        return {};
    }
    TRect client;
    if (!platform.GetClientRect(window, client)) return {};
    const TRect place = PlaceDromEdField(field, client.Width(), client.Height());
    return RecognizeScreenText(platform, place, DromEdFieldInfo(field).DarkText, capture);
}

TBrushKind DetectBrushPanel(TPlatform& platform, const TDromEdCapture* capture) {
    std::optional<TDromEdCapture> own;
    if (capture == nullptr) {
        own = CaptureDromEdClient(platform);
        capture = &*own;
    }
    const auto reads = [&](TDromEdField field, std::initializer_list<const char*> texts) {
        const std::string text = ReadDromEdField(platform, field, capture);
        for (const char* t : texts) {
            if (text == t) return true;
        }
        return false;
    };
    if (reads(dfCaptionShowHot, {"Show Hot", "Show All"})) return bkArea;
    if (reads(dfCaptionReset, {"Reset"})) return bkTerrain;
    if (reads(dfCaptionBright, {"Bright"})) return bkLight;
    if (reads(dfCaptionFloorMe, {"Floor Me"})) return bkObject;
    if (reads(dfCaptionGroup, {"Group"})) return bkFlow;
    if (reads(dfCaptionCompile, {"Compile"})) return bkRoom;
    return bkNone;
}

} // namespace kv
