// Groups: the rectangle fits the children, moves carry them, sizes scale them.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>
#include <random>

#include "document/Group.h"
#include "document/ServiceControls.h"
#include "document/testing/TestVexaPanel.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

struct GroupFixture : ::testing::Test {
  GroupFixture() { panel.NewDocument(); }
  TVexaControl* Scheme() { return panel.GetActiveScheme(); }
  TVexaControl* Box(TVexaControl* parent, const TRect& docRect, const std::string& name = {}) {
    TVexaControl* c = TVexaControl::New<TVexaControl>(&panel, parent, panel.GetActiveLayer());
    c->SetVisible(true);
    c->SetDocRect(docRect);
    if (!name.empty()) c->SetName(name);
    return c;
  }
  TVexaGroup* Group(TVexaControl* parent) { return TVexaControl::New<TVexaGroup>(&panel, parent); }
  TTestVexaPanel panel;
};

TEST_F(GroupFixture, TheRectangleFitsTheChildren) {
  TVexaGroup* g = Group(Scheme());
  TVexaControl* a = Box(g, {1000, 2000, 3000, 4000});
  TVexaControl* b = Box(g, {5000, 1000, 6000, 9000});
  EXPECT_EQ(g->GetDocRect(), (TRect{1000, 1000, 6000, 9000}));
  EXPECT_EQ(a->GetDocRect(), (TRect{1000, 2000, 3000, 4000}));
  EXPECT_EQ(b->GetLeft(), 4000);
  EXPECT_EQ(b->GetTop(), 0);
  // A child moved past the left edge takes the edge along; the others stay where they are.
  a->SetLeft(-500);
  EXPECT_EQ(g->GetDocRect(), (TRect{500, 1000, 6000, 9000}));
  EXPECT_EQ(a->GetLeft(), 0);
  EXPECT_EQ(b->GetDocRect(), (TRect{5000, 1000, 6000, 9000}));
}

TEST_F(GroupFixture, SizingScalesEveryDescendant) {
  TVexaGroup* g = Group(Scheme());
  Box(g, {0, 0, 1000, 1000});
  TVexaGroup* inner = Group(g);
  TVexaControl* deep = Box(inner, {2000, 500, 4000, 1500});
  ASSERT_EQ(g->GetDocRect(), (TRect{0, 0, 4000, 1500}));
  g->SetWidth(8000);
  EXPECT_EQ(deep->GetDocRect(), (TRect{4000, 500, 8000, 1500}));
  EXPECT_EQ(inner->GetDocRect(), (TRect{4000, 500, 8000, 1500}));
  EXPECT_EQ(g->GetDocRect(), (TRect{0, 0, 8000, 1500}));
  g->SetLeft(100);
  EXPECT_EQ(deep->GetDocRect(), (TRect{4100, 500, 8100, 1500}));
}

TEST_F(GroupFixture, ChildrenAtTheEdgesOfTheRangeStayInsideTheGroup) {
  // One child pushed past the largest coordinate, one put at the smallest, then the group
  // squeezed and stretched: every sum along the way leaves int32, and the rectangles must
  // come out ordered, not wrapped (at the very edge they may differ by the unit lost there).
  TVexaGroup* g = Group(Scheme());
  TVexaControl* a = Box(g, {1000, 0, 2000, 1000});
  a->SetLeft(INT32_MAX - 10);
  a->SetWidth(100);
  Box(g, {INT32_MIN, 0, INT32_MIN + 10, 10});
  const auto expectNested = [&](const char* step) {
    SCOPED_TRACE(step);
    const TRect r = g->GetDocRect();
    EXPECT_LE(r.left, r.right);
    for (int i = 0; i < g->GetCount(); ++i) {
      const TRect c = g->GetChild(i)->GetDocRect();
      EXPECT_LE(c.left, c.right);
      EXPECT_GE(c.left, r.left);
      EXPECT_LE(c.right, int64_t{r.right} + 1);
    }
  };
  expectNested("placed");
  EXPECT_GE(g->GetDocRect().right, INT32_MAX - 1);
  g->SetWidth(1);
  expectNested("squeezed");
  g->SetWidth(INT32_MAX);
  expectNested("stretched");
}

