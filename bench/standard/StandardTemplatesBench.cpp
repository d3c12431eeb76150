#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "engine/standard/StandardTemplates.h"
#include "engine/standard/tests/StandardTestSupport.h"

namespace vela::engine {
namespace {

using test::GreyPicture;
using test::SharedFingerprint;

constexpr int32_t kPixelsPerCm = 197; // 500 dpi

std::vector<uint8_t> IsoTemplateOf(const GreyPicture& p)
{
    const IsoTemplateRequest r{1, 0, p.width, p.height, kPixelsPerCm, kPixelsPerCm, 0, 15000, 0, 0, 0};
    std::vector<uint8_t> out(static_cast<size_t>(GetIsoTemplateSize()));
    out.resize(static_cast<size_t>(std::max(0, CreateIsoTemplate(p.pixels, r, out))));
    return out;
}

IncitsImageDescriptor Descriptor(const GreyPicture& p, int count)
{
    IncitsImageDescriptor d;
    d.imageCount = count;
    for (int k = 0; k < count; ++k)
        d.fingerCodes[k] = static_cast<uint8_t>(k + 1);
    d.width = p.width;
    d.height = p.height;
    d.xResolution = d.yResolution = kPixelsPerCm;
    d.blockEnergy = 15000;
    return d;
}

std::vector<uint8_t> IncitsRecordOf(const GreyPicture& p)
{
    std::vector<uint8_t> out(static_cast<size_t>(GetIncitsRecordSize(1)));
    out.resize(static_cast<size_t>(std::max(0, CreateIncitsRecord(p.pixels, Descriptor(p, 1), out))));
    return out;
}

void CreateIsoTemplateOneImage(benchmark::State& state)
{
    const GreyPicture p = SharedFingerprint(1, 1);
    if (p.width == 0) {
        state.SkipWithError("no fingerprint images in the shared data folder");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(IsoTemplateOf(p));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(CreateIsoTemplateOneImage)->Unit(benchmark::kMillisecond);

void CreateIncitsRecordImages(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    std::vector<uint8_t> pixels;
    GreyPicture first;
    for (int k = 0; k < count; ++k) {
        const GreyPicture p = SharedFingerprint(k % 6 + 1, k / 6 + 1);
        if (p.width == 0) {
            state.SkipWithError("no fingerprint images in the shared data folder");
            return;
        }
        first = p;
        pixels.insert(pixels.end(), p.pixels.begin(), p.pixels.end());
    }
    const IncitsImageDescriptor d = Descriptor(first, count);
    std::vector<uint8_t> out(static_cast<size_t>(GetIncitsRecordSize(count)));
    for (auto _ : state)
        benchmark::DoNotOptimize(CreateIncitsRecord(pixels, d, out));
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(CreateIncitsRecordImages)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// Genuine: impressions 1 and 2 of one finger; impostor: first impressions of two fingers.
template <typename Make, typename Compare>
void ComparePairs(benchmark::State& state, Make make, Compare compare)
{
    const GreyPicture a = SharedFingerprint(2, 1), b = SharedFingerprint(2, 2), c = SharedFingerprint(5, 1);
    if (a.width == 0 || b.width == 0 || c.width == 0) {
        state.SkipWithError("no fingerprint images in the shared data folder");
        return;
    }
    const auto first = make(a), second = make(state.range(0) ? b : c);
    int32_t score = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(score = compare(first, second));
    state.SetLabel(state.range(0) ? "genuine" : "impostor");
    state.counters["score"] = score;
}

void CompareIso(benchmark::State& state)
{
    ComparePairs(state, IsoTemplateOf, [](const auto& x, const auto& y) { return CompareIsoTemplates(x, y); });
}
BENCHMARK(CompareIso)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

void CompareIncits(benchmark::State& state)
{
    ComparePairs(state, IncitsRecordOf, [](const auto& x, const auto& y) { return CompareIncitsRecords(x, y); });
}
BENCHMARK(CompareIncits)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vela::engine

BENCHMARK_MAIN();
