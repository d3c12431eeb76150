// Point editing driven by mouse gestures on an editing panel: selecting points, Ctrl-clicks
// that delete, insert and close, dragging points and segments, a connector end dropped near a
// link point, and a curve collapsed onto one point deleted on release in one undo step.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "canvas/RecordingCanvas.h"
#include "connectors/VexaConnector.h"
#include "controls/LinkProps.h"
#include "document/Grid.h"
#include "document/ServiceControls.h"
#include "document/testing/DocumentPoints.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/tests/PanelFixture.h"
#include "paths/PathTypes.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaCurve.h"
#include "shapes/VexaEllipse.h"

namespace pv::graphics {
namespace {

struct Registered {
  Registered() { RegisterVexaGraphics(); }
};

struct Keys {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
};

struct PanelPoints : ::testing::Test, Registered, test::PanelFixture {
  PanelPoints() {
    panel.SetConnectorsMinGap(1000);
    panel.PanelHistory().SetActive(true);
  }

  // A curve through document points (the last one ends the figure, closed or open).
  TVexaCurve* Curve(const std::vector<TPoint>& doc, bool closed, const std::string& name = "curve") {
    TVexaCurve* c = Shape<TVexaCurve>({0, 0, 1, 1}, name);
    std::vector<uint8_t> types(doc.size(), ptNode);
    types.back() = closed ? ptEndNodeClose : ptEndNode;
    c->SetPointsEx(doc, types);
    c->SetDocRect({0, 0, c->GetWidth(), c->GetHeight()});
    // SetPointsEx keeps the points relative: place the curve where its points say.
    TRect b{doc.front().x, doc.front().y, doc.front().x, doc.front().y};
    for (TPoint p : doc) b = {std::min(b.left, p.x), std::min(b.top, p.y), std::max(b.right, p.x), std::max(b.bottom, p.y)};
    c->SetDocRect(b);
    return c;
  }
  // Point editing of one control, as a host does it: select it, then the point tool.
  void EditPointsOf(TVexaControl* c) {
    panel.SetToolMode(0);
    panel.UnselectAll();
    ASSERT_TRUE(panel.Select(c));
    panel.SetToolMode(9);
    ASSERT_EQ(c, panel.PointEditedControl());
  }
  TPoint Px(TPoint doc) const { return panel.DocToPixelPoint(doc); }

  // Synthetic mouse events (client pixels): the pointer comes to the spot, then presses.
  static TVexaPanel::TShiftState Flags(Keys keys) {
    return (keys.ctrl ? panelwindow::ssCtrl : 0u) | (keys.shift ? panelwindow::ssShift : 0u) |
           (keys.alt ? panelwindow::ssAlt : 0u);
  }
  void Down(TPoint at, Keys keys = {}) {
    panel.MouseMove(Flags(keys), at.x, at.y);
    panel.MouseDown(TVexaPanel::TMouseButton::mbLeft, Flags(keys) | panelwindow::ssLeft, at.x, at.y);
  }
  // With the left button held while a gesture is under way.
  void Move(TPoint at, Keys keys = {}) {
    const bool held = panel.GetToolMode() >= 10 && panel.GetToolMode() <= 12;
    panel.MouseMove(Flags(keys) | (held ? panelwindow::ssLeft : 0u), at.x, at.y);
  }
  void Up(TPoint at, Keys keys = {}) { panel.MouseUp(TVexaPanel::TMouseButton::mbLeft, Flags(keys), at.x, at.y); }
  void Click(TPoint at, Keys keys = {}) {
    Down(at, keys);
    Up(at, keys);
  }
  // Keys held while the mouse moves (Ctrl at the press would insert or delete instead).
  void Drag(TPoint from, TPoint to, Keys keys = {}) {
    Down(from, {.shift = keys.shift});
    Move({(from.x + to.x) / 2, (from.y + to.y) / 2}, keys);
    Move(to, keys);
    Up(to, keys);
  }
  std::vector<int> SelectedPoints() const {
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(panel.PointSelection().size()); ++i) {
      if (panel.IsPointSelected(i)) out.push_back(i);
    }
    return out;
  }
};

TEST_F(PanelPoints, ShiftClickAddsANodeAndAPlainClickSelectsOneAlone) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}, {60000, 60000}, {20000, 60000}}, false);
  EditPointsOf(c);
  Click(Px({20000, 20000}));
  Click(Px({60000, 20000}), {.shift = true});
  EXPECT_EQ((std::vector<int>{0, 1}), SelectedPoints());
  EXPECT_EQ(2, panel.SelectedPointsCount());
  Click(Px({60000, 60000}));
  EXPECT_EQ((std::vector<int>{2}), SelectedPoints());
  // A band around the last two nodes toggles them.
  Drag(Px({50000, 10000}), Px({70000, 70000}), {.shift = true});
  EXPECT_EQ((std::vector<int>{1}), SelectedPoints());
  // A click on empty space leaves the control; a click on its outline takes it up again.
  Click(Px({40000, 40000}));
  EXPECT_EQ(0, panel.SelectedCount());
  EXPECT_EQ(nullptr, panel.PointEditedControl());
  Click(Px({40000, 20000}));
  EXPECT_EQ(c, panel.PointEditedControl());
  EXPECT_TRUE(SelectedPoints().empty());
}

