// Drag copies between two panels on null windows, the desktop played by a script: a drop
// gives the target the controls selected with fresh IDs as one undo step; a drag that leaves
// shows nothing any more; the source loses its selection only when another panel took the
// drop as a move (its own undo step), keeps everything when the drop is cancelled or refused,
// and moves the selection itself (IDs and links kept) when the drop comes back to it.

#include <gtest/gtest.h>

#include <cstring>

#include "clipboard/MemoryClipboard.h"
#include "document/Group.h"
#include "forms/CursorIds.h"
#include "props/BrushProp.h"
#include "panel/tests/LinkedDocument.h"

namespace pv::graphics {
namespace {

using panelwindow::TDragData;
using panelwindow::TDragState;
using panelwindow::TDropAction;

struct PanelDrag : ::testing::Test, test::LinkedDocument {
  PanelDrag() {
    // Something of its own, so that fresh IDs must avoid it.
    target.Box(target.Scheme(), {0, 0, 5000, 5000}, "own");
    target.panel.SetModified(false);
    target.panel.PanelHistory().SetActive(true);
    SelectOnly({a, b, link});
  }

  // The desktop: the drag passes over the windows named, then ends as the last step says.
  struct Step {
    panelwindow::TNullPanelWindow* window;
    TDragState state;
    TPoint at;
  };
  void Script(std::vector<Step> steps, panelwindow::TNullPanelWindow* dropOn, TPoint dropAt, TDropAction action) {
    window.dragScript = [=, this](const TDragData& data, TDropAction preferred) {
      seen = data;
      this->preferred = preferred;
      for (const Step& s : steps) s.window->DragOver(data, s.at, s.state);
      if (!dropOn) return TDropAction::None;
      return dropOn->Drop(data, dropAt, action);
    };
  }
  std::string TargetText() { return target.SaveText(); }

