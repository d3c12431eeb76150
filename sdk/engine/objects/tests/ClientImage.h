// An image of a client's own making, as a client of libvela50.so would write
// one: rows unpadded, top-down, at 500 dpi unless told otherwise.
#pragma once

#include <cstdint>
#include <vector>

#include "vela/image.h"

namespace vela::test {

class ClientImage : public vela::base::Image {
 public:
  ClientImage(int32_t width, int32_t height, int32_t bitsPerPixel, std::vector<uint8_t> pixels,
              int32_t dpi = 500)
      : width(width), height(height), bitsPerPixel(bitsPerPixel), dpi(dpi), pixels(std::move(pixels)) {}

  int32_t GetWidth() const override { return width; }
  int32_t GetHeight() const override { return height; }
  int32_t GetBitsPerPixel() const override { return bitsPerPixel; }
  int32_t GetXResolution() const override { return dpi; }
  int32_t GetYResolution() const override { return dpi; }
  int32_t GetRowBytes() const override { return width * bitsPerPixel / 8; }
  const uint8_t* GetData() const override { return pixels.data(); }
  uint8_t* GetData() override { return pixels.data(); }
  void ConvertTo24Bpp() override {}
  void ConvertTo8Bpp() override {}

 private:
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
  int32_t dpi;
  std::vector<uint8_t> pixels;
};

}  // namespace vela::test
