#include "canvas/BitmapCanvas.h"

namespace pv::canvas {

namespace {

BitmapCanvasFactory* g_factory = nullptr;

}  // namespace

BitmapCanvasFactory* SetBitmapCanvasFactory(BitmapCanvasFactory* factory) {
  BitmapCanvasFactory* previous = g_factory;
  g_factory = factory;
  return previous;
}

BitmapCanvasFactory* GetBitmapCanvasFactory() { return g_factory; }

std::unique_ptr<Canvas> CreateBitmapCanvas(Bitmap& bitmap) {
  if (!g_factory || bitmap.Empty()) return nullptr;
  return g_factory->Create(bitmap);
}

}  // namespace pv::canvas
