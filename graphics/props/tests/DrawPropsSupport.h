#pragma once
// Helpers of the drawing property tests: text save and load of a list, a log of the change
// notifications, and a white Qt image with off-screen canvases registered.
#include <QGuiApplication>
#include <QImage>
#include <memory>
#include <string>
#include <vector>

#include "base/TextHelpers.h"
#include "props/PropList.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::graphics::drawtest {

inline std::string Save(TPropList& list) {
  TMemoryStream stream;
  TVexaFiler filer(stream);
  list.SaveToFiler(filer, "");
  return stream.Text();
}

inline void Load(TPropList& list, const std::string& text) {
  TMemoryStream stream(text);
  TVexaFiler filer(stream);
  std::string line;
  while (filer.ReadLine(line)) list.LoadProp(filer, line);
}

struct ChangeLog : TPropListEvents {
  void PropBeforeChanged(TPropList&, TCustomProp&) override { ++before; }
  void PropChanged(TPropList&, TCustomProp&) override { ++changed; }
  void PropReadOnly(TPropList&, TCustomProp&, bool& readOnly) override { readOnly = locked; }
  int before = 0;
  int changed = 0;
  bool locked = false;
};

inline void StartQt() {
  static int argc = 1;
  static char name[] = "graphics_drawprops_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  pv::qtcanvas::RegisterBitmapCanvasFactory();
}

struct WhiteImage {
  WhiteImage(int w, int h) : image(w, h, QImage::Format_RGB32) {
    StartQt();
    image.fill(Qt::white);
    canvas = std::make_unique<pv::qtcanvas::QtCanvas>(image);
  }
  uint32_t At(int x, int y) const { return canvas->GetPixel(x, y); }
  QImage image;
  std::unique_ptr<pv::qtcanvas::QtCanvas> canvas;
};

}  // namespace pv::graphics::drawtest
