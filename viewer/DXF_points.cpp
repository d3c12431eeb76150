#include "DXF_points.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "DXF_numbers.h"

namespace pv::viewer {

using namespace DXF_Utils;
using canvas::TPoint;

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

// Degrees with the noise of a radian round trip removed, so 350 stays 350.
double ToDegrees(double radians) {
  const double degrees = radians * kDegrees;
  const double whole = std::round(degrees);
  return std::fabs(degrees - whole) < 1e-9 ? whole : degrees;
}

double ReduceDegrees(double degrees) {
  double r = std::fmod(degrees, 360.0);
  if (r < 0.0) r += 360.0;
  return r >= 360.0 ? 0.0 : r;
}

// The counter-clockwise sweep of an angle difference in degrees, above 0 and at most 360 (ends
// that meet make a whole turn).
double Sweep(double degrees) {
  const double r = ReduceDegrees(degrees);
  return r == 0.0 ? 360.0 : r;
}

// The ends, then every quadrant point (0, 90, 180, 270 degrees) the arc passes on its way
// counter-clockwise from start to end. The walk follows the sweep, not the quadrants of the
// ends: an arc from 80 to 10 degrees passes all four, and ends that meet make a whole turn.
void GrowArcExtents(const Point3D& centre, double radius, double startAngle, double endAngle, Point3D& max,
                    Point3D& min) {
  auto widen = [&](double radians) {
    const double x = centre.x + radius * std::cos(radians);
    const double y = centre.y + radius * std::sin(radians);
    MaxPoint(max, {x, y, max.z});
    MinPoint(min, {x, y, min.z});
  };
  widen(startAngle);
  widen(endAngle);
  const double startDegrees = ToDegrees(startAngle);
  const double endDegrees = ToDegrees(endAngle);
  if (!std::isfinite(startDegrees) || !std::isfinite(endDegrees)) return;
  const double from = ReduceDegrees(startDegrees);
  const double to = from + Sweep(endDegrees - startDegrees);
  for (double quadrant = std::floor(from / 90.0) * 90.0 + 90.0; quadrant < to; quadrant += 90.0) {
    widen(quadrant / kDegrees);
  }
}

int32_t ClampToInt(long long v) {
  return static_cast<int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

// ---- Point_ -----------------------------------------------------------------------------

Point_::Point_(const Point3D& extrusion, int32_t colorIndex, const Point3D& point) : point_(point) {
  SetColorIndex(colorIndex);
  SetExtrusion(extrusion);
}

Point_::Point_(int32_t colorIndex, const Point3D& point) : point_(point) { SetColorIndex(colorIndex); }

void Point_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) {
  const DrawContext dc{canvas, outer, toScreen, userData};
  SelectPenColor(canvas);
  const auto m = Combined(outer);
  DrawMark(dc, MarkedPoint(), m ? &*m : nullptr);
}

void Point_::DrawVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                          void* userData) {
  Point_::Draw(canvas, outer, toScreen, userData);
}

void Point_::Translate(const Point3D& offset) { point_ = AddPoints(point_, offset); }

void Point_::RoundCoords(int axisBits, double k) { RoundPointCoords(point_, axisBits, k); }

void Point_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  WriteRecordStart(out, layerName);
  WritePoint(out, 10, point_);
}

std::string Point_::Details() const { return JoinLines({ClassName(), OcsLine(), PointToText(point_)}); }

void Point_::GrowExtents(Point3D& max, Point3D& min) const {
  const Point3D p = WorldPoint();
  MaxPoint(max, p);
  MinPoint(min, p);
}

double Point_::Distance(const Point3D& p) const { return SqrDistance2D(p, WorldPoint()); }

void Point_::GrowQueryBox(Point3D& max, Point3D& min) const {
  const Point3D p = WorldPoint();
  MaxPoint(max, p);
  MinPoint(min, p);
}

Point3D Point_::ClosestPoint(const Point3D&) const { return WorldPoint(); }

bool Point_::MovePoint(const Point3D& oldPoint, const Point3D& newPoint) {
  if (!SamePoint(WorldPoint(), oldPoint)) return false;
  const auto moved = PointFromWorld(newPoint);
  if (!moved) return false;
  point_ = *moved;
  return true;
}

// ---- Text_ ------------------------------------------------------------------------------

Text_::Text_(const Point3D& extrusion, int32_t alignment, int32_t colorIndex, double height, std::string text,
             const Point3D& alignmentPoint, const Point3D& insertionPoint)
    : Point_(extrusion, colorIndex, insertionPoint),
      height_(height),
      text_(std::move(text)),
      alignmentPoint_(SamePoint(alignmentPoint, WCS_Origin) ? insertionPoint : alignmentPoint),
      alignment_(alignment) {}

