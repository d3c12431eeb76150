// Editing an orthogonal connector by hand: dragged points and segments keep every segment
// horizontal or vertical and snap onto their neighbours, the pairs that come to coincide are
// tidied away when the edit ends, and an inner edit stops automatic rerouting.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>


#include "connectors/VexaConnector.h"
#include "document/ServiceControls.h"
#include "document/testing/DocumentPoints.h"
#include "document/testing/TestVexaPanel.h"
#include "connectors/tests/PointPrinting.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;
using Route = std::vector<TPoint>;

// A staircase of six points, horizontal first: H V H V H.
const Route kStairs{{0, 0}, {10000, 0}, {10000, 20000}, {30000, 20000}, {30000, 40000}, {40000, 40000}};

struct EditingFixture : ::testing::Test {
  EditingFixture() {
    RegisterConnectorClasses();
    panel.NewDocument();
    // At scale 100 the snapping distance of 4 pixels is 4000 units.
    panel.scale = 100;
  }
  TVexaConnector* Connector(const Route& route) {
    auto* c = TVexaControl::New<TVexaConnector>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    std::vector<uint8_t> types(route.size(), ptNode);
    types.back() = ptEndNode;
    c->SetPointsEx(route, types);
    return c;
  }
  static Route Absolute(const TVexaConnector& c) {
    return test::DocumentPoints(c);
  }
  static bool AxisParallel(const Route& route) {
    for (size_t i = 0; i + 1 < route.size(); ++i) {
      if (route[i].x != route[i + 1].x && route[i].y != route[i + 1].y) return false;
    }
    return true;
  }
  TTestVexaPanel panel;
};

TEST_F(EditingFixture, DraggingPointsKeepsTheSegmentsAxisParallel) {
  struct Case {
    const char* what;
    int index;
    TPoint delta;
    Route after;
    uint8_t mode;
  } cases[] = {
      {"inner point: both neighbours follow", 2, {1300, 1700},
       {{0, 0}, {11300, 0}, {11300, 21700}, {30000, 21700}, {30000, 40000}, {40000, 40000}}, rmNever},
      {"next to an end: slides along the end segment", 1, {1300, 1700},
       {{0, 0}, {11300, 0}, {11300, 20000}, {30000, 20000}, {30000, 40000}, {40000, 40000}}, rmNever},
      {"before the last: slides along the last segment", 4, {1300, 1700},
       {{0, 0}, {10000, 0}, {10000, 20000}, {31300, 20000}, {31300, 40000}, {40000, 40000}}, rmNever},
      {"an end: its neighbour follows, rerouting stays on", 0, {-1000, 2500},
       {{-1000, 2500}, {10000, 2500}, {10000, 20000}, {30000, 20000}, {30000, 40000}, {40000, 40000}}, rmAlways},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    TVexaConnector* c = Connector(kStairs);
    EXPECT_TRUE(c->MovePathPoint(k.index, k.delta, false, false, nullptr));
    EXPECT_EQ(Absolute(*c), k.after);
    EXPECT_TRUE(AxisParallel(Absolute(*c)));
    EXPECT_EQ(c->GetRerouteMode(), k.mode);
    c->Free();
  }
}

TEST_F(EditingFixture, OnALayerThatIsNotMoveableNothingMovesAndReroutingStaysOn) {
  TVexaConnector* c = Connector(kStairs);
  auto* layer = dynamic_cast<TVexaLayer*>(panel.GetActiveLayer());
  ASSERT_NE(layer, nullptr);
  c->SetRerouteMode(rmAlways);
  layer->SetMoveable(false);
  EXPECT_FALSE(c->MovePathPoint(2, {1300, 1700}, false, false, nullptr));
  EXPECT_FALSE(c->MovePathSegment(2, 3, 0.5, {0, 5000}));
  EXPECT_EQ(Absolute(*c), kStairs);
  EXPECT_EQ(c->GetRerouteMode(), rmAlways);
  layer->SetMoveable(true);
  EXPECT_TRUE(c->MovePathPoint(2, {1300, 1700}, false, false, nullptr));
  EXPECT_NE(Absolute(*c), kStairs);
}

