#pragma once
// A device-independent 32-bit bitmap, rows top-down, each pixel 0x00RRGGBB in memory order
// blue, green, red, unused (the layout both the platform's DIB sections and a Qt RGB32 image
// use), so backends can wrap its memory without converting.

#include <cstdint>
#include <vector>

#include "canvas/CanvasTypes.h"

namespace pv::canvas {

class Bitmap {
 public:
  Bitmap() = default;
  // A negative size counts as empty.
  Bitmap(int32_t width, int32_t height, TColor fill = clWhite);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }

  // Outside the bitmap GetPixel answers CLR_INVALID and SetPixel does nothing.
  uint32_t GetPixel(int32_t x, int32_t y) const;  // as 0x00BBGGRR
  void SetPixel(int32_t x, int32_t y, TColor color);
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
  std::vector<uint32_t> pixels_;
};

}  // namespace pv::canvas
