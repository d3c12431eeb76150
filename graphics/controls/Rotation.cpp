#include "controls/Rotation.h"

#include <cmath>
#include <numbers>
#include <string>

#include "winmath/WinMath.h"

namespace pv::graphics {

TPoint RotatePoint(TPoint p, const TRotateRec& rec) {
  double dx = static_cast<double>(p.x) - rec.x;
  const double dy = static_cast<double>(p.y) - rec.y;
  if (rec.mirror) dx = -dx;
  const double a = -rec.angle * std::numbers::pi / 180.0;
  const double c = std::cos(a);
  const double s = std::sin(a);
  // Held inside the coordinate range: a point turned about a centre near its edge may fall
  // outside it.
  return {winmath::ClampToInt32(std::llround(c * dx - s * dy) + static_cast<int64_t>(rec.x)),
          winmath::ClampToInt32(std::llround(s * dx + c * dy) + static_cast<int64_t>(rec.y))};
}

TRect RotateRect(const TRect& r, const TRotateRec& rec) {
  const TPoint a = RotatePoint({r.left, r.top}, rec);
  const TPoint b = RotatePoint({r.right, r.bottom}, rec);
  return NormalizeRect({a.x, a.y, b.x, b.y});
}

void RotatePoints(std::span<TPoint> points, const TRotateRec& rec) {
  for (TPoint& p : points) p = RotatePoint(p, rec);
}

EListError::EListError(int index) : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}

}  // namespace pv::graphics