TEST_F(PanelPoints, AConnectorKeepsAtMostOneSelectedPoint) {
  auto* link = Shape<TVexaConnector>({0, 0, 1, 1}, "link");
  link->SetOrtogonal(false);
  link->SetPointsEx({{0, 0}, {30000, 0}, {30000, 20000}}, {ptNode, ptNode, ptEndNode});
  link->SetDocRect({20000, 20000, 50000, 40000});
  EditPointsOf(link);
  panel.SelectPoint(0, true);
  panel.SelectPoint(2, true);
  EXPECT_EQ((std::vector<int>{0}), SelectedPoints());
  int told = 0;
  panel.OnNotify = [&](TVexaPanel&, TVexaControl* control, TVexaNotify notify) {
    if (control == link && notify == TVexaNotify::fnSelectPoint) ++told;
  };
  Click(Px({50000, 40000}), {.shift = true});
  EXPECT_EQ((std::vector<int>{0}), SelectedPoints());
  EXPECT_EQ(0, told) << "a refused selection tells nobody";
  Click(Px({50000, 40000}));
  EXPECT_EQ((std::vector<int>{2}), SelectedPoints());
  EXPECT_EQ(2, told) << "one point unselected, one selected";
  panel.OnNotify = nullptr;
}

TEST_F(PanelPoints, CtrlClickOnAPointDeletesClosesOrLeavesTheFigure) {
  const struct {
    const char* what;
    std::vector<TPoint> points;
    bool closed;
    TPoint click;
    std::vector<TPoint> after;
    bool closedAfter;
  } cases[] = {
      {"a triangle loses the point", {{20000, 20000}, {60000, 20000}, {40000, 50000}}, true, {60000, 20000},
       {{20000, 20000}, {40000, 50000}}, true},
      {"a two-point line keeps both", {{20000, 20000}, {60000, 20000}}, false, {60000, 20000},
       {{20000, 20000}, {60000, 20000}}, false},
      {"a two-point line is not closed at its end", {{20000, 20000}, {60000, 20000}}, false, {20000, 20000},
       {{20000, 20000}, {60000, 20000}}, false},
      {"an open polyline is closed at its last point", {{20000, 20000}, {60000, 20000}, {60000, 50000}}, false,
       {60000, 50000}, {{20000, 20000}, {60000, 20000}, {60000, 50000}}, true},
      {"an open polyline is closed at its first point", {{20000, 20000}, {60000, 20000}, {60000, 50000}}, false,
       {20000, 20000}, {{20000, 20000}, {60000, 20000}, {60000, 50000}}, true},
      {"an inner point of an open polyline goes", {{20000, 20000}, {60000, 20000}, {60000, 50000}}, false,
       {60000, 20000}, {{20000, 20000}, {60000, 50000}}, false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    panel.SetToolMode(0);
    panel.ClearDocument();
    panel.NewDocument();
    TVexaCurve* c = Curve(row.points, row.closed);
    EditPointsOf(c);
    panel.PanelHistory().Clear();
    const std::string before = SaveText();
    Click(Px(row.click), {.ctrl = true});
    EXPECT_EQ(row.after, test::DocumentPoints(*c));
    EXPECT_EQ(row.closedAfter, c->GetIsPointsClosed());
    if (row.after == row.points && row.closedAfter == row.closed) {
      EXPECT_EQ(before, SaveText());
      EXPECT_EQ(0, panel.PanelHistory().Count());
      continue;
    }
    ExpectOneStepUndoesAndRedoes(before, "Change control(s) points");
  }
}

TEST_F(PanelPoints, PointsOnALayerThatIsNotMoveableStay) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}, {60000, 60000}}, false);
  auto* fixed = TVexaControl::New<TVexaLayer>(&panel, &panel.Layers());
  fixed->SetVisible(true);
  c->SetLayerControl(fixed);
  fixed->SetMoveable(false);
  EditPointsOf(c);
  const std::string before = SaveText();
  Drag(Px({60000, 60000}), Px({80000, 70000}));
  Click(Px({60000, 20000}), {.ctrl = true});
  Click(Px({40000, 20000}), {.ctrl = true});
  EXPECT_EQ(before, SaveText());
  // Ctrl shows no editing cursor there: the move cursor over a marker.
  Move(Px({60000, 20000}), {.ctrl = true});
  EXPECT_EQ(5, panel.Cursor());
}

