// The point-editing model: the point-edited control and its point selection, the markers'
// hit test, a node's neighbours, the edit region (markers, guide, curve-handle lines) kept to
// repaint and to hit-test, and the hover state that says what lies under the mouse.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "panel/PointPaths.h"
#include "panel/VexaPanel.h"
#include "paths/PathQueries.h"
#include "paths/PathTypes.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using pointedit::FiguresOf;
using pointedit::MarkRect;
using winmath::ClampToInt32;

namespace {

constexpr int kMarksForPreciseRegion = 21;
constexpr int32_t kPathTolerancePixels = 4;

bool Holds(const TRect& r, TPoint p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
TRect Bounds(const TRect& a, const TRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

}  // namespace

// ---- The point-edited control and its point selection

void TVexaPanel::SetPointEditControl(TVexaControl* control) {
  if (control && control->GetPointsCount() == 0) control = nullptr;
  if (control == pointEdited_) return;
  pointEdited_ = control;
  editGuide_ = {};
  // Another control starts with none of its points selected.
  pointSelection_.clear();
  selectedPoints_ = 0;
  RefreshEditPoints();
}

bool TVexaPanel::IsPointEditing() const { return pointEdited_ && PointToolBase(); }

bool TVexaPanel::PointToolBase() const { return baseToolMode_ == 9; }

bool TVexaPanel::IsPointSelected(int index) const {
  return index >= 0 && index < static_cast<int>(pointSelection_.size()) && pointSelection_[static_cast<size_t>(index)];
}

void TVexaPanel::SelectPoint(int index, bool select) {
  if (!pointEdited_ || index < 0 || index >= static_cast<int>(pointSelection_.size())) return;
  if (IsPointSelected(index) == select) return;
  // A connector is edited by one end or one bend at a time.
  if (select && pointEdited_->IsConnector() && selectedPoints_ > 0) return;
  const int before = selectedPoints_;
  pointSelection_[static_cast<size_t>(index)] = select ? 1 : 0;
  selectedPoints_ += select ? 1 : -1;
  if (window_.HasParent()) window_.Invalidate(PointRect(index));
  // The curve-handle lines show only with one selected point: the region changes only when
  // the count comes to or leaves 1, so that a band over a long path stays linear.
  if (before == 1 || selectedPoints_ == 1) RefreshEditPoints();
  pointEdited_->Notify(TVexaNotify::fnSelectPoint);
}

void TVexaPanel::UnselectAllPoints() {
  if (!pointEdited_ || selectedPoints_ == 0) return;
  const int before = selectedPoints_;
  const bool each = window_.HasParent() && before < kMarksForPreciseRegion;
  for (size_t i = 0; i < pointSelection_.size(); ++i) {
    if (!pointSelection_[i]) continue;
    pointSelection_[i] = 0;
    if (each) window_.Invalidate(PointRect(static_cast<int>(i)));
  }
  selectedPoints_ = 0;
  // Many markers at once: the region around them all is repainted instead.
  if (window_.HasParent() && !each) {
    for (const TRect& r : editRegion_.Rects()) window_.Invalidate(r);
  }
  if (before == 1) RefreshEditPoints();
  pointEdited_->Notify(TVexaNotify::fnSelectPoint);
}

TRect TVexaPanel::PointRect(int index) const {
  if (!pointEdited_ || index < 0 || index >= pointEdited_->GetPointsCount()) return {0, 0, 0, 0};
  const TRect doc = pointEdited_->GetDocRect();
  const TPoint p = pointEdited_->GetPoint(index);
  return MarkRect(DocToPixelPoint({ClampToInt32(static_cast<int64_t>(doc.left) + p.x),
                                   ClampToInt32(static_cast<int64_t>(doc.top) + p.y)}));
}

bool TVexaPanel::HasMarker(int index) const {
  if (pointEdited_->GetPointType(index) != ptControl) return true;
  // A curve's control point shows as a handle of the one selected node next to it.
  if (selectedPoints_ != 1) return false;
  const auto nodeSelected = [&](int node) {
    return IsPointSelected(node) && pointEdited_->GetPointType(node) != ptControl;
  };
  return nodeSelected(index - 1) || nodeSelected(index + 1);
}

int TVexaPanel::FindPointAtMouse() const {
  if (!pointEdited_) return -1;
  const TRect doc = pointEdited_->GetDocRect();
  const int n = pointEdited_->GetPointsCount();
  for (int i = 0; i < n; ++i) {
    if (!HasMarker(i)) continue;
    const TPoint p = pointEdited_->GetPoint(i);
    const TPoint px = DocToPixelPoint({ClampToInt32(static_cast<int64_t>(doc.left) + p.x),
                                       ClampToInt32(static_cast<int64_t>(doc.top) + p.y)});
    if (Holds(MarkRect(px), mousePos_)) return i;
  }
  return -1;
}

void TVexaPanel::GetNeighbourNodes(int node, int& previous, int& next) const {
  previous = next = -1;
  if (!pointEdited_) return;
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  const TPathFigureInfos infos = FiguresOf(*pointEdited_, points, types);
  const int n = static_cast<int>(types.size());
  if (node < 0 || node >= n || types[static_cast<size_t>(node)] == ptControl) return;
  const int32_t figure = FigureOfPoint(infos, node);
  if (figure < 0) return;
  const TPathFigureInfo& f = infos.figures[static_cast<size_t>(figure)];
  if (node > f.first && types[static_cast<size_t>(node - 1)] == ptControl) {
    previous = node - 3;
  } else if (node == f.first && f.closed) {
    previous = f.lastNode;
  }
  if (node < f.last && types[static_cast<size_t>(node + 1)] == ptControl) {
    next = node + 3 > f.lastNode ? f.first : node + 3;
  } else if (node == f.lastNode && f.closed) {
    next = f.first;
  }
}

// ---- The edit region

void TVexaPanel::RefreshEditPoints() {
  const int count = pointEdited_ ? pointEdited_->GetPointsCount() : 0;
  if (static_cast<int>(pointSelection_.size()) != count) {
    pointSelection_.assign(static_cast<size_t>(count), 0);
    selectedPoints_ = 0;
  }
  std::vector<TRect> marks;
  std::vector<TRect> extras;
  // Many marks make one bounding rectangle: found in document units, converted once.
  bool many = false;
  TRect manyBounds{0, 0, 0, 0};
  if (IsPointEditing()) {
    const TRect doc = pointEdited_->GetDocRect();
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    pointedit::EditedPoints(*pointEdited_, points, types);
    const auto nodes = static_cast<int>(std::count_if(types.begin(), types.end(), [](uint8_t t) { return t != ptControl; }));
    many = nodes >= kMarksForPreciseRegion;
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (size_t i = 0; i < points.size(); ++i) {
      if (types[i] == ptControl) continue;
      const int64_t x = static_cast<int64_t>(doc.left) + points[i].x;
      const int64_t y = static_cast<int64_t>(doc.top) + points[i].y;
      if (!many) {
        marks.push_back(MarkRect(DocToPixelPoint({ClampToInt32(x), ClampToInt32(y)})));
        continue;
      }
      left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
    }
    if (many) {
      const TPoint a = DocToPixelPoint({ClampToInt32(left), ClampToInt32(top)});
      const TPoint b = DocToPixelPoint({ClampToInt32(right), ClampToInt32(bottom)});
      manyBounds = {a.x - 2, a.y - 2, b.x + 3, b.y + 3};
    }
    if (showEditPointGuide_ && editGuide_.count > 0) {
      TRect g{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
      for (const TPoint p : editGuide_.points) {
        const TPoint px = DocToPixelPoint({doc.left + p.x, doc.top + p.y});
        g = Bounds(g, {px.x, px.y, px.x, px.y});
      }
      extras.push_back({g.left - 3, g.top - 3, g.right + 3, g.bottom + 3});
    }
    if (selectedPoints_ == 1) {
      const auto node = std::find(pointSelection_.begin(), pointSelection_.end(), 1) - pointSelection_.begin();
      const TRect at = PointRect(static_cast<int>(node));
      for (const int handle : {static_cast<int>(node) - 1, static_cast<int>(node) + 1}) {
        if (handle < 0 || handle >= count || pointEdited_->GetPointType(handle) != ptControl) continue;
        const TRect end = PointRect(handle);
        extras.push_back(Bounds(at, end));
      }
    }
  } else {
    for (const TVexaControl* c : selection_) marks.push_back(MarkRect(c->GetAnchorPoint()));
    if (static_cast<int>(marks.size()) >= kMarksForPreciseRegion) {
      many = true;
      manyBounds = marks.front();
      for (const TRect& r : marks) manyBounds = Bounds(manyBounds, r);
    }
  }
  canvas::Region region;
  const bool precise = !many;
  if (precise) {
    marks.insert(marks.end(), extras.begin(), extras.end());
    region = canvas::Region::FromRects(marks);
  } else {
    extras.push_back(manyBounds);
    region = canvas::Region::FromRects(extras);
  }
  if (region == editRegion_ && precise && editRegionPrecise_) return;
  if (window_.HasParent()) {
    for (const TRect& r : editRegion_.Rects()) window_.Invalidate(r);
    for (const TRect& r : region.Rects()) window_.Invalidate(r);
  }
  editRegion_ = std::move(region);
  editRegionPrecise_ = precise;
}

// ---- What lies under the mouse

void TVexaPanel::UpdatePointHover(bool ctrl) {
  const TPoint client = mousePos_;
  TPointHover hover;
  hover.ctrlEditing = PointToolBase() && ctrl;
  hover.point = FindPointAtMouse();
  // The region also covers the guide and the handle lines, which are not for grabbing: with a
  // point-edited control only its markers count.
  hover.overEditRegion = editRegion_.Contains(client.x, client.y) && (!pointEdited_ || hover.point >= 0);
  if (pointEdited_) {
    const TRect doc = pointEdited_->GetDocRect();
    const TPoint m = PixelToDocPoint(client);
    const TPoint p{ClampToInt32(static_cast<int64_t>(m.x) - doc.left), ClampToInt32(static_cast<int64_t>(m.y) - doc.top)};
    // The control's own test of its path (a shape whose points are only handles, such as an
    // arc's ends, has no path to drag), then the segment and where on it.
    if (pointEdited_->PathHitTest(p, UnscaleValue(kPathTolerancePixels))) {
      std::vector<TPoint> points;
      std::vector<uint8_t> types;
      const TPathFigureInfos infos = FiguresOf(*pointEdited_, points, types);
      TPathNearest nearest;
      int32_t first = -1;
      int32_t next = -1;
      if (FindNearestPathPoint(points, types, p, false, &infos, nearest, first, next) && first >= 0) {
        hover.nearPath = true;
        hover.segmentFirst = first;
        hover.segmentNext = next;
        hover.segmentT = nearest.t;
        hover.curveSegment = first + 1 < static_cast<int32_t>(types.size()) &&
                             types[static_cast<size_t>(first + 1)] == ptControl;
      }
    }
  }
  pointHover_ = hover;
}

bool TVexaPanel::PointerOverEditRegion(int32_t x, int32_t y) const { return editRegion_.Contains(x, y); }

}  // namespace pv::graphics
