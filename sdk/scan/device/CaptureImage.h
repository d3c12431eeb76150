#pragma once

#include <cstdint>
#include <vector>

#include "concurrency/RecursiveEventLock.h"
#include "vela/image.h"

namespace vela::scan {

// The image a scanner hands out. The device's worker holds the pixel lock
// from before the image is published until its capture has ended, so a
// reader's GetData waits for complete pixels. The worker fills the pixels
// through GetData too: the lock lets its holder in again.
class CaptureImage final : public vela::base::Image {
 public:
  // Zero-filled pixels of height x rowBytes bytes. invalid_argument for
  // negative sizes, rows shorter than width pixels or an unaddressable buffer.
  CaptureImage(int32_t width, int32_t height, int32_t bitsPerPixel, int32_t xResolution,
               int32_t yResolution, int32_t rowBytes);

  int32_t GetWidth() const override { return width; }
  int32_t GetHeight() const override { return height; }
  int32_t GetBitsPerPixel() const override { return bitsPerPixel; }
  int32_t GetXResolution() const override { return xResolution; }
  int32_t GetYResolution() const override { return yResolution; }
  int32_t GetRowBytes() const override { return rowBytes; }
  const uint8_t* GetData() const override;
  uint8_t* GetData() override;
  // 8 bits to 24 (each grey byte three times); other depths stay as they are.
  void ConvertTo24Bpp() override;
  // not_implemented.
  void ConvertTo8Bpp() override;

  concurrency::RecursiveEventLock& PixelLock() const { return pixelLock; }

 protected:
  ~CaptureImage() override;

 private:
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
  int32_t xResolution;
  int32_t yResolution;
  int32_t rowBytes;
  std::vector<uint8_t> pixels;
  mutable concurrency::RecursiveEventLock pixelLock;
};

}  // namespace vela::scan
