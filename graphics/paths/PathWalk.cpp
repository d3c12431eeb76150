#include "paths/PathWalk.h"

#include <algorithm>
#include <cmath>

namespace pv::graphics {

namespace {

struct Vec {
  double x, y;
};

TPoint RoundPoint(Vec v, TPoint origin) {
  return {static_cast<int32_t>(std::llround(v.x + origin.x)), static_cast<int32_t>(std::llround(v.y + origin.y))};
}

// One walk over a path: the mode's work per segment.
class Walker {
 public:
  Walker(std::span<const TPoint> points, std::span<const uint8_t> types, TPathWalkInfo& info)
      : points_(points),
        types_(types),
        info_(info),
        stopOnHit_(info.mode == TPathWalkMode::HitTest && !info.nearest),
        reach_(static_cast<int64_t>(std::clamp(info.tolerance, 0.0, 1e12))) {}

  bool Run(const TPathFigureInfos& infos);

 private:
  bool Stopped() const { return stopOnHit_ && info_.hit; }
  void Start(TPoint p);
  void Line(TPoint to, int32_t startIndex, int32_t endIndex, double t0, double t1);
  void Curve(int32_t from, int32_t c1, int32_t c2, int32_t to);
  void Flatten(Vec p0, Vec p1, Vec p2, Vec p3, TPoint origin, double t0, double t1, int depth);
  [[gnu::always_inline]] inline void SegmentTest(TPoint a, TPoint b, double t0, double t1);
  void AddCrossing(TPoint a, TPoint b);
  bool NearerThanBest(int64_t minX, int64_t maxX, int64_t minY, int64_t maxY) const;
  void SegmentDistance(TPoint a, TPoint b, double t0, double t1);
  void EndFigure(bool closed);

