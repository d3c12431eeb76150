// The commands on the selection: each is one undo step that gives back the document's text
// byte for byte, a moved box takes its connectors along, a rotation turns mixed shapes by
// quarter turns, and zooming to a point puts it in the middle of the window.

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "canvas/RecordingCanvas.h"
#include "canvas/Region.h"
#include "clipboard/MemoryClipboard.h"
#include "connectors/VexaConnector.h"
#include "controls/ControlClasses.h"
#include "controls/LinkProps.h"
#include "document/Clone.h"
#include "document/ServiceControls.h"
#include "document/testing/DocumentPoints.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/tests/PanelFixture.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaCurve.h"
#include "shapes/VexaEllipse.h"
#include "shapes/VexaText.h"

namespace pv::graphics {
namespace {

// The start-up call comes first, as in a program.
struct Registered {
  Registered() { RegisterVexaGraphics(); }
};

struct PanelCommands : ::testing::Test, Registered, test::PanelFixture {
  PanelCommands() {
    panel.SetConnectorsMinGap(1000);
    a = Shape<TVexaBox>({0, 0, 10000, 10000}, "a");
    b = Shape<TVexaBox>({30000, 0, 40000, 10000}, "b");
    link = Shape<TVexaConnector>({0, 0, 1, 1}, "link");
    LinkEnd(link->LinkA(), a, {10000, 5000});
    LinkEnd(link->LinkB(), b, {30000, 5000});
    oval = Shape<TVexaEllipse>({50000, 20000, 54000, 22000}, "oval");
    curve = Shape<TVexaCurve>({60000, 20000, 66000, 23000}, "curve \"c\"");
    curve->SetPointsEx({{0, 0}, {6000, 0}, {6000, 3000}}, {ptNode, ptNode, ptEndNode});
    text = Shape<TVexaText>({70000, 20000, 78000, 22000}, "text");
    text->Text().SetText("x = 1: \xC3\xA9t\xC3\xA9");
    panel.PanelHistory().SetActive(true);
  }

  static void LinkEnd(TLinkPointProp& end, TVexaControl* control, TPoint point) {
    end.SetLinkedControl(control);
    end.SetLinkPoint(point);
  }
  TVexaControl* ByName(const std::string& name) const {
    for (int i = 0; i < Scheme()->GetCount(); ++i) {
      if (Scheme()->GetChild(i)->GetName() == name) return Scheme()->GetChild(i);
    }
    return nullptr;
  }
  std::vector<TPoint> Route(const TVexaControl& c) const {
    return test::DocumentPoints(c);
  }

