// The connector's properties, its geometry lock, the links to its ends and rerouting with
// what sets it off.

#include "connectors/VexaConnector.h"

#include <optional>

#include "actions/PanelGroups.h"
#include "controls/LinkProps.h"
#include "controls/VexaPanel.h"
#include "document/FlagScope.h"
#include "history/History.h"
#include "shapes/CurvePoints.h"
#include "shapes/ShapeClasses.h"

namespace pv::graphics {

const TVexaControlClass TVexaConnector::ClassInfo{{"TVexaConnector", &TVexaCurve::ClassInfo.ref},
                                                  &TVexaControl::Creator<TVexaConnector>};

void RegisterConnectorClasses() {
  RegisterShapeClasses();
  RegisterControlClass(TVexaConnector::ClassInfo);
}

namespace {

const std::vector<std::string> kRerouteModeNames{"Always", "AsNeeded", "Never"};

class TLinkUpdate {
 public:
  explicit TLinkUpdate(TVexaConnector& connector) : connector_(connector) { connector_.BeginLinkUpdate(); }
  ~TLinkUpdate() { connector_.EndLinkUpdate(); }
  TLinkUpdate(const TLinkUpdate&) = delete;
  TLinkUpdate& operator=(const TLinkUpdate&) = delete;

 private:
  TVexaConnector& connector_;
};

TPoint Relative(TPoint p, const TRect& origin) {
  return {ClampToInt32(int64_t{p.x} - origin.left), ClampToInt32(int64_t{p.y} - origin.top)};
}

}  // namespace

// --- creation and properties

void TVexaConnector::CreateProperties() {
  TVexaCurve::CreateProperties();
  TPropList& p = Props();
  rerouteMode_ = p.Create<TEnumProp>("RerouteMode", &kRerouteModeNames);
  ortogonal_ = p.Create<TBoolProp>("Ortogonal");
  linkA_ = TLinkPointProp::CreateIn(p, "LinkA");
  linkB_ = TLinkPointProp::CreateIn(p, "LinkB");
  for (TLinkPointProp* link : {linkA_, linkB_}) {
    link->SetFlags(pfNew | pfReference);
    link->OnLinkNotify = [this](TLinkProp&, const TNotifyLinkInfo& info) { LinkNotify(info); };
  }
  minimalGap_ = p.Create<TIntProp>("MinimalGap");
  minimalGap_->SetFlags(static_cast<uint8_t>(minimalGap_->Flags() | pfNoRepaint | pfThousandths));
}

void TVexaConnector::ControlCreate() {
  TVexaCurve::ControlCreate();
  PointsRef() = {{0, 0}, {0, 0}, {0, 0}};
  TypesRef() = {ptNode, ptNode, ptEndNode};
  SetOrtogonal(true);
}

void TVexaConnector::ControlDestroy() {
  // The destruction's undo step keeps the connector as it stands, links included: the links
  // let go only after it has been taken.
  TVexaCurve::ControlDestroy();
  linkA_->SetLinkedControl(nullptr);
  linkB_->SetLinkedControl(nullptr);
}

uint8_t TVexaConnector::GetRerouteMode() const { return rerouteMode_->GetEnumIndex(); }
void TVexaConnector::SetRerouteMode(uint8_t mode) {
  if (mode <= rmNever) rerouteMode_->SetEnumIndex(mode);
}
bool TVexaConnector::GetOrtogonal() const { return ortogonal_->GetValue(); }
void TVexaConnector::SetOrtogonal(bool orthogonal) { ortogonal_->SetValue(orthogonal); }
int32_t TVexaConnector::GetMinimalGap() const { return minimalGap_->GetValue(); }
void TVexaConnector::SetMinimalGap(int32_t gap) { minimalGap_->SetValue(gap); }

bool TVexaConnector::IsLinked() const { return linkA_->LinkedControl() || linkB_->LinkedControl(); }

void TVexaConnector::GetLinkProps(TLinkProp*& start, TLinkProp*& end) const {
  start = linkA_;
  end = linkB_;
}

void TVexaConnector::PropChanged(TCustomProp& prop) {
  TVexaCurve::PropChanged(prop);
  if (&prop == minimalGap_) {
    if (GetMinimalGap() < 0) {
      SetMinimalGap(0);
      return;
    }
    if (GetRerouteMode() != rmNever && !IsPanelLoading()) Reroute();
  } else if (&prop == rerouteMode_) {
    if (GetRerouteMode() != rmNever && !IsPanelLoading()) Reroute();
  } else if (&prop == linkA_ || &prop == linkB_) {
    if (!movingWithSelection_) SetGeometryLocked(IsLinked());
  }
}

void TVexaConnector::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  TVexaCurve::PropStored(prop, subName, stored);
  if (!subName.empty()) return;
  if (&prop == rerouteMode_) stored = GetRerouteMode() != rmAlways;
  if (&prop == ortogonal_) stored = !GetOrtogonal();
  // A control the connector came to carry after it was linked is a link that a load refuses:
  // it is not saved either, so that the text reads back as saved.
  if (&prop == linkA_ || &prop == linkB_) {
    const TVexaControl* linked = static_cast<TLinkProp&>(prop).LinkedControl();
    stored = linked && !IsAncestorOf(linked);
  }
  if (&prop == minimalGap_) stored = GetMinimalGap() > 0;
}

