// Random sequences of mixed edits on a panel: after every step the saved text reads back to
// itself and changes only with a history step, and undo and redo walk back and forth through
// exactly the texts seen on the way. A fixed set of seeds; `./dev.sh edits` runs new ones.

#include <gtest/gtest.h>

#include <climits>
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
  const std::set<uint64_t> open{};
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
TEST(PanelEditSequences, ACurveInAGroupSetToNoWidthUndoesTheGroupsFit) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 4, 0, 0, 278},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::SetProperty, 833, 282, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, AGroupsBracketUndoesTheCurveItMovedAndWidened) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 4, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 726, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::Bracket, 460, 0, 479, 301}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, ABracketOnAPastedGroupUndoesTheCurveInside) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 4, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 246, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 250, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::CutPaste, 598, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Bracket, 617, 0, 817, 281}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, ARerouteInsideAConnectorsBracketUndoesTheGroupsFit) {
  const TEditSequence sequence{
      {{TEditKind::AddLayer, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 66000, 0},
       {TEditKind::AddControl, 0, 0, 60000, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 907, 0, 0, 0},
       {TEditKind::SelectAlso, 680, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::MoveToLayer, 0, 337, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::Reparent, 814, 235, 0, 0},
       {TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::SetPoints, 0, 291, 0, 0},
       {TEditKind::CutPaste, 971, 0, 0, 0},
       {TEditKind::Bracket, 862, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, ABracketOnACloneSourceInAGroupUndoesTheSourceInPlace) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 12000, 0, 0},
       {TEditKind::AddControl, 0, 82000, 0, 0},
       {TEditKind::AddControl, 0, 51000, 0, 0},
       {TEditKind::AddControl, 0, 23000, 0, 0},
       {TEditKind::AddControl, 0, 16000, 0, 0},
       {TEditKind::AddControl, 0, 38000, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 46000, 0, 0},
       {TEditKind::AddControl, 0, 8000, 0, 0},
       {TEditKind::AddControl, 7, 22000, 0, 0},
       {TEditKind::CloneSource, 0, 806, 0, 0},
       {TEditKind::AddControl, 0, 115000, 0, 0},
       {TEditKind::AddControl, 0, 39000, 0, 0}},
      {{TEditKind::AddControl, 0, 86000, 0, 0},
       {TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Bracket, 667, 636, 0, 191}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

// A connector routed to a picture set far off spans nearly the whole coordinate range; the
// points the sequence gives it are worked out without overflowing.
TEST(PanelEditSequences, NewPointsForAControlAsWideAsTheRangeStayInIt) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 3, 69000, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 233, 0}},
      {{TEditKind::SetPoints, 0, 0, 0, 0},
       {TEditKind::SetProperty, 169, 686, 7, 0},
       {TEditKind::SetPoints, 0, 769, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

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

TEST(PanelEditSequences, TurningAGroupThatHoldsAGroupUndoesTheInnerGroupFirst) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 108000, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 667, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::RotateSelection, 523, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, MovingAGroupThatHoldsALinkedConnectorUndoesItsRoute) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::Reparent, 0, 629, 0, 0},
       {TEditKind::Link, 0, 0, 413, 0},
       {TEditKind::MoveSelection, 1000, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, MirroringAGroupByAHandleUndoesItsMembersInPlace) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::CutPaste, 370, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::ResizeSelection, 119, -16000, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

TEST(PanelEditSequences, TurningAGroupThatFittedItselfToACloneUndoesItsChildren) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 7, 0, 0, 0},
       {TEditKind::CloneSource, 0, 848, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 392, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::Reparent, 395, 681, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0},
       {TEditKind::RotateSelection, 779, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

// The box is in a bracket of its own when its group fits itself to the clone that follows
// it: the group's step leaves the box to that bracket, which knows where it began.
TEST(PanelEditSequences, WideningACloneSourceInsideAGroupUndoesBoth) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 7, 0, 0, 0},
       {TEditKind::CloneSource, 0, 0, 0, 0},
       {TEditKind::Select, 919, 0, 0, 0},
       {TEditKind::SelectAlso, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::Bracket, 625, 0, 0, 491}}};
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

