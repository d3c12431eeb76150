#pragma once
// Rotation of points and rectangles about a centre by whole degrees, optionally mirrored
// horizontally first; results rounded to the nearest unit.

#include <cstdint>
#include <span>
#include <stdexcept>

#include "base/Geometry.h"

namespace pv::graphics {

struct TRotateRec {
  int32_t x = 0;  // the centre, document units
  int32_t y = 0;
  int32_t angle = 0;  // degrees, counter-clockwise on the screen
  bool mirror = false;
};

TPoint RotatePoint(TPoint p, const TRotateRec& rec);
// Both corners rotated, then normalised.
TRect RotateRect(const TRect& r, const TRotateRec& rec);
void RotatePoints(std::span<TPoint> points, const TRotateRec& rec);

// An index outside a list: "List index out of bounds (n)".
class EListError : public std::out_of_range {
 public:
  explicit EListError(int index);
};

}  // namespace pv::graphics
