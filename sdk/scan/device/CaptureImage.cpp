#include "device/CaptureImage.h"

#include <algorithm>
#include <limits>

namespace vela::scan {

using vela::base::exceptions::invalid_argument;
using vela::base::exceptions::not_implemented;

CaptureImage::CaptureImage(int32_t width, int32_t height, int32_t bitsPerPixel, int32_t xResolution,
                           int32_t yResolution, int32_t rowBytes)
    : width(width),
      height(height),
      bitsPerPixel(bitsPerPixel),
      xResolution(xResolution),
      yResolution(yResolution),
      rowBytes(rowBytes) {
  if (width < 0 || height < 0 || bitsPerPixel <= 0 || bitsPerPixel % 8 != 0 || rowBytes < 0)
    throw invalid_argument();
  if (int64_t{width} * (bitsPerPixel / 8) > rowBytes) throw invalid_argument();
  // Three bytes a pixel after ConvertTo24Bpp must stay addressable too.
  if (int64_t{height} * std::max<int64_t>(rowBytes, int64_t{width} * 3) >
      std::numeric_limits<int32_t>::max())
    throw invalid_argument();
  pixels.assign(size_t(height) * size_t(rowBytes), 0);
}

CaptureImage::~CaptureImage() {
  // A capture that still fills the pixels ends first.
  pixelLock.lock();
  pixelLock.unlock();
}

const uint8_t* CaptureImage::GetData() const {
  concurrency::ScopedLock hold(pixelLock);
  return pixels.data();
}

uint8_t* CaptureImage::GetData() {
  concurrency::ScopedLock hold(pixelLock);
  return pixels.data();
}

void CaptureImage::ConvertTo24Bpp() {
  concurrency::ScopedLock hold(pixelLock);
  if (bitsPerPixel != 8) return;
  // Rows are read at the image's own stride, so padded rows convert too; the
  // new rows are unpadded.
  const int32_t newRowBytes = width * 3;
  std::vector<uint8_t> converted(size_t(height) * size_t(newRowBytes));
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* source = pixels.data() + size_t(y) * size_t(rowBytes);
    uint8_t* target = converted.data() + size_t(y) * size_t(newRowBytes);
    for (int32_t x = 0; x < width; ++x) {
      target[3 * x] = target[3 * x + 1] = target[3 * x + 2] = source[x];
    }
  }
  pixels = std::move(converted);
  rowBytes = newRowBytes;
  bitsPerPixel = 24;
}

void CaptureImage::ConvertTo8Bpp() { throw not_implemented(); }

}  // namespace vela::scan