// The turned group holds the source of a clone in another group: the curve fitting itself to
// its turned points makes the clone follow and the clone's group fit, all within the turn.
TEST(PanelEditSequences, TurningAGroupThatHoldsACloneSourceUndoesTheClonesGroup) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 4, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 38, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 7, 0, 0, 0},
       {TEditKind::CloneSource, 0, 473, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 186, 0, 0, 0},
       {TEditKind::SelectAlso, 314, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::SelectAlso, 16, 0, 0, 0},
       {TEditKind::RotateSelection, 443, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

// A mirrored curve refits inside its group, which moves the box beside it; the connector in
// another group linked to that box routes again within the mirror's step.
TEST(PanelEditSequences, MirroringAGroupWithACurveUndoesTheGroupOfAConnectorLinkedIntoIt) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 4, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 18000, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 353, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 60000, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 3000, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 930, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 106, 0, 0, 0},
       {TEditKind::SelectAlso, 632, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::Reparent, 550, 398, 0, 0},
       {TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::RotateSelection, 0, 489, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

// New points for a connector as wide as the coordinate range fit its rectangle at the edge of
// the range: one reaching beyond it lost width when the reroute of a bracket was undone.
TEST(PanelEditSequences, ABracketRoutingAConnectorAsWideAsTheRangeUndoesItsWidth) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 4, 100000, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 42000, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 4, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::Link, 0, 335, 215, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::SetPoints, 25, 0, 0, 0},
       {TEditKind::SetProperty, 514, 816, 7, 0},
       {TEditKind::SetPoints, 545, 0, 0, 0},
       {TEditKind::Bracket, 0, 0, 0, 999}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

// A selection from the lowest coordinate to past the origin spans more than the int32 range:
// the sequence works out the centre of its turn without overflowing.
TEST(PanelEditSequences, TurningASelectionWiderThanHalfTheRangeTurnsAboutItsCentre) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::MoveSelection, INT32_MIN, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::RotateSelection, 1, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

// The bracket widens a group that a clone in the outer group shows: the outer group's fit
// to the clone keeps the group's children as they were before the bracket.
TEST(PanelEditSequences, ABracketOnACloneSourceGroupInAGroupUndoesItsChildren) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 287, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 7, 0, 0, 0},
       {TEditKind::CloneSource, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Bracket, 451, 0, 0, 675}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

// The connector's route stands off the corner of its rectangle, as a route set inside its
// group left it: the ungroup moves the connector out and back, and undo puts its rectangle and
// route back together without fitting one to the other.
TEST(PanelEditSequences, AConnectorWhoseRouteStandsOffItsCornerComesBackInPlaceWithUngroupUndo) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 781},
       {TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::Reparent, 0, 55, 0, 0},
       {TEditKind::SetPoints, 0, 0, 0, 0},
       {TEditKind::UngroupSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

// The first connector reaches up to the lowest coordinate, so the selection's corner lies
// more than the int32 range above the boxes and connectors beside it: resizing keeps each
// one's rectangle from where it began, and undo gives it back.
TEST(PanelEditSequences, ResizingASelectionReachingToTheLowestCoordinateUndoesTheRest) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::AddControl, 4, 0, 95000, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 0, 0},
       {TEditKind::Link, 0, 0, 390, 0},
       {TEditKind::Select, 747, 0, 0, 0},
       {TEditKind::SelectAlso, 745, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 111, 0, 0, 0},
       {TEditKind::SelectAlso, 916, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0}},
      {{TEditKind::SetProperty, 927, 619, 6, 0},
       {TEditKind::SetPoints, 0, 0, 0, 0},
       {TEditKind::SetPoints, 87, 0, 0, 0},
       {TEditKind::SelectAll, 0, 0, 0, 0},
       {TEditKind::ResizeSelection, 0, 0, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

// The connector is linked to the inner group it leaves for a group lower down: that group
// fits itself to the boxes it keeps and the connector reroutes, and undo gives back the
// connector's place inside it.
TEST(PanelEditSequences, ReparentingAConnectorOutOfTheGroupItIsLinkedToUndoesItsPlace) {
  const TEditSequence sequence{
      {{TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 301, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 72000, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 6, 0, 26000, 0},
       {TEditKind::Link, 0, 0, 0, 0},
       {TEditKind::SelectAlso, 548, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 118000, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::Select, 144, 0, 0, 0},
       {TEditKind::SelectAlso, 167, 0, 0, 0},
       {TEditKind::GroupSelection, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0},
       {TEditKind::AddControl, 0, 0, 0, 0}},
      {{TEditKind::Select, 0, 0, 0, 0},
       {TEditKind::Reparent, 585, 378, 0, 0},
       {TEditKind::CutPaste, 0, 0, 0, 0},
       {TEditKind::Reparent, 532, 955, 0, 0}}};
  EXPECT_EQ("", RunEditSequence(sequence));
}

}  // namespace
}  // namespace pv::graphics::test