  TVexaControl* a;
  TVexaControl* b;
  TVexaConnector* link;
  TVexaControl* oval;
  TVexaCurve* curve;
  TVexaText* text;
};

struct CommandCase {
  const char* what;
  std::vector<std::string> selected;
  std::function<void(TVexaPanel&)> command;
  const char* caption;
};

TEST_F(PanelCommands, EachCommandIsOneStepThatUndoesAndRedoesByteForByte) {
  const std::vector<CommandCase> cases{
      {"delete shapes", {"oval", "curve \"c\"", "text"}, [](TVexaPanel& p) { p.DeleteSelected(); }, "Delete control(s)"},
      {"delete a linked box", {"a"}, [](TVexaPanel& p) { p.DeleteSelected(); }, "Delete control(s)"},
      {"delete a connector", {"link"}, [](TVexaPanel& p) { p.DeleteSelected(); }, "Delete control(s)"},
      {"delete a box and its connector", {"link", "b"}, [](TVexaPanel& p) { p.DeleteSelected(); }, "Delete control(s)"},
      {"move shapes", {"oval", "curve \"c\"", "text"}, [](TVexaPanel& p) { p.MoveSelection(1500, -700); },
       "Size/move control(s)"},
      {"move a linked box", {"b"}, [](TVexaPanel& p) { p.MoveSelection(0, 20000); }, "Size/move control(s)"},
      {"move both ends and the connector", {"a", "b", "link"}, [](TVexaPanel& p) { p.MoveSelection(-3000, 4000); },
       "Size/move control(s)"},
      {"rotate mixed shapes", {"oval", "curve \"c\"", "text"},
       [](TVexaPanel& p) { p.RotateSelection({60000, 21000, 90, false}); }, "Size/move control(s)"},
      {"rotate a linked box by a half turn", {"b"}, [](TVexaPanel& p) { p.RotateSelection({20000, 5000, 170, false}); },
       "Size/move control(s)"},
      {"mirror a curve", {"curve \"c\""}, [](TVexaPanel& p) { p.RotateSelection({63000, 21500, 0, true}); },
       "Size/move control(s)"},
  };
  TVexaPanelHistory& history = panel.PanelHistory();
  for (const CommandCase& row : cases) {
    SCOPED_TRACE(row.what);
    history.Clear();
    std::vector<TVexaControl*> controls;
    for (const std::string& name : row.selected) controls.push_back(ByName(name));
    SelectOnly(controls);
    const std::string before = SaveText();
    row.command(panel);
    const std::string after = SaveText();
    ASSERT_NE(before, after);
    ASSERT_EQ(1, history.ActionIndex() + 1) << "one step";
    EXPECT_EQ(row.caption, history.GetAction(history.ActionIndex())->Caption);
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(history.Undo());
      EXPECT_EQ(before, SaveText());
      ASSERT_TRUE(history.Redo());
      EXPECT_EQ(after, SaveText());
    }
    ASSERT_TRUE(history.Undo());
    ASSERT_EQ(before, SaveText());
  }
}

TEST_F(PanelCommands, NothingToDoRecordsNothing) {
  TVexaPanelHistory& history = panel.PanelHistory();
  const std::string before = SaveText();
  panel.DeleteSelected();
  panel.MoveSelection(100, 100);
  panel.RotateSelection({0, 0, 90, false});
  SelectOnly({oval});
  panel.MoveSelection(0, 0);
  panel.RotateSelection({0, 0, 44, false});
  EXPECT_EQ(0, history.Count());
  EXPECT_EQ(before, SaveText());
}

TEST_F(PanelCommands, DeleteFreesTheSelectionAndUndoSelectsNothingStale) {
  SelectOnly({a, oval});
  const int32_t ovalId = oval->GetId();
  panel.DeleteSelected();
  EXPECT_EQ(0, panel.SelectedCount());
  EXPECT_EQ(nullptr, panel.FindControlByID(ovalId));
  EXPECT_EQ(nullptr, ByName("a"));
  // The connector stays, no longer held by the deleted box.
  ASSERT_NE(nullptr, ByName("link"));
  EXPECT_EQ(nullptr, link->LinkA().LinkedControl());
  ASSERT_TRUE(panel.PanelHistory().Undo());
  ASSERT_NE(nullptr, panel.FindControlByID(ovalId));
  ASSERT_NE(nullptr, ByName("a"));
  EXPECT_EQ(ByName("a"), link->LinkA().LinkedControl());
}

TEST_F(PanelCommands, MovingALinkedBoxReroutesItsConnectorAndUndoRestoresTheRoute) {
  const std::vector<TPoint> routeBefore = Route(*link);
  ASSERT_EQ((std::vector<TPoint>{{10000, 5000}, {30000, 5000}}), routeBefore);
  SelectOnly({b});
  panel.MoveSelection(0, 20000);
  EXPECT_EQ((TRect{30000, 20000, 40000, 30000}), b->GetDocRect());
  EXPECT_EQ((TPoint{30000, 25000}), link->LinkB().GetLinkPoint());
  EXPECT_EQ((std::vector<TPoint>{{10000, 5000}, {20000, 5000}, {20000, 25000}, {30000, 25000}}), Route(*link));
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ((TRect{30000, 0, 40000, 10000}), b->GetDocRect());
  EXPECT_EQ(routeBefore, Route(*link));
  EXPECT_EQ((TPoint{30000, 5000}), link->LinkB().GetLinkPoint());
}

// The step a points control records when its update ends goes back to the rectangle the update
// began with, whether it moved or was resized.
TEST_F(PanelCommands, PointsControlsChangedInAnUpdateUndoExactly) {
  TVexaPanelHistory& history = panel.PanelHistory();
  for (TVexaControl* c : std::vector<TVexaControl*>{oval, curve}) {
    SCOPED_TRACE(c->GetName());
    const std::string before = SaveText();
    c->BeginUpdate();
    c->SetLeft(c->GetLeft() + 700);
    c->SetWidth(c->GetWidth() * 2);
    c->SetHeight(c->GetHeight() + 500);
    c->EndUpdate();
    const std::string after = SaveText();
    ASSERT_NE(before, after);
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(before, SaveText());
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(after, SaveText());
    ASSERT_TRUE(history.Undo());
  }
}

// The bracket records where the connector was before any of it; the reroute that its gap sets
// off in the middle belongs to the same step.
TEST_F(PanelCommands, AConnectorMovedAndReroutedInOneUpdateUndoesExactly) {
  auto* loose = Shape<TVexaConnector>({0, 0, 1, 1}, "loose");
  loose->LinkA().SetLinkPoint({20000, 30000});
  loose->LinkB().SetLinkPoint({26000, 34000});
  TVexaPanelHistory& history = panel.PanelHistory();
  history.Clear();
  const std::string before = SaveText();
  loose->BeginUpdate();
  loose->SetLeft(loose->GetLeft() + 5000);
  loose->SetMinimalGap(1000);
  loose->SetWidth(6000);
  loose->EndUpdate();
  const std::string after = SaveText();
  ASSERT_NE(before, after);
  // The gap is a property of its own: a step for it, and one for the geometry.
  const int steps = history.Count();
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(history.Undo());
    EXPECT_EQ(before, SaveText());
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(history.Redo());
    EXPECT_EQ(after, SaveText());
  }
}

