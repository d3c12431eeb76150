#include "shapes/CurvePoints.h"

#include <algorithm>
#include <cstring>
#include <limits>


namespace pv::graphics {

namespace {

constexpr int64_t kPointBytes = 8;

int32_t ReadInt32(const uint8_t* p) {
  const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  int32_t out;
  std::memcpy(&out, &v, sizeof out);
  return out;
}

void WriteInt32(uint8_t* p, int32_t value) {
  uint32_t v;
  std::memcpy(&v, &value, sizeof v);
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

TPointArray ReadPoints(const uint8_t* p, size_t count) {
  TPointArray points(count);
  for (size_t i = 0; i < count; ++i, p += kPointBytes) points[i] = {ReadInt32(p), ReadInt32(p + 4)};
  return points;
}

// The rules the path walk follows, checked without walking (a walk flattens every curve):
// each segment starts at a node and runs to a node, straight or over two control points.
bool IsWalkableFigure(std::span<const uint8_t> types, const TPathFigureInfo& f) {
  const int32_t n = static_cast<int32_t>(types.size());
  auto isControl = [&](int32_t i) { return types[static_cast<size_t>(i)] == ptControl; };
  if (f.first < 0 || f.last >= n || isControl(f.first)) return false;
  const int32_t end = f.closed ? f.lastNode : f.lastNode - 1;
  for (int32_t i = f.first; i <= end;) {
    if (isControl(i)) return false;
    const bool curve = i + 2 <= f.last && isControl(i + 1) && isControl(i + 2);
    const int32_t step = curve ? 3 : 1;
    const int32_t to = i == f.lastNode ? f.first : i + step;
    if (to >= n || isControl(to)) return false;
    i += step;
  }
  return true;
}

}  // namespace

bool GetPointBounds64(std::span<const TPoint> points, TPointBounds64& bounds) {
  bounds = {};
  if (points.empty()) return false;
  bounds = {points[0].x, points[0].y, points[0].x, points[0].y};
  for (const TPoint& p : points) {
    bounds.left = std::min<int64_t>(bounds.left, p.x);
    bounds.top = std::min<int64_t>(bounds.top, p.y);
    bounds.right = std::max<int64_t>(bounds.right, p.x);
    bounds.bottom = std::max<int64_t>(bounds.bottom, p.y);
  }
  return true;
}

bool IsValidCurvePath(std::span<const TPoint> points, std::span<const uint8_t> types) {
  if (points.size() != types.size()) return false;
  if (points.empty()) return true;
  if (std::any_of(types.begin(), types.end(), [](uint8_t t) { return t > ptControl; })) return false;
  const TPathFigureInfos infos = BuildFigureInfos(points, types);
  // Points after the last figure's end would belong to no figure.
  if (infos.figures.empty() || infos.figures.back().last != static_cast<int32_t>(points.size()) - 1) return false;
  for (const TPathFigureInfo& f : infos.figures) {
    if (!IsWalkableFigure(types, f)) return false;
  }
  TPointBounds64 b;
  GetPointBounds64(points, b);
  constexpr int64_t kMaxExtent = std::numeric_limits<int32_t>::max();
  return b.Width() <= kMaxExtent && b.Height() <= kMaxExtent;
}

std::vector<uint8_t> EncodePathPoints(std::span<const TPoint> points, std::span<const uint8_t> types) {
  const size_t n = std::min(points.size(), types.size());
  std::vector<uint8_t> data(4 + n * 9);
  WriteInt32(data.data(), static_cast<int32_t>(n));
  uint8_t* p = data.data() + 4;
  for (size_t i = 0; i < n; ++i, p += kPointBytes) {
    WriteInt32(p, points[i].x);
    WriteInt32(p + 4, points[i].y);
  }
  std::copy_n(types.begin(), n, p);
  return data;
}

bool DecodePathPoints(std::span<const uint8_t> data, TPointArray& points, TTypeArray& types) {
  if (data.size() < 4) return false;
  const int64_t n = ReadInt32(data.data());
  // In 64 bits: a count near 2^31 must not wrap 9 N + 4 onto the length of a short value.
  if (n < 0 || 9 * n + 4 != static_cast<int64_t>(data.size())) return false;
  const size_t count = static_cast<size_t>(n);
  TPointArray newPoints = ReadPoints(data.data() + 4, count);
  const uint8_t* t = data.data() + 4 + count * kPointBytes;
  TTypeArray newTypes(t, t + count);
  if (!IsValidCurvePath(newPoints, newTypes)) return false;
  points = std::move(newPoints);
  types = std::move(newTypes);
  return true;
}

bool DecodeOldPoints(std::span<const uint8_t> data, bool closed, TPointArray& points, TTypeArray& types) {
  if (data.empty() || data.size() % kPointBytes != 0) return false;
  const size_t count = data.size() / kPointBytes;
  TPointArray newPoints = ReadPoints(data.data(), count);
  TTypeArray newTypes(count, ptNode);
  newTypes.back() = closed ? ptEndNodeClose : ptEndNode;
  if (!IsValidCurvePath(newPoints, newTypes)) return false;
  points = std::move(newPoints);
  types = std::move(newTypes);
  return true;
}

}  // namespace pv::graphics
