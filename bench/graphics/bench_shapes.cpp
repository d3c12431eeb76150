// Boxes, ellipses and arcs: painting 10,000 of each kind on the Qt canvas at full HD, hit
// testing them (clear brushes test their outline regions), and converting arcs into curves.
#include <benchmark/benchmark.h>

#include "document/testing/TestVexaPanel.h"
#include "paint/tests/TestCanvas.h"
#include "props/BrushProp.h"
#include "shapes/ShapeClasses.h"
#include "shapes/ShapePaths.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaEllipse.h"

namespace {

using namespace pv::graphics;
using test::TTestVexaPanel;

enum class Kind { Box, RoundedBox, Ellipse, Pie, Arc };

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::Box: return "boxes";
    case Kind::RoundedBox: return "rounded boxes";
    case Kind::Ellipse: return "ellipses";
    case Kind::Pie: return "pies";
    case Kind::Arc: return "arcs, clear brush";
  }
  return "";
}

// count shapes of 17 x 9 pixels, one in each 19 x 10 pixel cell across the screen.
void FillScheme(TTestVexaPanel& panel, int count, Kind kind) {
  RegisterShapeClasses();
  panel.NewDocument();
  for (int i = 0; i < count; ++i) {
    const TRect r{(i % 100) * 19200, (i / 100 % 100) * 10800, (i % 100) * 19200 + 17000, (i / 100 % 100) * 10800 + 9000};
    if (kind == Kind::Box || kind == Kind::RoundedBox) {
      auto* box = TVexaControl::New<TVexaBox>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
      box->SetDocRect(r);
      box->Brush().SetColor(0x40A0E0);
      if (kind == Kind::RoundedBox) box->SetRoundness(6000);
      continue;
    }
    auto* e = TVexaControl::New<TVexaArc>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    e->SetDocRect(r);
    if (kind != Kind::Arc) e->Brush().SetColor(0x40A0E0);
    if (kind != Kind::Ellipse) {
      e->SetBeginAngle(i * 7919 % 360000);
      e->SetEndAngle(i * 7919 % 360000 + 135000);
    }
  }
}

void BM_Paint10000Shapes(benchmark::State& state) {
  testing::WhiteImage screen(1920, 1080);
  TTestVexaPanel panel;
  const auto kind = static_cast<Kind>(state.range(0));
  FillScheme(panel, 10000, kind);
  TVexaControl* scheme = panel.GetActiveScheme();
  for (auto _ : state) scheme->PaintAll(*screen.canvas, 0, 0);
  state.SetLabel(KindName(kind));
}
BENCHMARK(BM_Paint10000Shapes)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_ShapeHitTest10000(benchmark::State& state) {
  TTestVexaPanel panel;
  const auto kind = static_cast<Kind>(state.range(0));
  FillScheme(panel, 10000, kind);
  TVexaControl* scheme = panel.GetActiveScheme();
  int32_t x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(scheme->FindControlAt(x % 1900, (x / 7) % 1000));
    x += 37;
  }
  state.SetLabel(KindName(kind));
}
BENCHMARK(BM_ShapeHitTest10000)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void BM_ArcCurvePath(benchmark::State& state) {
  int32_t begin = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ArcCurvePath(2000000, 1000000, begin, begin + 350000, true));
    begin = (begin + 7919) % 360000;
  }
}
BENCHMARK(BM_ArcCurvePath);

}  // namespace
BENCHMARK_MAIN();
