// The library's own in-memory image: unpadded rows, 8 or 24 bits per pixel,
// read from and written to BMP files.
#pragma once

#include <cstdint>
#include <vector>

#include "vela/render.h"

namespace vela::render {

class BitmapImage final : public virtual BMP_Image {
 public:
  // pixels must hold width x height x bitsPerPixel / 8 bytes, rows top-down.
  BitmapImage(int32_t width, int32_t height, int32_t bitsPerPixel, std::vector<uint8_t> pixels,
              int32_t xResolution, int32_t yResolution);

  int32_t GetWidth() const override { return width; }
  int32_t GetHeight() const override { return height; }
  int32_t GetBitsPerPixel() const override { return bitsPerPixel; }
  int32_t GetXResolution() const override { return xResolution; }
  int32_t GetYResolution() const override { return yResolution; }
  int32_t GetRowBytes() const override;
  const uint8_t* GetData() const override { return pixels.data(); }
  uint8_t* GetData() override { return pixels.data(); }
  void ConvertTo24Bpp() override;
  void ConvertTo8Bpp() override;
  void Save(vela::base::smart_ptr<vela::base::OutputStream> stream) override;

 protected:
  ~BitmapImage() override;

 private:
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
  std::vector<uint8_t> pixels;
  int32_t yResolution;
  int32_t xResolution;
};

}  // namespace vela::render
