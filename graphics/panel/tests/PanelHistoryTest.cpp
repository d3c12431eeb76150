// The panel's history: sources found again by ID, merged property changes, what is left out,
// the captions, and undo and redo that give back the document's text byte for byte.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "actions/GroupActions.h"
#include "actions/PanelGroups.h"
#include "connectors/VexaConnector.h"
#include "document/Clone.h"
#include "document/Group.h"
#include "document/ServiceControls.h"
#include "panel/PanelHistory.h"
#include "panel/tests/PanelFixture.h"
#include "shapes/VexaCurve.h"

namespace pv::graphics {
namespace {

struct PanelHistoryTest : ::testing::Test, test::PanelFixture {
  PanelHistoryTest() {
    a = Box(Scheme(), {1000, 1000, 3000, 3000}, "Box1");
    b = Box(Scheme(), {5000, 1000, 6000, 2000}, "b");
    c = Box(Scheme(), {8000, 1000, 9000, 2000}, "c c");
    history().SetActive(true);
  }
  TVexaPanelHistory& history() { return panel.PanelHistory(); }
  THistoryAction* Last() { return history().GetAction(history().Count() - 1); }

  // The text before the change comes back after undo, and the text after it after redo.
  void ExpectExactUndoRedo(const std::function<void()>& change) {
    const std::string before = SaveText();
    const int done = history().ActionIndex();
    change();
    const std::string after = SaveText();
    ASSERT_NE(after, before);
    const int steps = history().ActionIndex() - done;
    ASSERT_GT(steps, 0);
    for (int round = 0; round < 2; ++round) {
      for (int i = 0; i < steps; ++i) ASSERT_TRUE(history().Undo());
      EXPECT_EQ(before, SaveText());
      for (int i = 0; i < steps; ++i) ASSERT_TRUE(history().Redo());
      EXPECT_EQ(after, SaveText());
    }
  }

