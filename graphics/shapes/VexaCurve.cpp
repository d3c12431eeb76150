// The curve's points: storage, the change bracket that keeps the rectangle on the path's
// bounds, editing, resizing, transformation and the binary values of the text format.

#include "shapes/VexaCurve.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <optional>

#include "base/Geometry.h"
#include "actions/GeometryActions.h"
#include "actions/PanelGroups.h"
#include "controls/VexaPanel.h"
#include "history/History.h"
#include "paths/EditPoints.h"
#include "paths/PathInsert.h"
#include "paths/PathQueries.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/CurvePoints.h"

namespace pv::graphics {

const TVexaControlClass TVexaCurve::ClassInfo{{"TVexaCurve", &TVexaControl::ClassInfo.ref},
                                              &TVexaControl::Creator<TVexaCurve>};

namespace {

bool IsEndType(uint8_t type) { return type == ptEndNode || type == ptEndNodeClose; }

double Ratio(int64_t to, int64_t from) { return from <= 0 ? 0.0 : static_cast<double>(to) / static_cast<double>(from); }

// A near edge (left or top, relative to the parent at origin) that a fit moves, stopped where
// one of the control's edges would leave the document's coordinate range: the rectangle's
// far edge, held at the limit, would make an undo step of the rectangle give back less than
// the control had.
int32_t HeldNearEdge(int64_t moved, int64_t origin, int32_t extent) {
  const int64_t lowest = int64_t{INT32_MIN} - origin;
  const int64_t highest = std::max(lowest, int64_t{INT32_MAX} - origin - std::max(extent, 0));
  return ClampToInt32(std::clamp(moved, lowest, highest));
}


// The panel's recording is switched off while the curve refits itself outside a group that
// holds its points step: that step restores the rectangle too.
class TNoRecording {
 public:
  explicit TNoRecording(IVexaPanel* panel) : history_(panel ? &panel->History() : nullptr) {
    if (history_) history_->DisableRecording();
  }
  ~TNoRecording() {
    if (history_) history_->EnableRecording();
  }
  TNoRecording(const TNoRecording&) = delete;
  TNoRecording& operator=(const TNoRecording&) = delete;

 private:
  THistory* history_;
};

// One undo step for a change of the points and for what follows from the rectangle fitted to
// them: a group around the curve fitting again, connectors linked to it routing again.
class TPointsStep {
 public:
  explicit TPointsStep(TVexaCurve& curve) : exceptions_(std::uncaught_exceptions()) {
    if (IVexaPanel* panel = curve.Owner()) recording_.emplace(panel->History(), TPanelPointsHistoryGroup::ClassInfo, &curve);
  }
  ~TPointsStep() {
    // Left by an exception, the recording is abandoned instead.
    if (recording_ && std::uncaught_exceptions() == exceptions_) recording_->End();
  }
  TPointsStep(const TPointsStep&) = delete;
  TPointsStep& operator=(const TPointsStep&) = delete;

 private:
  int exceptions_;
  std::optional<THistoryRecording> recording_;
};

}  // namespace

// --- creation and properties

void TVexaCurve::CreateProperties() {
  TVexaControl::CreateProperties();
  TPropList& p = Props();
  brush_ = p.Create<TBrushProp>("Brush");
  pen_ = p.Create<TPenProp>("Pen");
  beginCap_ = p.Create<TLineCapProp>("BeginCap");
  endCap_ = p.Create<TLineCapProp>("EndCap");
  isSolid_ = p.Create<TBoolProp>("IsSolid");
  // The old form of the points is only read (a file of an older writer), never written.
  oldPoints_ = p.Create<TMemberDataProp<TVexaCurve, nullptr, &TVexaCurve::SetOldPointsValue>>("Points", *this);
  oldPoints_->SetFlags(0);
  pathPoints_ = p.Create<TMemberDataProp<TVexaCurve, &TVexaCurve::GetPathPointsValue, &TVexaCurve::SetPathPointsValue>>(
      "PathPoints", *this);
  pathPoints_->SetFlags(0);
}

void TVexaCurve::ControlCreate() {
  pathInfoStale_ = true;
  brush_->SetColor(canvas::clNone);
  brush_->SetStyle(canvas::BrushStyle::Solid);
  points_ = {{0, 0}, {0, 0}};
  types_ = {ptNode, ptEndNode};
  fresh_ = true;
  TVexaControl::ControlCreate();
  SetVisible(true);
}

void TVexaCurve::ControlDestroy() {
  TVexaControl::ControlDestroy();
  points_.clear();
  types_.clear();
  pathInfoStale_ = true;
}

void TVexaCurve::PropChanged(TCustomProp& prop) {
  TVexaControl::PropChanged(prop);
  if (&prop != isSolid_ || rebuilding_ || points_.empty()) return;
  // The last figure's end follows the flag.
  Invalidate();
  for (size_t i = types_.size(); i-- > 0;) {
    if (types_[i] == ptControl) continue;
    types_[i] = GetIsSolid() ? ptEndNodeClose : ptEndNode;
    break;
  }
  EndPointsChange();
}

void TVexaCurve::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  TVexaControl::PropStored(prop, subName, stored);
  if (!subName.empty()) return;
  if (&prop == isSolid_) stored = GetIsSolid();
  if (&prop == oldPoints_) stored = false;
  if (&prop == pathPoints_) stored = !points_.empty();
}

