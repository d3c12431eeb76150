// Moving a box that 1,000 connectors link to: every connector follows and reroutes, with the
// history off (as Planview runs) and on (as an editor runs).
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

#include "connectors/VexaConnector.h"
#include "controls/LinkProps.h"
#include "document/testing/TestVexaPanel.h"

namespace {

using namespace pv::graphics;
using test::TTestVexaPanel;

struct TStar {
  TTestVexaPanel panel;
  TVexaControl* hub = nullptr;

  // The hub in the middle; 1,000 boxes on a circle around it, each linked to the hub by an
  // orthogonal connector from the hub's nearest side middle to the box's facing side.
  TStar() {
    RegisterConnectorClasses();
    panel.NewDocument();
    panel.SetConnectorsMinGap(1000);
    TVexaControl* scheme = panel.GetActiveScheme();
    TVexaControl* layer = panel.GetActiveLayer();
    hub = TVexaControl::New<TVexaControl>(&panel, scheme, layer);
    hub->SetDocRect({-10000, -10000, 10000, 10000});
    const TPoint hubSides[4] = {{0, -10000}, {10000, 0}, {0, 10000}, {-10000, 0}};
    for (int i = 0; i < 1000; ++i) {
      const double a = 2 * std::numbers::pi * i / 1000;
      const int32_t x = static_cast<int32_t>(std::lround(400000 * std::cos(a)));
      const int32_t y = static_cast<int32_t>(std::lround(400000 * std::sin(a)));
      TVexaControl* box = TVexaControl::New<TVexaControl>(&panel, scheme, layer);
      box->SetDocRect({x - 5000, y - 5000, x + 5000, y + 5000});
      auto* c = TVexaControl::New<TVexaConnector>(&panel, scheme, layer);
      c->LinkA().SetLinkedControl(hub);
      c->LinkA().SetLinkPoint(hubSides[i % 4]);
      c->LinkB().SetLinkedControl(box);
      c->LinkB().SetLinkPoint({x - 5000, y});
    }
  }
};

void MoveHub(benchmark::State& state, bool history) {
  TStar star;
  star.panel.History().SetActive(history);
  int32_t step = 0;
  for (auto _ : state) {
    const int32_t dx = (step++ % 2 == 0) ? 30000 : -30000;
    const TRect r = star.hub->GetDocRect();
    star.hub->SetDocRect({r.left + dx, r.top + 7000, r.right + dx, r.bottom + 7000});
    if (history && step % 16 == 0) {
      state.PauseTiming();
      star.panel.History().Clear();
      state.ResumeTiming();
    }
  }
}

void BM_MoveBoxWith1000Connectors(benchmark::State& state) { MoveHub(state, false); }
BENCHMARK(BM_MoveBoxWith1000Connectors)->Unit(benchmark::kMillisecond);

void BM_MoveBoxWith1000ConnectorsHistory(benchmark::State& state) { MoveHub(state, true); }
BENCHMARK(BM_MoveBoxWith1000ConnectorsHistory)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
