#pragma once
// An ellipse, or an arc or pie of it between BeginAngle and EndAngle (thousandths of a degree,
// counter-clockwise from three o'clock; equal angles draw the whole ellipse). The two angles
// are edited through two handles, the begin and end points; every way an angle arrives (a
// setter, the text format, an import, a handle) ends in 0 .. 359999. TVexaArc is the same
// shape under its own class name.

#include <array>

#include "canvas/Region.h"
#include "controls/VexaControl.h"
#include "paths/PathTypes.h"

namespace pv::graphics {

class TBrushProp;
class TPenProp;

class TVexaEllipse : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  TBrushProp& Brush() const { return *brush_; }
  TPenProp& Pen() const { return *pen_; }
  int32_t GetBeginAngle() const { return beginAngle_->GetValue(); }
  void SetBeginAngle(int32_t v) { beginAngle_->SetValue(v); }
  int32_t GetEndAngle() const { return endAngle_->GetValue(); }
  void SetEndAngle(int32_t v) { endAngle_->SetValue(v); }
  bool IsWhole() const { return GetBeginAngle() == GetEndAngle(); }

  void Rotate(const TRotateRec& rec) override;
  // The whole ellipse as four Bezier quarters, or the arc in pieces of at most 90 degrees
  // (a pie, closed through the centre, unless the brush is clear).
  TVexaControl* CreateCurveControl() override;
  void Paint(canvas::Canvas& canvas, const TRect& rect) override;
  TPoint GetAnchorPoint() const override;
  TPoint GetLinkPoint(int index) const override;
  int GetLinkPointCount() const override { return 5; }
  int GetCreateCursor() const override { return 9; }
  bool IsPointInside(int32_t x, int32_t y) const override;

  // The begin and end handles (relative to the control).
  int GetPointsCount() const override { return 2; }
  TPoint GetPoint(int index) const override;
  void SetPoint(int index, TPoint point) override;
  bool EditPoints(int operation, const std::vector<uint8_t>* selection, TPoint delta) override;
  uint32_t GetEditPointsCaps(const std::vector<uint8_t>*) const override { return 1; }
  const TPathFigureInfos* GetPathInfo() const override { return &pathInfo_; }

  // The ellipse's region over a pixel rect: the paint region, or the one a click must fall in
  // (a ring along the outline when the brush is clear).
  canvas::Region GetRegion(const TRect& rect, bool hitTest) const;

 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;

 private:
  void AnglesToPoints();
  void PointsToAngles();
  void PaintArc(canvas::Canvas& canvas, const TRect& rect);

  TBrushProp* brush_ = nullptr;
  TPenProp* pen_ = nullptr;
  TIntProp* beginAngle_ = nullptr;
  TIntProp* endAngle_ = nullptr;
  std::array<TPoint, 2> editPoints_{};
  TPathFigureInfos pathInfo_;
  bool synchronising_ = false;
};

class TVexaArc : public TVexaEllipse {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }
};

}  // namespace pv::graphics
