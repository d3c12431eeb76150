#pragma once

#include <array>
#include <cstdint>

namespace vela::engine {

// The curves that turn summed finger scores into one number. Only some
// values of each are fixed (its anchors); the others lie on straight lines
// between neighbouring anchors, rounded half away from zero, so that every
// curve starts at 0, passes through its anchors and never falls.

// SlotSumCurve[i] for a sum of mapped slot scores of about 10 i (i = 0..199).
inline constexpr int32_t kSlotSumCurvePoints = 200;
const std::array<int32_t, kSlotSumCurvePoints>& SlotSumCurve();

// RankedScoreCurves[k][s] for the best k + 1 mapped finger scores summing to
// about 10 s (k = 0..9, s = 0..299); row 0 is exactly 10 s.
inline constexpr int32_t kRankedScoreRows = 10;
inline constexpr int32_t kRankedScorePoints = 300;
using RankedScoreCurveTable = std::array<std::array<int32_t, kRankedScorePoints>, kRankedScoreRows>;
const RankedScoreCurveTable& RankedScoreCurves();

} // namespace vela::engine
