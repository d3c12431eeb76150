#include "winmath/WinMath.h"

#include <cmath>
#include <limits>
#include <stdexcept>

namespace pv::winmath {

int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
  if (denominator == 0) return -1;
  const int64_t product = static_cast<int64_t>(number) * numerator;
  // |product| < 2^62, so doubling it for the half below cannot overflow.
  int64_t quotient = product / denominator;
  const int64_t remainder = product % denominator;
  if (remainder != 0) {
    const uint64_t twiceRem = 2 * static_cast<uint64_t>(remainder < 0 ? -remainder : remainder);
    const uint64_t absDen = static_cast<uint64_t>(denominator < 0 ? -static_cast<int64_t>(denominator) : denominator);
    if (twiceRem >= absDen) quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
  }
  if (quotient > std::numeric_limits<int32_t>::max() || quotient < std::numeric_limits<int32_t>::min()) return -1;
  return static_cast<int32_t>(quotient);
}

double RoundHalfAwayValue(double x) { return std::round(x); }

void ThrowOutOfIntegerRange() { throw std::range_error("Value out of integer range"); }

namespace {

template <typename T>
T Checked(double value) {
  // Both bounds are exact doubles: the minimum is a power of two, max + 1 is one too.
  constexpr double kLow = static_cast<double>(std::numeric_limits<T>::min());
  constexpr double kHighExclusive = -kLow;
  if (!(value >= kLow && value < kHighExclusive)) ThrowOutOfIntegerRange();
  return static_cast<T>(value);
}

}  // namespace

int32_t RoundHalfAway(double x) { return Checked<int32_t>(RoundHalfAwayValue(x)); }
int64_t RoundHalfEven64(double x) { return Checked<int64_t>(RoundHalfEvenValue(x)); }
int32_t Trunc(double x) { return Checked<int32_t>(std::trunc(x)); }

int32_t RoundHalfEvenClamped(double x) {
  if (std::isnan(x)) return 0;
  const double r = RoundHalfEvenValue(x);
  if (r <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (r >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

int32_t ClampToInt32(int64_t x) {
  if (x < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (x > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(x);
}

}  // namespace pv::winmath
