// Boxes, ellipses and arcs converted into curves: the curve takes the shape's place, parent,
// layer and look, and its points run along the shape's outline.

#include <gtest/gtest.h>

#include <string>

#include "document/testing/TestVexaPanel.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/ShapeAngles.h"
#include "shapes/ShapeClasses.h"
#include "shapes/ShapePaths.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaCurve.h"
#include "shapes/VexaEllipse.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

struct ShapeToCurveFixture : ::testing::Test {
  ShapeToCurveFixture() {
    RegisterShapeClasses();
    panel.NewDocument();
  }
  template <class T>
  T* Add(TRect r) {
    T* c = TVexaControl::New<T>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    c->SetDocRect(r);
    return c;
  }
  // The curve made from the shape, checked against the outline the shape gives (positions
  // compared in document coordinates: the curve moves its points to its own bounds).
  TVexaCurve* Convert(TVexaControl& shape, const TShapePath& outline) {
    TVexaControl* made = shape.CreateCurveControl();
    auto* curve = dynamic_cast<TVexaCurve*>(made);
    EXPECT_NE(curve, nullptr);
    if (!curve) return nullptr;
    EXPECT_EQ(curve->GetParent(), shape.GetParent());
    EXPECT_EQ(curve->GetLayer(), shape.GetLayer());
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    curve->GetPointsEx(points, types);
    EXPECT_EQ(types, outline.types);
    EXPECT_EQ(points.size(), outline.points.size());
    const TRect from = shape.GetDocRect();
    const TRect to = curve->GetDocRect();
    for (size_t i = 0; i < std::min(points.size(), outline.points.size()); ++i) {
      EXPECT_EQ(points[i].x + to.left, outline.points[i].x + from.left) << i;
      EXPECT_EQ(points[i].y + to.top, outline.points[i].y + from.top) << i;
    }
    return curve;
  }
  TTestVexaPanel panel;
};

TEST_F(ShapeToCurveFixture, ABoxBecomesAClosedCurveWithItsLook) {
  auto* box = Add<TVexaBox>({10000, 20000, 110000, 70000});
  box->Brush().SetColor(canvas::clRed);
  box->Pen().SetWidth(3000);
  TVexaCurve* curve = Convert(*box, BoxCurvePath(100000, 50000, 0));
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->GetDocRect(), box->GetDocRect());
  EXPECT_TRUE(curve->GetIsSolid());
  EXPECT_EQ(curve->Brush().GetColor(), canvas::clRed);
  EXPECT_EQ(curve->Pen().GetWidth(), 3000);

  box->SetRoundness(20000);
  curve = Convert(*box, BoxCurvePath(100000, 50000, 20000));
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->GetNodesCount(), 8);
  EXPECT_TRUE(curve->GetIsSolid());
}

TEST_F(ShapeToCurveFixture, AWholeEllipseBecomesFourQuarters) {
  auto* ellipse = Add<TVexaEllipse>({0, 0, 300000, 100000});
  TVexaCurve* curve = Convert(*ellipse, EllipseCurvePath(300000, 100000));
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->GetNodesCount(), 4);
  EXPECT_TRUE(curve->GetIsSolid());
  // The curve's rectangle is its path's exact bounds: the ellipse's, within a unit.
  EXPECT_NEAR(curve->GetLeft(), 0, 1);
  EXPECT_NEAR(curve->GetWidth(), 300000, 2);
  EXPECT_NEAR(curve->GetHeight(), 100000, 2);
}

TEST_F(ShapeToCurveFixture, AnArcBecomesBezierPiecesOpenWithAClearBrushClosedThroughTheCentreOtherwise) {
  const struct {
    int32_t begin, end;
    size_t pieces;
  } cases[] = {{0, 180000, 2}, {270000, 360000, 1}, {-90000, 0, 1}, {10000, 5000, 5}, {300000, 30000, 2}};
  for (const auto& c : cases) {
    for (bool filled : {false, true}) {
      const std::string where = std::to_string(c.begin) + " -> " + std::to_string(c.end) + (filled ? " pie" : " arc");
      auto* arc = Add<TVexaArc>({0, 0, 200000, 100000});
      arc->SetBeginAngle(c.begin);
      arc->SetEndAngle(c.end);
      if (filled) arc->Brush().SetColor(canvas::clLime);
      const TShapePath outline = ArcCurvePath(200000, 100000, c.begin, c.end, filled);
      ASSERT_EQ(ArcPieces(c.begin, c.end).size(), c.pieces) << where;
      TVexaCurve* curve = Convert(*arc, outline);
      ASSERT_NE(curve, nullptr) << where;
      EXPECT_EQ(curve->GetPointsCount(), static_cast<int>(3 * c.pieces + 1 + (filled ? 1 : 0))) << where;
      EXPECT_EQ(curve->GetIsSolid(), filled) << where;
    }
  }
}

TEST_F(ShapeToCurveFixture, AnArcOfEqualAnglesAfterNormalisingIsTheWholeEllipse) {
  auto* arc = Add<TVexaArc>({0, 0, 200000, 100000});
  arc->SetBeginAngle(0);
  arc->SetEndAngle(360000);
  EXPECT_TRUE(arc->IsWhole());
  TVexaCurve* curve = Convert(*arc, EllipseCurvePath(200000, 100000));
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->GetNodesCount(), 4);
}

}  // namespace
}  // namespace pv::graphics
