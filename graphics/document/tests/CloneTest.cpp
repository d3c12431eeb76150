// Clones: which sources they take, their size, painting and saving.

#include <gtest/gtest.h>

#include "canvas/Canvas.h"
#include "canvas/RecordingCanvas.h"
#include "document/Clone.h"
#include "document/Group.h"
#include "document/testing/TestVexaPanel.h"

namespace pv::graphics {
namespace {

using canvas::CanvasOp;
using test::TTestVexaPanel;

class TFillControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  void Paint(canvas::Canvas& canvas, const TRect& rect) override { canvas.FillRect(rect); }
};
const TVexaControlClass TFillControl::ClassInfo{{"TFillControl", &TVexaControl::ClassInfo.ref},
                                                &TVexaControl::Creator<TFillControl>};

struct CloneFixture : ::testing::Test {
  CloneFixture() {
    RegisterControlClass(TFillControl::ClassInfo);
    panel.NewDocument();
    source = TVexaControl::New<TFillControl>(&panel, Scheme(), panel.GetActiveLayer());
    source->SetVisible(true);
    source->SetDocRect({0, 0, 10000, 20000});
    source->SetName("src");
    clone = TVexaControl::New<TVexaClone>(&panel, Scheme(), panel.GetActiveLayer());
    clone->SetName("clone");
    clone->SetLeft(50000);
  }
  TVexaControl* Scheme() { return panel.GetActiveScheme(); }
  std::vector<TRect> Filled(const canvas::RecordingCanvas& c) {
    std::vector<TRect> out;
    for (const auto& cmd : c.Commands()) {
      if (cmd.op == CanvasOp::FillRect) out.push_back({cmd.args[0], cmd.args[1], cmd.args[2], cmd.args[3]});
    }
    return out;
  }
  TTestVexaPanel panel;
  TVexaControl* source;
  TVexaClone* clone;
};

TEST_F(CloneFixture, RefusesSourcesThatWouldShowThemselves) {
  auto* other = TVexaControl::New<TVexaClone>(&panel, Scheme(), panel.GetActiveLayer());
  clone->SetSource(other);
  EXPECT_EQ(clone->GetSource(), nullptr);
  clone->SetSource(clone);
  EXPECT_EQ(clone->GetSource(), nullptr);
  // A group that holds the clone, directly or further up.
  TVexaGroup* outer = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  TVexaGroup* inner = TVexaControl::New<TVexaGroup>(&panel, outer);
  inner->AddChild(clone);
  clone->SetSource(outer);
  EXPECT_EQ(clone->GetSource(), nullptr);
  clone->SetSource(inner);
  EXPECT_EQ(clone->GetSource(), nullptr);
  clone->SetSource(source);
  EXPECT_EQ(clone->GetSource(), source);
}

TEST_F(CloneFixture, AutoSizeFollowsTheSourceAndLocksTheSize) {
  clone->SetSource(source);
  EXPECT_EQ(clone->GetWidth(), 10000);
  EXPECT_EQ(clone->GetHeight(), 20000);
  EXPECT_TRUE(clone->SizeLocked());
  clone->SetWidth(5);
  EXPECT_EQ(clone->GetWidth(), 10000);
  source->SetWidth(30000);
  EXPECT_EQ(clone->GetWidth(), 30000);
  clone->SetAutoSize(false);
  EXPECT_FALSE(clone->SizeLocked());
  clone->SetWidth(5000);
  EXPECT_EQ(clone->GetWidth(), 5000);
  source->Free();
  EXPECT_EQ(clone->GetSource(), nullptr);
  EXPECT_FALSE(clone->SizeLocked());
}

TEST_F(CloneFixture, FollowsItsSourceOnALayerThatDoesNotMove) {
  static_cast<TVexaLayer*>(panel.GetActiveLayer())->SetMoveable(false);
  clone->SetSource(source);
  EXPECT_EQ(clone->GetWidth(), 10000);
  clone->SetLeft(7);
  EXPECT_EQ(clone->GetLeft(), 50000);  // what a user does is still refused
}

TEST_F(CloneFixture, PaintsTheSourceAtItsOwnPlace) {
  clone->SetSource(source);
  canvas::RecordingCanvas canvas;
  clone->PaintAll(canvas, clone->GetLeft(), clone->GetTop());
  EXPECT_EQ(Filled(canvas), (std::vector<TRect>{{50, 0, 60, 20}}));
  // Grown by the source's overhang (none here) and no wider.
  EXPECT_EQ(clone->GetRefreshRect(0, 0), (TRect{0, 0, 10000, 20000}));
  panel.showEditingAids = true;
  clone->SetSource(nullptr);
  canvas::RecordingCanvas empty;
  clone->PaintAll(empty, clone->GetLeft(), clone->GetTop());
  ASSERT_FALSE(empty.Commands().empty());
  EXPECT_EQ(empty.Commands().back().op, CanvasOp::Rectangle);
}

// Paints over the whole coordinate range, as a shape with the widest pen does.
class TEverywhereControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  TRect GetRefreshRect(int32_t, int32_t) const override { return {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}; }
};
const TVexaControlClass TEverywhereControl::ClassInfo{{"TEverywhereControl", &TVexaControl::ClassInfo.ref},
                                                      &TVexaControl::Creator<TEverywhereControl>};

