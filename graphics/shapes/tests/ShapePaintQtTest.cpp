// Boxes, ellipses, arcs and pies painted on the Qt canvas, checked by probing pixels.

#include <gtest/gtest.h>

#include <string>

#include "document/testing/TestVexaPanel.h"
#include "paint/tests/TestCanvas.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaEllipse.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kRed = 0x0000FF;

struct ShapePaintFixture : ::testing::Test {
  ShapePaintFixture() : image(120, 120) {
    RegisterShapeClasses();
    panel.NewDocument();
    panel.scale = 100;
    panel.paintRect = {0, 0, 120, 120};
  }
  // A shape over pixels (l, t) - (r, b), black one-pixel pen, red brush unless clear.
  template <class T>
  T* Add(TRect pixels, bool filled) {
    T* c = TVexaControl::New<T>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    c->SetDocRect({pixels.left * 1000, pixels.top * 1000, pixels.right * 1000, pixels.bottom * 1000});
    c->Pen().SetColor(canvas::clBlack);
    if (filled) c->Brush().SetColor(canvas::clRed);
    return c;
  }
  void Paint(TVexaControl* c) { c->PaintAll(*image.canvas, c->GetLeft(), c->GetTop()); }
  struct Probe {
    int x, y;
    uint32_t colour;
  };
  // Outline probes (black) accept a black pixel one pixel away: the platform's rasteriser puts
  // some outlines half a pixel off. Fills and blank pixels are probed exactly, away from edges.
  bool BlackNear(int x, int y) const {
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        if (image.At(x + dx, y + dy) == kBlack) return true;
      }
    }
    return false;
  }
  void ExpectProbes(std::initializer_list<Probe> probes, const std::string& what) {
    for (const Probe& p : probes) {
      if (p.colour == kBlack) {
        EXPECT_TRUE(BlackNear(p.x, p.y)) << what << " outline near " << p.x << "," << p.y;
      } else {
        EXPECT_EQ(image.At(p.x, p.y), p.colour) << what << " at " << p.x << "," << p.y;
      }
    }
  }
  TTestVexaPanel panel;
  graphics::testing::WhiteImage image;
};

TEST_F(ShapePaintFixture, ABoxFillsItsRectangleInsideItsOutline) {
  Paint(Add<TVexaBox>({10, 20, 70, 60}, true));
  ExpectProbes({{40, 40, kRed},
                {10, 40, kBlack},
                {69, 40, kBlack},
                {40, 20, kBlack},
                {40, 59, kBlack},
                {70, 40, kWhite},
                {40, 60, kWhite},
                {9, 40, kWhite},
                {40, 19, kWhite}},
               "box");
}

TEST_F(ShapePaintFixture, RoundedCornersLeaveTheCornerPixelsAlone) {
  auto* box = Add<TVexaBox>({10, 20, 70, 60}, true);
  box->SetRoundness(20000);
  Paint(box);
  ExpectProbes({{10, 20, kWhite}, {69, 59, kWhite}, {40, 20, kBlack}, {10, 40, kBlack}, {40, 40, kRed}, {14, 24, kRed}},
               "rounded box");
}

TEST_F(ShapePaintFixture, AWidePenStaysInsideTheBox) {
  auto* box = Add<TVexaBox>({10, 20, 70, 60}, true);
  box->Pen().SetWidth(4000);
  Paint(box);
  ExpectProbes({{10, 40, kBlack}, {13, 40, kBlack}, {14, 40, kRed}, {69, 40, kBlack}, {66, 40, kBlack},
                {65, 40, kRed}, {70, 40, kWhite}, {9, 40, kWhite}},
               "wide pen");
}

TEST_F(ShapePaintFixture, AWholeEllipse) {
  Paint(Add<TVexaEllipse>({10, 20, 110, 80}, true));
  ExpectProbes({{60, 50, kRed},
                {60, 20, kBlack},
                {10, 50, kBlack},
                {12, 22, kWhite},  // the bounding box's corner
                {108, 78, kWhite},
                {60, 19, kWhite}},
               "ellipse");
}

TEST_F(ShapePaintFixture, APieFillsOnlyItsSector) {
  auto* pie = Add<TVexaArc>({10, 10, 110, 110}, true);
  pie->SetBeginAngle(0);
  pie->SetEndAngle(90000);
  Paint(pie);
  // The upper right quarter is filled; the other three are not.
  ExpectProbes({{80, 40, kRed}, {30, 40, kWhite}, {30, 80, kWhite}, {80, 80, kWhite},
                // both radii and the arc between them are drawn
                {60, 30, kBlack}, {90, 60, kBlack}, {60, 10, kBlack}, {109, 60, kBlack}, {10, 60, kWhite}},
               "pie");
}

TEST_F(ShapePaintFixture, AClearBrushDrawsOnlyTheArc) {
  auto* arc = Add<TVexaArc>({10, 10, 110, 110}, false);
  arc->SetBeginAngle(90000);
  arc->SetEndAngle(360000);  // an arc "ending at 360 degrees" runs to three o'clock
  Paint(arc);
  ExpectProbes({{60, 10, kBlack}, {10, 60, kBlack}, {60, 109, kBlack},
                // no radii, nothing filled, and the upper right quarter is left out
                {60, 30, kWhite}, {35, 60, kWhite}, {96, 24, kWhite}, {40, 40, kWhite}},
               "arc");
}

TEST_F(ShapePaintFixture, AGradientBrushFillsTheEllipseOnly) {
  auto* e = Add<TVexaEllipse>({10, 20, 110, 80}, false);
  e->Brush().SetMethod(TBrushMethod::bmGradient);
  e->Brush().SetGradBeginColor(canvas::clRed);
  e->Brush().SetGradEndColor(canvas::clRed);
  Paint(e);
  ExpectProbes({{60, 50, kRed}, {12, 22, kWhite}, {108, 78, kWhite}, {60, 20, kBlack}}, "gradient ellipse");
}

}  // namespace
}  // namespace pv::graphics
