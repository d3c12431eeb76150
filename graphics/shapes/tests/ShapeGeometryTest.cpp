// The geometry of ellipses, arcs and boxes: angles and their normalisation, arcs cut into
// Bezier pieces (each within the known radial error of a 90-degree Bezier arc), outlines as
// paths and the regions that clicks are tested against.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <random>
#include <string>

#include "paths/PathQueries.h"
#include "shapes/ShapeAngles.h"
#include "shapes/ShapePaths.h"
#include "shapes/ShapeRegions.h"

namespace pv::graphics {
namespace {

TEST(ShapeAngles, NormaliseTakesEveryInputIntoOneTurn) {
  const struct {
    int64_t in;
    int32_t out;
  } cases[] = {{0, 0},           {359999, 359999}, {360000, 0},          {360001, 1},
               {-1, 359999},     {-90000, 270000}, {-360000, 0},         {720005, 5},
               {INT32_MAX, INT32_MAX % 360000},    {INT32_MIN, static_cast<int32_t>((INT32_MIN % 360000) + 360000)},
               {INT64_MIN, static_cast<int32_t>((INT64_MIN % 360000) + 360000)}};
  for (const auto& c : cases) EXPECT_EQ(NormalizeAngle(c.in), c.out) << c.in;
}

TEST(ShapeAngles, PointsOfAnglesOnTheInscribedEllipse) {
  const struct {
    int32_t angle;
    TPoint point;
  } cases[] = {{0, {200000, 50000}},      {90000, {100000, 0}},      {180000, {0, 50000}},
               {270000, {100000, 100000}}, {360000, {200000, 50000}}, {-90000, {100000, 100000}},
               {45000, {170711, 14645}}};
  for (const auto& c : cases) EXPECT_EQ(EllipseAnglePoint(c.angle, 200000, 100000), c.point) << c.angle;
  // An odd height puts both horizontal ends on the row above the middle.
  EXPECT_EQ(EllipseAnglePoint(0, 10, 7), (TPoint{10, 3}));
  EXPECT_EQ(EllipseAnglePoint(180000, 10, 7), (TPoint{0, 3}));
}

TEST(ShapeAngles, AngleOfAPointInvertsThePointOfAnAngle) {
  for (int32_t a = 0; a < 360000; a += 1250) {
    const TPoint p = EllipseAnglePoint(a, 4000000, 1000000);
    const int32_t back = EllipsePointAngle(p, 4000000, 1000000);
    int32_t diff = std::abs(back - a);
    diff = std::min(diff, 360000 - diff);
    EXPECT_LE(diff, 1) << a;
  }
  // Straight up and down, and a point just below three o'clock that rounds up to a whole turn.
  EXPECT_EQ(EllipsePointAngle({100, 0}, 200, 100), 90000);
  EXPECT_EQ(EllipsePointAngle({100, 100}, 200, 100), 270000);
  EXPECT_EQ(EllipsePointAngle({2000000000, 1000000001}, 2000000000, 2000000000), 0);
  EXPECT_EQ(EllipsePointAngle({10, 0}, 10, 0), 0);
  EXPECT_EQ(EllipsePointAngle({0, 0}, 10, 0), 180000);
}

TEST(ShapeAngles, RotatingAndMirroringArcs) {
  const struct {
    TArcAngles in;
    int32_t degrees;
    bool mirror;
    TArcAngles out;
  } cases[] = {
      {{0, 90000}, 90, false, {90000, 180000}},
      {{270000, 350000}, 90, false, {0, 80000}},
      {{10000, 20000}, -90, false, {280000, 290000}},
      {{0, 90000}, 0, true, {90000, 180000}},       // the upper right quarter becomes the upper left
      {{0, 90000}, 90, true, {180000, 270000}},
      {{300000, 30000}, 720, false, {300000, 30000}},
      {{5, 7}, INT32_MAX, false, {NormalizeAngle(5 + int64_t{INT32_MAX} * 1000), NormalizeAngle(7 + int64_t{INT32_MAX} * 1000)}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RotateArcAngles(c.in, c.degrees, c.mirror), c.out) << c.in.begin << " " << c.in.end << " " << c.degrees;
  }
}

// Angle pairs an arc meets: DXF arcs ending at 360 degrees, handles that round up to a whole
// turn, negative and huge loaded values, and arcs that wrap past three o'clock.
const struct {
  int32_t begin;
  int32_t end;
  int pieces;
} kArcs[] = {
    {0, 90000, 1},       {0, 180000, 2},      {270000, 360000, 1}, {0, 360000, 0},     {360000, 90000, 1},
    {-90000, 0, 1},      {-45000, 45000, 2},  {-1, 1, 2},          {10000, 5000, 5},   {300000, 10000, 2},
    {359999, 0, 1},      {0, 359999, 4},      {45000, 44999, 5},   {90000, 90000, 0},  {720000, 810000, 1},
    {INT32_MIN, INT32_MAX, -1},               {INT32_MAX, INT32_MIN, -1},              {-359999, 359999, 4},
};

TEST(ArcPieces, EveryPairEndsInAtMostFivePiecesCoveringTheSweep) {
  for (const auto& c : kArcs) {
    const std::string where = std::to_string(c.begin) + " -> " + std::to_string(c.end);
    const std::vector<TArcPiece> pieces = ArcPieces(c.begin, c.end);
    ASSERT_LE(pieces.size(), 5u) << where;
    if (c.pieces >= 0) {
      EXPECT_EQ(static_cast<int>(pieces.size()), c.pieces) << where;
    }
    const int32_t begin = NormalizeAngle(c.begin);
    const int32_t end = NormalizeAngle(c.end);
    if (begin == end) {
      EXPECT_TRUE(pieces.empty()) << where;
      continue;
    }
    int32_t at = begin;
    int64_t total = 0;
    for (const TArcPiece& piece : pieces) {
      EXPECT_EQ(piece.start, at) << where;
      EXPECT_GE(piece.sweep, 1) << where;
      EXPECT_LE(piece.sweep, 90000) << where;
      total += piece.sweep;
      at = NormalizeAngle(int64_t{at} + piece.sweep);
    }
    EXPECT_EQ(at, end) << where;
    EXPECT_EQ(total, NormalizeAngle(int64_t{end} - begin)) << where;
  }
}

TEST(ArcPieces, RandomPairsOfAnyIntegersEndWithinFivePieces) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
  std::uniform_int_distribution<int32_t> nearTurn(-720000, 720000);
  for (int i = 0; i < 100000; ++i) {
    const int32_t begin = i % 2 ? any(random) : nearTurn(random);
    const int32_t end = i % 3 ? any(random) : nearTurn(random) / 90000 * 90000;
    const std::vector<TArcPiece> pieces = ArcPieces(begin, end);
    ASSERT_LE(pieces.size(), 5u) << begin << " -> " << end;
    ASSERT_EQ(pieces.empty(), NormalizeAngle(begin) == NormalizeAngle(end)) << begin << " -> " << end;
  }
}

TPoint BezierAt(const TPoint* p, double t) {
  const double u = 1 - t;
  const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
  return {static_cast<int32_t>(std::lround(a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x)),
          static_cast<int32_t>(std::lround(a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y))};
}

// The largest radial error of a Bezier arc of 90 degrees with these control points:
// 2.7253e-4 of the radius. The radii below make rounding to whole units add at most 1e-6.
constexpr double kRadialBound = 2.7253e-4 + 2e-6;

TEST(ArcCurvePath, PiecesStayWithinTheRadialErrorAndRunFromBeginToEnd) {
  const int32_t w = 2000000, h = 1000000;
  const double rx = w / 2.0, ry = h / 2.0;
  for (bool pie : {false, true}) {
    for (const auto& c : kArcs) {
      const std::string where = std::to_string(c.begin) + " -> " + std::to_string(c.end) + (pie ? " pie" : " arc");
      const TShapePath path = ArcCurvePath(w, h, c.begin, c.end, pie);
      const size_t pieces = ArcPieces(c.begin, c.end).size();
      if (pieces == 0) {
        EXPECT_EQ(path.points, EllipseCurvePath(w, h).points) << where;
        continue;
      }
      ASSERT_EQ(path.points.size(), 3 * pieces + 1 + (pie ? 1 : 0)) << where;
      ASSERT_EQ(path.types.size(), path.points.size()) << where;
      for (size_t i = 0; i < 3 * pieces; ++i) EXPECT_EQ(path.types[i], i % 3 == 0 ? ptNode : ptControl) << where;
      if (pie) {
        EXPECT_EQ(path.types[3 * pieces], ptNode) << where;
        EXPECT_EQ(path.points.back(), (TPoint{w / 2, h / 2})) << where;
        EXPECT_EQ(path.types.back(), ptEndNodeClose) << where;
      } else {
        EXPECT_EQ(path.types.back(), ptEndNode) << where;
      }
      const auto near = [](TPoint a, TPoint b) { return std::abs(a.x - b.x) <= 1 && std::abs(a.y - b.y) <= 1; };
      EXPECT_TRUE(near(path.points.front(), EllipseAnglePoint(c.begin, w, h))) << where;
      EXPECT_TRUE(near(path.points[3 * pieces], EllipseAnglePoint(c.end, w, h))) << where;
      double worst = 0;
      double unwrapped = 0;
      double previous = NormalizeAngle(c.begin) / 1000.0;
      for (size_t k = 0; k < pieces; ++k) {
        for (int s = 0; s <= 64; ++s) {
          const TPoint q = BezierAt(&path.points[3 * k], s / 64.0);
          const double ux = (q.x - rx) / rx, uy = (ry - q.y) / ry;
          worst = std::max(worst, std::abs(std::hypot(ux, uy) - 1));
          // The curve runs counter-clockwise all the way: its angle never goes back.
          const double degrees = std::atan2(uy, ux) * 180 / std::numbers::pi;
          double step = degrees - previous;
          while (step < -180) step += 360;
          while (step > 180) step -= 360;
          EXPECT_GE(step, -1e-3) << where << " piece " << k << " at " << s;
          unwrapped += step;
          previous = degrees;
        }
      }
      EXPECT_LE(worst, kRadialBound) << where;
      EXPECT_NEAR(unwrapped, NormalizeAngle(int64_t{c.end} - c.begin) / 1000.0, 0.01) << where;
    }
  }
}

TEST(ArcCurvePath, AQuarterOfACircleReachesTheKnownWorstError) {
  // The bound above is the real one: a quarter circle comes within 2 % of it.
  const TShapePath path = ArcCurvePath(20000000, 20000000, 0, 90000, false);
  double worst = 0;
  for (int s = 0; s <= 1000; ++s) {
    const TPoint q = BezierAt(path.points.data(), s / 1000.0);
    worst = std::max(worst, std::abs(std::hypot(q.x - 1e7, q.y - 1e7) / 1e7 - 1));
  }
  EXPECT_GT(worst, 0.98 * 2.7253e-4);
  EXPECT_LE(worst, kRadialBound);
}

TEST(EllipseCurvePath, FourQuartersClosedWithTheExactBounds) {
  const TShapePath path = EllipseCurvePath(300000, 100000);
  const TPointArray want = {{150000, 0},      {232843, 0},      {300000, 22386}, {300000, 50000},
                            {300000, 77614}, {232843, 100000}, {150000, 100000}, {67157, 100000},
                            {0, 77614},      {0, 50000},       {0, 22386},      {67157, 0}};
  EXPECT_EQ(path.points, want);
  const TTypeArray types = {ptNode, ptControl, ptControl, ptNode, ptControl, ptControl,
                            ptNode, ptControl, ptControl, ptEndNodeClose, ptControl, ptControl};
  EXPECT_EQ(path.types, types);
  TRect bounds;
  ASSERT_TRUE(GetPathBounds(path.points, path.types, bounds));
  EXPECT_NEAR(bounds.left, 0, 1);
  EXPECT_NEAR(bounds.top, 0, 1);
  EXPECT_NEAR(bounds.right, 300000, 1);
  EXPECT_NEAR(bounds.bottom, 100000, 1);
}

TEST(BoxCurvePath, CornersOrRoundedCorners) {
  const TShapePath square = BoxCurvePath(100, 50, 0);
  EXPECT_EQ(square.points, (TPointArray{{0, 0}, {100, 0}, {100, 50}, {0, 50}}));
  EXPECT_EQ(square.types, (TTypeArray{ptNode, ptNode, ptNode, ptEndNodeClose}));

  // r = 20: h = 10, k = round(20 x 0.4477 / 2) = 4.
  const TShapePath round = BoxCurvePath(100, 50, 20);
  const TPointArray want = {{10, 0},  {90, 0},  {96, 0},  {100, 4}, {100, 10}, {100, 40}, {100, 46}, {96, 50},
                            {90, 50}, {10, 50}, {4, 50},  {0, 46},  {0, 40},   {0, 10},   {0, 4},    {4, 0}};
  EXPECT_EQ(round.points, want);
  const TTypeArray types = {ptNode, ptNode, ptControl, ptControl, ptNode, ptNode, ptControl, ptControl,
                            ptNode, ptNode, ptControl, ptControl, ptNode, ptEndNodeClose, ptControl, ptControl};
  EXPECT_EQ(round.types, types);
  const TPathFigureInfos infos = BuildFigureInfos(round.points, round.types);
  ASSERT_EQ(infos.figures.size(), 1u);
  EXPECT_TRUE(infos.figures[0].closed);
  EXPECT_EQ(infos.figures[0].last, 15);
}

TEST(ShapeRegions, AClearBoxIsHitOnABandAlongItsOutline) {
  const TRect rect{100, 100, 200, 160};
  const auto hit = [&](bool outlineOnly, int32_t roundness, int x, int y) {
    return BoxRegion(rect, roundness, {1, true, outlineOnly}).Contains(x, y);
  };
  for (int32_t roundness : {0, 20}) {
    EXPECT_TRUE(hit(true, roundness, 150, 100)) << roundness;   // on the top side
    EXPECT_TRUE(hit(true, roundness, 150, 99)) << roundness;    // within the pen's pixel outside
    EXPECT_TRUE(hit(true, roundness, 101, 130)) << roundness;
    EXPECT_FALSE(hit(true, roundness, 150, 130)) << roundness;  // the middle
    EXPECT_FALSE(hit(true, roundness, 150, 97)) << roundness;
    EXPECT_TRUE(hit(false, roundness, 150, 130)) << roundness;
  }
  // A box too small for a band inside its outline is hit all over.
  EXPECT_TRUE(BoxRegion({0, 0, 4, 4}, 0, {1, true, true}).Contains(2, 2));
  // Rounded corners leave the corner pixels out.
  EXPECT_FALSE(hit(false, 40, 99, 99));
  EXPECT_TRUE(hit(false, 0, 99, 99));
}

TEST(ShapeRegions, AClearEllipseIsHitOnARing) {
  const TRect rect{0, 0, 200, 100};
  const auto hit = [&](bool outlineOnly, int x, int y) {
    return EllipseRegion(rect, {1, true, outlineOnly}).Contains(x, y);
  };
  EXPECT_TRUE(hit(true, 100, 0));
  EXPECT_TRUE(hit(true, 199, 50));
  EXPECT_TRUE(hit(true, 1, 50));
  EXPECT_FALSE(hit(true, 100, 50));
  EXPECT_FALSE(hit(true, 100, 20));
  EXPECT_FALSE(hit(true, 5, 5));  // the bounding box's corner is not on the ellipse
  EXPECT_TRUE(hit(false, 100, 50));
  // The paint region: a thin pen reaches one pixel further right and down.
  EXPECT_TRUE(EllipseRegion(rect, {1, false, false}).Contains(100, 100));
  EXPECT_FALSE(EllipseRegion(rect, {3, false, false}).Contains(100, 100));
}

}  // namespace
}  // namespace pv::graphics