TEST_F(EditingFixture, TheMiddleOfThreePointsDoesNotMove) {
  TVexaConnector* c = Connector({{0, 0}, {10000, 0}, {10000, 20000}});
  c->MovePathPoint(1, {5000, 5000}, false, false, nullptr);
  EXPECT_EQ(Absolute(*c), (Route{{0, 0}, {10000, 0}, {10000, 20000}}));
}

// A drag past the coordinate limit stops at it rather than wrapping to the far side.
TEST_F(EditingFixture, APointDraggedPastTheLimitStopsAtIt) {
  for (const TPoint delta : {TPoint{INT32_MAX, 0}, TPoint{INT32_MIN, 0}}) {
    SCOPED_TRACE(delta.x);
    TVexaConnector* c = Connector(kStairs);
    c->MovePathPoint(2, delta, false, false, nullptr);
    const Route after = Absolute(*c);
    const int32_t x = delta.x > 0 ? INT32_MAX : INT32_MIN + 10000;
    EXPECT_EQ(after[1], (TPoint{x, 0}));
    EXPECT_EQ(after[2], (TPoint{x, 20000}));
    EXPECT_TRUE(AxisParallel(after));
  }
}

TEST_F(EditingFixture, ADraggedPointSnapsOntoItsNeighbourAndThePairIsTidied) {
  TVexaConnector* c = Connector(kStairs);
  c->BeginPointsUpdate();
  // 1500 short of the point before: snaps onto it.
  c->MovePathPoint(3, {-18500, 0}, false, false, nullptr);
  EXPECT_EQ(Absolute(*c)[3], (TPoint{10000, 20000}));
  EXPECT_EQ(Absolute(*c).size(), 6u);
  c->EndPointsUpdate();
  EXPECT_EQ(Absolute(*c), (Route{{0, 0}, {10000, 0}, {10000, 40000}, {40000, 40000}}));
}

TEST_F(EditingFixture, DraggingSegments) {
  struct Case {
    const char* what;
    int first, last;
    TPoint delta;
    bool moved;
    Route after;
  } cases[] = {
      {"a horizontal one moves only up or down", 2, 3, {5000, 6000}, true,
       {{0, 0}, {10000, 0}, {10000, 26000}, {30000, 26000}, {30000, 40000}, {40000, 40000}}},
      {"a vertical one only sideways", 3, 4, {-7000, 900}, true,
       {{0, 0}, {10000, 0}, {10000, 20000}, {23000, 20000}, {23000, 40000}, {40000, 40000}}},
      {"snapped onto the line of the segment before", 3, 4, {-17000, 0}, true,
       {{0, 0}, {10000, 0}, {10000, 20000}, {10000, 20000}, {10000, 40000}, {40000, 40000}}},
      {"the first segment stays", 0, 1, {0, 5000}, false, kStairs},
      {"the last segment stays", 4, 5, {0, 5000}, false, kStairs},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    TVexaConnector* c = Connector(kStairs);
    EXPECT_EQ(c->MovePathSegment(k.first, k.last, 0.5, k.delta), k.moved);
    EXPECT_EQ(Absolute(*c), k.after);
    EXPECT_EQ(c->GetRerouteMode(), k.moved ? rmNever : rmAlways);
    c->Free();
  }
}

// A segment dragged onto the lines of both its neighbours leaves two coincident pairs, one on
// each side. Deleting the earlier pair first would shift the later one by two and take out two
// points of the route that do not coincide.
TEST_F(EditingFixture, TidyTakesOutBothPairsAroundADraggedSegment) {
  TVexaConnector* c = Connector({{0, 0},
                                 {10000, 0},
                                 {10000, 20000},
                                 {20000, 20000},
                                 {20000, 40000},
                                 {30000, 40000},
                                 {30000, 20000},
                                 {40000, 20000},
                                 {40000, 60000},
                                 {50000, 60000}});
  c->BeginPointsUpdate();
  EXPECT_TRUE(c->MovePathSegment(4, 5, 0.5, {0, -20000}));
  c->EndPointsUpdate();
  EXPECT_EQ(Absolute(*c), (Route{{0, 0}, {10000, 0}, {10000, 20000}, {40000, 20000}, {40000, 60000}, {50000, 60000}}));
}

