#pragma once
// PNG files through libpng. A picture has no PNG kind of its own: a PNG read here becomes a
// bitmap (so documents keep the kinds every reader knows), with its alpha when any pixel is
// not opaque.

#include <span>
#include <vector>

#include "canvas/Bitmap.h"
#include "picture/Graphic.h"  // PictureError

namespace pv::picture {

// Throws PictureError for bytes that are no PNG file, a damaged one, or one too large.
canvas::Bitmap ReadPng(std::span<const uint8_t> bytes);
// An RGB (or, for an alpha bitmap, RGBA) PNG file of the bitmap.
std::vector<uint8_t> WritePng(const canvas::Bitmap& bitmap);

}  // namespace pv::picture
