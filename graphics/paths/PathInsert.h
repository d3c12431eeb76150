#pragma once
// Inserting points into a path: raw gaps, and a new node on a segment (a curve is split so
// that its shape is kept).

#include "paths/PathTypes.h"

namespace pv::graphics {

// (1 - t)^2 c + 2 t (1 - t) b + t^2 a: places control points when a curve is split.
double QuadraticBezier(double t, double a, double b, double c);

// How far a curve's two control points move for its point at parameter t to move by one
// unit: 1 / (3 t (1 - t)), with t kept away from the ends, where no move of the control
// points moves the curve's point.
double CurveShiftFactor(double t);

// count > 0 opens a gap of count points (nodes at the origin) at position; count < 0 removes
// -count points from it. False for unequal arrays or a position outside 0..length.
bool InsertPoints(TPointArray& points, TTypeArray& types, int32_t position, int32_t count);

// Inserts a node on the segment from index to nextIndex (either order within a figure; the
// closing segment of a closed figure from its last node to its first; or beyond an open
// figure's end: nextIndex = last + 1 or first - 1). Returns the new node's index, or -1.
int32_t InsertPathPoint(TPointArray& points, TTypeArray& types, int32_t index, const TPathFigureInfos* infos,
                        double tolerance, TPoint point, int32_t nextIndex);

// The nearest segment to point, then a node inserted on it.
int32_t InsertNearestPathPoint(TPointArray& points, TTypeArray& types, TPoint point, const TPathFigureInfos* infos,
                               double tolerance);

}  // namespace pv::graphics
