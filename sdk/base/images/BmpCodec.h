// The Windows bitmap file format: 8-bit palette files in, 8 and 24 bits out.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "vela/image.h"

namespace vela::render {

// An 8-bit grey image as read from a file: rows top-down, unpadded.
struct DecodedBmp {
  int32_t width = 0;
  int32_t height = 0;
  int32_t xResolution = 0;
  int32_t yResolution = 0;
  std::vector<uint8_t> pixels;
};

// Throws invalid_argument for anything that is not a readable
// uncompressed 8-bit file; checks every size before allocating.
DecodedBmp DecodeBmp(std::span<const uint8_t> file);

// The whole file for an 8- or 24-bit image, rows taken at the image's
// GetRowBytes() stride. Other depths throw invalid_argument
// "unimplemented bitmap format !".
std::vector<uint8_t> EncodeBmp(const vela::base::Image& image);

int32_t DpiFromPixelsPerMeter(int32_t pixelsPerMeter);
int32_t PixelsPerMeterFromDpi(int32_t dpi);

}  // namespace vela::render
