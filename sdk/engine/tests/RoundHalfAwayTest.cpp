#include "engine/records/RoundHalfAway.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vela::engine {
namespace {

TEST(RoundHalfAway, AddsOrSubtractsAHalfThenTruncates)
{
    struct Case {
        double value;
        int32_t expected;
    };
    const Case cases[] = {
        {0.0, 0},
        {0.5, 1},
        {-0.5, -1},
        {1.5, 2},
        {2.5, 3},      // not to even
        {-2.5, -3},
        {1.4999999999999998, 1},
        {-1.4999999999999998, -1},
        {2.4999, 2},
        {-0.4999, 0},
        {0.49999999999999994, 1},   // x + 0.5 is exactly 1.0 in double
        {-0.49999999999999994, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RoundHalfAway(c.value), c.expected) << c.value;
}

TEST(RoundHalfAway, DiffersFromLround)
{
    EXPECT_EQ(std::lround(0.49999999999999994), 0);
    EXPECT_EQ(RoundHalfAway(0.49999999999999994), 1);
}

TEST(RoundHalfAway, SaturatesOutsideInt32AndTakesNanAsZero)
{
    EXPECT_EQ(RoundHalfAway(1e12), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(RoundHalfAway(-1e12), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(RoundHalfAway(2147483646.6), 2147483647);
    EXPECT_EQ(RoundHalfAway(-2147483648.4), -2147483648);
    EXPECT_EQ(RoundHalfAway(std::nan("")), 0);
}

} // namespace
} // namespace vela::engine
