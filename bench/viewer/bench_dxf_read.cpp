// How fast the DXF reader reads: a large R12 drawing written by ezdxf (made once, on the
// first run, and kept in the build tree), and drawings with one layer per entity to show that
// looking up layers and lists by name does not grow with their number.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "BigDrawing.h"
#include "DXF_read.h"
#include "Thinkbox.h"

namespace {

using namespace pv::viewer;
namespace fs = std::filesystem;

// Entities in the drawing, blocks and their contents apart.
size_t CountEntities(const std::vector<std::unique_ptr<DXF_Layer>>& layers) {
  size_t n = 0;
  for (const auto& layer : layers) {
    for (int i = 0; i < layer->ListCount(); ++i) {
      const Entity_List* list = layer->List(static_cast<size_t>(i));
      if (list->Name() != "Block_") n += list->Count();
    }
  }
  return n;
}

void BM_ReadBigR12(benchmark::State& state) {
  const fs::path file = BigDrawingFile();
  if (file.empty()) {
    state.SkipWithError("could not make the drawing with ezdxf (/usr/bin/python3, python3-ezdxf)");
    return;
  }
  NullBusyBox busy;
  GoOnPrompts prompts;
  size_t entities = 0;
  for (auto _ : state) {
    DXF_Reader reader(file, busy, prompts);
    reader.ReadDxfFile();
    const auto layers = reader.TakeLayers();
    entities = CountEntities(layers);
    benchmark::DoNotOptimize(entities);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * entities));
  state.counters["entities"] = static_cast<double>(entities);
  state.counters["MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
}
BENCHMARK(BM_ReadBigR12)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Every line on a layer of its own, none of them in the layer table: the reader makes a layer
// per entity and looks each name up.
std::string OneLayerPerEntity(int entities) {
  std::string text = "0\nSECTION\n2\nENTITIES\n";
  char buf[160];
  for (int i = 0; i < entities; ++i) {
    std::snprintf(buf, sizeof buf, "0\nLINE\n8\nLAYER%d\n10\n%d.5\n20\n1.25\n30\n0\n11\n%d\n21\n7\n31\n0\n", i, i, i + 1);
    text += buf;
  }
  return text + "0\nENDSEC\n0\nEOF\n";
}

void BM_ReadOneLayerPerEntity(benchmark::State& state) {
  const std::string text = OneLayerPerEntity(static_cast<int>(state.range(0)));
  NullBusyBox busy;
  GoOnPrompts prompts;
  for (auto _ : state) {
    DXF_Reader reader(DxfMemorySource(text), busy, prompts);
    reader.ReadDxfFile();
    benchmark::DoNotOptimize(reader.TakeLayers());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
// Entities per second stay level from 10,000 to 160,000 layers when look-ups do not grow.
BENCHMARK(BM_ReadOneLayerPerEntity)->Arg(10000)->Arg(40000)->Arg(160000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
