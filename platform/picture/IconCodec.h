#pragma once
// ICO files: the largest image held as a device-independent bitmap (1 to 32 bits a pixel) is
// read into an alpha bitmap, its transparency from the image's alpha or from its mask.
// Images stored as PNG are not read.

#include <span>
#include <vector>

#include "canvas/Bitmap.h"
#include "picture/Graphic.h"  // PictureError

namespace pv::picture {

canvas::Bitmap ReadIco(std::span<const uint8_t> bytes);
// One 32-bit image with its mask.
std::vector<uint8_t> WriteIco(const canvas::Bitmap& bitmap);

}  // namespace pv::picture
