// Control geometry: rotation, link points that follow their control, path point editing
// through the generic points interface, and hit testing.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "controls/LinkProps.h"
#include "document/Group.h"
#include "document/testing/TestVexaPanel.h"
#include "paths/PathTypes.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

// A control with path points, as curves have.
class TPathControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  int GetPointsCount() const override { return static_cast<int>(points.size()); }
  TPoint GetPoint(int i) const override { return points[static_cast<size_t>(i)]; }
  void SetPoint(int i, TPoint p) override { points[static_cast<size_t>(i)] = p; }
  uint8_t GetPointType(int i) const override { return types[static_cast<size_t>(i)]; }
  void SetPointType(int i, uint8_t t) override { types[static_cast<size_t>(i)] = t; }
  void GetPointsEx(std::vector<TPoint>& p, std::vector<uint8_t>& t) const override {
    p = points;
    t = types;
  }
  void SetPointsEx(const std::vector<TPoint>& p, const std::vector<uint8_t>& t) override {
    points = p;
    types = t;
  }
  bool GetIsPointsClosed() const override { return closed; }
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  bool closed = false;
};
const TVexaControlClass TPathControl::ClassInfo{{"TPathControl", &TVexaControl::ClassInfo.ref},
                                                &TVexaControl::Creator<TPathControl>};

// A control with one link-point end, as a connector has.
class TEndControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  TLinkPointProp* end = nullptr;

 protected:
  void CreateProperties() override {
    TVexaControl::CreateProperties();
    end = TLinkPointProp::CreateIn(Props(), "End");
  }
};
const TVexaControlClass TEndControl::ClassInfo{{"TEndControl", &TVexaControl::ClassInfo.ref},
                                               &TVexaControl::Creator<TEndControl>};

struct GeometryFixture : ::testing::Test {
  GeometryFixture() { panel.NewDocument(); }
  TVexaControl* Scheme() { return panel.GetActiveScheme(); }
  TVexaControl* Box(TVexaControl* parent, const TRect& r) {
    TVexaControl* c = TVexaControl::New<TVexaControl>(&panel, parent, panel.GetActiveLayer());
    c->SetVisible(true);
    c->SetDocRect(r);
    return c;
  }
  int Rects(TVexaControl* c) const {
    return static_cast<int>(
        std::count(panel.notifications.begin(), panel.notifications.end(), std::pair{c, TVexaNotify::fnRect}));
  }
  TTestVexaPanel panel;
};

TEST(Rotation, PointsAndRectanglesTurnAboutTheCentre) {
  struct Case {
    TPoint p;
    TRotateRec r;
    TPoint want;
  };
  const Case cases[] = {
      {{10, 0}, {0, 0, 90, false}, {0, -10}},  // counter-clockwise on a y-down screen
      {{10, 0}, {0, 0, 180, false}, {-10, 0}},
      {{10, 0}, {0, 0, 0, true}, {-10, 0}},
      {{15, 5}, {5, 5, 90, true}, {5, 15}},  // mirrored first, then turned
      {{3, 4}, {0, 0, 45, false}, {5, 1}},   // (4.95, 0.71) rounded to nearest
  };
  for (const Case& c : cases) EXPECT_EQ(RotatePoint(c.p, c.r), c.want) << c.p.x << "," << c.p.y;
  EXPECT_EQ(RotateRect({0, 0, 100, 50}, {0, 0, 90, false}), (TRect{0, -100, 50, 0}));
}

TEST_F(GeometryFixture, RotatingABoxAboutItsCornerSwapsItsSides) {
  TVexaControl* c = Box(Scheme(), {1000, 1000, 101000, 51000});
  c->RotateAll({1000, 1000, 90, false});
  EXPECT_EQ(c->GetDocRect(), (TRect{1000, -99000, 51000, 1000}));
}