bool TVexaCurve::LayerMoveable() const {
  const TVexaControl* layer = GetLayer();
  if (!layer || layer == this) return true;
  const auto* moveable = dynamic_cast<const TBoolProp*>(const_cast<TVexaControl*>(layer)->Props().PropByName("Moveable"));
  return !moveable || moveable->GetValue();
}

bool TVexaCurve::IsPanelLoading() const { return HasState(csLoading) || (Owner() && Owner()->IsLoading()); }

// --- the points

TPoint TVexaCurve::GetPoint(int index) const {
  if (index < 0 || index >= GetPointsCount()) return {};
  return points_[static_cast<size_t>(index)];
}

uint8_t TVexaCurve::GetPointType(int index) const {
  if (index < 0 || index >= GetPointsCount()) return ptNode;
  return types_[static_cast<size_t>(index)];
}

void TVexaCurve::SetPoint(int index, TPoint point) {
  if (index < 0 || index >= GetPointsCount() || !LayerMoveable()) return;
  if (points_[static_cast<size_t>(index)] == point) return;
  TPointsStep step(*this);
  BeginPointsChange();
  points_[static_cast<size_t>(index)] = point;
  EndPointsChange();
}

void TVexaCurve::SetPointType(int index, uint8_t type) {
  if (index < 0 || index >= GetPointsCount() || type > ptControl || !LayerMoveable()) return;
  TPointsStep step(*this);
  BeginPointsChange();
  types_[static_cast<size_t>(index)] = type;
  EndPointsChange();
}

void TVexaCurve::SetPointsEx(const std::vector<TPoint>& points, const std::vector<uint8_t>& types) {
  if (points.size() != types.size()) return;
  TPointsStep step(*this);
  Invalidate();
  BeginPointsChange();
  points_ = points;
  types_ = types;
  EndPointsChange();
}

void TVexaCurve::GetPointsEx(std::vector<TPoint>& points, std::vector<uint8_t>& types) const {
  points = points_;
  types = types_;
}

void TVexaCurve::RestorePoints(const TRect& rect, const std::vector<TPoint>& points,
                               const std::vector<uint8_t>& types) {
  const bool outer = !restoring_;
  restoring_ = true;
  try {
    TVexaControl::RestorePoints(rect, points, types);
  } catch (...) {
    if (outer) restoring_ = false;
    throw;
  }
  if (outer) restoring_ = false;
}

bool TVexaCurve::KeepsGeometryAsGiven() const { return restoring_ || IsHistorySource(); }

void TVexaCurve::GetPointsForUndo(TRect& rect, std::vector<TPoint>& points, std::vector<uint8_t>& types) const {
  if (InTransformation() && TransformPoints().size() == types_.size()) {
    const TRect& s = SavedRect();
    const TPoint o = SavedOrigin();
    rect = {s.left + o.x, s.top + o.y, s.right + o.x, s.bottom + o.y};
    points = TransformPoints();
    types = types_;
    return;
  }
  rect = GetDocRect();
  GetPointsEx(points, types);
}

