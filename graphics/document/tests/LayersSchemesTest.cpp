// Layers, schemes, their roots, the references to them, the grid and the paint order.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "canvas/Canvas.h"
#include "canvas/RecordingCanvas.h"
#include "document/testing/TestVexaPanel.h"

namespace pv::graphics {
namespace {

using canvas::CanvasOp;
using canvas::RecordingCanvas;
using test::TTestVexaPanel;

// A control that paints its pixel rectangle, so that a recording canvas shows what was painted.
class TFilledControl : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  void Paint(canvas::Canvas& canvas, const TRect& rect) override { canvas.FillRect(rect); }

 protected:
  void ControlCreate() override {
    TVexaControl::ControlCreate();
    SetVisible(true);
    SetWidth(10000);
    SetHeight(10000);
  }
};
const TVexaControlClass TFilledControl::ClassInfo{{"TFilledControl", &TVexaControl::ClassInfo.ref},
                                                  &TVexaControl::Creator<TFilledControl>};

struct DocumentFixture : ::testing::Test {
  DocumentFixture() { panel.NewDocument(); }
  TVexaScheme* Scheme(int i = 0) { return static_cast<TVexaScheme*>(panel.Schemes().GetChild(i)); }
  TVexaLayer* Layer(int i = 0) { return panel.Layers().GetLayer(i); }
  TFilledControl* Add(TVexaControl* parent, TVexaControl* layer, const std::string& name = {}) {
    auto* c = TVexaControl::New<TFilledControl>(&panel, parent, layer);
    if (!name.empty()) c->SetName(name);
    return c;
  }
  std::vector<TRect> Filled(const RecordingCanvas& canvas) const {
    std::vector<TRect> rects;
    for (const auto& cmd : canvas.Commands()) {
      if (cmd.op == CanvasOp::FillRect) rects.push_back({cmd.args[0], cmd.args[1], cmd.args[2], cmd.args[3]});
    }
    return rects;
  }
  TTestVexaPanel panel;
};

TEST_F(DocumentFixture, ThereIsAlwaysOneDefaultScheme) {
  EXPECT_TRUE(Scheme()->GetDefault());
  Scheme()->SetDefault(false);
  EXPECT_TRUE(Scheme()->GetDefault());
  auto* second = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
  EXPECT_FALSE(second->GetDefault());
  second->SetDefault(true);
  EXPECT_FALSE(Scheme()->GetDefault());
  EXPECT_TRUE(second->GetDefault());
}

TEST_F(DocumentFixture, RefusedLayerNamesGiveWayToTheOldName) {
  TVexaLayer* second = panel.Layers().NewLayer();
  EXPECT_EQ(second->GetName(), "Layer2");
  second->SetName(Layer()->GetName());
  EXPECT_EQ(second->GetName(), "Layer2");
  second->SetName("");
  EXPECT_EQ(second->GetName(), "Layer2");
  second->SetName("Walls");
  EXPECT_EQ(second->GetName(), "Walls");
  EXPECT_EQ(panel.Layers().ByName("Walls"), second);
  EXPECT_EQ(panel.Layers().ByName("walls"), nullptr);
}

TEST_F(DocumentFixture, RestoringARefusedOldNameDoesNotBounceForEver) {
  // A layer whose old name is itself taken: the restoring write is not checked again.
  Layer()->SetName("A");
  TVexaLayer* c = panel.Layers().NewLayer();
  c->SetName("C");
  TVexaLayer* b = panel.Layers().NewLayer();
  panel.Layers().ExtractChild(b);
  b->SetName("A");  // no siblings outside the root
  panel.Layers().AddChild(b);
  b->SetName("C");
  EXPECT_EQ(b->GetName(), "A");
  EXPECT_EQ(c->GetName(), "C");
}

TEST_F(DocumentFixture, TheActiveLayerMovesOffALayerThatGoes) {
  TVexaLayer* l1 = Layer();
  TVexaLayer* l2 = panel.Layers().NewLayer();
  TVexaLayer* l3 = panel.Layers().NewLayer();
  EXPECT_EQ(panel.GetActiveLayer(), l1);
  l1->Free();
  EXPECT_EQ(panel.GetActiveLayer(), l2);
  panel.SetActiveLayer(l3);
  l3->Free();  // the last: the previous one
  EXPECT_EQ(panel.GetActiveLayer(), l2);
  // Taking it out of the root counts as well.
  panel.Layers().ExtractChild(l2);
  EXPECT_EQ(panel.GetActiveLayer(), nullptr);
  EXPECT_EQ(l2->GetParent(), nullptr);
  panel.Layers().AddChild(l2);
  EXPECT_EQ(panel.GetActiveLayer(), l2);
  const auto layerNotes = std::count_if(panel.notifications.begin(), panel.notifications.end(),
                                        [](const auto& n) { return n.second == TVexaNotify::fnLayers; });
  EXPECT_GE(layerNotes, 4);
}

TEST_F(DocumentFixture, TheActiveSchemeMovesOffASchemeThatGoes) {
  auto* s2 = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
  panel.Schemes().ExtractChild(Scheme());
  EXPECT_EQ(panel.GetActiveScheme(), s2);
  panel.Schemes().MoveChild(0, 0);
  s2->Free();
  EXPECT_EQ(panel.GetActiveScheme(), nullptr);
}

TEST_F(DocumentFixture, RootsHoldOnlyTheirOwnKind) {
  TVexaControl* c = Add(Scheme(), Layer());
  EXPECT_EQ(panel.Layers().AddChild(c), -1);
  EXPECT_EQ(panel.Schemes().AddChild(c), -1);
  EXPECT_EQ(panel.Schemes().AddChild(Layer()), -1);
  EXPECT_EQ(c->GetParent(), Scheme());
}

TEST_F(DocumentFixture, ConnectorsMinGapStaysPositive) {
  panel.Schemes().SetConnectorsMinGap(0);
  EXPECT_EQ(panel.Schemes().GetConnectorsMinGap(), 1);
  EXPECT_EQ(panel.ConnectorsMinGap(), 1);
  panel.Schemes().SetConnectorsMinGap(-40);
  EXPECT_EQ(panel.Schemes().GetConnectorsMinGap(), 1);
  panel.Schemes().SetConnectorsMinGap(5000);
  EXPECT_EQ(panel.ConnectorsMinGap(), 5000);
}

TEST_F(DocumentFixture, TheLayerPropertyTakesLayersByName) {
  TVexaLayer* second = panel.Layers().NewLayer();
  TVexaControl* c = Add(Scheme(), Layer());
  c->LayerProp().SetValue("Layer2");
  EXPECT_EQ(c->GetLayer(), second);
  c->LayerProp().SetValue("no such layer");
  EXPECT_EQ(c->GetLayer(), second);
  c->LayerProp().SetValue("");
  EXPECT_EQ(c->GetLayer(), nullptr);
  // A layerless control in a scheme falls back on the active layer.
  c->LayerProp().SetValue("no such layer");
  EXPECT_EQ(c->GetLayer(), Layer());
  std::vector<std::string> names;
  c->LayerProp().GetEnumList(names);
  EXPECT_EQ(names, (std::vector<std::string>{"Layer1", "Layer2"}));
  // Children follow their parent's layer.
  TVexaControl* child = Add(c, nullptr);
  EXPECT_EQ(child->GetLayer(), Layer());
  c->SetLayerControl(second);
  EXPECT_EQ(child->GetLayer(), second);
}

TEST_F(DocumentFixture, TheSchemeReferenceTakesSchemesByExactName) {
  auto* s2 = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
  TVexaControl* c = Add(Scheme(), Layer());
  TSchemeRefProp& ref = c->ReferenceProp();
  ref.SetPropValue({}, PropValue::String("Scheme2"));
  EXPECT_EQ(c->GetReference(), s2);
  ref.SetPropValue({}, PropValue::String("scheme1"));
  EXPECT_EQ(c->GetReference(), s2);
  EXPECT_EQ(ref.GetDisplayValue(), "Scheme2");
  EXPECT_EQ(ref.GetSchemesRoot(), &panel.Schemes());
  std::vector<std::string> names;
  ref.GetEnumList(names);
  EXPECT_EQ(names, (std::vector<std::string>{"", "Scheme1", "Scheme2"}));
  ref.SetPropValue({}, PropValue::String(""));
  EXPECT_EQ(c->GetReference(), nullptr);
}

TEST_F(DocumentFixture, ALayerTakesEveryControlOnItWhereverItLies) {
  TVexaLayer* doomed = panel.Layers().NewLayer();
  TVexaControl* keep = Add(Scheme(), Layer(), "keep");
  TVexaControl* direct = Add(Scheme(), doomed, "direct");
  TVexaControl* nested = Add(keep, nullptr, "nested");
  nested->SetLayerControl(doomed);
  Add(nested, nullptr, "nested child");
  TVexaControl* loose = Add(nullptr, doomed, "loose");
  Add(direct, nullptr, "under direct");
  ASSERT_EQ(nested->GetLayer(), doomed);
  ASSERT_EQ(panel.Parentless().size(), 1u);
  doomed->Free();
  EXPECT_EQ(Scheme()->GetCount(), 1);
  EXPECT_EQ(Scheme()->GetChild(0), keep);
  EXPECT_EQ(keep->GetCount(), 0);
  EXPECT_TRUE(panel.Parentless().empty());
  (void)loose;
  RecordingCanvas canvas;
  Scheme()->PaintAll(canvas, 0, 0);
  const std::string text = panel.SaveText();
  EXPECT_NE(text.find("object keep"), std::string::npos);
  EXPECT_EQ(text.find("direct"), std::string::npos);
  EXPECT_EQ(text.find("Layer2"), std::string::npos);
}

TEST_F(DocumentFixture, ASchemeClearsEveryReferenceToIt) {
  auto* target = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
  TVexaControl* direct = Add(Scheme(), Layer(), "direct");
  TVexaControl* group = Add(Scheme(), Layer(), "group");
  TVexaControl* nested = Add(group, nullptr, "nested");
  TVexaControl* loose = Add(nullptr, Layer(), "loose");
  TVexaControl* inside = Add(target, Layer(), "inside");
  for (TVexaControl* c : {direct, nested, loose, inside}) c->SetReference(target);
  target->Free();
  for (TVexaControl* c : {direct, nested, loose}) EXPECT_EQ(c->GetReference(), nullptr) << c->GetName();
  const std::string text = panel.SaveText();
  EXPECT_EQ(text.find("Reference"), std::string::npos) << text;
  RecordingCanvas canvas;
  Scheme()->PaintAll(canvas, 0, 0);
  // A reference's own control going first leaves the scheme with nothing to tell.
  auto* again = TVexaControl::New<TVexaScheme>(&panel, &panel.Schemes());
  direct->SetReference(again);
  direct->Free();
  again->Free();
}

TEST_F(DocumentFixture, ALayerMovedToAnotherDocumentLeavesNoControlPointingAtIt) {
  TVexaLayer* moving = panel.Layers().NewLayer();
  moving->SetReadOnly(true);
  TVexaControl* c = Add(Scheme(), moving);
  TTestVexaPanel other;
  other.NewDocument();
  other.Layers().AddChild(moving);
  EXPECT_EQ(moving->Owner(), &other);
  // The control stays here, on a layer that stays.
  EXPECT_EQ(c->GetLayer(), Layer());
  moving->Free();
  EXPECT_EQ(c->GetLayer(), Layer());
  panel.SaveText();
  RecordingCanvas canvas;
  Scheme()->PaintAll(canvas, 0, 0);
}

TEST_F(DocumentFixture, AnUnselectableLayerDropsItsControlsFromTheSelection) {
  TVexaLayer* second = panel.Layers().NewLayer();
  TVexaControl* a = Add(Scheme(), Layer());
  TVexaControl* b = Add(Scheme(), second);
  a->SetSelected(true);
  b->SetSelected(true);
  Layer()->SetSelectable(false);
  EXPECT_FALSE(a->IsSelected());
  EXPECT_TRUE(b->IsSelected());
  EXPECT_FALSE(a->IsSelectable());
}

TEST_F(DocumentFixture, SchemesPaintLayerByLayerAndCullWhatLiesOutside) {
  TVexaLayer* top = panel.Layers().NewLayer();
  TVexaControl* upper = Add(Scheme(), top, "upper");  // first child, upper layer
  TVexaControl* lower = Add(Scheme(), Layer(), "lower");
  lower->SetLeft(20000);
  TVexaControl* far = Add(Scheme(), Layer(), "far");
  far->SetLeft(5000000);  // 5000 pixels right: outside the paint rectangle
  Add(far, nullptr, "far child");
  Add(Scheme(), nullptr, "no layer");
  RecordingCanvas canvas;
  Scheme()->PaintAll(canvas, 0, 0);
  const std::vector<TRect> expected{{0, 0, 800, 600}, {20, 0, 30, 10}, {0, 0, 10, 10}};
  EXPECT_EQ(Filled(canvas), expected);  // the scheme's background, then layer 1, then layer 2
  EXPECT_EQ(Scheme()->FindControlAt(5, 5), upper);
  EXPECT_EQ(Scheme()->FindControlAt(25, 5), lower);
  top->SetSelectable(false);
  EXPECT_EQ(Scheme()->FindControlAt(5, 5), nullptr);
  top->SetVisible(false);
  RecordingCanvas hidden;
  Scheme()->PaintAll(hidden, 0, 0);
  EXPECT_EQ(Filled(hidden).size(), 2u);
}

TEST_F(DocumentFixture, AStretchedBackgroundFillsTheCentredWindow) {
  panel.SetDocWidth(500000);
  panel.SetDocHeight(2000000);
  panel.clientRect = {0, 0, 801, 600};
  panel.schemeBkStretch = true;
  int hooked = 0;
  panel.OnPaintScheme = [&](canvas::Canvas&, TVexaControl& s) { hooked += &s == Scheme() ? 1 : 100; };
  RecordingCanvas off;
  Scheme()->PaintAll(off, 0, 0);
  EXPECT_EQ(Filled(off).front(), (TRect{0, 0, 500, 2000}));  // not centred: as it is
  panel.viewCentred = true;
  RecordingCanvas on;
  Scheme()->PaintAll(on, 0, 0);
  EXPECT_EQ(Filled(on).front(), (TRect{-150, 0, 651, 2000}));  // 301 more: 150 to the left
  EXPECT_EQ(hooked, 2);
  EXPECT_EQ(Scheme()->GetRefreshRect(0, 0), (TRect{0, 0, 801000, 600000}));
}

TEST(GridStep, IsRealValuedAndDoubledToFourPixels) {
  struct Case {
    int32_t scale, size;
    double step;
  };
  const Case cases[] = {
      {100, 1000, 4.0},    // 1 pixel, doubled twice
      {100, 10000, 10.0},  //
      {25, 10000, 5.0},    // 2.5 doubled
      {1, 2, 5.24288},     // 0.00002 pixel: an integer step would be 0 and never grow
      {400, 1000, 4.0},    //
      {0, 1000, 0.0},      // no step at all
      {100, 0, 0.0},
  };
  for (const Case& c : cases) EXPECT_NEAR(GridStep(c.scale, c.size), c.step, 1e-9) << c.scale << " " << c.size;
}

TEST_F(DocumentFixture, GridDotsAndLinesFollowTheStep) {
  TVexaGrid& grid = panel.Grid();
  grid.SetHorizSize(10000);
  grid.SetVertSize(20000);
  RecordingCanvas dots;
  grid.Paint(dots, {0, 0, 100, 100});
  const std::vector<TRect> dotRects = Filled(dots);
  EXPECT_EQ(dotRects.size(), 11u * 6u);
  EXPECT_EQ(dotRects.back(), (TRect{100, 100, 101, 101}));
  grid.SetGridStyle(TVexaGridStyle::gsLines);
  RecordingCanvas lines;
  grid.Paint(lines, {0, 0, 100, 100});
  EXPECT_EQ(Filled(lines).size(), 10u + 5u);
  grid.SetGridColor(TVexaGrid::kNoColor);
  panel.scale = 400;
  grid.SetShowPixGrid(true);
  RecordingCanvas pixels;
  grid.Paint(pixels, {0, 0, 40, 40});
  EXPECT_EQ(Filled(pixels).size(), 20u);  // a line every 4 pixels, each way
  grid.SetHorizSize(1);
  RecordingCanvas none;
  panel.scale = 100;
  grid.Paint(none, {0, 0, 40, 40});
  EXPECT_TRUE(Filled(none).empty());
}

// What the name indexes stand for: a walk over every control (the default name) and over the
// root's children (a layer by name, a unique name).
std::string WalkedDefaultName(const IVexaPanel& panel, const TVexaControl& control) {
  std::string base = control.ClassName();
  if (base.rfind("TVexa", 0) == 0) base.erase(0, 5);
  std::set<int64_t> used;
  panel.ForEachControl([&](TVexaControl& c) {
    const std::string name = c.GetName();
    if (&c == &control || name.size() <= base.size() || name.compare(0, base.size(), base) != 0) return;
    int64_t n = 0;
    for (size_t i = base.size(); i < name.size(); ++i) {
      if (name[i] < '0' || name[i] > '9' || n > INT32_MAX) return;
      n = n * 10 + (name[i] - '0');
    }
    used.insert(n);
  });
  int64_t number = 1;
  while (used.count(number)) ++number;
  return base + std::to_string(number);
}

TEST_F(DocumentFixture, NameIndexesAnswerAsAWalkThroughRenamesRemovalsAndMoves) {
  // Names that the default name counts, ones it must not (other prefix, leading zeros that
  // still count, a number past the range, a bare prefix), and plain ones.
  const std::vector<std::string> pool{"Layer1", "Layer2", "Layer3", "Layer4", "Layer007", "Layer99999999999",
                                      "Layer", "Layerx2", "layer5", "TFilledControl2", "Walls", "", "3"};
  TTestVexaPanel other;
  other.NewDocument();
  std::mt19937 random(23);
  auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  std::vector<TFilledControl*> shapes;
  for (int step = 0; step < 600; ++step) {
    TVexaLayers& root = panel.Layers();
    TVexaLayer* layer = root.GetCount() ? root.GetLayer(static_cast<int>(pick(static_cast<size_t>(root.GetCount())))) : nullptr;
    switch (pick(7)) {
      case 0:
      case 1:
        root.NewLayer();
        break;
      case 2:
        if (layer) layer->SetName(pool[pick(pool.size())]);
        break;
      case 3:
        if (layer && root.GetCount() > 1) layer->Free();
        break;
      case 4:  // out of the root and back: a layer outside keeps any name
        if (layer && root.GetCount() > 1) {
          root.ExtractChild(layer);
          layer->SetName(pool[pick(pool.size())]);
          root.AddChild(layer);
        }
        break;
      case 5:  // controls of another class count for the default name too
        shapes.push_back(Add(Scheme(), nullptr, pool[pick(pool.size())]));
        break;
      case 6:  // a named control leaves for another document, or is freed
        if (!shapes.empty()) {
          const size_t i = pick(shapes.size());
          if (pick(2)) {
            shapes[i]->MoveToPanel(&other);
          } else {
            shapes[i]->Free();
          }
          shapes.erase(shapes.begin() + static_cast<std::ptrdiff_t>(i));
        }
        break;
    }
    ASSERT_GT(root.GetCount(), 0);
    for (int i = 0; i < root.GetCount(); ++i) {
      TVexaLayer* l = root.GetLayer(i);
      ASSERT_EQ(panel.DefaultName(*l, true), WalkedDefaultName(panel, *l)) << "step " << step;
      bool unique = !l->GetName().empty();
      for (int j = 0; j < root.GetCount(); ++j) unique = unique && (i == j || root.GetChild(j)->GetName() != l->GetName());
      ASSERT_EQ(l->IsUniqueName(true, true), unique) << "step " << step << " " << l->GetName();
    }
    if (!shapes.empty()) {
      ASSERT_EQ(panel.DefaultName(*shapes.back(), true), WalkedDefaultName(panel, *shapes.back())) << "step " << step;
    }
    for (const std::string& name : pool) {
      ASSERT_EQ(root.ByName(name), root.FindChildByName(name)) << "step " << step << " " << name;
    }
  }
}

TEST_F(DocumentFixture, ThousandsOfLayersKeepTheirNamesAndNumbers) {
  // Made as a drawing's import makes them: a new layer, then the drawing's name for it.
  for (int i = 0; i < 3000; ++i) panel.Layers().NewLayer()->SetName("L" + std::to_string(i));
  ASSERT_EQ(panel.Layers().GetCount(), 3001);
  EXPECT_EQ(panel.Layers().ByName("L2999"), panel.Layers().GetChild(3000));
  EXPECT_EQ(panel.Layers().ByName("L0"), panel.Layers().GetChild(1));
  // Every new layer took the lowest free number before its rename: Layer2 each time.
  EXPECT_EQ(panel.Layers().NewLayer()->GetName(), "Layer2");
  TVexaLayer* last = panel.Layers().GetLayer(panel.Layers().GetCount() - 1);
  last->SetName("L17");  // taken: the rename is refused
  EXPECT_EQ(last->GetName(), "Layer2");
  panel.Layers().ByName("L17")->Free();
  last->SetName("L17");
  EXPECT_EQ(last->GetName(), "L17");
  EXPECT_EQ(panel.Layers().ByName("Layer2"), nullptr);
}

}  // namespace
}  // namespace pv::graphics
