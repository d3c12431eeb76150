#pragma once
// A device-independent 32-bit bitmap, rows top-down, each pixel 0x00RRGGBB in memory order
// blue, green, red, unused (the layout both the platform's DIB sections and a Qt RGB32 image
// use), so backends can wrap its memory without converting. An Argb32 bitmap keeps a
// straight (not premultiplied) alpha in the top byte: 0 is clear, 255 opaque.

#include <cstdint>
#include <vector>

#include "canvas/CanvasTypes.h"

namespace pv::canvas {

enum class PixelFormat : uint8_t { Rgb32, Argb32 };

class Bitmap {
 public:
  Bitmap() = default;
  // A negative size counts as empty.
  Bitmap(int32_t width, int32_t height, TColor fill = clWhite);
  // An alpha bitmap with every pixel set to argb (0xAARRGGBB).
  static Bitmap Argb(int32_t width, int32_t height, uint32_t argb = 0);
  // Gives the bitmap a new size and format with every pixel set to raw (0xAARRGGBB), reusing
  // its memory when that is large enough.
  void Reset(int32_t width, int32_t height, PixelFormat format, uint32_t raw);
  // The same without setting the pixels: what they hold afterwards is unspecified.
  void Resize(int32_t width, int32_t height, PixelFormat format);
  // An alpha bitmap becomes a plain one in its own memory, the alpha bytes cleared: a large
  // decoded image that turns out opaque is not copied.
  void DropAlpha();

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  PixelFormat Format() const { return format_; }
  bool HasAlpha() const { return format_ == PixelFormat::Argb32; }

  // Outside the bitmap GetPixel answers CLR_INVALID and SetPixel does nothing.
  uint32_t GetPixel(int32_t x, int32_t y) const;  // as 0x00BBGGRR
  void SetPixel(int32_t x, int32_t y, TColor color);  // opaque on an alpha bitmap
  uint32_t* Row(int32_t y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Row(int32_t y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }

  // When transparent, pixels of the transparent colour are not drawn; clDefault takes the
  // colour of the bottom-left pixel.
  bool transparent = false;
  TColor transparentColor = clDefault;
  uint32_t TransparentRGB() const;

  friend bool operator==(const Bitmap&, const Bitmap&) = default;

 private:
  int32_t width_ = 0;
  int32_t height_ = 0;
  PixelFormat format_ = PixelFormat::Rgb32;
  std::vector<uint32_t> pixels_;
};

}  // namespace pv::canvas
