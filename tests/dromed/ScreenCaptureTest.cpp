// Copying DromEd's client area and reading its fields, end to end on the simulated desktop.
#include "dromed/ScreenCapture.h"
#include "dromed/DromEdWindow.h"
#include "support/SimDromEdFixture.h"

#include <gtest/gtest.h>

#include <functional>

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
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfObjectName, &capture), "Guard (345)");
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfBrushNumber, &capture), "12");
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfStatusMessage, &capture), "Brush 12 selected");
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfStatusFile, &capture), "miss1.mis");
    EXPECT_EQ(DetectBrushPanel(f.Desktop, &capture), bkObject);
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

TEST_P(ScreenFieldsTest, LongStatusMessageReadsBack) {
    TSimDromEdFixture f(GetParam().Width, GetParam().Height);
    // As much as the status cell holds at this size.
    const std::string message =
        GetParam().Width >= 1024 ? "Linked 1234 to 5678 with ControlDevice" : "Linked 12 to 56";
    f.DromEd->SetStatusMessage(message);
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfStatusMessage), message);
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

struct FailureCase {
    const char* Message;
    std::function<void(TSimDromEdFixture&)> Arrange;
};

class CaptureFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CaptureFailureTest, RaisesItsMessageAndReleasesEverything) {
    TSimDromEdFixture f;
    GetParam().Arrange(f);
    try {
        (void)CaptureDromEdClient(f.Desktop);
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), GetParam().Message);
    }
    EXPECT_EQ(f.Desktop.LiveGdiObjects(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, CaptureFailureTest,
    ::testing::Values(
        FailureCase{"Failed to bring DromEd window to front",
                    [](TSimDromEdFixture& f) { f.DromEd->SetRefuseForeground(true); }},
        FailureCase{"Cannot get Desktop HDC",
                    [](TSimDromEdFixture& f) { f.Desktop.FailGetDC = true; }},
        FailureCase{"CreateCompatibleDC failed",
                    [](TSimDromEdFixture& f) { f.Desktop.FailCreateCompatibleDC = true; }},
        FailureCase{"GetWindowRect failed",
                    [](TSimDromEdFixture& f) { f.Desktop.FailGetClientRect = true; }},
        FailureCase{"ClientToScreen failed",
                    [](TSimDromEdFixture& f) { f.Desktop.FailClientToScreen = true; }},
        FailureCase{"CreateCompatibleBitmap failed",
                    [](TSimDromEdFixture& f) { f.Desktop.FailCreateCompatibleBitmap = true; }},
        FailureCase{"BitBlt failed", [](TSimDromEdFixture& f) { f.Desktop.FailBitBlt = true; }},
        FailureCase{"DromEd window not found",
                    [](TSimDromEdFixture& f) { f.DromEd->Minimise(); }}));

TEST(CaptureDromEdClientTest, FailedCopyStillReturnsToTheProgram) {
    TSimDromEdFixture f;
    f.Desktop.FailBitBlt = true;
    EXPECT_THROW((void)CaptureDromEdClient(f.Desktop), Exception);
    EXPECT_EQ(f.Desktop.GetForegroundWindow(), f.Own);
}

TEST(ReadDromEdFieldTest, MissingOrMinimisedDromEdReadsEmpty) {
    sim::TSimDesktop empty;
    EXPECT_EQ(ReadDromEdField(empty, dfStatusMessage), "");
    TSimDromEdFixture f;
    f.DromEd->SetStatusMessage("Linked");
    f.DromEd->Minimise();
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfStatusMessage), "");
    f.Desktop.FailGetClientRect = true;
    f.DromEd->Restore();
    EXPECT_EQ(ReadDromEdField(f.Desktop, dfStatusMessage), "");
}

TEST(ReadDromEdFieldTest, FieldOutsideTheCopyRaisesThePixelFailure) {
    // A client 1024 wide keeps the table's places, so a short client cuts the status bar off.
    TSimDromEdFixture f(1024, 700);
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
