#pragma once
// A curve whose two ends are tied to link points of other controls. When a linked control
// moves, sizes or changes its link points, the connector routes itself again: straight, or in
// horizontal and vertical segments around the linked controls. While linked, its rectangle
// is its route's and cannot be set; an orthogonal route can still be edited by dragging its
// points and segments, which keeps the segments orthogonal and stops automatic rerouting.

#include "connectors/RouteOrthogonal.h"
#include "shapes/VexaCurve.h"

namespace pv::graphics {

class TLinkPointProp;

class TVexaConnector : public TVexaCurve {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  uint8_t GetRerouteMode() const;
  void SetRerouteMode(uint8_t mode);
  bool GetOrtogonal() const;
  void SetOrtogonal(bool orthogonal);
  int32_t GetMinimalGap() const;
  void SetMinimalGap(int32_t gap);
  TLinkPointProp& LinkA() const { return *linkA_; }
  TLinkPointProp& LinkB() const { return *linkB_; }
  // Either end has a control.
  bool IsLinked() const;
  bool IsConnector() const override { return true; }
  void GetLinkProps(TLinkProp*& start, TLinkProp*& end) const override;

  // Recomputes the route from the link points. A request that arrives while this connector
  // is rerouting (through a connector linked to it, or a group around it) runs once when the
  // present one is done.
  void Reroute();

  // Left, Top, Width and Height read-only; taken as false while moving with the selection.
  void SetGeometryLocked(bool locked);
  bool GeometryLocked() const { return geometryLocked_; }
  // The geometry is unlocked inside the bracket, so that the route may move and size the
  // control while linked.
  void BeginLinkUpdate();
  void EndLinkUpdate();
  bool MovingWithSelection() const { return movingWithSelection_; }

  void SetDocRect(const TRect& rect) override;
  void Mirror(bool horizontal, bool vertical) override;
  void Rotate(const TRotateRec& rec) override;
  // Undo puts the rectangle back together with the points, lock or not.
  void RestorePoints(const TRect& rect, const std::vector<TPoint>& points, const std::vector<uint8_t>& types) override;
  void GetEndPointsInfo(TEndPointsInfo& info) const override;
  void GetEditPointGuide(TPoint pixel, TEditPointGuide& guide) const override;

  void EndPointsChange() override;
  void Notify(TVexaNotify code) override;
  void LoadEnding() override;
  void BeginSelectionUpdate() override;
  void EndSelectionUpdate() override;
  void MinimalGapChanged() override;

  // Editing; an orthogonal connector keeps its segments horizontal and vertical.
  bool MovePathPoint(int index, TPoint delta, bool symmetric, bool smooth,
                     const std::vector<uint8_t>* selection) override;
  bool MovePathSegment(int first, int last, double t, TPoint delta) override;
  int InsertPointAtPos(TPoint position) override;
  void DeletePoint(int index) override;
  void BeginPointsUpdate() override;
  void EndPointsUpdate() override;

 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void ControlDestroy() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;

 private:
  void LinkNotify(const TNotifyLinkInfo& info);
  void RouteOnce();
  void StoreRoute(TPointArray points, TTypeArray types);
  TRouteInfo MakeRouteInfo() const;
  void SetUnlinkedEnds(TPoint a, TPoint b);
  // Both link points to where the route's ends are now.
  void TakeLinkPointsFromEnds();
  void KeepStoredRoute();
  // An inner edit turns automatic rerouting off.
  void StopAutomaticRerouting();
  // Snapping distance: 4 pixels in document units.
  int32_t SnapDistance() const;
  void MarkTidy(int first, int last);
  void Tidy();

  TEnumProp* rerouteMode_ = nullptr;
  TBoolProp* ortogonal_ = nullptr;
  TLinkPointProp* linkA_ = nullptr;
  TLinkPointProp* linkB_ = nullptr;
  TIntProp* minimalGap_ = nullptr;

  bool geometryLocked_ = false;
  int32_t linkUpdateCount_ = 0;
  bool linkPointUpdate_ = false;
  bool tidyPending_ = false;
  int32_t tidyFirst_ = 0;
  int32_t tidyLast_ = 0;
  bool movingWithSelection_ = false;
  int32_t pointsUpdateLevel_ = 0;
  bool rerouting_ = false;
  bool reroutePending_ = false;
};

// Registers the shape classes (RegisterShapeClasses) and then the connector.
void RegisterConnectorClasses();

}  // namespace pv::graphics
