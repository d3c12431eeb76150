// Whether a connector needs a new route, the adjustment of a route that is kept, and the
// hand-over to the candidate search.
#include "connectors/RouteOrthogonal.h"

#include <algorithm>
#include <cstdlib>

#include "connectors/RouteBuilders.h"
#include "winmath/WinMath.h"

namespace pv::graphics {
namespace {

TRoutePoint Widen(TPoint p) { return {p.x, p.y}; }
TRouteBox Widen(const TRect& r) { return {r.left, r.top, r.right, r.bottom}; }

TRouteBox Normalized(TRouteBox r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

// Turning lines just outside a control near the int32 limits lie beyond them: such a route
// keeps to the limit.
int32_t Narrow(int64_t v) { return winmath::ClampToInt32(v); }

bool TypesAreOpenPolyline(const TPointArray& points, const TTypeArray& types) {
  if (points.size() != types.size()) return false;
  if (types.empty()) return true;
  for (size_t i = 0; i + 1 < types.size(); ++i) {
    if (types[i] != ptNode) return false;
  }
  return types.back() == ptEndNode;
}

bool Diagonal(TPoint p, TPoint q) { return p.x != q.x && p.y != q.y; }

bool SegmentIsHorizontal(TPoint p, TPoint q) {
  return std::llabs(int64_t{q.x} - p.x) >= std::llabs(int64_t{q.y} - p.y);
}

// Directions alternate along an orthogonal route, so a segment of zero length takes the
// direction of the nearest real one, turned once per segment in between. A route of nothing
// but zero-length segments (a fresh connector) starts horizontally.
bool FirstSegmentHorizontal(const TPointArray& points) {
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    if (points[i] == points[i + 1]) continue;
    return SegmentIsHorizontal(points[i], points[i + 1]) == (i % 2 == 0);
  }
  return true;
}

bool LastSegmentHorizontal(const TPointArray& points) {
  const size_t last = points.size() - 2;
  for (size_t i = last + 1; i-- > 0;) {
    if (points[i] == points[i + 1]) continue;
    return SegmentIsHorizontal(points[i], points[i + 1]) == ((last - i) % 2 == 0);
  }
  return last % 2 == 0;
}

bool NeedsNewRoute(const TPointArray& points, const TRouteInfo& info) {
  switch (info.rerouteMode) {
    case rmNever:
      return false;
    case rmAsNeeded:
      if (points.size() < 2) return true;
      if (!info.orthogonal) return false;
      for (size_t i = 0; i + 1 < points.size(); ++i) {
        if (Diagonal(points[i], points[i + 1])) return true;
      }
      return false;
    default:
      return true;
  }
}

// Ends moved to the link points; an orthogonal route also moves each end's neighbour on one
// axis so that the end segments keep their directions.
void AdjustRoute(TPointArray& points, TTypeArray& types, const TRouteInfo& info) {
  if (points.size() < 2) SetRouteLength(points, types, 2);
  const bool endsInPlace = points.front() == info.linkA && points.back() == info.linkB;
  if (info.orthogonal && points.size() > 2 && !endsInPlace) {
    const bool firstHorizontal = FirstSegmentHorizontal(points);
    const bool lastHorizontal = LastSegmentHorizontal(points);
    TPoint& second = points[1];
    (firstHorizontal ? second.y : second.x) = firstHorizontal ? info.linkA.y : info.linkA.x;
    TPoint& beforeLast = points[points.size() - 2];
    (lastHorizontal ? beforeLast.y : beforeLast.x) = lastHorizontal ? info.linkB.y : info.linkB.x;
  }
  points.front() = info.linkA;
  points.back() = info.linkB;
}

// The end segments may run inside their own controls' gap; none may run through a control.
bool RouteCrossesBoxes(const TPointArray& points, const TRouteInfo& info, const TRouteContext& c) {
  const TRouteBox rectA = Normalized(Widen(info.rectA)), rectB = Normalized(Widen(info.rectB));
  const size_t segments = points.size() - 1;
  for (size_t i = 0; i < segments; ++i) {
    const TRoutePoint p = Widen(points[i]), q = Widen(points[i + 1]);
    if (SegmentCrossesBox(p, q, i == 0 ? rectA : c.boxA)) return true;
    if (SegmentCrossesBox(p, q, i == segments - 1 ? rectB : c.boxB)) return true;
  }
  return false;
}

TRouteContext MakeContext(const TRouteInfo& info) {
  TRouteContext c;
  c.a = Widen(info.linkA);
  c.b = Widen(info.linkB);
  c.sameControl = info.sameControl;
  const int64_t gap = std::max(info.gap, 0);
  if (info.sameControl) {
    const TRouteBox withA = GapBox(Widen(info.rectA), c.a, 0);
    c.boxA = c.boxB = GapBox(withA, c.b, gap);
  } else {
    c.boxA = GapBox(Widen(info.rectA), c.a, gap);
    c.boxB = GapBox(Widen(info.rectB), c.b, gap);
  }
  return c;
}

void StoreRoute(const TRoutePath& route, TPointArray& points, TTypeArray& types) {
  SetRouteLength(points, types, route.count);
  for (int32_t i = 0; i < route.count; ++i) {
    const TRoutePoint p = route.points[static_cast<size_t>(i)];
    points[static_cast<size_t>(i)] = {Narrow(p.x), Narrow(p.y)};
  }
}

}  // namespace

void SetRouteLength(TPointArray& points, TTypeArray& types, int32_t n) {
  const size_t count = static_cast<size_t>(std::max(n, 0));
  points.resize(count);
  types.assign(count, ptNode);
  if (count > 0) types.back() = ptEndNode;
}

bool RouteOrthogonal(TPointArray& points, TTypeArray& types, const TRouteInfo& info) {
  if (!TypesAreOpenPolyline(points, types)) return false;
  const TRouteContext context = MakeContext(info);
  if (!NeedsNewRoute(points, info)) {
    AdjustRoute(points, types, info);
    if (info.rerouteMode != rmAsNeeded || !RouteCrossesBoxes(points, info, context)) return true;
  }
  if (!info.orthogonal) {
    SetRouteLength(points, types, 2);
    points[0] = info.linkA;
    points[1] = info.linkB;
    return true;
  }
  TRoutePath route;
  PlanOrthogonalRoute(context, route);
  StoreRoute(route, points, types);
  return true;
}

}  // namespace pv::graphics
