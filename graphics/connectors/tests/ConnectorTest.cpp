// The connector: routes between linked controls that follow them as they move, the geometry
// lock, moving with the selection, links that go away, loading and undo, and connectors whose
// rerouting comes back to themselves.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "connectors/VexaConnector.h"
#include "controls/LinkProps.h"
#include "document/Group.h"
#include "document/testing/DocumentPoints.h"
#include "document/testing/TestVexaPanel.h"
#include "shapes/VexaBox.h"
#include "connectors/tests/PointPrinting.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;
using Route = std::vector<TPoint>;

struct ConnectorFixture : ::testing::Test {
  ConnectorFixture() {
    RegisterConnectorClasses();
    panel.NewDocument();
    panel.SetConnectorsMinGap(1000);
  }
  TVexaControl* Box(const TRect& r, const std::string& name = {}) {
    TVexaControl* box = TVexaControl::New<TVexaControl>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    box->SetDocRect(r);
    if (!name.empty()) box->SetName(name);
    return box;
  }
  TVexaConnector* Connector() {
    return TVexaControl::New<TVexaConnector>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  }
  static void Link(TLinkPointProp& end, TVexaControl* control, TPoint point) {
    end.SetLinkedControl(control);
    end.SetLinkPoint(point);
  }
  // The route in document units.
  static Route Absolute(const TVexaConnector& c) {
    return test::DocumentPoints(c);
  }
  // The route's ends on the link points, its segments axis-parallel, and the rectangle on the
  // route's bounds.
  static void ExpectSettled(const TVexaConnector& c) {
    const Route route = Absolute(c);
    EXPECT_TRUE(AxisParallel(route));
    EXPECT_EQ(route.front(), c.LinkA().GetLinkPoint());
    EXPECT_EQ(route.back(), c.LinkB().GetLinkPoint());
    TRect bounds{route.front().x, route.front().y, route.front().x, route.front().y};
    for (const TPoint& p : route) {
      bounds = {std::min(bounds.left, p.x), std::min(bounds.top, p.y), std::max(bounds.right, p.x),
                std::max(bounds.bottom, p.y)};
    }
    const TRect r = c.GetDocRect();
    EXPECT_EQ(r.left, bounds.left);
    EXPECT_EQ(r.top, bounds.top);
    EXPECT_EQ(r.right, std::max(bounds.right, bounds.left + 1));
    EXPECT_EQ(r.bottom, std::max(bounds.bottom, bounds.top + 1));
  }
  static bool AxisParallel(const Route& route) {
    for (size_t i = 0; i + 1 < route.size(); ++i) {
      if (route[i].x != route[i + 1].x && route[i].y != route[i + 1].y) return false;
    }
    return true;
  }
  // The panel's text loaded into other: it saves the same text, and the connector of that
  // name (null when missing) runs where c does.
  TVexaConnector* LoadedAgain(TTestVexaPanel& other, const TVexaConnector& c) {
    const std::string text = panel.SaveText();
    other.LoadText(text);
    EXPECT_EQ(other.SaveText(), text);
    auto* loaded = dynamic_cast<TVexaConnector*>(other.GetActiveScheme()->FindChildByName(c.GetName()));
    if (loaded) {
      EXPECT_EQ(Absolute(*loaded), Absolute(c));
    }
    return loaded;
  }
  // Two boxes side by side, the connector from the right middle of one to the left middle of
  // the other.
  TVexaConnector* Between(TVexaControl*& a, TVexaControl*& b) {
    a = Box({0, 0, 10000, 10000}, "a");
    b = Box({30000, 0, 40000, 10000}, "b");
    TVexaConnector* c = Connector();
    c->SetName("c");
    Link(c->LinkA(), a, {10000, 5000});
    Link(c->LinkB(), b, {30000, 5000});
    return c;
  }
  TTestVexaPanel panel;
};

