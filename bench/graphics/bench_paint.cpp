// The alpha buffer's blend over a full-HD target, a region from a noisy mask, and tiling a
// bitmap display into full HD without and with the tile cache.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <random>

#include "paint/AlphaBuffer.h"
#include "paint/BitmapDisplay.h"
#include "paint/BitmapRegion.h"
#include "qtcanvas/QtCanvas.h"

namespace {

using namespace pv::graphics;

void StartQt() {
  static int argc = 1;
  static char name[] = "bench_graphics_paint";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  pv::qtcanvas::RegisterBitmapCanvasFactory();
}

// Paints a shape over most of the buffer, then times EndDraw alone (blend and write back).
void BM_AlphaBufferEnd1920x1080(benchmark::State& state) {
  StartQt();
  QImage image(1920, 1080, QImage::Format_RGB32);
  image.fill(Qt::white);
  pv::qtcanvas::QtCanvas target(image);
  TAlphaBuffer buffer;
  for (auto _ : state) {
    state.PauseTiming();
    buffer.BeginDraw(&target, {0, 0, 1920, 1080});
    buffer.GetCanvas()->SetBrush(Brush{BrushStyle::Solid, clRed, nullptr});
    buffer.GetCanvas()->Ellipse({0, 0, 1920, 1080});
    state.ResumeTiming();
    buffer.EndDraw(static_cast<int32_t>(state.range(0)));
  }
}
BENCHMARK(BM_AlphaBufferEnd1920x1080)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_RegionFromNoisyMask1024(benchmark::State& state) {
  Bitmap mask(1024, 1024, clWhite);
  std::mt19937 random(1);
  for (int y = 0; y < 1024; ++y) {
    for (int x = 0; x < 1024; ++x) {
      if (random() % 2) mask.Row(y)[x] = 0;
    }
  }
  const TRect target{0, 0, 1024 * static_cast<int32_t>(state.range(0)), 1024 * static_cast<int32_t>(state.range(0))};
  for (auto _ : state) {
    auto region = CreateRegionFromBitmap(mask, clWhite, target);
    benchmark::DoNotOptimize(region);
  }
}
BENCHMARK(BM_RegionFromNoisyMask1024)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_TileBitmapDisplay1920x1080(benchmark::State& state) {
  StartQt();
  QImage image(1920, 1080, QImage::Format_RGB32);
  pv::qtcanvas::QtCanvas canvas(image);
  Bitmap tile(64, 48);
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) tile.Row(y)[x] = static_cast<uint32_t>(x * 4 << 16 | y * 5 << 8);
  }
  const bool cached = state.range(0) != 0;
  TTileCache cache;
  const TRect rect{0, 0, 1920, 1080};
  for (auto _ : state) {
    PaintBitmapDisplay(canvas, rect, rect, false, 100, cached ? &cache : nullptr, TBitmapDisplay::bdTile, &tile);
  }
}
BENCHMARK(BM_TileBitmapDisplay1920x1080)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
