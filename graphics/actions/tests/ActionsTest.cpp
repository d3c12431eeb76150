// Each control action checked by the document's saved text before the change, after undo
// and after redo, on the test document.

#include <gtest/gtest.h>

#include "actions/CreateDestroyGroups.h"
#include "actions/GeometryActions.h"
#include "actions/GroupActions.h"
#include "actions/OrderHistoryAction.h"
#include "actions/PanelGroups.h"
#include "textformat/testing/TestPanel.h"

namespace pv::graphics {
namespace {

using test::TTestControl;
using test::TTestPanel;

class ActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterControlHistoryActions();
    panel.NewDocument();
    scheme = panel.ActiveScheme();
    // The panel history's rules for actions whose control is gone.
    panel.FoundWithoutSource = [](THistoryAction& a) {
      return InheritsFrom(a.ClassType(), TGroupUngroupHistoryAction::ClassInfo) ||
             InheritsFrom(a.ClassType(), TCreateDestroyHistoryGroup::ClassInfo);
    };
    panel.OnCreatedByLoad = [this](IDocControl& c) { history().RecordStep(TControlCreateHistoryGroup::ClassInfo, &c); };
    panel.OnBoundsChanging = [this](TTestControl& c) { history().RecordStep(TDocRectHistoryAction::ClassInfo, &c); };
    panel.OnPointsChanging = [this](TTestControl& c) { history().RecordStep(TPointsHistoryAction::ClassInfo, &c); };
    for (int i = 0; i < 3; ++i) {
      boxes.push_back(panel.Add("TVexaBox", scheme, "Box" + std::to_string(i)));
      boxes.back()->SetBounds(i * 1000, 0, 500, 500);
    }
    history().SetActive(true);
  }

  THistory& history() { return panel.History(); }

  // The change, then undo and redo, each compared by the whole document's text.
  template <class Change>
  void ExpectUndoRedo(Change&& change, int steps = 1) {
    const std::string before = panel.SaveText();
    const int count = history().ActionIndex() + 1;  // a redo tail goes with the change
    change();
    const std::string after = panel.SaveText();
    ASSERT_NE(after, before);
    ASSERT_EQ(history().Count(), count + steps) << after;
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(history().Undo());
    EXPECT_EQ(panel.SaveText(), before);
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(history().Redo());
    EXPECT_EQ(panel.SaveText(), after);
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(history().Undo());
    EXPECT_EQ(panel.SaveText(), before);
    EXPECT_EQ(history().State(), THistoryState::Idle);
  }

  TTestPanel panel;
  IDocControl* scheme = nullptr;
  std::vector<TTestControl*> boxes;
};

TEST_F(ActionsTest, RectangleChange) {
  ExpectUndoRedo([&] { boxes[1]->SetBounds(7000, 8000, 900, 100); });
}

TEST_F(ActionsTest, AControlWithoutSizeLeavesNoRectangleStep) {
  TTestControl* fresh = panel.Add("TVexaBox", scheme, "Fresh");
  fresh->SetBounds(0, 0, 1, 1);
  EXPECT_EQ(history().Count(), 0);
  fresh->SetBounds(5, 5, 10, 10);
  EXPECT_EQ(history().Count(), 0);  // started from (0, 0, 1, 1)
  EXPECT_EQ(history().State(), THistoryState::Idle);
  fresh->SetBounds(6, 6, 10, 10);
  EXPECT_EQ(history().Count(), 1);
}

TEST_F(ActionsTest, PointsChange) {
  TTestControl* curve = panel.Add("TVexaCurve", scheme, "Curve");
  curve->SetPoints({{0, 0}, {10, 10}}, {0, 1});
  ExpectUndoRedo([&] { curve->SetPoints({{5, 5}, {10, 0}, {20, 20}}, {0, 3, 2}); });
}

TEST_F(ActionsTest, OrderParentAndLayerChange) {
  TTestControl* group = panel.Add("TVexaGroup", scheme, "Group");
  IDocControl* second = panel.Add("TVexaLayer", panel.LayersRoot(), "Layer2");
  history().SetActive(false);
  boxes[0]->SetLayer(panel.ActiveLayer());
  history().SetActive(true);
  ExpectUndoRedo([&] {
    history().RecordStep(TOrderHistoryAction::ClassInfo, boxes[0]);
    scheme->MoveChild(0, 2);
  });
  ExpectUndoRedo([&] {
    history().RecordStep(TOrderHistoryAction::ClassInfo, boxes[2]);
    boxes[2]->SetParent(group);
    boxes[2]->SetLayer(second);  // the Layer property records a step of its own
  }, 2);
}

TEST_F(ActionsTest, CreationIsUndoneAndRedoneWithTheSameIdAndPlace) {
  int32_t id = 0;
  ExpectUndoRedo([&] {
    THistoryRecording recording(history(), TPanelCreateControlsHistoryGroup::ClassInfo, &panel);
    TTestControl* box = panel.Add("TVexaBox", scheme, "New");
    scheme->MoveChild(3, 1);
    history().RecordStep(TControlCreateHistoryGroup::ClassInfo, box);
    box->SetBounds(100, 200, 300, 400);
    box->Props().PropByName("Tag")->SetPropValue({}, PropValue::Integer(9));
    id = box->GetId();
    recording.End();
  });
  ASSERT_TRUE(history().Redo());
  EXPECT_EQ(scheme->Child(1)->GetName(), "New");
  EXPECT_EQ(scheme->Child(1)->GetId(), id);
}

TEST_F(ActionsTest, DestructionInsideAGroupRestoresParentAndIndex) {
  TTestControl* group = panel.Add("TVexaGroup", scheme, "Group");
  for (int i = 0; i < 3; ++i) panel.Add("TVexaBox", group, "Member" + std::to_string(i))->SetBounds(i, i, 5, 5);
  ExpectUndoRedo([&] {
    IDocControl* member = group->Child(1);
    history().RecordStep(TControlDestroyHistoryGroup::ClassInfo, member);
    panel.FreeControl(member);
  });
}

