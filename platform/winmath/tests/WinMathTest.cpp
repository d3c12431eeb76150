#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

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

// The inline rounding against the definition: the nearest whole number below or above, the
// even one on a tie. Ties, near-ties, both signs and magnitudes up to beyond 2^53.
TEST(Rounding, HalfEvenMatchesItsDefinitionEverywhere) {
  auto reference = [](double x) {
    const double floor = std::floor(x);
    const double diff = x - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
  };
  std::vector<double> values{0.0, -0.0, 0.49999999999999994, -0.49999999999999994, 4503599627370495.5,
                             -4503599627370495.5, 4503599627370496.0, 9007199254740993.0, 1e300, -1e300};
  for (double magnitude = 1e-3; magnitude < 1e17; magnitude *= 3.7) {
    for (double frac : {0.0, 0.25, 0.5, 0.75, 1.5, 2.5}) {
      const double x = std::floor(magnitude) + frac;
      values.insert(values.end(), {x, -x, std::nextafter(x, 0.0), std::nextafter(x, 1e308), -std::nextafter(x, 0.0)});
    }
  }
  for (double x : values) EXPECT_EQ(RoundHalfEvenValue(x), reference(x)) << std::hexfloat << x;
  EXPECT_TRUE(std::isnan(RoundHalfEvenValue(std::nan(""))));
  EXPECT_EQ(RoundHalfEvenValue(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
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