// --- the geometry lock

void TVexaConnector::SetGeometryLocked(bool locked) {
  if (movingWithSelection_) locked = false;
  if (locked == geometryLocked_) return;
  geometryLocked_ = locked;
  for (TIntProp* g : {left_, top_, width_, height_}) {
    g->SetFlags(static_cast<uint8_t>(locked ? g->Flags() | pfReadOnly : g->Flags() & ~pfReadOnly));
  }
}

void TVexaConnector::BeginLinkUpdate() {
  if (linkUpdateCount_++ == 0 && IsLinked()) SetGeometryLocked(false);
}

void TVexaConnector::EndLinkUpdate() {
  if (linkUpdateCount_ == 0) return;
  if (--linkUpdateCount_ == 0 && IsLinked()) SetGeometryLocked(true);
}

void TVexaConnector::EndPointsChange() {
  TLinkUpdate update(*this);
  TVexaCurve::EndPointsChange();
}

void TVexaConnector::SetDocRect(const TRect& rect) {
  if (!geometryLocked_) TVexaCurve::SetDocRect(rect);
}

void TVexaConnector::Mirror(bool horizontal, bool vertical) {
  if (!geometryLocked_) TVexaCurve::Mirror(horizontal, vertical);
}

void TVexaConnector::Rotate(const TRotateRec& rec) {
  if (!geometryLocked_) TVexaCurve::Rotate(rec);
}

void TVexaConnector::RestorePoints(const TRect& rect, const std::vector<TPoint>& points,
                                   const std::vector<uint8_t>& types) {
  TLinkUpdate update(*this);
  TVexaCurve::RestorePoints(rect, points, types);
}

void TVexaConnector::GetEndPointsInfo(TEndPointsInfo& info) const {
  TVexaCurve::GetEndPointsInfo(info);
  if (info.index == 0) {
    info.movable = !linkA_->LinkedControl();
  } else if (info.index == info.lastEndPoint) {
    info.movable = !linkB_->LinkedControl();
  } else {
    info.movable = false;
  }
  if (GetRerouteMode() != rmAlways) info.movable = true;
}

// --- rerouting

void TVexaConnector::Reroute() {
  if (rerouting_) {
    reroutePending_ = true;
    return;
  }
  TFlagScope rerouting(rerouting_);
  reroutePending_ = false;
  RouteOnce();
  // Requests that came back through our own change run once more; any that arrive during
  // that run are dropped, so that two connectors linked to each other settle.
  if (reroutePending_) RouteOnce();
  reroutePending_ = false;
}

// In document coordinates: a frame taken from the connector's own rectangle would clip a
// linked control far from it differently from one load of the document to the next.
TRouteInfo TVexaConnector::MakeRouteInfo() const {
  const TVexaControl* a = linkA_->LinkedControl();
  const TVexaControl* b = linkB_->LinkedControl();
  TRouteInfo info;
  info.sameControl = a && a == b;
  info.gap = GetMinimalGap() != 0 ? GetMinimalGap() : (Owner() ? Owner()->ConnectorsMinGap() : 0);
  info.rerouteMode = GetRerouteMode();
  info.orthogonal = GetOrtogonal();
  info.linkA = linkA_->GetLinkPoint();
  info.linkB = linkB_->GetLinkPoint();
  info.rectA = a ? a->GetDocRect() : TRect{info.linkA.x, info.linkA.y, info.linkA.x, info.linkA.y};
  info.rectB = b ? b->GetDocRect() : TRect{info.linkB.x, info.linkB.y, info.linkB.x, info.linkB.y};
  return info;
}

void TVexaConnector::RouteOnce() {
  TVexaControl* a = linkA_->LinkedControl();
  TVexaControl* b = linkB_->LinkedControl();
  std::optional<THistoryRecording> group;
  if (IVexaPanel* panel = Owner()) {
    // Undo and redo give back the routes the step recorded: the linked controls come back
    // one after the other, and routing on each would leave a route through places between.
    if (panel->History().Replaying()) return;
    group.emplace(panel->History(), TPanelRerouteHistoryGroup::ClassInfo, this);
  }
  const TRouteInfo info = MakeRouteInfo();
  const TRect origin = GetDocRect();
  if (a || b) {
    TPointArray points = PointsRef();
    for (TPoint& p : points) p = {ClampToInt32(int64_t{p.x} + origin.left), ClampToInt32(int64_t{p.y} + origin.top)};
    TTypeArray types = TypesRef();
    if (RouteOrthogonal(points, types, info)) StoreRoute(std::move(points), std::move(types));
  } else {
    SetUnlinkedEnds(Relative(info.linkA, origin), Relative(info.linkB, origin));
  }
  if (group) group->End();
}

