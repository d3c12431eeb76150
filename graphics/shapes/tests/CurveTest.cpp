// The curve control: its points and their change bracket, the rectangle kept on the path's
// bounds, resizing, point editing, the text format and undo.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "canvas/RecordingCanvas.h"
#include "controls/CopyToCurve.h"
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

// Putting back a rectangle and points as they stood together (a linked connector's route keeps
// its rectangle and is not shifted to it) gives exactly those: a fit would move the curve.
TEST_F(CurveFixture, RestoredPointsKeepTheRectangleTheyStoodIn) {
  auto* c = Curve({{0, 0}, {1000, 1000}}, {ptNode, ptEndNode});
  const TRect rect{-16000, -16000, 5000, 2000};
  const std::vector<TPoint> points{{16000, 17000}, {8000, 17000}, {8000, 8000}};
  const std::vector<uint8_t> types{ptNode, ptNode, ptEndNode};
  c->RestorePoints(rect, points, types);
  EXPECT_EQ(c->GetDocRect(), rect);
  EXPECT_EQ(Points(*c), points);
  // A later change of the points fits them as ever.
  c->SetPointsEx(points, types);
  EXPECT_EQ(c->GetLeft(), -8000);
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{8000, 9000}, {0, 9000}, {0, 0}}));
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
  // A lone point on the largest coordinate: the rectangle ends at the edge of the range
  // instead of wrapping round to the most negative one, and the curve still paints.
  auto* e = Curve({{-64510, INT32_MAX}}, {ptEndNode});
  const TRect r = e->GetDocRect();
  EXPECT_EQ(r.top, INT32_MAX);
  EXPECT_EQ(r.bottom, INT32_MAX);
  EXPECT_LE(r.left, r.right);
  pv::canvas::RecordingCanvas canvas({64, 64});
  e->Paint(canvas, {0, 0, 64, 64});
}

