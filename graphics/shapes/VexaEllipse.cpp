#include "shapes/VexaEllipse.h"

#include "controls/VexaPanel.h"
#include "document/FlagScope.h"
#include "paths/EditPoints.h"
#include "props/BrushProp.h"
#include "props/PenProps.h"
#include "shapes/ShapeAngles.h"
#include "shapes/ShapePaint.h"
#include "shapes/ShapePaths.h"
#include "shapes/ShapeRegions.h"
#include "shapes/ShapeToCurve.h"

namespace pv::graphics {

const TVexaControlClass TVexaEllipse::ClassInfo{{"TVexaEllipse", &TVexaControl::ClassInfo.ref},
                                                &TVexaControl::Creator<TVexaEllipse>};
const TVexaControlClass TVexaArc::ClassInfo{{"TVexaArc", &TVexaEllipse::ClassInfo.ref},
                                            &TVexaControl::Creator<TVexaArc>};

namespace {

constexpr uint8_t kEditTypes[2] = {ptNode, ptEndNode};

}  // namespace

void TVexaEllipse::CreateProperties() {
  TVexaControl::CreateProperties();
  TPropList& p = Props();
  brush_ = p.Create<TBrushProp>("Brush");
  pen_ = p.Create<TPenProp>("Pen");
  beginAngleProp_ = p.Create<TMirrorIntProp>("BeginAngle");
  endAngleProp_ = p.Create<TMirrorIntProp>("EndAngle");
  beginAngleProp_->SetExternal(&beginAngle_);
  endAngleProp_->SetExternal(&endAngle_);
  beginAngleProp_->SetFlags(pfNew | pfThousandths);
  endAngleProp_->SetFlags(pfNew | pfThousandths);
}

void TVexaEllipse::SetBeginAngle(int32_t v) { beginAngleProp_->SetValue(NormalizeAngle(v)); }

void TVexaEllipse::SetEndAngle(int32_t v) { endAngleProp_->SetValue(NormalizeAngle(v)); }

void TVexaEllipse::ControlCreate() {
  SetWidth(1);
  SetHeight(1);
  brush_->SetColor(canvas::clNone);
  brush_->SetStyle(canvas::BrushStyle::Solid);
  TVexaControl::ControlCreate();
  SetVisible(true);
}

void TVexaEllipse::PropChanged(TCustomProp& prop) {
  const bool angle = &prop == beginAngleProp_ || &prop == endAngleProp_;
  // An angle outside a turn (an arc ending at 360 degrees, a negative start, a loaded value)
  // is kept normalised before anyone hears of the change.
  if (&prop == beginAngleProp_) beginAngle_ = NormalizeAngle(beginAngle_);
  if (&prop == endAngleProp_) endAngle_ = NormalizeAngle(endAngle_);
  TVexaControl::PropChanged(prop);
  if ((angle || &prop == width_ || &prop == height_) && !synchronising_) AnglesToPoints();
}

void TVexaEllipse::PropStored(TCustomProp& prop, std::string_view subName, bool& stored) {
  if ((&prop == beginAngleProp_ || &prop == endAngleProp_) && subName.empty()) {
    stored = static_cast<TIntProp&>(prop).GetValue() != 0;
    return;
  }
  TVexaControl::PropStored(prop, subName, stored);
}

void TVexaEllipse::AnglesToPoints() {
  editPoints_[0] = EllipseAnglePoint(GetBeginAngle(), GetWidth(), GetHeight());
  editPoints_[1] = EllipseAnglePoint(GetEndAngle(), GetWidth(), GetHeight());
  pathInfo_ = BuildFigureInfos(editPoints_, kEditTypes);
  Notify(TVexaNotify::fnEditPoints);
}

void TVexaEllipse::PointsToAngles() {
  TFlagScope synchronising(synchronising_);
  pathInfo_ = BuildFigureInfos(editPoints_, kEditTypes);
  BeginUpdate();
  SetBeginAngle(EllipsePointAngle(editPoints_[0], GetWidth(), GetHeight()));
  SetEndAngle(EllipsePointAngle(editPoints_[1], GetWidth(), GetHeight()));
  EndUpdate();
}

TPoint TVexaEllipse::GetPoint(int index) const {
  return index >= 0 && index < 2 ? editPoints_[static_cast<size_t>(index)] : TPoint{};
}

void TVexaEllipse::SetPoint(int index, TPoint point) {
  if (index < 0 || index >= 2 || editPoints_[static_cast<size_t>(index)] == point) return;
  editPoints_[static_cast<size_t>(index)] = point;
  PointsToAngles();
}

bool TVexaEllipse::EditPoints(int operation, const std::vector<uint8_t>* selection, TPoint delta) {
  if (!selection || selection->size() < editPoints_.size()) return false;
  TPointArray points(editPoints_.begin(), editPoints_.end());
  TTypeArray types(std::begin(kEditTypes), std::end(kEditTypes));
  const std::span<const uint8_t> selected(selection->data(), editPoints_.size());
  if (!graphics::EditPoints(points, types, selected, {delta.x, delta.y, false}, operation)) return false;
  // Only a move keeps the two handles: anything that changed their number is not an edit of
  // this shape.
  if (points.size() != editPoints_.size()) return false;
  editPoints_ = {points[0], points[1]};
  PointsToAngles();
  return true;
}

TPoint TVexaEllipse::GetLinkPoint(int index) const {
  const int32_t w = GetWidth();
  const int32_t h = GetHeight();
  const TPoint points[] = {{w / 2, 0}, {w, h / 2}, {w / 2, h}, {0, h / 2}, {w / 2, h / 2}};
  return index >= 0 && index < 5 ? points[index] : TPoint{};
}

TPoint TVexaEllipse::GetAnchorPoint() const {
  const TRect doc = GetDocRect();
  const TPoint p = IsWhole() ? TPoint{doc.left + GetWidth() / 2, doc.top}
                             : TPoint{doc.left + editPoints_[0].x, doc.top + editPoints_[0].y};
  return Owner() ? Owner()->DocToPixelPoint(p) : p;
}

void TVexaEllipse::Rotate(const TRotateRec& rec) {
  TVexaControl::Rotate(rec);
  brush_->Transform(rec.angle, rec.mirror);
  const TArcAngles turned = RotateArcAngles({GetBeginAngle(), GetEndAngle()}, rec.angle, rec.mirror);
  BeginUpdate();
  SetBeginAngle(turned.begin);
  SetEndAngle(turned.end);
  EndUpdate();
}

TVexaControl* TVexaEllipse::CreateCurveControl() {
  const TShapePath outline = IsWhole() ? EllipseCurvePath(GetWidth(), GetHeight())
                                       : ArcCurvePath(GetWidth(), GetHeight(), GetBeginAngle(), GetEndAngle(),
                                                      !brush_->IsClear());
  return CreateShapeCurve(*this, outline);
}

TShapeArea TVexaEllipse::GetArea(const TRect& rect, bool hitTest) const {
  const int32_t scale = Owner() ? Owner()->Scale() : 100;
  TShapeRegionParams params;
  params.penPixels = PenPixels(*pen_, scale);
  params.hitTest = hitTest;
  params.outlineOnly = brush_->IsClear() && !(Owner() && Owner()->SelectAsFilled());
  return EllipseArea(rect, params);
}

bool TVexaEllipse::IsPointInside(int32_t x, int32_t y) const {
  const TRect r = GetPixelRect();
  return MayHitShape(r, x, y) && GetArea(r, true).Contains(x, y);
}

void TVexaEllipse::Paint(canvas::Canvas& canvas, const TRect& rect) {
  if (!Owner()) return;
  SetupPenAndBrush(canvas, *pen_, *brush_, Owner()->Scale());
  if (!IsWhole()) {
    PaintArc(canvas, rect);
    return;
  }
  if (BrushPaintsItself(*brush_)) {
    const canvas::Region clip = GetArea(rect, false).ToRegionWithin(Owner()->PaintRect());
    FillWithBrushPainting(canvas, clip, rect, *Owner(), *pen_, *brush_);
  }
  const TRect r = CanvasShapeRect(*pen_, rect);
  canvas.Ellipse(r);
}

void TVexaEllipse::PaintArc(canvas::Canvas& canvas, const TRect& rect) {
  std::vector<TPoint> handles;
  GetPixelPoints(handles, rect.left, rect.top, Owner()->Scale());
  const TPoint begin = handles[0];
  const TPoint end = handles[1];
  const TPoint centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
  const auto buildPie = [&] {
    canvas.BeginPath();
    canvas.MoveTo(centre.x, centre.y);
    canvas.ArcTo(rect, begin, end);
    canvas.LineTo(centre.x, centre.y);
    canvas.CloseFigure();
    canvas.EndPath();
  };
  if (BrushPaintsItself(*brush_)) {
    buildPie();
    const canvas::Region pie = canvas.PathToRegion();
    FillWithBrushPainting(canvas, pie, rect, *Owner(), *pen_, *brush_);
    buildPie();
    canvas.StrokePath();
    return;
  }
  if (brush_->IsClear()) {
    canvas.Arc(rect, begin, end);
    return;
  }
  buildPie();
  canvas.StrokeAndFillPath();
}

}  // namespace pv::graphics