TEST_F(PanelPoints, TheSelectionHandlesStillResizeInThePointTool) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}, {60000, 60000}}, false);
  EditPointsOf(c);
  // Just outside the bottom-right corner: the handle there.
  const TPoint corner = Px({60000, 60000});
  const TPoint handle{corner.x + 5, corner.y + 5};
  ASSERT_EQ(8, panel.HandleAtPoint(handle.x, handle.y));
  panel.MouseMove(0, handle.x, handle.y);
  EXPECT_EQ(6, panel.GetToolMode());
  panel.MouseDown(TVexaPanel::TMouseButton::mbLeft, panelwindow::ssLeft, handle.x, handle.y);
  EXPECT_EQ(7, panel.GetToolMode());
  panel.MouseMove(panelwindow::ssLeft, handle.x + 39, handle.y + 39);
  panel.MouseUp(TVexaPanel::TMouseButton::mbLeft, 0, handle.x + 39, handle.y + 39);
  EXPECT_EQ(9, panel.GetToolMode());
  EXPECT_EQ((TRect{20000, 20000, 100000, 100000}), c->GetDocRect());
  EXPECT_EQ(c, panel.PointEditedControl());
}

TEST_F(PanelPoints, AnArcsEndsAreItsPointsAndItHasNoSegmentToDrag) {
  auto* arc = Shape<TVexaArc>({20000, 20000, 60000, 60000}, "arc");
  arc->SetBeginAngle(0);
  arc->SetEndAngle(90000);
  EditPointsOf(arc);
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  // The chord between the ends is no path: a press there starts a point band (here catching
  // no point), not a drag.
  ASSERT_EQ(2, arc->GetPointsCount());
  std::vector<TPoint> ends;
  for (int i = 0; i < 2; ++i) ends.push_back({20000 + arc->GetPoint(i).x, 20000 + arc->GetPoint(i).y});
  EXPECT_EQ((std::vector<TPoint>{{60000, 40000}, {40000, 20000}}), ends);
  Down(Px({50000, 30000}));
  EXPECT_EQ(10, panel.GetToolMode());
  Move(Px({55000, 35000}));
  Up(Px({55000, 35000}));
  EXPECT_EQ(before, SaveText());
  EXPECT_EQ(arc, panel.PointEditedControl());
  // The end at 90 degrees (top middle) dragged to the left middle: 180 degrees.
  Drag(Px(ends[1]), Px({20000, 40000}));
  EXPECT_EQ(0, arc->GetBeginAngle());
  EXPECT_EQ(180000, arc->GetEndAngle());
  ExpectOneStepUndoesAndRedoes(before, "Change control(s) points");
}