// Points whose fit would carry the rectangle's far edge past the coordinate range keep their
// extent, and the rectangle stops at the edge of the range, as a drag does: a rectangle that
// reached beyond it would come back from an undo step narrower than it was.
TEST_F(CurveFixture, AFitStopsTheRectangleAtTheEdgeOfTheRange) {
  struct Case {
    const char* what;
    TRect start;
    std::vector<TPoint> points;
    TRect fitted;
  };
  const Case cases[] = {
      {"right", {1000, 2000, 2000, 3000}, {{50000, 0}, {INT32_MAX, 1000}}, {50000, 2000, INT32_MAX, 3000}},
      {"bottom", {1000, 2000, 2000, 3000}, {{0, 70000}, {1000, INT32_MAX}}, {1000, 70000, 2000, INT32_MAX}},
      {"left", {-5000, 0, 0, 1000}, {{INT32_MIN, 0}, {INT32_MIN + 3000, 1000}}, {INT32_MIN, 0, INT32_MIN + 3000, 1000}},
      {"within", {1000, 2000, 2000, 3000}, {{4000, 0}, {INT32_MAX - 1000, 1000}}, {5000, 2000, INT32_MAX, 3000}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    panel.History().SetActive(false);
    auto* c = Curve({{0, 0}, {1000, 1000}}, {ptNode, ptEndNode});
    c->SetDocRect(k.start);
    c->SetPointsEx(k.points, {ptNode, ptEndNode});
    EXPECT_EQ(c->GetDocRect(), k.fitted);
    EXPECT_EQ(int64_t{c->GetLeft()} + c->GetWidth(), int64_t{k.fitted.right});
    EXPECT_EQ(int64_t{c->GetTop()} + c->GetHeight(), int64_t{k.fitted.bottom});
    // A move and its undo give back the curve as it was.
    panel.History().SetActive(true);
    const std::string before = panel.SaveText();
    c->BeginUpdate();
    c->SetLeft(c->GetLeft() + (k.fitted.left > 0 ? -1000 : 1000));
    c->EndUpdate();
    ASSERT_TRUE(panel.History().Undo());
    EXPECT_EQ(panel.SaveText(), before);
    c->Free();
  }
}

TEST_F(CurveFixture, ABezierPathIsBoundedByItsCurveNotByItsControlPoints) {
  // The arch peaks at 3/4 of the control points' height.
  auto* c = Curve({{0, 0}, {0, -100000}, {100000, -100000}, {100000, 0}}, {0, 3, 3, 1});
  EXPECT_EQ(c->GetWidth(), 100000);
  EXPECT_NEAR(c->GetHeight(), 75000, 2);
  EXPECT_NEAR(c->GetPoint(1).y, -25000, 2);  // the control points lie above the rectangle
  EXPECT_NEAR(c->GetPoint(0).y, 75000, 2);
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

TEST_F(CurveFixture, CopyingACurveIntoANewOneTakesItsLookAndItsPoints) {
  auto* a = Curve({{0, 0}, {4000, 1000}, {6000, 3000}, {9000, 0}}, {0, 3, 3, 1});
  a->SetDocRect({7000, 8000, 16000, 11000});
  a->Pen().SetWidth(4000);
  a->EndCap().SetCapStyle(-3);
  auto* b = TVexaControl::New<TVexaCurve>(&panel, Scheme(), panel.GetActiveLayer());
  ASSERT_TRUE(CopyControlToCurve(*a, *b));
  EXPECT_EQ(Points(*b), Points(*a));
  EXPECT_EQ(Types(*b), Types(*a));
  EXPECT_EQ(b->GetDocRect(), a->GetDocRect());
  EXPECT_EQ(b->Pen().GetWidth(), 4000);
  EXPECT_EQ(b->EndCap().GetCapStyle(), -3);
  EXPECT_FALSE(b->IsFresh());
}

TEST_F(CurveFixture, PaintPointsAreThePixelPointsOfTheControl) {
  auto* c = Curve({{0, 0}, {12345, -678}, {-999, 55555}, {1500, 2500}}, {0, 3, 3, 1});
  c->SetLeft(-7777);
  c->SetTop(123457);
  for (int32_t scale : {1, 33, 100, 150, 2000}) {
    for (TPoint origin : {TPoint{0, 0}, TPoint{-13, 250}}) {
      std::vector<TPoint> want;
      std::vector<TPoint> got;
      c->GetPixelPoints(want, origin.x, origin.y, scale);
      c->GetPaintPoints(got, origin.x, origin.y, scale);
      EXPECT_EQ(got, want) << scale;
    }
  }
}

TEST_F(CurveFixture, HitTestsTheOutlineWithinHalfOfFourPixelsAndThePenAndTheFillWhenThereIsOne) {
  auto* line = Curve({{0, 0}, {50000, 0}}, {ptNode, ptEndNode});
  line->SetDocRect({10000, 10000, 60000, 10001});
  auto* square = Curve({{0, 0}, {40000, 0}, {40000, 40000}, {0, 40000}}, {0, 0, 0, 2});
  square->SetLeft(100000);
  square->SetTop(0);
  struct Case {
    const char* what;
    TVexaCurve* curve;
    TPoint pixel;
    bool hit;
  };
  // t = (4 pixels + 1 pixel of pen) / 2 = 2.5 pixels at scale 100.
  const Case outline[] = {
      {"on the line", line, {30, 10}, true},
      {"2 pixels off", line, {30, 12}, true},
      {"3 pixels off", line, {30, 13}, false},
      {"beyond its end", line, {70, 10}, false},
      {"on the square's edge", square, {100, 20}, true},
      {"inside the square, clear brush", square, {120, 20}, false},
  };
  for (const Case& c : outline) EXPECT_EQ(c.curve->IsPointInside(c.pixel.x, c.pixel.y), c.hit) << c.what;
  panel.selectAsFilled = true;
  EXPECT_TRUE(square->IsPointInside(120, 20));
  panel.selectAsFilled = false;
  square->Brush().SetColor(0x00FF00);
  EXPECT_TRUE(square->IsPointInside(120, 20));
  EXPECT_FALSE(square->IsPointInside(150, 20));
  // Without a pen only the fill is hit.
  square->Pen().SetColor(canvas::clNone);
  square->Brush().SetColor(canvas::clNone);
  EXPECT_FALSE(square->IsPointInside(100, 20));
  EXPECT_EQ(panel.GetActiveScheme()->FindControlAt(30, 11), line);
}

TEST_F(CurveFixture, RefreshRectangleGrowsByThePenAndTheLargerCap) {
  auto* c = Curve({{0, 0}, {10000, 5000}}, {ptNode, ptEndNode});
  EXPECT_EQ(c->GetRefreshRect(0, 0), (TRect{-3000, -3000, 13000, 8000}));  // pen 1000 + 2000
  c->Pen().SetColor(canvas::clNone);
  EXPECT_EQ(c->GetRefreshRect(0, 0), (TRect{0, 0, 10000, 5000}));
  c->Pen().SetColor(0);
  c->Pen().SetWidth(2000);
  c->EndCap().SetCapStyle(-6);  // 1.7 a long for a = 6000 + 2 x 2000
  EXPECT_EQ(c->GetRefreshRect(0, 0), (TRect{-21000, -21000, 31000, 26000}));
  // Near the int32 limits the rectangle is clamped, not wrapped.
  const TRect far = c->GetRefreshRect(INT32_MAX - 10, INT32_MIN + 10);
  EXPECT_EQ(far.right, INT32_MAX);
  EXPECT_EQ(far.top, INT32_MIN);
  EXPECT_LT(far.left, far.right);
}

TEST_F(CurveFixture, PointChangesNotifyEditPointsAndOneRectangleChange) {
  auto* c = Curve({{0, 0}, {1000, 1000}, {500, 500}}, {ptNode, ptNode, ptEndNode});
  panel.notifications.clear();
  c->SetPoint(0, {-500, 0});
  auto count = [&](TVexaNotify n) {
    return std::count(panel.notifications.begin(), panel.notifications.end(), std::pair<TVexaControl*, TVexaNotify>{c, n});
  };
  EXPECT_EQ(count(TVexaNotify::fnEditPoints), 1);
  EXPECT_EQ(count(TVexaNotify::fnRect), 1);
  panel.notifications.clear();
  // Points moved inside their bounds leave the rectangle alone.
  c->SetPoint(2, {200, 300});
  EXPECT_EQ(count(TVexaNotify::fnEditPoints), 1);
  EXPECT_EQ(count(TVexaNotify::fnRect), 0);
  // An update bracket gathers its changes into one refit at its end.
  panel.notifications.clear();
  c->BeginUpdate();
  c->SetPoint(0, {-100, -100});
  c->SetPoint(1, {3000, 3000});
  EXPECT_EQ(count(TVexaNotify::fnEditPoints), 0);
  c->EndUpdate();
  EXPECT_EQ(count(TVexaNotify::fnEditPoints), 1);
  EXPECT_EQ(c->GetWidth(), 3100);
}

TEST_F(CurveFixture, ATransformationScalesAndMirrorsFromThePointsItBeganWith) {
  auto* c = Curve({{0, 0}, {1000, 0}, {1000, 500}}, {ptNode, ptNode, ptEndNode});
  c->SetDocRect({0, 0, 1000, 500});
  c->BeginTransformation({0, 0});
  for (int32_t w : {3000, 1500, 2000}) c->SetDocRect({0, 0, w, 1000});
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{0, 0}, {2000, 0}, {2000, 1000}}));
  // Undo of the change goes back to the state before the transformation.
  TRect rect;
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  c->GetPointsForUndo(rect, points, types);
  EXPECT_EQ(rect, (TRect{0, 0, 1000, 500}));
  EXPECT_EQ(points, (std::vector<TPoint>{{0, 0}, {1000, 0}, {1000, 500}}));
  c->Mirror(true, false);
  c->SetDocRect({0, 0, 1000, 500});
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{1000, 0}, {0, 0}, {0, 500}}));
  c->EndTransformation();
  c->Mirror(true, true);  // outside a transformation: nothing
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{1000, 0}, {0, 0}, {0, 500}}));
}