  std::span<const TPoint> points_;
  std::span<const uint8_t> types_;
  TPathWalkInfo& info_;
  // Fixed for the walk, kept apart from the info that segments write to.
  const bool stopOnHit_;
  const int64_t reach_;  // the tolerance's whole part: box tests on whole coordinates
  int32_t segmentStart_ = 0;
  int32_t segmentEndIndex_ = 0;
  bool curve_ = false;
};

void Walker::Start(TPoint p) {
  info_.current = p;
  switch (info_.mode) {
    case TPathWalkMode::Flatten: info_.output->Add(p.x, p.y, ptNode); break;
    case TPathWalkMode::Bounds:
      if (!info_.boundsStarted) {
        info_.bounds = {p.x, p.y, p.x, p.y};
        info_.boundsStarted = true;
      }
      [[fallthrough]];
    case TPathWalkMode::HitTest: break;
    case TPathWalkMode::PlatformPath: info_.canvas->MoveTo(p.x, p.y); break;
  }
  if (info_.mode == TPathWalkMode::Bounds) {
    TRect& r = info_.bounds;
    r = {std::min(r.left, p.x), std::min(r.top, p.y), std::max(r.right, p.x), std::max(r.bottom, p.y)};
  }
}

void Walker::Line(TPoint to, int32_t, int32_t, double t0, double t1) {
  const TPoint from = info_.current;
  info_.segmentEnd = to;
  switch (info_.mode) {
    case TPathWalkMode::Flatten: info_.output->Add(to.x, to.y, ptNode); break;
    case TPathWalkMode::HitTest: SegmentTest(from, to, t0, t1); break;
    case TPathWalkMode::Bounds: {
      TRect& r = info_.bounds;
      if (to.x < r.left) r.left = to.x; else if (to.x > r.right) r.right = to.x;
      if (to.y < r.top) r.top = to.y; else if (to.y > r.bottom) r.bottom = to.y;
      break;
    }
    case TPathWalkMode::PlatformPath: info_.canvas->LineTo(to.x, to.y); break;
  }
  info_.current = to;
}

// Splits the curve in halves until its control points lie within 1 / factor of its chord.
// The points are relative to origin (the curve's first point) and in double precision, so
// that large coordinates neither lose the test to rounding nor recurse without end.
void Walker::Flatten(Vec p0, Vec p1, Vec p2, Vec p3, TPoint origin, double t0, double t1, int depth) {
  if (Stopped()) return;
  const Vec n{p3.y - p0.y, p0.x - p3.x};
  const double nn = n.x * n.x + n.y * n.y;
  const double base = n.x * p0.x + n.y * p0.y;
  const double d1 = (n.x * p1.x + n.y * p1.y - base) * info_.factor;
  const double d2 = (n.x * p2.x + n.y * p2.y - base) * info_.factor;
  const Vec m{(p0.x + 3 * p1.x + 3 * p2.x + p3.x) / 8, (p0.y + 3 * p1.y + 3 * p2.y + p3.y) / 8};
  const bool bent = d1 * d1 >= nn || d2 * d2 >= nn;
  if (depth < kMaxCurveDepth && bent && (m.x != p0.x || m.y != p0.y)) {
    const double tm = (t0 + t1) / 2;
    const Vec l1{(p0.x + p1.x) / 2, (p0.y + p1.y) / 2};
    const Vec l2{(p0.x + 2 * p1.x + p2.x) / 4, (p0.y + 2 * p1.y + p2.y) / 4};
    const Vec r1{(p1.x + 2 * p2.x + p3.x) / 4, (p1.y + 2 * p2.y + p3.y) / 4};
    const Vec r2{(p2.x + p3.x) / 2, (p2.y + p3.y) / 2};
    Flatten(p0, l1, l2, m, origin, t0, tm, depth + 1);
    Flatten(m, r1, r2, p3, origin, tm, t1, depth + 1);
    return;
  }
  Line(RoundPoint(p3, origin), segmentStart_, segmentEndIndex_, t0, t1);
}

void Walker::Curve(int32_t from, int32_t c1, int32_t c2, int32_t to) {
  const TPoint p0 = points_[static_cast<size_t>(from)];
  const TPoint p1 = points_[static_cast<size_t>(c1)];
  const TPoint p2 = points_[static_cast<size_t>(c2)];
  const TPoint p3 = points_[static_cast<size_t>(to)];
  if (info_.mode == TPathWalkMode::PlatformPath && info_.integerMode) {
    const TPoint bezier[3] = {p1, p2, p3};
    info_.canvas->PolyBezierTo(bezier);
    info_.current = p3;
    return;
  }
  auto rel = [&](TPoint p) { return Vec{static_cast<double>(p.x) - p0.x, static_cast<double>(p.y) - p0.y}; };
  curve_ = true;
  Flatten({0, 0}, rel(p1), rel(p2), rel(p3), p0, 0.0, 1.0, 0);
  curve_ = false;
  info_.current = p3;
}

// Most segments of a long path are far from the point: they are turned away here, inline,
// before any distance is worked out.
inline void Walker::SegmentTest(TPoint a, TPoint b, double t0, double t1) {
  const TPoint p = info_.testPoint;
  if (info_.testInside) {
    const int32_t lo = std::min(a.y, b.y);
    const int32_t hi = std::max(a.y, b.y);
    if (p.y >= lo && p.y < hi) AddCrossing(a, b);
  }
  const int64_t reach = reach_;
  if (!info_.nearest) {
    if (info_.tolerance < 1 || info_.hit) return;
    if (p.x < int64_t{std::min(a.x, b.x)} - reach || p.x > int64_t{std::max(a.x, b.x)} + reach ||
        p.y < int64_t{std::min(a.y, b.y)} - reach || p.y > int64_t{std::max(a.y, b.y)} + reach) {
      return;
    }
  } else {
    const int64_t minX = std::min(a.x, b.x), maxX = std::max(a.x, b.x);
    const int64_t minY = std::min(a.y, b.y), maxY = std::max(a.y, b.y);
    const bool nearOutline = info_.tolerance >= 1 && !info_.hit && p.x >= minX - reach && p.x <= maxX + reach &&
                             p.y >= minY - reach && p.y <= maxY + reach;
    if (!nearOutline && !NearerThanBest(minX, maxX, minY, maxY)) return;
  }
  SegmentDistance(a, b, t0, t1);
}

// Whether the segment's box comes nearer to the point than the nearest point found so far.
bool Walker::NearerThanBest(int64_t minX, int64_t maxX, int64_t minY, int64_t maxY) const {
  const TPathNearest* best = info_.nearest;
  if (best->bestIndex < 0) return true;
  const TPoint p = info_.testPoint;
  const double bx = static_cast<double>(std::max({minX - p.x, p.x - maxX, int64_t{0}}));
  const double by = static_cast<double>(std::max({minY - p.y, p.y - maxY, int64_t{0}}));
  return bx * bx + by * by < best->bestDistance;
}

void Walker::AddCrossing(TPoint a, TPoint b) {
  const TPoint p = info_.testPoint;
  const int64_t x =
      a.x + (static_cast<int64_t>(b.x) - a.x) * (static_cast<int64_t>(p.y) - a.y) / (static_cast<int64_t>(b.y) - a.y);
  info_.crossings.insert(std::upper_bound(info_.crossings.begin(), info_.crossings.end(), x), x);
}

void Walker::SegmentDistance(TPoint a, TPoint b, double t0, double t1) {
  const TPoint p = info_.testPoint;
  const double r = info_.tolerance;
  const bool testOutline = r >= 1 && !info_.hit;
  if (!testOutline && !info_.nearest) return;
  const int64_t minX = std::min(a.x, b.x), maxX = std::max(a.x, b.x);
  const int64_t minY = std::min(a.y, b.y), maxY = std::max(a.y, b.y);
  const int64_t reach = reach_;  // the box test on whole coordinates
  const bool outline = testOutline && p.x >= minX - reach && p.x <= maxX + reach && p.y >= minY - reach &&
                       p.y <= maxY + reach;
  TPathNearest* best = info_.nearest;
  if (best && best->bestIndex >= 0) {
    // No point of the segment is nearer than its box.
    const double bx = static_cast<double>(std::max({minX - p.x, p.x - maxX, int64_t{0}}));
    const double by = static_cast<double>(std::max({minY - p.y, p.y - maxY, int64_t{0}}));
    if (bx * bx + by * by >= best->bestDistance) best = nullptr;
  }
  if (!outline && !best) return;
  const double abx = static_cast<double>(b.x) - a.x, aby = static_cast<double>(b.y) - a.y;
  const double apx = static_cast<double>(p.x) - a.x, apy = static_cast<double>(p.y) - a.y;
  const double bpx = static_cast<double>(p.x) - b.x, bpy = static_cast<double>(p.y) - b.y;
  const double o = abx * abx + aby * aby;
  const double u = bpx * bpx + bpy * bpy;
  const double v = apx * apx + apy * apy;
  // The squared distance to the line through A and B; the cross product form of it stays
  // exact where the difference of large squares would cancel.
  double distance = v;
  if (o >= 1) {
    const double cross = abx * apy - aby * apx;
    distance = cross * cross / o;
  }
  if (outline) info_.hit = o >= 1 ? r * r >= distance : (std::abs(apx) <= r && std::abs(apy) <= r);
  if (best) {
    if (best->bestIndex < 0 || best->bestDistance > distance) {
      const double t = o > 0 ? std::clamp((o + v - u) / (2 * o), -1e9, 1e9) : 0.0;
      const TPoint foot{static_cast<int32_t>(std::llround(a.x + t * abx)), static_cast<int32_t>(std::llround(a.y + t * aby))};
      TPoint candidate = foot;
      double candidateDistance = distance;
      int32_t index = segmentStart_;
      double param = t0 + std::clamp(t, 0.0, 1.0) * (t1 - t0);
      const bool onSegment = foot.x >= std::min(a.x, b.x) && foot.x <= std::max(a.x, b.x) &&
                             foot.y >= std::min(a.y, b.y) && foot.y <= std::max(a.y, b.y);
      if (!onSegment) {
        const bool nearB = v >= u;
        candidate = nearB ? b : a;
        candidateDistance = nearB ? u : v;
        param = nearB ? t1 : t0;
        // A flattened piece inside a curve ends at no node of its own.
        index = nearB && (!curve_ || t1 >= 1.0) ? segmentEndIndex_ : segmentStart_;
      }
      if (best->bestIndex < 0 || candidateDistance < best->bestDistance) {
        best->x = candidate.x;
        best->y = candidate.y;
        best->bestIndex = index;
        best->bestDistance = candidateDistance;
        best->segmentStart = segmentStart_;
        best->segmentEnd = segmentEndIndex_;
        best->found = true;
        best->t = curve_ ? param : 0.0;
      }
    }
  }
}

void Walker::EndFigure(bool closed) {
  if (info_.mode == TPathWalkMode::Flatten) {
    TPointList& out = *info_.output;
    if (closed && out.Count() > 1) out.RemoveLast();
    out.Last().type = closed ? ptEndNodeClose : ptEndNode;
  } else if (info_.mode == TPathWalkMode::PlatformPath && closed) {
    info_.canvas->CloseFigure();
  }
}

bool Walker::Run(const TPathFigureInfos& infos) {
  const int32_t n = static_cast<int32_t>(points_.size());
  auto isControl = [&](int32_t i) { return types_[static_cast<size_t>(i)] == ptControl; };
  for (const TPathFigureInfo& f : infos.figures) {
    if (f.closed ? !info_.walkClosed : !info_.walkOpen) continue;
    if (f.first < 0 || f.last >= n || isControl(f.first)) return false;
    Start(points_[static_cast<size_t>(f.first)]);
    const int32_t end = f.closed ? f.lastNode : f.lastNode - 1;
    if (info_.mode == TPathWalkMode::HitTest && !f.hasCurves) {
      // A figure of lines only, the usual case of a hit test: segment after segment.
      for (int32_t i = f.first; i <= end; ++i) {
        const int32_t to = i == f.lastNode ? f.first : i + 1;
        if (isControl(i) || isControl(to)) return false;
        segmentStart_ = i;
        segmentEndIndex_ = to;
        SegmentTest(points_[static_cast<size_t>(i)], points_[static_cast<size_t>(to)], 0.0, 1.0);
        if (Stopped()) return true;
      }
      info_.current = info_.segmentEnd = points_[static_cast<size_t>(f.closed ? f.first : f.lastNode)];
      continue;
    }
    for (int32_t i = f.first; i <= end && !Stopped();) {
      if (isControl(i)) return false;
      const bool closing = i == f.lastNode;
      segmentStart_ = i;
      if (i + 2 <= f.last && isControl(i + 1) && isControl(i + 2)) {
        const int32_t to = closing ? f.first : i + 3;
        if (to >= n || isControl(to)) return false;
        segmentEndIndex_ = to;
        Curve(i, i + 1, i + 2, to);
        i += 3;
      } else {
        const int32_t to = closing ? f.first : i + 1;
        if (to >= n || isControl(to)) return false;
        segmentEndIndex_ = to;
        Line(points_[static_cast<size_t>(to)], i, to, 0.0, 1.0);
        i += 1;
      }
    }
    if (Stopped()) return true;
    EndFigure(f.closed);
  }
  return true;
}

}  // namespace

bool PathWalk(std::span<const TPoint> points, std::span<const uint8_t> types, TPathWalkInfo& info) {
  if (points.size() != types.size()) return false;
  TPathFigureInfos built;
  const TPathFigureInfos* infos = info.infos;
  if (!infos) {
    built = BuildFigureInfos(points, types);
    infos = &built;
  } else if (infos->pathLength != static_cast<int32_t>(points.size())) {
    return false;
  }
  if ((info.mode == TPathWalkMode::Flatten && !info.output) ||
      (info.mode == TPathWalkMode::PlatformPath && !info.canvas)) {
    return false;
  }
  return Walker(points, types, info).Run(*infos);
}

}  // namespace pv::graphics
