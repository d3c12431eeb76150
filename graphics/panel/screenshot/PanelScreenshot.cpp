// A panel on a real X display, for a screenshot: "show <seconds>" opens a 400 x 300 panel
// window at (20, 20) of the screen with a few shapes, two of them selected (their handles
// showing) and a rubber band half drawn; "check <png>" reads a screenshot of the whole screen
// and checks the pixels that show each of those things.

#include <QApplication>
#include <QImage>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "panel/VexaGraphics.h"
#include "panel/VexaPanel.h"
#include "panelwindow/QtPanelWindow.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "qtcanvas/QtCanvas.h"
#include "shapes/VexaBox.h"
#include "shapes/VexaEllipse.h"

namespace {

using namespace pv;
using namespace pv::graphics;

constexpr int kLeft = 20;
constexpr int kTop = 20;

template <class T>
T* Shape(TVexaPanel& panel, const TRect& r, canvas::TColor fill) {
  auto* shape = TVexaControl::New<T>(&panel, panel.GetActiveScheme(), panel.GetActiveLayer());
  shape->SetVisible(true);
  shape->SetDocRect(r);
  shape->Pen().SetColor(canvas::clBlack);
  shape->Brush().SetStyle(canvas::BrushStyle::Solid);
  shape->Brush().SetColor(fill);
  return shape;
}

int Show(int seconds) {
  RegisterVexaGraphics();
  qtcanvas::RegisterBitmapCanvasFactory();
  panelwindow::TQtPanelWindow window;
  window.setWindowFlag(Qt::FramelessWindowHint);
  window.setFrameShape(QFrame::NoFrame);
  window.setGeometry(kLeft, kTop, 400, 300);
  TVexaPanel panel(window, true);
  panel.Color = 0x00FF00;
  auto* red = Shape<TVexaBox>(panel, {20000, 20000, 100000, 80000}, canvas::clRed);
  auto* blue = Shape<TVexaEllipse>(panel, {140000, 40000, 240000, 120000}, canvas::clBlue);
  Shape<TVexaBox>(panel, {60000, 150000, 200000, 200000}, 0x00FFFF);
  panel.Select(red);
  panel.Select(blue);
  // A band dragged with Shift from empty space (the selection stays), not yet released.
  const TPoint from = panel.DocToPixelPoint({230000, 140000});
  const TPoint to = panel.DocToPixelPoint({300000, 220000});
  panel.MouseDown(panelwindow::TMouseButton::mbLeft, panelwindow::ssLeft | panelwindow::ssShift, from.x, from.y);
  panel.MouseMove(panelwindow::ssLeft | panelwindow::ssShift, to.x, to.y);
  window.show();
  QTimer::singleShot(seconds * 1000, qApp, &QApplication::quit);
  return QApplication::exec();
}

struct Probe {
  const char* what;
  int x;  // client pixels of the panel
  int y;
  QRgb expected;
};

int Check(const char* file) {
  QImage shot(QString::fromLocal8Bit(file));
  if (shot.isNull()) {
    std::fprintf(stderr, "cannot read %s\n", file);
    return 1;
  }
  shot = shot.convertToFormat(QImage::Format_RGB32);
  // The document (320 x 240 pixels) lies centred: its left-top at client (40, 30).
  const Probe probes[] = {
      {"window colour", 10, 10, qRgb(0, 0xFF, 0)},
      {"page", 350 - 45, 30 + 5, qRgb(0xFF, 0xFF, 0xFF)},
      {"frame", 39, 150, qRgb(0, 0, 0)},
      {"shadow", 362, 150, qRgb(0x80, 0x80, 0x80)},
      {"red box", 40 + 60, 30 + 50, qRgb(0xFF, 0, 0)},
      {"blue ellipse", 40 + 190, 30 + 80, qRgb(0, 0, 0xFF)},
      {"yellow box", 40 + 130, 30 + 175, qRgb(0xFF, 0xFF, 0)},
      // The selection (red box and ellipse) spans client (60, 50) - (280, 150); its handles
      // invert what lies under them.
      {"top-left handle on the page", 60 - 5, 50 - 5, qRgb(0, 0, 0)},
      {"bottom-right handle on the page", 280 + 5, 150 + 5, qRgb(0, 0, 0)},
      {"beside the handle", 60 - 10, 50 - 10, qRgb(0xFF, 0xFF, 0xFF)},
  };
  int failures = 0;
  for (const Probe& p : probes) {
    const QRgb got = shot.pixel(kLeft + p.x, kTop + p.y);
    const bool ok = got == p.expected;
    if (!ok) ++failures;
    std::printf("%-34s (%3d, %3d): %06X %s\n", p.what, p.x, p.y, got & 0xFFFFFF, ok ? "ok" : "WRONG");
  }
  // The band's focus rectangle: dots along its top edge.
  int dots = 0;
  for (int x = 40 + 240; x < 40 + 290; ++x) dots += shot.pixel(kLeft + x, kTop + 30 + 140) != qRgb(0xFF, 0xFF, 0xFF);
  std::printf("%-34s: %d dots %s\n", "rubber band top edge", dots, dots >= 10 ? "ok" : "WRONG");
  if (dots < 10) ++failures;
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "check") == 0) {
    QGuiApplication::setAttribute(Qt::AA_Use96Dpi);
    QApplication app(argc, argv);
    return Check(argv[2]);
  }
  if (argc == 3 && std::strcmp(argv[1], "show") == 0) {
    QApplication app(argc, argv);
    return Show(std::max(1, std::atoi(argv[2])));
  }
  std::fprintf(stderr, "usage: %s show <seconds> | check <png>\n", argv[0]);
  return 2;
}
