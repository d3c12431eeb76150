#include "canvas/Region.h"

#include <gtest/gtest.h>

#include <array>
#include <random>

namespace pv::canvas {
namespace {

TEST(Region, RectangleExcludesRightAndBottomEdges) {
  const Region r = Region::FromRect({2, 3, 6, 8});
  EXPECT_TRUE(r.Contains(2, 3));
  EXPECT_TRUE(r.Contains(5, 7));
  EXPECT_FALSE(r.Contains(6, 7));
  EXPECT_FALSE(r.Contains(5, 8));
  EXPECT_FALSE(r.Contains(1, 3));
  EXPECT_EQ(r.Bounds(), (TRect{2, 3, 6, 8}));
  // Corners given the other way round make the same region.
  EXPECT_EQ(Region::FromRect({6, 8, 2, 3}), r);
}

TEST(Region, EmptyShapesMakeEmptyRegions) {
  EXPECT_TRUE(Region::FromRect({5, 5, 5, 9}).IsEmpty());
  EXPECT_TRUE(Region::FromEllipse({0, 0, 0, 10}).IsEmpty());
  const std::array<TPoint, 2> line{{{0, 0}, {10, 10}}};
  EXPECT_TRUE(Region::FromPolygon(line, PolyFillMode::Alternate).IsEmpty());
  EXPECT_EQ(Region().Bounds(), TRect{});
}

TEST(Region, EllipseCoversPixelsWhoseCentresAreInside) {
  const Region e = Region::FromEllipse({0, 0, 10, 10});
  EXPECT_EQ(e.Bounds(), (TRect{0, 0, 10, 10}));
  EXPECT_TRUE(e.Contains(5, 5));
  EXPECT_TRUE(e.Contains(0, 4));   // middle row reaches both sides
  EXPECT_TRUE(e.Contains(9, 5));
  EXPECT_FALSE(e.Contains(0, 0));  // corners are outside
  EXPECT_FALSE(e.Contains(9, 9));
  EXPECT_FALSE(e.Contains(10, 5));
  // Symmetric about the centre of the box.
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      EXPECT_EQ(e.Contains(x, y), e.Contains(9 - x, 9 - y)) << x << "," << y;
    }
  }
}

TEST(Region, RoundRectCutsOnlyTheCorners) {
  const Region r = Region::FromRoundRect({0, 0, 20, 10}, 6, 6);
  EXPECT_FALSE(r.Contains(0, 0));
  EXPECT_FALSE(r.Contains(19, 9));
  EXPECT_TRUE(r.Contains(0, 5));
  EXPECT_TRUE(r.Contains(10, 0));
  EXPECT_TRUE(r.Contains(19, 5));
  // Without corners it is the rectangle.
  EXPECT_EQ(Region::FromRoundRect({0, 0, 20, 10}, 0, 0), Region::FromRect({0, 0, 20, 10}));
}

TEST(Region, PolygonFillModes) {
  // A square traced twice in the same direction: alternate leaves it empty, winding fills it.
  const std::array<TPoint, 8> twice{{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}}};
  const std::array<int32_t, 2> counts{4, 4};
  EXPECT_TRUE(Region::FromPolyPolygon(twice, counts, PolyFillMode::Alternate).IsEmpty());
  EXPECT_EQ(Region::FromPolyPolygon(twice, counts, PolyFillMode::Winding), Region::FromRect({0, 0, 10, 10}));
  // A square polygon covers what the rectangle covers.
  const std::array<TPoint, 4> square{{{0, 0}, {10, 0}, {10, 10}, {0, 10}}};
  EXPECT_EQ(Region::FromPolygon(square, PolyFillMode::Alternate), Region::FromRect({0, 0, 10, 10}));
}

