// Arbitrary routing records (coordinates over the whole int32 range, any mode and gap) and
// arbitrary point arrays: routing must refuse or succeed without overflow, and a new
// orthogonal route must run axis-parallel from link point A to link point B.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "connectors/RouteOrthogonal.h"

using namespace pv::graphics;

namespace {

int32_t Take32(const uint8_t*& data, size_t& size) {
  int32_t v = 0;
  const size_t n = size < 4 ? size : 4;
  std::memcpy(&v, data, n);
  data += n;
  size -= n;
  return v;
}

uint8_t Take8(const uint8_t*& data, size_t& size) {
  if (size == 0) return 0;
  --size;
  return *data++;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TRouteInfo info;
  info.rectA = {Take32(data, size), Take32(data, size), Take32(data, size), Take32(data, size)};
  info.rectB = {Take32(data, size), Take32(data, size), Take32(data, size), Take32(data, size)};
  info.linkA = {Take32(data, size), Take32(data, size)};
  info.linkB = {Take32(data, size), Take32(data, size)};
  info.gap = Take32(data, size);
  const uint8_t flags = Take8(data, size);
  info.rerouteMode = flags % 4;
  info.orthogonal = (flags & 4) != 0;
  info.sameControl = (flags & 8) != 0;
  TPointArray points;
  TTypeArray types;
  while (size >= 9 && points.size() < 16) {
    points.push_back({Take32(data, size), Take32(data, size)});
    types.push_back(Take8(data, size) % 5);
  }
  if (flags & 16) types.resize(types.size() / 2);

  const bool fresh = info.rerouteMode == rmAlways && info.orthogonal;
  if (!RouteOrthogonal(points, types, info) || !fresh) return 0;
  if (points.size() < 2 || points.size() > 6 || types.size() != points.size()) __builtin_trap();
  if (!(points.front() == info.linkA) || !(points.back() == info.linkB)) __builtin_trap();
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    if (points[i].x != points[i + 1].x && points[i].y != points[i + 1].y) __builtin_trap();
  }
  return 0;
}