TEST_F(PanelPoints, DeletionCountsNodesNotTheHandlesOfACurve) {
  // Two nodes joined by a Bezier segment: four points, but only two nodes.
  TVexaCurve* c = Shape<TVexaCurve>({0, 0, 1, 1}, "bezier");
  c->SetPointsEx({{0, 0}, {10000, 30000}, {30000, 30000}, {40000, 0}}, {ptNode, ptControl, ptControl, ptEndNode});
  c->SetDocRect({20000, 20000, 60000, 42500});
  EditPointsOf(c);
  const std::string before = SaveText();
  const TRect r = c->GetDocRect();
  Click(Px({r.right, r.top}), {.ctrl = true});
  EXPECT_EQ(4, c->GetPointsCount());
  EXPECT_EQ(before, SaveText());
}

TEST_F(PanelPoints, ACurvesInsertedAndDeletedPointsAreEachOneUndoStep) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}, {60000, 60000}}, false);
  const struct {
    const char* what;
    std::function<void()> edit;
  } cases[] = {
      {"insert a node", [&] { c->InsertPoint(1, {10000, 30000}); }},
      {"insert a curve node", [&] { c->InsertCurvePoint(2, {40000, 50000}, {45000, 45000}, {50000, 45000}); }},
      {"append a node", [&] { c->AddPoint({0, 60000}); }},
      {"delete the first node", [&] { c->DeletePoint(0); }},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    panel.PanelHistory().Clear();
    const std::string before = SaveText();
    row.edit();
    ExpectOneStepUndoesAndRedoes(before);
  }
  // Refused edits leave no step.
  panel.PanelHistory().Clear();
  c->DeletePoint(99);
  c->InsertPoint(-1, {0, 0});
  EXPECT_EQ(0, panel.PanelHistory().Count());
}

TEST_F(PanelPoints, CtrlClickOnThePathInsertsAPointThatUndoes) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}, {60000, 60000}}, false);
  EditPointsOf(c);
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  // Ctrl held over the path shows the guide; the click inserts there.
  Move(Px({40000, 20000}), {.ctrl = true});
  EXPECT_EQ(2, panel.Cursor()) << "the add cursor over a guide";
  Click(Px({40000, 20000}), {.ctrl = true});
  EXPECT_EQ((std::vector<TPoint>{{20000, 20000}, {40000, 20000}, {60000, 20000}, {60000, 60000}}),
            test::DocumentPoints(*c));
  ExpectOneStepUndoesAndRedoes(before, "Change control(s) points");
}

TEST_F(PanelPoints, DraggingAPointIsOneStepAndCtrlKeepsItOnOneAxis) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}, {60000, 60000}}, false);
  EditPointsOf(c);
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  Drag(Px({60000, 60000}), Px({80000, 70000}));
  EXPECT_EQ((std::vector<TPoint>{{20000, 20000}, {60000, 20000}, {80000, 70000}}), test::DocumentPoints(*c));
  ExpectOneStepUndoesAndRedoes(before, "Change control(s) points");
  // With Ctrl the smaller movement (y here) goes back.
  Drag(Px({80000, 70000}), Px({90000, 73000}), {.ctrl = true});
  EXPECT_EQ((TPoint{90000, 70000}), test::DocumentPoints(*c)[2]);
}

TEST_F(PanelPoints, EscapeEndsADragWhereItBeganAndABandWithoutSelecting) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}, {60000, 60000}}, false);
  EditPointsOf(c);
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  Down(Px({60000, 60000}));
  Move(Px({80000, 70000}));
  ASSERT_NE(before, SaveText());
  EXPECT_TRUE(panel.KeyDown(panelwindow::vkEscape, panelwindow::ssLeft));
  EXPECT_EQ(9, panel.GetToolMode());
  Up(Px({80000, 70000}));
  EXPECT_EQ(before, SaveText());
  EXPECT_EQ(0, panel.PanelHistory().Count());
  // A band over every node, cancelled: nothing selected.
  Down(Px({10000, 10000}));
  Move(Px({70000, 70000}));
  EXPECT_EQ(10, panel.GetToolMode());
  EXPECT_TRUE(panel.KeyDown(panelwindow::vkEscape, panelwindow::ssLeft));
  Up(Px({70000, 70000}));
  EXPECT_TRUE(SelectedPoints().empty());
  EXPECT_EQ(c, panel.PointEditedControl());
}

