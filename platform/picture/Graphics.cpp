#include "picture/Graphics.h"

#include <algorithm>
#include <cmath>

#include "picture/BmpCodec.h"
#include "picture/ByteReader.h"
#include "picture/IconCodec.h"
#include "picture/JpegCodec.h"

namespace pv::picture {

namespace {

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr uint32_t kEmrHeader = 1;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr int32_t kPixelsPerInch = 96;

int32_t Clamped(double v) { return static_cast<int32_t>(std::clamp(std::round(v), 0.0, 1e9)); }

}  // namespace

void BitmapGraphic::Draw(Canvas& canvas, const TRect& rect) const {
  if (!bitmap_.Empty()) canvas.StretchDraw(rect, bitmap_);
}

void BitmapGraphic::LoadFromBytes(std::span<const uint8_t> bytes) {
  Bitmap read = ReadBmp(bytes);
  read.transparent = bitmap_.transparent;
  read.transparentColor = bitmap_.transparentColor;
  bitmap_ = std::move(read);
}

std::vector<uint8_t> BitmapGraphic::SaveToBytes() const {
  if (bitmap_.Empty()) return {};
  return WriteBmp(bitmap_);
}

void JpegGraphic::Draw(Canvas& canvas, const TRect& rect) const {
  if (!pixels_.Empty()) canvas.StretchDraw(rect, pixels_);
}

void EncodedGraphic::LoadFromBytes(std::span<const uint8_t> bytes) {
  Bitmap pixels = Decode(bytes);
  bytes_.assign(bytes.begin(), bytes.end());
  pixels_ = std::move(pixels);
}

Bitmap JpegGraphic::Decode(std::span<const uint8_t> bytes) const { return ReadJpeg(bytes); }

void JpegGraphic::Assign(const Bitmap& bitmap, int quality) { LoadFromBytes(WriteJpeg(bitmap, quality)); }

void IconGraphic::Draw(Canvas& canvas, const TRect& rect) const {
  if (pixels_.Empty()) return;
  if (transparent_) {
    canvas.StretchDraw(rect, pixels_);
    return;
  }
  Bitmap opaque(pixels_.Width(), pixels_.Height());
  for (int32_t y = 0; y < opaque.Height(); ++y) {
    for (int32_t x = 0; x < opaque.Width(); ++x) opaque.Row(y)[x] = pixels_.Row(y)[x] & 0x00FFFFFFu;
  }
  canvas.StretchDraw(rect, opaque);
}

Bitmap IconGraphic::Decode(std::span<const uint8_t> bytes) const { return ReadIco(bytes); }

void MetafileGraphic::Draw(Canvas& canvas, const TRect& rect) const {
  if (bytes_.empty() || rect.IsEmpty()) return;
  const canvas::Pen saved = canvas.GetPen();
  const canvas::Brush savedBrush = canvas.GetBrush();
  canvas.SetPen(canvas::Pen{canvas::PenStyle::Solid, 1, canvas::clGray, canvas::PenMode::Copy});
  canvas.SetBrush(canvas::Brush{canvas::BrushStyle::Clear, canvas::clWhite, nullptr});
  canvas.Rectangle(rect);
  canvas.MoveTo(rect.left, rect.top);
  canvas.LineTo(rect.right - 1, rect.bottom - 1);
  canvas.MoveTo(rect.right - 1, rect.top);
  canvas.LineTo(rect.left, rect.bottom - 1);
  canvas.SetBrush(savedBrush);
  canvas.SetPen(saved);
}

void MetafileGraphic::LoadFromBytes(std::span<const uint8_t> bytes) {
  const ByteReader r(bytes, "Metafile");
  int32_t width = 0;
  int32_t height = 0;
  bool enhanced = false;
  if (r.U32(0) == kPlaceableKey) {
    // Bounds in logical units, and how many of them make an inch.
    const int32_t left = r.I16(6), top = r.I16(8), right = r.I16(10), bottom = r.I16(12);
    const uint16_t inch = r.U16(14);
    if (inch == 0) throw PictureError("Metafile: bad header");
    width = Clamped(std::abs(right - left) * double(kPixelsPerInch) / inch);
    height = Clamped(std::abs(bottom - top) * double(kPixelsPerInch) / inch);
  } else if (r.U32(0) == kEmrHeader && r.U32(40) == kEmfSignature) {
    // The picture frame, in hundredths of a millimetre, inclusive.
    const int32_t left = r.I32(24), top = r.I32(28), right = r.I32(32), bottom = r.I32(36);
    width = Clamped((static_cast<double>(right) - left) * kPixelsPerInch / 2540.0);
    height = Clamped((static_cast<double>(bottom) - top) * kPixelsPerInch / 2540.0);
    enhanced = true;
  } else if (!((r.U16(0) == 1 || r.U16(0) == 2) && r.U16(2) == 9)) {
    throw PictureError("Metafile: not a metafile");
  }
  bytes_.assign(bytes.begin(), bytes.end());
  width_ = width;
  height_ = height;
  enhanced_ = enhanced;
}

}  // namespace pv::picture
