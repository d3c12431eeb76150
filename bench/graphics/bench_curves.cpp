// Painting curves on the Qt canvas at full HD: 10,000 polylines of 50 points, open and
// closed with a fill, and 10,000 Bezier paths.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <cmath>

#include "document/testing/TestVexaPanel.h"
#include "props/BrushProp.h"
#include "qtcanvas/QtCanvas.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaCurve.h"

namespace {

using namespace pv::graphics;
using test::TTestVexaPanel;

void StartQt() {
  static int argc = 1;
  static char name[] = "bench_graphics_curves";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  pv::qtcanvas::RegisterBitmapCanvasFactory();
}

struct Screen {
  Screen() : image(1920, 1080, QImage::Format_RGB32), canvas((StartQt(), image.fill(Qt::white), image)) {}
  QImage image;
  pv::qtcanvas::QtCanvas canvas;
};

enum class Kind { Open, ClosedFilled, Bezier };

// count curves of 50 points, each a zig-zag inside its 19 x 10 pixel cell across the screen.
void FillScheme(TTestVexaPanel& panel, int count, Kind kind) {
  RegisterShapeClasses();
  panel.NewDocument();
  for (int i = 0; i < count; ++i) {
    auto* c = TVexaControl::New<TVexaCurve>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    for (int k = 0; k < 50; ++k) {
      points.push_back({k * 380, static_cast<int32_t>(4500 + 4500 * std::sin(k * 0.7 + i))});
      types.push_back(kind == Kind::Bezier && k % 3 != 0 ? ptControl : ptNode);
    }
    if (kind == Kind::Bezier) {
      points.resize(49);  // node, two control points ... node
      types.resize(49);
    }
    types.back() = kind == Kind::ClosedFilled ? ptEndNodeClose : ptEndNode;
    c->SetPointsEx(points, types);
    if (kind == Kind::ClosedFilled) c->Brush().SetColor(0x40A0E0);
    c->SetLeft((i % 100) * 19200);
    c->SetTop((i / 100 % 100) * 10800);
  }
}

void BM_Paint10000Curves(benchmark::State& state) {
  Screen screen;
  TTestVexaPanel panel;
  FillScheme(panel, 10000, static_cast<Kind>(state.range(0)));
  TVexaControl* scheme = panel.GetActiveScheme();
  for (auto _ : state) scheme->PaintAll(screen.canvas, 0, 0);
  state.SetLabel(state.range(0) == 0 ? "open polylines" : state.range(0) == 1 ? "closed, filled" : "Bezier paths");
}
BENCHMARK(BM_Paint10000Curves)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_CurveHitTest10000(benchmark::State& state) {
  TTestVexaPanel panel;
  FillScheme(panel, 10000, Kind::Open);
  TVexaControl* scheme = panel.GetActiveScheme();
  int32_t x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(scheme->FindControlAt(x % 1900, (x / 7) % 1000));
    x += 37;
  }
}
BENCHMARK(BM_CurveHitTest10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