TEST_F(ConnectorFixture, ANewConnectorHasThreePointsAndItsDefaults) {
  TVexaConnector* c = Connector();
  EXPECT_EQ(FindControlClass("TVexaConnector"), &TVexaConnector::ClassInfo);
  EXPECT_EQ(Absolute(*c).size(), 3u);
  EXPECT_TRUE(c->GetOrtogonal());
  EXPECT_EQ(c->GetRerouteMode(), rmAlways);
  EXPECT_EQ(c->GetMinimalGap(), 0);
  EXPECT_TRUE(c->IsConnector());
  EXPECT_FALSE(c->IsLinked());
  TLinkProp* start = nullptr;
  TLinkProp* end = nullptr;
  c->GetLinkProps(start, end);
  EXPECT_EQ(start, &c->LinkA());
  EXPECT_EQ(end, &c->LinkB());
}

TEST_F(ConnectorFixture, AnUnlinkedConnectorRunsFromEndAToEndB) {
  TVexaConnector* c = Connector();
  c->LinkA().SetLinkPoint({1000, 2000});
  c->LinkB().SetLinkPoint({9000, 7000});
  EXPECT_EQ(Absolute(*c), (Route{{1000, 2000}, {1000, 2000}, {9000, 7000}}));
}

TEST_F(ConnectorFixture, FollowsEitherLinkedControlAsItMoves) {
  TVexaControl *a, *b;
  TVexaConnector* c = Between(a, b);
  EXPECT_EQ(Absolute(*c), (Route{{10000, 5000}, {30000, 5000}}));
  b->SetDocRect({30000, 20000, 40000, 30000});
  EXPECT_EQ(c->LinkB().GetLinkPoint(), (TPoint{30000, 25000}));
  // Out of A to the right, across halfway between the gap boxes, into B from the left.
  EXPECT_EQ(Absolute(*c), (Route{{10000, 5000}, {20000, 5000}, {20000, 25000}, {30000, 25000}}));
  a->SetDocRect({0, 20000, 10000, 30000});
  EXPECT_EQ(Absolute(*c), (Route{{10000, 25000}, {30000, 25000}}));
  // A straight route has no height; a control has at least one unit.
  EXPECT_EQ(c->GetDocRect(), (TRect{10000, 25000, 30000, 25001}));
}

// Linked to the side middles that boxes offer: resizing and moving a box keeps the end on the
// same link point of it.
TEST_F(ConnectorFixture, EndsStayOnTheBoxesLinkPointsAsTheyResize) {
  const auto box = [&](const TRect& r) {
    auto* b = TVexaControl::New<TVexaBox>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    b->SetDocRect(r);
    return b;
  };
  // The index of the box's link point at (x, y), relative to it.
  const auto linkIndex = [](const TVexaBox& b, TPoint at) {
    for (int i = 0; i < b.GetLinkPointCount(); ++i) {
      if (b.GetLinkPoint(i) == at) return i;
    }
    return -1;
  };
  const auto absolute = [](const TVexaBox& b, int index) {
    const TPoint p = b.GetLinkPoint(index);
    return TPoint{b.GetDocRect().left + p.x, b.GetDocRect().top + p.y};
  };
  TVexaBox* a = box({0, 0, 10000, 10000});
  TVexaBox* b = box({30000, 20000, 40000, 30000});
  const int right = linkIndex(*a, {10000, 5000});
  const int top = linkIndex(*b, {5000, 0});
  ASSERT_GE(right, 0);
  ASSERT_GE(top, 0);
  TVexaConnector* c = Connector();
  Link(c->LinkA(), a, absolute(*a, right));
  Link(c->LinkB(), b, absolute(*b, top));
  // Out of a to the right, into b from above: one corner.
  EXPECT_EQ(Absolute(*c), (Route{{10000, 5000}, {35000, 5000}, {35000, 20000}}));
  a->SetWidth(20000);
  b->SetDocRect({50000, 30000, 70000, 50000});
  for (int round = 0; round < 2; ++round) {
    const Route route = Absolute(*c);
    EXPECT_EQ(route.front(), absolute(*a, right));
    EXPECT_EQ(route.back(), absolute(*b, top));
    EXPECT_TRUE(AxisParallel(route));
    ExpectSettled(*c);
    a->SetDocRect({45000, 60000, 55000, 70000});
  }
}