// A change of a curve's points changes its rectangle: the connector linked to it reroutes and
// the group holding it fits it again, and one undo puts all of them back.
TEST_F(PanelCommands, CurvePointChangesAndWhatFollowsThemAreOneStep) {
  const struct {
    const char* name;
    void (*change)(TVexaCurve& c);
  } cases[] = {
      {"new points",
       [](TVexaCurve& c) {
         c.SetPointsEx({{0, 0}, {9000, 0}, {9000, 7000}, {2000, 7000}}, {ptNode, ptNode, ptNode, ptEndNode});
       }},
      {"a point moved", [](TVexaCurve& c) { c.SetPoint(2, {9000, 8000}); }},
      {"a point added", [](TVexaCurve& c) { c.InsertPoint(4, {-3000, 5000}); }},
      {"a point deleted", [](TVexaCurve& c) { c.DeletePoint(3); }},
  };
  auto* toCurve = Shape<TVexaConnector>({0, 0, 1, 1}, "to curve");
  LinkEnd(toCurve->LinkA(), b, {40000, 5000});
  LinkEnd(toCurve->LinkB(), curve, {60000, 21500});
  for (const bool grouped : {false, true}) {
    SCOPED_TRACE(grouped ? "in a group and linked" : "linked by a connector");
    if (grouped) {
      SelectOnly({oval, curve});
      ASSERT_NE(nullptr, panel.GroupSelection("TVexaGroup"));
    }
    for (const auto& k : cases) {
      SCOPED_TRACE(k.name);
      curve->SetPointsEx({{0, 0}, {6000, 0}, {6000, 3000}, {2000, 5000}}, {ptNode, ptNode, ptNode, ptEndNode});
      panel.PanelHistory().Clear();
      const std::string before = SaveText();
      k.change(*curve);
      ExpectOneStepUndoesAndRedoes(before);
    }
  }
}

TEST_F(PanelCommands, AMoveBeyondTheCoordinateRangeStopsAtItsEdges) {
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  SelectOnly({oval});
  const std::string before = SaveText();
  panel.MoveSelection(kMax, kMax);
  // The whole rectangle stays inside the range.
  EXPECT_EQ((TRect{kMax - 4000, kMax - 2000, kMax, kMax}), oval->GetDocRect());
  panel.MoveSelection(kMin, kMin);
  panel.MoveSelection(kMin, kMin);
  EXPECT_EQ(kMin, oval->GetLeft());
  EXPECT_EQ(kMin, oval->GetTop());
  EXPECT_EQ(4000, oval->GetWidth());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(before, SaveText());
}

