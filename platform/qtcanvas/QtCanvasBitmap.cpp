// Bitmaps and block transfers of the Qt canvas.
#include <QPainter>
#include <cstring>

#include "qtcanvas/QtCanvas.h"

namespace pv::qtcanvas {

namespace {

QImage ArgbImage(const Bitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_ARGB32);
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    std::memcpy(image.scanLine(y), bitmap.Row(y), static_cast<size_t>(bitmap.Width()) * 4);
  }
  return image;
}

// An opaque bitmap needs no colour comparisons: its rows are copied with the alpha byte set,
// since Qt takes Format_RGB32 pixels as 0xffRRGGBB and some of its paths copy the top byte.
QImage ViewOf(const Bitmap& bitmap) {
  if (bitmap.transparent || bitmap.HasAlpha()) return ToQImage(bitmap);
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    const uint32_t* from = bitmap.Row(y);
    auto* to = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int32_t x = 0; x < bitmap.Width(); ++x) to[x] = from[x] | 0xFF000000u;
  }
  return image;
}

}  // namespace

QImage ToQImage(const Bitmap& bitmap) {
  if (bitmap.HasAlpha()) return ArgbImage(bitmap);
  QImage image(bitmap.Width(), bitmap.Height(), bitmap.transparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  const uint32_t key = bitmap.transparent ? bitmap.TransparentRGB() : 0;
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    const uint32_t* from = bitmap.Row(y);
    auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      const uint32_t rgb = from[x] & 0x00FFFFFFu;  // 0x00RRGGBB in memory order B, G, R
      // The transparent colour is kept as 0x00BBGGRR; compare in that order.
      const uint32_t asColor = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
      to[x] = (bitmap.transparent && asColor == key) ? 0u : (0xFF000000u | rgb);
    }
  }
  return image;
}

void QtCanvas::Draw(int32_t x, int32_t y, const Bitmap& bitmap) {
  if (bitmap.Empty()) return;
  ApplyCopy();
  painter_->drawImage(QPoint(x, y), ViewOf(bitmap));
}

void QtCanvas::StretchDraw(const TRect& rect, const Bitmap& bitmap) {
  if (bitmap.Empty()) return;
  ApplyCopy();
  painter_->drawImage(QRect(rect.left, rect.top, rect.Width(), rect.Height()), ViewOf(bitmap));
}

void QtCanvas::StretchBlt(const TRect& dest, const Bitmap& source, const TRect& sourceRect, Rop3 rop) {
  // An unscaled copy of opaque pixels is a block of rows into the image, through the clip;
  // the painter would first copy the whole bitmap into an image of its own.
  if (rop == Rop3::SrcCopy && image_ && !source.transparent && !source.HasAlpha() && !dest.IsEmpty() &&
      dest.Width() == sourceRect.Width() && dest.Height() == sourceRect.Height() && sourceRect.left >= 0 &&
      sourceRect.top >= 0 && sourceRect.right <= source.Width() && sourceRect.bottom <= source.Height()) {
    WriteBlock(source, sourceRect, dest.left, dest.top, false);
    return;
  }
  const QRect target(dest.left, dest.top, dest.Width(), dest.Height());
  QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
  bool usesSource = true;
  QBrush fill;
  switch (rop) {
    case Rop3::SrcCopy: break;
    case Rop3::SrcPaint: mode = QPainter::RasterOp_SourceOrDestination; break;
    case Rop3::SrcAnd: mode = QPainter::RasterOp_SourceAndDestination; break;
    case Rop3::SrcInvert: mode = QPainter::RasterOp_SourceXorDestination; break;
    case Rop3::SrcErase: mode = QPainter::RasterOp_SourceAndNotDestination; break;
    case Rop3::NotSrcCopy: mode = QPainter::RasterOp_NotSource; break;
    case Rop3::MergePaint: mode = QPainter::RasterOp_NotSourceOrDestination; break;
    case Rop3::PatCopy:
      usesSource = false;
      fill = MakeBrush(state_.brush);
      break;
    case Rop3::PatInvert:
      usesSource = false;
      mode = QPainter::RasterOp_SourceXorDestination;
      fill = MakeBrush(state_.brush);
      break;
    case Rop3::DstInvert:
      usesSource = false;
      mode = QPainter::RasterOp_NotDestination;
      fill = QBrush(Qt::black);
      break;
    case Rop3::Blackness:
      usesSource = false;
      fill = QBrush(Qt::black);
      break;
    case Rop3::Whiteness:
      usesSource = false;
      fill = QBrush(Qt::white);
      break;
  }
  if (!image_ || ropsAsCopy_) mode = QPainter::CompositionMode_SourceOver;
  painter_->setCompositionMode(mode);
  if (usesSource) {
    if (!source.Empty()) {
      QImage image = ViewOf(source);
      if (image.hasAlphaChannel()) image = image.convertToFormat(QImage::Format_RGB32);
      painter_->drawImage(target, image, QRect(sourceRect.left, sourceRect.top, sourceRect.Width(), sourceRect.Height()));
    }
  } else {
    painter_->fillRect(target, fill);
  }
  ApplyCopy();
}

}  // namespace pv::qtcanvas
