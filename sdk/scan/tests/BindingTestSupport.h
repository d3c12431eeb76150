#pragma once
// Shared by the bindings' tests: reading a captured image back.

#include <cstdint>
#include <vector>

#include "device/CaptureImage.h"

// The image's pixels, row after row, without row padding.
inline std::vector<uint8_t> Rows(const vela::base::Image& image) {
  std::vector<uint8_t> bytes;
  const uint8_t* data = image.GetData();
  const int32_t rowLength = image.GetWidth() * image.GetBitsPerPixel() / 8;
  for (int32_t r = 0; r < image.GetHeight(); ++r)
    bytes.insert(bytes.end(), data + size_t(r) * size_t(image.GetRowBytes()),
                 data + size_t(r) * size_t(image.GetRowBytes()) + rowLength);
  return bytes;
}
