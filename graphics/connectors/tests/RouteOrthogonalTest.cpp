// Routing of one connector: when a route is kept, adjusted or made anew, and the shapes made
// for controls side by side, far apart, on one control and near the int32 limits.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "connectors/RouteBuilders.h"
#include "connectors/RouteOrthogonal.h"
#include "connectors/tests/PointPrinting.h"

using namespace pv::graphics;

namespace {

constexpr int32_t kMax = INT32_MAX;
constexpr int32_t kMin = INT32_MIN;

TRouteInfo Info(TRect a, TPoint linkA, TRect b, TPoint linkB, uint8_t mode = rmAlways, int32_t gap = 10) {
  TRouteInfo info;
  info.rectA = a;
  info.rectB = b;
  info.linkA = linkA;
  info.linkB = linkB;
  info.rerouteMode = mode;
  info.gap = gap;
  return info;
}

TRouteInfo SameControl(TRect r, TPoint linkA, TPoint linkB) {
  TRouteInfo info = Info(r, linkA, r, linkB);
  info.sameControl = true;
  return info;
}

TRouteInfo Straight(TRouteInfo info) {
  info.orthogonal = false;
  return info;
}

TTypeArray OpenTypes(size_t n) {
  TTypeArray types(n, ptNode);
  if (n > 0) types.back() = ptEndNode;
  return types;
}

struct RouteCase {
  std::string name;
  TRouteInfo info;
  TPointArray before;
  TTypeArray types;  // empty: an open polyline as long as `before`
  bool result;
  TPointArray after;  // for a refusal: the points left as they were
};

// A route from the right side of the box at the origin to the left side of a box lower right.
const TPointArray kStep{{100, 50}, {150, 50}, {150, 250}, {200, 250}};

std::vector<RouteCase> Cases() {
  const TRect boxA{0, 0, 100, 100};
  const TRect movedB{230, 220, 330, 320};
  return {
      {"SideBySideFacingAtOneHeightIsStraight", Info(boxA, {100, 50}, {200, 0, 300, 100}, {200, 50}), {}, {}, true,
       {{100, 50}, {200, 50}}},
      {"NeverMovesOnlyTheEndsAndTheirNeighbours", Info(boxA, {100, 50}, movedB, {230, 270}, rmNever), kStep, {}, true,
       {{100, 50}, {150, 50}, {150, 270}, {230, 270}}},
      {"AsNeededKeepsARouteThatStillClearsTheBoxes", Info(boxA, {100, 50}, movedB, {230, 270}, rmAsNeeded), kStep, {},
       true, {{100, 50}, {150, 50}, {150, 270}, {230, 270}}},
      {"AsNeededReroutesWhenTheMovedRouteCrossesABox",
       Info(boxA, {100, 50}, {120, 200, 220, 300}, {120, 250}, rmAsNeeded), kStep, {}, true,
       {{100, 50}, {110, 50}, {110, 250}, {120, 250}}},
      {"AsNeededReroutesADiagonal", Info(boxA, {100, 50}, {200, 0, 300, 100}, {200, 50}, rmAsNeeded),
       {{100, 50}, {140, 70}, {200, 50}}, {}, true, {{100, 50}, {200, 50}}},
      {"OneControlLoopsOnTheSideNearerBothEnds", SameControl(boxA, {0, 20}, {100, 30}), {}, {}, true,
       {{0, 20}, {-10, 20}, {-10, -10}, {110, -10}, {110, 30}, {100, 30}}},
      {"OneControlLoopsBelowWhenTheEndsAreLow", SameControl(boxA, {0, 80}, {100, 90}), {}, {}, true,
       {{0, 80}, {-10, 80}, {-10, 110}, {110, 110}, {110, 90}, {100, 90}}},
      {"OneControlCrossedExitsGoRoundACorner", SameControl(boxA, {0, 20}, {50, 100}), {}, {}, true,
       {{0, 20}, {-10, 20}, {-10, 110}, {50, 110}, {50, 100}}},
      {"ACurvePointIsRefused", Info(boxA, {100, 50}, movedB, {230, 270}), kStep, {ptNode, ptControl, ptControl, ptEndNode},
       false, kStep},
      {"AClosedFigureIsRefused", Info(boxA, {100, 50}, movedB, {230, 270}), kStep, {ptNode, ptNode, ptNode, ptEndNodeClose},
       false, kStep},
      {"UnequalArraysAreRefused", Info(boxA, {100, 50}, movedB, {230, 270}), kStep, {ptNode, ptEndNode}, false, kStep},
      {"WithoutOrthogonalTheRouteIsStraight", Straight(Info(boxA, {100, 50}, movedB, {230, 270})), kStep, {}, true,
       {{100, 50}, {230, 270}}},
      {"WithoutOrthogonalNeverMovesOnlyTheEnds", Straight(Info(boxA, {90, 40}, movedB, {230, 270}, rmNever)), kStep, {},
       true, {{90, 40}, {150, 50}, {150, 250}, {230, 270}}},
      {"NeverWithNoPointsGivesTheTwoEnds", Info(boxA, {100, 50}, movedB, {230, 270}, rmNever), {}, {}, true,
       {{100, 50}, {230, 270}}},
      // A fresh connector: every segment has zero length, so there is no direction to keep.
      {"FreshConnectorRoutesHorizontally",
       Info({-100, -40, -100, -40}, {-100, -40}, {100, 60, 100, 60}, {100, 60}, rmAsNeeded),
       {{0, 0}, {0, 0}, {0, 0}, {0, 0}}, {}, true, {{-100, -40}, {0, -40}, {0, 60}, {100, 60}}},
      {"FreshThreePointConnectorTurnsOnce", Info({-100, -40, -100, -40}, {-100, -40}, {100, 60, 100, 60}, {100, 60}, rmNever),
       {{5, 5}, {5, 5}, {5, 5}}, {}, true, {{-100, -40}, {100, -40}, {100, 60}}},
      // The skipped zero-length segment turns the direction: the first real one is vertical.
      {"AZeroLengthFirstSegmentTakesTheTurnedDirection",
       Info({-100, -40, -100, -40}, {-100, -30}, {100, 60, 100, 60}, {110, 60}, rmNever),
       {{-100, -40}, {-100, -40}, {0, -40}, {0, 60}, {100, 60}}, {}, true,
       {{-100, -30}, {-100, -40}, {0, -40}, {0, 60}, {110, 60}}},
      // The gap boxes reach past INT32_MAX: the U round both boxes keeps to the limit instead
      // of wrapping to the far left.
      {"GapBoxesPastTheInt32LimitDoNotWrap",
       Info({kMax - 100, 0, kMax - 50, 100}, {kMax - 50, 50}, {kMax - 100, 200, kMax - 50, 300}, {kMax - 50, 250},
            rmAlways, 100),
       {}, {}, true, {{kMax - 50, 50}, {kMax, 50}, {kMax, 250}, {kMax - 50, 250}}},
      {"MidpointOfFarBoxesDoesNotOverflow",
       Info({2000000000, 0, 2000000100, 100}, {2000000100, 50}, {2100000000, 500, 2100000100, 600}, {2100000000, 550}),
       {}, {}, true, {{2000000100, 50}, {2050000050, 50}, {2050000050, 550}, {2100000000, 550}}},
      {"MidpointOfFarNegativeBoxesDoesNotOverflow",
       Info({-2100000100, 0, -2100000000, 100}, {-2100000000, 50}, {-2000000100, 500, -2000000000, 600}, {-2000000100, 550}),
       {}, {}, true, {{-2100000000, 50}, {-2050000050, 50}, {-2050000050, 550}, {-2000000100, 550}}},
      {"GapBoxesPastInt32MinDoNotWrap",
       Info({kMin, kMin, kMin + 50, kMin + 50}, {kMin + 25, kMin}, {kMin + 200, kMin, kMin + 250, kMin + 50},
            {kMin + 225, kMin}, rmAlways, 50),
       {}, {}, true, {{kMin + 25, kMin}, {kMin + 25, kMin}, {kMin + 225, kMin}, {kMin + 225, kMin}}},
  };
}

TEST(RouteOrthogonal, Cases) {
  for (const RouteCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    TPointArray points = c.before;
    TTypeArray types = c.types.empty() ? OpenTypes(points.size()) : c.types;
    const TTypeArray typesBefore = types;
    EXPECT_EQ(RouteOrthogonal(points, types, c.info), c.result);
    EXPECT_EQ(points, c.after);
    EXPECT_EQ(types, c.result ? OpenTypes(c.after.size()) : typesBefore);
  }
}

TEST(RouteOrthogonal, SetRouteLengthEndsWithAnOpenEnd) {
  TPointArray points{{1, 2}};
  TTypeArray types{ptControl};
  SetRouteLength(points, types, 4);
  EXPECT_EQ(points.size(), 4u);
  EXPECT_EQ(types, OpenTypes(4));
  SetRouteLength(points, types, 0);
  EXPECT_TRUE(points.empty() && types.empty());
}

TEST(RouteBuilders, ExitSides) {
  const TRouteBox box{0, 0, 100, 60};
  struct Case {
    TRoutePoint p;
    uint8_t sides;
  } cases[] = {
      {{50, -5}, SideBit(rsTop)},
      {{50, 70}, SideBit(rsBottom)},
      {{120, -5}, SideBit(rsTop) | SideBit(rsRight)},
      {{-1, 61}, SideBit(rsBottom) | SideBit(rsLeft)},
      {{50, 10}, SideBit(rsTop)},
      {{95, 30}, SideBit(rsRight)},
      {{50, 30}, SideBit(rsTop) | SideBit(rsBottom)},
      {{0, 0}, SideBit(rsTop) | SideBit(rsLeft)},
      {{50, 60}, SideBit(rsBottom)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExitSides(c.p, box), c.sides) << c.p.x << "," << c.p.y;
  }
  // A box of one point: every side is as near as the others.
  EXPECT_EQ(ExitSides({7, 7}, {7, 7, 7, 7}), 15);
}

TEST(RouteBuilders, SegmentCrossesTheOpenBoxOnly) {
  const TRouteBox box{0, 0, 100, 100};
  EXPECT_TRUE(SegmentCrossesBox({-10, 50}, {110, 50}, box));
  EXPECT_TRUE(SegmentCrossesBox({50, 50}, {50, 50}, box));
  EXPECT_FALSE(SegmentCrossesBox({-10, 0}, {110, 0}, box));     // along the top edge
  EXPECT_FALSE(SegmentCrossesBox({100, -10}, {100, 110}, box));  // along the right edge
  EXPECT_FALSE(SegmentCrossesBox({-10, 50}, {0, 50}, box));      // up to the left edge
}

TEST(RouteBuilders, GapBoxContainsTheLinkPoint) {
  EXPECT_EQ(GapBox({100, 0, 0, 50}, {120, 20}, 5), (TRouteBox{-5, -5, 125, 55}));
  EXPECT_EQ(GapBox({kMax - 1, 0, kMax, 1}, {kMax, 0}, kMax), (TRouteBox{int64_t{kMax} - 1 - kMax, -int64_t{kMax},
                                                                        int64_t{kMax} * 2, 1 + int64_t{kMax}}));
}

TEST(RouteBuilders, StubsBlockedWhenALinkPointFacesIntoTheOtherBox) {
  TRouteContext c;
  c.a = {50, 0};
  c.boxA = {0, 0, 100, 100};
  c.b = {50, 250};
  c.boxB = {0, 200, 100, 300};
  EXPECT_FALSE(StubsBlocked(c, rsTop, rsTop));
  // B inside box A's reach: its stub to the top of its own box runs through box A.
  // B's stub up to its box's top runs through box A; down to the bottom it does not.
  c.boxB = {0, 50, 100, 300};
  EXPECT_TRUE(StubsBlocked(c, rsTop, rsTop));
  EXPECT_FALSE(StubsBlocked(c, rsTop, rsBottom));
  // A on the bottom edge of its box, which box B overlaps: even a stub of no length is blocked.
  c.a = {50, 100};
  EXPECT_TRUE(StubsBlocked(c, rsBottom, rsBottom));
}

}  // namespace
