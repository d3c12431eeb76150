// Precise text layout of 10,000 characters: measuring with word wrap, and drawing the lines
// with their explicit advances (onto the recording canvas, which only keeps the calls).
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "BenchWords.h"
#include "canvas/RecordingCanvas.h"
#include "text/TextFormator.h"

using namespace pv::canvas;
using namespace pv::graphics;

namespace {

using bench::Words;

struct Layout {
  RecordingCanvas canvas;
  TTextFormator formator;
  std::string text = Words(10000);
  int32_t width = 0;
  Layout() {
    Font font;
    font.height = -13;
    canvas.SetFont(font);
    formator.Setup(canvas, true, true, PreciseEmPixels(100000, -13));
    width = PreciseWrapWidth(400, formator.EmSize(), -13);
  }
};

void BM_PreciseMeasure10k(benchmark::State& state) {
  Layout layout;
  for (auto _ : state) {
    TSize size;
    int32_t lines = 0;
    layout.formator.MeasureText(layout.text, layout.width, true, size, lines);
    benchmark::DoNotOptimize(size);
  }
}
BENCHMARK(BM_PreciseMeasure10k)->Unit(benchmark::kMicrosecond);

void BM_PreciseDrawLines10k(benchmark::State& state) {
  Layout layout;
  for (auto _ : state) {
    layout.canvas.Clear();
    layout.formator.DrawLines({0, 0, 400, 100000}, layout.text, layout.width, state.range(0) != 0,
                              TTextAlignment::LeftJustify, true);
    benchmark::DoNotOptimize(layout.canvas.Commands().data());
  }
}
BENCHMARK(BM_PreciseDrawLines10k)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
