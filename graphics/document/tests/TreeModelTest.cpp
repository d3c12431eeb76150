// The document tree under random edits: after every step it is acyclic, parents and children
// agree, the parentless list holds exactly the controls without a parent, IDs are unique and
// pooled, and every layer and scheme a control points at is alive. Run under ASan, painting
// and saving after the edits also prove that no freed layer or scheme is reached.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "canvas/RecordingCanvas.h"
#include "document/Group.h"
#include "document/testing/TestVexaPanel.h"

namespace pv::graphics {
namespace {

using test::TTestVexaPanel;

class TreeModel {
 public:
  explicit TreeModel(uint32_t seed) : random_(seed) { panel_.NewDocument(); }

  void Step() {
    switch (Pick(12)) {
      case 0:
      case 1:
        Create();
        break;
      case 2:
        Reparent();
        break;
      case 3:
        if (TVexaControl* c = AnyOrdinary()) c->SetParent(nullptr);
        break;
      case 4:
        if (TVexaControl* c = AnyOrdinary()) c->Free();
        break;
      case 5:
        Move();
        break;
      case 6:
        if (TVexaControl* c = AnyOrdinary()) c->SetLayerControl(AnyLayer());
        break;
      case 7:
        if (TVexaControl* c = AnyOrdinary()) c->SetReference(AnyScheme());
        break;
      case 8:
        if (Pick(3) == 0) {
          if (TVexaControl* layer = AnyLayer()) {
            layer->Free();
            ++freedLayers;
          }
        } else if (TVexaControl* scheme = AnyScheme()) {
          scheme->Free();
          ++freedSchemes;
        }
        break;
      case 9:
        if (Pick(2) == 0) {
          panel_.Layers().NewLayer();
        } else {
          TVexaControl::New<TVexaScheme>(&panel_, &panel_.Schemes());
        }
        break;
      case 10:
        // Layers and schemes taken out of their roots stay alive without a parent.
        if (TVexaControl* layer = AnyLayer(); layer && layer->GetParent()) {
          panel_.Layers().ExtractChild(layer);
        } else if (TVexaControl* scheme = AnyScheme(); scheme && scheme->GetParent()) {
          panel_.Schemes().ExtractChild(scheme);
        }
        break;
      default:
        if (TVexaControl* c = AnyOrdinary()) c->SetLeft(static_cast<int32_t>(Pick(100000)));
        break;
    }
  }

  void Check() {
    std::set<const TVexaControl*> alive;
    panel_.ForEachControl([&](TVexaControl& c) {
      EXPECT_TRUE(alive.insert(&c).second) << "a control is reached twice";
    });
    const std::vector<TVexaControl*> tops = panel_.TopControls();
    std::set<int32_t> ids;
    for (const TVexaControl* c : alive) {
      int depth = 0;
      for (const TVexaControl* p = c->GetParent(); p; p = p->GetParent()) {
        ASSERT_LT(++depth, 10000) << "cycle";
        ASSERT_TRUE(alive.count(p));
      }
      for (int i = 0; i < c->GetCount(); ++i) EXPECT_EQ(c->GetChild(i)->GetParent(), c);
      if (c->GetParent()) {
        EXPECT_GE(c->GetParent()->IndexOf(c), 0);
        EXPECT_EQ(std::count(panel_.Parentless().begin(), panel_.Parentless().end(), c), 0);
      } else {
        EXPECT_EQ(std::count(tops.begin(), tops.end(), c), 1) << "lost: " << c->GetName();
      }
      if (c->GetLayer()) {
        EXPECT_TRUE(alive.count(c->GetLayer())) << "dangling layer";
      }
      if (c->GetReference()) {
        EXPECT_TRUE(alive.count(c->GetReference())) << "dangling scheme reference";
      }
      EXPECT_NE(c->GetId(), 0);
      EXPECT_TRUE(panel_.IdPool().Used(c->GetId()));
      EXPECT_TRUE(ids.insert(c->GetId()).second) << "ID twice: " << c->GetId();
    }
    for (TVexaControl* active : {panel_.GetActiveLayer(), panel_.GetActiveScheme()}) {
      if (active) {
        EXPECT_TRUE(alive.count(active)) << "dangling active layer or scheme";
      }
    }
    if (panel_.Layers().GetCount() > 0) {
      EXPECT_EQ(panel_.GetActiveLayer()->GetParent(), &panel_.Layers());
    }
    if (panel_.Schemes().GetCount() > 0) {
      EXPECT_EQ(panel_.GetActiveScheme()->GetParent(), &panel_.Schemes());
    }
  }

  TTestVexaPanel& Panel() { return panel_; }
  int refusedCycles = 0;
  int freedLayers = 0;
  int freedSchemes = 0;

