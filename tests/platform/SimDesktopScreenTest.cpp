// Tests of the simulated desktop's screen: pixels composed from the windows and the GDI copy
// through device contexts and bitmaps.
#include "platform/sim/SimDesktop.h"

#include "platform/SimDesktopTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kv::sim {
namespace {

using namespace kv::win;
using kv::test::FramedDesc;
using kv::test::WindowDesc;

// ---------------------------------------------------------------------------------------------
// Screen and GDI

// A client area painted with a pattern that depends on both coordinates.
std::uint32_t Pattern(int x, int y) {
    return static_cast<std::uint32_t>((x * 7 + y * 13) & 0xFF) |
           (static_cast<std::uint32_t>(y & 0xFF) << 8) | 0x10000;
}

struct TCapture {
    THandle Screen = 0;
    THandle Memory = 0;
    THandle Bitmap = 0;
    THandle Stock = 0;
};

TCapture Capture(TSimDesktop& desktop, int left, int top, int width, int height) {
    TCapture c;
    c.Screen = desktop.GetDC(desktop.GetDesktopWindow());
    EXPECT_NE(c.Screen, 0u);
    c.Memory = desktop.CreateCompatibleDC(c.Screen);
    EXPECT_NE(c.Memory, 0u);
    c.Bitmap = desktop.CreateCompatibleBitmap(c.Screen, width, height);
    EXPECT_NE(c.Bitmap, 0u);
    c.Stock = desktop.SelectObject(c.Memory, c.Bitmap);
    EXPECT_NE(c.Stock, 0u);
    EXPECT_TRUE(desktop.BitBlt(c.Memory, 0, 0, width, height, c.Screen, left, top));
    return c;
}

void Free(TSimDesktop& desktop, const TCapture& c) {
    EXPECT_TRUE(desktop.ReleaseDC(desktop.GetDesktopWindow(), c.Screen));
    EXPECT_TRUE(desktop.DeleteDC(c.Memory));
    EXPECT_TRUE(desktop.DeleteObject(c.Bitmap));
}

TEST(SimDesktopScreen, PixelsComeFromTheTopmostVisibleWindow) {
    TSimDesktop desktop(200, 100);
    TSimWindowSpec back = FramedDesc({10, 10, 110, 90});
    const THwnd painted = desktop.CreateSimWindow(back);
    desktop.Window(painted)->PaintPixel = Pattern;
    const THwnd grey = desktop.CreateSimWindow(FramedDesc({60, 0, 150, 50}));

    EXPECT_EQ(desktop.ScreenPixel(0, 0), 0x404000u);       // desktop
    EXPECT_EQ(desktop.ScreenPixel(10, 10), 0xC0C0C0u);     // frame of the painted window
    EXPECT_EQ(desktop.ScreenPixel(14, 30), Pattern(0, 0)); // its client origin
    EXPECT_EQ(desktop.ScreenPixel(20, 45), Pattern(6, 15));
    EXPECT_EQ(desktop.ScreenPixel(70, 30), 0x808080u);       // the grey window on top
    EXPECT_EQ(desktop.ScreenPixel(60, 30), 0xC0C0C0u);       // its left frame
    EXPECT_EQ(desktop.ScreenPixel(70, 60), Pattern(56, 30)); // below the grey window
    EXPECT_EQ(desktop.ScreenPixel(-1, 5), 0u);               // off the screen
    EXPECT_EQ(desktop.ScreenPixel(200, 5), 0u);

    ASSERT_TRUE(desktop.SetForegroundWindow(painted));
    EXPECT_EQ(desktop.ScreenPixel(70, 30), Pattern(56, 0));

    desktop.Minimise(painted);
    EXPECT_EQ(desktop.ScreenPixel(70, 30), 0x808080u);
    EXPECT_EQ(desktop.ScreenPixel(20, 45), 0x404000u);
    desktop.Restore(painted);
    desktop.Window(painted)->Props.Style &= ~WS_VISIBLE;
    EXPECT_EQ(desktop.ScreenPixel(20, 45), 0x404000u);
    (void)grey;
}

TEST(SimDesktopScreen, CaptureShowsWhatIsOnTopOfAWindow) {
    TSimDesktop desktop(400, 300);
    const THwnd painted = desktop.CreateSimWindow(FramedDesc({20, 10, 220, 170}));
    desktop.Window(painted)->PaintPixel = Pattern;
    // A window in front covers the lower right part of the painted client area.
    desktop.CreateSimWindow(FramedDesc({150, 100, 300, 250}));

    TRect client;
    ASSERT_TRUE(desktop.GetClientRect(painted, client));
    TPoint origin;
    ASSERT_TRUE(desktop.ClientToScreen(painted, origin));
    EXPECT_EQ(client, (TRect{0, 0, 192, 136}));
    EXPECT_EQ(origin, (TPoint{24, 30}));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);

