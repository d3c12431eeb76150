#pragma once
// Orthogonal routing of a connector: keeps, adjusts or recomputes its points so that the line
// runs in horizontal and vertical segments, leaves and enters the linked controls on one of
// their sides and keeps a gap around them.

#include <cstdint>

#include "paths/PathTypes.h"

namespace pv::graphics {

// The connector's `RerouteMode`.
enum TRerouteMode : uint8_t { rmAlways = 0, rmAsNeeded = 1, rmNever = 2 };

// Everything in document units relative to the connector's origin.
struct TRouteInfo {
  TRect rectA;  // the control linked at end A, or an empty rectangle at link point A
  TRect rectB;
  uint8_t rerouteMode = rmAlways;
  bool orthogonal = true;
  int32_t gap = 0;  // negative gaps count as none
  bool sameControl = false;
  TPoint linkA;
  TPoint linkB;
};

// Sizes both arrays to n, types 0 ... 0, 1.
void SetRouteLength(TPointArray& points, TTypeArray& types, int32_t n);

// True when the points were set (kept, adjusted or newly routed); false, leaving them as they
// are, when the arrays differ in length or the path is not a single open polyline.
bool RouteOrthogonal(TPointArray& points, TTypeArray& types, const TRouteInfo& info);

}  // namespace pv::graphics