TEST_F(PanelPoints, ADraggedPointSnapsToTheGrid) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}}, false);
  panel.SetGridHorizSize(10000);
  panel.SetGridVertSize(10000);
  for (const bool snap : {false, true}) {
    SCOPED_TRACE(snap);
    c->SetPointsEx({{0, 0}, {40000, 0}}, {ptNode, ptEndNode});
    c->SetDocRect({20000, 20000, 60000, 20000});
    EditPointsOf(c);
    panel.SetSnapToGrid(snap);
    Drag(Px({60000, 20000}), Px({73000, 26000}));
    EXPECT_EQ((snap ? TPoint{70000, 30000} : TPoint{73000, 26000}), test::DocumentPoints(*c)[1]);
  }
}

TEST_F(PanelPoints, DraggingASegmentMovesItAndUndoes) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}, {60000, 60000}}, false);
  EditPointsOf(c);
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  // Near the first segment, away from its points.
  Down(Px({40000, 21000}));
  EXPECT_EQ(12, panel.GetToolMode());
  Move(Px({40000, 31000}));
  Up(Px({40000, 31000}));
  EXPECT_EQ(9, panel.GetToolMode());
  ExpectOneStepUndoesAndRedoes(before, "Change control(s) points");
}

TEST_F(PanelPoints, AConnectorEndDroppedNearALinkPointAttachesAndOneFarAwayDoesNot) {
  auto* box = Shape<TVexaBox>({100000, 20000, 140000, 60000}, "box");
  for (const bool near : {true, false}) {
    SCOPED_TRACE(near);
    auto* link = Shape<TVexaConnector>({0, 0, 1, 1}, near ? "near" : "far");
    link->SetOrtogonal(false);
    link->SetPointsEx({{0, 0}, {40000, 0}}, {ptNode, ptEndNode});
    link->SetDocRect({20000, 40000, 60000, 40000});
    EditPointsOf(link);
    panel.PanelHistory().Clear();
    const std::string before = SaveText();
    // The box's left-middle link point is (100000, 40000); 3 pixels off, or 12 pixels off.
    const TPoint drop = near ? TPoint{97000, 42000} : TPoint{88000, 40000};
    Down(Px({60000, 40000}));
    Move(Px({80000, 40000}));
    Move(Px(drop));
    if (near) {
      EXPECT_EQ(box, panel.HighlightedLinkControl());
      EXPECT_EQ((TPoint{100000, 40000}), panel.HighlightedLinkPosition());
    } else {
      EXPECT_EQ(-1, panel.HighlightedLinkPoint());
    }
    Up(Px(drop));
    EXPECT_EQ(-1, panel.HighlightedLinkPoint()) << "the mark goes with the drag";
    if (near) {
      EXPECT_EQ(box, link->LinkB().LinkedControl());
      EXPECT_EQ((TPoint{100000, 40000}), test::DocumentPoints(*link).back());
      // The attachment is part of the drag's undo step.
      ExpectOneStepUndoesAndRedoes(before, "Change control(s) points");
      ASSERT_TRUE(panel.PanelHistory().Undo());
      EXPECT_EQ(nullptr, link->LinkB().LinkedControl());
    } else {
      EXPECT_EQ(nullptr, link->LinkB().LinkedControl());
      EXPECT_EQ(drop, test::DocumentPoints(*link).back());
    }
  }
}

TEST_F(PanelPoints, AnOrthogonalConnectorsEndAttachesAndItsRouteEndsThere) {
  auto* box = Shape<TVexaBox>({100000, 20000, 140000, 60000}, "box");
  auto* link = Shape<TVexaConnector>({0, 0, 1, 1}, "link");
  link->SetPointsEx({{0, 0}, {40000, 0}}, {ptNode, ptEndNode});
  link->SetDocRect({20000, 30000, 60000, 30000});
  EditPointsOf(link);
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  Drag(Px({60000, 30000}), Px({98000, 39000}));
  EXPECT_EQ(box, link->LinkB().LinkedControl());
  EXPECT_EQ((TPoint{100000, 40000}), link->LinkB().GetLinkPoint());
  const std::vector<TPoint> route = test::DocumentPoints(*link);
  EXPECT_EQ((TPoint{20000, 30000}), route.front());
  EXPECT_EQ((TPoint{100000, 40000}), route.back());
  ExpectOneStepUndoesAndRedoes(before, "Change control(s) points");
}

