// Routes between 10,000 random pairs of controls, checked against what every route must be:
// axis-parallel from A to B, clear of the gap boxes between its end stubs (found by walking
// each segment in half units, independent of the router's own box test), and made by the
// smallest family of candidates that has a fitting one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "connectors/RouteBuilders.h"
#include "connectors/RouteOrthogonal.h"

using namespace pv::graphics;

namespace {

struct Scenario {
  TRouteInfo info;
  TRouteBox boxA;
  TRouteBox boxB;
};

int32_t Uniform(std::mt19937& rng, int32_t low, int32_t high) {
  return std::uniform_int_distribution<int32_t>(low, high)(rng);
}

TRect RandomRect(std::mt19937& rng) {
  const int32_t left = Uniform(rng, -200, 200), top = Uniform(rng, -200, 200);
  return {left, top, left + Uniform(rng, 0, 120), top + Uniform(rng, 0, 120)};
}

// Mostly on a side, sometimes a corner or inside, as link points lie.
TPoint RandomLinkPoint(std::mt19937& rng, const TRect& r) {
  const int32_t x = Uniform(rng, r.left, r.right), y = Uniform(rng, r.top, r.bottom);
  switch (Uniform(rng, 0, 5)) {
    case 0: return {x, r.top};
    case 1: return {r.right, y};
    case 2: return {x, r.bottom};
    case 3: return {r.left, y};
    case 4: return {Uniform(rng, 0, 1) ? r.left : r.right, Uniform(rng, 0, 1) ? r.top : r.bottom};
    default: return {x, y};
  }
}

// The box around a control and its link points, grown by the gap: written out here rather
// than taken from the router.
TRouteBox Grown(const TRect& r, std::initializer_list<TPoint> points, int32_t gap) {
  TRouteBox box{r.left, r.top, r.right, r.bottom};
  for (const TPoint p : points) {
    box = {std::min<int64_t>(box.left, p.x), std::min<int64_t>(box.top, p.y), std::max<int64_t>(box.right, p.x),
           std::max<int64_t>(box.bottom, p.y)};
  }
  return {box.left - gap, box.top - gap, box.right + gap, box.bottom + gap};
}

Scenario RandomScenario(std::mt19937& rng) {
  Scenario s;
  TRouteInfo& info = s.info;
  info.gap = Uniform(rng, 0, 20);
  info.rectA = RandomRect(rng);
  info.linkA = RandomLinkPoint(rng, info.rectA);
  info.sameControl = Uniform(rng, 0, 9) == 0;
  info.rectB = info.sameControl ? info.rectA : RandomRect(rng);
  info.linkB = RandomLinkPoint(rng, info.rectB);
  // Now and then two controls in a row with link points facing each other at one height.
  if (!info.sameControl && Uniform(rng, 0, 19) == 0) {
    const TRect& a = info.rectA;
    const int32_t shift = a.right - a.left + Uniform(rng, 0, 200);
    info.rectB = {a.left + shift, a.top, a.right + shift, a.bottom};
    info.linkA = {a.right, Uniform(rng, a.top, a.bottom)};
    info.linkB = {info.rectB.left, info.linkA.y};
  }
  if (info.sameControl) {
    s.boxA = s.boxB = Grown(info.rectA, {info.linkA, info.linkB}, info.gap);
  } else {
    s.boxA = Grown(info.rectA, {info.linkA}, info.gap);
    s.boxB = Grown(info.rectB, {info.linkB}, info.gap);
  }
  return s;
}

// Some half-unit point of an axis-parallel segment lies strictly inside the box.
bool PassesThroughBox(TPoint p, TPoint q, const TRouteBox& box) {
  const int64_t steps = 2 * (std::abs(int64_t{q.x} - p.x) + std::abs(int64_t{q.y} - p.y));
  const int64_t dx = q.x > p.x ? 1 : (q.x < p.x ? -1 : 0), dy = q.y > p.y ? 1 : (q.y < p.y ? -1 : 0);
  for (int64_t s = 0; s <= steps; ++s) {
    const int64_t x2 = 2 * int64_t{p.x} + s * dx, y2 = 2 * int64_t{p.y} + s * dy;
    if (2 * box.left < x2 && x2 < 2 * box.right && 2 * box.top < y2 && y2 < 2 * box.bottom) return true;
  }
  return false;
}

bool BoxesOverlap(const TRouteBox& a, const TRouteBox& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool AnyCandidateFits(const TRouteContext& c, int32_t n) {
  const uint8_t sidesA = ExitSides(c.a, c.boxA), sidesB = ExitSides(c.b, c.boxB);
  for (int32_t sa = rsTop; sa <= rsLeft; ++sa) {
    for (int32_t sb = rsTop; sb <= rsLeft; ++sb) {
      if (!(sidesA & SideBit(sa)) || !(sidesB & SideBit(sb))) continue;
      TRoutePath route;
      if (c.sameControl ? BuildSameControlRoute(c, n, sa, sb, route) : BuildGeneralRoute(c, n, sa, sb, route)) return true;
    }
  }
  return false;
}

TEST(RouteRandom, TenThousandPairsOfControls) {
  std::mt19937 rng(20261211);
  int32_t familyCounts[5] = {};
  int32_t fallbacks = 0;
  for (int32_t i = 0; i < 10000; ++i) {
    const Scenario s = RandomScenario(rng);
    const TRouteInfo& info = s.info;
    SCOPED_TRACE(testing::Message() << "scenario " << i << ": A (" << info.linkA.x << "," << info.linkA.y << ") B ("
                                    << info.linkB.x << "," << info.linkB.y << ") gap " << info.gap);
    TPointArray points;
    TTypeArray types;
    ASSERT_TRUE(RouteOrthogonal(points, types, info));
    ASSERT_GE(points.size(), 2u);
    ASSERT_LE(points.size(), 6u);
    ASSERT_EQ(points.front(), info.linkA);
    ASSERT_EQ(points.back(), info.linkB);
    ASSERT_EQ(types.back(), ptEndNode);
    for (size_t k = 0; k + 1 < points.size(); ++k) {
      ASSERT_TRUE(points[k].x == points[k + 1].x || points[k].y == points[k + 1].y) << "segment " << k;
    }

    const TRouteContext context{{info.linkA.x, info.linkA.y}, {info.linkB.x, info.linkB.y}, s.boxA, s.boxB, info.sameControl};
    TRoutePath plan;
    const int32_t family = PlanOrthogonalRoute(context, plan);
    ASSERT_EQ(plan.count, static_cast<int32_t>(points.size()));
    if (family < 0) {
      ++fallbacks;
      // Two controls whose gap boxes are apart always have a route that clears them.
      ASSERT_TRUE(info.sameControl || BoxesOverlap(s.boxA, s.boxB));
      continue;
    }
    ++familyCounts[family];
    ASSERT_EQ(family + 2, static_cast<int32_t>(points.size()));
    for (int32_t n = 0; n < family; ++n) ASSERT_FALSE(AnyCandidateFits(context, n)) << "family " << n << " fits too";

    const size_t segments = points.size() - 1;
    for (size_t k = 0; k < segments; ++k) {
      // On one control both stubs start inside the shared box.
      const bool first = k == 0 || (info.sameControl && k == segments - 1);
      const bool last = k == segments - 1 || (info.sameControl && k == 0);
      if (!first) {
        ASSERT_FALSE(PassesThroughBox(points[k], points[k + 1], s.boxA)) << "segment " << k << " in box A";
      }
      if (!last) {
        ASSERT_FALSE(PassesThroughBox(points[k], points[k + 1], s.boxB)) << "segment " << k << " in box B";
      }
    }
  }
  // Every family is exercised, and the fallback stays an exception.
  for (int32_t n = 0; n <= 4; ++n) EXPECT_GT(familyCounts[n], 20) << "family " << n;
  EXPECT_LT(fallbacks, 2000);
  std::printf("families 0..4: %d %d %d %d %d, fallbacks %d\n", familyCounts[0], familyCounts[1], familyCounts[2],
              familyCounts[3], familyCounts[4], fallbacks);
}

// A connector plans its route relative to its own rectangle as it stood before the reroute,
// and plans it again from the new one when the document is read back: the route must not
// depend on where that origin lies. Odd shifts both ways, so that middles between the ends
// change sign and parity.
TEST(RouteRandom, MovingBothControlsMovesTheRouteByAsMuch) {
  std::mt19937 rng(20261212);
  const TPoint shifts[] = {{-301, -199}, {157, 77}, {-1, 0}, {0, -1}, {-100001, 33333}};
  for (int32_t i = 0; i < 2000; ++i) {
    const Scenario s = RandomScenario(rng);
    TPointArray points;
    TTypeArray types;
    ASSERT_TRUE(RouteOrthogonal(points, types, s.info));
    for (const TPoint d : shifts) {
      const auto moved = [d](TPoint p) { return TPoint{p.x + d.x, p.y + d.y}; };
      const auto movedRect = [d](const TRect& r) { return TRect{r.left + d.x, r.top + d.y, r.right + d.x, r.bottom + d.y}; };
      TRouteInfo info = s.info;
      info.linkA = moved(info.linkA);
      info.linkB = moved(info.linkB);
      info.rectA = movedRect(info.rectA);
      info.rectB = movedRect(info.rectB);
      TPointArray shifted;
      TTypeArray shiftedTypes;
      ASSERT_TRUE(RouteOrthogonal(shifted, shiftedTypes, info));
      TPointArray expected;
      for (const TPoint p : points) expected.push_back(moved(p));
      ASSERT_EQ(expected, shifted) << "scenario " << i << " moved by (" << d.x << "," << d.y << ")";
      ASSERT_EQ(types, shiftedTypes);
    }
  }
}

}  // namespace