void Text_::DrawText(const DrawContext& dc) const {
  canvas::Canvas& canvas = dc.canvas;
  SelectPenColor(canvas);
  const double scale = dc.outer ? std::sqrt(std::fabs(PlanarDeterminant(*dc.outer))) : 1.0;
  const TPoint origin = dc.Map(WCS_Origin, nullptr);
  const TPoint top = dc.Map({0.0, height_ * scale, 0.0}, nullptr);
  const long long d = static_cast<long long>(origin.y) - top.y;
  if (d == 0) return;
  const int32_t fontHeight = ClampToInt(d + 2);
  if (canvas.GetFont().height != fontHeight) canvas.SetFontHeight(fontHeight);
  if (canvas.GetFont().color != color_) canvas.SetFontColor(color_);
  const int32_t escapement =
      dc.outer ? ClampToInt(std::llround(std::atan2(dc.outer->m[0][1], dc.outer->m[0][0]) * kDegrees * 10.0)) : 0;
  if (canvas.GetFont().escapement != escapement) {
    canvas::Font font = canvas.GetFont();
    font.escapement = escapement;
    canvas.SetFont(font);
  }
  // Every alignment sets its own, so a text is placed alike whatever was drawn before it.
  // Middle (4) is centred like centre (1); aligned (3) and fit (5) start at the insertion point.
  uint32_t align = canvas::TA_BASELINE | canvas::TA_LEFT;
  const Point3D* place = &alignmentPoint_;
  switch (alignment_) {
    case 1:
    case 4: align = canvas::TA_BASELINE | canvas::TA_CENTER; break;
    case 2: align = canvas::TA_BASELINE | canvas::TA_RIGHT; break;
    case 3:
    case 5: place = &point_; break;
    default: break;
  }
  if (canvas.GetTextAlign() != align) canvas.SetTextAlign(align);
  const auto m = Combined(dc.outer);
  const TPoint at = dc.Map(*place, m ? &*m : nullptr);
  canvas.TextOut(at.x, at.y, text_);
}

void Text_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) {
  DrawText({canvas, outer, toScreen, userData});
}

bool Text_::MovePoint(const Point3D& oldPoint, const Point3D& newPoint) {
  const Point3D before = point_;
  if (!Point_::MovePoint(oldPoint, newPoint)) return false;
  alignmentPoint_ = AddPoints(alignmentPoint_, SubPoints(point_, before));
  return true;
}

void Text_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  Point_::WriteToDxf(out, layerName);
  WriteFloat(out, 40, height_);
  WritePair(out, 1, text_);
  if (alignment_ != 0) {
    WritePoint(out, 11, alignmentPoint_);
    WriteInt(out, 72, alignment_);
  }
}

std::string Text_::Details() const {
  return JoinLines({Point_::Details(), "Text \t" + text_, "TextHeight = " + FloatToText(height_)});
}

// ---- Attrib_ and Attdef_ ----------------------------------------------------------------

Attrib_::Attrib_(const Point3D& extrusion, int32_t colorIndex, double height, int32_t alignment, int32_t flags,
                 std::string tag, std::string value, const Point3D& alignmentPoint, const Point3D& insertionPoint)
    : Text_(extrusion, alignment, colorIndex, height, std::move(value), alignmentPoint, insertionPoint),
      tag_(std::move(tag)),
      visible_((flags & 1) == 0) {}

void Attrib_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) {
  if (visible_) DrawText({canvas, outer, toScreen, userData});
}

void Attrib_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  Text_::WriteToDxf(out, layerName);
  WritePair(out, 2, tag_);
  WriteInt(out, 70, visible_ ? 0 : 1);
}

std::string Attrib_::Details() const {
  return JoinLines({Text_::Details(), "Tag \t" + tag_, visible_ ? "Visible" : "Invisible"});
}

Attdef_::Attdef_(const Point3D& extrusion, int32_t colorIndex, double height, int32_t alignment, int32_t flags,
                 std::string prompt, std::string defaultValue, std::string tag, const Point3D& alignmentPoint,
                 const Point3D& insertionPoint)
    : Attrib_(extrusion, colorIndex, height, alignment, flags, std::move(tag), std::move(defaultValue),
              alignmentPoint, insertionPoint),
      prompt_(std::move(prompt)) {}

void Attdef_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  Attrib_::WriteToDxf(out, layerName);
  WritePair(out, 3, prompt_);
}

// ---- Line_ ------------------------------------------------------------------------------

Line_::Line_(const Point3D& start, int32_t colorIndex, const Point3D& end) : Point_(colorIndex, start), end_(end) {}

