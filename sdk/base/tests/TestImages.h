// Test doubles for images: an Image with a padded stride and any depth.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "vela/image.h"

namespace vela::test {

// Rows `stride` bytes apart; the padding bytes hold 0xEE so a copier that
// ignores the stride shows it.
class StridedImage : public vela::base::Image {
 public:
  StridedImage(int32_t width, int32_t height, int32_t bitsPerPixel, int32_t stride,
               int32_t xResolution = 500, int32_t yResolution = 250)
      : width_(width), height_(height), bpp_(bitsPerPixel), stride_(stride),
        xResolution_(xResolution), yResolution_(yResolution),
        data_(size_t(stride) * size_t(height), 0xEE) {
    const int32_t rowBytes = std::min(stride, width * bitsPerPixel / 8);
    for (int32_t r = 0; r < height; ++r)
      for (int32_t i = 0; i < rowBytes; ++i) data_[size_t(r * stride + i)] = Value(r, i);
  }
  static uint8_t Value(int32_t row, int32_t byte) { return uint8_t(row * 16 + byte); }

  int32_t GetWidth() const override { return width_; }
  int32_t GetHeight() const override { return height_; }
  int32_t GetBitsPerPixel() const override { return bpp_; }
  int32_t GetXResolution() const override { return xResolution_; }
  int32_t GetYResolution() const override { return yResolution_; }
  int32_t GetRowBytes() const override { return stride_; }
  const uint8_t* GetData() const override { return data_.data(); }
  uint8_t* GetData() override { return data_.data(); }
  void ConvertTo24Bpp() override {}
  void ConvertTo8Bpp() override {}

 private:
  int32_t width_, height_, bpp_, stride_, xResolution_, yResolution_;
  std::vector<uint8_t> data_;
};

}  // namespace vela::test