  TVexaControl* a;
  TVexaControl* b;
  TVexaControl* c;
};

TEST_F(PanelHistoryTest, RepeatedChangesOfOnePropertyCountAsTheSameAction) {
  a->SetWidth(4000);
  THistoryAction& width = *Last();
  EXPECT_EQ("Change Box1.Width property", width.Caption);
  TCustomProp* aWidth = a->Props().PropByName("Width");
  EXPECT_TRUE(history().IsSame(width, width.ClassType(), aWidth));
  EXPECT_FALSE(history().IsSame(width, width.ClassType(), a->Props().PropByName("Height")));
  EXPECT_FALSE(history().IsSame(width, width.ClassType(), b->Props().PropByName("Width")));
  EXPECT_FALSE(history().IsSame(width, TPanelAlignHistoryGroup::ClassInfo, aWidth));
  // Inside one group, the second change joins the first.
  history().BeginPanelGroup(TPanelSizeMoveHistoryGroup::ClassInfo);
  a->SetWidth(5000);
  a->SetWidth(6000);
  a->SetHeight(6000);
  auto* group = dynamic_cast<THistoryGroup*>(Last());
  history().EndPanelGroup(&TPanelSizeMoveHistoryGroup::ClassInfo);
  ASSERT_NE(nullptr, group);
  EXPECT_EQ(2, group->Count());
  history().Undo();
  EXPECT_EQ(4000, a->GetWidth());
  EXPECT_EQ(2000, a->GetHeight());
}

TEST_F(PanelHistoryTest, ControlCaptionsUseTheNameOrTheClassName) {
  TVexaControl* unnamed = Box(Scheme(), {0, 0, 100, 100});
  unnamed->SetName("");
  Scheme()->MoveChild(Scheme()->IndexOf(unnamed), 0);
  EXPECT_EQ("Change <TVexaControl> order", Last()->Caption);
  const int count = history().Count();
  TVexaControl* created = Box(Scheme(), {0, 0, 100, 100});
  EXPECT_EQ("Control", created->GetName());
  EXPECT_EQ("Create Control control", history().GetAction(count)->Caption);
  b->Free();
  EXPECT_EQ("Destroy b control", Last()->Caption);
}

TEST_F(PanelHistoryTest, AnUpdateRecordsItsRectangleOnceAndNoGeometryProperties) {
  const int count = history().Count();
  a->BeginUpdate();
  a->SetLeft(2000);
  a->SetTop(2500);
  a->EndUpdate();
  ASSERT_EQ(count + 1, history().Count());
  EXPECT_EQ("Change Box1 size/position", Last()->Caption);
}

TEST_F(PanelHistoryTest, EveryPanelGroupHasItsCaption) {
  struct Row {
    const THistoryActionClass& cls;
    const char* caption;
  };
  const Row rows[] = {
      {TPanelSizeMoveHistoryGroup::ClassInfo, "Size/move control(s)"},
      {TPanelAlignHistoryGroup::ClassInfo, "Align control(s)"},
      {TPanelCreateControlsHistoryGroup::ClassInfo, "Create control(s)"},
      {TPanelDestroyControlsHistoryGroup::ClassInfo, "Delete control(s)"},
      {TPanelUngroupControlsHistoryGroup::ClassInfo, "Ungroup control(s)"},
      {TPanelDuplicateHistoryGroup::ClassInfo, "Duplicate control(s)"},
      {TPanelCloneHistoryGroup::ClassInfo, "Clone control(s)"},
      {TPanelOrderHistoryGroup::ClassInfo, "Change control(s) order"},
      {TPanelPointsHistoryGroup::ClassInfo, "Change control(s) points"},
      {TPanelRerouteHistoryGroup::ClassInfo, "Reroute control(s)"},
      {TPanelColorHistoryGroup::ClassInfo, "Change control(s) color"},
      {TPanelPropsHistoryGroup::ClassInfo, "Change control(s) properties"},
  };
  int32_t width = 100;
  for (const Row& row : rows) {
    ASSERT_NE(nullptr, history().BeginPanelGroup(row.cls)) << row.caption;
    a->SetWidth(width += 100);
    EXPECT_FALSE(history().EndPanelGroup(&TPanelAlignHistoryGroup::ClassInfo) && &row.cls != &TPanelAlignHistoryGroup::ClassInfo);
    if (&row.cls != &TPanelAlignHistoryGroup::ClassInfo) {
      EXPECT_TRUE(history().EndPanelGroup(&row.cls));
    }
    EXPECT_EQ(row.caption, Last()->Caption);
  }
  // No group while recording is off.
  history().DisableRecording();
  EXPECT_EQ(nullptr, history().BeginPanelGroup(TPanelSizeMoveHistoryGroup::ClassInfo));
  history().EnableRecording();
}

TEST_F(PanelHistoryTest, UndoOfADeletionFindsTheControlAgainByItsId) {
  const int32_t id = b->GetId();
  ExpectExactUndoRedo([&] {
    panel.BeginSelectionUpdate(false, &TPanelDestroyControlsHistoryGroup::ClassInfo);
    b->Free();
    panel.EndSelectionUpdate(false, &TPanelDestroyControlsHistoryGroup::ClassInfo);
  });
  EXPECT_EQ("Delete control(s)", Last()->Caption);
  history().Undo();
  TVexaControl* back = panel.FindControlByID(id);
  ASSERT_NE(nullptr, back);
  EXPECT_EQ("b", back->GetName());
  // Changes of the re-created control are undone on it.
  ExpectExactUndoRedo([&] { back->SetLeft(12345); });
}

TEST_F(PanelHistoryTest, GroupAndUngroupUndoExactlyWithZOrderAndProperties) {
  ASSERT_TRUE(panel.SelectOne(a));
  ASSERT_TRUE(panel.SelectOne(c));
  // Undo frees the group and redo makes it anew: only its ID lasts.
  int32_t groupId = 0;
  ExpectExactUndoRedo([&] {
    IDocControl* group = panel.GroupSelection("TVexaGroup");
    groupId = group ? group->GetId() : 0;
  });
  ASSERT_NE(0, groupId);
  EXPECT_EQ("Group controls", Last()->Caption);
  auto* g = static_cast<TVexaControl*>(panel.FindControlByID(groupId));
  ASSERT_NE(nullptr, g);
  EXPECT_EQ(2, g->GetCount());
  // The group sits where the highest of its members was: above b.
  EXPECT_LT(Scheme()->IndexOf(b), Scheme()->IndexOf(g));
  g->SetTag(77);
  panel.UnselectAll();
  ASSERT_TRUE(panel.SelectOne(g));
  ExpectExactUndoRedo([&] { panel.UngroupSelection(); });
  EXPECT_EQ("Ungroup control(s)", Last()->Caption);
  EXPECT_EQ(2, panel.SelectedCount());
}

TEST_F(PanelHistoryTest, GroupActionsWhoseGroupIsGoneDoNothing) {
  ASSERT_TRUE(panel.SelectOne(a));
  ASSERT_TRUE(panel.SelectOne(b));
  IDocControl* group = panel.GroupSelection("");
  ASSERT_NE(nullptr, group);
  panel.UnselectAll();
  ASSERT_TRUE(panel.SelectOne(static_cast<TVexaControl*>(group)));
  panel.UngroupSelection();
  // Everything the actions refer to disappears behind the history's back.
  history().DisableRecording();
  a->Free();
  b->Free();
  history().EnableRecording();
  const std::string before = SaveText();
  while (history().ActionIndex() >= 0 && history().Undo()) {
  }
  while (history().Redo()) {
  }
  EXPECT_EQ(1, Scheme()->GetCount());
  EXPECT_EQ(before, SaveText());
}

TEST_F(PanelHistoryTest, UndoAndRedoGatherSelectionChangesIntoOneUpdate) {
  a->SetWidth(9000);
  int begins = 0;
  panel.OnBeginSelectionUpdate = [&](TVexaPanel&) { ++begins; };
  history().Undo();
  EXPECT_EQ(1, begins);
  history().Redo();
  EXPECT_EQ(2, begins);
  EXPECT_EQ(0, panel.SelectionUpdateDepth());
}

TEST_F(PanelHistoryTest, RecordSelectionCreationMakesOneStepThatUndoDeletes) {
  EXPECT_FALSE(history().RecordSelectionCreation());
  history().SetActive(false);
  TVexaControl* dropped1 = Box(Scheme(), {0, 0, 10, 10}, "d1");
  TVexaControl* dropped2 = Box(Scheme(), {0, 0, 10, 10}, "d2");
  history().SetActive(true);
  panel.SelectOne(dropped2);
  panel.SelectOne(dropped1);
  const int count = history().Count();
  EXPECT_TRUE(history().RecordSelectionCreation());
  ASSERT_EQ(count + 1, history().Count());
  EXPECT_EQ("Create control(s)", Last()->Caption);
  const int before = Scheme()->GetCount();
  history().Undo();
  EXPECT_EQ(before - 2, Scheme()->GetCount());
  history().Redo();
  EXPECT_EQ(before, Scheme()->GetCount());
}

TEST_F(PanelHistoryTest, LoadingADocumentRecordsNothingAndClearsTheHistory) {
  a->SetWidth(7000);
  ASSERT_GT(history().Count(), 0);
  LoadText(SaveText());
  EXPECT_EQ(0, history().Count());
  EXPECT_TRUE(history().Active());
}


// The size a new source gives is locked when undo comes to it: undo puts the old one back
// all the same.
TEST_F(PanelHistoryTest, ANewSourceOfACloneUndoesToTheSizeBefore) {
  auto* clone = TVexaControl::New<TVexaClone>(&panel, Scheme(), panel.GetActiveLayer());
  clone->SetDocRect({20000, 0, 30000, 7000});
  TVexaControl* box = Box(Scheme(), {0, 30000, 5000, 33000}, "small");
  history().Clear();
  ExpectExactUndoRedo([&] { clone->SetSource(box); });
}


// A group holding a curve beside a box: the curve's rectangle is its points' bounds, and the
// group fits its rectangle to both.
struct CurveInGroup {
  CurveInGroup(test::PanelFixture& f, TVexaControl* box) {
    group = TVexaControl::New<TVexaGroup>(&f.panel, f.Scheme(), f.panel.GetActiveLayer());
    curve = TVexaControl::New<TVexaCurve>(&f.panel, group, f.panel.GetActiveLayer());
    curve->SetVisible(true);
    curve->SetPointsEx({{20000, 10000}, {35000, 14000}, {50000, 10000}}, {ptNode, ptNode, ptEndNode});
    group->AddChild(box);
  }
  TVexaGroup* group;
  TVexaCurve* curve;
};

// A property that resizes the curve scales its points; the group around it fits again, and
// undo gives the group its rectangle back with the curve's.
TEST_F(PanelHistoryTest, ACurveResizedByAPropertyUndoesTheGroupAroundIt) {
  const CurveInGroup doc(*this, a);
  history().Clear();
  for (const int32_t width : {60000, 0}) {
    SCOPED_TRACE(width);
    ExpectExactUndoRedo([&] { doc.curve->SetWidth(width); });
  }
}

// A group's update bracket that moves and widens it scales the curve inside: the bracket's
// step puts the curve back where it was, not where the bracket's move had taken it.
TEST_F(PanelHistoryTest, AGroupsBracketUndoesTheCurveItScaled) {
  const CurveInGroup doc(*this, a);
  history().Clear();
  ExpectExactUndoRedo([&] {
    TControlUpdate update(*doc.group);
    doc.group->SetTop(doc.group->GetTop() + 7000);
    doc.group->SetWidth(doc.group->GetWidth() + 2000);
  });
}

// Points changed inside the curve's own update bracket are fitted when it ends, after the
// step that took them: the fit, and the group around the curve fitting again, still undo.
TEST_F(PanelHistoryTest, PointsChangedInsideACurvesBracketUndoTheGroupsFit) {
  const CurveInGroup doc(*this, a);
  history().Clear();
  ExpectExactUndoRedo([&] {
    TControlUpdate update(*doc.curve);
    doc.curve->SetPointsEx({{-4000, 0}, {40000, 9000}, {60000, 0}}, {ptNode, ptNode, ptEndNode});
  });
}

// A clone follows its source's width at once, inside the source's own update bracket, and
// the group around both fits again before that bracket ends: undo puts the source back where
// its bracket began, inside the group put back where it was.
TEST_F(PanelHistoryTest, ASourcesBracketUndoesTheGroupItsCloneRefitted) {
  auto* group = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  TVexaControl* source = Box(group, {0, 0, 3000, 2000}, "source");
  Box(group, {10000, 0, 13000, 2000}, "beside");
  auto* clone = TVexaControl::New<TVexaClone>(&panel, group, panel.GetActiveLayer());
  clone->SetLeft(20000);
  clone->SetSource(source);
  history().Clear();
  ExpectExactUndoRedo([&] {
    TControlUpdate update(*source);
    source->SetLeft(source->GetLeft() + 4000);
    source->SetWidth(source->GetWidth() + 2000);
  });
}

// A group that is the source of a clone beside it in an outer group is widened in a bracket:
// its children scale with it, the clone follows and the outer group refits while the bracket
// is open. The outer group's step takes the children from before the inner bracket, so that
// undone after the inner group's own step it does not widen them again.
TEST_F(PanelHistoryTest, AGroupsBracketUndoesItsChildrenWhenItsCloneRefitsTheOuterGroup) {
  auto* outer = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  auto* inner = TVexaControl::New<TVexaGroup>(&panel, outer, panel.GetActiveLayer());
  Box(inner, {0, 0, 3000, 2000}, "left");
  Box(inner, {1000, 0, 4000, 2000}, "right");
  auto* clone = TVexaControl::New<TVexaClone>(&panel, outer, panel.GetActiveLayer());
  clone->SetSource(inner);
  history().Clear();
  ExpectExactUndoRedo([&] {
    TControlUpdate update(*inner);
    inner->SetWidth(inner->GetWidth() + 2000);
  });
}

// A clone that comes into its own source, itself or inside a group, shows it no more, as a
// reload would find it; the step that moved it gives the source back on undo.
TEST_F(PanelHistoryTest, ACloneMovedIntoItsSourceLosesItInOneStep) {
  auto* source = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  source->SetName("source");
  Box(source, {1000, 10000, 2000, 11000}, "inside");
  auto* holder = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  holder->SetName("holder");
  Box(holder, {1000, 20000, 2000, 21000}, "held");
  // Where the clone stands first, and the move into the source.
  const std::vector<std::pair<TVexaControl*, TVexaControl*>> moves{{Scheme(), nullptr}, {holder, holder}};
  for (size_t i = 0; i < moves.size(); ++i) {
    SCOPED_TRACE(i);
    auto* clone = TVexaControl::New<TVexaClone>(&panel, moves[i].first, panel.GetActiveLayer());
    clone->SetName("clone" + std::to_string(i));
    clone->SetLeft(30000);
    clone->SetSource(source);
    history().Clear();
    const std::string before = SaveText();
    // One step of the panel's, as a command that moves controls makes it.
    history().BeginPanelGroup(TPanelSizeMoveHistoryGroup::ClassInfo);
    source->AddChild(moves[i].second ? moves[i].second : clone);
    history().EndPanelGroup(&TPanelSizeMoveHistoryGroup::ClassInfo);
    EXPECT_EQ(nullptr, clone->GetSource());
    EXPECT_EQ(1, history().Count());
    const std::string after = SaveText();
    test::PanelFixture other;
    TMemoryStream stream(after);
    std::unique_ptr<TVexaFiler> filer = other.panel.CreateFiler(stream, TVexaFilerProcess::ppLoad);
    other.panel.LoadDocumentFromFiler(*filer, TLoadMode::Document);
    EXPECT_EQ(after, other.SaveText());
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(history().Undo());
      EXPECT_EQ(source, clone->GetSource());
      EXPECT_EQ(before, SaveText());
      ASSERT_TRUE(history().Redo());
      EXPECT_EQ(after, SaveText());
    }
  }
}

// A layer taken into another document leaves its controls here on a layer that stays, painted
// and saved with it, read-only or not; each document records one step, and undo here puts the
// layer and its controls back as they were.
TEST_F(PanelHistoryTest, ALayerMovedToAnotherPanelIsOneStepInEach) {
  TVexaLayer* moving = panel.Layers().NewLayer();
  moving->SetName("moving");
  b->SetLayerControl(moving);
  moving->SetReadOnly(true);
  test::PanelFixture other;
  other.panel.PanelHistory().SetActive(true);
  history().Clear();
  const std::string before = SaveText();
  const std::string otherBefore = other.SaveText();
  other.panel.Layers().AddChild(moving);
  ASSERT_EQ(&other.panel, moving->Owner());
  EXPECT_EQ(panel.Layers().GetChild(0), b->GetLayer());
  const std::string after = SaveText();
  EXPECT_EQ(std::string::npos, after.find("Layer = \r\n")) << after;
  EXPECT_EQ(1, history().Count());
  EXPECT_EQ(1, other.panel.PanelHistory().Count());
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(history().Undo());
    EXPECT_EQ(before, SaveText());
    ASSERT_TRUE(history().Redo());
    EXPECT_EQ(after, SaveText());
  }
  const std::string otherAfter = other.SaveText();
  ASSERT_TRUE(other.panel.PanelHistory().Undo());
  EXPECT_EQ(otherBefore, other.SaveText());
  ASSERT_TRUE(other.panel.PanelHistory().Redo());
  EXPECT_EQ(otherAfter, other.SaveText());
}