void Line_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) {
  const DrawContext dc{canvas, outer, toScreen, userData};
  SelectPenColor(canvas);
  const auto m = Combined(outer);
  const TPoint a = dc.Map(point_, m ? &*m : nullptr);
  const TPoint b = dc.Map(end_, m ? &*m : nullptr);
  canvas.MoveTo(a.x, a.y);
  canvas.LineTo(b.x, b.y);
}

void Line_::DrawVertices(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen,
                         void* userData) {
  const DrawContext dc{canvas, outer, toScreen, userData};
  SelectPenColor(canvas);
  const auto m = Combined(outer);
  DrawMark(dc, point_, m ? &*m : nullptr);
  DrawMark(dc, end_, m ? &*m : nullptr);
}

void Line_::Translate(const Point3D& offset) {
  Point_::Translate(offset);
  end_ = AddPoints(end_, offset);
}

void Line_::RoundCoords(int axisBits, double k) {
  Point_::RoundCoords(axisBits, k);
  RoundPointCoords(end_, axisBits, k);
}

void Line_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  Point_::WriteToDxf(out, layerName);
  WritePoint(out, 11, end_);
}

std::string Line_::Details() const { return JoinLines({Point_::Details(), PointToText(end_)}); }

void Line_::GrowExtents(Point3D& max, Point3D& min) const {
  Point_::GrowExtents(max, min);
  MaxPoint(max, end_);
  MinPoint(min, end_);
}

double Line_::Distance(const Point3D& p) const { return MinOf(SqrDistance2D(p, point_), SqrDistance2D(p, end_)); }

void Line_::GrowQueryBox(Point3D& max, Point3D& min) const {
  Point_::GrowQueryBox(max, min);
  MaxPoint(max, end_);
  MinPoint(min, end_);
}

Point3D Line_::ClosestPoint(const Point3D& p) const {
  return SqrDistance2D(p, point_) < SqrDistance2D(p, end_) ? point_ : end_;
}

bool Line_::MovePoint(const Point3D& oldPoint, const Point3D& newPoint) {
  if (SamePoint(point_, oldPoint)) {
    point_ = newPoint;
    return true;
  }
  if (SamePoint(end_, oldPoint)) {
    end_ = newPoint;
    return true;
  }
  return false;
}

// ---- Circle_ ----------------------------------------------------------------------------

Circle_::Circle_(const Point3D& extrusion, int32_t colorIndex, double radius, const Point3D& centre)
    : Point_(extrusion, colorIndex, centre), radius_(radius) {}

Circle_::Placement Circle_::Place(const Matrix4x4* matrix) const {
  if (matrix == nullptr) return {point_, radius_, false};
  const double det = PlanarDeterminant(*matrix);
  return {TransformPoint(*matrix, point_), radius_ * std::sqrt(std::fabs(det)), det < 0.0};
}

bool Circle_::ScreenBox(const DrawContext& dc, const Placement& place, canvas::TRect& box, TPoint& p1) const {
  const Point3D& c = place.centre;
  const double r = place.radius;
  p1 = dc.Map({c.x - r, c.y - r, c.z - r}, nullptr);
  const TPoint p2 = dc.Map({c.x + r, c.y + r, c.z + r}, nullptr);
  box = {p1.x, p2.y, p2.x, p1.y};
  return static_cast<long long>(p1.x) + 1 < p2.x && static_cast<long long>(p2.y) + 1 < p1.y;
}

void Circle_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) {
  const DrawContext dc{canvas, outer, toScreen, userData};
  SelectPenColor(canvas);
  const auto m = Combined(outer);
  canvas::TRect box;
  TPoint p1;
  if (ScreenBox(dc, Place(m ? &*m : nullptr), box, p1)) {
    canvas.Ellipse(box);
  } else {
    canvas.SetPixel(p1.x, p1.y, canvas.GetPen().color);
  }
}

void Circle_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  Point_::WriteToDxf(out, layerName);
  WriteFloat(out, 40, radius_);
}

std::string Circle_::Details() const { return JoinLines({Point_::Details(), "Radius = " + FloatToText(radius_)}); }

void Circle_::GrowExtents(Point3D& max, Point3D& min) const {
  const Placement place = PlaceInWorld();
  MaxPoint(max, AddPoints(place.centre, {place.radius, place.radius, 0.0}));
  MinPoint(min, SubPoints(place.centre, {place.radius, place.radius, 0.0}));
}

bool Circle_::IsInside(const Point3D& p) const {
  const Placement place = PlaceInWorld();
  return Distance2D(p, place.centre) <= place.radius;
}

