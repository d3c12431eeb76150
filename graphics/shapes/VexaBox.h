#pragma once
// A box: a rectangle with optional rounded corners (Roundness, the corner diameter in
// document units), filled by its brush and outlined by its pen.

#include "canvas/Region.h"
#include "controls/VexaControl.h"

namespace pv::graphics {

class TBrushProp;
class TPenProp;

class TVexaBox : public TVexaControl {
 public:
  static const TVexaControlClass ClassInfo;
  const TVexaControlClass& ClassType() const override { return ClassInfo; }

  TBrushProp& Brush() const { return *brush_; }
  TPenProp& Pen() const { return *pen_; }
  int32_t GetRoundness() const { return roundness_->GetValue(); }
  void SetRoundness(int32_t v) { roundness_->SetValue(v); }
  // A box that is hit all over even with a clear brush (a text's box is).
  bool GetHitAsFilled() const { return hitAsFilled_; }
  void SetHitAsFilled(bool on) { hitAsFilled_ = on; }

  void Rotate(const TRotateRec& rec) override;
  // A closed curve along the outline: four corners, or sides joined by Bezier corners.
  TVexaControl* CreateCurveControl() override;
  void Paint(canvas::Canvas& canvas, const TRect& rect) override;
  // The top-left end of the top side's straight part.
  TPoint GetAnchorPoint() const override;
  TPoint GetLinkPoint(int index) const override;
  int GetLinkPointCount() const override { return GetRoundness() != 0 ? 13 : 9; }
  int GetCreateCursor() const override { return 8; }
  bool IsPointInside(int32_t x, int32_t y) const override;

  // The box's region over a pixel rect: the paint region, or the one a click must fall in.
  canvas::Region GetRegion(const TRect& rect, bool hitTest) const;

 protected:
  void CreateProperties() override;
  void ControlCreate() override;
  void PropChanged(TCustomProp& prop) override;
  void PropStored(TCustomProp& prop, std::string_view subName, bool& stored) override;

 private:
  TBrushProp* brush_ = nullptr;
  TPenProp* pen_ = nullptr;
  TIntProp* roundness_ = nullptr;
  bool hitAsFilled_ = false;
};

}  // namespace pv::graphics