// A control taken out of a group leaves the group fitted to the rest: undo and redo give back
// that fit as recorded, without fitting the group again on top of it.
TEST_F(PanelHistoryTest, ReparentingOutOfAGroupUndoesAndRedoesExactly) {
  TVexaControl* far = Box(Scheme(), {75000, 0, 78000, 2000}, "far");
  panel.UnselectAll();
  panel.Select(a);
  panel.Select(far);
  ASSERT_NE(nullptr, panel.GroupSelection("TVexaGroup"));
  history().Clear();
  ExpectExactUndoRedo([&] { far->SetParent(Scheme()); });
  ExpectExactUndoRedo([&] { far->SetParent(a->GetParent()); });
}

// A member on another layer than its group keeps it when the group is made again by undo or
// redo: the step changed no layer, so neither do they.
TEST_F(PanelHistoryTest, UngroupingKeepsTheLayersOfMembersOnOtherLayersThroughUndoAndRedo) {
  TVexaLayer* upper = panel.Layers().NewLayer();
  ASSERT_TRUE(panel.SelectOne(a));
  ASSERT_TRUE(panel.SelectOne(c));
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  group->SetLayerControl(upper);
  a->SetLayerControl(panel.Layers().GetLayer(0));
  ASSERT_EQ(upper, c->GetLayer());
  history().Clear();
  panel.UnselectAll();
  ASSERT_TRUE(panel.SelectOne(group));
  ExpectExactUndoRedo([&] { panel.UngroupSelection(); });
}

