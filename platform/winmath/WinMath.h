#pragma once
// Integer arithmetic the programs were written against, with the platform's rounding rules
// spelled out, so that no caller reaches for std::lround where another rule is meant.

#include <cstdint>

namespace pv::winmath {

// number * numerator / denominator with a 64-bit intermediate, rounded half away from zero;
// -1 when the denominator is 0 or the result does not fit in 32 bits.
int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator);

// Nearest integer, halves away from zero (2.5 -> 3, -2.5 -> -3).
double RoundHalfAwayValue(double x);
// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2): the rule
// of the run-time's Round and of the floating-point unit's default mode. Inline, because
// drawing maps every coordinate through it.
inline double RoundHalfEvenValue(double x) {
  // Beyond 2^52 every double is a whole number (and infinities and NaN pass unchanged).
  constexpr double kTwo52 = 4503599627370496.0;
  if (!(x < kTwo52 && x > -kTwo52)) return x;
  // Near 2^52 the spacing of doubles is 1, so the sum is rounded to a whole number by the
  // default rounding mode, which breaks ties to even.
  const double shift = x < 0 ? -kTwo52 : kTwo52;
  return (x + shift) - shift;
}

// The same, as integers. A value outside the range of int32_t (or not a number) is refused
// with std::range_error rather than wrapped.
int32_t RoundHalfAway(double x);
int64_t RoundHalfEven64(double x);

[[noreturn]] void ThrowOutOfIntegerRange();

inline int32_t RoundHalfEven(double x) {
  // Both bounds are exact doubles; NaN fails both comparisons.
  const double v = RoundHalfEvenValue(x);
  if (!(v >= -2147483648.0 && v < 2147483648.0)) ThrowOutOfIntegerRange();
  return static_cast<int32_t>(v);
}
// Toward zero, with the same range check.
int32_t Trunc(double x);

// For drawing code that must not fail on absurd sizes: halves to even, or a 64-bit value, held
// within the range of int32_t (not a number gives 0).
int32_t RoundHalfEvenClamped(double x);
int32_t ClampToInt32(int64_t x);

}  // namespace pv::winmath
