// Data building for one picture and the matcher core on genuine and impostor
// pairs of the shared fingerprint pictures.
#include <benchmark/benchmark.h>

#include <vector>

#include "BiodataTestSupport.h"
#include "FingerprintPictures.h"
#include "engine/matching/CompareMinutiaeSets.h"

namespace vela::engine {
namespace {

using test::ChainOfPicture;
using test::FingerprintPicture;

void BuildData(benchmark::State& state, int32_t dataId)
{
    const std::vector<uint8_t> bmp = FingerprintPicture(1, 1);
    if (bmp.empty()) {
        state.SkipWithError("the shared fingerprint pictures are not there");
        return;
    }
    std::vector<uint8_t> chain = ChainOfPicture(bmp);
    int32_t max = 0;
    XGetMaxBiometricDataSize(dataId, &max);
    std::vector<uint8_t> out(static_cast<size_t>(max));
    for (auto _ : state) {
        const ResultCode code = XGetBiometricData(dataId, chain, out);
        benchmark::DoNotOptimize(code);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_BuildSingleImpression(benchmark::State& state) { BuildData(state, 1); }
void BM_BuildFingerEntry(benchmark::State& state) { BuildData(state, 150); }
BENCHMARK(BM_BuildSingleImpression)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildFingerEntry)->Unit(benchmark::kMillisecond);

// The first impression of each picture, as type 1 makes it.
const std::vector<std::vector<uint8_t>>& Impressions()
{
    static const std::vector<std::vector<uint8_t>> records = [] {
        std::vector<std::vector<uint8_t>> made;
        for (int finger = 1; finger <= 6; ++finger) {
            for (int take = 1; take <= 8; ++take) {
                const std::vector<uint8_t> bmp = FingerprintPicture(finger, take);
                if (bmp.empty())
                    return std::vector<std::vector<uint8_t>>{};
                std::vector<uint8_t> chain = ChainOfPicture(bmp);
                int32_t max = 0;
                XGetMaxBiometricDataSize(1, &max);
                std::vector<uint8_t> out(static_cast<size_t>(max));
                if (XGetBiometricData(1, chain, out) != result::Success)
                    return std::vector<std::vector<uint8_t>>{};
                const auto first = out.begin() + biometric_data::kHeaderSize;
                made.emplace_back(first, first + impression::kSize);
            }
        }
        return made;
    }();
    return records;
}

// Compares every pair of the kind in turn, one context per thread, as a
// matcher would: the first impression of a pair changes every few pairs.
void Compare(benchmark::State& state, bool genuine)
{
    const auto& records = Impressions();
    if (records.empty()) {
        state.SkipWithError("the shared fingerprint pictures are not there");
        return;
    }
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t a = 0; a < records.size(); ++a) {
        for (size_t b = 0; b < records.size(); ++b) {
            if (a != b && (a / 8 == b / 8) == genuine)
                pairs.emplace_back(a, b);
        }
    }
    MatchContextPtr context = MakeMatchContext();
    size_t next = 0;
    int64_t scoreSum = 0;
    for (auto _ : state) {
        const auto& [a, b] = pairs[next];
        next = (next + 1) % pairs.size();
        scoreSum += CompareMinutiaeSets(records[a].data(), impression::kSize, records[b].data(),
                                        impression::kSize, 0, *context);
    }
    benchmark::DoNotOptimize(scoreSum);
    state.SetItemsProcessed(state.iterations());
}

void BM_CompareGenuinePairs(benchmark::State& state) { Compare(state, true); }
void BM_CompareImpostorPairs(benchmark::State& state) { Compare(state, false); }
BENCHMARK(BM_CompareGenuinePairs)->ThreadRange(1, 4)->UseRealTime();
BENCHMARK(BM_CompareImpostorPairs)->ThreadRange(1, 4)->UseRealTime();

} // namespace
} // namespace vela::engine

BENCHMARK_MAIN();
