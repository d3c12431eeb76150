#pragma once
// Walking a path segment by segment, with cubic curves flattened on the way, for four uses:
// collecting the flattened points, hit testing (outline, inside, nearest point), bounds, and
// building a path on a canvas.

#include <vector>

#include "canvas/Canvas.h"
#include "paths/PathTypes.h"

namespace pv::graphics {

enum class TPathWalkMode : int32_t { Flatten = 0, HitTest = 1, Bounds = 2, PlatformPath = 3 };

// The deepest a curve is split: 2^20 pieces are finer than a unit for any 32-bit coordinates.
constexpr int kMaxCurveDepth = 20;

struct TPathWalkInfo {
  bool walkClosed = true;
  bool walkOpen = true;
  bool integerMode = false;  // curves go to the platform path whole
  TPathWalkMode mode = TPathWalkMode::Flatten;
  double factor = 1.0;  // control points within 1 / factor of the chord end the flattening
  const TPathFigureInfos* infos = nullptr;  // built on the fly when none
  TPoint current;
  TPoint segmentEnd;
  // Flatten
  TPointList* output = nullptr;
  // HitTest
  TPoint testPoint;
  double tolerance = 0;
  bool testInside = false;
  std::vector<int64_t> crossings;  // sorted x of the crossings of the test point's row
  TPathNearest* nearest = nullptr;
  bool hit = false;
  // Bounds: left/top/right/bottom all inclusive
  TRect bounds;
  bool boundsStarted = false;
  // PlatformPath
  canvas::Canvas* canvas = nullptr;
};

// False when the arrays differ in length, the figure infos are not of this path, or a control
// point stands where a node must (the walk stops there).
bool PathWalk(std::span<const TPoint> points, std::span<const uint8_t> types, TPathWalkInfo& info);

}  // namespace pv::graphics
