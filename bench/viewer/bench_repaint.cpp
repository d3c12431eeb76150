// How fast Planview repaints a large drawing and answers the tracking queries: the
// 200,000-entity R12 drawing of the reader benchmark, shown whole in a 1280 x 800 zoom panel.
// BM_RepaintZoomPanel paints it the way the main window does (every list through the entities'
// Draw and the panel's world-to-screen mapping onto the Qt canvas); BM_RawPainterFloor paints
// the same primitives, recorded once, straight onto a QPainter. Their ratio is what the
// canvas and the mapping add on top of Qt's own drawing. BM_FirstRepaintZoomPanel is the
// repaint of a panel that has kept nothing yet, at a zoom to a text height no repaint before
// it used; BM_RawPainterFloorZoomed paints the same views' primitives straight onto QPainter.
// BM_RepaintDocumentView repaints the same drawing converted into a document, in the document
// view's panel. BM_FirstQueryAfterDrag is the tracking query that follows a vertex drag.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

#include "BigDrawing.h"
#include "VexaDxfImport.h"
#include "Zoomer.h"
#include "canvas/RecordingCanvas.h"
#include "document/ServiceControls.h"
#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panelwindow/QtPanelWindow.h"
#include "qtcanvas/QtCanvas.h"

namespace {

using namespace pv::viewer;
namespace canvas = pv::canvas;

constexpr int kWidth = 1280;
constexpr int kHeight = 800;

struct LoadedDrawing {
  std::unique_ptr<DXF_Object> drawing;
  selection_lists selection;
  Point3D min;
  Point3D max;
};

LoadedDrawing* Drawing() {
  static std::unique_ptr<LoadedDrawing> loaded = [] {
    auto d = std::make_unique<LoadedDrawing>();
    d->drawing = ReadBigDrawing();
    if (!d->drawing) return std::unique_ptr<LoadedDrawing>();
    d->max = {-1e300, -1e300, -1e300};
    d->min = {1e300, 1e300, 1e300};
    for (Entity_List* list : DrawnLists(*d->drawing)) {
      d->selection.lists.push_back(list);
      list->GrowExtents(d->max, d->min);
    }
    return d;
  }();
  return loaded.get();
}

// The texts of the drawing are one unit high: at a view of unitPixels pixels to the unit they
// are written in a font unitPixels + 2 pixels high. The view shows the drawing's centre.
WorldRect ZoomedView(const LoadedDrawing& d, int unitPixels) {
  const double cx = (d.min.x + d.max.x) / 2;
  const double cy = (d.min.y + d.max.y) / 2;
  // The panel fits the rectangle into the smaller side less the margins: 780 pixels.
  const double half = (std::min(kWidth, kHeight) - 20) / 2.0 / unitPixels;
  return {cx - half, cy - half, cx + half, cy + half};
}

// The zooms the first repaints go through, one text pixel higher each time: the whole view
// writes its texts 3 pixels high, these 4 to 8, so no repaint meets a height that Qt or the
// canvas shaped or rasterised before.
constexpr int kZoomSteps = 5;
int ZoomStepPixels(int step) { return 2 + step % kZoomSteps; }

struct Panel {
  Zoom_panel panel;
  explicit Panel(LoadedDrawing& d) {
    panel.resize(kWidth + 40, kHeight + 40);
    panel.PaintBox().resize(kWidth, kHeight);
    panel.SetWindow(10, 10, {d.min.x, d.min.y, d.max.x, d.max.y});
    panel.OnPaint = [this, &d](QObject*) {
      canvas::Canvas& c = panel.PaintBox().Canvas();
      canvas::Pen pen = c.GetPen();
      pen.width = 1;
      pen.color = canvas::clBlack;
      c.SetPen(pen);
      canvas::Brush brush;
      brush.style = canvas::BrushStyle::Clear;
      c.SetBrush(brush);
      for (Entity_List* list : d.selection.lists) list->DrawAll(c, nullptr, &Zoom_panel::WorldToScreen, &panel);
    };
  }
};

// Repaints of a panel already shown, as after a window was uncovered or a tracking highlight
// cleared: what the canvas keeps between repaints (texts shaped, kept from their second
// writing) is in place.
void BM_RepaintZoomPanel(benchmark::State& state) {
  LoadedDrawing* d = Drawing();
  if (!d) return state.SkipWithError("could not make the drawing with ezdxf");
  Panel p(*d);
  p.panel.Repaint();
  p.panel.Repaint();
  for (auto _ : state) p.panel.Repaint();
  state.counters["entities"] = static_cast<double>(EntityCount(*d->drawing));
}
BENCHMARK(BM_RepaintZoomPanel)->Unit(benchmark::kMillisecond)->Iterations(5);

// The first repaint of a new panel, which keeps nothing yet: the cost of a repaint after a zoom
// to a new text height, whose texts neither the canvas nor Qt has written before.
void BM_FirstRepaintZoomPanel(benchmark::State& state) {
  LoadedDrawing* d = Drawing();
  if (!d) return state.SkipWithError("could not make the drawing with ezdxf");
  int step = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto p = std::make_unique<Panel>(*d);
    p->panel.SetWindow(10, 10, ZoomedView(*d, ZoomStepPixels(step++)));
    state.ResumeTiming();
    p->panel.Repaint();
    state.PauseTiming();
    p.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstRepaintZoomPanel)->Unit(benchmark::kMillisecond)->Iterations(kZoomSteps);

// The lines, ellipses, arcs, pixels and texts the repaint draws at a view, recorded once.
std::unique_ptr<canvas::RecordingCanvas> RecordView(LoadedDrawing& d, const WorldRect& view) {
  Panel p(d);
  p.panel.SetWindow(10, 10, view);
  auto record = std::make_unique<canvas::RecordingCanvas>(canvas::TSize{kWidth, kHeight});
  for (Entity_List* list : d.selection.lists) list->DrawAll(*record, nullptr, &Zoom_panel::WorldToScreen, &p.panel);
  return record;
}

// Replays recorded primitives through QPainter's own calls with a pen and font set once.
void PaintRaw(const canvas::RecordingCanvas& record, QImage& image) {
  image.fill(Qt::white);
  QPainter painter(&image);
  QPen pen(Qt::black);
  pen.setWidth(0);
  painter.setPen(pen);
  QPoint at;
  for (const canvas::CanvasCommand& c : record.Commands()) {
    const auto& a = c.args;
    switch (c.op) {
      case canvas::CanvasOp::MoveTo: at = QPoint(a[0], a[1]); break;
      case canvas::CanvasOp::LineTo:
        painter.drawLine(at, QPoint(a[0], a[1]));
        at = QPoint(a[0], a[1]);
        break;
      case canvas::CanvasOp::Polyline:
      case canvas::CanvasOp::Polygon: {
        QPolygon poly;
        for (const canvas::TPoint& q : c.points) poly << QPoint(q.x, q.y);
        painter.drawPolyline(poly);
        break;
      }
      case canvas::CanvasOp::Ellipse: painter.drawEllipse(QRect(a[0], a[1], a[2] - a[0], a[3] - a[1])); break;
      case canvas::CanvasOp::Arc: painter.drawArc(QRect(a[0], a[1], a[2] - a[0], a[3] - a[1]), 0, 16 * 90); break;
      case canvas::CanvasOp::SetPixel: painter.drawPoint(a[0], a[1]); break;
      case canvas::CanvasOp::TextOut:
      case canvas::CanvasOp::ExtTextOut: painter.drawText(a[0], a[1], QString::fromStdString(c.text)); break;
      default: break;
    }
  }
}

void BM_RawPainterFloor(benchmark::State& state) {
  LoadedDrawing* d = Drawing();
  if (!d) return state.SkipWithError("could not make the drawing with ezdxf");
  const auto record = RecordView(*d, {d->min.x, d->min.y, d->max.x, d->max.y});
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) PaintRaw(*record, image);
}
BENCHMARK(BM_RawPainterFloor)->Unit(benchmark::kMillisecond)->Iterations(5);

