// Save and load of 100,000 boxes' worth of properties through the text format, the heap the
// document takes, reading binary property data of growing length (a pasted picture, a long
// curve's points), and 100,000 id-pool operations.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <random>
#include <string>

#include "base/ByteStream.h"
#include "base/IdPool.h"
#include "props/TextFormat.h"
#include "textformat/testing/TestPanel.h"

namespace {

using pv::graphics::PropValue;
using pv::graphics::TIdPool;
using pv::graphics::TLoadMode;
using pv::graphics::TStrListProp;
using pv::graphics::test::TTestControl;
using pv::graphics::test::TTestPanel;

constexpr int kBoxes = 100000;

size_t HeapInUse() { return mallinfo2().uordblks; }

void Fill(TTestPanel& panel) {
  panel.NewDocument();
  for (int i = 0; i < kBoxes; ++i) {
    TTestControl* box = panel.Add("TVexaBox", panel.ActiveScheme(), "Box" + std::to_string(i));
    box->SetBounds(i * 1000, (i % 100) * 2000, 30000, 20000);
    box->SetLayer(panel.ActiveLayer());
    if (i % 10 == 0) {
      static_cast<TStrListProp*>(box->Props().PropByName("Hint"))->SetPropValue({}, PropValue::StringArray({"a hint"}));
    }
  }
}

const std::string& DocumentText() {
  static const std::string text = [] {
    TTestPanel panel;
    Fill(panel);
    return panel.SaveText();
  }();
  return text;
}

void BM_SaveDocument(benchmark::State& state) {
  TTestPanel panel;
  const size_t before = HeapInUse();
  Fill(panel);
  state.counters["heap_bytes_per_box"] = static_cast<double>(HeapInUse() - before) / kBoxes;
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = panel.SaveText();
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SaveDocument)->Unit(benchmark::kMillisecond);

void BM_LoadDocument(benchmark::State& state) {
  const std::string& text = DocumentText();
  for (auto _ : state) {
    TTestPanel panel;
    panel.LoadText(text, TLoadMode::Document);
    benchmark::DoNotOptimize(panel.ActiveScheme()->ChildCount());
  }
}
BENCHMARK(BM_LoadDocument)->Unit(benchmark::kMillisecond);

// Binary data of state.range(0) lines of 32 bytes, as a value of the text format holds it: the
// time per line stays the same as the lines grow.
void BM_ReadBinaryValue(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  std::string text;
  for (int i = 0; i < lines; ++i) text += "    " + std::string(64, "0123456789ABCDEF"[i % 16]) + "\r\n";
  text += "    00 }\r\n";
  for (auto _ : state) {
    pv::graphics::TMemoryStream stream(text);
    pv::graphics::TVexaFiler filer(stream);
    benchmark::DoNotOptimize(pv::graphics::ReadValue(filer, "{"));
  }
  state.SetItemsProcessed(state.iterations() * lines);
  state.SetComplexityN(lines);
}
BENCHMARK(BM_ReadBinaryValue)->RangeMultiplier(4)->Range(1024, 65536)->Complexity()->Unit(benchmark::kMillisecond);

// A load's pattern: every stored ID used once, in file order with scattered gaps, then
// releases and new IDs as a session goes on.
void BM_IdPool(benchmark::State& state) {
  std::mt19937 rng(7);
  std::vector<int32_t> ids;
  int32_t id = 0;
  for (int i = 0; i < 50000; ++i) ids.push_back(id += 1 + static_cast<int32_t>(rng() % 3));
  for (auto _ : state) {
    TIdPool pool;
    for (int32_t v : ids) pool.Use(v);
    for (int i = 0; i < 25000; ++i) pool.Release(ids[(static_cast<size_t>(i) * 7919) % ids.size()]);
    for (int i = 0; i < 25000; ++i) benchmark::DoNotOptimize(pool.Generate());
  }
  state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_IdPool)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
