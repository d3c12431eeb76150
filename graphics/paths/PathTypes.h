#pragma once
// A path as curves, polylines and connectors keep it: integer points (document units) with a
// parallel array of point types, split into figures.

#include <cstdint>
#include <span>
#include <vector>

#include "canvas/CanvasTypes.h"

namespace pv::graphics {

using canvas::TPoint;
using canvas::TRect;

// Point types, one byte per point.
enum TPointType : uint8_t {
  ptNode = 0,            // the next point continues the figure
  ptEndNode = 1,         // last node of an open figure
  ptEndNodeClose = 2,    // last node of a closed figure: a segment runs back to the first node
  ptControl = 3,         // a node and two control points start a cubic to the next node
};

using TPointArray = std::vector<TPoint>;
using TTypeArray = std::vector<uint8_t>;

struct TPathFigureInfo {
  int32_t first = 0;
  int32_t lastNode = 0;
  int32_t last = 0;  // the last node, or the second control point of a closing curve
  bool closed = false;
  bool hasCurves = false;
};

struct TPathFigureInfos {
  std::vector<TPathFigureInfo> figures;
  int32_t pathLength = 0;
  bool anyCurves = false;
};

// Unequal or empty arrays give no figures; points after the last figure end belong to none.
TPathFigureInfos BuildFigureInfos(std::span<const TPoint> points, std::span<const uint8_t> types);
// The figure whose first..last range holds index, or -1.
int32_t FigureOfPoint(const TPathFigureInfos& infos, int32_t index);

// A growable list of points with types; the growth step starts at the initial capacity and
// doubles after each growth.
class TPointList {
 public:
  struct Item {
    int32_t x = 0;
    int32_t y = 0;
    uint8_t type = ptNode;
  };
  explicit TPointList(int32_t capacity = 32);
  void Add(int32_t x, int32_t y, uint8_t type);
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  Item& operator[](int32_t i) { return items_[static_cast<size_t>(i)]; }
  const Item& operator[](int32_t i) const { return items_[static_cast<size_t>(i)]; }
  Item& Last() { return items_.back(); }
  void RemoveLast() { items_.pop_back(); }
  size_t Capacity() const { return items_.capacity(); }

 private:
  std::vector<Item> items_;
  size_t step_;
};

// The nearest point of a path found so far.
struct TPathNearest {
  int32_t x = 0;
  int32_t y = 0;
  int32_t segmentStart = -1;  // the node where the nearest point's segment starts
  int32_t segmentEnd = -1;    // the node where it ends
  int32_t bestIndex = -1;     // -1 while nothing is found
  double bestDistance = 0;    // squared
  bool found = false;
  double t = 0;               // the curve parameter of the point on a curve segment
};

}  // namespace pv::graphics