// A group read from a document may hold connectors, first or not: ungrouping it is undone
// with every member back inside, and redone again.
TEST_F(PanelHistoryTest, UngroupingAGroupThatHoldsConnectorsUndoesExactly) {
  RegisterConnectorClasses();
  for (bool connectorFirst : {true, false}) {
    SCOPED_TRACE(connectorFirst);
    auto* g = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
    TVexaControl* box = connectorFirst ? nullptr : Box(g, {20000, 20000, 22000, 22000});
    auto* link = TVexaControl::New<TVexaConnector>(&panel, g, panel.GetActiveLayer());
    link->LinkA().SetLinkPoint({20000, 30000});
    link->LinkB().SetLinkPoint({26000, 34000});
    if (!box) box = Box(g, {20000, 20000, 22000, 22000});
    Box(g, {24000, 20000, 25000, 21000});
    history().Clear();
    panel.UnselectAll();
    ASSERT_TRUE(panel.SelectOne(g));
    ExpectExactUndoRedo([&] { panel.UngroupSelection(); });
    EXPECT_EQ(3, panel.SelectedCount());
  }
}

// Freeing a member fits its group to the rest; undo gives back the member and the fit before,
// redo the fit after.
TEST_F(PanelHistoryTest, FreeingAGroupMemberUndoesAndRedoesTheGroupsFit) {
  TVexaControl* far = Box(Scheme(), {75000, 0, 78000, 2000}, "far");
  panel.UnselectAll();
  panel.Select(a);
  panel.Select(far);
  ASSERT_NE(nullptr, panel.GroupSelection("TVexaGroup"));
  history().Clear();
  ExpectExactUndoRedo([&] {
    panel.BeginSelectionUpdate(false, &TPanelDestroyControlsHistoryGroup::ClassInfo);
    far->Free();
    panel.EndSelectionUpdate(false, &TPanelDestroyControlsHistoryGroup::ClassInfo);
  });
}

