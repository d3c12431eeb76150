#pragma once
// Off-screen canvases on a Bitmap. Model code creates them through a factory that the windowing
// layer registers at start-up (the Qt painter backend), so it never sees the toolkit; tests
// may register the recording double (RecordingCanvas.h) instead.

#include <memory>

#include "canvas/Bitmap.h"
#include "canvas/Canvas.h"

namespace pv::canvas {

class BitmapCanvasFactory {
 public:
  virtual ~BitmapCanvasFactory() = default;
  // A canvas that paints into the bitmap's memory; the bitmap must outlive it and keep its size.
  virtual std::unique_ptr<Canvas> Create(Bitmap& bitmap) = 0;
};

// The factory stays owned by the caller; none unregisters. Returns the one it replaces.
BitmapCanvasFactory* SetBitmapCanvasFactory(BitmapCanvasFactory* factory);
BitmapCanvasFactory* GetBitmapCanvasFactory();

// A canvas on the bitmap, or none when no factory is registered or the bitmap is empty.
std::unique_ptr<Canvas> CreateBitmapCanvas(Bitmap& bitmap);

}  // namespace pv::canvas
