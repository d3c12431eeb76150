// Curves painted on the Qt canvas, checked by pixels: fills only inside closed figures, lines
// and curves where they run, caps at the open ends, and nothing outside the refresh rectangle.

#include <gtest/gtest.h>

#include "document/testing/TestVexaPanel.h"
#include "paint/tests/TestCanvas.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaCurve.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;
using testing::WhiteImage;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;

struct PaintFixture : ::testing::Test {
  PaintFixture() {
    RegisterShapeClasses();
    panel.NewDocument();
  }
  // Points in pixels at scale 100 (1000 units a pixel), placed with the curve at (x, y) pixels.
  TVexaCurve* Curve(int32_t x, int32_t y, const std::vector<TPoint>& pixels, const std::vector<uint8_t>& types) {
    auto* c = TVexaControl::New<TVexaCurve>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    std::vector<TPoint> units;
    for (const TPoint& p : pixels) units.push_back({p.x * 1000, p.y * 1000});
    c->SetPointsEx(units, types);
    c->SetLeft(x * 1000);
    c->SetTop(y * 1000);
    c->Pen().SetColor(kRed);
    return c;
  }
  void PaintAll(WhiteImage& img) { panel.GetActiveScheme()->PaintAll(*img.canvas, 0, 0); }
  TTestVexaPanel panel;
};

TEST_F(PaintFixture, ClosedFiguresAreFilledAndOpenOnesAreNot) {
  WhiteImage img(200, 100);
  auto* closed = Curve(10, 10, {{0, 0}, {60, 0}, {60, 60}, {0, 60}}, {0, 0, 0, 2});
  closed->Brush().SetColor(kGreen);
  auto* open = Curve(100, 10, {{0, 0}, {60, 0}, {60, 60}, {0, 60}}, {0, 0, 0, 1});
  open->Brush().SetColor(kGreen);
  PaintAll(img);
  EXPECT_EQ(img.At(40, 40), kGreen);   // inside the closed square
  EXPECT_EQ(img.At(10, 40), kRed);     // its left edge
  EXPECT_EQ(img.At(130, 40), kWhite);  // inside the open one: a polyline fills nothing
  EXPECT_EQ(img.At(100, 40), kWhite);  // and its missing fourth side
  EXPECT_EQ(img.At(130, 10), kRed);
}

TEST_F(PaintFixture, PathsWithCurvesOrSeveralFiguresFillOnlyTheClosedFigures) {
  WhiteImage img(200, 120);
  // A closed square and an open zig-zag in one curve, and a closed Bezier lens.
  auto* two = Curve(10, 10, {{0, 0}, {50, 0}, {50, 50}, {0, 50}, {70, 0}, {90, 50}, {110, 0}}, {0, 0, 0, 2, 0, 0, 1});
  two->Brush().SetColor(kGreen);
  auto* lens = Curve(140, 20, {{0, 40}, {10, 0}, {40, 0}, {50, 40}, {40, 80}, {10, 80}}, {0, 3, 3, 2, 3, 3});
  lens->Brush().SetColor(kGreen);
  PaintAll(img);
  EXPECT_EQ(img.At(35, 35), kGreen);
  EXPECT_EQ(img.At(100, 30), kWhite);  // inside the zig-zag's bend: open, not filled
  EXPECT_EQ(img.At(90, 35), kRed);     // the zig-zag is stroked
  EXPECT_EQ(img.At(165, 60), kGreen);  // the lens's middle
  EXPECT_EQ(img.At(141, 25), kWhite);  // its bounding box's corner lies outside the curves
}

TEST_F(PaintFixture, AGradientFillsOnlyThePolygon) {
  WhiteImage img(100, 100);
  auto* triangle = Curve(10, 10, {{0, 0}, {80, 0}, {0, 80}}, {0, 0, 2});
  triangle->Brush().SetMethod(TBrushMethod::bmGradient);
  triangle->Brush().SetGradBeginColor(0x000080);
  triangle->Brush().SetGradEndColor(0x800000);
  PaintAll(img);
  EXPECT_NE(img.At(25, 25), kWhite);
  EXPECT_EQ(img.At(75, 75), kWhite);  // inside the box, outside the triangle
}

TEST_F(PaintFixture, EveryPaintedPixelLiesInsideTheRefreshRectangle) {
  struct Case {
    const char* what;
    int32_t penWidth;
    int32_t beginCap;
    int32_t endCap;
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
  };
  const Case cases[] = {
      {"thin line", 1000, 0, 0, {{0, 0}, {40, 30}}, {0, 1}},
      {"thick line", 9000, 0, 0, {{0, 0}, {40, 30}}, {0, 1}},
      {"arrow caps", 2000, -2, -6, {{0, 20}, {40, 0}}, {0, 1}},
      {"circle and square caps", 3000, -14, -9, {{0, 0}, {0, 40}}, {0, 1}},
      {"bezier with caps", 2000, -7, -8, {{0, 0}, {40, 60}, {60, -20}, {80, 40}}, {0, 3, 3, 1}},
  };
  for (const Case& k : cases) {
    panel.NewDocument();
    WhiteImage img(220, 220);
    auto* c = Curve(90, 90, k.points, k.types);
    c->Pen().SetWidth(k.penWidth);
    c->BeginCap().SetCapStyle(k.beginCap);
    c->EndCap().SetCapStyle(k.endCap);
    PaintAll(img);
    const TRect doc = c->GetDocRect();
    const TRect r = panel.DocToPixelRect(c->GetRefreshRect(doc.left, doc.top));
    int painted = 0;
    for (int y = 0; y < 220; ++y) {
      for (int x = 0; x < 220; ++x) {
        if (img.At(x, y) == kWhite) continue;
        ++painted;
        EXPECT_TRUE(x >= r.left && x <= r.right && y >= r.top && y <= r.bottom)
            << k.what << ": pixel " << x << "," << y << " outside " << r.left << "," << r.top << "," << r.right << ","
            << r.bottom;
      }
    }
    EXPECT_GT(painted, 0) << k.what;
  }
}

TEST_F(PaintFixture, CapsAreDrawnAtTheOpenEndsOnly) {
  WhiteImage img(200, 100);
  auto* open = Curve(10, 50, {{0, 0}, {60, 0}}, {0, 1});
  open->EndCap().SetCapStyle(-2);
  open->EndCap().SetFixedSize(true);
  open->EndCap().SetSize(20000);
  auto* closed = Curve(110, 40, {{0, 0}, {60, 0}, {60, 20}}, {0, 0, 2});
  closed->EndCap().SetCapStyle(-2);
  closed->EndCap().SetFixedSize(true);
  closed->EndCap().SetSize(20000);
  PaintAll(img);
  // The arrow's strokes at the open end spread across the line, 10 pixels to each side.
  EXPECT_EQ(img.At(55, 45), kRed);
  EXPECT_EQ(img.At(55, 55), kRed);
  EXPECT_EQ(img.At(50, 40), kRed);
  EXPECT_EQ(img.At(55, 40), kWhite);
  // The closed figure has no end to cap.
  EXPECT_EQ(img.At(166, 52), kWhite);
}

}  // namespace
}  // namespace pv::graphics