 private:
  uint32_t Pick(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(random_); }

  std::vector<TVexaControl*> Ordinary() {
    std::vector<TVexaControl*> all;
    panel_.ForEachControl([&](TVexaControl& c) {
      if (&c.ClassType() == &TVexaControl::ClassInfo || c.IsGroup()) all.push_back(&c);
    });
    return all;
  }
  TVexaControl* AnyOrdinary() {
    const std::vector<TVexaControl*> all = Ordinary();
    return all.empty() ? nullptr : all[Pick(static_cast<uint32_t>(all.size()))];
  }
  template <class T>
  TVexaControl* AnyOf() {
    std::vector<TVexaControl*> all;
    panel_.ForEachControl([&](TVexaControl& c) {
      if (c.InheritsFrom(T::ClassInfo)) all.push_back(&c);
    });
    return all.empty() ? nullptr : all[Pick(static_cast<uint32_t>(all.size()))];
  }
  TVexaControl* AnyLayer() { return AnyOf<TVexaLayer>(); }
  TVexaControl* AnyScheme() { return AnyOf<TVexaScheme>(); }
  // A container for ordinary controls: a scheme, an ordinary control, or none.
  TVexaControl* AnyContainer() {
    switch (Pick(3)) {
      case 0:
        return AnyScheme();
      case 1:
        return AnyOrdinary();
      default:
        return nullptr;
    }
  }

  void Create() {
    TVexaControl* parent = AnyContainer();
    TVexaControl* c = Pick(4) == 0 ? TVexaControl::New<TVexaGroup>(&panel_, parent, AnyLayer())
                                   : TVexaControl::New<TVexaControl>(&panel_, parent, AnyLayer());
    c->SetName("c" + std::to_string(++created_));
    c->SetVisible(true);
    c->SetWidth(1000 + static_cast<int32_t>(Pick(50000)));
    c->SetHeight(1000 + static_cast<int32_t>(Pick(50000)));
    if (Pick(4) == 0) c->SetReference(AnyScheme());
  }

  void Reparent() {
    TVexaControl* child = AnyOrdinary();
    TVexaControl* parent = Pick(2) ? AnyOrdinary() : AnyScheme();
    if (!child || !parent) return;
    const bool cycle = parent == child || child->IsAncestorOf(parent);
    TVexaControl* before = child->GetParent();
    const int index = parent->AddChild(child);
    if (cycle) {
      ++refusedCycles;
      EXPECT_EQ(index, -1);
      EXPECT_EQ(child->GetParent(), before);
    } else {
      EXPECT_EQ(parent->GetChild(index), child);
    }
  }

  void Move() {
    TVexaControl* parent = AnyContainer();
    if (!parent || parent->GetCount() == 0) return;
    const auto n = static_cast<uint32_t>(parent->GetCount());
    TVexaControl* child = parent->GetChild(static_cast<int>(Pick(n)));
    const int to = static_cast<int>(Pick(n));
    parent->MoveChild(parent->IndexOf(child), to);
    EXPECT_EQ(parent->GetChild(to), child);
  }

  TTestVexaPanel panel_;
  std::mt19937 random_;
  int created_ = 0;
};

class TreeModelSeeds : public ::testing::TestWithParam<uint32_t> {};

TEST_P(TreeModelSeeds, StaysConsistentThroughRandomEdits) {
  TreeModel model(GetParam());
  canvas::RecordingCanvas canvas;
  for (int step = 0; step < 600; ++step) {
    model.Step();
    model.Check();
    if (HasFatalFailure() || HasFailure()) FAIL() << "at step " << step;
    if (step % 50 == 0) {
      for (int i = 0; i < model.Panel().Schemes().GetCount(); ++i) model.Panel().Schemes().GetChild(i)->PaintAll(canvas, 0, 0);
      model.Panel().SaveText();
    }
  }
  // The edits did reach the cases that matter.
  EXPECT_GT(model.refusedCycles, 0);
  EXPECT_GT(model.freedLayers, 0);
  EXPECT_GT(model.freedSchemes, 0);
  // What is saved loads back, and saves again unchanged after that first round.
  const std::string text = model.Panel().SaveText();
  TTestVexaPanel once;
  once.LoadText(text);
  const std::string first = once.SaveText();
  TTestVexaPanel twice;
  twice.LoadText(first);
  EXPECT_EQ(twice.SaveText(), first);
}

INSTANTIATE_TEST_SUITE_P(Seeds, TreeModelSeeds, ::testing::Values(1u, 2u, 3u, 17u, 4242u, 90210u));

}  // namespace
}  // namespace pv::graphics