TEST_F(ActionsTest, ASavedIndexBeyondThePresentChildrenIsClamped) {
  IDocControl* last = boxes[2];
  history().RecordStep(TControlDestroyHistoryGroup::ClassInfo, last);
  panel.FreeControl(last);
  history().SetActive(false);  // the rest is not recorded
  history().SetActive(true);
  history().RecordStep(TControlDestroyHistoryGroup::ClassInfo, boxes[1]);
  panel.FreeControl(boxes[1]);
  panel.FreeControl(boxes[0]);  // not recorded: the scheme has no child left
  ASSERT_TRUE(history().Undo());
  ASSERT_EQ(scheme->ChildCount(), 1);
  EXPECT_EQ(scheme->Child(0)->GetName(), "Box1");
}

TEST_F(ActionsTest, GroupingAndUngrouping) {
  std::vector<int32_t> ids{boxes[0]->GetId(), boxes[2]->GetId()};
  int32_t groupId = 0;
  // As the panel's command does it: the members' places, then the grouping, as one step.
  ExpectUndoRedo([&] {
    THistoryRecording recording(history(), TPanelCreateControlsHistoryGroup::ClassInfo, &panel);
    for (TTestControl* member : {boxes[0], boxes[2]}) {
      history().RecordStep(TOrderHistoryAction::ClassInfo, member);
      panel.Select(*member);
    }
    IDocControl* group = panel.GroupSelection("TVexaGroup");
    groupId = group->GetId();
    history().RecordStep(TControlGroupHistoryAction::ClassInfo, group);
    recording.End();
  });
  // After the last undo: the members are back with their own IDs and selected.
  std::vector<int32_t> selected;
  for (IDocControl* c : panel.Selection()) selected.push_back(c->GetId());
  EXPECT_EQ(selected, ids);
  ASSERT_TRUE(history().Redo());
  EXPECT_EQ(panel.FindControl(groupId)->ChildCount(), 2);

  ExpectUndoRedo([&] {
    IDocControl* group = panel.FindControl(groupId);
    history().RecordStep(TControlUngroupHistoryAction::ClassInfo, group);
    panel.UnselectAll();
    panel.Select(*group);
    panel.UngroupSelection();
  });
}

TEST_F(ActionsTest, RegroupPassesItsIdThroughTheIdCheck) {
  panel.Select(*boxes[0]);
  panel.Select(*boxes[1]);
  IDocControl* group = panel.GroupSelection("TVexaGroup");
  const int32_t groupId = group->GetId();
  history().RecordStep(TControlGroupHistoryAction::ClassInfo, group);
  ASSERT_TRUE(history().Undo());
  // The ID is taken while the group does not exist; redo must not make a duplicate.
  TTestControl* squatter = panel.Add("TVexaBox", scheme, "Squatter");
  panel.SetControlId(*squatter, groupId);
  ASSERT_TRUE(history().Redo());
  IDocControl* regrouped = panel.Selection().front();
  EXPECT_NE(regrouped->GetId(), groupId);
  EXPECT_EQ(panel.FindControl(groupId), squatter);
  EXPECT_EQ(regrouped->ChildCount(), 2);
  // The action follows the new ID: undo dissolves the right group.
  ASSERT_TRUE(history().Undo());
  EXPECT_EQ(panel.FindControl(groupId), squatter);
  EXPECT_EQ(scheme->ChildCount(), 4);
  for (int i = 0; i < scheme->ChildCount(); ++i) EXPECT_FALSE(panel.IsGroup(*scheme->Child(i)));
}

TEST_F(ActionsTest, CreateGroupsDoNotNest) {
  TTestControl* box = panel.Add("TVexaBox", scheme, "New");
  ASSERT_NE(history().BeginAction(TControlDestroyHistoryGroup::ClassInfo, boxes[0]), nullptr);
  EXPECT_EQ(history().BeginAction(TControlCreateHistoryGroup::ClassInfo, box), nullptr);
  history().EndAction();
  EXPECT_EQ(history().BeginAction(TIdHistoryAction::ClassInfo, box), nullptr);  // abstract
  EXPECT_EQ(history().BeginAction(TVexaPanelHistoryGroup::ClassInfo, &panel), nullptr);
}

TEST_F(ActionsTest, APanelGroupIsOneStepAndKeepsTheStateBeforeTheCommand) {
  ExpectUndoRedo([&] {
    THistoryRecording recording(history(), TPanelSizeMoveHistoryGroup::ClassInfo, &panel);
    for (int step = 1; step <= 3; ++step) {
      boxes[0]->SetBounds(step * 10, 0, 500, 500);
      boxes[1]->SetBounds(step * 10 + 1000, 0, 500, 500);
    }
    recording.End();
  });
  EXPECT_EQ(static_cast<THistoryGroup*>(history().GetAction(0))->Count(), 2);
  ASSERT_TRUE(history().Redo());
  history().BeginAction(TPanelAlignHistoryGroup::ClassInfo, &panel);
  history().EndAction();
  EXPECT_EQ(history().Count(), 1);  // nothing joined: no step
}

TEST_F(ActionsTest, PastedControlsAreOneUndoableCreationEach) {
  panel.Select(*boxes[0]);
  TMemoryStream clip;
  TVexaFiler writer(clip);
  ASSERT_TRUE(SaveClipboardToFiler(writer, panel));
  ExpectUndoRedo([&] { panel.LoadText(clip.Text(), TLoadMode::Clipboard); });
}

}  // namespace
}  // namespace pv::graphics
