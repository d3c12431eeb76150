// Route shapes for one pair of exit sides. The general builder works on vertical exits of A
// (or vertical parallel exits) and handles the others by exchanging x and y, which turns top
// into left and right into bottom.
#include "connectors/RouteBuilders.h"

#include <algorithm>

namespace pv::graphics {
namespace {

// Rounded down, not toward zero: the route is planned relative to the connector's rectangle
// before the reroute, and a middle that rounded one way above that origin and the other way
// below it would land one unit apart when the same route is planned again from the new one.
int64_t Mid(int64_t u, int64_t v) {
  const int64_t sum = u + v;
  return sum / 2 - (sum % 2 < 0 ? 1 : 0);
}

int64_t Edge(const TRouteBox& box, int32_t side) {
  switch (side) {
    case rsTop: return box.top;
    case rsRight: return box.right;
    case rsBottom: return box.bottom;
    default: return box.left;
  }
}

bool StrictlyBetween(int64_t v, int64_t low, int64_t high) { return low < v && v < high; }

TRoutePoint Transposed(TRoutePoint p) { return {p.y, p.x}; }
TRouteBox Transposed(const TRouteBox& b) { return {b.top, b.left, b.bottom, b.right}; }
int32_t TransposedSide(int32_t side) { return 3 - side; }

TRouteContext Transposed(const TRouteContext& c) {
  return {Transposed(c.a), Transposed(c.b), Transposed(c.boxA), Transposed(c.boxB), c.sameControl};
}

void Transpose(TRoutePath& route) {
  for (int32_t i = 0; i < route.count; ++i) route.points[static_cast<size_t>(i)] = Transposed(route.points[static_cast<size_t>(i)]);
}

void SetRoute(TRoutePath& route, std::initializer_list<TRoutePoint> points) {
  route.count = 0;
  for (const TRoutePoint& p : points) route.Add(p);
}

// Every segment between the stubs stays out of both boxes, and neither stub runs through the
// other end's box.
bool RouteClearsBoxes(const TRouteContext& c, const TRoutePath& route) {
  const int32_t segments = route.count - 1;
  for (int32_t i = 0; i < segments; ++i) {
    const TRoutePoint p = route.points[static_cast<size_t>(i)];
    const TRoutePoint q = route.points[static_cast<size_t>(i + 1)];
    if (i > 0 && SegmentCrossesBox(p, q, c.boxA)) return false;
    if (i < segments - 1 && SegmentCrossesBox(p, q, c.boxB)) return false;
  }
  return true;
}

bool Aligned(const TRouteContext& c, int32_t sideA) { return IsVerticalSide(sideA) ? c.a.x == c.b.x : c.a.y == c.b.y; }

bool InExitDirection(TRoutePoint from, TRoutePoint to, int32_t side) {
  switch (side) {
    case rsTop: return to.y <= from.y;
    case rsRight: return to.x >= from.x;
    case rsBottom: return to.y >= from.y;
    default: return to.x <= from.x;
  }
}

// The coordinate lies at or beyond the box's edge on the side.
bool BeyondEdge(int64_t coordinate, const TRouteBox& box, int32_t side) {
  switch (side) {
    case rsTop: return coordinate <= box.top;
    case rsRight: return coordinate >= box.right;
    case rsBottom: return coordinate >= box.bottom;
    default: return coordinate <= box.left;
  }
}

// Box `far` lies wholly beyond box `near` in the side's direction; mid is the line between.
bool WhollyBeyond(const TRouteBox& near, const TRouteBox& far, int32_t side, int64_t& mid) {
  switch (side) {
    case rsTop:
      if (far.bottom > near.top) return false;
      mid = Mid(far.bottom, near.top);
      return true;
    case rsRight:
      if (far.left < near.right) return false;
      mid = Mid(near.right, far.left);
      return true;
    case rsBottom:
      if (far.top < near.bottom) return false;
      mid = Mid(near.bottom, far.top);
      return true;
    default:
      if (far.right > near.left) return false;
      mid = Mid(far.right, near.left);
      return true;
  }
}

// The edge of both boxes that lies furthest out on the side.
int64_t OuterEdge(const TRouteContext& c, int32_t side) {
  const int64_t ea = Edge(c.boxA, side), eb = Edge(c.boxB, side);
  return side == rsTop || side == rsLeft ? std::min(ea, eb) : std::max(ea, eb);
}

bool BuildStraight(const TRouteContext& c, int32_t sideA, int32_t sideB, TRoutePath& route) {
  if (!Aligned(c, sideA) || sideA == sideB || !InExitDirection(c.a, c.b, sideA)) return false;
  SetRoute(route, {c.a, c.b});
  return true;
}

bool BuildCorner(const TRouteContext& c, int32_t sideA, int32_t sideB, TRoutePath& route) {
  const bool aVertical = IsVerticalSide(sideA);
  if (!BeyondEdge(aVertical ? c.b.y : c.b.x, c.boxA, sideA)) return false;
  if (!BeyondEdge(aVertical ? c.a.x : c.a.y, c.boxB, sideB)) return false;
  const TRoutePoint corner = aVertical ? TRoutePoint{c.a.x, c.b.y} : TRoutePoint{c.b.x, c.a.y};
  SetRoute(route, {c.a, corner, c.b});
  return true;
}

// Vertical exits of both ends, four points: a U over or under both boxes, or a Z between them.
bool BuildFourVertical(const TRouteContext& c, int32_t sideA, int32_t sideB, TRoutePath& route) {
  int64_t y = 0;
  if (sideA == sideB) {
    const bool top = sideA == rsTop;
    const bool aBeside = StrictlyBetween(c.a.x, c.boxB.left, c.boxB.right) && (top ? c.boxB.top < c.a.y : c.boxB.bottom > c.a.y);
    const bool bBeside = StrictlyBetween(c.b.x, c.boxA.left, c.boxA.right) && (top ? c.boxA.top < c.b.y : c.boxA.bottom > c.b.y);
    if (aBeside || bBeside) return false;
    y = OuterEdge(c, sideA);
  } else if (sideA == rsTop) {
    if (c.boxA.top < c.boxB.bottom) return false;
    y = Mid(c.boxA.top, c.boxB.bottom);
  } else {
    if (c.boxB.top < c.boxA.bottom) return false;
    y = Mid(c.boxA.bottom, c.boxB.top);
  }
  SetRoute(route, {c.a, {c.a.x, y}, {c.b.x, y}, c.b});
  return true;
}

// A leaves vertically, B horizontally, five points.
bool BuildFiveVertical(const TRouteContext& c, int32_t sideA, int32_t sideB, TRoutePath& route) {
  int64_t m = 0;
  if (WhollyBeyond(c.boxA, c.boxB, sideA, m)) {
    const int64_t xb = Edge(c.boxB, sideB);
    SetRoute(route, {c.a, {c.a.x, m}, {xb, m}, {xb, c.b.y}, c.b});
  } else if (WhollyBeyond(c.boxB, c.boxA, sideB, m)) {
    const int64_t ya = Edge(c.boxA, sideA);
    SetRoute(route, {c.a, {c.a.x, ya}, {m, ya}, {m, c.b.y}, c.b});
  } else {
    const int64_t y = OuterEdge(c, sideA), x = OuterEdge(c, sideB);
    SetRoute(route, {c.a, {c.a.x, y}, {x, y}, {x, c.b.y}, c.b});
  }
  return true;
}

int64_t RouteLength(const TRoutePath& route) {
  int64_t length = 0;
  for (int32_t i = 1; i < route.count; ++i) {
    const TRoutePoint p = route.points[static_cast<size_t>(i - 1)], q = route.points[static_cast<size_t>(i)];
    length += (p.x > q.x ? p.x - q.x : q.x - p.x) + (p.y > q.y ? p.y - q.y : q.y - p.y);
  }
  return length;
}

// Parallel vertical exits, six points: out of A to the line between the boxes (or A's edge),
// along a box edge past whatever is in the way, and into B from its edge (or the line
// between). Of the turning lines that keep clear of both boxes, the shortest route wins; the
// outer edges of both boxes are among them, so boxes that overlap are passed around their union.
bool BuildSixVertical(const TRouteContext& c, int32_t sideA, int32_t sideB, TRoutePath& route) {
  int64_t mid = 0;
  const int64_t y1s[2] = {WhollyBeyond(c.boxA, c.boxB, sideA, mid) ? mid : Edge(c.boxA, sideA), OuterEdge(c, sideA)};
  const int64_t y2s[2] = {WhollyBeyond(c.boxB, c.boxA, sideB, mid) ? mid : Edge(c.boxB, sideB), OuterEdge(c, sideB)};
  int64_t xs[5] = {c.boxA.left, c.boxA.right, c.boxB.left, c.boxB.right, 0};
  int32_t xCount = 4;
  if (WhollyBeyond(c.boxA, c.boxB, rsRight, mid) || WhollyBeyond(c.boxA, c.boxB, rsLeft, mid)) xs[xCount++] = mid;

  bool found = false;
  int64_t best = 0;
  TRoutePath candidate;
  for (const int64_t y1 : y1s) {
    for (const int64_t y2 : y2s) {
      for (int32_t i = 0; i < xCount; ++i) {
        const int64_t x = xs[i];
        SetRoute(candidate, {c.a, {c.a.x, y1}, {x, y1}, {x, y2}, {c.b.x, y2}, c.b});
        if (!RouteClearsBoxes(c, candidate)) continue;
        const int64_t length = RouteLength(candidate);
        if (found && length >= best) continue;
        found = true;
        best = length;
        route = candidate;
      }
    }
  }
  return found;
}

}  // namespace

TRouteBox GapBox(TRouteBox rect, TRoutePoint point, int64_t gap) {
  if (rect.left > rect.right) std::swap(rect.left, rect.right);
  if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
  return {std::min(rect.left, point.x) - gap, std::min(rect.top, point.y) - gap, std::max(rect.right, point.x) + gap,
          std::max(rect.bottom, point.y) + gap};
}

uint8_t ExitSides(TRoutePoint p, const TRouteBox& box) {
  uint8_t sides = 0;
  if (p.y < box.top) sides |= SideBit(rsTop);
  if (p.x > box.right) sides |= SideBit(rsRight);
  if (p.y > box.bottom) sides |= SideBit(rsBottom);
  if (p.x < box.left) sides |= SideBit(rsLeft);
  if (sides != 0) return sides;
  const int64_t distances[4] = {p.y - box.top, box.right - p.x, box.bottom - p.y, p.x - box.left};
  const int64_t nearest = *std::min_element(distances, distances + 4);
  for (int32_t side = rsTop; side <= rsLeft; ++side) {
    if (distances[side] == nearest) sides |= SideBit(side);
  }
  return sides;
}

bool SegmentCrossesBox(TRoutePoint p, TRoutePoint q, const TRouteBox& box) {
  return box.top < std::max(p.y, q.y) && std::min(p.y, q.y) < box.bottom && std::min(p.x, q.x) < box.right &&
         box.left < std::max(p.x, q.x);
}

namespace {

TRouteBox Stub(TRoutePoint p, const TRouteBox& box, int32_t side) {
  const int64_t edge = Edge(box, side);
  if (IsVerticalSide(side)) return {p.x, std::min(p.y, edge), p.x + 1, std::max(p.y, edge)};
  return {std::min(p.x, edge), p.y, std::max(p.x, edge), p.y + 1};
}

bool Overlaps(const TRouteBox& r, const TRouteBox& box) {
  return r.left < box.right && box.left < r.right && r.top < box.bottom && box.top < r.bottom;
}

}  // namespace

bool StubsBlocked(const TRouteContext& c, int32_t sideA, int32_t sideB) {
  return Overlaps(Stub(c.a, c.boxA, sideA), c.boxB) || Overlaps(Stub(c.b, c.boxB, sideB), c.boxA);
}

void BuildSimpleRoute(const TRouteContext& c, int32_t sideA, int32_t sideB, TRoutePath& route) {
  const bool aVertical = IsVerticalSide(sideA);
  if (aVertical != IsVerticalSide(sideB)) {
    SetRoute(route, {c.a, aVertical ? TRoutePoint{c.a.x, c.b.y} : TRoutePoint{c.b.x, c.a.y}, c.b});
  } else if (Aligned(c, sideA)) {
    SetRoute(route, {c.a, c.b});
  } else if (aVertical) {
    const int64_t y = Mid(c.a.y, c.b.y);
    SetRoute(route, {c.a, {c.a.x, y}, {c.b.x, y}, c.b});
  } else {
    const int64_t x = Mid(c.a.x, c.b.x);
    SetRoute(route, {c.a, {x, c.a.y}, {x, c.b.y}, c.b});
  }
}

bool BuildSameControlRoute(const TRouteContext& c, int32_t n, int32_t sideA, int32_t sideB, TRoutePath& route) {
  const TRouteBox& box = c.boxA;
  const bool aVertical = IsVerticalSide(sideA);
  const bool parallel = aVertical == IsVerticalSide(sideB);
  if (n != (parallel ? 4 : 3)) return false;
  const int64_t ea = Edge(box, sideA), eb = Edge(box, sideB);
  if (parallel && !aVertical) {
    const int64_t y = c.a.y + c.b.y - 2 * box.top < 2 * box.bottom - c.a.y - c.b.y ? box.top : box.bottom;
    SetRoute(route, {c.a, {ea, c.a.y}, {ea, y}, {eb, y}, {eb, c.b.y}, c.b});
  } else if (parallel) {
    const int64_t x = c.a.x + c.b.x - 2 * box.left < 2 * box.right - c.a.x - c.b.x ? box.left : box.right;
    SetRoute(route, {c.a, {c.a.x, ea}, {x, ea}, {x, eb}, {c.b.x, eb}, c.b});
  } else if (!aVertical) {
    SetRoute(route, {c.a, {ea, c.a.y}, {ea, eb}, {c.b.x, eb}, c.b});
  } else {
    SetRoute(route, {c.a, {c.a.x, ea}, {eb, ea}, {eb, c.b.y}, c.b});
  }
  return true;
}

bool BuildGeneralRoute(const TRouteContext& c, int32_t n, int32_t sideA, int32_t sideB, TRoutePath& route) {
  const bool parallel = IsVerticalSide(sideA) == IsVerticalSide(sideB);
  if (parallel != (n % 2 == 0) || n < 0 || n > 4) return false;
  if (n == 0) return BuildStraight(c, sideA, sideB, route);
  if (n == 1) return BuildCorner(c, sideA, sideB, route);
  if (n >= 3 && StubsBlocked(c, sideA, sideB)) return false;

  // Canonical orientation: A leaves vertically.
  const bool transpose = !IsVerticalSide(sideA);
  const TRouteContext oriented = transpose ? Transposed(c) : c;
  const int32_t sa = transpose ? TransposedSide(sideA) : sideA;
  const int32_t sb = transpose ? TransposedSide(sideB) : sideB;
  bool built = false;
  if (n == 2) built = BuildFourVertical(oriented, sa, sb, route);
  if (n == 3) built = BuildFiveVertical(oriented, sa, sb, route);
  if (n == 4) built = BuildSixVertical(oriented, sa, sb, route);
  if (!built) return false;
  if (transpose) Transpose(route);
  return RouteClearsBoxes(c, route);
}

int32_t PlanOrthogonalRoute(const TRouteContext& c, TRoutePath& route) {
  const uint8_t sidesA = ExitSides(c.a, c.boxA);
  const uint8_t sidesB = ExitSides(c.b, c.boxB);
  for (int32_t n = 0; n <= 4; ++n) {
    for (int32_t sa = rsTop; sa <= rsLeft; ++sa) {
      if (!(sidesA & SideBit(sa))) continue;
      for (int32_t sb = rsTop; sb <= rsLeft; ++sb) {
        if (!(sidesB & SideBit(sb))) continue;
        const bool built = c.sameControl ? BuildSameControlRoute(c, n, sa, sb, route) : BuildGeneralRoute(c, n, sa, sb, route);
        if (built) return n;
      }
    }
  }
  // Nothing fits: the simple route from A's last exit side to B's first one.
  int32_t lastA = rsTop, firstB = rsLeft;
  for (int32_t side = rsTop; side <= rsLeft; ++side) {
    if (sidesA & SideBit(side)) lastA = side;
  }
  for (int32_t side = rsLeft; side >= rsTop; --side) {
    if (sidesB & SideBit(side)) firstB = side;
  }
  BuildSimpleRoute(c, lastA, firstB, route);
  return -1;
}

}  // namespace pv::graphics
