// The mouse over a panel of 100,000 controls: one hover step (hit test, hint, cursor), the
// first one after a change of the document, and selecting all of them with one rubber band.
#include <benchmark/benchmark.h>

#include "document/Schemes.h"
#include "panel/VexaPanel.h"
#include "panelwindow/NullPanelWindow.h"

namespace {

using namespace pv::graphics;
using pv::panelwindow::ssLeft;
using pv::panelwindow::TMouseButton;

constexpr int kControls = 100000;

// 300 columns of 0.8-pixel-wide controls at 100 %: document (0, 0) lies at client (480, 280)
// of the 1280 x 800 window.
struct Document {
  Document() : panel(window, true) {
    panel.SetAutoNames(false);
    TVexaControl* scheme = panel.Schemes().GetChild(0);
    for (int i = 0; i < kControls; ++i) {
      TVexaControl* c = TVexaControl::New<TVexaControl>(&panel, scheme, panel.GetActiveLayer());
      c->SetVisible(true);
      c->SetDocRect({(i % 300) * 1000, (i / 300) * 1000, (i % 300) * 1000 + 800, (i / 300) * 1000 + 800});
    }
  }
  pv::panelwindow::TNullPanelWindow window{1280, 800};
  TVexaPanel panel;
};

void BM_HoverOver100kControls(benchmark::State& state) {
  Document doc;
  // Over the first controls (the bottom of the paint order) and over empty space in turn:
  // both walk every control above them.
  const TPoint points[] = {doc.panel.DocToPixelPoint({200, 200}), doc.panel.DocToPixelPoint({150200, 100200}),
                           {5, 5}};
  size_t i = 0;
  for (auto _ : state) {
    const TPoint p = points[i++ % 3];
    doc.panel.MouseMove(0, p.x, p.y);
  }
  state.SetItemsProcessed(state.iterations() * kControls);
}
BENCHMARK(BM_HoverOver100kControls)->Unit(benchmark::kMillisecond);

// The first hover after the document changed indexes the scheme anew (a repaint would too).
void BM_HoverAfterAChange(benchmark::State& state) {
  Document doc;
  TVexaControl* moved = doc.panel.Schemes().GetChild(0)->GetChild(0);
  const TPoint p = doc.panel.DocToPixelPoint({150200, 100200});
  int32_t left = 0;
  for (auto _ : state) {
    moved->SetLeft(left ^= 1);
    doc.panel.MouseMove(0, p.x, p.y);
  }
  state.SetItemsProcessed(state.iterations() * kControls);
}
BENCHMARK(BM_HoverAfterAChange)->Unit(benchmark::kMillisecond);

void BM_SelectAllByBand(benchmark::State& state) {
  Document doc;
  const TPoint from = doc.panel.DocToPixelPoint({-10000, -10000});
  const TPoint to = doc.panel.DocToPixelPoint({400000, 400000});
  for (auto _ : state) {
    doc.panel.MouseDown(TMouseButton::mbLeft, ssLeft, from.x, from.y);
    doc.panel.MouseMove(ssLeft, to.x, to.y);
    doc.panel.MouseUp(TMouseButton::mbLeft, 0, to.x, to.y);
    if (doc.panel.SelectedCount() != kControls) state.SkipWithError("not every control was selected");
    state.PauseTiming();
    doc.panel.UnselectAll();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kControls);
}
BENCHMARK(BM_SelectAllByBand)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