TEST_F(GeometryFixture, LinkPointsFollowTheirControl) {
  TVexaControl* target = Box(Scheme(), {0, 0, 10000, 10000});
  auto* end = TVexaControl::New<TEndControl>(&panel, Scheme(), panel.GetActiveLayer());
  end->end->SetLinkPoint({10000, 5000});  // the middle of the right edge
  end->end->SetLinkedControl(target);
  ASSERT_EQ(target->GetLinkPointsCount(), 1);
  target->SetLeft(2000);
  EXPECT_EQ(end->end->GetLinkPoint(), (TPoint{12000, 5000}));
  target->SetDocRect({0, 0, 20000, 40000});
  EXPECT_EQ(end->end->GetLinkPoint(), (TPoint{20000, 20000}));
  target->RotateAll({0, 0, 90, false});
  EXPECT_EQ(end->end->GetLinkPoint(), (TPoint{20000, -20000}));
  EXPECT_EQ(target->GetDocRect(), (TRect{0, -20000, 40000, 0}));
  // The link does not take the control that owns it, nor the same control twice.
  end->end->SetLinkedControl(end);
  EXPECT_EQ(end->end->LinkedControl(), target);
  EXPECT_THROW(target->DeleteLinkPoint(3), EListError);
  try {
    target->GetLinkPointAt(-1);
  } catch (const EListError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
  }
  // Whichever goes first, nothing points at it afterwards.
  end->Free();
  EXPECT_EQ(target->GetLinkPointsCount(), 0);
  auto* other = TVexaControl::New<TEndControl>(&panel, Scheme(), panel.GetActiveLayer());
  other->end->SetLinkedControl(target);
  target->Free();
  EXPECT_EQ(other->end->LinkedControl(), nullptr);
  TPropList loose;
  EXPECT_THROW(TLinkPointProp::CreateIn(loose, "End"), std::runtime_error);
}

TEST_F(GeometryFixture, LinkPointsCarriedPastTheEdgeOfTheRangeStopThere) {
  // A link point far across the range from its control: the distance between them does not
  // fit in 32 bits, and a move of the control carries the point past the largest x.
  const int32_t edge = INT32_MIN + 1000;
  TVexaControl* target = Box(Scheme(), {edge, 0, edge + 10000, 10000});
  auto* end = TVexaControl::New<TEndControl>(&panel, Scheme(), panel.GetActiveLayer());
  end->end->SetLinkPoint({INT32_MAX - 10, 5000});
  end->end->SetLinkedControl(target);
  target->SetLeft(edge + 1000);
  EXPECT_EQ(end->end->GetLinkPoint(), (TPoint{INT32_MAX, 5000}));
  // A control point dragged past the edge stops there too.
  auto* path = TVexaControl::New<TPathControl>(&panel, Scheme(), panel.GetActiveLayer());
  path->points = {{0, 0}, {INT32_MAX - 10, 0}, {0, 10}, {0, 20}};
  path->types = {ptNode, ptControl, ptControl, ptEndNode};
  path->MovePathPoint(1, {100, 0}, true, false, nullptr);
  EXPECT_EQ(path->points[1].x, INT32_MAX);
}

TEST_F(GeometryFixture, LinkPointsInsideASizedGroupScaleFromWhereTheyStarted) {
  TVexaGroup* g = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  TVexaControl* a = Box(g, {0, 0, 10000, 10000});
  Box(g, {30000, 0, 40000, 10000});
  auto* end = TVexaControl::New<TEndControl>(&panel, Scheme(), panel.GetActiveLayer());
  end->end->SetLinkPoint({10000, 10000});
  end->end->SetLinkedControl(a);
  g->SetWidth(80000);
  EXPECT_EQ(a->GetDocRect(), (TRect{0, 0, 20000, 10000}));
  EXPECT_EQ(end->end->GetLinkPoint(), (TPoint{20000, 10000}));
  a->Mirror(true, false);  // outside a transformation: nothing
  EXPECT_EQ(end->end->GetLinkPoint(), (TPoint{20000, 10000}));
  // Moving the group carries the point of a control inside it.
  g->SetLeft(g->GetLeft() + 5000);
  g->SetTop(g->GetTop() - 1000);
  EXPECT_EQ(a->GetDocRect(), (TRect{5000, -1000, 25000, 9000}));
  EXPECT_EQ(end->end->GetLinkPoint(), (TPoint{25000, 9000}));
}

TEST_F(GeometryFixture, AGroupTurnsAsOneAndSendsOneRectangleNotification) {
  TVexaGroup* g = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  TVexaControl* a = Box(g, {0, 0, 10000, 2000});
  TVexaControl* b = Box(g, {0, 8000, 2000, 10000});
  panel.notifications.clear();
  g->RotateAll({5000, 5000, 90, false});
  EXPECT_EQ(Rects(g), 1);
  EXPECT_EQ(a->GetDocRect(), (TRect{0, 0, 2000, 10000}));
  EXPECT_EQ(b->GetDocRect(), (TRect{8000, 8000, 10000, 10000}));
  EXPECT_EQ(g->GetDocRect(), (TRect{0, 0, 10000, 10000}));
}

