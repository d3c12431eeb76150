#pragma once
// Narrowing a canvas's clip for one paint and putting it back afterwards.

#include <optional>

#include "canvas/Canvas.h"

namespace pv::graphics {

using namespace pv::canvas;

// When the canvas has a clip, returns it and clips to its intersection with region; else
// region becomes the clip and none is returned. RestoreClip puts the returned value back.
std::optional<Region> IntersectClipRgn(Canvas& canvas, const Region& region);
// The same with the canvas's current path (ended, not yet used); a path that gives no pixels
// leaves nothing to paint into.
std::optional<Region> IntersectClipPath(Canvas& canvas);
// Selects the saved clip again; none removes clipping.
void RestoreClip(Canvas& canvas, const std::optional<Region>& saved);

}  // namespace pv::graphics
