#include "shapes/ShapeRegions.h"

#include <algorithm>
#include <climits>

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

TPixelOutline Plain(const TRect& r) { return {r, false, 0, 0}; }
TPixelOutline Rounded(const TRect& r, int32_t cw, int32_t ch) { return {r, true, cw, ch}; }
TPixelOutline Elliptic(const TRect& r) { return {r, true, r.right - r.left, r.bottom - r.top}; }

Region OutlineRegion(const TPixelOutline& o, int32_t firstRow = INT32_MIN, int32_t endRow = INT32_MAX) {
  if (o.rounded) return Region::FromRoundRectRows(o.rect, o.cornerWidth, o.cornerHeight, firstRow, endRow);
  const TRect r{std::min(o.rect.left, o.rect.right), std::max(std::min(o.rect.top, o.rect.bottom), firstRow),
                std::max(o.rect.left, o.rect.right), std::min(std::max(o.rect.top, o.rect.bottom), endRow)};
  return r.IsEmpty() ? Region() : Region::FromRect(r);
}

bool OutlineContains(const TPixelOutline& o, int32_t x, int32_t y) {
  if (o.rounded) return Region::RoundRectContains(o.rect, o.cornerWidth, o.cornerHeight, x, y);
  return x >= std::min(o.rect.left, o.rect.right) && x < std::max(o.rect.left, o.rect.right) &&
         y >= std::min(o.rect.top, o.rect.bottom) && y < std::max(o.rect.top, o.rect.bottom);
}

}  // namespace

Region TShapeArea::ToRegion() const { return ToRegionWithin({0, INT32_MIN, 0, INT32_MAX}); }

Region TShapeArea::ToRegionWithin(const TRect& window) const {
  const Region outside = OutlineRegion(outer, window.top, window.bottom);
  if (!inner) return outside;
  return Region::Combine(outside, OutlineRegion(*inner, window.top, window.bottom), RegionMode::Xor);
}

bool TShapeArea::Contains(int32_t x, int32_t y) const {
  const bool in = OutlineContains(outer, x, y);
  return inner ? in != OutlineContains(*inner, x, y) : in;
}

TShapeArea BoxArea(const TRect& rect, int32_t roundness, const TShapeRegionParams& params) {
  int32_t pw = params.penPixels;
  TRect r = rect;
  if (params.hitTest) {
    pw = std::min(pw, 2);
    r = Inflate(r, pw);
  }
  TShapeArea area{roundness == 0 ? Plain(r) : Rounded(OutlineBox(r, pw), roundness, roundness), std::nullopt};
  if (!params.hitTest || !params.outlineOnly) return area;
  const int32_t band = std::max(params.penPixels, 3);
  const TRect in = Inflate(r, -(pw + band));
  // A box too small for a band inside its outline is hit all over.
  if (in.right - 1 <= in.left || in.bottom - 1 <= in.top) return area;
  const int32_t corner = std::max(roundness - band, 0);
  area.inner = roundness == 0 ? Plain({in.left, in.top, in.right - 1, in.bottom - 1})
                              : Rounded({in.left, in.top, in.right + 1, in.bottom + 1}, corner, corner);
  return area;
}

TShapeArea EllipseArea(const TRect& rect, const TShapeRegionParams& params) {
  int32_t pw = params.penPixels;
  TRect r = rect;
  if (params.hitTest) {
    pw = 2;
    r = Inflate(r, 2);
  }
  TShapeArea area{Elliptic(OutlineBox(r, pw)), std::nullopt};
  if (!params.hitTest || !params.outlineOnly) return area;
  const TRect in = Inflate(r, -std::max(params.penPixels + 4, 2));
  if (in.right - 1 <= in.left + 2 || in.bottom - 1 <= in.top + 2) return area;
  area.inner = Elliptic({in.left + 2, in.top + 2, in.right - 1, in.bottom - 1});
  return area;
}

bool MayHitShape(const TRect& rect, int32_t x, int32_t y) {
  const int64_t reach = 3;
  return x >= rect.left - reach && x < rect.right + reach && y >= rect.top - reach && y < rect.bottom + reach;
}

}  // namespace pv::graphics
