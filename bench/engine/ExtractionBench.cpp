#include <benchmark/benchmark.h>

#include "CleaningTestSupport.h"

namespace vela::engine {
namespace {

using namespace extraction_test;

// A real 248 x 338 impression, centred on a picture of the asked size filled
// with the impression's own background grey.
std::vector<uint8_t> Picture(int width, int height)
{
    const auto real = ReadFileBytes(FingerprintDir() / "f01_1.bmp");
    if (real.empty())
        return {};
    const int realWidth = 248, realHeight = 338, stride = 248;
    const uint8_t background = real[54 + 4 * real[1078]];
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height, background);
    const int left = (width - realWidth) / 2, top = (height - realHeight) / 2;
    for (int y = 0; y < realHeight; ++y)
        for (int x = 0; x < realWidth; ++x) {
            const uint8_t index = real[1078 + static_cast<size_t>(realHeight - 1 - y) * stride + x];
            pixels[static_cast<size_t>(top + y) * width + left + x] = real[54 + 4 * index];
        }
    return MakeGreyBmp(width, height, pixels);
}

void CleanAndExtract(benchmark::State& state)
{
    const auto bmp = Picture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (bmp.empty()) {
        state.SkipWithError("no fingerprint images in the shared data folder");
        return;
    }
    CleaningRun cleaning;
    ExtractionRun extraction;
    WorkImage image = BlankWorkImage();
    int minutiae = 0;
    for (auto _ : state) {
        if (cleaning.Clean(bmp) != kCleaningDone) {
            state.SkipWithError("cleaning failed");
            return;
        }
        for (const auto& variant : cleaning.variantImages) {
            image = UnpackCleanedImage(variant.data());
            extraction.All(image);
            minutiae += extraction.Count();
        }
        benchmark::DoNotOptimize(minutiae);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("images/s = items_per_second");
}
BENCHMARK(CleanAndExtract)->Args({248, 338})->Args({640, 640})->Args({2000, 2000})->Unit(benchmark::kMillisecond);

void CleanOnly(benchmark::State& state)
{
    const auto bmp = Picture(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    if (bmp.empty()) {
        state.SkipWithError("no fingerprint images in the shared data folder");
        return;
    }
    CleaningRun cleaning;
    for (auto _ : state)
        benchmark::DoNotOptimize(cleaning.Clean(bmp));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CleanOnly)->Args({248, 338})->Unit(benchmark::kMillisecond);

void ExtractOnly(benchmark::State& state)
{
    const auto bmp = Picture(248, 338);
    if (bmp.empty()) {
        state.SkipWithError("no fingerprint images in the shared data folder");
        return;
    }
    CleaningRun cleaning;
    cleaning.Clean(bmp);
    ExtractionRun extraction;
    for (auto _ : state) {
        WorkImage image = UnpackCleanedImage(cleaning.variantImages[0].data());
        extraction.All(image);
        benchmark::DoNotOptimize(extraction.record.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ExtractOnly)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vela::engine

BENCHMARK_MAIN();
