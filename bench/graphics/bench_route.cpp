// One orthogonal route between two controls, for each shape of route the router makes: the
// straight line, the corner, the Z between the boxes, the five-point turn and the six-point
// detour, and a connector on one control.
#include <benchmark/benchmark.h>

#include "connectors/RouteOrthogonal.h"

namespace {

using namespace pv::graphics;

TRouteInfo Route(TRect a, TPoint linkA, TRect b, TPoint linkB, bool sameControl = false) {
  TRouteInfo info;
  info.rectA = a;
  info.rectB = b;
  info.linkA = linkA;
  info.linkB = linkB;
  info.gap = 10;
  info.sameControl = sameControl;
  return info;
}

const TRouteInfo kRoutes[] = {
    Route({0, 0, 100, 100}, {100, 50}, {200, 0, 300, 100}, {200, 50}),      // straight
    Route({0, 0, 100, 100}, {50, 0}, {200, -300, 300, -200}, {200, -250}),  // corner
    Route({0, 0, 100, 100}, {100, 50}, {200, 300, 300, 400}, {200, 350}),   // Z
    Route({0, 0, 100, 100}, {50, 0}, {200, 50, 300, 150}, {300, 100}),      // five points
    Route({0, 0, 100, 100}, {50, 100}, {0, -300, 100, -200}, {50, -200}),   // detour of six
    Route({0, 0, 100, 100}, {0, 20}, {0, 0, 100, 100}, {100, 30}, true),    // one control
};

void BM_RouteOrthogonal(benchmark::State& state) {
  const TRouteInfo& info = kRoutes[state.range(0)];
  TPointArray points;
  TTypeArray types;
  for (auto _ : state) {
    points.clear();
    types.clear();
    const bool routed = RouteOrthogonal(points, types, info);
    benchmark::DoNotOptimize(routed);
    benchmark::DoNotOptimize(points.data());
  }
  state.counters["points"] = static_cast<double>(points.size());
}
BENCHMARK(BM_RouteOrthogonal)->DenseRange(0, 5)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
