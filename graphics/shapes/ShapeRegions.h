#pragma once
// The pixel regions of boxes and ellipses over their pixel rectangle: what a bitmap or
// gradient fill is clipped to when painting, and what a click must fall in to hit the shape.
// A shape with a clear brush is hit on a band along its outline only.

#include <cstdint>

#include "canvas/Region.h"

namespace pv::graphics {

struct TShapeRegionParams {
  int32_t penPixels = 0;    // the pen's width in pixels at the panel's scale
  bool hitTest = false;     // the region a click is tested against (else the paint region)
  bool outlineOnly = false; // hit test: cut the interior out, leaving a band along the outline
};

// roundness: the corner diameter in pixels (0 for square corners).
canvas::Region BoxRegion(const canvas::TRect& rect, int32_t roundness, const TShapeRegionParams& params);

canvas::Region EllipseRegion(const canvas::TRect& rect, const TShapeRegionParams& params);

}  // namespace pv::graphics