TEST_F(EditingFixture, TidyNeverTakesAnEnd) {
  TVexaConnector* c = Connector(kStairs);
  c->BeginPointsUpdate();
  // Point 1 slides onto end 0: that pair stays.
  c->MovePathPoint(1, {-10000, 0}, false, false, nullptr);
  c->EndPointsUpdate();
  EXPECT_EQ(Absolute(*c).front(), (TPoint{0, 0}));
  EXPECT_EQ(Absolute(*c).back(), (TPoint{40000, 40000}));
  EXPECT_EQ(Absolute(*c).size(), 6u);
}

TEST_F(EditingFixture, InsertingAndDeletingPointsInPairs) {
  TVexaConnector* c = Connector(kStairs);
  // On the vertical segment from (10000, 0) to (10000, 20000), 200 pixels at scale 100 away.
  const TPoint pixel = panel.DocToPixelPoint({10500, 8000});
  const int index = c->InsertPointAtPos(pixel);
  ASSERT_EQ(index, 2);
  Route route = Absolute(*c);
  ASSERT_EQ(route.size(), 8u);
  EXPECT_EQ(route[2], route[3]);
  EXPECT_EQ(route[2].x, 10000);
  EXPECT_TRUE(AxisParallel(route));
  EXPECT_EQ(c->GetRerouteMode(), rmNever);
  // Deleting one of the pair takes both; a lone inner point stays.
  c->DeletePoint(5);
  EXPECT_EQ(Absolute(*c).size(), 8u);
  c->DeletePoint(3);
  EXPECT_EQ(Absolute(*c), kStairs);
}

TEST_F(EditingFixture, TheGuideOffersOnlyPointsBetweenNodes) {
  TVexaConnector* c = Connector(kStairs);
  TVexaControl::TEditPointGuide guide;
  c->GetEditPointGuide(panel.DocToPixelPoint({20000, 20000}), guide);
  ASSERT_EQ(guide.count, 3);
  EXPECT_EQ(guide.position, (TPoint{20000, 20000}));
  EXPECT_EQ(guide.selection, (std::vector<uint8_t>{0, 1, 0}));
  // At a node, and beyond the open end: nothing.
  c->GetEditPointGuide(panel.DocToPixelPoint({10000, 20000}), guide);
  EXPECT_EQ(guide.count, 0);
  c->GetEditPointGuide(panel.DocToPixelPoint({60000, 40000}), guide);
  EXPECT_EQ(guide.count, 0);
}

TEST_F(EditingFixture, APixelFarFromALineNearTheEdgeOfTheRangeIsTakenOnItsOwnSide) {
  // The line lies near the most negative coordinate and the pixel far to its right: their
  // distance does not fit in 32 bits, and must not wrap round to the line's left.
  const int32_t edge = std::numeric_limits<int32_t>::min() + 1000;
  const Route line{{edge, 0}, {edge + 10000, 0}};
  const TPoint pixel{33500, 0};  // x 33,500,000 in the document
  TVexaConnector* c = Connector(line);
  EXPECT_EQ(c->InsertPointAtPos(pixel), -1);
  EXPECT_EQ(Absolute(*c), line);
  TVexaControl::TEditPointGuide guide;
  c->GetEditPointGuide(pixel, guide);
  EXPECT_EQ(guide.count, 0);
  // Free, the line goes on from its right end, as far toward the pixel as the range allows.
  c->SetOrtogonal(false);
  EXPECT_EQ(c->InsertPointAtPos(pixel), 2);
  const Route longer = Absolute(*c);
  ASSERT_EQ(longer.size(), 3u);
  EXPECT_EQ(longer[1], line[1]);
  EXPECT_GT(longer[2].x, line[1].x);
  EXPECT_EQ(longer[2].y, 0);
  // A plain curve's guide goes on from the line's right end, toward the pixel.
  auto* curve = TVexaControl::New<TVexaCurve>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  curve->SetPointsEx(line, {ptNode, ptEndNode});
  curve->GetEditPointGuide(pixel, guide);
  ASSERT_EQ(guide.points.size(), 2u);
  EXPECT_EQ(guide.points[0], (TPoint{10000, 0}));
  EXPECT_GT(guide.points[1].x, 10000);
}

