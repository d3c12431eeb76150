// The curve control: its points and their change bracket, the rectangle kept on the path's
// bounds, resizing, point editing, the text format and undo.

#include <gtest/gtest.h>

#include <climits>

#include "document/testing/TestVexaPanel.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaCurve.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

struct CurveFixture : ::testing::Test {
  CurveFixture() {
    RegisterShapeClasses();
    panel.NewDocument();
  }
  TVexaControl* Scheme() { return panel.GetActiveScheme(); }
  TVexaCurve* Curve(const std::vector<TPoint>& points, const std::vector<uint8_t>& types) {
    auto* c = TVexaControl::New<TVexaCurve>(&panel, Scheme(), panel.GetActiveLayer());
    c->SetPointsEx(points, types);
    return c;
  }
  static std::vector<TPoint> Points(const TVexaCurve& c) {
    std::vector<TPoint> p;
    std::vector<uint8_t> t;
    c.GetPointsEx(p, t);
    return p;
  }
  static std::vector<uint8_t> Types(const TVexaCurve& c) {
    std::vector<TPoint> p;
    std::vector<uint8_t> t;
    c.GetPointsEx(p, t);
    return t;
  }
  TTestVexaPanel panel;
};

TEST_F(CurveFixture, ANewCurveIsTwoPointsAtTheOriginWithItsDefaults) {
  auto* c = TVexaControl::New<TVexaCurve>(&panel, Scheme(), panel.GetActiveLayer());
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{0, 0}, {0, 0}}));
  EXPECT_EQ(Types(*c), (std::vector<uint8_t>{ptNode, ptEndNode}));
  EXPECT_TRUE(c->IsFresh());
  EXPECT_TRUE(c->GetVisible());
  EXPECT_FALSE(c->GetIsSolid());
  EXPECT_EQ(c->Brush().GetColor(), canvas::clNone);
  EXPECT_EQ(c->Brush().GetStyle(), canvas::BrushStyle::Solid);
  EXPECT_EQ(c->GetCreateCursor(), 12);
  EXPECT_EQ(FindControlClass("TVexaCurve"), &TVexaCurve::ClassInfo);
  // Drawn by dragging: the rectangle set, the curve runs corner to corner.
  c->SetDocRect({1000, 2000, 31000, 12000});
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{0, 0}, {30000, 10000}}));
  EXPECT_FALSE(c->IsFresh());
}

TEST_F(CurveFixture, PointsAreShiftedSoThatTheirBoundsStartAtTheOrigin) {
  auto* c = Curve({{0, 0}, {1000, 1000}}, {ptNode, ptEndNode});
  c->SetDocRect({10000, 10000, 11000, 11000});
  const TRect before = c->GetDocRect();
  c->SetPointsEx({{-5, -5}, {10, 10}}, {ptNode, ptEndNode});
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{0, 0}, {15, 15}}));
  EXPECT_EQ(c->GetLeft(), before.left - 5);
  EXPECT_EQ(c->GetTop(), before.top - 5);
  EXPECT_EQ(c->GetWidth(), 15);
  EXPECT_EQ(c->GetHeight(), 15);
}

TEST_F(CurveFixture, ExtremePointsGiveWidthsWithoutWrapping) {
  // Points near both int32 limits: their extent does not fit an int32; the rectangle is
  // clamped rather than wrapped to a negative width.
  auto* c = Curve({{INT32_MIN + 1, 0}, {INT32_MAX - 1, 10}}, {ptNode, ptEndNode});
  EXPECT_GT(c->GetWidth(), 0);
  EXPECT_EQ(c->GetWidth(), INT32_MAX);
  for (const TPoint& p : Points(*c)) EXPECT_GE(p.x, 0);
  // The widest extent that fits is kept exactly.
  auto* d = Curve({{-1000000000, 0}, {1000000000, 10}}, {ptNode, ptEndNode});
  EXPECT_EQ(d->GetWidth(), 2000000000);
  EXPECT_EQ(Points(*d)[1].x, 2000000000);
}

