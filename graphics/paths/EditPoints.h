#pragma once
// The point-editing operations offered to the user on a path's selected points.

#include "paths/PathTypes.h"

namespace pv::graphics {

enum TEditPointsOperation : int32_t {
  epMove = 0,           // move the selected points
  epJoin = 1,           // join two end nodes into one node
  epBreak = 2,          // break the path at inside nodes
  epConnect = 3,        // connect two end nodes with a segment
  epCurvesToLines = 4,  // the curve segments starting at selected nodes become lines
  epLinesToCurves = 5,  // the line segments starting at selected nodes become curves
};

struct TEditPointsOffset {
  int32_t dx = 0;
  int32_t dy = 0;
  bool follow = false;  // control points move with their node
};

// Bit n set: operation n can be applied to the selection (one flag per point).
uint32_t GetEditPointsCaps(std::span<const TPoint> points, std::span<const uint8_t> types,
                           std::span<const uint8_t> selected);

// True when something changed. Operations that are not offered change nothing.
bool EditPoints(TPointArray& points, TTypeArray& types, std::span<const uint8_t> selected,
                const TEditPointsOffset& offset, int32_t operation);

}  // namespace pv::graphics
