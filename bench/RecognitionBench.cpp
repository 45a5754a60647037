// Reading DromEd's status message from a screen copy, against one plain pass over the same
// pixels.
#include "dromed/TextRecognition.h"
#include "dromedscreen/DromEdFields.h"
#include "dromedscreen/Glyphs.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace kv;

constexpr int kClientWidth = 1024;
constexpr int kClientHeight = 768;
constexpr std::uint32_t kPanel = 0x00282828;
constexpr std::uint32_t kStatusBar = 0x00C0C0C0;
constexpr std::uint32_t kText = 0x00101010;
// 60 characters, as long a message as DromEd's status cell shows.
constexpr const char* kMessage = "Linked 1234 to 5678 with ControlDevice, 12 links in all, ok!";

struct TScreen {
    TPixelImage Image{kClientWidth, kClientHeight, kPanel};
    TRect Field = PlaceDromEdField(dfStatusMessage, kClientWidth, kClientHeight);

    TScreen() {
        for (int y = Field.Top - 3; y < kClientHeight; ++y) {
            for (int x = 0; x < kClientWidth; ++x) Image.Set(x, y, kStatusBar);
        }
        DrawGlyphText(Image, Field.Left + 2, Field.Top, kMessage, kText, Field.Right);
    }
};

const TScreen& Screen() {
    static const TScreen screen;
    return screen;
}

void BM_RecognizeStatusMessage(benchmark::State& state) {
    const TScreen& s = Screen();
    if (RecognizeText(s.Image, s.Field, true) != kMessage) {
        state.SkipWithError("the message does not read back");
        return;
    }
    for (auto _ : state) {
        std::string text = RecognizeText(s.Image, s.Field, true);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_RecognizeStatusMessage);

// The baseline: every pixel of the field looked at once, counting the ink.
void BM_PlainPassOverField(benchmark::State& state) {
    const TScreen& s = Screen();
    for (auto _ : state) {
        int ink = 0;
        for (int y = s.Field.Top; y < s.Field.Bottom; ++y) {
            const std::uint32_t* row = &s.Image.Pixels[static_cast<std::size_t>(y) * kClientWidth];
            for (int x = s.Field.Left; x < s.Field.Right; ++x) {
                const std::uint32_t c = row[x];
                const bool bright =
                    (c & 0xFF) > 50 || ((c >> 8) & 0xFF) > 50 || ((c >> 16) & 0xFF) > 50;
                ink += bright ? 0 : 1;
            }
        }
        benchmark::DoNotOptimize(ink);
    }
}
BENCHMARK(BM_PlainPassOverField);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    kv::bench::TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double recognition = reporter.Time("BM_RecognizeStatusMessage");
    const double plain = reporter.Time("BM_PlainPassOverField");
    if (recognition > 0 && plain > 0) {
        std::printf("Reading the status message takes %.2f times one plain pass over its pixels\n",
                    recognition / plain);
    }
    benchmark::Shutdown();
    return EXIT_SUCCESS;
}
