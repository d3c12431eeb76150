// Point editing: the one selected control's points selected, dragged, inserted and deleted,
// its path segments dragged, and a connector's end attached to a link point of another
// control. The edit region (markers, guide, curve-handle lines) is kept to repaint and to
// hit-test; the hover state says what lies under the mouse.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "actions/PanelGroups.h"
#include "controls/LinkProps.h"
#include "document/Grid.h"
#include "document/ServiceControls.h"
#include "panel/PanelHistory.h"
#include "panel/VexaPanel.h"
#include "paths/PathQueries.h"
#include "paths/PathTypes.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using winmath::ClampToInt32;

namespace {

constexpr uint8_t kSnapLeftTop = static_cast<uint8_t>(TVexaSnap::snLeft) | static_cast<uint8_t>(TVexaSnap::snTop);
constexpr int kMarksForPreciseRegion = 21;
constexpr int32_t kPathTolerancePixels = 4;
constexpr int32_t kLinkSearchPixels = 16;

// Editor cursors of the point tool.
constexpr int kCursorShape = 1;
constexpr int kCursorAdd = 2;
constexpr int kCursorDelete = 3;
constexpr int kCursorClose = 4;
constexpr int kCursorMove = 5;
constexpr int kCursorMoveCurve = 6;

TRect MarkRect(TPoint p) { return {p.x - 2, p.y - 2, p.x + 3, p.y + 3}; }
bool Holds(const TRect& r, TPoint p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
TRect Bounds(const TRect& a, const TRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

bool LayerMoveable(const TVexaControl& control) {
  const auto* layer = dynamic_cast<const TVexaLayer*>(control.GetLayer());
  return !layer || layer->GetMoveable();
}

// The figures of a control's path, from its own record when it keeps one.
TPathFigureInfos FiguresOf(const TVexaControl& control, std::vector<TPoint>& points, std::vector<uint8_t>& types) {
  control.GetPointsEx(points, types);
  if (const TPathFigureInfos* infos = control.GetPathInfo()) return *infos;
  return BuildFigureInfos(points, types);
}

int NodesIn(const TPathFigureInfo& f, const std::vector<uint8_t>& types) {
  int n = 0;
  for (int32_t i = f.first; i <= f.lastNode; ++i) n += types[static_cast<size_t>(i)] != ptControl ? 1 : 0;
  return n;
}

// Closing an open figure at an end needs a figure worth closing: three nodes or more.
bool ClosesFigureAt(const TVexaControl& control, int index) {
  if (index < 0 || control.IsConnector()) return false;
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  const TPathFigureInfos infos = FiguresOf(control, points, types);
  const int32_t figure = FigureOfPoint(infos, index);
  if (figure < 0) return false;
  const TPathFigureInfo& f = infos.figures[static_cast<size_t>(figure)];
  if (f.closed || (index != f.first && index != f.lastNode)) return false;
  return NodesIn(f, types) >= 3;
}

// Opens the control's points update and closes it however the edit leaves.
class TPointsUpdate {
 public:
  explicit TPointsUpdate(TVexaControl& control) : control_(control) { control_.BeginPointsUpdate(); }
  ~TPointsUpdate() { control_.EndPointsUpdate(); }
  TPointsUpdate(const TPointsUpdate&) = delete;
  TPointsUpdate& operator=(const TPointsUpdate&) = delete;

 private:
  TVexaControl& control_;
};

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
  pointSelection_[static_cast<size_t>(index)] = select ? 1 : 0;
  selectedPoints_ += select ? 1 : -1;
  if (window_.HasParent()) window_.Invalidate(PointRect(index));
  RefreshEditPoints();
  pointEdited_->Notify(TVexaNotify::fnSelectPoint);
}

void TVexaPanel::UnselectAllPoints() {
  for (int i = 0; i < static_cast<int>(pointSelection_.size()) && selectedPoints_ > 0; ++i) SelectPoint(i, false);
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
    pointEdited_->GetPointsEx(points, types);
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
    std::vector<TPoint> points;
    std::vector<uint8_t> types;
    const TPathFigureInfos infos = FiguresOf(*pointEdited_, points, types);
    const TRect doc = pointEdited_->GetDocRect();
    const TPoint m = PixelToDocPoint(client);
    const TPoint p{ClampToInt32(static_cast<int64_t>(m.x) - doc.left), ClampToInt32(static_cast<int64_t>(m.y) - doc.top)};
    const double tolerance = UnscaleValue(kPathTolerancePixels);
    if (PathHitTest(points, types, p, &infos, nullptr, tolerance, false, true)) {
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

int TVexaPanel::PointEditCursor(int32_t, int32_t) const {
  switch (toolMode_) {
    case 9: {
      if (!pointEdited_) return 0;
      if (!pointHover_.ctrlEditing || !LayerMoveable(*pointEdited_)) {
        if (pointHover_.overEditRegion) return kCursorMove;
        if (pointHover_.nearPath) return pointHover_.curveSegment ? kCursorMoveCurve : kCursorMove;
        return kCursorShape;
      }
      if (pointHover_.overEditRegion) {
        return ClosesFigureAt(*pointEdited_, pointHover_.point) ? kCursorClose : kCursorDelete;
      }
      return showEditPointGuide_ && editGuide_.count > 0 ? kCursorAdd : kCursorShape;
    }
    case 10:
      return kCursorShape;
    case 11:
      return kCursorMove;
    case 12:
      return segmentCurve_ ? kCursorMoveCurve : kCursorMove;
    default:
      return 0;
  }
}

// ---- The link point a dragged connector end would attach to

void TVexaPanel::HighlightLinkPoint(TVexaControl* control, int index, TPoint docPoint) {
  if (control == linkControl_ && index == linkPointIndex_ && (index < 0 || docPoint == linkPoint_)) return;
  linkControl_ = index >= 0 ? control : nullptr;
  SetHighlightedLinkPoint(index, docPoint);
}

void TVexaPanel::RefreshLinkHighlight() {
  TVexaControl* edited = pointEdited_;
  const bool connectorEnd = edited && edited->IsConnector() && selectedPoints_ == 1 &&
                            (dragPoint_ == 0 || dragPoint_ == edited->GetPointsCount() - 1);
  if (!connectorEnd || !activeScheme_) {
    HighlightLinkPoint(nullptr, -1, {});
    return;
  }
  const TPoint m = MouseDocPoint();
  const int32_t half = UnscaleValue(kLinkSearchPixels / 2);
  const TRect box{ClampToInt32(static_cast<int64_t>(m.x) - half), ClampToInt32(static_cast<int64_t>(m.y) - half),
                  ClampToInt32(static_cast<int64_t>(m.x) + half), ClampToInt32(static_cast<int64_t>(m.y) + half)};
  TVexaControl* best = nullptr;
  int bestIndex = -1;
  TPoint bestPoint{};
  int64_t bestDistance = 0;
  for (int i = 0; i < activeScheme_->GetCount(); ++i) {
    TVexaControl* c = activeScheme_->GetChild(i);
    if (c == edited || c->IsConnector() || c->GetLinkPointCount() == 0) continue;
    const TRect doc = c->GetDocRect();
    const TRect refresh = c->GetRefreshRect(doc.left, doc.top);
    if (refresh.right < box.left || refresh.left > box.right || refresh.bottom < box.top || refresh.top > box.bottom) {
      continue;
    }
    for (int k = 0; k < c->GetLinkPointCount(); ++k) {
      const TPoint lp = c->GetLinkPoint(k);
      const TPoint p{ClampToInt32(static_cast<int64_t>(doc.left) + lp.x),
                     ClampToInt32(static_cast<int64_t>(doc.top) + lp.y)};
      if (p.x < box.left || p.x > box.right || p.y < box.top || p.y > box.bottom) continue;
      const int64_t ddx = static_cast<int64_t>(p.x) - m.x;
      const int64_t ddy = static_cast<int64_t>(p.y) - m.y;
      const int64_t distance = ddx * ddx + ddy * ddy;
      if (best && distance >= bestDistance) continue;
      best = c;
      bestIndex = k;
      bestPoint = p;
      bestDistance = distance;
    }
  }
  HighlightLinkPoint(best, bestIndex, bestPoint);
}

// ---- The gestures of the point tool

void TVexaPanel::PointEditMouseDown(TMouseButton button, TShiftState shiftState, int32_t x, int32_t y) {
  if (toolMode_ != 9 || button != TMouseButton::mbLeft) return;
  const TPoint client{x, y};
  const bool ctrl = (shiftState & panelwindow::ssCtrl) != 0;
  const bool shift = (shiftState & panelwindow::ssShift) != 0;
  UpdateHover();
  UpdatePointHover(ctrl);
  if (!pointEdited_) {
    UnselectAll();
    if (hoveredTop_) Select(hoveredTop_);
    SetPointEditControl(selection_.size() == 1 ? selection_.front() : nullptr);
    return;
  }
  TVexaControl& edited = *pointEdited_;
  if (!LayerMoveable(edited)) return;
  if (ctrl) {
    BeginSelectionUpdate(false, &TPanelPointsHistoryGroup::ClassInfo);
    try {
      InsertOrDeleteAtMouse(edited);
    } catch (...) {
      EndSelectionUpdate(false, &TPanelPointsHistoryGroup::ClassInfo);
      throw;
    }
    EndSelectionUpdate(false, &TPanelPointsHistoryGroup::ClassInfo);
    editGuide_ = {};
    RefreshEditPoints();
    UpdatePointHover(ctrl);
    return;
  }
  const int index = FindPointAtMouse();
  if (index < 0) {
    if (pointHover_.nearPath) {
      SetToolMode(12);
      return;
    }
    if (!shift) UnselectAllPoints();
    pointStart_ = PixelToDocPoint(client);
    SetToolMode(10);
    return;
  }
  if (!IsPointSelected(index) && edited.GetPointType(index) != ptControl) {
    if (!shift) UnselectAllPoints();
    SelectPoint(index, true);
  }
  const TRect doc = edited.GetDocRect();
  const TPoint p = edited.GetPoint(index);
  pointStart_ = {doc.left + p.x, doc.top + p.y};
  const TPoint m = PixelToDocPoint(client);
  pointGrab_ = {m.x - pointStart_.x, m.y - pointStart_.y};
  dragPoint_ = index;
  SetToolMode(11);
}

void TVexaPanel::InsertOrDeleteAtMouse(TVexaControl& edited) {
  if (pointHover_.overEditRegion) {
    const int index = FindPointAtMouse();
    if (ClosesFigureAt(edited, index)) {
      std::vector<TPoint> points;
      std::vector<uint8_t> types;
      const TPathFigureInfos infos = FiguresOf(edited, points, types);
      const TPathFigureInfo& f = infos.figures[static_cast<size_t>(FigureOfPoint(infos, index))];
      TPointsUpdate update(edited);
      edited.SetPointType(f.lastNode, ptEndNodeClose);
    } else if (index >= 0 && edited.GetPointType(index) != ptControl && edited.GetNodesCount() > 2) {
      // Nodes, not points, count: a curve of two nodes and their handles keeps both nodes.
      TPointsUpdate update(edited);
      edited.DeletePoint(index);
    }
    return;
  }
  // A new point where the guide shows it, else under the mouse; on the grid when snapping.
  const TRect doc = edited.GetDocRect();
  TPoint at = showEditPointGuide_ && editGuide_.count > 0
                  ? TPoint{doc.left + editGuide_.position.x, doc.top + editGuide_.position.y}
                  : MouseDocPoint();
  if (grid_->Snap()) {
    TPoint delta{0, 0};
    DoSnap(grid_->HorizSize(), grid_->VertSize(), 0, kSnapLeftTop, delta, {at.x, at.y, at.x, at.y});
    at = {at.x + delta.x, at.y + delta.y};
  }
  TPointsUpdate update(edited);
  edited.InsertPointAtPos(DocToPixelPoint(at));
}

void TVexaPanel::PointEditMouseMove(TShiftState shiftState, int32_t x, int32_t y) {
  const TPoint client{x, y};
  const bool ctrl = (shiftState & panelwindow::ssCtrl) != 0;
  const bool shift = (shiftState & panelwindow::ssShift) != 0;
  const bool alt = (shiftState & panelwindow::ssAlt) != 0;
  const bool wasCtrlEditing = pointHover_.ctrlEditing;
  UpdatePointHover(ctrl);
  const TPoint m = PixelToDocPoint(client);
  switch (toolMode_) {
    case 9:
      handle_ = HandleAtPoint(x, y);
      if (handle_ != 0) {
        SetToolMode(6);
        return;
      }
      if (!pointEdited_ || !showEditPointGuide_) return;
      if (pointHover_.ctrlEditing) {
        pointEdited_->GetEditPointGuide(client, editGuide_);
        RefreshEditPoints();
      } else if (wasCtrlEditing || editGuide_.count > 0) {
        editGuide_ = {};
        RefreshEditPoints();
      }
      return;
    case 10: {
      const TPoint a = pointStart_;
      TRect band{std::min(a.x, m.x), std::min(a.y, m.y), std::max(a.x, m.x), std::max(a.y, m.y)};
      if (RectWidth(band) >= RectHeight(band)) {
        band.right += 1;
      } else {
        band.bottom += 1;
      }
      SetRubberBand(band);
      return;
    }
    case 11: {
      if (!pointEdited_ || dragPoint_ < 0 || dragPoint_ >= pointEdited_->GetPointsCount()) return;
      const TRect doc = pointEdited_->GetDocRect();
      const TPoint p = pointEdited_->GetPoint(dragPoint_);
      const TPoint at{doc.left + p.x, doc.top + p.y};
      TPoint delta{m.x - pointGrab_.x - at.x, m.y - pointGrab_.y - at.y};
      if (grid_->Snap()) {
        DoSnap(grid_->HorizSize(), grid_->VertSize(), 0, kSnapLeftTop, delta, {at.x, at.y, at.x, at.y});
      }
      if (ctrl) {
        // One axis only: the one moved less since the start goes back to where it was.
        const int64_t mx = static_cast<int64_t>(at.x) + delta.x - pointStart_.x;
        const int64_t my = static_cast<int64_t>(at.y) + delta.y - pointStart_.y;
        if (std::llabs(mx) < std::llabs(my)) {
          delta.x = pointStart_.x - at.x;
        } else {
          delta.y = pointStart_.y - at.y;
        }
      }
      if (delta.x != 0 || delta.y != 0) {
        pointEdited_->MovePathPoint(dragPoint_, delta, shift, shift && alt, &pointSelection_);
        RefreshEditPoints();
      }
      RefreshLinkHighlight();
      return;
    }
    case 12: {
      if (!pointEdited_) return;
      const TPoint delta{m.x - segmentLast_.x, m.y - segmentLast_.y};
      if (delta.x == 0 && delta.y == 0) return;
      pointEdited_->MovePathSegment(segmentFirst_, segmentNext_, segmentT_, delta);
      segmentLast_ = m;
      segmentOffset_ = {segmentOffset_.x + delta.x, segmentOffset_.y + delta.y};
      RefreshEditPoints();
      return;
    }
    default:
      return;
  }
}

void TVexaPanel::PointEditMouseUp(TMouseButton, TShiftState, int32_t, int32_t) {
  if (toolMode_ != 11 || selection_.size() != 1 || !pointEdited_) return;
  TVexaControl* edited = pointEdited_;
  std::vector<TPoint> points;
  std::vector<uint8_t> types;
  edited->GetPointsEx(points, types);
  const bool allAtOrigin =
      !points.empty() && std::all_of(points.begin(), points.end(), [](TPoint p) { return p.x == 0 && p.y == 0; });
  // The points group stays open past the end of the drag, so that what the release does is
  // part of the same undo step; the mode ends before the control may go.
  holdPointsGroup_ = true;
  if (!allAtOrigin && edited->IsConnector() && linkPointIndex_ >= 0 && linkControl_ &&
      (IsPointSelected(0) || IsPointSelected(static_cast<int>(points.size()) - 1))) {
    TLinkProp* start = nullptr;
    TLinkProp* end = nullptr;
    edited->GetLinkProps(start, end);
    auto* link = dynamic_cast<TLinkPointProp*>(IsPointSelected(0) ? start : end);
    if (link) {
      link->SetLinkedControl(linkControl_);
      link->SetLinkPoint(linkPoint_);
    }
  }
  SetToolMode(9);
  holdPointsGroup_ = false;
  if (allAtOrigin && IsSelected(edited)) DeleteSelected();
  if (pointsGroupOpen_) {
    pointsGroupOpen_ = false;
    history_->EndPanelGroup(&TPanelPointsHistoryGroup::ClassInfo);
  }
}

// ---- Starting and finishing the point tool's modes

void TVexaPanel::StartPointEditMode(int mode) {
  switch (mode) {
    case 9:
      SetRubberBand({0, 0, 0, 0});
      if (selection_.size() == 1) {
        if (pointEdited_ == selection_.front()) {
          RefreshEditPoints();
        } else {
          SetPointEditControl(selection_.front());
        }
      } else {
        UnselectAll();
        SetPointEditControl(nullptr);
      }
      return;
    case 11:
    case 12:
      if (!pointEdited_) return;
      if (mode == 12) {
        segmentLast_ = MouseDocPoint();
        segmentOffset_ = {0, 0};
        segmentFirst_ = pointHover_.segmentFirst;
        segmentNext_ = pointHover_.segmentNext;
        segmentT_ = pointHover_.segmentT;
        segmentCurve_ = pointHover_.curveSegment;
      }
      pointEdited_->BeginPointsUpdate();
      pointsUpdated_ = pointEdited_;
      gestureHistoryCount_ = history_->Count();
      pointsGroupOpen_ = (mode == 12 || !CreationGroupOpen()) &&
                         history_->BeginPanelGroup(TPanelPointsHistoryGroup::ClassInfo) != nullptr;
      return;
    default:
      return;
  }
}

void TVexaPanel::FinishPointEditMode(int mode) {
  switch (mode) {
    case 10: {
      const TRect band = rubberBand_;
      SetRubberBand({0, 0, 0, 0});
      // Escape: the band selects nothing.
      if (cancelling_) return;
      const TRect px = DocToPixelRect(band);
      if (std::abs(RectWidth(px)) < 4 && std::abs(RectHeight(px)) < 4) {
        if (hoveredTop_ == pointEdited_ && pointEdited_) return;
        UnselectAll();
        if (hoveredTop_) Select(hoveredTop_);
        SetPointEditControl(selection_.size() == 1 ? selection_.front() : nullptr);
        return;
      }
      if (!pointEdited_) return;
      const TRect doc = pointEdited_->GetDocRect();
      BeginSelectionUpdate(false);
      for (int i = 0; i < pointEdited_->GetPointsCount(); ++i) {
        if (pointEdited_->GetPointType(i) == ptControl) continue;
        const TPoint p = pointEdited_->GetPoint(i);
        const TPoint at{doc.left + p.x, doc.top + p.y};
        if (at.x >= band.left && at.x < band.right && at.y >= band.top && at.y < band.bottom) {
          SelectPoint(i, !IsPointSelected(i));
        }
      }
      EndSelectionUpdate(false);
      return;
    }
    case 11:
    case 12:
      if (pointsUpdated_) {
        TVexaControl* updated = pointsUpdated_;
        pointsUpdated_ = nullptr;
        updated->EndPointsUpdate();
      }
      if (mode == 11) {
        dragPoint_ = -1;
        HighlightLinkPoint(nullptr, -1, {});
      }
      if (pointsGroupOpen_ && !holdPointsGroup_) {
        pointsGroupOpen_ = false;
        history_->EndPanelGroup(&TPanelPointsHistoryGroup::ClassInfo);
        // Escape: the points go back to where the drag found them, and no step is left.
        if (cancelling_ && history_->Count() > gestureHistoryCount_ && history_->Undo()) history_->DeleteLast();
      }
      RefreshEditPoints();
      return;
    default:
      return;
  }
}

}  // namespace pv::graphics
