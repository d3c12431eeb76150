#pragma once
// The pixel areas of boxes and ellipses over their pixel rectangle: what a bitmap or gradient
// fill is clipped to when painting, and what a click must fall in to hit the shape. A shape
// with a clear brush is hit on a band along its outline only. An area is built as a region for
// clipping; a click is tested against it directly, which costs the same for any size of shape.

#include <cstdint>
#include <optional>

#include "canvas/Region.h"

namespace pv::graphics {

struct TShapeRegionParams {
  int32_t penPixels = 0;    // the pen's width in pixels at the panel's scale
  bool hitTest = false;     // the area a click is tested against (else the paint area)
  bool outlineOnly = false; // hit test: cut the interior out, leaving a band along the outline
};

// A rectangle, or a rounded rectangle with corner diameters (an ellipse when they are the
// whole width and height), as the platform's regions cover them.
struct TPixelOutline {
  canvas::TRect rect;
  bool rounded = false;
  int32_t cornerWidth = 0;
  int32_t cornerHeight = 0;
};

// Inside outer, and outside inner when there is one.
struct TShapeArea {
  TPixelOutline outer;
  std::optional<TPixelOutline> inner;

  canvas::Region ToRegion() const;
  // Only the rows that window covers: the clip of a shape far larger than the screen.
  canvas::Region ToRegionWithin(const canvas::TRect& window) const;
  bool Contains(int32_t x, int32_t y) const;
};

// roundness: the corner diameter in pixels (0 for square corners).
TShapeArea BoxArea(const canvas::TRect& rect, int32_t roundness, const TShapeRegionParams& params);
TShapeArea EllipseArea(const canvas::TRect& rect, const TShapeRegionParams& params);

inline canvas::Region BoxRegion(const canvas::TRect& rect, int32_t roundness, const TShapeRegionParams& params) {
  return BoxArea(rect, roundness, params).ToRegion();
}
inline canvas::Region EllipseRegion(const canvas::TRect& rect, const TShapeRegionParams& params) {
  return EllipseArea(rect, params).ToRegion();
}

// Whether (x, y) may lie in a hit-test area over rect: every one lies within the rect grown
// by the hit margin (2 pixels) and the pixel a thin outline reaches right and down. A cheap
// test that spares the exact one for the shapes a click is far from.
bool MayHitShape(const canvas::TRect& rect, int32_t x, int32_t y);

}  // namespace pv::graphics
