// A text control's precise layout of 10,000 characters: measuring (what AutoSize and the
// vertical layout ask) and painting the box and its lines onto the recording canvas, which
// only keeps the calls.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "BenchWords.h"
#include "canvas/RecordingCanvas.h"
#include "document/testing/TestVexaPanel.h"
#include "shapes/ShapeClasses.h"
#include "shapes/VexaText.h"

using namespace pv::canvas;
using namespace pv::graphics;

namespace {

using bench::Words;

struct Document {
  test::TTestVexaPanel panel;
  TVexaText* text = nullptr;
  RecordingCanvas canvas;
  Document() {
    RegisterShapeClasses();
    panel.NewDocument();
    text = TVexaControl::New<TVexaText>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    text->SetDocRect({0, 0, 400000, 4000000});
    text->Text().SetText(Words(10000));
    text->SetPrecise(true);
    text->SetWordWrap(true);
  }
};

void BM_TextControlPreciseMeasure10k(benchmark::State& state) {
  Document doc;
  for (auto _ : state) {
    TRect rect{0, 0, 0, 0};
    doc.text->TextRect(doc.canvas, rect, false, true);
    benchmark::DoNotOptimize(rect);
  }
}
BENCHMARK(BM_TextControlPreciseMeasure10k)->Unit(benchmark::kMicrosecond);

void BM_TextControlPrecisePaint10k(benchmark::State& state) {
  Document doc;
  doc.text->SetPreciseJustify(state.range(0) != 0);
  const TRect rect = doc.panel.DocToPixelRect(doc.text->GetDocRect());
  for (auto _ : state) {
    doc.canvas.Clear();
    doc.text->Paint(doc.canvas, rect);
    benchmark::DoNotOptimize(doc.canvas.Commands().data());
  }
}
BENCHMARK(BM_TextControlPrecisePaint10k)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
