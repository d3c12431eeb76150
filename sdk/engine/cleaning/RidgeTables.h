#pragma once

#include <array>
#include <cstdint>

namespace vela::engine {

// Constant tables of the ridge filters. Each is generated from its rule the
// first time it is asked for (thread-safe) and never changes afterwards.

// cos(2t) and sin(2t) for t = 0..180 degrees: orientations are averaged as
// doubled-angle vectors so that 0 and 180 degrees agree.
struct ThetaCosSinTable {
    std::array<double, 181> cos2;
    std::array<double, 181> sin2;
};
const ThetaCosSinTable& ThetaCosSin();

// One point of a sampling line: pixel (row, col) maps to (row + dy, col - dx).
struct LinePoint {
    int16_t dy;
    int16_t dx;
};

// Line angle a = 0..180 degrees; distances -20..20 at index distance + 20.
inline constexpr int kLineReach = 20;
using RidgeLine = std::array<LinePoint, 2 * kLineReach + 1>;
const std::array<RidgeLine, 181>& RidgeLineOffsets();

// Sampled cosines of amplitude 120: tap at distance t is at index t + 20.
inline constexpr int kKernelPhases = 20;
inline constexpr int kKernelFirstPeriod = 3;
inline constexpr int kKernelLastPeriod = 18;
using RidgeKernel = std::array<int8_t, 2 * kLineReach + 1>;
const std::array<RidgeKernel, 16 * kKernelPhases>& RidgeKernels();

inline constexpr int RidgeKernelIndex(int period, int phase)
{
    return (period - kKernelFirstPeriod) * kKernelPhases + phase;
}

// Where a wave of the given period peaks at phase index 0. The phase index
// then moves the peak one pixel toward negative distances per step.
inline constexpr int RidgeKernelStartPeak(int period) { return period / 4 + 1; }

// The 15-bit ridge profile (bit k = ridge at distance k - 7) to the best
// fitting period and phase. Periods 19 and 20 mark profiles the kernels
// cannot describe; every caller rejects them.
struct RidgePattern {
    uint8_t period;
    uint8_t phase;
};
inline constexpr int kRidgePatternBits = 15;
const std::array<RidgePattern, 1 << kRidgePatternBits>& RidgePatternTable();

// The two curves of the pattern measure, index 0..24.
inline constexpr std::array<int, 25> kPatternCurveLower = {
    153, 153, 153, 155, 159, 162, 161, 165, 171, 179, 185, 193, 209,
    219, 233, 250, 273, 294, 319, 337, 365, 390, 405, 411, 420};
inline constexpr std::array<int, 25> kPatternCurveUpper = {
    178, 178, 177, 177, 182, 187, 187, 195, 203, 208, 216, 224, 236,
    250, 267, 289, 307, 332, 354, 374, 402, 419, 429, 437, 444};

} // namespace vela::engine