  test::PanelFixture target;
  TDragData seen;
  TDropAction preferred = TDropAction::None;
};

TEST_F(PanelDrag, TheDragGroupIsACopyOfTheSelectionWithoutAnIdAndChangesNothing) {
  panel.SetModified(false);
  const std::string before = SaveText();
  std::unique_ptr<TVexaDragObject> drag = panel.CreateDragGroup(nullptr, false, "DragGroup", true);
  TVexaControl* group = drag->Control();
  ASSERT_NE(nullptr, group);
  EXPECT_EQ("DragGroup", group->GetName());
  EXPECT_EQ(0u, group->GetID());
  EXPECT_EQ(nullptr, group->GetParent());
  EXPECT_EQ(panel.SelectionDocRect(), group->GetDocRect());
  ASSERT_EQ(3, group->GetCount());
  std::vector<TVexaControl*> children;
  for (int i = 0; i < 3; ++i) children.push_back(group->GetChild(i));
  EXPECT_TRUE(test::ConnectorsLinkTheirOwnBoxes(children));
  const TVexaControl* first = children[0];
  EXPECT_EQ(TRect(0, 0, 10000, 10000),
            TRect(first->GetLeft(), first->GetTop(), first->GetLeft() + first->GetWidth(),
                  first->GetTop() + first->GetHeight()))
      << "relative to the selection";
  EXPECT_EQ(before, SaveText());
  EXPECT_FALSE(panel.Modified());
  EXPECT_EQ(0, panel.PanelHistory().Count());
  // Grabbed where the mouse was: at 100 % a pixel is 1000 units. The hourglass shows while
  // the copy is made, and the cursor comes back.
  const int cursor = panel.Cursor();
  std::vector<int> cursors;
  panel.OnProgress = [&](TVexaPanel&, int, TVexaFilerProcess) { cursors.push_back(window.cursor); };
  std::unique_ptr<TVexaDragObject> grabbed =
      panel.CreateDragObject(nullptr, false, "g", panel.GetScale(), panel.ScrollOrigin(), {25, 17}, true);
  panel.OnProgress = nullptr;
  ASSERT_FALSE(cursors.empty());
  EXPECT_EQ(forms::crHourGlass, cursors.front());
  EXPECT_EQ(cursor, window.cursor);
  const TPoint doc = panel.PixelToDocPoint({25, 17});
  EXPECT_EQ(TPoint(doc.x - 10000, doc.y - 10000), grabbed->Grab());
  drag.reset();
  grabbed.reset();
  EXPECT_TRUE(panel.Parentless().empty());
  EXPECT_EQ(before, SaveText());
}

TEST_F(PanelDrag, ADropGivesTheTargetTheControlsSelectedWithFreshIdsAsOneUndoStep) {
  const std::string source = SaveText();
  const std::string before = TargetText();
  const TPoint drop{120, 90};
  Script({{&target.window, TDragState::Enter, {10, 10}}, {&target.window, TDragState::Move, {60, 40}}},
         &target.window, drop, TDropAction::Copy);
  EXPECT_EQ(TDropAction::Copy, panel.DragSelection({15, 12}, false));
  EXPECT_EQ(TDropAction::Copy, preferred);
  ASSERT_EQ(1u, seen.formats.size());
  EXPECT_EQ(VexaControlsMime(), seen.formats[0]);

  TVexaPanel& t = target.panel;
  EXPECT_TRUE(t.Modified());
  const std::string after = TargetText();
  ASSERT_EQ(4, target.Scheme()->GetCount());
  ASSERT_EQ(3, t.SelectedCount());
  std::vector<TVexaControl*> dropped;
  std::set<int32_t> ids{target.Scheme()->GetChild(0)->GetId()};
  for (int i = 0; i < 3; ++i) {
    TVexaControl* s = t.Selected(i);
    dropped.push_back(s);
    EXPECT_EQ(target.Scheme(), s->GetParent());
    EXPECT_EQ(t.GetActiveLayer(), s->GetLayer());
    EXPECT_GT(s->GetId(), 0);
    EXPECT_TRUE(ids.insert(s->GetId()).second) << "ID " << s->GetId() << " twice";
    EXPECT_EQ(s, t.FindControlByID(s->GetId()));
  }
  EXPECT_TRUE(test::ConnectorsLinkTheirOwnBoxes(dropped));
  // The point of box "a" that was under the mouse in the source lies under the drop point.
  const TVexaControl* box = test::Named(*target.Scheme(), "a").at(0);
  const TPoint grabbed = panel.PixelToDocPoint({15, 12});
  const TPoint doc = t.PixelToDocPoint(drop);
  EXPECT_EQ(TPoint(doc.x - (grabbed.x - 10000), doc.y - (grabbed.y - 10000)), TPoint(box->GetLeft(), box->GetTop()));
  EXPECT_EQ(nullptr, t.ShownDragObject());
  EXPECT_TRUE(t.Parentless().empty());

  ASSERT_EQ(1, t.PanelHistory().Count());
  EXPECT_EQ("Create control(s)", t.PanelHistory().GetAction(0)->Caption);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(t.PanelHistory().Undo());
    EXPECT_EQ(before, TargetText());
    ASSERT_TRUE(t.PanelHistory().Redo());
    EXPECT_EQ(after, TargetText());
  }
  // A copy leaves the source as it was, its selection too.
  EXPECT_EQ(source, SaveText());
  EXPECT_EQ(0, panel.PanelHistory().Count());
  EXPECT_EQ((std::vector<TVexaControl*>{a, b, link}), Selection());
  EXPECT_TRUE(panel.Parentless().empty());
}

TEST_F(PanelDrag, ALeaveTakesOutEverythingTheDragShowed) {
  TVexaControl* own = target.Scheme()->GetChild(0);
  target.panel.Select(own);
  const std::string before = TargetText();
  std::unique_ptr<TVexaDragObject> drag = panel.CreateDragObject(nullptr, false, "DragGroup", panel.GetScale(),
                                                                 panel.ScrollOrigin(), {0, 0}, true);
  bool accept = false;
  EXPECT_FALSE(target.window.focused);
  target.panel.DragOver(drag.get(), 50, 50, TDragState::Enter, accept);
  EXPECT_TRUE(accept);
  EXPECT_TRUE(target.window.focused);
  EXPECT_EQ(drag.get(), target.panel.ShownDragObject());
  EXPECT_EQ(2, target.Scheme()->GetCount());
  ASSERT_EQ(1, target.panel.SelectedCount());
  EXPECT_EQ(drag->Control(), target.panel.Selected(0));
  target.panel.DragOver(drag.get(), 80, 20, TDragState::Move, accept);
  EXPECT_EQ(80000, drag->Control()->GetLeft() + drag->Grab().x - target.panel.ScrollOrigin().x * 1000);
  target.panel.DragOver(drag.get(), 0, 0, TDragState::Leave, accept);
  EXPECT_EQ(nullptr, target.panel.ShownDragObject());
  EXPECT_FALSE(target.panel.Modified());
  EXPECT_EQ(before, TargetText());
  EXPECT_EQ(0, target.panel.PanelHistory().Count());
  ASSERT_EQ(1, target.panel.SelectedCount());
  EXPECT_EQ(own, target.panel.Selected(0));
  // Something that is not ours is refused and takes out what was shown.
  target.panel.DragOver(drag.get(), 50, 50, TDragState::Enter, accept);
  target.panel.DragOver(nullptr, 50, 50, TDragState::Move, accept);
  EXPECT_FALSE(accept);
  EXPECT_EQ(before, TargetText());
  drag.reset();
  EXPECT_TRUE(target.panel.Parentless().empty());
  EXPECT_TRUE(panel.Parentless().empty());
}

TEST_F(PanelDrag, AutoDragDeletesTheSelectionOnlyAfterAnotherPanelTookItAsAMove) {
  const std::string before = SaveText();
  panel.SetToolMode(5);
  Script({{&window, TDragState::Enter, {30, 30}}, {&window, TDragState::Leave, {}},
          {&target.window, TDragState::Enter, {10, 10}}},
         &target.window, {100, 100}, TDropAction::Move);
  panel.StartAutoDrag();
  EXPECT_EQ(TDropAction::Move, preferred);
  EXPECT_EQ(0, panel.GetToolMode());
  // Moved: gone here, as a step of its own; the box left behind keeps its connector.
  EXPECT_TRUE(test::Named(*Scheme(), "a").empty());
  EXPECT_TRUE(test::Named(*Scheme(), "link").empty());
  EXPECT_EQ(2, Scheme()->GetCount());
  EXPECT_EQ(4, target.Scheme()->GetCount());
  EXPECT_EQ(1, target.panel.PanelHistory().Count());
  ExpectOneStepUndoesAndRedoes(before, "Delete control(s)");
  EXPECT_TRUE(panel.Parentless().empty());
}

TEST_F(PanelDrag, AMouseMoveOutOfTheWindowStartsTheAutoDragAfterClosingTheMoveStep) {
  panel.AutoDragEnabled = true;
  {
    // Filled, so that a press inside takes it.
    TRecordingOff off(panel.PanelHistory());
    a->Brush().SetStyle(canvas::BrushStyle::Solid);
    a->Brush().SetColor(canvas::clRed);
  }
  const std::string before = SaveText();
  std::string moved;
  Script({{&target.window, TDragState::Enter, {10, 10}}}, &target.window, {100, 100}, TDropAction::Move);
  const auto script = window.dragScript;
  window.dragScript = [&](const TDragData& data, TDropAction action) {
    moved = SaveText();
    EXPECT_EQ(0, panel.PanelHistory().GroupDepth()) << "the move step is closed before the drag";
    return script(data, action);
  };
  const TPoint inA = panel.DocToPixelPoint({15000, 15000});
  panel.MouseDown(panelwindow::TMouseButton::mbLeft, panelwindow::ssLeft, inA.x, inA.y);
  panel.MouseMove(panelwindow::ssLeft, inA.x + 3, inA.y);
  EXPECT_EQ(5, panel.GetToolMode());
  EXPECT_EQ(0, window.dragsStarted);
  panel.MouseMove(panelwindow::ssLeft, -5, inA.y);
  EXPECT_EQ(1, window.dragsStarted);
  EXPECT_EQ(panel.BaseToolMode(), panel.GetToolMode());
  panel.MouseUp(panelwindow::TMouseButton::mbLeft, 0, -5, inA.y);
  // The move up to the edge and the deletion after the drop: two steps of their own.
  ASSERT_EQ(2, panel.PanelHistory().Count());
  EXPECT_EQ("Size/move control(s)", panel.PanelHistory().GetAction(0)->Caption);
  EXPECT_EQ("Delete control(s)", panel.PanelHistory().GetAction(1)->Caption);
  EXPECT_EQ(2, Scheme()->GetCount());
  EXPECT_EQ(4, target.Scheme()->GetCount());
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(moved, SaveText());
  ASSERT_TRUE(panel.PanelHistory().Undo());
  EXPECT_EQ(before, SaveText());
}

TEST_F(PanelDrag, ACancelledOrRefusedDropLosesNothing) {
  panelwindow::TNullPanelWindow nowhere(100, 100);  // a window no panel listens to
  const struct {
    const char* what;
    std::vector<Step> steps;
    panelwindow::TNullPanelWindow* dropOn;
    TDropAction action;
  } cases[] = {
      {"cancelled over the target", {{&target.window, TDragState::Enter, {10, 10}}}, nullptr, TDropAction::Move},
      {"cancelled over the source", {{&window, TDragState::Enter, {10, 10}}, {&window, TDragState::Move, {40, 20}}},
       nullptr, TDropAction::Move},
      {"left the target and cancelled", {{&target.window, TDragState::Enter, {10, 10}}, {&target.window, TDragState::Leave, {}}},
       nullptr, TDropAction::Move},
      {"refused where it was dropped", {}, &nowhere, TDropAction::Move},
  };
  const std::string before = SaveText();
  const std::string targetBefore = TargetText();
  for (const auto& row : cases) {
    SCOPED_TRACE(row.what);
    panel.SetToolMode(5);
    Script(row.steps, row.dropOn, {50, 50}, row.action);
    panel.StartAutoDrag();
    EXPECT_EQ(0, panel.GetToolMode());
    EXPECT_EQ(before, SaveText());
    EXPECT_EQ((std::vector<TVexaControl*>{a, b, link}), Selection());
    EXPECT_EQ(0, panel.PanelHistory().Count());
    EXPECT_EQ(nullptr, panel.ShownDragObject());
    EXPECT_TRUE(panel.Parentless().empty());
    EXPECT_EQ(targetBefore, TargetText());
    EXPECT_EQ(0, target.panel.PanelHistory().Count());
    EXPECT_TRUE(target.panel.Parentless().empty());
  }
}

TEST_F(PanelDrag, APanelClosedWhileADragIsOverItGivesTheDragBack) {
  const std::string before = SaveText();
  auto closing = std::make_unique<test::PanelFixture>();
  window.dragScript = [&](const TDragData& data, TDropAction) {
    closing->window.DragOver(data, {20, 20}, TDragState::Enter);
    EXPECT_NE(nullptr, closing->panel.ShownDragObject());
    closing.reset();
    return TDropAction::None;
  };
  EXPECT_EQ(TDropAction::None, panel.DragSelection({10, 10}, true));
  EXPECT_EQ(before, SaveText());
  EXPECT_TRUE(panel.Parentless().empty());
  EXPECT_EQ((std::vector<TVexaControl*>{a, b, link}), Selection());
}

TEST_F(PanelDrag, ADropBackOntoTheSourceMovesTheSelectionKeepingIdsAndLinks) {
  const std::string before = SaveText();
  const int32_t ids[] = {a->GetId(), b->GetId(), link->GetId()};
  Script({{&window, TDragState::Enter, {20, 20}}, {&window, TDragState::Move, {33, 24}}}, &window, {33, 24},
         TDropAction::Move);
  EXPECT_EQ(TDropAction::Move, panel.DragSelection({20, 20}, true));
  // 13 and 4 pixels at 100 %.
  EXPECT_EQ(TRect(23000, 14000, 33000, 24000), a->GetDocRect());
  EXPECT_EQ(TRect(53000, 14000, 63000, 24000), b->GetDocRect());
  EXPECT_EQ(ids[0], a->GetId());
  EXPECT_EQ(ids[1], b->GetId());
  EXPECT_EQ(ids[2], link->GetId());
  EXPECT_EQ(a, link->LinkA().LinkedControl());
  EXPECT_EQ(a, outer->LinkB().LinkedControl()) << "a link from outside the selection survives";
  EXPECT_EQ(5, Scheme()->GetCount());
  EXPECT_EQ((std::vector<TVexaControl*>{a, b, link}), Selection());
  ExpectOneStepUndoesAndRedoes(before, "Size/move control(s)");
  EXPECT_TRUE(panel.Parentless().empty());
  // A copying drag dropped back makes copies instead, and leaves them selected.
  Script({}, &window, {33, 60}, TDropAction::Copy);
  EXPECT_EQ(TDropAction::Copy, panel.DragSelection({20, 20}, false));
  EXPECT_EQ(8, Scheme()->GetCount());
  const std::vector<TVexaControl*> copies = Selection();
  ASSERT_EQ(3u, copies.size());
  for (TVexaControl* original : {static_cast<TVexaControl*>(a), static_cast<TVexaControl*>(b),
                                 static_cast<TVexaControl*>(link)}) {
    EXPECT_EQ(copies.end(), std::find(copies.begin(), copies.end(), original));
  }
  EXPECT_TRUE(test::ConnectorsLinkTheirOwnBoxes(copies));
  EXPECT_EQ(a, link->LinkA().LinkedControl());
}

TEST_F(PanelDrag, AnotherProgramsDragOfOurFormatDropsAndBrokenBytesAreRefused) {
  clipboard::TMemoryClipboard clip;
  panel.SetClipboard(&clip);
  ASSERT_TRUE(panel.CopyToClipboard());
  const std::vector<uint8_t> copied = clip.Data(VexaControlsMime()).value_or(std::vector<uint8_t>{});
  ASSERT_FALSE(copied.empty());
  const auto offer = [](std::vector<uint8_t> bytes) {
    TDragData data;
    data.formats = {"text/plain", VexaControlsMime()};
    data.bytes = [bytes](std::string_view mime) -> std::optional<std::vector<uint8_t>> {
      if (mime != VexaControlsMime()) return std::nullopt;
      return bytes;
    };
    return data;
  };
  const std::string before = TargetText();
  const TDragData broken = offer({'x', 'y'});
  EXPECT_FALSE(target.window.DragOver(broken, {10, 10}, TDragState::Enter));
  EXPECT_EQ(TDropAction::None, target.window.Drop(broken, {10, 10}, TDropAction::Copy));
  EXPECT_EQ(before, TargetText());
  const TDragData good = offer(copied);
  EXPECT_TRUE(target.window.DragOver(good, {10, 10}, TDragState::Enter));
  EXPECT_TRUE(target.window.DragOver(good, {50, 50}, TDragState::Move));
  EXPECT_EQ(TDropAction::Copy, target.window.Drop(good, {50, 50}, TDropAction::Copy));
  EXPECT_EQ(3, target.panel.SelectedCount());
  EXPECT_EQ(4, target.Scheme()->GetCount());
  EXPECT_TRUE(target.panel.Parentless().empty());
  ASSERT_TRUE(target.panel.PanelHistory().Undo());
  EXPECT_EQ(before, TargetText());
}

}  // namespace
}  // namespace pv::graphics