// A control set or read at the edge of the coordinate range repaints a rectangle inside the
// range, whatever reaches past it (its size, a child, a clone's source, a pen).
TEST_F(PanelCommands, ControlsAtTheEdgeOfTheRangeRepaintWithinIt) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
  auto* clone = Shape<TVexaClone>({0, 0, 5000, 5000}, "clone");
  clone->SetSource(a);
  clone->SetAutoSize(false);
  SelectOnly({oval, b});
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  for (TVexaControl* c : std::vector<TVexaControl*>{a, curve, text, clone, group, link}) {
    for (const int32_t edge : {kMax - 100, kMin + 100}) {
      window.invalidated.clear();
      c->SetLeft(edge);
      c->SetTop(edge);
      const TRect doc = c->GetDocRect();
      const TRect refresh = c->GetRefreshRect(doc.left, doc.top);
      EXPECT_LE(refresh.left, refresh.right) << c->GetName() << " at " << edge;
      EXPECT_LE(refresh.top, refresh.bottom) << c->GetName() << " at " << edge;
      for (const TRect& r : window.invalidated) {
        EXPECT_LE(r.left, r.right) << c->GetName() << " at " << edge;
        EXPECT_LE(r.top, r.bottom) << c->GetName() << " at " << edge;
      }
      canvas::RecordingCanvas canvas;
      panel.WindowPaint(canvas, window.ClientRect());
    }
  }
}

// However a selected control leaves the selection and the document, the handles of the old
// selection are repainted away; those of what stays selected are repainted in their place.
TEST_F(PanelCommands, ControlsLeavingTheSelectionRepaintTheirOldHandles) {
  clipboard::TMemoryClipboard clip;
  panel.SetClipboard(&clip);
  const struct {
    const char* what;
    std::vector<std::string> selected;
    std::function<void(TVexaPanel&)> leave;
  } cases[] = {
      {"delete", {"a"}, [](TVexaPanel& p) { p.DeleteSelected(); }},
      {"delete two of two", {"oval", "a"}, [](TVexaPanel& p) { p.DeleteSelected(); }},
      {"cut", {"oval"}, [](TVexaPanel& p) { p.CutToClipboard(); }},
      {"freed by the host", {"oval", "text"}, [](TVexaPanel& p) { p.Selected(1)->Free(); }},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    std::vector<TVexaControl*> chosen;
    for (const std::string& name : row.selected) chosen.push_back(ByName(name));
    SelectOnly(chosen);
    const canvas::Region before = panel.GetHandlesRegion();
    ASSERT_FALSE(before.IsEmpty());
    window.invalidated.clear();
    row.leave(panel);
    const canvas::Region repainted = canvas::Region::FromRects(window.invalidated);
    const canvas::Region after = panel.GetHandlesRegion();
    for (const canvas::Region& handles : {before, after}) {
      for (const TRect& r : handles.Rects()) {
        EXPECT_TRUE(repainted.Contains(r.left, r.top) && repainted.Contains(r.right - 1, r.bottom - 1))
            << r.left << "," << r.top << " " << r.right << "," << r.bottom;
      }
    }
    panel.UnselectAll();
    while (panel.PanelHistory().Undo()) {
    }
    panel.PanelHistory().Clear();
  }
}

TEST(PanelQuarterTurns, AnglesRoundToTheNearestQuarterTurnHalvesToEven) {
  const struct {
    int32_t angle, turned;
  } cases[] = {{0, 0},     {44, 0},     {45, 0},     {46, 90},    {100, 90},    {135, 180},   {225, 180},
               {270, 270}, {315, 0},    {450, 90},   {-90, -90},  {-135, -180}, {-100, -90},  {-315, 0},
               {720, 0},   {-45, 0},    {std::numeric_limits<int32_t>::max(), 90}, {std::numeric_limits<int32_t>::min(), -90}};
  for (const auto& row : cases) EXPECT_EQ(row.turned, TVexaPanel::QuarterTurnAngle(row.angle)) << row.angle;
}

TEST_F(PanelCommands, RotatingMixedShapesTurnsEachAboutTheCentreAndSkipsReadOnlyLayers) {
  // A second layer, read-only, holding the text.
  auto* locked = TVexaControl::New<TVexaLayer>(&panel, &panel.Layers());
  text->SetLayerControl(locked);
  locked->SetReadOnly(true);
  const TRect textRect = text->GetDocRect();
  SelectOnly({oval, curve, text});
  // 100 degrees is a quarter turn about (60000, 21000).
  panel.RotateSelection({60000, 21000, 100, false});
  const TRotateRec quarter{60000, 21000, 90, false};
  EXPECT_EQ(RotateRect({50000, 20000, 54000, 22000}, quarter), oval->GetDocRect());
  EXPECT_EQ(2000, RectWidth(oval->GetDocRect()));
  EXPECT_EQ(4000, RectHeight(oval->GetDocRect()));
  std::vector<TPoint> expected{{60000, 20000}, {66000, 20000}, {66000, 23000}};
  for (TPoint& p : expected) p = RotatePoint(p, quarter);
  EXPECT_EQ(expected, Route(*curve));
  EXPECT_EQ(textRect, text->GetDocRect());
}

