// Arbitrary point arrays, types, selections and operations through every path routine: each
// must refuse or succeed without touching memory it does not own.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "paths/EditPoints.h"
#include "paths/PathInsert.h"
#include "paths/PathQueries.h"

using namespace pv::graphics;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int32_t operation = data[0] % 8;
  const size_t count = std::min<size_t>((size - 1) / 6, 64);
  TPointArray points;
  TTypeArray types;
  std::vector<uint8_t> selected;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = data + 1 + i * 6;
    int16_t x, y;
    std::memcpy(&x, p, 2);
    std::memcpy(&y, p + 2, 2);
    points.push_back({x * 1000, y * 1000});
    types.push_back(p[4] % 4);
    selected.push_back(p[5] & 1);
  }
  const TPoint probe = points.empty() ? TPoint{} : TPoint{points[0].x + 1500, points[0].y - 700};
  TRect bounds;
  GetPathBounds(points, types, bounds);
  PathHitTest(points, types, probe, nullptr, nullptr, 3, true, true);
  TPathNearest nearest;
  int32_t start = 0, next = 0;
  FindNearestPathPoint(points, types, probe, true, nullptr, nearest, start, next);
  GetEditPointsCaps(points, types, selected);
  TPointArray p2 = points;
  TTypeArray t2 = types;
  InsertNearestPathPoint(p2, t2, probe, nullptr, 2);
  InsertPathPoint(p2, t2, static_cast<int32_t>(data[0]) % 9 - 1, nullptr, 2, probe, static_cast<int32_t>(data[1]) % 9 - 1);
  TPointArray p3 = points;
  TTypeArray t3 = types;
  EditPoints(p3, t3, selected, TEditPointsOffset{5, -5, true}, operation);
  GetPathBounds(p3, t3, bounds);
  FlattenPath(points, types, nullptr, 1.0);
  return 0;
}