// A transformation whose origin lies more than the int32 range away (the corner of a selection
// reaching from one end of the range to the other) still scales from, and undoes to, the
// rectangle the curve had.
TEST_F(CurveFixture, ATransformationFromAFarOriginKeepsTheRectangleItBeganWith) {
  const TPoint origins[] = {{0, 0}, {0, INT32_MIN}, {INT32_MIN, 0}, {INT32_MIN, INT32_MIN}, {-5000, INT32_MIN}};
  for (const TPoint origin : origins) {
    SCOPED_TRACE(testing::Message() << "origin " << origin.x << ", " << origin.y);
    auto* c = Curve({{0, 0}, {1000, 0}, {1000, 500}}, {ptNode, ptNode, ptEndNode});
    c->SetDocRect({1000, 2000, 2000, 2500});
    c->BeginTransformation(origin);
    c->SetDocRect({1000, 2000, 3000, 3000});
    EXPECT_EQ(Points(*c), (std::vector<TPoint>{{0, 0}, {2000, 0}, {2000, 1000}}));
    TRect rect;
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    c->GetPointsForUndo(rect, points, types);
    EXPECT_EQ(rect, (TRect{1000, 2000, 2000, 2500}));
    EXPECT_EQ(points, (std::vector<TPoint>{{0, 0}, {1000, 0}, {1000, 500}}));
    c->EndTransformation();
  }
}