// A group's children turn with it, and the one step of the turn puts them back: a quarter
// turn changes the group's rectangle, a half turn and a mirror leave it as it was.
TEST_F(PanelCommands, TurningAGroupIsOneStepThatPutsItsChildrenBack) {
  SelectOnly({oval, curve});
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  const std::vector<TRotateRec> turns{{60000, 21000, 90, false}, {60000, 21000, 180, false}, {58000, 21500, 0, true}};
  TVexaPanelHistory& history = panel.PanelHistory();
  for (const TRotateRec& turn : turns) {
    SCOPED_TRACE(turn.mirror ? "mirror" : std::to_string(turn.angle));
    history.Clear();
    SelectOnly({group});
    const std::string before = SaveText();
    const std::vector<TPoint> route = Route(*curve);
    panel.RotateSelection(turn);
    ASSERT_NE(route, Route(*curve));
    ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(route, Route(*curve));
  }
}

// A group inside the turned group turns inside it: undo puts the inner group back before its
// children, whose places are relative to it, so that its move does not carry them off.
TEST_F(PanelCommands, TurningAGroupThatHoldsAGroupPutsTheInnerChildrenBack) {
  SelectOnly({oval, curve});
  auto* inner = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, inner);
  SelectOnly({inner, text});
  auto* outer = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, outer);
  const std::vector<TRotateRec> turns{{60000, 21000, 90, false}, {60000, 21000, 270, false}, {62000, 21500, 0, true}};
  TVexaPanelHistory& history = panel.PanelHistory();
  for (const TRotateRec& turn : turns) {
    SCOPED_TRACE(turn.mirror ? "mirror" : std::to_string(turn.angle));
    history.Clear();
    SelectOnly({outer});
    const std::string before = SaveText();
    const TRect ovalRect = oval->GetDocRect();
    const TRect innerRect = inner->GetDocRect();
    panel.RotateSelection(turn);
    ASSERT_NE(innerRect, inner->GetDocRect());
    ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(innerRect, inner->GetDocRect());
    EXPECT_EQ(ovalRect, oval->GetDocRect());
  }
}

// A clone inside a group follows its turned source before the group turns: the group fits
// itself to the clone first, and the step of that fit still puts its children back where they
// were inside it when the turn is undone.
TEST_F(PanelCommands, TurningAGroupThatFittedItselfToACloneFirstPutsItsChildrenBack) {
  auto* source = Shape<TVexaBox>({0, 40000, 6000, 44000}, "source");
  auto* member = Shape<TVexaBox>({20000, 40000, 23000, 42000}, "member");
  auto* clone = Shape<TVexaClone>({30000, 40000, 36000, 44000}, "clone");
  clone->SetSource(source);
  SelectOnly({member, clone});
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  TVexaPanelHistory& history = panel.PanelHistory();
  history.Clear();
  SelectOnly({source, group});
  const std::string before = SaveText();
  const TRect memberRect = member->GetDocRect();
  panel.RotateSelection({18000, 42000, 90, false});
  ASSERT_NE(memberRect, member->GetDocRect());
  ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(memberRect, member->GetDocRect());
}

// A curve turned inside its group fits its rectangle to the turned points; a clone of it in
// another group follows, and that group fits itself to the clone. Both are part of the turn's
// step: undo gives the clone and its group back their sizes.
TEST_F(PanelCommands, TurningAGroupThatHoldsACloneSourceUndoesTheCloneAndItsGroup) {
  auto* member = Shape<TVexaBox>({80000, 40000, 83000, 42000}, "member");
  auto* clone = Shape<TVexaClone>({90000, 40000, 96000, 43000}, "clone");
  clone->SetSource(curve);
  SelectOnly({oval, curve});
  auto* turned = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, turned);
  SelectOnly({member, clone});
  auto* following = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, following);
  TVexaPanelHistory& history = panel.PanelHistory();
  history.Clear();
  SelectOnly({turned});
  const std::string before = SaveText();
  const TRect cloneRect = clone->GetDocRect();
  const TRect groupRect = following->GetDocRect();
  panel.RotateSelection({60000, 21500, 90, false});
  ASSERT_EQ(curve->GetHeight(), clone->GetHeight());
  ASSERT_NE(groupRect, following->GetDocRect());
  ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
  ASSERT_TRUE(history.Undo());
  EXPECT_EQ(cloneRect, clone->GetDocRect());
  EXPECT_EQ(groupRect, following->GetDocRect());
}