TEST_F(ConnectorFixture, TheGapIsItsOwnOrThePanels) {
  // Both ends on the right of two stacked boxes: the route passes right of both at the gap.
  TVexaControl* a = Box({0, 0, 10000, 10000});
  TVexaControl* b = Box({0, 20000, 10000, 30000});
  TVexaConnector* c = Connector();
  Link(c->LinkA(), a, {10000, 5000});
  Link(c->LinkB(), b, {10000, 25000});
  EXPECT_EQ(Absolute(*c), (Route{{10000, 5000}, {11000, 5000}, {11000, 25000}, {10000, 25000}}));
  c->SetMinimalGap(3000);
  EXPECT_EQ(Absolute(*c)[1], (TPoint{13000, 5000}));
  c->SetMinimalGap(-5);
  EXPECT_EQ(c->GetMinimalGap(), 0);
  EXPECT_EQ(Absolute(*c)[1], (TPoint{11000, 5000}));
  panel.SetConnectorsMinGap(2000);
  c->MinimalGapChanged();
  EXPECT_EQ(Absolute(*c)[1], (TPoint{12000, 5000}));
  // With its own gap set the panel's does not count.
  c->SetMinimalGap(500);
  panel.SetConnectorsMinGap(7000);
  c->MinimalGapChanged();
  EXPECT_EQ(Absolute(*c)[1], (TPoint{10500, 5000}));
}

TEST_F(ConnectorFixture, WhileLinkedTheRectangleIsTheRoutes) {
  TVexaControl *a, *b;
  TVexaConnector* c = Between(a, b);
  const TRect rect = c->GetDocRect();
  EXPECT_TRUE(c->GeometryLocked());
  c->SetDocRect({0, 0, 500, 500});
  c->SetLeft(777);
  c->Mirror(true, false);
  c->Rotate({20000, 5000, 90, false});
  EXPECT_EQ(c->GetDocRect(), rect);
  EXPECT_EQ(Absolute(*c), (Route{{10000, 5000}, {30000, 5000}}));
  // The bracket lets the route move the control.
  c->BeginLinkUpdate();
  EXPECT_FALSE(c->GeometryLocked());
  c->EndLinkUpdate();
  EXPECT_TRUE(c->GeometryLocked());
}

TEST_F(ConnectorFixture, DeletingALinkedControlClearsTheLinkAndUnlocks) {
  TVexaControl *a, *b;
  TVexaConnector* c = Between(a, b);
  a->Free();
  EXPECT_EQ(c->LinkA().LinkedControl(), nullptr);
  EXPECT_EQ(c->LinkA().GetDisplayValue(), "");
  EXPECT_TRUE(c->IsLinked());
  EXPECT_TRUE(c->GeometryLocked());
  b->Free();
  EXPECT_FALSE(c->IsLinked());
  EXPECT_FALSE(c->GeometryLocked());
  c->SetLeft(777);
  EXPECT_EQ(c->GetLeft(), 777);
}

TEST_F(ConnectorFixture, WhichEndsMayBeMoved) {
  TVexaControl* a = Box({0, 0, 10000, 10000});
  TVexaConnector* c = Connector();
  Link(c->LinkA(), a, {10000, 5000});
  c->LinkB().SetLinkPoint({40000, 20000});
  const int last = static_cast<int>(Absolute(*c).size()) - 1;
  struct Case {
    uint8_t mode;
    int index;
    bool movable;
  } cases[] = {
      {rmAlways, 0, false}, {rmAlways, 1, false}, {rmAlways, last, true},
      {rmNever, 0, true},   {rmNever, 1, true},   {rmAsNeeded, last, true},
  };
  for (const Case& k : cases) {
    c->SetRerouteMode(k.mode);
    TVexaControl::TEndPointsInfo info;
    info.index = k.index;
    c->GetEndPointsInfo(info);
    EXPECT_TRUE(info.hasEndPoints);
    EXPECT_EQ(info.lastEndPoint, last);
    EXPECT_EQ(info.movable, k.movable) << "mode " << int{k.mode} << " point " << k.index;
  }
}