    const TCapture c = Capture(desktop, origin.X, origin.Y, client.Right, client.Bottom);
    EXPECT_EQ(desktop.LiveGdiObjects(), 3);
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(desktop.ReadPixels(c.Memory, width, height, pixels));
    ASSERT_EQ(width, 192);
    ASSERT_EQ(height, 136);
    ASSERT_EQ(pixels.size(), 192u * 136u);
    int covered = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t expected = desktop.ScreenPixel(origin.X + x, origin.Y + y);
            ASSERT_EQ(pixels[static_cast<std::size_t>(y) * width + x], expected) << x << "," << y;
            ASSERT_EQ(desktop.GetPixel(c.Memory, x, y), expected);
            const bool front = origin.X + x >= 150 && origin.Y + y >= 100;
            if (front) {
                ++covered;
                EXPECT_NE(expected, Pattern(x, y));
            } else {
                EXPECT_EQ(expected, Pattern(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(covered, 0);
    EXPECT_EQ(desktop.GetPixel(c.Memory, 150 - origin.X, 120 - origin.Y), 0xC0C0C0u);
    EXPECT_EQ(desktop.GetPixel(c.Memory, 160 - origin.X, 130 - origin.Y), 0x808080u);
    EXPECT_EQ(desktop.GetPixel(c.Memory, -1, 0), CLR_INVALID);
    EXPECT_EQ(desktop.GetPixel(c.Memory, 0, 136), CLR_INVALID);
    EXPECT_EQ(desktop.GetPixel(c.Memory, 192, 0), CLR_INVALID);
    EXPECT_EQ(desktop.GetPixel(0xBAD, 0, 0), CLR_INVALID);

    // The copy keeps what it saw when the screen changes.
    desktop.DestroySimWindow(desktop.ZOrder().front());
    EXPECT_EQ(desktop.GetPixel(c.Memory, 160 - origin.X, 130 - origin.Y), 0x808080u);

    // Putting the stock bitmap back returns the capture's bitmap.
    EXPECT_EQ(desktop.SelectObject(c.Memory, c.Stock), c.Bitmap);
    EXPECT_FALSE(desktop.ReadPixels(c.Memory, width, height, pixels));
    Free(desktop, c);
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, FullScreenCaptureOfALargeClient) {
    TSimDesktop desktop(1280, 1024);
    TSimWindowSpec desc = FramedDesc({-4, -20, 1284, 1028});
    const THwnd w = desktop.CreateSimWindow(desc);
    desktop.Window(w)->PaintPixel = Pattern;
    const TCapture c = Capture(desktop, 0, 0, 1280, 1024);
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    ASSERT_TRUE(desktop.ReadPixels(c.Memory, width, height, pixels));
    ASSERT_EQ(pixels.size(), 1280u * 1024u);
    std::size_t wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (pixels[static_cast<std::size_t>(y) * width + x] != Pattern(x, y)) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0u);
    Free(desktop, c);
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, CopyClipsAtTheBitmapAndTheScreen) {
    TSimDesktop desktop(50, 40);
    const THwnd w = desktop.CreateSimWindow(WindowDesc("W", "w", {0, 0, 50, 40}));
    desktop.Window(w)->PaintPixel = Pattern;
    const THandle screen = desktop.GetDC(0);
    const THandle memory = desktop.CreateCompatibleDC(screen);
    const THandle bitmap = desktop.CreateCompatibleBitmap(screen, 10, 10);
    ASSERT_NE(desktop.SelectObject(memory, bitmap), 0u);
    // Wider than the bitmap and partly beyond the right edge of the screen.
    ASSERT_TRUE(desktop.BitBlt(memory, 2, 3, 20, 20, screen, 45, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 0, 0), 0u); // untouched, bitmaps start black
    EXPECT_EQ(desktop.GetPixel(memory, 2, 3), Pattern(45, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 6, 9), Pattern(49, 6));
    EXPECT_EQ(desktop.GetPixel(memory, 7, 9), 0u); // x = 50 lies off the screen
    EXPECT_TRUE(desktop.ReleaseDC(0, screen));
    EXPECT_TRUE(desktop.DeleteDC(memory));
    EXPECT_TRUE(desktop.DeleteObject(bitmap));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, WindowDeviceContextStartsAtTheClientArea) {
    TSimDesktop desktop(300, 200);
    const THwnd w = desktop.CreateSimWindow(FramedDesc({30, 40, 230, 190}));
    desktop.Window(w)->PaintPixel = Pattern;
    const THandle dc = desktop.GetDC(w);
    ASSERT_NE(dc, 0u);
    EXPECT_EQ(desktop.GetPixel(dc, 5, 6), Pattern(5, 6));
    EXPECT_EQ(desktop.GetDC(0xBAD), 0u);
    EXPECT_FALSE(desktop.ReleaseDC(0, dc)); // released by another window than its own
    EXPECT_FALSE(desktop.DeleteDC(dc));     // screen contexts are released, not deleted
    EXPECT_TRUE(desktop.ReleaseDC(w, dc));
    EXPECT_FALSE(desktop.ReleaseDC(w, dc));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, FailureSwitchesAndBadArguments) {
    TSimDesktop desktop(100, 100);
    desktop.FailGetDC = true;
    EXPECT_EQ(desktop.GetDC(0), 0u);
    desktop.FailGetDC = false;
    const THandle screen = desktop.GetDC(0);
    ASSERT_NE(screen, 0u);

    desktop.FailCreateCompatibleDC = true;
    EXPECT_EQ(desktop.CreateCompatibleDC(screen), 0u);
    desktop.FailCreateCompatibleDC = false;
    EXPECT_EQ(desktop.CreateCompatibleDC(0xBAD), 0u);
    const THandle memory = desktop.CreateCompatibleDC(screen);
    ASSERT_NE(memory, 0u);

    desktop.FailCreateCompatibleBitmap = true;
    EXPECT_EQ(desktop.CreateCompatibleBitmap(screen, 10, 10), 0u);
    desktop.FailCreateCompatibleBitmap = false;
    EXPECT_EQ(desktop.CreateCompatibleBitmap(screen, 0, 10), 0u);
    EXPECT_EQ(desktop.CreateCompatibleBitmap(screen, 10, -1), 0u);
    EXPECT_EQ(desktop.CreateCompatibleBitmap(0xBAD, 10, 10), 0u);
    const THandle bitmap = desktop.CreateCompatibleBitmap(screen, 10, 10);
    ASSERT_NE(bitmap, 0u);

    // Nothing selected yet: no pixels to read or copy into.
    int w = 0;
    int h = 0;
    std::vector<std::uint32_t> pixels;
    EXPECT_FALSE(desktop.ReadPixels(memory, w, h, pixels));
    EXPECT_FALSE(desktop.BitBlt(memory, 0, 0, 10, 10, screen, 0, 0));
    EXPECT_EQ(desktop.SelectObject(memory, 0xBAD), 0u);
    EXPECT_EQ(desktop.SelectObject(screen, bitmap), 0u);
    ASSERT_NE(desktop.SelectObject(memory, bitmap), 0u);
    // A bitmap cannot be in two device contexts at once.
    const THandle other = desktop.CreateCompatibleDC(screen);
    EXPECT_EQ(desktop.SelectObject(other, bitmap), 0u);
    EXPECT_TRUE(desktop.DeleteDC(other));

    desktop.FailBitBlt = true;
    EXPECT_FALSE(desktop.BitBlt(memory, 0, 0, 10, 10, screen, 0, 0));
    desktop.FailBitBlt = false;
    EXPECT_FALSE(desktop.BitBlt(0xBAD, 0, 0, 10, 10, screen, 0, 0));
    EXPECT_FALSE(desktop.BitBlt(memory, 0, 0, 10, 10, 0xBAD, 0, 0));
    EXPECT_TRUE(desktop.BitBlt(memory, 0, 0, 10, 10, screen, 0, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 9, 9), 0x404000u);

    EXPECT_FALSE(desktop.ReleaseDC(0, memory));
    EXPECT_FALSE(desktop.DeleteDC(0xBAD));
    EXPECT_FALSE(desktop.DeleteObject(0xBAD));
    EXPECT_EQ(desktop.LiveGdiObjects(), 3);

    // Freed in the wrong order: the bitmap goes with the context it is still selected into.
    EXPECT_TRUE(desktop.DeleteObject(bitmap));
    EXPECT_EQ(desktop.GetPixel(memory, 9, 9), 0x404000u);
    EXPECT_FALSE(desktop.DeleteObject(bitmap));
    EXPECT_TRUE(desktop.DeleteDC(memory));
    EXPECT_FALSE(desktop.DeleteDC(memory));
    EXPECT_TRUE(desktop.ReleaseDC(0, screen));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, BitmapCompatibleWithAnEmptyMemoryContextIsMonochrome) {
    TSimDesktop desktop(20, 20);
    const THwnd w = desktop.CreateSimWindow(WindowDesc("W", "w", {0, 0, 20, 20}));
    desktop.Window(w)->PaintPixel = [](int x, int) -> std::uint32_t {
        return x < 10 ? 0xFFFFFF : 0x3080F0;
    };
    const THandle screen = desktop.GetDC(0);
    const THandle memory = desktop.CreateCompatibleDC(screen);
    const THandle mono = desktop.CreateCompatibleBitmap(memory, 20, 20);
    ASSERT_NE(mono, 0u);
    ASSERT_NE(desktop.SelectObject(memory, mono), 0u);
    ASSERT_TRUE(desktop.BitBlt(memory, 0, 0, 20, 20, screen, 0, 0));
    EXPECT_EQ(desktop.GetPixel(memory, 3, 3), 0xFFFFFFu);
    EXPECT_EQ(desktop.GetPixel(memory, 15, 3), 0u);
    EXPECT_TRUE(desktop.DeleteDC(memory));
    EXPECT_TRUE(desktop.DeleteObject(mono));
    EXPECT_TRUE(desktop.ReleaseDC(0, screen));
    EXPECT_EQ(desktop.LiveGdiObjects(), 0);
}

TEST(SimDesktopScreen, MinimisedWindowHasNoClientArea) {
    TSimDesktop desktop;
    const THwnd w = desktop.CreateSimWindow(FramedDesc({0, 0, 300, 200}));
    desktop.Minimise(w);
    TRect client;
    ASSERT_TRUE(desktop.GetClientRect(w, client));
    EXPECT_EQ(client.Width(), 0);
    EXPECT_EQ(client.Height(), 0);
}

} // namespace
} // namespace kv::sim
