#pragma once
// The pieces of orthogonal routing: gap boxes, exit sides and the builders that try one route
// shape for one pair of exit sides. Everything is computed in 64 bits: a control near the
// int32 limits inflated by the gap, or a midpoint of two far edges, would wrap in 32.

#include <array>
#include <cstddef>
#include <cstdint>

namespace pv::graphics {

struct TRoutePoint {
  int64_t x = 0;
  int64_t y = 0;
  friend bool operator==(const TRoutePoint&, const TRoutePoint&) = default;
};

struct TRouteBox {
  int64_t left = 0;
  int64_t top = 0;
  int64_t right = 0;
  int64_t bottom = 0;
  friend bool operator==(const TRouteBox&, const TRouteBox&) = default;
};

// Exit sides by index; a set of sides holds bit (1 << side).
enum TRouteSide : int32_t { rsTop = 0, rsRight = 1, rsBottom = 2, rsLeft = 3 };
inline constexpr uint8_t SideBit(int32_t side) { return static_cast<uint8_t>(1u << side); }
inline constexpr bool IsVerticalSide(int32_t side) { return side == rsTop || side == rsBottom; }

// What the builders work on: the two ends and their gap boxes (one box for both ends when
// they link to the same control).
struct TRouteContext {
  TRoutePoint a;
  TRoutePoint b;
  TRouteBox boxA;
  TRouteBox boxB;
  bool sameControl = false;
};

// A route of 2 to 6 points, from link point A to link point B.
struct TRoutePath {
  std::array<TRoutePoint, 6> points{};
  int32_t count = 0;
  void Add(TRoutePoint p) { points[static_cast<size_t>(count++)] = p; }
};

// The box grown to contain the point, then inflated by gap on every side.
TRouteBox GapBox(TRouteBox rect, TRoutePoint point, int64_t gap);

// Outside the box: the sides the point lies beyond; inside: the sides nearest to it.
uint8_t ExitSides(TRoutePoint point, const TRouteBox& box);

// The segment's bounding box overlaps the open box.
bool SegmentCrossesBox(TRoutePoint p, TRoutePoint q, const TRouteBox& box);

// The one-unit-wide stub from a link point to its box's edge on the exit side overlaps the
// other box, for either end.
bool StubsBlocked(const TRouteContext& context, int32_t sideA, int32_t sideB);

// Three points with one corner (crossed exits), or two or four points through the middle
// (parallel exits): always succeeds, and is what is left when no candidate fits.
void BuildSimpleRoute(const TRouteContext& context, int32_t sideA, int32_t sideB, TRoutePath& route);

// Both ends on one control: loops around the shared box; six points for parallel exits,
// five for crossed ones.
bool BuildSameControlRoute(const TRouteContext& context, int32_t n, int32_t sideA, int32_t sideB, TRoutePath& route);

// Two controls: n points between the ends, n from 0 to 4.
bool BuildGeneralRoute(const TRouteContext& context, int32_t n, int32_t sideA, int32_t sideB, TRoutePath& route);

// Tries the candidate families fewest points first, each exit side of A against each of B.
// Returns the family (points between the ends) that succeeded, or -1 when no candidate fit
// and the simple builder made the route.
int32_t PlanOrthogonalRoute(const TRouteContext& context, TRoutePath& route);

}  // namespace pv::graphics
