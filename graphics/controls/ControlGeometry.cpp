// The geometric half of a control: rotation and mirroring, link points, and the generic
// interface to path points that curves and connectors fill in.

#include <algorithm>
#include <cmath>

#include "base/Geometry.h"
#include "controls/VexaControl.h"
#include "controls/VexaPanel.h"
#include "paths/PathInsert.h"
#include "paths/PathQueries.h"
#include "paths/PathTypes.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

namespace {

double Ratio(int64_t to, int64_t from) { return from == 0 ? 0.0 : static_cast<double>(to) / static_cast<double>(from); }

using winmath::ClampToInt32;

// Points dragged to the edge of the coordinate range stay there.
TPoint Moved(TPoint p, TPoint by) { return {ClampToInt32(int64_t{p.x} + by.x), ClampToInt32(int64_t{p.y} + by.y)}; }

int64_t Width64(const TRect& r) { return int64_t{r.right} - r.left; }
int64_t Height64(const TRect& r) { return int64_t{r.bottom} - r.top; }

// A point kept at its place within a rectangle that was scaled and moved.
TPoint ScaledFrom(TPoint p, const TRect& from, double sx, double sy, const TRect& to) {
  return {ClampToInt32(RoundHeld(sx * static_cast<double>(int64_t{p.x} - from.left)) + to.left),
          ClampToInt32(RoundHeld(sy * static_cast<double>(int64_t{p.y} - from.top)) + to.top)};
}

}  // namespace

// --- rotation

void TVexaControl::Rotate(const TRotateRec& rec) {
  BeginRotation();
  SetDocRect(RotateRect(GetDocRect(), rec));
  EndRotation();
  RotatePoints(rec);
}

void TVexaControl::RotatePoints(const TRotateRec& rec) {
  if (!HasLinkPoints() || IsHistorySource()) return;
  BeginUpdate();
  for (TPoint* p : extras_->linkPoints) *p = RotatePoint(*p, rec);
  pendingLinkPoints_ = true;
  EndUpdate();
}

void TVexaControl::RotateAll(const TRotateRec& rec) {
  Invalidate();
  for (TVexaControl* child : children_) child->RotateAll(rec);
  Rotate(rec);
}

void TVexaControl::Mirror(bool horizontal, bool vertical) {
  if (!InTransformation() || !extras_) return;
  const TRect& saved = extras_->savedRect;
  for (TPoint& p : extras_->savedLinkPoints) {
    if (horizontal) p.x = saved.left + saved.right - p.x;
    if (vertical) p.y = saved.top + saved.bottom - p.y;
  }
}

// --- link points

int TVexaControl::AddLinkPoint(TPoint* point) {
  const int existing = IndexOfLinkPoint(point);
  if (existing >= 0) return existing;
  TExtras& extras = Extras();
  if (extras.linkPoints.empty()) extras.linkBaseRect = GetDocRect();
  extras.linkPoints.push_back(point);
  Notify(TVexaNotify::fnLinkPoints);
  return static_cast<int>(extras.linkPoints.size()) - 1;
}

int TVexaControl::IndexOfLinkPoint(const TPoint* point) const {
  if (!extras_) return -1;
  for (size_t i = 0; i < extras_->linkPoints.size(); ++i) {
    if (extras_->linkPoints[i] == point) return static_cast<int>(i);
  }
  return -1;
}

void TVexaControl::DeleteLinkPoint(int index) {
  if (index < 0 || index >= GetLinkPointsCount()) throw EListError(index);
  std::vector<TPoint*>& points = extras_->linkPoints;
  points.erase(points.begin() + index);
  if (points.empty()) points.shrink_to_fit();
  // A control being freed has no one left to tell.
  if (!HasState(csDestroying)) Notify(TVexaNotify::fnLinkPoints);
}

void TVexaControl::RemoveLinkPoint(TPoint* point) {
  const int index = IndexOfLinkPoint(point);
  if (index >= 0) DeleteLinkPoint(index);
}

TPoint TVexaControl::GetLinkPointAt(int index) const {
  if (index < 0 || index >= GetLinkPointsCount()) throw EListError(index);
  return *extras_->linkPoints[static_cast<size_t>(index)];
}

void TVexaControl::SetLinkPointAt(int index, TPoint point) {
  if (index < 0 || index >= GetLinkPointsCount()) throw EListError(index);
  *extras_->linkPoints[static_cast<size_t>(index)] = point;
  Notify(TVexaNotify::fnLinkPoints);
}

void TVexaControl::FollowAncestorMove(int32_t dx, int32_t dy) {
  if (!HasLinkPoints()) return;
  BeginUpdate();
  TRect& base = extras_->linkBaseRect;
  base = {ClampToInt32(int64_t{base.left} - dx), ClampToInt32(int64_t{base.top} - dy),
          ClampToInt32(int64_t{base.right} - dx), ClampToInt32(int64_t{base.bottom} - dy)};
  Notify(TVexaNotify::fnRect);
  EndUpdate();
}

