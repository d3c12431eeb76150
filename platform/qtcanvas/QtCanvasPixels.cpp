// Pixel blocks of the Qt canvas, the em square of its font, and off-screen canvases on bitmaps.
#include <QPainter>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "canvas/BitmapCanvas.h"
#include "qtcanvas/QtCanvas.h"

namespace pv::qtcanvas {

bool QtCanvas::GetPixels(const TRect& rect, Bitmap& out) const {
  if (!image_) return false;
  const TRect inside = IntersectRect(rect, {0, 0, size_.cx, size_.cy});
  // The bitmap's memory is reused when it is large enough; only a rect that reaches outside
  // the device needs the zeros.
  if (inside == rect) {
    out.Resize(rect.Width(), rect.Height(), PixelFormat::Argb32);
  } else {
    out.Reset(std::max(0, rect.Width()), std::max(0, rect.Height()), PixelFormat::Argb32, 0);
  }
  if (inside.IsEmpty()) return true;
  const uint32_t opaque = image_->hasAlphaChannel() ? 0u : 0xFF000000u;
  const size_t bytes = static_cast<size_t>(inside.Width()) * 4;
  for (int32_t y = inside.top; y < inside.bottom; ++y) {
    const auto* from = reinterpret_cast<const uint32_t*>(image_->constScanLine(y)) + inside.left;
    uint32_t* to = out.Row(y - rect.top) + (inside.left - rect.left);
    std::memcpy(to, from, bytes);
    if (opaque) {
      for (int32_t x = 0; x < inside.Width(); ++x) to[x] |= opaque;
    }
  }
  return true;
}

void QtCanvas::SetPixels(int32_t x, int32_t y, const Bitmap& pixels) {
  if (pixels.Empty()) return;
  if (!image_) {
    QImage image = ToQImage(pixels);
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    painter_->drawImage(QPoint(x, y), image);
    ApplyCopy();
    return;
  }
  WriteBlock(pixels, {0, 0, pixels.Width(), pixels.Height()}, x, y, image_->hasAlphaChannel() && pixels.HasAlpha());
}

void QtCanvas::WriteBlock(const Bitmap& pixels, const TRect& from, int32_t x, int32_t y, bool keepAlpha) {
  const uint32_t opaque = keepAlpha ? 0u : 0xFF000000u;
  const TRect target{x, y, x + from.Width(), y + from.Height()};
  const TRect visible = IntersectRect(target, {0, 0, size_.cx, size_.cy});
  if (visible.IsEmpty()) return;
  const std::vector<TRect> parts = state_.clip ? state_.clip->Rects() : std::vector<TRect>{visible};
  for (const TRect& part : parts) {
    const TRect r = IntersectRect(part, visible);
    if (r.IsEmpty()) continue;
    for (int32_t row = r.top; row < r.bottom; ++row) {
      const uint32_t* source = pixels.Row(row - y + from.top) + (r.left - x + from.left);
      auto* to = reinterpret_cast<uint32_t*>(image_->scanLine(row)) + r.left;
      if (opaque) {
        for (int32_t i = 0; i < r.Width(); ++i) to[i] = source[i] | opaque;
      } else {
        std::memcpy(to, source, static_cast<size_t>(r.Width()) * 4);
      }
    }
  }
}

bool QtCanvas::EditPixels(const TRect& rect, const PixelRunEdit& edit) {
  if (!image_) return false;
  const TRect visible = IntersectRect(rect, {0, 0, size_.cx, size_.cy});
  if (visible.IsEmpty()) return true;
  const uint32_t opaque = image_->hasAlphaChannel() ? 0u : 0xFF000000u;
  const std::vector<TRect> parts = state_.clip ? state_.clip->Rects() : std::vector<TRect>{visible};
  for (const TRect& part : parts) {
    const TRect r = IntersectRect(part, visible);
    if (r.IsEmpty()) continue;
    for (int32_t row = r.top; row < r.bottom; ++row) {
      auto* run = reinterpret_cast<uint32_t*>(image_->scanLine(row)) + r.left;
      if (opaque) {
        for (int32_t i = 0; i < r.Width(); ++i) run[i] |= opaque;
      }
      edit(run, r.left - rect.left, row - rect.top, r.Width());
    }
  }
  return true;
}

int32_t QtCanvas::GetFontEmSquare() const {
  const QRawFont raw = QRawFont::fromFont(qfont_);
  if (!raw.isValid()) return 2048;
  return std::max(1, static_cast<int32_t>(std::lround(raw.unitsPerEm())));
}

namespace {

// Holds the image that wraps the bitmap's memory, so that it is made before the canvas
// that paints on it and outlives it.
struct BitmapImage {
  explicit BitmapImage(Bitmap& bitmap)
      : image(reinterpret_cast<uchar*>(bitmap.Row(0)), bitmap.Width(), bitmap.Height(),
              static_cast<qsizetype>(bitmap.Width()) * 4,
              bitmap.HasAlpha() ? QImage::Format_ARGB32 : QImage::Format_RGB32) {}
  QImage image;
};

class QtBitmapCanvas : private BitmapImage, public QtCanvas {
 public:
  explicit QtBitmapCanvas(Bitmap& bitmap) : BitmapImage(bitmap), QtCanvas(image) {}
};

class QtBitmapCanvasFactory : public BitmapCanvasFactory {
 public:
  std::unique_ptr<Canvas> Create(Bitmap& bitmap) override {
    if (bitmap.Empty()) return nullptr;
    return std::make_unique<QtBitmapCanvas>(bitmap);
  }
};

}  // namespace

void RegisterBitmapCanvasFactory() {
  static QtBitmapCanvasFactory factory;
  SetBitmapCanvasFactory(&factory);
}

}  // namespace pv::qtcanvas
