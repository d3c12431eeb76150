// The control tree at full HD: painting many controls (all in view, zoomed in with culling,
// transparent), the grid's dots, hit testing, sizing a large group, and loading a document
// of controls with links between them.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include "canvas/Canvas.h"
#include "controls/LinkProps.h"
#include "document/Group.h"
#include "document/testing/TestVexaPanel.h"
#include "qtcanvas/QtCanvas.h"

namespace {

using namespace pv::graphics;
using test::TTestVexaPanel;

void StartQt() {
  static int argc = 1;
  static char name[] = "bench_graphics_controls";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  pv::qtcanvas::RegisterBitmapCanvasFactory();
}

class TBenchBox : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  void Paint(pv::canvas::Canvas& canvas, const TRect& rect) override {
    canvas.SetBrush({pv::canvas::BrushStyle::Solid, 0x3080C0, nullptr});
    canvas.FillRect(rect);
  }

 protected:
  void ControlCreate() override {
    TVexaControl::ControlCreate();
    SetVisible(true);
  }
};
const TVexaControlClass TBenchBox::ClassInfo{{"TBenchBox", &TVexaControl::ClassInfo.ref},
                                             &TVexaControl::Creator<TBenchBox>};

class TBenchLink : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
  TLinkProp* target = nullptr;

 protected:
  void CreateProperties() override {
    TVexaControl::CreateProperties();
    target = Props().Create<TLinkProp>("Target");
    target->SetFlags(pfNew | pfReference);
  }
};
const TVexaControlClass TBenchLink::ClassInfo{{"TBenchLink", &TVexaControl::ClassInfo.ref},
                                              &TVexaControl::Creator<TBenchLink>};

// count boxes of 10 x 10 pixels in rows across 1920 x 1080.
void FillScheme(TTestVexaPanel& panel, int count, int32_t transparency = 0) {
  panel.NewDocument();
  for (int i = 0; i < count; ++i) {
    TVexaControl* c = TVexaControl::New<TBenchBox>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
    c->SetDocRect({(i % 190) * 10000, (i / 190 % 105) * 10000, (i % 190) * 10000 + 9000, (i / 190 % 105) * 10000 + 9000});
    c->SetTransparency(transparency);
  }
}

struct Screen {
  Screen() : image(1920, 1080, QImage::Format_RGB32), canvas((StartQt(), image.fill(Qt::white), image)) {}
  QImage image;
  pv::qtcanvas::QtCanvas canvas;
};

void BM_Paint10000Controls(benchmark::State& state) {
  Screen screen;
  TTestVexaPanel panel;
  FillScheme(panel, 10000);
  panel.scale = static_cast<int32_t>(state.range(0));
  TVexaControl* scheme = panel.GetActiveScheme();
  for (auto _ : state) scheme->PaintAll(screen.canvas, 0, 0);
}
BENCHMARK(BM_Paint10000Controls)->Arg(100)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_Paint1000TransparentControls(benchmark::State& state) {
  Screen screen;
  TTestVexaPanel panel;
  FillScheme(panel, 1000, 50);
  TVexaControl* scheme = panel.GetActiveScheme();
  for (auto _ : state) scheme->PaintAll(screen.canvas, 0, 0);
}
BENCHMARK(BM_Paint1000TransparentControls)->Unit(benchmark::kMillisecond);

void BM_GridDotsAtScale25(benchmark::State& state) {
  Screen screen;
  TTestVexaPanel panel;
  panel.scale = 25;
  panel.Grid().SetHorizSize(1000);
  panel.Grid().SetVertSize(1000);
  for (auto _ : state) panel.Grid().Paint(screen.canvas, {0, 0, 1920, 1080});
}
BENCHMARK(BM_GridDotsAtScale25)->Unit(benchmark::kMillisecond);

void BM_FindControlAt10000(benchmark::State& state) {
  TTestVexaPanel panel;
  FillScheme(panel, 10000);
  TVexaControl* scheme = panel.GetActiveScheme();
  int32_t x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(scheme->FindControlAt(x % 1900, (x / 7) % 1000));
    x += 37;
  }
}
BENCHMARK(BM_FindControlAt10000)->Unit(benchmark::kMillisecond);

void BM_ResizeGroupOf1000(benchmark::State& state) {
  TTestVexaPanel panel;
  panel.NewDocument();
  TVexaGroup* group = TVexaControl::New<TVexaGroup>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  for (int i = 0; i < 1000; ++i) {
    TVexaControl* c = TVexaControl::New<TBenchBox>(&panel, group);
    c->SetDocRect({(i % 40) * 10000, (i / 40) * 10000, (i % 40) * 10000 + 9000, (i / 40) * 10000 + 9000});
  }
  int32_t width = group->GetWidth();
  for (auto _ : state) {
    width = width == 400000 ? 800000 : 400000;
    group->SetWidth(width);
  }
}
BENCHMARK(BM_ResizeGroupOf1000)->Unit(benchmark::kMillisecond);

void BM_Load10000ControlsWith10000Links(benchmark::State& state) {
  RegisterControlClass(TBenchBox::ClassInfo);
  RegisterControlClass(TBenchLink::ClassInfo);
  TTestVexaPanel source;
  FillScheme(source, 10000);
  TVexaControl* scheme = source.GetActiveScheme();
  for (int i = 0; i < 10000; ++i) {
    auto* link = TVexaControl::New<TBenchLink>(&source, scheme, source.GetActiveLayer());
    link->target->SetLinkedControl(scheme->GetChild(i));
  }
  const std::string text = source.SaveText();
  for (auto _ : state) {
    TTestVexaPanel panel;
    panel.LoadText(text);
    benchmark::DoNotOptimize(panel.GetActiveScheme());
  }
}
BENCHMARK(BM_Load10000ControlsWith10000Links)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
