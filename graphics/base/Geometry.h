#pragma once
// Rectangle helpers over the canvas's rectangle (right and bottom excluded).

#include <utility>

#include "canvas/CanvasTypes.h"

namespace pv::graphics {

using canvas::TPoint;
using canvas::TRect;

inline int32_t RectWidth(const TRect& r) { return r.right - r.left; }
inline int32_t RectHeight(const TRect& r) { return r.bottom - r.top; }

// left <= right and top <= bottom, by swapping.
inline TRect NormalizeRect(const TRect& src) {
  TRect dst = src;
  if (dst.left > dst.right) std::swap(dst.left, dst.right);
  if (dst.top > dst.bottom) std::swap(dst.top, dst.bottom);
  return dst;
}

}  // namespace pv::graphics
