// The box, ellipse and arc controls in a document: their properties and defaults, link points,
// handles, angles kept within a turn however they arrive, rotation, hit tests and the text
// format round trip.

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "controls/ControlClasses.h"
#include "document/testing/TestVexaPanel.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/ShapeAngles.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaEllipse.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

struct ShapesFixture : ::testing::Test {
  ShapesFixture() {
    RegisterShapeClasses();
    panel.NewDocument();
  }
  template <class T>
  T* Add(TRect r) {
    T* c = TVexaControl::New<T>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    c->SetDocRect(r);
    return c;
  }
  TTestVexaPanel panel;
};

TEST_F(ShapesFixture, ClassesAreRegisteredByTheStartUpCallAndCreatedByName) {
  for (const char* name : {"TVexaBox", "TVexaEllipse", "TVexaArc"}) {
    const TVexaControlClass* cls = FindControlClass(name);
    ASSERT_NE(cls, nullptr) << name;
    TVexaControl* c = cls->create(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    EXPECT_STREQ(c->ClassName(), name);
    EXPECT_EQ(c->GetWidth(), 1);
    EXPECT_EQ(c->GetHeight(), 1);
    EXPECT_TRUE(c->GetVisible());
    EXPECT_EQ(c->GetCreateCursor(), std::string(name) == "TVexaBox" ? 8 : 9);
    c->Free();
  }
  auto* arc = Add<TVexaArc>({0, 0, 10, 10});
  EXPECT_TRUE(arc->InheritsFrom(TVexaEllipse::ClassInfo));
  EXPECT_EQ(arc->Brush().GetColor(), canvas::clNone);
  EXPECT_EQ(arc->Brush().GetStyle(), canvas::BrushStyle::Solid);
}

TEST_F(ShapesFixture, BoxLinkPoints) {
  auto* box = Add<TVexaBox>({0, 0, 100, 60});
  const std::vector<TPoint> square = {{0, 0}, {50, 0}, {100, 0}, {100, 30}, {100, 60}, {50, 60}, {0, 60}, {0, 30}, {50, 30}};
  ASSERT_EQ(box->GetLinkPointCount(), 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(box->GetLinkPoint(i), square[static_cast<size_t>(i)]) << i;

  const struct {
    int32_t w, h, r;
    std::vector<TPoint> points;
  } cases[] = {
      {100, 60, 20, {{10, 0}, {50, 0}, {90, 0}, {100, 10}, {100, 30}, {100, 50}, {90, 60}, {50, 60}, {10, 60}, {0, 50}, {0, 30}, {0, 10}, {50, 30}}},
      // Narrower than the corners: the top and bottom ends meet in the middle.
      {30, 60, 40, {{15, 0}, {15, 0}, {15, 0}, {30, 20}, {30, 30}, {30, 40}, {15, 60}, {15, 60}, {15, 60}, {0, 40}, {0, 30}, {0, 20}, {15, 30}}},
      // Flatter than the corners: the side ends meet in the middle.
      {100, 30, 40, {{20, 0}, {50, 0}, {80, 0}, {100, 15}, {100, 15}, {100, 15}, {80, 30}, {50, 30}, {20, 30}, {0, 15}, {0, 15}, {0, 15}, {50, 15}}},
  };
  for (const auto& c : cases) {
    box->SetDocRect({0, 0, c.w, c.h});
    box->SetRoundness(c.r);
    ASSERT_EQ(box->GetLinkPointCount(), 13);
    for (int i = 0; i < 13; ++i) EXPECT_EQ(box->GetLinkPoint(i), c.points[static_cast<size_t>(i)]) << c.w << "x" << c.h << " " << i;
  }
}

TEST_F(ShapesFixture, EllipseLinkPointsAndHandles) {
  auto* e = Add<TVexaEllipse>({0, 0, 200000, 100000});
  const std::vector<TPoint> links = {{100000, 0}, {200000, 50000}, {100000, 100000}, {0, 50000}, {100000, 50000}};
  ASSERT_EQ(e->GetLinkPointCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(e->GetLinkPoint(i), links[static_cast<size_t>(i)]);
  e->SetEndAngle(90000);
  ASSERT_EQ(e->GetPointsCount(), 2);
  EXPECT_EQ(e->GetPoint(0), (TPoint{200000, 50000}));
  EXPECT_EQ(e->GetPoint(1), (TPoint{100000, 0}));
  ASSERT_NE(e->GetPathInfo(), nullptr);
  ASSERT_EQ(e->GetPathInfo()->figures.size(), 1u);
  EXPECT_FALSE(e->GetPathInfo()->figures[0].closed);
  // The handles follow a change of size.
  e->SetHeight(50000);
  EXPECT_EQ(e->GetPoint(0), (TPoint{200000, 25000}));
  // Moving a handle moves its angle: straight left of the centre is 180 degrees.
  e->SetPoint(1, {-5000, 25000});
  EXPECT_EQ(e->GetEndAngle(), 180000);
  EXPECT_EQ(e->GetBeginAngle(), 0);
  // The move operation over a selected handle: down from the right end is below three o'clock.
  const std::vector<uint8_t> selection = {1, 0};
  EXPECT_EQ(e->GetEditPointsCaps(&selection), 1u);
  ASSERT_TRUE(e->EditPoints(0, &selection, {0, 25000}));
  EXPECT_EQ(e->GetBeginAngle(), 315000);
  EXPECT_EQ(e->GetEndAngle(), 180000);
  // The anchor is the begin handle of an arc and the top middle of a whole ellipse.
  panel.scale = 100;
  EXPECT_EQ(e->GetAnchorPoint(), panel.DocToPixelPoint(e->GetPoint(0)));
  e->SetEndAngle(315000);
  EXPECT_EQ(e->GetAnchorPoint(), panel.DocToPixelPoint({100000, 0}));
}

TEST_F(ShapesFixture, AnglesAreKeptWithinATurnHoweverTheyArrive) {
  auto* arc = Add<TVexaArc>({0, 0, 100000, 100000});
  const struct {
    int32_t in, stored;
  } cases[] = {{360000, 0}, {-90000, 270000}, {720001, 1}, {-1, 359999}, {INT32_MIN, NormalizeAngle(INT32_MIN)},
               {INT32_MAX, NormalizeAngle(INT32_MAX)}};
  for (const auto& c : cases) {
    arc->SetEndAngle(c.in);
    EXPECT_EQ(arc->GetEndAngle(), c.stored) << c.in;
    arc->Props().PropByName("BeginAngle")->SetPropValue({}, PropValue::Integer(c.in));
    EXPECT_EQ(arc->GetBeginAngle(), c.stored) << c.in;
  }
}

TEST_F(ShapesFixture, RotatingAnArcTurnsItsAngles) {
  auto* arc = Add<TVexaArc>({0, 0, 200000, 100000});
  arc->SetBeginAngle(0);
  arc->SetEndAngle(90000);
  arc->Rotate({0, 0, 90, false});
  EXPECT_EQ(arc->GetWidth(), 100000);
  EXPECT_EQ(arc->GetHeight(), 200000);
  EXPECT_EQ(arc->GetBeginAngle(), 90000);
  EXPECT_EQ(arc->GetEndAngle(), 180000);
  arc->Rotate({0, 0, 270, false});
  EXPECT_EQ(arc->GetBeginAngle(), 0);
  EXPECT_EQ(arc->GetEndAngle(), 90000);
  // Mirroring maps a to 180 - a and swaps the ends: the upper right quarter goes upper left.
  arc->Rotate({0, 0, 0, true});
  EXPECT_EQ(arc->GetBeginAngle(), 90000);
  EXPECT_EQ(arc->GetEndAngle(), 180000);
  // The handles moved with the angles.
  EXPECT_EQ(arc->GetPoint(0), (TPoint{100000, 0}));
  EXPECT_EQ(arc->GetPoint(1), (TPoint{0, 50000}));
}

TEST_F(ShapesFixture, AClearBoxOrEllipseIsHitOnItsOutline) {
  panel.scale = 100;  // one document unit in 1000 is a pixel
  auto* box = Add<TVexaBox>({0, 0, 100000, 60000});
  auto* ellipse = Add<TVexaEllipse>({200000, 0, 300000, 60000});
  const struct {
    TVexaControl* shape;
    TPoint middle, edge;
  } shapes[] = {{box, {50, 30}, {50, 0}}, {ellipse, {250, 30}, {250, 0}}};
  for (const auto& s : shapes) {
    const std::string name = s.shape->ClassName();
    EXPECT_FALSE(s.shape->IsPointInside(s.middle.x, s.middle.y)) << name;
    EXPECT_TRUE(s.shape->IsPointInside(s.edge.x, s.edge.y)) << name;
    EXPECT_TRUE(s.shape->IsPointInside(s.edge.x, s.edge.y - 1)) << name;
    EXPECT_FALSE(s.shape->IsPointInside(s.edge.x, s.edge.y - 5)) << name;
    panel.selectAsFilled = true;
    EXPECT_TRUE(s.shape->IsPointInside(s.middle.x, s.middle.y)) << name;
    panel.selectAsFilled = false;
  }
  box->SetHitAsFilled(true);
  EXPECT_TRUE(box->IsPointInside(50, 30));
  box->SetHitAsFilled(false);
  box->Brush().SetColor(canvas::clRed);
  ellipse->Brush().SetColor(canvas::clRed);
  EXPECT_TRUE(box->IsPointInside(50, 30));
  EXPECT_TRUE(ellipse->IsPointInside(250, 30));
  EXPECT_FALSE(ellipse->IsPointInside(201, 1));  // the bounding box's corner
  // A filled box without rounded corners is its rectangle, right and bottom excluded.
  EXPECT_FALSE(box->IsPointInside(100, 30));
  box->SetRoundness(40000);
  EXPECT_FALSE(box->IsPointInside(0, 0));
  EXPECT_TRUE(box->IsPointInside(50, 30));
}

TEST_F(ShapesFixture, SavedAndLoadedByteForByte) {
  auto* box = Add<TVexaBox>({1000, 2000, 51000, 32000});
  box->SetRoundness(8000);
  box->Brush().SetColor(canvas::clRed);
  box->Pen().SetWidth(3000);
  auto* ellipse = Add<TVexaEllipse>({0, 0, 40000, 20000});
  ellipse->Pen().SetColor(canvas::clBlue);
  auto* arc = Add<TVexaArc>({5000, 5000, 45000, 25000});
  arc->SetBeginAngle(270000);
  arc->SetEndAngle(360000);  // stored as 0, which is not written
  arc->Brush().SetColor(canvas::clLime);
  auto* pie = Add<TVexaArc>({0, 0, 10000, 10000});
  pie->SetBeginAngle(12345);
  pie->SetEndAngle(300000);
  const std::string text = panel.SaveText();
  EXPECT_NE(text.find("BeginAngle = 12345"), std::string::npos) << text;
  EXPECT_NE(text.find("Roundness = 8000"), std::string::npos) << text;
  EXPECT_EQ(text.find("EndAngle = 0"), std::string::npos) << text;

  TTestVexaPanel loaded;
  loaded.LoadText(text);
  EXPECT_EQ(loaded.SaveText(), text);
  const auto* loadedPie = dynamic_cast<const TVexaArc*>(loaded.Schemes().GetChild(0)->GetChild(3));
  ASSERT_NE(loadedPie, nullptr);
  EXPECT_EQ(loadedPie->GetPoint(0), pie->GetPoint(0));
  EXPECT_EQ(loadedPie->GetPoint(1), pie->GetPoint(1));
}

TEST_F(ShapesFixture, LoadedAnglesOutsideATurnAreNormalised) {
  auto* arc = Add<TVexaArc>({0, 0, 40000, 20000});
  arc->SetBeginAngle(90000);
  arc->SetEndAngle(180000);
  std::string text = panel.SaveText();
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"BeginAngle = 90000", "BeginAngle = -270000"},
                                 {"EndAngle = 180000", "EndAngle = 540000"}}) {
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, from.size(), to);
  }
  TTestVexaPanel loaded;
  loaded.LoadText(text);
  const auto* back = dynamic_cast<const TVexaArc*>(loaded.Schemes().GetChild(0)->GetChild(0));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->GetBeginAngle(), 90000);
  EXPECT_EQ(back->GetEndAngle(), 180000);
  EXPECT_EQ(back->GetPoint(1), (TPoint{0, 10000}));
}

}  // namespace
}  // namespace pv::graphics
