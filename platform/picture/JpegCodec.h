#pragma once
// JPEG (JFIF) files through libjpeg. Library errors become PictureError("JPEG error #n"),
// n being the library's message code.

#include <span>
#include <vector>

#include "canvas/Bitmap.h"
#include "picture/Graphic.h"  // PictureError

namespace pv::picture {

canvas::Bitmap ReadJpeg(std::span<const uint8_t> bytes);
std::vector<uint8_t> WriteJpeg(const canvas::Bitmap& bitmap, int quality = 90);

}  // namespace pv::picture