TEST_F(GroupFixture, AGroupOnALayerThatIsNotMoveableStillFitsItsChildren) {
  // The group's own layer holds it in place, its child's layer does not: the child moves and
  // the group still covers it, in the panel and after a save and a load.
  TVexaGroup* g = Group(Scheme());
  g->SetName("g");
  TVexaControl* a = Box(g, {1000, 1000, 2000, 2000});
  TVexaControl* free = a->GetLayer();
  TVexaLayer* fixed = panel.Layers().NewLayer();
  g->SetLayerControl(fixed);
  a->SetLayerControl(free);
  ASSERT_NE(a->GetLayer(), g->GetLayer());
  fixed->SetMoveable(false);
  g->SetLeft(5000);
  EXPECT_EQ(g->GetDocRect(), (TRect{1000, 1000, 2000, 2000}));
  a->SetLeft(3000);
  EXPECT_EQ(g->GetDocRect(), (TRect{4000, 1000, 5000, 2000}));
  EXPECT_EQ(a->GetDocRect(), (TRect{4000, 1000, 5000, 2000}));
  const std::string text = panel.SaveText();
  TTestVexaPanel again;
  again.LoadText(text);
  EXPECT_EQ(again.SaveText(), text);
}

TEST_F(GroupFixture, AnEmptyGroupCoversNothing) {
  TVexaGroup* g = Group(Scheme());
  TVexaControl* a = Box(g, {1000, 1000, 5000, 5000});
  ASSERT_EQ(g->GetDocRect(), (TRect{1000, 1000, 5000, 5000}));
  a->SetParent(Scheme());
  EXPECT_EQ(g->GetDocRect(), (TRect{1000, 1000, 1001, 1001}));
  panel.scale = 100;
  EXPECT_FALSE(g->IsPointInside(3, 3));
}

TEST_F(GroupFixture, HitsAndRefreshComeFromTheChildren) {
  TVexaGroup* g = Group(Scheme());
  Box(g, {0, 0, 10000, 10000});
  Box(g, {90000, 90000, 100000, 100000});
  EXPECT_TRUE(g->IsPointInside(5, 5));
  EXPECT_FALSE(g->IsPointInside(50, 50));  // inside the group's rectangle, outside both children
  EXPECT_TRUE(g->IsPointInside(95, 95));
  EXPECT_EQ(g->GetRefreshRect(0, 0), (TRect{0, 0, 100000, 100000}));
}

TEST_F(GroupFixture, ChildrenKeepTheirOwnLayersThroughSavingAndLoading) {
  TVexaLayer* second = panel.Layers().NewLayer();
  TVexaGroup* g = Group(Scheme());
  g->SetLayerControl(panel.GetActiveLayer());
  TVexaControl* a = Box(g, {0, 0, 1000, 1000});
  a->SetLayerControl(second);
  const std::string text = panel.SaveText();
  TTestVexaPanel loaded;
  loaded.LoadText(text);
  EXPECT_EQ(loaded.SaveText(), text);
  EXPECT_EQ(static_cast<TVexaControl*>(loaded.Schemes().GetChild(0)->GetChild(0)->Child(0))->GetLayer(),
            loaded.Layers().GetChild(1));
}

TEST_F(GroupFixture, GroupingAndUngroupingKeepEveryControlInPlace) {
  TVexaControl* a = Box(Scheme(), {1000, 1000, 2000, 2000});
  TVexaControl* b = Box(Scheme(), {3000, 500, 4000, 900});
  panel.Select(*a);
  panel.Select(*b);
  IDocControl* g = panel.GroupSelection("TVexaGroup");
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->GetDocRect(), (TRect{1000, 500, 4000, 2000}));
  EXPECT_EQ(a->GetDocRect(), (TRect{1000, 1000, 2000, 2000}));
  EXPECT_EQ(b->GetDocRect(), (TRect{3000, 500, 4000, 900}));
  const std::string text = panel.SaveText();
  TTestVexaPanel loaded;
  loaded.LoadText(text);
  EXPECT_EQ(loaded.SaveText(), text);
  auto* lg = static_cast<TVexaControl*>(loaded.Schemes().GetChild(0)->GetChild(0));
  EXPECT_TRUE(lg->IsGroup());
  EXPECT_EQ(lg->GetChild(1)->GetDocRect(), (TRect{3000, 500, 4000, 900}));
  panel.UngroupSelection();
  EXPECT_EQ(Scheme()->GetCount(), 2);
  EXPECT_EQ(b->GetDocRect(), (TRect{3000, 500, 4000, 900}));
}