// Undo of an ungroup makes the group again as it stood, also where grouping the selection
// would refuse: one member, none, a member that may not be selected; and it stands where it
// stood among its siblings, between a and b.
TEST_F(PanelHistoryTest, UngroupingUndoesToTheGroupAsItStood) {
  struct Case {
    const char* what;
    int members;
    bool unselectableMember;
  };
  const Case cases[] = {
      {"two members", 2, false},
      {"one member", 1, false},
      {"no member", 0, false},
      {"a member that may not be selected", 2, true},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    auto* g = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
    std::vector<TVexaControl*> members;
    for (int i = 0; i < k.members; ++i) members.push_back(Box(g, {20000 + 4000 * i, 20000, 22000 + 4000 * i, 23000}));
    if (k.unselectableMember) members.front()->SetSelectable(false);
    Scheme()->MoveChild(Scheme()->IndexOf(g), Scheme()->IndexOf(b));
    g->SetTag(5);
    history().Clear();
    panel.UnselectAll();
    ASSERT_TRUE(panel.SelectOne(g));
    ExpectExactUndoRedo([&] { panel.UngroupSelection(); });
    // The next case starts from a, b and c alone.
    history().DisableRecording();
    for (TVexaControl* member : members) member->Free();
    history().EnableRecording();
    ASSERT_EQ(3, Scheme()->GetCount());
  }
}

