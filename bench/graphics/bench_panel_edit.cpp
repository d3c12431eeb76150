// Editing steps of the document panel under the mouse: one resize step by a handle with
// 1,000 and 10,000 controls selected, and one step of dragging a point of a curve of 100,000
// points (hover tests, the move, the refit and the markers included), and a point band over
// all of its points.
#include <benchmark/benchmark.h>

#include <vector>

#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panelwindow/NullPanelWindow.h"
#include "paths/PathTypes.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaCurve.h"

namespace {

using namespace pv::graphics;
using pv::panelwindow::ssLeft;

constexpr int kPoints = 100000;

struct Editor {
  Editor() : panel(window, true) {
    RegisterVexaGraphics();
    panel.SetAutoNames(false);
    panel.PanelHistory().SetActive(true);
  }
  TVexaControl* Scheme() const { return panel.Schemes().GetChild(0); }
  // A zigzag of kPoints nodes whose first point is at (x, y), point-edited.
  TVexaCurve* EditedCurve(int32_t x, int32_t y) {
    auto* curve = TVexaControl::New<TVexaCurve>(&panel, Scheme(), panel.GetActiveLayer());
    std::vector<TPoint> points(kPoints);
    std::vector<uint8_t> types(kPoints, ptNode);
    for (int i = 0; i < kPoints; ++i) points[static_cast<size_t>(i)] = {i * 3, (i % 2) * 20000};
    types.back() = ptEndNode;
    curve->SetPointsEx(points, types);
    curve->SetDocRect({x, y, x + curve->GetWidth(), y + curve->GetHeight()});
    panel.Select(curve);
    panel.SetToolMode(9);
    return curve;
  }
  pv::panelwindow::TNullPanelWindow window{1280, 800};
  TVexaPanel panel;
};

// One mouse move in mode 7: the whole selection resized from the rectangle it began with.
void BM_ResizeStep(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  Editor e;
  for (int i = 0; i < count; ++i) {
    auto* box = TVexaControl::New<TVexaBox>(&e.panel, e.Scheme(), e.panel.GetActiveLayer());
    const int32_t x = (i % 100) * 3000;
    const int32_t y = (i / 100) * 2000;
    box->SetDocRect({x, y, x + 2500, y + 1500});
    e.panel.Select(box);
  }
  e.panel.SetToolMode(7);
  int32_t step = 0;
  for (auto _ : state) {
    // Growing and shrinking by turns, so that every step changes every control.
    step = (step + 1) % 8;
    e.panel.ResizeSelection(step * 5000, step * 3000, true, 8, true, false);
  }
  e.panel.SetToolMode(0);
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ResizeStep)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// One mouse move while a point of a 100,000-point curve is dragged (mode 11).
void BM_PointDragStep(benchmark::State& state) {
  Editor e;
  e.EditedCurve(10000, 10000);
  const TPoint grab = e.panel.DocToPixelPoint({10000, 10000});
  e.panel.MouseMove(0, grab.x, grab.y);
  e.panel.MouseDown(TVexaPanel::TMouseButton::mbLeft, ssLeft, grab.x, grab.y);
  if (e.panel.GetToolMode() != 11) state.SkipWithError("the point drag did not start");
  int32_t step = 0;
  for (auto _ : state) {
    step = (step + 1) % 20;
    e.panel.MouseMove(ssLeft, grab.x + step, grab.y + 40 + step);
  }
  e.panel.MouseUp(TVexaPanel::TMouseButton::mbLeft, 0, grab.x, grab.y);
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_PointDragStep)->Unit(benchmark::kMillisecond);

// A point band over every node of a 100,000-point curve, then a click that unselects them.
void BM_PointBandOverAllPoints(benchmark::State& state) {
  Editor e;
  TVexaCurve* curve = e.EditedCurve(30000, 30000);
  // Well away from the selection's handles.
  const TPoint from = e.panel.DocToPixelPoint({10000, 10000});
  const TPoint to = e.panel.DocToPixelPoint({50000 + curve->GetWidth(), 50000 + curve->GetHeight()});
  for (auto _ : state) {
    e.panel.MouseMove(0, from.x, from.y);
    e.panel.MouseDown(TVexaPanel::TMouseButton::mbLeft, ssLeft, from.x, from.y);
    e.panel.MouseMove(ssLeft, to.x, to.y);
    e.panel.MouseUp(TVexaPanel::TMouseButton::mbLeft, 0, to.x, to.y);
    if (e.panel.SelectedPointsCount() != kPoints) state.SkipWithError("the band missed points");
    // The press on empty space unselects them all; its release is a click that keeps the curve.
    e.panel.MouseDown(TVexaPanel::TMouseButton::mbLeft, ssLeft, from.x, from.y);
    e.panel.MouseUp(TVexaPanel::TMouseButton::mbLeft, 0, from.x, from.y);
    e.panel.Select(curve);
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_PointBandOverAllPoints)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
