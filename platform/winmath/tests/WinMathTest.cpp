#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "winmath/WinMath.h"

using namespace pv::winmath;

TEST(MulDiv, RoundsHalfAwayWithWideIntermediate) {
  struct Case {
    int32_t n, num, den, expected;
  } cases[] = {
      {10, 1, 4, 3},          // 2.5 -> 3
      {-10, 1, 4, -3},        // -2.5 -> -3
      {10, -1, 4, -3},
      {10, 1, -4, -3},
      {-10, -1, -4, -3},
      {9, 1, 4, 2},           // 2.25 -> 2
      {11, 1, 4, 3},          // 2.75 -> 3
      {100000, 100000, 1000, 10000000},  // product exceeds 32 bits
      {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
      {INT32_MIN, 1, 1, INT32_MIN},
      {7, 3, 0, -1},          // zero divisor
      {INT32_MAX, 2, 1, -1},  // result does not fit
      {0, 5, 3, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MulDiv(c.n, c.num, c.den), c.expected) << c.n << " * " << c.num << " / " << c.den;
  }
}

TEST(Rounding, HalfAwayAndHalfEvenDifferOnlyOnTies) {
  struct Case {
    double x;
    int32_t away, even;
  } cases[] = {
      {0.5, 1, 0},    {1.5, 2, 2},    {2.5, 3, 2},   {-0.5, -1, 0}, {-1.5, -2, -2},
      {-2.5, -3, -2}, {2.4999, 2, 2}, {2.5001, 3, 3}, {-7.2, -7, -7}, {0.0, 0, 0},
      {1e9 + 0.5, 1000000001, 1000000000},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RoundHalfAway(c.x), c.away) << c.x;
    EXPECT_EQ(RoundHalfEven(c.x), c.even) << c.x;
  }
  EXPECT_EQ(RoundHalfEvenValue(4.5), 4.0);
  EXPECT_EQ(RoundHalfEven64(5e12 + 0.5), 5000000000000);
  EXPECT_EQ(Trunc(-3.9), -3);
}

TEST(Rounding, RefusesValuesOutsideTheIntegerRange) {
  EXPECT_THROW(RoundHalfEven(3e9), std::range_error);
  EXPECT_THROW(RoundHalfAway(-3e9), std::range_error);
  EXPECT_THROW(RoundHalfEven(std::nan("")), std::range_error);
  EXPECT_THROW(Trunc(std::numeric_limits<double>::infinity()), std::range_error);
  EXPECT_EQ(RoundHalfEven(2147483647.4), INT32_MAX);
  EXPECT_THROW(RoundHalfEven(2147483647.5), std::range_error);  // rounds to 2^31
  EXPECT_EQ(RoundHalfEven(-2147483648.4), INT32_MIN);
}

TEST(Rounding, ClampedVariantsHoldValuesWithinInt32) {
  EXPECT_EQ(RoundHalfEvenClamped(2.5), 2);
  EXPECT_EQ(RoundHalfEvenClamped(-3.5), -4);
  EXPECT_EQ(RoundHalfEvenClamped(3e9), INT32_MAX);
  EXPECT_EQ(RoundHalfEvenClamped(-3e9), INT32_MIN);
  EXPECT_EQ(RoundHalfEvenClamped(std::numeric_limits<double>::infinity()), INT32_MAX);
  EXPECT_EQ(RoundHalfEvenClamped(std::nan("")), 0);
  EXPECT_EQ(ClampToInt32(int64_t{1} << 40), INT32_MAX);
  EXPECT_EQ(ClampToInt32(-(int64_t{1} << 40)), INT32_MIN);
  EXPECT_EQ(ClampToInt32(-7), -7);
}
