#include "shapes/ShapeRegions.h"

#include <algorithm>

namespace pv::graphics {

using canvas::Region;
using canvas::RegionMode;
using canvas::TRect;

namespace {

TRect Inflate(const TRect& r, int32_t d) { return {r.left - d, r.top - d, r.right + d, r.bottom + d}; }

// A wide inside-frame pen draws within (left + 1, top + 1, right, bottom) of the shape's
// outline box; a thin one reaches one pixel further right and down.
TRect OutlineBox(const TRect& r, int32_t pw) {
  return pw > 1 ? TRect{r.left + 1, r.top + 1, r.right, r.bottom} : TRect{r.left, r.top, r.right + 1, r.bottom + 1};
}

}  // namespace

Region BoxRegion(const TRect& rect, int32_t roundness, const TShapeRegionParams& params) {
  int32_t pw = params.penPixels;
  TRect r = rect;
  if (params.hitTest) {
    pw = std::min(pw, 2);
    r = Inflate(r, pw);
  }
  const Region outer = roundness == 0 ? Region::FromRect(r) : Region::FromRoundRect(OutlineBox(r, pw), roundness, roundness);
  if (!params.hitTest || !params.outlineOnly) return outer;
  const int32_t band = std::max(params.penPixels, 3);
  const TRect in = Inflate(r, -(pw + band));
  // A box too small for a band inside its outline is hit all over.
  if (in.right - 1 <= in.left || in.bottom - 1 <= in.top) return outer;
  const Region inner = roundness == 0
                           ? Region::FromRect({in.left, in.top, in.right - 1, in.bottom - 1})
                           : Region::FromRoundRect({in.left, in.top, in.right + 1, in.bottom + 1},
                                                   std::max(roundness - band, 0), std::max(roundness - band, 0));
  return Region::Combine(outer, inner, RegionMode::Xor);
}

Region EllipseRegion(const TRect& rect, const TShapeRegionParams& params) {
  int32_t pw = params.penPixels;
  TRect r = rect;
  if (params.hitTest) {
    pw = 2;
    r = Inflate(r, 2);
  }
  const Region outer = Region::FromEllipse(OutlineBox(r, pw));
  if (!params.hitTest || !params.outlineOnly) return outer;
  const TRect in = Inflate(r, -std::max(params.penPixels + 4, 2));
  if (in.right - 1 <= in.left + 2 || in.bottom - 1 <= in.top + 2) return outer;
  const Region inner = Region::FromEllipse({in.left + 2, in.top + 2, in.right - 1, in.bottom - 1});
  return Region::Combine(outer, inner, RegionMode::Xor);
}

}  // namespace pv::graphics
