#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vela::engine {

// The engine's one rule from real to integer: add or subtract one half, then
// truncate toward zero. It is not std::lround: 0.49999999999999994 + 0.5 is
// exactly 1.0 in double arithmetic, so that value rounds to 1 here.
// Values beyond the int32 range saturate; NaN gives 0. Inline: the hash
// comparison and the cleaning round in their innermost loops.
inline int32_t RoundHalfAway(double x)
{
    if (std::isnan(x))
        return 0;
    const double shifted = x >= 0 ? x + 0.5 : x - 0.5;
    if (shifted >= 2147483648.0)
        return std::numeric_limits<int32_t>::max();
    if (shifted <= -2147483649.0)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(shifted);
}

// RoundHalfAway for a finite value well inside the int32 range, without a
// branch on its sign: adding 0.5 with the value's sign is the same addition
// (x - 0.5 and x + -0.5 are one IEEE operation; -0.0 + -0.5 truncates to 0
// as -0.0 + 0.5 does). For loops over data whose signs cannot be predicted.
inline int32_t RoundSmallHalfAway(double x)
{
    return static_cast<int32_t>(x + std::copysign(0.5, x));
}

} // namespace vela::engine