TEST_F(EditingFixture, ASegmentDraggedPastTheEdgeOfTheRangeStopsThere) {
  const int32_t x = 2147480000;
  TVexaConnector* c = Connector({{0, 0}, {x, 0}, {x, 20000}, {2147440000, 20000}});
  EXPECT_TRUE(c->MovePathSegment(1, 2, 0.5, {39000, 0}));
  const Route after = Absolute(*c);
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after[1], (TPoint{INT32_MAX, 0}));
  EXPECT_EQ(after[2], (TPoint{INT32_MAX, 20000}));
  EXPECT_TRUE(AxisParallel(after));
}

TEST_F(EditingFixture, WithoutOrthogonalTheCurvesEditingApplies) {
  TVexaConnector* c = Connector(kStairs);
  c->SetOrtogonal(false);
  c->MovePathPoint(2, {1300, 1700}, false, false, nullptr);
  Route expected = kStairs;
  expected[2] = {11300, 21700};
  EXPECT_EQ(Absolute(*c), expected);
}

}  // namespace
}  // namespace pv::graphics

namespace pv::graphics {
namespace {

// Every nonzero segment runs in the direction the alternation from the first one gives it,
// which is what keeps the next edit orthogonal too.
bool Alternates(const Route& route) {
  int first = -1;
  bool horizontal = true;
  for (size_t k = 0; k + 1 < route.size(); ++k) {
    if (route[k] == route[k + 1]) continue;
    if (route[k].x != route[k + 1].x && route[k].y != route[k + 1].y) return false;
    const bool h = route[k].y == route[k + 1].y;
    if (first < 0) {
      first = static_cast<int>(k);
      horizontal = h;
    } else if (h != (((static_cast<int>(k) - first) % 2 == 0) == horizontal)) {
      return false;
    }
  }
  return true;
}

// Random edits of random staircases, each inside a points-update bracket as a drag is: the
// route stays orthogonal with its directions alternating, and inner edits never move the ends.
TEST_F(EditingFixture, RandomEditsKeepTheRouteOrthogonal) {
  std::mt19937 rng(1211);
  const auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
  for (int sequence = 0; sequence < 300; ++sequence) {
    Route route{{0, 0}};
    const int count = uniform(3, 9);
    for (int k = 1; k < count; ++k) {
      const TPoint last = route.back();
      const int length = uniform(1, 8) * 3000 * (uniform(0, 1) ? 1 : -1);
      route.push_back(k % 2 == 1 ? TPoint{last.x + length, last.y} : TPoint{last.x, last.y + length});
    }
    TVexaConnector* c = Connector(route);
    for (int step = 0; step < 30; ++step) {
      const Route before = Absolute(*c);
      const int n = static_cast<int>(before.size());
      const int inner = n > 2 ? uniform(1, n - 2) : 0;
      const TPoint delta{uniform(-6, 6) * 1500, uniform(-6, 6) * 1500};
      c->BeginPointsUpdate();
      int operation = uniform(0, 3);
      // Without inner points: an end that may not go, or a new pair.
      if (n == 2 && operation < 2) operation = 2;
      SCOPED_TRACE(testing::Message() << "operation " << operation << " at " << inner << " by " << delta.x << ","
                                      << delta.y << " on " << testing::PrintToString(before));
      switch (operation) {
        case 0: c->MovePathPoint(inner, delta, false, false, nullptr); break;
        case 1: c->MovePathSegment(inner, inner + 1, 0.5, delta); break;
        case 2: c->DeletePoint(inner); break;
        default: {
          const int k = std::max(inner, 1);
          const TPoint at{(before[k - 1].x + before[k].x) / 2, (before[k - 1].y + before[k].y) / 2};
          c->InsertPointAtPos(panel.DocToPixelPoint(at));
        }
      }
      c->EndPointsUpdate();
      const Route after = Absolute(*c);
      ASSERT_GE(after.size(), 2u) << "sequence " << sequence << " step " << step;
      ASSERT_TRUE(Alternates(after)) << "sequence " << sequence << " step " << step;
      ASSERT_EQ(after.front(), before.front()) << "sequence " << sequence << " step " << step;
      ASSERT_EQ(after.back(), before.back()) << "sequence " << sequence << " step " << step;
    }
    c->Free();
  }
}

}  // namespace
}  // namespace pv::graphics