TEST_F(CurveFixture, ResizingScalesThePoints) {
  auto* c = Curve({{0, 0}, {100000, 50000}, {40000, 20000}}, {ptNode, ptNode, ptEndNode});
  c->SetWidth(200000);
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{0, 0}, {200000, 50000}, {80000, 20000}}));
  c->SetDocRect({0, 0, 100000, 25000});
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{0, 0}, {100000, 25000}, {40000, 10000}}));
  // Moving is no resize.
  c->SetLeft(5000);
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{0, 0}, {100000, 25000}, {40000, 10000}}));
}

TEST_F(CurveFixture, IsSolidFollowsAndClosesTheLastFigure) {
  auto* c = Curve({{0, 0}, {100, 0}, {100, 100}}, {ptNode, ptNode, ptEndNode});
  EXPECT_FALSE(c->GetIsSolid());
  c->SetIsSolid(true);
  EXPECT_EQ(Types(*c).back(), ptEndNodeClose);
  c->SetIsSolid(false);
  EXPECT_EQ(Types(*c).back(), ptEndNode);
  c->SetPointsEx({{0, 0}, {100, 0}, {0, 100}, {5, 5}, {50, 50}}, {ptNode, ptEndNode, ptNode, ptNode, ptEndNodeClose});
  EXPECT_TRUE(c->GetIsSolid());
}

