#pragma once
// A curve's points in the two binary forms of the text format, and the checks that keep a
// damaged or hostile value from reaching the curve.
//   PathPoints: count N (int32, little-endian), N points (X int32, Y int32), N type bytes.
//   Points (older documents): N points of 8 bytes, types made up (nodes, the last one ending).

#include <cstdint>
#include <span>
#include <vector>

#include "paths/PathTypes.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

// The bounds of a set of points with 64-bit edges, so that widths of points near the int32
// limits do not wrap; right and bottom are the largest x and y.
struct TPointBounds64 {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
  int64_t Width() const { return right - left; }
  int64_t Height() const { return bottom - top; }
};

// False for no points.
bool GetPointBounds64(std::span<const TPoint> points, TPointBounds64& bounds);

// A value clamped into the int32 range.
using winmath::ClampToInt32;

// Types 0..3 only, every point inside a figure, every figure walkable (control points in
// pairs between nodes), and an extent that a control's width and height can hold.
bool IsValidCurvePath(std::span<const TPoint> points, std::span<const uint8_t> types);

std::vector<uint8_t> EncodePathPoints(std::span<const TPoint> points, std::span<const uint8_t> types);
// False, with both arrays left as they were, for a value that is not 4 + 9 N bytes (N >= 0,
// computed in 64 bits) or that fails IsValidCurvePath.
bool DecodePathPoints(std::span<const uint8_t> data, TPointArray& points, TTypeArray& types);
// The older form: false, arrays untouched, unless the length is a multiple of 8 and the
// points pass IsValidCurvePath with the types made up for them.
bool DecodeOldPoints(std::span<const uint8_t> data, bool closed, TPointArray& points, TTypeArray& types);

}  // namespace pv::graphics
