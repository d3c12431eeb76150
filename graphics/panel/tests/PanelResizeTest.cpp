// Resizing the selection by its handles: each handle dragged across the opposite edge mirrors
// the selection (an arc's angles with it) and lands where the edge was dragged; Ctrl keeps the
// proportions; a squeezed selection keeps one unit so that it can grow again; read-only layers
// keep their controls; grid snapping on and off; every resize is one step that undoes and
// redoes byte for byte.

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "connectors/VexaConnector.h"
#include "controls/LinkProps.h"
#include "document/Grid.h"
#include "document/ServiceControls.h"
#include "document/testing/DocumentPoints.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/tests/PanelFixture.h"
#include "paths/PathTypes.h"
#include "props/Prop.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaCurve.h"
#include "shapes/VexaEllipse.h"

namespace pv::graphics {
namespace {

struct Registered {
  Registered() { RegisterVexaGraphics(); }
};

struct PanelResize : ::testing::Test, Registered, test::PanelFixture {
  PanelResize() { panel.PanelHistory().SetActive(true); }
  // One handle drag: the resizing bracket of a mouse gesture around a single step.
  void Drag(int handle, int32_t dx, int32_t dy, bool proportional = false, bool useGrid = false) {
    panel.ResizeSelection(dx, dy, true, handle, useGrid, proportional);
  }
};

constexpr TRect kBase{10000, 10000, 30000, 20000};

// The first client pixel (row by row) where the handle is found.
TPoint HandlePixel(const TVexaPanel& panel, int handle) {
  const TRect r = panel.DocToPixelRect(panel.SelectionDocRect());
  for (int32_t y = r.top - 10; y < r.bottom + 10; ++y) {
    for (int32_t x = r.left - 10; x < r.right + 10; ++x) {
      if (panel.HandleAtPoint(x, y) == handle) return {x, y};
    }
  }
  ADD_FAILURE() << "no handle " << handle;
  return {};
}

// A handle dragged with the mouse: over it, pressed, moved by (dx, dy) pixels, released.
void DragHandle(TVexaPanel& panel, int handle, int32_t dx, int32_t dy, TVexaPanel::TShiftState keys = 0) {
  using panelwindow::ssLeft;
  const TPoint at = HandlePixel(panel, handle);
  panel.MouseMove(keys, at.x, at.y);
  ASSERT_EQ(6, panel.GetToolMode());
  panel.MouseDown(TVexaPanel::TMouseButton::mbLeft, keys | ssLeft, at.x, at.y);
  ASSERT_EQ(7, panel.GetToolMode());
  panel.MouseMove(keys | ssLeft, at.x + dx / 2, at.y + dy / 2);
  panel.MouseMove(keys | ssLeft, at.x + dx, at.y + dy);
  panel.MouseUp(TVexaPanel::TMouseButton::mbLeft, keys, at.x + dx, at.y + dy);
  EXPECT_EQ(panel.BaseToolMode(), panel.GetToolMode());
}

TEST_F(PanelResize, EachHandleDraggedWithTheMousePastTheOppositeEdge) {
  // 100 %: a pixel is 1000 units, and a drag to the right or down reaches one pixel further
  // (the edge lands past the pixel under the mouse).
  const struct {
    int handle;
    int32_t dx, dy;  // pixels
    TRect expected;
    int32_t beginAngle, endAngle;
  } cases[] = {
      {1, 25, 15, {30000, 20000, 36000, 26000}, 180000, 270000},
      {2, 40, 15, {10000, 20000, 30000, 26000}, 270000, 0},
      {3, -25, 15, {5000, 20000, 10000, 26000}, 180000, 270000},
      {4, 25, 40, {30000, 10000, 36000, 20000}, 90000, 180000},
      {5, -25, 40, {5000, 10000, 10000, 20000}, 90000, 180000},
      {6, 25, -15, {30000, 5000, 36000, 10000}, 180000, 270000},
      {7, 40, -15, {10000, 5000, 30000, 10000}, 270000, 0},
      {8, -25, -15, {5000, 5000, 10000, 10000}, 180000, 270000},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.handle);
    panel.ClearDocument();
    panel.NewDocument();
    auto* arc = Shape<TVexaArc>(kBase, "arc");
    arc->SetBeginAngle(0);
    arc->SetEndAngle(90000);
    SelectOnly({arc});
    panel.PanelHistory().Clear();
    const std::string before = SaveText();
    DragHandle(panel, row.handle, row.dx, row.dy);
    EXPECT_EQ(row.expected, arc->GetDocRect());
    EXPECT_EQ(row.beginAngle, arc->GetBeginAngle());
    EXPECT_EQ(row.endAngle, arc->GetEndAngle());
    ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
  }
}

TEST_F(PanelResize, MouseDragsWithCtrlAndWithTheGrid) {
  auto* box = Shape<TVexaBox>(kBase, "box");
  panel.SetGridHorizSize(10000);
  panel.SetGridVertSize(10000);
  const struct {
    const char* what;
    bool snap;
    TVexaPanel::TShiftState keys;
    int32_t dx, dy;
    TRect expected;
  } cases[] = {
      // (10000 + 1000, 20000 + 1000) past the corner: 31000 x 31000 holds 31000 x 15500.
      {"Ctrl keeps 2 : 1", false, panelwindow::ssCtrl, 10, 20, {10000, 10000, 41000, 25500}},
      {"no grid", false, 0, 5, 2, {10000, 10000, 36000, 23000}},
      // The corner at (36000, 23000) goes to the nearest grid point.
      {"grid", true, 0, 5, 2, {10000, 10000, 40000, 20000}},
      {"grid, the corner at an exact half (35000, 25000) goes up", true, 0, 4, 4, {10000, 10000, 40000, 30000}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    box->SetDocRect(kBase);
    SelectOnly({box});
    panel.SetSnapToGrid(row.snap);
    DragHandle(panel, 8, row.dx, row.dy, row.keys);
    EXPECT_EQ(row.expected, box->GetDocRect());
  }
}

TEST_F(PanelResize, AMirroredDragThatComesBackUnmirrorsAndRestoresTheSelection) {
  auto* box = Shape<TVexaBox>(kBase, "box");
  auto* curve = Shape<TVexaCurve>({40000, 10000, 50000, 20000}, "curve");
  curve->SetPointsEx({{0, 0}, {10000, 0}, {0, 10000}}, {ptNode, ptNode, ptEndNode});
  SelectOnly({box, curve});
  const std::string before = SaveText();
  // The base is (10000, 10000) - (50000, 20000): the right handle goes 50000 to the left.
  panel.SetToolMode(7);
  panel.ResizeSelection(-50000, 0, true, 5, false, false);
  EXPECT_GT(panel.TransformationRect().left, panel.TransformationRect().right) << "the base is swapped when mirrored";
  // 10000 wide to the left of the former left edge, the order of the controls reversed.
  EXPECT_EQ((TRect{0, 10000, 2500, 20000}), curve->GetDocRect());
  EXPECT_EQ((TRect{5000, 10000, 10000, 20000}), box->GetDocRect());
  EXPECT_EQ((std::vector<TPoint>{{2500, 10000}, {0, 10000}, {2500, 20000}}), test::DocumentPoints(*curve));
  // Back to where it started: unmirrored, the same document.
  panel.ResizeSelection(0, 0, true, 5, false, false);
  EXPECT_LT(panel.TransformationRect().left, panel.TransformationRect().right);
  panel.SetToolMode(0);
  EXPECT_EQ(before, SaveText());
}

TEST_F(PanelResize, CtrlWithACornerKeepsTheProportions) {
  // The largest rectangle of the base's proportions (2 : 1) inside the dragged one.
  const struct {
    const char* what;
    int handle;
    int32_t dx, dy;
    TRect expected;
  } cases[] = {
      {"height limits", 8, 10000, 20000, {10000, 10000, 40000, 25000}},
      {"width limits", 8, 20000, 0, {10000, 10000, 30000, 20000}},
      {"top-left corner", 1, -20000, -5000, {0, 5000, 30000, 20000}},
      {"mirrored past both edges", 8, -30000, -12000, {6000, 8000, 10000, 10000}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    panel.ClearDocument();
    panel.NewDocument();
    auto* box = Shape<TVexaBox>(kBase, "box");
    SelectOnly({box});
    Drag(row.handle, row.dx, row.dy, true);
    EXPECT_EQ(row.expected, box->GetDocRect());
  }
}

TEST_F(PanelResize, ASelectionSqueezedToNothingKeepsOneUnitAndWidensAgain) {
  auto* box = Shape<TVexaBox>(kBase, "box");
  auto* curve = Shape<TVexaCurve>({10000, 30000, 30000, 40000}, "curve");
  curve->SetPointsEx({{0, 0}, {20000, 10000}}, {ptNode, ptEndNode});
  SelectOnly({box, curve});
  Drag(5, -20000, 0);
  EXPECT_EQ((TRect{10000, 10000, 10001, 20000}), box->GetDocRect());
  EXPECT_EQ(1, curve->GetWidth());
  // A later drag has a base one unit wide to scale from.
  Drag(5, 19999, 0);
  EXPECT_EQ(kBase, box->GetDocRect());
  EXPECT_EQ((TRect{10000, 30000, 30000, 40000}), curve->GetDocRect());
  EXPECT_EQ((std::vector<TPoint>{{10000, 30000}, {30000, 40000}}), test::DocumentPoints(*curve));
  // The bottom handle up to the top edge: one unit high.
  Drag(7, 0, -30000);
  EXPECT_EQ(1, box->GetHeight());
  EXPECT_EQ(1, curve->GetHeight());
}

TEST_F(PanelResize, ControlsOnAReadOnlyLayerKeepTheirSize) {
  auto* box = Shape<TVexaBox>(kBase, "box");
  auto* fixed = Shape<TVexaBox>({40000, 10000, 50000, 20000}, "fixed");
  auto* locked = TVexaControl::New<TVexaLayer>(&panel, &panel.Layers());
  fixed->SetLayerControl(locked);
  locked->SetReadOnly(true);
  SelectOnly({box, fixed});
  // The base (10000, 10000) - (50000, 20000) doubles in width.
  Drag(5, 40000, 0);
  EXPECT_EQ((TRect{10000, 10000, 50000, 20000}), box->GetDocRect());
  EXPECT_EQ((TRect{40000, 10000, 50000, 20000}), fixed->GetDocRect());
}

TEST_F(PanelResize, AGroupScalesItsMembersAndALinkedConnectorFollows) {
  auto* left = Shape<TVexaBox>({10000, 10000, 20000, 20000}, "left");
  auto* right = Shape<TVexaBox>({30000, 10000, 40000, 30000}, "right");
  auto* far = Shape<TVexaBox>({100000, 10000, 110000, 20000}, "far");
  SelectOnly({left, right});
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  panel.SetConnectorsMinGap(1000);
  auto* link = Shape<TVexaConnector>({0, 0, 1, 1}, "link");
  link->LinkA().SetLinkedControl(right);
  link->LinkA().SetLinkPoint({40000, 20000});
  link->LinkB().SetLinkedControl(far);
  link->LinkB().SetLinkPoint({100000, 15000});
  SelectOnly({group});
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  // The group (10000, 10000) - (40000, 30000) mirrored and halved by its right handle.
  DragHandle(panel, 5, -45, 0);
  EXPECT_EQ((TRect{-5000, 10000, 10000, 30000}), group->GetDocRect());
  EXPECT_EQ((TRect{5000, 10000, 10000, 20000}), left->GetDocRect());
  EXPECT_EQ((TRect{-5000, 10000, 0, 30000}), right->GetDocRect());
  // The connector's end went with the right box's right edge, now its left one.
  EXPECT_EQ((TPoint{-5000, 20000}), link->LinkA().GetLinkPoint());
  ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
}

// A member the mirror leaves in place (as wide as its group) is only scaled after it: the
// step still puts the group back before that member, which stays where it was inside it.
TEST_F(PanelResize, AMirroredGroupPutsBackAMemberTheMirrorLeftInPlace) {
  auto* wide = Shape<TVexaBox>({10000, 10000, 40000, 20000}, "wide");
  auto* small = Shape<TVexaBox>({10000, 20000, 15000, 30000}, "small");
  SelectOnly({wide, small});
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  SelectOnly({group});
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  // The group (10000, 10000) - (40000, 30000) mirrored and halved by its right handle.
  Drag(5, -45000, 0);
  EXPECT_EQ((TRect{-5000, 10000, 10000, 30000}), group->GetDocRect());
  EXPECT_EQ((TRect{-5000, 10000, 10000, 20000}), wide->GetDocRect());
  EXPECT_EQ((TRect{7500, 20000, 10000, 30000}), small->GetDocRect());
  ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ((TRect{10000, 10000, 40000, 20000}), wide->GetDocRect());
  EXPECT_EQ((TRect{10000, 20000, 15000, 30000}), small->GetDocRect());
}

// A connector inside a group reroutes after the handle scaled it: the group still fits its
// members when the drag ends, and the one step undoes and redoes exactly.
TEST_F(PanelResize, AGroupHoldingAConnectorFitsItsMembersAfterADrag) {
  panel.SetConnectorsMinGap(1000);
  auto* left = Shape<TVexaBox>({10000, 10000, 20000, 20000}, "left");
  auto* right = Shape<TVexaBox>({30000, 10000, 40000, 30000}, "right");
  SelectOnly({left, right});
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  auto* link = TVexaControl::New<TVexaConnector>(&panel, group, panel.GetActiveLayer());
  link->SetName("link");
  link->LinkA().SetLinkedControl(left);
  link->LinkA().SetLinkPoint({20000, 15000});
  link->LinkB().SetLinkPoint({30000, 25000});
  SelectOnly({group});
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  // The bottom handle pulls the group (20000 high) down to 1000.
  DragHandle(panel, 7, 0, -19);
  ASSERT_NE(1000, RectHeight(link->GetDocRect()));
  TRect members = left->GetDocRect();
  for (const TVexaControl* c : {static_cast<TVexaControl*>(right), static_cast<TVexaControl*>(link)}) {
    members = UnionRect(members, c->GetDocRect());
  }
  EXPECT_EQ(members, group->GetDocRect());
  ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
}

TEST_F(PanelResize, DragsToTheEndsOfTheCoordinateRangeStayInIt) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  auto* box = Shape<TVexaBox>({10000, 10000, 10001, 30000}, "box");
  auto* curve = Shape<TVexaCurve>({20000, 10000, 30000, 10000}, "flat");
  curve->SetPointsEx({{0, 0}, {10000, 0}}, {ptNode, ptEndNode});
  for (const int handle : {1, 3, 5, 6, 8}) {
    for (const bool proportional : {false, true}) {
      for (const TPoint d : {TPoint{kMax, kMax}, TPoint{kMin, kMin}, TPoint{kMax, kMin}, TPoint{kMin, 0}}) {
        SCOPED_TRACE(testing::Message() << handle << " " << proportional << " " << d.x << "," << d.y);
        box->SetDocRect({10000, 10000, 10001, 30000});
        SelectOnly({box, curve});
        Drag(handle, d.x, d.y, proportional);
        for (const TVexaControl* c : {static_cast<TVexaControl*>(box), static_cast<TVexaControl*>(curve)}) {
          const TRect r = c->GetDocRect();
          EXPECT_LE(r.left, r.right);
          EXPECT_LE(r.top, r.bottom);
        }
        EXPECT_GE(box->GetWidth(), 1);
        EXPECT_GE(box->GetHeight(), 1);
      }
    }
  }
}

TEST_F(PanelResize, MembersOfAGroupWhoseLeftIsReadOnlyKeepTheirHorizontalExtent) {
  auto* left = Shape<TVexaBox>({10000, 10000, 20000, 20000}, "left");
  auto* right = Shape<TVexaBox>({30000, 10000, 40000, 30000}, "right");
  SelectOnly({left, right});
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  group->Props().PropByName("Left")->SetFlag(pfReadOnly, true);
  SelectOnly({group});
  panel.PanelHistory().Clear();
  const std::string before = SaveText();
  // Twice the height from the bottom-right corner; the width would double too.
  panel.ResizeSelection(30000, 20000, true, 8, false, false);
  EXPECT_EQ((TRect{10000, 10000, 20000, 30000}), left->GetDocRect());
  EXPECT_EQ((TRect{30000, 10000, 40000, 50000}), right->GetDocRect());
  ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
}

TEST_F(PanelResize, AControlSelectedAfterResizingBeganStaysWhereItIs) {
  auto* box = Shape<TVexaBox>(kBase, "box");
  auto* late = Shape<TVexaBox>({40000, 10000, 50000, 20000}, "late");
  SelectOnly({box});
  panel.SetToolMode(7);
  ASSERT_TRUE(panel.Select(late));
  panel.ResizeSelection(20000, 0, true, 5, false, false);
  panel.SetToolMode(0);
  EXPECT_EQ((TRect{10000, 10000, 50000, 20000}), box->GetDocRect());
  EXPECT_EQ((TRect{40000, 10000, 50000, 20000}), late->GetDocRect());
}

TEST(PanelSnap, ExactHalvesGoTowardsPositiveInfinityOnBothSidesOfTheOrigin) {
  Registered registered;
  test::PanelFixture f;
  constexpr uint8_t kLeftTop = 1 | 2;
  // A 10-pixel grid at 100 %: 10000 units. The rectangle moves by (0, 0); only its left-top
  // counts.
  const struct {
    int32_t x;
    int32_t snapped;
  } cases[] = {
      {13000, 10000}, {15000, 20000}, {14999, 10000}, {5000, 10000},   {4999, 0},
      {-5000, 0},     {-5001, -10000}, {-15000, -10000}, {-13000, -10000}, {0, 0},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.x);
    TPoint delta{0, 0};
    f.panel.DoSnap(10000, 10000, 0, kLeftTop, delta, {row.x, row.x, row.x + 7000, row.x + 7000});
    EXPECT_EQ(row.snapped - row.x, delta.x);
    EXPECT_EQ(row.snapped - row.x, delta.y);
  }
}

TEST(PanelSnap, TheNearestChosenEdgeWinsAndAHandleSnapsOnlyTheEdgesItMoves) {
  Registered registered;
  test::PanelFixture f;
  const TRect r{13000, 21000, 39000, 48000};
  const struct {
    const char* what;
    int handle;
    uint8_t style;
    TPoint delta;
    TPoint expected;
  } cases[] = {
      {"moving: left and right, the right is nearer", 0, 1 | 4, {0, 0}, {1000, 0}},
      {"moving: the centre (26000, 34500) on both axes", 0, 16, {0, 0}, {4000, -4500}},
      {"moving: top and bottom, the top is nearer", 0, 2 | 8, {0, 0}, {0, -1000}},
      {"the right handle moves only the right edge", 5, 1 | 2 | 4 | 8, {1000, 1000}, {1000, 1000}},
      {"the top-left handle: left and top", 1, 1 | 2 | 4 | 8, {0, 0}, {-3000, -1000}},
      {"the bottom handle with a style naming only the left edge", 7, 1, {500, 500}, {500, 500}},
      {"snAll keeps every moved edge whatever the style names", 8, 32 | 1, {0, 0}, {1000, 2000}},
      {"a tie goes to the edge found first (left before right)", 0, 1 | 4, {-1000, 0}, {-3000, 0}},
      {"no grid: nothing", 0, 1, {123, 456}, {123, 456}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    TPoint delta = row.delta;
    const int32_t size = row.what[0] == 'n' && row.what[1] == 'o' ? 0 : 10000;
    f.panel.DoSnap(size, size, row.handle, row.style, delta, r);
    EXPECT_EQ(row.expected, delta);
  }
}

TEST_F(PanelResize, SnappingOnAndOffOnATenPixelGrid) {
  auto* box = Shape<TVexaBox>(kBase, "box");
  panel.SetGridHorizSize(10000);
  panel.SetGridVertSize(10000);
  const struct {
    bool snap;
    int32_t dx, dy;
    TRect expected;
  } cases[] = {
      {false, 6000, 3000, {10000, 10000, 36000, 23000}},
      {true, 6000, 3000, {10000, 10000, 40000, 20000}},
      // Exact halves: the edge at 35000 and 25000 goes up to 40000 and 30000.
      {true, 5000, 5000, {10000, 10000, 40000, 30000}},
      {true, -5000, -5000, {10000, 10000, 30000, 20000}},
      // Past the opposite edge the dragged edge still lands on the grid.
      {true, -26000, 0, {0, 10000, 10000, 20000}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(testing::Message() << row.snap << " " << row.dx << " " << row.dy);
    box->SetDocRect(kBase);
    SelectOnly({box});
    panel.SetSnapToGrid(row.snap);
    Drag(8, row.dx, row.dy, false, true);
    EXPECT_EQ(row.expected, box->GetDocRect());
  }
}

TEST_F(PanelResize, AMovedSelectionAndACreatedControlLandOnTheGrid) {
  panel.SetGridHorizSize(10000);
  panel.SetGridVertSize(10000);
  for (const bool snap : {false, true}) {
    SCOPED_TRACE(snap);
    panel.ClearDocument();
    panel.NewDocument();
    panel.SetSnapToGrid(snap);
    // The left edge 3 pixels off the grid; the box dragged one pixel to the right.
    TVexaControl* box = Box(Scheme(), {13000, 20000, 33000, 30000}, "box");
    SelectOnly({box});
    const TPoint at = panel.DocToPixelPoint({20000, 25000});
    panel.MouseMove(0, at.x, at.y);
    panel.MouseDown(TVexaPanel::TMouseButton::mbLeft, panelwindow::ssLeft, at.x, at.y);
    ASSERT_EQ(5, panel.GetToolMode());
    panel.MouseMove(panelwindow::ssLeft, at.x + 1, at.y);
    panel.MouseUp(TVexaPanel::TMouseButton::mbLeft, 0, at.x + 1, at.y);
    EXPECT_EQ(snap ? TRect(10000, 20000, 30000, 30000) : TRect(14000, 20000, 34000, 30000), box->GetDocRect());
    // A control created at an exact half on both axes goes up on both.
    TVexaControl* made = panel.CreateControl(TVexaBox::ClassInfo, 15000, -5000, 10000, 10000, true);
    EXPECT_EQ(snap ? TRect(20000, 0, 30000, 10000) : TRect(15000, -5000, 25000, 5000), made->GetDocRect());
  }
}

TEST_F(PanelResize, AResizeIsOneStepThatUndoesAndRedoesByteForByte) {
  auto* box = Shape<TVexaBox>(kBase, "box");
  auto* arc = Shape<TVexaArc>({40000, 10000, 50000, 30000}, "arc");
  arc->SetBeginAngle(30000);
  arc->SetEndAngle(100000);
  auto* curve = Shape<TVexaCurve>({20000, 40000, 30000, 50000}, "curve");
  curve->SetPointsEx({{0, 0}, {10000, 3000}, {2000, 10000}}, {ptNode, ptNode, ptEndNodeClose});
  SelectOnly({box, arc, curve});
  TVexaPanelHistory& history = panel.PanelHistory();
  history.Clear();
  const std::string before = SaveText();
  panel.SetToolMode(7);
  for (int step = 1; step <= 4; ++step) panel.ResizeSelection(-20000 * step, 7000 * step, true, 3, false, false);
  panel.SetToolMode(0);
  ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
}

}  // namespace
}  // namespace pv::graphics
