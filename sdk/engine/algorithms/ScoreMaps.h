#pragma once

#include <cstdint>

namespace vela::engine {

// One finger's score on the scale of the ranked combination: 0 up to 35,
// piecewise linear through 140 -> 200, 230 -> 300, 300 -> 400, 360 -> 500 and
// 420 -> 600, then 10 x / 7.
int32_t MapSingleScore(int32_t score);

// One slot's score of a four-slot block: 0 below 14, piecewise linear from
// 14 -> 100 to 800 -> 1000 in ten steps, 1000 above.
int32_t MapSlotScore(int32_t score);

// The sum of the four mapped slot scores, through the slot-sum curve.
int32_t MapSlotSum(int32_t sum);

} // namespace vela::engine