TEST_F(GeometryFixture, NodesAndPointsAreCountedPastControlPoints) {
  auto* p = TVexaControl::New<TPathControl>(&panel, Scheme(), panel.GetActiveLayer());
  p->SetPointsEx({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}}, {ptNode, ptControl, ptControl, ptNode, ptEndNode});
  EXPECT_EQ(p->GetNodesCount(), 3);
  EXPECT_EQ(p->GetNodeIndex(1), -1);
  EXPECT_EQ(p->GetNodeIndex(3), 1);
  EXPECT_EQ(p->GetPointIndex(1), 3);
  EXPECT_EQ(p->GetPointIndex(3), -1);
  TVexaControl* plain = Box(Scheme(), {0, 0, 1, 1});
  EXPECT_EQ(plain->GetNodesCount(), 0);
  p->SetPoints({{0, 0}, {5, 5}});
  EXPECT_EQ(p->types, (std::vector<uint8_t>{ptNode, ptEndNode}));
}

TEST_F(GeometryFixture, PixelPointsAndClosingTheLastNode) {
  auto* p = TVexaControl::New<TPathControl>(&panel, Scheme(), panel.GetActiveLayer());
  p->SetDocRect({10000, 20000, 30000, 40000});
  p->SetPointsEx({{0, 0}, {1500, 2500}, {20000, 20000}, {5000, 5000}}, {ptNode, ptNode, ptEndNode, ptControl});
  std::vector<TPoint> pixels;
  p->GetPixelPoints(pixels, 3, 4, 50);  // half scale, top-left drawn at (3, 4)
  EXPECT_EQ(pixels, (std::vector<TPoint>{{3, 4}, {4, 5}, {13, 14}, {6, 7}}));
  p->SetLastPointClosed(true);
  EXPECT_EQ(p->types[2], ptEndNodeClose);
  EXPECT_EQ(p->types[3], ptControl);
  // The base control answers the points interface with nothing.
  TVexaControl* plain = Box(Scheme(), {0, 0, 1, 1});
  EXPECT_EQ(plain->AddPoint({1, 1}), -1);
  EXPECT_EQ(plain->CreateCurveControl(), nullptr);
  TVexaControl::TEndPointsInfo info;
  plain->GetEndPointsInfo(info);
  EXPECT_FALSE(info.hasEndPoints);
  EXPECT_FALSE(info.movable);
  EXPECT_TRUE(plain->GetIsPointsClosed());
}

TEST_F(GeometryFixture, TheEditPointGuideShowsWhereANewPointGoes) {
  auto* p = TVexaControl::New<TPathControl>(&panel, Scheme(), panel.GetActiveLayer());
  p->SetDocRect({10000, 0, 30000, 10000});
  p->SetPointsEx({{0, 0}, {20000, 0}}, {ptNode, ptEndNode});
  TVexaControl::TEditPointGuide guide;
  p->GetEditPointGuide({15, 1}, guide);  // on the segment, near its middle
  ASSERT_EQ(guide.count, 3);
  EXPECT_EQ(guide.points[0], (TPoint{0, 0}));
  EXPECT_EQ(guide.points[2], (TPoint{20000, 0}));
  EXPECT_EQ(guide.selection, (std::vector<uint8_t>{0, 1, 0}));
  EXPECT_EQ(guide.position, guide.points[1]);
  EXPECT_NEAR(guide.position.x, 5000, 1000);
  p->GetEditPointGuide({45, 0}, guide);  // beyond the open end
  ASSERT_EQ(guide.count, 2);
  EXPECT_EQ(guide.points[0], (TPoint{20000, 0}));
  EXPECT_EQ(guide.points[1], (TPoint{35000, 0}));
  EXPECT_EQ(guide.types[1], ptEndNode);
  TVexaControl* plain = Box(Scheme(), {0, 0, 1, 1});
  plain->GetEditPointGuide({3, 4}, guide);
  EXPECT_EQ(guide.count, 0);
  EXPECT_EQ(guide.position, (TPoint{3, 4}));
}

