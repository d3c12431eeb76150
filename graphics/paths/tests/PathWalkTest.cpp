#include "paths/PathWalk.h"

#include <gtest/gtest.h>

#include "canvas/RecordingCanvas.h"
#include "paths/PathQueries.h"

namespace pv::graphics {
namespace {

struct Path {
  TPointArray points;
  TTypeArray types;
};

int Segments(const Path& p, bool closed = true, bool open = true) {
  TPointList list;
  TPathWalkInfo walk;
  walk.output = &list;
  walk.walkClosed = closed;
  walk.walkOpen = open;
  EXPECT_TRUE(PathWalk(p.points, p.types, walk));
  int figures = 0;
  for (int i = 0; i < list.Count(); ++i) figures += list[i].type != ptNode;
  return list.Count() - figures;
}

TEST(BuildFigureInfos, SplitsFiguresAtTheirEnds) {
  // An open line, a closed triangle with a closing curve, and a stray node after the last end.
  const Path p{{{0, 0}, {5, 0}, {0, 10}, {10, 10}, {5, 20}, {3, 15}, {1, 12}, {7, 7}},
               {ptNode, ptEndNode, ptNode, ptNode, ptEndNodeClose, ptControl, ptControl, ptNode}};
  const TPathFigureInfos infos = BuildFigureInfos(p.points, p.types);
  ASSERT_EQ(infos.figures.size(), 2u);
  EXPECT_EQ(infos.pathLength, 8);
  EXPECT_TRUE(infos.anyCurves);
  const TPathFigureInfo& a = infos.figures[0];
  const TPathFigureInfo& b = infos.figures[1];
  EXPECT_EQ((std::tuple{a.first, a.lastNode, a.last, a.closed, a.hasCurves}), (std::tuple{0, 1, 1, false, false}));
  EXPECT_EQ((std::tuple{b.first, b.lastNode, b.last, b.closed, b.hasCurves}), (std::tuple{2, 4, 6, true, true}));
  EXPECT_EQ(FigureOfPoint(infos, 6), 1);
  EXPECT_EQ(FigureOfPoint(infos, 7), -1);
  EXPECT_TRUE(BuildFigureInfos(p.points, TTypeArray{0, 1}).figures.empty());
  EXPECT_TRUE(BuildFigureInfos({}, {}).figures.empty());
}

TEST(PathWalk, CountsSegmentsOfOpenAndClosedFigures) {
  EXPECT_EQ(Segments({{{0, 0}, {10, 0}}, {ptNode, ptEndNode}}), 1);
  const Path triangle{{{0, 0}, {10, 0}, {0, 10}}, {ptNode, ptNode, ptEndNodeClose}};
  EXPECT_EQ(Segments(triangle), 2);  // three segments; the closing point is dropped
  EXPECT_EQ(Segments(triangle, false, true), 0);
  // Control points on the chord: one line.
  EXPECT_EQ(Segments({{{0, 0}, {3, 0}, {6, 0}, {9, 0}}, {ptNode, ptControl, ptControl, ptEndNode}}), 1);
}

TEST(PathWalk, RefusesBrokenPaths) {
  TPointList list;
  TPathWalkInfo walk;
  walk.output = &list;
  const TPointArray pts{{0, 0}, {1, 1}, {2, 2}};
  EXPECT_FALSE(PathWalk(pts, TTypeArray{ptNode, ptEndNode}, walk));
  // A control point where the curve's end node must be.
  const TPointArray four{{0, 0}, {1, 1}, {2, 2}, {3, 3}};
  EXPECT_FALSE(PathWalk(four, TTypeArray{ptControl, ptNode, ptNode, ptEndNode}, walk));
  // Figure infos of another path.
  const TPathFigureInfos other = BuildFigureInfos(pts, TTypeArray{ptNode, ptNode, ptEndNode});
  walk.infos = &other;
  EXPECT_FALSE(PathWalk(four, TTypeArray{ptNode, ptNode, ptNode, ptEndNode}, walk));
}

TEST(FlattenPath, ClosedFiguresDropTheRepeatedPointAndEndWithType2) {
  TPointArray pts{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {50, 200}, {-50, 200}, {0, 0}, {40, 40}};
  TTypeArray types{ptNode, ptEndNode, ptNode, ptNode, ptEndNodeClose, ptControl, ptControl, ptEndNode};
  // The second figure: a closed triangle whose closing segment is a curve; then a stray node.
  pts.resize(7);
  types.resize(7);
  ASSERT_TRUE(FlattenPath(pts, types, nullptr, 1.0));
  EXPECT_EQ(pts[0], (TPoint{0, 0}));
  EXPECT_EQ(types[1], ptEndNode);
  EXPECT_EQ(types.back(), ptEndNodeClose);
  EXPECT_NE(pts.back(), pts[2]);  // not the first point again
  EXPECT_GT(pts.size(), 6u);
  for (size_t i = 2; i + 1 < types.size(); ++i) EXPECT_EQ(types[i], ptNode);
}

TEST(CreatePlatformPath, MovesLinesBeziersAndClosesOnTheCanvas) {
  const TPointArray pts{{0, 0}, {10, 0}, {20, 10}, {30, 0}, {40, 0}, {5, 5}, {9, 9}, {5, 9}};
  const TTypeArray types{ptNode, ptNode, ptControl, ptControl, ptEndNode, ptNode, ptNode, ptEndNodeClose};
  canvas::RecordingCanvas rec;
  ASSERT_TRUE(CreatePlatformPath(rec, pts, types, nullptr, true, true, true));
  EXPECT_EQ(rec.Lines(), (std::vector<std::string>{"BeginPath", "MoveTo 0,0", "LineTo 10,0",
                                                   "PolyBezierTo (20,10) (30,0) (40,0)", "MoveTo 5,5", "LineTo 9,9",
                                                   "LineTo 5,9", "LineTo 5,5", "CloseFigure", "EndPath"}));
  rec.Clear();
  ASSERT_TRUE(CreatePlatformPath(rec, pts, types, nullptr, false, false, true));  // open only, flattened
  EXPECT_EQ(rec.Count(canvas::CanvasOp::PolyBezierTo), 0u);
  EXPECT_EQ(rec.Count(canvas::CanvasOp::CloseFigure), 0u);
  EXPECT_GT(rec.Count(canvas::CanvasOp::LineTo), 2u);
  rec.Clear();
  EXPECT_FALSE(CreatePlatformPath(rec, pts, TTypeArray{ptNode}, nullptr, false, true, true));
  EXPECT_EQ(rec.Lines().back(), "AbortPath");
}

TEST(TPointList, GrowsByAStepThatDoubles) {
  TPointList list(4);
  std::vector<size_t> capacities;
  for (int i = 0; i < 40; ++i) {
    list.Add(i, -i, ptNode);
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<size_t>{4, 8, 16, 32, 64}));
  EXPECT_EQ(list[39].y, -39);
}

TEST(PathHitTest, EdgesCountAsInsideAndAZigZagCrossesARowManyTimes) {
  const TPointArray square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const TTypeArray closed{ptNode, ptNode, ptNode, ptEndNodeClose};
  EXPECT_TRUE(PathHitTest(square, closed, {5, 5}, nullptr, nullptr, 0, true, false));
  EXPECT_TRUE(PathHitTest(square, closed, {0, 5}, nullptr, nullptr, 0, true, false));
  EXPECT_TRUE(PathHitTest(square, closed, {10, 5}, nullptr, nullptr, 0, true, false));
  EXPECT_FALSE(PathHitTest(square, closed, {11, 5}, nullptr, nullptr, 0, true, false));
  EXPECT_FALSE(PathHitTest(square, closed, {5, 5}, nullptr, nullptr, 2, false, true));  // outline only
  EXPECT_TRUE(PathHitTest(square, closed, {5, 11}, nullptr, nullptr, 2, false, true));
  // An open figure is never inside.
  EXPECT_FALSE(PathHitTest(square, TTypeArray{ptNode, ptNode, ptNode, ptEndNode}, {5, 5}, nullptr, nullptr, 0, true, false));

  // A comb of 100 teeth crosses the row y = 5 two hundred times.
  TPointArray comb;
  for (int i = 0; i < 100; ++i) {
    comb.push_back({i * 10, 0});
    comb.push_back({i * 10 + 5, 10});
  }
  comb.push_back({1000, 0});
  comb.push_back({1000, 20});
  comb.push_back({0, 20});
  TTypeArray combTypes(comb.size(), ptNode);
  combTypes.back() = ptEndNodeClose;
  EXPECT_TRUE(PathHitTest(comb, combTypes, {995, 15}, nullptr, nullptr, 0, true, false));
  EXPECT_TRUE(PathHitTest(comb, combTypes, {500, 9}, nullptr, nullptr, 0, true, false));   // inside a tooth
  EXPECT_FALSE(PathHitTest(comb, combTypes, {505, 1}, nullptr, nullptr, 0, true, false));  // between teeth
}

}  // namespace
}  // namespace pv::graphics
