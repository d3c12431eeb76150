#include "paint/ClipHelpers.h"

namespace pv::graphics {

std::optional<Region> IntersectClipRgn(Canvas& canvas, const Region& region) {
  std::optional<Region> saved = canvas.GetClipRgn();
  canvas.ExtSelectClipRgn(region, saved ? RegionMode::And : RegionMode::Copy);
  return saved;
}

std::optional<Region> IntersectClipPath(Canvas& canvas) {
  std::optional<Region> saved = canvas.GetClipRgn();
  canvas.SelectClipPath(saved ? RegionMode::And : RegionMode::Copy);
  return saved;
}

void RestoreClip(Canvas& canvas, const std::optional<Region>& saved) { canvas.SelectClipRgn(saved); }

}  // namespace pv::graphics
