// Flattening a cubic a thousand pixels across, and hit tests over a path of 10,000 points.
#include <benchmark/benchmark.h>

#include <cmath>

#include "paths/PathQueries.h"

namespace {

using namespace pv::graphics;

void BM_FlattenCubic1000Pixels(benchmark::State& state) {
  const TPointArray curve{{0, 0}, {300, 1000}, {700, -600}, {1000, 200}};
  const TTypeArray types{ptNode, ptControl, ptControl, ptEndNode};
  for (auto _ : state) {
    TPointArray pts = curve;
    TTypeArray t = types;
    FlattenPath(pts, t, nullptr, 1.0);
    benchmark::DoNotOptimize(pts.data());
  }
}
BENCHMARK(BM_FlattenCubic1000Pixels)->Unit(benchmark::kMicrosecond);

// A closed star-like polygon of 10,000 points.
void BM_HitTest10000Points(benchmark::State& state) {
  TPointArray pts;
  TTypeArray types;
  for (int i = 0; i < 10000; ++i) {
    const double a = i * 2 * M_PI / 10000;
    const double r = 400000 + (i % 2 ? 50000 : -50000);
    pts.push_back({static_cast<int32_t>(r * std::cos(a)), static_cast<int32_t>(r * std::sin(a))});
    types.push_back(ptNode);
  }
  types.back() = ptEndNodeClose;
  const TPathFigureInfos infos = BuildFigureInfos(pts, types);
  const bool nearest = state.range(0) != 0;
  for (auto _ : state) {
    TPathNearest record;
    const bool hit = PathHitTest(pts, types, {1000, 2000}, &infos, nearest ? &record : nullptr, 3000, true, true);
    benchmark::DoNotOptimize(hit);
  }
}
BENCHMARK(BM_HitTest10000Points)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