const TPathFigureInfos* TVexaCurve::GetPathInfo() const {
  if (pathInfoStale_ || pathInfo_.pathLength != GetPointsCount()) {
    pathInfo_ = BuildFigureInfos(points_, types_);
    pathInfoStale_ = false;
  }
  return &pathInfo_;
}

TPoint TVexaCurve::GetLinkPoint(int index) const {
  const int i = GetPointIndex(index);
  return i < 0 ? TPoint{} : points_[static_cast<size_t>(i)];
}

TPoint TVexaCurve::GetAnchorPoint() const {
  const TRect r = GetDocRect();
  const TPoint first = GetPoint(0);
  const TPoint doc{r.left + first.x, r.top + first.y};
  return Owner() ? Owner()->DocToPixelPoint(doc) : doc;
}

void TVexaCurve::GetEndPointsInfo(TEndPointsInfo& info) const {
  info.hasEndPoints = true;
  info.lastEndPoint = GetPointsCount() - 1;
  info.movable = true;
}

// --- the change bracket

void TVexaCurve::BeginPointsChange() {
  // An ancestor's update bracket records the curve as the bracket found it, when it ends.
  if (!Owner() || AncestorRecordsSizeMove()) return;
  THistoryAction* step = Owner()->History().RecordStep(TPointsHistoryAction::ClassInfo, this);
  // Inside an update bracket the rectangle may have moved already, with no step of its own
  // until the bracket ends: undo returns to the rectangle the bracket began with, to which
  // the points belong.
  auto* points = dynamic_cast<TPointsHistoryAction*>(step);
  if (points && InUpdate() && !InTransformation()) points->TakeUpdateRect(*this);
}

bool TVexaCurve::OpenGroupHoldsPointsStep() const {
  if (!Owner()) return false;
  const THistoryGroup* group = Owner()->History().OpenGroup();
  return group && group->HoldsSame(TPointsHistoryAction::ClassInfo, const_cast<TVexaCurve*>(this));
}

void TVexaCurve::RecordPointsStep(const TRect& rect) {
  if (!Owner() || AncestorRecordsSizeMove()) return;
  THistoryAction* step = Owner()->History().RecordStep(TPointsHistoryAction::ClassInfo, this);
  if (auto* points = dynamic_cast<TPointsHistoryAction*>(step)) points->SetRecorded(rect, points_, types_);
}

void TVexaCurve::EndPointsChange() {
  pathInfoStale_ = true;
  if (UpdateCount() > 0 || rebuilding_ || IsPanelLoading()) return;
  rebuilding_ = true;
  try {
    // The points step restores the rectangle too. Inside a group that holds it, what the new
    // rectangle sets off elsewhere (a group around the curve fitting again, connectors linked
    // to it routing again) joins that group. Without one (the points changed inside an update
    // bracket, and the step that took them has ended), a fit that moves the rectangle is a
    // step of its own, from the points as they are now; else nothing is set off. An ancestor's
    // bracket records the curve itself when it ends, but not what the fit sets off in controls
    // outside it (a clone following the curve, the group around that clone): recording stays
    // on for them.
    std::optional<TPointsStep> step;
    if (!OpenGroupHoldsPointsStep() && !KeepsGeometryAsGiven() && FitMovesRect()) {
      step.emplace(*this);
      RecordPointsStep(GetDocRect());
    }
    std::optional<TNoRecording> noRecording;
    if (!OpenGroupHoldsPointsStep() && !AncestorRecordsSizeMove()) noRecording.emplace(Owner());
    if (!KeepsGeometryAsGiven()) FitRectToPoints();
    if (!points_.empty()) {
      const TPathFigureInfos* infos = GetPathInfo();
      if (!infos->figures.empty()) SetIsSolid(infos->figures.back().closed);
    }
  } catch (...) {
    rebuilding_ = false;
    throw;
  }
  rebuilding_ = false;
  Notify(TVexaNotify::fnEditPoints);
}

