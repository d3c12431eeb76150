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

}  // namespace
}  // namespace pv::graphics
