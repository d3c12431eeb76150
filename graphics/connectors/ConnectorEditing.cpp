// Editing an orthogonal connector by hand: points and segments move so that every segment
// stays horizontal or vertical, snap onto their neighbours, and the pairs of points that a
// snap made coincide are tidied away when the edit ends. An edit inside the route stops
// automatic rerouting.

#include <algorithm>
#include <cstdlib>

#include "connectors/VexaConnector.h"
#include "controls/VexaPanel.h"
#include "paths/PathInsert.h"
#include "paths/PathQueries.h"
#include "shapes/CurvePoints.h"

namespace pv::graphics {
namespace {

// Segment k runs from point k to point k + 1. Directions alternate along the route, so a
// segment's direction follows from the first one of non-zero length (horizontal when its
// points share Y); a route of zero-length segments starts horizontally.
bool SegmentHorizontal(const TPointArray& points, int segment) {
  for (size_t k = 0; k + 1 < points.size(); ++k) {
    if (points[k] == points[k + 1]) continue;
    const bool horizontal = points[k].y == points[k + 1].y;
    return ((static_cast<int64_t>(segment) - static_cast<int64_t>(k)) % 2 == 0) == horizontal;
  }
  return segment % 2 == 0;
}

// Within `distance` of `target`: becomes the target.
void Snap(int32_t& coordinate, int32_t target, int32_t distance) {
  if (std::llabs(int64_t{coordinate} - target) <= distance) coordinate = target;
}

// The coordinate along a segment of that direction, and the one across it.
int32_t& Along(TPoint& p, bool horizontal) { return horizontal ? p.x : p.y; }
int32_t& Across(TPoint& p, bool horizontal) { return horizontal ? p.y : p.x; }
int32_t Along(const TPoint& p, bool horizontal) { return horizontal ? p.x : p.y; }
int32_t Across(const TPoint& p, bool horizontal) { return horizontal ? p.y : p.x; }

}  // namespace

int32_t TVexaConnector::SnapDistance() const {
  if (!Owner()) return 4;
  return static_cast<int32_t>(4LL * 100000 / std::max(Owner()->Scale(), 1));
}

void TVexaConnector::StopAutomaticRerouting() {
  if (GetRerouteMode() == rmAlways) SetRerouteMode(rmNever);
}

void TVexaConnector::MarkTidy(int first, int last) {
  if (pointsUpdateLevel_ == 0) return;
  tidyPending_ = true;
  tidyFirst_ = first;
  tidyLast_ = last;
}

bool TVexaConnector::MovePathPoint(int index, TPoint delta, bool symmetric, bool smooth,
                                   const std::vector<uint8_t>* selection) {
  const int count = GetPointsCount();
  if (!GetOrtogonal() || count < 2 || index < 0 || index >= count) {
    return TVexaCurve::MovePathPoint(index, delta, symmetric, smooth, selection);
  }
  // The orthogonal drag writes the arrays itself, past SetPoint's own check.
  if (!LayerMoveable()) return false;
  BeginPointsChange();
  TPointArray& points = PointsRef();
  const TPoint old = points[static_cast<size_t>(index)];
  const bool before = index > 0, after = index < count - 1;
  const bool horizontalBefore = before && SegmentHorizontal(points, index - 1);
  const bool horizontalAfter = after && SegmentHorizontal(points, index);

  TPoint moved{ClampToInt32(int64_t{old.x} + delta.x), ClampToInt32(int64_t{old.y} + delta.y)};
  const int32_t t = SnapDistance();
  const TPointArray& fixed = points;
  if (index > 1) Snap(Along(moved, horizontalBefore), Along(fixed[static_cast<size_t>(index - 1)], horizontalBefore), t);
  if (index < count - 2) Snap(Along(moved, horizontalAfter), Along(fixed[static_cast<size_t>(index + 1)], horizontalAfter), t);
  // The neighbours of the ends slide along the end segments only; with three points the
  // middle one cannot move at all.
  if (index == 1) Across(moved, horizontalBefore) = Across(old, horizontalBefore);
  if (index == count - 2) Across(moved, horizontalAfter) = Across(old, horizontalAfter);

  Invalidate();
  points[static_cast<size_t>(index)] = moved;
  if (before) Across(points[static_cast<size_t>(index - 1)], horizontalBefore) = Across(moved, horizontalBefore);
  if (after) Across(points[static_cast<size_t>(index + 1)], horizontalAfter) = Across(moved, horizontalAfter);
  if (before && after) StopAutomaticRerouting();
  EndPointsChange();
  MarkTidy(index, index);
  return true;
}

bool TVexaConnector::MovePathSegment(int first, int last, double t, TPoint delta) {
  const int count = GetPointsCount();
  const int i = std::min(first, last), j = std::max(first, last);
  if (!GetOrtogonal() || j != i + 1 || i < 0 || j >= count) return TVexaCurve::MovePathSegment(first, last, t, delta);
  // The end segments stay on the link points.
  if (i == 0 || j == count - 1 || !LayerMoveable()) return false;
  const TPointArray& points = PointsRef();
  const bool horizontal = SegmentHorizontal(points, i);
  TPoint d = delta;
  Along(d, horizontal) = 0;
  // Onto the line of the segment before or after, which the tidy step then takes away.
  const int32_t from = Across(points[static_cast<size_t>(i)], horizontal);
  int32_t to = ClampToInt32(int64_t{from} + Across(d, horizontal));
  const int32_t snap = SnapDistance();
  const int32_t beforeLine = Across(points[static_cast<size_t>(i - 1)], horizontal);
  const int32_t afterLine = Across(points[static_cast<size_t>(j + 1)], horizontal);
  const int32_t unsnapped = to;
  Snap(to, beforeLine, snap);
  if (to == unsnapped) Snap(to, afterLine, snap);
  Across(d, horizontal) = ClampToInt32(int64_t{to} - from);
  const bool moved = TVexaCurve::MovePathSegment(first, last, t, d);
  MarkTidy(i, j);
  StopAutomaticRerouting();
  return moved;
}

int TVexaConnector::InsertPointAtPos(TPoint position) {
  if (!GetOrtogonal()) {
    const int index = TVexaCurve::InsertPointAtPos(position);
    if (index >= 0) SetRerouteMode(rmNever);
    return index;
  }
  if (GetPointsCount() < 2) return -1;
  const TPoint p = PixelToLocal(position);
  TPointArray& points = PointsRef();
  TTypeArray& types = TypesRef();
  TPathNearest nearest;
  int32_t start = -1, next = -1;
  if (!graphics::FindNearestPathPoint(points, types, p, false, GetPathInfo(), nearest, start, next)) return -1;
  if (next != start + 1) return -1;
  // Two nodes on the route where it was clicked: dragging the piece between them bends it.
  BeginPointsChange();
  Invalidate();
  const int index = start + 1;
  InsertPoints(points, types, index, 2);
  for (int k : {index, index + 1}) {
    points[static_cast<size_t>(k)] = {nearest.x, nearest.y};
    types[static_cast<size_t>(k)] = ptNode;
  }
  EndPointsChange();
  StopAutomaticRerouting();
  return index;
}

void TVexaConnector::DeletePoint(int index) {
  const int count = GetPointsCount();
  if (!GetOrtogonal() || index < 0 || index >= count || GetPointType(index) == ptControl) {
    TVexaCurve::DeletePoint(index);
    return;
  }
  if (index == 0 || index == count - 1) {
    // Two points are the least a connector can be: both ends.
    if (count <= 2) return;
    TVexaCurve::DeletePoint(index);
    StopAutomaticRerouting();
    return;
  }
  // An inner node goes only with a neighbour at the same place, so that the segments on
  // either side still meet at a right angle; never with an end.
  const TPointArray& points = PointsRef();
  const TPoint p = points[static_cast<size_t>(index)];
  int pair = -1;
  if (index - 1 > 0 && points[static_cast<size_t>(index - 1)] == p) pair = index - 1;
  else if (index + 1 < count - 1 && points[static_cast<size_t>(index + 1)] == p) pair = index;
  if (pair < 0) return;
  BeginPointsChange();
  Invalidate();
  InsertPoints(PointsRef(), TypesRef(), pair, -2);
  EndPointsChange();
  StopAutomaticRerouting();
}

void TVexaConnector::BeginPointsUpdate() {
  TVexaCurve::BeginPointsUpdate();
  ++pointsUpdateLevel_;
}

void TVexaConnector::EndPointsUpdate() {
  if (pointsUpdateLevel_ > 0 && --pointsUpdateLevel_ == 0 && tidyPending_) {
    tidyPending_ = false;
    if (GetOrtogonal() && GetPointsCount() > 4) Tidy();
  }
  TVexaCurve::EndPointsUpdate();
}

// A pair of inner points at one place (an edit snapped a segment onto its neighbour's line)
// is taken out. The later pair goes first: taking it out leaves the earlier one's indexes
// where they were.
void TVexaConnector::Tidy() {
  TPointArray& points = PointsRef();
  TTypeArray& types = TypesRef();
  const auto innerPairAt = [&](int k) {
    const int count = static_cast<int>(points.size());
    return k >= 1 && k + 1 <= count - 2 && points[static_cast<size_t>(k)] == points[static_cast<size_t>(k + 1)];
  };
  const bool later = innerPairAt(tidyLast_);
  const bool earlier = innerPairAt(tidyFirst_ - 1);
  if (later || earlier) {
    BeginPointsChange();
    Invalidate();
    if (later) InsertPoints(points, types, tidyLast_, -2);
    // When both pairs shared the edited point, the first deletion took it: look again.
    if (innerPairAt(tidyFirst_ - 1)) InsertPoints(points, types, tidyFirst_ - 1, -2);
    EndPointsChange();
  }
  if (GetRerouteMode() != rmNever) Reroute();
}

// As the control's guide, but only between two nodes of a figure, never at a node itself, and
// the new point exactly where the route is nearest.
void TVexaConnector::GetEditPointGuide(TPoint pixel, TEditPointGuide& guide) const {
  guide = TEditPointGuide{};
  guide.position = pixel;
  if (!Owner() || GetPointsCount() == 0) return;
  TPointArray points;
  TTypeArray types;
  GetPointsEx(points, types);
  const TPoint p = PixelToLocal(pixel);
  const TPathFigureInfos infos = BuildFigureInfos(points, types);
  TPathNearest nearest;
  int32_t s = -1, e = -1;
  if (!graphics::FindNearestPathPoint(points, types, p, true, &infos, nearest, s, e)) return;
  const int32_t figure = FigureOfPoint(infos, s);
  if (figure < 0) return;
  const TPathFigureInfo& f = infos.figures[static_cast<size_t>(figure)];
  if (e < f.first || e > f.last) return;
  const TPoint at{nearest.x, nearest.y};
  if (at == points[static_cast<size_t>(s)] || at == points[static_cast<size_t>(e)]) return;
  const bool curve = s + 1 < static_cast<int32_t>(types.size()) && types[static_cast<size_t>(s + 1)] == ptControl;
  for (int32_t k = s; k < (curve ? s + 3 : s + 1); ++k) {
    guide.points.push_back(points[static_cast<size_t>(k)]);
    guide.types.push_back(k == s ? ptNode : ptControl);
  }
  guide.points.push_back(points[static_cast<size_t>(e)]);
  guide.types.push_back(ptEndNode);
  const int32_t added = InsertPathPoint(guide.points, guide.types, 0, nullptr, 0.0, p, curve ? 3 : 1);
  if (added < 0) {
    guide.points.clear();
    guide.types.clear();
    return;
  }
  guide.count = static_cast<int32_t>(guide.points.size());
  guide.selection.assign(guide.points.size(), 0);
  guide.selection[static_cast<size_t>(added)] = 1;
  guide.position = guide.points[static_cast<size_t>(added)];
}

}  // namespace pv::graphics
