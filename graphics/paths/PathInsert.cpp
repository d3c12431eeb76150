#include "paths/PathInsert.h"

#include <algorithm>
#include <cmath>

#include "paths/PathQueries.h"

namespace pv::graphics {

namespace {

constexpr double kEndGuard = 1.0 / 64;

TPoint RoundPoint(double x, double y) {
  return {static_cast<int32_t>(std::llround(x)), static_cast<int32_t>(std::llround(y))};
}

// Opens a gap and fills it.
void InsertAt(TPointArray& points, TTypeArray& types, int32_t position, std::span<const TPoint> newPoints,
              std::span<const uint8_t> newTypes) {
  points.insert(points.begin() + position, newPoints.begin(), newPoints.end());
  types.insert(types.begin() + position, newTypes.begin(), newTypes.end());
}

// The new node took the place of a figure's end: it inherits the end type.
void MoveEndType(TTypeArray& types, int32_t oldEnd, int32_t newNode) {
  types[static_cast<size_t>(newNode)] = types[static_cast<size_t>(oldEnd)];
  types[static_cast<size_t>(oldEnd)] = ptNode;
}

int32_t InsertOnLine(TPointArray& points, TTypeArray& types, int32_t start, int32_t end, double tolerance,
                     TPoint point, bool atFigureEnd) {
  const TPoint a = points[static_cast<size_t>(start)];
  const TPoint b = points[static_cast<size_t>(end)];
  const double abx = static_cast<double>(b.x) - a.x, aby = static_cast<double>(b.y) - a.y;
  const double o = abx * abx + aby * aby;
  TPoint node = point;
  if (o > 0) {
    const double t = std::clamp(((point.x - a.x) * abx + (point.y - a.y) * aby) / o, 0.0, 1.0);
    const TPoint foot = RoundPoint(a.x + t * abx, a.y + t * aby);
    const double dx = static_cast<double>(point.x) - foot.x, dy = static_cast<double>(point.y) - foot.y;
    const double limit = tolerance * 1000;
    if (dx * dx + dy * dy <= limit * limit) node = foot;
  }
  const int32_t at = start + 1;
  const TPoint p[1] = {node};
  const uint8_t t[1] = {ptNode};
  InsertAt(points, types, at, p, t);
  if (atFigureEnd) MoveEndType(types, start, at);
  return at;
}

int32_t InsertOnCurve(TPointArray& points, TTypeArray& types, int32_t start, int32_t end, double tolerance,
                      TPoint point, bool atFigureEnd) {
  const TPoint q[4] = {points[static_cast<size_t>(start)], points[static_cast<size_t>(start + 1)],
                       points[static_cast<size_t>(start + 2)], points[static_cast<size_t>(end)]};
  const uint8_t qt[4] = {ptNode, ptControl, ptControl, ptEndNode};
  TPathNearest nearest;
  PathHitTest(q, qt, point, nullptr, &nearest, 0, false, true);
  const double t = nearest.found ? nearest.t : 0.5;
  double p0x = q[0].x, p0y = q[0].y, p1x = q[1].x, p1y = q[1].y, p2x = q[2].x, p2y = q[2].y, p3x = q[3].x,
         p3y = q[3].y;
  const double dx = static_cast<double>(point.x) - nearest.x, dy = static_cast<double>(point.y) - nearest.y;
  const bool snap = dx * dx + dy * dy <= tolerance * tolerance;
  // At the very ends no shift of the control points moves the curve's point: the node is
  // then inserted where the split puts it.
  if (!snap && t > 0 && t < 1) {
    const double k = CurveShiftFactor(t);
    const double mx = ((1 - t) * (1 - t) * (1 - t)) * p0x + 3 * t * (1 - t) * (1 - t) * p1x +
                      3 * t * t * (1 - t) * p2x + t * t * t * p3x;
    const double my = ((1 - t) * (1 - t) * (1 - t)) * p0y + 3 * t * (1 - t) * (1 - t) * p1y +
                      3 * t * t * (1 - t) * p2y + t * t * t * p3y;
    const double sx = (point.x - mx) * k, sy = (point.y - my) * k;
    p1x += sx;
    p1y += sy;
    p2x += sx;
    p2y += sy;
  }
  const TPoint l1 = RoundPoint(p0x + t * (p1x - p0x), p0y + t * (p1y - p0y));
  const double l2x = QuadraticBezier(t, p2x, p1x, p0x), l2y = QuadraticBezier(t, p2y, p1y, p0y);
  const double r1x = QuadraticBezier(t, p3x, p2x, p1x), r1y = QuadraticBezier(t, p3y, p2y, p1y);
  const TPoint r2 = RoundPoint(p2x + t * (p3x - p2x), p2y + t * (p3y - p2y));
  TPoint m = RoundPoint((1 - t) * l2x + t * r1x, (1 - t) * l2y + t * r1y);
  if (snap) m = {nearest.x, nearest.y};
  points[static_cast<size_t>(start + 1)] = l1;
  points[static_cast<size_t>(start + 2)] = RoundPoint(l2x, l2y);
  const TPoint p[3] = {m, RoundPoint(r1x, r1y), r2};
  const uint8_t ty[3] = {ptNode, ptControl, ptControl};
  InsertAt(points, types, start + 3, p, ty);
  if (atFigureEnd) MoveEndType(types, start, start + 3);
  return start + 3;
}

}  // namespace

double QuadraticBezier(double t, double a, double b, double c) {
  return (1 - t) * (1 - t) * c + 2 * t * (1 - t) * b + t * t * a;
}

double CurveShiftFactor(double t) {
  const double s = std::clamp(t, kEndGuard, 1 - kEndGuard);
  return 1.0 / (3 * s * (1 - s));
}

bool InsertPoints(TPointArray& points, TTypeArray& types, int32_t position, int32_t count) {
  if (points.size() != types.size()) return false;
  const int32_t n = static_cast<int32_t>(points.size());
  if (position < 0 || position > n) return false;
  if (count > 0) {
    points.insert(points.begin() + position, static_cast<size_t>(count), TPoint{});
    types.insert(types.begin() + position, static_cast<size_t>(count), ptNode);
  } else if (count < 0) {
    const int32_t remove = std::min(-count, n - position);
    points.erase(points.begin() + position, points.begin() + position + remove);
    types.erase(types.begin() + position, types.begin() + position + remove);
  }
  return true;
}

int32_t InsertPathPoint(TPointArray& points, TTypeArray& types, int32_t index, const TPathFigureInfos* infos,
                        double tolerance, TPoint point, int32_t nextIndex) {
  const int32_t n = static_cast<int32_t>(points.size());
  if (static_cast<int32_t>(types.size()) != n || nextIndex == index) return -1;
  if (index < 0 || index >= n || nextIndex < -1 || nextIndex > n) return -1;
  auto isControl = [&](int32_t i) { return i >= 0 && i < n && types[static_cast<size_t>(i)] == ptControl; };
  if (isControl(index) || isControl(nextIndex)) return -1;
  TPathFigureInfos built;
  if (!infos || infos->pathLength != n) {
    built = BuildFigureInfos(points, types);
    infos = &built;
  }
  const int32_t figure = FigureOfPoint(*infos, index);
  if (figure < 0) return -1;
  const TPathFigureInfo f = infos->figures[static_cast<size_t>(figure)];

  // Beyond an open figure's ends: a new end node at the point.
  if (!f.closed && index == f.lastNode && nextIndex == f.last + 1) {
    const TPoint p[1] = {point};
    const uint8_t t[1] = {ptNode};
    InsertAt(points, types, nextIndex, p, t);
    MoveEndType(types, f.lastNode, nextIndex);
    return nextIndex;
  }
  if (!f.closed && index == f.first && nextIndex == f.first - 1) {
    const TPoint p[1] = {point};
    const uint8_t t[1] = {ptNode};
    InsertAt(points, types, f.first, p, t);
    return f.first;
  }
  // The closing segment of a closed figure, from its last node back to its first.
  if (index == f.lastNode && nextIndex == f.first) {
    if (!f.closed) return -1;
    if (f.last == f.lastNode + 2) return InsertOnCurve(points, types, f.lastNode, f.first, tolerance, point, true);
    return InsertOnLine(points, types, f.lastNode, f.first, tolerance, point, true);
  }
  if (nextIndex < f.first || nextIndex > f.lastNode) return -1;
  const int32_t lo = std::min(index, nextIndex);
  const int32_t hi = std::max(index, nextIndex);
  if (hi == lo + 1) return InsertOnLine(points, types, lo, hi, tolerance, point, false);
  if (hi == lo + 3 && isControl(lo + 1) && isControl(lo + 2)) {
    return InsertOnCurve(points, types, lo, hi, tolerance, point, false);
  }
  return -1;
}

int32_t InsertNearestPathPoint(TPointArray& points, TTypeArray& types, TPoint point, const TPathFigureInfos* infos,
                               double tolerance) {
  TPathNearest nearest;
  int32_t start = -1, next = -1;
  if (!FindNearestPathPoint(points, types, point, true, infos, nearest, start, next)) return -1;
  return InsertPathPoint(points, types, start, infos, tolerance, point, next);
}

}  // namespace pv::graphics
