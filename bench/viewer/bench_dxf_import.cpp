// How fast a drawing becomes a document: the 200,000-entity R12 drawing the viewer benchmarks
// share, read once outside the timing, converted into a panel on a null window. The second
// benchmark converts again into a panel that holds the previous conversion, as the viewer's
// "Convert to TGD" does: the old document is freed first and that is timed too.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <memory>
#include <string>

#include "BigDrawing.h"
#include "DXF_model.h"
#include "DXF_structs.h"
#include "VexaDxfImport.h"
#include "canvas/RecordingCanvas.h"
#include "document/ServiceControls.h"
#include "history/History.h"
#include "panel/VexaGraphics.h"
#include "shapes/VexaCurve.h"
#include "panel/VexaPanel.h"
#include "panelwindow/PanelWindow.h"

namespace {

using namespace pv;
using namespace pv::viewer;

DXF_Object* Drawing() {
  static const std::unique_ptr<DXF_Object> drawing = ReadBigDrawing();
  return drawing.get();
}

size_t HeapInUse() { return mallinfo2().uordblks; }

// A window that keeps what must be repainted as one rectangle, as a real window merges its
// update region (the null window of the tests lists every rectangle, which would be counted
// as the document's memory).
class QuietWindow final : public panelwindow::IPanelWindow {
 public:
  void SetEvents(panelwindow::IPanelWindowEvents*) override {}
  bool HasParent() const override { return true; }
  canvas::TRect ClientRect() const override { return {0, 0, 800, 600}; }
  void SetScrollRange(panelwindow::TScrollBarKind, int32_t, int32_t) override {}
  bool ScrollBarVisible(panelwindow::TScrollBarKind) const override { return false; }
  int32_t ScrollPos(panelwindow::TScrollBarKind) const override { return 0; }
  void SetScrollPos(panelwindow::TScrollBarKind, int32_t) override {}
  void Invalidate(const canvas::TRect& r) override {
    dirty_ = {std::min(dirty_.left, r.left), std::min(dirty_.top, r.top), std::max(dirty_.right, r.right),
              std::max(dirty_.bottom, r.bottom)};
  }
  void InvalidateAll() override { dirty_ = ClientRect(); }
  void SetCursor(int) override {}
  bool Focused() const override { return false; }
  void SetToolTip(const std::string&) override {}

 private:
  canvas::TRect dirty_{};
};

// A panel as the viewer's document view holds it; texts measure on the recording canvas.
struct DocumentView {
  DocumentView() : panel(window, true) {
    graphics::RegisterVexaGraphics();
    factory.keepLogs = false;
    previous = canvas::SetBitmapCanvasFactory(&factory);
    panel.NewDocument();
  }
  ~DocumentView() { canvas::SetBitmapCanvasFactory(previous); }
  // What the conversion does before importing: the scheme's children and all layers go.
  void Empty() {
    panel.GetActiveScheme()->ClearChildren();
    panel.Layers().ClearChildren();
  }

  canvas::RecordingBitmapCanvasFactory factory;
  canvas::BitmapCanvasFactory* previous = nullptr;
  QuietWindow window;
  graphics::TVexaPanel panel;
};

TVexaDxfImport FittedImporter(const DXF_Object& drawing) {
  TVexaDxfImport importer;
  importer.Fit = ComputeImportFit(800, 600, 20, drawing.GetMaxExtents(), drawing.GetMinExtents());
  return importer;
}

void BM_ImportBigR12(benchmark::State& state) {
  DXF_Object* drawing = Drawing();
  if (!drawing) {
    state.SkipWithError("could not make the drawing with ezdxf (/usr/bin/python3, python3-ezdxf)");
    return;
  }
  TVexaDxfImport importer = FittedImporter(*drawing);
  double bytesPerControl = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto view = std::make_unique<DocumentView>();
    view->Empty();
    const size_t before = HeapInUse();
    state.ResumeTiming();
    importer.ImportDxfObject(&view->panel, drawing);
    state.PauseTiming();
    bytesPerControl = static_cast<double>(HeapInUse() - before) / static_cast<double>(importer.Report().Controls);
    view.reset();
    state.ResumeTiming();
  }
  state.counters["entities"] = static_cast<double>(EntityCount(*drawing));
  state.counters["controls"] = static_cast<double>(importer.Report().Controls);
  state.counters["bytes_per_control"] = bytesPerControl;
}
BENCHMARK(BM_ImportBigR12)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ConvertAgainBigR12(benchmark::State& state) {
  DXF_Object* drawing = Drawing();
  if (!drawing) {
    state.SkipWithError("could not make the drawing with ezdxf (/usr/bin/python3, python3-ezdxf)");
    return;
  }
  TVexaDxfImport importer = FittedImporter(*drawing);
  DocumentView view;
  view.Empty();
  importer.ImportDxfObject(&view.panel, drawing);
  for (auto _ : state) {
    view.Empty();
    importer.ImportDxfObject(&view.panel, drawing);
  }
  state.counters["controls"] = static_cast<double>(importer.Report().Controls);
}
BENCHMARK(BM_ConvertAgainBigR12)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

// Every line on a layer of its own: the document makes one layer per line, each given a free
// default name, looked up and checked for a sibling of the same name. The document's name
// indexes keep the time per layer flat as their number grows.
void BM_ImportOneLayerPerEntity(benchmark::State& state) {
  DXF_Object drawing("layers");
  for (int64_t i = 0; i < state.range(0); ++i) {
    const double x = static_cast<double>(i);
    drawing.LayerByName("L" + std::to_string(i))
        ->AddEntity(std::make_unique<Line_>(Point3D{x, 0, 0}, 1, Point3D{x + 1, 1, 0}));
  }
  TVexaDxfImport importer;
  importer.Fit = ComputeImportFit(800, 600, 20, {static_cast<double>(state.range(0)) + 1, 1, 0}, {0, 0, 0});
  for (auto _ : state) {
    state.PauseTiming();
    auto view = std::make_unique<DocumentView>();
    view->Empty();
    state.ResumeTiming();
    importer.ImportDxfObject(&view->panel, &drawing);
    state.PauseTiming();
    view.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ImportOneLayerPerEntity)->Arg(1000)->Arg(4000)->Arg(16000)->Unit(benchmark::kMillisecond)->Iterations(1);

// What one control costs the document before the import sets anything: the floor under the
// import's memory per control.
void BM_BareCurveMemory(benchmark::State& state) {
  DocumentView view;
  const graphics::TRecordingOff off(view.panel.History());  // as during an import
  double bytes = 0;
  for (auto _ : state) {
    view.Empty();
    const size_t before = HeapInUse();
    for (int i = 0; i < 10000; ++i) {
      graphics::TVexaControl::New<graphics::TVexaCurve>(&view.panel, view.panel.GetActiveScheme(), nullptr);
    }
    bytes = static_cast<double>(HeapInUse() - before) / 10000.0;
  }
  state.counters["bytes_per_control"] = bytes;
}
BENCHMARK(BM_BareCurveMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
