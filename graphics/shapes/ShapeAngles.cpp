#include "shapes/ShapeAngles.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace pv::graphics {

int32_t NormalizeAngle(int64_t angle) {
  int64_t a = angle % kFullTurn;
  if (a < 0) a += kFullTurn;
  return static_cast<int32_t>(a);
}

canvas::TPoint EllipseAnglePoint(int32_t angle, int32_t width, int32_t height) {
  const int32_t a = NormalizeAngle(angle);
  // The two horizontal ends are exact: rounding the cosine would move them by a unit.
  if (a == 0) return {width, height / 2};
  if (a == kFullTurn / 2) return {0, height / 2};
  const double rx = width / 2.0;
  const double ry = height / 2.0;
  const double t = a * std::numbers::pi / (kFullTurn / 2);
  return {static_cast<int32_t>(std::lround(rx + rx * std::cos(t))),
          static_cast<int32_t>(std::lround(ry - ry * std::sin(t)))};
}

int32_t EllipsePointAngle(canvas::TPoint p, int32_t width, int32_t height) {
  const double rx = width / 2.0;
  const double ry = height / 2.0;
  // A flat ellipse has no vertical extent to measure against: only left or right remain.
  const double c = ry == 0 ? 0.0 : (ry - p.y) * rx / ry;
  const double d = p.x - rx;
  if (d == 0) return c > 0 ? kQuarterTurn : 3 * kQuarterTurn;
  double degrees = std::atan2(c, d) * 180.0 / std::numbers::pi;
  if (degrees < 0) degrees += 360.0;
  return NormalizeAngle(std::llround(degrees * 1000.0));
}

TArcAngles RotateArcAngles(TArcAngles angles, int32_t degrees, bool mirror) {
  const int64_t turn = static_cast<int64_t>(degrees) * 1000;
  const auto rotate = [&](int32_t a) {
    const int64_t m = mirror ? int64_t{kFullTurn / 2} - a : int64_t{a};
    return NormalizeAngle(m + turn);
  };
  TArcAngles out{rotate(angles.begin), rotate(angles.end)};
  if (mirror) std::swap(out.begin, out.end);
  return out;
}

}  // namespace pv::graphics