// A clone that shows a group lets go of it as its own step ahead of the ungroup: undo makes the
// group again and gives it back to the clone, at the size the clone had.
TEST_F(PanelHistoryTest, UngroupingAGroupAClonesShowsUndoesTheCloneExactly) {
  ASSERT_TRUE(panel.SelectOne(a));
  ASSERT_TRUE(panel.SelectOne(c));
  auto* group = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, group);
  const int32_t groupId = group->GetId();
  auto* clone = TVexaControl::New<TVexaClone>(&panel, Scheme(), panel.GetActiveLayer());
  clone->SetLeft(30000);
  clone->SetSource(group);
  ASSERT_EQ(group->GetHeight(), clone->GetHeight());
  history().Clear();
  panel.UnselectAll();
  ASSERT_TRUE(panel.SelectOne(group));
  ExpectExactUndoRedo([&] { panel.UngroupSelection(); });
  EXPECT_EQ(nullptr, clone->GetSource());
  // One step: the clone's letting go is inside it.
  EXPECT_EQ(1, history().Count());
  ASSERT_TRUE(history().Undo());
  EXPECT_EQ(panel.FindControlByID(groupId), clone->GetSource());
}

// A connector linked to a member goes into the group made again by undo where it stood, with
// its route: linked, it refuses to be placed, and undo does not route it anew.
TEST_F(PanelHistoryTest, UngroupingAGroupHoldingALinkedConnectorUndoesItsPlace) {
  RegisterConnectorClasses();
  auto* g = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  TVexaControl* box = Box(g, {20000, 20000, 22000, 22000});
  auto* link = TVexaControl::New<TVexaConnector>(&panel, g, panel.GetActiveLayer());
  link->LinkA().SetLinkedControl(box);
  link->LinkA().SetLinkPoint({22000, 21000});
  link->LinkB().SetLinkPoint({40000, 35000});
  g->RefitToChildren();
  ASSERT_NE(0, g->GetLeft());
  const TRect route = link->GetDocRect();
  history().Clear();
  panel.UnselectAll();
  ASSERT_TRUE(panel.SelectOne(g));
  ExpectExactUndoRedo([&] { panel.UngroupSelection(); });
  ASSERT_TRUE(history().Undo());
  EXPECT_EQ(route, link->GetDocRect());
}

