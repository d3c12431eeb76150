#pragma once
// Angles of ellipses and arcs: thousandths of a degree, counter-clockwise from three o'clock,
// always kept in 0 .. 359999. Points are relative to the shape's rectangle (0, 0, W, H).

#include <cstdint>

#include "canvas/CanvasTypes.h"

namespace pv::graphics {

inline constexpr int32_t kFullTurn = 360000;
inline constexpr int32_t kQuarterTurn = 90000;

// Any angle taken into 0 .. 359999 (computed in 64 bits, so every int32 input is safe).
// 360000 (an arc ending "at 360 degrees") becomes 0.
int32_t NormalizeAngle(int64_t angle);

// The point of the ellipse inscribed in (0, 0, width, height) at that angle.
canvas::TPoint EllipseAnglePoint(int32_t angle, int32_t width, int32_t height);

// The angle of the ray from the ellipse's centre through p, normalised (rounding may reach
// 360000, which is 0).
int32_t EllipsePointAngle(canvas::TPoint p, int32_t width, int32_t height);

struct TArcAngles {
  int32_t begin = 0;
  int32_t end = 0;
  friend bool operator==(const TArcAngles&, const TArcAngles&) = default;
};

// The angles of an arc after its shape turned by whole degrees (counter-clockwise), mirrored
// horizontally first when mirror is set: a mirrored arc runs the other way, so its ends swap.
TArcAngles RotateArcAngles(TArcAngles angles, int32_t degrees, bool mirror);

}  // namespace pv::graphics
