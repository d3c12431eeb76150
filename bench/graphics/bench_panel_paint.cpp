// The document panel painting a window of 1280 x 800 pixels that shows 100,000 boxes: the
// whole window, and one small update rectangle of it.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include "panel/VexaPanel.h"
#include "panelwindow/NullPanelWindow.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "qtcanvas/QtCanvas.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaBox.h"

namespace {

using namespace pv::graphics;

constexpr int kColumns = 400;
constexpr int kRows = 250;  // 100,000 boxes, 3.2 pixels apart at 100 %

void StartQt() {
  static int argc = 1;
  static char name[] = "bench_graphics_panel_paint";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  pv::qtcanvas::RegisterBitmapCanvasFactory();
}

struct PaintedDocument {
  PaintedDocument() : panel(window, true) {
    RegisterShapeClasses();
    panel.SetAutoNames(false);
    panel.SetDocWidth(kColumns * 3200);
    panel.SetDocHeight(kRows * 3200);
    for (int i = 0; i < kColumns * kRows; ++i) {
      auto* box = TVexaControl::New<TVexaBox>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
      const int32_t x = (i % kColumns) * 3200;
      const int32_t y = (i / kColumns) * 3200;
      box->SetDocRect({x, y, x + 2000, y + 2000});
      box->Brush().SetColor(pv::canvas::clRed);
    }
  }
  pv::panelwindow::TNullPanelWindow window{1280, 800};
  TVexaPanel panel;
};

void PaintWindowRect(benchmark::State& state, const pv::canvas::TRect& update) {
  StartQt();
  PaintedDocument doc;
  QImage image(1280, 800, QImage::Format_RGB32);
  pv::qtcanvas::QtCanvas canvas(image);
  for (auto _ : state) {
    doc.panel.WindowPaint(canvas, update);
    benchmark::ClobberMemory();
  }
}

void BM_PanelFullRepaint(benchmark::State& state) { PaintWindowRect(state, {0, 0, 1280, 800}); }
BENCHMARK(BM_PanelFullRepaint)->Unit(benchmark::kMillisecond);

void BM_PanelSmallRectRepaint(benchmark::State& state) { PaintWindowRect(state, {600, 400, 640, 432}); }
BENCHMARK(BM_PanelSmallRectRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
BENCHMARK_MAIN();