TEST_F(PanelPoints, ACurveCollapsedOntoOnePointIsDeletedOnReleaseAndOneUndoBringsItBack) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}}, false);
  const int32_t id = c->GetId();
  EditPointsOf(c);
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  // The end dragged onto the start: every point of the curve at its own origin.
  Drag(Px({60000, 20000}), Px({20000, 20000}));
  EXPECT_EQ(nullptr, panel.FindControlByID(id));
  EXPECT_EQ(0, panel.SelectedCount());
  EXPECT_EQ(nullptr, panel.PointEditedControl());
  EXPECT_EQ(9, panel.GetToolMode());
  // The drag and the deletion are one step.
  ExpectOneStepUndoesAndRedoes(before, "Change control(s) points");
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(before, SaveText());
  ASSERT_NE(nullptr, panel.FindControlByID(id));
}

TEST_F(PanelPoints, NeighbourNodesFollowCurveSegmentsAndTheClosingSegment) {
  // A closed figure: node 0, a curve to node 3, a line to node 4, a closing curve back to 0.
  TVexaCurve* c = Shape<TVexaCurve>({0, 0, 1, 1}, "shape");
  c->SetPointsEx({{0, 0}, {10000, -5000}, {20000, -5000}, {30000, 0}, {30000, 20000}, {20000, 30000}, {0, 30000}},
                 {ptNode, ptControl, ptControl, ptNode, ptEndNodeClose, ptControl, ptControl});
  EditPointsOf(c);
  const struct {
    int node;
    int previous, next;
  } cases[] = {{0, 4, 3}, {3, 0, -1}, {4, -1, 0}, {1, -1, -1}, {7, -1, -1}, {-1, -1, -1}};
  for (const auto& row : cases) {
    SCOPED_TRACE(row.node);
    int previous = 99;
    int next = 99;
    panel.GetNeighbourNodes(row.node, previous, next);
    EXPECT_EQ(row.previous, previous);
    EXPECT_EQ(row.next, next);
  }
}

TEST_F(PanelPoints, MarkersHitTestsAndCursors) {
  TVexaCurve* c = Curve({{20000, 20000}, {60000, 20000}, {60000, 60000}}, false);
  EXPECT_EQ((TRect{0, 0, 0, 0}), panel.PointRect(0)) << "no point-edited control";
  EditPointsOf(c);
  const TPoint p = Px({60000, 20000});
  EXPECT_EQ((TRect{p.x - 2, p.y - 2, p.x + 3, p.y + 3}), panel.PointRect(1));
  const struct {
    TPoint at;
    bool ctrl;
    int point;
    int cursor;
  } cases[] = {
      {{p.x + 2, p.y - 2}, false, 1, 5},  // inside the marker: move
      {{p.x + 3, p.y}, false, -1, 5},     // just outside it, on the path: move
      {{p.x + 2, p.y + 2}, true, 1, 3},   // Ctrl over an inner point: delete
      {Px({60000, 60000}), true, 2, 4},   // Ctrl over the end of an open figure: close
      {Px({40000, 45000}), false, -1, 1}, // away from the path: the shape cursor
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(testing::Message() << row.at.x << "," << row.at.y);
    Move(row.at, {.ctrl = row.ctrl});
    EXPECT_EQ(9, panel.GetToolMode());
    EXPECT_EQ(row.point, panel.FindPointAtMouse());
    EXPECT_EQ(row.point >= 0, panel.PointHover().overEditRegion);
    EXPECT_EQ(row.cursor, panel.Cursor());
    EXPECT_EQ(row.cursor, window.cursor);
  }
  // A control without points cannot be point-edited.
  auto* box = Shape<TVexaBox>({100000, 20000, 140000, 60000}, "box");
  panel.SetPointEditControl(box);
  EXPECT_EQ(nullptr, panel.PointEditedControl());
  EXPECT_FALSE(panel.IsPointEditing());
}

