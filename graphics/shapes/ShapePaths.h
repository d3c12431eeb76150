#pragma once
// The outlines of boxes, ellipses and arcs as path points (relative to the shape's rectangle
// (0, 0, W, H)), the form in which a shape becomes a curve: nodes, Bezier control points and
// the end node of one figure.

#include <cstdint>
#include <vector>

#include "paths/PathTypes.h"

namespace pv::graphics {

struct TShapePath {
  TPointArray points;
  TTypeArray types;
};

// A Bezier quarter of an ellipse has its control points 0.5523 of a radius from their node,
// which is 0.44771525017 of a radius short of the bounding box's corner.
inline constexpr double kBezierCircle = 0.44771525017;

// The four corners, or with roundness r (the corner diameter) four straight sides joined by
// Bezier quarters. One closed figure.
TShapePath BoxCurvePath(int32_t width, int32_t height, int32_t roundness);

// The whole ellipse as four Bezier quarters from the top, clockwise on the screen; closed.
TShapePath EllipseCurvePath(int32_t width, int32_t height);

// One piece of an arc: where it starts and how far it runs, thousandths of a degree.
struct TArcPiece {
  int32_t start = 0;
  int32_t sweep = 0;  // 1 .. 90000
  friend bool operator==(const TArcPiece&, const TArcPiece&) = default;
};

// The arc from begin to end (counter-clockwise) cut at every multiple of 90 degrees. Both
// angles are normalised first, so every input ends in at most five pieces; equal angles give
// none (the whole ellipse is drawn otherwise).
std::vector<TArcPiece> ArcPieces(int32_t begin, int32_t end);

// The arc as Bezier pieces of at most 90 degrees; a pie adds the centre and closes the figure,
// an arc stays open. Equal angles (after normalising) give the whole ellipse.
TShapePath ArcCurvePath(int32_t width, int32_t height, int32_t begin, int32_t end, bool pie);

}  // namespace pv::graphics