// A connector linked to its own group moves into another group: the group it leaves fits
// itself to the rest and the connector reroutes to it. Undo puts the connector back where it
// stood, not shifted by the place of the group it had gone to.
TEST_F(PanelHistoryTest, ReparentingAConnectorLinkedToTheGroupItLeavesUndoesItsPlace) {
  RegisterConnectorClasses();
  auto* g = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  Box(g, {20000, 20000, 22000, 22000});
  Box(g, {20000, 30000, 22000, 32000});
  auto* link = TVexaControl::New<TVexaConnector>(&panel, g, panel.GetActiveLayer());
  link->LinkA().SetLinkedControl(g);
  link->LinkA().SetLinkPoint({22000, 26000});
  link->LinkB().SetLinkPoint({12000, 50000});
  g->RefitToChildren();
  auto* h = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  Box(h, {0, 72000, 3000, 74000});
  Box(h, {0, 118000, 3000, 120000});
  h->RefitToChildren();
  const TRect place = link->GetDocRect();
  history().Clear();
  const int done = history().ActionIndex();
  ExpectExactUndoRedo([&] { link->SetParent(h); });
  ASSERT_EQ(h, link->GetParent());
  while (history().ActionIndex() > done) ASSERT_TRUE(history().Undo());
  EXPECT_EQ(g, link->GetParent());
  EXPECT_EQ(place, link->GetDocRect());
}

