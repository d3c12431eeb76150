#pragma once
// A region: a set of pixels, kept exactly as horizontal bands of x spans, so that point tests,
// bounds and combinations give the same answer whichever backend draws. Shapes follow the
// rectangle rule of the platform: a rectangle covers left <= x < right and top <= y < bottom;
// ellipses, rounded rectangles and polygons cover the pixels whose centres lie inside them.

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "canvas/CanvasTypes.h"

namespace pv::canvas {

class Region {
 public:
  Region() = default;  // empty

  static Region FromRect(const TRect& rect);  // corners in either order
  // Corner ellipses of cornerWidth x cornerHeight pixels (diameters, clamped to the rectangle).
  static Region FromRoundRect(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight);
  static Region FromEllipse(const TRect& rect);
  // Only the rows firstRow <= y < endRow of FromRoundRect: what a clip of a huge shape needs
  // where a window shows a part of it.
  static Region FromRoundRectRows(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight, int32_t firstRow,
                                  int32_t endRow);
  // Whether FromRoundRect (FromEllipse) of the same arguments holds (x, y), answered for the
  // one row without building the region: a hit test on a huge shape costs no memory.
  static bool RoundRectContains(const TRect& rect, int32_t cornerWidth, int32_t cornerHeight, int32_t x, int32_t y);
  static bool EllipseContains(const TRect& rect, int32_t x, int32_t y);
  static Region FromPolygon(std::span<const TPoint> points, PolyFillMode mode);
  // Several polygons filled together; counts gives the number of points of each.
  static Region FromPolyPolygon(std::span<const TPoint> points, std::span<const int32_t> counts,
                                PolyFillMode mode);
  static Region Combine(const Region& a, const Region& b, RegionMode mode);
  // The union of many rectangles (corners in order; empty ones are ignored) built in one
  // sweep: uniting them pairwise would cost time quadratic in their number.
  static Region FromRects(std::span<const TRect> rects);

  bool Contains(int32_t x, int32_t y) const;
  bool IsEmpty() const { return bands_.empty(); }
  TRect Bounds() const;  // all zero when empty
  void Offset(int32_t dx, int32_t dy);
  // The region as rectangles, top to bottom and left to right within a band.
  std::vector<TRect> Rects() const;

  friend bool operator==(const Region&, const Region&) = default;

 private:
  using Span = std::pair<int32_t, int32_t>;  // [first, second)
  struct Band {
    int32_t top = 0;
    int32_t bottom = 0;
    std::vector<Span> spans;  // sorted, disjoint, not touching
    friend bool operator==(const Band&, const Band&) = default;
  };

  // Appends a band below the last one, merging it when it continues the last band's spans.
  void AppendBand(int32_t top, int32_t bottom, std::vector<Span> spans);
  const std::vector<Span>* SpansAt(int32_t y) const;

  std::vector<Band> bands_;  // sorted by top, not overlapping
};

}  // namespace pv::canvas