// The floor of the first repaints: the primitives of the same zooms, in the same order.
void BM_RawPainterFloorZoomed(benchmark::State& state) {
  LoadedDrawing* d = Drawing();
  if (!d) return state.SkipWithError("could not make the drawing with ezdxf");
  std::vector<std::unique_ptr<canvas::RecordingCanvas>> records;
  for (int step = 0; step < kZoomSteps; ++step) records.push_back(RecordView(*d, ZoomedView(*d, ZoomStepPixels(step))));
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  size_t step = 0;
  for (auto _ : state) PaintRaw(*records[step++ % records.size()], image);
}
BENCHMARK(BM_RawPainterFloorZoomed)->Unit(benchmark::kMillisecond)->Iterations(kZoomSteps);

// The drawing converted into a document and shown whole in the document view's panel, repainted
// as after its window was uncovered: every control paints itself through the panel's window
// onto the Qt canvas.
void BM_RepaintDocumentView(benchmark::State& state) {
  LoadedDrawing* d = Drawing();
  if (!d) return state.SkipWithError("could not make the drawing with ezdxf");
  pv::graphics::RegisterVexaGraphics();
  pv::qtcanvas::RegisterBitmapCanvasFactory();
  pv::panelwindow::TQtPanelWindow window;
  window.resize(kWidth, kHeight);
  pv::graphics::TVexaPanel panel(window, false);
  panel.SetDocWidth(kWidth * 1000);
  panel.SetDocHeight(kHeight * 1000);
  panel.GetActiveScheme()->ClearChildren();
  panel.Layers().ClearChildren();
  TVexaDxfImport importer;
  importer.Fit = ComputeImportFit(kWidth, kHeight, 20, d->drawing->GetMaxExtents(), d->drawing->GetMinExtents());
  importer.ImportDxfObject(&panel, d->drawing.get());
  window.show();
  QApplication::processEvents();
  window.viewport()->repaint();
  window.viewport()->repaint();
  for (auto _ : state) window.viewport()->repaint();
  state.counters["controls"] = static_cast<double>(importer.Report().Controls);
}
BENCHMARK(BM_RepaintDocumentView)->Unit(benchmark::kMillisecond)->Iterations(5);