void TVexaControl::TransformPoints(const TRect& oldRectRef, const TRect& newRectRef) {
  // Copies: the callers may pass fields that the update bracket below rewrites.
  const TRect oldRect = oldRectRef;
  const TRect newRect = newRectRef;
  if (!HasLinkPoints() || oldRect == newRect || IsHistorySource()) return;
  BeginUpdate();
  const std::vector<TPoint*>& linkPoints = extras_->linkPoints;
  const std::vector<TPoint>& savedLinkPoints = extras_->savedLinkPoints;
  if (InTransformation() && savedLinkPoints.size() == linkPoints.size()) {
    const TRect& savedRect = extras_->savedRect;
    const double sx = Ratio(Width64(newRect), Width64(savedRect));
    const double sy = Ratio(Height64(newRect), Height64(savedRect));
    for (size_t i = 0; i < linkPoints.size(); ++i) {
      const TPoint& saved = savedLinkPoints[i];
      *linkPoints[i] = ScaledFrom(saved, savedRect, sx, sy, newRect);
    }
  } else {
    const double sx = Ratio(Width64(newRect), Width64(oldRect));
    const double sy = Ratio(Height64(newRect), Height64(oldRect));
    for (TPoint* p : linkPoints) {
      *p = ScaledFrom(*p, oldRect, sx, sy, newRect);
    }
  }
  pendingLinkPoints_ = true;
  EndUpdate();
}

// --- path points

uint8_t TVexaControl::GetPointType(int index) const {
  if (index != GetPointsCount() - 1) return ptNode;
  return GetIsPointsClosed() ? ptEndNodeClose : ptEndNode;
}

int TVexaControl::GetNodeIndex(int index) const {
  if (index < GetPointsCount() && GetPointType(index) == ptControl) return -1;
  int nodes = 0;
  for (int i = 0; i < index && i < GetPointsCount(); ++i) {
    if (GetPointType(i) != ptControl) ++nodes;
  }
  return nodes;
}

int TVexaControl::GetPointIndex(int node) const {
  int nodes = 0;
  for (int i = 0; i < GetPointsCount(); ++i) {
    if (GetPointType(i) == ptControl) continue;
    if (nodes++ == node) return i;
  }
  return -1;
}

int TVexaControl::GetNodesCount() const { return GetPointsCount() > 0 ? GetNodeIndex(GetPointsCount()) : 0; }

void TVexaControl::SetPoints(const std::vector<TPoint>& points) {
  std::vector<uint8_t> types(points.size(), ptNode);
  if (!types.empty()) types.back() = GetIsPointsClosed() ? ptEndNodeClose : ptEndNode;
  SetPointsEx(points, types);
}

bool TVexaControl::MovePathPoint(int index, TPoint delta, bool symmetric, bool smooth,
                                 const std::vector<uint8_t>* selection) {
  const int count = GetPointsCount();
  const bool valid = index >= 0 && index < count;
  if (valid && GetPointType(index) == ptControl) {
    const TPoint moved = Moved(GetPoint(index), delta);
    SetPoint(index, moved);
    if (!symmetric && !smooth) return true;
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    GetPointsEx(points, types);
    const TPathFigureInfos infos = BuildFigureInfos(points, types);
    const int figure = FigureOfPoint(infos, index);
    if (figure < 0) return true;
    const TPathFigureInfo& f = infos.figures[static_cast<size_t>(figure)];
    // The node this control point belongs to, and the control point across it.
    const bool first = index > 0 && types[static_cast<size_t>(index - 1)] != ptControl;
    int node = first ? index - 1 : index + 1;
    int opposite = first ? index - 2 : index + 2;
    if (node > f.last) node = f.first;  // a closing curve ends at the figure's first node
    if (opposite < f.first) opposite = f.closed ? f.last : -1;
    if (opposite > f.last) opposite = f.closed ? f.first + 1 : -1;
    if (opposite < 0 || opposite >= count || types[static_cast<size_t>(opposite)] != ptControl) return true;
    const TPoint n = points[static_cast<size_t>(node)];
    if (symmetric) {
      SetPoint(opposite, {ClampToInt32(2 * int64_t{n.x} - moved.x), ClampToInt32(2 * int64_t{n.y} - moved.y)});
      return true;
    }
    const TPoint o = points[static_cast<size_t>(opposite)];
    const double movedLength = std::hypot(static_cast<double>(moved.x) - n.x, static_cast<double>(moved.y) - n.y);
    const double oppositeLength = std::hypot(static_cast<double>(o.x) - n.x, static_cast<double>(o.y) - n.y);
    const double k = movedLength == 0 ? 0.0 : oppositeLength / movedLength;
    SetPoint(opposite, {ClampToInt32(int64_t{n.x} - RoundScaled(k, int64_t{moved.x} - n.x)),
                        ClampToInt32(int64_t{n.y} - RoundScaled(k, int64_t{moved.y} - n.y))});
    return true;
  }
  if (selection) {
    EditPoints(0, selection, delta);
    return true;
  }
  if (!valid) return false;
  SetPoint(index, Moved(GetPoint(index), delta));
  return true;
}