// A connector inside a moved group routes again as its linked boxes move with the group; the
// step of that route puts back the route from before the move, after the group is back.
TEST_F(PanelCommands, MovingAGroupThatHoldsALinkedConnectorUndoesItsRoute) {
  SelectOnly({a, b});
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  link->SetParent(group);
  ASSERT_EQ(group, link->GetParent());
  TVexaPanelHistory& history = panel.PanelHistory();
  for (const TPoint by : {TPoint{1000, 0}, TPoint{-4000, 2500}}) {
    SCOPED_TRACE(std::to_string(by.x) + "," + std::to_string(by.y));
    history.Clear();
    SelectOnly({group});
    const std::string before = SaveText();
    const std::vector<TPoint> route = Route(*link);
    panel.MoveSelection(by.x, by.y);
    ASSERT_NE(route, Route(*link));
    ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(route, Route(*link));
  }
}

// A connector never goes into a group, wherever it stands in the selection: a group needs two
// other controls, and a group made beside a connector is one step that redoes as it was.
TEST_F(PanelCommands, AConnectorSelectedFirstStaysOutOfTheGroup) {
  TVexaPanelHistory& history = panel.PanelHistory();
  const std::string before = SaveText();
  SelectOnly({link, oval});
  EXPECT_EQ(nullptr, panel.GroupSelection("TVexaGroup"));
  EXPECT_EQ(0, history.Count());
  EXPECT_EQ(before, SaveText());
  SelectOnly({link, oval, text});
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  EXPECT_EQ(2, group->GetCount());
  EXPECT_EQ(Scheme(), link->GetParent());
  ExpectOneStepUndoesAndRedoes(before);
}

TEST_F(PanelCommands, ScaleAndCentrePutsThePointInTheMiddleOfTheWindow) {
  const TRect client = window.ClientRect();
  const TPoint middle{RectWidth(client) / 2, RectHeight(client) / 2};
  panel.SetScaleAndCenter(2000, TRect{50000, 20000, 54000, 22000});
  EXPECT_EQ(2000, panel.GetScale());
  const TPoint shown = panel.DocToPixelPoint({52000, 21000});
  EXPECT_NEAR(middle.x, shown.x, 1);
  EXPECT_NEAR(middle.y, shown.y, 1);
  // Without a rectangle the document point in the middle stays there.
  const TPoint centre = panel.PixelToDocPoint(middle);
  panel.SetScaleAndCenter(5000);
  EXPECT_EQ(5000, panel.GetScale());
  const TPoint again = panel.DocToPixelPoint(centre);
  EXPECT_NEAR(middle.x, again.x, 1);
  EXPECT_NEAR(middle.y, again.y, 1);
  // Towards a corner the scroll bars stop at their ends rather than run past them.
  panel.SetScaleAndCenter(5000, TRect{0, 0, 0, 0});
  EXPECT_EQ((TPoint{0, 0}), panel.ScrollOrigin());
}

TEST_F(PanelCommands, TheStartUpCallMakesEveryClassOfTheDocumentTextLoadable) {
  for (const char* name : {"TVexaLayer", "TVexaScheme", "TVexaControl", "TVexaServiceControl", "TVexaGroup",
                           "TVexaClone", "TVexaBox", "TVexaEllipse", "TVexaArc", "TVexaPicture", "TVexaText",
                           "TVexaCurve", "TVexaConnector"}) {
    EXPECT_NE(nullptr, FindControlClass(name)) << name;
  }
  // A document of shapes and a linked connector comes back whole through a second panel.
  const std::string saved = SaveText();
  test::PanelFixture other;
  TMemoryStream stream(saved);
  std::unique_ptr<TVexaFiler> filer = other.panel.CreateFiler(stream, TVexaFilerProcess::ppLoad);
  other.panel.LoadDocumentFromFiler(*filer, TLoadMode::Document);
  EXPECT_EQ(saved, other.SaveText());
  EXPECT_EQ(6, other.Scheme()->GetCount());
}

}  // namespace
}  // namespace pv::graphics
