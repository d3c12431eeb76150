#pragma once
// BMP files: read with 1, 4, 8, 16, 24 or 32 bits a pixel, uncompressed or with bit fields,
// rows either way up; written with 24 bits (32 with an alpha mask for alpha bitmaps).

#include <span>
#include <vector>

#include "canvas/Bitmap.h"
#include "picture/Graphic.h"  // PictureError

namespace pv::picture {

// Throws PictureError for a file it cannot read.
canvas::Bitmap ReadBmp(std::span<const uint8_t> bytes);
std::vector<uint8_t> WriteBmp(const canvas::Bitmap& bitmap);

// A device-independent bitmap inside a larger file (an icon's images): the info header at
// headerAt, the pixels at pixelsAt (0: right after the header, masks and palette), and
// height rows when given (an icon's header counts its mask rows too).
struct DibImage {
  canvas::Bitmap bitmap;
  bool alphaUsed = false;  // a 32-bit image with alpha bytes that are not all 0
  size_t pixelsEnd = 0;    // where the pixel rows end
};
DibImage ReadDib(std::span<const uint8_t> bytes, size_t headerAt, size_t pixelsAt, int32_t height);

}  // namespace pv::picture
