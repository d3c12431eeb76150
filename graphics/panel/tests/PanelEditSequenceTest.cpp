// Random sequences of mixed edits on a panel: after every step the saved text reads back to
// itself and changes only with a history step, and undo and redo walk back and forth through
// exactly the texts seen on the way. A fixed set of seeds; `./dev.sh edits` runs new ones.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>

#include "panel/tests/EditSequence.h"

namespace pv::graphics::test {
namespace {

// About a second a sequence under the sanitizers. Only the first failure is shrunk, which
// keeps a failing run short; the others are named by their seed.
//
// Seeds whose fault is known and not yet mended are listed with it. They must still fail:
// once the fault is mended the test says so, and the seed leaves the list.
TEST(PanelEditSequences, FixedSeedsKeepEveryPromise) {
  // Undoing a turn of a group that holds a group puts the inner group's children back before
  // the inner group, whose own rectangle then carries them off.
  const std::set<uint64_t> open{8};
  bool shrunk = false;
  for (uint64_t seed = 1; seed <= 20; ++seed) {
    const TEditSequence sequence = RandomEditSequence(seed);
    const std::string failure = RunEditSequence(sequence);
    if (open.count(seed)) {
      EXPECT_FALSE(failure.empty()) << "seed " << seed << " passes now: take it off the open list";
      continue;
    }
    if (failure.empty()) continue;
    if (shrunk) {
      ADD_FAILURE() << "seed " << seed << ": " << failure;
      continue;
    }
    shrunk = true;
    ADD_FAILURE() << "seed " << seed << "\n" << FormatEditSequence(ShrinkEditSequence(sequence, failure), failure);
  }
}

// Shrunk sequences that once failed.
TEST(PanelEditSequences, AControlTakenOutOfAGroupRedoesInPlace) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 75000, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 130, 0, 0, 0},
       {TEditKind::SelectAlso, 211, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::Reparent, 295, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, AMemberOnALayerOfItsOwnKeepsItThroughUngroupUndo) {
  const TEditSequence sequence{
      {{TEditKind::AddLayer, 1, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 47, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::MoveToLayer, 789, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, DeletingAGroupGivesBackTheLinksToItsMembersOnUndo) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 1, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::DeleteSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, ALinkToAMemberOfADeletedGroupComesBackWithUndo) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::Select, 905, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::DeleteSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, TurningAConnectorLinkedToACloneUndoesTheCloneSize) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 7, 0, 0, 0},
       {TEditKind::CloneSource, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 494, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::RotateSelection, 889, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, UngroupingAGroupHoldingALinkedGroupUndoesTheRoute) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 81000, 0, 0},
       {TEditKind::AddControl, 0, 67000, 0, 0},
       {TEditKind::AddControl, 0, 117000, 0, 0},
       {TEditKind::Select, 614, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 471, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, UnlinkingBothEndsUndoesToTheLinkedRoute) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::Link, 0, 1, 0, 0}},
      {{TEditKind::Unlink, 0, 0, 0, 0},
       {TEditKind::Unlink, 0, 409, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, TurningASelectedGroupUndoesItsChildren) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 685, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::RotateSelection, 889, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, UngroupingBesideALinkedConnectorUndoesInPlace) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 2, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 786, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, GroupingBoxesALinkedConnectorRunsBetweenUndoesItsRoute) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 48000, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 58000, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, AMemberOnALayerOfItsOwnKeepsItWhenItsGroupsLayerIsUndone) {
  const TEditSequence sequence{
      {{TEditKind::AddLayer, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 443, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 852, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::MoveToLayer, 775, 141, 0, 0},
       {TEditKind::MoveToLayer, 0, 121, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, ARenamedGroupKeepsItsNameThroughUngroupUndo) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 978, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::Rename, 850, 0, 0, 0},
       {TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, AGroupLeftWithOneMemberComesBackWithUngroupUndo) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 525, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::Reparent, 290, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, AGroupWithAnUnselectableMemberComesBackWithUngroupUndo) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 5, 0, 0, 0}},
      {{TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::CutPaste, 238, 0, 0, 0},
       {TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::SetProperty, 266, 262, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, UngroupingAGroupAClonesShowsUndoesTheCloneSize) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 579, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 7, 0, 0, 0},
       {TEditKind::CloneSource, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, UngroupingAGroupHoldingALinkedConnectorUndoesItsRoute) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 7000, 0, 0},
       {TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 330, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Reparent, 166, 197, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, GroupingAGroupThatHoldsALinkedConnectorUndoesItsFit) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 8000, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 30000, 0},
       {TEditKind::AddControl, 0, 0, 84000, 0},
       {TEditKind::Select, 666, 0, 0, 0},
       {TEditKind::SelectAlso, 787, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::Reparent, 105, 485, 0, 0},
       {TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, UngroupingAGroupInAGroupKeepsTheLayersThroughUndo) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 779, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 383, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::AddLayer, 0, 0, 0, 0},
       {TEditKind::DeleteSelection, 0, 0, 0, 0},
       {TEditKind::MoveToLayer, 747, 937, 0, 0},
       {TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

}  // namespace
}  // namespace pv::graphics::test