TEST_F(CurveFixture, DeletingPoints) {
  struct Case {
    const char* what;
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    int index;
    std::vector<TPoint> wantPoints;
    std::vector<uint8_t> wantTypes;
  };
  const Case cases[] = {
      {"last of a closed figure: the previous node closes it",
       {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, {0, 0, 0, 2}, 3,
       {{0, 0}, {100, 0}, {100, 100}}, {0, 0, 2}},
      {"last of an open figure",
       {{0, 0}, {100, 0}, {100, 100}}, {0, 0, 1}, 2,
       {{0, 0}, {100, 0}}, {0, 1}},
      {"a middle node",
       {{0, 0}, {100, 0}, {100, 100}}, {0, 0, 1}, 1,
       {{0, 0}, {100, 100}}, {0, 1}},
      {"a control point is kept",
       {{0, 0}, {30, 0}, {60, 0}, {100, 0}}, {0, 3, 3, 1}, 1,
       {{0, 0}, {30, 0}, {60, 0}, {100, 0}}, {0, 3, 3, 1}},
      {"a node between two curves: the previous curve ends with the far control point",
       {{0, 0}, {10, 0}, {20, 0}, {50, 50}, {60, 0}, {70, 0}, {100, 0}}, {0, 3, 3, 0, 3, 3, 1}, 3,
       {{0, 0}, {10, 0}, {70, 0}, {100, 0}}, {0, 3, 3, 1}},
  };
  for (const Case& k : cases) {
    auto* c = Curve(k.points, k.types);
    c->DeletePoint(k.index);
    EXPECT_EQ(Points(*c), k.wantPoints) << k.what;
    EXPECT_EQ(Types(*c), k.wantTypes) << k.what;
  }
}

TEST_F(CurveFixture, InsertingAndAppendingPointsKeepsTheFiguresWhole) {
  auto* c = Curve({{0, 0}, {100, 0}}, {ptNode, ptEndNode});
  EXPECT_EQ(c->AddPoint({100, 100}), 2);
  EXPECT_EQ(Types(*c), (std::vector<uint8_t>{ptNode, ptNode, ptEndNode}));
  EXPECT_EQ(c->InsertPoint(1, {50, 10}), 1);
  EXPECT_EQ(Points(*c)[1], (TPoint{50, 10}));
  EXPECT_EQ(c->AddCurvePoint({200, 100}, {150, 150}, {180, 150}), 4);
  EXPECT_EQ(c->AddPoint({300, 0}), 7);
  EXPECT_EQ(Types(*c), (std::vector<uint8_t>{ptNode, ptNode, ptNode, ptNode, ptNode, ptControl, ptControl, ptEndNode}));
  EXPECT_EQ(c->InsertPoint(5, {0, 0}), -1);  // onto a control point
  EXPECT_EQ(c->GetLinkPointCount(), 6);
  EXPECT_EQ(c->GetLinkPoint(5), Points(*c)[7]);
}

TEST_F(CurveFixture, ACurveOnALayerThatIsNotMoveableKeepsItsPoints) {
  auto* c = Curve({{0, 0}, {100, 100}}, {ptNode, ptEndNode});
  auto* layer = dynamic_cast<TVexaLayer*>(panel.GetActiveLayer());
  ASSERT_NE(layer, nullptr);
  layer->SetMoveable(false);
  c->SetPoint(1, {200, 300});
  c->SetPointType(1, ptEndNodeClose);
  EXPECT_EQ(Points(*c)[1], (TPoint{100, 100}));
  EXPECT_EQ(Types(*c)[1], ptEndNode);
  layer->SetMoveable(true);
  c->SetPoint(1, {200, 300});
  EXPECT_EQ(Points(*c)[1], (TPoint{200, 300}));
}

TEST_F(CurveFixture, SavedAndLoadedTheSameByBytes) {
  auto* c = Curve({{0, 0}, {10000, 0}, {15000, 5000}, {20000, 20000}, {0, 20000}}, {0, 3, 3, 0, 2});
  c->SetName("curve");
  c->Pen().SetWidth(3000);
  c->BeginCap().SetCapStyle(-2);
  c->Brush().SetColor(0x00FF00);
  const std::string text = panel.SaveText();
  EXPECT_NE(text.find("PathPoints"), std::string::npos);
  EXPECT_EQ(text.find("property Points"), std::string::npos);
  TTestVexaPanel other;
  other.LoadText(text);
  EXPECT_EQ(other.SaveText(), text);
  auto* loaded = dynamic_cast<TVexaCurve*>(other.GetActiveScheme()->FindChildByName("curve"));
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(Points(*loaded), Points(*c));
  EXPECT_EQ(Types(*loaded), Types(*c));
  EXPECT_TRUE(loaded->GetIsSolid());
  EXPECT_FALSE(loaded->IsFresh());
}

TEST_F(CurveFixture, PointChangesAreUndoneAndRedone) {
  auto* c = Curve({{0, 0}, {10000, 0}, {10000, 10000}}, {ptNode, ptNode, ptEndNode});
  c->SetDocRect({5000, 5000, 15000, 15000});
  panel.History().SetActive(true);
  struct Step {
    const char* what;
    std::function<void()> change;
  };
  const Step steps[] = {
      {"SetPoint beyond the left", [&] { c->SetPoint(0, {-3000, -2000}); }},
      {"SetPointsEx", [&] { c->SetPointsEx({{0, 0}, {500, 500}, {0, 900}}, {0, 0, 2}); }},
      {"SetPointType", [&] { c->SetPointType(2, ptEndNode); }},
      {"resize", [&] { c->SetWidth(c->GetWidth() * 3); }},
      {"rotate", [&] { c->Rotate({5000, 5000, 90, false}); }},
      {"edit points", [&] {
         const std::vector<uint8_t> sel(static_cast<size_t>(c->GetPointsCount()), 1);
         c->EditPoints(0, &sel, {700, -300});
       }},
  };
  for (const Step& s : steps) {
    const std::string before = panel.SaveText();
    const int start = panel.History().ActionIndex();
    s.change();
    const std::string after = panel.SaveText();
    ASSERT_NE(after, before) << s.what;
    const int count = panel.History().ActionIndex() - start;
    ASSERT_GT(count, 0) << s.what;
    for (int i = 0; i < count; ++i) ASSERT_TRUE(panel.History().Undo()) << s.what;
    EXPECT_EQ(panel.SaveText(), before) << s.what;
    for (int i = 0; i < count; ++i) ASSERT_TRUE(panel.History().Redo()) << s.what;
    EXPECT_EQ(panel.SaveText(), after) << s.what;
  }
}

}  // namespace
}  // namespace pv::graphics
