#include "engine/cleaning/RidgeTables.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "engine/records/RoundHalfAway.h"

namespace vela::engine {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
constexpr int kProfileReach = 7; // profiles span distances -7..7
constexpr int kFitLastPeriod = 20; // periods 19 and 20 only mark misfits

// tap(t) of the wave of period P whose peak sits at distance p.
int KernelTap(int period, int peak, int distance)
{
    const double angle = 2.0 * std::numbers::pi * (distance - peak) / period;
    return RoundHalfAway(120.0 * std::cos(angle));
}

int PeakOfPhase(int period, int phase)
{
    const int peak = (RidgeKernelStartPeak(period) - phase) % period;
    return peak < 0 ? peak + period : peak;
}

ThetaCosSinTable MakeThetaCosSin()
{
    ThetaCosSinTable table{};
    for (int t = 0; t <= 180; ++t) {
        table.cos2[t] = std::cos(2.0 * t * kRadiansPerDegree);
        table.sin2[t] = std::sin(2.0 * t * kRadiansPerDegree);
    }
    return table;
}

std::array<RidgeLine, 181> MakeRidgeLineOffsets()
{
    std::array<RidgeLine, 181> table{};
    for (int a = 0; a <= 180; ++a) {
        const double c = std::cos(a * kRadiansPerDegree);
        const double s = std::sin(a * kRadiansPerDegree);
        for (int t = -kLineReach; t <= kLineReach; ++t) {
            table[a][t + kLineReach] = LinePoint{static_cast<int16_t>(RoundHalfAway(t * c)),
                                                 static_cast<int16_t>(RoundHalfAway(-t * s))};
        }
    }
    return table;
}

std::array<RidgeKernel, 16 * kKernelPhases> MakeRidgeKernels()
{
    std::array<RidgeKernel, 16 * kKernelPhases> table{};
    for (int period = kKernelFirstPeriod; period <= kKernelLastPeriod; ++period) {
        for (int phase = 0; phase < kKernelPhases; ++phase) {
            const int peak = PeakOfPhase(period, phase);
            RidgeKernel& kernel = table[RidgeKernelIndex(period, phase)];
            for (int t = -kLineReach; t <= kLineReach; ++t)
                kernel[t + kLineReach] = static_cast<int8_t>(KernelTap(period, peak, t));
        }
    }
    return table;
}

// The fit of a profile to a wave is the sum of +tap for ridge bits and -tap
// for the others. Splitting the 15 bits into a low byte and a high 7 bits
// makes each fit two look-ups instead of 15 products.
struct WaveFit {
    int period;
    int phase;
    std::array<int, 256> lowScore;  // bits 0..7, distances -7..0
    std::array<int, 128> highScore; // bits 8..14, distances 1..7
};

WaveFit MakeWaveFit(int period, int phase, const std::array<int, 2 * kProfileReach + 1>& taps)
{
    WaveFit fit{period, phase, {}, {}};
    for (int bits = 0; bits < 256; ++bits) {
        int score = 0;
        for (int k = 0; k < 8; ++k)
            score += (bits >> k & 1) ? taps[k] : -taps[k];
        fit.lowScore[bits] = score;
    }
    for (int bits = 0; bits < 128; ++bits) {
        int score = 0;
        for (int k = 0; k < 7; ++k)
            score += (bits >> k & 1) ? taps[8 + k] : -taps[8 + k];
        fit.highScore[bits] = score;
    }
    return fit;
}

std::array<RidgePattern, 1 << kRidgePatternBits> MakeRidgePatternTable()
{
    const auto& kernels = RidgeKernels();
    std::vector<WaveFit> fits;
    for (int period = kKernelFirstPeriod; period <= kFitLastPeriod; ++period) {
        for (int phase = 0; phase < period; ++phase) {
            std::array<int, 2 * kProfileReach + 1> taps{};
            for (int t = -kProfileReach; t <= kProfileReach; ++t) {
                taps[t + kProfileReach] = period <= kKernelLastPeriod
                    ? kernels[RidgeKernelIndex(period, phase)][t + kLineReach]
                    : KernelTap(period, PeakOfPhase(period, phase), t);
            }
            fits.push_back(MakeWaveFit(period, phase, taps));
        }
    }

    std::array<RidgePattern, 1 << kRidgePatternBits> table{};
    for (int pattern = 0; pattern < (1 << kRidgePatternBits); ++pattern) {
        // Fits are visited by period, then phase: on equal scores the
        // shorter period and then the smaller phase win.
        const WaveFit* best = nullptr;
        int bestScore = 0;
        for (const WaveFit& fit : fits) {
            const int score = fit.lowScore[pattern & 0xFF] + fit.highScore[pattern >> 8];
            if (best == nullptr || score > bestScore) {
                best = &fit;
                bestScore = score;
            }
        }
        table[pattern] = RidgePattern{static_cast<uint8_t>(best->period),
                                      static_cast<uint8_t>(best->phase)};
    }
    return table;
}

} // namespace

const ThetaCosSinTable& ThetaCosSin()
{
    static const ThetaCosSinTable table = MakeThetaCosSin();
    return table;
}

const std::array<RidgeLine, 181>& RidgeLineOffsets()
{
    static const std::array<RidgeLine, 181> table = MakeRidgeLineOffsets();
    return table;
}

const std::array<RidgeKernel, 16 * kKernelPhases>& RidgeKernels()
{
    static const std::array<RidgeKernel, 16 * kKernelPhases> table = MakeRidgeKernels();
    return table;
}

const std::array<RidgePattern, 1 << kRidgePatternBits>& RidgePatternTable()
{
    static const auto table = MakeRidgePatternTable();
    return table;
}

} // namespace vela::engine
