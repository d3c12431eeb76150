#pragma once

#include <cstdint>

namespace vela::engine {

// The engine's one rule from real to integer: add or subtract one half, then
// truncate toward zero. It is not std::lround: 0.49999999999999994 + 0.5 is
// exactly 1.0 in double arithmetic, so that value rounds to 1 here.
// Values beyond the int32 range saturate; NaN gives 0.
int32_t RoundHalfAway(double x);

} // namespace vela::engine
