#pragma once
// The region of a bitmap's pixels that differ from a mask colour, scaled into a target rect:
// how a transparent bitmap is drawn through a clip.

#include <optional>

#include "canvas/Bitmap.h"
#include "canvas/Region.h"

namespace pv::graphics {

using namespace pv::canvas;

// Runs of pixels of source (a part of the bitmap) whose colour differs from maskRgb
// (0x00BBGGRR) become rectangles, scaled by the target's size over the source's (each
// coordinate rounded) and placed at the target's top-left. None for an empty source.
std::optional<Region> CreateRegionFromBitmap(const Bitmap& bitmap, const TRect& source, uint32_t maskRgb,
                                             const TRect& target);
// The whole bitmap.
std::optional<Region> CreateRegionFromBitmap(const Bitmap& bitmap, uint32_t maskRgb, const TRect& target);

// Narrows region to the bitmap's pixels that are not its transparent colour, scaled into rect.
void AddBitmapMaskRegion(const Bitmap& bitmap, const TRect& rect, Region& region);

}  // namespace pv::graphics