bool TVexaControl::MovePathSegment(int first, int last, double t, TPoint delta) {
  const int count = GetPointsCount();
  if (first == last || first < 0 || last < 0 || first >= count || last >= count) return false;
  if (delta.x == 0 && delta.y == 0) return false;
  const auto move = [this](int i, TPoint d) { SetPoint(i, Moved(GetPoint(i), d)); };
  BeginUpdate();
  if (first + 2 < count && GetPointType(first + 1) == ptControl) {
    if (!(t > 0.0 && t < 1.0)) {
      // At an end of a curve the control points have no pull: that end node follows.
      move(t >= 1.0 ? last : first, delta);
    } else {
      const double k = CurveShiftFactor(t);
      const TPoint d{RoundScaled(k, delta.x), RoundScaled(k, delta.y)};
      move(first + 1, d);
      move(first + 2, d);
    }
  } else {
    move(first, delta);
    move(last, delta);
  }
  EndUpdate();
  return true;
}

void TVexaControl::GetEndPointsInfo(TEndPointsInfo& info) const {
  info.hasEndPoints = false;
  info.movable = false;
}

void TVexaControl::SetLastPointClosed(bool closed) {
  for (int i = GetPointsCount() - 1; i >= 0; --i) {
    if (GetPointType(i) == ptControl) continue;
    SetPointType(i, closed ? ptEndNodeClose : ptEndNode);
    return;
  }
}

void TVexaControl::GetPixelPoints(std::vector<TPoint>& out, int32_t x, int32_t y, int32_t scale) const {
  using winmath::MulDiv;
  const TRect doc = GetDocRect();
  const int32_t x0 = x - MulDiv(doc.left, scale, 100000);
  const int32_t y0 = y - MulDiv(doc.top, scale, 100000);
  out.resize(static_cast<size_t>(GetPointsCount()));
  for (int i = 0; i < GetPointsCount(); ++i) {
    const TPoint p = GetPoint(i);
    out[static_cast<size_t>(i)] = {MulDiv(p.x + doc.left, scale, 100000) + x0, MulDiv(p.y + doc.top, scale, 100000) + y0};
  }
}

TPoint TVexaControl::PixelToLocal(TPoint pixel) const {
  if (!owner_) return pixel;
  const TPoint doc = owner_->PixelToDocPoint(pixel);
  const TRect r = GetDocRect();
  return {ClampToInt32(static_cast<int64_t>(doc.x) - r.left), ClampToInt32(static_cast<int64_t>(doc.y) - r.top)};
}

void TVexaControl::GetEditPointGuide(TPoint pixel, TEditPointGuide& guide) const {
  guide = TEditPointGuide{};
  guide.position = pixel;
  if (!owner_ || GetPointsCount() == 0) return;
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  GetPointsEx(points, types);
  const TPoint p = PixelToLocal(pixel);
  const TPathFigureInfos infos = BuildFigureInfos(points, types);
  TPathNearest nearest;
  int32_t s = -1;
  int32_t e = -1;
  if (!graphics::FindNearestPathPoint(points, types, p, true, &infos, nearest, s, e)) return;
  const int32_t figure = FigureOfPoint(infos, s);
  if (figure < 0) return;
  const TPathFigureInfo& f = infos.figures[static_cast<size_t>(figure)];
  int32_t added = 1;
  if (e < f.first || e > f.last) {
    // Beyond the end of an open figure: a segment from its end node to the position.
    guide.points = {points[static_cast<size_t>(s)], p};
    guide.types = {ptNode, ptEndNode};
  } else {
    const bool curve = s + 1 < static_cast<int32_t>(types.size()) && types[static_cast<size_t>(s + 1)] == ptControl;
    const int32_t next = curve ? 3 : 1;
    guide.points = {points[static_cast<size_t>(s)]};
    guide.types = {ptNode};
    if (curve) {
      guide.points.push_back(points[static_cast<size_t>(s + 1)]);
      guide.points.push_back(points[static_cast<size_t>(s + 2)]);
      guide.types.insert(guide.types.end(), {ptControl, ptControl});
    }
    guide.points.push_back(points[static_cast<size_t>(e)]);
    guide.types.push_back(ptEndNode);
    const double tolerance = 4.0 * 100000.0 / std::max(owner_->Scale(), 1);
    added = InsertPathPoint(guide.points, guide.types, 0, nullptr, tolerance, p, next);
    if (added < 0) {
      guide.points.clear();
      guide.types.clear();
      return;
    }
  }
  guide.count = static_cast<int32_t>(guide.points.size());
  guide.selection.assign(guide.points.size(), 0);
  guide.selection[static_cast<size_t>(added)] = 1;
  guide.position = guide.points[static_cast<size_t>(added)];
}

TPoint TVexaControl::GetAnchorPoint() const {
  const TRect r = GetDocRect();
  return owner_ ? owner_->DocToPixelPoint({r.left, r.top}) : TPoint{r.left, r.top};
}

}  // namespace pv::graphics