TEST(Region, CombineModes) {
  const Region a = Region::FromRect({0, 0, 10, 10});
  const Region b = Region::FromRect({5, 5, 15, 15});
  struct Case {
    RegionMode mode;
    bool atA, atBoth, atB;
  };
  const Case cases[] = {
      {RegionMode::And, false, true, false},
      {RegionMode::Or, true, true, true},
      {RegionMode::Xor, true, false, true},
      {RegionMode::Diff, true, false, false},
      {RegionMode::Copy, true, true, false},
  };
  for (const Case& c : cases) {
    const Region r = Region::Combine(a, b, c.mode);
    EXPECT_EQ(r.Contains(2, 2), c.atA) << static_cast<int>(c.mode);
    EXPECT_EQ(r.Contains(7, 7), c.atBoth) << static_cast<int>(c.mode);
    EXPECT_EQ(r.Contains(12, 12), c.atB) << static_cast<int>(c.mode);
  }
  EXPECT_EQ(Region::Combine(a, b, RegionMode::And), Region::FromRect({5, 5, 10, 10}));
  EXPECT_EQ(Region::Combine(a, b, RegionMode::Or).Bounds(), (TRect{0, 0, 15, 15}));
  // Two touching rectangles merge into one band.
  EXPECT_EQ(Region::Combine(a, Region::FromRect({10, 0, 20, 10}), RegionMode::Or), Region::FromRect({0, 0, 20, 10}));
}

TEST(Region, OffsetAndRects) {
  Region r = Region::Combine(Region::FromRect({0, 0, 4, 2}), Region::FromRect({6, 0, 8, 2}), RegionMode::Or);
  r.Offset(10, 20);
  EXPECT_EQ(r.Rects(), (std::vector<TRect>{{10, 20, 14, 22}, {16, 20, 18, 22}}));
  EXPECT_TRUE(r.Contains(17, 21));
  EXPECT_FALSE(r.Contains(15, 21));
}

TEST(Region, ContainsWithoutBuildingAgreesWithTheBuiltRoundRectAndEllipse) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int32_t> pos(-15, 15), size(-3, 30), corner(-5, 40);
  for (int i = 0; i < 400; ++i) {
    const TRect rect{pos(random), pos(random), 0, 0};
    const TRect r{rect.left, rect.top, rect.left + size(random), rect.top + size(random)};
    const int32_t cw = corner(random);
    const int32_t ch = corner(random);
    const Region round = Region::FromRoundRect(r, cw, ch);
    const Region ellipse = Region::FromEllipse(r);
    for (int32_t y = -25; y < 50; ++y) {
      for (int32_t x = -25; x < 50; ++x) {
        ASSERT_EQ(Region::RoundRectContains(r, cw, ch, x, y), round.Contains(x, y)) << i << ": " << x << "," << y;
        ASSERT_EQ(Region::EllipseContains(r, x, y), ellipse.Contains(x, y)) << i << ": " << x << "," << y;
      }
    }
  }
}

TEST(Region, RowsOfARoundRectAreTheBuiltRegionCutToThoseRows) {
  const TRect r{3, 4, 60, 50};
  for (const auto& [first, end] : {std::pair{0, 100}, std::pair{10, 20}, std::pair{-5, 6}, std::pair{45, 400},
                                   std::pair{30, 30}, std::pair{60, 70}}) {
    const Region rows = Region::FromRoundRectRows(r, 30, 20, first, end);
    const Region cut = Region::Combine(Region::FromRoundRect(r, 30, 20), Region::FromRect({-100, first, 200, end}),
                                       RegionMode::And);
    EXPECT_EQ(rows.Rects(), cut.Rects()) << first << ".." << end;
  }
  // A huge ellipse costs only the rows asked for.
  const int32_t huge = 2000000000;
  const Region slice = Region::FromRoundRectRows({0, 0, huge, huge}, huge, huge, huge / 2, huge / 2 + 2);
  EXPECT_EQ(slice.Bounds(), (TRect{0, huge / 2, huge, huge / 2 + 2}));
  EXPECT_TRUE(slice.Contains(huge / 2, huge / 2 + 1));
}

}  // namespace
}  // namespace pv::canvas