// A connector inside a group, linked to a box outside it, routes when grouping takes the box in,
// and its group fits itself to the new route: undo gives back the group's rectangle with the
// route, and redo the fit after.
TEST_F(PanelHistoryTest, GroupingUndoesTheFitOfAGroupWhoseConnectorRoutes) {
  RegisterConnectorClasses();
  TVexaControl* target = Box(Scheme(), {0, 8000, 3000, 10000}, "target");
  panel.UnselectAll();
  ASSERT_TRUE(panel.SelectOne(Box(Scheme(), {0, 30000, 3000, 32000})));
  ASSERT_TRUE(panel.SelectOne(Box(Scheme(), {0, 84000, 3000, 86000})));
  auto* g = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, g);
  auto* link = TVexaControl::New<TVexaConnector>(&panel, Scheme(), panel.GetActiveLayer());
  link->LinkA().SetLinkedControl(target);
  link->LinkA().SetLinkPoint({1500, 10000});
  link->LinkB().SetLinkPoint({3000, 3000});
  link->SetParent(g);
  const TRect fitted = g->GetDocRect();
  history().Clear();
  panel.UnselectAll();
  ASSERT_TRUE(panel.SelectOne(target));
  ASSERT_TRUE(panel.SelectOne(g));
  ExpectExactUndoRedo([&] { panel.GroupSelection("TVexaGroup"); });
  ASSERT_TRUE(history().Undo());
  EXPECT_EQ(fitted, g->GetDocRect());
}

// Ungrouping puts a member and what it holds on the group's layer: undo gives a group inside
// the group and its children the layer they had, and redo the group's layer again.
TEST_F(PanelHistoryTest, UngroupingUndoesTheLayersOfAGroupInsideTheGroup) {
  TVexaLayer* upper = panel.Layers().NewLayer();
  ASSERT_TRUE(panel.SelectOne(a));
  ASSERT_TRUE(panel.SelectOne(b));
  auto* inner = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, inner);
  panel.UnselectAll();
  ASSERT_TRUE(panel.SelectOne(inner));
  ASSERT_TRUE(panel.SelectOne(c));
  auto* outer = static_cast<TVexaControl*>(panel.GroupSelection("TVexaGroup"));
  ASSERT_NE(nullptr, outer);
  inner->SetLayerControl(upper);
  ASSERT_EQ(upper, a->GetLayer());
  history().Clear();
  panel.UnselectAll();
  ASSERT_TRUE(panel.SelectOne(outer));
  ExpectExactUndoRedo([&] { panel.UngroupSelection(); });
  EXPECT_EQ(panel.Layers().GetLayer(0), a->GetLayer());
}

}  // namespace
}  // namespace pv::graphics
