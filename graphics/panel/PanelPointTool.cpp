// The point tool's gestures (modes 9 .. 12): Ctrl-clicks that close a figure, delete or
// insert a node, dragging points (snapped, held to one axis with Ctrl) and segments as one
// undo step each, the point band, a connector's end attached to the link point nearest the
// mouse, the start and finish of each mode, and the cursor of each.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "actions/PanelGroups.h"
#include "controls/LinkProps.h"
#include "document/Grid.h"
#include "document/ServiceControls.h"
#include "forms/CursorIds.h"
#include "panel/PanelHistory.h"
#include "panel/PointPaths.h"
#include "panel/VexaPanel.h"
#include "paths/PathTypes.h"
#include "winmath/WinMath.h"

namespace pv::graphics {

using pointedit::ClosesFigureAt;
using pointedit::FiguresOf;
using winmath::ClampToInt32;

namespace {

constexpr uint8_t kSnapLeftTop = static_cast<uint8_t>(TVexaSnap::snLeft) | static_cast<uint8_t>(TVexaSnap::snTop);
constexpr int32_t kLinkSearchPixels = 16;

bool LayerMoveable(const TVexaControl& control) {
  const auto* layer = dynamic_cast<const TVexaLayer*>(control.GetLayer());
  return !layer || layer->GetMoveable();
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

// ---- The cursor

int TVexaPanel::PointEditCursor(int32_t, int32_t) const {
  switch (toolMode_) {
    case 9: {
      if (!pointEdited_) return forms::crDefault;
      if (!pointHover_.ctrlEditing || !LayerMoveable(*pointEdited_)) {
        if (pointHover_.overEditRegion) return forms::crShapeMove;
        if (pointHover_.nearPath) return pointHover_.curveSegment ? forms::crShapeMoveCurve : forms::crShapeMove;
        return forms::crShape;
      }
      if (pointHover_.overEditRegion) {
        return ClosesFigureAt(*pointEdited_, pointHover_.point) ? forms::crShapeClose : forms::crShapeDel;
      }
      return showEditPointGuide_ && editGuide_.count > 0 ? forms::crShapeAdd : forms::crShape;
    }
    case 10:
      return forms::crShape;
    case 11:
      return forms::crShapeMove;
    case 12:
      return segmentCurve_ ? forms::crShapeMoveCurve : forms::crShapeMove;
    default:
      return forms::crDefault;
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
  pointedit::EditedPoints(*edited, points, types);
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
      // Back from a drag the path has moved under the mouse: the cursor follows what is there now.
      UpdatePointHover((mouseShift_ & panelwindow::ssCtrl) != 0);
      return;
    case 11:
    case 12:
      if (!pointEdited_) return;
      if (mode == 12) {
        segmentLast_ = MouseDocPoint();
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
