#include "engine/records/RoundHalfAway.h"

#include <cmath>
#include <limits>

#ifdef __FAST_MATH__
#error "The numeric engine must not be built with -ffast-math: its results depend on exact IEEE rounding."
#endif

namespace vela::engine {

int32_t RoundHalfAway(double x)
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

} // namespace vela::engine