TEST_F(ConnectorFixture, MovesWithTheSelectionWhenBothEndsAreSelected) {
  TVexaControl *a, *b;
  TVexaConnector* c = Between(a, b);
  b->SetDocRect({30000, 20000, 40000, 30000});
  const Route before = Absolute(*c);
  for (TVexaControl* control : {static_cast<TVexaControl*>(c), a, b}) panel.SelectControl(*control, true);
  c->BeginSelectionUpdate();
  EXPECT_TRUE(c->MovingWithSelection());
  EXPECT_FALSE(c->GeometryLocked());
  for (TVexaControl* control : {a, b, static_cast<TVexaControl*>(c)}) {
    const TRect r = control->GetDocRect();
    control->SetDocRect({r.left + 5000, r.top + 7000, r.right + 5000, r.bottom + 7000});
  }
  c->EndSelectionUpdate();
  EXPECT_TRUE(c->GeometryLocked());
  Route shifted = before;
  for (TPoint& p : shifted) p = {p.x + 5000, p.y + 7000};
  EXPECT_EQ(Absolute(*c), shifted);

  // With one end's control left out of the selection the connector stays and reroutes.
  panel.SelectControl(*a, false);
  c->BeginSelectionUpdate();
  EXPECT_FALSE(c->MovingWithSelection());
  b->SetDocRect({35000, 7000, 45000, 17000});
  c->EndSelectionUpdate();
  EXPECT_EQ(Absolute(*c), (Route{{15000, 12000}, {35000, 12000}}));
}

TEST_F(ConnectorFixture, ARouteAtTheEdgeOfTheRangeLoadsBackTheSame) {
  // Link A lies just inside the most negative y, so the way out of its box is cut short at the
  // edge; the box itself is more than half the range away from there.
  TVexaControl* a = Box({0, 0, 320000, 240000}, "a");
  TVexaConnector* c = Connector();
  c->SetName("c");
  c->SetMinimalGap(8000);
  Link(c->LinkA(), a, {20000, INT32_MIN + 1024});
  Link(c->LinkB(), nullptr, {134238728, -30001});
  ExpectSettled(*c);
  for (const TPoint& p : Absolute(*c)) EXPECT_GE(p.y, INT32_MIN);
  TTestVexaPanel other;
  ASSERT_NE(LoadedAgain(other, *c), nullptr);
}

TEST_F(ConnectorFixture, ARouteLoadedFarFromItsRectangleKeepsItsShape) {
  // The text places the rectangle at y 15000 and the first point almost the whole range above
  // it. The load keeps the route; routed again, its way out of the document runs higher still,
  // to the edge of where the rectangle can hold it.
  const std::string text =
      "document Document\n"
      "  Height = 240000\n"
      "  ID = 1\n"
      "  Version = 140\n"
      "  Width = 320000\n"
      "  object Layer1: TVexaLayer\n"
      "    ID = 4\n"
      "    object c: TVexaConnector\n"
      "      ID = 9\n"
      "      Left = 20000\n"
      "      LinkA = \\1:\n"
      "      MinimalGap = 8000\n"
      "      PathPoints = {\n"
      "        020000000000000000040080E8030008CF8AFFFF0001 }\n"
      "      Top = 15000\n"
      "    end\n"
      "  end\n"
      "end\n";
  TTestVexaPanel loaded;
  loaded.LoadText(text);
  auto* c = dynamic_cast<TVexaConnector*>(loaded.FindControl(9));
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(Absolute(*c), (Route{{20000, INT32_MIN + 16024}, {134238728, -15001}}));
  c->Reroute();
  const Route route = Absolute(*c);
  ASSERT_EQ(route.size(), 4u);
  EXPECT_EQ(route.front(), (TPoint{20000, INT32_MIN + 16024}));
  // Out of the top, further up still.
  EXPECT_EQ(route[1].x, 20000);
  EXPECT_LT(route[1].y, route.front().y);
  EXPECT_EQ(route.back(), (TPoint{134238728, -15001}));
  EXPECT_TRUE(AxisParallel(route));
  const std::string saved = loaded.SaveText();
  TTestVexaPanel again;
  again.LoadText(saved);
  EXPECT_EQ(again.SaveText(), saved);
}

