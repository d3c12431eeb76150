// Every kind of change to the document, undone and redone with the history on: the saved
// text after undo is the text from before, byte for byte, and after redo the text from after.

#include <gtest/gtest.h>

#include <functional>

#include "document/Group.h"
#include "document/testing/TestVexaPanel.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

struct HistoryFixture : ::testing::Test {
  HistoryFixture() {
    panel.NewDocument();
    layer2 = panel.Layers().NewLayer();
    scheme2 = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
    a = Box(Scheme(), {1000, 1000, 3000, 3000}, "a");
    b = Box(Scheme(), {5000, 1000, 6000, 2000}, "b");
    child = Box(a, {1500, 1500, 2000, 2000}, "child");
    group = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
    group->SetName("g");
    Box(group, {10000, 10000, 12000, 11000}, "g1");
    Box(group, {13000, 12000, 14000, 16000}, "g2");
    panel.History().SetActive(true);
  }
  TVexaControl* Scheme() { return panel.Schemes().GetChild(0); }
  TVexaControl* Box(TVexaControl* parent, const TRect& r, const std::string& name) {
    TVexaControl* c = TVexaControl::New<TVexaControl>(&panel, parent, panel.GetActiveLayer());
    c->SetVisible(true);
    c->SetDocRect(r);
    c->SetName(name);
    return c;
  }

  void ExpectUndoRedo(const std::function<void()>& change) {
    const std::string before = panel.SaveText();
    const int count = panel.History().ActionIndex() + 1;
    change();
    const std::string after = panel.SaveText();
    ASSERT_NE(after, before);
    const int steps = panel.History().Count() - count;
    ASSERT_GT(steps, 0);
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(panel.History().Undo());
    EXPECT_EQ(panel.SaveText(), before);
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(panel.History().Redo());
    EXPECT_EQ(panel.SaveText(), after);
    for (int i = 0; i < steps; ++i) ASSERT_TRUE(panel.History().Undo());
    EXPECT_EQ(panel.SaveText(), before);
  }

  TTestVexaPanel panel;
  TVexaLayer* layer2;
  TVexaControl* scheme2;
  TVexaControl* a;
  TVexaControl* b;
  TVexaControl* child;
  TVexaControl* group;
};

TEST_F(HistoryFixture, PropertyChanges) {
  ExpectUndoRedo([&] { a->SetTag(42); });
  ExpectUndoRedo([&] { a->SetLeft(-700); });
  ExpectUndoRedo([&] { a->Hint().SetText("x\r\ny"); });
  ExpectUndoRedo([&] { layer2->SetName("Walls"); });
  ExpectUndoRedo([&] { layer2->SetMoveable(false); });
  ExpectUndoRedo([&] { panel.Schemes().SetConnectorsMinGap(1234); });
}

TEST_F(HistoryFixture, ReferencesAndLayers) {
  ExpectUndoRedo([&] { a->SetReference(scheme2); });
  ExpectUndoRedo([&] { a->SetLayerControl(layer2); });
}

TEST_F(HistoryFixture, GeometryInOneBracket) { ExpectUndoRedo([&] { b->SetDocRect({0, 0, 9000, 9000}); }); }

TEST_F(HistoryFixture, Order) {
  ExpectUndoRedo([&] { Scheme()->MoveChild(0, 2); });
  ExpectUndoRedo([&] { child->SetParent(b); });
}

TEST_F(HistoryFixture, CreationAndDestruction) {
  ExpectUndoRedo([&] { Box(Scheme(), {100, 100, 900, 900}, "new"); });
  ExpectUndoRedo([&] { Box(a, {1100, 1100, 1200, 1200}, "nested"); });
  ExpectUndoRedo([&] { a->Free(); });
  // Undo brought a back as a new object with the same ID.
  TVexaControl* restored = Scheme()->FindChildByName("a");
  ASSERT_NE(restored, nullptr);
  EXPECT_EQ(restored->GetCount(), 1);
  ExpectUndoRedo([&] { layer2->Free(); });
}

TEST_F(HistoryFixture, GroupSizing) {
  ExpectUndoRedo([&] { group->SetWidth(group->GetWidth() * 2); });
  ExpectUndoRedo([&] { group->SetLeft(0); });
}

// A group moved and resized in one bracket, as a mouse drag does: undo puts every descendant
// back where it was, not where the move had taken it, also inside a nested group.
TEST_F(HistoryFixture, GroupSizeAndMoveInOneBracket) {
  const TRect r = group->GetDocRect();
  ExpectUndoRedo([&] { group->SetDocRect({r.left - 500, r.top + 700, r.right + 2500, r.bottom + 900}); });
  TVexaControl* outer = TVexaControl::New<TVexaGroup>(&panel, Scheme(), panel.GetActiveLayer());
  outer->SetName("outer");
  group->SetParent(outer);
  Box(outer, {20000, 20000, 21000, 23000}, "o1");
  const TRect o = outer->GetDocRect();
  ExpectUndoRedo([&] { outer->SetDocRect({o.left + 3000, o.top - 2000, o.right + 1000, o.bottom - 4000}); });
  ExpectUndoRedo([&] { outer->SetDocRect({o.left + 100, o.top + 100, o.right + 100, o.bottom + 100}); });
}

}  // namespace
}  // namespace pv::graphics
