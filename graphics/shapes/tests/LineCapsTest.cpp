// Line caps: the extent table, the figures of each style, and how DrawLineCaps draws them.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "canvas/RecordingCanvas.h"
#include "shapes/LineCaps.h"

using namespace pv::canvas;
using namespace pv::graphics;

namespace {

struct InfoCase {
  int32_t style;
  int32_t size;
  TLineCapInfo info;  // size, offset, left, top, right, bottom
};

TEST(LineCaps, ExtentTable) {
  const std::vector<InfoCase> cases = {
      // a = 7: h = 3, q = 1
      {-1, 7, {7, 0, -3, -3, 0, 3}},
      {-2, 7, {7, 0, -7, -3, 0, 3}},
      {-3, 7, {7, 0, 0, -3, 3, 3}},
      {-4, 7, {7, 0, -3, -3, 3, 3}},
      {-5, 7, {7, 0, -7, -3, 0, 3}},
      {-6, 7, {7, 0, -12, -3, 0, 3}},  // the second arrow's base, 1.7 a back
      {-7, 7, {7, 0, 0, -3, 7, 3}},
      {-8, 7, {7, 0, -5, -3, 7, 3}},   // the second pair starts 0.7 a back
      {-9, 7, {7, 7, -7, -3, 0, 3}},
      {-10, 7, {7, 7, -7, -3, 0, 3}},
      {-11, 7, {7, 7, -7, -3, 0, 3}},
      {-12, 7, {7, 7, -7, -3, 0, 3}},
      {-13, 7, {7, 7, -7, -3, 0, 3}},
      {-14, 7, {7, 3, -3, -3, 3, 3}},
      {-15, 7, {7, 3, -3, -3, 3, 3}},
      {-16, 7, {7, 1, -1, -1, 1, 1}},
      {-17, 7, {7, 3, -3, -3, 3, 3}},
      {-18, 7, {7, 7, -7, -3, 0, 3}},
      // a = 1: h = q = 0
      {-1, 1, {1, 0, 0, 0, 0, 0}},
      {-6, 1, {1, 0, -2, 0, 0, 0}},
      {-9, 1, {1, 1, -1, 0, 0, 0}},
      {-16, 1, {1, 0, 0, 0, 0, 0}},
      // a = 2: h = 1, q = 0
      {-1, 2, {2, 0, -1, -1, 0, 1}},
      {-8, 2, {2, 0, -1, -1, 2, 1}},
      {-14, 2, {2, 1, -1, -1, 1, 1}},
      {-16, 2, {2, 0, 0, 0, 0, 0}},
      // a = 20: h = 10, q = 5
      {-1, 20, {20, 0, -10, -10, 0, 10}},
      {-6, 20, {20, 0, -34, -10, 0, 10}},
      {-8, 20, {20, 0, -14, -10, 20, 10}},
      {-12, 20, {20, 20, -20, -10, 0, 10}},
      {-16, 20, {20, 5, -5, -5, 5, 5}},
      // a negative size is no size
      {-10, -5, {0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    TLineCapInfo info;
    EXPECT_TRUE(GetLineCapInfo(c.style, c.size, info)) << c.style;
    EXPECT_EQ(info, c.info) << "style " << c.style << " size " << c.size;
  }
  for (int32_t style : {0, 1, 5, -19, INT_MIN, INT_MAX}) {
    TLineCapInfo info{1, 2, 3, 4, 5, 6};
    EXPECT_FALSE(GetLineCapInfo(style, 20, info)) << style;
    EXPECT_EQ(info, TLineCapInfo{}) << style;
  }
}

struct ShapeCase {
  int32_t style;
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
};

// Pointing right from (0, 50) to E = (100, 50) with a = 20: P(d) = (100 - d, 50), N(d) = (0, -d).
TEST(LineCaps, FiguresOfEachStyle) {
  const std::vector<ShapeCase> cases = {
      {-1, {{100, 50}, {90, 40}, {100, 50}, {90, 60}}, {0, 1, 0, 1}},
      {-3, {{100, 50}, {110, 40}, {100, 50}, {110, 60}}, {0, 1, 0, 1}},
      {-6,
       {{100, 50}, {80, 40}, {100, 50}, {80, 60}, {86, 50}, {66, 40}, {86, 50}, {66, 60}},
       {0, 1, 0, 1, 0, 1, 0, 1}},
      {-8,
       {{100, 50}, {120, 40}, {100, 50}, {120, 60}, {86, 50}, {106, 40}, {86, 50}, {106, 60}},
       {0, 1, 0, 1, 0, 1, 0, 1}},
      {-9, {{100, 50}, {80, 40}, {81, 42}, {82, 46}, {82, 50}, {82, 54}, {81, 58}, {80, 60}}, {0, 0, 3, 3, 0, 3, 3, 2}},
      {-10, {{100, 50}, {80, 40}, {80, 60}}, {0, 0, 2}},
      {-13, {{90, 50}, {100, 40}, {100, 60}, {80, 50}, {90, 40}, {90, 60}}, {0, 0, 2, 0, 0, 2}},
      {-14, {{90, 40}, {110, 40}, {110, 60}, {90, 60}}, {0, 0, 0, 2}},
      {-17, {{90, 50}, {100, 40}, {110, 50}, {100, 60}}, {0, 0, 0, 2}},
      {-18, {{93, 40}, {100, 40}, {100, 60}, {93, 60}}, {0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    TCapShape shape;
    ASSERT_TRUE(GetLineCapShape(c.style, {100, 50}, {0, 50}, 20, shape)) << c.style;
    EXPECT_EQ(shape.points, c.points) << c.style;
    EXPECT_EQ(shape.types, c.types) << c.style;
    EXPECT_FALSE(shape.circle);
  }
  TCapShape circle;
  ASSERT_TRUE(GetLineCapShape(-15, {100, 50}, {0, 50}, 20, circle));
  EXPECT_TRUE(circle.circle);
  EXPECT_EQ(circle.circleBox, (TRect{90, 40, 111, 61}));
  EXPECT_EQ(circle.points.size(), 12u);  // four quarters, the last one closing the figure
  EXPECT_EQ(circle.types[9], cptClosedEnd);
  EXPECT_EQ(circle.points[1], (TPoint{110, 50 - 6}));  // control distance 0.5523 R
  ASSERT_TRUE(GetLineCapShape(-16, {100, 50}, {0, 50}, 20, circle));
  EXPECT_EQ(circle.circleBox, (TRect{95, 45, 106, 56}));
}

TEST(LineCaps, DegenerateSizesAndDirectionsCollapseToTheEnd) {
  TCapShape shape;
  ASSERT_TRUE(GetLineCapShape(-1, {7, 9}, {0, 0}, 1, shape));  // h = 0
  for (TPoint p : shape.points) EXPECT_EQ(p, (TPoint{7, 9}));
  ASSERT_TRUE(GetLineCapShape(-10, {7, 9}, {7, 9}, 20, shape));  // no direction
  for (TPoint p : shape.points) EXPECT_EQ(p, (TPoint{7, 9}));
  EXPECT_FALSE(GetLineCapShape(0, {7, 9}, {0, 0}, 20, shape));
  EXPECT_TRUE(shape.points.empty());
  ASSERT_TRUE(GetLineCapShape(-5, {INT_MAX, INT_MIN}, {0, 0}, INT_MAX, shape));  // clamps, no overflow
}

// Every node of every style, at many sizes and directions, lies within the style's extent
// turned into that direction (aside from rounding: a point and the offset added to it are
// each rounded by up to half a pixel per coordinate).
TEST(LineCaps, FiguresStayWithinTheirExtent) {
  const TPoint e{1000, 1000};
  for (int32_t style = -18; style <= -1; ++style) {
    for (int32_t size : {1, 2, 3, 7, 20, 33}) {
      TLineCapInfo info;
      ASSERT_TRUE(GetLineCapInfo(style, size, info));
      for (int degrees = 0; degrees < 360; degrees += 15) {
        const double t = degrees * std::numbers::pi / 180;
        const TPoint from{e.x - static_cast<int32_t>(std::lround(100 * std::cos(t))),
                          e.y - static_cast<int32_t>(std::lround(100 * std::sin(t)))};
        const double len = std::hypot(e.x - from.x, e.y - from.y);
        const double ux = (e.x - from.x) / len, uy = (e.y - from.y) / len;
        TCapShape shape;
        ASSERT_TRUE(GetLineCapShape(style, e, from, size, shape));
        for (size_t i = 0; i < shape.points.size(); ++i) {
          if (shape.circle && shape.types[i] == cptControl) continue;  // off the circle itself
          const double dx = shape.points[i].x - e.x, dy = shape.points[i].y - e.y;
          const double along = dx * ux + dy * uy;
          const double across = dx * uy - dy * ux;
          const std::string where = "style " + std::to_string(style) + " size " + std::to_string(size) +
                                    " angle " + std::to_string(degrees) + " point " + std::to_string(i);
          EXPECT_GE(along, info.left - 1.5) << where;
          EXPECT_LE(along, info.right + 1.5) << where;
          EXPECT_GE(across, info.top - 1.5) << where;
          EXPECT_LE(across, info.bottom + 1.5) << where;
        }
      }
    }
  }
}

TEST(LineCaps, DrawsPathsWithTheirOwnPensAndBrushesAndRestoresTheCanvas) {
  RecordingCanvas dc;
  Pen before;
  before.color = clBlue;
  before.width = 7;
  dc.SetPen(before);
  Brush beforeBrush{BrushStyle::Cross, clLime, nullptr};
  dc.SetBrush(beforeBrush);
  dc.Clear();
  const std::vector<TPoint> points{{0, 0}, {100, 0}};
  const std::vector<uint8_t> types{0, 1};
  const TLineCap begin{-10, clRed, clBlue, 20};
  const TLineCap end{-15, clNone, clNone, 20};
  DrawLineCaps(dc, 3, begin, end, points, types);
  const auto& cmds = dc.Commands();
  ASSERT_GE(cmds.size(), 10u);
  EXPECT_EQ(cmds[0].op, CanvasOp::SetPen);
  EXPECT_EQ(cmds[0].pen, (Pen{PenStyle::InsideFrame, 3, clRed, PenMode::Copy}));
  EXPECT_EQ(cmds[1].op, CanvasOp::SetBrush);
  EXPECT_EQ(cmds[1].brush.style, BrushStyle::Solid);
  EXPECT_EQ(cmds[1].brush.color, clBlue);
  // The begin cap comes from the second point: its triangle points back into the line's start.
  const std::vector<std::string> lines = dc.Lines();
  const std::vector<std::string> path(lines.begin() + 2, lines.begin() + 9);
  EXPECT_EQ(path, (std::vector<std::string>{"BeginPath", "MoveTo 0,0", "LineTo 20,10", "LineTo 20,-10",
                                            "CloseFigure", "EndPath", "StrokeAndFillPath"}));
  EXPECT_EQ(cmds[9].op, CanvasOp::SetPen);
  EXPECT_EQ(cmds[9].pen.style, PenStyle::Clear);
  EXPECT_EQ(cmds[10].brush.style, BrushStyle::Clear);
  EXPECT_EQ(lines[11], "Ellipse 90,-10,111,11");
  EXPECT_EQ(dc.GetPen(), before);
  EXPECT_EQ(dc.GetBrush(), beforeBrush);
}

TEST(LineCaps, CurvedCapsGoToThePathAsBeziers) {
  RecordingCanvas dc;
  const std::vector<TPoint> points{{0, 50}, {100, 50}};
  const std::vector<uint8_t> types{0, 1};
  DrawLineCaps(dc, 1, {}, {-9, clBlack, clBlack, 20}, points, types);
  EXPECT_EQ(dc.Count(CanvasOp::PolyBezierTo), 2u);
  EXPECT_EQ(dc.Count(CanvasOp::LineTo), 1u);
  EXPECT_EQ(dc.Count(CanvasOp::CloseFigure), 1u);
}

struct DrawCase {
  const char* name;
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  TLineCap begin;
  TLineCap end;
  size_t caps;  // paths and ellipses drawn
};

TEST(LineCaps, WhichFiguresGetCaps) {
  const TLineCap arrow{-10, clBlack, clBlack, 10};
  const TLineCap none{0, clBlack, clBlack, 10};
  const TLineCap positive{3, clBlack, clBlack, 10};
  const std::vector<DrawCase> cases = {
      {"open line, both caps", {{0, 0}, {50, 0}}, {0, 1}, arrow, arrow, 2},
      {"code 0 draws nothing", {{0, 0}, {50, 0}}, {0, 1}, none, none, 0},
      {"positive codes draw nothing", {{0, 0}, {50, 0}}, {0, 1}, positive, positive, 0},
      {"end cap only", {{0, 0}, {50, 0}}, {0, 1}, none, arrow, 1},
      {"closed figure gets none", {{0, 0}, {50, 0}, {50, 50}}, {0, 0, 2}, arrow, arrow, 0},
      {"closed curve figure gets none",
       {{0, 0}, {50, 0}, {50, 50}, {10, 10}, {5, 5}},
       {0, 0, 2, 3, 3},
       arrow,
       arrow,
       0},
      {"closed then open", {{0, 0}, {50, 0}, {50, 50}, {100, 0}, {150, 0}}, {0, 0, 2, 0, 1}, arrow, arrow, 2},
      {"two open figures", {{0, 0}, {50, 0}, {0, 10}, {50, 10}}, {0, 1, 0, 1}, arrow, arrow, 4},
      {"a figure of one point", {{0, 0}}, {1}, arrow, arrow, 0},
      {"no direction at the end", {{0, 0}, {50, 0}, {50, 0}}, {0, 0, 1}, none, arrow, 0},
      {"unequal arrays", {{0, 0}, {50, 0}}, {0}, arrow, arrow, 0},
      {"no end node", {{0, 0}, {50, 0}}, {0, 0}, arrow, arrow, 0},
  };
  for (const auto& c : cases) {
    RecordingCanvas dc;
    DrawLineCaps(dc, 1, c.begin, c.end, c.points, c.types);
    EXPECT_EQ(dc.Count(CanvasOp::StrokeAndFillPath) + dc.Count(CanvasOp::Ellipse), c.caps) << c.name;
    if (c.caps == 0) {
      EXPECT_EQ(dc.Count(CanvasOp::BeginPath), 0u) << c.name;
    }
  }
}

}  // namespace
