#pragma once
// A bitmap shown in a rect: centred at a scale, stretched, or tiled from the rect's top-left.
// Tiling builds a surface of tiles by doubling copies and can keep it in a tile cache (held by
// a brush) for the next paint.

#include <memory>

#include "canvas/Canvas.h"

namespace pv::graphics {

using namespace pv::canvas;

enum class TBitmapDisplay : int32_t { bdCenter, bdTile, bdStretch };

struct TTileCache {
  std::unique_ptr<Bitmap> surface;
  int32_t width = 0;
  int32_t height = 0;
  void Drop() {
    surface.reset();
    width = height = 0;
  }
};

// Paints the part of rect inside clipRect. A transparent bitmap leaves its transparent colour
// out: through a clip to its other pixels when masked is set, else as the canvas draws
// transparent bitmaps. scalePercent sizes a centred bitmap.
void PaintBitmapDisplay(Canvas& canvas, const TRect& rect, const TRect& clipRect, bool masked, int32_t scalePercent,
                        TTileCache* cache, TBitmapDisplay display, const Bitmap* bitmap);

// Fills the top-left width x height of surface (at least that large) with copies of tile,
// doubling the copied area downwards and then rightwards.
void FillWithTiles(Bitmap& surface, const Bitmap& tile, int32_t width, int32_t height);

}  // namespace pv::graphics