// The clone's refresh rectangle stops at the ends of the range, scaled or not.
TEST_F(CloneFixture, ASourcePaintingOverTheWholeRangeHoldsTheRefreshRectInIt) {
  RegisterControlClass(TEverywhereControl::ClassInfo);
  TVexaControl* everywhere = TVexaControl::New<TEverywhereControl>(&panel, Scheme(), panel.GetActiveLayer());
  everywhere->SetDocRect({0, 0, 10000, 20000});
  for (const bool autoSize : {true, false}) {
    clone->SetAutoSize(autoSize);
    clone->SetSource(everywhere);
    EXPECT_EQ(clone->GetRefreshRect(0, 0), (TRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}));
  }
}

TEST_F(CloneFixture, AClonePutIntoItsOwnSourceDoesNotPaintForEver) {
  TVexaGroup* g = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  TVexaControl* member = TVexaControl::New<TFillControl>(&panel, g);
  member->SetVisible(true);
  member->SetDocRect({0, 0, 1000, 1000});
  clone->SetSource(g);
  ASSERT_EQ(clone->GetSource(), g);
  g->AddChild(clone);  // now the source holds the clone
  canvas::RecordingCanvas canvas;
  g->PaintAll(canvas, g->GetLeft(), g->GetTop());
  EXPECT_FALSE(Filled(canvas).empty());
  (void)g->GetRefreshRect(0, 0);
  panel.SaveText();
}

TEST_F(CloneFixture, SavesItsSourceAndAutoSize) {
  clone->SetSource(source);
  clone->SetAutoSize(false);
  clone->SetWidth(40000);
  const std::string text = panel.SaveText();
  EXPECT_NE(text.find("Source = "), std::string::npos) << text;
  EXPECT_NE(text.find("AutoSize = False"), std::string::npos);
  TTestVexaPanel loaded;
  loaded.LoadText(text);
  EXPECT_EQ(loaded.SaveText(), text);
  auto* copy = static_cast<TVexaClone*>(static_cast<TVexaControl*>(loaded.Schemes().GetChild(0))->FindChildByName("clone"));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetSource()->GetName(), "src");
  EXPECT_EQ(copy->GetWidth(), 40000);
}

TEST_F(CloneFixture, CountsWhatClonesMakePaintingWalk) {
  // source (a box) and clone stand in the scheme; clone shows nothing yet.
  std::vector<TVexaControl*> roots{Scheme()};
  EXPECT_EQ(CountClonePaintedControls(roots), 0);
  clone->SetSource(source);
  EXPECT_EQ(CountClonePaintedControls(roots), 1);
  // The clone in a group, shown by a second clone: that one walks the group, the clone in it
  // and the box again.
  TVexaGroup* group = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  group->AddChild(clone);
  auto* outer = TVexaControl::New<TVexaClone>(&panel, Scheme(), panel.GetActiveLayer());
  outer->SetSource(group);
  EXPECT_EQ(CountClonePaintedControls(roots), 1 + 3);
  // Counted from the group and the second clone alone (a paste), the same.
  std::vector<TVexaControl*> pasted{group, outer};
  EXPECT_EQ(CountClonePaintedControls(pasted), 1 + 3);
  // A clone moved into its own source while a document is read keeps it until the reading
  // ends, and is met again inside it: painting stops there.
  auto* loop = TVexaControl::New<TVexaClone>(&panel, Scheme(), panel.GetActiveLayer());
  loop->SetSource(group);
  panel.BeginLoading();
  group->AddChild(loop);
  EXPECT_EQ(loop->GetSource(), group);
  EXPECT_LT(CountClonePaintedControls(roots), 100);
  panel.EndLoading();
}