TEST_F(ConnectorFixture, SavedAndLoadedLinked) {
  TVexaControl *a, *b;
  TVexaConnector* c = Between(a, b);
  b->SetDocRect({30000, 20000, 40000, 30000});
  c->SetMinimalGap(2500);
  c->SetRerouteMode(rmAsNeeded);
  const std::string text = panel.SaveText();
  EXPECT_NE(text.find("LinkA"), std::string::npos);
  EXPECT_EQ(text.find("Ortogonal"), std::string::npos);
  TTestVexaPanel other;
  TVexaConnector* loaded = LoadedAgain(other, *c);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->LinkA().LinkedControl(), other.GetActiveScheme()->FindChildByName("a"));
  EXPECT_EQ(loaded->LinkB().GetLinkPoint(), (TPoint{30000, 25000}));
  EXPECT_TRUE(loaded->GeometryLocked());
  EXPECT_EQ(loaded->GetMinimalGap(), 2500);
  // The loaded link points still follow their controls; "AsNeeded" keeps the route's shape
  // while it still clears both controls, its ends moved onto the link points.
  other.GetActiveScheme()->FindChildByName("b")->SetDocRect({30000, 0, 40000, 10000});
  EXPECT_EQ(Absolute(*loaded), (Route{{10000, 5000}, {20000, 5000}, {20000, 5000}, {30000, 5000}}));
}

// A route is kept as the text stores it: resolving a link on load leaves it alone, even where
// a reroute now would run otherwise (an end let go, a control gone, a route edited by hand).
TEST_F(ConnectorFixture, LoadingKeepsAStoredRoute) {
  const struct {
    const char* name;
    void (*change)(TVexaControl* a, TVexaControl* b, TVexaConnector* c);
  } cases[] = {
      {"end B let go", [](TVexaControl*, TVexaControl*, TVexaConnector* c) { c->LinkB().SetLinkedControl(nullptr); }},
      {"box A deleted", [](TVexaControl* a, TVexaControl*, TVexaConnector*) { a->Free(); }},
      {"gap widened without rerouting",
       [](TVexaControl*, TVexaControl*, TVexaConnector* c) {
         c->SetRerouteMode(rmNever);
         c->SetMinimalGap(4000);
       }},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.name);
    panel.NewDocument();
    TVexaControl *a, *b;
    TVexaConnector* c = Between(a, b);
    b->SetDocRect({30000, 20000, 40000, 30000});
    ASSERT_EQ(Absolute(*c).size(), 4u);
    k.change(a, b, c);
    const Route stored = Absolute(*c);
    TTestVexaPanel other;
    TVexaConnector* loaded = LoadedAgain(other, *c);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(Absolute(*loaded), stored);
  }
}

TEST_F(ConnectorFixture, UndoingAMovePutsTheRouteBack) {
  TVexaControl *a, *b;
  TVexaConnector* c = Between(a, b);
  panel.History().SetActive(true);
  const std::string before = panel.SaveText();
  const Route routeBefore = Absolute(*c);
  const int start = panel.History().ActionIndex();
  b->SetDocRect({30000, 20000, 40000, 30000});
  const std::string after = panel.SaveText();
  const Route routeAfter = Absolute(*c);
  ASSERT_NE(routeAfter, routeBefore);
  const int count = panel.History().ActionIndex() - start;
  ASSERT_GT(count, 0);
  for (int i = 0; i < count; ++i) ASSERT_TRUE(panel.History().Undo());
  EXPECT_EQ(Absolute(*c), routeBefore);
  EXPECT_EQ(panel.SaveText(), before);
  for (int i = 0; i < count; ++i) ASSERT_TRUE(panel.History().Redo());
  EXPECT_EQ(Absolute(*c), routeAfter);
  EXPECT_EQ(panel.SaveText(), after);
}

