#pragma once
// Rectangle helpers over the canvas's rectangle (right and bottom excluded).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "canvas/CanvasTypes.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using canvas::TPoint;
using canvas::TRect;

inline int32_t RectWidth(const TRect& r) { return r.right - r.left; }
inline int32_t RectHeight(const TRect& r) { return r.bottom - r.top; }

// The nearest whole number, halves away from zero, held far inside the 64-bit range (not a
// number gives 0): a drag to the end of the coordinate range or a damaged document scales by
// factors in the billions.
inline int64_t RoundHeld(double v) {
  constexpr double kLimit = 4611686018427387904.0;  // 2^62
  if (std::isnan(v)) return 0;
  return static_cast<int64_t>(winmath::RoundHalfAwayValue(std::clamp(v, -kLimit, kLimit)));
}

// scale * v, rounded as above and held within int32.
inline int32_t RoundScaled(double scale, int64_t v) {
  return winmath::ClampToInt32(RoundHeld(scale * static_cast<double>(v)));
}

// left <= right and top <= bottom, by swapping.
inline TRect NormalizeRect(const TRect& src) {
  TRect dst = src;
  if (dst.left > dst.right) std::swap(dst.left, dst.right);
  if (dst.top > dst.bottom) std::swap(dst.top, dst.bottom);
  return dst;
}

}  // namespace pv::graphics