void TVexaCurve::FitRectToPoints() {
  if (points_.empty()) {
    BeginUpdate();
    SetWidth(0);
    SetHeight(0);
    EndUpdate();
    return;
  }
  const TPointBounds64 b = PointsBounds();
  if (b.left != 0 || b.top != 0) {
    for (TPoint& p : points_) p = {ClampToInt32(p.x - b.left), ClampToInt32(p.y - b.top)};
  }
  if (std::any_of(points_.begin(), points_.end(), [](TPoint p) { return p.x != 0 || p.y != 0; })) fresh_ = false;
  const TDocOffset origin = ParentDocOffset();
  const int32_t width = ClampToInt32(b.Width());
  const int32_t height = ClampToInt32(b.Height());
  BeginUpdate();
  SetLeft(HeldNearEdge(GetLeft() + b.left, origin.x, width));
  SetTop(HeldNearEdge(GetTop() + b.top, origin.y, height));
  SetWidth(width);
  SetHeight(height);
  EndUpdate();
}

TPointBounds64 TVexaCurve::PointsBounds() const {
  TPointBounds64 b;
  const TPathFigureInfos* infos = GetPathInfo();
  TRect exact;
  if (infos->anyCurves && GetPathBounds(points_, types_, exact, infos)) {
    b = {exact.left, exact.top, exact.right, exact.bottom};
  } else {
    GetPointBounds64(points_, b);
  }
  return b;
}

bool TVexaCurve::FitMovesRect() const {
  if (points_.empty()) return false;
  const TPointBounds64 b = PointsBounds();
  // A side of no length stays 1 long.
  const auto side = [](int64_t length) { return std::max<int32_t>(ClampToInt32(length), 1); };
  return ClampToInt32(b.left) != 0 || ClampToInt32(b.top) != 0 || side(b.Width()) != std::max(GetWidth(), 1) ||
         side(b.Height()) != std::max(GetHeight(), 1);
}

bool TVexaCurve::EndUpdate() {
  const bool last = TVexaControl::EndUpdate();
  if (last && !rebuilding_) EndPointsChange();
  return last;
}

void TVexaCurve::ScalePoints(const std::vector<TPoint>& from, double sx, double sy) {
  points_.resize(from.size());
  for (size_t i = 0; i < from.size(); ++i) points_[i] = {RoundScaled(sx, from[i].x), RoundScaled(sy, from[i].y)};
}

void TVexaCurve::Notify(TVexaNotify code) {
  if (code == TVexaNotify::fnRect && !points_.empty() && UpdateCount() == 0 && !rebuilding_ && !IsPanelLoading() &&
      !KeepsGeometryAsGiven()) {
    if (fresh_) {
      // A curve just drawn by dragging runs from the top-left to the bottom-right corner.
      if (GetWidth() > 0 && GetHeight() > 0) {
        if (points_.back() == TPoint{0, 0}) points_.back() = {GetWidth(), GetHeight()};
        fresh_ = false;
        pathInfoStale_ = true;
      }
    } else if (InTransformation() && TransformPoints().size() == points_.size()) {
      BeginPointsChange();
      ScalePoints(TransformPoints(), Ratio(GetWidth(), RectWidth(SavedRect())),
                  Ratio(GetHeight(), RectHeight(SavedRect())));
      EndPointsChange();
    } else if (GetDocRect() != UpdateRect()) {
      // A side that kept its length did not resize, even at zero (a rectangle not yet fitted to
      // its points, a vertical line): the ratio of zero to zero would collapse the points.
      const TRect old = UpdateRect();
      const double sx = GetWidth() == RectWidth(old) ? 1.0 : Ratio(GetWidth(), RectWidth(old));
      const double sy = GetHeight() == RectHeight(old) ? 1.0 : Ratio(GetHeight(), RectHeight(old));
      if (sx != 1.0 || sy != 1.0) {
        // One step with what the new rectangle sets off: a group around the curve fits
        // again, and only a step that holds it gives the group's rectangle back.
        TPointsStep step(*this);
        RecordPointsStep(old);
        ScalePoints(std::vector<TPoint>(points_), sx, sy);
        EndPointsChange();
      }
    }
  }
  TVexaControl::Notify(code);
}

// --- editing