// A connector whose end is linked to another connector that is linked back to it, and one
// linked to the group it lies in: each change of one reroutes the other, which used to come
// back and reroute the first inside its own rerouting, without end.
TEST_F(ConnectorFixture, ConnectorsLinkedToEachOtherSettle) {
  TVexaControl* a = Box({0, 0, 10000, 10000});
  TVexaControl* b = Box({60000, 40000, 70000, 50000});
  TVexaConnector* c1 = Connector();
  TVexaConnector* c2 = Connector();
  Link(c1->LinkA(), a, {10000, 5000});
  Link(c2->LinkB(), b, {60000, 45000});
  c1->LinkB().SetLinkPoint({30000, 20000});
  c2->LinkA().SetLinkPoint({40000, 30000});
  Link(c1->LinkB(), c2, c2->LinkA().GetLinkPoint());
  Link(c2->LinkA(), c1, c1->LinkB().GetLinkPoint());
  a->SetDocRect({0, 5000, 10000, 15000});
  b->SetDocRect({65000, 40000, 75000, 50000});
  ExpectSettled(*c1);
  ExpectSettled(*c2);
  EXPECT_EQ(Absolute(*c1).front(), (TPoint{10000, 10000}));
  EXPECT_EQ(Absolute(*c2).back(), (TPoint{65000, 45000}));
}

// The end's point stays where it was, but the control around it is another: the route goes
// round the new one, as on a connector linked to it from the start.
TEST_F(ConnectorFixture, ALinkMovedToAnotherControlAtTheSamePointReroutes) {
  TVexaControl* a = Box({0, 0, 10000, 10000});
  TVexaControl* beside = Box({10000, 0, 20000, 10000});
  TVexaControl* b = Box({30000, 0, 40000, 10000});
  TVexaConnector* moved = Connector();
  Link(moved->LinkA(), a, {10000, 5000});
  Link(moved->LinkB(), b, {30000, 5000});
  TVexaConnector* fresh = Connector();
  Link(fresh->LinkA(), beside, {10000, 5000});
  Link(fresh->LinkB(), b, {30000, 5000});
  ASSERT_NE(Absolute(*fresh), Absolute(*moved));

  moved->LinkA().SetLinkedControl(beside);
  EXPECT_EQ(Absolute(*fresh), Absolute(*moved));
  ExpectSettled(*moved);
}

TEST_F(ConnectorFixture, AConnectorRefusesLinksToItselfAndToWhatItCarries) {
  TVexaConnector* c = Connector();
  TVexaControl* inner = TVexaControl::New<TVexaControl>(&panel, c, panel.GetActiveLayer());
  inner->SetDocRect({0, 0, 1000, 1000});
  TVexaControl* deeper = TVexaControl::New<TVexaControl>(&panel, inner, panel.GetActiveLayer());
  TVexaControl* outside = Box({30000, 0, 40000, 10000});
  for (TVexaControl* refused : {static_cast<TVexaControl*>(c), inner, deeper}) {
    c->LinkA().SetLinkedControl(refused);
    EXPECT_EQ(nullptr, c->LinkA().LinkedControl());
  }
  c->LinkA().SetLinkedControl(outside);
  EXPECT_EQ(outside, c->LinkA().LinkedControl());
}

