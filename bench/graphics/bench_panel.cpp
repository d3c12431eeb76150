// The document panel with 100,000 controls: saving to and loading from a tgd file, finding
// controls by ID, a move step of a large selection, and undo of one move of all of them with
// the history on.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <string>

#include "actions/PanelGroups.h"
#include "document/Schemes.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"
#include "panelwindow/NullPanelWindow.h"

namespace {

using namespace pv::graphics;

constexpr int kControls = 100000;

struct Document {
  explicit Document(int count = kControls) : panel(window, true) {
    panel.SetAutoNames(false);
    TVexaControl* scheme = panel.Schemes().GetChild(0);
    for (int i = 0; i < count; ++i) {
      TVexaControl* c = TVexaControl::New<TVexaControl>(&panel, scheme, panel.GetActiveLayer());
      c->SetDocRect({(i % 300) * 1000, (i / 300) * 1000, (i % 300) * 1000 + 800, (i / 300) * 1000 + 800});
    }
  }
  pv::panelwindow::TNullPanelWindow window{1280, 800};
  TVexaPanel panel;
};

std::string TempPath() { return "/tmp/bench_panel_" + std::to_string(::getpid()) + ".tgd"; }

void BM_SaveDocumentToFile(benchmark::State& state) {
  Document doc;
  const std::string path = TempPath();
  for (auto _ : state) doc.panel.SaveDocumentToFile(path);
  ::unlink(path.c_str());
  state.SetItemsProcessed(state.iterations() * kControls);
}
BENCHMARK(BM_SaveDocumentToFile)->Unit(benchmark::kMillisecond);

void BM_LoadDocumentFromFile(benchmark::State& state) {
  const std::string path = TempPath();
  {
    Document doc;
    doc.panel.SaveDocumentToFile(path);
  }
  pv::panelwindow::TNullPanelWindow window{1280, 800};
  TVexaPanel panel(window, true);
  for (auto _ : state) panel.LoadDocumentFromFile(path);
  ::unlink(path.c_str());
  state.SetItemsProcessed(state.iterations() * kControls);
}
BENCHMARK(BM_LoadDocumentFromFile)->Unit(benchmark::kMillisecond);

void BM_FindControlByID(benchmark::State& state) {
  Document doc;
  const int32_t first = doc.panel.Schemes().GetChild(0)->GetChild(0)->GetId();
  int32_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(doc.panel.FindControlByID(first + i));
    i = (i + 7919) % kControls;
  }
}
BENCHMARK(BM_FindControlByID);

// One move step of 10,000 selected controls with the history on: recording included.
void BM_MoveStepRecorded(benchmark::State& state) {
  constexpr int kSelected = 10000;
  Document doc(kSelected);
  TVexaPanelHistory& history = doc.panel.PanelHistory();
  history.SetActive(true);
  TVexaControl* scheme = doc.panel.Schemes().GetChild(0);
  int32_t dx = 100;
  for (auto _ : state) {
    history.BeginPanelGroup(TPanelSizeMoveHistoryGroup::ClassInfo);
    for (int i = 0; i < scheme->GetCount(); ++i) {
      TVexaControl* c = scheme->GetChild(i);
      c->BeginUpdate();
      c->SetLeft(c->GetLeft() + dx);
      c->EndUpdate();
    }
    history.EndPanelGroup(&TPanelSizeMoveHistoryGroup::ClassInfo);
    dx = -dx;
  }
  state.SetItemsProcessed(state.iterations() * kSelected);
}
BENCHMARK(BM_MoveStepRecorded)->Unit(benchmark::kMillisecond);

// The panel's own command: one move step of 10,000 selected controls with the history on,
// the selection update and the recording of every control's rectangle included.
void BM_MoveSelection(benchmark::State& state) {
  constexpr int kSelected = 10000;
  Document doc(kSelected);
  TVexaControl* scheme = doc.panel.Schemes().GetChild(0);
  for (int i = 0; i < scheme->GetCount(); ++i) doc.panel.Select(scheme->GetChild(i));
  TVexaPanelHistory& history = doc.panel.PanelHistory();
  history.SetActive(true);
  int32_t dx = 100;
  for (auto _ : state) {
    doc.panel.MoveSelection(dx, dx);
    dx = -dx;
  }
  state.SetItemsProcessed(state.iterations() * kSelected);
}
BENCHMARK(BM_MoveSelection)->Unit(benchmark::kMillisecond);

// One step that moved every control, undone: every action finds its control by ID. Sized by
// the argument, to show the growth is linear.
void BM_UndoMoveOfAllControls(benchmark::State& state) {
  const auto count = static_cast<int>(state.range(0));
  Document doc(count);
  TVexaPanelHistory& history = doc.panel.PanelHistory();
  history.SetActive(true);
  TVexaControl* scheme = doc.panel.Schemes().GetChild(0);
  history.BeginPanelGroup(TPanelSizeMoveHistoryGroup::ClassInfo);
  for (int i = 0; i < scheme->GetCount(); ++i) {
    TVexaControl* c = scheme->GetChild(i);
    c->BeginUpdate();
    c->SetLeft(c->GetLeft() + 500);
    c->EndUpdate();
  }
  history.EndPanelGroup(&TPanelSizeMoveHistoryGroup::ClassInfo);
  for (auto _ : state) {
    history.Undo();
    state.PauseTiming();
    history.Redo();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_UndoMoveOfAllControls)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