int TVexaCurve::InsertNodes(int index, std::span<const TPoint> points, std::span<const uint8_t> types) {
  const int n = GetPointsCount();
  if (index < 0 || index > n) return -1;
  if (index < n && types_[static_cast<size_t>(index)] == ptControl) return -1;
  TPointsStep step(*this);
  BeginPointsChange();
  Invalidate();
  InsertPoints(points_, types_, index, static_cast<int32_t>(points.size()));
  std::copy(points.begin(), points.end(), points_.begin() + index);
  std::copy(types.begin(), types.end(), types_.begin() + index);
  if (index == n) {
    // Appended: the path's last node hands its end over, so that the figure runs on.
    int lastNode = index - 1;
    while (lastNode >= 0 && types_[static_cast<size_t>(lastNode)] == ptControl) --lastNode;
    uint8_t& newType = types_[static_cast<size_t>(index)];
    if (lastNode >= 0 && IsEndType(types_[static_cast<size_t>(lastNode)])) {
      newType = types_[static_cast<size_t>(lastNode)];
      types_[static_cast<size_t>(lastNode)] = ptNode;
    } else if (lastNode < 0) {
      newType = GetIsSolid() ? ptEndNodeClose : ptEndNode;
    }
  }
  EndPointsChange();
  return index;
}

int TVexaCurve::InsertPoint(int index, TPoint point) {
  const TPoint p[1] = {point};
  const uint8_t t[1] = {ptNode};
  return InsertNodes(index, p, t);
}

int TVexaCurve::InsertCurvePoint(int index, TPoint node, TPoint control1, TPoint control2) {
  const TPoint p[3] = {node, control1, control2};
  const uint8_t t[3] = {ptNode, ptControl, ptControl};
  return InsertNodes(index, p, t);
}

void TVexaCurve::DeletePoint(int index) {
  const int n = GetPointsCount();
  if (index < 0 || index >= n || types_[static_cast<size_t>(index)] == ptControl) return;
  const TPathFigureInfos infos = BuildFigureInfos(points_, types_);
  const int32_t figure = FigureOfPoint(infos, index);
  if (figure < 0) return;
  const TPathFigureInfo f = infos.figures[static_cast<size_t>(figure)];
  TPointsStep step(*this);
  BeginPointsChange();
  auto followed = [&](int i) { return i + 2 < n && types_[static_cast<size_t>(i + 1)] == ptControl; };
  int previous = f.lastNode;
  if (index != f.first) previous = types_[static_cast<size_t>(index - 1)] == ptControl ? index - 3 : index - 1;
  if (previous < 0) previous = f.first;
  if (index == f.lastNode) types_[static_cast<size_t>(previous)] = f.closed ? ptEndNodeClose : ptEndNode;
  // The segment that now runs from the previous node keeps the far end of the deleted one.
  if (previous != index && followed(previous) && followed(index))
    points_[static_cast<size_t>(previous + 2)] = points_[static_cast<size_t>(index + 2)];
  const int count = followed(index) ? 3 : 1;
  Invalidate();
  InsertPoints(points_, types_, index, -count);
  EndPointsChange();
}

int TVexaCurve::InsertPointAtPos(TPoint position) {
  if (points_.empty()) return -1;
  const TPoint p = PixelToLocal(position);
  double tolerance = 4000.0;
  if (IVexaPanel* panel = Owner()) {
    tolerance = 4.0 * 100000.0 / std::max(panel->Scale(), 1);
  }
  // Tried on copies: a position the path cannot take leaves no undo step behind.
  TPointArray points = points_;
  TTypeArray types = types_;
  const int32_t index = InsertNearestPathPoint(points, types, p, nullptr, tolerance);
  if (index < 0) return -1;
  TPointsStep step(*this);
  BeginPointsChange();
  Invalidate();
  points_ = std::move(points);
  types_ = std::move(types);
  EndPointsChange();
  return index;
}

bool TVexaCurve::EditPoints(int operation, const std::vector<uint8_t>* selection, TPoint delta) {
  if (!selection) return false;
  TPointsStep step(*this);
  BeginPointsChange();
  Invalidate();
  const TEditPointsOffset offset{delta.x, delta.y, true};
  if (!graphics::EditPoints(points_, types_, *selection, offset, operation)) return false;
  EndPointsChange();
  return true;
}

uint32_t TVexaCurve::GetEditPointsCaps(const std::vector<uint8_t>* selection) const {
  return selection ? graphics::GetEditPointsCaps(points_, types_, *selection) : 0;
}