// A box linked first and then moved into the connector: the link a load would refuse is not
// saved either, so the document reads back as saved, with its route, whichever way the text
// orders the box and the connector's own position.
TEST_F(ConnectorFixture, ALinkToAControlTheConnectorCameToCarryIsNotSaved) {
  TVexaControl* inner = Box({3000, 3000, 4000, 4000}, "inner");
  TVexaConnector* c = Connector();
  c->SetName("c");
  Link(c->LinkA(), inner, {4000, 3500});
  c->LinkB().SetLinkPoint({9000, 9000});
  inner->SetParent(c);
  ASSERT_EQ(c->LinkA().LinkedControl(), inner);
  TTestVexaPanel other;
  TVexaConnector* loaded = LoadedAgain(other, *c);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->LinkA().LinkedControl(), nullptr);
}

TEST_F(ConnectorFixture, AConnectorLinkedToItsOwnGroupSettles) {
  auto* group = TVexaControl::New<TVexaGroup>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  TVexaControl* a = TVexaControl::New<TVexaControl>(&panel, group, panel.GetActiveLayer());
  a->SetDocRect({0, 0, 10000, 10000});
  auto* c = TVexaControl::New<TVexaConnector>(&panel, group, panel.GetActiveLayer());
  Link(c->LinkA(), a, {10000, 5000});
  Link(c->LinkB(), group, {group->GetDocRect().right, group->GetDocRect().bottom});
  // End A stays on the right middle of a. (End B rides on a corner of a rectangle that the
  // route itself widens, and moves with it by the rounding of each rescale.)
  const auto expectOnTheirControls = [&] {
    const TRect ra = a->GetDocRect();
    EXPECT_EQ(c->LinkA().GetLinkPoint(), (TPoint{ra.right, (ra.top + ra.bottom) / 2}));
  };
  group->SetDocRect({5000, 5000, 25000, 25000});
  ExpectSettled(*c);
  expectOnTheirControls();
  a->SetDocRect({5000, 30000, 15000, 40000});
  ExpectSettled(*c);
  expectOnTheirControls();

  // Undone and redone as one whole, however often the connector came back to itself.
  panel.History().SetActive(true);
  const std::string before = panel.SaveText();
  const int start = panel.History().ActionIndex();
  a->SetDocRect({20000, 0, 30000, 10000});
  ExpectSettled(*c);
  const std::string after = panel.SaveText();
  const int count = panel.History().ActionIndex() - start;
  ASSERT_GT(count, 0);
  for (int i = 0; i < count; ++i) ASSERT_TRUE(panel.History().Undo());
  EXPECT_EQ(panel.SaveText(), before);
  for (int i = 0; i < count; ++i) ASSERT_TRUE(panel.History().Redo());
  EXPECT_EQ(panel.SaveText(), after);
}


// A connector in a group reroutes after the group scaled it, out of the rectangle it was given:
// the group fits the rectangle to it again, so that a reload finds the group as it was saved.
TEST_F(ConnectorFixture, AGroupFitsItsConnectorAfterItWasResized) {
  auto* group = TVexaControl::New<TVexaGroup>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  TVexaControl* a = TVexaControl::New<TVexaControl>(&panel, group, panel.GetActiveLayer());
  a->SetDocRect({0, 0, 8000, 10000});
  TVexaControl* b = TVexaControl::New<TVexaControl>(&panel, group, panel.GetActiveLayer());
  b->SetDocRect({20000, 0, 28000, 10000});
  auto* c = TVexaControl::New<TVexaConnector>(&panel, group, panel.GetActiveLayer());
  Link(c->LinkA(), a, {8000, 5000});
  c->LinkB().SetLinkPoint({20000, 5000});
  const auto children = [&] {
    TRect u = a->GetDocRect();
    for (const TVexaControl* child : {b, static_cast<TVexaControl*>(c)}) u = UnionRect(u, child->GetDocRect());
    return u;
  };
  group->SetDocRect({0, 0, 27000, 1});
  ASSERT_NE(c->GetDocRect().bottom, 1);  // the route left the scaled rectangle
  EXPECT_EQ(group->GetDocRect(), children());
  group->SetDocRect({3000, 2000, 40000, 30000});
  EXPECT_EQ(group->GetDocRect(), children());
}

}  // namespace
}  // namespace pv::graphics
