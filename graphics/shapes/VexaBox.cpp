#include "shapes/VexaBox.h"

#include "base/Units.h"
#include "controls/VexaPanel.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/ShapePaint.h"
#include "shapes/ShapePaths.h"
#include "shapes/ShapeRegions.h"
#include "shapes/ShapeToCurve.h"

namespace pv::graphics {

const TVexaControlClass TVexaBox::ClassInfo{{"TVexaBox", &TVexaControl::ClassInfo.ref},
                                            &TVexaControl::Creator<TVexaBox>};

void TVexaBox::CreateProperties() {
  TVexaControl::CreateProperties();
  TPropList& p = Props();
  brush_ = p.Create<TBrushProp>("Brush");
  pen_ = p.Create<TPenProp>("Pen");
  roundness_ = p.Create<TIntProp>("Roundness");
  roundness_->SetFlags(pfNew | pfThousandths);
}

void TVexaBox::ControlCreate() {
  SetWidth(1);
  SetHeight(1);
  brush_->SetColor(canvas::clNone);
  brush_->SetStyle(canvas::BrushStyle::Solid);
  TVexaControl::ControlCreate();
  SetVisible(true);
}

void TVexaBox::PropChanged(TCustomProp& prop) {
  if (&prop == roundness_) Notify(TVexaNotify::fnAnchorPoints);
  TVexaControl::PropChanged(prop);
}

void TVexaBox::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  if (&prop == roundness_ && subName.empty()) {
    stored = GetRoundness() != 0;
    return;
  }
  TVexaControl::PropStored(prop, subName, stored);
}

void TVexaBox::Rotate(const TRotateRec& rec) {
  TVexaControl::Rotate(rec);
  brush_->Transform(rec.angle, rec.mirror);
}

TVexaControl* TVexaBox::CreateCurveControl() {
  return CreateShapeCurve(*this, BoxCurvePath(GetWidth(), GetHeight(), GetRoundness()));
}

TPoint TVexaBox::GetLinkPoint(int index) const {
  const int32_t w = GetWidth();
  const int32_t h = GetHeight();
  const int32_t cx = w / 2;
  const int32_t cy = h / 2;
  const int32_t r = GetRoundness();
  if (r == 0) {
    const TPoint points[] = {{0, 0}, {cx, 0}, {w, 0}, {w, cy}, {w, h}, {cx, h}, {0, h}, {0, cy}, {cx, cy}};
    return index >= 0 && index < 9 ? points[index] : TPoint{};
  }
  // Corners rounder than the box is wide (or high) meet in the side's middle.
  const int32_t half = r / 2;
  const bool narrow = w < r;
  const bool flat = h < r;
  const TPoint points[] = {
      {narrow ? cx : half, 0}, {cx, 0}, {narrow ? cx : w - half, 0},  {w, flat ? cy : half},
      {w, cy},                 {w, flat ? cy : h - half},             {narrow ? cx : w - half, h},
      {cx, h},                 {narrow ? cx : half, h},               {0, flat ? cy : h - half},
      {0, cy},                 {0, flat ? cy : half},                 {cx, cy}};
  return index >= 0 && index < 13 ? points[index] : TPoint{};
}

TPoint TVexaBox::GetAnchorPoint() const {
  const TRect doc = GetDocRect();
  const int32_t m = GetWidth() < GetRoundness() ? GetWidth() : GetRoundness();
  const TPoint p{doc.left + m / 2, doc.top};
  return Owner() ? Owner()->DocToPixelPoint(p) : p;
}

TShapeArea TVexaBox::GetArea(const TRect& rect, bool hitTest) const {
  const int32_t scale = Owner() ? Owner()->Scale() : 100;
  TShapeRegionParams params;
  params.penPixels = PenPixels(*pen_, scale);
  params.hitTest = hitTest;
  params.outlineOnly = brush_->IsClear() && !hitAsFilled_ && !(Owner() && Owner()->SelectAsFilled());
  return BoxArea(rect, ScaleValue(GetRoundness(), scale), params);
}

bool TVexaBox::IsPointInside(int32_t x, int32_t y) const {
  if (GetRoundness() == 0 && !brush_->IsClear()) return TVexaControl::IsPointInside(x, y);
  const TRect r = GetPixelRect();
  return MayHitShape(r, x, y) && GetArea(r, true).Contains(x, y);
}

void TVexaBox::Paint(canvas::Canvas& canvas, const TRect& rect) {
  if (!Owner()) return;
  const int32_t scale = Owner()->Scale();
  SetupPenAndBrush(canvas, *pen_, *brush_, scale);
  if (BrushPaintsItself(*brush_)) {
    const canvas::Region clip = GetArea(rect, false).ToRegionWithin(Owner()->PaintRect());
    FillWithBrushPainting(canvas, clip, rect, *Owner(), *pen_, *brush_);
  }
  const TRect r = CanvasShapeRect(*pen_, rect);
  const int32_t rr = ScaleValue(GetRoundness(), scale);
  if (rr != 0) {
    canvas.RoundRect(r, rr, rr);
  } else {
    canvas.Rectangle(r);
  }
}

}  // namespace pv::graphics