bool TVexaCurve::FlattenPoints(double tolerance) {
  TPointsStep step(*this);
  BeginPointsChange();
  TPointArray points = points_;
  TTypeArray types = types_;
  const double factor = tolerance > 0 ? 1.0 / tolerance : 1.0;
  if (!FlattenPath(points, types, GetPathInfo(), factor)) return false;
  if (points == points_ && types == types_) return false;
  Invalidate();
  points_ = std::move(points);
  types_ = std::move(types);
  EndPointsChange();
  return true;
}

bool TVexaCurve::PathHitTest(TPoint point, int32_t tolerance) const {
  return graphics::PathHitTest(points_, types_, point, GetPathInfo(), nullptr, tolerance, false, true);
}

bool TVexaCurve::FindNearestPathPoint(TPoint point, int32_t& segmentStart, int32_t& nextIndex) const {
  TPathNearest nearest;
  return graphics::FindNearestPathPoint(points_, types_, point, true, GetPathInfo(), nearest, segmentStart, nextIndex);
}

bool TVexaCurve::MovePathPoint(int index, TPoint delta, bool symmetric, bool smooth,
                               const std::vector<uint8_t>* selection) {
  BeginPointsChange();
  return TVexaControl::MovePathPoint(index, delta, symmetric, smooth, selection);
}

bool TVexaCurve::MovePathSegment(int first, int last, double t, TPoint delta) {
  BeginPointsChange();
  return TVexaControl::MovePathSegment(first, last, t, delta);
}

// --- transformation

void TVexaCurve::BeginTransformation(TPoint origin) {
  const bool already = InTransformation();
  TVexaControl::BeginTransformation(origin);
  if (!already) transformPoints_ = std::make_unique<TPointArray>(points_);
}

const TPointArray& TVexaCurve::TransformPoints() const {
  static const TPointArray none;
  return transformPoints_ ? *transformPoints_ : none;
}

void TVexaCurve::EndTransformation() {
  TVexaControl::EndTransformation();
  transformPoints_.reset();
}

void TVexaCurve::Mirror(bool horizontal, bool vertical) {
  TVexaControl::Mirror(horizontal, vertical);
  if (!InTransformation()) return;
  const int32_t width = RectWidth(SavedRect());
  const int32_t height = RectHeight(SavedRect());
  if (!transformPoints_) return;
  for (TPoint& p : *transformPoints_) {
    if (horizontal) p.x = width - p.x;
    if (vertical) p.y = height - p.y;
  }
}

void TVexaCurve::Rotate(const TRotateRec& rec) {
  BeginRotation();
  try {
    RotatePoints(rec);
    if (!points_.empty()) {
      BeginPointsChange();
      const TRect r = GetDocRect();
      TRotateRec local = rec;
      local.x = ClampToInt32(static_cast<int64_t>(rec.x) - r.left);
      local.y = ClampToInt32(static_cast<int64_t>(rec.y) - r.top);
      graphics::RotatePoints(points_, local);
      EndPointsChange();
    }
  } catch (...) {
    EndRotation();
    throw;
  }
  EndRotation();
  brush_->Transform(rec.angle, rec.mirror);
}

// --- the binary values

PropValue TVexaCurve::GetPathPointsValue() const {
  if (points_.empty()) return PropValue::Bytes({});
  return PropValue::Bytes(EncodePathPoints(points_, types_));
}

void TVexaCurve::SetPathPointsValue(const PropValue& value) {
  if (value.GetKind() != PropValue::Kind::Bytes) return;
  TPointArray points;
  TTypeArray types;
  // A value of no points is what an empty curve writes: reading it changes nothing.
  if (!DecodePathPoints(value.AsBytes(), points, types) || points.empty()) return;
  Invalidate();
  points_ = std::move(points);
  types_ = std::move(types);
  fresh_ = false;
  EndPointsChange();
}

void TVexaCurve::SetOldPointsValue(const PropValue& value) {
  if (value.GetKind() != PropValue::Kind::Bytes) return;
  TPointArray points;
  TTypeArray types;
  if (!DecodeOldPoints(value.AsBytes(), GetIsSolid(), points, types)) return;
  Invalidate();
  points_ = std::move(points);
  types_ = std::move(types);
  fresh_ = false;
  EndPointsChange();
}

}  // namespace pv::graphics
