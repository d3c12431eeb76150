#include "paths/PathQueries.h"

#include <algorithm>

#include "paths/PathWalk.h"

namespace pv::graphics {

bool GetPathBounds(std::span<const TPoint> points, std::span<const uint8_t> types, TRect& bounds,
                   const TPathFigureInfos* infos) {
  bounds = {};
  if (points.empty()) return false;
  TPathWalkInfo walk;
  walk.mode = TPathWalkMode::Bounds;
  walk.infos = infos;
  walk.bounds = {points[0].x, points[0].y, points[0].x, points[0].y};
  walk.boundsStarted = true;
  const bool ok = PathWalk(points, types, walk);
  bounds = walk.bounds;
  return ok;
}

bool CreatePlatformPath(canvas::Canvas& canvas, std::span<const TPoint> points, std::span<const uint8_t> types,
                        const TPathFigureInfos* infos, bool integerMode, bool closed, bool open) {
  TPathWalkInfo walk;
  walk.mode = TPathWalkMode::PlatformPath;
  walk.canvas = &canvas;
  walk.infos = infos;
  walk.integerMode = integerMode;
  walk.walkClosed = closed;
  walk.walkOpen = open;
  canvas.BeginPath();
  if (!PathWalk(points, types, walk)) {
    canvas.AbortPath();
    return false;
  }
  canvas.EndPath();
  return true;
}

bool PathHitTest(std::span<const TPoint> points, std::span<const uint8_t> types, TPoint point,
                 const TPathFigureInfos* infos, TPathNearest* nearest, double tolerance, bool testInside,
                 bool testOutline) {
  if (nearest) *nearest = TPathNearest{};
  TPathWalkInfo walk;
  walk.mode = TPathWalkMode::HitTest;
  walk.infos = infos;
  walk.testPoint = point;
  walk.nearest = nearest;
  walk.testInside = testInside;
  walk.walkClosed = testInside || testOutline;
  walk.walkOpen = testOutline;
  walk.tolerance = testOutline ? tolerance : 0;
  if (!PathWalk(points, types, walk)) return false;
  if (walk.hit || !testInside) return walk.hit;
  // The list grows with the crossings, however many a zig-zag makes.
  const auto& xs = walk.crossings;
  const auto it = std::lower_bound(xs.begin(), xs.end(), static_cast<int64_t>(point.x));
  if (it == xs.end()) return false;
  return (it - xs.begin()) % 2 == 1 || *it == point.x;
}

bool FlattenPath(TPointArray& points, TTypeArray& types, const TPathFigureInfos* infos, double factor) {
  TPointList list(32);
  TPathWalkInfo walk;
  walk.mode = TPathWalkMode::Flatten;
  walk.infos = infos;
  walk.output = &list;
  walk.factor = factor;
  if (!PathWalk(points, types, walk)) return false;
  points.resize(static_cast<size_t>(list.Count()));
  types.resize(static_cast<size_t>(list.Count()));
  for (int32_t i = 0; i < list.Count(); ++i) {
    points[static_cast<size_t>(i)] = {list[i].x, list[i].y};
    types[static_cast<size_t>(i)] = list[i].type;
  }
  return true;
}

bool FindNearestPathPoint(std::span<const TPoint> points, std::span<const uint8_t> types, TPoint point,
                          bool allowEnds, const TPathFigureInfos* infos, TPathNearest& nearest,
                          int32_t& segmentStart, int32_t& nextIndex) {
  segmentStart = nextIndex = -1;
  TPathFigureInfos built;
  if (!infos) {
    built = BuildFigureInfos(points, types);
    infos = &built;
  }
  PathHitTest(points, types, point, infos, &nearest, 0, false, true);
  if (!nearest.found) return false;
  const int32_t figure = FigureOfPoint(*infos, nearest.segmentStart);
  if (figure < 0) return false;
  const TPathFigureInfo& f = infos->figures[static_cast<size_t>(figure)];
  const TPoint found{nearest.x, nearest.y};
  segmentStart = nearest.segmentStart;
  nextIndex = nearest.segmentEnd;
  if (!f.closed) {
    // On an open figure's last node the next point goes after it; on its first, before it.
    if (nearest.segmentEnd == f.lastNode && found == points[static_cast<size_t>(f.lastNode)]) {
      segmentStart = f.lastNode;
      nextIndex = f.last + 1;
    } else if (nearest.segmentStart == f.first && found == points[static_cast<size_t>(f.first)]) {
      segmentStart = f.first;
      nextIndex = f.first - 1;
    }
  }
  return allowEnds || (nextIndex >= f.first && nextIndex <= f.last);
}

}  // namespace pv::graphics