// Relative to the rectangle, as the points are kept. A route far from where the rectangle
// was (more than the int32 range away) would not fit that way: the rectangle moves onto the
// route first, inside the same change.
void TVexaConnector::StoreRoute(TPointArray points, TTypeArray types) {
  TRect origin = GetDocRect();
  TPoint corner = points.empty() ? TPoint{origin.left, origin.top} : points.front();
  bool fits = true;
  for (const TPoint& p : points) {
    corner = {std::min(corner.x, p.x), std::min(corner.y, p.y)};
    const TPoint local = Relative(p, origin);
    fits = fits && int64_t{local.x} + origin.left == p.x && int64_t{local.y} + origin.top == p.y;
  }
  if (fits) {
    for (TPoint& p : points) p = Relative(p, origin);
    if (points == PointsRef() && types == TypesRef()) return;
  }
  BeginPointsChange();
  Invalidate();
  if (!fits) {
    BeginUpdate();
    SetLeft(ClampToInt32(int64_t{GetLeft()} + corner.x - origin.left));
    SetTop(ClampToInt32(int64_t{GetTop()} + corner.y - origin.top));
    origin = GetDocRect();
    for (TPoint& p : points) p = Relative(p, origin);
  }
  PointsRef() = std::move(points);
  TypesRef() = std::move(types);
  if (fits) {
    EndPointsChange();
  } else {
    EndUpdate();
  }
}

void TVexaConnector::SetUnlinkedEnds(TPoint a, TPoint b) {
  BeginPointsChange();
  Invalidate();
  TPointArray& points = PointsRef();
  TTypeArray& types = TypesRef();
  if (points.size() < 2) {
    points.resize(2);
    types = {ptNode, ptEndNode};
  }
  points.front() = a;
  // Just created: the middle point joins end A, so the route runs from A to B.
  if (points.size() == 3 && GetWidth() == 0 && GetHeight() == 0) points[1] = a;
  points.back() = b;
  EndPointsChange();
}

void TVexaConnector::LinkNotify(const TNotifyLinkInfo& info) {
  if (info.Code != TNotifyCode::Control) return;
  if (info.Notify != TVexaNotify::fnLinkPoints && info.Notify != TVexaNotify::fnRect) return;
  if (movingWithSelection_ || linkPointUpdate_ || GetPointsCount() < 2) return;
  Reroute();
}

void TVexaConnector::MinimalGapChanged() {
  if (GetMinimalGap() == 0 && GetRerouteMode() != rmNever) Reroute();
}

// The ends' link points follow the route's ends (an unlinked end, an edited end).
void TVexaConnector::Notify(TVexaNotify code) {
  if (code == TVexaNotify::fnEditPoints || code == TVexaNotify::fnLoaded) TakeLinkPointsFromEnds();
  if (code == TVexaNotify::fnLoaded) KeepStoredRoute();
  TVexaCurve::Notify(code);
}

// The links of the text are resolved after this, with these points: taken at the end of the
// connector's own block they would miss a move of an enclosing control whose position the
// text gives later.
void TVexaConnector::LoadEnding() {
  TVexaCurve::LoadEnding();
  TakeLinkPointsFromEnds();
}

// A route the text stores is kept as stored, so that a file reads back as saved: its links are
// resolved without rerouting it. A connector whose text gives no route routes when they are.
void TVexaConnector::KeepStoredRoute() {
  linkA_->SetPointStored(!IsFresh());
  linkB_->SetPointStored(!IsFresh());
}

void TVexaConnector::TakeLinkPointsFromEnds() {
  if (movingWithSelection_ || linkPointUpdate_ || GetPointsCount() < 2) return;
  const TRect r = GetDocRect();
  const TPoint first = GetPoint(0), last = GetPoint(GetPointsCount() - 1);
  TFlagScope update(linkPointUpdate_);
  linkA_->SetLinkPoint({ClampToInt32(int64_t{first.x} + r.left), ClampToInt32(int64_t{first.y} + r.top)});
  linkB_->SetLinkPoint({ClampToInt32(int64_t{last.x} + r.left), ClampToInt32(int64_t{last.y} + r.top)});
}

// --- moving with the selection

void TVexaConnector::BeginSelectionUpdate() {
  if (!movingWithSelection_) {
    const TVexaControl* a = linkA_->LinkedControl();
    const TVexaControl* b = linkB_->LinkedControl();
    if ((!a || a->IsSelected()) && (!b || b->IsSelected())) {
      movingWithSelection_ = true;
      SetGeometryLocked(false);
    }
  }
  TVexaCurve::BeginSelectionUpdate();
}

void TVexaConnector::EndSelectionUpdate() {
  movingWithSelection_ = false;
  if (IsLinked()) SetGeometryLocked(true);
  TVexaCurve::EndSelectionUpdate();
}

}  // namespace pv::graphics