// Random moves and sizes of a group of nested groups against a model that keeps every
// descendant's absolute rectangle and applies each operation as an affine map.
TEST_F(GroupFixture, DescendantsFollowAnAffineModel) {
  std::mt19937 random(7);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  TVexaGroup* g = Group(Scheme());
  std::vector<TVexaControl*> leaves;
  TVexaGroup* inner = Group(g);
  for (int i = 0; i < 6; ++i) {
    const int x = pick(0, 50) * 1000;
    const int y = pick(0, 50) * 1000;
    leaves.push_back(Box(i % 2 ? static_cast<TVexaControl*>(inner) : g, {x, y, x + pick(1, 20) * 1000, y + pick(1, 20) * 1000}));
  }
  std::map<TVexaControl*, TRect> model;
  for (TVexaControl* c : leaves) model[c] = c->GetDocRect();
  for (int step = 0; step < 200; ++step) {
    const TRect before = g->GetDocRect();
    if (pick(0, 1) == 0) {
      const int dx = pick(-5000, 5000);
      const int dy = pick(-5000, 5000);
      g->SetLeft(g->GetLeft() + dx);
      g->SetTop(g->GetTop() + dy);
      for (auto& [c, r] : model) r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
    } else {
      const int w = pick(1000, 200000);
      const int h = pick(1000, 200000);
      const double sx = static_cast<double>(w) / (before.right - before.left);
      g->SetWidth(w);
      const TRect mid = g->GetDocRect();
      const double sy = static_cast<double>(h) / (mid.bottom - mid.top);
      g->SetHeight(h);
      auto scale = [](double s, int v, int origin) { return static_cast<int>(std::lround(s * (v - origin))) + origin; };
      for (auto& [c, r] : model) {
        r = {scale(sx, r.left, before.left), r.top, scale(sx, r.right, before.left), r.bottom};
        r = {r.left, scale(sy, r.top, before.top), r.right, scale(sy, r.bottom, before.top)};
      }
    }
    for (auto& [c, r] : model) {
      // Sizes never fall below one unit: the model follows that rule too.
      if (r.right - r.left < 1) r.right = r.left + 1;
      if (r.bottom - r.top < 1) r.bottom = r.top + 1;
      ASSERT_EQ(c->GetDocRect(), r) << "step " << step;
    }
  }
}


// A group whose layer is read after its children, holding a group and a clone of it, on a
// layer that does not move: the group fits the children the first time it is read, so it
// reads back as it was written, in either mode.
TEST_F(GroupFixture, AGroupWhoseLayerComesLastReadsBackAsWritten) {
  const std::string text =
      "doc\n"
      "  object Layer1: TVexaLayer\n"
      "  end\n"
      "  object Layer2: TVexaLayer\n"
      "    Moveable = False\n"
      "    object g: TVexaGroup\n"
      "      object g: TVexaGroup\n"
      "        ID = 11\n"
      "        Left = 10800\n"
      "        Width = 4000\n"
      "      end\n"
      "      object c: TVexaClone\n"
      "        Source = \\11:g\n"
      "      end\n"
      "      Layer = Layer2\n"
      "    end\n"
      "  end\n"
      "end\n";
  for (TLoadMode mode : {TLoadMode::Document, TLoadMode::Clipboard}) {
    TTestVexaPanel first;
    first.NewDocument();
    first.LoadText(text, mode);
    const std::string saved = first.SaveText();
    TTestVexaPanel again;
    again.LoadText(saved);
    // The first line names the document, which a clipboard text does not carry.
    const std::string body = saved.substr(saved.find('\n'));
    const std::string reread = again.SaveText();
    EXPECT_EQ(reread.substr(reread.find('\n')), body);
  }
}

}  // namespace
}  // namespace pv::graphics