TEST_F(GeometryFixture, DraggingASegment) {
  auto* p = TVexaControl::New<TPathControl>(&panel, Scheme(), panel.GetActiveLayer());
  const std::vector<TPoint> curve{{0, 0}, {300, 0}, {600, 0}, {900, 0}, {1200, 0}};
  const std::vector<uint8_t> types{ptNode, ptControl, ptControl, ptNode, ptEndNode};
  // A Bezier segment at t = 0.5 moves both control points by 4/3 of the drag.
  p->SetPointsEx(curve, types);
  EXPECT_TRUE(p->MovePathSegment(0, 3, 0.5, {0, 300}));
  EXPECT_EQ(p->points[1], (TPoint{300, 400}));
  EXPECT_EQ(p->points[2], (TPoint{600, 400}));
  // At its very ends the control points have no pull: the end node follows (no division by 0).
  for (double t : {0.0, 1.0}) {
    p->SetPointsEx(curve, types);
    EXPECT_TRUE(p->MovePathSegment(0, 3, t, {0, 300}));
    EXPECT_EQ(p->points[t == 0 ? 0 : 3], (TPoint{t == 0 ? 0 : 900, 300}));
    EXPECT_EQ(p->points[1], (TPoint{300, 0}));
  }
  // A straight segment moves both its ends.
  p->SetPointsEx(curve, types);
  EXPECT_TRUE(p->MovePathSegment(3, 4, 0.5, {10, 10}));
  EXPECT_EQ(p->points[3], (TPoint{910, 10}));
  EXPECT_EQ(p->points[4], (TPoint{1210, 10}));
  EXPECT_FALSE(p->MovePathSegment(3, 3, 0.5, {10, 10}));
  EXPECT_FALSE(p->MovePathSegment(3, 9, 0.5, {10, 10}));
  EXPECT_FALSE(p->MovePathSegment(3, 4, 0.5, {0, 0}));
}

TEST_F(GeometryFixture, MovingAControlPointKeepsTheOppositeOneSymmetricOrSmooth) {
  auto* p = TVexaControl::New<TPathControl>(&panel, Scheme(), panel.GetActiveLayer());
  // node, c, c, node, c, c, node: the middle node has a control point on each side.
  const std::vector<TPoint> path{{0, 0}, {0, 100}, {100, 100}, {200, 100}, {300, 100}, {400, 100}, {400, 0}};
  const std::vector<uint8_t> types{ptNode, ptControl, ptControl, ptNode, ptControl, ptControl, ptEndNode};
  p->SetPointsEx(path, types);
  EXPECT_TRUE(p->MovePathPoint(2, {0, -100}, true, false, nullptr));
  EXPECT_EQ(p->points[2], (TPoint{100, 0}));
  EXPECT_EQ(p->points[4], (TPoint{300, 200}));
  p->SetPointsEx(path, types);
  EXPECT_TRUE(p->MovePathPoint(4, {-100, 100}, false, true, nullptr));  // now at (200, 200)
  EXPECT_EQ(p->points[2], (TPoint{200, 0}));                             // keeps its length 100
  p->SetPointsEx(path, types);
  EXPECT_TRUE(p->MovePathPoint(3, {5, 5}, false, false, nullptr));
  EXPECT_EQ(p->points[3], (TPoint{205, 105}));
  EXPECT_FALSE(p->MovePathPoint(9, {5, 5}, false, false, nullptr));
}

TEST_F(GeometryFixture, FindControlAtTakesTheTopmostVisibleSelectableChild) {
  TVexaControl* parent = Box(Scheme(), {0, 0, 100000, 100000});
  TVexaControl* under = Box(parent, {0, 0, 50000, 50000});
  TVexaControl* over = Box(parent, {0, 0, 50000, 50000});
  EXPECT_EQ(parent->FindControlAt(10, 10), over);
  over->SetVisible(false);
  EXPECT_EQ(parent->FindControlAt(10, 10), under);
  under->SetSelectable(false);
  EXPECT_EQ(parent->FindControlAt(10, 10), nullptr);
  EXPECT_EQ(parent->FindControlAt(70, 70), nullptr);
  EXPECT_EQ(parent->GetAnchorPoint(), (TPoint{0, 0}));
}

}  // namespace
}  // namespace pv::graphics
