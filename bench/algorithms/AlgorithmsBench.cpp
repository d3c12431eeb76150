// The matcher algorithms the object layer uses (1 for single-finger lists,
// 183 at match speed 1, 181 at match speed 2) on genuine and impostor pairs
// of the shared fingerprint pictures: comparisons per second, one context per
// thread.
#include <benchmark/benchmark.h>

#include <vector>

#include "BiodataTestSupport.h"
#include "FingerprintPictures.h"
#include "engine/algorithms/DispatchMatchAlgorithm.h"

namespace vela::engine {
namespace {

constexpr int kFingers = 6;
constexpr int kImpressions = 8;

// One block of the type per picture, finger by finger; empty when a picture is missing.
const std::vector<std::vector<uint8_t>>& Blocks(int32_t dataId)
{
    static const auto make = [](int32_t id) {
        std::vector<std::vector<uint8_t>> made;
        for (int finger = 1; finger <= kFingers; ++finger) {
            for (int impression = 1; impression <= kImpressions; ++impression) {
                const std::vector<uint8_t> bmp = test::FingerprintPicture(finger, impression);
                std::vector<uint8_t> block =
                    bmp.empty() ? std::vector<uint8_t>{} : test::BuildDataBlock(id, test::ChainOfPicture(bmp));
                if (block.empty())
                    return std::vector<std::vector<uint8_t>>{};
                made.push_back(std::move(block));
            }
        }
        return made;
    };
    static const std::vector<std::vector<uint8_t>> lists = make(1);
    static const std::vector<std::vector<uint8_t>> sets = make(150);
    return dataId == 1 ? lists : sets;
}

void Compare(benchmark::State& state, int32_t algorithm, bool genuine)
{
    const auto& blocks = Blocks(algorithm == 1 ? 1 : 150);
    if (blocks.empty()) {
        state.SkipWithError("the shared fingerprint pictures are not there");
        return;
    }
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t a = 0; a < blocks.size(); ++a) {
        for (size_t b = 0; b < blocks.size(); ++b) {
            if (a != b && (a / kImpressions == b / kImpressions) == genuine)
                pairs.emplace_back(a, b);
        }
    }
    MatchContextPtr context = MakeMatchContext();
    size_t next = 0;
    int64_t scoreSum = 0;
    for (auto _ : state) {
        const auto& [a, b] = pairs[next];
        next = (next + 1) % pairs.size();
        int32_t score = 0;
        DispatchMatchAlgorithm(algorithm, blocks[a], blocks[b], *context, score);
        scoreSum += score;
    }
    benchmark::DoNotOptimize(scoreSum);
    state.SetItemsProcessed(state.iterations());
    state.counters["mean_score"] = benchmark::Counter(static_cast<double>(scoreSum), benchmark::Counter::kAvgIterations);
}

void BM_Algorithm1Genuine(benchmark::State& state) { Compare(state, 1, true); }
void BM_Algorithm1Impostor(benchmark::State& state) { Compare(state, 1, false); }
void BM_Algorithm181Genuine(benchmark::State& state) { Compare(state, 181, true); }
void BM_Algorithm181Impostor(benchmark::State& state) { Compare(state, 181, false); }
void BM_Algorithm183Genuine(benchmark::State& state) { Compare(state, 183, true); }
void BM_Algorithm183Impostor(benchmark::State& state) { Compare(state, 183, false); }
BENCHMARK(BM_Algorithm1Genuine)->ThreadRange(1, 4)->UseRealTime();
BENCHMARK(BM_Algorithm1Impostor)->ThreadRange(1, 4)->UseRealTime();
BENCHMARK(BM_Algorithm181Genuine)->ThreadRange(1, 4)->UseRealTime();
BENCHMARK(BM_Algorithm181Impostor)->ThreadRange(1, 4)->UseRealTime();
BENCHMARK(BM_Algorithm183Genuine)->ThreadRange(1, 4)->UseRealTime();
BENCHMARK(BM_Algorithm183Impostor)->ThreadRange(1, 4)->UseRealTime();

} // namespace
} // namespace vela::engine

BENCHMARK_MAIN();