TEST_F(CurveFixture, RotatingTurnsThePointsAndRefitsTheRectangle) {
  auto* c = Curve({{0, 0}, {1000, 0}, {1000, 500}}, {ptNode, ptNode, ptEndNode});
  c->SetDocRect({10000, 10000, 11000, 10500});
  c->Rotate({10000, 10000, 90, false});  // counter-clockwise on screen about the top-left
  EXPECT_EQ(c->GetDocRect(), (TRect{10000, 9000, 10500, 10000}));
  EXPECT_EQ(Points(*c), (std::vector<TPoint>{{0, 1000}, {0, 0}, {500, 0}}));
}

TEST_F(CurveFixture, EditingOperations) {
  auto* c = Curve({{0, 0}, {1000, 0}, {2000, 0}}, {ptNode, ptNode, ptEndNode});
  // A node inserted on the path nearest the position (pixels at scale 100).
  const int index = c->InsertPointAtPos({1, 0});
  EXPECT_EQ(index, 1);
  EXPECT_EQ(c->GetPointsCount(), 4);
  EXPECT_EQ(c->GetPoint(1), (TPoint{1000, 0}));
  // Lines to curves and back: flattening gives straight segments only.
  std::vector<uint8_t> all(4, 1);
  ASSERT_TRUE(c->GetEditPointsCaps(&all) & (1u << 5));
  ASSERT_TRUE(c->EditPoints(5, &all, {}));
  EXPECT_GT(c->GetPointsCount(), 4);
  EXPECT_TRUE(c->GetPathInfo()->anyCurves);
  c->MovePathSegment(0, 3, 0.5, {0, 3000});
  EXPECT_GT(c->GetHeight(), 1);
  ASSERT_TRUE(c->FlattenPoints(1.0));
  EXPECT_FALSE(c->GetPathInfo()->anyCurves);
  EXPECT_TRUE(c->PathHitTest(c->GetPoint(0), 1));
  int32_t start = -1;
  int32_t next = -1;
  EXPECT_TRUE(c->FindNearestPathPoint(c->GetPoint(1), start, next));
  EXPECT_EQ(start, 0);
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
