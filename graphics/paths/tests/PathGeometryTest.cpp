// Bounds, inside tests and flattening checked against an independent implementation of paths
// (the Qt painter path) and against double-precision samples of the curves.
#include <gtest/gtest.h>

#include <QPainterPath>
#include <cmath>
#include <random>

#include "paths/PathQueries.h"

namespace pv::graphics {
namespace {

struct Path {
  TPointArray points;
  TTypeArray types;
};

// A closed figure of random lines and curves within a box of the given size.
Path RandomFigure(std::mt19937& random, int size, int segments) {
  std::uniform_int_distribution<int> coord(0, size);
  Path p;
  p.points.push_back({coord(random), coord(random)});
  p.types.push_back(ptNode);
  for (int s = 0; s < segments; ++s) {
    if (random() % 2) {
      p.points.push_back({coord(random), coord(random)});
      p.types.push_back(ptControl);
      p.points.push_back({coord(random), coord(random)});
      p.types.push_back(ptControl);
    }
    p.points.push_back({coord(random), coord(random)});
    p.types.push_back(ptNode);
  }
  p.types.back() = ptEndNodeClose;
  return p;
}

QPainterPath ToQt(const Path& p) {
  QPainterPath q;
  q.setFillRule(Qt::OddEvenFill);
  q.moveTo(p.points[0].x, p.points[0].y);
  for (size_t i = 1; i < p.points.size(); ++i) {
    if (p.types[i] == ptControl) {
      q.cubicTo(p.points[i].x, p.points[i].y, p.points[i + 1].x, p.points[i + 1].y, p.points[i + 2].x,
                p.points[i + 2].y);
      i += 2;
    } else {
      q.lineTo(p.points[i].x, p.points[i].y);
    }
  }
  q.closeSubpath();
  return q;
}

TEST(PathGeometry, BoundsWithinOneUnitOfThePainterPaths) {
  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    const Path p = RandomFigure(random, 1000, 1 + round % 6);
    TRect bounds;
    ASSERT_TRUE(GetPathBounds(p.points, p.types, bounds));
    const QRectF q = ToQt(p).boundingRect();
    EXPECT_LE(std::abs(bounds.left - q.left()), 1.0) << round;
    EXPECT_LE(std::abs(bounds.top - q.top()), 1.0) << round;
    EXPECT_LE(std::abs(bounds.right - q.right()), 1.0) << round;
    EXPECT_LE(std::abs(bounds.bottom - q.bottom()), 1.0) << round;
  }
}

// Off the edges (further than two units from the outline) a point is inside exactly when the
// painter path, filled even-odd, contains it. On the edges the stated rule is that the
// boundary counts as inside.
TEST(PathGeometry, InsideTestsAgreeWithThePainterPathsOffTheEdges) {
  std::mt19937 random(5);
  int compared = 0;
  for (int round = 0; round < 40; ++round) {
    const Path p = RandomFigure(random, 200, 3 + round % 5);
    const QPainterPath q = ToQt(p);
    for (int y = -5; y < 205; y += 3) {
      for (int x = -5; x < 205; x += 3) {
        if (PathHitTest(p.points, p.types, {x, y}, nullptr, nullptr, 2, false, true)) continue;
        ++compared;
        ASSERT_EQ(PathHitTest(p.points, p.types, {x, y}, nullptr, nullptr, 0, true, false),
                  q.contains(QPointF(x, y)))
            << "round " << round << " at " << x << "," << y;
      }
    }
  }
  EXPECT_GT(compared, 50000);
}

double DistanceToPolyline(double x, double y, const TPointArray& line) {
  double best = 1e300;
  for (size_t i = 0; i + 1 < line.size(); ++i) {
    const double ax = line[i].x, ay = line[i].y, bx = line[i + 1].x, by = line[i + 1].y;
    const double dx = bx - ax, dy = by - ay;
    const double len = dx * dx + dy * dy;
    const double t = len > 0 ? std::clamp(((x - ax) * dx + (y - ay) * dy) / len, 0.0, 1.0) : 0.0;
    best = std::min(best, std::hypot(x - (ax + t * dx), y - (ay + t * dy)));
  }
  return best;
}

TEST(PathGeometry, FlatteningStaysWithinItsToleranceAlsoAtHugeCoordinates) {
  struct Case {
    double offset, scale, factor;
  };
  for (const Case& c : {Case{0, 1, 1}, Case{0, 1, 4}, Case{1e8, 1, 1}, Case{0, 1e5, 1}, Case{-1e8, 1e4, 0.5}}) {
    auto at = [&](double v) { return static_cast<int32_t>(std::llround(c.offset + v * c.scale)); };
    const TPointArray curve{{at(0), at(0)}, {at(300), at(1000)}, {at(700), at(-600)}, {at(1000), at(200)}};
    TPointArray pts = curve;
    TTypeArray types{ptNode, ptControl, ptControl, ptEndNode};
    ASSERT_TRUE(FlattenPath(pts, types, nullptr, c.factor));
    ASSERT_GE(pts.size(), 2u);
    EXPECT_EQ(pts.front(), curve.front());
    EXPECT_EQ(pts.back(), curve.back());
    double worst = 0;
    for (int i = 0; i <= 2000; ++i) {
      const double t = i / 2000.0, u = 1 - t;
      const double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
      const double x = b0 * curve[0].x + b1 * curve[1].x + b2 * curve[2].x + b3 * curve[3].x;
      const double y = b0 * curve[0].y + b1 * curve[1].y + b2 * curve[2].y + b3 * curve[3].y;
      worst = std::max(worst, DistanceToPolyline(x, y, pts));
    }
    EXPECT_LE(worst, 1.0 / c.factor + 0.5) << c.offset << " x" << c.scale << " factor " << c.factor;
  }
}

// Curves of a loop at coordinates near the end of the 32-bit range: single precision could
// neither tell the split points apart nor finish; the walk ends and stays within its depth.
TEST(PathGeometry, FlatteningEndsForDegenerateCurvesAtTheEdgeOfTheRange) {
  const int32_t big = 2'000'000'000;
  const TPointArray cases[] = {
      {{big, big}, {-big, big}, {-big, -big}, {big, big}},        // a loop back to its start
      {{big, -big}, {big, -big}, {big, -big}, {big, -big}},       // all one point
      {{-big, 0}, {big, 1}, {-big, 2}, {big - 1, 3}},             // a thin zig-zag
  };
  for (const TPointArray& curve : cases) {
    TPointArray pts = curve;
    TTypeArray types{ptNode, ptControl, ptControl, ptEndNode};
    ASSERT_TRUE(FlattenPath(pts, types, nullptr, 1.0));
    EXPECT_LE(pts.size(), (size_t{1} << 20) + 1);
    EXPECT_EQ(pts.back(), curve.back());
    TRect bounds;
    EXPECT_TRUE(GetPathBounds(curve, TTypeArray{ptNode, ptControl, ptControl, ptEndNode}, bounds));
  }
}

TEST(PathGeometry, NearestPointLiesOnTheOutline) {
  std::mt19937 random(9);
  for (int round = 0; round < 50; ++round) {
    const Path p = RandomFigure(random, 500, 4);
    const TPoint probe{static_cast<int32_t>(random() % 600) - 50, static_cast<int32_t>(random() % 600) - 50};
    TPathNearest nearest;
    PathHitTest(p.points, p.types, probe, nullptr, &nearest, 0, false, true);
    ASSERT_TRUE(nearest.found);
    // The nearest point is on the outline, at the distance of a finely flattened outline.
    EXPECT_TRUE(PathHitTest(p.points, p.types, {nearest.x, nearest.y}, nullptr, nullptr, 2, false, true));
    TPointArray fine = p.points;
    TTypeArray fineTypes = p.types;
    ASSERT_TRUE(FlattenPath(fine, fineTypes, nullptr, 16));
    fine.push_back(fine.front());
    const double truth = DistanceToPolyline(probe.x, probe.y, fine);
    EXPECT_NEAR(std::sqrt(nearest.bestDistance), truth, 1.5) << round;
    EXPECT_NEAR(std::hypot(nearest.x - probe.x, nearest.y - probe.y), truth, 1.5) << round;
  }
}

}  // namespace
}  // namespace pv::graphics
