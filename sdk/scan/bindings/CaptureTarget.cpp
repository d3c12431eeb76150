#include "bindings/CaptureTarget.h"

#include <cstring>
#include <stdexcept>

namespace vela::scan {

bool WithinLargestSide(int64_t width, int64_t height) {
  return width >= 1 && width <= kLargestSide && height >= 1 && height <= kLargestSide;
}

void RequireReportedSize(int64_t width, int64_t height, const char* failure) {
  if (!WithinLargestSide(width, height)) throw std::runtime_error(failure);
}

void RequireTargetSize(const CaptureImage& target, int64_t width, int64_t height, int64_t byteCount,
                       const char* failure) {
  RequireReportedSize(width, height, failure);
  if (width != target.GetWidth() || height != target.GetHeight() || byteCount < width * height ||
      byteCount > kLargestSide * kLargestSide)
    throw std::runtime_error(failure);
}

void CopyRows(CaptureImage& target, const uint8_t* source, size_t sourceStride, RowOrder order) {
  const size_t width = size_t(target.GetWidth()), height = size_t(target.GetHeight());
  const size_t rowBytes = size_t(target.GetRowBytes());
  uint8_t* pixels = target.GetData();
  for (size_t r = 0; r < height; ++r) {
    const size_t sourceRow = order == RowOrder::TopDown ? r : height - 1 - r;
    std::memcpy(pixels + r * rowBytes, source + sourceRow * sourceStride, width);
  }
}

}  // namespace vela::scan
