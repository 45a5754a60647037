// Copying DromEd's client area and reading its fields, end to end on the simulated desktop.
#include "dromed/ScreenCapture.h"
#include "dromed/DromEdWindow.h"
#include "support/SimDromEdFixture.h"

#include <gtest/gtest.h>

#include <utility>

namespace kv {
namespace {

using sim::TSimEventKind;
using test::TSimDromEdFixture;

class ScreenFieldsTest : public ::testing::TestWithParam<test::TClientSize> {};

TEST_P(ScreenFieldsTest, ReadsWhatDromEdShows) {
    TSimDromEdFixture f(GetParam().Width, GetParam().Height);
    f.DromEd->Select(12);
    f.DromEd->SetStatusMessage("Brush 12 selected");
    const TDromEdCapture capture = CaptureDromEdClient(f.Desktop);
    std::string fields;
    for (const TDromEdField field : {dfObjectName, dfBrushNumber, dfStatusMessage, dfStatusFile})
        fields += ReadDromEdField(f.Desktop, field, &capture) + "|";
    EXPECT_EQ(fields, "Guard (345)|12|Brush 12 selected|miss1.mis|");
    EXPECT_EQ(DetectBrushPanel(f.Desktop, &capture), bkObject);
    // A narrow status bar shows as many whole characters as fit.
    const std::string message = "Linked 12 objects to -34 in c:/missions/test_1.mis; ok! Link";
    f.DromEd->SetStatusMessage(message);
    const std::string read = ReadDromEdField(f.Desktop, dfStatusMessage);
    EXPECT_EQ(read, GetParam().Width >= 1024 ? message : message.substr(0, read.size()));
    EXPECT_GT(read.size(), 30u);
    EXPECT_EQ(read.size() < message.size(), GetParam().Width < 1024);
}

TEST_P(ScreenFieldsTest, PanelCaptionsTellTheKind) {
    TSimDromEdFixture f(GetParam().Width, GetParam().Height);
    const std::pair<std::int32_t, TBrushKind> cases[] = {
        {3, bkTerrain}, {5, bkLight}, {9, bkArea}, {12, bkObject}, {14, bkFlow}, {20, bkRoom}};
    for (const auto& [brush, kind] : cases) {
        f.DromEd->Select(brush);
        EXPECT_EQ(DetectBrushPanel(f.Desktop), kind) << "brush " << brush;
    }
    f.DromEd->Select(20);
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfRoomName), "Great Hall (77)");
    f.DromEd->Select(9);
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfAreaName), "Courtyard");
    f.DromEd->Select(0);
    EXPECT_EQ(DetectBrushPanel(f.Desktop), bkNone);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScreenFieldsTest, ::testing::ValuesIn(test::kDromEdClientSizes),
                         test::TClientSizeName());

TEST(CaptureDromEdClientTest, BringsDromEdForwardWaitsAndReturnsToTheProgram) {
    TSimDromEdFixture f;
    {
        const TDromEdCapture capture = CaptureDromEdClient(f.Desktop);
        EXPECT_NE(capture.Dc(), 0u);
        EXPECT_EQ(capture.Pixels().Width, 1024);
        EXPECT_EQ(capture.Pixels().Height, 768);
        EXPECT_EQ(f.Sleeps(), std::vector<std::uint32_t>{50});
        const auto fronts = f.Events(TSimEventKind::Foreground);
        ASSERT_EQ(fronts.size(), 2u);
        EXPECT_EQ(fronts[0].Window, f.DromEd->MainWindow());
        EXPECT_EQ(fronts[1].Window, f.Own);
        EXPECT_GT(fronts[1].Time, fronts[0].Time);
    }
    EXPECT_EQ(f.Desktop.LiveGdiObjects(), 0);
}

TEST(CaptureDromEdClientTest, EachFailingStepRaisesItsMessageAndReleasesEverything) {
    using F = TSimDromEdFixture&;
    const std::pair<const char*, void (*)(F)> cases[] = {
        {"Failed to bring DromEd window to front",
         [](F f) { f.DromEd->SetRefuseForeground(true); }},
        {"Cannot get Desktop HDC", [](F f) { f.Desktop.FailGetDC = true; }},
        {"CreateCompatibleDC failed", [](F f) { f.Desktop.FailCreateCompatibleDC = true; }},
        {"GetWindowRect failed", [](F f) { f.Desktop.FailGetClientRect = true; }},
        {"ClientToScreen failed", [](F f) { f.Desktop.FailClientToScreen = true; }},
        {"CreateCompatibleBitmap failed", [](F f) { f.Desktop.FailCreateCompatibleBitmap = true; }},
        {"BitBlt failed", [](F f) { f.Desktop.FailBitBlt = true; }},
        {"DromEd window not found", [](F f) { f.DromEd->Minimise(); }}};
    for (const auto& [message, arrange] : cases) {
        TSimDromEdFixture f;
        arrange(f);
        try {
            (void)CaptureDromEdClient(f.Desktop);
            ADD_FAILURE() << "no exception: " << message;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), message);
        }
        EXPECT_EQ(f.Desktop.LiveGdiObjects(), 0) << message;
        EXPECT_EQ(f.Desktop.GetForegroundWindow(), f.Own) << message;
    }
}

TEST(ReadDromEdFieldTest, MissingDromEdReadsEmptyAndAFieldOutsideTheCopyRaises) {
    sim::TSimDesktop empty;
    EXPECT_EQ(ReadDromEdField(empty, dfStatusMessage), "");
    // A client 1024 wide keeps the table's places, so a short client cuts the status bar off.
    TSimDromEdFixture f(1024, 700);
    f.DromEd->Minimise();
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfStatusMessage), "");
    f.Desktop.FailGetClientRect = true;
    f.DromEd->Restore();
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfStatusMessage), "");
    f.Desktop.FailGetClientRect = false;
    try {
        (void)ReadDromEdField(f.Desktop, dfStatusMessage);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "GetPixel failed (410,755)");
    }
    EXPECT_EQ(f.Desktop.LiveGdiObjects(), 0);
}

} // namespace
} // namespace kv