TEST_F(PanelPoints, MarkersPaintedAndTheEditRegionAroundThem) {
  // A Bezier from node 0 to node 3 (control points 1 and 2), then a line to node 4.
  TVexaCurve* c = Shape<TVexaCurve>({0, 0, 1, 1}, "bezier");
  c->SetPointsEx({{0, 10000}, {10000, 0}, {30000, 0}, {40000, 10000}, {40000, 50000}},
                 {ptNode, ptControl, ptControl, ptNode, ptEndNode});
  c->SetDocRect({20000, 10000, 60000, 60000});
  EditPointsOf(c);
  std::vector<TPoint> px;
  for (const TPoint p : test::DocumentPoints(*c)) px.push_back(Px(p));
  const auto mark = [](TPoint p) { return TRect{p.x - 2, p.y - 2, p.x + 3, p.y + 3}; };
  // Three nodes: the region is exactly their markers.
  EXPECT_TRUE(panel.EditRegionPrecise());
  EXPECT_EQ(canvas::Region::FromRects(std::vector<TRect>{mark(px[0]), mark(px[3]), mark(px[4])}), panel.EditRegion());
  window.invalidated.clear();
  panel.SelectPoint(3, true);
  EXPECT_NE(std::find(window.invalidated.begin(), window.invalidated.end(), panel.PointRect(3)), window.invalidated.end());
  // The selected node's handle line to control point 2 joins the region.
  EXPECT_TRUE(panel.EditRegion().Contains((px[2].x + px[3].x) / 2, (px[2].y + px[3].y) / 2));

  canvas::RecordingCanvas canvas;
  panel.WindowPaint(canvas, window.ClientRect());
  std::vector<std::string> drawn;
  bool dotted = false;
  for (const canvas::CanvasCommand& cmd : canvas.Commands()) {
    if (cmd.op == canvas::CanvasOp::SetPen) dotted = cmd.pen.style == canvas::PenStyle::Dot;
    if (cmd.op == canvas::CanvasOp::LineTo && dotted) drawn.push_back("dotted " + cmd.ToString());
    if (cmd.op == canvas::CanvasOp::Rectangle || cmd.op == canvas::CanvasOp::InvertRect) drawn.push_back(cmd.ToString());
  }
  const auto has = [&](const std::string& what) {
    return std::find(drawn.begin(), drawn.end(), what) != drawn.end();
  };
  const auto rect = [](const char* op, const TRect& r) {
    return std::string(op) + " " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
           std::to_string(r.right) + "," + std::to_string(r.bottom);
  };
  EXPECT_TRUE(has(rect("Rectangle", mark(px[0]))));
  EXPECT_TRUE(has(rect("InvertRect", mark(px[3])))) << "the selected node is inverted";
  EXPECT_TRUE(has(rect("Rectangle", mark(px[4]))));
  EXPECT_TRUE(has(rect("Rectangle", mark(px[2])))) << "the handle of the selected node";
  EXPECT_FALSE(has(rect("Rectangle", mark(px[1])))) << "a handle of another node";
  EXPECT_TRUE(has("dotted LineTo " + std::to_string(px[2].x) + "," + std::to_string(px[2].y)));
  // Only what shows can be grabbed.
  Move(px[2]);
  EXPECT_EQ(2, panel.FindPointAtMouse());
  Move(px[1]);
  EXPECT_EQ(-1, panel.FindPointAtMouse());
}

TEST_F(PanelPoints, ManyNodesMakeOneBoundingRegion) {
  std::vector<TPoint> zigzag;
  for (int i = 0; i < 30; ++i) zigzag.push_back({20000 + i * 3000, 20000 + (i % 2) * 10000});
  TVexaCurve* c = Curve(zigzag, false);
  EditPointsOf(c);
  EXPECT_FALSE(panel.EditRegionPrecise());
  const TPoint a = Px({20000, 20000});
  const TPoint b = Px({20000 + 29 * 3000, 30000});
  EXPECT_EQ((TRect{a.x - 2, a.y - 2, b.x + 3, b.y + 3}), panel.EditRegion().Bounds());
  // Between two markers is in the bounding region but over no marker: not over the region.
  Move(Px({21500, 25000}));
  EXPECT_TRUE(panel.EditRegion().Contains(Px({21500, 25000}).x, Px({21500, 25000}).y));
  EXPECT_FALSE(panel.PointHover().overEditRegion);
  Move(Px({23000, 30000}));
  EXPECT_TRUE(panel.PointHover().overEditRegion);
  EXPECT_EQ(1, panel.FindPointAtMouse());
}

}  // namespace
}  // namespace pv::graphics
