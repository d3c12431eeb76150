#pragma once
// The document's polyline and Bezier path: points relative to the control with a type each,
// split into figures by the types, drawn with a brush, a pen and two line caps. The control
// rectangle always equals the bounds of the path: when points change they are shifted so that
// the bounds start at (0, 0), and Left/Top/Width/Height follow.

#include <memory>
#include <vector>

#include "controls/VexaControl.h"
#include "paths/PathTypes.h"

namespace pv::graphics {

struct TPointBounds64;
class TBrushProp;
class TCustomDataProp;
class TLineCapProp;
class TPenProp;
class TPointsHistoryAction;

class TVexaCurve : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  TBrushProp& Brush() const { return *brush_; }
  TPenProp& Pen() const { return *pen_; }
  TLineCapProp& BeginCap() const { return *beginCap_; }
  TLineCapProp& EndCap() const { return *endCap_; }
  bool GetIsSolid() const { return isSolid_->GetValue(); }
  void SetIsSolid(bool solid) { isSolid_->SetValue(solid); }
  // Set at creation, cleared once a point leaves (0, 0) or points are loaded.
  bool IsFresh() const { return fresh_; }

  int GetCreateCursor() const override { return 12; }

  // The points.
  int GetPointsCount() const override { return static_cast<int>(points_.size()); }
  TPoint GetPoint(int index) const override;
  uint8_t GetPointType(int index) const override;
  // Refused on a layer that is not Moveable (and SetPoint for an unchanged point).
  void SetPoint(int index, TPoint point) override;
  void SetPointType(int index, uint8_t type) override;
  bool GetIsPointsClosed() const override { return GetIsSolid(); }
  void SetIsPointsClosed(bool closed) override { SetIsSolid(closed); }
  void SetPointsEx(const std::vector<TPoint>& points, const std::vector<uint8_t>& types) override;
  void GetPointsEx(std::vector<TPoint>& points, std::vector<uint8_t>& types) const override;
  // While transformed: the rectangle and points from before the transformation.
  void GetPointsForUndo(TRect& rect, std::vector<TPoint>& points, std::vector<uint8_t>& types) const override;
  // Exactly the rectangle and points given, as they stood together: not fitted to each other.
  void RestorePoints(const TRect& rect, const std::vector<TPoint>& points, const std::vector<uint8_t>& types) override;
  const TPathFigureInfos* GetPathInfo() const override;

  int GetLinkPointCount() const override { return GetNodesCount(); }
  TPoint GetLinkPoint(int index) const override;
  TPoint GetAnchorPoint() const override;
  void GetEndPointsInfo(TEndPointsInfo& info) const override;

  // Point editing.
  int InsertPoint(int index, TPoint point) override;
  int InsertCurvePoint(int index, TPoint node, TPoint control1, TPoint control2) override;
  void DeletePoint(int index) override;
  int InsertPointAtPos(TPoint position) override;
  bool EditPoints(int operation, const std::vector<uint8_t>* selection, TPoint delta) override;
  uint32_t GetEditPointsCaps(const std::vector<uint8_t>* selection) const override;
  bool FlattenPoints(double tolerance) override;
  bool PathHitTest(TPoint point, int32_t tolerance) const override;
  bool FindNearestPathPoint(TPoint point, int32_t& segmentStart, int32_t& nextIndex) const override;
  bool MovePathPoint(int index, TPoint delta, bool symmetric, bool smooth,
                     const std::vector<uint8_t>* selection) override;
  bool MovePathSegment(int first, int last, double t, TPoint delta) override;

  // The change bracket of the points: the begin records the curve's geometry for undo, the
  // end refits the rectangle to the path.
  virtual void BeginPointsChange();
  virtual void EndPointsChange();

  bool EndUpdate() override;
  void Notify(TVexaNotify code) override;

  // Transformation and rotation.
  void BeginTransformation(TPoint origin) override;
  void EndTransformation() override;
  void Mirror(bool horizontal, bool vertical) override;
  void Rotate(const TRotateRec& rec) override;

  // Painting and hit testing (pixels).
  // What GetPixelPoints gives, worked out straight from the arrays and in 64 bits.
  void GetPaintPoints(std::vector<TPoint>& out, int32_t x, int32_t y, int32_t scale) const;
  TRect GetRefreshRect(int32_t x, int32_t y) const override;
  void Paint(canvas::Canvas& canvas, const TRect& rect) override;
  bool IsPointInside(int32_t x, int32_t y) const override;

  // The binary values of the text format.
  PropValue GetPathPointsValue() const;
  void SetPathPointsValue(const PropValue& value);
  void SetOldPointsValue(const PropValue& value);

 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void ControlDestroy() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;
  // The arrays themselves, for controls that bracket their own changes (connectors).
  TPointArray& PointsRef() { return points_; }
  TTypeArray& TypesRef() { return types_; }
  bool IsPanelLoading() const;
  // Points of a control on a layer that is not Moveable stay where they are.
  bool LayerMoveable() const;

 private:
  // Moves the bounds of the points to (0, 0) and the rectangle onto them.
  void FitRectToPoints();
  // The bounds of the points, relative to the rectangle (control points of curves included
  // only as far as the path reaches).
  TPointBounds64 PointsBounds() const;
  // The rectangle and points are being put back as they stood (undo, a control moved between
  // parents): neither follows the other.
  bool KeepsGeometryAsGiven() const;
  // FitRectToPoints would move or size the rectangle.
  bool FitMovesRect() const;
  // The points scaled from one rectangle size to another (after a resize).
  void ScalePoints(const std::vector<TPoint>& from, double sx, double sy);
  // A step that puts back the rectangle from before the current change and these points.
  void RecordPointsStep(const TRect& rect);
  // The innermost open history group holds a points step of this curve.
  bool OpenGroupHoldsPointsStep() const;
  int InsertNodes(int index, std::span<const TPoint> points, std::span<const uint8_t> types);
  void PaintPath(canvas::Canvas& canvas, const std::vector<TPoint>& pixels, const TPathFigureInfos& infos);
  void PaintPolyline(canvas::Canvas& canvas, const std::vector<TPoint>& pixels, const TPathFigureInfos& infos);
  void PaintCaps(canvas::Canvas& canvas, const std::vector<TPoint>& pixels, int32_t penPixels, canvas::TColor penColor);

  TBrushProp* brush_ = nullptr;
  TPenProp* pen_ = nullptr;
  TLineCapProp* beginCap_ = nullptr;
  TLineCapProp* endCap_ = nullptr;
  TBoolProp* isSolid_ = nullptr;
  TCustomDataProp* oldPoints_ = nullptr;
  TCustomDataProp* pathPoints_ = nullptr;

  TPointArray points_;
  TTypeArray types_;
  mutable TPathFigureInfos pathInfo_;
  // The points when the transformation began (relative to the control); empty outside one.
  const TPointArray& TransformPoints() const;
  // Made when a transformation begins: a curve is rarely being transformed.
  std::unique_ptr<TPointArray> transformPoints_;
  // The flags together at the end, without holes between the fields: a drawing holds curves
  // by the hundred thousand.
  bool fresh_ = false;
  bool rebuilding_ = false;
  bool restoring_ = false;
  mutable bool pathInfoStale_ = true;
};

}  // namespace pv::graphics