// Mouse points spread over the drawing, the same for every run.
std::vector<Point3D> QueryPoints(const LoadedDrawing& d, int n) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> x(d.min.x, d.max.x);
  std::uniform_real_distribution<double> y(d.min.y, d.max.y);
  std::vector<Point3D> points;
  for (int i = 0; i < n; ++i) points.push_back({x(rng), y(rng), 0.0});
  return points;
}

// One tracking query after another at the points above, as the tracking timer asks them.
void RunQueries(benchmark::State& state,
                void (selection_lists::*query)(const Point3D&, DXF_Entity*&, Point3D&) const) {
  LoadedDrawing* d = Drawing();
  if (!d) return state.SkipWithError("could not make the drawing with ezdxf");
  const auto points = QueryPoints(*d, 256);
  size_t i = 0;
  for (auto _ : state) {
    DXF_Entity* entity = nullptr;
    Point3D closest;
    (d->selection.*query)(points[i++ % points.size()], entity, closest);
    benchmark::DoNotOptimize(entity);
  }
}

void BM_NearestPoint(benchmark::State& state) { RunQueries(state, &selection_lists::FindNearestPoint); }
BENCHMARK(BM_NearestPoint)->Unit(benchmark::kMicrosecond);

void BM_ContainingEntity(benchmark::State& state) { RunQueries(state, &selection_lists::FindContainingEntity); }
BENCHMARK(BM_ContainingEntity)->Unit(benchmark::kMicrosecond);

// The first tracking query after a Shift-drag moved one vertex of the entity nearest the mouse,
// with the index already built as after the load: what a hover after a drag waits for. The
// drag itself and the move back after each query are not timed.
void BM_FirstQueryAfterDrag(benchmark::State& state) {
  LoadedDrawing* d = Drawing();
  if (!d) return state.SkipWithError("could not make the drawing with ezdxf");
  const auto points = QueryPoints(*d, 256);
  auto nearest = [&](const Point3D& p, DXF_Entity*& entity, Point3D& closest) {
    entity = nullptr;
    d->selection.FindNearestPoint(p, entity, closest);
  };
  DXF_Entity* entity = nullptr;
  Point3D from;
  nearest(points[0], entity, from);
  size_t i = 0;
  int moves = 0;
  for (auto _ : state) {
    state.PauseTiming();
    nearest(points[i % points.size()], entity, from);
    const Point3D to = DXF_Utils::RoundPoint(points[(i + 1) % points.size()], 1000);
    const bool moved = entity && entity->MovePoint(from, to);
    state.ResumeTiming();
    if (moved) d->selection.NoteEntityMoved(entity);
    DXF_Entity* hovered = nullptr;
    Point3D closest;
    nearest(points[(i + 2) % points.size()], hovered, closest);
    benchmark::DoNotOptimize(hovered);
    state.PauseTiming();
    if (moved && entity->MovePoint(to, from)) d->selection.NoteEntityMoved(entity);
    moves += moved;
    ++i;
    state.ResumeTiming();
  }
  state.counters["moved"] = moves;
}
BENCHMARK(BM_FirstQueryAfterDrag)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
