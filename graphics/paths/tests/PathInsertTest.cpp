#include "paths/PathInsert.h"

#include <gtest/gtest.h>

#include <cmath>

#include "paths/PathQueries.h"

namespace pv::graphics {
namespace {

TEST(InsertPoints, OpensGapsRemovesAndAppends) {
  TPointArray pts{{1, 1}, {2, 2}};
  TTypeArray types{ptNode, ptEndNode};
  ASSERT_TRUE(InsertPoints(pts, types, 2, 2));  // at the length: appends
  EXPECT_EQ(pts.size(), 4u);
  EXPECT_EQ(types[1], ptEndNode);
  ASSERT_TRUE(InsertPoints(pts, types, 0, -1));
  EXPECT_EQ(pts[0], (TPoint{2, 2}));
  EXPECT_FALSE(InsertPoints(pts, types, 5, 1));
  EXPECT_FALSE(InsertPoints(pts, types, -1, 1));
  TTypeArray shorter{ptNode};
  EXPECT_FALSE(InsertPoints(pts, shorter, 0, 1));
}

TEST(FindNearestPathPoint, NamesTheSegmentAndTheNextNodeAlsoAtOpenEnds) {
  const TPointArray pts{{0, 0}, {100, 0}, {100, 100}};
  const TTypeArray open{ptNode, ptNode, ptEndNode};
  struct Case {
    TPoint probe;
    int start, next;
    bool withinFigure;
  };
  const Case cases[] = {
      {{50, 10}, 0, 1, true},     // on the first segment
      {{110, 60}, 1, 2, true},    // on the second
      {{150, 150}, 2, 3, false},  // past the last node
      {{-20, 0}, 0, -1, false},   // before the first
  };
  for (const Case& c : cases) {
    TPathNearest nearest;
    int32_t start = 0, next = 0;
    EXPECT_EQ(FindNearestPathPoint(pts, open, c.probe, false, nullptr, nearest, start, next), c.withinFigure);
    EXPECT_EQ(start, c.start) << c.probe.x;
    EXPECT_EQ(next, c.next) << c.probe.x;
    EXPECT_TRUE(FindNearestPathPoint(pts, open, c.probe, true, nullptr, nearest, start, next));
  }
  // The closing segment of a closed figure leads back to the first node.
  TPathNearest nearest;
  int32_t start = 0, next = 0;
  const TTypeArray closed{ptNode, ptNode, ptEndNodeClose};
  ASSERT_TRUE(FindNearestPathPoint(pts, closed, {40, 60}, false, nullptr, nearest, start, next));
  EXPECT_EQ(start, 2);
  EXPECT_EQ(next, 0);
}

TEST(InsertPathPoint, OnLinesAtTheFootAndBeyondOpenEnds) {
  TPointArray pts{{0, 0}, {100, 0}, {100, 100}};
  TTypeArray types{ptNode, ptNode, ptEndNode};
  EXPECT_EQ(InsertPathPoint(pts, types, 1, nullptr, 1, {40, 3}, 0), 1);  // either order
  EXPECT_EQ(pts[1], (TPoint{40, 0}));
  EXPECT_EQ(InsertPathPoint(pts, types, 3, nullptr, 1, {130, 130}, 4), 4);  // after the end
  EXPECT_EQ(pts[4], (TPoint{130, 130}));
  EXPECT_EQ(types, (TTypeArray{ptNode, ptNode, ptNode, ptNode, ptEndNode}));
  EXPECT_EQ(InsertPathPoint(pts, types, 0, nullptr, 1, {-9, -9}, -1), 0);  // before the start
  EXPECT_EQ(pts[0], (TPoint{-9, -9}));
  // Refusals: the same index, out of range, a control point, not one segment, an open closing.
  EXPECT_EQ(InsertPathPoint(pts, types, 2, nullptr, 1, {0, 0}, 2), -1);
  EXPECT_EQ(InsertPathPoint(pts, types, 2, nullptr, 1, {0, 0}, 9), -1);
  EXPECT_EQ(InsertPathPoint(pts, types, 1, nullptr, 1, {0, 0}, 4), -1);
  EXPECT_EQ(InsertPathPoint(pts, types, 5, nullptr, 1, {0, 0}, 0), -1);
  const TPointArray before = pts;
  TTypeArray wrong = types;
  wrong.pop_back();
  EXPECT_EQ(InsertPathPoint(pts, wrong, 0, nullptr, 1, {0, 0}, 1), -1);
  EXPECT_EQ(pts, before);
}

TEST(InsertPathPoint, TheClosingSegmentMovesTheEndType) {
  TPointArray pts{{0, 0}, {100, 0}, {100, 100}};
  TTypeArray types{ptNode, ptNode, ptEndNodeClose};
  EXPECT_EQ(InsertPathPoint(pts, types, 2, nullptr, 1, {50, 50}, 0), 3);
  EXPECT_EQ(types, (TTypeArray{ptNode, ptNode, ptNode, ptEndNodeClose}));
}

// The curve (0,0) (0,300) (300,300) (300,0) split anywhere keeps its shape.
TEST(InsertPathPoint, SplittingACurveKeepsItsShapeAndMovesItThroughAFarPoint) {
  const TPointArray curve{{0, 0}, {0, 300}, {300, 300}, {300, 0}};
  const TTypeArray types{ptNode, ptControl, ptControl, ptEndNode};
  for (TPoint probe : {TPoint{150, 225}, TPoint{47, 169}, TPoint{292, 81}}) {  // on the curve
    TPointArray pts = curve;
    TTypeArray t = types;
    const int32_t node = InsertPathPoint(pts, t, 0, nullptr, 5, probe, 3);
    ASSERT_EQ(node, 3);
    EXPECT_EQ(t, (TTypeArray{ptNode, ptControl, ptControl, ptNode, ptControl, ptControl, ptEndNode}));
    // The flattened halves lie on the old curve within a couple of units.
    TPointArray flat = pts;
    TTypeArray flatTypes = t;
    ASSERT_TRUE(FlattenPath(flat, flatTypes, nullptr, 4.0));
    for (const TPoint& p : flat) {
      TPathNearest nearest;
      PathHitTest(curve, types, p, nullptr, &nearest, 0, false, true);
      EXPECT_LE(nearest.bestDistance, 4.0) << probe.x << ": " << p.x << "," << p.y;
    }
  }
  // A point off the curve: the new node goes to it.
  TPointArray pts = curve;
  TTypeArray t = types;
  ASSERT_EQ(InsertPathPoint(pts, t, 0, nullptr, 1, {150, 260}, 3), 3);
  EXPECT_NEAR(pts[3].x, 150, 1);
  EXPECT_NEAR(pts[3].y, 260, 1);
}

TEST(InsertPathPoint, AtTheVeryEndOfACurveNothingDividesByZero) {
  // The nearest point is the curve's first node itself (t = 0) and the given point is far off.
  TPointArray pts{{0, 0}, {100, 0}, {200, 0}, {300, 0}};
  TTypeArray t{ptNode, ptControl, ptControl, ptEndNode};
  ASSERT_EQ(InsertPathPoint(pts, t, 0, nullptr, 0, {-500, -400}, 3), 3);
  for (const TPoint& p : pts) {
    EXPECT_LT(std::abs(p.x), 1000);
    EXPECT_LT(std::abs(p.y), 1000);
  }
  EXPECT_EQ(pts[3], (TPoint{0, 0}));
  EXPECT_TRUE(std::isfinite(CurveShiftFactor(0.0)));
  EXPECT_TRUE(std::isfinite(CurveShiftFactor(1.0)));
  EXPECT_DOUBLE_EQ(CurveShiftFactor(0.5), 4.0 / 3.0);
  EXPECT_DOUBLE_EQ(QuadraticBezier(0.5, 4, 2, 0), 2.0);
}

TEST(InsertNearestPathPoint, FindsTheSegmentAndInserts) {
  TPointArray pts{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
  TTypeArray types{ptNode, ptNode, ptNode, ptEndNodeClose};
  EXPECT_EQ(InsertNearestPathPoint(pts, types, {-2, 50}, nullptr, 1), 4);
  EXPECT_EQ(pts[4], (TPoint{0, 50}));
  EXPECT_EQ(types[4], ptEndNodeClose);
  EXPECT_EQ(types[3], ptNode);
}

}  // namespace
}  // namespace pv::graphics
