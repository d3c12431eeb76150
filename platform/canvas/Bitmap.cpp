#include "canvas/Bitmap.h"

#include <algorithm>

namespace pv::canvas {

namespace {

// 0x00BBGGRR <-> 0x00RRGGBB: the same swap both ways.
uint32_t SwapRedBlue(uint32_t v) {
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

}  // namespace

Bitmap::Bitmap(int32_t width, int32_t height, TColor fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
  if (width_ == 0 || height_ == 0) width_ = height_ = 0;
  pixels_.assign(static_cast<size_t>(width_) * height_, SwapRedBlue(ColorToRGB(fill)));
}

Bitmap Bitmap::Argb(int32_t width, int32_t height, uint32_t argb) {
  Bitmap bitmap(width, height);
  bitmap.format_ = PixelFormat::Argb32;
  std::fill(bitmap.pixels_.begin(), bitmap.pixels_.end(), argb);
  return bitmap;
}

void Bitmap::Resize(int32_t width, int32_t height, PixelFormat format) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  if (width_ == 0 || height_ == 0) width_ = height_ = 0;
  format_ = format;
  pixels_.resize(static_cast<size_t>(width_) * height_);
}

void Bitmap::DropAlpha() {
  if (format_ != PixelFormat::Argb32) return;
  for (uint32_t& p : pixels_) p &= 0x00FFFFFFu;
  format_ = PixelFormat::Rgb32;
}

void Bitmap::Reset(int32_t width, int32_t height, PixelFormat format, uint32_t raw) {
  Resize(width, height, format);
  std::fill(pixels_.begin(), pixels_.end(), raw);
}

uint32_t Bitmap::GetPixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  return SwapRedBlue(Row(y)[x] & 0x00FFFFFFu);
}

void Bitmap::SetPixel(int32_t x, int32_t y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = SwapRedBlue(ColorToRGB(color)) | (HasAlpha() ? 0xFF000000u : 0u);
}

uint32_t Bitmap::TransparentRGB() const {
  if (transparentColor != clDefault) return ColorToRGB(transparentColor);
  return Empty() ? 0 : GetPixel(0, height_ - 1);
}

}  // namespace pv::canvas
