#pragma once
// A white Qt image with a canvas on it, and off-screen canvases registered, for pixel checks.
#include <QGuiApplication>
#include <QImage>
#include <memory>

#include "qtcanvas/QtCanvas.h"

namespace pv::graphics::testing {

inline void StartQt() {
  static int argc = 1;
  static char name[] = "graphics_paint_tests";
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
  // 0x00BBGGRR
  uint32_t At(int x, int y) const { return canvas->GetPixel(x, y); }
  QImage image;
  std::unique_ptr<pv::qtcanvas::QtCanvas> canvas;
};

}  // namespace pv::graphics::testing