// The centre that Distance measures to, and the disc that IsInside accepts (an arc too
// contains its whole disc).
void Circle_::GrowQueryBox(Point3D& max, Point3D& min) const {
  Point_::GrowQueryBox(max, min);
  const Placement place = PlaceInWorld();
  const double r = std::fabs(place.radius);
  MaxPoint(max, AddPoints(place.centre, {r, r, 0.0}));
  MinPoint(min, SubPoints(place.centre, {r, r, 0.0}));
}

// ---- Arc_ -------------------------------------------------------------------------------

Arc_::Arc_(const Point3D& extrusion, int32_t colorIndex, double startDegrees, double endDegrees, double radius,
           const Point3D& centre)
    : Circle_(extrusion, colorIndex, radius, centre),
      startAngle_(ArcRadians(startDegrees)),
      endAngle_(ArcRadians(endDegrees)) {}

void Arc_::Draw(canvas::Canvas& canvas, const Matrix4x4* outer, WorldToScreenFunc toScreen, void* userData) {
  const DrawContext dc{canvas, outer, toScreen, userData};
  SelectPenColor(canvas);
  const auto m = Combined(outer);
  const Matrix4x4* matrix = m ? &*m : nullptr;
  canvas::TRect box;
  TPoint p1;
  const Placement place = Place(matrix);
  if (!ScreenBox(dc, place, box, p1)) {
    canvas.SetPixel(p1.x, p1.y, canvas.GetPen().color);
    return;
  }
  const Ends ends = PlaceEnds(matrix);
  const TPoint start = dc.Map(ends.start, nullptr);
  const TPoint end = dc.Map(ends.end, nullptr);
  // Rounding to whole pixels can bring the ends of a short arc together, where the canvas
  // takes equal radials as the whole ellipse, or carry them past each other. When the sweep on
  // screen is then more than half a turn off the arc's own, draw what the arc covers: the
  // short stroke between its ends, or the whole ellipse for an arc that is almost one.
  const double cx = (static_cast<double>(box.left) + box.right) / 2.0;
  const double cy = (static_cast<double>(box.top) + box.bottom) / 2.0;
  auto screenDegrees = [&](TPoint p) { return std::atan2(cy - p.y, p.x - cx) * kDegrees; };
  const double onScreen = Sweep(screenDegrees(end) - screenDegrees(start));
  const double own = Sweep(ToDegrees(endAngle_) - ToDegrees(startAngle_));
  if (std::fabs(onScreen - own) <= 180.0) {
    canvas.Arc(box, start, end);
  } else if (own < 180.0) {
    canvas.MoveTo(start.x, start.y);
    canvas.LineTo(end.x, end.y);
    canvas.SetPixel(end.x, end.y, canvas.GetPen().color);
  } else {
    canvas.Arc(box, start, start);
  }
}

Arc_::Ends Arc_::PlaceEnds(const Matrix4x4* matrix) const {
  const Point3D& c = point_;
  Ends ends{{c.x + radius_ * std::cos(startAngle_), c.y + radius_ * std::sin(startAngle_), c.z + radius_},
            {c.x + radius_ * std::cos(endAngle_), c.y + radius_ * std::sin(endAngle_), c.z + radius_}};
  if (!matrix) return ends;
  ends.start = TransformPoint(*matrix, ends.start);
  ends.end = TransformPoint(*matrix, ends.end);
  // The screen arc always runs counter-clockwise.
  if (PlanarDeterminant(*matrix) < 0.0) std::swap(ends.start, ends.end);
  return ends;
}

void Arc_::WriteToDxf(std::ostream& out, std::string_view layerName) const {
  Circle_::WriteToDxf(out, layerName);
  WriteAngle(out, 50, startAngle_, ArcRadians);
  WriteAngle(out, 51, endAngle_, ArcRadians);
}

std::string Arc_::Details() const {
  return JoinLines(
      {Circle_::Details(), "Angle 1 = " + FloatToText(startAngle_), "Angle 2 = " + FloatToText(endAngle_)});
}

// The arc as drawn: in its own coordinates when it has none other, else from the angles at
// which its placed ends lie around the placed centre.
void Arc_::GrowExtents(Point3D& max, Point3D& min) const {
  if (!ocs_) {
    GrowArcExtents(point_, radius_, startAngle_, endAngle_, max, min);
    return;
  }
  const Placement place = PlaceInWorld();
  const Ends ends = PlaceEnds(OCS());
  auto angle = [&](const Point3D& p) { return std::atan2(p.y - place.centre.y, p.x - place.centre.x); };
  GrowArcExtents(place.centre, place.radius, angle(ends.start), angle(ends.end), max, min);
}

}  // namespace pv::viewer