TEST_F(CloneFixture, ClonesOfClonesAreCountedOnceEachAndHeldPastTheLimit) {
  // Each level: a group of two clones of the level below. Painting level n walks 5 * 2^n - 3
  // controls, and the count walks each level once.
  std::vector<TVexaControl*> roots{Scheme()};
  TVexaControl* below = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  static_cast<TVexaGroup*>(below)->AddChild(source);
  clone->Free();
  int64_t expected = 0;
  for (int level = 1; level <= 16; ++level) {
    TVexaControl* group = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
    for (int k = 0; k < 2; ++k) {
      auto* c = TVexaControl::New<TVexaClone>(&panel, group, panel.GetActiveLayer());
      c->SetSource(below);
    }
    expected += 2 * ((int64_t{5} << (level - 1)) - 3);
    below = group;
    if (level == 10 || level == 13 || level == 14) {
      EXPECT_EQ(CountClonePaintedControls(roots), std::min(expected, kMaxClonePaintedControls + 1)) << level;
    }
  }
  EXPECT_EQ(CountClonePaintedControls(roots), kMaxClonePaintedControls + 1);
  EXPECT_THROW(RequireBoundedClones(roots), ECloneLimitError);
}

TEST_F(CloneFixture, ClonesOfClonesNestedTooDeepAreHeldPastTheLimit) {
  // One clone a level: a few thousand controls in all, but a walk as deep as the levels,
  // whichever order the levels stand in.
  TVexaControl* below = source;
  std::vector<TVexaControl*> levels;
  for (int level = 1; level <= kMaxCloneDepth + 1; ++level) {
    TVexaControl* group = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
    auto* c = TVexaControl::New<TVexaClone>(&panel, group, panel.GetActiveLayer());
    c->SetSource(below);
    below = group;
    levels.push_back(group);
  }
  std::vector<TVexaControl*> upward(levels.begin(), levels.end() - 1);
  std::vector<TVexaControl*> downward(upward.rbegin(), upward.rend());
  for (const auto& roots : {upward, downward}) {
    // Level k shows level k - 1, which paints 2k - 1 controls: n^2 for n levels.
    EXPECT_EQ(CountClonePaintedControls(roots), kMaxCloneDepth * kMaxCloneDepth);
  }
  upward.push_back(levels.back());
  downward.insert(downward.begin(), levels.back());
  for (const auto& roots : {upward, downward}) {
    EXPECT_EQ(CountClonePaintedControls(roots), kMaxClonePaintedControls + 1);
  }
}

// Counts how often its refresh rectangle is asked for.
class TCountingControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  TRect GetRefreshRect(int32_t x, int32_t y) const override {
    ++asked;
    return TVexaControl::GetRefreshRect(x, y);
  }
  mutable int64_t asked = 0;
};
const TVexaControlClass TCountingControl::ClassInfo{{"TCountingControl", &TVexaControl::ClassInfo.ref},
                                                    &TVexaControl::Creator<TCountingControl>};

TEST_F(CloneFixture, ARefreshRectangleMeasuresEachSourceOnceHoweverClonesMultiply) {
  // 40 levels of two clones of the level below: 2^40 ways down to the bottom control. The
  // rectangle is asked for while such a document is read, before it can be refused.
  RegisterControlClass(TCountingControl::ClassInfo);
  auto* bottom = TVexaControl::New<TCountingControl>(&panel, Scheme(), panel.GetActiveLayer());
  bottom->SetDocRect({0, 0, 1000, 1000});
  TVexaControl* below = bottom;
  std::vector<TVexaClone*> topClones;
  for (int level = 1; level <= 40; ++level) {
    TVexaControl* group = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
    topClones.clear();
    for (int k = 0; k < 2; ++k) {
      auto* c = TVexaControl::New<TVexaClone>(&panel, group, panel.GetActiveLayer());
      c->SetSource(below);
      c->SetLeft(k * 500);
      topClones.push_back(c);
    }
    below = group;
  }
  // Each clone of the top level measures its own way down once.
  bottom->asked = 0;
  const TRect r = below->GetRefreshRect(0, 0);
  EXPECT_EQ(bottom->asked, 2);
  EXPECT_EQ(r, (TRect{0, 0, below->GetWidth(), below->GetHeight()}));
  bottom->asked = 0;
  const TRect one = topClones[1]->GetRefreshRect(500, 0);
  EXPECT_EQ(bottom->asked, 1);
  EXPECT_EQ(one, (TRect{500, 0, 500 + topClones[1]->GetWidth(), topClones[1]->GetHeight()}));
}

}  // namespace
}  // namespace pv::graphics
